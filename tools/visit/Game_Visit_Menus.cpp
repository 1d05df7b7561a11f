// The menu half of the visit: start-up, the console login and every console command, the
// simulator screen's pages, the pop-up menus with their dialogs, the War Room's pages and the
// two end-of-mission reports.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/core/CGame.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/menu/CPopup_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CForum_Data.h"
#include "game/trainer/CMenu_Console.h"
#include "game/trainer/CMenu_Simulator.h"
#include "game/trainer/Store_File.h"
#include "game/warroom/CMenu_WarRoom.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "tests/support/harness_screens.h"
#include "tools/visit/Game_Visit.h"

namespace vt_visit {

namespace {

constexpr const char* kVisitor = "Visitor";
constexpr int kSettle_Frames = 120;
constexpr const char* kMessage_Title = "Visit";
constexpr const char* kMessage_Body = "Every page seen.";
// Pages of the simulator screen.
constexpr int kSimulations_Tab = 1;
constexpr int kForum_Tab = 3;
constexpr int kCompose_Tab = 4;
constexpr int kBriefing_Tab = 5;

// Whether a forum message is the one the visit writes.
bool Is_Visit_Message(const Forum_Message& message) {
  const Message_Record& record = message.Record;
  return std::string(record.Author, strnlen(record.Author, sizeof record.Author)) == kVisitor &&
         std::string(record.Subject, strnlen(record.Subject, sizeof record.Subject)) == kMessage_Title &&
         message.Text == kMessage_Body;
}

// The smallest display mode, in a window: the visit's pictures are small and quick.
bool Write_Small_Display_Settings(const std::string& work_dir) {
  const std::filesystem::path folder = std::filesystem::path(work_dir) / ".config" / "vorthane";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  std::ofstream file(folder / "Software.Brask_Lin.Settings.txt");
  file << "Display_Resolution=dword:00000000\nDisplay_Windowed=dword:00000001\n";
  return static_cast<bool>(file);
}

// The line of the open dialog with that text, chosen once the dialog takes answers.
bool Choose_Dialog_Line(const char* text) {
  for (uint32_t i = 0; i < g_Modal_Dlg.m_Line_Count; ++i) {
    if (std::string(g_Modal_Dlg.m_Lines[i].text) != text) continue;
    g_Modal_Dlg.m_Highlight = static_cast<int32_t>(i);
    g_Modal_Dlg.Activate_Selected();
    return true;
  }
  return false;
}

}  // namespace

bool Up(const char* screen) {
  bool known = false;
  return vt_test::Screen_Is_Up(screen, known) && known;
}

bool Click_Button(const CMenu_Panel& panel, const std::string& caption) {
  for (CMenuItem* item : panel.Items()) {
    if (item->m_Kind != kItem_Button) continue;
    auto* button = static_cast<CMenuItem_Button*>(item);
    if (button->m_Caption != caption || !button->m_On_Click) continue;
    button->m_On_Click(button);
    return true;
  }
  return false;
}

// Lets the screen settle for frames; the short form takes a third of them (at least five), as
// every page is still stepped through its animations and drawn (as Frames draws).
void Game_Visit::Settle(int frames, uint32_t ms) {
  Frames(m_Options.short_form ? std::max(frames / 3, 5) : frames, ms);
}

bool Game_Visit::Frames(int frames, uint32_t ms) {
  for (int frame = 0; frame < frames; ++frame)
    if (!Frame_Of_Stretch(frame == frames - 1 ? 0 : frame + 1, ms)) return false;
  return m_Harness.Running();
}

// An open dialog grows and takes its answers by its own clock, which runs in drawn frames only:
// while one is open every frame is drawn.
bool Game_Visit::Frame_Of_Stretch(int count, uint32_t ms) {
  const bool drawn = !m_Options.short_form || count % kShort_Draw_Every == 0 || g_Modal_Dlg.Is_Open();
  return drawn ? m_Harness.Step(1, ms) : m_Harness.Step_Undrawn(1, ms);
}

// Closes the open dialog the way its reader does: a message once it takes the click, a choice
// by its last answer (the one that cancels).
void Game_Visit::Dismiss_Dialog() {
  const bool closed = Step_Until(
      [] {
        if (!g_Modal_Dlg.Is_Open()) return true;
        if (g_Modal_Dlg.Mode() == CModal_Dlg::kMode_Choice && g_Modal_Dlg.m_Line_Count > 0)
          g_Modal_Dlg.m_Highlight = static_cast<int32_t>(g_Modal_Dlg.m_Line_Count - 1);
        g_Modal_Dlg.Activate_Selected();
        return !g_Modal_Dlg.Is_Open();
      },
      600);
  if (!closed) Fail("a dialog would not close");
}

void Game_Visit::Note(const std::string& text) {
  const auto now = std::chrono::steady_clock::now();
  if (!m_Visited.empty())
    m_Place_Times.emplace_back(m_Visited.back(), std::chrono::duration<double>(now - m_Place_Start).count());
  m_Place_Start = now;
  m_Visited.push_back(text);
  m_Log.Set_Place(text);
}

void Game_Visit::Fail(const std::string& text) {
  m_Failures.push_back(text);
  std::fprintf(stderr, "visit: %s\n", text.c_str());
}

bool Game_Visit::Start_Game() {
  std::string error;
  if (!m_Harness.Prepare(&error, m_Options.content_dir)) {
    Fail(error);
    return false;
  }
  if (!Write_Small_Display_Settings(m_Harness.Work_Dir())) Fail("cannot write the display settings");
  m_Log.Install();
  // The harness's waits and the scripts' frames draw as the short form's own frames do.
  if (m_Options.short_form) m_Harness.Set_Draw_Every(kShort_Draw_Every);
  Note("start-up");
  if (!m_Harness.Start()) {
    Fail("the game ended during start-up (" + std::to_string(m_Harness.Exit_Code()) + ")");
    return false;
  }
  return true;
}

bool Game_Visit::Log_In() {
  Note("console login");
  std::string error;
  const std::string script = std::string("frames 240\ntype ") + kVisitor + "\nchar 13\nframes 30\nchar y\n";
  if (!m_Harness.Run_Script(script, "", &error)) {
    Fail("login: " + error);
    return false;
  }
  if (!m_Harness.Wait_For_Screen("simulator")) {
    Fail("the login did not reach the simulator screen");
    return false;
  }
  // Every simulation of the table is open to the visitor, and the shop to its credits.
  if (!m_Harness.Run_Script("account level 1\naccount credits 500000\n", "", &error)) Fail("account: " + error);
  return true;
}

// The console is pulled open (over the simulator, or wherever the screens stand) and each
// command word typed at its prompt; the exit question is answered "n" and a logout is followed
// by a login.
void Game_Visit::Visit_Console_Commands() {
  std::string error;
  const CMenu_Console& console = g_Menu_Mgr.m_Console;
  for (size_t i = 0; const char* word = CMenu_Console::Command_Word(i); ++i) {
    const std::string command = word;
    Note("console command " + command);
    if (!Up("prompt")) {
      if (!Up("console") && !m_Harness.Run_Script("char `\n", "", &error)) Fail(error);
      if (!m_Harness.Wait_For_Screen("prompt", 1500)) {
        Fail("the console did not come to its prompt for \"" + command + "\"");
        continue;
      }
    }
    if (!m_Harness.Run_Script("type " + command + "\nchar 13\nframes 60\n", "", &error)) Fail(error);
    if (command == "quit" || command == "exit") {
      // The exit question takes its answer from one key, once it is asked in full.
      Step_Until([&console] { return console.m_Prompt_State == CMenu_Console::kPrompt_Exit && console.m_Pending.empty(); },
                 600);
      m_Harness.Char('n');
      if (!m_Harness.Wait_For_Screen("prompt", 600)) Fail("the exit question stayed open after \"" + command + "\"");
    } else if (command == "logout") {
      if (!m_Harness.Wait_For_Screen("login", 1500)) Fail("the logout did not come back to the login");
      if (!m_Harness.Run_Script(std::string("type ") + kVisitor + "\nchar 13\n", "", &error)) Fail(error);
      // The login moves the screens on to the simulator again.
      if (!m_Harness.Wait_For_Screen("simulator", 1500)) Fail("the login after the logout did not reach the simulator");
    }
    if (!m_Harness.Running()) {
      Fail("the game quit after the console command " + command);
      return;
    }
  }
  // The console is put away and the simulator comes back.
  if (Up("console") && !m_Harness.Run_Script("char `\nframes 60\n", "", &error)) Fail(error);
}

bool Game_Visit::Open_Simulator(int tab) {
  Dismiss_Dialog();
  g_Menu_Mgr.Command(kCommand_Simulator, tab);
  if (!m_Harness.Wait_For_Screen("simulator")) {
    Fail("the simulator screen did not open (tab " + std::to_string(tab) + ")");
    return false;
  }
  g_Menu_Mgr.m_Simulator.Build_Layout(tab);
  Settle(10);
  return true;
}

void Game_Visit::Visit_Simulator_Pages() {
  CMenu_Simulator& screen = g_Menu_Mgr.m_Simulator;
  const char* const names[] = {"", "simulations", "profile and shop", "communications", "message writing",
                               "War Room briefing"};
  for (int tab = 1; tab <= 5; ++tab) {
    Note(std::string("simulator page ") + names[tab]);
    if (!Open_Simulator(tab)) continue;
    Settle(kSettle_Frames);
  }
  Note("simulator shop");
  if (Open_Simulator(2)) {
    for (int row = 0; row < 5; ++row) {
      screen.Show_Weapon_Info(row);
      screen.Buy_Or_Select_Weapon();
      Settle(20);
      Dismiss_Dialog();
      screen.Upgrade_Weapon();
      Settle(20);
      Dismiss_Dialog();
      screen.Show_Attachment_Info(row);
      screen.Buy_Or_Select_Attachment();
      Settle(20);
      Dismiss_Dialog();
      screen.Upgrade_Attachment();
      Settle(20);
      Dismiss_Dialog();
    }
  }
  Note("simulator forum");
  if (Open_Simulator(3)) {
    for (int row = 0; row < 6; ++row) {
      screen.Show_Message_Info(row);
      Settle(30);
      Dismiss_Dialog();
    }
    Note("simulator message writing");
    Post_Forum_Message();
    screen.Compose_Message();
    Settle(20);
    screen.Cancel_Message();
    Settle(30);
    if (screen.m_Current_Tab != kForum_Tab) Fail("\"Cancel Message\" did not go back to the forum");
  }
  Note("simulator access denied");
  if (Open_Simulator(1)) {
    // The briefing after an offer, and its rejection.
    screen.m_Alert_Timer = 0.01f;
    Settle(60, 100);
    screen.Open_Briefing();
    Settle(60);
    if (screen.m_Current_Tab != kBriefing_Tab) Fail("the War Room's offer did not open its briefing");
    screen.Reject_Mission();
    Settle(60);
    if (screen.m_Current_Tab != kSimulations_Tab || screen.m_Alert_Pending)
      Fail("\"Reject Mission\" did not close the offer and go back to the simulations");
  }
}

// Writes a message as a user does (the title, Tab to the body, the body) and sends it. The page
// must go back to the forum, and the forum hold the message and have it in its file.
void Game_Visit::Post_Forum_Message() {
  CMenu_Simulator& screen = g_Menu_Mgr.m_Simulator;
  screen.Compose_Message();
  Settle(30);
  if (screen.m_Current_Tab != kCompose_Tab) {
    Fail("\"Post Message\" did not open the message writing page");
    return;
  }
  std::string error;
  const std::string script = std::string("type ") + kMessage_Title + "\nchar 0x09\ntype " + kMessage_Body + "\nframes 20\n";
  if (!m_Harness.Run_Script(script, "", &error)) Fail("message writing: " + error);
  const CForum_Data& forum = g_Communications_Mgr.m_Forum_Data;
  auto visit_messages = [](const CForum_Data& data) {
    return std::count_if(data.m_Posted.begin(), data.m_Posted.end(), Is_Visit_Message);
  };
  const auto posted_before = visit_messages(forum);
  screen.Send_Message();
  Settle(60);
  if (g_Modal_Dlg.Is_Open()) {
    std::string refusal;
    for (uint32_t i = 0; i < g_Modal_Dlg.m_Line_Count; ++i) refusal += std::string(" ") + g_Modal_Dlg.m_Lines[i].text;
    Fail("the forum refused the visit's message:" + refusal);
    Dismiss_Dialog();
    return;
  }
  if (screen.m_Current_Tab != kForum_Tab) Fail("\"Send Message\" did not go back to the forum");
  if (visit_messages(forum) != posted_before + 1) {
    Fail("the sent message is not in the forum");
    return;
  }
  // Read back as it is on disk, without the store's own load (which would set a refused file aside).
  CForum_Data stored;
  uint32_t saved_time = 0;
  std::vector<uint8_t> bytes;
  const bool read = Read_Whole_File("forumfile.dat", bytes) == Store_Read::Read &&
                    stored.Parse_File_Bytes(bytes, saved_time);
  if (!read || visit_messages(stored) != posted_before + 1) Fail("the sent message is not in the forum's file");
}

void Game_Visit::Visit_Popups() {
  CPopup_Menu* const menus = g_Popup_Mgr.m_Menus;
  Note("pop-up main menu");
  g_Popup_Mgr.Toggle_Menu(CPopup_Mgr::kMain_Menu);
  Settle(60);
  if (!g_Popup_Mgr.Is_Open()) Fail("the main menu did not open");
  Note("pop-up options menu");
  if (!Click_Button(menus[CPopup_Mgr::kMain_Menu].m_Panel, "Options Menu")) Fail("the main menu has no Options Menu");
  Settle(60);
  if (g_Popup_Mgr.Open_Menu() != CPopup_Mgr::kOptions_Menu) Fail("the options menu did not open");
  g_Popup_Mgr.Close_All(false);
  Settle(30);
  Note("pop-up exit confirmation");
  g_Popup_Mgr.Toggle_Menu(CPopup_Mgr::kMain_Menu);
  Settle(60);
  if (!Click_Button(menus[CPopup_Mgr::kMain_Menu].m_Panel, "Exit Program")) Fail("the main menu has no Exit Program");
  Step_Until([] { return g_Modal_Dlg.m_Clock >= 1.0f; }, 200);
  if (!Choose_Dialog_Line("Cancel")) Fail("the exit confirmation has no Cancel");
  Dismiss_Dialog();
  g_Popup_Mgr.Close_All(false);
  Settle(30);
  if (!m_Harness.Running()) Fail("the exit confirmation's Cancel quit the game");
}

void Game_Visit::Visit_WarRoom_Pages() {
  Note("War Room");
  g_Menu_Mgr.Command(kCommand_WarRoom, 0);
  if (!m_Harness.Wait_For_Screen("map", 4000, 33))
    Fail("the War Room did not reach its travel map");
  Note("pop-up War Room menu");
  g_Popup_Mgr.Toggle_Menu(CPopup_Mgr::kWarRoom_Menu);
  Settle(60);
  if (!g_Popup_Mgr.Is_Open()) Fail("the War Room menu did not open");
  g_Popup_Mgr.Close_All(false);
  Settle(30);
  Note("War Room abort confirmation");
  g_Popup_Mgr.Confirm_Abort();
  Step_Until([] { return g_Modal_Dlg.m_Clock >= 1.0f; }, 200);
  if (!Choose_Dialog_Line("Cancel")) Fail("the abort confirmation has no Cancel");
  Dismiss_Dialog();
  // Every page in turn; the entering page launches a site, so it is left to the runs, and the
  // two closing pages end the mission, so they come last.
  for (int page = CMenu_WarRoom::kBefore_Flight; page <= CMenu_WarRoom::kTime_Up; ++page) {
    if (page == CMenu_WarRoom::kEntering_Site) continue;
    Note("War Room page " + std::to_string(page));
    g_Menu_Mgr.m_WarRoom.Set_Page(page);
    Settle(90, 33);
    if (g_Game.Get_Mode() != kMode_Menus) {
      Fail("War Room page " + std::to_string(page) + " left the menus");
      break;
    }
  }
  Open_Simulator(1);
}

void Game_Visit::Visit_Reports() {
  for (int success : {0, 1}) {
    Note(success ? "report of a won mission" : "report of a lost mission");
    g_Menu_Mgr.Command(kCommand_End_Mission, success);
    if (!m_Harness.Wait_For_Screen("report", 600)) Fail("the report did not open");
    Settle(300);
    Note("report abort confirmation");
    g_Popup_Mgr.Confirm_Abort();
    Settle(60);
    Dismiss_Dialog();
    g_Menu_Mgr.m_EndGame.Return_To_Trainer();
    if (!Step_Until([] { return !Up("report"); }, 1500))
      Fail("\"Return to QOR Trainer\" did not leave the report");
  }
  Open_Simulator(1);
}

}  // namespace vt_visit
