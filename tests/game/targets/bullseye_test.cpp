// The bullseye board beside its tower and the memory board: where it stands on each side, its
// bullseye test, its first hit, its death with its ejector; the tower's spot search and queue;
// and the textures a projection laid over a board or a ball or box post reads.
#include <gtest/gtest.h>

#include <cmath>

#include "game/core/CSphere_Object.h"
#include "game/core/CWorld.h"
#include "game/fx/FX_Resources.h"
#include "game/targets/CEjector_Ball.h"
#include "game/targets/CEjector_Box.h"
#include "game/targets/CEjector_Brick.h"
#include "game/targets/CEjector_Simon_1.h"
#include "game/targets/CEjector_Targets.h"
#include "game/targets/CTarget_Target.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/texturemgr.h"
#include "tests/game/targets/launchers_fixture.h"

namespace launchers_test {
namespace {

// A hitter for the hit tests, with chosen kind flags and velocity.
class Hitter : public CSphere_Object {
 public:
  Hitter(uint32_t kind_flags, const CVector3& position, const CVector3& velocity) {
    Setup_Object(0, 1.0f, 1.0f, kState_No_Gravity, kind_flags);
    Setup_Sphere_Body(1.0f, 2.0f, 0.5f);
    m_Position = position;
    m_Sphere.velocity = velocity;
  }
  void Update(const float&) override {}
};

class Boards : public Launchers {
 protected:
  // A tower risen in front of the camera, facing away from it, in the world.
  CEjector_Targets* Raise_Tower() {
    auto* tower = Take<CEjector_Targets>();
    if (!tower) return nullptr;
    const CVector3 foot{0.5f * X, Ground(0.5f * X, 0.6f * Z) - 525.0f, 0.6f * Z};
    tower->Spawn(0, foot);
    tower->m_Orientation.From_Axis_Angle(CVector3{0.0f, 1.0f, 0.0f}, 0.4f);
    g_World.Add_Object(1, tower);
    Run(*tower, 0.6f);
    return tower;
  }
  // A memory board hovering, turned about the vertical by the angle.
  CEjector_Simon_1* Hover_Board(float turn) {
    auto* board = Take<CEjector_Simon_1>();
    if (!board) return nullptr;
    board->Spawn(CVector3{0.5f * X, Ground(0.5f * X, 0.5f * Z) + 400.0f, 0.5f * Z});
    board->m_Orientation.From_Axis_Angle(CVector3{0.0f, 1.0f, 0.0f}, turn);
    g_World.Add_Object(1, board);
    return board;
  }
  CTarget_Target* Launch_Board(CWorld_Object* ejector, int32_t side, const CVector3& home, bool quick) {
    auto* board = Take<CTarget_Target>();
    if (!board || !board->Spawn(side, home, ejector, quick)) return nullptr;
    g_World.Add_Object(1, board);
    CVector3 at;
    home.Rotate_To(ejector->m_Orientation, at);
    at.Add_Assign(ejector->m_Position);
    board->Set_Position(at);
    return board;
  }
};

TEST_F(Boards, EachSideStandsOutWhereItsEjectorPutsItAndStaysThere) {
  CEjector_Targets* tower = Raise_Tower();
  CEjector_Simon_1* memory = Hover_Board(0.3f);
  ASSERT_NE(tower, nullptr);
  ASSERT_NE(memory, nullptr);
  struct Row {
    CWorld_Object* ejector;
    int32_t side;
    float reach;       // the home's distance along the third axis
    int standing_axis; // the ejector's axis the board stands along
    float sign;
    int facing_axis;   // the ejector's axis the board's third axis follows when standing (sign below)
    float facing_sign;
  };
  const Row rows[] = {
      {tower, 0, 82.0f, 0, 1.0f, 2, 1.0f},   {tower, 1, 82.0f, 0, -1.0f, 2, 1.0f},
      {memory, 0, 152.0f, 0, 1.0f, 2, 1.0f}, {memory, 1, 152.0f, 0, -1.0f, 2, 1.0f},
      {memory, 2, 152.0f, 1, 1.0f, 2, 1.0f}, {memory, 3, 152.0f, 1, -1.0f, 2, 1.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "ejector " << row.ejector->m_Type << " side " << row.side);
    const float height = row.ejector == tower ? 120.0f : 0.0f;
    CTarget_Target* board = Launch_Board(row.ejector, row.side, CVector3{0.0f, height, row.reach}, false);
    ASSERT_NE(board, nullptr);
    const CMatrix3x3& axes = row.ejector->m_Orientation;
    // Folded in at spawn: at its home in front of the ejector.
    CVector3 home;
    CVector3{0.0f, height, row.reach}.Rotate_To(axes, home);
    home.Add_Assign(row.ejector->m_Position);
    EXPECT_NEAR(board->m_Position.x, home.x, 0.01f);
    EXPECT_NEAR(board->m_Position.z, home.z, 0.01f);
    for (int frames = 0; frames < 3; ++frames) {
      Run(*board, 0.3f);
      const CVector3& out = axes.rows[row.standing_axis];
      const CVector3 expected{row.ejector->m_Position.x + axes.rows[1].x * height + out.x * row.sign * row.reach,
                              row.ejector->m_Position.y + axes.rows[1].y * height + out.y * row.sign * row.reach,
                              row.ejector->m_Position.z + axes.rows[1].z * height + out.z * row.sign * row.reach};
      EXPECT_NEAR(board->m_Position.x, expected.x, 0.05f);
      EXPECT_NEAR(board->m_Position.y, expected.y, 0.05f);
      EXPECT_NEAR(board->m_Position.z, expected.z, 0.05f);
      EXPECT_NEAR(board->m_Orientation.rows[2].Dot(axes.rows[row.facing_axis]), row.facing_sign, 1e-3f)
          << "the face looks along the ejector's third axis";
    }
    board->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }
}

TEST_F(Boards, TheBullseyeIsWithinSevenOfTheAxisForALineAndElevenForAFastShot) {
  CEjector_Targets* tower = Raise_Tower();
  ASSERT_NE(tower, nullptr);
  struct Row {
    const char* what;
    bool line;
    float off_axis;
    float speed;
    bool bullseye;
  };
  const Row rows[] = {
      {"line at 6.9", true, 6.9f, 0.0f, true},        {"line at 7.1", true, 7.1f, 0.0f, false},
      {"fast shot at 10.9", false, 10.9f, 1200.0f, true}, {"fast shot at 11.1", false, 11.1f, 1200.0f, false},
      {"slow shot at the centre", false, 0.0f, 900.0f, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    CTarget_Target* board = Launch_Board(tower, 0, CVector3{0.0f, 100.0f, 82.0f}, false);
    ASSERT_NE(board, nullptr);
    Run(*board, 0.5f);
    const CVector3& axis = board->m_Orientation.rows[2];
    const CVector3& side = board->m_Orientation.rows[0];
    const uint32_t before = g_Score_Board_Mgr.m_Target_Hits;
    const CVector3 point{board->m_Position.x + side.x * row.off_axis - axis.x * 300.0f,
                         board->m_Position.y + side.y * row.off_axis - axis.y * 300.0f,
                         board->m_Position.z + side.z * row.off_axis - axis.z * 300.0f};
    if (row.line) {
      const CShot_Line shot{point, axis};
      EXPECT_TRUE(board->On_Hit(nullptr, &shot));
    } else {
      CVector3 velocity;
      axis.Scale(row.speed, velocity);
      Hitter ball(kKind_Shot, point, velocity);
      EXPECT_TRUE(board->On_Hit(&ball, nullptr));
    }
    EXPECT_EQ(g_Score_Board_Mgr.m_Target_Hits, before + (row.bullseye ? 1u : 0u));
    board->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }
}

TEST_F(Boards, OnlyTheFirstHitCountsAndTargetsOrPushersAreRefused) {
  CEjector_Targets* tower = Raise_Tower();
  ASSERT_NE(tower, nullptr);
  CTarget_Target* board = Launch_Board(tower, 1, CVector3{0.0f, 100.0f, 82.0f}, false);
  ASSERT_NE(board, nullptr);
  Run(*board, 0.5f);
  Hitter target(kKind_Counted_Target, board->m_Position, CVector3{0, 0, 0});
  Hitter pusher(0x04, board->m_Position, CVector3{0, 0, 0});
  EXPECT_FALSE(board->On_Hit(&target, nullptr));
  EXPECT_FALSE(board->On_Hit(&pusher, nullptr));
  EXPECT_EQ(board->m_Kill_Timer, 0.0f);
  Hitter shot(kKind_Shot, board->m_Position, CVector3{0, 0, 0});
  const uint32_t hits = g_Sim_Stats.m_Hits;
  EXPECT_TRUE(board->On_Hit(&shot, nullptr));
  EXPECT_EQ(g_Sim_Stats.m_Hits, hits + 1);
  EXPECT_NEAR(board->m_Kill_Timer, 0.15f, 1e-6f) << "it starts to swing in at 0.15";
  EXPECT_NE(board->m_Kind_Flags & kKind_Excluded, 0u);
  EXPECT_TRUE(board->On_Hit(&shot, nullptr));
  EXPECT_EQ(g_Sim_Stats.m_Hits, hits + 1);
  EXPECT_NEAR(board->m_Kill_Timer, 0.15f, 1e-6f);
}

TEST_F(Boards, ABoardVanishesWithItsEjectorAndLivesItsLifeOtherwise) {
  CEjector_Targets* tower = Raise_Tower();
  ASSERT_NE(tower, nullptr);
  CTarget_Target* normal = Launch_Board(tower, 0, CVector3{0.0f, 100.0f, 82.0f}, false);
  CTarget_Target* quick = Launch_Board(tower, 1, CVector3{0.0f, 300.0f, 82.0f}, true);
  ASSERT_NE(normal, nullptr);
  ASSERT_NE(quick, nullptr);
  Run(*normal, 3.9f);
  Run(*quick, 1.4f);
  EXPECT_EQ(normal->m_Kill_Timer, 0.0f);
  EXPECT_EQ(quick->m_Kill_Timer, 0.0f);
  Run(*normal, 0.2f);
  Run(*quick, 0.2f);
  EXPECT_GT(normal->m_Kill_Timer, 0.0f) << "a life of 4";
  EXPECT_GT(quick->m_Kill_Timer, 0.0f) << "a quick life of 1.5";
  CTarget_Target* third = Launch_Board(tower, 0, CVector3{0.0f, 400.0f, 82.0f}, false);
  ASSERT_NE(third, nullptr);
  tower->m_Kill_Timer = 0.001f;
  third->Update(kTick);
  EXPECT_EQ(third->m_Kill_Timer, 1.0f);
  // A board whose tower left the world has no ejector at all.
  CTarget_Target* orphan = Launch_Board(tower, 0, CVector3{0.0f, 200.0f, 82.0f}, false);
  ASSERT_NE(orphan, nullptr);
  tower->m_Kill_Timer = 1.0f;
  g_World.Remove_Dead_Objects();
  orphan->Update(kTick);
  EXPECT_EQ(orphan->m_Kill_Timer, 1.0f);
}

TEST_F(Boards, TheTowerQueuesAtMostElevenLaunches) {
  CEjector_Targets* tower = Raise_Tower();
  ASSERT_NE(tower, nullptr);
  for (int i = 0; i < 20; ++i) tower->Queue_Launch();
  EXPECT_EQ(tower->Queue_Count, 11u);
  for (uint32_t i = 0; i < tower->Queue_Count; ++i) {
    EXPECT_LE(tower->Queue[i].Side, 1u);
    EXPECT_GE(tower->Queue[i].Height_Fraction, 0.35f);
    EXPECT_LT(tower->Queue[i].Height_Fraction, 0.95f);
    EXPECT_EQ(tower->Queue[i].Remaining, 3.8f);
    EXPECT_FALSE(tower->Queue[i].Launched);
  }
}

TEST_F(Boards, AStandingBoardTakesItsSpotFromLaterSearches) {
  CEjector_Targets* tower = Raise_Tower();
  ASSERT_NE(tower, nullptr);
  // A board that covers the whole face of the tower on both sides: no spot is free.
  CTarget_Target* wall = Launch_Board(tower, 2, CVector3{0.0f, 0.0f, 0.0f}, false);
  ASSERT_NE(wall, nullptr);
  wall->Set_Kind5_Extents(CVector3{200.0f, 1200.0f, 200.0f});
  wall->Set_Position(tower->m_Position);
  for (int i = 0; i < 5; ++i) tower->Queue_Launch();
  EXPECT_EQ(tower->Queue_Count, 0u) << "sixteen failed tries queue nothing";
  wall->m_Kill_Timer = 1.0f;
  g_World.Remove_Dead_Objects();
  // One board standing at a spot: a search of its side at its height finds it taken.
  tower->Queue_Launch();
  ASSERT_EQ(tower->Queue_Count, 1u);
  const Target_Launch_Record first = tower->Queue[0];
  Run(*tower, 0.5f);
  ASSERT_EQ(Count(CTarget_Target::kType), 1);
  CTarget_Target* standing = static_cast<CTarget_Target*>(g_World.Find_Object_By_Type(CTarget_Target::kType, 0));
  Run(*standing, 0.5f);
  CVector3 spot{tower->m_Position.x, tower->m_Position.y + tower->Spot_Height(first.Height_Fraction),
                tower->m_Position.z};
  spot.Add_Assign(tower->Side_Offset(first.Side));
  EXPECT_NEAR(standing->m_Position.x, spot.x, 0.05f) << "the board stands where the search looked";
  EXPECT_NEAR(standing->m_Position.y, spot.y, 0.05f);
  EXPECT_NEAR(standing->m_Position.z, spot.z, 0.05f);
}

TEST_F(Boards, ABoardStillSwingingOutAlreadyHoldsItsSpot) {
  CEjector_Targets* tower = Raise_Tower();
  ASSERT_NE(tower, nullptr);
  const float height = tower->Spot_Height(0.65f);
  CTarget_Target* swinging = Launch_Board(tower, 0, CVector3{0.0f, height, 82.0f}, false);
  ASSERT_NE(swinging, nullptr);
  int same_side = 0;
  for (int search = 0; search < 300; ++search) {
    tower->Queue_Count = 0;
    tower->Queue_Launch();
    if (tower->Queue_Count == 0 || tower->Queue[0].Side != 0) continue;
    ++same_side;
    EXPECT_GE(std::fabs(tower->Spot_Height(tower->Queue[0].Height_Fraction) - height), 80.0f)
        << "a spot on the folded board's side overlaps it";
  }
  EXPECT_GT(same_side, 20);
}

TEST_F(Boards, EachRecordLaunchesOnceAndLeavesAfterItsTimeInOrder) {
  CEjector_Targets* tower = Raise_Tower();
  ASSERT_NE(tower, nullptr);
  tower->Queue_Count = 4;
  const float remaining[4] = {0.001f, 3.0f, 0.001f, 3.0f};
  const uint32_t sides[4] = {0, 1, 5, 0};
  for (int i = 0; i < 4; ++i)
    tower->Queue[i] = Target_Launch_Record{sides[i], false, remaining[i], 3.8f, 0.4f + 0.1f * static_cast<float>(i)};
  const uint32_t launches = g_Sim_Stats.m_Launches;
  tower->Update(kTick);
  EXPECT_EQ(g_Sim_Stats.m_Launches, launches + 3) << "a record of side 5 launches nothing";
  ASSERT_EQ(tower->Queue_Count, 2u);
  EXPECT_FLOAT_EQ(tower->Queue[0].Height_Fraction, 0.5f);
  EXPECT_FLOAT_EQ(tower->Queue[1].Height_Fraction, 0.7f);
  EXPECT_TRUE(tower->Queue[0].Launched);
  tower->Update(kTick);
  EXPECT_EQ(g_Sim_Stats.m_Launches, launches + 3) << "a record launches once";
  // An empty board pool: the record is spent without a board.
  while (CTarget_Target::Pool()->Alloc_Object()) {
  }
  tower->Queue_Count = 1;
  tower->Queue[0] = Target_Launch_Record{0, false, 3.8f, 3.8f, 0.5f};
  tower->Update(kTick);
  EXPECT_TRUE(tower->Queue[0].Launched);
  EXPECT_EQ(g_Sim_Stats.m_Launches, launches + 3);
}

}  // namespace
}  // namespace launchers_test

namespace launchers_test {
namespace {

// The pass that lays a projection over an object (the laser pointer's dot) takes the caller's
// style and texture: the texture goes on the first source and the object's own texture on the
// second, so a style can combine the two. Each draw leaves its textures on the device's stages.
TEST_F(Boards, AProjectedPassReadsTheGivenTextureFirstAndTheObjectsOwnSecond) {
  RenderPassDesc pass{};
  for (int i = 0; i < 2; ++i) {
    TextureStageDesc& stage = pass.Stages[i];
    stage.TextureSource = static_cast<uint32_t>(i + 1);
    stage.ColorOp = stage.AlphaOp = D3DTOP_MODULATE;
    stage.ColorArg1 = stage.AlphaArg1 = D3DTA_TEXTURE;
    stage.ColorArg2 = stage.AlphaArg2 = i == 0 ? D3DTA_DIFFUSE : D3DTA_CURRENT;
    stage.CoordSource = 0;
  }
  CD3DRenderStyle style;
  ASSERT_TRUE(style.AddPass(pass));
  CTextureData* given = fx::Get_Texture(0x2200005C);
  ASSERT_NE(given, nullptr);
  const auto on_device = [](const CTextureData* texture) -> IDirect3DBaseTexture8* {
    return texture && texture->m_pDeviceTexture ? texture->m_pDeviceTexture->m_pTexture : nullptr;
  };
  const auto bound = [](DWORD stage) {
    IDirect3DBaseTexture8* texture = nullptr;
    g_pDirect3DDevice->GetTexture(stage, &texture);
    if (texture) texture->Release();
    return texture;
  };
  // An object's own texture: the one its pool loaded, by id.
  const auto expect_bound = [&](uint32_t own_id, const char* what) {
    CTextureData* own = fx::Get_Texture(own_id);
    ASSERT_NE(on_device(own), nullptr) << what;
    ASSERT_NE(on_device(own), on_device(given)) << what;
    EXPECT_EQ(bound(0), on_device(given)) << what << ": the given texture first";
    EXPECT_EQ(bound(1), on_device(own)) << what << ": its own texture second";
    fx::Release(own);
  };

  auto* ball_post = Take<CEjector_Ball>();
  ASSERT_NE(ball_post, nullptr);
  ball_post->Spawn(1, CVector3{0.3f * X, Ground(0.3f * X, 0.6f * Z), 0.6f * Z});
  ball_post->Render_With_Shader(&style, given);
  expect_bound(0x2200002A, "ball ejector");

  // The brick post, drawn right after the ball post so that a pass reading only the given
  // texture would leave the ball post's texture on the second stage.
  auto* brick_post = Take<CEjector_Brick>();
  ASSERT_NE(brick_post, nullptr);
  brick_post->Spawn(0, 1, CVector3{0.4f * X, Ground(0.4f * X, 0.6f * Z), 0.6f * Z});
  brick_post->Render_With_Shader(&style, given);
  expect_bound(0x22000029, "brick ejector");

  // The box post draws with its variant's texture: variants 0 and 3 hold different ones.
  const struct {
    uint32_t variant;
    uint32_t texture;
    const char* what;
  } boxes[] = {{0, 0x22000044, "box ejector, variant 0"}, {3, 0x22000029, "box ejector, variant 3"}};
  for (const auto& box : boxes) {
    auto* box_post = Take<CEjector_Box>();
    ASSERT_NE(box_post, nullptr);
    box_post->Spawn(box.variant, CVector3{0.6f * X, Ground(0.6f * X, 0.6f * Z), 0.6f * Z});
    box_post->Render_With_Shader(&style, given);
    expect_bound(box.texture, box.what);
  }

  // The board's three parts: the face and the rim with the first texture, the middle (drawn
  // last) with the second; without the middle the rim's draw is the last one.
  CEjector_Targets* tower = Raise_Tower();
  ASSERT_NE(tower, nullptr);
  CTarget_Target* board = Launch_Board(tower, 0, CVector3{0.0f, 300.0f, 0.0f}, false);
  ASSERT_NE(board, nullptr);
  board->Render_With_Shader(&style, given);
  expect_bound(0x220000A0, "board's middle");
  CRenderableObject* const middle = board->m_Renderables[1];
  board->m_Renderables[1] = nullptr;
  board->Render_With_Shader(&style, given);
  board->m_Renderables[1] = middle;
  expect_bound(0x2200003B, "board's rim");
  fx::Release(given);
}

}  // namespace
}  // namespace launchers_test
