#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/warroom/CWarRoom_Map.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/memory.h"
#include "platform/system/random.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "tests/game/core/running_game.h"

namespace {

class WarRoomMap : public RunningGame {
 protected:
  void SetUp() override {
    RunningGame::SetUp();
    Start();
    plat::Seed_Random(5);
    ASSERT_TRUE(g_WarRoom_Sim.Init(1));
  }
  void TearDown() override {
    map.reset();
    g_WarRoom_Sim.Clear_Region();
    g_Menu_Mgr.m_WarRoom.m_Visible = false;
    RunningGame::TearDown();
  }

  // The relief image's alpha bytes (the stain), in texel order.
  std::vector<uint8_t> Stain() const {
    std::vector<uint8_t> alpha;
    CTextureData* texture = g_pTexture->GetTexture(g_WarRoom_Sim.m_MiniMap_Texture_Id);
    const uint32_t count = g_pTexture->GetWidth(texture, 0) * g_pTexture->GetHeight(texture, 0);
    uint8_t* pixels = g_pTexture->LockTexture(texture);
    for (uint32_t i = 0; pixels && i < count; ++i) alpha.push_back(pixels[i * 4 + 3]);
    if (pixels) g_pTexture->UnlockTexture(texture);
    g_pTexture->ReleaseTexture(texture);
    return alpha;
  }
  void Fill_Stain(uint8_t value) const {
    CTextureData* texture = g_pTexture->GetTexture(g_WarRoom_Sim.m_MiniMap_Texture_Id);
    const uint32_t count = g_pTexture->GetWidth(texture, 0) * g_pTexture->GetHeight(texture, 0);
    uint8_t* pixels = g_pTexture->LockTexture(texture);
    ASSERT_NE(pixels, nullptr);
    for (uint32_t i = 0; i < count; ++i) pixels[i * 4 + 3] = value;
    g_pTexture->UnlockTexture(texture);
    g_pTexture->ReleaseTexture(texture);
  }
  static int64_t Sum(const std::vector<uint8_t>& bytes) {
    int64_t sum = 0;
    for (const uint8_t b : bytes) sum += b;
    return sum;
  }
  // Every site clean; the source's reach shrunk to the source itself.
  static void Clean_Sites() {
    for (int i = 0; i < g_WarRoom_Sim.Site_Count(); ++i) {
      g_WarRoom_Sim.m_Sites[i].flags &= ~CWarRoom_Site::kInfected;
      g_WarRoom_Sim.m_Sites[i].infection = 0.0f;
    }
    g_WarRoom_Sim.m_Infection_Radius = 0.0f;
    g_WarRoom_Sim.m_Growth_Rate = 0.001f;
    g_WarRoom_Sim.m_Farthest_Distance = 1.0f;
  }
  void Open_Map() {
    map = std::make_unique<CWarRoom_Map>();
    ASSERT_TRUE(map->Init()) << (messages.empty() ? "" : messages.back());
  }

  std::unique_ptr<CWarRoom_Map> map;
};

TEST_F(WarRoomMap, InitShowsTheStainAlreadyGrownAndReadsTheRelief) {
  Open_Map();
  EXPECT_EQ(map->m_MiniMap_Width, 128);
  EXPECT_EQ(map->m_MiniMap_Height, 128);
  EXPECT_GT(Sum(Stain()), 0) << "32 ticks painted around the infected sites";
  int land = 0;
  for (int i = 0; i < 128 * 128; ++i) land += map->m_MiniMap_Bytes[i] != 0;
  EXPECT_GT(land, 128 * 128 / 10);
  EXPECT_LT(land, 128 * 128);
  EXPECT_EQ(map->m_Links.size(), 63u) << "region 1's links, each once";
}

TEST_F(WarRoomMap, EverySiteOfEveryRegionLiesOnLand) {
  for (int region = 1; region <= CWarRoom_Sim::kRegion_Count; ++region) {
    ASSERT_TRUE(g_WarRoom_Sim.Init(region));
    Open_Map();
    for (int site = 0; site < g_WarRoom_Sim.Site_Count(); ++site) {
      const CWarRoom_Site& s = g_WarRoom_Sim.m_Sites[site];
      const int x = std::min(127, static_cast<int>(s.x * 128.0f));
      const int y = std::min(127, static_cast<int>(s.y * 128.0f));
      EXPECT_GT(map->m_MiniMap_Bytes[x * 128 + y], 0) << g_WarRoom_Sim.m_Region_Name << ": " << s.name;
    }
    map.reset();
  }
}

TEST_F(WarRoomMap, EachSpotMovesTheStainByItsSitesStep) {
  struct Case {
    bool disinfection;
    int infected_sites;  // the first ones
    int64_t want_change_per_tick;  // summed over the 34 sites
  };
  // Site 0 is the source: within its own reach, it catches the infection unless it recedes.
  const Case cases[] = {{false, 0, 16 - 33 * 16}, {false, 1, 16 - 33 * 16}, {false, 3, 3 * 16 - 31 * 16},
                        {true, 0, -34 * 64},      {true, 2, 2 * 16 - 32 * 64}};
  Open_Map();
  for (const Case& c : cases) {
    Clean_Sites();
    g_WarRoom_Sim.m_Infected_Site = 0;
    g_WarRoom_Sim.m_Disinfection_Mode = c.disinfection;
    for (int i = 0; i < c.infected_sites; ++i) {
      g_WarRoom_Sim.m_Sites[i].flags |= CWarRoom_Site::kInfected;
      g_WarRoom_Sim.m_Sites[i].infection = 1.0f;
    }
    Fill_Stain(128);
    const int64_t before = Sum(Stain());
    map->Update_Infection(1);
    EXPECT_EQ(Sum(Stain()) - before, c.want_change_per_tick) << c.disinfection << " " << c.infected_sites;
  }
}

TEST_F(WarRoomMap, CleanSitesStayCleanAndStartedOnesRiseToOne) {
  Open_Map();
  Clean_Sites();
  g_Menu_Mgr.m_WarRoom.m_Initialised = true;
  g_Menu_Mgr.m_WarRoom.m_Visible = true;
  const int source = g_WarRoom_Sim.m_Infected_Site;
  const int started = source == 0 ? 1 : 0;
  g_WarRoom_Sim.m_Sites[started].infection = 0.2f;
  g_WarRoom_Sim.m_Sites[source].infection = 1.0f;
  g_WarRoom_Sim.m_Sites[source].flags |= CWarRoom_Site::kInfected;
  for (int i = 0; i < 200; ++i) map->Update_Infection(3);
  g_Menu_Mgr.m_WarRoom.m_Initialised = false;
  for (int site = 0; site < g_WarRoom_Sim.Site_Count(); ++site) {
    if (site == started || site == source) continue;
    EXPECT_EQ(g_WarRoom_Sim.m_Sites[site].infection, 0.0f) << site;
    EXPECT_EQ(g_WarRoom_Sim.m_Sites[site].flags & CWarRoom_Site::kInfected, 0u) << site;
  }
  EXPECT_EQ(g_WarRoom_Sim.m_Sites[started].infection, 1.0f) << "outside the reach, yet it keeps rising";
  EXPECT_NE(g_WarRoom_Sim.m_Sites[started].flags & CWarRoom_Site::kInfected, 0u);
  EXPECT_EQ(g_WarRoom_Sim.m_Sites[source].infection, 1.0f) << "the source is within its own reach";
  EXPECT_EQ(std::string(g_Menu_Mgr.m_WarRoom.m_Status_Text),
            std::string("...Infected City Detected: ") + g_WarRoom_Sim.m_Sites[started].name + "...");
}

TEST_F(WarRoomMap, TheReachInfectsAndTheRetreatClears) {
  Open_Map();
  Clean_Sites();
  g_Menu_Mgr.m_WarRoom.m_Initialised = true;
  g_Menu_Mgr.m_WarRoom.m_Visible = true;
  g_WarRoom_Sim.m_Infection_Radius = 2.0f;  // the whole region
  map->Update_Infection(1);
  for (int site = 0; site < g_WarRoom_Sim.Site_Count(); ++site) {
    EXPECT_NE(g_WarRoom_Sim.m_Sites[site].flags & CWarRoom_Site::kInfected, 0u);
    EXPECT_GT(g_WarRoom_Sim.m_Sites[site].infection, 0.5f);
  }
  g_WarRoom_Sim.m_Disinfection_Mode = true;
  g_Menu_Mgr.m_WarRoom.m_Status_Time_Left = 0.0f;
  map->Update_Infection(3);
  EXPECT_NE(g_WarRoom_Sim.m_Sites[0].flags & CWarRoom_Site::kInfected, 0u) << "level not yet 0";
  for (int i = 0; i < 40 && !g_WarRoom_Sim.Is_All_Clear(); ++i) map->Update_Infection(3);
  EXPECT_TRUE(g_WarRoom_Sim.Is_All_Clear());
  EXPECT_EQ(std::string(g_Menu_Mgr.m_WarRoom.m_Status_Text).rfind("...City DisInfected: ", 0), 0u);
  g_Menu_Mgr.m_WarRoom.m_Initialised = false;
}

TEST_F(WarRoomMap, NothingHappensWithoutAValidSource) {
  Open_Map();
  Clean_Sites();
  Fill_Stain(100);
  g_WarRoom_Sim.m_Infected_Site = -1;
  g_WarRoom_Sim.m_Sites[0].infection = 0.3f;
  map->Update_Infection(3);
  EXPECT_EQ(Sum(Stain()), 100 * 128 * 128);
  EXPECT_EQ(g_WarRoom_Sim.m_Sites[0].infection, 0.3f);
}

TEST_F(WarRoomMap, PickSiteTakesTheNearestWithin100UnitsOfTheCursorRay) {
  Open_Map();
  // Two sites: one in the middle of the map, one in a far corner.
  for (int i = 0; i < CWarRoom_Sim::kSite_Count; ++i) g_WarRoom_Sim.m_Sites[i].flags = 0;
  g_WarRoom_Sim.m_Sites[0] = CWarRoom_Site();
  g_WarRoom_Sim.m_Sites[0].flags = CWarRoom_Site::kIn_Use;
  g_WarRoom_Sim.m_Sites[0].x = 0.5f;
  g_WarRoom_Sim.m_Sites[0].y = 0.5f;
  g_WarRoom_Sim.m_Sites[1] = g_WarRoom_Sim.m_Sites[0];
  g_WarRoom_Sim.m_Sites[1].x = 0.0f;
  g_WarRoom_Sim.m_Sites[1].y = 0.0f;
  const CVector3 on_screen = g_Camera.World_To_Screen(map->Get_Site_Position(0));
  harness.Move_Mouse(static_cast<int>(on_screen.x + 0.5f), static_cast<int>(on_screen.y + 0.5f));
  harness.Pump();
  EXPECT_EQ(map->Pick_Site(), 0);
  struct Case {
    float units_aside;
    int want;
  };
  const Case cases[] = {{60.0f, 0}, {95.0f, 0}, {110.0f, -1}, {-130.0f, -1}};
  for (const Case& c : cases) {
    g_WarRoom_Sim.m_Sites[0].x = 0.5f + c.units_aside / 277.0f;
    EXPECT_EQ(map->Pick_Site(), c.want) << c.units_aside;
  }
  g_WarRoom_Sim.m_Sites[0].x = 0.5f;
  g_WarRoom_Sim.m_Sites[1] = g_WarRoom_Sim.m_Sites[0];
  EXPECT_EQ(map->Pick_Site(), 0) << "the first of equals";
}

TEST_F(WarRoomMap, TermReturnsTheMemoryAndTheResources) {
  const int64_t before = g_Total_Mem_Allocated.load();
  Open_Map();
  EXPECT_GE(g_Total_Mem_Allocated.load() - before, 128 * 128);
  map->Term();
  EXPECT_EQ(g_Total_Mem_Allocated.load(), before);
  EXPECT_FALSE(map->m_Initialised);
  EXPECT_EQ(map->m_MiniMap_Bytes, nullptr);
  EXPECT_EQ(map->m_Arc_Current, -1);
}

TEST_F(WarRoomMap, InitFailuresShowTheirMessageAndLeaveTheMapClosed) {
  struct Case {
    uint32_t map_texture;
    uint32_t minimap_texture;
    bool initialised;
    const char* want;
  };
  const Case cases[] = {
      {0x22000134, 0x22000135, false, "Error in CWarRoom_Map\ng_WarRoom_Sim not initialized"},
      {0x2200EEEE, 0x22000135, true, "Error in CWarRoom_Map\nUnable to load texture..."},
      {0x22000134, 0x2200EEEE, true, "Error in CWarRoom_Map\nSetup_MiniMap_Data() failed..."},
      {0x22000134, 0x22000134, true, "Error in CWarRoom_Map\nSetup_MiniMap_Data() failed..."},
  };
  // A first look-up of a missing resource keeps a small record in the resource manager.
  g_WarRoom_Sim.m_Map_Texture_Id = 0x2200EEEE;
  CWarRoom_Map().Init();
  const int64_t before = g_Total_Mem_Allocated.load();
  for (const Case& c : cases) {
    g_WarRoom_Sim.m_Initialised = c.initialised;
    g_WarRoom_Sim.m_Map_Texture_Id = c.map_texture;
    g_WarRoom_Sim.m_MiniMap_Texture_Id = c.minimap_texture;
    messages.clear();
    CWarRoom_Map failing;
    EXPECT_FALSE(failing.Init());
    EXPECT_FALSE(failing.m_Initialised);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], c.want);
    EXPECT_EQ(g_Total_Mem_Allocated.load(), before) << c.want;
  }
}

}  // namespace
