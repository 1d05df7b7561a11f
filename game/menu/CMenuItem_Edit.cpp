#include "game/menu/CMenuItem_Edit.h"

#include "game/core/CFrame_Info.h"
#include "game/core/Sound_FX.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/Word_Wrap.h"
#include "game/core/CGame.h"

namespace {
constexpr uint32_t kAccept_Sound = 0x220000dc;
constexpr uint32_t kRefuse_Sound = 0x220000dd;
constexpr uint32_t kOutline_Colour = 0x77ccccee;
constexpr uint32_t kCaret_Colour = 0xccccccee;
constexpr int kBackspace = 8;
constexpr int kEnter = 13;
}  // namespace

CMenuItem_Edit::CMenuItem_Edit(int32_t id, const char* text, const CVector2& anchor, uint32_t colour,
                               int32_t size_class, uint32_t flags, int32_t visible_lines, float fixed_width) {
  m_Kind = kItem_Edit;
  Setup(id, text, anchor, colour, size_class, flags, visible_lines, fixed_width);
}

void CMenuItem_Edit::Setup(int32_t id, const char* text, const CVector2& anchor, uint32_t colour,
                           int32_t size_class, uint32_t flags, int32_t visible_lines, float fixed_width) {
  m_Focused = false;
  m_Id = id;
  m_Colour = colour;
  m_Size_Class = size_class;
  m_Flags = flags;
  m_Visible_Lines = visible_lines;
  m_Fixed_Width = fixed_width;
  m_Text_Height = Text_Height(size_class);
  m_X = anchor.x;
  m_Y = anchor.y;
  m_H = static_cast<float>(visible_lines) * Text_Line_Pitch(m_Text_Height);
  Set_Text(text);
  if (flags & kCentre_X) m_X -= m_W / 2.0f;
  if (flags & kRight_X) m_X -= m_W;
  if (flags & kCentre_Y) m_Y -= m_H / 2.0f;
  Build_Text_Outline(kOutline_Colour, *this, m_Outline);
  m_Caret = 0;
  Update_Caret();
  m_Initialised = true;
}

void CMenuItem_Edit::Set_Text(const char* text, bool* overflow) {
  m_Lines.clear();
  if (overflow) *overflow = false;
  if (!text) {
    if (m_Visible_Lines == 0) m_W = m_H = 0.0f;
    return;
  }
  const std::string whole = text;
  m_W = m_Fixed_Width != 0.0f ? m_Fixed_Width : static_cast<float>(g_Menu_Mgr.Get_Text_Width(m_Size_Class, text));
  m_H = static_cast<float>(m_Visible_Lines) * Text_Line_Pitch(m_Text_Height);
  bool overflowed = false;
  if (m_Flags & kMulti_Line) {
    const Wrap_Result wrap = Wrap_Text(m_Size_Class, whole, static_cast<int>(m_W), m_Visible_Lines, kPiece_Length, true);
    m_Lines = wrap.lines;
    // A newline ending the last visible line asks for one line more.
    const bool newline_at_end = static_cast<int>(m_Lines.size()) == m_Visible_Lines && !m_Lines.empty() &&
                                !m_Lines.back().empty() && m_Lines.back().back() == '\n';
    overflowed = !wrap.all_placed || newline_at_end;
  } else {
    m_Lines.push_back(whole);
    overflowed = static_cast<float>(g_Menu_Mgr.Get_Text_Width(m_Size_Class, text)) > m_Fixed_Width;
  }
  if (overflow) *overflow = overflowed;
  Build_Text_Outline(kOutline_Colour, *this, m_Outline);
}

void CMenuItem_Edit::Get_Text(std::string& text) const {
  text.clear();
  for (const std::string& line : m_Lines) text += line;
}

bool CMenuItem_Edit::Get_Caret_Pos(int index, float& x, float& y, int& line) const {
  const float pitch = Text_Line_Pitch(m_Text_Height);
  x = m_X;
  y = m_Y - 0.001f * Screen_H();
  line = 0;
  if (index < 0) return false;
  if (m_Lines.empty()) return index == 0;
  int left = index;
  for (size_t i = 0; i < m_Lines.size(); ++i) {
    const std::string& text = m_Lines[i];
    const int length = static_cast<int>(text.size());
    const bool ends_newline = length > 0 && text.back() == '\n';
    if (left < length || (left == length && !ends_newline)) {
      x = m_X + static_cast<float>(
                    g_Menu_Mgr.Get_Text_Width(m_Size_Class, text.substr(0, static_cast<size_t>(left)).c_str()));
      line = static_cast<int>(i);
      return true;
    }
    left -= length;
    y += pitch;
    if (i + 1 == m_Lines.size() && left == 0 && ends_newline) {
      // Just after the newline that ends the last line: the start of the next line.
      line = static_cast<int>(i) + 1;
      return true;
    }
  }
  return false;
}

int CMenuItem_Edit::Find_Index_At(float x, float y, int line) const {
  float best = 10000000.0f;
  int found = -1;
  std::string text;
  Get_Text(text);
  for (int index = 0; index <= static_cast<int>(text.size()); ++index) {
    float cx, cy;
    int cline;
    if (!Get_Caret_Pos(index, cx, cy, cline) || cline != line) continue;
    const float distance = (cx - x) * (cx - x) + (cy - y) * (cy - y);
    if (distance < best) {
      best = distance;
      found = index;
    }
  }
  return found;
}

void CMenuItem_Edit::Update_Caret() {
  float x, y;
  int line;
  if (!Get_Caret_Pos(m_Caret, x, y, line)) return;
  Build_Quad(kCaret_Colour, CVector2{x, y}, CVector2{1.0f, m_Text_Height}, m_Caret_Quad);
}

bool CMenuItem_Edit::Accept(int code, bool is_key) const {
  if (code == kBackspace) return true;
  if (is_key)
    return code == kKey_End || code == kKey_Home || code == kKey_Left || code == kKey_Up || code == kKey_Right ||
           code == kKey_Down || code == kKey_Delete;
  if (code == kEnter) return (m_Flags & kMulti_Line) != 0;
  return code >= 32 && code <= 126 && code != '&';
}

void CMenuItem_Edit::On_Char(int code, bool is_key) {
  if (!Accept(code, is_key)) {
    Play_Sound_FX(kRefuse_Sound, 1.0f);
    return;
  }
  Play_Sound_FX(kAccept_Sound, 1.0f);
  std::string text;
  Get_Text(text);
  const int length = static_cast<int>(text.size());
  const float pitch = Text_Line_Pitch(m_Text_Height);
  float cx = 0, cy = 0;
  int cline = 0;
  Get_Caret_Pos(m_Caret, cx, cy, cline);
  auto move_to = [this](int index) {
    if (index >= 0) m_Caret = index;
  };
  if (code == kBackspace) {
    if (m_Caret > 0 && m_Caret <= length) {
      --m_Caret;
      text.erase(static_cast<size_t>(m_Caret), 1);
      Set_Text(text.c_str());
    }
  } else if (is_key && code == kKey_Delete) {
    if (m_Caret < length) {
      text.erase(static_cast<size_t>(m_Caret), 1);
      Set_Text(text.c_str());
    }
  } else if (is_key && code == kKey_Left) {
    if (m_Caret > 0) --m_Caret;
  } else if (is_key && code == kKey_Right) {
    if (m_Caret + 1 <= length) ++m_Caret;
  } else if (is_key && code == kKey_Home) {
    move_to(Find_Index_At(0.0f, cy, cline));
  } else if (is_key && code == kKey_End) {
    move_to(Find_Index_At(Screen_W(), cy, cline));
  } else if (is_key && code == kKey_Up) {
    if (cline > 0) move_to(Find_Index_At(cx, cy - pitch, cline - 1));
  } else if (is_key && code == kKey_Down) {
    move_to(Find_Index_At(cx, cy + pitch, cline + 1));
  } else {
    std::string changed = text;
    const char c = code == kEnter ? '\n' : static_cast<char>(code);
    changed.insert(static_cast<size_t>(std::min(m_Caret, length)), 1, c);
    bool overflow = false;
    Set_Text(changed.c_str(), &overflow);
    if (overflow)
      Set_Text(text.c_str());
    else
      ++m_Caret;
  }
  Update_Caret();
}

void CMenuItem_Edit::Term() {
  m_Lines.clear();
  m_Initialised = false;
}

void CMenuItem_Edit::Render(const CFrame_Info& frame) {
  m_Blink += frame.Delta;
  if (m_Blink > 4.0f) m_Blink -= 4.0f;
  std::vector<std::string> shown = m_Lines;
  for (std::string& line : shown)
    if (!line.empty() && line.back() == '\n') line.pop_back();
  Draw_Text_Lines(shown, *this, m_Size_Class, m_Text_Height, m_Colour, (m_Flags & kShadow) != 0);
  if (m_Focused && m_Blink <= 2.4f) Draw(m_Caret_Quad, 2, nullptr, nullptr);
  if (m_Flags & kOutline) Draw(m_Outline, 8, nullptr, nullptr);
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
}
