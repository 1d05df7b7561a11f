// The cylinder ejector's sections, body height and aims, and the death vial it shoots: its
// single flush when it shatters on the floor, its first hit, and the colours of its two flashes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CSphere_Object.h"
#include "game/core/CWorld.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/Launch_Helpers.h"
#include "game/targets/CEjector_Cylinder.h"
#include "game/targets/CTarget_Ball.h"
#include "game/targets/CTarget_Death_Vial.h"
#include "tests/game/targets/launchers_fixture.h"

namespace launchers_test {
namespace {

// A player's shot for the hit tests: it carries the shot kind flag.
class Player_Shot : public CSphere_Object {
 public:
  Player_Shot() { Setup_Object(0, 1.0f, 1.0f, kState_No_Gravity, kKind_Shot); }
  void Update(const float&) override {}
};

class Cylinders : public Launchers {
 protected:
  // A cylinder of the variant standing with its foot at (x, ground - 42, z), upright or with
  // the spawner's tilt, in the world's variable-step list.
  CEjector_Cylinder* Stand(uint32_t variant, float x, float z, bool tilted) {
    CEjector_Cylinder* cylinder = Take<CEjector_Cylinder>();
    if (!cylinder) return nullptr;
    const CVector3 foot{x, Ground(x, z) - 42.0f, z};
    cylinder->Spawn(variant, foot);
    if (tilted) cylinder->m_Orientation.From_Quaternion(CQuaternion{std::sin(-0.06f), 0.0f, 0.0f, std::cos(-0.06f)});
    cylinder->Set_Position(foot);
    g_World.Add_Object(1, cylinder);
    return cylinder;
  }
  int Effects_Of_Kind(int kind) const {
    int n = 0;
    for (const auto& record : g_Screen_FX_Mgr.Effects()) n += record.kind == kind ? 1 : 0;
    return n;
  }
};

TEST_F(Cylinders, SectionsSlideOutInTurnAndTheBodyGrowsWithThem) {
  struct Row {
    uint32_t variant;
    float age;
    float lower, upper;
  };
  const Row rows[] = {
      {0, 0.25f, 0.5f, 0.0f}, {0, 0.75f, 1.0f, 0.25f}, {0, 1.25f, 1.0f, 0.75f}, {0, 3.0f, 1.0f, 1.0f},
      {1, 0.25f, 0.5f, 0.0f}, {1, 1.0f, 1.0f, 0.5f},   {1, 3.0f, 1.0f, 1.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "variant " << row.variant << " at age " << row.age);
    CEjector_Cylinder* cylinder = Stand(row.variant, 0.3f * X, 0.6f * Z, false);
    ASSERT_NE(cylinder, nullptr);
    Run(*cylinder, row.age);
    EXPECT_NEAR(cylinder->Lower_Extension, row.lower, 0.02f);
    EXPECT_NEAR(cylinder->Upper_Extension, row.upper, 0.02f);
    const float scale = row.variant == 0 ? 1.75f : 2.0f;
    const float height = (70.0f * cylinder->Upper_Extension + 50.0f * cylinder->Lower_Extension) * scale;
    EXPECT_NEAR(cylinder->m_Fixed.half_size.y, height, 0.01f);
    EXPECT_NEAR(height, (70.0f * row.upper + 50.0f * row.lower) * scale, 2.5f);
    EXPECT_EQ(cylinder->m_Fixed.half_size.x, row.variant == 0 ? 50.0f : 60.0f);
    cylinder->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }
}

TEST_F(Cylinders, ALaunchDropsTheUpperSectionToHalfAndACatchToPointSixFive) {
  CEjector_Cylinder* cylinder = Stand(0, 0.3f * X, 0.6f * Z, false);
  ASSERT_NE(cylinder, nullptr);
  Run(*cylinder, 3.0f);
  cylinder->Launch_Requested = true;
  cylinder->Update(kTick);
  cylinder->Update(kTick);
  EXPECT_NEAR(cylinder->Upper_Extension, 0.5f, 0.01f);
  Run(*cylinder, 1.1f);
  EXPECT_EQ(cylinder->Upper_Extension, 1.0f);
  // A ball comes down on top: 0.3 units later the section drops to 0.65.
  cylinder->Catch_Timer = CEjector_Cylinder::kCatch_Time;
  Run(*cylinder, 0.29f);
  EXPECT_EQ(cylinder->Upper_Extension, 1.0f);
  Run(*cylinder, 0.02f);
  cylinder->Update(kTick);
  EXPECT_NEAR(cylinder->Upper_Extension, 0.65f, 0.01f);
}

TEST_F(Cylinders, WhileDyingTheUpperSectionGoesInBeforeTheLowerOne) {
  CEjector_Cylinder* cylinder = Stand(1, 0.3f * X, 0.6f * Z, false);
  ASSERT_NE(cylinder, nullptr);
  Run(*cylinder, 2.0f);
  cylinder->m_Kill_Timer = 0.001f;
  bool lower_moved_early = false;
  for (int i = 0; i < 400000 && cylinder->m_Kill_Timer < 1.0f; ++i) {
    const float upper_before = cylinder->Upper_Extension;
    cylinder->Update(kTick);
    if (upper_before > 0.0f && cylinder->Upper_Extension > 0.0f && cylinder->Lower_Extension < 1.0f)
      lower_moved_early = true;
  }
  EXPECT_FALSE(lower_moved_early);
  EXPECT_EQ(cylinder->Upper_Extension, 0.0f);
  EXPECT_LT(cylinder->Lower_Extension, 1.0f);
  EXPECT_GE(cylinder->m_Kill_Timer, 1.0f) << "it dies at 1.25 per unit";
}

TEST_F(Cylinders, ARequestInTheFirstFrameFiresAtOnce) {
  CEjector_Cylinder* cylinder = Stand(0, 0.3f * X, 0.6f * Z, false);
  ASSERT_NE(cylinder, nullptr);
  const uint32_t launches = g_Sim_Stats.m_Launches;
  cylinder->Launch_Requested = true;
  cylinder->Update(kTick);
  EXPECT_FALSE(cylinder->Launch_Requested);
  ASSERT_EQ(Count(CTarget_Death_Vial::kType), 1);
  EXPECT_EQ(g_Sim_Stats.m_Launches, launches + 1);
  auto* vial = static_cast<CTarget_Death_Vial*>(g_World.Find_Object_By_Type(CTarget_Death_Vial::kType, 0));
  EXPECT_NEAR(vial->m_Box.velocity.y, 550.0f, 0.01f) << "straight up its axis";
  EXPECT_NEAR(vial->m_Position.y, cylinder->m_Position.y, 1.0f) << "from a body of no height yet";
}

TEST_F(Cylinders, BallsGoStraightUpWithoutATwinAndToTheTwinWithOne) {
  struct Row {
    bool tilted;
    float z;          // the thrower's z, as a share of the depth
    float twin_z;     // where the twin stands; 0 for none
    bool reduced;     // velocity times 0.995
  };
  const Row rows[] = {
      {false, 0.6f, 0.0f, false},
      {false, 0.6f, 0.6f, true},
      {true, 0.86f, 0.4f, false},
      {true, 0.4f, 0.86f, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "tilted " << row.tilted << " z " << row.z << " twin " << row.twin_z);
    Replace_Track(writers::TrackSpec{1, 0, 0, 600.0f, {}});
    CEjector_Cylinder* thrower = Stand(1, 0.2f * X, row.z * Z, row.tilted);
    ASSERT_NE(thrower, nullptr);
    CEjector_Cylinder* twin = row.twin_z > 0.0f ? Stand(1, 0.8f * X, row.twin_z * Z, row.tilted) : nullptr;
    Run(*thrower, 2.0f);
    if (twin) Run(*twin, 2.0f);
    thrower->Launch_Requested = true;
    thrower->Update(kTick);
    ASSERT_EQ(Count(CTarget_Ball::kType), 1);
    auto* ball = static_cast<CTarget_Ball*>(g_World.Find_Object_By_Type(CTarget_Ball::kType, 0));
    const CVector3& up = thrower->m_Orientation.rows[1];
    const CVector3 launch{thrower->m_Position.x + up.x * 204.0f, thrower->m_Position.y + up.y * 204.0f,
                          thrower->m_Position.z + up.z * 204.0f};
    EXPECT_NEAR(ball->m_Position.x, launch.x, 0.01f);
    EXPECT_NEAR(ball->m_Position.y, launch.y, 0.01f);
    const CVector3& v = ball->m_Sphere.velocity;
    if (!twin) {
      EXPECT_NEAR(v.x, up.x * 350.0f, 0.01f);
      EXPECT_NEAR(v.y, up.y * 350.0f, 0.01f);
      EXPECT_NEAR(v.z, up.z * 350.0f, 0.01f);
    } else {
      const CVector3& tu = twin->m_Orientation.rows[1];
      const float h = 0.85f * twin->m_Fixed.half_size.y;
      const CVector3 top{twin->m_Position.x + tu.x * h, twin->m_Position.y + tu.y * h, twin->m_Position.z + tu.z * h};
      CVector3 expected = Calc_Launch_Velocity(launch.x, launch.y, launch.z, top, 300.0f, 0.5f);
      if (row.reduced) expected.Scale_Assign(0.995f);
      EXPECT_NEAR(v.x, expected.x, 0.01f);
      EXPECT_NEAR(v.y, expected.y, 0.01f);
      EXPECT_NEAR(v.z, expected.z, 0.01f);
      EXPECT_GT(v.x, 0.0f) << "across the field";
    }
  }
}

TEST_F(Cylinders, ACylinderInTheMiddleIsNoTwinOfItself) {
  CEjector_Cylinder* middle = Stand(1, 0.5f * X, 0.6f * Z, false);
  ASSERT_NE(middle, nullptr);
  Run(*middle, 2.0f);
  middle->Launch_Requested = true;
  middle->Update(kTick);
  ASSERT_EQ(Count(CTarget_Ball::kType), 1);
  const auto* ball = static_cast<const CTarget_Ball*>(g_World.Find_Object_By_Type(CTarget_Ball::kType, 0));
  EXPECT_NEAR(ball->m_Sphere.velocity.y, 350.0f, 0.01f) << "straight up its axis, as without a twin";
  EXPECT_EQ(ball->m_Sphere.velocity.x, 0.0f);
}

TEST_F(Cylinders, ATiltedCylinderAimsAtTheFarOrNearRowByItsSide) {
  const struct {
    float z;
    float aim_z;
  } rows[] = {{0.86f, 0.4f}, {0.76f, 0.4f}, {0.74f, 0.86f}, {0.4f, 0.86f}};
  for (const auto& row : rows) {
    CEjector_Cylinder* cylinder = Stand(1, 0.15f * X, row.z * Z, true);
    ASSERT_NE(cylinder, nullptr);
    const CVector3 launch{0.15f * X, 100.0f, row.z * Z};
    const CVector3 aim = cylinder->Aim_Point(launch);
    EXPECT_NEAR(aim.z, row.aim_z * Z, 0.01f) << row.z;
    EXPECT_NEAR(aim.x, 0.85f * X, 0.01f);
    EXPECT_NEAR(aim.y, Ground(aim.x, aim.z), 0.01f);
    cylinder->m_Orientation = CMatrix3x3::Identity;
    EXPECT_NEAR(cylinder->Aim_Point(launch).z, row.z * Z, 0.01f) << "an upright one aims along its own row";
  }
}

TEST_F(Cylinders, AnEmptyTargetPoolThrowsNothingAndRecordsNothing) {
  CEjector_Cylinder* cylinder = Stand(0, 0.3f * X, 0.6f * Z, false);
  ASSERT_NE(cylinder, nullptr);
  while (CTarget_Death_Vial::Pool()->Alloc_Object()) {
  }
  const uint32_t launches = g_Sim_Stats.m_Launches;
  cylinder->Launch_Requested = true;
  cylinder->Update(kTick);
  EXPECT_EQ(g_Sim_Stats.m_Launches, launches);
  EXPECT_EQ(Count(CTarget_Death_Vial::kType), 0);
  EXPECT_FALSE(cylinder->Launch_Requested) << "the request is spent";
}

// A vial dropped onto the ground from a little height, in the fixed-step list.
class Vials : public Cylinders {
 protected:
  // Steps a 16 ms frame, drawn every tenth one: the vials fall and land in the updates, and the
  // dead are swept in the drawn frames.
  void Step_Mostly_Undrawn(int frame) {
    if (frame % 10 == 9)
      harness.Step(1, 16);
    else
      harness.Step_Undrawn(1, 16);
  }
  CTarget_Death_Vial* Drop(float height) {
    CTarget_Death_Vial* vial = Take<CTarget_Death_Vial>();
    if (!vial) return nullptr;
    const int32_t colour = 0;
    if (!vial->Spawn(&colour)) return nullptr;
    g_World.Add_Object(2, vial);
    vial->Set_Position(CVector3{0.5f * X, Ground(0.5f * X, 0.5f * Z) + height, 0.5f * Z});
    return vial;
  }
  void Stage_Points() {
    g_Score_Board_Mgr.m_Pending_Points = 500;
    g_Score_Board_Mgr.m_Pending_Multiplier = 1;
  }
  // Popups of flushed chains on the board.
  int Flushes() const {
    int n = 0;
    for (uint32_t i = 0; i < g_Score_Board_Mgr.m_Popup_Count; ++i)
      n += g_Score_Board_Mgr.m_Popups[i].kind == CScore_Board_Mgr::kPopup_Flushed_Chain ? 1 : 0;
    return n;
  }
};

TEST_F(Vials, AVialThatLandsUnhitFlushesTheStagedPointsOnce) {
  CTarget_Death_Vial* vial = Drop(200.0f);
  ASSERT_NE(vial, nullptr);
  Stage_Points();
  const int shakes = Effects_Of_Kind(13), ground_flashes = Effects_Of_Kind(14);
  bool landed = false;
  for (int frame = 0; frame < 400 && !landed; ++frame) {
    Stage_Points();
    harness.Step_Undrawn(1, 16);  // it lands in an update
    landed = vial->m_Kill_Timer != 0.0f;
  }
  ASSERT_TRUE(landed);
  EXPECT_EQ(Flushes(), 1);
  EXPECT_EQ(Effects_Of_Kind(13), shakes + 1);
  EXPECT_EQ(Effects_Of_Kind(14), ground_flashes + 1);
  for (int frame = 0; frame < 30; ++frame) {
    Stage_Points();
    Step_Mostly_Undrawn(frame);
  }
  EXPECT_EQ(Flushes(), 1) << "a dying vial touching the floor again flushes nothing";
  EXPECT_EQ(Effects_Of_Kind(13), shakes + 1);
}

TEST_F(Vials, AVialShotInTheAirIsCountedOnceAndFlushesNothingWhenItFalls) {
  CTarget_Death_Vial* vial = Drop(600.0f);
  ASSERT_NE(vial, nullptr);
  Player_Shot shot;
  EXPECT_FALSE(vial->On_Hit(&shot, nullptr)) << "too young to be hit";
  EXPECT_EQ(vial->m_Kill_Timer, 0.0f);
  while (vial->m_Age < 0.55f) harness.Step_Undrawn(1, 16);
  ASSERT_EQ(vial->m_Kill_Timer, 0.0f) << "still in the air";
  Stage_Points();
  const uint32_t hits = g_Sim_Stats.m_Hits;
  const int flashes = Effects_Of_Kind(11), shakes = Effects_Of_Kind(13);
  EXPECT_TRUE(vial->On_Hit(&shot, nullptr));
  EXPECT_EQ(g_Sim_Stats.m_Hits, hits + 1);
  EXPECT_EQ(vial->m_Kill_Timer, 0.01f);
  EXPECT_NE(vial->m_Kind_Flags & kKind_Excluded, 0u);
  EXPECT_EQ(Effects_Of_Kind(11), flashes + 1);
  EXPECT_TRUE(vial->On_Hit(&shot, nullptr)) << "a second hit is taken and does nothing";
  EXPECT_EQ(g_Sim_Stats.m_Hits, hits + 1);
  EXPECT_EQ(Effects_Of_Kind(11), flashes + 1);
  for (int frame = 0; frame < 200 && g_World.Find_Object_By_Type(CTarget_Death_Vial::kType, 0); ++frame) {
    Stage_Points();
    Step_Mostly_Undrawn(frame);
  }
  EXPECT_EQ(Flushes(), 0);
  EXPECT_EQ(Effects_Of_Kind(13), shakes);
}

TEST_F(Vials, NoMoreThanFourVialsFlyAtOnce) {
  CEjector_Cylinder* cylinder = Stand(0, 0.3f * X, 0.6f * Z, false);
  ASSERT_NE(cylinder, nullptr);
  for (int i = 0; i < 6; ++i) {
    cylinder->Launch_Requested = true;
    cylinder->Update(kTick);
  }
  EXPECT_EQ(Count(CTarget_Death_Vial::kType), 4);
}

}  // namespace
}  // namespace launchers_test

namespace launchers_test {
namespace {

// The vial's two flashes on the picture. Its hit flash is faint and blue: alpha 0.1 and red 0.25,
// green 0.2, blue 0.8. Its shatter on the floor is the long green flash: red 0.5, green 1.0, blue
// 0.4 at alpha 0.7. Each is read at its peak against the picture just before it, over the middle
// of the screen; the vials stand behind the camera, so only the flash changes the picture.
class Vial_Flashes : public Vials {
 protected:
  // A vial hanging behind the camera in the list that is never stepped, old enough to be hit.
  CTarget_Death_Vial* Behind_Camera() {
    CTarget_Death_Vial* vial = Take<CTarget_Death_Vial>();
    if (!vial) return nullptr;
    const int32_t colour = 0;
    if (!vial->Spawn(&colour)) return nullptr;
    g_World.Add_Object(0, vial);
    const CVector3& eye = g_Camera.Position();
    const CVector3& ahead = g_Camera.Rotation().rows[2];
    vial->Set_Position(CVector3{eye.x - 600.0f * ahead.x, eye.y - 600.0f * ahead.y, eye.z - 600.0f * ahead.z});
    vial->m_Age = 1.0f;
    return vial;
  }
  void Picture(std::vector<uint32_t>& pixels) {
    harness.Step(1, 1);
    ASSERT_TRUE(harness.Read_Back(pixels, width, height));
  }
  // The newest flash at its peak, drawn; the red, green and blue the middle of the screen gained
  // over the picture before it. The flash is then put out.
  void Gains(const std::vector<uint32_t>& before, int64_t gained[3], const char* name) {
    ASSERT_GT(g_Screen_FX_Mgr.Effect_Count(), 0);
    auto& flash = const_cast<CScreen_FX_Record&>(g_Screen_FX_Mgr.Effects().back());
    ASSERT_EQ(flash.kind, CScreen_FX_Mgr::kFlash);
    flash.elapsed = 0.05f * flash.duration;
    std::vector<uint32_t> after;
    Picture(after);
    if (const char* dir = std::getenv("VT_TARGET_SHOTS")) harness.Save_Png(std::string(dir) + "/" + name);
    for (int k = 0; k < 3; ++k) gained[k] = 0;
    for (uint32_t y = height / 4; y < 3 * height / 4; ++y)
      for (uint32_t x = width / 4; x < 3 * width / 4; ++x)
        for (int k = 0; k < 3; ++k) {
          const int shift = 16 - 8 * k;
          gained[k] += int((after[y * width + x] >> shift) & 0xff) - int((before[y * width + x] >> shift) & 0xff);
        }
    flash.elapsed = flash.duration + 1.0f;
  }
  uint32_t width = 0, height = 0;
};

TEST_F(Vial_Flashes, AHitFlashesFaintBlueAndAShatterOnTheFloorLongGreen) {
  harness.Step(2, 16);
  g_Screen_FX_Mgr.Clear_Sim_Effects();
  CTarget_Death_Vial* shot_vial = Behind_Camera();
  ASSERT_NE(shot_vial, nullptr);
  std::vector<uint32_t> before;
  Picture(before);
  Player_Shot shot;
  ASSERT_TRUE(shot_vial->On_Hit(&shot, nullptr));
  EXPECT_FLOAT_EQ(g_Screen_FX_Mgr.Effects().back().duration, 0.75f);
  int64_t hit[3];
  Gains(before, hit, "vial_hit_flash.png");
  EXPECT_GT(hit[2], 0) << "blue shows";
  EXPECT_GT(hit[2], 2 * hit[0]) << "blue well above red";
  EXPECT_GT(hit[2], 2 * hit[1]) << "blue well above green";

  CTarget_Death_Vial* landed = Behind_Camera();
  ASSERT_NE(landed, nullptr);
  Picture(before);  // the hit flash has gone
  landed->On_Floor_Contact(CVector3{0.0f, 1.0f, 0.0f});
  // The shake and the ground flash that come with it would move and light the picture.
  g_Screen_FX_Mgr.Clear_Sim_Effects();
  EXPECT_FLOAT_EQ(g_Screen_FX_Mgr.Effects().back().duration, 3.0f);
  int64_t shatter[3];
  Gains(before, shatter, "vial_shatter_flash.png");
  EXPECT_GT(shatter[1], shatter[0]) << "green above red";
  EXPECT_GT(shatter[0], shatter[2]) << "red above blue";
  EXPECT_GT(shatter[1], 4 * hit[2]) << "far brighter than the hit's flash";
  shot_vial->m_Kill_Timer = landed->m_Kill_Timer = 1.0f;
}

}  // namespace
}  // namespace launchers_test
