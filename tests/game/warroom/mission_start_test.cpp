#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "game/trainer/CClient_Data.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"

namespace {

struct Account_Case {
  uint8_t results[5];  // newest first, 255 empty
  uint32_t flown;
  float want_difficulty;
  float want_k;     // factor of the starting time
  float want_hint;  // share of the starting time; 0 no hint
};

const Account_Case kAccounts[] = {
    {{255, 255, 255, 255, 255}, 0, 1.0f - 0.667f * 0.35f * 0.75f, 1.25f * std::sqrt(1.0f / 0.8249125f), 0.5f / 0.8249125f},
    {{1, 0, 1, 1, 1}, 5, 1.0f + (0.8f - 0.667f) * 0.75f, 1.25f, 0.0f},
    {{1, 1, 255, 255, 255}, 0, 1.0f + (1.0f - 0.667f) * 0.4f * 0.75f, 1.25f, 0.5f / 1.0999f},
    {{0, 0, 1, 255, 255}, 3, 1.0f + (1.0f / 3.0f - 0.667f) * 0.6f * 0.75f, 1.25f * std::sqrt(1.0f / 0.84985f),
     0.5f / 0.84985f},
    {{0, 0, 0, 0, 0}, 5, 1.0f - 0.667f * 0.75f, 1.25f * std::sqrt(2.0f), 0.85f},
    {{1, 1, 0, 0, 0}, 9, 1.0f + (0.4f - 0.667f) * 0.75f, 1.25f * std::sqrt(1.0f / 0.79975f), 0.5f / 0.79975f},
};

class MissionStart : public ::testing::Test {
 protected:
  void TearDown() override {
    g_Communications_Mgr.m_Client_Data.Clear();
    g_Difficulty_Factor = 1.0f;
  }
};

TEST_F(MissionStart, DifficultyStartingTimeAndHintFollowTheAccount) {
  for (const Account_Case& c : kAccounts) {
    g_Communications_Mgr.m_Client_Data.Clear();
    std::copy(std::begin(c.results), std::end(c.results), g_Communications_Mgr.m_Client_Data.m_Results);
    g_Communications_Mgr.m_Client_Data.m_Missions_Flown = c.flown;
    g_Communications_Mgr.m_Client_Data.m_Loaded = true;
    for (const unsigned seed : {1u, 77u, 4242u}) {
      CWarRoom_Sim sim;
      plat::Seed_Random(seed);
      // One draw per site of the region (their simulations), then the source.
      for (int i = 0; i < 34; ++i) plat::Random();
      const int want_source = static_cast<int>(34LL * plat::Random() / 32768);
      plat::Seed_Random(seed);
      ASSERT_TRUE(sim.Init(1));
      EXPECT_TRUE(sim.m_Initialised);
      ASSERT_EQ(sim.m_Infected_Site, want_source);
      const CWarRoom_Site& source = sim.m_Sites[want_source];
      EXPECT_EQ(source.flags & CWarRoom_Site::kSource, CWarRoom_Site::kSource);
      EXPECT_LT(source.simulation_choice, 5);
      EXPECT_NEAR(g_Difficulty_Factor, c.want_difficulty, 1e-4f);

      // The shuttle starts at the site farthest from the source.
      int start = -1;
      float farthest = 0.0f;
      for (int i = 0; i < 34; ++i) {
        const float d = std::hypot(sim.m_Sites[i].x - source.x, sim.m_Sites[i].y - source.y);
        if (d > farthest) {
          farthest = d;
          start = i;
        }
      }
      EXPECT_EQ(sim.m_Current_Site, start);
      EXPECT_EQ(sim.m_History_Top, 0);
      EXPECT_EQ(sim.m_History[0], start);
      EXPECT_NEAR(sim.m_Farthest_Distance, farthest, 1e-5f);
      EXPECT_NEAR(sim.m_Infection_Radius, farthest * c.want_difficulty * 0.4f, 1e-4f);

      int count = 0;
      int32_t route[CWarRoom_Sim::kSite_Count] = {};
      float length = 0.0f;
      ASSERT_TRUE(sim.Find_Route(start, want_source, count, route, length));
      int within = 0;
      for (int i = 0; i < count; ++i) {
        const CWarRoom_Site& s = sim.m_Sites[route[i]];
        if (std::hypot(s.x - source.x, s.y - source.y) <= sim.m_Infection_Radius) ++within;
      }
      EXPECT_GE(within, 1) << "the source itself is within the radius";
      const float time = (length * 30.0f + 4.5f + static_cast<float>(within) * 52.0f) * c.want_k;
      EXPECT_NEAR(sim.Get_Time_Remaining(), time, time * 1e-3f) << seed;
      const float hint = c.want_hint == 0.0f ? 0.0f : std::floor(time * std::clamp(c.want_hint, 0.3f, 0.85f));
      EXPECT_NEAR(static_cast<float>(sim.m_Source_Hint_Time), hint, 1.0f) << seed;
      EXPECT_EQ(sim.m_Shield_Level, 1.0f);
      EXPECT_FALSE(sim.m_Disinfection_Mode);
      EXPECT_FALSE(sim.m_Orders_Announced);
    }
  }
}

TEST_F(MissionStart, AnUnloadedAccountIsReadAndLeftUnloaded) {
  g_Communications_Mgr.m_Client_Data.Clear();
  CWarRoom_Sim sim;
  ASSERT_TRUE(sim.Init(4));
  EXPECT_FALSE(g_Communications_Mgr.m_Client_Data.m_Loaded);
  EXPECT_NEAR(g_Difficulty_Factor, 1.0f - 0.667f * 0.35f * 0.75f, 1e-5f) << "a new account";
}

TEST_F(MissionStart, EveryRegionStartsAMissionAwayFromItsSource) {
  for (int region = 1; region <= CWarRoom_Sim::kRegion_Count; ++region) {
    for (const unsigned seed : {3u, 99u}) {
      plat::Seed_Random(seed);
      CWarRoom_Sim sim;
      ASSERT_TRUE(sim.Init(region));
      EXPECT_NE(sim.m_Current_Site, sim.m_Infected_Site) << region;
      EXPECT_GT(sim.Get_Time_Remaining(), 50.0f) << region;
      EXPECT_EQ(sim.Get_Travel_Time(), 0.0f) << "no target yet";
      EXPECT_EQ(sim.m_Target_Site, -1);
    }
  }
}

}  // namespace
