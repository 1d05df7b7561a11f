// The grid mesh's layout, levels of detail and bands, and the BSP mesh's back-to-front order.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/src/render/sys/pc/bsp_mesh.h"
#include "runtime/src/render/sys/pc/grid_mesh.h"
#include "tests/runtime/render/mesh_test_support.h"

namespace {

using vt_test::Prefix;
using vt_test::StreamOf;

float FloatAt(const uint8_t* p) {
  float f;
  std::memcpy(&f, p, 4);
  return f;
}

TEST(GridMesh, LayoutOfPositionsNormalsAndTextureCoordinates) {
  CGridMesh grid;
  const float extents[3] = {10, 1, 20};
  ASSERT_TRUE(grid.Create(11, 5, 3, extents));  // position, normal, one texture set
  EXPECT_EQ(grid.GetVertexStride(0), 32u);
  EXPECT_EQ(grid.GetTexCoordOffset0(0), 24u);
  EXPECT_EQ(grid.GetTriangleCount(), 16u);
  const uint8_t* last = grid.GetRowPointer(4) + 2 * 32;
  EXPECT_FLOAT_EQ(FloatAt(grid.GetRowPointer(0)), -10.0f);
  EXPECT_FLOAT_EQ(FloatAt(grid.GetRowPointer(0) + 8), 20.0f);
  EXPECT_FLOAT_EQ(FloatAt(last), 10.0f);
  EXPECT_FLOAT_EQ(FloatAt(last + 8), -20.0f);
  EXPECT_FLOAT_EQ(FloatAt(last + 12), 0.0f);  // the normal (0, 1, 0) follows the position
  EXPECT_FLOAT_EQ(FloatAt(last + 16), 1.0f);
  EXPECT_FLOAT_EQ(FloatAt(last + 24), 0.99f);
  EXPECT_FLOAT_EQ(FloatAt(last + 28), 0.99f);
  EXPECT_FLOAT_EQ(FloatAt(grid.GetRowPointer(0) + 16), 1.0f);
}

TEST(GridMesh, LevelCounts) {
  const uint32_t cases[][3] = {{2, 2, 0}, {17, 17, 4}, {33, 33, 5}, {10, 10, 4}, {3, 9, 3}};
  for (const auto& c : cases) {
    CGridMesh grid;
    ASSERT_TRUE(grid.Create(1, c[0], c[1], nullptr));
    EXPECT_EQ(grid.GetLODCount(), c[2]) << c[0] << "x" << c[1];
  }
}

TEST(GridMesh, BandsAtEachLevel) {
  struct Case {
    uint32_t rows, columns;
    uint16_t level;
    size_t bands;
    uint32_t triangles;
    uint32_t last_start;  // start index of the last band
  };
  const Case cases[] = {
      {17, 17, 0, 16, 32, 0}, {17, 17, 1, 8, 16, 0}, {17, 17, 2, 4, 8, 0}, {17, 17, 3, 2, 4, 0},
      {17, 17, 4, 1, 2, 0},   {10, 10, 3, 2, 4, 12}, {5, 17, 1, 2, 16, 0}, {4, 17, 1, 2, 16, 48},
      {3, 9, 3, 1, 2, 0},  // narrower than one step: a single band from the first list
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rows << "x" << c.columns << " level " << c.level);
    CGridMesh grid;
    ASSERT_TRUE(grid.Create(11, c.rows, c.columns, nullptr));
    grid.SetLOD(c.level);
    std::vector<GridBandDraw> draws;
    grid.PlanBands(&draws);
    ASSERT_EQ(draws.size(), c.bands);
    for (const GridBandDraw& d : draws) EXPECT_EQ(d.TriangleCount, c.triangles);
    EXPECT_EQ(draws.back().StartIndex, c.last_start);
    // Every index of every band lies inside the band's vertices and the grid.
    const uint32_t s = 1u << c.level;
    for (const GridBandDraw& d : draws)
      for (uint32_t i = 0; i < 3 * d.TriangleCount; ++i) {
        const uint32_t index = grid.Indices()[d.StartIndex + i];
        EXPECT_LT(index, d.VertexCount);
        EXPECT_LT(d.BaseVertex + index, c.rows * c.columns);
      }
    // Horizontal bands for rows < columns, else vertical ones.
    EXPECT_EQ(draws.size() > 1 ? draws[1].BaseVertex : 0, draws.size() > 1 ? (c.rows < c.columns ? s * c.columns : s) : 0);
  }
}

TEST(GridMesh, AtLevelTwoEveryFourthVertexIsUsed) {
  CGridMesh grid;
  ASSERT_TRUE(grid.Create(1, 17, 17, nullptr));
  grid.SetLOD(2);
  std::vector<GridBandDraw> draws;
  grid.PlanBands(&draws);
  for (uint32_t i = 0; i < 3 * draws[0].TriangleCount; ++i) {
    const uint32_t index = grid.Indices()[i];
    EXPECT_EQ((index / 17) % 4, 0u) << index;
    EXPECT_EQ((index % 17) % 4, 0u) << index;
  }
}

TEST(GridMesh, FillIsBoundedByTheGrid) {
  CGridMesh grid;
  ASSERT_TRUE(grid.Create(11, 3, 3, nullptr));
  const writers::Bytes bytes(9 * 32 + 4, 0x11);
  EXPECT_FALSE(grid.FillVertices(StreamOf(bytes).get(), 9 * 32 + 4));
  EXPECT_TRUE(grid.FillVertices(StreamOf(bytes).get(), 9 * 32));
  EXPECT_EQ(grid.GetRowPointer(2)[95], 0x11);
  EXPECT_FALSE(grid.FillVertices(StreamOf(Prefix(bytes, 10)).get(), 9 * 32));
  EXPECT_FALSE(grid.Create(1, 257, 256, nullptr));
  EXPECT_FALSE(grid.Create(1, 1, 5, nullptr));
}

// A tree of three nodes: root plane x = 0 with range 0, front child (x = 5) with range 1 and a
// back child with range 2; range 3 is listed by both children.
writers::BspMeshDesc ThreeNodeTree() {
  writers::BspMeshDesc mesh;
  const writers::MeshGeometry plane = writers::MakePlane(2, 2, 2, 2);  // 8 triangles
  mesh.vertex_count = static_cast<uint32_t>(plane.vertices.size());
  mesh.vertices = writers::PackVertices(plane, writers::kMeshLitTextured);
  mesh.indices = plane.indices;
  mesh.ranges = {{0, 2}, {6, 2}, {12, 2}, {18, 2}};
  mesh.nodes.resize(3);
  mesh.nodes[0] = {1, 2, {1, 0, 0, 0}, {0}};
  mesh.nodes[1] = {0xFFFFFFFF, 0xFFFFFFFF, {1, 0, 0, -5}, {1, 3}};
  mesh.nodes[2] = {0xFFFFFFFF, 0xFFFFFFFF, {1, 0, 0, 5}, {2, 3}};
  return mesh;
}

TEST(BspMesh, DrawsBackToFrontFromTheEyeAndEachRangeOnce) {
  CBspMesh bsp;
  ASSERT_TRUE(bsp.Load(StreamOf(writers::BuildBspBody(ThreeNodeTree())).get()));
  EXPECT_EQ(bsp.GetTriangleCount(), 8u);
  std::vector<uint32_t> order;
  bsp.ClearStamps();
  bsp.SortedRanges(CVector3{10, 0, 0}, 7, &order);  // in front of the root: back subtree first
  EXPECT_EQ(order, (std::vector<uint32_t>{2, 3, 0, 1}));
  bsp.SortedRanges(CVector3{10, 0, 0}, 7, &order);  // same frame: all already drawn
  EXPECT_TRUE(order.empty());
  bsp.ClearStamps();
  bsp.SortedRanges(CVector3{-10, 0, 0}, 8, &order);  // behind: front subtree first
  EXPECT_EQ(order, (std::vector<uint32_t>{1, 3, 0, 2}));
}

TEST(BspMesh, DamagedTreesFailTheLoad) {
  using Change = void (*)(writers::BspMeshDesc&);
  const std::pair<const char*, Change> cases[] = {
      {"front child past the nodes", [](writers::BspMeshDesc& m) { m.nodes[0].front = 3; }},
      {"back child past the nodes", [](writers::BspMeshDesc& m) { m.nodes[2].back = 100; }},
      {"range index past the ranges", [](writers::BspMeshDesc& m) { m.nodes[1].ranges[1] = 4; }},
      {"range past the triangles", [](writers::BspMeshDesc& m) { m.ranges[3] = {18, 3}; }},
      {"index past the vertices", [](writers::BspMeshDesc& m) { m.indices[0] = 9; }},
  };
  for (const auto& c : cases) {
    writers::BspMeshDesc mesh = ThreeNodeTree();
    c.second(mesh);
    CBspMesh bsp;
    EXPECT_FALSE(bsp.Load(StreamOf(writers::BuildBspBody(mesh)).get())) << c.first;
    EXPECT_EQ(bsp.GetVertexCount(), 0u);
  }
  // Node reference counts beyond the declared total: patch the total down.
  writers::Bytes body = writers::BuildBspBody(ThreeNodeTree());
  const size_t total_at = 16 + 9 * 32 + 8 * 6 + 4 + 4 * 24;
  ASSERT_EQ(body[total_at], 5);
  body[total_at] = 4;
  CBspMesh bsp;
  EXPECT_FALSE(bsp.Load(StreamOf(body).get()));
  const writers::Bytes good = writers::BuildBspBody(ThreeNodeTree());
  for (size_t length = 0; length < good.size(); ++length)
    ASSERT_FALSE(bsp.Load(StreamOf(Prefix(good, length)).get())) << length;
}

TEST(BspMesh, ALoopingTreeIsWalkedOnceAndADeepChainStopsAtTheDepthLimit) {
  writers::BspMeshDesc mesh = ThreeNodeTree();
  mesh.nodes[1].front = 0;  // links back to the root
  CBspMesh bsp;
  ASSERT_TRUE(bsp.Load(StreamOf(writers::BuildBspBody(mesh)).get()));
  std::vector<uint32_t> order;
  bsp.SortedRanges(CVector3{10, 0, 0}, 1, &order);
  EXPECT_EQ(order.size(), 4u);

  // A chain of 1100 nodes, each the back child of the one before, each with its own range.
  writers::BspMeshDesc chain = ThreeNodeTree();
  chain.nodes.clear();
  chain.ranges.clear();
  for (uint32_t i = 0; i < 1100; ++i) {
    chain.ranges.push_back({0, 1});
    chain.nodes.push_back({0xFFFFFFFF, i + 1 < 1100 ? i + 1 : 0xFFFFFFFF, {1, 0, 0, 0}, {i}});
  }
  ASSERT_TRUE(bsp.Load(StreamOf(writers::BuildBspBody(chain)).get()));
  bsp.SortedRanges(CVector3{1, 0, 0}, 1, &order);
  ASSERT_EQ(order.size(), CBspMesh::kMaxDepth);
  EXPECT_EQ(order.front(), CBspMesh::kMaxDepth - 1);  // the deepest node drawn comes first
}

}  // namespace
