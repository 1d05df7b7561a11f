// The stores' files survive failed and interrupted saves: a failure at any step of the atomic
// replace leaves the old file as it was, an unloaded store never writes, and a process killed
// while saving leaves every file whole.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "game/menu/CMenu_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "platform/system/files.h"
#include "tests/game/trainer/trainer_fixture.h"

namespace trainer_test {
namespace {

// One of two versions of all three stores.
void Fill_Version(int version) {
  CCommunications_Mgr& mgr = g_Communications_Mgr;
  CClient_Data& account = mgr.m_Client_Data;
  account.m_Loaded = true;
  account.m_File_Name = "client_pilot.dat";
  account.m_Credits = version == 0 ? 1000 : 2000000;
  account.m_Read_Set.clear();
  for (uint32_t i = 0; i < (version == 0 ? 10u : 3000u); ++i) account.m_Read_Set.insert(i * 7);
  CRank_Data& ranks = mgr.m_Rank_Data;
  ranks.m_Loaded = true;
  ranks.m_Tables.clear();
  for (int t = 0; t < (version == 0 ? 3 : 40); ++t)
    ranks.Insert_Score(std::to_string(t + 1).c_str(), version == 0 ? "ann" : "bob", 100 + t, 0, true);
  CForum_Data& forum = mgr.m_Forum_Data;
  forum.m_Loaded = true;
  forum.m_Posted.clear();
  forum.m_Message_Counter = version;
  for (uint32_t i = 0; i < (version == 0 ? 2u : 9u); ++i) {
    Forum_Message message;
    message.Record = {i + 1, kMessage_Public, 0, 0, "Mirelle", "pilot", "s", "d"};
    message.Text.assign(version == 0 ? 10 : 20000, static_cast<char>('a' + i));
    forum.m_Posted.push_back(message);
  }
}

struct Store {
  const char* file;
  std::function<bool()> save;
  std::function<bool()> load;
};

std::vector<Store> Stores() {
  CCommunications_Mgr& mgr = g_Communications_Mgr;
  return {
      {"client_pilot.dat", [&] { return mgr.m_Client_Data.Save(); }, [&] { return mgr.m_Client_Data.Load("pilot"); }},
      {"rdata.dat", [&] { return mgr.m_Rank_Data.Save(); }, [&] { return mgr.m_Rank_Data.Load(); }},
      {"forumfile.dat", [&] { return mgr.m_Forum_Data.Save(); }, [&] { return mgr.m_Forum_Data.Load(); }},
  };
}

class StoreSafetyTest : public TrainerTest {
 protected:
  void SetUp() override {
    TrainerTest::SetUp();
    g_Menu_Mgr.m_Console.m_User_Name = "Pilot";
  }
};

TEST_F(StoreSafetyTest, AFailureAtAnyStepOfASaveLeavesTheOldFile) {
  const plat::Replace_Step steps[] = {plat::Replace_Step::Create, plat::Replace_Step::Write, plat::Replace_Step::Sync,
                                      plat::Replace_Step::Rename};
  for (const Store& store : Stores()) {
    Fill_Version(0);
    ASSERT_TRUE(store.save()) << store.file;
    const std::vector<uint8_t> old_bytes = Read_File(store.file);
    const std::vector<std::string> old_folder = List_Folder();
    for (plat::Replace_Step step : steps) {
      SCOPED_TRACE(std::string(store.file) + " step " + std::to_string(static_cast<int>(step)));
      Fill_Version(1);
      plat::Inject_Replace_Failure(step);
      EXPECT_FALSE(store.save());
      plat::Inject_Replace_Failure(plat::Replace_Step::None);
      EXPECT_EQ(Read_File(store.file), old_bytes);
      EXPECT_EQ(List_Folder(), old_folder) << "no temporary file is left";
    }
  }
}

TEST_F(StoreSafetyTest, AnUnloadedStoreIsNeverWritten) {
  for (const Store& store : Stores()) {
    Fill_Version(0);
    ASSERT_TRUE(store.save());
  }
  const std::vector<std::string> folder = List_Folder();
  std::vector<std::vector<uint8_t>> before;
  for (const Store& store : Stores()) before.push_back(Read_File(store.file));
  CCommunications_Mgr& mgr = g_Communications_Mgr;
  Fill_Version(1);
  mgr.m_Client_Data.Clear();
  mgr.m_Rank_Data.Clear();
  mgr.m_Forum_Data.Clear();
  for (const Store& store : Stores()) EXPECT_FALSE(store.save()) << store.file;
  mgr.m_Rank_Data.m_Tables.resize(1);  // even with tables in memory
  EXPECT_FALSE(mgr.m_Rank_Data.Save());
  mgr.Term();  // stopping saves only what is loaded
  for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(Read_File(Stores()[i].file), before[i]);
  EXPECT_EQ(List_Folder(), folder);
}

// Runs in the child: saves the two versions in turn until killed.
[[noreturn]] void Save_For_Ever(const std::vector<Store>& stores) {
  for (int version = 0;; version ^= 1) {
    Fill_Version(version);
    for (const Store& store : stores) store.save();
  }
}

TEST_F(StoreSafetyTest, KillingAProcessWhileItSavesLeavesEveryFileWholeInOneVersion) {
  const std::vector<Store> stores = Stores();
  std::vector<std::vector<uint8_t>> versions[2];
  for (int version = 0; version < 2; ++version) {
    Fill_Version(version);
    for (const Store& store : stores) {
      ASSERT_TRUE(store.save());
      versions[version].push_back(Read_File(store.file));
    }
  }
  ASSERT_NE(versions[0][2], versions[1][2]);
  for (int moment = 0; moment < 50; ++moment) {
    SCOPED_TRACE("moment " + std::to_string(moment));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) Save_For_Ever(stores);
    usleep(static_cast<useconds_t>(500 + (moment * 7919) % 20000));
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    for (size_t i = 0; i < stores.size(); ++i) {
      const std::vector<uint8_t> bytes = Read_File(stores[i].file);
      EXPECT_TRUE(bytes == versions[0][i] || bytes == versions[1][i]) << stores[i].file;
      EXPECT_TRUE(stores[i].load()) << stores[i].file;
    }
    Reset_Manager();
  }
}

}  // namespace
}  // namespace trainer_test
