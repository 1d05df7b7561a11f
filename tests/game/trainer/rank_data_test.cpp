#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CRank_Data.h"
#include "game/trainer/Sim_Table.h"
#include "platform/system/files.h"
#include "tests/game/trainer/trainer_fixture.h"

namespace trainer_test {
namespace {

constexpr uint32_t kScore_Mask = 0x6b1d42c9;

uint32_t Name_Check(uint8_t first) {
  const uint32_t value = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(first)) * 4);
  return static_cast<uint32_t>(__builtin_popcount(value)) ^ 0x4a7c0d2e;
}
uint32_t Score_Check(uint32_t stored) { return static_cast<uint32_t>(__builtin_popcount(stored)) ^ 0x19e6f35a; }

struct Golden_Entry {
  std::string name;
  uint32_t score;
};

// A score file laid out at its offsets: version, count, then 1848-byte tables.
Golden Score_File(const std::vector<std::pair<std::string, std::vector<Golden_Entry>>>& tables) {
  Golden g(8);
  g.U32(0, 1).U32(4, static_cast<uint32_t>(tables.size()));
  for (size_t t = 0; t < tables.size(); ++t) {
    const size_t base = 8 + t * 1848;
    g.Byte(base + 1847, 0);
    g.Text(base, tables[t].first);
    for (int e = 0; e < 50; ++e) {
      const size_t at = base + 48 + e * 36;
      const bool filled = e < static_cast<int>(tables[t].second.size());
      const std::string name = filled ? tables[t].second[e].name : "";
      const uint32_t stored = (filled ? tables[t].second[e].score : 0) ^ kScore_Mask;
      g.Text(at, name);
      g.U32(at + 24, Name_Check(name.empty() ? 0 : static_cast<uint8_t>(name[0])));
      g.U32(at + 28, stored);
      g.U32(at + 32, Score_Check(stored));
    }
  }
  return g;
}

class RankDataTest : public TrainerTest {
 protected:
  CRank_Data& ranks = g_Communications_Mgr.m_Rank_Data;
  // Loads an empty store (a file with no tables) so insertions make their own tables.
  void Load_Empty() {
    ASSERT_TRUE(Write_File("rdata.dat", Score_File({}).Bytes()));
    ASSERT_TRUE(ranks.Load());
  }
};

TEST_F(RankDataTest, NameCheckWordCountsTheBitsOfFourTimesTheFirstCharacterAsASignedByte) {
  EXPECT_EQ(CRank_Data::Name_Check_Word("A") ^ 0x4a7c0d2eu, 2u) << "'A' gives 0x104";
  EXPECT_EQ(CRank_Data::Name_Check_Word("") ^ 0x4a7c0d2eu, 0u);
  EXPECT_EQ(CRank_Data::Name_Check_Word("\xC9") ^ 0x4a7c0d2eu, 26u) << "0xC9 is -55, -220 is 0xFFFFFF24";
}

TEST_F(RankDataTest, GoldenScoresLoadAndSaveBackByteForByte) {
  const Golden golden = Score_File({
      {"570425789", {{"\xC9lise", 900000}, {"Mirelle", 800000}, {"pilot", 800000}, {"Zed", 12}}},
      {"570425756", {{"Corvane", 5}}},
  });
  ASSERT_TRUE(Write_File("rdata.dat", golden.Bytes()));
  ASSERT_TRUE(ranks.Load());
  ASSERT_EQ(ranks.m_Tables.size(), 2u);
  const Rank_Entry* first = ranks.Get_Entry("570425789", 0);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->Name, "\xC9lise");
  EXPECT_EQ(first->Score, 900000u);
  EXPECT_EQ(first->Name_Check, 0u);
  EXPECT_STREQ(ranks.Get_Entry("570425789", 1)->Name, "Mirelle") << "equal scores keep their order";
  EXPECT_STREQ(ranks.Get_Entry("570425789", 2)->Name, "pilot");
  EXPECT_EQ(ranks.Get_Entry("570425789", 4)->Score, 0u);
  ASSERT_TRUE(ranks.Save());
  EXPECT_EQ(Read_File("rdata.dat"), golden.Bytes());
}

TEST_F(RankDataTest, EditedEntriesLoadEmptyAndTheRestMovesUp) {
  Golden golden = Score_File({{"1", {{"Ann", 300}, {"Bob", 200}, {"Cyd", 100}}}});
  const size_t entry0 = 8 + 48, entry1 = entry0 + 36;
  golden.Byte(entry0 + 28, 0x00);    // Ann's stored score edited
  golden.Byte(entry1, 'X');          // Bob's first name character edited
  ASSERT_TRUE(Write_File("rdata.dat", golden.Bytes()));
  ASSERT_TRUE(ranks.Load());
  EXPECT_STREQ(ranks.Get_Entry("1", 0)->Name, "Cyd");
  EXPECT_EQ(ranks.Get_Entry("1", 0)->Score, 100u);
  EXPECT_STREQ(ranks.Get_Entry("1", 1)->Name, "");
  EXPECT_EQ(ranks.Get_Entry("1", 1)->Score, 0u);
}

TEST_F(RankDataTest, MalformedFilesAreKeptAsideAndReplacedByDefaultTables) {
  const std::vector<uint8_t> good = Score_File({{"1", {{"Ann", 300}}}}).Bytes();
  std::vector<uint8_t> short_table(good.begin(), good.end() - 1);
  std::vector<uint8_t> bad_version = good;
  bad_version[0] = 2;
  const std::vector<uint8_t> too_many = Golden(8).U32(0, 1).U32(4, 5000).Bytes();
  const std::vector<uint8_t> header_only(good.begin(), good.begin() + 6);
  struct Case {
    const std::vector<uint8_t>* bytes;
    const char* why;
  } cases[] = {{&short_table, "(it ends inside its 1 tables)"},
               {&bad_version, "(its version is 2)"},
               {&too_many, "(5000 score tables)"},
               {&header_only, "(it ends inside its header)"}};
  Build_Sim_Table();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    unlink("rdata.dat.bad");
    m_Errors.clear();
    ASSERT_TRUE(Write_File("rdata.dat", *c.bytes));
    EXPECT_TRUE(ranks.Load());
    EXPECT_TRUE(ranks.m_Loaded);
    EXPECT_EQ(ranks.m_Tables.size(), g_Sim_Table.size() - 1) << "default tables";
    EXPECT_EQ(ranks.Get_Score("1", "ann"), 0u);
    EXPECT_EQ(Read_File("rdata.dat.bad"), *c.bytes);
    ASSERT_EQ(m_Errors.size(), 1u);
    EXPECT_NE(m_Errors[0].find(std::string("rdata.dat was damaged ") + c.why), std::string::npos) << m_Errors[0];
    EXPECT_EQ(Read_File("rdata.dat"), ranks.Build_File_Bytes()) << "the default tables are saved at once";
  }
  // A good copy stands in for a refused file, and replaces it.
  unlink("rdata.dat.bad");
  ASSERT_TRUE(Write_File("rdata.dat", bad_version));
  ASSERT_TRUE(Write_File("rdata.dat_tmp", good));
  EXPECT_TRUE(ranks.Load());
  EXPECT_EQ(ranks.Get_Score("1", "ann"), 300u);
  EXPECT_EQ(Read_File("rdata.dat.bad"), bad_version);
  EXPECT_EQ(Read_File("rdata.dat"), good);
}

TEST_F(RankDataTest, MissingFilesGiveDefaultTablesForEverySimulation) {
  ASSERT_TRUE(ranks.Load());
  EXPECT_FALSE(plat::File_Exists("rdata.dat")) << "nothing is written by the load";
  Build_Sim_Table();
  ASSERT_EQ(ranks.m_Tables.size(), g_Sim_Table.size() - 1);
  for (const Rank_Table& table : ranks.m_Tables) {
    for (int i = 0; i < 50; ++i) {
      const Rank_Entry& entry = table.Entries[i];
      EXPECT_TRUE(Is_Author_Name(entry.Name)) << entry.Name;
      EXPECT_GE(entry.Score, 100u);
      if (i > 0) { EXPECT_LE(entry.Score, table.Entries[i - 1].Score); }
    }
  }
  char key[16];
  std::snprintf(key, sizeof key, "%d", static_cast<int>(g_Sim_Table[1].Track_Id));
  EXPECT_NE(ranks.Get_Entry(key, 49), nullptr);
  EXPECT_TRUE(g_Communications_Mgr.m_Queue.empty()) << "default tables are inserted quietly";
}

TEST_F(RankDataTest, InsertionPlacesAfterEqualScoresAndRemembersTheLastScore) {
  Load_Empty();
  struct Step {
    const char* key;
    const char* name;
    uint32_t score;
    int place;
    uint32_t last_score;  // afterwards
  } steps[] = {
      {"7", "Ann", 500, 0, 500},  {"7", "Bob", 500, 1, 500}, {"7", "Cyd", 700, 0, 700},
      {"7", "", 100, 3, 100},     {"7", "Dee", 0, -1, 100},  {"", "Eve", 50, -1, 100},
      {"8", "Fay", 1, 0, 1},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(ranks.Insert_Score(s.key, s.name, s.score, 0, true), s.place) << s.name;
    EXPECT_EQ(Get_Last_Score(), s.last_score) << s.name;
  }
  EXPECT_STREQ(ranks.Get_Entry("7", 0)->Name, "Cyd");
  EXPECT_STREQ(ranks.Get_Entry("7", 1)->Name, "Ann");
  EXPECT_STREQ(ranks.Get_Entry("7", 2)->Name, "Bob");
  EXPECT_STREQ(ranks.Get_Entry("7", 3)->Name, "default");
  const std::string long_key(60, '9');
  EXPECT_EQ(ranks.Insert_Score(long_key.c_str(), "Ivy", 5, 0, true), 0);
  EXPECT_EQ(ranks.Insert_Score(long_key.c_str(), "Jon", 9, 0, true), 0) << "the same table, not a second one";
  EXPECT_EQ(ranks.m_Tables.size(), 3u);
  EXPECT_EQ(std::string(ranks.m_Tables.back().Key), std::string(47, '9'));
  const std::string long_name(40, 'n');
  ranks.Insert_Score("7", long_name.c_str(), 1, 0, true);
  EXPECT_EQ(std::string(ranks.Get_Entry("7", 4)->Name), std::string(23, 'n'));
  EXPECT_EQ(ranks.Get_Entry("7", 50), nullptr);
  EXPECT_EQ(ranks.Get_Entry("9", 0), nullptr);

  for (uint32_t i = 0; i < 46; ++i) ranks.Insert_Score("7", "Gus", 50, 0, true);  // fills the table
  EXPECT_EQ(ranks.Get_Entry("7", 49)->Score, 50u);
  EXPECT_EQ(ranks.Insert_Score("7", "Hal", 50, 0, true), -1) << "equal to the 50th does not enter";
  EXPECT_EQ(Get_Last_Score(), 50u) << "a score that does not place still sets the last score";
  EXPECT_EQ(ranks.Find_Place_For_Score("7", 50), nullptr);
  EXPECT_EQ(ranks.Find_Place_For_Score("7", 600), ranks.Get_Entry("7", 1));
  EXPECT_EQ(ranks.Find_Place_For_Score("nope", 600), nullptr);
}

TEST_F(RankDataTest, TopThreePlacesPostForTheUserOrTheCorrespondent) {
  Load_Empty();
  struct Step {
    uint32_t score, correspondent;
    bool quiet;
    size_t queued;  // postings waiting afterwards
    uint32_t kind, key, filter;
  } steps[] = {
      {100, 0, false, 1, 4, 0, 0}, {200, 5, false, 2, 5, 0, 5}, {150, 7, false, 3, 5, 1, 7},
      {300, 0, true, 3, 0, 0, 0},  {10, 0, false, 3, 0, 0, 0},
  };
  for (const Step& s : steps) {
    ranks.Insert_Score("3", "x", s.score, s.correspondent, s.quiet);
    ASSERT_EQ(g_Communications_Mgr.m_Queue.size(), s.queued);
    if (s.kind == 0) continue;
    const auto& posting = g_Communications_Mgr.m_Queue.back();
    EXPECT_EQ(posting.kind, s.kind);
    EXPECT_EQ(posting.key, s.key);
    EXPECT_EQ(posting.author_filter, s.filter);
  }
}

TEST_F(RankDataTest, RankQueriesOverSeveralTables) {
  ASSERT_TRUE(Write_File("rdata.dat", Score_File({
                                          {"1", {{"Ann", 90}, {"Bob", 80}, {"ann", 70}, {"Cyd", 60}}},
                                          {"2", {{"Bob", 50}, {"Cyd", 40}}},
                                          {"3", {}},
                                      }).Bytes()));
  ASSERT_TRUE(ranks.Load());
  struct Case {
    const char* name;
    uint32_t score_in_1;
    int place_in_1, best;
    float average;
    int overall;
  } cases[] = {
      // Ann: places 1, absent (3), absent (1) -> (1+3+1)/3 + 0.5; totals: Bob 49+50=99, Cyd 47+49=96, Ann 50.
      {"Ann", 90, 1, 1, 5.0f / 3 + 0.5f, 3},
      {"BOB", 80, 2, 1, (2 + 1 + 1) / 3.0f + 0.5f, 1},
      {"Cyd", 60, 4, 2, (4 + 2 + 1) / 3.0f + 0.5f, 2},
      {"Nobody", 0, 51, 51, (5 + 3 + 1) / 3.0f + 0.5f, 51},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ranks.Get_Score("1", c.name), c.score_in_1);
    EXPECT_EQ(ranks.Get_Place("1", c.name), c.place_in_1);
    EXPECT_EQ(ranks.Get_Best_Place(c.name), c.best);
    EXPECT_FLOAT_EQ(ranks.Get_Average_Place(c.name), c.average);
    EXPECT_EQ(ranks.Get_Overall_Rank(c.name), c.overall);
  }
  EXPECT_EQ(ranks.Get_Place("missing", "Ann"), 0);
  EXPECT_EQ(ranks.Get_Score("missing", "Ann"), 0u);
  ranks.Clear();
  EXPECT_EQ(ranks.Get_Best_Place("Ann"), 51);
  EXPECT_FLOAT_EQ(ranks.Get_Average_Place("Ann"), 0.0f);
}

TEST_F(RankDataTest, AverageOfANameAbsentFromAFullTableCounts51) {
  std::vector<Golden_Entry> full;
  for (uint32_t i = 0; i < 50; ++i) full.push_back({"P" + std::to_string(i), 1000 - i});
  ASSERT_TRUE(Write_File("rdata.dat", Score_File({{"1", full}}).Bytes()));
  ASSERT_TRUE(ranks.Load());
  EXPECT_FLOAT_EQ(ranks.Get_Average_Place("Zed"), 51.0f);
  EXPECT_FLOAT_EQ(ranks.Get_Average_Place("P9"), 10.5f);
}

TEST_F(RankDataTest, FourHundredMinutesWithUsersOnEveryTopPlaceGivesEightInsertions) {
  std::vector<std::pair<std::string, std::vector<Golden_Entry>>> tables;
  for (int t = 0; t < 4; ++t) {
    tables.push_back({std::to_string(t + 1), {{"u1", 5000}, {"u2", 4000}, {"u3", 3000}, {"u4", 2000}, {"u5", 1000}}});
  }
  ASSERT_TRUE(Write_File("rdata.dat", Score_File(tables).Bytes()));
  struct Case {
    float minutes;
    int insertions;
  } cases[] = {{400, 8}, {-1, 0}, {10, 0}, {30, 1}, {120, 3}};
  for (const Case& c : cases) {
    ASSERT_TRUE(ranks.Load());
    const std::vector<uint8_t> before = Read_File("rdata.dat");
    ranks.Clear();
    ranks.Advance_Competitors(c.minutes);
    EXPECT_FALSE(ranks.m_Loaded) << "an unloaded store stays unloaded";
    ASSERT_TRUE(ranks.Load());
    int authors = 0;
    for (const Rank_Table& table : ranks.m_Tables)
      for (const Rank_Entry& entry : table.Entries) authors += Is_Author_Name(entry.Name) ? 1 : 0;
    EXPECT_EQ(authors, c.insertions) << c.minutes;
    ranks.Clear();
    ASSERT_TRUE(Write_File("rdata.dat", before));
  }
}

TEST_F(RankDataTest, LastScoreNamesItsSimulation) {
  Load_Empty();
  Build_Sim_Table();
  char key[16];
  std::snprintf(key, sizeof key, "%d", static_cast<int>(g_Sim_Table[2].Track_Id));
  ranks.Insert_Score(key, "x", 10, 0, true);
  EXPECT_EQ(std::string(Get_Last_Score_Game_Name()), g_Sim_Table[2].Name);
  ranks.Insert_Score("12345", "x", 10, 0, true);
  EXPECT_STREQ(Get_Last_Score_Game_Name(), "that game");
}

TEST_F(RankDataTest, AuthorNamesCompareWithoutCase) {
  struct Case {
    const char* name;
    bool author;
  } cases[] = {{"Administrator", true}, {"autonotify", true}, {Get_Persona_Name(16), true}, {"Unknown", false},
               {"default", false},      {"", false},          {"Administrators", false}};
  for (const Case& c : cases) EXPECT_EQ(Is_Author_Name(c.name), c.author) << c.name;
}

}  // namespace
}  // namespace trainer_test
