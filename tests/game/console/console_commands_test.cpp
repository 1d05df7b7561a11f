#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/menu/CMenu_Mgr.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/trainer/CClient_Data.h"
#include "game/trainer/Store_File.h"
#include "game/trainer/Weapon_Tables.h"
#include "platform/system/debug.h"
#include "platform/system/files.h"
#include "tests/game/console/console_fixture.h"

namespace {

class ConsoleCommands : public ConsoleGame {
 protected:
  void TearDown() override {
    g_Wide_Search = false;
    g_Menu_Mgr.m_Simulator.m_Alert_Timer = 0.0f;
    ConsoleGame::TearDown();
  }
  static void Write_Account(const std::string& name, uint32_t credits, uint32_t level) {
    CClient_Data account;
    ASSERT_TRUE(account.Load(name.c_str()));
    account.m_Credits = credits;
    account.m_Access_Level = level;
    ASSERT_TRUE(account.Save());
  }
  static std::vector<uint8_t> Read_Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static CClient_Data Read_Account(const std::string& name) {
    CClient_Data account;
    EXPECT_TRUE(account.Load(name.c_str()));
    return account;
  }
  static bool Running_Sequence(int kind, int value1) {
    for (const CSequence* sequence : g_Sequence_Mgr.Running())
      if (sequence->kind == kind && sequence->values[0] == value1) return true;
    return false;
  }
  static bool Story_Queued() {
    for (const auto& posting : g_Communications_Mgr.m_Queue)
      if (posting.kind == kComm_Story && posting.key == 0) return true;
    return false;
  }
  // Types a command at the prompt and presses Enter.
  static void Command(const std::string& line) {
    At_Prompt(CMenu_Console::kPrompt_Command);
    Type(line);
    Enter();
  }
};

TEST_F(ConsoleCommands, CommandWordsMatchTheirBeginningWithoutRegardToCase) {
  struct Case {
    const char* line;
    int action;
  };
  const Case cases[] = {
      {"logout", 3},        {"LOGOUT NOW please", 3}, {"quit", 4},          {"Exit", 4},
      {"exit program", 4},  {"time", 6},              {"user", 7},          {"username", 7},
      {"ls", 8},            {"ls -la", 8},            {"cd ..", 8},         {"PWD", 8},
      {"ftp", 8},           {"help", 9},              {"helpme", 9},        {"cheat_inccred", 10},
      {"cheat_deccred", 11}, {"cheat_incacc", 12},    {"cheat_decacc", 13}, {"cheat_mission", 14},
      {"cheat_autoaim", 15}, {"l", 0},                {"", 0},              {"log", 0},
      {"cheat", 0},         {" help", 0},             {"hel", 0},           {"cheat_inc", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(CMenu_Console::Parse_Command(c.line), c.action) << '"' << c.line << '"';
}

TEST_F(ConsoleCommands, AnUnknownCommandIsEchoedAndRefused) {
  Command("l");
  EXPECT_TRUE(Queued_Has(": l")) << "the echo";
  EXPECT_TRUE(console().m_Pending.front().immediate);
  EXPECT_TRUE(Queued_Has("Invalid command : l"));
  EXPECT_EQ(console().m_Input, "");
  EXPECT_EQ(console().m_Prompt_State, CMenu_Console::kPrompt_Command);
  console().m_Pending.clear();
  Command("ftp");
  EXPECT_TRUE(Queued_Has("-- Unable to comply: Higher access level required"));
}

TEST_F(ConsoleCommands, RefusedLoginNamesPrintTheirReason) {
  struct Case {
    std::string typed;
    std::string line;  // "" when only the echo is printed
  };
  const Case cases[] = {
      {"a", "Invalid Login Name: a"},
      {"", ""},
      {"Administrator", "Login name (Administrator) taken, please choose another..."},
      {"autonotify", "Login name (autonotify) taken, please choose another..."},
      {"AutoNotify ", "Login name (AutoNotify ) taken, please choose another..."},
  };
  for (const Case& c : cases) {
    console().m_Pending.clear();
    At_Prompt(CMenu_Console::kPrompt_Login, c.typed);
    Enter();
    const std::vector<std::string> queued = Queued();
    ASSERT_EQ(queued.size(), c.line.empty() ? 1u : 2u) << c.typed;
    EXPECT_EQ(queued[0], "Login: " + c.typed) << "the echo";
    if (!c.line.empty()) {
      EXPECT_EQ(queued[1], c.line);
    }
    EXPECT_EQ(console().m_Prompt_State, CMenu_Console::kPrompt_Login);
    EXPECT_EQ(console().m_Input, "");
    EXPECT_FALSE(g_Console_Session.logged_in);
  }
  // A name with characters the editor refuses cannot come through it, but a line set directly is
  // still checked.
  console().m_Pending.clear();
  At_Prompt(CMenu_Console::kPrompt_Login, "bad-name");
  Enter();
  EXPECT_TRUE(Queued_Has("Invalid Login Name: bad-name"));
}

TEST_F(ConsoleCommands, AnExistingAccountLogsInAndLaunchesTheTrainer) {
  Write_Account("ace", 5000, 3);
  At_Prompt(CMenu_Console::kPrompt_Login);
  Type("Ace ");
  Enter();
  EXPECT_EQ(console().m_User_Name, "Ace") << "one trailing blank dropped";
  EXPECT_TRUE(g_Console_Session.logged_in);
  EXPECT_EQ(g_Console_Session.remembered_name, "Ace");
  EXPECT_EQ(console().m_Prompt_State, CMenu_Console::kPrompt_Command);
  EXPECT_EQ(console().m_Prompt, ": ");
  EXPECT_TRUE(Running_Sequence(1, 0));
  EXPECT_TRUE(Story_Queued()) << "the next story message waits for the manager";
  EXPECT_TRUE(Queued_Has("Welcome back, Ace..."));
  EXPECT_TRUE(Queued_Has("Access Level: 3"));
  EXPECT_TRUE(Queued_Has("Launching QOR Trainer..."));
  EXPECT_TRUE(g_Communications_Mgr.m_Client_Data.Holds("ace")) << "read for the session the login starts";
  // A logout before that session starts lets the record go.
  Command("logout");
  EXPECT_FALSE(g_Communications_Mgr.m_Client_Data.m_Loaded);
}

// The login reads the account once, for the session it starts: what the console shows, what
// stderr says and what the trainer then runs on and saves all come from that one read. A file the
// process is out of file handles to open at the login stays as it is for the session, as said,
// though the trainer could open it a moment later; one that could be opened at the login is not
// taken from the session by a trouble that comes after it.
TEST_F(ConsoleCommands, TheLoginReadsTheAccountOnceForTheSessionItStarts) {
  struct Case {
    const char* what;
    bool fails_at_login;  // else the file fails to open from the trainer's start on
    const char* shown;
    uint32_t session_credits;
    bool said_and_unsaved;
  };
  const Case cases[] = {
      {"out of file handles at the login only", true, "Access Level: 0", 0, true},
      {"out of file handles after the login", false, "Access Level: 3", 5000, false},
  };
  const std::string file = "client_ace.dat";
  CCommunications_Mgr& mgr = g_Communications_Mgr;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Write_Account("ace", 5000, 3);
    const std::vector<uint8_t> written = Read_Bytes(file);
    std::vector<std::string> errors;
    plat::Set_Error_Recorder([&](const std::string& text) { errors.push_back(text); });
    if (c.fails_at_login) Inject_Store_Open_Failure(file, EMFILE);
    console().m_Pending.clear();
    At_Prompt(CMenu_Console::kPrompt_Login);
    Type("Ace");
    Enter();
    Inject_Store_Open_Failure("", 0);
    if (!c.fails_at_login) Inject_Store_Open_Failure(file, EMFILE);
    EXPECT_TRUE(Queued_Has(c.shown));
    ASSERT_TRUE(mgr.Init()) << "the simulator screen starts the trainer's session";
    Inject_Store_Open_Failure("", 0);
    EXPECT_EQ(mgr.m_Client_Data.m_Credits, c.session_credits);
    mgr.m_Client_Data.m_Credits += 1;
    mgr.Term();
    plat::Set_Error_Recorder(nullptr);
    if (c.said_and_unsaved) {
      EXPECT_EQ(errors, std::vector<std::string>{file + " could not be opened (Too many open files) and a new account "
                                                        "was started; it is left where it is and nothing is saved "
                                                        "over it this session"});
      EXPECT_EQ(Read_Bytes(file), written) << "byte for byte";
    } else {
      EXPECT_TRUE(errors.empty()) << errors.front();
      EXPECT_EQ(Read_Account("ace").m_Credits, 5001u) << "the session saved the account it read";
    }
    mgr.m_Client_Data.m_Store_State = Store_State();
    std::remove(file.c_str());
  }
}

TEST_F(ConsoleCommands, ANewNameAsksAndYesCreatesTheAccountWithoutWritingIt) {
  At_Prompt(CMenu_Console::kPrompt_Login);
  Type("Zed");
  Enter();
  EXPECT_TRUE(Queued_Has("User Account (Zed) Not Found..."));
  EXPECT_EQ(console().m_Prompt_State, CMenu_Console::kPrompt_Create);
  EXPECT_EQ(console().m_Prompt, "Create User Account: Zed (Yes/No)? ");
  EXPECT_FALSE(g_Console_Session.logged_in);
  console().m_Pending.clear();
  Type("Y");
  EXPECT_EQ(console().m_User_Name, "Zed");
  EXPECT_TRUE(g_Console_Session.logged_in);
  EXPECT_EQ(console().m_Prompt_State, CMenu_Console::kPrompt_Command);
  EXPECT_TRUE(Running_Sequence(1, 16));
  EXPECT_TRUE(Story_Queued());
  EXPECT_TRUE(Queued_Has("User Account Created: Zed..."));
  EXPECT_TRUE(Queued_Has("- Limited access granted"));
  EXPECT_TRUE(Queued_Has("Access Level: 0"));
  EXPECT_FALSE(plat::File_Exists("client_zed.dat")) << "written at the record's next save";
}

TEST_F(ConsoleCommands, AnyOtherAnswerListsTheAccountsAndAsksForALoginAgain) {
  // With no accounts the answer only returns to the login prompt.
  At_Prompt(CMenu_Console::kPrompt_Login, "Zed");
  Enter();
  console().m_Pending.clear();
  Type("n");
  EXPECT_TRUE(console().m_Pending.empty());
  EXPECT_EQ(console().m_Prompt_State, CMenu_Console::kPrompt_Login);

  Write_Account("bob", 0, 0);
  Write_Account("al", 0, 0);
  At_Prompt(CMenu_Console::kPrompt_Login, "Zed");
  Enter();
  console().m_Pending.clear();
  Type("7");
  EXPECT_TRUE(Queued_Has("Account list accessed from this terminal:"));
  EXPECT_TRUE(Queued_Has(" \"al\", \"bob\""));
  EXPECT_EQ(console().m_Prompt_State, CMenu_Console::kPrompt_Login);
  EXPECT_EQ(console().m_Prompt, "Login: ");
  EXPECT_FALSE(g_Console_Session.logged_in);
}

TEST_F(ConsoleCommands, TheAccountListSkipsFoldersAndOddNamesAndShowsAtMostTwentyFive) {
  ASSERT_EQ(mkdir("client_folder.dat", 0755), 0);
  for (const char* name : {"client_a.dat", "client_averyveryverylongname12345.dat", "client_.dat",
                           "client_two.parts.dat", "client_x.dat_tmp", "other_b.dat"}) {
    std::ofstream(name) << "x";
  }
  // "a" is too short to log in with and "two.parts" holds a dot: neither is listed.
  const std::vector<std::string> want = {"averyveryverylongn"};
  EXPECT_EQ(CMenu_Console::Get_Account_List(), want);

  for (int i = 0; i < 30; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "client_u%02d.dat", i);
    std::ofstream(name) << "x";
  }
  At_Prompt(CMenu_Console::kPrompt_Login, "Zed");
  Enter();
  console().m_Pending.clear();
  Type("n");
  std::string list;
  for (const std::string& line : Queued())
    if (!line.empty() && line[0] == ' ') list = line;
  size_t names = 0;
  for (char c : list) names += c == '"';
  EXPECT_EQ(names, 2u * 25u) << list;
  EXPECT_EQ(list.substr(0, 22), " \"averyveryverylongn\",");
}

struct Cheat_Case {
  const char* command;
  uint32_t credits, level;
  uint32_t want_credits, want_level;
};

const Cheat_Case kCheats[] = {
    {"cheat_inccred", 1000, 2, 26000, 2},
    {"cheat_inccred", UINT_MAX - 10, 2, UINT_MAX, 2},
    {"cheat_deccred", 30000, 2, 5000, 2},
    {"cheat_deccred", 10000, 2, 0, 2},
    {"cheat_deccred", 25000, 2, 0, 2},
    {"cheat_incacc", 7, 2, 7, 3},
    {"cheat_decacc", 7, 2, 7, 1},
    {"cheat_decacc", 7, 0, 7, 0},
};

TEST_F(ConsoleCommands, CheatsChangeAnUnloadedAccountThroughATemporaryLoad) {
  console().m_User_Name = "Pilot";
  for (const Cheat_Case& c : kCheats) {
    Write_Account("pilot", c.credits, c.level);
    Command(c.command);
    const CClient_Data saved = Read_Account("pilot");
    EXPECT_EQ(saved.m_Credits, c.want_credits) << c.command << " " << c.credits;
    EXPECT_EQ(saved.m_Access_Level, c.want_level) << c.command << " " << c.level;
    EXPECT_FALSE(g_Communications_Mgr.m_Client_Data.m_Loaded) << "left unloaded";
  }
}

TEST_F(ConsoleCommands, CheatsChangeTheLoadedAccountAndSaveIt) {
  console().m_User_Name = "Pilot";
  Write_Account("pilot", 10000, 1);
  CClient_Data& record = g_Communications_Mgr.m_Client_Data;
  ASSERT_TRUE(record.Load(nullptr));
  Command("cheat_deccred");
  Command("cheat_incacc");
  EXPECT_TRUE(record.m_Loaded);
  EXPECT_EQ(record.m_Credits, 0u);
  EXPECT_EQ(record.m_Access_Level, 2u);
  EXPECT_EQ(Read_Account("pilot").m_Access_Level, 2u) << "saved";
  EXPECT_EQ(console().Get_Access_Level(), 2u);
}

// An account file that cannot be opened (here a folder) is moved aside whole; the cheat goes to a
// new account in its place.
TEST_F(ConsoleCommands, ACheatOnAnAccountThatCannotBeOpenedKeepsItAsideAndWritesANewOne) {
  console().m_User_Name = "Pilot";
  ASSERT_EQ(mkdir("client_pilot.dat", 0755), 0);
  Command("cheat_inccred");
  struct stat info {};
  ASSERT_EQ(stat("client_pilot.dat.bad", &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode)) << "moved aside as it was";
  EXPECT_FALSE(g_Communications_Mgr.m_Client_Data.m_Loaded);
  EXPECT_EQ(console().Get_Access_Level(), 0u);
  ASSERT_TRUE(g_Communications_Mgr.m_Client_Data.Load("pilot"));
  EXPECT_EQ(g_Communications_Mgr.m_Client_Data.m_Credits, 25000u) << "the new account took the cheat";
  g_Communications_Mgr.m_Client_Data.Clear();
}

TEST_F(ConsoleCommands, TheMissionAndAutoAimCheatsSetTheirFlags) {
  g_Menu_Mgr.m_Simulator.m_Alert_Timer = 900.0f;
  Command("cheat_mission");
  EXPECT_EQ(g_Menu_Mgr.m_Simulator.m_Alert_Timer, 10.0f);
  ASSERT_FALSE(g_Wide_Search);
  Command("CHEAT_AUTOAIM");
  EXPECT_TRUE(g_Wide_Search);
}

TEST_F(ConsoleCommands, UserTimeAndHelpPrintTheirLines) {
  Write_Account("pilot", 0, 4);
  console().m_User_Name = "Pilot";
  Command("user");
  EXPECT_TRUE(Queued_Has("User: Pilot"));
  EXPECT_TRUE(Queued_Has("Access Level: 4"));
  console().m_Pending.clear();
  console().m_User_Name.clear();
  Command("user");
  EXPECT_TRUE(Queued_Has("User: default"));
  console().m_Pending.clear();
  Command("help");
  EXPECT_TRUE(Queued_Has("User command list (Access level: 0):"));
  EXPECT_TRUE(Queued_Has("exit  logout  time   user   help"));
  console().m_Pending.clear();
  Command("time");
  ASSERT_GE(Queued().size(), 3u);
  EXPECT_EQ(Queued()[1], CCommunications_Mgr::Get_Date_Stamp());
}

TEST_F(ConsoleCommands, LogoutForgetsTheLoginButKeepsTheCurrentName) {
  g_Console_Session.logged_in = true;
  g_Console_Session.remembered_name = "Ace";
  console().m_User_Name = "Ace";
  Command("LOGOUT and more");
  EXPECT_FALSE(g_Console_Session.logged_in);
  EXPECT_EQ(g_Console_Session.remembered_name, "");
  EXPECT_EQ(console().m_User_Name, "Ace");
  EXPECT_EQ(console().m_Prompt_State, CMenu_Console::kPrompt_Login);
  EXPECT_TRUE(Queued_Has("Bye..."));
  EXPECT_TRUE(Running_Sequence(2, 0));
}

TEST_F(ConsoleCommands, TheExitQuestionReturnsToThePromptUnlessAnsweredYes) {
  Command("exit");
  EXPECT_EQ(console().m_Prompt_State, CMenu_Console::kPrompt_Exit);
  EXPECT_EQ(console().m_Prompt, "Exit program - Are you sure (Yes/No)? ");
  console().m_Pending.clear();
  Record_Sounds();
  Type("-");
  EXPECT_EQ(console().m_Prompt_State, CMenu_Console::kPrompt_Exit) << "refused with the error sound";
  EXPECT_EQ(Sounds(0x220000dd), 1);
  Type("n");
  EXPECT_TRUE(Queued_Has("Exit program - Are you sure (Yes/No)? n"));
  EXPECT_EQ(console().m_Prompt_State, CMenu_Console::kPrompt_Command);
  EXPECT_EQ(console().m_Prompt, ": ");
  EXPECT_EQ(console().m_Input, "");
  EXPECT_TRUE(harness.Pump()) << "still running";
  Command("quit");
  Type("y");
  EXPECT_FALSE(harness.Pump()) << "the program quits";
}

}  // namespace
