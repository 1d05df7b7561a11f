#include "platform/d3dx/d3dx8_math.h"

#include <gtest/gtest.h>

namespace {

D3DMATRIX Make(std::initializer_list<float> values) {
  D3DMATRIX m{};
  int i = 0;
  for (float v : values) m.m[i / 4][i % 4] = v, ++i;
  return m;
}

TEST(D3DXMath, InverseTimesMatrixIsIdentity) {
  const D3DMATRIX cases[] = {
      Make({2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 5, 6, 7, 1}),
      // a projection: not affine
      Make({0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.01f, 1, 0, 0, -1.01f, 0}),
      Make({1, 2, 3, 4, 0, 1, 5, 6, 7, 0, 1, 8, 9, 10, 0, 1}),
  };
  for (const D3DMATRIX& m : cases) {
    D3DMATRIX inv, product;
    float det = 0;
    ASSERT_NE(D3DXMatrixInverse(&inv, &det, &m), nullptr);
    EXPECT_NE(det, 0.0f);
    D3DXMatrixMultiply(&product, &m, &inv);
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) EXPECT_NEAR(product.m[r][c], r == c ? 1.0f : 0.0f, 1e-4f) << r << c;
  }
}

TEST(D3DXMath, SingularMatrixHasNoInverseAndLeavesTheOutputAlone) {
  const D3DMATRIX m = Make({1, 2, 3, 4, 2, 4, 6, 8, 0, 0, 1, 0, 0, 0, 0, 1});
  D3DMATRIX out = Make({9});
  EXPECT_EQ(D3DXMatrixInverse(&out, nullptr, &m), nullptr);
  EXPECT_EQ(out.m[0][0], 9.0f);
}

TEST(D3DXMath, RowVectorsApplyTheLeftMatrixFirst) {
  D3DMATRIX scale{}, move, both;
  scale.m[0][0] = scale.m[1][1] = scale.m[2][2] = 2.0f;
  scale.m[3][3] = 1.0f;
  D3DXMatrixTranslation(&move, 1, 0, 0);
  D3DXMatrixMultiply(&both, &scale, &move);
  const D3DVECTOR p{1, 1, 1};
  D3DVECTOR q;
  D3DXVec3TransformCoord(&q, &p, &both);
  EXPECT_EQ(q.x, 3.0f);  // scaled to 2, then moved by 1
  EXPECT_EQ(q.y, 2.0f);
}

TEST(D3DXMath, QuaternionRotation) {
  // a quarter turn about z takes x to y
  const float s = 0.70710678f;
  const D3DXQUATERNION q{0, 0, s, s};
  D3DMATRIX m;
  D3DXMatrixRotationQuaternion(&m, &q);
  const D3DVECTOR x{1, 0, 0};
  D3DVECTOR y;
  D3DXVec3TransformCoord(&y, &x, &m);
  EXPECT_NEAR(y.x, 0.0f, 1e-6f);
  EXPECT_NEAR(y.y, 1.0f, 1e-6f);
  EXPECT_EQ(m.m[3][3], 1.0f);
}

TEST(D3DXMath, PerspectiveMapsNearAndFarToZeroAndOne) {
  D3DMATRIX m;
  D3DXMatrixPerspectiveFovLH(&m, 1.0f, 1.333f, 7.0f, 10000.0f);
  for (const auto& [z, depth] : {std::pair{7.0f, 0.0f}, std::pair{10000.0f, 1.0f}}) {
    const D3DVECTOR p{0, 0, z};
    D3DVECTOR q;
    D3DXVec3TransformCoord(&q, &p, &m);
    EXPECT_NEAR(q.z, depth, 1e-5f);
  }
}

}  // namespace
