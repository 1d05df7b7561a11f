#include <cmath>

#include "runtime/src/math/math_types.h"
#include "tests/runtime/math/math_test_util.h"

namespace {

constexpr float kPi = 3.14159265358979f;

CMatrix3x3 Matrix_Of(const CQuaternion& q) {
  CMatrix3x3 m;
  return m.From_Quaternion(q);
}

TEST(Quaternion, FromAxisAngleAndRotationX) {
  CQuaternion q;
  q.From_Axis_Angle(CVector3{0.0f, 0.6f, 0.8f}, kPi / 3);
  EXPECT_QUAT_NEAR(q, (CQuaternion{0.0f, 0.3f, 0.4f, std::cos(kPi / 6)}), 1e-6f);
  CQuaternion x, expected;
  x.Rotation_X(1.2f);
  EXPECT_QUAT_NEAR(x, expected.From_Axis_Angle(CVector3{1, 0, 0}, 1.2f), 1e-7f);
}

TEST(Quaternion, FromMatrixTable) {
  struct Case {
    const char* name;
    CVector3 r0, r1, r2;
    CQuaternion expected;
  } cases[] = {
      {"identity", {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0, 1}},
      {"half turn about x", {1, 0, 0}, {0, -1, 0}, {0, 0, -1}, {1, 0, 0, 0}},
      {"half turn about y", {-1, 0, 0}, {0, 1, 0}, {0, 0, -1}, {0, 1, 0, 0}},
      {"half turn about z", {-1, 0, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, 1, 0}},
      {"quarter turn about z", {0, 1, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 0, std::sqrt(0.5f), std::sqrt(0.5f)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMatrix3x3 m;
    m.Set_Rows(c.r0, c.r1, c.r2);
    CQuaternion q;
    EXPECT_QUAT_NEAR(q.From_Matrix3(m), c.expected, 1e-6f);
    CMatrix4x4 m4;
    m4.From_Matrix3(m, CVector3{7, 8, 9});
    EXPECT_QUAT_NEAR(q.From_Matrix4(m4), c.expected, 1e-6f);
  }
}

TEST(Quaternion, FromMatrixBranchFollowsTheTraceThreshold) {
  // Trace sums just above and just below 0.00001 (m00 + 1 is exact here).
  CMatrix3x3 m;
  CQuaternion q;
  m.Set_Rows(CVector3{-1.0f + 1.0f / 65536.0f, 0, 0}, CVector3{0, 0, 0}, CVector3{0, 0, 0});
  q.From_Matrix3(m);
  EXPECT_FLOAT_EQ(q.w, std::sqrt(1.0f / 65536.0f) / 2);  // trace branch
  m.rows[0].x = -1.0f + 1.0f / 131072.0f;
  q.From_Matrix3(m);
  // Largest diagonal m11: s = sqrt(m11 - (m22 + m00) + 1), component y = s / 2.
  EXPECT_FLOAT_EQ(q.y, std::sqrt(2.0f - 1.0f / 131072.0f) / 2);
}

TEST(Quaternion, FromMatrixRoundTripsRandomRotations) {
  // Turns well short of a half turn: near one, the trace branch loses precision as 1 / w.
  Random_Source random(11);
  for (int i = 0; i < 500; ++i) {
    CQuaternion q;
    q.From_Axis_Angle(random.Unit_Vector(), random.Uniform(-2.9f, 2.9f));
    CQuaternion back;
    back.From_Matrix3(Matrix_Of(q));
    if (back.Dot(q) < 0) back = CQuaternion{-back.x, -back.y, -back.z, -back.w};
    ASSERT_TRUE(Quaternions_Near(back, q, 1e-5f)) << "case " << i;
  }
}

TEST(Quaternion, MultiplyAppliesThisFirstThenOther) {
  CQuaternion about_x, about_y, product;
  about_x.From_Axis_Angle(CVector3{1, 0, 0}, kPi / 2);
  about_y.From_Axis_Angle(CVector3{0, 1, 0}, kPi / 2);
  CVector3 v{0, 1, 0};
  EXPECT_EQ(&about_x.Multiply(about_y, product), &product);
  EXPECT_VEC_NEAR(v.Rotate_By_Quaternion(product), (CVector3{1, 0, 0}), 1e-6f);
  CVector3 w{0, 1, 0};
  about_y.Multiply(about_x, product);  // the other order differs
  EXPECT_VEC_NEAR(w.Rotate_By_Quaternion(product), (CVector3{0, 0, 1}), 1e-6f);
}

TEST(Quaternion, MatrixOfProductIsProductOfMatrices) {
  Random_Source random(12);
  for (int i = 0; i < 300; ++i) {
    const CQuaternion a = random.Rotation(), b = random.Rotation();
    CQuaternion c, assigned = a;
    a.Multiply(b, c);
    assigned.Multiply_Assign(b);
    ASSERT_TRUE(Quaternions_Near(assigned, c, 0.0f));
    // The written-out product with this = (x, y, z, w) and other = (X, Y, Z, W).
    const CQuaternion expected{a.w * b.x + a.x * b.w + a.z * b.y - a.y * b.z, a.w * b.y + a.y * b.w + a.x * b.z - a.z * b.x,
                               a.w * b.z + a.z * b.w + a.y * b.x - a.x * b.y, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
    ASSERT_TRUE(Quaternions_Near(c, expected, 1e-6f));
    CMatrix3x3 product;
    Matrix_Of(a).Multiply(Matrix_Of(b), product);
    ASSERT_TRUE(Matrices_Near(Matrix_Of(c), product, 1e-5f)) << "case " << i;
  }
}

TEST(Quaternion, SlerpEndsAndShortArc) {
  CQuaternion a, b, r;
  a.From_Axis_Angle(CVector3{0, 0, 1}, 0.2f);
  b.From_Axis_Angle(CVector3{0, 1, 0}, 1.4f);
  EXPECT_QUAT_NEAR(r.Slerp(a, b, 0.0f), a, 1e-6f);
  EXPECT_QUAT_NEAR(r.Slerp(a, b, 1.0f), b, 1e-6f);
  const CQuaternion neg_b{-b.x, -b.y, -b.z, -b.w};
  EXPECT_QUAT_NEAR(r.Slerp(a, neg_b, 1.0f), b, 1e-6f);  // negated to take the shorter arc

  CQuaternion zero, quarter, eighth;
  zero = CQuaternion::Identity;
  quarter.From_Axis_Angle(CVector3{0, 0, 1}, kPi / 2);
  eighth.From_Axis_Angle(CVector3{0, 0, 1}, kPi / 4);
  EXPECT_QUAT_NEAR(r.Slerp(zero, quarter, 0.5f), eighth, 1e-6f);
}

TEST(Quaternion, SlerpOfNearlyEqualRotationsBlendsLinearly) {
  CQuaternion a, b, r;
  a.From_Axis_Angle(CVector3{0, 0, 1}, 0.01f);
  b.From_Axis_Angle(CVector3{0, 0, 1}, 0.02f);  // 1 - a . b is about 1.25e-5
  ASSERT_LE(1.0f - a.Dot(b), 0.0001f);
  const float t = 0.3f;
  r.Slerp(a, b, t);
  EXPECT_EQ(r.z, (1.0f - t) * a.z + t * b.z);
  EXPECT_EQ(r.w, (1.0f - t) * a.w + t * b.w);
  const CQuaternion neg_b{-b.x, -b.y, -b.z, -b.w};
  r.Slerp(a, neg_b, t);
  EXPECT_EQ(r.z, (1.0f - t) * a.z + t * b.z);
}

TEST(Quaternion, NormalizeDotAndGetAxes) {
  CQuaternion q{1.0f, 2.0f, 2.0f, 4.0f};
  EXPECT_EQ(q.Dot(q), 25.0f);
  q.Normalize();
  EXPECT_QUAT_NEAR(q, (CQuaternion{0.2f, 0.4f, 0.4f, 0.8f}), 1e-7f);

  CQuaternion quarter_z;
  quarter_z.From_Axis_Angle(CVector3{0, 0, 1}, kPi / 2);
  CVector3 r0{9, 9, 9}, r2{9, 9, 9};
  quarter_z.Get_Axes(&r0, nullptr, &r2);  // a null output is skipped
  EXPECT_VEC_NEAR(r0, (CVector3{0, 1, 0}), 1e-6f);
  EXPECT_VEC_NEAR(r2, (CVector3{0, 0, 1}), 1e-6f);
}

TEST(Quaternion, FromDirectionIsTheRotationOfTheDirectionBasis) {
  Random_Source random(13);
  for (int i = 0; i < 200; ++i) {
    const CVector3 dir = random.Unit_Vector();
    const CVector3 up = random.Vector(-3.0f, 3.0f);
    CVector3 across;
    if (dir.Cross(up, across).Length() < 0.3f) continue;
    CMatrix3x3 basis;
    basis.From_Direction(dir, up);
    if (basis.At(0, 0) + basis.At(1, 1) + basis.At(2, 2) + 1.0f < 0.05f) continue;  // see above
    CQuaternion q;
    q.From_Direction(dir, up);
    ASSERT_TRUE(Matrices_Near(Matrix_Of(q), basis, 2e-5f)) << "case " << i;
  }
}

}  // namespace
