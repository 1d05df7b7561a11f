// What each attachment's use does in a launched run: the spray's burst, the smart bomb's and
// the energy pulse's strikes across the field, the laser's reflecting segments and its scoring
// rules, and the pointer's beam and dot.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CGame_State.h"
#include "game/core/CWorld.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/CAttach_Bullet_Spray.h"
#include "game/player/CAttach_Energy_Pulse.h"
#include "game/player/CAttach_Laser.h"
#include "game/player/CAttach_Laser_Pointer.h"
#include "game/player/CAttach_Smart_Bomb.h"
#include "game/player/CPlayer.h"
#include "game/sim/CSim_Stats.h"
#include "platform/system/random.h"
#include "runtime/src/sound/sound_mgr.h"
#include "tests/game/player/arsenal_fixture.h"
#include "tests/support/stand_in_target.h"

namespace {

using arsenal_test::Arsenal;
using arsenal_test::Sound_Recorder;
using vt_test::Stand_In_Target;

constexpr int kSteel_Ball = 1, kCannon = 5;

class Attachment_Effects : public Arsenal {
 protected:
  // A run with the loadout and an empty field: what the track placed is swept away.
  void Launch_Empty(int gun, int attachment) {
    Launch(gun, attachment, 0, 0);
    for (int n = 0; CWorld_Object* object = g_World.Get_Object(n); ++n) object->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
    plat::Seed_Random(4);
  }
  static float Size_X() { return g_World.m_Terrain.size_x; }
  static float Size_Z() { return g_World.m_Terrain.size_z; }
  // Points the gun along the direction.
  static void Aim_Gun(const CVector3& direction) {
    g_Player.m_Gun->m_Orientation = arsenal::Basis_From_Aim(direction, CVector3{1.0f, 0.0f, 0.0f});
  }
  // The targets in the order the world collects counted objects.
  static std::vector<Stand_In_Target*> Collected_Order(const std::vector<Stand_In_Target*>& targets) {
    CWorld_Query found;
    g_World.Collect_Objects(kKind_Counted_Target, found);
    std::vector<Stand_In_Target*> order;
    for (int i = 0; i < found.count; ++i)
      for (Stand_In_Target* target : targets)
        if (found.objects[i] == target) order.push_back(target);
    return order;
  }
  static float Angle(const CVector3& a, const CVector3& b) {
    return std::acos(std::clamp(arsenal::Dot(a, b) / (arsenal::Length(a) * arsenal::Length(b)), -1.0f, 1.0f));
  }
};

TEST_F(Attachment_Effects, TheSprayFiresThirteenBulletsRoundTheFirstOnesDirection) {
  Launch_Empty(kSteel_Ball, 2);
  CAttach_Bullet_Spray& spray = g_Weapon_Attachment_Bullet_Spray;
  Aim_Gun(CVector3{0.0f, 0.0f, 1.0f});
  spray.Fire();
  spray.Update(0.01f);
  EXPECT_EQ(spray.m_Bursts_Left, 12) << "the first bullet at once";
  const CVector3 burst = CAttach_Bullet_Spray::s_Burst_Direction;
  EXPECT_NEAR(Angle(burst, CVector3{0.0f, 0.0f, 1.0f}), 0.06f, 1e-3f) << "turned 0.06 about the side axis";
  // The gun turns; the rest of the burst keeps to the first bullet's direction.
  Aim_Gun(CVector3{1.0f, 0.0f, 1.0f});
  for (int i = 0; i < 200; ++i) EXPECT_LE(Angle(spray.Aim(false), burst), 0.075f * std::sqrt(2.0f) + 1e-3f);
  float time = 0.0f;
  while (spray.m_Bursts_Left > 0 && time < 10.0f) {
    spray.Update(0.01f);
    time += 0.01f;
  }
  EXPECT_EQ(spray.m_Bursts_Left, 0);
  EXPECT_GE(time, 1.2f - 0.02f);
  EXPECT_LE(time, 2.4f + 0.02f);
  spray.Update(0.3f);
  EXPECT_EQ(spray.m_Burst_Timer, 0.0f) << "the burst is over";
}

TEST_F(Attachment_Effects, TheSmartBombStrikesSixInsideTheFieldAndSparesTheRest) {
  Launch_Empty(kSteel_Ball, 3);
  const float x = 0.5f * Size_X();
  std::vector<Stand_In_Target*> inside;
  Stand_In_Target* near_edge = Stand_In_Target::Spawn_Sphere(x, 50.0f, 0.05f * Size_Z(), 30.0f);
  Stand_In_Target* at_side = Stand_In_Target::Spawn_Sphere(10.0f, 50.0f, 0.5f * Size_Z(), 30.0f);
  Stand_In_Target* spared = Stand_In_Target::Spawn_Sphere(x, 50.0f, 0.3f * Size_Z(), 30.0f);
  spared->m_Kind_Flags |= 0x40;
  for (int i = 0; i < 8; ++i)
    inside.push_back(Stand_In_Target::Spawn_Sphere(200.0f + 150.0f * i, 50.0f, 0.6f * Size_Z(), 30.0f));
  const std::vector<Stand_In_Target*> order = Collected_Order(inside);
  const int records = g_Screen_FX_Mgr.Effect_Count();
  const std::vector<float> draws = Upcoming_Draws(11, 600);
  EXPECT_EQ(g_Weapon_Attachment_Smart_Bomb.Detonate(), 6);
  // Each strike's ground flash takes six fresh draws in the order written: duration, the three
  // colour components, strength, size.
  int flashes = 0, next = 0;
  for (const CScreen_FX_Record& r : g_Screen_FX_Mgr.Effects()) {
    if (r.kind != 14) continue;
    ++flashes;
    auto near = [](float got, float want) { return std::abs(got - want) <= 1e-6f * std::max(1.0f, std::abs(want)); };
    int found = -1;
    for (int k = next; k + 5 < int(draws.size()) && found < 0; ++k)
      if (near(r.duration, 2.35f + 0.9f * draws[k]) && near(r.vector_b[0], 0.25f + 0.6f * draws[k + 1]) &&
          near(r.vector_b[1], 0.25f + 0.6f * draws[k + 2]) && near(r.vector_b[2], 0.25f + 0.6f * draws[k + 3]) &&
          near(r.value1, 0.45f + 0.2f * draws[k + 4]) && near(r.value2, 0.05f + 0.15f * draws[k + 5]))
        found = k;
    EXPECT_GE(found, 0) << "ground flash " << flashes << ": six consecutive draws in order";
    if (found >= 0) next = found + 6;
  }
  EXPECT_EQ(g_Screen_FX_Mgr.Effect_Count(), records + 1 + 6) << "the flash and six ground flashes";
  EXPECT_EQ(flashes, 6);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(order[i]->Hits(), i < 6 ? 1 : 0) << "list order, budget 6: " << i;
  EXPECT_EQ(near_edge->Hits(), 0) << "the nearest tenth of the depth is spared";
  EXPECT_EQ(at_side->Hits(), 0) << "20 units from the side";
  EXPECT_EQ(spared->Hits(), 0) << "kind flag 0x40";
  // With nothing to strike the use still comes.
  Launch_Empty(kSteel_Ball, 3);
  EXPECT_EQ(g_Weapon_Attachment_Smart_Bomb.Detonate(), 0);
}

// A use's screen flash at its peak: the record it added and what the flash adds to red, green
// and blue over the middle half of the screen. The use strikes nothing: the flash is its one
// record.
struct Flash {
  CScreen_FX_Record record;
  int64_t gained[3] = {0, 0, 0};
};
Flash Flash_At_Peak(vt_test::Game_Harness& harness, const char* picture, const std::function<void()>& use) {
  Flash flash;
  harness.Step(2, 16);
  std::vector<uint32_t> plain, flashed;
  uint32_t w = 0, h = 0;
  EXPECT_TRUE(harness.Read_Back(plain, w, h));
  const int before = g_Screen_FX_Mgr.Effect_Count();
  use();
  EXPECT_EQ(g_Screen_FX_Mgr.Effect_Count(), before + 1) << "nothing struck: the flash alone";
  if (g_Screen_FX_Mgr.Effect_Count() != before + 1) return flash;
  auto& record = const_cast<CScreen_FX_Record&>(g_Screen_FX_Mgr.Effects().back());
  flash.record = record;
  record.elapsed = 0.05f * record.duration;  // the flash at its peak
  harness.Step(1, 1);
  EXPECT_TRUE(harness.Read_Back(flashed, w, h));
  if (const char* dir = std::getenv("VT_ARSENAL_SHOTS")) harness.Save_Png(std::string(dir) + "/" + picture);
  if (flashed.size() != plain.size() || plain.size() < size_t(w) * h) return flash;
  for (uint32_t y = h / 4; y < 3 * h / 4; ++y)
    for (uint32_t x = w / 4; x < 3 * w / 4; ++x)
      for (int k = 0; k < 3; ++k) {
        const int shift = 16 - 8 * k;
        flash.gained[k] += int((flashed[y * w + x] >> shift) & 0xff) - int((plain[y * w + x] >> shift) & 0xff);
      }
  return flash;
}

// The smart bomb's flash is violet: its record holds alpha 0.4 first, then red 0.45, green 0.3
// and blue 1.0, and the flashed screen gains most in blue and least in green.
TEST_F(Attachment_Effects, TheSmartBombFlashesTheScreenViolet) {
  Launch_Empty(kSteel_Ball, 3);
  const Flash flash = Flash_At_Peak(harness, "smart_bomb_flash.png", [] { g_Weapon_Attachment_Smart_Bomb.Detonate(); });
  ASSERT_EQ(flash.record.kind, 11);
  EXPECT_FLOAT_EQ(flash.record.duration, 1.75f);
  const float stored[4] = {0.4f, 0.45f, 0.3f, 1.0f};
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(flash.record.vector_a[i], stored[i]) << i;
  const int64_t* gained = flash.gained;
  EXPECT_GT(gained[2], gained[0]) << "blue above red";
  EXPECT_GT(gained[0], gained[1]) << "red above green";
  EXPECT_GT(gained[2], 0);
}

// The energy pulse's flash is cyan: its record holds alpha 1.0 first, then red 0.35, green 0.6
// and blue 0.6, and the flashed screen gains as much in green as in blue and less in red.
TEST_F(Attachment_Effects, TheEnergyPulseFlashesTheScreenCyan) {
  Launch_Empty(kSteel_Ball, 4);
  const Flash flash = Flash_At_Peak(harness, "energy_pulse_flash.png", [] { g_Weapon_Attachment_Energy_Pulse.Discharge(); });
  ASSERT_EQ(flash.record.kind, 11);
  EXPECT_FLOAT_EQ(flash.record.duration, 2.25f);
  const float stored[4] = {1.0f, 0.35f, 0.6f, 0.6f};
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(flash.record.vector_a[i], stored[i]) << i;
  const int64_t* gained = flash.gained;
  EXPECT_GT(gained[1], 0);
  EXPECT_NEAR(double(gained[2]), double(gained[1]), 0.1 * double(gained[1])) << "blue as green";
  EXPECT_GT(double(gained[1]), 1.3 * double(gained[0])) << "green well above red";
}

// The smart bomb, the energy pulse and the laser sound once a use, at the sound-effect volume
// times the game state's 0.925, once.
TEST_F(Attachment_Effects, EachUseSoundsAtTheSoundEffectVolumeTimesTheGainOnce) {
  Launch_Empty(kSteel_Ball, 5);
  Aim_Gun(CVector3{0.0f, 0.0f, 1.0f});
  struct Case {
    const char* use;
    uint32_t sound;
    std::function<void()> run;
  };
  const Case cases[] = {
      {"smart bomb", 0x2200017A, [] { g_Weapon_Attachment_Smart_Bomb.Detonate(); }},
      {"energy pulse", 0x22000179, [] { g_Weapon_Attachment_Energy_Pulse.Discharge(); }},
      {"laser", 0x2200014A, [] { g_Weapon_Attachment_Laser.Shoot(); }},
  };
  for (const Case& c : cases) {
    Sound_Recorder recorder;
    g_Game_State.SoundFX_Volume = 0.6f;
    c.run();
    int heard = 0;
    for (const Recording_Sound_Mgr::Call& play : recorder.sounds.Plays()) {
      if (play.id != c.sound) continue;
      ++heard;
      EXPECT_NEAR(play.volume, 0.6f * 0.925f, 1e-5f) << c.use;
      EXPECT_EQ(play.flags, 0) << c.use << ": not looped";
    }
    EXPECT_EQ(heard, 1) << c.use;
  }
}

TEST_F(Attachment_Effects, ThePulseStrikesEightAndGivesBoltsByCollectedIndex) {
  Launch_Empty(kSteel_Ball, 4);
  CAttach_Energy_Pulse& pulse = g_Weapon_Attachment_Energy_Pulse;
  std::vector<Stand_In_Target*> spawned;
  for (int i = 0; i < 10; ++i)
    spawned.push_back(Stand_In_Target::Spawn_Sphere(200.0f + 120.0f * i, 50.0f, 0.6f * Size_Z(), 30.0f));
  const std::vector<Stand_In_Target*> targets = Collected_Order(spawned);
  ASSERT_EQ(targets.size(), 10u) << "nothing else counted in the field";
  targets[1]->m_Kind_Flags |= 0x40;  // collected at index 1, never struck
  pulse.m_Bolts[3].m_Active = true;  // still alive from an earlier use
  const float life_before = pulse.m_Bolts[3].m_Remaining;
  EXPECT_EQ(pulse.Discharge(), 8);
  const bool bolted[5] = {true, false, true, true, true};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(pulse.m_Bolts[i].m_Active, bolted[i]) << "bolt " << i;
  EXPECT_EQ(pulse.m_Bolts[3].m_Remaining, life_before) << "an active bolt is not restarted";
  int struck = 0;
  for (Stand_In_Target* target : targets) struck += target->Hits();
  EXPECT_EQ(struck, 8);
  EXPECT_EQ(targets[1]->Hits(), 0);
  EXPECT_EQ(targets[9]->Hits(), 0) << "the budget ran out";
}

TEST_F(Attachment_Effects, TheLaserReflectsOffTheWallsForThreeSegmentsAtMost) {
  Launch_Empty(kCannon, 5);
  CAttach_Laser& laser = g_Weapon_Attachment_Laser;
  g_Player.m_Mount_Position = CVector3{0.5f * Size_X(), 600.0f, 0.5f * Size_Z()};
  // Across the field and a little up, so that no segment meets the ground.
  Aim_Gun(arsenal::Unit_Or(CVector3{1.0f, 0.12f, 0.0f}, CVector3{1.0f, 0.0f, 0.0f}));
  laser.Shoot();
  std::vector<float> widths;
  for (const CFX_Laser& beam : laser.m_Beams)
    if (beam.m_Active) widths.push_back(beam.m_Width);
  ASSERT_EQ(widths.size(), 3u);
  EXPECT_NEAR(widths[0], 1.0f, 1e-5f);
  EXPECT_NEAR(widths[1], 2.0f / 3.0f, 1e-5f);
  EXPECT_NEAR(widths[2], 1.0f / 3.0f, 1e-5f);
  EXPECT_LT(laser.m_Beams[1].m_Direction.x, 0.0f) << "reflected off the side wall";
  EXPECT_GT(laser.m_Beams[2].m_Direction.x, 0.0f) << "and off the other";
}

TEST_F(Attachment_Effects, TheLaserScoresCountedObjectsStrikesSparedOnesAndStopsAtOthers) {
  struct Case {
    const char* name;
    uint32_t kind_flags;
    int hits;
    int scored;
  } cases[] = {{"counted", 0x01, 1, 1}, {"spared from scoring", 0x41, 1, 0}, {"no scored flag", 0x00, 0, 0}};
  // The world's ray does not pick an object without a scored flag: it is neither struck nor scored.
  for (const Case& c : cases) {
    Launch_Empty(kCannon, 5);
    CAttach_Laser& laser = g_Weapon_Attachment_Laser;
    for (CFX_Laser& beam : laser.m_Beams) beam.m_Active = false;
    g_Player.m_Mount_Position = CVector3{0.5f * Size_X(), 300.0f, 0.3f * Size_Z()};
    Stand_In_Target* target = Stand_In_Target::Spawn_Sphere(0.5f * Size_X(), 350.0f, 0.6f * Size_Z(), 60.0f);
    target->m_Kind_Flags = c.kind_flags;
    const CVector3 start = arsenal::Add(g_Player.m_Mount_Position, arsenal::Mul(g_Camera.Rotation().rows[1], 150.0f));
    // Aimed so that the turned beam passes through the target's centre.
    const CVector3 to_target = arsenal::Sub(target->m_Position, start);
    Aim_Gun(arsenal::Turn(arsenal::Unit_Or(to_target, CVector3{0, 0, 1}), CVector3{1.0f, 0.0f, 0.0f}, -0.08f));
    const uint32_t scored_before = g_Sim_Stats.m_Hits;
    laser.Shoot();
    EXPECT_EQ(target->Hits(), c.hits) << c.name;
    EXPECT_EQ(static_cast<int>(g_Sim_Stats.m_Hits - scored_before), c.scored) << c.name;
    if (c.hits == 0) continue;
    int beams = 0;
    for (const CFX_Laser& beam : laser.m_Beams) beams += beam.m_Active ? 1 : 0;
    EXPECT_EQ(beams, 1) << c.name << ": the object ends the beam";
    EXPECT_TRUE(laser.m_Beams[0].m_Glow) << c.name;
  }
}

TEST_F(Attachment_Effects, ThePointerFlickersDimWhenOffAndPutsItsDotOnObjectsOrGround) {
  Launch_Empty(kSteel_Ball, 1);
  CAttach_Laser_Pointer& pointer = g_Weapon_Attachment_Laser_Pointer;
  pointer.Cancel_Fire();
  float lowest = 1000.0f, highest = 0.0f;
  for (int i = 0; i < 2000; ++i) {
    pointer.Update(0.01f);
    const int alpha = static_cast<int>(100.0f * pointer.Intensity());
    lowest = std::min<float>(lowest, alpha);
    highest = std::max<float>(highest, alpha);
    EXPECT_GE(pointer.m_Phase, 0.0f);
    EXPECT_LT(pointer.m_Phase, 6.2832f);
  }
  EXPECT_GE(lowest, 55.0f);
  EXPECT_LE(highest, 100.0f);
  EXPECT_LT(lowest, 70.0f) << "it flickers";
  pointer.Fire();
  EXPECT_GE(pointer.Intensity(), 0.8f);

  const CVector3 origin{0.5f * Size_X(), 300.0f, 0.2f * Size_Z()};
  CVector3 dot;
  CWorld_Object* object = nullptr;
  Stand_In_Target* target = Stand_In_Target::Spawn_Sphere(origin.x, 250.0f, 0.5f * Size_Z(), 60.0f);
  ASSERT_TRUE(pointer.Find_Dot(origin, CVector3{0.0f, 0.0f, 1.0f}, dot, object));
  EXPECT_EQ(object, target);
  EXPECT_NEAR(dot.z, target->m_Position.z, 1.0f);
  ASSERT_TRUE(pointer.Find_Dot(origin, arsenal::Unit_Or(CVector3{0.3f, -1.0f, 0.2f}, CVector3{}), dot, object));
  EXPECT_EQ(object, nullptr) << "on the ground";
  EXPECT_NEAR(dot.y, g_World.Get_Height(dot.x, dot.z), 2.0f);
  EXPECT_FALSE(pointer.Find_Dot(origin, CVector3{0.0f, 1.0f, 0.0f}, dot, object)) << "the sky: no dot";
}

// The pointer's beam is a stub 700 long and thin: its quads reach 5 either side of its axis, 8.5
// once the pointer is on. Drawn with the same brightness both ways, the beam covers about 1.7
// times the screen once on, and ends where its 700 units end.
TEST_F(Attachment_Effects, ThePointersBeamIsAThinStubSevenHundredLongAndWiderWhenOn) {
  Launch_Empty(kSteel_Ball, 1);
  CAttach_Laser_Pointer& pointer = g_Weapon_Attachment_Laser_Pointer;
  const CMatrix3x3 view = g_Camera.Rotation();
  // Ahead, up and to the right, into the sky: the dot falls nowhere.
  const CVector3 aim = arsenal::Unit_Or(
      arsenal::Add(arsenal::Add(arsenal::Mul(view.rows[0], 0.35f), arsenal::Mul(view.rows[1], 0.3f)), view.rows[2]),
      view.rows[2]);
  // A flicker phase at which the beam is at full brightness off as well as on.
  constexpr float kFull_Phase = 1.481f;
  uint32_t width = 0, height = 0;
  auto draw = [&](bool active, bool on, std::vector<uint32_t>& pixels) {
    pointer.m_Active = active;
    pointer.m_On = on;
    pointer.m_Phase = kFull_Phase;
    Aim_Gun(aim);
    harness.Step(1, 1);
    return harness.Read_Back(pixels, width, height);
  };
  std::vector<uint32_t> bare, off, on;
  ASSERT_TRUE(draw(false, false, bare));
  ASSERT_TRUE(draw(true, false, off));
  ASSERT_TRUE(draw(true, true, on));
  ASSERT_GE(pointer.Intensity(), 1.0f);
  // The beam on the screen: from its origin, 75 ahead of the device on the gun, to 700 further.
  const CMatrix3x3 gun = g_Player.m_Gun->m_Orientation;
  CVector3 device = g_Player.m_Mount_Position;
  device = arsenal::Add(device, arsenal::Mul(gun.rows[0], pointer.m_Offset.x));
  device = arsenal::Add(device, arsenal::Mul(gun.rows[1], pointer.m_Offset.y));
  device = arsenal::Add(device, arsenal::Mul(gun.rows[2], pointer.m_Offset.z));
  const CVector3 origin = arsenal::Add(device, arsenal::Mul(gun.rows[2], 75.0f));
  const CVector3 along = arsenal::Turn(gun.rows[2], gun.rows[0], 0.025f);
  const CVector3 start = g_Camera.World_To_Screen(origin);
  const CVector3 end = g_Camera.World_To_Screen(arsenal::Add(origin, arsenal::Mul(along, 700.0f)));
  const float reach = std::hypot(end.x - start.x, end.y - start.y);
  ASSERT_GT(reach, 60.0f) << "the beam crosses the screen";
  const float ux = (end.x - start.x) / reach, uy = (end.y - start.y) / reach;
  // The pixels the red beam lit (red up, green and blue much less), and how far along the
  // beam's screen line the nearest and farthest of them lie.
  struct Footprint {
    int pixels = 0;
    float nearest = 1e9f, farthest = -1e9f;
  };
  auto footprint = [&](const std::vector<uint32_t>& shown) {
    Footprint f;
    for (uint32_t y = 0; y < height; ++y)
      for (uint32_t x = 0; x < width; ++x) {
        const uint32_t a = bare[size_t(y) * width + x], b = shown[size_t(y) * width + x];
        const int red = int((b >> 16) & 0xFF) - int((a >> 16) & 0xFF);
        const int green = std::abs(int((b >> 8) & 0xFF) - int((a >> 8) & 0xFF));
        const int blue = std::abs(int(b & 0xFF) - int(a & 0xFF));
        if (red < 24 || 2 * std::max(green, blue) > red) continue;
        ++f.pixels;
        const float at = (float(x) - start.x) * ux + (float(y) - start.y) * uy;
        f.nearest = std::min(f.nearest, at);
        f.farthest = std::max(f.farthest, at);
      }
    return f;
  };
  const Footprint dim = footprint(off), bright = footprint(on);
  if (const char* dir = std::getenv("VT_ARSENAL_SHOTS")) harness.Save_Png(std::string(dir) + "/pointer_beam_on.png");
  ASSERT_GT(dim.pixels, 20) << "the beam shows off as well";
  const float ratio = float(bright.pixels) / float(dim.pixels);
  EXPECT_GT(ratio, 1.4f) << dim.pixels << " pixels off, " << bright.pixels << " on";
  EXPECT_LT(ratio, 2.0f) << dim.pixels << " pixels off, " << bright.pixels << " on";
  EXPECT_GT(dim.nearest, -0.1f * reach) << "the beam starts at its origin";
  EXPECT_LT(dim.nearest, 0.15f * reach);
  EXPECT_GT(dim.farthest, 0.85f * reach) << "the beam reaches its 700 units";
  EXPECT_LT(dim.farthest, 1.1f * reach) << "and ends there";
}

}  // namespace
