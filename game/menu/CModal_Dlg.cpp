#include "game/menu/CModal_Dlg.h"

#include "game/core/CWorld.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CPopup_Mgr.h"

CModal_Dlg g_Modal_Dlg;

void CModal_Dlg::Open(int mode) {
  m_Open = true;
  m_Mode = mode;
  m_Lines.clear();
}

bool CModal_Dlg::Init(const CVector3& world_point, const CVector2& centre, const float& width, const float& height,
                      const int& mode) {
  (void)world_point;
  (void)centre;
  (void)width;
  (void)height;
  Open(mode);
  const bool pause = true;
  Set_Game_Paused(pause);
  return true;
}

bool CModal_Dlg::Add_Line(const char* text, const uint32_t& colour, const uint32_t& flags, const int32_t& command,
                          const int32_t& argument) {
  if (static_cast<int>(m_Lines.size()) >= kMax_Lines) return false;
  m_Lines.push_back(CModal_Line{text ? text : "", colour, flags, command, argument});
  return true;
}

void CModal_Dlg::Term() {
  const bool was_open = m_Open;
  m_Open = false;
  m_Mode = 0;
  m_Lines.clear();
  const bool run = false;
  if (was_open && !g_Popup_Mgr.Is_Open()) Set_Game_Paused(run);
}

// Least form: the first choice line is the selected one; it closes the dialog, then issues its
// command.
void CModal_Dlg::Activate_Selected() {
  int32_t command = 0;
  int32_t argument = 0;
  for (const CModal_Line& line : m_Lines) {
    if (line.command != 0) {
      command = line.command;
      argument = line.argument;
      break;
    }
  }
  Term();
  if (command != 0) g_Menu_Mgr.Command(command, argument);
}
void CModal_Dlg::Select_Next() {}
void CModal_Dlg::Select_Previous() {}
void CModal_Dlg::On_Left_Down() {}
void CModal_Dlg::On_Left_Up() {}
void CModal_Dlg::On_Right_Down() {}
void CModal_Dlg::Update(float unpaused_delta) { (void)unpaused_delta; }
