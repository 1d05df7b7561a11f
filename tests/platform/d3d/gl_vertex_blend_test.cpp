// Vertex blending on the processor: weights, the last weight as the remainder, index bytes and
// the state that switches it on.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/d3d/gl_vertex_blend.h"

namespace {

D3DMATRIX Translation(float x, float y, float z) {
  D3DMATRIX m = IdentityMatrix();
  m.m[3][0] = x;
  m.m[3][1] = y;
  m.m[3][2] = z;
  return m;
}

// A quarter turn about z: (1, 0, 0) -> (0, 1, 0) with row vectors.
D3DMATRIX TurnZ() {
  D3DMATRIX m = IdentityMatrix();
  m.m[0][0] = 0;
  m.m[0][1] = 1;
  m.m[1][0] = -1;
  m.m[1][1] = 0;
  return m;
}

std::vector<BYTE> Vertex(const float* position, const std::vector<float>& weights, const BYTE* indices,
                         const float* normal) {
  std::vector<BYTE> out(sizeof(float) * 3);
  std::memcpy(out.data(), position, sizeof(float) * 3);
  const auto put = [&out](const void* data, size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    out.insert(out.end(), bytes, bytes + size);
  };
  put(weights.data(), weights.size() * sizeof(float));
  if (indices != nullptr) put(indices, 4);
  if (normal != nullptr) put(normal, sizeof(float) * 3);
  return out;
}

TEST(GLVertexBlend, BlendsBetweenWorldMatrices) {
  GLDeviceState state;
  state.world[0] = Translation(10, 0, 0);
  state.world[1] = Translation(0, 20, 0);
  state.world[2] = Translation(0, 0, 40);
  state.world[5] = TurnZ();
  const float origin[3] = {0, 0, 0};
  const float unit_x[3] = {1, 0, 0};
  const BYTE bones[4] = {5, 2, 0, 0};
  struct Case {
    const char* name;
    DWORD fvf;
    DWORD blend;
    DWORD indexed;
    std::vector<BYTE> vertex;
    float expected[3];
    float expected_normal[3];
  };
  const Case cases[] = {
      // Two matrices, one stored weight: 0.25 of world 0 and the remaining 0.75 of world 1.
      {"one weight", D3DFVF_XYZB1 | D3DFVF_NORMAL, D3DVBF_1WEIGHTS, 0, Vertex(origin, {0.25f}, nullptr, unit_x),
       {2.5f, 15.0f, 0.0f}, {1, 0, 0}},
      // Three matrices, two weights.
      {"two weights", D3DFVF_XYZB2 | D3DFVF_NORMAL, D3DVBF_2WEIGHTS, 0,
       Vertex(origin, {0.5f, 0.25f}, nullptr, unit_x), {5.0f, 5.0f, 10.0f}, {1, 0, 0}},
      // Indexed: the bytes name world 5 (a turn) and world 2; half of each.
      {"indexed", D3DFVF_XYZB2 | D3DFVF_LASTBETA_UBYTE4 | D3DFVF_NORMAL, D3DVBF_1WEIGHTS, 1,
       Vertex(unit_x, {0.5f}, bones, unit_x), {0.5f, 0.5f, 20.0f}, {0.5f, 0.5f, 0.0f}},
      // Indexed with blending "off": the whole vertex follows the first index.
      {"indexed single", D3DFVF_XYZB2 | D3DFVF_LASTBETA_UBYTE4 | D3DFVF_NORMAL, D3DVBF_DISABLE, 1,
       Vertex(unit_x, {0.5f}, bones, unit_x), {0.0f, 1.0f, 0.0f}, {0.0f, 1.0f, 0.0f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GLVertexLayout layout;
    ASSERT_TRUE(layout.Parse(c.fvf));
    ASSERT_EQ(layout.stride, c.vertex.size());
    state.render_states[D3DRS_VERTEXBLEND] = c.blend;
    state.render_states[D3DRS_INDEXEDVERTEXBLENDENABLE] = c.indexed;
    ASSERT_TRUE(GLVertexBlender::IsActive(state, layout));
    GLVertexBlender blender;
    blender.Blend(state, layout, c.vertex.data(), 1);
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(blender.Positions()[k], c.expected[k], 1e-5f) << k;
      EXPECT_NEAR(blender.Normals()[k], c.expected_normal[k], 1e-5f) << k;
    }
  }
}

TEST(GLVertexBlend, OffUnlessTheStateAndTheVertexBothAskForIt) {
  GLDeviceState state;
  GLVertexLayout weighted;
  ASSERT_TRUE(weighted.Parse(D3DFVF_XYZB1 | D3DFVF_NORMAL));
  GLVertexLayout plain;
  ASSERT_TRUE(plain.Parse(D3DFVF_XYZ | D3DFVF_NORMAL));
  state.render_states[D3DRS_VERTEXBLEND] = D3DVBF_DISABLE;
  EXPECT_FALSE(GLVertexBlender::IsActive(state, weighted));
  state.render_states[D3DRS_VERTEXBLEND] = D3DVBF_1WEIGHTS;
  EXPECT_TRUE(GLVertexBlender::IsActive(state, weighted));
  EXPECT_FALSE(GLVertexBlender::IsActive(state, plain));
  // More weights asked for than the vertex stores: only the stored ones are read.
  state.render_states[D3DRS_VERTEXBLEND] = D3DVBF_3WEIGHTS;
  EXPECT_EQ(BlendWeightCount(state, weighted), 1);
  // Tweening is not blending.
  state.render_states[D3DRS_VERTEXBLEND] = D3DVBF_TWEENING;
  EXPECT_FALSE(GLVertexBlender::IsActive(state, weighted));
}

}  // namespace
