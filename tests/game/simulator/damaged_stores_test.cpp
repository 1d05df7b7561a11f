// The whole game started on a data folder with one store file damaged (and, in one start, a FIFO
// in another store's place): the trainer opens, the shop buys and saves, the damaged file is kept
// beside the new one, the FIFO is moved aside, and stderr names each once.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "game/trainer/Weapon_Tables.h"
#include "platform/system/debug.h"
#include "tests/game/simulator/simulator_fixture.h"

namespace {

constexpr int kGun_List = 1;

class DamagedStoreStart : public SimulatorScreen {
 protected:
  // The program is started by each test, after it has damaged its file.
  void SetUp() override {
    MenuGame::SetUp();
    plat::Set_Error_Recorder([this](const std::string& text) { errors.push_back(text); });
  }
  void TearDown() override {
    plat::Set_Error_Recorder(nullptr);
    SimulatorScreen::TearDown();
  }

  static std::vector<uint8_t> Read_Bytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
      for (int c; (c = std::fgetc(file)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
      std::fclose(file);
    }
    return bytes;
  }
  static bool Write_Bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
  }

  // Starts on the damaged file (and a FIFO in the place of `fifo` when given), opens the shop and
  // buys the machine gun.
  void Start_Damaged_And_Buy(const std::string& file, const std::vector<uint8_t>& damage, const char* message,
                             const char* fifo = nullptr) {
    ASSERT_TRUE(Write_Bytes(file, damage));
    if (fifo != nullptr) {
      ASSERT_EQ(mkfifo(fifo, 0600), 0);
    }
    const size_t lines = fifo != nullptr ? 2u : 1u;
    Start();
    plat::Seed_Random(7);
    g_Menu_Mgr.m_Console.m_User_Name = "pilot";
    Open(2);
    ASSERT_TRUE(g_Communications_Mgr.Is_Running()) << "the trainer runs";
    ASSERT_TRUE(account().m_Loaded);

    EXPECT_EQ(Read_Bytes(file + ".bad"), damage) << "the damaged file is kept beside the new one";
    ASSERT_EQ(errors.size(), lines);
    const auto damaged_line = std::find_if(errors.begin(), errors.end(), [&](const std::string& line) {
      return line.find(file + " was damaged (") != std::string::npos;
    });
    ASSERT_NE(damaged_line, errors.end()) << errors[0];
    EXPECT_NE(damaged_line->find("kept as " + file + ".bad "), std::string::npos) << *damaged_line;
    if (fifo != nullptr) {
      const std::string moved = std::string(fifo) + ".bad";
      EXPECT_EQ(std::count(errors.begin(), errors.end(),
                           std::string(fifo) + " could not be opened (it is a FIFO, not a regular file); it was moved to " +
                               moved + " and a new forum was started"),
                1)
          << errors.back();
      struct stat info {};
      EXPECT_TRUE(lstat(moved.c_str(), &info) == 0 && S_ISFIFO(info.st_mode)) << "the FIFO is kept aside";
    }
    const size_t shown = std::count(messages.begin(), messages.end(), std::string(message ? message : ""));
    EXPECT_EQ(shown, message ? 1u : 0u);

    account().m_Access_Level = 1;
    account().m_Credits = 15000;
    screen().Build_Layout(2);
    CMenuItem_List* guns = List(kGun_List);
    ASSERT_NE(guns, nullptr);
    for (size_t i = 0; i < g_Weapon_Table.size(); ++i) {
      if (g_Weapon_Table[i].Name == "Machine Gun") guns->Select_Row(static_cast<int>(i));
    }
    screen().Buy_Or_Select_Weapon();
    EXPECT_EQ(account().m_Credits, 0u) << "the shop buys";
    EXPECT_EQ(Saved_Account().m_Current_Gun, 2u) << "and the account file keeps the purchase";

    // Reopening reads the new files without another message or line.
    Reopen(2);
    EXPECT_EQ(errors.size(), lines);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), std::string(message ? message : "")), shown);
    EXPECT_EQ(account().m_Current_Gun, 2u);
  }

  std::vector<std::string> errors;
};

TEST_F(DamagedStoreStart, ADamagedForumFile) {
  Start_Damaged_And_Buy("forumfile.dat", {2, 0, 0, 0, 0, 0, 0, 0},
                        "Error (CCommunications_Mgr): Couldn't load forum file.");
}

TEST_F(DamagedStoreStart, ADamagedScoreFile) {
  Start_Damaged_And_Buy("rdata.dat", {1, 0, 0, 0, 0x88, 0x13, 0, 0},
                        "Error (CCommunications_Mgr): Couldn't load ranks.");
}

TEST_F(DamagedStoreStart, ADamagedAccount) {
  std::vector<uint8_t> account_file(124, 0);
  account_file[0] = 7;  // another version
  Start_Damaged_And_Buy("client_pilot.dat", account_file, nullptr, "forumfile.dat");
}

}  // namespace
