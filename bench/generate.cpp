// Writes a synthetic LDraw file with the line mix of the real parts library,
// deterministically from a seed: about 35% quads, 23% triangles, 17%
// conditional lines, 10% lines, 6% sub-file references, 6% comments and 3%
// empty lines, all ended by CR LF. Of the quads about 1 in 16 is warped into
// the low band, 1 in 160 into the warning band and 1 in 15,000 above 3
// degrees; the rest are planar, half of them in tilted planes where rounding
// of the written coordinates leaves a tiny fold.
//
//   generate OUTPUT MEGABYTES [SEED]

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

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

// A rectangle of sides a and b, in a coordinate plane or a tilted one, with
// its third corner lifted out of the plane by enough for a fold of about
// `degrees`.
void append_quad(std::string& line, double degrees, std::mt19937_64& random) {
  const double a = uniform(random, 1, 40);
  const double b = uniform(random, 1, 40);
  const double distance_to_diagonal = a * b / std::sqrt(a * a + b * b);
  const double lift = std::tan(degrees * M_PI / 180) * distance_to_diagonal;
  const Point origin = {std::round(uniform(random, -40, 40)), std::round(uniform(random, -40, 40)),
                        std::round(uniform(random, -40, 40))};
  Point corners[4] = {{0, 0, 0}, {a, 0, 0}, {a, b, lift}, {0, b, 0}};
  const bool tilted = random() % 2 == 0;
  const double turn = uniform(random, 0.2, 1.3);
  const int plane = static_cast<int>(random() % 3);
  line += '4';
  append_colour(line, random);
  for (Point& p : corners) {
    if (tilted)
      p = {p.x * std::cos(turn) - p.z * std::sin(turn), p.y,
           p.x * std::sin(turn) + p.z * std::cos(turn)};
    Point placed = plane == 0 ? p : plane == 1 ? Point{p.z, p.x, p.y} : Point{p.y, p.z, p.x};
    placed = {placed.x + origin.x, placed.y + origin.y, placed.z + origin.z};
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: generate OUTPUT MEGABYTES [SEED]\n", stderr);
    return 1;
  }
  const long long target = std::atoll(argv[2]) * 1000 * 1000;
  std::mt19937_64 random(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1);
  std::FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  std::string block;
  std::string line;
  long long written = 0;
  while (written < target) {
    block.clear();
    while (block.size() < 1 << 20) {
      line.clear();
      append_line(line, random);
      line += "\r\n";
      block += line;
    }
    if (std::fwrite(block.data(), 1, block.size(), file) != block.size()) {
      std::perror(argv[1]);
      return 1;
    }
    written += static_cast<long long>(block.size());
  }
  if (std::fclose(file) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
