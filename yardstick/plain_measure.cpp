// The warp measure written the plain way, independently of the tool's code.
#include "plain_measure.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace skewquad::testing {
namespace {

struct Vec {
  double x, y, z;
};

Vec sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vec cross(Vec u, Vec v) {
  return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

// Summed z first, then y, then x: the order decides the last bit.
double len(Vec v) { return std::sqrt((v.z * v.z + v.y * v.y) + v.x * v.x); }

double fold(Vec a, Vec b) {
  const double ra = 1.0 / len(a);
  const double rb = 1.0 / len(b);
  const Vec ua = {a.x * ra, a.y * ra, a.z * ra};
  const Vec ub = {b.x * rb, b.y * rb, b.z * rb};
  double s = len(cross(ua, ub));
  if (s > 1.0) s = 1.0;
  // Degrees per radian with pi cut to 3.1415926, as the tool has always had
  // it; rounded once, after the long double product.
  constexpr double kDegrees = 180.0 / 3.1415926;
  return static_cast<double>(asinl(static_cast<long double>(s)) *
                             static_cast<long double>(kDegrees));
}

}  // namespace

PlainWarp plain_warp(const double (&c)[12]) {
  const Vec p1{c[0], c[1], c[2]};
  const Vec p2{c[3], c[4], c[5]};
  const Vec p3{c[6], c[7], c[8]};
  const Vec p4{c[9], c[10], c[11]};
  const Vec a = sub(p1, p2);
  const Vec b = sub(p2, p3);
  const Vec cc = sub(p3, p4);
  const Vec d = sub(p4, p1);
  PlainWarp warp;
  warp.fold_24 = fold(cross(a, d), cross(b, cc));
  warp.fold_13 = fold(cross(a, b), cross(d, cc));
  warp.max = warp.fold_24 > warp.fold_13 ? warp.fold_24 : warp.fold_13;
  return warp;
}

std::optional<PlainWarp> plain_warp_of_line(std::string_view line) {
  const std::string text(line);
  const char* p = text.c_str();
  char* end = nullptr;
  double fields[14];
  for (double& field : fields) {
    field = std::strtod(p, &end);
    const bool ends_word =
        *end == '\0' || std::string_view(" \t\r\n").find(*end) != std::string_view::npos;
    if (end == p || !ends_word) return std::nullopt;
    p = end;
  }
  double coordinates[12];
  for (int i = 0; i < 12; ++i) coordinates[i] = fields[i + 2];
  return plain_warp(coordinates);
}

}  // namespace skewquad::testing
