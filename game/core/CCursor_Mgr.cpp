#include "game/core/CCursor_Mgr.h"

#include "game/core/CGame_State.h"
#include "game/core/WinMain.h"
#include "game/menu/CModal_Dlg.h"
#include "game/menu/CPopup_Mgr.h"
#include "platform/window/cursor.h"
#include "runtime/src/render/iks_render_device.h"

CCursor_Mgr g_Cursor_Mgr;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr float kArrow_Half_Width = 0.0354f;
constexpr float kArrow_Half_Height = 0.045f;
constexpr float kMarker_Half_Width = 0.0236f;
constexpr float kMarker_Half_Height = 0.03f;
constexpr float kCross_Hair_Scale = 1.25f;
constexpr float kMarker_Scale = 1.5f;

}  // namespace

bool CCursor_Mgr::Init() {
  m_Show = true;
  const float corners[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
  for (int i = 0; i < 4; ++i) {
    m_Quad[i] = Vertex{0.0f, 0.0f, 0.0f, 1.0f, kWhite, corners[i][0], corners[i][1]};
  }
  ShowCursor(FALSE);
  m_System_Cursor_Hidden = true;
  m_Initialised = true;
  return true;
}

void CCursor_Mgr::Term() {
  if (m_System_Cursor_Hidden) ShowCursor(TRUE);
  m_System_Cursor_Hidden = false;
  m_Initialised = false;
}

void CCursor_Mgr::Marker_Half_Extents(int kind, float scale, float screen_width, float screen_height,
                                      float& half_width, float& half_height) {
  if (kind == kArrow) {
    half_width = kArrow_Half_Width * screen_width;
    half_height = kArrow_Half_Height * screen_height;
    return;
  }
  const float grow = (kind == kCross_Hair ? kCross_Hair_Scale : kMarker_Scale) * scale;
  half_width = kMarker_Half_Width * screen_width * grow;
  half_height = kMarker_Half_Height * screen_height * grow;
}

void CCursor_Mgr::Draw_Marker(const int& kind, const CVector3& point, const unsigned& colour, const float& scale) {
  if (!g_pRenderDevice) return;
  float half_width = 0.0f, half_height = 0.0f;
  Marker_Half_Extents(kind, scale, g_pRenderDevice->GetScreenWidthF(), g_pRenderDevice->GetScreenHeightF(),
                      half_width, half_height);
  const float xs[4] = {point.x - half_width, point.x + half_width, point.x + half_width, point.x - half_width};
  const float ys[4] = {point.y - half_height, point.y - half_height, point.y + half_height, point.y + half_height};
  for (int i = 0; i < 4; ++i) {
    m_Quad[i].x = xs[i];
    m_Quad[i].y = ys[i];
  }
  m_Marker_Color = kind == kMarker ? colour : kWhite;
  m_Last_Kind = kind;
}

int CCursor_Mgr::Cursor_Kind() const {
  if (!m_Initialised || !m_Show) return kNo_Cursor;
  const bool in_simulation = g_Game_State.m_Sim_Kind != 0;
  if (g_Game_State.Hide_Cursor_In_Sims && in_simulation && !g_Popup_Mgr.Is_Open()) return kNo_Cursor;
  return in_simulation && !g_Modal_Dlg.Is_Open() ? kCross_Hair : kArrow;
}

void CCursor_Mgr::Render() {
  const int kind = Cursor_Kind();
  if (kind == kNo_Cursor) return;
  POINT cursor{0, 0};
  GetCursorPos(&cursor);
  if (g_Main_Window) ScreenToClient(g_Main_Window, &cursor);
  const float scale = 1.0f;
  const unsigned colour = kWhite;
  Draw_Marker(kind, CVector3{static_cast<float>(cursor.x), static_cast<float>(cursor.y), 0.0f}, colour, scale);
}
