// A point in LDraw units, and the vector arithmetic on points, each product
// and sum rounded on its own in the order written.
#pragma once

namespace skewquad {

/// A point in LDraw units; also an edge or normal vector built from corners.
struct Vertex {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

/// The vector from b to a.
inline Vertex minus(const Vertex& a, const Vertex& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

inline Vertex cross(const Vertex& u, const Vertex& v) {
  return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

/// Summed x, then y, then z.
inline double dot(const Vertex& u, const Vertex& v) { return u.x * v.x + u.y * v.y + u.z * v.z; }

inline bool operator==(const Vertex& a, const Vertex& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

}  // namespace skewquad
