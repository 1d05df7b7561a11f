// The memory board: the command table, its descent and facing, launches only while it faces
// away from the camera, its movement patterns, an orientation that stays finite, and the light
// of its lit side.
#include <gtest/gtest.h>

#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CSphere_Object.h"
#include "game/core/CWorld.h"
#include "game/targets/CEjector_Simon_1.h"
#include "game/targets/CTarget_Target.h"
#include "tests/game/player/view_probe.h"
#include "tests/game/targets/launchers_fixture.h"

namespace launchers_test {
namespace {

class Memory_Boards : public Launchers {
 protected:
  CEjector_Simon_1* Place(float x, float z) {
    auto* board = Take<CEjector_Simon_1>();
    if (!board) return nullptr;
    board->Spawn(CVector3{x, Ground(x, z) + 500.0f, z});
    g_World.Add_Object(1, board);
    return board;
  }
};

TEST_F(Memory_Boards, EachCommandWritesItsFieldsAndOthersDoNothing) {
  CEjector_Simon_1* board = Place(0.5f * X, 0.5f * Z);
  ASSERT_NE(board, nullptr);
  struct Row {
    uint32_t action, argument;
    bool moves;
    uint32_t move_kind;
    bool glows;
    bool lights;
    bool launches;
  };
  const Row rows[] = {
      {0, 1, true, 0, false, false, false}, {0, 4, true, 3, false, false, false},
      {0, 0, false, 0, true, false, false}, {0, 5, false, 0, true, false, false},
      {1, 0, false, 0, false, true, false}, {1, 3, false, 0, false, true, false},
      {1, 4, false, 0, false, false, false}, {2, 2, false, 0, false, false, true},
      {2, 4, false, 0, false, false, false}, {3, 1, false, 0, false, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "command " << row.action << ", " << row.argument);
    board->Move_Timer = board->Flash = board->Show_Timer = 0.0f;
    board->Move_Kind = 9;
    board->Show_Side = board->Launch_Side = 9;
    board->Launch_Requested = false;
    board->Command(row.action, row.argument);
    EXPECT_EQ(board->Move_Timer, row.moves ? 1.0f : 0.0f);
    if (row.moves) {
      EXPECT_EQ(board->Move_Kind, row.move_kind);
    }
    EXPECT_EQ(board->Flash, row.glows ? 1.0f : 0.0f);
    EXPECT_EQ(board->Show_Timer, row.lights ? 1.0f : 0.0f);
    if (row.lights) {
      EXPECT_EQ(board->Show_Side, row.argument);
    }
    EXPECT_EQ(board->Launch_Requested, row.launches);
    if (row.launches) {
      EXPECT_EQ(board->Launch_Side, row.argument);
    }
  }
  // A second movement command restarts the timer with the new pattern.
  board->Command(0, 2);
  board->Move_Timer = 0.4f;
  board->Command(0, 3);
  EXPECT_EQ(board->Move_Timer, 1.0f);
  EXPECT_EQ(board->Move_Kind, 2u);
}

TEST_F(Memory_Boards, ItComesDownOntoItsHomeAndTurnsItsBackToTheCamera) {
  CEjector_Simon_1* board = Place(0.3f * X, 0.45f * Z);
  ASSERT_NE(board, nullptr);
  const CVector3 home = board->Home;
  EXPECT_FLOAT_EQ(board->m_Position.y, home.y + 700.0f);
  harness.Step_Undrawn(359, 16);  // its fall and turn are updates: only the last frame is drawn
  harness.Step(1, 16);
  ASSERT_GT(board->Age, 16.0f);
  EXPECT_NEAR(board->m_Position.x, home.x, 15.0f);
  EXPECT_NEAR(board->m_Position.y, home.y, 15.0f);
  EXPECT_NEAR(board->m_Position.z, home.z, 15.0f);
  const CVector3& eye = g_Camera.Position();
  CVector3 away{board->m_Position.x - eye.x, 0.0f, board->m_Position.z - eye.z};
  away.Normalize();
  EXPECT_GT(board->m_Orientation.rows[2].Dot(away), 0.99f);
  EXPECT_NEAR(board->m_Orientation.rows[1].y, 1.0f, 1e-3f) << "upright";
}

TEST_F(Memory_Boards, ALaunchWhileFacingAwayFromTheFieldLaunchesNothingAndIsNotKept) {
  CEjector_Simon_1* board = Place(0.5f * X, 0.5f * Z);
  ASSERT_NE(board, nullptr);
  struct Row {
    float turn;  // about the vertical from facing along +z
    bool launches;
  };
  const Row rows[] = {{0.0f, true}, {1.0f, true}, {1.1f, false}, {3.14159f, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.turn);
    board->m_Orientation.From_Axis_Angle(CVector3{0.0f, 1.0f, 0.0f}, row.turn);
    board->m_Box.spin.Set(0.0f, 0.0f, 0.0f);
    const uint32_t launches = g_Sim_Stats.m_Launches;
    const int boards = Count(CTarget_Target::kType);
    board->Command(2, 1);
    board->Update(kTick);
    EXPECT_FALSE(board->Launch_Requested);
    EXPECT_EQ(g_Sim_Stats.m_Launches, launches + (row.launches ? 1u : 0u));
    EXPECT_EQ(Count(CTarget_Target::kType), boards + (row.launches ? 1 : 0));
    if (!row.launches) continue;
    auto* launched = static_cast<CTarget_Target*>(g_World.Find_Object_By_Type(CTarget_Target::kType, 0));
    EXPECT_TRUE(launched->Is_Quick());
    EXPECT_EQ(launched->m_Side, 0) << "side 1 hinges as 0";
    CVector3 offset;
    launched->m_Position.Subtract(board->m_Position, offset);
    EXPECT_NEAR(offset.Dot(board->m_Orientation.rows[2]), 152.0f, 0.5f) << "152 in front along its third axis";
  }
}

TEST_F(Memory_Boards, ItDoesNotCollideWithItsOwnBoards) {
  CEjector_Simon_1* board = Place(0.5f * X, 0.5f * Z);
  ASSERT_NE(board, nullptr);
  struct Other : CSphere_Object {
    explicit Other(uint32_t kind) { Setup_Object(0, 1.0f, 1.0f, 0, kind); }
    void Update(const float&) override {}
  };
  Other counted(kKind_Counted_Target), shot(kKind_Shot), plain(0);
  EXPECT_FALSE(board->On_Hit(&counted, nullptr));
  EXPECT_TRUE(board->On_Hit(&shot, nullptr));
  EXPECT_TRUE(board->On_Hit(&plain, nullptr));
  EXPECT_TRUE(board->On_Hit(nullptr, nullptr));
  EXPECT_EQ(board->m_Kill_Timer, 0.0f) << "a shot does not hurt it";
}

TEST_F(Memory_Boards, MovementPatternsSweepTheGoalAndEnd) {
  struct Row {
    uint32_t kind;
    float timer;
    float dx, dz;  // as shares of the field
  };
  const Row rows[] = {
      {0, 0.25f, 0.25f, -0.15f}, {0, 0.75f, -0.25f, -0.15f}, {1, 0.5f, 0.4f, 0.0f},
      {2, 0.5f, -0.4f, 0.0f},    {3, 0.5f, 0.0f, 0.25f},     {3, 0.0f, 0.0f, 0.0f},
  };
  for (const Row& row : rows) {
    const CVector3 offset = CEjector_Simon_1::Pattern_Offset(row.kind, row.timer, 1000.0f, 2000.0f);
    EXPECT_NEAR(offset.x, row.dx * 1000.0f, 0.01f) << row.kind << " " << row.timer;
    EXPECT_NEAR(offset.z, row.dz * 2000.0f, 0.01f) << row.kind << " " << row.timer;
    EXPECT_EQ(offset.y, 0.0f);
  }
  CEjector_Simon_1* board = Place(0.5f * X, 0.5f * Z);
  ASSERT_NE(board, nullptr);
  board->Command(0, 4);
  Run(*board, 40.0f);
  EXPECT_EQ(board->Move_Timer, 0.0f) << "pattern 3 runs out after 1/0.03 units";
}

TEST_F(Memory_Boards, ANearVerticalThirdAxisKeepsTheFirstAxisAndNothingGoesNaN) {
  const CMatrix3x3 previous = CMatrix3x3::Identity;
  const CVector3 thirds[] = {{0.0f, 1.0f, 0.0f}, {1e-7f, 1.0f, 0.0f}, {0.0f, -1.0f, 1e-6f}, {0.0f, 0.0f, 0.0f}};
  for (const CVector3& third : thirds) {
    const CMatrix3x3 rebuilt = CEjector_Simon_1::Rebuilt_Orientation(previous, third);
    for (const CVector3& row : rebuilt.rows) EXPECT_TRUE(Finite(row));
    EXPECT_NEAR(rebuilt.rows[0].x, 1.0f, 1e-3f) << "the first axis is kept";
  }
  const CMatrix3x3 leaning = CEjector_Simon_1::Rebuilt_Orientation(previous, CVector3{0.0f, 0.5f, 1.0f});
  EXPECT_NEAR(leaning.rows[1].Dot(leaning.rows[2]), 0.0f, 1e-5f);
  EXPECT_NEAR(leaning.rows[0].Dot(leaning.rows[1]), 0.0f, 1e-5f);
  EXPECT_NEAR(leaning.rows[0].Length(), 1.0f, 1e-5f);
  // A board straight below the camera, tipped on its back, steps on without NaN.
  CEjector_Simon_1* board = Place(0.5f * X, 0.5f * Z);
  ASSERT_NE(board, nullptr);
  const CVector3& eye = g_Camera.Position();
  board->Set_Position(CVector3{eye.x, eye.y - 300.0f, eye.z});
  board->Home = board->m_Position;
  board->m_Orientation.Set_Rows(CVector3{1, 0, 0}, CVector3{0, 0, -1}, CVector3{0, 1, 0});
  board->m_Box.spin.Set(0.0f, 40.0f, 0.0f);
  for (int i = 0; i < 2000; ++i) board->Update(kTick);
  EXPECT_TRUE(Finite(board->m_Position));
  for (const CVector3& row : board->m_Orientation.rows) EXPECT_TRUE(Finite(row));
  EXPECT_TRUE(Finite(board->m_Box.velocity));
}

TEST_F(Memory_Boards, AReleasedBoardClimbsBackAndTakesItsBoardsWithIt) {
  CEjector_Simon_1* board = Place(0.5f * X, 0.5f * Z);
  ASSERT_NE(board, nullptr);
  board->Age = 7.0f;
  board->m_Orientation = CMatrix3x3::Identity;
  board->Command(2, 0);
  board->Update(kTick);
  ASSERT_EQ(Count(CTarget_Target::kType), 1);
  auto* launched = static_cast<CTarget_Target*>(g_World.Find_Object_By_Type(CTarget_Target::kType, 0));
  board->m_Kill_Timer = 0.001f;
  const CVector3 goal_dying = board->Resting_Goal();
  EXPECT_NEAR(goal_dying.y, board->Home.y + 0.001f * 700.0f, 0.01f) << "it starts its climb back";
  launched->Update(kTick);
  EXPECT_EQ(launched->m_Kill_Timer, 1.0f);
  board->m_Kill_Timer = 0.5f;
  EXPECT_NEAR(board->Resting_Goal().y, board->Home.y + 350.0f, 0.01f);
  Run(*board, 0.5f / 0.85f + 0.01f);
  EXPECT_GE(board->m_Kill_Timer, 1.0f) << "it dies at 0.85 per unit";
}

// The lit side shows a soft yellow light over its quarter of the face toward the camera: light
// in the quarter's middle, fading out toward its corners, and adding more red and green than
// blue. Side 1 is drawn unturned, on the quarter to the right of the centre along the first axis
// (12 to 82 across, -60 to 60 up), 38 in front of the middle plane.
TEST_F(Memory_Boards, TheLitSideIsASoftYellowLight) {
  CEjector_Simon_1* board = Place(0.5f * X, 0.45f * Z);
  ASSERT_NE(board, nullptr);
  harness.Step_Undrawn(359, 16);  // down onto its home, its back to the camera
  harness.Step(1, 16);
  const auto light = [&](bool lit) {
    board->Show_Side = 1;
    board->Show_Timer = lit ? 1.0f : 0.0f;
  };
  const view_probe::Frame_Pair pair =
      view_probe::Draw_With_And_Without(harness, light, 0.0f, 0, "memory_board_lit_side.png");
  ASSERT_EQ(pair.shown.size(), size_t(pair.width) * pair.height);
  const CMatrix3x3& axes = board->m_Orientation;
  // A point of the quarter on the screen: the pixel with the light and the change the light made
  // there, red, green and blue.
  struct Probe {
    uint32_t shown = 0;
    int change[3] = {};
  };
  const auto probe = [&](float x, float y) {
    const CVector3 at{board->m_Position.x + axes.rows[0].x * x + axes.rows[1].x * y - axes.rows[2].x * 38.0f,
                      board->m_Position.y + axes.rows[0].y * x + axes.rows[1].y * y - axes.rows[2].y * 38.0f,
                      board->m_Position.z + axes.rows[0].z * x + axes.rows[1].z * y - axes.rows[2].z * 38.0f};
    const CVector3 screen = g_Camera.World_To_Screen(at);
    const int px = int(screen.x), py = int(screen.y);
    Probe p;
    EXPECT_TRUE(px >= 0 && py >= 0 && px < int(pair.width) && py < int(pair.height)) << px << "," << py;
    if (px < 0 || py < 0 || px >= int(pair.width) || py >= int(pair.height)) return p;
    const size_t i = size_t(py) * pair.width + size_t(px);
    p.shown = pair.shown[i];
    for (int c = 0; c < 3; ++c)
      p.change[c] = int((pair.shown[i] >> (16 - 8 * c)) & 0xFF) - int((pair.hidden[i] >> (16 - 8 * c)) & 0xFF);
    return p;
  };
  const Probe middle = probe(47.0f, 0.0f);
  EXPECT_GT(int((middle.shown >> 16) & 0xFF), 200) << std::hex << middle.shown << ": light";
  EXPECT_GT(int((middle.shown >> 8) & 0xFF), 200) << std::hex << middle.shown << ": light";
  EXPECT_GT(middle.change[0] + middle.change[1], 30) << "the light shows in the middle";
  int red = 0, green = 0, blue = 0;
  for (const float x : {15.0f, 30.0f, 47.0f, 64.0f, 79.0f})
    for (const float y : {-57.0f, -30.0f, 0.0f, 30.0f, 57.0f}) {
      const Probe p = probe(x, y);
      red += p.change[0], green += p.change[1], blue += p.change[2];
      const bool corner = (x == 15.0f || x == 79.0f) && (y == -57.0f || y == 57.0f);
      if (corner) {
        EXPECT_LT(4 * (p.change[0] + p.change[1]), middle.change[0] + middle.change[1])
            << x << "," << y << ": the light fades out toward the corners";
      }
    }
  // The board's face is light, so the light is near white where it is strongest; where the face
  // leaves room, the yellow shows.
  EXPECT_LT(blue * 10, red * 9) << "yellow";
  EXPECT_LT(blue * 10, green * 9) << "yellow";
}

}  // namespace
}  // namespace launchers_test
