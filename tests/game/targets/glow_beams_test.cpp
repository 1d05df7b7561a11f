// The glow beams of the light wall, the second glower and the buster on screen: each fan of
// glow quads stands out along its axis by its length and spreads across it by its width, so a
// beam is long and thin; and the second glower's bursts keep the variant's light once hit.
// Set VT_TARGET_SHOTS to a folder to keep the pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/targets/CStruct_Light_Wall.h"
#include "game/targets/CTarget_Buster.h"
#include "game/targets/CTarget_Glower_B.h"
#include "game/targets/Target_Shared.h"
#include "tests/game/targets/targets_fixture.h"

namespace targets_test {
namespace {

CVector3 Along(const CVector3& at, const CVector3& axis, float distance) {
  return CVector3{at.x + axis.x * distance, at.y + axis.y * distance, at.z + axis.z * distance};
}

int Difference(uint32_t a, uint32_t b) {
  int sum = 0;
  for (int shift : {0, 8, 16}) sum += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
  return sum;
}

class Glow_Beams : public Targets {
 protected:
  // Objects sit in list 0 (never updated), so the poses and glow levels set here hold.
  void Show(CWorld_Object& object, const CVector3& at) {
    g_World.Add_Object(0, &object);
    object.Set_Position(at);
    shown.push_back(&object);
  }
  void TearDown() override {
    for (CWorld_Object* object : shown) object->m_Kill_Timer = 1.0f;
    harness.Step(1, 1);
    Targets::TearDown();
  }

  // The camera's axes and a point straight ahead of it.
  void Take_View(float distance) {
    harness.Step(1, 1);
    const CMatrix3x3& axes = g_Camera.Rotation();
    right = axes.rows[0];
    up = axes.rows[1];
    ahead = axes.rows[2];
    centre = Along(g_Camera.Position(), ahead, distance);
  }

  // The picture of the frame, and the empty picture it is measured against.
  void Picture(std::vector<uint32_t>& pixels, const std::string& name) {
    harness.Step(1, 1);
    ASSERT_TRUE(harness.Read_Back(pixels, width, height));
    if (const char* dir = std::getenv("VT_TARGET_SHOTS")) harness.Save_Png(std::string(dir) + "/" + name);
  }

  bool Lit(const std::vector<uint32_t>& pixels, float x, float y) const {
    if (x < 0.0f || y < 0.0f || x >= static_cast<float>(width) || y >= static_cast<float>(height)) return false;
    const size_t i = static_cast<size_t>(y) * width + static_cast<size_t>(x);
    return Difference(pixels[i], empty[i]) > kLit;
  }

  // How far (world units, at the depth of the point) the lit pixels run from the point along
  // the world direction given, as the screen shows it; 0 when the point itself is dark.
  float Run(const std::vector<uint32_t>& pixels, const CVector3& from, const CVector3& direction) const {
    const CVector3 a = g_Camera.World_To_Screen(from);
    const CVector3 b = g_Camera.World_To_Screen(Along(from, direction, 100.0f));
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float pixels_per_100 = std::sqrt(dx * dx + dy * dy);
    if (!(pixels_per_100 > 0.0f)) return 0.0f;
    int steps = 0;
    while (steps < 4000 && Lit(pixels, a.x + dx * steps / pixels_per_100, a.y + dy * steps / pixels_per_100)) ++steps;
    return steps * 100.0f / pixels_per_100;
  }

  static constexpr int kLit = 12;
  std::vector<CWorld_Object*> shown;
  std::vector<uint32_t> empty;
  uint32_t width = 0, height = 0;
  CVector3 right, up, ahead, centre;
};

// The buster's two fans stand out 800 along its first axis (here across the screen) from 70
// beside its centre, each quad spread 50 either side of that axis.
TEST_F(Glow_Beams, TheBustersTwoBeamsAreLongAcrossTheScreenAndThin) {
  Take_View(2200.0f);
  Picture(empty, "buster_empty.png");
  auto* buster = Take<CTarget_Buster>();
  ASSERT_NE(buster, nullptr);
  ASSERT_TRUE(buster->Spawn(0, centre));
  Show(*buster, centre);
  buster->m_Lift_Timer = 0.5f;  // full brightness
  buster->m_Orientation.rows[0] = right;
  buster->m_Orientation.rows[1] = up;
  buster->m_Orientation.rows[2] = ahead;
  std::vector<uint32_t> pixels;
  Picture(pixels, "buster_beams.png");
  for (float side : {1.0f, -1.0f}) {
    SCOPED_TRACE(side);
    const CVector3 axis = Along(CVector3{0, 0, 0}, right, side);
    const float length = 70.0f + Run(pixels, Along(centre, axis, 90.0f), axis) + 20.0f;
    const CVector3 middle = Along(centre, axis, 400.0f);
    const float width = Run(pixels, middle, up) + Run(pixels, middle, Along(CVector3{0, 0, 0}, up, -1.0f));
    EXPECT_GT(length, 500.0f) << "the beam stands out its length from the body";
    EXPECT_LT(length, 900.0f);
    EXPECT_GT(width, 10.0f);
    EXPECT_LT(width, 2.0f * 50.0f + 40.0f) << "the beam is about as wide as twice its width";
    // Beside the body, above the beam's root, is dark: no rays reach up there.
    EXPECT_FALSE(Lit(pixels, g_Camera.World_To_Screen(Along(Along(centre, axis, 95.0f), up, 300.0f)).x,
                     g_Camera.World_To_Screen(Along(Along(centre, axis, 95.0f), up, 300.0f)).y));
  }
}

// The second glower's bursts: 600 long at full pulse along its first axis, 25 either side.
class Second_Glower : public Glow_Beams {
 protected:
  CTarget_Glower_B* Glower(int colour) {
    auto* glower = Take<CTarget_Glower_B>();
    EXPECT_NE(glower, nullptr);
    if (!glower) return nullptr;
    EXPECT_TRUE(glower->Spawn(colour));
    Show(*glower, centre);
    glower->m_Scale = 1.0f;
    glower->m_Age = 2.0f;
    glower->Set_Sphere_Radius(48.0f);
    glower->m_Orientation.rows[0] = right;
    glower->m_Orientation.rows[1] = up;
    glower->m_Orientation.rows[2] = ahead;
    return glower;
  }
  // A frame at the top of the pulse (the phase reaches pi / 2 as the frame draws).
  void Pulse_Top(CTarget_Glower_B& glower, std::vector<uint32_t>& pixels, const std::string& name) {
    glower.m_Pulse_Phase = 1.5707964f - 3.0f * 0.001f;
    Picture(pixels, name);
  }
};

TEST_F(Second_Glower, ItsTwoBurstsAreLongAcrossTheScreenAndThin) {
  Take_View(1600.0f);
  Picture(empty, "glower_b_empty.png");
  CTarget_Glower_B* glower = Glower(1);
  ASSERT_NE(glower, nullptr);
  std::vector<uint32_t> pixels;
  Pulse_Top(*glower, pixels, "glower_b_beams.png");
  for (float side : {1.0f, -1.0f}) {
    SCOPED_TRACE(side);
    const CVector3 axis = Along(CVector3{0, 0, 0}, right, side);
    const float length = 35.0f + 60.0f + Run(pixels, Along(centre, axis, 60.0f), axis);
    const CVector3 middle = Along(centre, axis, 300.0f);
    const float width = Run(pixels, middle, up) + Run(pixels, middle, Along(CVector3{0, 0, 0}, up, -1.0f));
    EXPECT_GT(length, 400.0f);
    EXPECT_LT(length, 700.0f);
    EXPECT_GT(width, 5.0f);
    EXPECT_LT(width, 2.0f * 25.0f + 15.0f);
  }
}

TEST_F(Second_Glower, ItsBurstsKeepTheVariantsLightOnceHit) {
  Take_View(1600.0f);
  Picture(empty, "glower_b_empty.png");
  CTarget_Glower_B* glower = Glower(1);
  ASSERT_NE(glower, nullptr);
  std::vector<uint32_t> fresh, hit;
  Pulse_Top(*glower, fresh, "glower_b_fresh.png");
  glower->m_Hit_Count = 1;
  Pulse_Top(*glower, hit, "glower_b_hit.png");
  const CVector3 probe = g_Camera.World_To_Screen(Along(centre, right, 250.0f));
  const size_t i = static_cast<size_t>(probe.y) * width + static_cast<size_t>(probe.x);
  const int before = Difference(fresh[i], empty[i]), after = Difference(hit[i], empty[i]);
  ASSERT_GT(before, 3 * kLit) << "the burst shows";
  EXPECT_GT(after, before * 3 / 4) << std::hex << hit[i] << " against " << fresh[i];
  // The burst keeps its hue: the variant's strongest channel stays the strongest.
  const CColor4 variant = targets::Get_Variant_Color(1);
  const int strongest = variant.r >= variant.g && variant.r >= variant.b ? 16 : (variant.g >= variant.b ? 8 : 0);
  for (int shift : {0, 8, 16}) {
    if (shift == strongest) continue;
    EXPECT_GE((hit[i] >> strongest) & 0xFF, (hit[i] >> shift) & 0xFF) << std::hex << hit[i];
  }
  // The body itself turns black once hit: above the bursts it darkens.
  const CVector3 middle = g_Camera.World_To_Screen(Along(centre, up, 32.0f));
  const size_t m = static_cast<size_t>(middle.y) * width + static_cast<size_t>(middle.x);
  EXPECT_LT(((hit[m] >> 16) & 0xFF) + ((hit[m] >> 8) & 0xFF) + (hit[m] & 0xFF),
            ((fresh[m] >> 16) & 0xFF) + ((fresh[m] >> 8) & 0xFF) + (fresh[m] & 0xFF));
}

// A lane wall seen edge-on, its face turned across the screen: the glow beams stand 350 out of
// the face along its normal, spread 100 either side.
TEST_F(Glow_Beams, ALaneWallsBeamsStandOutOfItsFace) {
  Take_View(1400.0f);
  Picture(empty, "wall_empty.png");
  auto* wall = Take<CStruct_Light_Wall>();
  ASSERT_NE(wall, nullptr);
  const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  ASSERT_TRUE(wall->Spawn(3, centre, white));
  Show(*wall, centre);
  wall->m_Glow = 1.0f;
  wall->m_Orientation.rows[0].Set(-ahead.x, -ahead.y, -ahead.z);
  wall->m_Orientation.rows[1] = up;
  wall->m_Orientation.rows[2] = right;
  std::vector<uint32_t> pixels;
  Picture(pixels, "wall_beams.png");
  const float length = 60.0f + Run(pixels, Along(centre, right, 60.0f), right);
  const CVector3 middle = Along(centre, right, 175.0f);
  const float width = Run(pixels, middle, up) + Run(pixels, middle, Along(CVector3{0, 0, 0}, up, -1.0f));
  EXPECT_GT(length, 250.0f) << "the beams stand out of the face";
  EXPECT_LT(length, 450.0f);
  EXPECT_GT(width, 20.0f);
  EXPECT_LT(width, 2.0f * 100.0f + 30.0f);
  // Behind the face nothing is lit beyond the wall's own half size.
  EXPECT_LT(Run(pixels, Along(centre, right, -60.0f), Along(CVector3{0, 0, 0}, right, -1.0f)), 40.0f);
}

}  // namespace
}  // namespace targets_test
