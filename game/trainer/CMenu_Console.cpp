#include "game/trainer/CMenu_Console.h"

#include "game/core/CGame_State.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/core/Sound_FX.h"
#include "platform/window/cursor.h"
#include "runtime/src/render/iks_render_device.h"

namespace {
constexpr uint32_t kClick_Sound = 0x220000db;
}

bool CMenu_Console::Init() {
  m_Initialised = true;
  m_Visible = false;
  m_Open_Fraction = 0.0f;
  return true;
}

void CMenu_Console::Term() {
  m_Initialised = false;
  m_Visible = false;
  m_Open_Fraction = 0.0f;
}

void CMenu_Console::Show(bool show, bool mute) {
  if (show != m_Visible && !mute) {
    if (m_Silence_Once)
      m_Silence_Once = false;
    else
      Play_Sound_FX(kClick_Sound, 1.0f);
  }
  m_Visible = show;
  m_Open_Fraction = show ? 1.0f : 0.0f;
}

bool CMenu_Console::Is_Mouse_Over_Tab() const {
  if (!g_pRenderDevice) return false;
  const float w = g_pRenderDevice->GetScreenWidthF();
  const float h = g_pRenderDevice->GetScreenHeightF();
  POINT cursor{0, 0};
  GetCursorPos(&cursor);
  if (g_Main_Window) ScreenToClient(g_Main_Window, &cursor);
  const float left = 0.88f * w * m_Open_Fraction;
  const auto x = static_cast<float>(cursor.x);
  const auto y = static_cast<float>(cursor.y);
  return x >= left && x < left + 0.04f * w && y >= 0.05f * h && y < 0.95f * h;
}

bool CMenu_Console::On_Char(int code, int key_data) {
  (void)code;
  (void)key_data;
  return m_Visible;
}

void CMenu_Console::Frame(float step) { (void)step; }

void CMenu_Console::Render(const CFrame_Info& frame) {
  (void)frame;
  if (!m_Visible || !g_pRenderDevice) return;
  const float w = g_pRenderDevice->GetScreenWidthF();
  const float h = g_pRenderDevice->GetScreenHeightF();
  g_Menu_Mgr.Draw_Text(2, "Console", CVector2{0.05f * w, 0.05f * h}, CVector2{0.4f * w, 0.06f * h}, 0xddccccff, 0x4);
}

// The logged-in account's access level, read through a temporary load when it is not loaded.
int CMenu_Console::Get_Access_Level() {
  CClient_Data& account = g_Communications_Mgr.m_Client_Data;
  if (account.m_Loaded) return static_cast<int>(account.m_Access_Level);
  uint32_t level = 0;
  account.Use_Loaded([&level](CClient_Data& record) { level = record.m_Access_Level; });
  return static_cast<int>(level);
}

void CMenu_Console::Measure_Lines() {}
