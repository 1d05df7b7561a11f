#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/system/message_box.h"
#include "tests/game/warroom/warroom_fixture.h"
#include "platform/system/random.h"

namespace {

std::vector<int> Links(const CWarRoom_Sim& sim, int site) {
  std::vector<int> out;
  for (const int32_t link : sim.m_Sites[site].links) out.push_back(link);
  return out;
}

// A line of sites 0.1 apart, each linked to the next.
void Place_Line(CWarRoom_Sim& sim, int count) {
  sim = CWarRoom_Sim();
  for (int i = 0; i < count; ++i) {
    sim.m_Sites[i].flags = CWarRoom_Site::kIn_Use;
    sim.m_Sites[i].x = 0.02f * static_cast<float>(i);
  }
  for (int i = 0; i + 1 < count; ++i) sim.Link_Sites(i, i + 1);
}

TEST(WarRoomHistory, HoldsThe32NewestArrivalsAndStoresARepeatOnce) {
  CWarRoom_Sim sim;
  Place_Line(sim, 40);
  for (int site = 0; site < 32; ++site) sim.Set_Current_Site(site);
  EXPECT_EQ(sim.m_History_Top, 31);
  sim.Set_Current_Site(31);
  EXPECT_EQ(sim.m_History_Top, 31) << "an arrival at the newest site adds nothing";
  sim.Set_Current_Site(32);
  EXPECT_EQ(sim.m_History_Top, 31);
  EXPECT_EQ(sim.m_History[0], 1) << "the oldest fell out";
  EXPECT_EQ(sim.m_History[31], 32);
  sim.Set_Current_Site(5);
  sim.Set_Current_Site(6);
  sim.Set_Current_Site(5);
  EXPECT_EQ(sim.m_History[29], 5);
  EXPECT_EQ(sim.m_History[30], 6);
  EXPECT_EQ(sim.m_History[31], 5) << "a site may come back after another";
}

TEST(WarRoomHistory, PopsNewestFirstAndAnswersMinusOneWhenEmpty) {
  CWarRoom_Sim sim;
  Place_Line(sim, 4);
  EXPECT_EQ(sim.Pop_History(), -1);
  sim.Set_Current_Site(2);
  EXPECT_EQ(sim.Pop_History(), 2);
  EXPECT_EQ(sim.m_History_Top, -1);
  EXPECT_EQ(sim.Pop_History(), -1);

  sim.Set_Current_Site(0);
  sim.Set_Current_Site(1);
  sim.Set_Current_Site(3);
  // The newest entry is the current site: two pops give the site visited before it.
  sim.Pop_History();
  EXPECT_EQ(sim.Pop_History(), 1);
  sim.Set_Current_Site(1);
  EXPECT_EQ(sim.m_History_Top, 1) << "the site flown back to is the newest entry again";
  EXPECT_EQ(sim.m_History[0], 0);
  EXPECT_EQ(sim.m_History[1], 1);
}

TEST(WarRoomTravel, TargetMinusOneKeepsTheRouteAndTravelTimeIsZero) {
  CWarRoom_Sim sim;
  Place_Line(sim, 5);
  sim.Set_Current_Site(0);
  sim.Set_Target_Site(3);
  ASSERT_EQ(sim.m_Route_Count, 4);
  EXPECT_NEAR(sim.m_Route_Length, 0.06f, 1e-6f);
  EXPECT_NEAR(sim.Get_Travel_Time(), 0.06f * 30.0f + 4.5f, 1e-5f);
  sim.Set_Target_Site(-1);
  EXPECT_EQ(sim.m_Route_Count, 4);
  EXPECT_EQ(sim.m_Route[3], 3);
  EXPECT_NEAR(sim.m_Route_Length, 0.06f, 1e-6f);
  EXPECT_EQ(sim.Get_Travel_Time(), 0.0f);
}

TEST(WarRoomTravel, ArrivalRecomputesTheRouteAndUnlinkedSitesFlyDirect) {
  CWarRoom_Sim sim;
  Place_Sites(sim, {{0.0f, 0.0f}, {0.3f, 0.0f}, {0.6f, 0.0f}, {0.0f, 0.4f}});
  Link_All(sim, {{0, 1}, {1, 2}});
  sim.Set_Current_Site(0);
  sim.Set_Target_Site(2);
  EXPECT_EQ(sim.m_Route_Count, 3);
  sim.Set_Current_Site(1);
  EXPECT_EQ(sim.m_Route_Count, 2) << "the route starts again from the new site";
  EXPECT_EQ(sim.m_Route[0], 1);
  sim.Set_Current_Site(3);
  ASSERT_EQ(sim.m_Route_Count, 2);
  EXPECT_EQ(sim.m_Route[0], 3);
  EXPECT_EQ(sim.m_Route[1], 2);
  EXPECT_NEAR(sim.m_Route_Length, std::hypot(0.6f, 0.4f), 1e-6f);
}

TEST(WarRoomRoute, EqualCostsExpandTheLowerSiteIndexFirst) {
  // A diamond: both ways from the start to the goal are equally long.
  struct Case {
    int start, upper, lower, goal;
  };
  const Case cases[] = {{0, 1, 2, 3}, {0, 2, 1, 3}, {3, 1, 2, 0}};
  for (const Case& c : cases) {
    CWarRoom_Sim sim;
    Place_Sites(sim, {{0, 0}, {0, 0}, {0, 0}, {0, 0}});
    const Test_Site at[4] = {{0.1f, 0.5f}, {0.5f, 0.8f}, {0.5f, 0.2f}, {0.9f, 0.5f}};
    const int roles[4] = {c.start, c.upper, c.lower, c.goal};
    for (int r = 0; r < 4; ++r) {
      sim.m_Sites[roles[r]].x = at[r].x;
      sim.m_Sites[roles[r]].y = at[r].y;
    }
    Link_All(sim, {{c.start, c.upper}, {c.start, c.lower}, {c.upper, c.goal}, {c.lower, c.goal}});
    int count = 0;
    int32_t sites[CWarRoom_Sim::kSite_Count] = {};
    float length = 0.0f;
    ASSERT_TRUE(sim.Find_Route(c.start, c.goal, count, sites, length));
    ASSERT_EQ(count, 3);
    EXPECT_EQ(sites[0], c.start);
    EXPECT_EQ(sites[1], 1) << "through the lower index of the two middle sites";
    EXPECT_EQ(sites[2], c.goal);
  }
}

TEST(WarRoomRoute, TakesTheShorterWayAndFailsBetweenUnconnectedSites) {
  CWarRoom_Sim sim;
  Place_Sites(sim, {{0.0f, 0.0f}, {0.5f, 0.6f}, {1.0f, 0.0f}, {0.5f, 0.1f}, {0.2f, 0.9f}});
  Link_All(sim, {{0, 1}, {1, 2}, {0, 3}, {3, 2}});
  int count = 0;
  int32_t sites[CWarRoom_Sim::kSite_Count] = {};
  float length = 0.0f;
  ASSERT_TRUE(sim.Find_Route(0, 2, count, sites, length));
  EXPECT_EQ(std::vector<int>(sites, sites + count), (std::vector<int>{0, 3, 2}));
  EXPECT_NEAR(length, 2.0f * std::hypot(0.5f, 0.1f), 1e-5f);
  EXPECT_FALSE(sim.Find_Route(0, 4, count, sites, length));
  EXPECT_FALSE(sim.Find_Route(0, -1, count, sites, length));
  EXPECT_FALSE(sim.Find_Route(0, 47, count, sites, length)) << "a record not in use";
  ASSERT_TRUE(sim.Find_Route(1, 1, count, sites, length));
  EXPECT_EQ(count, 1);
}

TEST(WarRoomRoute, ARouteThroughAll48SitesFitsTheRecord) {
  CWarRoom_Sim sim;
  Place_Line(sim, CWarRoom_Sim::kSite_Count);
  int count = 0;
  int32_t sites[CWarRoom_Sim::kSite_Count] = {};
  float length = 0.0f;
  ASSERT_TRUE(sim.Find_Route(0, 47, count, sites, length));
  EXPECT_EQ(count, 48);
  EXPECT_EQ(sites[47], 47);
  sim.Set_Current_Site(47);
  sim.Set_Target_Site(0);
  EXPECT_EQ(sim.m_Route_Count, 48);
  EXPECT_EQ(sim.m_Route[47], 0);
}

TEST(WarRoomLinks, ASeventhNeighbourReplacesTheFarthestLinkAndItsBackLink) {
  CWarRoom_Sim sim;
  Place_Sites(sim, {{0.5f, 0.5f}, {0.6f, 0.5f}, {0.4f, 0.5f}, {0.5f, 0.6f}, {0.5f, 0.4f}, {0.9f, 0.9f},
                    {0.6f, 0.6f}, {0.55f, 0.45f}});
  Link_All(sim, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {0, 6}});
  ASSERT_EQ(Links_Of(sim, 0), 6);
  sim.Link_Sites(0, 7);
  EXPECT_EQ(Links(sim, 0), (std::vector<int>{1, 2, 3, 4, 7, 6})) << "site 5 was the farthest";
  EXPECT_EQ(Links_Of(sim, 5), 0);
  EXPECT_EQ(Links(sim, 7), (std::vector<int>{0, -1, -1, -1, -1, -1}));
}

TEST(WarRoomLinks, EditsThatChangeNothingAndBackLinksKeptInStep) {
  CWarRoom_Sim sim;
  Place_Sites(sim, {{0.1f, 0.1f}, {0.2f, 0.1f}, {0.3f, 0.1f}, {0.4f, 0.1f}});
  Link_All(sim, {{0, 1}, {1, 2}, {2, 3}});
  const std::vector<int> before = Links(sim, 1);
  sim.Link_Sites(1, 0);
  sim.Link_Sites(0, 1);
  EXPECT_EQ(Links(sim, 1), before);
  sim.Unlink_Sites(0, 3);
  EXPECT_EQ(Links_Of(sim, 0), 1);
  EXPECT_EQ(Links_Of(sim, 3), 1);
  sim.Unlink_Sites(1, 0);
  EXPECT_EQ(Links(sim, 1), (std::vector<int>{2, -1, -1, -1, -1, -1})) << "later entries move forward";
  EXPECT_EQ(Links_Of(sim, 0), 0);
  sim.Link_Sites(2, 2);
  EXPECT_EQ(Links_Of(sim, 2), 2) << "a site is not linked to itself";
}

TEST(WarRoomLinks, DistanceRuleLinksAtExactlyTheReachAndSkipsTheNextIndex) {
  CWarRoom_Sim sim;
  // 0 and 2 are 0.15 apart exactly; 0 and 1 are close but next to each other in index.
  Place_Sites(sim, {{0.0f, 0.0f}, {0.05f, 0.0f}, {0.15f, 0.0f}, {0.05f, 0.1f}, {0.0f, 0.1501f}, {0.8f, 0.8f}});
  sim.Auto_Link_Sites();
  EXPECT_NE(sim.m_Sites[0].Find_Link(2), -1) << "distance squared 0.0225 is within reach";
  EXPECT_EQ(sim.m_Sites[0].Find_Link(1), -1) << "a and a + 1 are never joined by the rule";
  EXPECT_EQ(sim.m_Sites[0].Find_Link(4), -1) << "just beyond the reach";
  EXPECT_NE(sim.m_Sites[1].Find_Link(3), -1);
  EXPECT_EQ(Links(sim, 4), (std::vector<int>{3, -1, -1, -1, -1, -1})) << "a site without a link: its nearest";
  EXPECT_EQ(Links(sim, 5), (std::vector<int>{3, -1, -1, -1, -1, -1}));
  EXPECT_EQ(Links(sim, 3), (std::vector<int>{0, 1, 4, 5, -1, -1}));
}

TEST(WarRoomLinks, DistanceRuleDoesNotReplaceAShorterLinkOfAFullSite) {
  CWarRoom_Sim sim;
  // Site 0 is full of links shorter than its distance to site 7.
  Place_Sites(sim, {{0.5f, 0.5f}, {0.52f, 0.5f}, {0.48f, 0.5f}, {0.5f, 0.52f}, {0.5f, 0.48f},
                    {0.51f, 0.51f}, {0.49f, 0.49f}, {0.6f, 0.5f}});
  Link_All(sim, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {0, 6}});
  const std::vector<int> before = Links(sim, 0);
  sim.Auto_Link_Sites();
  EXPECT_EQ(Links(sim, 0), before);
  EXPECT_EQ(sim.m_Sites[7].Find_Link(0), -1);
}

TEST(WarRoomQueries, FirstsLastsAndLimits) {
  CWarRoom_Sim sim;
  // Values a float holds exactly, so equal distances are equal.
  Place_Sites(sim, {{0.5f, 0.5f}, {0.625f, 0.5f}, {0.375f, 0.5f}, {0.5f, 0.75f}, {0.5f, 0.25f}});
  float d2 = 0.0f;
  EXPECT_EQ(sim.Find_Next_Site_Within({0.5f, 0.5f}, 0.015625f, d2, -1), 0);
  EXPECT_EQ(sim.Find_Next_Site_Within({0.5f, 0.5f}, 0.015625f, d2, 0), 1) << "the limit is included";
  EXPECT_EQ(d2, 0.015625f);
  EXPECT_EQ(sim.Find_Next_Site_Within({0.5f, 0.5f}, 0.015625f, d2, 2), -1);
  EXPECT_EQ(sim.Find_Next_Site_Within({0.5f, 0.5f}, 100.0f, d2, 47), -1);
  EXPECT_EQ(sim.Find_Farthest_Site({0.5f, 0.5f}, d2), 3) << "the first of equals";
  EXPECT_EQ(d2, 0.0625f);
  EXPECT_EQ(sim.Find_Nearest_Other_Site(0, d2), 2) << "the last of equals";
  Place_Sites(sim, {{0.5f, 0.5f}});
  EXPECT_EQ(sim.Find_Farthest_Site({0.5f, 0.5f}, d2), -1);
  EXPECT_EQ(d2, 0.0f);
  EXPECT_EQ(sim.Find_Farthest_Link(0, d2), -1);
}

TEST(WarRoomTimers, InfectionGrowsShieldsReturnAndTheTimeRemainingFalls) {
  struct Case {
    float difficulty;
    float want_shield_step;
  };
  const Case cases[] = {{1.0f, 0.004f}, {2.0f, 0.001f}, {0.5f, 0.016f}, {0.0f, 4.0f}};
  for (const Case& c : cases) {
    CWarRoom_Sim sim;
    Place_Line(sim, 3);
    g_Difficulty_Factor = c.difficulty;
    sim.m_Farthest_Distance = 0.5f;
    sim.m_Infection_Radius = 0.1f;
    sim.m_Growth_Rate = 0.002f;
    sim.m_Shield_Level = 0.0f;
    const float before = sim.Get_Time_Remaining();
    sim.Update_Timers(1.0f);
    EXPECT_NEAR(sim.m_Infection_Radius, 0.1f + 0.2f * 0.002f, 1e-7f);
    EXPECT_NEAR(before - sim.Get_Time_Remaining(), 0.2f, 1e-3f);
    EXPECT_NEAR(sim.m_Shield_Level, std::min(c.want_shield_step, 1.0f), 1e-6f) << c.difficulty;
  }
  g_Difficulty_Factor = 1.0f;
}

TEST(WarRoomTimers, TimeRemainingFloorsAndNeverDividesByZero) {
  CWarRoom_Sim sim;
  sim.m_Farthest_Distance = 0.5f;
  sim.m_Infection_Radius = 0.6f;
  sim.m_Growth_Rate = 0.0f;
  EXPECT_TRUE(std::isfinite(sim.Get_Time_Remaining()));
  EXPECT_LT(sim.Get_Time_Remaining(), 0.0f);
  sim.m_Disinfection_Mode = true;
  EXPECT_EQ(sim.Get_Time_Remaining(), 1.0f);
  sim.m_Infection_Radius = 0.0f;
  sim.m_Growth_Rate = 0.01f;
  EXPECT_NEAR(sim.Get_Time_Remaining(), 50.0f, 1e-3f);
}

TEST(WarRoomMission, AllClearOnlyWhenNoSiteInUseIsInfected) {
  CWarRoom_Sim sim;
  Place_Line(sim, 3);
  EXPECT_TRUE(sim.Is_All_Clear());
  sim.m_Sites[1].flags |= CWarRoom_Site::kInfected;
  EXPECT_FALSE(sim.Is_All_Clear());
  sim.m_Sites[1].flags &= ~CWarRoom_Site::kInfected;
  sim.m_Sites[5].flags = CWarRoom_Site::kInfected;  // beyond the first record not in use
  EXPECT_TRUE(sim.Is_All_Clear());
}

TEST(WarRoomMission, SimulationPicksStayInTheirLists) {
  EXPECT_EQ(Build_Site_Sim_List().size(), 22u);
  EXPECT_EQ(Build_Source_Sim_List().size(), 5u);
  EXPECT_EQ(Build_Site_Sim_List()[6].track_id, 0x220001a2u);
  EXPECT_EQ(Build_Source_Sim_List()[4].music_id, 0x22000180u);
  plat::Seed_Random(7);
  for (int i = 0; i < 2000; ++i) {
    const int site = Pick_Site_Sim();
    const int source = Pick_Source_Sim();
    ASSERT_GE(site, 0);
    ASSERT_LT(site, 22);
    ASSERT_GE(source, 0);
    ASSERT_LT(source, 5);
  }
}

TEST(WarRoomMission, RegionNamesOfMessages) {
  struct Case {
    const char* name;
    int id;
  };
  const Case cases[] = {{"North America", 1}, {"indonesia", 2}, {"AFRICA", 3},     {"Australia", 4},
                        {"Europe", 5},        {"Far East", 6},  {"Mediterranean", 7}, {"america", 8},
                        {"Central Asia", 0},  {"United States of America", 0}, {"", 0}, {nullptr, 0}};
  for (const Case& c : cases) EXPECT_EQ(CWarRoom_Sim::Get_Region_Id(c.name), c.id) << (c.name ? c.name : "null");
}

TEST(WarRoomMission, InitOutsideTheRegionsShowsItsMessageAndStaysOff) {
  std::vector<std::string> shown;
  plat::Set_Message_Recorder([&](const std::string&, const std::string& text) { shown.push_back(text); });
  for (const int region : {0, 9, -1}) {
    CWarRoom_Sim sim;
    shown.clear();
    EXPECT_FALSE(sim.Init(region));
    EXPECT_FALSE(sim.m_Initialised);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "CWarRoom_Sim::Init failed to setup region data (" + std::to_string(region) + ")");
  }
  plat::Set_Message_Recorder(nullptr);
}

TEST(WarRoomMission, ClearRegionEndsTheMission) {
  CWarRoom_Sim sim;
  ASSERT_TRUE(sim.Init(3));
  sim.Clear_Region();
  EXPECT_FALSE(sim.m_Initialised);
  EXPECT_EQ(sim.m_Region_Id, -1);
  EXPECT_TRUE(sim.m_Region_Name.empty());
  EXPECT_EQ(sim.m_Infected_Site, -1);
  EXPECT_EQ(sim.m_Infection_Radius, 0.0f);
  EXPECT_EQ(sim.Site_Count(), 0);
}

}  // namespace
