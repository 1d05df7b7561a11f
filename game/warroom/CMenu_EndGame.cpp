#include "game/warroom/CMenu_EndGame.h"

#include "game/menu/CMenu_Mgr.h"
#include "runtime/src/render/iks_render_device.h"

bool CMenu_EndGame::Init() {
  m_Initialised = true;
  m_Visible = false;
  return true;
}

void CMenu_EndGame::Term() {
  m_Initialised = false;
  m_Visible = false;
}

void CMenu_EndGame::Activate(bool show, bool success) {
  if (!m_Initialised) return;
  m_Visible = show;
  m_Success = success;
}

bool CMenu_EndGame::On_Left_Down() { return m_Visible; }
bool CMenu_EndGame::On_Left_Up() { return m_Visible; }
void CMenu_EndGame::Update(float step) { (void)step; }

void CMenu_EndGame::Render(const CFrame_Info& frame) {
  (void)frame;
  if (!m_Visible || !g_pRenderDevice) return;
  const float w = g_pRenderDevice->GetScreenWidthF();
  const float h = g_pRenderDevice->GetScreenHeightF();
  const char* title = m_Success ? "Mission Report - Success" : "Mission Report - Failure";
  g_Menu_Mgr.Draw_Text(2, title, CVector2{0.05f * w, 0.05f * h}, CVector2{0.9f * w, 0.06f * h}, 0xddccccff, 0x4);
}
