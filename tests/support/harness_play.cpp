#include "tests/support/harness_play.h"

#include "game/menu/CMenuItem.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_Tab.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CMenu_Panel.h"
#include "game/menu/CModal_Dlg.h"
#include "game/trainer/CMenu_Console.h"
#include "game/trainer/CMenu_Simulator.h"
#include "tests/support/game_harness.h"

namespace vt_test {

CMenuItem_Button* Find_Button(const CMenu_Panel& panel, const std::string& caption) {
  for (CMenuItem* item : panel.Items())
    if (auto* button = dynamic_cast<CMenuItem_Button*>(item); button && button->m_Caption == caption) return button;
  return nullptr;
}

bool Button_Enabled(const CMenuItem_Button* button) {
  return button && (button->m_Flags & CMenuItem_Button::kHidden) == 0;
}

void Click_At(Game_Harness& game, float x, float y) {
  game.Move_Mouse(static_cast<int>(x), static_cast<int>(y));
  game.Step(1, 16);
  game.Left_Down();
  game.Step(1, 16);
  game.Left_Up();
  game.Step(1, 16);
}

void Click_Item(Game_Harness& game, const CMenuItem& item) {
  Click_At(game, item.m_X + 0.5f * item.m_W, item.m_Y + 0.5f * item.m_H);
}

bool Click_Button(Game_Harness& game, const CMenu_Panel& panel, const std::string& caption) {
  CMenuItem_Button* button = Find_Button(panel, caption);
  if (!button) return false;
  Click_Item(game, *button);
  return true;
}

void Dismiss_Messages(Game_Harness& game) {
  for (int i = 0; i < 10 && g_Modal_Dlg.Is_Open() && g_Modal_Dlg.Mode() == CModal_Dlg::kMode_Message; ++i) {
    game.Char(13);
    game.Step(5, 16);
  }
}

bool Simulator_Open() {
  const CMenu_Simulator& simulator = g_Menu_Mgr.m_Simulator;
  return simulator.m_Visible && simulator.m_Anim_State == CMenu_Simulator::kOpen;
}

bool Show_Simulator_Page(Game_Harness& game, int page) {
  CMenu_Simulator& simulator = g_Menu_Mgr.m_Simulator;
  if (!Simulator_Open() || page < 1 || page > 3) return false;
  if (simulator.m_Current_Tab == page) return true;
  for (CMenuItem* item : simulator.m_Panel.Items()) {
    auto* tabs = dynamic_cast<CMenuItem_Tab*>(item);
    if (!tabs || static_cast<int>(tabs->m_Cells.size()) < page) continue;
    const CMenuItem_Tab::Cell& cell = tabs->m_Cells[static_cast<size_t>(page - 1)];
    Click_At(game, 0.5f * (cell.left + cell.right), 0.5f * (cell.top + cell.bottom));
    break;
  }
  for (int frame = 0; frame < 20 && simulator.m_Current_Tab != page; ++frame) game.Step(1, 16);
  return simulator.m_Current_Tab == page;
}

bool Log_In(Game_Harness& game, const std::string& name, bool create) {
  if (!game.Wait_For_Screen("login", 400)) return false;
  for (char c : name) game.Char(static_cast<unsigned char>(c));
  game.Char(13);
  game.Step(2, 16);
  if (create) {
    if (g_Menu_Mgr.m_Console.m_Prompt_State != CMenu_Console::kPrompt_Create) return false;
    game.Char('y');
  }
  // The login's story message is picked at random: a private one opens its notice over the
  // simulator as it comes up, and the player reads it and closes it.
  for (int frame = 0; frame < 400 && !Simulator_Open(); ++frame) {
    Dismiss_Messages(game);
    game.Step(1, 100);
  }
  return Simulator_Open();
}

bool Aim_And_Fire(Game_Harness& game, int type, uint32_t ms) {
  if (!game.Aim(type)) return false;
  game.Step(2, ms);
  game.Left_Down();
  game.Step(1, ms);
  game.Left_Up();
  return true;
}

}  // namespace vt_test
