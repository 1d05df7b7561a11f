// A damaged store file never locks the user out: each way a file can be refused keeps the file
// byte for byte beside it as a numbered ".bad" copy, names it on stderr once, and the trainer
// starts on a new store that is saved over the damaged one. A file that cannot be read, or whose
// copy cannot be made, is left alone. Stale temporaries of a store go at its next load or save.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "game/menu/CMenu_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "platform/system/files.h"
#include "tests/game/trainer/trainer_fixture.h"

namespace trainer_test {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr char kAccount[] = "client_pilot.dat";
constexpr char kForum[] = "forumfile.dat";
constexpr char kRanks[] = "rdata.dat";
constexpr char kForum_Message[] = "Error (CCommunications_Mgr): Couldn't load forum file.";
constexpr char kRank_Message[] = "Error (CCommunications_Mgr): Couldn't load ranks.";

// An account of access level 1 with 15,000 credits and a valid checksum; damaged below.
Bytes Account() {
  Golden g(124);
  g.U32(0, 2).U32(16, 1);
  g.U32(28, 1).U32(32, 15000);
  const uint32_t sum = 1 + 15000;
  g.U32(28 + 92, static_cast<uint32_t>(__builtin_popcount(sum)) ^ 0x3c91a7e4);
  return g.Bytes();
}

// A forum header with the given version and counts (and nothing after it).
Bytes Forum(uint32_t version, uint32_t posted, uint32_t pending, uint32_t delivered) {
  Golden g(24);
  g.U32(0, version).U32(4, static_cast<uint32_t>(kNow)).U32(12, posted).U32(16, pending).U32(20, delivered);
  return g.Bytes();
}

// One posted message whose text length is the given one (its text is not there).
Bytes Forum_With_Text(uint32_t length) {
  return Golden(20 + 236).U32(0, 1).U32(4, static_cast<uint32_t>(kNow)).U32(12, 1).U32(20 + 232, length).Bytes();
}

Bytes Ranks(uint32_t version, uint32_t tables) { return Golden(8).U32(0, version).U32(4, tables).Bytes(); }

struct Damage {
  const char* file;
  const char* what;
  Bytes bytes;
  const char* why;      // in the line on stderr
  const char* message;  // shown at the start that found it; null: none
};

std::vector<Damage> Every_Damage() {
  Bytes tampered = Account();
  tampered[28 + 5] ^= 1;  // 256 credits more, without the checksum that one more bit gives
  Bytes wrong_version = Account();
  wrong_version[0] = 7;
  Bytes read_ids = Account();
  read_ids[20] = 0x98, read_ids[21] = 0x3a;  // 15,000
  Bytes deleted_ids = Account();
  deleted_ids[24] = 0x98, deleted_ids[25] = 0x3a;
  const Bytes whole = Account();
  const Bytes short_account(whole.begin(), whole.begin() + 123);
  return {
      {kAccount, "account checksum", tampered, "its checksum does not match", nullptr},
      {kAccount, "account version", wrong_version, "its version is 7", nullptr},
      {kAccount, "account read set", read_ids, "a message set of 15000 ids", nullptr},
      {kAccount, "account deleted set", deleted_ids, "a message set of 15000 ids", nullptr},
      {kAccount, "account too short", short_account, "it ends inside its header", nullptr},
      {kForum, "forum version", Forum(2, 0, 0, 0), "its version is 2", kForum_Message},
      {kForum, "forum posted count", Forum(1, 10001, 0, 0), "10001 posted messages", kForum_Message},
      {kForum, "forum pending count", Forum(1, 0, 10001, 0), "10001 pending messages", kForum_Message},
      {kForum, "forum delivered count", Forum(1, 0, 0, 10001), "10001 delivered ids", kForum_Message},
      {kForum, "forum text length", Forum_With_Text(100000), "a text of 100000 characters", kForum_Message},
      {kForum, "forum cut short", Bytes(Forum(1, 0, 0, 1)), "it ends early", kForum_Message},
      {kRanks, "score version", Ranks(2, 0), "its version is 2", kRank_Message},
      {kRanks, "score table count", Ranks(1, 5000), "5000 score tables", kRank_Message},
      {kRanks, "score tables cut short", Ranks(1, 2), "it ends inside its 2 tables", kRank_Message},
  };
}

class DamagedStoresTest : public TrainerTest {
 protected:
  CCommunications_Mgr& mgr = g_Communications_Mgr;
  void SetUp() override {
    TrainerTest::SetUp();
    g_Menu_Mgr.m_Console.m_User_Name = "Pilot";
  }
  // Runs the work in a fresh folder of its own (with the chat files) inside the test's folder.
  void In_Fresh_Folder(const std::string& name, const std::function<void()>& work) {
    ASSERT_EQ(mkdir(name.c_str(), 0755), 0);
    ASSERT_EQ(chdir(name.c_str()), 0);
    ASSERT_TRUE(Write_Chat({{writers::Chat_Communication{2, 1, 1, 1, 1.0f, 0, 0.0f, "Welcome %u", "Hello."}}}));
    work();
    Reset_Manager();
    ASSERT_EQ(chdir(m_Folder.c_str()), 0);
  }
  static size_t Count_Containing(const std::vector<std::string>& lines, const std::string& part) {
    size_t n = 0;
    for (const std::string& line : lines) n += line.find(part) != std::string::npos;
    return n;
  }
};

TEST_F(DamagedStoresTest, EachDamageIsKeptAsideOnceAndTheTrainerRunsOnANewStore) {
  int folder = 0;
  for (const Damage& d : Every_Damage()) {
    SCOPED_TRACE(d.what);
    In_Fresh_Folder("case" + std::to_string(folder++), [&] {
      ASSERT_TRUE(Write_File(d.file, d.bytes));
      m_Messages.clear();
      m_Errors.clear();
      mgr.Post_Message(kComm_Story, 0, 0);  // a login waiting for the start
      ASSERT_TRUE(mgr.Init());
      ASSERT_TRUE(mgr.Is_Running());

      // One line on stderr names the file, why it was refused and where it is kept.
      const std::string copy = std::string(d.file) + ".bad";
      ASSERT_EQ(m_Errors.size(), 1u);
      EXPECT_NE(m_Errors[0].find(std::string(d.file) + " was damaged (" + d.why + "); it is kept as " + copy + " and "),
                std::string::npos)
          << m_Errors[0];
      EXPECT_EQ(Read_File(copy), d.bytes) << "kept byte for byte";
      if (d.message) {
        EXPECT_EQ(m_Messages, std::vector<std::string>{d.message});
      } else {
        EXPECT_TRUE(m_Messages.empty()) << "a reset account stays silent";
      }

      // The trainer works: the queued login posted, the account and the tables take changes.
      ASSERT_EQ(mgr.m_Forum_Data.m_Posted.size(), 1u);
      EXPECT_EQ(mgr.m_Client_Data.m_Story_Counter, 1u);
      mgr.m_Client_Data.m_Credits += 5;
      const uint32_t credits = mgr.m_Client_Data.m_Credits;
      EXPECT_EQ(mgr.m_Rank_Data.Insert_Score("77", "Pilot", 900, 0, true), 0);
      mgr.Term();

      // The next start reads what was saved over the damaged file, without a word.
      m_Messages.clear();
      m_Errors.clear();
      ASSERT_TRUE(mgr.Init());
      EXPECT_TRUE(m_Messages.empty());
      EXPECT_TRUE(m_Errors.empty());
      EXPECT_EQ(mgr.m_Forum_Data.m_Posted.size(), 1u);
      EXPECT_EQ(mgr.m_Client_Data.m_Credits, credits);
      EXPECT_EQ(mgr.m_Rank_Data.Get_Score("77", "pilot"), 900u);
      mgr.Term();
      EXPECT_EQ(Read_File(copy), d.bytes);
      EXPECT_FALSE(File_There(copy + ".1")) << "the damage is kept once";
    });
  }
}

TEST_F(DamagedStoresTest, DamagedScoresFoundByTheForumsLoadShowTheirMessageOnce) {
  // A forum saved an hour ago: its load advances the competitors, which reads the score file
  // before the start itself does.
  ASSERT_TRUE(Write_File(kForum, Golden(24).U32(0, 1).U32(4, static_cast<uint32_t>(kNow - 3600)).Bytes()));
  ASSERT_TRUE(Write_File(kRanks, Ranks(1, 5000)));
  ASSERT_TRUE(Write_Chat({}));
  ASSERT_TRUE(mgr.Init());
  EXPECT_EQ(m_Messages, std::vector<std::string>{kRank_Message});
  ASSERT_EQ(m_Errors.size(), 1u);
  EXPECT_NE(m_Errors[0].find("rdata.dat was damaged (5000 score tables); it is kept as rdata.dat.bad and new score "
                             "tables were started"),
            std::string::npos)
      << m_Errors[0];
  EXPECT_EQ(Read_File("rdata.dat.bad"), Ranks(1, 5000));
  EXPECT_FALSE(mgr.m_Rank_Data.m_Tables.empty());
  mgr.Term();
  m_Messages.clear();
  ASSERT_TRUE(mgr.Init());
  EXPECT_TRUE(m_Messages.empty());
  EXPECT_EQ(m_Errors.size(), 1u);
}

TEST_F(DamagedStoresTest, EveryNewDamageGetsTheNextNumberAndNoCopyIsOverwritten) {
  struct Store {
    const char* file;
    std::function<bool()> load;
    Bytes damage;  // a version byte is added in front to tell the copies apart
  };
  const std::vector<Store> stores = {
      {kAccount, [&] { return mgr.m_Client_Data.Load("pilot"); }, Bytes(40, 9)},
      {kForum, [&] { return mgr.m_Forum_Data.Load(); }, Bytes(3, 9)},
      {kRanks, [&] { return mgr.m_Rank_Data.Load(); }, Bytes(7, 9)},
  };
  for (const Store& store : stores) {
    SCOPED_TRACE(store.file);
    std::vector<Bytes> damages;
    const char* names[] = {".bad", ".bad.1", ".bad.2", ".bad.3"};
    for (uint8_t i = 0; i < 4; ++i) {
      Bytes damage = store.damage;
      damage.insert(damage.begin(), static_cast<uint8_t>(50 + i));
      damages.push_back(damage);
      ASSERT_TRUE(Write_File(store.file, damage));
      m_Errors.clear();
      ASSERT_TRUE(store.load());
      ASSERT_EQ(m_Errors.size(), 1u);
      EXPECT_NE(m_Errors[0].find(std::string("kept as ") + store.file + names[i] + " "), std::string::npos)
          << m_Errors[0];
      for (uint8_t k = 0; k <= i; ++k) EXPECT_EQ(Read_File(std::string(store.file) + names[k]), damages[k]) << i;
    }
    Reset_Manager();
  }
}

TEST_F(DamagedStoresTest, ADamagedFileThatCannotBeKeptIsNeitherLoadedNorReplaced) {
  const std::vector<std::pair<const char*, std::function<bool()>>> stores = {
      {kAccount, [&] { return mgr.m_Client_Data.Load("pilot"); }},
      {kForum, [&] { return mgr.m_Forum_Data.Load(); }},
      {kRanks, [&] { return mgr.m_Rank_Data.Load(); }},
  };
  for (const auto& [file, load] : stores) {
    SCOPED_TRACE(file);
    // Every name a copy may take is taken.
    const std::string base = std::string(file) + ".bad";
    ASSERT_TRUE(Write_File(base, {1}));
    for (int i = 1; i < plat::kMax_Damaged_Copies; ++i) {
      const int fd = open((base + "." + std::to_string(i)).c_str(), O_WRONLY | O_CREAT, 0644);
      ASSERT_GE(fd, 0);
      close(fd);
    }
    const Bytes damage(5, 0xEE);
    ASSERT_TRUE(Write_File(file, damage));
    m_Errors.clear();
    EXPECT_FALSE(load());
    EXPECT_EQ(Read_File(file), damage);
    EXPECT_EQ(Read_File(base), Bytes{1});
    EXPECT_EQ(Count_Containing(m_Errors, std::string(file) + " was damaged"), 1u);
    EXPECT_EQ(Count_Containing(m_Errors, "no copy of it could be kept"), 1u);
  }
  EXPECT_FALSE(mgr.m_Client_Data.m_Loaded || mgr.m_Forum_Data.m_Loaded || mgr.m_Rank_Data.m_Loaded);
  EXPECT_FALSE(mgr.m_Client_Data.Save() || mgr.m_Forum_Data.Save() || mgr.m_Rank_Data.Save());
}

TEST_F(DamagedStoresTest, AStoreRemovesItsOwnStaleTemporariesAtItsLoadAndSaveAndNoOtherFiles) {
  struct Store {
    const char* file;
    std::function<bool()> run;
  };
  const std::vector<Store> loads = {
      {kAccount, [&] { return mgr.m_Client_Data.Load("pilot"); }},
      {kForum, [&] { return mgr.m_Forum_Data.Load(); }},
      {kRanks, [&] { return mgr.m_Rank_Data.Load(); }},
  };
  const std::vector<Store> saves = {
      {kAccount, [&] { return mgr.m_Client_Data.Save(); }},
      {kForum, [&] { return mgr.m_Forum_Data.Save(); }},
      {kRanks, [&] { return mgr.m_Rank_Data.Save(); }},
  };
  // Names that are not the store's own temporaries: other stores', other accounts', copies.
  const std::vector<std::string> others = {
      "client_pilot2.dat.tmp.AbC123", "client_pilot.dat.tmp.AbC12", "client_pilot.dat.tmp.AbC1234",
      "client_pilot.dat.tmp.ab.dat", "client_pilot.dat.bad",        "forumfile.dat.bad.1",
      "rdata.dat_tmp.tmp",           "rdata.dat.tmp.",              "forumfile.dat.tmp.a-b_c."};
  for (const std::string& other : others) ASSERT_TRUE(Write_File(other, {7}));
  for (const std::vector<Store>* runs : {&loads, &saves}) {
    for (const Store& store : *runs) {
      SCOPED_TRACE(store.file);
      const std::string stale[] = {std::string(store.file) + ".tmp.AbC123", std::string(store.file) + ".tmp.zz9ZZ0"};
      for (const std::string& name : stale) ASSERT_TRUE(Write_File(name, {1, 2}));
      // Another store's temporary stays while this store runs.
      const std::string neighbour = std::string(store.file == kForum ? kRanks : kForum) + ".tmp.Qw3rty";
      ASSERT_TRUE(Write_File(neighbour, {3}));
      EXPECT_TRUE(store.run());
      for (const std::string& name : stale) EXPECT_FALSE(File_There(name)) << name;
      EXPECT_TRUE(File_There(neighbour));
      unlink(neighbour.c_str());
    }
  }
  for (const std::string& other : others) EXPECT_TRUE(File_There(other)) << other;
}

}  // namespace
}  // namespace trainer_test
