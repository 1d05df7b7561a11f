#include "tests/game/whole/game_road.h"

#include <algorithm>

#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CPopup_Mgr.h"

void GameRoad::TearDown() {
  if (second) {
    second->Shut_Down();
    second.reset();
  }
  RunningGame::TearDown();
}

bool GameRoad::Step_Sparse(uint32_t ms) {
  const bool drawn = sparse_frame++ % sparse_every == 0;
  return drawn ? game().Step(1, ms) : game().Step_Undrawn(1, ms);
}

bool GameRoad::Aim_And_Fire_Sparse() {
  if (!game().Aim(-1)) return false;
  Step_Sparse();
  Step_Sparse();
  game().Left_Down();
  Step_Sparse();
  game().Left_Up();
  return true;
}

void GameRoad::Type(const std::string& text) {
  for (char c : text) game().Char(static_cast<unsigned char>(c));
}

bool GameRoad::Turn_Mirrors_Off() {
  // The main menu folds out of its title box at the top left.
  vt_test::Click_At(game(), 30, 12);
  game().Step(40, 16);
  CPopup_Menu& main = g_Popup_Mgr.m_Menus[CPopup_Mgr::kMain_Menu];
  if (!main.m_Open || !Click_Button(main.m_Panel, "Options Menu")) return false;
  game().Step(20, 16);
  CPopup_Menu& options = g_Popup_Mgr.m_Menus[CPopup_Mgr::kOptions_Menu];
  auto* mirrors =
      static_cast<CMenuItem_Button*>(options.m_Panel.Find_Item(CPopup_Mgr::kOption_Mirrors, kItem_Button));
  if (!options.m_Open || !mirrors) return false;
  Click_Item(*mirrors);
  if (mirrors->m_Caption != "Disabled") return false;
  if (!Click_Button(options.m_Panel, "Back")) return false;
  game().Step(20, 16);
  vt_test::Click_At(game(), 30, 12);
  return Step_Until([] { return !g_Popup_Mgr.Is_Open(); }, 60, 16);
}

void GameRoad::Start_Again() {
  harness.Shut_Down();
  second = std::make_unique<vt_test::Game_Harness>();
  std::string error;
  ASSERT_TRUE(second->Prepare_In(harness.Work_Dir(), &error)) << error;
  ASSERT_TRUE(second->Start()) << (messages.empty() ? std::string("no message") : messages.back());
}

int GameRoad::Peak(size_t first, size_t last) const {
  const std::vector<int>& peaks = second ? second->Audio_Frame_Peaks() : harness.Audio_Frame_Peaks();
  last = std::min(last, peaks.size());
  int peak = 0;
  for (size_t i = first; i < last; ++i) peak = std::max(peak, peaks[i]);
  return peak;
}
