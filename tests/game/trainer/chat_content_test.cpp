#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>

#include "game/menu/CMenu_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "tests/game/trainer/trainer_fixture.h"
#include "tools/content/manifest.h"

namespace trainer_test {
namespace {

class ChatContentTest : public TrainerTest {
 protected:
  void SetUp() override {
    TrainerTest::SetUp();
    content::Manifest manifest;
    content::Build_Manifest(manifest);
    for (const content::PlainFileEntry& entry : manifest.PlainFiles()) {
      if (entry.path.rfind("chat/", 0) != 0) continue;
      content::Bytes bytes;
      ASSERT_TRUE(entry.generate(bytes)) << entry.path;
      ASSERT_TRUE(Write_File(entry.path, bytes));
      paths.insert(entry.path);
    }
  }
  std::set<std::string> paths;
};

TEST_F(ChatContentTest, EveryAuthorHasAFileUnderTheGamesNameForIt) {
  EXPECT_TRUE(paths.count("chat/master_com.dat"));
  for (uint32_t id = 1; id <= 16; ++id)
    EXPECT_TRUE(paths.count(std::string("chat/com_") + Get_Persona_Name(id) + ".act")) << Get_Persona_Name(id);
  EXPECT_EQ(paths.size(), 17u);
}

TEST_F(ChatContentTest, EveryCommunicationReadsAndTheKindsTheGameUsesAreThere) {
  CCommunications_Mgr& mgr = g_Communications_Mgr;
  ASSERT_TRUE(mgr.Load_Master_Data());
  std::map<uint32_t, std::set<uint32_t>> keys_by_kind;
  std::set<float> delays;
  std::set<uint32_t> flags;
  bool has_u = false, has_s = false, has_g = false;
  for (uint32_t kind = 0; kind < kComm_Kinds; ++kind) {
    for (uint32_t i = 0; i < mgr.m_Kind_Table[kind][1]; ++i) {
      const Master_Record& record = mgr.m_Records[mgr.m_Kind_Table[kind][0] + i];
      Communication_Header header;
      std::string text;
      ASSERT_TRUE(CCommunications_Mgr::Read_Communication(record, header, text)) << std::hex << record.Id;
      EXPECT_FALSE(text.empty());
      EXPECT_NE(header.Subject[0], 0);
      EXPECT_GT(record.Weight, 0.0f);
      keys_by_kind[kind].insert(record.Key);
      delays.insert(header.Delay);
      flags.insert(header.Flags);
      has_u |= text.find("%u") != std::string::npos;
      has_s |= text.find("%s") != std::string::npos;
      has_g |= text.find("%g") != std::string::npos;
    }
  }
  for (uint32_t kind = 2; kind <= 12; ++kind) EXPECT_FALSE(keys_by_kind[kind].empty()) << kind;
  for (uint32_t key = 1; key <= 12; ++key) EXPECT_TRUE(keys_by_kind[2].count(key)) << "story " << key;
  for (uint32_t place = 0; place <= 2; ++place) {
    EXPECT_TRUE(keys_by_kind[4].count(place));
    EXPECT_TRUE(keys_by_kind[5].count(place));
  }
  for (uint32_t n = 1; n <= 5; ++n) {
    EXPECT_TRUE(keys_by_kind[6].count(n));
    EXPECT_TRUE(keys_by_kind[8].count(n));
  }
  EXPECT_TRUE(keys_by_kind[8].count(0)) << "the promotion fallback";
  EXPECT_TRUE(keys_by_kind[9].count(0));
  for (uint32_t difficulty = 1; difficulty <= 3; ++difficulty) EXPECT_TRUE(keys_by_kind[10].count(difficulty));
  EXPECT_TRUE(delays.count(0.0f) && delays.count(1.0f) && delays.count(4.0f));
  EXPECT_TRUE(flags.count(2) && flags.count(4));
  EXPECT_TRUE(has_u && has_s && has_g);
}

TEST_F(ChatContentTest, BriefingSubjectsNameRegions) {
  CCommunications_Mgr& mgr = g_Communications_Mgr;
  ASSERT_TRUE(mgr.Load_Master_Data());
  const std::set<std::string> regions = {"North America", "Indonesia", "Africa", "Australia",
                                         "Europe",        "Far East",  "Mediterranean", "America"};
  ASSERT_GT(mgr.m_Kind_Table[kComm_Briefing][1], 0u);
  for (uint32_t i = 0; i < mgr.m_Kind_Table[kComm_Briefing][1]; ++i) {
    Communication_Header header;
    std::string text;
    ASSERT_TRUE(CCommunications_Mgr::Read_Communication(mgr.m_Records[mgr.m_Kind_Table[kComm_Briefing][0] + i], header, text));
    EXPECT_TRUE(regions.count(header.Subject)) << header.Subject;
  }
}

// The end-of-mission report picks a loss report by the count of missions lost alone, so none may
// name what lost the mission: the clock, the shields or an abort each end one.
TEST_F(ChatContentTest, LossReportsNameNoCauseOfTheLoss) {
  CCommunications_Mgr& mgr = g_Communications_Mgr;
  ASSERT_TRUE(mgr.Load_Master_Data());
  const uint32_t lost = kComm_Mission_Lost;
  ASSERT_GT(mgr.m_Kind_Table[lost][1], 0u);
  for (uint32_t i = 0; i < mgr.m_Kind_Table[lost][1]; ++i) {
    Communication_Header header;
    std::string text;
    ASSERT_TRUE(CCommunications_Mgr::Read_Communication(mgr.m_Records[mgr.m_Kind_Table[lost][0] + i], header, text));
    std::string words = std::string(header.Subject) + " " + text;
    for (char& c : words) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* cause : {"shield", "clock", "ran out", "abort", "retreat", "shot down", "hangar"})
      EXPECT_EQ(words.find(cause), std::string::npos) << cause << " in: " << header.Subject << " / " << text;
  }
}

TEST_F(ChatContentTest, AStoryLoginPostsIntoTheForum) {
  g_Menu_Mgr.m_Console.m_User_Name = "Rookie";
  g_Communications_Mgr.Post_Message(kComm_Story, 0, 0);
  ASSERT_TRUE(g_Communications_Mgr.Init());
  ASSERT_FALSE(g_Communications_Mgr.m_Forum_Data.m_Posted.empty());
  const Forum_Message& first = g_Communications_Mgr.m_Forum_Data.m_Posted.front();
  EXPECT_EQ(first.Text.find("%u"), std::string::npos);
  EXPECT_NE(std::string(first.Record.Subject).find("Rookie") != std::string::npos ||
                first.Text.find("Rookie") != std::string::npos,
            false);
}

}  // namespace
}  // namespace trainer_test
