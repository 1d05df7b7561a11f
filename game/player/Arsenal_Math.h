#pragma once
// Small vector and matrix helpers shared by the guns, their ammunition and the bullets.
#include <algorithm>
#include <cmath>

#include "platform/system/random.h"
#include "runtime/src/math/math_types.h"

namespace arsenal {

inline CVector3 Add(const CVector3& a, const CVector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline CVector3 Sub(const CVector3& a, const CVector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline CVector3 Mul(const CVector3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(const CVector3& a, const CVector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline CVector3 Cross(const CVector3& a, const CVector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const CVector3& a) { return std::sqrt(Dot(a, a)); }
// The unit vector along a, or the fallback when a has no usable length.
inline CVector3 Unit_Or(const CVector3& a, const CVector3& fallback) {
  const float length = Length(a);
  if (!(length > 1e-6f) || !std::isfinite(length)) return fallback;
  return Mul(a, 1.0f / length);
}
// v turned by angle (radians) about the unit axis.
inline CVector3 Turn(const CVector3& v, const CVector3& axis, float angle) {
  CQuaternion q;
  q.From_Axis_Angle(axis, angle);
  CVector3 out = v;
  out.Rotate_By_Quaternion(q);
  return out;
}
// A fresh random value in [0, 1).
inline float Random01() { return static_cast<float>(plat::Random()) / 32768.0f; }

// The orthonormal rows side, up, aim for an aim direction and world up (0, 1, 0). An aim along
// world up has no side of its own: the previous side is kept.
inline CMatrix3x3 Basis_From_Aim(const CVector3& aim_in, const CVector3& previous_side) {
  const CVector3 aim = Unit_Or(aim_in, CVector3{0.0f, 0.0f, 1.0f});
  CVector3 side = Cross(CVector3{0.0f, 1.0f, 0.0f}, aim);
  if (Length(side) < 1e-5f) side = Sub(previous_side, Mul(aim, Dot(previous_side, aim)));
  side = Unit_Or(side, CVector3{1.0f, 0.0f, 0.0f});
  const CVector3 up = Cross(aim, side);
  CMatrix3x3 m;
  m.Set_Rows(side, up, aim);
  return m;
}

// A world matrix: the rotation rows scaled by sx, sy, sz, then the position.
inline CMatrix4x4 Scaled_Frame(const CMatrix3x3& rotation, const CVector3& position, float sx = 1.0f,
                               float sy = 1.0f, float sz = 1.0f) {
  CMatrix3x3 scaled;
  scaled.Set_Rows(Mul(rotation.rows[0], sx), Mul(rotation.rows[1], sy), Mul(rotation.rows[2], sz));
  CMatrix4x4 m;
  m.From_Matrix3(scaled, position);
  return m;
}

// An ARGB word from an alpha in [0, 1] (truncated, limited to 0-255) over a 24-bit colour.
inline uint32_t Alpha_Over(float alpha, uint32_t rgb) {
  const float scaled = alpha * 255.0f;
  const uint32_t a = !(scaled > 0.0f) ? 0u : scaled >= 255.0f ? 255u : static_cast<uint32_t>(scaled);
  return a << 24 | (rgb & 0xFFFFFFu);
}

}  // namespace arsenal
