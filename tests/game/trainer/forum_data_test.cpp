#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <limits>

#include "game/menu/CMenu_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CForum_Data.h"
#include "tests/game/trainer/trainer_fixture.h"

namespace trainer_test {
namespace {

struct Golden_Message {
  uint32_t id;
  uint16_t type;
  uint8_t flags;
  std::string author, recipient, subject, date, text;
  float delay = 0;  // pending messages only
};

// The record's fields at their offsets within its 232 bytes.
void Put_Record(Golden& g, size_t at, const Golden_Message& m) {
  g.U32(at, m.id).U16(at + 4, m.type).Byte(at + 6, m.flags).Byte(at + 7, 0);
  g.Text(at + 8, m.author).Text(at + 40, m.recipient).Text(at + 72, m.subject).Text(at + 200, m.date);
  g.Byte(at + 231, 0);
}

Golden Forum_File(uint32_t saved, uint32_t counter, const std::vector<Golden_Message>& posted,
                  const std::vector<Golden_Message>& pending, const std::vector<uint32_t>& delivered) {
  Golden g(20);
  g.U32(0, 1).U32(4, saved).U32(8, counter);
  g.U32(12, static_cast<uint32_t>(posted.size())).U32(16, static_cast<uint32_t>(pending.size()));
  size_t at = 20;
  for (const Golden_Message& m : posted) {
    Put_Record(g, at, m);
    g.U32(at + 232, static_cast<uint32_t>(m.text.size())).Text(at + 236, m.text);
    at += 236 + m.text.size();
  }
  for (const Golden_Message& m : pending) {
    Put_Record(g, at, m);
    g.F32(at + 232, m.delay).U32(at + 236, static_cast<uint32_t>(m.text.size())).Text(at + 240, m.text);
    at += 240 + m.text.size();
  }
  g.U32(at, static_cast<uint32_t>(delivered.size()));
  for (size_t i = 0; i < delivered.size(); ++i) g.U32(at + 4 + 4 * i, delivered[i]);
  return g;
}

Golden_Message Public(uint32_t id, const std::string& text = "hello") {
  return {id, 1, 0, "Mirelle", "pilot", "Scores", "11/14/2023 22:13:20", text};
}

Golden_Message Private(uint32_t id, bool read) {
  return {id, 2, static_cast<uint8_t>(read ? 1 : 0), "Administrator", "pilot", "Note", "1/2/2024 3:04:05", "note"};
}

Golden_Message Waiting(uint32_t id, float delay) {
  Golden_Message m = Public(id, "later");
  m.delay = delay;
  return m;
}

class ForumDataTest : public TrainerTest {
 protected:
  CForum_Data& forum = g_Communications_Mgr.m_Forum_Data;
  void SetUp() override {
    TrainerTest::SetUp();
    // Score tables with nothing in them, so loads that advance the competitors stay quiet.
    ASSERT_TRUE(Write_File("rdata.dat", Golden(8).U32(0, 1).U32(4, 0).Bytes()));
  }
};

TEST_F(ForumDataTest, GoldenForumLoadsItsEntriesAndSavesBackByteForByte) {
  const Golden golden = Forum_File(static_cast<uint32_t>(kNow), 41,
                                   {Public(0x04000010, "first\nsecond"), Private(41, false), Public(0x00000007, "")},
                                   {Waiting(0x05000011, 3.5f), Waiting(40, 0.25f)}, {0x04000010, 0x05000011});
  ASSERT_TRUE(Write_File("forumfile.dat", golden.Bytes()));
  ASSERT_TRUE(forum.Load());
  EXPECT_TRUE(forum.m_Loaded);
  EXPECT_EQ(forum.m_Message_Counter, 41u);
  ASSERT_EQ(forum.m_Posted.size(), 3u);
  EXPECT_EQ(forum.m_Posted[0].Text, "first\nsecond");
  EXPECT_STREQ(forum.m_Posted[1].Record.Author, "Administrator");
  EXPECT_STREQ(forum.m_Posted[0].Record.Date, "11/14/2023 22:13:20");
  ASSERT_EQ(forum.m_Pending.size(), 2u);
  EXPECT_FLOAT_EQ(forum.m_Pending[0].Delay, 3.5f);
  EXPECT_EQ(forum.m_Delivered, (std::set<uint32_t>{0x04000010, 0x05000011}));
  EXPECT_TRUE(forum.Is_Private(41));
  EXPECT_FALSE(forum.Is_Private(0x04000010));
  EXPECT_EQ(forum.Get_Id_At(2), 7u);
  EXPECT_EQ(forum.Get_Id_At(3), 0u);
  EXPECT_EQ(forum.Get_Row(1).Subject, "Note (Private Msg)");
  EXPECT_EQ(forum.Get_Row(9).Author, "");
  ASSERT_TRUE(forum.Save());
  EXPECT_EQ(Read_File("forumfile.dat"), golden.Bytes());
}

TEST_F(ForumDataTest, FixedStringsEndInsideTheirFields) {
  Golden_Message m = Public(0x04000001);
  m.subject = std::string(128, 'S');
  m.author = std::string(32, 'A');
  ASSERT_TRUE(Write_File("forumfile.dat", Forum_File(kNow, 0, {m}, {}, {}).Bytes()));
  ASSERT_TRUE(forum.Load());
  EXPECT_EQ(std::string(forum.m_Posted[0].Record.Subject), std::string(127, 'S'));
  EXPECT_EQ(std::string(forum.m_Posted[0].Record.Author), std::string(31, 'A'));
}

TEST_F(ForumDataTest, EveryTruncationIsRefusedKeptAsideAndReplacedByAnEmptyForum) {
  const std::vector<uint8_t> good =
      Forum_File(kNow, 3, {Public(0x04000001, "abc")}, {Waiting(0x05000001, 2)}, {0x04000001}).Bytes();
  for (size_t length = 0; length < good.size(); ++length) {
    SCOPED_TRACE(length);
    const std::vector<uint8_t> cut(good.begin(), good.begin() + length);
    ASSERT_TRUE(Write_File("forumfile.dat", cut));
    m_Errors.clear();
    EXPECT_TRUE(forum.Load());
    EXPECT_TRUE(forum.m_Loaded);
    EXPECT_TRUE(forum.m_Posted.empty() && forum.m_Pending.empty() && forum.m_Delivered.empty());
    EXPECT_EQ(Read_File("forumfile.dat.bad"), cut);
    EXPECT_EQ(m_Errors.size(), 1u);
    forum.Clear();
    ASSERT_TRUE(forum.Load()) << "the empty forum was saved over the cut file";
    EXPECT_EQ(m_Errors.size(), 1u);
    unlink("forumfile.dat.bad");
    forum.Clear();
  }
}

TEST_F(ForumDataTest, TheCopyIsReadWhenTheFileIsMissingOrRejectedAndNeverWritten) {
  const std::vector<uint8_t> copy = Forum_File(kNow, 5, {Public(0x04000002, "from the copy")}, {}, {}).Bytes();
  const std::vector<uint8_t> main = Forum_File(kNow, 6, {Public(0x04000003, "from the file")}, {}, {}).Bytes();
  const std::vector<uint8_t> rejected = Golden(4).U32(0, 9).Bytes();
  struct Case {
    const char* what;
    const std::vector<uint8_t>* file;
    const char* text;  // of the one posted message; null: the load fails
  } cases[] = {
      {"file good", &main, "from the file"},
      {"file missing", nullptr, "from the copy"},
      {"file rejected", &rejected, "from the copy"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    unlink("forumfile.dat");
    if (c.file) { ASSERT_TRUE(Write_File("forumfile.dat", *c.file)); }
    ASSERT_TRUE(Write_File("forumfile.dat_tmp", copy));
    ASSERT_TRUE(forum.Load());
    ASSERT_EQ(forum.m_Posted.size(), 1u);
    EXPECT_EQ(forum.m_Posted[0].Text, c.text);
    ASSERT_TRUE(forum.Save());
    EXPECT_EQ(Read_File("forumfile.dat_tmp"), copy);
    forum.Clear();
  }
}

TEST_F(ForumDataTest, CountAndTextLimits) {
  struct Case {
    const char* what;
    uint32_t posted_count;  // written in the count field
    size_t text_length;
    uint32_t delivered_count;
    bool loads;  // accepted, else refused
  } cases[] = {
      {"10,000 posted", 10000, 1, 0, true},   {"10,001 posted", 10001, 1, 0, false},
      {"text 99,999", 1, 99999, 0, true},     {"text 100,000", 1, 100000, 0, false},
      {"10,000 delivered", 0, 1, 10000, true}, {"10,001 delivered", 0, 1, 10001, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<Golden_Message> posted(std::min<uint32_t>(c.posted_count, 10000), Public(0x04000001));
    for (Golden_Message& m : posted) m.text.assign(c.text_length, 'x');
    std::vector<uint32_t> delivered;
    for (uint32_t i = 0; i < c.delivered_count; ++i) delivered.push_back(i);
    Golden g = Forum_File(kNow, 0, posted, {}, delivered);
    g.U32(12, c.posted_count);
    if (c.posted_count > posted.size()) {
      // one more record, so the count alone decides
      const Golden extra = Forum_File(kNow, 0, {Public(1)}, {}, {});
      std::vector<uint8_t> bytes = g.Bytes();
      bytes.insert(bytes.end() - 4 - 4 * delivered.size(), extra.Bytes().begin() + 20, extra.Bytes().end() - 4);
      ASSERT_TRUE(Write_File("forumfile.dat", bytes));
    } else {
      ASSERT_TRUE(Write_File("forumfile.dat", g.Bytes()));
    }
    unlink("forumfile.dat.bad");
    EXPECT_TRUE(forum.Load());
    EXPECT_EQ(forum.m_Posted.size() + forum.m_Delivered.size(), c.loads ? c.posted_count + c.delivered_count : 0u);
    EXPECT_EQ(File_There("forumfile.dat.bad"), !c.loads) << "a refused file is kept aside";
    forum.Clear();
  }
}

TEST_F(ForumDataTest, SavingTrimsReadMessagesButKeepsUnreadPrivateOnes) {
  struct Case {
    const char* what;
    int unread_private, read_public, read_private, pending;
    size_t posted_after, pending_after;
  } cases[] = {
      {"eleven read public", 0, 11, 0, 0, 10, 0},
      {"ten unread private and twelve read", 10, 8, 4, 0, 20, 0},
      {"501 pending", 0, 1, 0, 501, 1, 0},
      {"500 pending", 0, 1, 0, 500, 1, 500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    forum.Clear();
    forum.m_Loaded = true;
    uint32_t id = 1;
    for (int i = 0; i < c.unread_private; ++i) forum.m_Posted.push_back({{id++, kMessage_Private, 0, 0, "", "", "", ""}, "p"});
    for (int i = 0; i < c.read_public; ++i) forum.m_Posted.push_back({{id++, kMessage_Public, 0, 0, "", "", "", ""}, "r"});
    for (int i = 0; i < c.read_private; ++i) forum.m_Posted.push_back({{id++, kMessage_Private, 1, 0, "", "", "", ""}, "q"});
    for (int i = 0; i < c.pending; ++i) forum.m_Pending.push_back({{id++, kMessage_Public, 0, 0, "", "", "", ""}, 3, "w"});
    ASSERT_TRUE(forum.Save());
    EXPECT_EQ(forum.m_Posted.size(), c.posted_after);
    EXPECT_EQ(forum.m_Pending.size(), c.pending_after);
    // What stays are the newest read messages and every unread private one.
    const uint32_t last_id = static_cast<uint32_t>(c.unread_private + c.read_public + c.read_private);
    if (!forum.m_Posted.empty()) { EXPECT_EQ(forum.m_Posted.back().Record.Id, last_id); }
    int unread = 0;
    for (const Forum_Message& m : forum.m_Posted) unread += (m.Record.Type == kMessage_Private && !(m.Record.Flags & 1));
    EXPECT_EQ(unread, c.unread_private);
  }
}

TEST_F(ForumDataTest, PendingDelaysFallWithTheTimeAway) {
  struct Case {
    const char* what;
    int64_t saved;  // relative to now
    float delay, after;
  } cases[] = {
      {"two hours away lowers by 16", -7200, 20.0f, 4.0f},
      {"a clock set back counts as 60 seconds", +1000, 20.0f, 19.0f},
      {"59 seconds drops nothing", -59, 20.0f, 20.0f},
      {"five minutes", -300, 20.0f, 15.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(Write_File("forumfile.dat",
                           Forum_File(static_cast<uint32_t>(kNow + c.saved), 0, {}, {Waiting(0x04000001, c.delay)}, {})
                               .Bytes()));
    ASSERT_TRUE(forum.Load());
    ASSERT_EQ(forum.m_Pending.size(), 1u);
    EXPECT_FLOAT_EQ(forum.m_Pending[0].Delay, c.after);
    forum.Clear();
  }
}

// Menu frames at 5.25 scaled units per real second, until the pending list is empty.
double Seconds_Until_Posted(CForum_Data& forum) {
  for (int second = 1; second < 3600; ++second) {
    forum.Update(5.25f);
    if (forum.m_Pending.empty()) return second;
  }
  return 1e9;
}

TEST_F(ForumDataTest, DelayedMessagesArriveAfterTheirMinutes) {
  struct Case {
    float delay;
    double earliest, latest;  // seconds
  } cases[] = {{1.0f, 60, 66}, {4.0f, 4 * 60, 8.5 * 60}, {0.5f, 30, 33}};
  for (const Case& c : cases) {
    forum.Clear();
    forum.m_Loaded = true;
    Forum_Message message;
    message.Record = {0x04000001, kMessage_Public, 0, 0, "Mirelle", "", "s", ""};
    ASSERT_TRUE(forum.Post(message, c.delay, false));
    ASSERT_EQ(forum.m_Pending.size(), 1u);
    EXPECT_TRUE(forum.m_Posted.empty());
    const double seconds = Seconds_Until_Posted(forum);
    EXPECT_GE(seconds, c.earliest) << c.delay;
    EXPECT_LE(seconds, c.latest) << c.delay;
    ASSERT_EQ(forum.m_Posted.size(), 1u);
    EXPECT_STRNE(forum.m_Posted[0].Record.Date, "") << "a delivered message gets the date of its arrival";
  }
}

TEST_F(ForumDataTest, PostingNumbersOwnAndPrivateMessagesAndRecordsPublicDeliveries) {
  forum.m_Loaded = true;
  forum.m_Message_Counter = 10;
  struct Case {
    uint32_t id;
    uint16_t type;
    bool redelivery;
    uint32_t posted_id;
    bool delivered;
  } cases[] = {
      {0x00000000, kMessage_Public, false, 11, false},      // the user's own post
      {0x03000005, kMessage_Private, false, 12, false},     // private correspondent message
      {0x03000006, kMessage_Repeatable, false, 13, false},  // repeatable
      {0x04000007, kMessage_Public, false, 0x04000007, true},
      {0x04000008, kMessage_Public, true, 0x04000008, false},
      {0x00000099, kMessage_Private, true, 0x00000099, false},
  };
  for (const Case& c : cases) {
    Forum_Message message;
    message.Record = {c.id, c.type, 0, 0, "a", "b", "c", "d"};
    ASSERT_TRUE(forum.Post(message, 0, c.redelivery));
    EXPECT_EQ(forum.m_Posted.back().Record.Id, c.posted_id) << std::hex << c.id;
    EXPECT_EQ(forum.m_Delivered.count(c.id) == 1, c.delivered) << std::hex << c.id;
  }
  // Reactions wait in the stopped manager's queue: kind 6 for the user's post, 7 for the others.
  ASSERT_EQ(g_Communications_Mgr.m_Queue.size(), 6u);
  EXPECT_EQ(g_Communications_Mgr.m_Queue[0].kind, 6u);
  EXPECT_EQ(g_Communications_Mgr.m_Queue[1].kind, 7u);
  EXPECT_EQ(g_Communications_Mgr.m_Queue[1].key, 0x03000005u) << "the reaction keys on the id it was posted with";
  EXPECT_TRUE(File_There("forumfile.dat")) << "every post saves";
}

TEST_F(ForumDataTest, AHugeDelayStaysFiniteAndSurvivesASave) {
  forum.m_Loaded = true;
  Forum_Message message;
  message.Record = {0x04000001, kMessage_Public, 0, 0, "Mirelle", "", "s", ""};
  ASSERT_TRUE(forum.Post(message, std::numeric_limits<float>::max(), false));
  ASSERT_EQ(forum.m_Pending.size(), 1u);
  const float delay = forum.m_Pending[0].Delay;
  EXPECT_TRUE(std::isfinite(delay));
  EXPECT_EQ(delay, std::numeric_limits<float>::max());
  forum.Clear();
  ASSERT_TRUE(forum.Load());
  ASSERT_EQ(forum.m_Pending.size(), 1u);
  EXPECT_EQ(forum.m_Pending[0].Delay, delay);
}

TEST_F(ForumDataTest, AnUnloadedForumTakesNoPostsAndWritesNothing) {
  Forum_Message message;
  message.Record = {0, kMessage_Public, 0, 0, "a", "b", "c", "d"};
  EXPECT_FALSE(forum.Post(message, 0, false));
  EXPECT_TRUE(forum.m_Posted.empty());
  EXPECT_FALSE(forum.Save());
  EXPECT_FALSE(File_There("forumfile.dat"));
}

TEST_F(ForumDataTest, WritersKeepWithinWhatTheReaderAccepts) {
  forum.m_Loaded = true;
  Forum_Message message;
  message.Record = {0, kMessage_Public, 0, 0, "a", "b", "c", "d"};
  message.Text.assign(100000, 'y');
  ASSERT_TRUE(forum.Post(message, 0, false));
  EXPECT_EQ(forum.m_Posted.back().Text.size(), 99999u);

  forum.Clear();
  forum.m_Loaded = true;
  for (uint32_t i = 1; i <= 10001; ++i) {
    forum.m_Posted.push_back({{i, kMessage_Private, 0, 0, "", "", "", ""}, ""});
    forum.m_Delivered.insert(i);
  }
  ASSERT_TRUE(forum.Save());
  ASSERT_TRUE(forum.Load());
  EXPECT_EQ(forum.m_Posted.size(), 10000u);
  EXPECT_EQ(forum.m_Posted.front().Record.Id, 2u) << "the oldest goes first";
  EXPECT_EQ(forum.m_Delivered.size(), 10000u);
  EXPECT_EQ(*forum.m_Delivered.begin(), 2u) << "the lowest id goes first";
}

TEST_F(ForumDataTest, UnreadPrivateMessagesAreThoseOfTheCurrentUserNotInTheReadSet) {
  g_Menu_Mgr.m_Console.m_User_Name = "Pilot";
  forum.m_Loaded = true;
  forum.m_Posted.push_back({{5, kMessage_Private, 0, 0, "Administrator", "pilot", "", ""}, ""});
  forum.m_Posted.push_back({{6, kMessage_Private, 0, 0, "Administrator", "other", "", ""}, ""});
  CClient_Data account;
  EXPECT_TRUE(forum.Has_Unread_Private(account));
  account.m_Read_Set.insert(5);
  EXPECT_FALSE(forum.Has_Unread_Private(account));
}

}  // namespace
}  // namespace trainer_test
