// Filing objects in the grid's cells, and giving every node back.
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "tests/game/core/world_fixture.h"

namespace world_test {
namespace {

class ObjectGridTest : public World_Test {
 protected:
  void SetUp() override {
    World_Test::SetUp();
    ASSERT_TRUE(grid.Create(4, 4, 1.0f / 400.0f, 1.0f / 400.0f));
  }
  int Count_In_Cell(int column, int row, const CWorld_Object* object) {
    int count = 0;
    grid.For_Each_In_Cell(column, row, [&](CWorld_Object* o) { count += o == object; });
    return count;
  }
  int Cells_Holding(const CWorld_Object* object) {
    int cells = 0;
    for (int row = 0; row < 4; ++row)
      for (int column = 0; column < 4; ++column) cells += Count_In_Cell(column, row, object);
    return cells;
  }
  CWorld_Grid grid;
  Test_Ball ball;
};

TEST_F(ObjectGridTest, AnObjectIsFiledInEveryCellItsCircleCovers) {
  ball.m_Collision_Radius = 50.0f;
  struct Case {
    CVector3 at;
    int cells;
  } cases[] = {
      {{200.0f, 0.0f, 200.0f}, 1},       // inside one cell
      {{390.0f, 0.0f, 200.0f}, 2},       // across a column border
      {{400.0f, 0.0f, 400.0f}, 4},       // on a corner of four cells
      {{-500.0f, 0.0f, 200.0f}, 1},      // off the world: the border cell
      {{5000.0f, 0.0f, -5000.0f}, 1},    // far off in both directions
      {{1e30f, 0.0f, -1e30f}, 1},        // so far that a conversion would overflow
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.at.x << ", " << c.at.z);
    ASSERT_TRUE(grid.Insert(&ball, c.at));
    EXPECT_NE(ball.m_State_Flags & kState_In_Grid, 0u);
    EXPECT_EQ(Cells_Holding(&ball), c.cells);
    grid.Remove(&ball);
    EXPECT_EQ(ball.m_State_Flags & kState_In_Grid, 0u);
    EXPECT_EQ(Cells_Holding(&ball), 0);
    EXPECT_EQ(grid.Free_Node_Count(), CWorld_Grid::kInitial_Nodes);
  }
}

TEST_F(ObjectGridTest, TilesAreCutIntoCellsOfAboutAnObjectsSize) {
  struct Case {
    float tile_x, tile_z;
    int tiles_x, tiles_z;
    int cuts;
  } cases[] = {
      {400.0f, 400.0f, 4, 4, 5},          // the sample worlds: 80-unit cells
      {400.0f, 100.0f, 4, 16, 1},         // the narrower side decides
      {1000.0f, 1000.0f, 2, 2, 13},       // rounded to the nearest whole cut
      {60.0f, 60.0f, 8, 8, 1},            // tiles smaller than a cell stay whole
      {1.0e6f, 1.0e6f, 256, 16, 16},      // never more than the cell limit in all
      {std::nanf(""), 400.0f, 4, 4, 1},   // a size that is not a number
      {400.0f, std::nanf(""), 4, 4, 1},
      {400.0f, 400.0f, 0, 4, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.tile_x << " x " << c.tile_z << ", " << c.tiles_x << " x " << c.tiles_z);
    const int cuts = CWorld_Grid::Cells_Per_Tile(c.tile_x, c.tile_z, c.tiles_x, c.tiles_z);
    EXPECT_EQ(cuts, c.cuts);
    EXPECT_LE(int64_t{c.tiles_x} * c.tiles_z * cuts * cuts, int64_t{CWorld_Grid::kMax_Cells});
  }
}

TEST_F(ObjectGridTest, MovingWithinACellLeavesOneNodeThere) {
  ball.m_Collision_Radius = 10.0f;
  grid.Insert(&ball, {100.0f, 0.0f, 100.0f});
  for (int i = 0; i < 50; ++i) grid.Move(&ball, {100.0f + i, 0.0f, 100.0f});
  EXPECT_EQ(Count_In_Cell(0, 0, &ball), 1);
  EXPECT_EQ(grid.Free_Node_Count(), CWorld_Grid::kInitial_Nodes - 1);
  EXPECT_FLOAT_EQ(ball.m_Position.x, 149.0f);
}

// Moves, whether they stay in their cells or not, leave every cell's chain in the order that
// taking the object out and filing it again gives; chain order is the order neighbours are met
// in. The balls start inside one cell, or around the corner of four where most of them are
// filed in two or four cells and small steps keep them there.
TEST_F(ObjectGridTest, MovesKeepTheChainOrderOfRefiling) {
  for (const float start : {150.0f, 380.0f}) {
    SCOPED_TRACE(testing::Message() << "start " << start);
    CWorld_Grid reference;
    ASSERT_TRUE(reference.Create(4, 4, 1.0f / 400.0f, 1.0f / 400.0f));
    Test_Ball balls[5], twins[5];
    const float radii[5] = {10.0f, 30.0f, 60.0f, 5.0f, 20.0f};
    for (int i = 0; i < 5; ++i) {
      balls[i].m_Collision_Radius = twins[i].m_Collision_Radius = radii[i];
      grid.Insert(&balls[i], {start + 10.0f * i, 0.0f, start + 15.0f});
      reference.Insert(&twins[i], {start + 10.0f * i, 0.0f, start + 15.0f});
    }
    auto chains_match = [&] {
      for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
          std::vector<int> moved, refiled;
          grid.For_Each_In_Cell(column, row, [&](CWorld_Object* o) { moved.push_back(int(static_cast<Test_Ball*>(o) - balls)); });
          reference.For_Each_In_Cell(column, row, [&](CWorld_Object* o) { refiled.push_back(int(static_cast<Test_Ball*>(o) - twins)); });
          if (moved != refiled) return testing::AssertionFailure() << "cell " << column << ", " << row;
        }
      return testing::AssertionSuccess();
    };
    uint32_t seed = 7;
    for (int step = 0; step < 400; ++step) {
      seed = seed * 1664525u + 1013904223u;
      const int which = int(seed >> 28) % 5;
      // Mostly small steps inside a cell, now and then across a border or far off.
      const float reach = (seed & 0xF) == 0 ? 900.0f : 25.0f;
      const CVector3& at = balls[which].m_Position;
      const CVector3 to{at.x + reach * (float((seed >> 8) & 0xFF) / 128.0f - 1.0f), 0.0f,
                        at.z + reach * (float((seed >> 16) & 0xFF) / 128.0f - 1.0f)};
      grid.Move(&balls[which], to);
      reference.Remove(&twins[which]);
      reference.Insert(&twins[which], to);
      ASSERT_TRUE(chains_match()) << "after step " << step;
      EXPECT_EQ(grid.Free_Node_Count(), reference.Free_Node_Count());
    }
    for (int i = 0; i < 5; ++i) {
      grid.Remove(&balls[i]);
      reference.Remove(&twins[i]);
    }
    EXPECT_EQ(grid.Free_Node_Count(), CWorld_Grid::kInitial_Nodes);
  }
}

// A ball filed across the corner of four cells whose position is then written without the
// grid ends up, after its next move, in exactly the cells of the new position: a move judges
// the cells by the nodes the ball holds, not by the position it carries.
TEST_F(ObjectGridTest, AMoveAfterAPositionWrittenBehindTheGridsBackLeavesNoStaleNode) {
  struct Case {
    const char* name;
    CVector3 written, to;
    int cells;
  } cases[] = {
      {"back into the same four cells", {1500.0f, 0.0f, 100.0f}, {405.0f, 0.0f, 395.0f}, 4},
      {"into the four cells of the written position", {1205.0f, 0.0f, 1195.0f}, {1195.0f, 0.0f, 1205.0f}, 4},
      {"into two of the filed cells", {1500.0f, 0.0f, 100.0f}, {405.0f, 0.0f, 300.0f}, 2},
      {"into one other cell", {1500.0f, 0.0f, 100.0f}, {1000.0f, 0.0f, 1000.0f}, 1},
  };
  ball.m_Collision_Radius = 50.0f;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(grid.Insert(&ball, {400.0f, 0.0f, 400.0f}));
    ASSERT_EQ(Cells_Holding(&ball), 4);
    ball.m_Position = c.written;
    grid.Move(&ball, c.to);
    EXPECT_EQ(Cells_Holding(&ball), c.cells);
    const CWorld_Grid::Cell_Range range = grid.Range_Of(c.to.x, c.to.z, ball.m_Collision_Radius);
    for (int row = range.low_row; row <= range.high_row; ++row)
      for (int column = range.low_column; column <= range.high_column; ++column)
        EXPECT_EQ(Count_In_Cell(column, row, &ball), 1) << column << ", " << row;
    EXPECT_FLOAT_EQ(ball.m_Position.x, c.to.x);
    grid.Remove(&ball);
    EXPECT_EQ(Cells_Holding(&ball), 0);
    EXPECT_EQ(grid.Free_Node_Count(), CWorld_Grid::kInitial_Nodes);
  }
}

TEST_F(ObjectGridTest, TheNodeStoreGrowsInsteadOfRunningDryAndGetsEveryNodeBack) {
  // 300 objects over all 16 cells need 4800 nodes, far more than the first 1024.
  std::vector<Test_Ball> balls(300);
  for (Test_Ball& b : balls) {
    b.m_Collision_Radius = 2000.0f;
    ASSERT_TRUE(grid.Insert(&b, {800.0f, 0.0f, 800.0f}));
  }
  EXPECT_EQ(grid.Node_Capacity() - grid.Free_Node_Count(), 300 * 16);
  for (Test_Ball& b : balls) EXPECT_EQ(Cells_Holding(&b), 16);
  for (Test_Ball& b : balls) grid.Remove(&b);
  EXPECT_EQ(grid.Free_Node_Count(), grid.Node_Capacity());
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column)
      grid.For_Each_In_Cell(column, row, [](CWorld_Object*) { ADD_FAILURE() << "a cell still holds an object"; });
}

TEST_F(ObjectGridTest, DestroyingTheGridUnfilesItsObjects) {
  ball.m_Collision_Radius = 10.0f;
  grid.Insert(&ball, {100.0f, 0.0f, 100.0f});
  grid.Destroy();
  EXPECT_EQ(ball.m_State_Flags & kState_In_Grid, 0u);
  grid.Remove(&ball);  // no cells: nothing to do
  EXPECT_FALSE(grid.Insert(&ball, {1.0f, 0.0f, 1.0f}));
}

TEST_F(ObjectGridTest, SetPositionWithANonFiniteValueTakesTheObjectOutAndKeepsItsPosition) {
  Load(Flat_Spec());
  Test_Ball* b = Ball({300.0f, 50.0f, 300.0f});
  ASSERT_NE(b, nullptr);
  ASSERT_NE(b->m_State_Flags & kState_In_Grid, 0u);
  b->Set_Position({std::nanf(""), 1.0f, 1.0f});
  EXPECT_EQ(b->m_State_Flags & kState_In_Grid, 0u);
  EXPECT_FLOAT_EQ(b->m_Position.x, 300.0f);
  b->Set_Position({10.0f, 1.0f, std::numeric_limits<float>::infinity()});
  EXPECT_FLOAT_EQ(b->m_Position.z, 300.0f);
  b->Set_Position({310.0f, 50.0f, 300.0f});
  EXPECT_NE(b->m_State_Flags & kState_In_Grid, 0u);
}

TEST_F(ObjectGridTest, ResizingAGriddedBodyRefilesItUnderItsNewRadius) {
  Load(Flat_Spec());
  Test_Ball* b = Ball({390.0f, 50.0f, 200.0f}, 5.0f);
  ASSERT_NE(b, nullptr);
  CWorld_Grid& world_grid = g_World.Grid();
  const int before = world_grid.Free_Node_Count();
  b->Set_Sphere_Radius(30.0f);  // now reaches into the next column
  EXPECT_EQ(world_grid.Free_Node_Count(), before - 1);
  b->Set_Sphere_Radius(5.0f);
  EXPECT_EQ(world_grid.Free_Node_Count(), before);
}

}  // namespace
}  // namespace world_test
