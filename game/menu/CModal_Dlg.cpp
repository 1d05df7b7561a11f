#include "game/menu/CModal_Dlg.h"

CModal_Dlg g_Modal_Dlg;

void CModal_Dlg::Open(int mode) {
  m_Open = true;
  m_Mode = mode;
}

bool CModal_Dlg::Init(const CVector3& world_point, const CVector2& centre, float width, float height, int mode) {
  (void)world_point;
  (void)centre;
  (void)width;
  (void)height;
  Open(mode);
  return true;
}

void CModal_Dlg::Term() {
  m_Open = false;
  m_Mode = 0;
}

void CModal_Dlg::Activate_Selected() { Term(); }
void CModal_Dlg::Select_Next() {}
void CModal_Dlg::Select_Previous() {}
void CModal_Dlg::On_Left_Down() {}
void CModal_Dlg::On_Left_Up() {}
void CModal_Dlg::On_Right_Down() {}
void CModal_Dlg::Update(float unpaused_delta) { (void)unpaused_delta; }
