#include "game/menu/CModal_Dlg.h"

#include <algorithm>
#include <cstring>

#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CPopup_Mgr.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "game/core/CGame.h"

CModal_Dlg g_Modal_Dlg;

namespace {
constexpr uint32_t kTexture_Id = 0x2200000c;
constexpr uint32_t kStyle_Id = 0x22000007;
constexpr uint32_t kBox_Colour = 0xff222222;
constexpr uint32_t kBorder_Colour = 0xffcc6688;
constexpr uint32_t kOutline_Colour = 0xffbb2bac;
constexpr float kMessage_Close_Time = 2.5f;

float Screen_W() { return CMenuItem::Screen_W(); }
float Screen_H() { return CMenuItem::Screen_H(); }

// The screen point of a world point through the device's view and projection.
CVector2 Project(const CVector3& point) {
  D3DMATRIX view{}, projection{};
  if (!g_pDirect3DDevice) return CVector2{Screen_W() / 2.0f, Screen_H() / 2.0f};
  g_pDirect3DDevice->GetTransform(D3DTS_VIEW, &view);
  g_pDirect3DDevice->GetTransform(D3DTS_PROJECTION, &projection);
  float v[4] = {point.x, point.y, point.z, 1.0f}, e[4], c[4];
  for (int j = 0; j < 4; ++j) e[j] = v[0] * view.m[0][j] + v[1] * view.m[1][j] + v[2] * view.m[2][j] + v[3] * view.m[3][j];
  for (int j = 0; j < 4; ++j)
    c[j] = e[0] * projection.m[0][j] + e[1] * projection.m[1][j] + e[2] * projection.m[2][j] + e[3] * projection.m[3][j];
  if (c[3] == 0.0f) return CVector2{Screen_W() / 2.0f, Screen_H() / 2.0f};
  return CVector2{Screen_W() * (0.5f * c[0] / c[3] + 0.5f), Screen_H() * (-0.5f * c[1] / c[3] + 0.5f)};
}

}  // namespace


bool CModal_Dlg::Init(const CVector3& world_point, const CVector2& centre, float width, float height, int mode) {
  m_Mode = mode;
  m_Top_Left = CVector2{centre.x - width / 2.0f, centre.y - height / 2.0f};
  m_Current = CVector2{0.0f, 0.0f};
  m_Line_X = 0.0f;
  m_Content_Height = 0.0f;
  m_Width = width;
  m_Height = height;
  m_Current_Width = m_Current_Height = 0.0f;
  m_Highlight = -1;
  m_Line_Count = 0;
  m_Clock = 0.0f;
  m_Start = Project(world_point);
  m_Current = m_Start;
  if (m_Panel.m_Initialised || !m_Panel.Items().empty()) m_Panel.Clear_Items();
  if (!m_Texture) m_Texture = g_pTexture ? g_pTexture->GetTexture(kTexture_Id) : nullptr;
  if (!m_Texture) {
    Show_Message("Error in CModal_Dlg\nUnable to load texture...");
    Term();
    return false;
  }
  if (!m_Style) m_Style = g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(kStyle_Id) : nullptr;
  if (!m_Style) {
    Show_Message("Error in CModal_Dlg\nUnable to load shader...");
    Term();
    return false;
  }
  Rebuild_Geometry();
  if (mode == kMode_Panel) m_Panel.Init(centre, 0);
  const bool paused = true;
  Set_Game_Paused(paused);
  m_Active = true;
  return true;
}

bool CModal_Dlg::Add_Line(const char* text, uint32_t colour, uint32_t flags, int32_t code, int32_t argument) {
  if (m_Line_Count >= kMax_Lines) return false;
  Line& line = m_Lines[m_Line_Count];
  line = Line();
  std::strncpy(line.text, text ? text : "", sizeof line.text - 1);
  line.text[sizeof line.text - 1] = '\0';
  const bool large = (flags & kLine_Large) != 0;
  line.height_factor = large ? 0.05f : 0.034f;
  line.spacing_factor = large ? 0.03f : 0.01f;
  line.x_offset = m_Line_X;
  line.y_offset = m_Content_Height;
  line.width = m_Width;
  line.text_height = Screen_H() * line.height_factor;
  line.colour = colour;
  line.code = code;
  line.argument = argument;
  line.flags = flags;
  ++m_Line_Count;
  const float advance = Screen_H() * (line.height_factor + line.spacing_factor);
  if (m_Height == 0.0f) m_Top_Left.y -= advance / 2.0f;
  m_Content_Height += advance;
  Rebuild_Geometry();
  return true;
}

void CModal_Dlg::Line_Rect(const Line& line, float& x, float& y, float& w, float& h) const {
  x = m_Current.x + line.x_offset + 0.01f * Screen_W();
  w = line.width - 0.02f * Screen_W();
  y = m_Current.y + line.y_offset;
  h = line.text_height;
}

void CModal_Dlg::Box_Rect(float& left, float& top, float& right, float& bottom) const {
  float h = m_Current_Height;
  if (m_Height == 0.0f) {
    float sum = 0.0f;
    for (uint32_t i = 0; i < m_Line_Count; ++i) sum += m_Lines[i].height_factor + m_Lines[i].spacing_factor;
    const bool last_large = m_Line_Count > 0 && (m_Lines[m_Line_Count - 1].flags & kLine_Large);
    h = Screen_H() * (sum + (last_large ? 0.0f : 0.02f));
  }
  left = m_Current.x;
  right = m_Current.x + m_Current_Width;
  top = m_Current.y - 0.03f * Screen_H();
  bottom = m_Current.y + h;
}

void CModal_Dlg::Rebuild_Geometry() {
  float left, top, right, bottom;
  Box_Rect(left, top, right, bottom);
  CMenuItem::Build_Quad(kBox_Colour, CVector2{left, top}, CVector2{right - left, bottom - top}, m_Box);
  // The box texture tiles at 0.02 per pixel.
  for (DrawPrimTexTriangle& triangle : m_Box)
    for (TexVertex& vertex : triangle.v) {
      vertex.u = (vertex.x - left) * 0.02f;
      vertex.v = (vertex.y - top) * 0.02f;
    }
  CVector2 outside{left - 1.0f, top - 1.0f};
  CMenuItem::Build_Frame(kBorder_Colour, outside, CVector2{right - left + 1.0f, bottom - top + 1.0f}, m_Border);
  for (uint32_t i = 0; i < m_Line_Count; ++i) {
    float x, y, w, h;
    Line_Rect(m_Lines[i], x, y, w, h);
    CMenuItem::Build_Frame(kOutline_Colour, CVector2{x, y}, CVector2{w, h}, m_Lines[i].outline);
  }
}

void CModal_Dlg::Term() {
  if (m_Style && g_pRenderStyles) g_pRenderStyles->ReleaseRenderStyle(m_Style);
  m_Style = nullptr;
  if (m_Texture && g_pTexture) g_pTexture->ReleaseTexture(m_Texture);
  m_Texture = nullptr;
  if (g_Game_Paused && !g_Popup_Mgr.Is_Open()) {
    const bool paused = false;
    Set_Game_Paused(paused);
  }
  m_Panel.Clear_Items();
  m_Active = false;
}

bool CModal_Dlg::Line_Hit(const Line& line, const CVector2& cursor) const {
  float x, y, w, h;
  Line_Rect(line, x, y, w, h);
  const float half_spacing = Screen_H() * line.spacing_factor * 0.5f;
  return cursor.x >= x && cursor.x < x + w && cursor.y >= y - half_spacing && cursor.y < y + h + half_spacing;
}

// Reads the line's command before closing: the command may open the dialog again.
void CModal_Dlg::Activate_Line(uint32_t index) {
  const int code = m_Lines[index].code;
  const int argument = m_Lines[index].argument;
  Term();
  g_Menu_Mgr.Command(code, argument, 0, 0);
}

void CModal_Dlg::Close_Message_When_Ready() {
  if (m_Clock >= kMessage_Close_Time) Term();
}

bool CModal_Dlg::On_Left_Down() {
  if (m_Mode == kMode_Message) {
    Close_Message_When_Ready();
    return true;
  }
  if (m_Mode == kMode_Choice) {
    const CVector2 cursor = CMenuItem::Cursor();
    for (uint32_t i = 0; i < m_Line_Count; ++i) {
      if (m_Lines[i].code == 0 || !Line_Hit(m_Lines[i], cursor)) continue;
      m_Highlight = static_cast<int32_t>(i);
      Activate_Selected();
      return true;
    }
    return false;
  }
  if (m_Mode == kMode_Panel && m_Clock >= 1.0f) m_Panel.On_Mouse_Down();
  return true;
}

bool CModal_Dlg::On_Left_Up() {
  if (m_Mode == kMode_Panel && m_Clock >= 1.0f) m_Panel.On_Mouse_Up();
  return true;
}

bool CModal_Dlg::On_Right_Down() {
  if (m_Mode == kMode_Panel) return true;
  return On_Left_Down();
}

CModal_Dlg::Line* CModal_Dlg::Select_Next() {
  const auto count = static_cast<int32_t>(m_Line_Count);
  for (int32_t step = 1; step <= count; ++step) {
    const int32_t index = (m_Highlight < 0 ? step - 1 : (m_Highlight + step)) % std::max(count, 1);
    if (m_Lines[index].code != 0) {
      m_Highlight = index;
      return &m_Lines[index];
    }
  }
  m_Highlight = -1;
  return nullptr;
}

CModal_Dlg::Line* CModal_Dlg::Select_Previous() {
  if (m_Highlight < 0) return Select_Next();
  const auto count = static_cast<int32_t>(m_Line_Count);
  for (int32_t step = 1; step <= count; ++step) {
    const int32_t index = ((m_Highlight - step) % count + count) % count;
    if (m_Lines[index].code != 0) {
      m_Highlight = index;
      return &m_Lines[index];
    }
  }
  m_Highlight = -1;
  return nullptr;
}

void CModal_Dlg::Activate_Selected() {
  if (m_Mode == kMode_Message) {
    Close_Message_When_Ready();
    return;
  }
  if (m_Mode != kMode_Choice) return;
  const auto index = static_cast<uint32_t>(m_Highlight);
  if (index < m_Line_Count && m_Clock >= 1.0f && m_Lines[index].code != 0) Activate_Line(index);
}

void CModal_Dlg::Track_Cursor() {
  const CVector2 cursor = CMenuItem::Cursor();
  const auto x = static_cast<int32_t>(cursor.x), y = static_cast<int32_t>(cursor.y);
  if (x == m_Last_Cursor_X && y == m_Last_Cursor_Y) return;
  m_Last_Cursor_X = x;
  m_Last_Cursor_Y = y;
  for (uint32_t i = m_Line_Count; i-- > 0;)
    if (m_Lines[i].code != 0 && Line_Hit(m_Lines[i], cursor)) {
      m_Highlight = static_cast<int32_t>(i);
      return;
    }
}

void CModal_Dlg::Update(float step) {
  const float before = m_Clock;
  m_Clock += step * 0.75f;
  if (before <= 1.0f) {
    const float t = std::min(m_Clock, 1.0f);
    m_Current = CVector2{m_Start.x + t * (m_Top_Left.x - m_Start.x), m_Start.y + t * (m_Top_Left.y - m_Start.y)};
    m_Current_Width = m_Width * t;
    m_Current_Height = m_Height * t;
    Rebuild_Geometry();
  }
  CMenuItem::Draw(m_Box, 2, m_Style, m_Texture);
  CMenuItem::Draw(m_Border, 8, nullptr, nullptr);
  if (m_Mode == kMode_Message || m_Mode == kMode_Choice) {
    Track_Cursor();
    if (m_Clock > 1.0f) {
      for (uint32_t i = 0; i < m_Line_Count; ++i) {
        const Line& line = m_Lines[i];
        float x, y, w, h;
        Line_Rect(line, x, y, w, h);
        g_Menu_Mgr.Draw_Text((line.flags & kLine_Large) ? 2 : 1, line.text, CVector2{x, y}, CVector2{w, h},
                             line.colour, kText_Centre);
      }
      if (m_Highlight >= 0 && static_cast<uint32_t>(m_Highlight) < m_Line_Count)
        CMenuItem::Draw(m_Lines[m_Highlight].outline, 8, nullptr, nullptr);
    }
  }
  if (m_Mode == kMode_Panel && before > 1.0f) m_Panel.Render_Items(step);
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
  if (g_pRenderDevice) g_pRenderDevice->ResetRenderStates();
}
