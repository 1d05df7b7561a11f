#pragma once
// Cuts triangles against up to six planes (a projection volume) into a fixed buffer of at most
// 128 triangles. A point is inside a plane when a*x + b*y + c*z + d >= 0.
#include <cstdint>

// 32 bytes: position, normal, one texture set.
struct ClipVertex {
  float Position[3];
  float Normal[3];
  float UV[2];
};

struct ClipTriangle {
  ClipVertex V[3];
};

class CProjectionClipper {
 public:
  static constexpr uint32_t kMaxTriangles = 128;
  static constexpr uint32_t kMaxPlanes = 6;

  void SetPlane(uint32_t index, float a, float b, float c, float d);
  void Reset() { m_Count = 0; }
  // Clips one triangle against the planes of the mask (bit i = plane i) and appends what is
  // inside all of them; false once the buffer is full.
  bool Clip(const ClipTriangle& triangle, uint32_t plane_mask);

  uint32_t Count() const { return m_Count; }
  bool IsFull() const { return m_Count >= kMaxTriangles; }
  const ClipTriangle& Triangle(uint32_t i) const { return m_Out[i]; }

 private:
  void ClipFrom(const ClipTriangle& triangle, uint32_t plane_mask, uint32_t first_plane);
  float Distance(uint32_t plane, const ClipVertex& v) const;

  float m_Planes[kMaxPlanes][4] = {};
  ClipTriangle m_Out[kMaxTriangles];
  uint32_t m_Count = 0;
};
