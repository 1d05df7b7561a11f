#include "game/menu/CMenuItem_Button.h"

#include <algorithm>
#include <cmath>

#include "game/core/CFrame_Info.h"
#include "game/core/CGame.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"

namespace {
constexpr float kTwo_Pi = 6.2831855f;
uint32_t With_Alpha(uint32_t rgb, int alpha) { return (static_cast<uint32_t>(alpha) << 24) | (rgb & 0xFFFFFF); }
}  // namespace

CMenuItem_Button::CMenuItem_Button(int32_t id, const char* caption, const CVector2& anchor, uint32_t colour,
                                   int32_t size_class, uint32_t flags, float fixed_width) {
  m_Kind = kItem_Button;
  Setup(id, caption, anchor, colour, size_class, flags, fixed_width);
}

void CMenuItem_Button::Setup(int32_t id, const char* caption, const CVector2& anchor, uint32_t colour,
                             int32_t size_class, uint32_t flags, float fixed_width) {
  m_Id = id;
  m_Anchor_X = anchor.x;
  m_Anchor_Y = anchor.y;
  m_Colour = colour;
  m_Size_Class = size_class;
  m_Flags = flags;
  m_Fixed_Width = fixed_width;
  m_Pressed = false;
  m_Phase = 0.0f;
  m_On_Click = nullptr;
  Set_Caption(caption);
  m_Initialised = true;
}

void CMenuItem_Button::Set_Caption(const char* caption) {
  m_Caption = caption ? caption : "";
  const float W = Screen_W(), H = Screen_H();
  const float t = Text_Height(m_Size_Class);
  const auto caption_width = static_cast<float>(g_Menu_Mgr.Get_Text_Width(m_Size_Class, m_Caption.c_str()));
  m_Caption_Width = caption_width;
  float w = m_Fixed_Width != 0.0f ? m_Fixed_Width : caption_width;
  float h = t;
  m_Caption_Offset = m_Fixed_Width != 0.0f ? (m_Fixed_Width - caption_width) / 2.0f : 0.0f;
  float x = (m_Flags & kCentre_X) ? m_Anchor_X - w / 2.0f : m_Anchor_X;
  float y = (m_Flags & kCentre_Y) ? m_Anchor_Y - h / 2.0f : m_Anchor_Y;
  x -= 0.019f * W;
  y -= 0.008f * H;
  w += 0.034f * W;
  h += 0.010f * H;
  m_X = x;
  m_Y = y;
  m_W = w;
  m_H = h;
  Build_Quad(0x88ffffff, CVector2{x, y}, CVector2{w, h}, m_Background);
  Build_Quad(0x88ffffff, CVector2{x - 0.015f * W, y - 0.01f * H}, CVector2{w + 0.03f * W, h + 0.02f * H}, m_Glow);
  Build_Frame((m_Flags & kHighlight) ? 0xff227788 : 0xff000000, CVector2{x, y}, CVector2{w, h}, m_Outline);
}

void CMenuItem_Button::Term() {
  m_Caption.clear();
  m_Initialised = false;
}

bool CMenuItem_Button::On_Click() {
  if (m_On_Click) m_On_Click(this);
  return true;
}

bool CMenuItem_Button::On_Mouse_Down() {
  if (m_Flags & kHidden) return false;
  m_Pressed = true;
  g_Game.Set_Capture(this);
  return false;
}

bool CMenuItem_Button::On_Mouse_Up() {
  if (m_Flags & kHidden) return false;
  m_Pressed = false;
  if (Is_Mouse_Over()) return On_Click();
  return true;
}

void CMenuItem_Button::Render(const CFrame_Info& frame) {
  if (m_Flags & kHidden) return;
  const float W = Screen_W(), H = Screen_H();
  int alpha = 176;
  if ((m_Flags & (kPulse | kPulse_Red)) && !m_Pressed) {
    alpha = std::clamp(static_cast<int>(std::sin(m_Phase) * 50.0f + 176.0f), 0, 255);
    m_Phase += frame.Delta * 2.25f;
    if (m_Phase > kTwo_Pi) m_Phase -= kTwo_Pi;
  }
  CD3DRenderStyle* style_a = g_Menu_Mgr.Style(0);
  CD3DRenderStyle* style_b = g_Menu_Mgr.Style(1);
  CTextureData* glow_texture = g_Menu_Mgr.Texture(2);
  if (!(m_Flags & kNo_Background)) {
    Set_Colour(m_Background, 2, With_Alpha(m_Pressed ? 0xaaaaaa : 0x666666, alpha));
    Draw(m_Background, 2, style_a, nullptr);
  } else if (m_Pressed) {
    Set_Colour(m_Glow, 2, With_Alpha(0x113322, alpha));
    Draw(m_Glow, 2, style_b, glow_texture);
    if (m_Flags & kHighlight) Draw(m_Outline, 8, nullptr, nullptr);
  }
  g_Menu_Mgr.Draw_Text(m_Size_Class, m_Caption.c_str(),
                       CVector2{m_X + 0.019f * W + m_Caption_Offset, m_Y + 0.008f * H},
                       CVector2{m_W - 0.93f * 0.034f * W, m_H - 0.010f * H}, m_Colour, (m_Flags & kShadow) ? 0x4 : 0);
  if (!(m_Flags & kNo_Outline)) Draw(m_Outline, 8, nullptr, nullptr);
  if ((m_Flags & kHighlight) && !g_Game.Capture_Holder() && !g_Modal_Dlg.Is_Open() && Is_Mouse_Over())
    Draw(m_Outline, 8, nullptr, nullptr);
  if (m_Flags & kGlow) {
    const uint32_t rgb = (m_Flags & kPulse_Red) ? 0x883333 : (m_Pressed ? 0x222233 : 0x111122);
    Set_Colour(m_Glow, 2, With_Alpha(rgb, alpha));
    Draw(m_Glow, 2, style_b, glow_texture);
  }
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
}
