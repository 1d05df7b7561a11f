#include "game/trainer/CMenu_Simulator.h"

#include <cstdio>

#include "game/menu/CMenu_Mgr.h"
#include "runtime/src/render/iks_render_device.h"

int32_t g_WarRoom_Target_Region = 0;

bool CMenu_Simulator::Init() {
  m_Initialised = true;
  m_Visible = false;
  m_Anim_State = 0;
  return true;
}

void CMenu_Simulator::Term() {
  m_Initialised = false;
  m_Visible = false;
  m_Anim_State = 0;
}

void CMenu_Simulator::Show(bool show) {
  if (!m_Initialised || show == m_Visible) return;
  m_Visible = show;
  m_Anim_State = show ? 1 : 0;
  if (show) Build_Layout(m_Requested_Tab);
}

bool CMenu_Simulator::On_Left_Down() { return m_Visible; }
bool CMenu_Simulator::On_Left_Up() { return m_Visible; }
bool CMenu_Simulator::On_Enter() { return false; }
bool CMenu_Simulator::On_Mouse_Wheel(int wheel_data) {
  (void)wheel_data;
  return false;
}
void CMenu_Simulator::On_Arrow_Key(int direction) { (void)direction; }
void CMenu_Simulator::On_Char(int code, int key_data) {
  (void)code;
  (void)key_data;
}
void CMenu_Simulator::On_Pause(bool paused) { (void)paused; }
void CMenu_Simulator::Update(float step) { (void)step; }

void CMenu_Simulator::Render(const CFrame_Info& frame) {
  (void)frame;
  if (!m_Visible || !g_pRenderDevice) return;
  const float w = g_pRenderDevice->GetScreenWidthF();
  const float h = g_pRenderDevice->GetScreenHeightF();
  char title[48];
  std::snprintf(title, sizeof title, "Simulator - Tab %d", static_cast<int>(m_Current_Tab));
  g_Menu_Mgr.Draw_Text(2, title, CVector2{0.05f * w, 0.05f * h}, CVector2{0.9f * w, 0.06f * h}, 0xddccccff, 0x4);
}

void CMenu_Simulator::Build_Layout(const int& tab) { m_Current_Tab = tab; }
