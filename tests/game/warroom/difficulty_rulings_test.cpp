#include <gtest/gtest.h>

#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"

namespace {

class DifficultyRulings : public ::testing::Test {
 protected:
  void SetUp() override {
    g_Screen_FX_Mgr.Init();
    g_Score_Board_Mgr.Init();
  }
  void TearDown() override {
    g_Screen_FX_Mgr.Term();
    g_Score_Board_Mgr.Term();
    g_Difficulty_Factor = 1.0f;
    g_WarRoom_Sim.m_Shield_Level = 1.0f;
  }
  // The score a hit salvages from 1000 open points.
  static uint32_t Score_After_Hit(float difficulty) {
    g_Difficulty_Factor = difficulty;
    g_Score_Board_Mgr.Init();
    g_Score_Board_Mgr.m_Total_Score = 0;
    g_Score_Board_Mgr.m_Pending_Points = 1000;
    Hit_Player(0.1f, true);
    return g_Score_Board_Mgr.m_Total_Score;
  }
};

TEST_F(DifficultyRulings, HitsTakeShieldsByDifficultyAndKeepMoreFlushedPointsWhenEasy) {
  struct Case {
    float difficulty;
    float strength;
    float want_shield;
    int want_kept_per_mille;  // of the flushed points
  };
  const Case cases[] = {{1.0f, 0.5f, 0.9f, 250},  {0.5f, 0.5f, 0.95f, 625}, {1.5f, 0.5f, 0.85f, 250},
                        {0.8f, 1.0f, 0.84f, 430}, {0.0f, 1.0f, 1.0f, 750},  {2.0f, 2.0f, 0.6f, 250}};
  for (const Case& c : cases) {
    g_Difficulty_Factor = c.difficulty;
    g_WarRoom_Sim.m_Shield_Level = 1.0f;
    Hit_Player(c.strength, true);
    EXPECT_NEAR(g_WarRoom_Sim.m_Shield_Level, c.want_shield, 1e-5f) << c.difficulty;
    EXPECT_NEAR(static_cast<int>(Score_After_Hit(c.difficulty)), c.want_kept_per_mille, 1) << c.difficulty;
  }
}

TEST_F(DifficultyRulings, TheTimeScaleIsTheModesOutsideASiteSimulation) {
  g_Difficulty_Factor = 1.7f;
  g_WarRoom_Sim.m_Initialised = true;
  const float with_mission = g_Game.Current_Time_Scale();
  g_WarRoom_Sim.m_Initialised = false;
  EXPECT_EQ(with_mission, g_Game.Current_Time_Scale()) << "no track runs: the difficulty does not apply";
}

}  // namespace
