#include "game/menu/CPopup_Mgr.h"

#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"

CPopup_Mgr g_Popup_Mgr;

bool CPopup_Mgr::Init(const int& set) {
  m_Initialised = true;
  m_Set = set;
  m_Open_Menu = -1;
  m_Sim_Menu_Built = set == kSim_Menu;
  m_Sim_Menu_Enabled = set == kSim_Menu;
  return true;
}

void CPopup_Mgr::Term() {
  m_Initialised = false;
  m_Set = -1;
  m_Open_Menu = -1;
  m_Sim_Menu_Built = false;
  m_Sim_Menu_Enabled = false;
}

void CPopup_Mgr::Close_All(bool instant) {
  (void)instant;
  m_Open_Menu = -1;
}

void CPopup_Mgr::Close_First_Open() { m_Open_Menu = -1; }
void CPopup_Mgr::On_Enter_Key() {}
void CPopup_Mgr::Move_Highlight(int direction) { (void)direction; }

void CPopup_Mgr::Toggle_Menu(int menu) {
  if (!m_Initialised) return;
  m_Open_Menu = (m_Open_Menu == menu) ? -1 : menu;
}

bool CPopup_Mgr::Menu_Has_Item(int menu, int item) const {
  return m_Initialised && menu == kSim_Menu && m_Set == kSim_Menu && item >= 0 && item <= 2;
}

void CPopup_Mgr::Do_Action(unsigned action) {
  if (action == kAction_Leave) {
    const int code = g_WarRoom_Sim.m_Active ? kCommand_WarRoom : kCommand_Simulator;
    g_Menu_Mgr.Command(code, 0);
  } else if (action == kAction_Restart) {
    const int mode = 2;
    CSim_Desc desc = g_Game.Current_Desc();
    if (!g_Game.Set_Mode(mode, g_Game_State.m_Sim_Kind ? g_Game_State.m_Sim_Kind : 1, &desc)) {
      const int menus = 1;
      g_Game.Set_Mode(menus, 0, nullptr);
    }
  }
}

bool CPopup_Mgr::On_Left_Down() { return Is_Open(); }
bool CPopup_Mgr::On_Right_Down() { return Is_Open(); }
void CPopup_Mgr::On_Left_Up() {}

void CPopup_Mgr::Frame(const CFrame_Info& frame, const float& unpaused_delta) {
  (void)frame;
  (void)unpaused_delta;
}

void CPopup_Mgr::Render(const float& unpaused_delta) { (void)unpaused_delta; }
