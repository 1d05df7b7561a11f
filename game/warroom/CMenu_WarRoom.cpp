#include "game/warroom/CMenu_WarRoom.h"

#include <cstdio>

#include "game/menu/CMenu_Mgr.h"
#include "runtime/src/render/iks_render_device.h"

bool CMenu_WarRoom::Init() {
  m_Initialised = true;
  m_Visible = false;
  m_Page = 0;
  return true;
}

void CMenu_WarRoom::Term() {
  m_Initialised = false;
  m_Visible = false;
  m_Page = 0;
}

void CMenu_WarRoom::Set_Page(const int& page) {
  if (page >= 0 && page <= 7) m_Page = page;
}

void CMenu_WarRoom::Show(bool show) {
  if (!m_Initialised) return;
  m_Visible = show;
  if (show && m_Page == 0) m_Page = 1;
  if (!show) m_Page = 0;
}

bool CMenu_WarRoom::On_Left_Down() { return m_Visible; }
bool CMenu_WarRoom::On_Left_Up() { return m_Visible; }
bool CMenu_WarRoom::On_Right_Down() { return m_Visible; }
void CMenu_WarRoom::Update(float step) { (void)step; }

void CMenu_WarRoom::Render(const CFrame_Info& frame) {
  (void)frame;
  if (!m_Visible || !g_pRenderDevice) return;
  const float w = g_pRenderDevice->GetScreenWidthF();
  const float h = g_pRenderDevice->GetScreenHeightF();
  char title[48];
  std::snprintf(title, sizeof title, "War Room - Page %d", static_cast<int>(m_Page));
  g_Menu_Mgr.Draw_Text(2, title, CVector2{0.05f * w, 0.05f * h}, CVector2{0.9f * w, 0.06f * h}, 0xddccccff, 0x4);
}
