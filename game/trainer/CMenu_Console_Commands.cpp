// What the console does with a finished line: the banner, the login with account creation and
// the account list, the command line with its commands, and the exit question.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <limits>
#include <strings.h>

#include "game/menu/CMenu_Mgr.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CMenu_Console.h"
#include "game/trainer/Weapon_Tables.h"
#include "platform/system/files.h"

namespace {

constexpr int kPersona_Count = 16;
constexpr size_t kMax_Listed_Accounts = 25;
constexpr size_t kMax_Account_Name = 18;
constexpr size_t kFile_Prefix = 7;  // "client_"
constexpr float kAlert_Soon = 10.0f;
constexpr const char* kVersion_Line = "Version 18kA.x101.client";

struct Command_Entry {
  const char* word;
  int action;
};

// Checked in order; the first word the line begins with wins.
constexpr Command_Entry kCommands[] = {
    {"logout", CMenu_Console::kAction_Logout},
    {"quit", CMenu_Console::kAction_Exit_Question},
    {"exit", CMenu_Console::kAction_Exit_Question},
    {"time", CMenu_Console::kAction_Time},
    {"user", CMenu_Console::kAction_User},
    {"ls", CMenu_Console::kAction_Refused},
    {"cd", CMenu_Console::kAction_Refused},
    {"pwd", CMenu_Console::kAction_Refused},
    {"ftp", CMenu_Console::kAction_Refused},
    {"help", CMenu_Console::kAction_Help},
    {"cheat_inccred", CMenu_Console::kAction_Add_Credits},
    {"cheat_deccred", CMenu_Console::kAction_Take_Credits},
    {"cheat_incacc", CMenu_Console::kAction_Raise_Access},
    {"cheat_decacc", CMenu_Console::kAction_Lower_Access},
    {"cheat_mission", CMenu_Console::kAction_Mission_Alert},
    {"cheat_autoaim", CMenu_Console::kAction_Auto_Aim},
};

bool Is_Valid_Login(const std::string& name) {
  if (name.size() < 2) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ';
  });
}

bool Is_Persona_Name(const std::string& name) {
  for (uint32_t id = 1; id <= kPersona_Count; ++id) {
    if (strcasecmp(name.c_str(), Get_Persona_Name(id)) == 0) return true;
  }
  return false;
}

bool Starts_With_Yes(const std::string& answer) { return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y'); }

std::string Format_Line(const char* format, const char* text) {
  char line[64];
  std::snprintf(line, sizeof line, format, text);
  return line;
}

std::string Format_Line(const char* format, uint32_t value) {
  char line[64];
  std::snprintf(line, sizeof line, format, value);
  return line;
}

void Start_Sequence(int32_t kind, int32_t value1) {
  const int32_t zero = 0;
  g_Sequence_Mgr.Start_Sequence(kind, value1, zero, zero, zero);
}

}  // namespace

const char* CMenu_Console::Command_Word(size_t index) {
  return index < std::size(kCommands) ? kCommands[index].word : nullptr;
}

int CMenu_Console::Parse_Command(const std::string& line) {
  for (const Command_Entry& command : kCommands) {
    if (strncasecmp(line.c_str(), command.word, std::char_traits<char>::length(command.word)) == 0)
      return command.action;
  }
  return kAction_None;
}

void CMenu_Console::Set_Prompt(int state) {
  if (state != m_Prompt_State) m_Input.clear();
  m_Prompt_State = state;
  switch (state) {
    case kPrompt_Login: m_Prompt = "Login: "; break;
    case kPrompt_Command: m_Prompt = ": "; break;
    case kPrompt_Create: m_Prompt = "Create User Account: " + m_Pending_Account + " (Yes/No)? "; break;
    case kPrompt_Exit: m_Prompt = "Exit program - Are you sure (Yes/No)? "; break;
    default: m_Prompt.clear(); break;
  }
}

void CMenu_Console::Process(int action) {
  switch (action) {
    case kAction_Banner:
      Print_Line("\aVorthane", false);
      Print_Line(kVersion_Line, false);
      Print_Line("\a", false);
      Print_Line("\a", false);
      if (m_Prompt_State != kPrompt_Login) Set_Prompt(kPrompt_Login);
      break;
    case kAction_Enter: Enter_Line(); break;
    case kAction_Logout:
      Start_Sequence(2, 0);
      Print_Line("Bye...", false);
      Print_Line("", false);
      g_Console_Session.logged_in = false;
      g_Console_Session.remembered_name.clear();
      // The account a login read for a session that never started goes with the login.
      if (!g_Communications_Mgr.Is_Running()) g_Communications_Mgr.m_Client_Data.Clear();
      if (m_Prompt_State != kPrompt_Login) Set_Prompt(kPrompt_Login);
      break;
    case kAction_Exit_Question:
      if (m_Prompt_State != kPrompt_Exit) Set_Prompt(kPrompt_Exit);
      break;
    case kAction_Quit: g_Menu_Mgr.Command(kCommand_Quit, 0); break;
    case kAction_Time:
      Print_Line(CCommunications_Mgr::Get_Date_Stamp(), false);
      Print_Line("", false);
      break;
    case kAction_User: Print_User(); break;
    case kAction_Refused: Print_Line("-- Unable to comply: Higher access level required", false); break;
    case kAction_Help: Print_Help(); break;
    case kAction_Add_Credits:
    case kAction_Take_Credits:
    case kAction_Raise_Access:
    case kAction_Lower_Access: Change_Account(action); break;
    case kAction_Mission_Alert: g_Menu_Mgr.m_Simulator.m_Alert_Timer = kAlert_Soon; break;
    case kAction_Auto_Aim: g_Wide_Search = true; break;
    default: break;
  }
}

void CMenu_Console::Enter_Line() {
  switch (m_Prompt_State) {
    case kPrompt_Login: Enter_Login(); break;
    case kPrompt_Command: Enter_Command(); break;
    case kPrompt_Create: Answer_Create(); break;
    case kPrompt_Exit: Answer_Exit(); break;
    default: break;
  }
}

void CMenu_Console::Enter_Login() {
  const std::string typed = m_Input;
  Print_Line(m_Prompt + typed, true);
  std::string name = typed;
  const bool valid = Is_Valid_Login(name);
  if (valid && name.back() == ' ') name.pop_back();
  if (!valid) {
    if (!typed.empty()) Print_Line("Invalid Login Name: " + typed, false);
  } else if (Is_Persona_Name(name)) {
    Print_Line("Login name (" + typed + ") taken, please choose another...", false);
  } else if (plat::File_Exists(CClient_Data::Get_File_Name(name.c_str()))) {
    Log_In(name, false);
  } else {
    m_Pending_Account = name;
    Print_Line("", false);
    Print_Line("\a\a\a\a\a\aUser Account (" + name + ") Not Found...\a\a\a\a\a", false);
    Set_Prompt(kPrompt_Create);
  }
  m_Input.clear();
}

void CMenu_Console::Log_In(const std::string& name, bool created) {
  m_User_Name = name;
  g_Console_Session.logged_in = true;
  g_Console_Session.remembered_name = name;
  const uint32_t level = Read_Account_For_Session();
  Start_Sequence(1, created ? 16 : 0);
  g_Communications_Mgr.Post_Message(kComm_Story, 0, 0);
  if (created) {
    Print_Line("", false);
    Print_Line("\a\a\aUser Account Created: \a" + name + "...\a\a\a\a\a\a\a", false);
    Print_Line("\a- Limited access granted", false);
    Print_Line(Format_Line("\aAccess Level: %u\a\a\a\a", level), false);
    Print_Line("\a\a", false);
    Print_Line("Launching QOR Trainer...\a\a\a\a\a\a\a", false);
  } else {
    Print_Line("\a\a\a\aWelcome back, \a" + name + "...\a\a", false);
    Print_Line(Format_Line("Access Level: %u\a", level), false);
    Print_Line("Launching QOR Trainer...\a\a\a\a\a", false);
  }
  Set_Prompt(kPrompt_Command);
}

// The answer is one key: "y" creates the account (written at its first save).
void CMenu_Console::Answer_Create() {
  if (Starts_With_Yes(m_Input)) {
    Log_In(m_Pending_Account, true);
    return;
  }
  Print_Account_List();
  Set_Prompt(kPrompt_Login);
}

void CMenu_Console::Print_Account_List() {
  const std::vector<std::string> accounts = Get_Account_List();
  if (accounts.empty()) return;
  Print_Line("", false);
  Print_Line("Account list accessed from this terminal:\a\a\a\a\a", false);
  std::string line = " ";
  for (size_t i = 0; i < accounts.size() && i < kMax_Listed_Accounts; ++i) {
    if (i != 0) line += ", ";
    line += "\"" + accounts[i] + "\"";
  }
  Print_Line(line, false);
  Print_Line("\a\a\a", false);
}

void CMenu_Console::Answer_Exit() {
  Print_Line(m_Prompt + m_Input, true);
  if (Starts_With_Yes(m_Input))
    Process(kAction_Quit);
  else
    Set_Prompt(kPrompt_Command);
  m_Input.clear();
}

void CMenu_Console::Enter_Command() {
  const std::string line = m_Input;
  Print_Line(m_Prompt + line, true);
  const int action = Parse_Command(line);
  if (action != kAction_None)
    Process(action);
  else
    Print_Line("Invalid command : " + line, false);
  m_Input.clear();
}

void CMenu_Console::Print_User() {
  const std::string user = m_User_Name.empty() ? std::string("default") : m_User_Name;
  Print_Line(Format_Line("User: %s", user.c_str()), false);
  Print_Line(Format_Line("Access Level: %u\a", Get_Access_Level()), false);
  Print_Line("", false);
}

void CMenu_Console::Print_Help() {
  Print_Line(kVersion_Line, false);
  Print_Line("", false);
  Print_Line(Format_Line("User command list (Access level: %u):", Get_Access_Level()), false);
  Print_Line("exit  logout  time   user   help", false);
  Print_Line("pwd  ls  cd  ftp", false);
  Print_Line("", false);
}

// ---------------------------------------------------------------------------------------------
// The account

// The account is read once for the trainer's session the login starts: the record stays loaded
// and the communications manager takes it as it is when it starts, so that what the console shows
// now, what stderr says of the file and what the session runs on and saves come from one read.
// While the manager runs, the record is its own.
uint32_t CMenu_Console::Read_Account_For_Session() {
  if (!g_Communications_Mgr.Is_Running()) g_Communications_Mgr.m_Client_Data.Load(nullptr);
  return Get_Access_Level();
}

uint32_t CMenu_Console::Get_Access_Level() {
  uint32_t level = 0;
  g_Communications_Mgr.m_Client_Data.Use_Loaded([&](CClient_Data& account) { level = account.m_Access_Level; });
  return level;
}

// The cheats change the loaded record, or the current user's account loaded for the change;
// when no account can be loaded nothing is written.
void CMenu_Console::Change_Account(int action) {
  constexpr uint32_t kMost = std::numeric_limits<uint32_t>::max();
  g_Communications_Mgr.m_Client_Data.Use_Loaded([action](CClient_Data& account) {
    switch (action) {
      case kAction_Add_Credits:
        account.m_Credits = account.m_Credits > kMost - kCredit_Step ? kMost : account.m_Credits + kCredit_Step;
        break;
      case kAction_Take_Credits:
        account.m_Credits = account.m_Credits < kCredit_Step ? 0 : account.m_Credits - kCredit_Step;
        break;
      case kAction_Raise_Access:
        if (account.m_Access_Level < kMost) ++account.m_Access_Level;
        break;
      case kAction_Lower_Access:
        if (account.m_Access_Level > 0) --account.m_Access_Level;
        break;
      default: break;
    }
    account.Save();
  });
}

std::vector<std::string> CMenu_Console::Get_Account_List() {
  std::vector<plat::Found_File> found;
  std::vector<std::string> names;
  if (!plat::Find_Files("client_*.dat", &found)) return names;
  for (const plat::Found_File& file : found) {
    if (file.is_directory || file.name.size() <= 8) continue;
    std::string name = file.name.substr(kFile_Prefix);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    if (name.size() > kMax_Account_Name) name.resize(kMax_Account_Name);
    // Only names that could be typed at the login are listed: others (bytes of another
    // character set, dots, reserved names) would show as something no one can log in with.
    if (Is_Valid_Login(name) && !Is_Persona_Name(name)) names.push_back(name);
  }
  return names;
}
