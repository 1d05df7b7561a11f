#include "game/fx/CScreen_FX_Mgr.h"

CScreen_FX_Mgr g_Screen_FX_Mgr;

bool CScreen_FX_Mgr::Init() {
  m_Count = 0;
  m_Requests.clear();
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

namespace {

CScreen_FX_Request Request(int entry, int kind, float duration) {
  CScreen_FX_Request request;
  request.entry = entry;
  request.kind = kind;
  request.duration = duration;
  return request;
}

}  // namespace

void CScreen_FX_Mgr::Add_Effect(const int& kind, const float& duration, const float colour_a[4],
                                const float colour_b[4], const float& value1, const float& value2) {
  CScreen_FX_Request request = Request(1, kind, duration);
  for (int i = 0; i < 4; ++i) {
    request.colour_a[i] = colour_a[i];
    request.colour_b[i] = colour_b[i];
  }
  request.value1 = value1;
  request.value2 = value2;
  m_Requests.push_back(request);
  ++m_Count;
  m_Last_Kind = kind;
  m_Last_Strength = duration;
}

void CScreen_FX_Mgr::Add_Effect_2(const int& kind, const float& duration, const float& value1) {
  CScreen_FX_Request request = Request(2, kind, duration);
  request.value1 = value1;
  m_Requests.push_back(request);
  ++m_Count;
  m_Last_Kind = kind;
  m_Last_Strength = duration;
}

void CScreen_FX_Mgr::Add_Effect_3(const int& kind, const float& duration, const CVector3& position_a,
                                  const CVector3& position_b, const float& value1, const float& value2) {
  CScreen_FX_Request request = Request(3, kind, duration);
  request.position_a = position_a;
  request.position_b = position_b;
  request.value1 = value1;
  request.value2 = value2;
  m_Requests.push_back(request);
  ++m_Count;
}

void CScreen_FX_Mgr::Add_Effect_4(const int& kind, const float& duration, const char* text) {
  CScreen_FX_Request request = Request(4, kind, duration);
  request.text = text ? text : "";
  m_Requests.push_back(request);
  ++m_Count;
}

void CScreen_FX_Mgr::Add_Effect_5(const int& kind, const float& duration, const uint32_t& colour) {
  CScreen_FX_Request request = Request(5, kind, duration);
  request.colour_word = colour;
  m_Requests.push_back(request);
  ++m_Count;
}
void CScreen_FX_Mgr::Clear_Sim_Effects() { m_Count = 0; }
