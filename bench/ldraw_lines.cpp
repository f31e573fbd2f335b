// The line mix of the real parts library, one generated LDraw line at a
// time: about 35% quads, 23% triangles, 17% conditional lines, 10% lines, 6%
// sub-file references, 6% comments and 3% empty lines. Of the quads about 1
// in 16 is warped into the low band, 1 in 160 into the warning band and 1 in
// 15,000 above 3 degrees; the rest are planar, half of them in coordinate
// planes and half in tilted planes where rounding of the written
// coordinates leaves a tiny fold, as on the curved surfaces of real parts.
#include "ldraw_lines.h"

#include <cmath>
#include <cstdio>

namespace {

struct Point {
  double x, y, z;
};

// Coordinates as authors write them: up to four decimals, no trailing
// zeros, and often no zero before the point (-10.9, .25, 12.5752, 0).
void append_number(std::string& line, double value, std::mt19937_64& random) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value);
  std::string number = text;
  number.erase(number.find_last_not_of('0') + 1);
  if (number.back() == '.') number.pop_back();
  if (number == "-0") number = "0";
  if (random() % 3 == 0) {
    if (number.rfind("0.", 0) == 0) number.erase(0, 1);
    if (number.rfind("-0.", 0) == 0) number.erase(1, 1);
  }
  line += ' ';
  line += number;
}

void append_point(std::string& line, const Point& p, std::mt19937_64& random) {
  append_number(line, p.x, random);
  append_number(line, p.y, random);
  append_number(line, p.z, random);
}

void append_colour(std::string& line, std::mt19937_64& random) {
  static const int kColours[] = {16, 16, 16, 0, 1, 4, 7, 14, 15, 71, 72, 320};
  if (random() % 50 == 0) {
    char text[16];
    std::snprintf(text, sizeof text, " 0x2%06X", static_cast<unsigned>(random() % 0x1000000));
    line += text;
  } else {
    line += ' ';
    line += std::to_string(kColours[random() % (sizeof kColours / sizeof kColours[0])]);
  }
}

double uniform(std::mt19937_64& random, double low, double high) {
  return std::uniform_real_distribution<double>(low, high)(random);
}

Point random_point(std::mt19937_64& random) {
  return {uniform(random, -60, 60), uniform(random, -60, 60), uniform(random, -60, 60)};
}

Point scaled(const Point& p, double factor) { return {p.x * factor, p.y * factor, p.z * factor}; }

Point sum(const Point& a, const Point& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

Point cross(const Point& u, const Point& v) {
  return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

Point unit(const Point& p) { return scaled(p, 1 / std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z)); }

// A trapezoid of height b and sides a and a - 2d, the shape of the facets of
// curved parts, either in a coordinate plane (every fold exactly 0) or in a
// tilted plane (where rounding the written coordinates leaves a tiny fold),
// with its third corner lifted out of the plane by enough for a fold of
// about `degrees`.
void append_quad(std::string& line, double degrees, std::mt19937_64& random) {
  const double a = uniform(random, 1, 40);
  const double b = uniform(random, 1, 40);
  // Warped quads stay rectangles, whose fold the lift gives closely.
  const double d = degrees > 0 || random() % 2 == 0 ? 0.0 : uniform(random, 0, a / 4);
  const double distance_to_diagonal = a * b / std::sqrt(a * a + b * b);
  const double lift = std::tan(degrees * M_PI / 180) * distance_to_diagonal;
  Point along{1, 0, 0};
  Point across{0, 1, 0};
  Point normal{0, 0, 1};
  if (random() % 2 == 0) {
    normal = unit(random_point(random));
    along = unit(cross(normal, Point{0.3, 1, 0.2}));
    across = cross(normal, along);
  } else if (random() % 3 != 0) {
    // Coordinate planes other than z = 0.
    const bool xz = random() % 2 == 0;
    along = xz ? Point{0, 0, 1} : Point{0, 1, 0};
    across = xz ? Point{1, 0, 0} : Point{0, 0, 1};
    normal = xz ? Point{0, 1, 0} : Point{1, 0, 0};
  }
  const Point origin = {std::round(uniform(random, -40, 40)), std::round(uniform(random, -40, 40)),
                        std::round(uniform(random, -40, 40))};
  const double plane[4][3] = {{0, 0, 0}, {a, 0, 0}, {a - d, b, lift}, {d, b, 0}};
  line += '4';
  append_colour(line, random);
  for (const auto& corner : plane) {
    const Point placed = sum(origin, sum(scaled(along, corner[0]), sum(scaled(across, corner[1]),
                                                                       scaled(normal, corner[2]))));
    append_point(line, placed, random);
  }
}

double quad_fold(std::mt19937_64& random) {
  const auto pick = random() % 240000;
  if (pick < 16) return uniform(random, 3.5, 25);        // 1 in 15,000
  if (pick < 1516) return uniform(random, 1.1, 2.9);     // 1 in 160
  if (pick < 16516) return uniform(random, 0.15, 0.95);  // 1 in 16
  return 0.0;
}

}  // namespace

void append_line(std::string& line, std::mt19937_64& random) {
  const auto pick = random() % 100;
  if (pick < 35) {
    append_quad(line, quad_fold(random), random);
  } else if (pick < 58) {
    line += '3';
    append_colour(line, random);
    for (int i = 0; i < 3; ++i) append_point(line, random_point(random), random);
  } else if (pick < 75) {
    line += "5 24";
    for (int i = 0; i < 4; ++i) append_point(line, random_point(random), random);
  } else if (pick < 85) {
    line += "2 24";
    for (int i = 0; i < 2; ++i) append_point(line, random_point(random), random);
  } else if (pick < 91) {
    line += '1';
    append_colour(line, random);
    append_point(line, random_point(random), random);
    line += " 1 0 0 0 1 0 0 0 1 stud.dat";
  } else if (pick < 97) {
    line += "0 // generated comment line for the benchmark";
  }
}
