#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include "game/warroom/CWarRoom_Sim.h"
#include "game/warroom/Region_Tables.h"

namespace {

struct Region_Case {
  int id;
  const char* name;
  uint32_t map_texture;
  uint32_t minimap_texture;
  int sites;
  int edits;
};

const Region_Case kRegions[] = {
    {1, "North America", 0x22000134, 0x22000135, 34, 18},
    {2, "Indonesia", 0x22000136, 0x22000137, 28, 15},
    {3, "Africa", 0x22000138, 0x22000139, 33, 22},
    {4, "Australia", 0x2200013a, 0x2200013b, 31, 25},
    {5, "Europe", 0x2200013c, 0x2200013d, 36, 37},
    {6, "Central Asia", 0x2200013e, 0x2200013f, 30, 21},
    {7, "Mediterranean", 0x22000140, 0x22000141, 29, 19},
    {8, "United States of America", 0x2200007e, 0x22000082, 30, 30},
};

// Sites reachable from site 0 over the links.
int Reachable(const CWarRoom_Sim& sim) {
  std::vector<bool> seen(CWarRoom_Sim::kSite_Count, false);
  std::vector<int> stack{0};
  seen[0] = true;
  int count = 0;
  while (!stack.empty()) {
    const int site = stack.back();
    stack.pop_back();
    ++count;
    for (const int32_t link : sim.m_Sites[site].links)
      if (link >= 0 && link < CWarRoom_Sim::kSite_Count && !seen[link]) {
        seen[link] = true;
        stack.push_back(link);
      }
  }
  return count;
}

TEST(WarRoomRegions, EachRegionIsWholeLinkedAndConnected) {
  for (const Region_Case& c : kRegions) {
    CWarRoom_Sim sim;
    ASSERT_TRUE(sim.Setup_Region_Data(c.id));
    EXPECT_EQ(sim.m_Region_Id, c.id);
    EXPECT_EQ(sim.m_Region_Name, c.name);
    EXPECT_EQ(sim.m_Map_Texture_Id, c.map_texture);
    EXPECT_EQ(sim.m_MiniMap_Texture_Id, c.minimap_texture);
    ASSERT_EQ(sim.Site_Count(), c.sites) << c.name;
    for (int i = c.sites; i < CWarRoom_Sim::kSite_Count; ++i) EXPECT_EQ(sim.m_Sites[i].flags, 0u);
    for (int i = 0; i < c.sites; ++i) {
      const CWarRoom_Site& site = sim.m_Sites[i];
      const size_t length = strnlen(site.name, sizeof(site.name));
      EXPECT_GT(length, 0u);
      EXPECT_LE(length, 23u) << c.name << " " << i;
      EXPECT_EQ(site.flags, CWarRoom_Site::kIn_Use);
      EXPECT_EQ(site.infection, 0.0f);
      EXPECT_GE(site.weight, 0.5f);
      EXPECT_LE(site.weight, 1.5f);
      EXPECT_GT(site.x, 0.0f);
      EXPECT_LT(site.x, 1.0f);
      EXPECT_GT(site.y, 0.0f);
      EXPECT_LT(site.y, 1.0f);
      EXPECT_GE(site.simulation_choice, 0);
      EXPECT_LT(site.simulation_choice, 22);
      const int links = site.Link_Count();
      EXPECT_GE(links, 1) << c.name << " " << site.name;
      EXPECT_LE(links, 6);
      for (int slot = 0; slot < links; ++slot) {
        const int other = site.links[slot];
        ASSERT_GE(other, 0) << "links are packed at the front";
        ASSERT_LT(other, c.sites);
        EXPECT_NE(sim.m_Sites[other].Find_Link(i), -1) << c.name << ": " << i << " - " << other << " held at one end";
      }
    }
    EXPECT_EQ(Reachable(sim), c.sites) << c.name << " is connected";
  }
}

// The links of the sites in use, each pair once (lower index first).
std::set<std::pair<int, int>> Links(const CWarRoom_Sim& sim) {
  std::set<std::pair<int, int>> links;
  for (int site = 0; site < sim.Site_Count(); ++site)
    for (const int32_t other : sim.m_Sites[site].links)
      if (other >= 0) links.insert({std::min<int>(site, other), std::max<int>(site, other)});
  return links;
}

// Each region makes as many link edits after the distance rule as its table gives, and every
// one of them changes the links: none links sites already linked or unlinks sites that are not.
TEST(WarRoomRegions, EachRegionMakesItsCountOfLinkEditsAndEveryEditCounts) {
  for (const Region_Case& c : kRegions) {
    const warroom_data::Region& data = warroom_data::kRegions[c.id - 1];
    ASSERT_EQ(data.edit_count, c.edits) << c.name;
    CWarRoom_Sim sim;
    ASSERT_TRUE(sim.Setup_Region_Data(c.id));
    const std::set<std::pair<int, int>> final_links = Links(sim);
    // Replays the set-up step by step: the distance rule, then the edits in order.
    for (int i = 0; i < c.sites; ++i) std::fill(std::begin(sim.m_Sites[i].links), std::end(sim.m_Sites[i].links), -1);
    sim.Auto_Link_Sites();
    for (int e = 0; e < data.edit_count; ++e) {
      const warroom_data::Link_Edit& edit = data.edits[e];
      ASSERT_GE(edit.a, 0);
      ASSERT_LT(edit.a, c.sites);
      ASSERT_GE(edit.b, 0);
      ASSERT_LT(edit.b, c.sites);
      const std::set<std::pair<int, int>> before = Links(sim);
      if (edit.link)
        sim.Link_Sites(edit.a, edit.b);
      else
        sim.Unlink_Sites(edit.a, edit.b);
      EXPECT_NE(Links(sim), before) << c.name << ": edit " << e << (edit.link ? " +" : " -") << edit.a << " "
                                    << edit.b << " changes nothing";
    }
    EXPECT_EQ(Links(sim), final_links) << c.name;
  }
}

TEST(WarRoomRegions, IdsOutsideTheRegionsAreRefusedWithNoSiteLeft) {
  CWarRoom_Sim sim;
  ASSERT_TRUE(sim.Setup_Region_Data(5));
  for (const int id : {0, 9, -3}) {
    EXPECT_FALSE(sim.Setup_Region_Data(id));
    EXPECT_EQ(sim.Site_Count(), 0);
    EXPECT_EQ(sim.m_Map_Texture_Id, 0u);
  }
}

TEST(WarRoomRegions, AccentedNamesAreSingleBytes) {
  CWarRoom_Sim sim;
  ASSERT_TRUE(sim.Setup_Region_Data(5));
  EXPECT_STREQ(sim.m_Sites[26].name, "Ath\xED" "nai (Athens)");
  EXPECT_STREQ(sim.m_Sites[35].name, "Z\xFC" "rich");
  EXPECT_EQ(std::strlen(sim.m_Sites[35].name), 6u);
  ASSERT_TRUE(sim.Setup_Region_Data(1));
  EXPECT_STREQ(sim.m_Sites[19].name, "Washington, D.C.");
  EXPECT_FLOAT_EQ(sim.m_Sites[19].x, 0.791f);
  EXPECT_FLOAT_EQ(sim.m_Sites[27].weight, 1.5f);
}

TEST(WarRoomRegions, NorthAmericaLinksAfterTheDistanceRuleAndItsEdits) {
  const int32_t want[34][6] = {
      {16, 21, 27, -1, -1, -1},  // 0
      {3, 4, 5, 2, -1, -1},  // 1
      {3, 1, -1, -1, -1, -1},  // 2
      {1, 2, -1, -1, -1, -1},  // 3
      {1, 5, -1, -1, -1, -1},  // 4
      {1, 13, 4, 14, -1, -1},  // 5
      {8, 14, 23, 13, 7, -1},  // 6
      {8, 12, 9, 6, -1, -1},  // 7
      {6, 7, 15, 20, 22, -1},  // 8
      {15, 18, 19, 7, -1, -1},  // 9
      {18, 19, 11, -1, -1, -1},  // 10
      {10, -1, -1, -1, -1, -1},  // 11
      {7, -1, -1, -1, -1, -1},  // 12
      {5, 6, -1, -1, -1, -1},  // 13
      {6, 17, 21, 23, 5, -1},  // 14
      {8, 9, 18, 19, 20, 22},  // 15
      {0, 22, 23, 17, -1, -1},  // 16
      {14, 21, 23, 16, -1, -1},  // 17
      {9, 10, 15, 19, 26, -1},  // 18
      {9, 10, 15, 18, 25, -1},  // 19
      {8, 15, 22, 24, 25, -1},  // 20
      {14, 17, 23, 0, -1, -1},  // 21
      {8, 15, 16, 20, 24, 23},  // 22
      {6, 14, 16, 17, 21, 22},  // 23
      {20, 22, 28, 29, 25, -1},  // 24
      {20, 28, 31, 24, 19, -1},  // 25
      {31, 32, 33, 18, -1, -1},  // 26
      {29, 30, 0, 31, 28, -1},  // 27
      {24, 25, 27, -1, -1, -1},  // 28
      {24, 27, -1, -1, -1, -1},  // 29
      {27, 32, -1, -1, -1, -1},  // 30
      {25, 26, 33, 27, -1, -1},  // 31
      {26, 30, -1, -1, -1, -1},  // 32
      {26, 31, -1, -1, -1, -1},  // 33
  };
  CWarRoom_Sim sim;
  ASSERT_TRUE(sim.Setup_Region_Data(1));
  for (int site = 0; site < 34; ++site)
    for (int slot = 0; slot < 6; ++slot)
      EXPECT_EQ(sim.m_Sites[site].links[slot], want[site][slot]) << sim.m_Sites[site].name << " slot " << slot;
}

}  // namespace
