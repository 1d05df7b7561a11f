#pragma once
// The whole program with fixed font metrics (every character 10 pixels wide), the console
// driven directly: its frame and typed printing run only when a test calls them.
#include <string>
#include <vector>

#include "game/menu/CMenu_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CMenu_Console.h"
#include "tests/game/menu/menu_fixture.h"

class ConsoleGame : public MenuGame {
 protected:
  void SetUp() override {
    MenuGame::SetUp();
    Start();
    console().m_Open_Fraction = 1.0f;
    console().m_Lines.clear();
    console().m_Pending.clear();
    console().m_Print_Timer = 0.0f;
    console().m_New_Line = false;
  }
  void TearDown() override {
    g_Communications_Mgr.m_Queue.clear();
    g_Communications_Mgr.m_Client_Data.Clear();
    MenuGame::TearDown();
  }

  static CMenu_Console& console() { return g_Menu_Mgr.m_Console; }

  // Puts the console at a prompt with an input line.
  static void At_Prompt(int state, const std::string& input = "") {
    CMenu_Console& c = console();
    c.m_Prompt_State = state;
    c.m_Prompt = state == CMenu_Console::kPrompt_Login ? "Login: " : state == CMenu_Console::kPrompt_Command ? ": " : "";
    c.m_Input = input;
  }
  static void Type(const std::string& text) {
    for (char ch : text) console().On_Char(static_cast<unsigned char>(ch), 0);
  }
  static void Enter() { console().On_Char(13, 0); }

  // Prints everything that is queued.
  static void Drain() {
    for (int i = 0; i < 100000 && !console().m_Pending.empty(); ++i) console().Update(CMenu_Console::kPrint_Interval);
  }
  // Every queued text, pauses removed.
  static std::vector<std::string> Queued() {
    std::vector<std::string> texts;
    for (const CMenu_Console::Pending_Item& item : console().m_Pending) texts.push_back(Without_Pauses(item.text));
    return texts;
  }
  static bool Queued_Has(const std::string& text) {
    for (const std::string& queued : Queued())
      if (queued == text) return true;
    return false;
  }
  static std::string Without_Pauses(std::string text) {
    std::erase(text, '\a');
    return text;
  }
  int Sounds(uint32_t id) const { return sounds ? sounds->Count(true, id) : 0; }
};
