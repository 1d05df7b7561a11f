// The grid mesh's viewer mode: the whole grid at the set level, drawn in pieces nearest the
// viewer's cell first, each triangle once, with the viewer carried into the mesh's space.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <vector>

#include "runtime/src/render/sys/pc/grid_mesh.h"

namespace {

using Triangle = std::array<uint32_t, 3>;

// A triangle by its absolute vertex indices, turned so that its smallest index comes first
// (the winding is kept).
Triangle Normalised(uint32_t a, uint32_t b, uint32_t c) {
  Triangle t{a, b, c};
  std::rotate(t.begin(), std::min_element(t.begin(), t.end()), t.end());
  return t;
}

void AddTriangles(CGridMesh& grid, uint32_t region, const GridBandDraw& d, std::map<Triangle, int>* out) {
  ASSERT_EQ(grid.BuildRegion(region), d.TriangleCount);
  for (uint32_t t = 0; t < d.TriangleCount; ++t) {
    uint32_t v[3];
    for (int k = 0; k < 3; ++k) {
      const uint32_t index = grid.Indices()[d.StartIndex + 3 * t + k];
      ASSERT_LT(index, d.VertexCount);
      v[k] = d.BaseVertex + index;
      ASSERT_LT(v[k], grid.GetVertexCount());
    }
    ++(*out)[Normalised(v[0], v[1], v[2])];
  }
}

std::map<Triangle, int> BandTriangles(CGridMesh& grid) {
  std::vector<GridBandDraw> bands;
  grid.PlanBands(&bands);
  const uint32_t region = grid.GetRows() < grid.GetColumns() ? 1 : 3;
  std::map<Triangle, int> out;
  for (const GridBandDraw& d : bands) AddTriangles(grid, region, d, &out);
  return out;
}

std::map<Triangle, int> ViewerTriangles(CGridMesh& grid, const CMatrix4x4* world, std::vector<GridPieceDraw>* pieces) {
  grid.PlanViewerPieces(world, pieces);
  std::map<Triangle, int> out;
  for (const GridPieceDraw& p : *pieces) AddTriangles(grid, p.Region, p.Draw, &out);
  return out;
}

// The triangles of a band-mode grid at the level, each as a set of vertices, turned so that a
// horizontal and a vertical band plan compare equal.
std::map<Triangle, int> Unwound(const std::map<Triangle, int>& in) {
  std::map<Triangle, int> out;
  for (const auto& [t, n] : in) {
    Triangle s = t;
    std::sort(s.begin(), s.end());
    out[s] += n;
  }
  return out;
}

TEST(GridMeshViewer, DrawsEveryTriangleOfTheLevelOnceWhereverTheViewerIs) {
  struct Case {
    uint32_t rows, columns;
    uint16_t level;
  };
  const Case grids[] = {{17, 17, 0}, {17, 17, 2}, {10, 10, 3}, {4, 17, 1}, {33, 9, 2}, {2, 2, 0}, {3, 9, 3}};
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const CVector3 viewers[] = {{0, 0, 0}, {-10, 5, 20}, {9.9f, 0, -19.9f}, {3, 0, -7}, {500, 0, -500}, {-500, 0, 500}, {nan, 0, nan}};
  const float extents[3] = {10, 1, 20};
  for (const Case& c : grids)
    for (const CVector3& viewer : viewers) {
      SCOPED_TRACE(testing::Message() << c.rows << "x" << c.columns << " level " << c.level << " viewer " << viewer.x
                                      << "," << viewer.z);
      CGridMesh grid;
      ASSERT_TRUE(grid.Create(11, c.rows, c.columns, extents));
      grid.SetLOD(c.level);
      const std::map<Triangle, int> bands = BandTriangles(grid);
      grid.SetViewer(true, &viewer);
      std::vector<GridPieceDraw> pieces;
      const std::map<Triangle, int> viewed = ViewerTriangles(grid, nullptr, &pieces);
      for (const auto& [t, n] : viewed) EXPECT_EQ(n, 1) << "a triangle drawn twice";
      EXPECT_EQ(Unwound(viewed), Unwound(bands));
      uint32_t total = 0;
      for (const GridPieceDraw& p : pieces) total += p.Draw.TriangleCount;
      EXPECT_EQ(total, bands.size());
    }
}

// The cell a viewer stands over, in vertex rows and columns, for a 17 x 17 grid over -10..10 in
// x and 20..-20 in z: the first piece drawn is that cell's quad, and the pieces after it lie
// no nearer to it than those before.
TEST(GridMeshViewer, TheViewersCellComesFirstAndTheRestOutwards) {
  struct Case {
    CVector3 viewer;
    uint16_t level;
    uint32_t row, column;
  };
  const Case cases[] = {
      {{0, 0, 0}, 0, 8, 8},          // the middle
      {{-10, 0, 20}, 0, 0, 0},       // the first vertex
      {{10, 0, -20}, 0, 15, 15},     // the last one: kept one step inside
      {{10, 0, -20}, 2, 12, 12},     // ... one step of four
      {{-7.4f, 0, 11}, 2, 0, 0},     // truncated to whole steps: column 2.08, row 3.6
      {{2.6f, 0, -6}, 1, 10, 10},    // column 10.08, row 10.4 at step 2
      {{-400, 0, -400}, 0, 15, 0},   // outside: held to the grid
  };
  const float extents[3] = {10, 1, 20};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.viewer.x << "," << c.viewer.z << " level " << c.level);
    CGridMesh grid;
    ASSERT_TRUE(grid.Create(11, 17, 17, extents));
    grid.SetLOD(c.level);
    grid.SetViewer(true, &c.viewer);
    uint32_t row = 99, column = 99;
    grid.ViewerCell(nullptr, &row, &column);
    EXPECT_EQ(row, c.row);
    EXPECT_EQ(column, c.column);
    std::vector<GridPieceDraw> pieces;
    grid.PlanViewerPieces(nullptr, &pieces);
    ASSERT_FALSE(pieces.empty());
    EXPECT_EQ(pieces[0].Region, 9u);
    ASSERT_EQ(pieces[0].Draw.TriangleCount, 2u);
    grid.BuildRegion(9);
    const uint32_t s = 1u << c.level;
    EXPECT_EQ(pieces[0].Draw.BaseVertex + grid.Indices()[0], row * 17 + column);
    EXPECT_EQ(pieces[0].Draw.BaseVertex + grid.Indices()[2], (row + s) * 17 + column + s);
    // Bands after the cell's own lie ever farther from it in rows.
    uint32_t far = 0;
    for (size_t i = 1; i < pieces.size(); ++i) {
      const uint32_t band_row = pieces[i].Draw.BaseVertex / 17;
      const uint32_t distance = band_row > row ? band_row - row : row - band_row;
      EXPECT_GE(distance, far) << "piece " << i;
      far = std::max(far, distance);
    }
  }
}

TEST(GridMeshViewer, TheViewerIsCarriedIntoTheMeshesSpaceAndOffDrawsBands) {
  const float extents[3] = {10, 1, 20};
  CGridMesh grid;
  ASSERT_TRUE(grid.Create(11, 17, 17, extents));
  // The tile stands at (1000, 0, 2000), turned a half turn about the vertical.
  CMatrix4x4 world{};
  world.m[0][0] = -1.0f;
  world.m[1][1] = 1.0f;
  world.m[2][2] = -1.0f;
  world.m[3][0] = 1000.0f;
  world.m[3][2] = 2000.0f;
  world.m[3][3] = 1.0f;
  const CVector3 viewer{1000.0f + 10.0f, 0.0f, 2000.0f - 20.0f};  // over the mesh's (-10, 20) corner
  grid.SetViewer(true, &viewer);
  uint32_t row = 99, column = 99;
  grid.ViewerCell(&world, &row, &column);
  EXPECT_EQ(row, 0u);
  EXPECT_EQ(column, 0u);
  grid.ViewerCell(nullptr, &row, &column);  // taken as it stands, it is far outside
  EXPECT_EQ(row, 0u);
  EXPECT_EQ(column, 15u);
  EXPECT_TRUE(grid.IsViewerMode());
  grid.SetViewer(false, nullptr);
  EXPECT_FALSE(grid.IsViewerMode());
}

}  // namespace
