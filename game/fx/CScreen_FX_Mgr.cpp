#include "game/fx/CScreen_FX_Mgr.h"

CScreen_FX_Mgr g_Screen_FX_Mgr;

bool CScreen_FX_Mgr::Init() {
  m_Count = 0;
  m_Initialised = true;
  return true;
}

void CScreen_FX_Mgr::Term() {
  m_Count = 0;
  m_Initialised = false;
}

void CScreen_FX_Mgr::Update(const CFrame_Info& frame) { (void)frame; }
void CScreen_FX_Mgr::Render() {}
void CScreen_FX_Mgr::Render_In_World() {}

void CScreen_FX_Mgr::Add_Effect(int kind, float strength, const CColor4& color) {
  (void)color;
  ++m_Count;
  m_Last_Kind = kind;
  m_Last_Strength = strength;
}

void CScreen_FX_Mgr::Add_Effect_2(int kind, float strength) {
  ++m_Count;
  m_Last_Kind = kind;
  m_Last_Strength = strength;
}

void CScreen_FX_Mgr::Clear_Sim_Effects() { m_Count = 0; }
