#pragma once
// Comparisons and random inputs shared by the math tests.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "runtime/src/math/math_types.h"

inline ::testing::AssertionResult Vectors_Near(const CVector3& actual, const CVector3& expected, float tolerance) {
  const float dx = std::fabs(actual.x - expected.x), dy = std::fabs(actual.y - expected.y),
              dz = std::fabs(actual.z - expected.z);
  if (dx <= tolerance && dy <= tolerance && dz <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") vs expected ("
                                       << expected.x << ", " << expected.y << ", " << expected.z << ")";
}

inline ::testing::AssertionResult Quaternions_Near(const CQuaternion& a, const CQuaternion& b, float tolerance) {
  if (std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance && std::fabs(a.z - b.z) <= tolerance &&
      std::fabs(a.w - b.w) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ", " << a.w << ") vs expected ("
                                       << b.x << ", " << b.y << ", " << b.z << ", " << b.w << ")";
}

inline ::testing::AssertionResult Matrices_Near(const CMatrix3x3& a, const CMatrix3x3& b, float tolerance) {
  for (int i = 0; i < 3; ++i) {
    auto row = Vectors_Near(a.rows[i], b.rows[i], tolerance);
    if (!row) return row << " in row " << i;
  }
  return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult Matrices_Near(const CMatrix4x4& a, const CMatrix4x4& b, float tolerance) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (!(std::fabs(a.m[i][j] - b.m[i][j]) <= tolerance))
        return ::testing::AssertionFailure() << "m" << i << j << " = " << a.m[i][j] << ", expected " << b.m[i][j];
  return ::testing::AssertionSuccess();
}

#define EXPECT_VEC_NEAR(actual, expected, tol) EXPECT_TRUE(Vectors_Near((actual), (expected), (tol)))
#define EXPECT_QUAT_NEAR(actual, expected, tol) EXPECT_TRUE(Quaternions_Near((actual), (expected), (tol)))
#define EXPECT_MAT_NEAR(actual, expected, tol) EXPECT_TRUE(Matrices_Near((actual), (expected), (tol)))

// Seeded random values for property checks.
class Random_Source {
 public:
  explicit Random_Source(unsigned seed) : m_Engine(seed) {}
  float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(m_Engine); }
  CVector3 Vector(float lo, float hi) { return CVector3{Uniform(lo, hi), Uniform(lo, hi), Uniform(lo, hi)}; }
  CVector3 Unit_Vector() {
    for (;;) {
      CVector3 v = Vector(-1.0f, 1.0f);
      const float length = v.Length();
      if (length > 0.1f && length <= 1.0f) return v.Scale_Assign(1.0f / length);
    }
  }
  CQuaternion Rotation() {
    CQuaternion q;
    return q.From_Axis_Angle(Unit_Vector(), Uniform(-3.1f, 3.1f));
  }

 private:
  std::mt19937 m_Engine;
};
