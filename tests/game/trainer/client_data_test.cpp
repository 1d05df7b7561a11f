#include <gtest/gtest.h>

#include <sys/stat.h>

#include "game/menu/CMenu_Mgr.h"
#include "game/trainer/CClient_Data.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CMenu_Console.h"
#include "platform/system/files.h"
#include "tests/game/trainer/trainer_fixture.h"

namespace trainer_test {
namespace {

constexpr uint32_t kChecksum_Mask = 0x3c91a7e4;

// An account laid out at its file offsets: header, data block, read ids, deleted ids.
Golden Account_Bytes(uint32_t access, uint32_t credits, uint32_t story, const std::vector<uint32_t>& read_ids,
                     const std::vector<uint32_t>& deleted_ids) {
  Golden g(124);
  g.U32(0, 2).U32(4, 0x03000007).U32(8, 0x03000009).U32(12, 5).U32(16, 6);
  g.U32(20, static_cast<uint32_t>(read_ids.size())).U32(24, static_cast<uint32_t>(deleted_ids.size()));
  const size_t d = 28;
  g.U32(d + 0, access).U32(d + 4, credits).U32(d + 8, story).U32(d + 12, 3).U32(d + 16, 2);
  g.U32(d + 20, 4).U32(d + 24, 3);
  g.Byte(d + 28, 1).Byte(d + 29, 0).Byte(d + 30, 1).Byte(d + 31, 255).Byte(d + 32, 255);
  g.Byte(d + 33, 0xAB).Byte(d + 34, 0xCD).Byte(d + 35, 0xEF);  // reserved: written back unchanged
  g.U32(d + 36, 12).U32(d + 40, 2).U32(d + 44, 0x16);
  g.Byte(d + 48 + 2, 7).Byte(d + 48 + 4, 10);
  g.U32(d + 64, 3).U32(d + 68, 0x0C);
  g.Byte(d + 72 + 3, 5);
  g.U32(d + 88, 0x81);
  const uint32_t sum = access + credits + story;
  g.U32(d + 92, static_cast<uint32_t>(__builtin_popcount(sum)) ^ kChecksum_Mask);
  size_t at = 124;
  for (uint32_t id : read_ids) g.U32(at, id), at += 4;
  for (uint32_t id : deleted_ids) g.U32(at, id), at += 4;
  return g;
}

class ClientDataTest : public TrainerTest {
 protected:
  CClient_Data& account = g_Communications_Mgr.m_Client_Data;
};

TEST_F(ClientDataTest, GoldenAccountLoadsItsFieldsAndSavesBackByteForByte) {
  const Golden golden = Account_Bytes(2, 0xFFFFFF00u, 9, {3, 0x03000007, 0x05000001}, {0x04000002});
  ASSERT_TRUE(Write_File("client_ace.dat", golden.Bytes()));
  ASSERT_TRUE(account.Load("Ace"));
  EXPECT_TRUE(account.m_Loaded);
  EXPECT_EQ(account.m_Header[CClient_Data::kHeader_First_Message], 0x03000007u);
  EXPECT_EQ(account.m_Header[CClient_Data::kHeader_Selected_Sim_Row], 6u);
  EXPECT_EQ(account.m_Access_Level, 2u);
  EXPECT_EQ(account.m_Credits, 0xFFFFFF00u);
  EXPECT_EQ(account.m_Story_Counter, 9u);
  EXPECT_EQ(account.m_Runs_Finished, 3u);
  EXPECT_EQ(account.m_Missions_Won, 3u);
  EXPECT_EQ(account.m_Results[2], 1);
  EXPECT_EQ(account.m_Reserved[1], 0xCD);
  EXPECT_EQ(account.m_Forum_Posts, 12u);
  EXPECT_EQ(account.m_Current_Gun, 2u);
  EXPECT_EQ(account.m_Gun_Levels[4], 10);
  EXPECT_EQ(account.m_Current_Attachment, 3u);
  EXPECT_EQ(account.m_Attachment_Levels[3], 5);
  EXPECT_EQ(account.m_Flags, 0x81u);
  EXPECT_EQ(account.m_Read_Set, (std::set<uint32_t>{3, 0x03000007, 0x05000001}));
  EXPECT_EQ(account.m_Deleted_Set, (std::set<uint32_t>{0x04000002}));
  ASSERT_TRUE(account.Save());
  EXPECT_EQ(Read_File("client_ace.dat"), golden.Bytes());
}

TEST_F(ClientDataTest, FileNamesLowerOnlyTheLettersAToZ) {
  struct Case {
    const char* name;
    const char* file;
  } cases[] = {
      {"Pilot", "client_pilot.dat"},     {"PILOT", "client_pilot.dat"},   {"", "client_default.dat"},
      {"Ace Two", "client_ace two.dat"}, {"\xC9Z9_", "client_\xC9z9_.dat"},
  };
  for (const Case& c : cases) EXPECT_STREQ(CClient_Data::Get_File_Name(c.name), c.file) << c.name;
  g_Menu_Mgr.m_Console.m_User_Name = "Nova";
  EXPECT_STREQ(CClient_Data::Get_File_Name(nullptr), "client_nova.dat");
  g_Menu_Mgr.m_Console.m_User_Name.clear();
  EXPECT_STREQ(CClient_Data::Get_File_Name(nullptr), "client_default.dat");
}

TEST_F(ClientDataTest, RefusedAccountsFallBackToTheCopyOrResetKeepingTheRefusedFile) {
  const std::vector<uint8_t> good = Account_Bytes(3, 500, 1, {}, {}).Bytes();
  const std::vector<uint8_t> other = Account_Bytes(1, 70, 0, {}, {}).Bytes();
  std::vector<uint8_t> tampered = good;
  tampered[28] = 4;  // the access level changed without its checksum
  std::vector<uint8_t> wrong_version = good;
  wrong_version[0] = 3;
  const std::vector<uint8_t> too_many_ids = Account_Bytes(3, 500, 1, {}, {}).U32(20, 15000).Bytes();
  const std::vector<uint8_t> short_file(good.begin(), good.begin() + 100);
  struct Case {
    const char* what;
    const std::vector<uint8_t>* main;  // null: no file
    const std::vector<uint8_t>* copy;
    uint32_t access;                   // what loads
    bool bad_kept;                     // the main file is kept as "client_u.dat.bad"
    const char* why;                   // in the line on stderr; null: no line
  } cases[] = {
      {"main good", &good, &other, 3, false, nullptr},
      {"main missing, copy good", nullptr, &other, 1, false, nullptr},
      {"main tampered, copy good", &tampered, &other, 1, true, "(its checksum does not match)"},
      {"main tampered, no copy", &tampered, nullptr, 0, true, "(its checksum does not match)"},
      {"wrong version", &wrong_version, nullptr, 0, true, "(its version is 3)"},
      {"15,000 ids", &too_many_ids, nullptr, 0, true, "(a message set of 15000 ids)"},
      {"short file", &short_file, nullptr, 0, true, "(it ends inside its header)"},
      {"both missing", nullptr, nullptr, 0, false, nullptr},
      {"main tampered, copy tampered", &tampered, &tampered, 0, true, "(its checksum does not match)"},
      {"main missing, copy tampered", nullptr, &tampered, 0, false, "client_u.dat_tmp was damaged"},
  };
  std::vector<std::string>& errors = m_Errors;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const char* file : {"client_u.dat", "client_u.dat_tmp", "client_u.dat.bad"}) unlink(file);
    errors.clear();
    if (c.main) { ASSERT_TRUE(Write_File("client_u.dat", *c.main)); }
    if (c.copy) { ASSERT_TRUE(Write_File("client_u.dat_tmp", *c.copy)); }
    ASSERT_TRUE(account.Load("u"));
    EXPECT_TRUE(account.m_Loaded);
    EXPECT_EQ(account.m_Access_Level, c.access);
    if (c.access == 0) {
      EXPECT_EQ(account.m_Credits, 0u);
      EXPECT_EQ(account.m_Current_Gun, 4u);
      EXPECT_EQ(account.m_Owned_Guns, 0x10u);
    }
    EXPECT_EQ(File_There("client_u.dat.bad"), c.bad_kept);
    if (c.bad_kept) { EXPECT_EQ(Read_File("client_u.dat.bad"), *c.main); }
    if (c.why == nullptr) {
      EXPECT_TRUE(errors.empty());
      if (c.main) { EXPECT_EQ(Read_File("client_u.dat"), *c.main) << "loading an accepted account writes nothing"; }
    } else {
      ASSERT_EQ(errors.size(), 1u);
      EXPECT_NE(errors[0].find(c.why), std::string::npos) << errors[0];
      // A refused account is replaced at once by what loaded, which loads again without a word.
      account.Clear();
      ASSERT_TRUE(account.Load("u"));
      EXPECT_EQ(account.m_Access_Level, c.access);
      EXPECT_EQ(errors.size(), 1u);
    }
    if (c.copy) { EXPECT_EQ(Read_File("client_u.dat_tmp"), *c.copy) << "the copy is never written"; }
  }
}

TEST_F(ClientDataTest, AnAccountFileThatCannotBeOpenedIsMovedAsideForANewAccount) {
  ASSERT_EQ(mkdir("client_dir.dat", 0755), 0);  // a folder in the account's place
  ASSERT_TRUE(Write_File("client_dir.dat/inside", {1, 2, 3}));
  EXPECT_TRUE(account.Load("dir"));
  EXPECT_TRUE(account.m_Loaded);
  EXPECT_EQ(account.m_Current_Gun, 4u) << "a new account";
  EXPECT_EQ(Read_File("client_dir.dat.bad/inside"), (std::vector<uint8_t>{1, 2, 3})) << "moved whole";
  ASSERT_EQ(m_Errors.size(), 1u);
  EXPECT_EQ(m_Errors[0],
            "client_dir.dat could not be opened (it is a folder, not a regular file); it was moved to "
            "client_dir.dat.bad and a new account was started");
  account.m_Credits = 70;
  ASSERT_TRUE(account.Save());
  ASSERT_TRUE(account.Load("dir"));
  EXPECT_EQ(account.m_Credits, 70u);
  EXPECT_EQ(m_Errors.size(), 1u);
}

// A name that would lead out of the working folder names no file: the account is new, runs, and
// is never written anywhere.
TEST_F(ClientDataTest, ANameWithAPathInItNamesNoFileAndIsNeverSaved) {
  const char* names[] = {"../pilot", "a/b", "..", "x..y", "back\\slash", "/etc/passwd"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    EXPECT_STREQ(CClient_Data::Get_File_Name(name), "");
    m_Errors.clear();
    const std::vector<std::string> before = List_Folder();
    EXPECT_TRUE(account.Load(name));
    EXPECT_TRUE(account.m_Loaded);
    EXPECT_EQ(account.m_Credits, 0u);
    ASSERT_EQ(m_Errors.size(), 1u);
    EXPECT_EQ(m_Errors[0], std::string("the account name \"") + name +
                               "\" holds a path separator or \"..\"; a new account was started and is not saved");
    account.m_Credits = 5;
    EXPECT_FALSE(account.Save());
    EXPECT_EQ(List_Folder(), before);
  }
  EXPECT_FALSE(File_There("../client_pilot.dat"));
  g_Menu_Mgr.m_Console.m_User_Name = "../up";
  EXPECT_STREQ(CClient_Data::Get_File_Name(nullptr), "");
  EXPECT_STREQ(CClient_Data::Get_File_Name("Dots.In.Name"), "client_dots.in.name.dat");
}

// The console lists only accounts whose names could be typed at its login: a name in another
// character set would show as other letters ("client_été.dat" as "Ã©tÃ©"), and one with a dot,
// a single letter or a reserved name would lead nowhere.
TEST_F(ClientDataTest, TheAccountListShowsOnlyNamesTheLoginAccepts) {
  for (const char* file : {"client_pilot.dat", "client_Ace Two.dat", "client_\xC3\xA9t\xC3\xA9.dat", "client_a.dat",
                           "client_two.parts.dat", "client_administrator.dat", "client_semi;colon.dat",
                           "client_zed9.dat"}) {
    ASSERT_TRUE(Write_File(file, {1}));
  }
  EXPECT_EQ(CMenu_Console::Get_Account_List(), (std::vector<std::string>{"Ace Two", "pilot", "zed9"}));
}

TEST_F(ClientDataTest, SetsAtTheLimitLoadAndLargerSetsAreSavedWithinIt) {
  std::vector<uint32_t> ids;
  for (uint32_t i = 1; i <= 14999; ++i) ids.push_back(i * 3);
  ASSERT_TRUE(Write_File("client_big.dat", Account_Bytes(1, 2, 3, ids, {7}).Bytes()));
  ASSERT_TRUE(account.Load("big"));
  EXPECT_EQ(account.m_Read_Set.size(), 14999u);
  EXPECT_EQ(account.m_Access_Level, 1u);

  for (uint32_t i = 0; i < 2; ++i) account.m_Read_Set.insert(1000000 + i);  // 15,001 ids
  for (uint32_t i = 1; i <= 15000; ++i) account.m_Deleted_Set.insert(i);
  ASSERT_TRUE(account.Save());
  ASSERT_TRUE(account.Load("big"));
  EXPECT_EQ(account.m_Access_Level, 1u) << "the saved account is accepted";
  EXPECT_EQ(account.m_Read_Set.size(), 14999u);
  EXPECT_EQ(account.m_Read_Set.count(3), 0u) << "the lowest ids go first";
  EXPECT_EQ(account.m_Read_Set.count(1000001), 1u);
  EXPECT_EQ(account.m_Deleted_Set.size(), 14999u);
  EXPECT_EQ(*account.m_Deleted_Set.begin(), 2u);
}

TEST_F(ClientDataTest, AShortSetStaysPartialWithoutZeroFilledIds) {
  Golden g = Account_Bytes(1, 2, 3, {5, 6, 7}, {});
  g.U32(20, 6);  // claims six read ids, holds three
  ASSERT_TRUE(Write_File("client_s.dat", g.Bytes()));
  ASSERT_TRUE(account.Load("s"));
  EXPECT_EQ(account.m_Read_Set, (std::set<uint32_t>{5, 6, 7}));
  EXPECT_TRUE(account.m_Deleted_Set.empty());
}

TEST_F(ClientDataTest, NothingIsSavedUnlessLoaded) {
  EXPECT_FALSE(account.Save()) << "no file name yet";
  ASSERT_TRUE(account.Load("ghost"));
  account.m_Credits = 99;
  account.Clear();
  EXPECT_FALSE(account.Save()) << "a save after a clear writes nothing";
  EXPECT_FALSE(File_There("client_ghost.dat"));
}

TEST_F(ClientDataTest, SuccessRateCountsResultsFromTheNewestToTheFirstEmptySlot) {
  struct Case {
    uint8_t results[5];
    float rate, weight;
  } cases[] = {
      {{1, 0, 1, 1, 1}, 0.8f, 1.0f},
      {{255, 255, 255, 255, 255}, 0.0f, 0.0f},
      {{0, 255, 1, 1, 1}, 0.0f, 0.2f},
      {{1, 1, 255, 0, 0}, 1.0f, 0.4f},
      {{7, 0, 0, 255, 1}, 1.0f / 3.0f, 0.6f},
  };
  for (const Case& c : cases) {
    std::copy(std::begin(c.results), std::end(c.results), account.m_Results);
    float weight = -1;
    EXPECT_FLOAT_EQ(account.Get_Success_Rate(weight), c.rate);
    EXPECT_FLOAT_EQ(weight, c.weight);
  }
}

TEST_F(ClientDataTest, PushingASixthResultDropsTheOldest) {
  const bool pushes[] = {true, false, false, true, true, false};
  for (bool won : pushes) account.Push_Mission_Result(won);
  const uint8_t expected[5] = {0, 1, 1, 0, 0};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(account.m_Results[i], expected[i]) << i;
}

TEST_F(ClientDataTest, FlagsWhileUnloadedLoadTheCurrentUserSaveAndLeaveTheRecordUnloaded) {
  g_Menu_Mgr.m_Console.m_User_Name = "Wren";
  EXPECT_FALSE(Test_Client_Flags(0x4));
  Set_Client_Flags(0x4);
  EXPECT_FALSE(account.m_Loaded);
  EXPECT_TRUE(File_There("client_wren.dat"));
  EXPECT_TRUE(Test_Client_Flags(0x4));
  EXPECT_FALSE(Test_Client_Flags(0x3));
  ASSERT_TRUE(account.Load(nullptr));
  EXPECT_EQ(account.m_Flags, 0x4u);
}

TEST_F(ClientDataTest, ReadMarksSetThePrivateFlagAndPruningDropsIdsTheForumLost) {
  CForum_Data& forum = g_Communications_Mgr.m_Forum_Data;
  forum.m_Loaded = true;
  Forum_Message private_message, public_message;
  private_message.Record.Id = 0x03000001;
  private_message.Record.Type = kMessage_Private;
  public_message.Record.Id = 0x04000002;
  public_message.Record.Type = kMessage_Public;
  forum.m_Posted = {private_message, public_message};
  EXPECT_TRUE(account.Mark_Read(0x03000001, forum));
  EXPECT_TRUE(account.Mark_Read(0x04000002, forum));
  EXPECT_TRUE(account.Mark_Read(0x09000009, forum));
  EXPECT_TRUE(account.Mark_Deleted(0x08000008));
  EXPECT_EQ(forum.m_Posted[0].Record.Flags & 1, 1);
  EXPECT_EQ(forum.m_Posted[1].Record.Flags & 1, 0) << "only private messages carry the read flag";
  account.Prune_Message_Sets(forum);
  EXPECT_EQ(account.m_Read_Set, (std::set<uint32_t>{0x03000001, 0x04000002}));
  EXPECT_TRUE(account.m_Deleted_Set.empty());
}

}  // namespace
}  // namespace trainer_test
