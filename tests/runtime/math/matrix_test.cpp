#include <cmath>

#include "runtime/src/math/math_types.h"
#include "tests/runtime/math/math_test_util.h"

namespace {

constexpr float kPi = 3.14159265358979f;

CMatrix3x3 Rows(const CVector3& r0, const CVector3& r1, const CVector3& r2) {
  CMatrix3x3 m;
  return m.Set_Rows(r0, r1, r2);
}

CMatrix4x4 Identity4() {
  CMatrix4x4 m;
  return m.Set_Identity();
}

TEST(Matrix3x3, FromDirectionStatedCases) {
  CMatrix3x3 m;
  m.From_Direction(CVector3{0, 0, 1}, CVector3{0, 1, 0});
  EXPECT_MAT_NEAR(m, CMatrix3x3::Identity, 0.0f);
  // Columns (0, 0, -1), (0, 1, 0), (1, 0, 0).
  m.From_Direction(CVector3{1, 0, 0}, CVector3{0, 1, 0});
  EXPECT_MAT_NEAR(m, Rows(CVector3{0, 0, 1}, CVector3{0, 1, 0}, CVector3{-1, 0, 0}), 0.0f);
  // An up that is not perpendicular nor unit length.
  m.From_Direction(CVector3{0, 0, 1}, CVector3{0, 5, 3});
  EXPECT_MAT_NEAR(m, CMatrix3x3::Identity, 1e-6f);
}

TEST(Matrix3x3, FromDirectionGivesCoordinatesAlongRightUpAndDirection) {
  Random_Source random(21);
  for (int i = 0; i < 300; ++i) {
    const CVector3 dir = random.Unit_Vector();
    const CVector3 up = random.Vector(-2.0f, 2.0f);
    CVector3 across;
    if (dir.Cross(up, across).Length() < 0.2f) continue;
    CMatrix3x3 m, transpose, product;
    m.From_Direction(dir, up);
    CVector3 along;
    ASSERT_TRUE(Vectors_Near(dir.Rotate_To(m, along), CVector3{0, 0, 1}, 1e-5f));
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) transpose.At(r, c) = m.At(c, r);
    ASSERT_TRUE(Matrices_Near(m.Multiply(transpose, product), CMatrix3x3::Identity, 1e-5f));
    // The up column leans toward the reference up.
    ASSERT_GT(CVector3({m.At(0, 1), m.At(1, 1), m.At(2, 1)}).Dot(up), 0.0f);
  }
}

TEST(Matrix3x3, RotationsAgree) {
  CMatrix3x3 a, b, q_matrix;
  CQuaternion q;
  for (float angle : {-2.5f, -0.3f, 0.0f, 0.7f, kPi / 2, 3.0f}) {
    a.Rotation_X(angle);
    b.From_Axis_Angle(CVector3{1, 0, 0}, angle);
    EXPECT_MAT_NEAR(a, b, 1e-6f);
    EXPECT_NEAR(a.At(1, 1), std::cos(angle), 1e-6f);
    EXPECT_NEAR(a.At(1, 2), std::sin(angle), 1e-6f);
    q.From_Axis_Angle(CVector3{0.6f, 0, 0.8f}, angle);
    b.From_Axis_Angle(CVector3{0.6f, 0, 0.8f}, angle);
    EXPECT_MAT_NEAR(b, q_matrix.From_Quaternion(q), 0.0f);
  }
}

TEST(Matrix3x3, MultiplyAppliesThisFirst) {
  CMatrix3x3 turn_x, turn_y, product;
  turn_x.Rotation_X(kPi / 2);
  turn_y.From_Axis_Angle(CVector3{0, 1, 0}, kPi / 2);
  EXPECT_EQ(&turn_x.Multiply(turn_y, product), &product);
  CVector3 v{0, 1, 0};
  EXPECT_VEC_NEAR(v.Rotate(product), (CVector3{1, 0, 0}), 1e-6f);
  // In place, including a destination that is one of the operands.
  CMatrix3x3 in_place = turn_x;
  in_place.Multiply_Assign(turn_y);
  EXPECT_MAT_NEAR(in_place, product, 0.0f);
  CMatrix3x3 aliased = turn_y;
  turn_x.Multiply(aliased, aliased);
  EXPECT_MAT_NEAR(aliased, product, 0.0f);
}

TEST(Matrix3x3, RowsAndAxes) {
  CMatrix3x3 m = Rows(CVector3{1, 2, 3}, CVector3{4, 5, 6}, CVector3{7, 8, 9});
  EXPECT_EQ(m.Row1()->y, 5.0f);
  EXPECT_EQ(m.Row2(), &m.rows[2]);
  EXPECT_EQ(m.Row0(), &m.rows[0]);
  CVector3 r1{0, 0, 0};
  m.Get_Axes(nullptr, &r1, nullptr);
  EXPECT_VEC_NEAR(r1, (CVector3{4, 5, 6}), 0.0f);
}

TEST(Matrix3x3, InvertTable) {
  struct Case {
    const char* name;
    CMatrix3x3 m;
    float det;
    CMatrix3x3 inverse;
  } cases[] = {
      {"identity", CMatrix3x3::Identity, 1.0f, CMatrix3x3::Identity},
      {"scale", Rows({2, 0, 0}, {0, 4, 0}, {0, 0, 0.5f}), 4.0f, Rows({0.5f, 0, 0}, {0, 0.25f, 0}, {0, 0, 2})},
      {"general", Rows({2, 1, 0}, {0, 1, 0}, {1, 0, 1}), 2.0f, Rows({0.5f, -0.5f, 0}, {0, 1, 0}, {-0.5f, 0.5f, 1})},
      {"zero row", Rows({1, 2, 3}, {0, 0, 0}, {4, 5, 6}), 0.0f, CMatrix3x3::Identity},
      {"dependent rows", Rows({1, 2, 3}, {2, 4, 6}, {0, 1, 1}), 0.0f, CMatrix3x3::Identity},
  };
  for (Case c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FLOAT_EQ(c.m.Invert(), c.det);
    EXPECT_MAT_NEAR(c.m, c.inverse, 1e-6f);
  }
}

TEST(Matrix4x4, InverseOfRotationAndTranslation) {
  CQuaternion q;
  q.From_Axis_Angle(CVector3{0, 0.6f, 0.8f}, 1.1f);
  CMatrix4x4 m;
  const CVector3 t{3, -4, 5};
  m.From_Quaternion_Position(q, t);
  CMatrix4x4 inverse = m;
  EXPECT_NEAR(inverse.Inverse(), 1.0f, 1e-6f);
  // R transposed with translation -t * R transposed.
  CMatrix4x4 expected = Identity4();
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) expected.m[i][j] = m.m[j][i];
  for (int j = 0; j < 3; ++j) expected.m[3][j] = -(t.x * m.m[j][0] + t.y * m.m[j][1] + t.z * m.m[j][2]);
  EXPECT_MAT_NEAR(inverse, expected, 1e-5f);
}

TEST(Matrix4x4, AffineInverseRoundTrips) {
  Random_Source random(31);
  for (int i = 0; i < 300; ++i) {
    CMatrix4x4 m, scale, inverse, product;
    m.From_Quaternion_Position(random.Rotation(), random.Vector(-50, 50));
    scale.Scaling(random.Uniform(0.2f, 5.0f), random.Uniform(0.2f, 5.0f), random.Uniform(-5.0f, -0.2f));
    scale.Multiply(m, m);
    inverse = m;
    ASSERT_NE(inverse.Inverse(), 0.0f);
    m.Multiply(inverse, product);
    ASSERT_TRUE(Matrices_Near(product, Identity4(), 2e-5f)) << "case " << i;
    const CVector3 p = random.Vector(-10, 10);
    CVector3 there = p;
    there.Transform_By_Matrix4(m).Transform_By_Matrix4(inverse);
    ASSERT_TRUE(Vectors_Near(there, p, 1e-3f)) << "case " << i;
  }
}

TEST(Matrix4x4, InverseSingularAndTinyScales) {
  CMatrix4x4 m = Identity4();
  m.m[1][0] = m.m[1][1] = m.m[1][2] = 0.0f;
  m.Set_Translation_XYZ(4, 5, 6);
  m.m[0][3] = 7.0f;
  EXPECT_EQ(m.Inverse(), 0.0f);
  EXPECT_MAT_NEAR(m, Identity4(), 0.0f);

  // det 1e-18 still inverts: the test is relative to the size of the terms.
  CMatrix4x4 tiny;
  tiny.Scaling(1e-6f, 1e-6f, 1e-6f);
  EXPECT_NEAR(tiny.Inverse(), 1e-18f, 1e-22f);
  EXPECT_NEAR(tiny.m[0][0], 1e6f, 1.0f);
  EXPECT_NEAR(tiny.m[2][2], 1e6f, 1.0f);

  // The fourth column is taken to be (0, 0, 0, 1) whatever it holds.
  CMatrix4x4 skewed;
  skewed.Translation(1, 2, 3);
  skewed.m[0][3] = 5.0f;
  skewed.m[3][3] = 9.0f;
  skewed.Inverse();
  CMatrix4x4 expected;
  EXPECT_MAT_NEAR(skewed, expected.Translation(-1, -2, -3), 0.0f);
}

TEST(Matrix4x4, BuildersAndAccessors) {
  CMatrix4x4 m;
  m.Scaling(2, 3, 4);
  CMatrix4x4 expected = Identity4();
  expected.m[0][0] = 2;
  expected.m[1][1] = 3;
  expected.m[2][2] = 4;
  EXPECT_MAT_NEAR(m, expected, 0.0f);
  EXPECT_MAT_NEAR(m.Scaling_From_Vector(CVector3{2, 3, 4}), expected, 0.0f);

  m.Translation(CVector3{7, 8, 9});
  expected = Identity4();
  expected.Set_Translation(CVector3{7, 8, 9});
  EXPECT_MAT_NEAR(m, expected, 0.0f);
  CVector3 t;
  EXPECT_EQ(&m.Get_Translation(t), &t);
  EXPECT_VEC_NEAR(t, (CVector3{7, 8, 9}), 0.0f);

  CMatrix4x4 r;
  r.Rotation_Z(kPi / 2);
  CVector3 x{1, 0, 0};
  EXPECT_VEC_NEAR(x.Rotate_By_Matrix4(r), (CVector3{0, 1, 0}), 1e-6f);
  EXPECT_EQ(r.m[2][2], 1.0f);
  EXPECT_EQ(r.m[3][3], 1.0f);
  EXPECT_EQ(r.m[3][0], 0.0f);

  CQuaternion q;
  q.From_Axis_Angle(CVector3{0, 0, 1}, 0.8f);
  CMatrix4x4 from_q;
  from_q.From_Quaternion(q);
  r.Rotation_Z(0.8f);
  EXPECT_MAT_NEAR(from_q, r, 1e-6f);

  // Only the upper 3x3 is written.
  CMatrix4x4 partial;
  for (auto& row : partial.m)
    for (float& e : row) e = 5.0f;
  partial.Set_Rotation_From_Quaternion(q);
  EXPECT_NEAR(partial.m[0][0], r.m[0][0], 1e-6f);
  EXPECT_EQ(partial.m[0][3], 5.0f);
  EXPECT_EQ(partial.m[3][1], 5.0f);

  CVector3 a0, a1, a2;
  from_q.Get_Axes(a0, a1, a2);
  EXPECT_VEC_NEAR(a1, (CVector3{from_q.m[1][0], from_q.m[1][1], from_q.m[1][2]}), 0.0f);
}

TEST(Matrix4x4, FromFrameAndQuaternionPosition) {
  CMatrix3x3 orientation;
  orientation.From_Axis_Angle(CVector3{0, 1, 0}, 0.5f);
  CMatrix4x3 frame;
  frame.Set(CVector3{1, 2, 3}, orientation);
  CMatrix4x4 m;
  m.From_Matrix3(frame);
  for (int i = 0; i < 3; ++i) {
    EXPECT_VEC_NEAR((CVector3{m.m[i][0], m.m[i][1], m.m[i][2]}), orientation.rows[i], 0.0f);
    EXPECT_EQ(m.m[i][3], 0.0f);
  }
  EXPECT_VEC_NEAR((CVector3{m.m[3][0], m.m[3][1], m.m[3][2]}), (CVector3{1, 2, 3}), 0.0f);
  EXPECT_EQ(m.m[3][3], 1.0f);

  // The frame transforms a point like the 4x4 built from it.
  const CVector3 p{4, -5, 6};
  CVector3 by_frame, by_matrix = p;
  EXPECT_EQ(&frame.Transform_Point(by_frame, p), &by_frame);
  EXPECT_VEC_NEAR(by_frame, by_matrix.Transform_By_Matrix4(m), 1e-5f);

  CQuaternion q;
  q.From_Matrix3(orientation);
  CMatrix4x4 from_q;
  EXPECT_MAT_NEAR(from_q.From_Quaternion_Position(q, CVector3{1, 2, 3}), m, 1e-6f);
}

TEST(Matrix4x4, ProductOfTransformsAppliesTheFirstFirst) {
  Random_Source random(41);
  for (int i = 0; i < 200; ++i) {
    CMatrix4x4 a, b, product;
    a.From_Quaternion_Position(random.Rotation(), random.Vector(-5, 5));
    b.From_Quaternion_Position(random.Rotation(), random.Vector(-5, 5));
    EXPECT_EQ(&a.Multiply(b, product), &product);
    const CVector3 p = random.Vector(-5, 5);
    CVector3 step = p, once = p;
    step.Transform_By_Matrix4(a).Transform_By_Matrix4(b);
    once.Transform_By_Matrix4(product);
    ASSERT_TRUE(Vectors_Near(once, step, 1e-4f));
    CMatrix4x4 assigned = a;
    assigned.Multiply_Assign(b);
    ASSERT_TRUE(Matrices_Near(assigned, product, 0.0f));
  }
}

}  // namespace
