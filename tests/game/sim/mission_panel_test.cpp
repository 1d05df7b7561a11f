// The War Room mission panel drawn by the whole game: its shield bar and infection crystal follow
// the brain's eased values (and not the gun that shares the gauge styles), and the panel rides
// the camera's breathing pulse. Set VT_RUN_SHOTS to a folder to keep the pictures measured.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CGame_State.h"
#include "game/player/CPlayer_Weapon_Gun_SteelBall_0.h"
#include "game/sim/CBrain_Game_Basic.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "tests/game/sim/sim_run.h"

namespace {

int Red(uint32_t c) { return static_cast<int>((c >> 16) & 0xff); }
int Green(uint32_t c) { return static_cast<int>((c >> 8) & 0xff); }
int Blue(uint32_t c) { return static_cast<int>(c & 0xff); }
// The shield bar and its glow are blue, the panel grey, its label pale cyan.
bool Shield_Blue(uint32_t c) { return Blue(c) > Red(c) + 60 && Blue(c) > Green(c) + 60; }
// The infection crystal is red.
bool Infection_Red(uint32_t c) { return Red(c) > Green(c) + 80 && Red(c) > Blue(c) + 60; }

// Where lit pixels of a colour lie across the panel: the leftmost and rightmost columns, the
// top and bottom rows.
struct Extent {
  int left = -1, right = -1, top = -1, bottom = -1;
  int Length() const { return left < 0 ? 0 : right - left + 1; }
  float Middle_X() const { return 0.5f * static_cast<float>(left + right); }
  float Middle_Y() const { return 0.5f * static_cast<float>(top + bottom); }
};

class MissionPanel : public SiteMission {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(SiteMission::SetUp());
    // The track is held still so that it spawns nothing in front of the panel.
    g_Music_Track.Set_Pause(true);
    // The infection front stays far away: the mission runs on while the tests draw.
    g_WarRoom_Sim.m_Farthest_Distance = 1.0e6f;
    g_WarRoom_Sim.m_Infection_Radius = 0.0f;
    g_WarRoom_Sim.m_Growth_Rate = 1.0f;
    harness.Step_Undrawn(120, 40);  // the world fades in; each test draws the frame it reads
  }
  // Draws a frame with the panel in place and the gauges at the values; the steel-ball gun's
  // charge, which it writes into the same gauge styles, is set to the given level first.
  void Draw(float shield, float infection, float gun_charge, const std::string& name) {
    g_WarRoom_Sim.m_Shield_Level = shield;
    g_WarRoom_Sim.m_Sites[g_WarRoom_Sim.m_Current_Site].infection = infection;
    brain->m_Shown_Shield = shield;
    brain->m_Shown_Infection = brain->m_Shown_Projected = infection;
    brain->m_Clock = 20.0f;
    brain->m_Ended = 0;
    g_Gun_SteelBall.m_Charge = gun_charge;
    harness.Step(1);
    ASSERT_TRUE(harness.Read_Back(pixels, width, height));
    if (const char* dir = std::getenv("VT_RUN_SHOTS")) harness.Save_Png(std::string(dir) + "/" + name);
  }

  // Where the pixels of the colour lie inside the panel board's box on screen (the board runs
  // from -3.05 to 1.6 across and from -0.95 to 0.6 up, in camera units about the panel's place).
  template <typename Test>
  Extent Across_Board(Test test) const {
    const CVector3 place = brain->Panel_Position();
    const CMatrix3x3& axes = g_Camera.Rotation();
    float x0 = 1e9f, x1 = -1e9f, y0 = 1e9f, y1 = -1e9f;
    for (float a : {-3.05f, 1.6f})
      for (float b : {-0.95f, 0.6f}) {
        const CVector3 corner{place.x + axes.rows[0].x * a + axes.rows[1].x * b,
                              place.y + axes.rows[0].y * a + axes.rows[1].y * b,
                              place.z + axes.rows[0].z * a + axes.rows[1].z * b};
        const CVector3 s = g_Camera.World_To_Screen(corner);
        x0 = std::min(x0, s.x), x1 = std::max(x1, s.x), y0 = std::min(y0, s.y), y1 = std::max(y1, s.y);
      }
    Extent e;
    const int left = std::max(0, static_cast<int>(x0)), right = std::min(static_cast<int>(width) - 1, static_cast<int>(x1));
    const int top = std::max(0, static_cast<int>(y0)), bottom = std::min(static_cast<int>(height) - 1, static_cast<int>(y1));
    for (int y = top; y <= bottom; ++y)
      for (int x = left; x <= right; ++x)
        if (test(pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)])) {
          if (e.left < 0 || x < e.left) e.left = x;
          e.right = std::max(e.right, x);
          if (e.top < 0) e.top = y;
          e.bottom = y;
        }
    return e;
  }

  // Where a point of the panel (in its axes, camera units, about its place) lies on the screen.
  CVector3 On_Screen(float a, float b, float c) const {
    const CVector3 place = brain->Panel_Position();
    const CMatrix3x3& axes = g_Camera.Rotation();
    const CVector3 point{place.x + axes.rows[0].x * a + axes.rows[1].x * b + axes.rows[2].x * c,
                         place.y + axes.rows[0].y * a + axes.rows[1].y * b + axes.rows[2].y * c,
                         place.z + axes.rows[0].z * a + axes.rows[1].z * b + axes.rows[2].z * c};
    return g_Camera.World_To_Screen(point);
  }
  // The pixel drawn there.
  uint32_t At_Panel(float a, float b, float c) const {
    const CVector3 s = On_Screen(a, b, c);
    const int x = std::clamp(static_cast<int>(s.x), 0, static_cast<int>(width) - 1);
    const int y = std::clamp(static_cast<int>(s.y), 0, static_cast<int>(height) - 1);
    return pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)];
  }
  RenderPassDesc Glow_Pass() const {
    RenderPassDesc pass{};
    EXPECT_TRUE(brain->m_Styles[kGlow_Style]->GetPass(0, &pass));
    return pass;
  }
  static constexpr int kGlow_Style = 3;  // 0x22000039, the shield bar's glow

  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
};

int Colour_Distance(uint32_t a, uint32_t b) {
  return std::abs(Red(a) - Red(b)) + std::abs(Green(a) - Green(b)) + std::abs(Blue(a) - Blue(b));
}

// A colour channel of 0-1 as the byte a style's colour holds (cut toward zero).
uint32_t Channel(float v) { return static_cast<uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f); }

// One launch of a site mission serves the four checks (starting the game and launching is
// most of each one's time): each draw sets every value it measures.
TEST_F(MissionPanel, ItsGaugesFollowTheMissionAndItRidesTheCamerasPulse) {
  {
    SCOPED_TRACE("the shield bar follows the shield, not the gun's charge");
    [&] {
      // The gun's charge runs against the shield: a bar that followed the gun would grow the other way.
      Draw(1.0f, 0.5f, 0.0f, "mission_panel_shield_full.png");
      const Extent full = Across_Board(Shield_Blue);
      Draw(0.3f, 0.5f, 1.0f, "mission_panel_shield_low.png");
      const Extent low = Across_Board(Shield_Blue);
      Draw(0.0f, 0.5f, 1.0f, "mission_panel_shield_empty.png");
      const Extent empty = Across_Board(Shield_Blue);
      ASSERT_GT(full.Length(), 40) << "a full shield shows a long blue bar";
      EXPECT_LT(low.Length(), full.Length() * 45 / 100) << "at 0.3 the bar is about three tenths of the full one";
      EXPECT_GT(low.Length(), full.Length() * 15 / 100);
      EXPECT_NEAR(low.left, full.left, 4) << "the bar fills from its left end";
      EXPECT_EQ(empty.Length(), 0) << "an empty shield shows no bar";
      // The bar lies across the panel from -0.8 to 1.3, on the label's line, in front of the board.
      EXPECT_NEAR(full.left, On_Screen(-0.8f, 0.0f, -0.2f).x, 4.0f) << "the bar's foot";
      EXPECT_NEAR(full.right, On_Screen(1.3f, 0.0f, -0.2f).x, 4.0f) << "the bar's end";
      EXPECT_NEAR(full.Middle_Y(), On_Screen(0.0f, 0.0f, -0.2f).y, 3.0f) << "the bar's line";
    }();
  }
  {
    SCOPED_TRACE("the infection crystal follows the infection");
    [&] {
      Draw(1.0f, 0.9f, 0.5f, "mission_panel_infection_high.png");
      const Extent high = Across_Board(Infection_Red);
      Draw(1.0f, 0.1f, 0.5f, "mission_panel_infection_low.png");
      const Extent low = Across_Board(Infection_Red);
      ASSERT_GT(high.Length(), 40);
      // Values 0.05 + 0.95 x infection: 0.145 and 0.905 of the crystal.
      EXPECT_LT(low.Length(), high.Length() * 30 / 100);
      EXPECT_GT(low.Length(), 0) << "even a nearly clean site shows a little infection";
      // The crystal fills from its waist outward: both fills share their middle.
      EXPECT_NEAR(low.left + low.right, high.left + high.right, 8);
      // The crystal's waist is at 0.25 across the panel, below the bar at -0.55.
      EXPECT_NEAR(high.Middle_X(), On_Screen(0.25f, -0.55f, -0.2f).x, 4.0f) << "the crystal's waist";
      EXPECT_NEAR(high.Middle_Y(), On_Screen(0.25f, -0.55f, -0.2f).y, 3.0f) << "the crystal's line";
    }();
  }
  {
    SCOPED_TRACE("the board holds the shield label, and the glow style takes only its colour");
    [&] {
      Draw(1.0f, 0.5f, 1.0f, "mission_panel_board.png");
      // The label spans -2.9 to -0.9 across the panel: the board reaches past its left end.
      const uint32_t board = At_Panel(1.45f, 0.45f, -0.06f);
      for (float b : {-0.45f, 0.0f, 0.45f})
        EXPECT_LT(Colour_Distance(At_Panel(-3.0f, b, -0.06f), board), 60)
            << "left of the label at " << b << " lies the board";
      const uint32_t glow_cut = Glow_Pass().AlphaRef;
      Draw(0.3f, 0.5f, 1.0f, "mission_panel_glow.png");
      const RenderPassDesc glow = Glow_Pass();
      EXPECT_EQ(glow.AlphaRef, glow_cut) << "the shield does not cut the glow";
      const float s = 0.3f, level = 0.2f + 0.25f * s;
      const uint32_t want[4] = {Channel(0.7f + 0.05f * std::sin(brain->m_Pulse_Phase)), Channel(level), Channel(level),
                                Channel(0.4f + 0.4f * s)};
      for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(static_cast<int>((glow.TextureFactor >> (24 - 8 * i)) & 0xff), static_cast<int>(want[i]), 1)
            << "channel " << i << " (alpha, red, green, blue) of the glow's colour";
    }();
  }
  {
    SCOPED_TRACE("the camera's pulse pushes the panel out and up");
    [&] {
      brain->m_Clock = 20.0f;
      g_Camera.m_Zoom_Level = 0.0f;
      const CVector3 still = brain->Panel_Position();
      g_Camera.m_Zoom_Level = 0.8f;
      g_Camera.m_Zoom_Phase = 0.5f;
      const float z = 0.8f * (std::sin(0.5f) + 1.0f) * 0.5f;
      const CVector3 pulsed = brain->Panel_Position();
      g_Camera.m_Zoom_Level = 0.0f;
      const CMatrix3x3& axes = g_Camera.Rotation();
      const CVector3 moved{pulsed.x - still.x, pulsed.y - still.y, pulsed.z - still.z};
      auto along = [&](int row) {
        return moved.x * axes.rows[row].x + moved.y * axes.rows[row].y + moved.z * axes.rows[row].z;
      };
      EXPECT_NEAR(along(0), 4.83f * z, 1e-3f) << "sideways";
      EXPECT_NEAR(along(1), 1.83f * z, 1e-3f) << "upward";
      EXPECT_NEAR(along(2), 0.0f, 1e-3f);
    }();
  }
}

}  // namespace
