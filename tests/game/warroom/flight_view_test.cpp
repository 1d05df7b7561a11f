#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/warroom/CWarRoom_Beacon.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "game/warroom/CWarRoom_World.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/trainer/Format_Minutes_Seconds.h"
#include "game/warroom/CMenu_WarRoom.h"
#include "game/warroom/Glow_Lighting.h"
#include "platform/system/random.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/sprite_array.h"
#include "tests/game/core/running_game.h"

namespace {

TEST(WarRoomFlight, TheWeightedChoiceTakesTheFirstTypeReachingTheValue) {
  struct Case {
    float value;
    int type;
  };
  const Case cases[] = {{0.0f, 1},  {0.5f, 1},   {1.0f, 1},   {1.0001f, 2}, {1.5f, 2},
                        {1.75f, 3}, {1.899f, 4}, {1.9001f, 5}, {1.915f, 5}};
  for (const Case& c : cases) EXPECT_EQ(CWarRoom_World::Type_For_Weight(c.value), c.type) << c.value;
}

TEST(WarRoomFlight, PieceChainsEndWhereTheNextPieceAttaches) {
  const CWarRoom_World world;
  struct Case {
    int type;
    std::vector<int> ends;
    float end_z;  // of the first end
  };
  const Case cases[] = {{1, {0}, 1000.0f}, {2, {3}, 3047.0f * 0.5f}, {3, {3}, 2037.0f * 0.70710678f},
                        {4, {3, 7}, 3047.0f * 0.5f}, {5, {1}, 2000.0f}};
  for (const Case& c : cases) {
    const CWarRoom_World::Piece_Type& type = world.m_Types[c.type];
    EXPECT_EQ(CWarRoom_World::Chain_Ends(type), c.ends) << c.type;
    EXPECT_NEAR(type.points[c.ends[0]].position.z, c.end_z, 0.5f) << c.type;
  }
  EXPECT_NEAR(world.m_Types[4].points[7].position.x, -(3047.0f - 3047.0f * 0.8660254f), 0.5f) << "the mirrored branch";
}

TEST(WarRoomFlight, The33rdBeaconComesFromTheHeapAndEachGoesBackWhereItCameFrom) {
  const float colour[4] = {1.0f, 0.5f, 0.25f, 1.0f};
  const int in_use = CWarRoom_Beacon::Pool_In_Use();
  std::vector<CWarRoom_Beacon*> beacons;
  for (int i = 0; i < CWarRoom_Beacon::kPool_Size - in_use + 1; ++i)
    beacons.push_back(CWarRoom_Beacon::Create(1, CVector3{0, 0, 0}, colour));
  EXPECT_EQ(CWarRoom_Beacon::Pool_In_Use(), CWarRoom_Beacon::kPool_Size);
  EXPECT_TRUE(beacons[beacons.size() - 2]->m_From_Pool);
  EXPECT_FALSE(beacons.back()->m_From_Pool);
  EXPECT_FLOAT_EQ(beacons.back()->m_Dim_Colour[1], 0.225f);
  EXPECT_EQ(beacons.back()->m_Size, 1750.0f);
  CWarRoom_Beacon::Destroy(beacons[0]);
  EXPECT_EQ(CWarRoom_Beacon::Pool_In_Use(), CWarRoom_Beacon::kPool_Size - 1);
  CWarRoom_Beacon* again = CWarRoom_Beacon::Create(0, CVector3{0, 0, 0}, colour);
  EXPECT_TRUE(again->m_From_Pool) << "a freed record is taken again";
  beacons[0] = again;
  for (CWarRoom_Beacon* beacon : beacons) CWarRoom_Beacon::Destroy(beacon);
  EXPECT_EQ(CWarRoom_Beacon::Pool_In_Use(), in_use);
}

TEST(WarRoomFlight, BeaconsGlowWhileHighlightedAndFadeAfter) {
  const float colour[4] = {1, 1, 1, 1};
  CWarRoom_Beacon* beacon = CWarRoom_Beacon::Create(1, CVector3{10, 0, 0}, colour);
  CMatrix3x3 axes;
  axes.Set_Identity();
  beacon->m_Highlight = true;
  beacon->Update(0.25f, CVector3{0, 0, 100}, axes);
  EXPECT_FLOAT_EQ(beacon->m_Glow, 0.5f);
  EXPECT_FLOAT_EQ(beacon->m_Fade, 0.1875f);
  EXPECT_FLOAT_EQ(beacon->m_Position.x, 10.0f);
  EXPECT_FLOAT_EQ(beacon->m_Position.z, 100.0f);
  beacon->m_Highlight = false;
  beacon->Update(2.0f, CVector3{0, 0, 0}, axes);
  EXPECT_EQ(beacon->m_Glow, 0.0f);
  EXPECT_EQ(beacon->m_Fade, 0.0f);
  beacon->m_Glow = 0.7f;
  beacon->Reset();
  EXPECT_EQ(beacon->m_Glow, 0.0f);
  CWarRoom_Beacon::Destroy(beacon);
}

TEST(WarRoomFlight, MinutesAndSeconds) {
  struct Case {
    int seconds;
    const char* text;
  };
  const Case cases[] = {{0, "0:00"}, {9, "0:09"}, {59, "0:59"}, {60, "1:00"}, {3599, "59:59"}, {6000, "100:00"}, {-5, "0:00"}};
  for (const Case& c : cases) {
    char text[16];
    Format_Minutes_Seconds(text, sizeof text, c.seconds);
    EXPECT_STREQ(text, c.text);
  }
  char small[4];
  Format_Minutes_Seconds(small, sizeof small, 754);
  EXPECT_STREQ(small, "12:") << "cut to the buffer";
}

class WarRoomFlightView : public RunningGame {
 protected:
  void SetUp() override {
    RunningGame::SetUp();
    Start();
    plat::Seed_Random(11);
    beacons_before = CWarRoom_Beacon::Pool_In_Use();
    world = std::make_unique<CWarRoom_World>();
    ASSERT_TRUE(world->Init()) << (messages.empty() ? "" : messages.back());
  }
  void TearDown() override {
    world.reset();
    RunningGame::TearDown();
  }
  std::unique_ptr<CWarRoom_World> world;
  int beacons_before = 0;  // the War Room screen's own flight view holds some
};

TEST_F(WarRoomFlightView, StartsInADockAndGrowsFivePiecesAhead) {
  EXPECT_EQ(world->m_Nodes[world->m_Current].type, CWarRoom_World::kDock);
  EXPECT_EQ(world->m_Mode, CWarRoom_World::kCruising);
  EXPECT_FLOAT_EQ(world->m_Path_Position, 0.5f);
  int depth = 0;
  for (int node = world->m_Current; node != -1; ++depth) {
    int next = -1;
    for (const CWarRoom_World::Child& child : world->m_Nodes[node].children)
      if (child.node != -1) next = child.node;
    node = next;
  }
  EXPECT_EQ(depth, CWarRoom_World::kGrowth_Depth + 1);
  int used = 0;
  for (const CWarRoom_World::Node& node : world->m_Nodes) used += node.in_use;
  EXPECT_EQ(used + world->Free_Nodes(), CWarRoom_World::kNode_Count);
}

TEST_F(WarRoomFlightView, LeavesTheDockSlowlyAndFliesOnWithoutLosingNodes) {
  world->Update(0.1f);
  EXPECT_FLOAT_EQ(world->m_Speed_Ramp, 0.025f);
  for (int frame = 0; frame < 3000; ++frame) {
    world->Update(0.05f);
    int used = 0;
    for (const CWarRoom_World::Node& node : world->m_Nodes) used += node.in_use;
    ASSERT_EQ(used + world->Free_Nodes(), CWarRoom_World::kNode_Count) << frame;
    ASSERT_GE(world->m_Path_Position, 0.0f);
    ASSERT_LT(world->m_Path_Position, 1.0f);
  }
  EXPECT_NE(world->m_Nodes[world->m_Current].type, 0);
  const CVector3 camera = world->m_Path.Sample(world->m_Path_Position);
  EXPECT_LT(camera.Length(), 1.0f) << "the world is kept around the camera";
}

TEST_F(WarRoomFlightView, AFullPoolStopsTheGrowthAndTheFlightGoesOn) {
  world->m_First_Free = -1;  // nothing left to grow with
  for (int frame = 0; frame < 400; ++frame) world->Update(0.05f);
  EXPECT_TRUE(world->m_Initialised);
  EXPECT_GE(world->Free_Nodes(), 0);
}

TEST_F(WarRoomFlightView, ArrivingAtADockSlowsToItsMiddleAndDocks) {
  world->m_Mode = CWarRoom_World::kArriving;
  world->m_Path_Position = 0.3f;
  world->Update(0.01f);
  EXPECT_TRUE(world->m_Docking);
  EXPECT_NEAR(world->m_Speed_Ramp, 1.0f - 0.6f + 0.05f, 1e-5f);
  for (int frame = 0; frame < 2000 && world->m_Mode != CWarRoom_World::kDocked; ++frame) {
    world->Update(0.05f);
    ASSERT_LE(world->m_Path_Position, 0.5f);
  }
  EXPECT_EQ(world->m_Mode, CWarRoom_World::kDocked);
  EXPECT_FLOAT_EQ(world->m_Path_Position, 0.5f);
  EXPECT_EQ(world->m_Speed_Ramp, 0.0f);
  world->Update(0.05f);
  EXPECT_FALSE(world->m_Docking) << "cleared at every update";
}

// Docking shifts the world so that the dock's point 1000 ahead of its entry, where the shuttle
// stops, lies at the origin with the camera, even when the mode turns to arriving with the
// shuttle already past the middle.
TEST_F(WarRoomFlightView, DockingPutsTheDocksMiddleAtTheOrigin) {
  ASSERT_EQ(world->m_Nodes[world->m_Current].type, CWarRoom_World::kDock);
  for (const float position : {0.5f, 0.75f}) {
    world->m_Mode = CWarRoom_World::kArriving;
    world->m_Path_Position = position;
    world->Update(0.05f);
    EXPECT_EQ(world->m_Mode, CWarRoom_World::kDocked) << position;
    EXPECT_FLOAT_EQ(world->m_Path_Position, 0.5f);
    const CWarRoom_World::Node& dock = world->m_Nodes[world->m_Current];
    const CVector3 middle = world->To_World(dock, CVector3{0.0f, 0.0f, 1000.0f});
    EXPECT_LT(middle.Length(), 0.01f) << position << ": the dock's middle at " << middle.x << " " << middle.y << " "
                                      << middle.z;
    EXPECT_LT(world->m_Path.Sample(world->m_Path_Position).Length(), 0.01f) << "the camera's place on the path";
    world->m_Mode = CWarRoom_World::kCruising;
  }
}

// The dust is drawn as point sprites of 0.0049 of the screen width, the same size near and far.
TEST_F(WarRoomFlightView, DustPointsHaveOneSizeOnTheScreen) {
  CWarRoom_Dust_Field& dust = world->m_Dust;
  ASSERT_TRUE(dust.m_Initialised);
  ASSERT_NE(dust.Points(), nullptr);
  EXPECT_TRUE(dust.Points()->IsPointSprites());
  const float screen_width = g_pRenderDevice->GetScreenWidthF();
  EXPECT_FLOAT_EQ(dust.Point_Size(), 0.0049f * screen_width);
  const CVector3 places[] = {{0.0f, 0.0f, 60.0f}, {-300.0f, 150.0f, 2500.0f}, {40.0f, -20.0f, 400.0f}};
  dust.m_Particles.clear();
  for (const CVector3& place : places) dust.m_Particles.push_back({place, 5.0f, 3.0f});
  dust.m_Intensity = 1.0f;
  g_Camera.Look_At(CVector3{0.0f, 0.0f, 0.0f}, CVector3{0.0f, 0.0f, 1.0f});
  ASSERT_TRUE(g_pRenderDevice->Begin_Render());
  g_pRenderDevice->Clear(nullptr, kClearTarget | kClearDepth, 0xff000000, 0);
  g_pRenderDevice->BeginScene();
  dust.Render();
  g_pRenderDevice->EndScene();
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(harness.Read_Back(pixels, width, height));
  if (const char* dir = std::getenv("VT_WARROOM_SHOTS")) harness.Save_Png(std::string(dir) + "/dust_points.png");
  auto lit = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= static_cast<int>(width) || y >= static_cast<int>(height)) return false;
    const uint32_t c = pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)];
    return std::max({(c >> 16) & 0xffu, (c >> 8) & 0xffu, c & 0xffu}) > 4u;
  };
  int total = 0;
  for (int y = 0; y < static_cast<int>(height); ++y)
    for (int x = 0; x < static_cast<int>(width); ++x) total += lit(x, y);
  int in_dots = 0;
  for (const CVector3& place : places) {
    const CVector3 at = g_Camera.World_To_Screen(place);
    const int cx = static_cast<int>(at.x), cy = static_cast<int>(at.y);
    int left = cx, right = cx, top = cy, bottom = cy, count = 0;
    for (int y = cy - 20; y <= cy + 20; ++y)
      for (int x = cx - 20; x <= cx + 20; ++x)
        if (lit(x, y)) {
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
          ++count;
        }
    ASSERT_GT(count, 0) << "a dot at " << cx << " " << cy;
    in_dots += count;
    EXPECT_NEAR(static_cast<float>(right - left + 1), dust.Point_Size(), 1.5f) << place.z;
    EXPECT_NEAR(static_cast<float>(bottom - top + 1), dust.Point_Size(), 1.5f) << place.z;
  }
  EXPECT_EQ(in_dots, total) << "nothing drawn but the dots";
}

TEST_F(WarRoomFlightView, PieceLightsTakeKindOneBeaconsUpToSeven) {
  const int node = world->m_Current;
  int lamps = 0;
  std::vector<int> order{node};
  for (const CWarRoom_World::Child& child : world->m_Nodes[node].children)
    if (child.node != -1) order.push_back(child.node);
  for (const int n : order)
    for (const CWarRoom_Beacon* beacon : world->m_Nodes[n].beacons) lamps += beacon->m_Kind == 1;
  for (int i = 1; i <= 7; ++i) g_pRenderDevice->EnableLight(i, true);
  world->Set_Piece_Lights(node, -1);
  int enabled = 0;
  for (int i = 1; i <= 7; ++i) {
    uint8_t on = 0;
    g_pRenderDevice->IsLightEnabled(i, &on);
    enabled += on != 0;
    EXPECT_EQ(on != 0, i <= lamps) << i;
  }
  EXPECT_EQ(enabled, std::min(lamps, 7));
}

TEST_F(WarRoomFlightView, GlowLightingPutsBackFourLightsAndTheAmbient) {
  LightDesc light{};
  light.Kind = kLightDirectional;
  light.Vector = CVector3{0.0f, -1.0f, 0.0f};
  light.Diffuse = CColor4{0.2f, 0.4f, 0.6f, 1.0f};
  light.Range = 100.0f;
  for (int i = 0; i < 4; ++i) {
    light.Range = 100.0f + static_cast<float>(i);
    g_pRenderDevice->SetLight(i, &light);
    g_pRenderDevice->EnableLight(i, i != 2);
  }
  const CColor4 ambient{0.1f, 0.2f, 0.3f, 1.0f};
  g_pRenderDevice->SetAmbientLight(&ambient);
  Begin_Glow_Lighting(1.0f, true);
  LightDesc glow{};
  g_pRenderDevice->GetLight(0, &glow);
  EXPECT_EQ(glow.Kind, kLightPoint);
  EXPECT_FLOAT_EQ(glow.Diffuse.b, 3.5f);
  EXPECT_FLOAT_EQ(glow.Diffuse.r, 0.3f * 3.5f);
  EXPECT_EQ(glow.Range, 5000.0f);
  uint8_t on = 1;
  g_pRenderDevice->IsLightEnabled(1, &on);
  EXPECT_EQ(on, 0);
  End_Glow_Lighting();
  for (int i = 0; i < 4; ++i) {
    LightDesc back{};
    g_pRenderDevice->GetLight(i, &back);
    EXPECT_EQ(back.Kind, kLightDirectional) << i;
    EXPECT_EQ(back.Range, 100.0f + static_cast<float>(i));
    g_pRenderDevice->IsLightEnabled(i, &on);
    EXPECT_EQ(on != 0, i != 2) << i;
  }
  CColor4 back_ambient{};
  g_pRenderDevice->GetAmbientLight(&back_ambient);
  EXPECT_FLOAT_EQ(back_ambient.g, 0.2f);
}

TEST_F(WarRoomFlightView, TermReturnsEveryNodeAndBeacon) {
  EXPECT_GT(CWarRoom_Beacon::Pool_In_Use(), beacons_before);
  world->Term();
  EXPECT_EQ(CWarRoom_Beacon::Pool_In_Use(), beacons_before);
  EXPECT_FALSE(world->m_Initialised);
}

// The War Room screen flying out of its first dock: the passage pieces are lit by the glow and
// the beacons and carry their texture, so few of the drawn pixels are plain white.
class WarRoomFlightScene : public RunningGame {
 protected:
  void TearDown() override {
    if (g_WarRoom_Sim.m_Initialised) g_WarRoom_Sim.Clear_Region();
    g_WarRoom_Target_Region = 0;
    RunningGame::TearDown();
  }
};

TEST_F(WarRoomFlightScene, ThePassagePiecesAreLitAndTexturedNotFlatWhite) {
  Start();
  plat::Seed_Random(11);
  g_WarRoom_Target_Region = 1;
  g_Menu_Mgr.Command(4, 0);
  harness.Step(60, 40);
  const int page = g_Menu_Mgr.m_WarRoom.m_Page;
  ASSERT_TRUE(page == CMenu_WarRoom::kFlying || page == CMenu_WarRoom::kArriving) << page;
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(harness.Read_Back(pixels, width, height));
  if (const char* dir = std::getenv("VT_RUN_SHOTS")) harness.Save_Png(std::string(dir) + "/flight_pieces.png");
  int drawn = 0, white = 0, warm = 0;
  std::set<uint32_t> shades;
  for (const uint32_t c : pixels) {
    const int r = (c >> 16) & 0xff, g = (c >> 8) & 0xff, b = c & 0xff;
    if (std::max({r, g, b}) <= 0x60) continue;  // the night behind the passage
    ++drawn;
    shades.insert(c & 0xffffff);
    white += std::min({r, g, b}) > 0xe0;
    warm += r > b + 0x30;
  }
  ASSERT_GT(drawn, static_cast<int>(width * height / 10)) << "the pieces fill much of the view";
  EXPECT_LT(white, drawn / 3) << "flat white pieces: unlit, or drawn without their texture";
  EXPECT_GT(warm, drawn / 3) << "the brass of the pieces' trim";
  // Textured pieces show thousands of shades; pieces whose texture coordinates were lost (as
  // after point states left on by the dust) show a few hundred flat ones.
  EXPECT_GT(shades.size(), 4000u) << "the pieces' textures are read across their faces";
}

}  // namespace
