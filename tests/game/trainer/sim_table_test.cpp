#include <gtest/gtest.h>

#include "game/trainer/Sim_Table.h"

namespace {

TEST(SimTable, IsBuiltOnceWithTheRandomEntryFirst) {
  Build_Sim_Table();
  ASSERT_EQ(g_Sim_Table.size(), 24u);
  Build_Sim_Table();
  EXPECT_EQ(g_Sim_Table.size(), 24u);
  const Sim_Entry& random_entry = g_Sim_Table[0];
  EXPECT_EQ(random_entry.Is_Random, 1);
  EXPECT_EQ(random_entry.Name, "RANDOM SIMULATION");
  EXPECT_EQ(random_entry.Description, "Selects a random simulation...");
  EXPECT_EQ(random_entry.Environment, 0);
  struct Row {
    size_t index;
    const char* name;
    uint32_t track, music, preview;
    int32_t environment;
    uint32_t level;
  } rows[] = {
      {1, "This is the Beginning", 0x220001bd, 0x2200018f, 0x220000e4, 1, 0},
      {3, "Horizon on Fire", 0x220001a1, 0x22000180, 0x22000146, 2, 0},
      {4, "You, Me, Happy and Joy", 0x22000196, 0x2200017f, 0x22000102, 2, 1},
      {7, "Dance with Me (Original Mix)", 0x22000198, 0x22000181, 0x22000103, 3, 1},
      {23, "The Unusual", 0x220001c1, 0x22000191, 0x22000147, 3, 1},
  };
  for (const Row& r : rows) {
    const Sim_Entry& e = g_Sim_Table[r.index];
    EXPECT_EQ(e.Name, r.name);
    EXPECT_EQ(e.Track_Id, r.track) << r.name;
    EXPECT_EQ(e.Music_Id, r.music) << r.name;
    EXPECT_EQ(e.Preview_Id, r.preview) << r.name;
    EXPECT_EQ(e.Environment, r.environment) << r.name;
    EXPECT_EQ(e.Required_Level, r.level) << r.name;
  }
}

TEST(SimTable, DescriptionsIndentEveryLineAfterTheTitle) {
  Build_Sim_Table();
  const std::string& seventh = g_Sim_Table[7].Description;
  EXPECT_EQ(seventh.rfind("Dance with Me\n  (Original Mix)\n  Composer: ", 0), 0u) << seventh;
  EXPECT_NE(seventh.find("\n  Original Mix\n  Length: 3:51"), std::string::npos) << seventh;
  const std::string& first = g_Sim_Table[1].Description;
  EXPECT_NE(first.find("\n  Original by: "), std::string::npos);
  EXPECT_EQ(first.substr(first.size() - 15), "\n  Length: 3:06");
  const std::string& second = g_Sim_Table[2].Description;
  EXPECT_EQ(second.find("Original"), std::string::npos);
}

TEST(SimTable, AvailableSimulationsFollowTheAccessLevel) {
  Build_Sim_Table();
  EXPECT_EQ(Count_Available_Sims(0), 3);
  EXPECT_EQ(Count_Available_Sims(1), 23);
  struct Case {
    int index;
    uint32_t level;
    int row;  // -1: none
  } cases[] = {{0, 0, 1}, {2, 0, 3}, {3, 0, -1}, {0, 1, 1}, {22, 1, 23}, {23, 1, -1}, {-1, 1, -1}};
  for (const Case& c : cases) {
    const Sim_Entry* found = Find_Available_Sim(c.index, c.level);
    if (c.row < 0) {
      EXPECT_EQ(found, nullptr) << c.index << " at " << c.level;
    } else {
      EXPECT_EQ(found, &g_Sim_Table[c.row]) << c.index << " at " << c.level;
    }
  }
}

}  // namespace
