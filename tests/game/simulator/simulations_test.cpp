#include <cstring>
#include <set>

#include "game/core/CGame_State.h"
#include "game/player/CPlayer_Weapon_Gun_Lightning_0.h"
#include "game/trainer/Sim_Table.h"
#include "tests/game/simulator/simulator_fixture.h"

namespace {

class Simulations : public SimulatorScreen {
 protected:
  // Selects the row and presses "Run Simulation"; the launch sequence started, or null.
  static const CSequence* Run_Row(int row) {
    g_Modal_Dlg.Term();
    g_Sequence_Mgr.Clear();
    List(1)->Select_Row(row);
    screen().Run_Selected_Simulation();
    return Last_Sequence();
  }
};

TEST_F(Simulations, ThePageListsEveryRowAndShowsRowSevensNames) {
  Open(1);
  CMenuItem_List* list = List(1);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->Row_Count(), 24);
  EXPECT_EQ(list->m_Rows[0].text, "RANDOM SIMULATION");
  EXPECT_EQ(list->m_Rows[7].text, "Dance with Me (Original Mix)");
  list->Select_Row(7);
  const std::string description = Text(3);
  EXPECT_EQ(description.rfind("Dance with Me", 0), 0u) << description;
  EXPECT_EQ(description.find("Dance with Me (Original Mix)"), std::string::npos) << description;
  EXPECT_EQ(account().m_Header[CClient_Data::kHeader_Selected_Sim_Row], 7u);
}

TEST_F(Simulations, AtLevelZeroOnlyTheFirstThreeLaunchAndTheRestAreDenied) {
  Open(1);
  account().m_Access_Level = 0;
  for (int row = 1; row < 24; ++row) {
    const CSequence* sequence = Run_Row(row);
    if (row <= 3) {
      EXPECT_NE(sequence, nullptr) << row;
      EXPECT_FALSE(g_Modal_Dlg.Is_Open()) << row;
    } else {
      EXPECT_EQ(sequence, nullptr) << row;
      EXPECT_EQ(Dialog_Line(0), "Access Denied") << row;
      EXPECT_EQ(Dialog_Line(1), "You do not have the proper access level to launch") << row;
      EXPECT_EQ(Dialog_Line(2), "this simulation") << row;
    }
  }
  account().m_Access_Level = 1;
  for (int row = 1; row < 24; ++row) EXPECT_NE(Run_Row(row), nullptr) << "level 1 launches row " << row;
}

TEST_F(Simulations, TheRandomEntryPicksOnlyAmongWhatTheLevelMayLaunch) {
  Open(1);
  account().m_Access_Level = 0;
  const std::set<int32_t> allowed = {int32_t(g_Sim_Table[1].Track_Id), int32_t(g_Sim_Table[2].Track_Id),
                                     int32_t(g_Sim_Table[3].Track_Id)};
  std::set<int32_t> picked;
  plat::Seed_Random(3);
  for (int draw = 0; draw < 60; ++draw) {
    const CSequence* sequence = Run_Row(0);
    ASSERT_NE(sequence, nullptr) << draw;
    EXPECT_FALSE(g_Modal_Dlg.Is_Open()) << "the random entry never gives Access Denied";
    picked.insert(sequence->values[2]);
  }
  EXPECT_EQ(picked, allowed) << "every allowed simulation is drawn, no other";
}

TEST_F(Simulations, TheLaunchStartsSequenceSixWithTheRowsValuesAndCountsThePacing) {
  Open(1);
  account().m_Access_Level = 1;
  account().m_Pacing = 4;
  Record_Sounds();
  const CSequence* sequence = Run_Row(9);
  ASSERT_NE(sequence, nullptr);
  const Sim_Entry& row = g_Sim_Table[9];
  EXPECT_EQ(sequence->kind, 6);
  EXPECT_EQ(sequence->values[0], 7);
  EXPECT_EQ(sequence->values[1], row.Environment);
  EXPECT_EQ(sequence->values[2], int32_t(row.Track_Id));
  EXPECT_EQ(sequence->values[3], int32_t(row.Music_Id));
  EXPECT_EQ(account().m_Pacing, 5u);
  EXPECT_EQ(sounds->Count(true, 0x220000e0), 1);
  EXPECT_NEAR(sounds->Volume_Of(0x220000e0), g_Game_State.SoundFX_Volume * 0.925f, 1e-5f)
      << "the effect volume times 0.925, once";
}

TEST_F(Simulations, TheWideSearchIsSetForTheThirdRunOnly) {
  Open(1);
  for (uint32_t runs : {0u, 1u, 2u, 3u, 7u}) {
    account().m_Runs_Finished = runs;
    g_Gun_Lightning.m_Wide_Search = runs == 2 ? 0 : 1;
    ASSERT_NE(Run_Row(1), nullptr);
    EXPECT_EQ(g_Gun_Lightning.m_Wide_Search, runs == 2 ? 1 : 0) << runs;
  }
  g_Gun_Lightning.m_Wide_Search = 0;
}

TEST_F(Simulations, RecordsShowTheTopTenAndAnEmptyTableShowsNothing) {
  Open(1);
  CRank_Data& ranks = g_Communications_Mgr.m_Rank_Data;
  const Sim_Entry& row = g_Sim_Table[2];
  const std::string key = std::to_string(row.Track_Id);
  ranks.Insert_Score(key.c_str(), "pilot", 4000000000u, 0, true);
  List(1)->Select_Row(2);
  CMenuItem_List* records = List(4);
  ASSERT_NE(records, nullptr);
  ASSERT_EQ(records->Row_Count(), 10);
  EXPECT_EQ(records->m_Rows[0].columns[0], "1. pilot");
  EXPECT_EQ(records->m_Rows[0].columns[1], "4,000,000,000");
  EXPECT_EQ(Text(6), "4,000,000,000") << "the user's best";

  Rank_Table* table = ranks.Find_Table(std::to_string(g_Sim_Table[3].Track_Id).c_str());
  ASSERT_NE(table, nullptr);
  ranks.m_Tables.erase(ranks.m_Tables.begin() + (table - ranks.m_Tables.data()));
  List(1)->Select_Row(3);
  EXPECT_EQ(records->Row_Count(), 0);
  EXPECT_EQ(Text(6), "") << "no records, no personal best";
}

TEST_F(Simulations, WithNoAccountLoadedTheLaunchChangesNoAccount) {
  Open(1);
  account().m_Pacing = 2;
  ASSERT_TRUE(account().Save());
  account().Clear();
  ASSERT_NE(Run_Row(1), nullptr);
  EXPECT_FALSE(account().m_Loaded);
  EXPECT_EQ(Saved_Account().m_Pacing, 2u);
}

}  // namespace
