// The effects in the running game on the generated content, drawn by real OpenGL: the particle
// managers' table, every module's start-up failure, reference counts after a run, the shutter's
// resources, shadow, value-style and glow-style pixels, and each effect group of the screenshot
// script.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CSphere_Object.h"
#include "game/core/CWorld.h"
#include "game/fx/CFX_Laser.h"
#include "game/fx/CFX_Lightning.h"
#include "game/fx/CFX_Poly_Trail.h"
#include "game/fx/CGen_Projector.h"
#include "game/fx/CParticle_Basic_Mgr.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/CSpark_Mgr.h"
#include "game/fx/Debris_Pools.h"
#include "game/fx/FX_Resources.h"
#include "game/menu/CMenu_Mgr.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/sprite_array.h"
#include "tests/game/core/running_game.h"
#include "tests/support/fx_showcase.h"
#include "tools/content/sim_content.h"

namespace {

constexpr float kPlain_Ground = 20.0f;

int Red(uint32_t c) { return (c >> 16) & 0xFF; }
int Green(uint32_t c) { return (c >> 8) & 0xFF; }
int Blue(uint32_t c) { return c & 0xFF; }
int Brightness(uint32_t c) { return Red(c) + Green(c) + Blue(c); }
int Difference(uint32_t a, uint32_t b) {
  return std::abs(Red(a) - Red(b)) + std::abs(Green(a) - Green(b)) + std::abs(Blue(a) - Blue(b));
}

// A world object without a pool that runs a drawing callback in the world's render pass.
class Drawer : public CSphere_Object {
 public:
  explicit Drawer(std::function<void()> draw) : m_Draw(std::move(draw)) {
    Setup_Object(0, 1.0f, 1.0f, kState_Never_Culled | kState_No_World_Contact | kState_No_Gravity, 0);
    m_View_Radius = 50.0f;
    Set_Position(CVector3{800.0f, kPlain_Ground + 1.0f, 800.0f});
  }
  void Update(const float&) override {}
  void Render(const float&) override { m_Draw(); }

 private:
  std::function<void()> m_Draw;
};

// Starts a screen-space drawing over a black rectangle, so that what is drawn next shows its own
// light alone.
void Begin_Over_Black(float left, float top, float right, float bottom) {
  CD3DDrawPrim& draw = g_D3DDrawPrim;
  draw.ResetState();
  draw.SetTransformType(kDrawPrimScreen);
  draw.SetZBufferMode(2);
  DrawPrimQuad black;
  for (int i = 0; i < 4; ++i)
    black.v[i] = ColorVertex{i == 1 || i == 2 ? right : left, i >= 2 ? bottom : top, 0, 0xFF000000};
  draw.DrawQuads(&black, 1);
}

class FxGame : public RunningGame {
 protected:
  void TearDown() override {
    fx::Set_Resource_Filter(nullptr);
    RunningGame::TearDown();
  }
  void Launch() {
    Start();
    g_Menu_Mgr.Command(kCommand_Launch_Training, 1, content::kLaneTrackIds[1], content::kLaneMusicIds[1]);
    // The run's first frames show nothing a test looks at: only the last one is drawn.
    harness.Step_Undrawn(29, 16);
    harness.Step(1, 16);
  }
  // Steps the frames with only the last one drawn, for the picture a test then reads.
  void Step_To_Picture(int frames, uint32_t ms = 16) {
    harness.Step_Undrawn(frames - 1, ms);
    harness.Step(1, ms);
  }
  // Launches the run again: its first frame is drawn, which sweeps away what the last run left,
  // and the rest of its first ten frames run undrawn.
  void Relaunch() {
    g_Menu_Mgr.Command(kCommand_Launch_Training, 1, content::kLaneTrackIds[1], content::kLaneMusicIds[1]);
    harness.Step(1, 16);
    harness.Step_Undrawn(9, 16);
  }
  bool Read(std::vector<uint32_t>& pixels, uint32_t& w, uint32_t& h) { return harness.Read_Back(pixels, w, h); }
  void Shot(const std::string& name) {
    if (const char* dir = std::getenv("VT_FX_SHOTS")) harness.Save_Png(std::string(dir) + "/" + name);
  }
};

struct Failure_Case {
  const char* name;
  uint32_t refused;
  const char* message;
  std::function<bool()> init;
  std::function<void()> term;
};

TEST_F(FxGame, ReferenceCountsComeBackAfterARunAndTermsMayRunTwice) {
  Start();
  CTextureData* particle = g_pTexture->GetTexture(0x2200002F);
  CTextureData* glow = g_pTexture->GetTexture(0x2200005C);
  const int32_t particle_refs = particle->m_RefCount, glow_refs = glow->m_RefCount;
  g_Menu_Mgr.Command(kCommand_Launch_Training, 1, content::kLaneTrackIds[1], content::kLaneMusicIds[1]);
  harness.Step(5, 16);
  EXPECT_GT(particle->m_RefCount, particle_refs);
  EXPECT_GT(glow->m_RefCount, glow_refs);
  g_Menu_Mgr.Command(kCommand_Console, 0);
  harness.Step(5, 16);
  EXPECT_EQ(particle->m_RefCount, particle_refs);
  EXPECT_EQ(glow->m_RefCount, glow_refs);
  CFX_Laser::Term();
  CFX_Lightning::Term();
  CFX_Poly_Trail::Term();
  EXPECT_EQ(glow->m_RefCount, glow_refs) << "a second Term touches nothing";
  g_pTexture->ReleaseTexture(particle);
  g_pTexture->ReleaseTexture(glow);
}

// The darkest ground pixel near the ball's foot, from two camera poses.
TEST_F(FxGame, ASphereShadowIsDarkestUnderTheBallAndLeavesTheGroundAroundItAlone) {
  Launch();
  struct Ball : CSphere_Object {
    void Update(const float&) override {}
  } ball;
  ball.Setup_Object(0, 1, 1, 0, 0);
  ball.Setup_Sphere_Body(1.0f, 20.0f, 0.0f);
  ball.m_Position = CVector3{800.0f, kPlain_Ground + 25.0f, 800.0f};
  bool cast = false;
  auto* drawer = new Drawer([&] {
    if (cast) CShadowProjector::Cast_Sphere_Shadow(ball, 0.003f);
  });
  g_World.Add_Object(1, drawer);
  const CVector3 poses[2][2] = {{{800, 260, 600}, {800, 20, 800}}, {{1000, 180, 900}, {800, 20, 800}}};
  for (const auto& pose : poses) {
    g_Camera.Look_At(pose[0], pose[1]);
    cast = false;
    Step_To_Picture(2);
    std::vector<uint32_t> plain, shaded;
    uint32_t w = 0, h = 0;
    ASSERT_TRUE(Read(plain, w, h));
    cast = true;
    harness.Step(1, 16);
    Shot("fx_shadow_pose.png");
    ASSERT_TRUE(Read(shaded, w, h));
    const CVector3 foot = g_Camera.World_To_Screen(CVector3{800.0f, kPlain_Ground, 800.0f});
    int best = 1 << 30, bx = -1, by = -1;
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) {
        const int darkening = Brightness(shaded[y * w + x]) - Brightness(plain[y * w + x]);
        if (darkening < best) best = darkening, bx = static_cast<int>(x), by = static_cast<int>(y);
      }
    EXPECT_LT(best, -60) << "the shadow darkens the ground";
    // The darkest change lies at the foot (the blob is flat around its middle).
    const int foot_change = Brightness(shaded[static_cast<uint32_t>(foot.y) * w + static_cast<uint32_t>(foot.x)]) -
                            Brightness(plain[static_cast<uint32_t>(foot.y) * w + static_cast<uint32_t>(foot.x)]);
    EXPECT_LE(std::abs(foot_change - best), 6) << "at " << bx << "," << by << " against the foot " << foot.x << ","
                                               << foot.y;
    // Three radii away the ground is unchanged.
    const CVector3 away = g_Camera.World_To_Screen(CVector3{800.0f + 60.0f, kPlain_Ground, 800.0f + 60.0f});
    const uint32_t ax = static_cast<uint32_t>(away.x), ay = static_cast<uint32_t>(away.y);
    ASSERT_LT(ax, w);
    ASSERT_LT(ay, h);
    EXPECT_LE(std::abs(Brightness(shaded[ay * w + ax]) - Brightness(plain[ay * w + ax])), 3);
  }
  drawer->m_Kill_Timer = 1.0f;
  harness.Step(1, 16);
}

TEST_F(FxGame, AValueStylesBarLengthFollowsItsValue) {
  Launch();
  CD3DRenderStyle* gauge = fx::Get_Style(0x22000038);
  CTextureData* ramp = fx::Get_Texture(0x22000032);  // alpha falls from 1 to 0 along u at v = 0.5
  CD3DRenderStyle* other = fx::Get_Style(0x2200002E);
  ASSERT_TRUE(gauge && ramp && other);
  float value = 0.0f;
  const float left = 100.0f, right = 700.0f, top = 280.0f, bottom = 320.0f;
  auto* drawer = new Drawer([&] {
    Begin_Over_Black(left - 20, top - 20, right + 20, bottom + 20);
    CD3DDrawPrim& draw = g_D3DDrawPrim;
    // A small quad in another style first, so that the gauge's pass comes as a transition the
    // render-state manager has seen before: a written value must still count.
    draw.SetRenderStyle(other);
    DrawPrimTexQuad dot;
    for (int i = 0; i < 4; ++i) dot.v[i] = TexVertex{i == 1 || i == 2 ? 4.0f : 0.0f, i >= 2 ? 4.0f : 0.0f, 0, 0xFF000000, 0, 0};
    draw.DrawTexQuads(&dot, 1);
    fx::Write_Pass_Value(gauge, value);
    draw.SetRenderStyle(gauge);
    draw.SetTexture(ramp, 0);
    DrawPrimTexQuad bar;
    const float xs[4] = {left, right, right, left}, ys[4] = {top, top, bottom, bottom}, us[4] = {0, 1, 1, 0};
    for (int i = 0; i < 4; ++i) bar.v[i] = TexVertex{xs[i], ys[i], 0, 0xFFFFFFFF, us[i], 0.5f};
    draw.DrawTexQuads(&bar, 1);
    draw.ResetState();
  });
  g_World.Add_Object(1, drawer);
  int last_length = 10000;
  for (float v : {0.2f, 0.5f, 0.8f}) {
    value = v;
    Step_To_Picture(2);
    std::vector<uint32_t> pixels;
    uint32_t w = 0, h = 0;
    ASSERT_TRUE(Read(pixels, w, h));
    int length = 0;
    for (int x = static_cast<int>(left); x < static_cast<int>(right); ++x)
      if (Brightness(pixels[300 * w + static_cast<uint32_t>(x)]) > 10) ++length;
    const float expected = (1.0f - v) * (right - left);
    EXPECT_NEAR(static_cast<float>(length), expected, 0.06f * (right - left)) << v;
    EXPECT_LT(length, last_length);
    last_length = length;
  }
  drawer->m_Kill_Timer = 1.0f;
  harness.Step(1, 16);
  fx::Release(gauge);
  fx::Release(ramp);
  fx::Release(other);
}

// The shared glow style over black: four glow sprites side by side at alphas 0, 0x20, 0x80 and
// 0xFF. Each adds light in proportion to its alpha, so that a fading glow fades and a faint halo
// stays faint.
TEST_F(FxGame, TheGlowStyleAddsLightInProportionToItsAlpha) {
  Launch();
  CD3DRenderStyle* glow = fx::Get_Style(0x22000031);
  CTextureData* texture = fx::Get_Texture(0x2200005C);
  ASSERT_TRUE(glow && texture);
  const uint32_t alphas[4] = {0x00, 0x20, 0x80, 0xFF};
  const float top = 250.0f, size = 120.0f, gap = 40.0f, first = 100.0f;
  auto* drawer = new Drawer([&] {
    Begin_Over_Black(first - gap, top - gap, first + 4 * (size + gap), top + size + gap);
    CD3DDrawPrim& draw = g_D3DDrawPrim;
    draw.SetRenderStyle(glow);
    draw.SetTexture(texture, 0);
    for (int k = 0; k < 4; ++k) {
      const float left = first + static_cast<float>(k) * (size + gap);
      const float xs[4] = {left, left + size, left + size, left}, ys[4] = {top, top, top + size, top + size};
      const float us[4] = {0, 1, 1, 0}, vs[4] = {0, 0, 1, 1};
      DrawPrimTexQuad quad;
      for (int i = 0; i < 4; ++i) quad.v[i] = TexVertex{xs[i], ys[i], 0, alphas[k] << 24 | 0xFFDD88, us[i], vs[i]};
      draw.DrawTexQuads(&quad, 1);
    }
    draw.ResetState();
  });
  g_World.Add_Object(1, drawer);
  Step_To_Picture(2);
  std::vector<uint32_t> pixels;
  uint32_t w = 0, h = 0;
  ASSERT_TRUE(Read(pixels, w, h));
  Shot("fx_glow_alphas.png");
  int64_t light[4] = {};
  for (int k = 0; k < 4; ++k) {
    const auto left = static_cast<uint32_t>(first + static_cast<float>(k) * (size + gap));
    for (auto y = static_cast<uint32_t>(top); y < static_cast<uint32_t>(top + size); ++y)
      for (uint32_t x = left; x < left + static_cast<uint32_t>(size); ++x) light[k] += Brightness(pixels[y * w + x]);
  }
  ASSERT_GT(light[3], 0) << "no glow drawn";
  EXPECT_LT(light[0], light[3] / 100) << "a glow at alpha 0 adds nothing";
  EXPECT_LT(light[1], light[3] / 4) << "a glow at an eighth of full alpha shines as brightly as a full one";
  EXPECT_GT(light[1], light[0]);
  EXPECT_LT(light[2], light[3] * 3 / 4);
  EXPECT_GT(light[2], light[3] / 4);
  drawer->m_Kill_Timer = 1.0f;
  harness.Step(1, 16);
  fx::Release(glow);
  fx::Release(texture);
}

// Every group of the effects script, each in a fresh launch: the picture changes where the
// group stands and no message is shown.
TEST_F(FxGame, EveryEffectGroupDrawsSomethingBeforeTheCamera) {
  Launch();
  for (const std::string& name : vt_test::Fx_Group_Names()) {
    Relaunch();
    std::string why;
    ASSERT_TRUE(vt_test::Show_Fx_Group(name, &why)) << name << ": " << why;
    // The particle tables move their particles as they draw them, and the box and brick pieces
    // settle only in drawn frames: those groups' frames are all drawn; the others need only the
    // frame read.
    if (name == "particles")
      harness.Step(31, 16);
    else if (name == "box" || name == "brick")
      harness.Step(9, 16);
    else
      Step_To_Picture(name == "trail" ? 31 : 9);
    std::vector<uint32_t> after;
    uint32_t w = 0, h = 0;
    ASSERT_TRUE(Read(after, w, h));
    Shot("fx_probe_" + name + ".png");
    // Against an empty launch seen from the same place: the group leaves its mark on the picture.
    Relaunch();
    g_Camera.Look_At(CVector3{0.5f * g_World.m_Terrain.size_x, kPlain_Ground + 160.0f, 0.5f * g_World.m_Terrain.size_z - 420.0f},
                     CVector3{0.5f * g_World.m_Terrain.size_x, kPlain_Ground + 40.0f, 0.5f * g_World.m_Terrain.size_z - 120.0f});
    Step_To_Picture(name == "trail" || name == "particles" ? 31 : 9);
    std::vector<uint32_t> empty;
    ASSERT_TRUE(Read(empty, w, h));
    int differ = 0;
    for (size_t i = 0; i < after.size(); ++i) differ += std::abs(Brightness(after[i]) - Brightness(empty[i])) > 30;
    EXPECT_GT(differ, 200) << name;
  }
  EXPECT_TRUE(messages.empty()) << (messages.empty() ? "" : messages.front());
}

TEST_F(FxGame, ScreenEffectsOfEveryKindRunAndEnd) {
  Launch();
  for (int kind = 0; kind < CScreen_FX_Mgr::kKind_Count; ++kind) {
    std::string why;
    ASSERT_TRUE(vt_test::Show_Screen_Fx(kind, &why)) << why;
  }
  // Every fifth frame is drawn: each kind still draws many times over its life.
  const auto step = [this](int frame, uint32_t ms) {
    if (frame % 5 == 4) harness.Step(1, ms);
    else harness.Step_Undrawn(1, ms);
  };
  for (int frame = 0; frame < 30; ++frame) step(frame, 16);
  EXPECT_GT(g_Screen_FX_Mgr.Effect_Count(), 0);
  // Up to 200 frames of 40 ms for every kind to end.
  for (int frame = 0; frame < 200 && g_Screen_FX_Mgr.Effect_Count() > 0; ++frame) step(frame, 40);
  EXPECT_EQ(g_Screen_FX_Mgr.Effect_Count(), 0) << "every kind ends";
  EXPECT_FALSE(g_Screen_FX_Mgr.Shutter_Held());
  EXPECT_TRUE(messages.empty());
}

}  // namespace

namespace {

CScreen_FX_Record& Only_Record() { return const_cast<CScreen_FX_Record&>(g_Screen_FX_Mgr.Effects().back()); }

// The pattern veil scrolls: its offset moves on by a quarter of a repeat per time unit of the
// frame's step, wrapped to one repeat, and its bands move up the screen by as much.
TEST_F(FxGame, ThePatternVeilScrollsWithTheFrameStep) {
  Launch();
  harness.Step_Undrawn(100, 40);  // the world has faded in: only the veil moves
  CScreen_FX_Mgr& fx = g_Screen_FX_Mgr;
  fx.Add_Effect_2(23, 1000.0f, 0.0f);
  CScreen_FX_Record& veil = Only_Record();
  veil.elapsed = 500.0f;  // held at full strength
  harness.Step(1, 16);
  std::vector<uint32_t> first, second;
  uint32_t w = 0, h = 0;
  ASSERT_TRUE(Read(first, w, h));
  const float offset = veil.value2;
  float steps = 0.0f;
  for (int frame = 0; frame < 4; ++frame) {
    harness.Step(1, 100);
    steps += fx.Step();
  }
  ASSERT_TRUE(Read(second, w, h));
  Shot("fx_pattern_veil.png");
  const float moved = veil.value2 - offset;
  ASSERT_GT(steps, 0.0f);
  EXPECT_NEAR(moved, 0.25f * steps, 1e-4f);
  // The veil's texture repeats every 32 pixels: its bands move by moved x 32 pixels. The shift
  // that best lines up a column of the two pictures (in the middle of a band of checks, clear of
  // the checks' edges) is that one.
  const uint32_t column = w / 2 + 4;
  const float expected = moved * 32.0f;
  ASSERT_GT(expected, 2.0f);
  ASSERT_LT(expected, 7.0f);  // within half the bands' period of 16 pixels
  int best_shift = 0;
  int64_t best = -1;
  for (int shift = -7; shift <= 7; ++shift) {
    int64_t mismatch = 0;
    for (uint32_t y = 40; y + 40 < h; ++y) {
      const uint32_t a = first[static_cast<uint32_t>(static_cast<int>(y) + shift) * w + column],
                     b = second[y * w + column];
      mismatch += std::abs(Brightness(a) - Brightness(b));
    }
    if (best < 0 || mismatch < best) best = mismatch, best_shift = shift;
  }
  EXPECT_NEAR(static_cast<float>(best_shift), expected, 1.0f) << "the bands moved by the scrolled offset";
  // The offset wraps to one repeat.
  veil.value2 = 0.999f;
  harness.Step(1, 200);
  EXPECT_GE(veil.value2, 0.0f);
  EXPECT_LT(veil.value2, 1.0f);
}

}  // namespace

namespace {

TEST_F(FxGame, TheShutterCoversTheViewAndThenOpens) {
  Launch();
  std::string why;
  ASSERT_TRUE(vt_test::Show_Fx_Group("quads", &why)) << why;  // places the camera; the quads stand aside
  Step_To_Picture(2);
  std::vector<uint32_t> open_view, closed, opened;
  uint32_t w = 0, h = 0;
  ASSERT_TRUE(Read(open_view, w, h));
  g_Screen_FX_Mgr.Add_Effect_2(9, 4.0f, 0.0f);
  harness.Step(1, 16);
  ASSERT_TRUE(Read(closed, w, h));
  Step_To_Picture(60);
  ASSERT_TRUE(Read(opened, w, h));
  const uint32_t probes[2] = {(h / 4) * w + w / 8, (3 * h / 4) * w + 7 * w / 8};
  for (uint32_t at : probes) {
    EXPECT_GT(Difference(closed[at], open_view[at]), 40) << "a panel covers it";
    EXPECT_LE(Difference(opened[at], open_view[at]), 12) << "the panels have parted";
  }
}

}  // namespace

namespace {

// A flash textured with the glow (brighter to the right along u) covers the screen once: the
// coordinates a shadow's projected pass or the tiled ground leave on the device do not repeat it.
TEST_F(FxGame, AScreenFlashSpreadsItsTextureOnceAcrossTheScreen) {
  Launch();
  std::string why;
  ASSERT_TRUE(vt_test::Show_Fx_Group("shadows", &why)) << why;
  Step_To_Picture(2);
  std::vector<uint32_t> plain, flashed;
  uint32_t w = 0, h = 0;
  ASSERT_TRUE(Read(plain, w, h));
  g_Screen_FX_Mgr.Add_Effect(11, 400.0f, CColor4{0.3f, 0.5f, 0.5f, 0.5f}, CColor4::Zero, 0.0f, 0.0f);
  Only_Record().elapsed = 20.0f;  // full strength, and it holds for the frame
  harness.Step(1, 1);
  ASSERT_TRUE(Read(flashed, w, h));
  Shot("fx_flash_once.png");
  const uint32_t row = (h / 2) * w;
  int last = -1;
  for (int tenth = 1; tenth <= 9; tenth += 2) {
    const uint32_t at = row + static_cast<uint32_t>(tenth) * w / 10;
    const int added = Brightness(flashed[at]) - Brightness(plain[at]);
    EXPECT_GT(added, last) << "at " << tenth << "/10 of the width";
    last = added;
  }
}

}  // namespace

namespace {

// Checks on the effect modules that need the game started and a run launched but look at no
// picture: one launch serves them all (starting the game is most of each one's time), in an order where each leaves the next a clean table
// (the particle tables first, while empty; the start-up failures last, as they start every
// module again).
TEST_F(FxGame, TheEffectModulesTablesCountsAndStartUpFailures) {
  Launch();
  {
    SCOPED_TRACE("particle tables refuse at capacity, and a bounce keeps the position and 0.85 of the speed");
    [&] {
      for (CParticle_Add_Mgr* mgr : {static_cast<CParticle_Add_Mgr*>(&g_Particle_Add_Mgr),
                                     static_cast<CParticle_Add_Mgr*>(&g_Particle_Basic_Mgr),
                                     static_cast<CParticle_Add_Mgr*>(&g_Particle_Sparkle_Mgr)}) {
        ASSERT_TRUE(mgr->Is_Initialised());
        const uint32_t capacity = mgr == &g_Particle_Sparkle_Mgr ? 128u : 256u;
        EXPECT_EQ(mgr->Capacity(), capacity);
        for (uint32_t i = 0; i < capacity; ++i)
          ASSERT_TRUE(mgr->Add_Particle(CVector3{800, 200, 800}, CVector3{0, 0, 0}, 5, 1, 0xFFFFFFFF, 0, 0)) << i;
        EXPECT_FALSE(mgr->Add_Particle(CVector3{800, 200, 800}, CVector3{0, 0, 0}, 5, 1, 0xFFFFFFFF, 0, 0));
        EXPECT_EQ(mgr->Live_Count(), capacity);
        mgr->Term();
        EXPECT_FALSE(mgr->Add_Particle(CVector3{800, 200, 800}, CVector3{0, 0, 0}, 5, 1, 0xFFFFFFFF, 0, 0))
            << "not initialised";
        ASSERT_TRUE(mgr->Init());
      }
      // A colliding particle just above the ground, falling: it stays and bounces.
      CParticle_Add_Mgr& mgr = g_Particle_Add_Mgr;
      const CVector3 at{800.0f, kPlain_Ground + 1.0f, 800.0f}, v{30.0f, -40.0f, 0.0f};
      ASSERT_TRUE(mgr.Add_Particle(at, v, 5, 10, 0xC0FF8040, 1.0f, kParticle_Collides));
      ASSERT_TRUE(mgr.Add_Particle(CVector3{700, 300, 700}, CVector3{0, 0, 0}, 5, 0, 0xFFFFFFFF, 0, 0));
      mgr.Update(0.05f);
      const CParticle& p = mgr.Particle(1);
      EXPECT_EQ(p.position.y, at.y);
      EXPECT_EQ(p.position.x, at.x);
      EXPECT_NEAR(p.velocity.x, 0.85f * 30.0f, 1e-3f);
      EXPECT_NEAR(p.velocity.y, 0.85f * 40.0f, 1e-3f);
      EXPECT_EQ(mgr.Particle(2).flags, 0) << "no life: dies at its first update";
      const CVector3 kept = mgr.Particle(1).velocity;
      mgr.Update(0.0f);
      EXPECT_EQ(mgr.Particle(1).velocity.y, kept.y) << "a paused frame bounces nothing";
      EXPECT_EQ(mgr.Live_Count(), 1u);
      // The fade: alpha 0 at the start, the colour's alpha at a tenth of the life, 0 at the end.
      uint8_t bytes[4];
      mgr.Sprites()->GetColor(1, bytes);
      EXPECT_LT(bytes[3], 10);
      for (int i = 0; i < 6; ++i) mgr.Update(0.0f + 10.0f * 0.1f / (1.5f * 0.35f) / 6.0f);
      mgr.Sprites()->GetColor(1, bytes);
      EXPECT_NEAR(bytes[3], 0xC0, 3);
      EXPECT_EQ(bytes[2], 0xFF);
      EXPECT_EQ(bytes[0], 0x40);
    }();
  }
  {
    SCOPED_TRACE("a trail going away leaves the trails of everyone else drawing");
    [&] {
      ASSERT_TRUE(CFX_Poly_Trail::Is_Initialised());
      { CFX_Poly_Trail passing; }
      EXPECT_TRUE(CFX_Poly_Trail::Is_Initialised());
    }();
  }
  // A second Init of the spark manager while it runs clears the sparks and takes no second
  // reference to its textures and style.
  {
    SCOPED_TRACE("a second spark Init clears the sparks and takes nothing more");
    [&] {
      ASSERT_TRUE(g_Spark_Mgr.Is_Initialised());
      CTextureData* streak = g_pTexture->GetTexture(0x2200008A);
      CTextureData* glow = g_pTexture->GetTexture(0x2200005C);
      CD3DRenderStyle* style = g_pRenderStyles->GetRenderStyle(0x220000C6);
      ASSERT_TRUE(streak && glow && style);
      const int32_t streak_refs = streak->m_RefCount, glow_refs = glow->m_RefCount, style_refs = style->GetRefCount();
      ASSERT_TRUE(g_Spark_Mgr.Add_Spark(CVector3{800.0f, 100.0f, 800.0f}, CVector3{0.0f, 0.0f, 0.0f}, 0xFFFFFFFF));
      EXPECT_TRUE(g_Spark_Mgr.Init());
      EXPECT_EQ(g_Spark_Mgr.Live_Count(), 0);
      EXPECT_EQ(streak->m_RefCount, streak_refs);
      EXPECT_EQ(glow->m_RefCount, glow_refs);
      EXPECT_EQ(style->GetRefCount(), style_refs);
      g_Spark_Mgr.Term();
      EXPECT_EQ(streak->m_RefCount, streak_refs - 1) << "one Term gives everything back";
      EXPECT_EQ(glow->m_RefCount, glow_refs - 1);
      EXPECT_EQ(style->GetRefCount(), style_refs - 1);
      ASSERT_TRUE(g_Spark_Mgr.Init());
      g_pTexture->ReleaseTexture(streak);
      g_pTexture->ReleaseTexture(glow);
      g_pRenderStyles->ReleaseRenderStyle(style);
    }();
  }
  {
    SCOPED_TRACE("screen kinds that change the world write it by their envelope");
    [&] {
      CScreen_FX_Mgr& fx = g_Screen_FX_Mgr;
      while (fx.Effect_Count() > 0) {
        CFrame_Info frame;
        frame.Delta = 100.0f;
        fx.Update(frame);
      }
      // Kind 19 keeps the clear colour it found, even black, and moves toward its colour word.
      g_Game.Set_Clear_Color(0x000000);
      fx.Add_Effect_5(19, 1.0f, 0xFFFF0000);
      Only_Record().elapsed = 0.65f;
      fx.Render();
      EXPECT_EQ(g_Game.Clear_Color() & 0xFFFFFF, 0xFF0000u);
      Only_Record().elapsed = 0.825f;
      fx.Render();
      EXPECT_EQ(g_Game.Clear_Color() & 0xFFFFFF, 0x7F0000u) << "halfway back to the black it kept";
      fx.Clear_Sim_Effects();
      // Kind 21 dims the world's light by its envelope; kind 15 adds to the first light.
      fx.Add_Effect_2(21, 1.0f, 0.0f);
      Only_Record().elapsed = 0.125f;
      fx.Render_In_World();
      EXPECT_NEAR(g_World.m_Light_Dimming, 0.5f, 1e-5f);
      fx.Clear_Sim_Effects();
      g_World.m_Diffuse_Accumulator.Set(0, 0, 0);
      fx.Add_Effect(15, 1.0f, CColor4{1.0f, 0.5f, 0.25f, 1.0f}, CColor4::Zero, 0.0f, 0.0f);
      Only_Record().elapsed = 0.025f;
      fx.Render();
      EXPECT_NEAR(g_World.m_Diffuse_Accumulator.x, 0.25f, 1e-5f);
      EXPECT_NEAR(g_World.m_Diffuse_Accumulator.z, 0.5f, 1e-5f);
      fx.Clear_Sim_Effects();
    }();
  }
  {
    SCOPED_TRACE("the sparkle spray adds at most twelve a frame and stops when the table is full");
    [&] {
      CScreen_FX_Mgr& fx = g_Screen_FX_Mgr;
      CParticle_Sparkle_Mgr& sparkles = g_Particle_Sparkle_Mgr;
      sparkles.Term();
      ASSERT_TRUE(sparkles.Init());
      fx.Clear_Sim_Effects();
      fx.Add_Effect_2(22, 10.0f, 1000.0f);
      CFrame_Info frame;
      frame.Delta = 0.05f;
      fx.Update(frame);
      Only_Record().elapsed = 5.0f;
      fx.Render();
      EXPECT_EQ(sparkles.Live_Count(), 12u);
      while (sparkles.Live_Count() < sparkles.Capacity() - 5)
        sparkles.Add_Particle(CVector3{800, 200, 800}, CVector3{0, 0, 0}, 1, 100, 0xFFFFFFFF, 0, 0);
      fx.Render();
      EXPECT_EQ(sparkles.Live_Count(), sparkles.Capacity()) << "the spray stops when the table is full";
      fx.Clear_Sim_Effects();
    }();
  }
  {
    SCOPED_TRACE("shutter resources are held once while any shutter lives");
    [&] {
      CScreen_FX_Mgr& fx = g_Screen_FX_Mgr;
      CTextureData* panel = g_pTexture->GetTexture(0x22000078);
      const int32_t refs = panel->m_RefCount;
      fx.Add_Effect_2(9, 1.0f, 0.0f);
      fx.Add_Effect_2(10, 2.0f, 0.0f);
      EXPECT_TRUE(fx.Shutter_Held());
      EXPECT_EQ(panel->m_RefCount, refs + 1) << "adding a second shutter leaks nothing";
      CFrame_Info frame;
      frame.Delta = 1.5f;
      fx.Update(frame);
      EXPECT_TRUE(fx.Shutter_Held()) << "the closing shutter still draws with them";
      EXPECT_EQ(panel->m_RefCount, refs + 1);
      harness.Step(2, 16);
      fx.Update(frame);
      EXPECT_FALSE(fx.Shutter_Held());
      EXPECT_EQ(panel->m_RefCount, refs);
      g_pTexture->ReleaseTexture(panel);
    }();
  }
  {
    SCOPED_TRACE("each start-up failure shows its message and holds nothing");
    [&] {
      const Failure_Case cases[] = {
          {"add particles", 0x2200002F, "Error in CParticle_Add_Mgr\nUnable to load texture...",
           [] { return g_Particle_Add_Mgr.Init(); }, [] { g_Particle_Add_Mgr.Term(); }},
          {"basic particles", 0x2200002E, "Error in CParticle_Basic_Mgr\nUnable to load shader...",
           [] { return g_Particle_Basic_Mgr.Init(); }, [] { g_Particle_Basic_Mgr.Term(); }},
          {"sparkles", 0x22000047, "Error in CParticle_Sparkle_Mgr\nUnable to load texture...",
           [] { return g_Particle_Sparkle_Mgr.Init(); }, [] { g_Particle_Sparkle_Mgr.Term(); }},
          {"sparks", 0x2200005C, "Error in CSpark_Mgr\nUnable to load texture...", [] { return g_Spark_Mgr.Init(); },
           [] { g_Spark_Mgr.Term(); }},
          {"screen", 0x2200002E, "Error in CScreen_FX_Mgr\nUnable to create render shader...",
           [] { return g_Screen_FX_Mgr.Init(); }, [] { g_Screen_FX_Mgr.Term(); }},
          {"screen textures", 0x2200012F, "Error in CScreen_FX_Mgr\nUnable to create texture...",
           [] { return g_Screen_FX_Mgr.Init(); }, [] { g_Screen_FX_Mgr.Term(); }},
          {"shadows", 0x22000086, "CShadowProjector::Couldn't load texture.", [] { return CShadowProjector::Init(); },
           [] { CShadowProjector::Term(); }},
          {"shadow style", 0x2200000E, "CShadowProjector::Couldn't load shader.", [] { return CShadowProjector::Init(); },
           [] { CShadowProjector::Term(); }},
          {"projector", 0x22000035, "CGen_Projector::Couldn't load shader.", [] { return g_Gen_Projector.Init(); },
           [] { g_Gen_Projector.Term(); }},
          {"laser", 0x2200005C, "Error in CFX_Laser\nUnable to load texture...", [] { return CFX_Laser::Init(); },
           [] { CFX_Laser::Term(); }},
          {"bolts", 0x22000031, "Error in CFX_Lightning\nUnable to load shader...", [] { return CFX_Lightning::Init(); },
           [] { CFX_Lightning::Term(); }},
          {"trail", 0x22000064, "Error in CFX_Poly_Trail\nUnable to load texture...", [] { return CFX_Poly_Trail::Init(); },
           [] { CFX_Poly_Trail::Term(); }},
          {"crystal", 0x220000D4, "Error in CDebris_Crystal\nUnable to load shader...",
           [] { CDebris_Crystal c; const bool ok = c.Init(); c.Term(); return ok; }, [] {}},
          {"dirt", 0x2200015F, "Error in CDebris_Dirt (A)\nUnable to create renderable object...",
           [] { CDebris_Dirt d; const bool ok = d.Init(); d.Term(); return ok; }, [] {}},
          {"box", 0x22000095, "Error in CDebris_Target_Box (C)\nUnable to create renderable object...",
           [] { CDebris_Target_Box b; const bool ok = b.Init(); b.Term(); return ok; }, [] {}},
          {"brick", 0x220000BE, "Error in CDebris_Target_Brick\nUnable to create renderable object...",
           [] { CDebris_Target_Brick b; const bool ok = b.Init(); b.Term(); return ok; }, [] {}},
          {"mark", 0x22000015, "Error in CDebris_Target_Ground_Proj\nUnable to load texture...",
           [] { CDebris_Target_Ground_Proj m; const bool ok = m.Init(); m.Term(); return ok; }, [] {}},
          {"sparkler", 0x220000A9, "Error in CDebris_Target_Sparkler\nUnable to load texture...",
           [] { CDebris_Target_Sparkler s; const bool ok = s.Init(); s.Term(); return ok; }, [] {}},
      };
      CTextureData* probe = g_pTexture->GetTexture(0x2200005C);
      const int32_t glow_refs = probe->m_RefCount;
      CD3DRenderStyle* style = g_pRenderStyles->GetRenderStyle(0x22000031);
      const int32_t style_refs = style->GetRefCount();
      for (const Failure_Case& c : cases) {
        c.term();
        const int32_t texture_base = probe->m_RefCount, style_base = style->GetRefCount();
        messages.clear();
        const uint32_t refused = c.refused;
        fx::Set_Resource_Filter([refused](uint32_t id) { return id != refused; });
        EXPECT_FALSE(c.init()) << c.name;
        ASSERT_EQ(messages.size(), 1u) << c.name;
        EXPECT_EQ(messages[0], c.message) << c.name;
        EXPECT_EQ(probe->m_RefCount, texture_base) << c.name << ": what was taken before the failure is given back";
        EXPECT_EQ(style->GetRefCount(), style_base) << c.name;
        fx::Set_Resource_Filter(nullptr);
        ASSERT_TRUE(c.init()) << c.name;
      }
      EXPECT_EQ(probe->m_RefCount, glow_refs) << "every module holds its references again";
      EXPECT_EQ(style->GetRefCount(), style_refs);
      g_pTexture->ReleaseTexture(probe);
      g_pRenderStyles->ReleaseRenderStyle(style);
    }();
  }
}

}  // namespace
