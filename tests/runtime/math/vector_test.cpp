#include <cmath>
#include <cstdint>
#include <limits>

#include "runtime/src/math/math_types.h"
#include "tests/runtime/math/math_test_util.h"

namespace {

constexpr float kPi = 3.14159265358979f;

TEST(Vector3, ComponentOperationsWriteTheDestinationAndReturnIt) {
  const CVector3 a{1.0f, -2.0f, 4.0f};
  const CVector3 b{0.5f, 4.0f, -2.0f};
  struct Case {
    const char* name;
    CVector3& (*op)(const CVector3&, const CVector3&, CVector3&);
    CVector3 expected;
  };
  const Case cases[] = {
      {"Add", [](const CVector3& x, const CVector3& y, CVector3& d) -> CVector3& { return x.Add(y, d); },
       {1.5f, 2.0f, 2.0f}},
      {"Subtract", [](const CVector3& x, const CVector3& y, CVector3& d) -> CVector3& { return x.Subtract(y, d); },
       {0.5f, -6.0f, 6.0f}},
      {"Multiply_Components",
       [](const CVector3& x, const CVector3& y, CVector3& d) -> CVector3& { return x.Multiply_Components(y, d); },
       {0.5f, -8.0f, -8.0f}},
      {"Divide_Components",
       [](const CVector3& x, const CVector3& y, CVector3& d) -> CVector3& { return x.Divide_Components(y, d); },
       {2.0f, -0.5f, -2.0f}},
      {"Cross", [](const CVector3& x, const CVector3& y, CVector3& d) -> CVector3& { return x.Cross(y, d); },
       {-12.0f, 4.0f, 5.0f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CVector3 dest{};
    EXPECT_EQ(&c.op(a, b, dest), &dest);
    EXPECT_VEC_NEAR(dest, c.expected, 0.0f);
  }
}

TEST(Vector3, InPlaceAndScalarOperations) {
  CVector3 v{1.0f, 2.0f, 3.0f}, dest{};
  EXPECT_VEC_NEAR(v.Scale(2.0f, dest), (CVector3{2.0f, 4.0f, 6.0f}), 0.0f);
  EXPECT_VEC_NEAR(v.Divide(4.0f, dest), (CVector3{0.25f, 0.5f, 0.75f}), 0.0f);
  EXPECT_VEC_NEAR(v.Negate(dest), (CVector3{-1.0f, -2.0f, -3.0f}), 0.0f);
  EXPECT_EQ(&v.Copy_To(dest), &dest);
  EXPECT_VEC_NEAR(dest, v, 0.0f);
  EXPECT_EQ(&v.Add_Assign(CVector3{1.0f, 1.0f, 1.0f}), &v);
  EXPECT_VEC_NEAR(v, (CVector3{2.0f, 3.0f, 4.0f}), 0.0f);
  v.Subtract_Assign(CVector3{2.0f, 2.0f, 2.0f});
  EXPECT_VEC_NEAR(v, (CVector3{0.0f, 1.0f, 2.0f}), 0.0f);
  v.Scale_Assign(3.0f);
  EXPECT_VEC_NEAR(v, (CVector3{0.0f, 3.0f, 6.0f}), 0.0f);
  v.Divide_Assign(3.0f);
  EXPECT_VEC_NEAR(v, (CVector3{0.0f, 1.0f, 2.0f}), 1e-7f);
  EXPECT_EQ(v.Dot(CVector3{5.0f, 2.0f, -1.0f}), 0.0f);
  EXPECT_EQ((CVector3{2.0f, 3.0f, 6.0f}).Length_Squared(), 49.0f);
  EXPECT_EQ((CVector3{2.0f, 3.0f, 6.0f}).Length(), 7.0f);
}

TEST(Vector3, CrossProductIsLeftHandedWorldOrdinaryCross) {
  const CVector3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
  CVector3 dest;
  EXPECT_VEC_NEAR(y.Cross(z, dest), x, 0.0f);
  EXPECT_VEC_NEAR(z.Cross(x, dest), y, 0.0f);
  EXPECT_VEC_NEAR(x.Cross(y, dest), z, 0.0f);
}

TEST(Vector3, NormalizeReturnsFormerLengthAndNormalizedWritesDestination) {
  CVector3 v{0.0f, 3.0f, 4.0f};
  CVector3 unit;
  EXPECT_VEC_NEAR(v.Normalized(unit), (CVector3{0.0f, 0.6f, 0.8f}), 1e-7f);
  EXPECT_VEC_NEAR(v, (CVector3{0.0f, 3.0f, 4.0f}), 0.0f);
  EXPECT_EQ(v.Normalize(), 5.0f);
  EXPECT_VEC_NEAR(v, (CVector3{0.0f, 0.6f, 0.8f}), 1e-7f);
}

TEST(Vector3, RotationsByMatricesTreatTheVectorAsARow) {
  CMatrix3x3 m;
  m.Set_Rows(CVector3{0, 1, 0}, CVector3{-1, 0, 0}, CVector3{0, 0, 1});  // x -> y, y -> -x
  CVector3 v{2.0f, 3.0f, 5.0f}, dest;
  EXPECT_VEC_NEAR(v.Rotate_To(m, dest), (CVector3{-3.0f, 2.0f, 5.0f}), 0.0f);
  v.Rotate(m);
  EXPECT_VEC_NEAR(v, (CVector3{-3.0f, 2.0f, 5.0f}), 0.0f);

  CMatrix4x4 t;
  t.Rotation_Z(kPi / 2).Set_Translation_XYZ(10.0f, 20.0f, 30.0f);
  CVector3 direction{1.0f, 0.0f, 0.0f};
  direction.Rotate_By_Matrix4(t);
  EXPECT_VEC_NEAR(direction, (CVector3{0.0f, 1.0f, 0.0f}), 1e-6f);
  CVector3 point{1.0f, 0.0f, 0.0f};
  point.Transform_By_Matrix4(t);
  EXPECT_VEC_NEAR(point, (CVector3{10.0f, 21.0f, 30.0f}), 1e-5f);
}

TEST(Vector3, RotateByQuaternionEqualsMultiplicationByItsMatrix) {
  CQuaternion quarter_z;
  quarter_z.From_Axis_Angle(CVector3{0, 0, 1}, kPi / 2);
  CVector3 v{1.0f, 0.0f, 0.0f};
  EXPECT_VEC_NEAR(v.Rotate_By_Quaternion(quarter_z), (CVector3{0.0f, 1.0f, 0.0f}), 1e-6f);

  Random_Source random(7);
  for (int i = 0; i < 500; ++i) {
    const CQuaternion q = random.Rotation();
    const CVector3 p = random.Vector(-10.0f, 10.0f);
    CMatrix3x3 m;
    m.From_Quaternion(q);
    CVector3 by_matrix, by_quaternion = p;
    p.Rotate_To(m, by_matrix);
    by_quaternion.Rotate_By_Quaternion(q);
    ASSERT_TRUE(Vectors_Near(by_quaternion, by_matrix, 2e-5f)) << "case " << i;
  }
}

TEST(Vector2, Operations) {
  const CVector2 a{3.0f, 4.0f}, b{1.0f, -1.0f};
  CVector2 d;
  a.Add(b, d);
  EXPECT_EQ(d.x, 4.0f);
  EXPECT_EQ(d.y, 3.0f);
  a.Subtract(b, d);
  EXPECT_EQ(d.x, 2.0f);
  EXPECT_EQ(d.y, 5.0f);
  EXPECT_EQ(&a.Scale(0.5f, d), &d);
  EXPECT_EQ(d.x, 1.5f);
  EXPECT_EQ(d.y, 2.0f);
  EXPECT_EQ(a.Length(), 5.0f);
}

TEST(Constants, HoldTheirValues) {
  EXPECT_VEC_NEAR(CVector3::Zero, (CVector3{0, 0, 0}), 0.0f);
  EXPECT_QUAT_NEAR(CQuaternion::Identity, (CQuaternion{0, 0, 0, 1}), 0.0f);
  CMatrix3x3 identity;
  EXPECT_MAT_NEAR(CMatrix3x3::Identity, identity.Set_Identity(), 0.0f);
  EXPECT_EQ(CColor4::Zero.r + CColor4::Zero.g + CColor4::Zero.b + CColor4::Zero.a, 0.0f);
}

TEST(Clamp, FloatTable) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float value, min, max, expected;
  } cases[] = {
      {0.5f, 0.0f, 1.0f, 0.5f}, {-1.0f, 0.0f, 1.0f, 0.0f}, {2.0f, 0.0f, 1.0f, 1.0f},
      {nan, 0.0f, 1.0f, 0.0f},                            // not a number gives the minimum
      {0.0f, 1.0f, -1.0f, 1.0f},                          // min > max: below min gives min
      {2.0f, 1.0f, -1.0f, -1.0f},                         // otherwise above max gives max
      {1.0f, 1.0f, 1.0f, 1.0f},
  };
  for (const Case& c : cases) EXPECT_EQ(Clamp_Float(&c.value, &c.min, &c.max), c.expected) << c.value;
}

TEST(Clamp, IntegerTablesCompareWithTheirOwnSignedness) {
  struct UCase {
    uint32_t value, min, max, expected;
  } ucases[] = {
      {5, 1, 10, 5}, {0, 1, 10, 1}, {0xFFFFFFFFu, 1, 10, 10}, {0x80000000u, 0, 0x7FFFFFFFu, 0x7FFFFFFFu},
      {3, 5, 2, 5},  {6, 5, 2, 2},
  };
  for (const UCase& c : ucases) EXPECT_EQ(Clamp_UInt(&c.value, &c.min, &c.max), c.expected) << c.value;

  struct ICase {
    int32_t value, min, max, expected;
  } icases[] = {
      {5, 1, 10, 5}, {-5, -3, 10, -3}, {-1, 0, 10, 0}, {20, -10, 10, 10}, {3, 5, 2, 5}, {6, 5, 2, 2},
  };
  for (const ICase& c : icases) EXPECT_EQ(Clamp_Int(&c.value, &c.min, &c.max), c.expected) << c.value;
}

TEST(Color4, ScaleIncludesAlpha) {
  CColor4 c;
  EXPECT_EQ(&c.Set(0.2f, 0.4f, 0.6f, 0.8f), &c);
  CColor4 d;
  EXPECT_EQ(&c.Scaled(0.5f, d), &d);
  EXPECT_FLOAT_EQ(d.a, 0.4f);
  EXPECT_FLOAT_EQ(d.r, 0.1f);
  EXPECT_FLOAT_EQ(c.a, 0.8f);
  c.Scale(2.0f);
  EXPECT_FLOAT_EQ(c.a, 1.6f);
  EXPECT_FLOAT_EQ(c.b, 1.2f);
  CColor4 e;
  EXPECT_EQ(&e.Copy(c), &e);
  EXPECT_EQ(e.g, c.g);
  EXPECT_EQ(e.a, c.a);
}

TEST(Plane, SetKeepsTheNormalAsGiven) {
  CPlane plane;
  plane.Set(CVector3{0.0f, 2.0f, 0.0f}, CVector3{5.0f, 3.0f, 1.0f});
  EXPECT_EQ(plane.ny, 2.0f);
  EXPECT_EQ(plane.d, -6.0f);
  EXPECT_EQ(plane.Distance(CVector3{0.0f, 4.0f, 0.0f}), 2.0f);
}

TEST(Plane, IntersectSegmentTable) {
  CPlane plane;
  plane.Set(CVector3{0.0f, 1.0f, 0.0f}, CVector3{0.0f, 1.0f, 0.0f});  // y = 1
  struct Case {
    CVector3 p0, p1;
    bool crosses;
    CVector3 expected;
  } cases[] = {
      {{0, 0, 0}, {0, 4, 0}, true, {0, 1, 0}},    // through the plane
      {{2, 2, 0}, {2, 3, 0}, true, {2, 1, 0}},    // both above: the point lies beyond p0
      {{0, 3, 0}, {4, 3, 0}, false, {9, 9, 9}},   // parallel: same signed distance
      {{1, 5, 1}, {1, 5, 1}, false, {9, 9, 9}},   // one point
  };
  for (const Case& c : cases) {
    CVector3 point{9.0f, 9.0f, 9.0f};
    EXPECT_EQ(plane.Intersect_Segment(point, c.p0, c.p1), c.crosses);
    EXPECT_VEC_NEAR(point, c.expected, 1e-6f);
  }
}

}  // namespace
