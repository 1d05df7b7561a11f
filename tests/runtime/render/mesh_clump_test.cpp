// Clump meshes on the recording device: bodies loaded into world clump blocks (with their
// indices checked), projected builds and their draw.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/clump_mesh.h"
#include "runtime/src/render/sys/pc/projection_clipper.h"
#include "runtime/src/render/sys/pc/vb_pool.h"
#include "tests/runtime/render/mesh_test_support.h"
#include "tests/runtime/render/render_fixture.h"

namespace vt_test {
namespace {

using writers::Bytes;

// A clump body: ignored word, counts, format, then the vertices and indices.
Bytes ClumpBody(const std::vector<ClipVertex>& vertices, const std::vector<uint16_t>& indices,
                uint32_t claimed_triangles = 0xFFFFFFFFu) {
  Bytes out;
  writers::PutU32(out, 0);
  writers::PutU32(out, static_cast<uint32_t>(vertices.size()));
  writers::PutU32(out, claimed_triangles != 0xFFFFFFFFu ? claimed_triangles : static_cast<uint32_t>(indices.size() / 3));
  writers::PutU32(out, CClumpMesh::kClipFormat);
  for (const ClipVertex& v : vertices) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&v);
    out.insert(out.end(), bytes, bytes + sizeof(v));
  }
  for (uint16_t i : indices) writers::PutU16(out, i);
  return out;
}

ClipVertex Vertex(float x, float y, float z) { return ClipVertex{{x, y, z}, {0, 0, -1}, {0.25f, 0.75f}}; }

CMatrix4x4 Identity() {
  CMatrix4x4 m{};
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
  return m;
}

class ClumpMeshTest : public RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    ASSERT_TRUE(Start());
  }

  CClumpMesh* Make() { return static_cast<CClumpMesh*>(g_pD3DRenderDevice->CreateRenderObject(CClumpMesh::kType)); }

  CClumpMesh* Loaded(const std::vector<ClipVertex>& vertices, const std::vector<uint16_t>& indices) {
    CClumpMesh* mesh = Make();
    auto stream = StreamOf(ClumpBody(vertices, indices));
    EXPECT_TRUE(mesh->Load(stream.get()));
    return mesh;
  }

  static std::vector<ClipVertex> Output(const CClumpMesh& mesh) {
    const auto* first = reinterpret_cast<const ClipVertex*>(mesh.SystemVertices());
    return std::vector<ClipVertex>(first, first + mesh.Block()->VertexCount);
  }

  // A box volume 4 wide and high, from z = 1 to 10, placed at the origin.
  static ClumpProjection Box() { return ClumpProjection{0, 4.0f, 4.0f, 1.0f, 10.0f}; }
};

TEST_F(ClumpMeshTest, LoadFillsABlockAndRefusesDamagedBodies) {
  const std::vector<ClipVertex> quad = {Vertex(0, 0, 5), Vertex(1, 0, 5), Vertex(1, 1, 5), Vertex(0, 1, 5)};
  CClumpMesh* mesh = Loaded(quad, {0, 1, 2, 0, 2, 3});
  EXPECT_EQ(mesh->GetVertexCount(), 4u);
  EXPECT_EQ(mesh->GetTriangleCount(), 2u);
  EXPECT_EQ(mesh->GetVertexStride(), 32u);
  EXPECT_EQ(std::memcmp(mesh->SystemVertices(), quad.data(), 4 * sizeof(ClipVertex)), 0);
  struct Case {
    const char* name;
    Bytes body;
  };
  const Bytes good = ClumpBody(quad, {0, 1, 2, 0, 2, 3});
  const Case cases[] = {
      {"index past the vertices", ClumpBody(quad, {0, 1, 4, 0, 2, 3})},
      {"short indices", Prefix(good, good.size() - 2)},
      {"short header", Prefix(good, 12)},
      {"no triangles", ClumpBody(quad, {})},
      {"absurd triangle count", ClumpBody(quad, {0, 1, 2}, 0x7FFFFFFF)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto stream = StreamOf(c.body);
    EXPECT_FALSE(mesh->Load(stream.get()));
    EXPECT_EQ(mesh->Block(), nullptr);
    EXPECT_EQ(mesh->GetVertexCount(), 0u);
  }
  g_pD3DRenderDevice->DestroyRenderObject(mesh);
}

TEST_F(ClumpMeshTest, ProjectedBuildKeepsWhatLiesInsideTheVolume) {
  // One triangle inside, one crossing the x = 2 side, one outside beyond the far plane.
  const std::vector<ClipVertex> source = {Vertex(-1, -1, 5), Vertex(1, -1, 5), Vertex(0, 1, 5),
                                          Vertex(1, 0, 6),   Vertex(3, 0, 6),  Vertex(1, 1, 6),
                                          Vertex(0, 0, 20),  Vertex(1, 0, 20), Vertex(0, 1, 20)};
  CClumpMesh* from = Loaded(source, {0, 1, 2, 3, 4, 5, 6, 7, 8});
  CClumpMesh* decal = Make();
  ASSERT_TRUE(decal->BuildProjected(from, Identity(), Box(), false, 0.0f));
  const std::vector<ClipVertex> out = Output(*decal);
  ASSERT_GE(out.size(), 6u);
  ASSERT_EQ(out.size() % 3, 0u);
  // Indices are simply 0, 1, 2, ...
  for (uint32_t i = 0; i < decal->GetIndexCount(); ++i) EXPECT_EQ(decal->SystemIndices()[i], i);
  // The inside triangle comes out unchanged.
  for (int k = 0; k < 3; ++k) EXPECT_EQ(std::memcmp(&out[k], &source[k], sizeof(ClipVertex)), 0) << k;
  // The crossing one is cut at x = 2: every vertex inside, some exactly on the plane.
  bool on_plane = false;
  for (size_t i = 3; i < out.size(); ++i) {
    EXPECT_LE(out[i].Position[0], 2.0f + 1e-5f);
    EXPECT_FLOAT_EQ(out[i].Position[2], 6.0f);
    on_plane = on_plane || std::fabs(out[i].Position[0] - 2.0f) < 1e-5f;
  }
  EXPECT_TRUE(on_plane);
  g_pD3DRenderDevice->DestroyRenderObject(from);
  g_pD3DRenderDevice->DestroyRenderObject(decal);
}

TEST_F(ClumpMeshTest, ProjectedTextureAndOffsetFollowTheVolume) {
  // A triangle at z = 5 whose corners sit at the box's left, right and top edges.
  CClumpMesh* from = Loaded({Vertex(-2, 0, 5), Vertex(2, 0, 5), Vertex(0, 2, 5)}, {0, 1, 2});
  CClumpMesh* decal = Make();
  ASSERT_TRUE(decal->BuildProjected(from, Identity(), Box(), true, 0.5f));
  const std::vector<ClipVertex> out = Output(*decal);
  ASSERT_EQ(out.size(), 3u);
  const float uv[3][2] = {{0.0f, 0.5f}, {1.0f, 0.5f}, {0.5f, 1.0f}};
  for (int k = 0; k < 3; ++k) {
    EXPECT_FLOAT_EQ(out[k].UV[0], uv[k][0]) << k;
    EXPECT_FLOAT_EQ(out[k].UV[1], uv[k][1]) << k;
    // Pushed half a unit along the normal (0, 0, -1).
    EXPECT_FLOAT_EQ(out[k].Position[2], 4.5f) << k;
  }
  // A volume placed elsewhere by its frame misses the triangle: nothing to build.
  CMatrix4x4 away = Identity();
  away.m[3][0] = 50.0f;
  EXPECT_FALSE(decal->BuildProjected(from, away, Box(), true, 0.0f));
  EXPECT_EQ(decal->Block(), nullptr);
  g_pD3DRenderDevice->DestroyRenderObject(from);
  g_pD3DRenderDevice->DestroyRenderObject(decal);
}

TEST_F(ClumpMeshTest, AtMost128TrianglesAreKept) {
  std::vector<ClipVertex> vertices;
  std::vector<uint16_t> indices;
  for (uint16_t t = 0; t < 200; ++t) {
    const float z = 2.0f + 0.01f * t;
    for (const ClipVertex& v : {Vertex(-1, -1, z), Vertex(1, -1, z), Vertex(0, 1, z)}) vertices.push_back(v);
    for (uint16_t k = 0; k < 3; ++k) indices.push_back(static_cast<uint16_t>(3 * t + k));
  }
  CClumpMesh* from = Loaded(vertices, indices);
  CClumpMesh* decal = Make();
  ASSERT_TRUE(decal->BuildProjected(from, Identity(), Box(), false, 0.0f));
  EXPECT_EQ(decal->GetTriangleCount(), CProjectionClipper::kMaxTriangles);
  g_pD3DRenderDevice->DestroyRenderObject(from);
  g_pD3DRenderDevice->DestroyRenderObject(decal);
}

TEST_F(ClumpMeshTest, RenderDrawsTheBlockForOnePass) {
  CClumpMesh* mesh = Loaded({Vertex(0, 0, 5), Vertex(1, 0, 5), Vertex(1, 1, 5)}, {0, 1, 2});
  CD3DRenderStyle* style = g_pRenderStateMgr->GetBuiltInStyle(0);
  d3d->log.Clear();
  ASSERT_TRUE(mesh->Render(style, 0, nullptr, nullptr, nullptr, nullptr));
  const VBAllocation& block = *mesh->Block();
  EXPECT_TRUE(d3d->log.Contains("DrawIndexedPrimitive(4,0,3," + std::to_string(block.FirstIndex) + ",1)"));
  EXPECT_TRUE(d3d->log.Contains("SetIndices(1," + std::to_string(block.FirstVertex) + ")"));
  EXPECT_FALSE(mesh->Render(style, 1, nullptr, nullptr, nullptr, nullptr)) << "the style has one pass";
  g_pD3DRenderDevice->DestroyRenderObject(mesh);
}

}  // namespace
}  // namespace vt_test
