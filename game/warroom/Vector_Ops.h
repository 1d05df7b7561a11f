#pragma once
// Small vector arithmetic for the War Room's drawing code.
#include "runtime/src/math/math_types.h"

namespace warroom {

inline CVector3 Add(const CVector3& a, const CVector3& b) { return CVector3{a.x + b.x, a.y + b.y, a.z + b.z}; }
inline CVector3 Sub(const CVector3& a, const CVector3& b) { return CVector3{a.x - b.x, a.y - b.y, a.z - b.z}; }
inline CVector3 Scale(const CVector3& a, float s) { return CVector3{a.x * s, a.y * s, a.z * s}; }
inline CVector3 Cross(const CVector3& a, const CVector3& b) {
  return CVector3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline CVector3 Unit(const CVector3& a) {
  const float length = a.Length();
  return length > 0.0f ? Scale(a, 1.0f / length) : a;
}

}  // namespace warroom
