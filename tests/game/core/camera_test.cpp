#include <gtest/gtest.h>

#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CGame_State.h"
#include "game/core/CWorld.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/sim/CBrain.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"

namespace {

void Expect_Near(const CVector3& a, const CVector3& b, float tolerance) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

// Equal rotations: q and -q are the same.
void Expect_Same_Rotation(const CQuaternion& a, const CQuaternion& b, float tolerance) {
  EXPECT_NEAR(std::fabs(a.Dot(b)), 1.0f, tolerance);
}

class CameraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(camera.Init());
    camera.Set_Projection(0.7853982f, camera.Screen_Width() / camera.Screen_Height(), 1.0f, 5000.0f);
  }
  CCamera camera;
};

TEST_F(CameraTest, LookAtFacesTheTargetWithYUp) {
  camera.Look_At(CVector3{10.0f, 20.0f, 30.0f}, CVector3{10.0f, 20.0f, 130.0f});
  Expect_Same_Rotation(camera.Orientation(), CQuaternion::Identity, 1e-6f);
  camera.Look_At(CVector3{0.0f, 0.0f, 0.0f}, CVector3{100.0f, 0.0f, 0.0f});
  CVector3 forward{0.0f, 0.0f, 1.0f};
  forward.Rotate(camera.Rotation());
  Expect_Near(forward, CVector3{1.0f, 0.0f, 0.0f}, 1e-5f);
  EXPECT_EQ(camera.Mode(), CCamera::kPlaced);
  // Looking straight down or at its own position gives a usable pose, not NaN.
  camera.Look_At(CVector3{0.0f, 100.0f, 0.0f}, CVector3{0.0f, 0.0f, 0.0f});
  EXPECT_TRUE(std::isfinite(camera.Orientation().w));
  camera.Look_At(CVector3{5.0f, 5.0f, 5.0f}, CVector3{5.0f, 5.0f, 5.0f});
  EXPECT_TRUE(std::isfinite(camera.Orientation().w));
}

TEST_F(CameraTest, ScreenToWorldAndBackRoundTrips) {
  const CVector3 poses[][2] = {
      {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}},
      {{800.0f, 1500.0f, -500.0f}, {800.0f, 900.0f, 1000.0f}},
      {{-300.0f, 50.0f, 20.0f}, {100.0f, -40.0f, -700.0f}},
  };
  const float w = camera.Screen_Width(), h = camera.Screen_Height();
  const float points[][2] = {{w / 2, h / 2}, {0.0f, 0.0f}, {w - 1, h - 1}, {17.5f, h - 78.75f}};
  for (const auto& pose : poses) {
    camera.Look_At(pose[0], pose[1]);
    for (const auto& point : points) {
      const CVector3 world = camera.Screen_To_World(CVector3{point[0], point[1], 0.0f});
      const CVector3 back = camera.World_To_Screen(world);
      // Float precision of a point one unit from a camera far from the origin.
      EXPECT_NEAR(back.x, point[0], 0.05f);
      EXPECT_NEAR(back.y, point[1], 0.05f);
      EXPECT_EQ(back.z, 0.0f);
    }
    // The centre of the screen lies straight ahead, on the near plane.
    const CVector3 centre = camera.Screen_To_World(CVector3{w / 2, h / 2, 0.0f});
    CVector3 ahead;
    pose[1].Subtract(pose[0], ahead);
    ahead.Normalize();
    Expect_Near(centre, CVector3{pose[0].x + ahead.x, pose[0].y + ahead.y, pose[0].z + ahead.z}, 1e-3f);
  }
}

TEST_F(CameraTest, FrustumPlanesKeepWhatIsInViewInside) {
  camera.Look_At(CVector3{100.0f, 0.0f, 0.0f}, CVector3{100.0f, 0.0f, 100.0f});
  CPlane planes[6];
  camera.Get_Frustum_Planes(planes);
  const CVector3 inside{100.0f, 0.0f, 50.0f};
  const CVector3 behind{100.0f, 0.0f, -50.0f};
  const CVector3 too_far{100.0f, 0.0f, 6000.0f};
  const CVector3 aside{3000.0f, 0.0f, 50.0f};
  for (const CPlane& plane : planes) EXPECT_GT(plane.Distance(inside), 0.0f);
  auto outside_one = [&](const CVector3& p) {
    for (const CPlane& plane : planes)
      if (plane.Distance(p) < 0.0f) return true;
    return false;
  };
  EXPECT_TRUE(outside_one(behind));
  EXPECT_TRUE(outside_one(too_far));
  EXPECT_TRUE(outside_one(aside));
}

TEST_F(CameraTest, ATimedMoveEndsAtItsTargetAndAMoveWithoutDurationLandsAtOnce) {
  camera.Look_At(CVector3{0.0f, 0.0f, 0.0f}, CVector3{0.0f, 0.0f, 1.0f});
  camera.Start_Move(CVector3{100.0f, 0.0f, 0.0f}, CVector3{100.0f, 0.0f, -1.0f}, 1.0f);
  camera.Update(0.5f);
  Expect_Near(camera.Position(), CVector3{50.0f, 0.0f, 0.0f}, 1e-4f);
  camera.Update(0.75f);
  Expect_Near(camera.Position(), CVector3{100.0f, 0.0f, 0.0f}, 1e-4f);
  CQuaternion end_orientation = camera.Orientation();
  CVector3 forward{0.0f, 0.0f, 1.0f};
  forward.Rotate(camera.Rotation());
  Expect_Near(forward, CVector3{0.0f, 0.0f, -1.0f}, 1e-4f);
  camera.Update(1.0f);
  Expect_Same_Rotation(camera.Orientation(), end_orientation, 1e-6f);

  for (const float delta : {0.0f, 0.01f}) {
    camera.Look_At(CVector3{0.0f, 0.0f, 0.0f}, CVector3{0.0f, 0.0f, 1.0f});
    camera.Start_Move(CVector3{7.0f, 8.0f, 9.0f}, CVector3{7.0f, 8.0f, 100.0f}, 0.0f);
    camera.Update(delta);
    Expect_Near(camera.Position(), CVector3{7.0f, 8.0f, 9.0f}, 1e-5f);
  }
}

TEST_F(CameraTest, ATiltOfZeroAfterATiltedFrameRestoresTheOrientationExactly) {
  camera.Look_At(CVector3{1.0f, 2.0f, 3.0f}, CVector3{40.0f, -5.0f, 60.0f});
  const CQuaternion before = camera.Orientation();
  camera.Set_Frame_Tilt(0.3f);
  camera.Update(0.1f);
  EXPECT_LT(std::fabs(camera.Orientation().Dot(before)), 0.9999f) << "the frame is tilted";
  CVector3 forward_before{0.0f, 0.0f, 1.0f}, forward_after{0.0f, 0.0f, 1.0f};
  CMatrix3x3 rotation_before;
  rotation_before.From_Quaternion(before);
  forward_before.Rotate(rotation_before);
  forward_after.Rotate(camera.Rotation());
  Expect_Near(forward_after, forward_before, 1e-5f);  // a roll keeps the view direction
  camera.Set_Frame_Tilt(0.0f);
  camera.Update(0.1f);
  EXPECT_EQ(camera.Orientation().x, before.x);
  EXPECT_EQ(camera.Orientation().y, before.y);
  EXPECT_EQ(camera.Orientation().z, before.z);
  EXPECT_EQ(camera.Orientation().w, before.w);
}

TEST_F(CameraTest, AShakeLastsOneFrameAndLeavesTheCameraPoseAlone) {
  camera.Look_At(CVector3{1.0f, 2.0f, 3.0f}, CVector3{1.0f, 2.0f, 30.0f});
  const CVector3 position = camera.Position();
  camera.Shake(5.0f);
  camera.Shake(2.0f);  // the last request wins
  camera.Update(0.1f);
  Expect_Near(camera.Position(), position, 0.0f);
  camera.Update(0.1f);
  Expect_Near(camera.Position(), position, 0.0f);
}

// The eye is the position the device draws from: the camera's position plus the shake offset of
// the pose handed over at the last update, not the angles of a shake asked for since.
TEST_F(CameraTest, TheEyeIsThePositionPlusTheShakeOffsetTheDeviceWasHanded) {
  const CVector3 position{100.0f, 50.0f, -20.0f};
  camera.Look_At(position, CVector3{100.0f, 50.0f, 500.0f});
  Expect_Near(camera.Get_Eye_Position(), position, 0.0f);

  camera.Shake(3.0f);
  const CVector3 handed = camera.Shake_Angles();
  ASSERT_GT(handed.Length(), 0.1f);
  camera.Update(0.1f);
  const CVector3 shaken{position.x + handed.x, position.y + handed.y, position.z + handed.z};
  Expect_Near(camera.Shake_Offset(), handed, 0.0f);
  Expect_Near(camera.Get_Eye_Position(), shaken, 1e-5f);
  Expect_Near(camera.Position(), position, 0.0f);  // the camera's own position stays

  // A shake asked for after the update moves the view only at the next one.
  camera.Shake(3.0f);
  ASSERT_GT(std::fabs(camera.Shake_Angles().x - handed.x), 1e-3f);
  Expect_Near(camera.Get_Eye_Position(), shaken, 1e-5f);
  const CVector3 next = camera.Shake_Angles();
  camera.Update(0.1f);
  Expect_Near(camera.Get_Eye_Position(), CVector3{position.x + next.x, position.y + next.y, position.z + next.z}, 1e-5f);

  // Without a new request the view returns to the unshaken eye.
  camera.Update(0.1f);
  Expect_Near(camera.Get_Eye_Position(), position, 0.0f);

  // Placing the camera hands an unshaken pose; setting the orientation hands the shake's.
  camera.Shake(2.0f);
  camera.Update(0.1f);
  camera.Look_At(CVector3{1.0f, 2.0f, 3.0f}, CVector3{1.0f, 2.0f, 30.0f});
  Expect_Near(camera.Get_Eye_Position(), CVector3{1.0f, 2.0f, 3.0f}, 0.0f);
  camera.Shake(2.0f);
  const CVector3 angles = camera.Shake_Angles();
  camera.Set_Orientation(camera.Orientation());
  Expect_Near(camera.Get_Eye_Position(), CVector3{1.0f + angles.x, 2.0f + angles.y, 3.0f + angles.z}, 1e-5f);
}

TEST_F(CameraTest, TheBreathingZoomReturnsToTheSavedProjection) {
  const CCamera_Projection normal = camera.Projection();
  camera.m_Zoom_Requested = true;
  for (int i = 0; i < 20; ++i) camera.Update(1.0f);
  EXPECT_FLOAT_EQ(camera.m_Zoom_Level, 1.0f);
  EXPECT_GE(camera.Projection().fov, normal.fov);
  EXPECT_FLOAT_EQ(camera.Projection().far_z, normal.far_z);
  camera.m_Zoom_Requested = false;
  for (int i = 0; i < 20; ++i) camera.Update(1.0f);
  EXPECT_EQ(camera.m_Zoom_Level, 0.0f);
  EXPECT_EQ(camera.Projection().fov, normal.fov);
  EXPECT_EQ(camera.Projection().near_z, normal.near_z);
  EXPECT_EQ(camera.Projection().aspect, normal.aspect);
}

class HitPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_Screen_FX_Mgr.Init();
    g_Score_Board_Mgr.Init();
    g_WarRoom_Sim.m_Shield_Level = 1.0f;
  }
  void TearDown() override {
    g_Screen_FX_Mgr.Term();
    g_Score_Board_Mgr.Term();
  }
};

TEST_F(HitPlayerTest, StrengthIsCappedAtOneAndQuietHitsShowNothing) {
  struct Case {
    float strength;
    bool quiet;
    int want_effects;
    float want_shield;
  };
  const Case cases[] = {{2.0f, false, 2, 0.8f}, {0.5f, false, 2, 0.9f}, {1.0f, true, 0, 0.8f}, {0.25f, true, 0, 0.95f}};
  for (const Case& c : cases) {
    g_Screen_FX_Mgr.Init();
    g_WarRoom_Sim.m_Shield_Level = 1.0f;
    Hit_Player(c.strength, c.quiet);
    EXPECT_EQ(g_Screen_FX_Mgr.Effect_Count(), c.want_effects) << c.strength;
    EXPECT_FLOAT_EQ(g_WarRoom_Sim.m_Shield_Level, c.want_shield) << c.strength;
    if (c.want_effects) {
      const float s = std::fmin(c.strength, 1.0f);
      const CScreen_FX_Record& flash = g_Screen_FX_Mgr.Effects().front();
      const CScreen_FX_Record& shake = g_Screen_FX_Mgr.Effects().back();
      EXPECT_EQ(flash.kind, CScreen_FX_Mgr::kFlash);
      EXPECT_FLOAT_EQ(flash.duration, s * 1.5f);
      EXPECT_FLOAT_EQ(flash.vector_a[0], 0.25f) << "the flash colour is alpha first";
      EXPECT_EQ(shake.kind, CScreen_FX_Mgr::kCamera_Shake);
      EXPECT_FLOAT_EQ(shake.duration, s * 3.5f);
      EXPECT_FLOAT_EQ(shake.value1, s) << "the shake's strength";
    }
  }
  g_WarRoom_Sim.m_Shield_Level = 0.1f;
  Hit_Player(1.0f, true);
  EXPECT_EQ(g_WarRoom_Sim.m_Shield_Level, 0.0f) << "the shield does not go below 0";
}

TEST_F(HitPlayerTest, AwardsAQuarterOfThePendingAndClosingChains) {
  // The open chain is lost to the flush; the salvaged quarter is committed together with the
  // closing chain (its points times its multiplier).
  struct Case {
    uint32_t pending, pending_multiplier, closing, closing_multiplier, want_total;
  };
  const Case cases[] = {
      {0, 0, 0, 0, 0},            // nothing pending: nothing awarded
      {100, 0, 0, 0, 25},        // 0.25 x 100
      {100, 150, 0, 0, 62},      // (100 + 150) / 4 = 62.5
      {3, 0, 0, 0, 0},            // 0.75 truncates to 0
      {40, 50, 80, 100, 215},    // (40 + 20 + 80 + 80) / 4, and 80 x 2 committed
  };
  for (const Case& c : cases) {
    g_Score_Board_Mgr.Init();
    g_Score_Board_Mgr.m_Total_Score = 0;
    g_Score_Board_Mgr.m_Pending_Points = c.pending;
    g_Score_Board_Mgr.m_Pending_Multiplier = c.pending_multiplier;
    g_Score_Board_Mgr.m_Closing_Points = c.closing;
    g_Score_Board_Mgr.m_Closing_Multiplier = c.closing_multiplier;
    Hit_Player(0.1f, true);
    EXPECT_EQ(g_Score_Board_Mgr.m_Total_Score, c.want_total) << c.pending << " " << c.pending_multiplier;
    EXPECT_EQ(g_Score_Board_Mgr.m_Pending_Points, 0u) << "the open chain is flushed";
  }
}

}  // namespace
