// A damaged store file never locks the user out: each way a file can be refused keeps the file
// byte for byte beside it as a numbered ".bad" copy, names it on stderr once, and the trainer
// starts on a new store that is saved over the damaged one. A refused file whose copy cannot be
// made is left alone. An entry that cannot be opened at all through its own fault (no read
// permission, a folder, a FIFO, an input/output error) is moved aside whole, and one that cannot
// be moved, or that the process cannot open or read now (out of file handles or memory), is
// never replaced. A save that fails is said once; a store that is a link is saved through it.
// Stale temporaries of a store go at its next load or save.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "game/menu/CMenu_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/Store_File.h"
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

// The store of the tests below: one byte 1, nothing else.
const Store_Parser accepts_one = [](const Bytes& bytes, std::string& why) {
  why = "it is not one byte 1";
  return bytes == Bytes{1};
};

// What a test row puts at a store's path.
bool Make_Fifo(const std::string& path) { return mkfifo(path.c_str(), 0600) == 0; }
bool Make_Folder(const std::string& path) { return mkdir(path.c_str(), 0755) == 0; }
bool Make_Nothing(const std::string&) { return true; }
std::function<bool(const std::string&)> Make_Bytes(Bytes b) {
  return [b](const std::string& path) { return Write_File(path, b); };
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

TEST_F(DamagedStoresTest, ADamagedFileThatCannotBeKeptIsLeftAsItIsAndTheStoreRunsUnsaved) {
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
    EXPECT_TRUE(load()) << "nobody is locked out";
    EXPECT_TRUE(load()) << "a second load says nothing new";
    EXPECT_EQ(Read_File(file), damage);
    EXPECT_EQ(Read_File(base), Bytes{1});
    ASSERT_EQ(m_Errors.size(), 1u) << "said once";
    EXPECT_NE(m_Errors[0].find(std::string(file) + " was damaged"), std::string::npos) << m_Errors[0];
    EXPECT_NE(m_Errors[0].find("no copy of it could be kept"), std::string::npos) << m_Errors[0];
    EXPECT_NE(m_Errors[0].find("nothing is saved over it this session"), std::string::npos) << m_Errors[0];
  }
  EXPECT_TRUE(mgr.m_Client_Data.m_Loaded && mgr.m_Forum_Data.m_Loaded && mgr.m_Rank_Data.m_Loaded);
  EXPECT_FALSE(mgr.m_Rank_Data.m_Tables.empty()) << "the default score tables";
  EXPECT_FALSE(mgr.m_Client_Data.Save() || mgr.m_Forum_Data.Save() || mgr.m_Rank_Data.Save());
  for (const auto& [file, load] : stores) EXPECT_EQ(Read_File(file), Bytes(5, 0xEE)) << file << " never replaced";
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


// How an entry in a store's place cannot be opened.
struct Unopenable {
  const char* what;
  std::function<bool(const std::string&)> make;  // makes the entry at the path
  const char* reason;                            // the system's words in the line
  bool needs_user;                               // only seen by a user who is not root
};

std::vector<Unopenable> Every_Unopenable() {
  return {
      {"no read permission",
       [](const std::string& path) {
         // Root reads any file: the refusal a user would meet is injected for that very file.
         if (!Write_File(path, {9, 8, 7})) return false;
         Inject_Store_Open_Failure(path, EACCES);
         return true;
       },
       "Permission denied", false},
      {"a folder",
       [](const std::string& path) { return mkdir(path.c_str(), 0755) == 0 && Write_File(path + "/inside", {5}); },
       "it is a folder, not a regular file", false},
      {"a FIFO", Make_Fifo, "it is a FIFO, not a regular file", false},
      {"no read permission, for real",
       [](const std::string& path) { return Write_File(path, {9, 8, 7}) && chmod(path.c_str(), 0) == 0; },
       "Permission denied", true},
  };
}

// The entry made by Every_Unopenable is the one at the path: same kind, same contents.
void Expect_Entry(const Unopenable& u, const std::string& path) {
  struct stat info {};
  ASSERT_EQ(lstat(path.c_str(), &info), 0) << path;
  if (u.what == std::string("a folder")) {
    EXPECT_TRUE(S_ISDIR(info.st_mode)) << path;
    EXPECT_EQ(Read_File(path + "/inside"), Bytes{5});
  } else if (u.what == std::string("a FIFO")) {
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << path;
  } else {
    chmod(path.c_str(), 0644);
    EXPECT_EQ(Read_File(path), (Bytes{9, 8, 7})) << path;
    if (u.needs_user) chmod(path.c_str(), 0);
  }
}

const char* Started(const std::string& file) {
  if (file == kAccount) return "a new account was started";
  if (file == kForum) return "a new forum was started";
  return "new score tables were started";
}

TEST_F(DamagedStoresTest, AnEntryThatCannotBeOpenedIsMovedAsideAndTheTrainerRunsOnANewStore) {
  int folder = 0;
  alarm(120);  // a start that waits on a FIFO for good ends the run
  for (const Unopenable& u : Every_Unopenable()) {
    if (u.needs_user && geteuid() == 0) continue;  // root opens it: the injected row stands for it
    for (const char* file : {kAccount, kForum, kRanks}) {
      SCOPED_TRACE(std::string(u.what) + " at " + file);
      In_Fresh_Folder("unopened" + std::to_string(folder++), [&] {
        ASSERT_TRUE(u.make(file));
        m_Messages.clear();
        m_Errors.clear();
        mgr.Post_Message(kComm_Story, 0, 0);  // a login waiting for the start
        ASSERT_TRUE(mgr.Init());
        ASSERT_TRUE(mgr.Is_Running());
        EXPECT_TRUE(m_Messages.empty()) << "no file to load is no failure to show";

        // One line names the entry, the system's reason and where it went; it is there whole.
        const std::string moved = std::string(file) + ".bad";
        ASSERT_EQ(m_Errors.size(), 1u);
        EXPECT_EQ(m_Errors[0], std::string(file) + " could not be opened (" + u.reason + "); it was moved to " + moved +
                                   " and " + Started(file));
        Expect_Entry(u, moved);

        // The trainer works on the new store and saves it in the entry's place.
        ASSERT_EQ(mgr.m_Forum_Data.m_Posted.size(), 1u);
        EXPECT_EQ(mgr.m_Client_Data.m_Story_Counter, 1u);
        mgr.m_Client_Data.m_Credits += 5;
        EXPECT_EQ(mgr.m_Rank_Data.Insert_Score("77", "Pilot", 900, 0, true), 0);
        mgr.Term();
        EXPECT_TRUE(plat::File_Exists(file));

        m_Errors.clear();
        ASSERT_TRUE(mgr.Init());
        EXPECT_TRUE(m_Errors.empty());
        EXPECT_EQ(mgr.m_Forum_Data.m_Posted.size(), 1u);
        EXPECT_EQ(mgr.m_Client_Data.m_Credits, 5u);
        EXPECT_EQ(mgr.m_Rank_Data.Get_Score("77", "pilot"), 900u);
        mgr.Term();
        Expect_Entry(u, moved);
        EXPECT_FALSE(File_There(moved + ".1")) << "moved once";
      });
    }
  }
  alarm(0);
}

// In a folder the user cannot write to, the entry stays where it is: the trainer runs on a new
// store for the session, never saves over the entry, and says so once however often it loads.
TEST_F(DamagedStoresTest, AnEntryThatCannotBeMovedStaysUntouchedAndIsNamedOnce) {
  int folder = 0;
  alarm(120);
  for (const Unopenable& u : Every_Unopenable()) {
    if (u.needs_user) continue;  // the move is refused by injection, which a real row cannot add to
    for (const char* file : {kAccount, kForum, kRanks}) {
      SCOPED_TRACE(std::string(u.what) + " at " + file);
      In_Fresh_Folder("unmoved" + std::to_string(folder++), [&] {
        ASSERT_TRUE(u.make(file));
        plat::Inject_Move_Aside_Failure(EROFS);
        m_Errors.clear();
        m_Messages.clear();
        ASSERT_TRUE(mgr.Init());
        EXPECT_TRUE(m_Messages.empty());
        ASSERT_EQ(m_Errors.size(), 1u);
        EXPECT_EQ(m_Errors[0], std::string(file) + " could not be opened (" + u.reason +
                                   ") nor moved aside (Read-only file system) and " + Started(file) +
                                   "; it is left where it is and nothing is saved over it this session");
        mgr.m_Client_Data.m_Credits = 40;
        mgr.m_Rank_Data.Insert_Score("77", "Pilot", 900, 0, true);
        Forum_Message post;
        post.Record = {0, kMessage_Public, 0, 0, "Pilot", "default", "Hello", "1/1/2024 0:00:00"};
        mgr.m_Forum_Data.Post(post, 0, false);
        mgr.Term();
        ASSERT_TRUE(mgr.Init());
        mgr.Term();
        EXPECT_EQ(m_Errors.size(), 1u) << "named once";
        Expect_Entry(u, file);
        EXPECT_FALSE(File_There(std::string(file) + ".bad"));
        // The other stores are saved as usual.
        for (const char* other : {kAccount, kForum, kRanks}) {
          if (std::string(other) != file) {
            EXPECT_TRUE(plat::File_Exists(other)) << other;
          }
        }
      });
      plat::Inject_Move_Aside_Failure(0);
    }
  }
  alarm(0);
}

// Whatever became of the file, its "_tmp" copy is read next: accepted, refused or unopenable,
// the one line says what happened to both, and the outcome follows the copy. A file left where
// it is is never saved over, even when the copy gave the store.
TEST_F(DamagedStoresTest, TheCopyIsReadAfterAFileThatIsMissingUnopenedOrCannotBeKept) {
  struct Row {
    const char* what;
    std::function<bool(const std::string&)> make_file, make_copy;
    bool unkeepable;  // every name a kept copy may take is taken
    Store_Load outcome;
    std::string line;
  };
  const std::string kFifo = "it is a FIFO, not a regular file", kFolder = "it is a folder, not a regular file";
  const std::vector<Row> rows = {
      {"unopened, copy accepted", Make_Fifo, Make_Bytes({1}), false, Store_Load::Accepted,
       "store.dat could not be opened (" + kFifo + "); it was moved to store.dat.bad and store.dat_tmp was read instead"},
      {"unopened, copy refused", Make_Fifo, Make_Bytes({2}), false, Store_Load::Damaged,
       "store.dat could not be opened (" + kFifo + "); it was moved to store.dat.bad; store.dat_tmp was damaged (it is "
       "not one byte 1) and is left as it is, and a new store was started"},
      {"unopened, copy unopened", Make_Fifo, Make_Folder, false, Store_Load::Unopened,
       "store.dat could not be opened (" + kFifo + "); it was moved to store.dat.bad; store.dat_tmp could not be "
       "opened (" + kFolder + ") and is left as it is, and a new store was started"},
      {"missing, copy unopened", Make_Nothing, Make_Folder, false, Store_Load::Unopened,
       "store.dat_tmp could not be opened (" + kFolder + "); it is left as it is and a new store was started"},
      {"refused and unkeepable, copy accepted", Make_Bytes({2}), Make_Bytes({1}), true, Store_Load::Accepted,
       "store.dat was damaged (it is not one byte 1) but no copy of it could be kept beside it; it is left where it "
       "is, store.dat_tmp was read instead and nothing is saved over it this session"},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    In_Fresh_Folder("copy" + std::to_string(n++), [&] {
      ASSERT_TRUE(row.make_file("store.dat"));
      ASSERT_TRUE(row.make_copy("store.dat_tmp"));
      if (row.unkeepable) {
        for (int i = 0; i < plat::kMax_Damaged_Copies; ++i) {
          ASSERT_TRUE(Write_File(i == 0 ? "store.dat.bad" : "store.dat.bad." + std::to_string(i), {}));
        }
      }
      m_Errors.clear();
      Store_State state;
      const Store_Load_Result result = Load_Store_File("store.dat", "a new store was started", accepts_one, state);
      EXPECT_EQ(result.outcome, row.outcome);
      EXPECT_EQ(m_Errors, std::vector<std::string>{row.line});
      if (row.unkeepable) {
        EXPECT_FALSE(Save_Store_File("store.dat", {1}, state)) << "left where it is";
        EXPECT_EQ(Read_File("store.dat"), Bytes{2});
      }
    });
  }
}

// Only an entry at fault itself is moved aside. When the process is at fault (out of file
// handles or memory, interrupted), at the open or at the read, the valid file stays where it is
// byte for byte, nothing is saved over it this session, the line is said once, and the first
// load that can read it again reads it.
TEST_F(DamagedStoresTest, OnlyTheEntrysOwnFaultMovesItAsideAndTheProcesssTroubleLeavesItWhereItIs) {
  struct Row {
    bool at_read;  // the failure strikes the read once the file is open, else the open
    int error;
    bool moved;
  };
  const Row rows[] = {
      {false, EMFILE, false}, {false, ENFILE, false}, {false, ENOMEM, false}, {false, EINTR, false},
      {false, EAGAIN, false}, {false, ELOOP, true},   {false, EIO, true},     {true, EINTR, false},
      {true, ENOMEM, false},  {true, EMFILE, false},  {true, EIO, true},
  };
  int n = 0;
  for (const Row& row : rows) {
    const std::string reason =
        (row.at_read ? std::string("it could not be read to its end: ") : std::string()) + std::strerror(row.error);
    SCOPED_TRACE(reason);
    In_Fresh_Folder("fault" + std::to_string(n++), [&] {
      ASSERT_TRUE(Write_File("store.dat", {1}));
      if (row.at_read) {
        Inject_Store_Read_Failure("store.dat", row.error);
      } else {
        Inject_Store_Open_Failure("store.dat", row.error);
      }
      m_Errors.clear();
      Store_State state;
      const Store_Load_Result result = Load_Store_File("store.dat", "a new store was started", accepts_one, state);
      EXPECT_EQ(result.outcome, Store_Load::Unopened);
      if (row.moved) {
        EXPECT_EQ(m_Errors, std::vector<std::string>{"store.dat could not be opened (" + reason +
                                                     "); it was moved to store.dat.bad and a new store was started"});
        EXPECT_EQ(Read_File("store.dat.bad"), Bytes{1});
        EXPECT_FALSE(File_There("store.dat"));
        Inject_Store_Open_Failure("", 0);
        return;
      }
      EXPECT_EQ(m_Errors, std::vector<std::string>{"store.dat could not be opened (" + reason +
                                                   ") and a new store was started; it is left where it is and "
                                                   "nothing is saved over it this session"});
      EXPECT_FALSE(Save_Store_File("store.dat", {2}, state)) << "never saved over";
      EXPECT_EQ(Load_Store_File("store.dat", "a new store was started", accepts_one, state).outcome,
                Store_Load::Unopened);
      EXPECT_EQ(m_Errors.size(), 1u) << "said once";
      EXPECT_EQ(Read_File("store.dat"), Bytes{1});
      EXPECT_FALSE(File_There("store.dat.bad"));

      Inject_Store_Open_Failure("", 0);
      EXPECT_EQ(Load_Store_File("store.dat", "a new store was started", accepts_one, state).outcome,
                Store_Load::Accepted);
      EXPECT_EQ(m_Errors.size(), 1u);
      EXPECT_TRUE(Save_Store_File("store.dat", {1}, state)) << "saved again once read";
    });
  }
}

// A valid account, forum or score file that the process is out of file handles to open stays
// byte for byte: the trainer runs for the session on a new store that is never saved over it,
// says so once however often it starts, and the next start that can open it reads it.
TEST_F(DamagedStoresTest, AValidStoreThatCannotBeOpenedForWantOfFileHandlesIsReadAtTheNextStart) {
  int folder = 0;
  for (const char* file : {kAccount, kForum, kRanks}) {
    SCOPED_TRACE(file);
    In_Fresh_Folder("handles" + std::to_string(folder++), [&] {
      ASSERT_TRUE(mgr.Init());
      mgr.m_Client_Data.m_Credits = 777;
      ASSERT_EQ(mgr.m_Rank_Data.Insert_Score("77", "Pilot", 900, 0, true), 0);
      Forum_Message post;
      post.Record = {0, kMessage_Public, 0, 0, "Pilot", "default", "Kept", "1/1/2024 0:00:00"};
      ASSERT_TRUE(mgr.m_Forum_Data.Post(post, 0, false));
      mgr.Term();
      const Bytes saved = Read_File(file);
      ASSERT_FALSE(saved.empty());

      Inject_Store_Open_Failure(file, EMFILE);
      m_Errors.clear();
      m_Messages.clear();
      for (int start = 0; start < 2; ++start) {
        ASSERT_TRUE(mgr.Init());
        mgr.m_Client_Data.m_Credits += 1;
        mgr.m_Rank_Data.Insert_Score("77", "Pilot", 5000, 0, true);
        mgr.m_Forum_Data.Post(post, 0, false);
        mgr.Term();
      }
      EXPECT_TRUE(m_Messages.empty());
      EXPECT_EQ(m_Errors, std::vector<std::string>{std::string(file) +
                                                   " could not be opened (Too many open files) and " + Started(file) +
                                                   "; it is left where it is and nothing is saved over it this "
                                                   "session"});
      EXPECT_EQ(Read_File(file), saved) << "byte for byte";
      EXPECT_FALSE(File_There(std::string(file) + ".bad"));

      Inject_Store_Open_Failure("", 0);
      ASSERT_TRUE(mgr.Init());
      if (std::string(file) == kAccount) {
        EXPECT_EQ(mgr.m_Client_Data.m_Credits, 777u);
      }
      if (std::string(file) == kRanks) {
        EXPECT_EQ(mgr.m_Rank_Data.Get_Score("77", "pilot"), 900u);
      }
      if (std::string(file) == kForum) {
        ASSERT_EQ(mgr.m_Forum_Data.m_Posted.size(), 1u);
        EXPECT_STREQ(mgr.m_Forum_Data.m_Posted[0].Record.Subject, "Kept");
      }
      mgr.Term();
    });
  }
}

// A "_tmp" copy that the process cannot read now may hold the only good store: the file is not
// written this session (nor a refused one kept and replaced), so that a later load reads the copy.
TEST_F(DamagedStoresTest, ACopyThatCannotBeReadNowKeepsTheFileFromBeingWritten) {
  struct Row {
    const char* what;
    std::function<bool(const std::string&)> make_file;
    Store_Load outcome;
    std::string line;
  };
  const std::string kWaiting = "store.dat_tmp could not be opened (Too many open files)";
  const std::vector<Row> rows = {
      {"missing", Make_Nothing, Store_Load::Unopened,
       kWaiting + "; it is left as it is and a new store was started, and store.dat is not saved this session"},
      {"refused", Make_Bytes({2}), Store_Load::Unkept,
       "store.dat was damaged (it is not one byte 1); " + kWaiting +
           "; both are left where they are, a new store was started and nothing is saved over them this session"},
      {"unopened", Make_Fifo, Store_Load::Unopened,
       "store.dat could not be opened (it is a FIFO, not a regular file); it was moved to store.dat.bad; " + kWaiting +
           " and is left as it is, and a new store was started, and store.dat is not saved this session"},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    In_Fresh_Folder("waiting" + std::to_string(n++), [&] {
      ASSERT_TRUE(row.make_file("store.dat"));
      ASSERT_TRUE(Write_File("store.dat_tmp", {1}));
      Inject_Store_Open_Failure("store.dat_tmp", EMFILE);
      m_Errors.clear();
      Store_State state;
      EXPECT_EQ(Load_Store_File("store.dat", "a new store was started", accepts_one, state).outcome, row.outcome);
      EXPECT_EQ(m_Errors, std::vector<std::string>{row.line});
      EXPECT_FALSE(Save_Store_File("store.dat", {3}, state));
      EXPECT_EQ(Load_Store_File("store.dat", "a new store was started", accepts_one, state).outcome, row.outcome);
      EXPECT_EQ(m_Errors.size(), 1u) << "said once";
      EXPECT_EQ(Read_File("store.dat_tmp"), Bytes{1});
      if (row.outcome == Store_Load::Unkept) {
        EXPECT_EQ(Read_File("store.dat"), Bytes{2}) << "left as it is";
      }
      EXPECT_EQ(File_There("store.dat.bad"), std::string(row.what) == "unopened") << "nothing kept while the copy waits";

      Inject_Store_Open_Failure("", 0);
      EXPECT_EQ(Load_Store_File("store.dat", "a new store was started", accepts_one, state).outcome,
                Store_Load::Accepted)
          << "the copy is read";
    });
  }
}

// A refused forum or score file that cannot be kept is found again at every start of the
// manager (each visit to the simulator screen): its message box shows once, as its line does.
TEST_F(DamagedStoresTest, AFileThatCannotBeKeptShowsItsMessageAtTheFirstStartOnly) {
  for (const char* file : {kForum, kRanks}) {
    const std::string base = std::string(file) + ".bad";
    ASSERT_TRUE(Write_File(base, {1}));
    for (int i = 1; i < plat::kMax_Damaged_Copies; ++i) {
      const int fd = open((base + "." + std::to_string(i)).c_str(), O_WRONLY | O_CREAT, 0644);
      ASSERT_GE(fd, 0);
      close(fd);
    }
    ASSERT_TRUE(Write_File(file, Bytes(5, 0xEE)));
  }
  ASSERT_TRUE(Write_Chat({}));
  for (int start = 0; start < 3; ++start) {
    ASSERT_TRUE(mgr.Init()) << start;
    mgr.Term();
  }
  EXPECT_EQ(m_Messages, (std::vector<std::string>{kForum_Message, kRank_Message}));
  EXPECT_EQ(m_Errors.size(), 2u);
  EXPECT_EQ(Read_File(kForum), Bytes(5, 0xEE));
  EXPECT_EQ(Read_File(kRanks), Bytes(5, 0xEE));
}

// A save that fails (a full disk, a read-only folder) is said once, with the file and the
// system's reason, until a save of that file works again; the old file stays whole.
TEST_F(DamagedStoresTest, AFailedSaveIsSaidOnceUntilASaveWorksAgain) {
  const std::vector<std::pair<const char*, std::function<bool()>>> stores = {
      {kAccount, [&] { return mgr.m_Client_Data.Save(); }},
      {kForum, [&] { return mgr.m_Forum_Data.Save(); }},
      {kRanks, [&] { return mgr.m_Rank_Data.Save(); }},
  };
  ASSERT_TRUE(mgr.m_Client_Data.Load("pilot"));
  mgr.m_Forum_Data.m_Loaded = true;
  mgr.m_Rank_Data.m_Loaded = true;
  for (const auto& [file, save] : stores) {
    SCOPED_TRACE(file);
    m_Errors.clear();
    // Never saved yet: nothing was written.
    plat::Inject_Replace_Failure(plat::Replace_Step::Create, EROFS);
    EXPECT_FALSE(save());
    ASSERT_EQ(m_Errors.size(), 1u);
    EXPECT_EQ(m_Errors[0], std::string(file) + " could not be saved (Read-only file system); nothing was written");
    EXPECT_FALSE(File_There(file));
    ASSERT_TRUE(save());

    const Bytes saved = Read_File(file);
    mgr.m_Client_Data.m_Credits += 100;
    mgr.m_Rank_Data.Insert_Score("5", "Pilot", 1000 + mgr.m_Client_Data.m_Credits, 0, true);
    m_Errors.clear();
    for (int attempt = 0; attempt < 3; ++attempt) {
      plat::Inject_Replace_Failure(plat::Replace_Step::Write, ENOSPC);
      EXPECT_FALSE(save()) << attempt;
    }
    ASSERT_EQ(m_Errors.size(), 1u) << "said once";
    EXPECT_EQ(m_Errors[0],
              std::string(file) + " could not be saved (No space left on device); it keeps what was saved before");
    EXPECT_EQ(Read_File(file), saved);
    ASSERT_TRUE(save());
    plat::Inject_Replace_Failure(plat::Replace_Step::Rename, EACCES);
    EXPECT_FALSE(save());
    ASSERT_EQ(m_Errors.size(), 2u) << "said again once a save had worked";
    EXPECT_NE(m_Errors[1].find("(Permission denied)"), std::string::npos) << m_Errors[1];
  }
}

// A store that is a link is saved through it: the target is replaced, the link stays, and the
// next load reads the target. A dangling link gets its target made.
TEST_F(DamagedStoresTest, AStoreThatIsALinkIsSavedThroughIt) {
  ASSERT_EQ(mkdir("real", 0755), 0);
  ASSERT_TRUE(Write_Chat({}));
  g_Menu_Mgr.m_Console.m_User_Name = "Pilot";
  ASSERT_TRUE(mgr.Init());
  mgr.m_Client_Data.m_Credits = 321;
  mgr.m_Rank_Data.Insert_Score("77", "Pilot", 900, 0, true);
  mgr.Term();
  // The account and score files are moved into "real/" and linked to; the forum's link dangles.
  for (const char* file : {kAccount, kRanks}) {
    ASSERT_EQ(rename(file, (std::string("real/") + file).c_str()), 0);
    ASSERT_EQ(symlink((std::string("real/") + file).c_str(), file), 0);
  }
  unlink(kForum);
  ASSERT_EQ(symlink("real/forumfile.dat", kForum), 0);

  ASSERT_TRUE(mgr.Init());
  EXPECT_EQ(mgr.m_Client_Data.m_Credits, 321u) << "read through the link";
  mgr.m_Client_Data.m_Credits = 654;
  mgr.m_Rank_Data.Insert_Score("77", "Pilot", 1900, 0, true);
  Forum_Message post;
  post.Record = {0, kMessage_Public, 0, 0, "Pilot", "default", "Through", "1/1/2024 0:00:00"};
  ASSERT_TRUE(mgr.m_Forum_Data.Post(post, 0, false));
  mgr.Term();
  for (const char* file : {kAccount, kRanks, kForum}) {
    struct stat info {};
    ASSERT_EQ(lstat(file, &info), 0) << file;
    EXPECT_TRUE(S_ISLNK(info.st_mode)) << file << " stays a link";
    EXPECT_TRUE(plat::File_Exists(std::string("real/") + file)) << file;
  }
  ASSERT_TRUE(mgr.Init());
  EXPECT_EQ(mgr.m_Client_Data.m_Credits, 654u);
  EXPECT_EQ(mgr.m_Rank_Data.Get_Score("77", "pilot"), 1900u);
  ASSERT_FALSE(mgr.m_Forum_Data.m_Posted.empty());
  EXPECT_STREQ(mgr.m_Forum_Data.m_Posted[0].Record.Subject, "Through");
  std::vector<std::string> expected = {"chat", kAccount, kForum, kRanks, "real"};
  std::sort(expected.begin(), expected.end());
  std::vector<std::string> names = List_Folder();
  names.erase(std::remove_if(names.begin(), names.end(), [](const std::string& n) { return n.rfind("chat/", 0) == 0; }),
              names.end());
  EXPECT_EQ(names, expected) << "no temporary or copy is left beside the links";
}

}  // namespace
}  // namespace trainer_test
