#include "game/menu/CMenuItem_Typed_Text.h"

#include <algorithm>
#include <cmath>

#include "game/core/CFrame_Info.h"
#include "game/core/Sound_FX.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/Word_Wrap.h"
#include "platform/system/random.h"
#include "game/core/CGame.h"

namespace {
constexpr float kTwo_Pi = 6.2831855f;
constexpr uint32_t kType_Sound = 0x220000df;
constexpr uint32_t kOutline_Colour = 0x77444444;
}  // namespace

CMenuItem_Typed_Text::CMenuItem_Typed_Text(int32_t id, const char* text, const CVector2& anchor, uint32_t colour,
                                           int32_t size_class, uint32_t flags, int32_t line_count,
                                           float fixed_width) {
  m_Kind = kItem_Typed_Text;
  Setup(id, text, anchor, colour, size_class, flags, line_count, fixed_width);
}

void CMenuItem_Typed_Text::Setup(int32_t id, const char* text, const CVector2& anchor, uint32_t colour,
                                 int32_t size_class, uint32_t flags, int32_t line_count, float fixed_width) {
  Set_Text_Style(*this, id, colour, size_class, flags, line_count, fixed_width);
  m_Pending = text ? text : "";
  m_Shown.clear();
  m_Lines.clear();
  m_Countdown = 0.0f;
  m_Cursor_Phase = 0.0f;
  m_X = anchor.x;
  m_Y = anchor.y;
  m_W = fixed_width;
  m_H = static_cast<float>(line_count) * Text_Line_Pitch(m_Text_Height);
  if (m_Flags & kCentre_X) m_X -= m_W / 2.0f;
  if (m_Flags & kRight_X) m_X -= m_W;
  if (m_Flags & kCentre_Y) m_Y -= m_H / 2.0f;
  Build_Text_Outline(kOutline_Colour, *this, m_Outline);
  m_Initialised = true;
}

void CMenuItem_Typed_Text::Set_Text(const char* shown) {
  m_Lines.clear();
  const std::string text = shown ? shown : "";
  Measure_Text_Box(*this, text.c_str());
  m_Lines = Wrap_Text(m_Size_Class, text, static_cast<int>(m_W), m_Line_Count, kPiece_Length, false).lines;
  m_Cursor_Phase = 0.0f;
  Play_Sound_FX(kType_Sound, 1.0f);
  if (m_Flags & kCentre_X) m_X -= m_W / 2.0f;
  if (m_Flags & kRight_X) m_X -= m_W;
  if (text.empty() && m_Line_Count == 0) m_W = m_H = 0.0f;
  Build_Text_Outline(kOutline_Colour, *this, m_Outline);
}

void CMenuItem_Typed_Text::Term() {
  m_Lines.clear();
  m_Initialised = false;
}

void CMenuItem_Typed_Text::Render(const CFrame_Info& frame) {
  const float step = frame.Delta;
  m_Countdown -= step;
  if (!m_Pending.empty() && m_Countdown < 0.0f) {
    const char next = m_Pending.front();
    m_Pending.erase(0, 1);
    if (next != '~') {
      m_Shown.push_back(next);
      Set_Text(m_Shown.c_str());
    }
    m_Countdown = 0.12f + 0.58f * static_cast<float>(plat::Random()) / 32768.0f;
  }
  Draw_Text_Lines(m_Lines, *this, m_Size_Class, m_Text_Height, m_Colour, (m_Flags & kShadow) != 0);
  m_Cursor_Phase += step * 1.5f;
  if (m_Cursor_Phase >= kTwo_Pi) m_Cursor_Phase -= kTwo_Pi;
  const int alpha = std::min(static_cast<int>((std::cos(m_Cursor_Phase) + 1.0f) * 255.0f), 255);
  const float W = Screen_W(), H = Screen_H();
  const float last_width =
      m_Lines.empty() ? 0.0f : static_cast<float>(g_Menu_Mgr.Get_Text_Width(m_Size_Class, m_Lines.back().c_str()));
  if (alpha != 0 && last_width + 0.005f * W < m_W) {
    const float top = m_Lines.empty() ? m_Y : m_Y + static_cast<float>(m_Lines.size() - 1) * Text_Line_Pitch(m_Text_Height);
    const float left = m_Lines.empty() ? m_X : m_X + 0.002f * W + last_width;
    const uint32_t colour = (static_cast<uint32_t>(alpha) << 24) | (m_Colour & 0xFFFFFF);
    g_Menu_Mgr.Draw_Text(0, "_", CVector2{left, top}, CVector2{20.0f, 0.03f * H}, colour, 0x4);
  }
  if (m_Flags & kOutline) Draw(m_Outline, 8, nullptr, nullptr);
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
}
