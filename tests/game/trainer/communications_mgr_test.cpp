#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <set>
#include <limits>

#include "game/menu/CMenu_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/Sim_Table.h"
#include "platform/system/random.h"
#include "tests/game/trainer/trainer_fixture.h"

namespace trainer_test {
namespace {

using writers::Chat_Communication;
using writers::Chat_Id;

Chat_Communication Comm(uint32_t kind, uint32_t author, uint32_t number, uint32_t key, float weight = 1.0f,
                        uint32_t flags = 0, float delay = 0.0f, const std::string& subject = "subject",
                        const std::string& text = "text") {
  return {kind, author, number, key, weight, flags, delay, subject, text};
}

class CommunicationsTest : public TrainerTest {
 protected:
  CCommunications_Mgr& mgr = g_Communications_Mgr;
  // Starts the manager over a small chat set; the user is "Pilot".
  void Start(const std::vector<Chat_Communication>& chat) {
    ASSERT_TRUE(Write_Chat(chat));
    g_Menu_Mgr.m_Console.m_User_Name = "Pilot";
    ASSERT_TRUE(mgr.Init());
    ASSERT_TRUE(mgr.Is_Running());
  }
  const Forum_Message* Last_Posted() const {
    return mgr.m_Forum_Data.m_Posted.empty() ? nullptr : &mgr.m_Forum_Data.m_Posted.back();
  }
};

TEST_F(CommunicationsTest, PersonaNames) {
  struct Case {
    uint32_t id;
    const char* name;
  } cases[] = {{0, "Unknown"}, {1, "Administrator"}, {2, "AutoNotify"}, {17, "Unknown"}, {255, "Unknown"}};
  for (const Case& c : cases) EXPECT_STREQ(Get_Persona_Name(c.id), c.name) << c.id;
  std::set<std::string> names;
  for (uint32_t id = 3; id <= 16; ++id) {
    const std::string name = Get_Persona_Name(id);
    EXPECT_LE(name.size(), 15u);
    for (char ch : name) EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(ch))) << name;
    for (const char* reserved : {"Administrator", "AutoNotify", "Unknown", "default"}) EXPECT_NE(name, reserved);
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 14u);
}

TEST_F(CommunicationsTest, DateStampIsMonthDayYearAndTime) {
  Set_Now(1700000000);  // 2023-11-14 22:13:20 UTC
  EXPECT_STREQ(CCommunications_Mgr::Get_Date_Stamp(), "11/14/2023 22:13:20");
  Set_Now(1704164645);  // 2024-01-02 03:04:05
  EXPECT_STREQ(CCommunications_Mgr::Get_Date_Stamp(), "1/2/2024 3:04:05");
}

TEST_F(CommunicationsTest, EachStartFailureShowsItsMessageAndWritesNoFile) {
  const std::vector<Chat_Communication> chat = {Comm(2, 1, 1, 1)};
  struct Case {
    const char* what;
    void (*prepare)();
    const char* message;
  } cases[] = {
      {"no master list", [] { unlink("chat/master_com.dat"); }, "Error (CCommunications_Mgr): Couldn't load master com data."},
      {"master list of another layout",
       [] { Write_File("chat/master_com.dat", Golden(12).U32(0, 1).U32(4, 13).U32(8, 18).Bytes()); },
       "Error (CCommunications_Mgr): Couldn't load master com data."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const char* store : {"forumfile.dat", "rdata.dat", "client_pilot.dat"}) {
      unlink(store);
      rmdir(store);
    }
    ASSERT_TRUE(Write_Chat(chat));
    c.prepare();
    g_Menu_Mgr.m_Console.m_User_Name = "Pilot";
    mgr.Post_Message(2, 0, 0);
    const std::vector<std::string> before = List_Folder();
    m_Messages.clear();
    EXPECT_FALSE(mgr.Init());
    EXPECT_FALSE(mgr.Is_Running());
    ASSERT_EQ(m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages[0], c.message);
    EXPECT_EQ(List_Folder(), before);
    EXPECT_FALSE(mgr.m_Forum_Data.m_Loaded || mgr.m_Client_Data.m_Loaded || mgr.m_Rank_Data.m_Loaded);
    mgr.m_Queue.clear();
  }
}

TEST_F(CommunicationsTest, ALoginQueuedWhileStoppedRaisesTheStoryCounterAtTheNextStart) {
  g_Menu_Mgr.m_Console.m_User_Name = "Pilot";
  mgr.Post_Message(kComm_Story, 0, 0);
  ASSERT_EQ(mgr.m_Queue.size(), 1u);
  Start({Comm(2, 1, 1, 1, 1, 2, 0, "Welcome %u", "Hello %u."), Comm(2, 1, 2, 2, 1, 0, 0, "Second", "Two")});
  EXPECT_TRUE(mgr.m_Queue.empty());
  EXPECT_EQ(mgr.m_Client_Data.m_Story_Counter, 1u);
  const Forum_Message* posted = Last_Posted();
  ASSERT_NE(posted, nullptr);
  EXPECT_STREQ(posted->Record.Subject, "Welcome Pilot");
  EXPECT_EQ(posted->Text, "Hello Pilot.");
  EXPECT_EQ(posted->Record.Type, kMessage_Private);
  EXPECT_STREQ(posted->Record.Author, "Administrator");
  EXPECT_STREQ(posted->Record.Recipient, "Pilot");
  EXPECT_STREQ(posted->Record.Date, "11/14/2023 22:13:20");
  mgr.Post_Message(kComm_Story, 0, 0);
  EXPECT_EQ(mgr.m_Client_Data.m_Story_Counter, 2u);
  EXPECT_EQ(Last_Posted()->Text, "Two");
}

TEST_F(CommunicationsTest, MessageTypesComeFromTheHeaderFlags) {
  Start({Comm(3, 4, 1, 1, 1, 2), Comm(3, 4, 2, 2, 1, 4), Comm(3, 4, 3, 3, 1, 6), Comm(3, 4, 4, 4, 1, 0)});
  const uint16_t expected[] = {kMessage_Private, kMessage_Repeatable, kMessage_Public, kMessage_Public};
  for (uint32_t key = 1; key <= 4; ++key) {
    mgr.Post_Message(kComm_Given, key, 0);
    ASSERT_NE(Last_Posted(), nullptr);
    EXPECT_EQ(Last_Posted()->Record.Type, expected[key - 1]) << key;
  }
}

TEST_F(CommunicationsTest, PlaceWeightsAreProbabilities) {
  std::vector<Chat_Communication> chat;
  for (uint32_t place = 0; place < 3; ++place) chat.push_back(Comm(5, 6, 10 + place, place, 0.5f));
  chat.push_back(Comm(5, 7, 20, 1, 0.5f));  // another correspondent's
  Start(chat);
  plat::Seed_Random(777);
  int delivered = 0;
  const int trials = 2000;
  for (int i = 0; i < trials; ++i) {
    const Master_Record* record = mgr.Pick_Record(kComm_Correspondent_Place, 1, 1.0f, 6, false);
    if (record != nullptr) {
      ++delivered;
      EXPECT_EQ(record->Id, Chat_Id(6, 11));
    }
  }
  EXPECT_NEAR(delivered / double(trials), 0.5, 0.05);
  // Relative weights (total 0) always choose among the eligible.
  EXPECT_NE(mgr.Pick_Record(kComm_Correspondent_Place, 1, 0.0f, 7, false), nullptr);
  EXPECT_EQ(mgr.Pick_Record(kComm_Correspondent_Place, 5, 0.0f, 0, false), nullptr);
}

TEST_F(CommunicationsTest, PublicMessagesAreNotRepeatedButRepeatableOnesAre) {
  Start({Comm(3, 4, 1, 1), Comm(3, 4, 2, 2, 1, 4)});
  for (int i = 0; i < 3; ++i) {
    mgr.Post_Message(kComm_Given, 1, 0);
    mgr.Post_Message(kComm_Given, 2, 0);
  }
  int first = 0, second = 0;
  for (const Forum_Message& m : mgr.m_Forum_Data.m_Posted) {
    first += m.Record.Id == Chat_Id(4, 1);
    second += m.Record.Type == kMessage_Repeatable;
  }
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 3);
}

TEST_F(CommunicationsTest, PromotionWithoutAMatchingLevelFallsBackToKeyZero) {
  Start({Comm(8, 1, 1, 0, 1, 0, 0, "Promotion", "general"), Comm(8, 1, 2, 2, 1, 0, 0, "Level 2", "two")});
  mgr.Post_Message(kComm_Promotion, 2, 0);
  EXPECT_EQ(Last_Posted()->Text, "two");
  mgr.Post_Message(kComm_Promotion, 5, 0);
  EXPECT_EQ(Last_Posted()->Text, "general");
  const size_t count = mgr.m_Forum_Data.m_Posted.size();
  mgr.Post_Message(kComm_Absence, 5, 0);
  EXPECT_EQ(mgr.m_Forum_Data.m_Posted.size(), count) << "other kinds have no fallback";
}

TEST_F(CommunicationsTest, PlaceholdersAreFilledOnceEach) {
  Start({});
  Build_Sim_Table();
  char key[16];
  std::snprintf(key, sizeof key, "%d", static_cast<int>(g_Sim_Table[3].Track_Id));
  mgr.m_Rank_Data.Insert_Score(key, "x", 1234567, 0, true);
  const std::string title = g_Sim_Table[3].Name;
  struct Case {
    const char* user;
    std::string text, expected;
  } cases[] = {
      {"Pilot", "%u scored %s on %g", "Pilot scored 1,234,567 on " + title},
      {"", "Hi %u", "Hi default"},
      {"%u%s", "<%u>", "<%u%s>"},  // an inserted value is not scanned again
      {"Pilot", "100% sure %x %", "100% sure %x %"},
      {"Pilot", "%%u", "%Pilot"},
      {"Pilot", "", ""},
  };
  for (const Case& c : cases) {
    g_Menu_Mgr.m_Console.m_User_Name = c.user;
    std::string text = c.text;
    mgr.Expand_Text(text);
    EXPECT_EQ(text, c.expected) << c.text;
  }
}

TEST_F(CommunicationsTest, AuthorIdsOutsideOneToSixteenReadTheUnknownFile) {
  Start({Comm(3, 0, 1, 1, 1, 0, 0, "from zero", "zero"), Comm(3, 17, 2, 2, 1, 0, 0, "from seventeen", "seventeen")});
  mgr.Post_Message(kComm_Given, 1, 0);
  ASSERT_NE(Last_Posted(), nullptr);
  EXPECT_STREQ(Last_Posted()->Record.Author, "Unknown");
  EXPECT_EQ(Last_Posted()->Text, "zero");
  mgr.Post_Message(kComm_Given, 2, 0);
  EXPECT_STREQ(Last_Posted()->Record.Author, "Unknown");
  EXPECT_EQ(Last_Posted()->Text, "seventeen");
}

TEST_F(CommunicationsTest, ReactionChainsFollowAndCyclesStopAtTheirDepth) {
  Start({Comm(3, 3, 1, 1), Comm(7, 4, 2, Chat_Id(3, 1)), Comm(7, 5, 3, Chat_Id(4, 2)),
         Comm(7, 2, 9, Chat_Id(2, 9), 1, 2)});  // a private message reacting to itself
  mgr.Post_Message(kComm_Given, 1, 0);
  ASSERT_EQ(mgr.m_Forum_Data.m_Posted.size(), 3u);
  EXPECT_EQ(mgr.m_Forum_Data.m_Posted[2].Record.Id, Chat_Id(5, 3));
  mgr.Post_Message(kComm_Reaction, Chat_Id(2, 9), 0);
  EXPECT_EQ(mgr.m_Forum_Data.m_Posted.size(), 3u + 9u) << "the first post and eight reactions";
  EXPECT_EQ(mgr.m_Forum_Data.m_Message_Counter, 9u);
}

TEST_F(CommunicationsTest, DelaysQueueMessagesUntilTheirTime) {
  Start({Comm(3, 4, 1, 1, 1, 0, 1.0f, "soon", "soon")});
  mgr.Post_Message(kComm_Given, 1, 0);
  EXPECT_TRUE(mgr.m_Forum_Data.m_Posted.empty());
  ASSERT_EQ(mgr.m_Forum_Data.m_Pending.size(), 1u);
  for (int second = 0; second < 70; ++second) mgr.Update(5.25f);
  ASSERT_EQ(mgr.m_Forum_Data.m_Posted.size(), 1u);
  EXPECT_EQ(mgr.m_Forum_Data.m_Posted[0].Text, "soon");
}

TEST_F(CommunicationsTest, BadChatDataFailsTheMasterLoadOrDeliversNothing) {
  writers::Chat_Files files;
  ASSERT_TRUE(writers::Write_Chat_Files({Comm(3, 4, 1, 1), Comm(3, 4, 2, 2)}, Author_Names(), files));
  const std::vector<uint8_t> good = files.master;
  EXPECT_TRUE(mgr.Parse_Master_Bytes(good));
  const size_t count_at = 12 + 104, records_at = count_at + 4;
  struct Master_Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } master_cases[] = {
      {"count beyond the file", Golden(0).Text(0, std::string(good.begin(), good.end())).U32(count_at, 3).Bytes()},
      {"count above 10,000", Golden(0).Text(0, std::string(good.begin(), good.end())).U32(count_at, 10001).Bytes()},
      {"kind range beyond the records", Golden(0).Text(0, std::string(good.begin(), good.end())).U32(12 + 3 * 8 + 4, 3).Bytes()},
      {"kind range overflowing", Golden(0).Text(0, std::string(good.begin(), good.end())).U32(12 + 3 * 8, 0xFFFFFFFF).Bytes()},
      {"cut record", std::vector<uint8_t>(good.begin(), good.end() - 1)},
      {"cut kind table", std::vector<uint8_t>(good.begin(), good.begin() + 50)},
  };
  for (const Master_Case& c : master_cases) {
    EXPECT_FALSE(mgr.Parse_Master_Bytes(c.bytes)) << c.what;
    EXPECT_TRUE(mgr.m_Records.empty()) << c.what;
  }
  // A weight that is not a number counts as 0: never chosen.
  Golden nan_weight(0);
  nan_weight.Text(0, std::string(good.begin(), good.end())).F32(records_at + 12, std::numeric_limits<float>::quiet_NaN());
  ASSERT_TRUE(mgr.Parse_Master_Bytes(nan_weight.Bytes()));
  EXPECT_EQ(mgr.m_Records[0].Weight, 0.0f);

  // Author files: offsets, headers and lengths must lie within the file.
  const std::vector<uint8_t> act = files.authors.at(Get_Persona_Name(4));
  const uint32_t second_offset = mgr.m_Records[1].Offset;
  struct Act_Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool delivers;
  } act_cases[] = {
      {"intact", act, true},
      {"another version", Golden(0).Text(0, std::string(act.begin(), act.end())).U32(0, 2).Bytes(), false},
      {"text cut", std::vector<uint8_t>(act.begin(), act.end() - 1), false},
      {"header cut", std::vector<uint8_t>(act.begin(), act.begin() + second_offset + 100), false},
      {"length 100,000", Golden(0).Text(0, std::string(act.begin(), act.end())).U32(second_offset + 164, 100000).Bytes(), false},
      {"delay not a number",
       Golden(0).Text(0, std::string(act.begin(), act.end())).F32(second_offset + 12, std::numeric_limits<float>::infinity()).Bytes(),
       true},
  };
  for (const Act_Case& c : act_cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    ASSERT_TRUE(Write_Chat({Comm(3, 4, 1, 1), Comm(3, 4, 2, 2)}));
    ASSERT_TRUE(Write_File(std::string("chat/com_") + Get_Persona_Name(4) + ".act", c.bytes));
    g_Menu_Mgr.m_Console.m_User_Name = "Pilot";
    ASSERT_TRUE(mgr.Init());
    mgr.Post_Message(kComm_Given, 2, 0);
    EXPECT_EQ(mgr.m_Forum_Data.m_Posted.size(), c.delivers ? 1u : 0u);
    EXPECT_TRUE(mgr.m_Forum_Data.m_Pending.empty());
  }
  // An offset far beyond the file.
  TearDown();
  SetUp();
  ASSERT_TRUE(Write_Chat({Comm(3, 4, 1, 1)}));
  std::vector<uint8_t> master = Read_File("chat/master_com.dat");
  Golden far(0);
  far.Text(0, std::string(master.begin(), master.end())).U32(records_at + 16, 0xFFFFFFF0);
  ASSERT_TRUE(Write_File("chat/master_com.dat", far.Bytes()));
  ASSERT_TRUE(mgr.Init());
  mgr.Post_Message(kComm_Given, 1, 0);
  EXPECT_TRUE(mgr.m_Forum_Data.m_Posted.empty());
}

TEST_F(CommunicationsTest, StoppingSavesTheStoresAndTheNextStartReadsThem) {
  Start({Comm(2, 1, 1, 1)});
  mgr.Post_Message(kComm_Story, 0, 0);
  mgr.m_Client_Data.m_Credits = 4321;
  mgr.Term();
  EXPECT_FALSE(mgr.Is_Running());
  EXPECT_FALSE(mgr.m_Client_Data.m_Loaded);
  EXPECT_TRUE(File_There("client_pilot.dat"));
  EXPECT_TRUE(File_There("forumfile.dat"));
  EXPECT_TRUE(File_There("rdata.dat"));
  ASSERT_TRUE(mgr.Init());
  EXPECT_EQ(mgr.m_Client_Data.m_Credits, 4321u);
  EXPECT_EQ(mgr.m_Client_Data.m_Story_Counter, 1u);
  EXPECT_EQ(mgr.m_Forum_Data.m_Posted.size(), 1u);
}

TEST_F(CommunicationsTest, ALongAbsenceMayBringAMessage) {
  ASSERT_TRUE(Write_Chat({Comm(9, 8, 1, 0, 1, 4, 0, "Where were you", "Gone %u")}));
  g_Menu_Mgr.m_Console.m_User_Name = "Pilot";
  int arrived = 0;
  const int trials = 200;
  for (int i = 0; i < trials; ++i) {
    Reset_Manager();
    ASSERT_TRUE(Write_File("forumfile.dat", Golden(24).U32(0, 1).U32(4, static_cast<uint32_t>(kNow - 6 * 3600)).Bytes()));
    ASSERT_TRUE(mgr.Init());
    arrived += static_cast<int>(mgr.m_Forum_Data.m_Posted.size());
  }
  EXPECT_NEAR(arrived / double(trials), 0.25, 0.1);
}

}  // namespace
}  // namespace trainer_test
