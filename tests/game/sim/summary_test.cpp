// The statistics summary: its rows and place texts, the credits, the access-level rules, and
// the end of a run through the score table and the account.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/menu/CModal_Dlg.h"
#include "game/sim/CMusic_Track.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/files.h"
#include "platform/system/random.h"
#include "tests/game/sim/scoring_fixture.h"

namespace scoring_test {
namespace {

// Each test keeps the stores it writes in a working folder of its own.
class Summary_Test : public Scoring_Test {
 protected:
  void SetUp() override {
    Scoring_Test::SetUp();
    m_Old_Dir = std::filesystem::current_path();
    char folder[] = "/tmp/vt_summary_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    m_Work_Dir = folder;
    std::filesystem::current_path(m_Work_Dir);
    Forget_Stores();
  }
  void TearDown() override {
    Forget_Stores();
    std::filesystem::current_path(m_Old_Dir);
    std::error_code ignored;
    std::filesystem::remove_all(m_Work_Dir, ignored);
    g_WarRoom_Sim.m_Initialised = false;
    g_Music_Track.m_Sim_Key.clear();
    g_Music_Track.m_User_Name.clear();
    g_Music_Track.m_Access_Level = 0;
    g_Music_Track.m_Ended = false;
    g_Modal_Dlg.Term();
    Scoring_Test::TearDown();
  }
  static void Forget_Stores() {
    // The stores live in files of the working folder: an empty score file stands for tables
    // that were never saved (a missing one would bring the generated default tables).
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::current_path(), ignored))
      std::filesystem::remove_all(entry.path(), ignored);
    const uint8_t no_tables[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    plat::Replace_File_Atomically("rdata.dat", no_tables, sizeof no_tables);
    g_Communications_Mgr.m_Client_Data.Clear();
    g_Communications_Mgr.m_Rank_Data.Clear();
    g_Communications_Mgr.m_Queue.clear();
  }
  std::filesystem::path m_Old_Dir, m_Work_Dir;

  // The saved account of a user, read back as the next load would.
  static CClient_Data Saved_Account(const char* user) {
    CClient_Data record;
    record.Load(user);
    return record;
  }
};

TEST_F(Summary_Test, TheRowsShowTheRunsFigures) {
  g_Sim_Stats.m_Shots = 4;
  g_Sim_Stats.m_Hits = 6;  // more hits than shots: several hits by one shot
  g_Sim_Stats.m_Launches = 4;
  g_Sim_Stats.m_Rounds = 3;
  g_Sim_Stats.m_Perfect_Rounds = 1;
  Board().m_Total_Score = 1234567;
  Board().m_Best_Multiplier = 150;
  Board().m_Bonus_Count = 12;
  Board().m_Best_Linked_Total = 45000;
  Board().m_Longest_Link = 7;
  const std::vector<CSummary_Row> rows = CMusic_Track::Build_Summary_Rows(2, "Kestrel", "", 3456);
  const std::vector<std::pair<std::string, std::string>> want = {
      {"Score:", "1,234,567"},
      {"Shot Count:", "4"},
      {"Accuracy:", "100 %"},
      {"Hit Count:", "6"},
      {"Percent Cleared:", "150 %"},
      {"Max Multiplier:", "2.5 x "},
      {"Bonus Count:", "12"},
      {"Max Linked Point Total:", "45,000"},
      {"Longest Link Count:", "7"},
      {"Clean Sections:", "1 out of 3"},
      {"Rank:", "3rd (ousted: Kestrel)"},
      {"Ratings", ""},
      {"Reaction Speed Rating:", "0.0"},
      {"Aptitude Rating:", CMusic_Track::Build_Summary_Rows(2, "", "", 0)[13].value},
      {"Aggression Rating:", "1140.0"},
      {"Credits Awarded:", "3,456"},
  };
  ASSERT_EQ(rows.size(), want.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].label, want[i].first) << i;
    EXPECT_EQ(rows[i].value, want[i].second) << i;
  }
  EXPECT_EQ(rows[10].label_colour, 0xddffff88u);
  EXPECT_EQ(rows[10].value_colour, 0xdd44ff66u);
  EXPECT_EQ(rows[15].value_colour, 0xdd44ff66u);
  EXPECT_EQ(rows[11].label_colour, 0xbbff66ffu);
  EXPECT_EQ(rows[0].label_colour, 0xbbffff66u);
  EXPECT_EQ(rows[0].value_colour, 0xbb22ff44u);
  EXPECT_EQ(rows[10].row_step, 10);
  EXPECT_EQ(rows[11].row_step, 12) << "the ratings follow one blank row";
  EXPECT_EQ(rows[14].row_step, 15);
  EXPECT_EQ(rows[15].row_step, 12) << "the credits stand beside the ratings heading";
  EXPECT_TRUE(rows[15].right_half) << "in the right half, inside the dialog";
  EXPECT_FALSE(rows[14].right_half);
}

TEST_F(Summary_Test, NoShotsIsNoughtPercentAccuracy) {
  g_Sim_Stats.m_Hits = 0;
  g_Sim_Stats.m_Shots = 0;
  const std::vector<CSummary_Row> rows = CMusic_Track::Build_Summary_Rows(-1, "", "", 0);
  EXPECT_EQ(rows[2].value, "0 %");
  EXPECT_EQ(rows[4].value, "0 %");
  EXPECT_EQ(rows[5].value, "1 x ");
}

TEST_F(Summary_Test, PlaceTexts) {
  const std::string long_name = "ABCDEFGHIJKLMNOPQRSTUVW";  // 23 characters
  const struct {
    int place;
    const char* ousted;
    const char* to_beat;
    std::string want;
  } cases[] = {
      {0, "", "", "1st"},
      {1, "Vex", "", "2nd (ousted: Vex)"},
      {10, "", "", "11th"},
      {20, "", "", "21st"},
      {22, "", "", "23rd"},
      {49, "", "", "50th"},
      {-1, "", "Zed", "Not Recorded (you failed to beat 50th ranked Zed)"},
      {-1, "", "", "Not Recorded (you failed to beat the 50th ranked score)"},
      {-1, "", long_name.c_str(), "Not Recorded (you failed to beat 50th ranked " + long_name + ")"},
      {49, long_name.c_str(), "", "50th (ousted: " + long_name + ")"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CMusic_Track::Format_Place_Text(c.place, c.ousted, c.to_beat), c.want) << c.place;
}

TEST_F(Summary_Test, CreditsUnderASeededGenerator) {
  // Seed 1 draws 41 first: r = 41 / 32768.
  const struct {
    int place;
    uint32_t level, total, want;
  } cases[] = {
      {0, 0, 0, 282},                // s = 0.275, p1 = 2, p2 = 1, a = 1
      {0, 99, 0, 2822},              // a = 10
      {0, 5000, 0, 2822},            // a stays 10
      {2, 3, 1000000, 2612},         // every factor in between
      {49, 0, 0, 250},               // raised to the least award
      {0, 99, 0xFFFFFFFFu, 12352},   // capped
      {-1, 99, 1000000, 0},          // not placed
      {50, 99, 1000000, 0},          // beyond the table
  };
  for (const auto& c : cases) {
    plat::Seed_Random(1);
    Board().m_Total_Score = c.total;
    EXPECT_EQ(Calc_Credits_Award(c.place, c.level), c.want) << c.place << " " << c.level;
  }
}

TEST_F(Summary_Test, AccessLevelRules) {
  struct Case {
    bool war_room, success;
    uint32_t level, runs, won, want_level;
  };
  const Case cases[] = {
      {false, false, 0, 3, 0, 1},  // the third training run
      {false, false, 0, 2, 0, 0},  {false, false, 0, 4, 0, 0},
      {true, false, 0, 3, 0, 0},   // not while a campaign is under way
      {false, false, 1, 3, 0, 1},  // later runs never raise it
      {true, true, 1, 0, 0, 2},    // 1 = 0 + 1
      {true, true, 2, 0, 2, 3},    // 3 = 2 + 1
      {true, true, 3, 0, 5, 4},    // 6 = 5 + 1
      {true, true, 2, 0, 1, 2},    {true, true, 3, 0, 4, 3},
      {false, true, 1, 0, 0, 1},   // no campaign
      {true, true, 0, 0, 0, 0},    // level 0 is raised by runs only
  };
  for (const Case& c : cases) {
    Forget_Stores();
    g_WarRoom_Sim.m_Initialised = c.war_room;
    g_Music_Track.m_User_Name = "Ann";
    CClient_Data& account = g_Communications_Mgr.m_Client_Data;
    account.Load("Ann");
    account.m_Access_Level = c.level;
    account.m_Runs_Finished = c.runs;
    account.m_Missions_Won = c.won;
    account.Save();
    account.Clear();
    g_Music_Track.Update_Access_Level(c.success);
    EXPECT_FALSE(account.m_Loaded) << "a record loaded for the step is cleared again";
    EXPECT_EQ(Saved_Account("Ann").m_Access_Level, c.want_level) << c.level << " " << c.runs << " " << c.won;
    const bool raised = c.want_level != c.level;
    ASSERT_EQ(g_Communications_Mgr.m_Queue.size(), raised ? 1u : 0u) << c.level;
    if (raised) {
      EXPECT_EQ(g_Communications_Mgr.m_Queue[0].kind, 8u);
      EXPECT_EQ(g_Communications_Mgr.m_Queue[0].key, c.want_level);
    }
  }
}

TEST_F(Summary_Test, TheEndOfARunEntersTheScoreAndCountsTheRun) {
  g_Music_Track.m_Sim_Key = "1234";
  g_Music_Track.m_User_Name = "Ann";
  Board().m_Pending_Points = 5000;
  for (int run = 1; run <= 3; ++run) {
    g_Communications_Mgr.m_Queue.clear();
    Board().m_Total_Score = 0;
    Board().m_Pending_Points = 5000u + run;
    g_Music_Track.Show_Statistics();
    EXPECT_TRUE(g_Music_Track.m_Ended);
    EXPECT_EQ(Board().m_Total_Score, 5000u + run) << "the last points are committed";
    EXPECT_FALSE(g_Communications_Mgr.m_Rank_Data.m_Loaded) << "tables loaded for the step are cleared";
    CRank_Data tables;
    tables.Load();
    const Rank_Entry* first = tables.Get_Entry("1234", 0);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->Name, "Ann");
    EXPECT_EQ(first->Score, 5000u + run) << "the best run is first";
    const CClient_Data account = Saved_Account("Ann");
    EXPECT_EQ(account.m_Runs_Finished, static_cast<uint32_t>(run));
    EXPECT_GE(account.m_Credits, 250u * run);
    EXPECT_EQ(account.m_Access_Level, run >= 3 ? 1u : 0u);
  }
  EXPECT_EQ(g_Communications_Mgr.m_Queue.back().kind, 8u) << "the promotion is posted";
}

TEST_F(Summary_Test, WithoutAKeyNothingIsRecordedAndNoCreditsAreGiven) {
  g_Music_Track.m_User_Name = "Ann";
  Board().m_Pending_Points = 700;
  g_Music_Track.Show_Statistics();
  CRank_Data tables;
  tables.Load();
  EXPECT_TRUE(tables.m_Tables.empty());
  const CClient_Data account = Saved_Account("Ann");
  EXPECT_EQ(account.m_Credits, 0u);
  EXPECT_EQ(account.m_Runs_Finished, 1u) << "the run still counts";
}

TEST_F(Summary_Test, CreditsSaturateInTheAccount) {
  g_Music_Track.m_Sim_Key = "77";
  g_Music_Track.m_User_Name = "";
  CClient_Data& account = g_Communications_Mgr.m_Client_Data;
  account.Load(nullptr);
  account.m_Credits = 0xFFFFFF00u;
  account.Save();
  account.Clear();
  Board().m_Pending_Points = 100;
  g_Music_Track.Show_Statistics();
  EXPECT_EQ(Saved_Account("default").m_Credits, 0xFFFFFFFFu) << "an empty user name is the account default";
}

}  // namespace
}  // namespace scoring_test
