// The War Room map drawn by the running game and probed. Set VT_WARROOM_SHOTS to a folder to
// keep one travel picture per region.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CGame.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/warroom/CMenu_WarRoom.h"
#include "game/warroom/CWarRoom_Map.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "game/warroom/CWarRoom_World.h"
#include "game/warroom/Vector_Ops.h"
#include "platform/system/random.h"
#include "runtime/src/render/iks_render_device.h"
#include "tests/game/core/running_game.h"

namespace {

using warroom::Add;
using warroom::Scale;

int Red(uint32_t pixel) { return static_cast<int>((pixel >> 16) & 0xFF); }
int Green(uint32_t pixel) { return static_cast<int>((pixel >> 8) & 0xFF); }
int Blue(uint32_t pixel) { return static_cast<int>(pixel & 0xFF); }

class WarRoomMapScene : public RunningGame {
 protected:
  void SetUp() override {
    RunningGame::SetUp();
    Start();
    harness.Step(2);
  }
  void TearDown() override {
    g_WarRoom_Sim.Clear_Region();
    RunningGame::TearDown();
  }
  // Clears to black, draws what `draw` draws in one scene and reads the picture back.
  void Draw_Scene(const std::function<void()>& draw, std::vector<uint32_t>& out) {
    ASSERT_TRUE(g_pRenderDevice->Begin_Render());
    g_pRenderDevice->Clear(nullptr, kClearTarget | kClearDepth, 0xff000000, 0);
    g_pRenderDevice->BeginScene();
    draw();
    g_pRenderDevice->EndScene();
    ASSERT_TRUE(harness.Read_Back(out, width, height));
  }
  void Draw(CWarRoom_Map& map) {
    Draw_Scene([&] {
      map.Update(0.1f);
      map.Frame(0.1f);
    }, pixels);
  }
  int Count(bool (*test)(uint32_t)) const {
    int n = 0;
    for (const uint32_t p : pixels) n += test(p);
    return n;
  }
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
};

TEST_F(WarRoomMapScene, EachRegionShowsLandSeaStainAndAllLabels) {
  for (int region = 1; region <= CWarRoom_Sim::kRegion_Count; ++region) {
    plat::Seed_Random(static_cast<uint32_t>(region));
    ASSERT_TRUE(g_WarRoom_Sim.Init(region));
    // A target across the map, so the route and the flight arc show.
    g_WarRoom_Sim.Set_Target_Site(g_WarRoom_Sim.m_Infected_Site);
    CWarRoom_Map map;
    ASSERT_TRUE(map.Init());
    map.Show_All_Labels(true);
    Draw(map);
    const int land = Count([](uint32_t p) { return Green(p) > Blue(p) + 20 && Green(p) > 60; });
    const int sea = Count([](uint32_t p) { return Blue(p) > Green(p) && Blue(p) > 40 && Red(p) < 60; });
    const int stain = Count([](uint32_t p) { return Red(p) > Green(p) + 40 && Red(p) > 90; });
    EXPECT_GT(land, 2000) << region;
    EXPECT_GT(sea, 2000) << region;
    EXPECT_GT(stain, 20) << region << ": the infection around the source";
    if (const char* dir = std::getenv("VT_WARROOM_SHOTS"))
      harness.Save_Png(std::string(dir) + "/warroom_travel_region_" + std::to_string(region) + ".png");
  }
}

// Links, markers and rings glow in the menus' shared glow style, which adds their light: a site
// drawn with its links darkens no pixel of the map beneath it, it only lights some.
TEST_F(WarRoomMapScene, SitesAndLinksOnlyAddLightToTheMap) {
  plat::Seed_Random(3);
  ASSERT_TRUE(g_WarRoom_Sim.Init(5));
  g_WarRoom_Sim.Set_Target_Site(-1);
  CWarRoom_Map map;
  ASSERT_TRUE(map.Init());
  auto draw_still = [&](std::vector<uint32_t>& out) {
    plat::Seed_Random(9);  // the static's offsets
    Draw_Scene([&] { map.Frame(0.0f); }, out);
  };
  std::vector<uint32_t> with_sites;
  draw_still(with_sites);
  // Every site moved far off the map, with its links and rings.
  for (int site = 0; site < g_WarRoom_Sim.Site_Count(); ++site) g_WarRoom_Sim.m_Sites[site].x = -400.0f;
  std::vector<uint32_t> without;
  draw_still(without);
  ASSERT_EQ(with_sites.size(), without.size());
  int lighter = 0, darker = 0;
  for (size_t i = 0; i < with_sites.size(); ++i) {
    for (const int shift : {16, 8, 0}) {
      const int a = static_cast<int>((with_sites[i] >> shift) & 0xff), b = static_cast<int>((without[i] >> shift) & 0xff);
      if (a > b + 2) ++lighter;
      if (a < b - 2) ++darker;
    }
  }
  EXPECT_GT(lighter, 500) << "the markers and links show";
  EXPECT_EQ(darker, 0);
}

// The map's detail texture slides across the map with the scan line: the scroll phase p puts
// its texture offset at 1 - p, so the detail's bright grid columns (every sixteenth of its 64
// texels, a quarter of the map apart) sit at u = (16k + 0.5) / 64 + p. Drawn paused (no static
// offsets, no scan lines) with the sites moved off the map, the two phases differ only there.
TEST_F(WarRoomMapScene, TheDetailTextureSlidesWithTheScrollPhase) {
  plat::Seed_Random(3);
  ASSERT_TRUE(g_WarRoom_Sim.Init(1));
  g_WarRoom_Sim.Set_Target_Site(-1);
  CWarRoom_Map map;
  ASSERT_TRUE(map.Init());
  for (int site = 0; site < g_WarRoom_Sim.Site_Count(); ++site) g_WarRoom_Sim.m_Sites[site].x = -400.0f;
  g_Game_Paused = true;
  auto draw_at = [&](float phase, std::vector<uint32_t>& out, const char* name) {
    map.m_Scroll_Phase = phase;
    map.Update(0.0f);
    Draw_Scene([&] { map.Frame(0.0f); }, out);
    if (const char* dir = std::getenv("VT_WARROOM_SHOTS")) harness.Save_Png(std::string(dir) + "/" + name);
  };
  const float shift = 1.0f / 16.0f;  // a quarter of the grid's period: the columns move, not wrap
  std::vector<uint32_t> still, moved;
  draw_at(0.0f, still, "warroom_map_scroll_0.png");
  draw_at(shift, moved, "warroom_map_scroll_1.png");
  g_Game_Paused = false;
  ASSERT_EQ(still.size(), moved.size());
  auto light = [&](const std::vector<uint32_t>& picture, float u, float v) {
    const CVector3 at = g_Camera.World_To_Screen(Add(Add(map.m_Origin, Scale(map.m_Across, u)), Scale(map.m_Depth, v)));
    const size_t i = static_cast<size_t>(at.y) * width + static_cast<size_t>(at.x);
    return i < picture.size() ? Red(picture[i]) + Green(picture[i]) + Blue(picture[i]) : 0;
  };
  // Over the columns of each phase, the picture of that phase against the other's.
  int gain_still = 0, gain_moved = 0, probes = 0;
  for (int k = 0; k < 4; ++k)
    for (const float v : {0.3f, 0.42f, 0.55f, 0.68f, 0.8f}) {
      const float u = (16.0f * static_cast<float>(k) + 0.5f) / 64.0f;
      gain_still += light(still, u, v) - light(moved, u, v);
      gain_moved += light(moved, u + shift, v) - light(still, u + shift, v);
      ++probes;
    }
  EXPECT_GT(gain_still, 8 * probes) << "the columns at phase 0";
  EXPECT_GT(gain_moved, 8 * probes) << "the columns a sixteenth of the map further at phase 1/16";
}

// The hub between the War Room's rings is drawn untextured in the rings' lit style: a plain lit
// grey, where the second ring around it shows its dark gun-metal texture.
TEST_F(WarRoomMapScene, TheHubRingIsDrawnUntexturedBesideTheTexturedRings) {
  plat::Seed_Random(6);
  ASSERT_TRUE(g_WarRoom_Sim.Init(1));
  CMenu_WarRoom& screen = g_Menu_Mgr.m_WarRoom;
  if (!screen.m_Initialised) {
    ASSERT_TRUE(screen.Init());
  }
  screen.Set_Page(CMenu_WarRoom::kLeaving);  // both rings lowered into place, no panel or map
  Draw_Scene([&] { screen.Render(CFrame_Info{}); }, pixels);
  if (const char* dir = std::getenv("VT_WARROOM_SHOTS")) harness.Save_Png(std::string(dir) + "/warroom_rings.png");
  screen.Set_Page(CMenu_WarRoom::kOff);
  // The brightest pixel near where a ring's middle line passes, on its left and right flanks
  // (the second ring's hub and the second ring sit at height 104, depth 375).
  auto brightest = [&](float radius, float side) {
    const CVector3 at = g_Camera.World_To_Screen(CVector3{side * radius, 104.0f, 375.0f});
    int best = 0;
    for (int dy = -3; dy <= 3; ++dy)
      for (int dx = -3; dx <= 3; ++dx) {
        const int x = static_cast<int>(at.x) + dx, y = static_cast<int>(at.y) + dy;
        if (x < 0 || y < 0 || x >= static_cast<int>(width) || y >= static_cast<int>(height)) continue;
        const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
        best = std::max(best, Red(p) + Green(p) + Blue(p));
      }
    return best;
  };
  for (const float side : {-1.0f, 1.0f}) {
    const int hub = brightest(94.5f, side), ring = brightest(112.5f, side);
    EXPECT_GT(hub, 360) << side << ": lit grey without a texture";
    EXPECT_GT(hub, 2 * ring) << side << ": the ring around it shows its gun metal";
  }
}

TEST_F(WarRoomMapScene, TheFlightViewShowsThePassageAndTheTimeRemaining) {
  plat::Seed_Random(4);
  ASSERT_TRUE(g_WarRoom_Sim.Init(2));
  CWarRoom_World world;
  ASSERT_TRUE(world.Init());
  struct Shot {
    const char* name;
    int frames;
    int mode;
  };
  const Shot shots[] = {{"warroom_flight_cruising.png", 300, CWarRoom_World::kCruising},
                        {"warroom_flight_docking.png", 0, CWarRoom_World::kArriving}};
  for (const Shot& shot : shots) {
    world.m_Mode = shot.mode;
    if (shot.mode == CWarRoom_World::kArriving) {
      // Fly on until a dock is reached and entered.
      for (int frame = 0; frame < 20000 && !world.m_Docking; ++frame) world.Update(0.05f);
      ASSERT_TRUE(world.m_Docking);
      for (int frame = 0; frame < 8; ++frame) world.Update(0.05f);
    }
    for (int frame = 0; frame < shot.frames; ++frame) world.Update(0.05f);
    ASSERT_TRUE(g_pRenderDevice->Begin_Render());
    g_pRenderDevice->Clear(nullptr, kClearTarget | kClearDepth, 0xff000000, 0);
    g_pRenderDevice->BeginScene();
    world.Render(0.05f);
    world.Render(0.05f);
    g_pRenderDevice->EndScene();
    ASSERT_TRUE(harness.Read_Back(pixels, width, height));
    const int lit = Count([](uint32_t p) { return Red(p) + Green(p) + Blue(p) > 60; });
    EXPECT_GT(lit, 3000) << shot.name;
    if (const char* dir = std::getenv("VT_WARROOM_SHOTS")) harness.Save_Png(std::string(dir) + "/" + shot.name);
  }
}

}  // namespace
