#include "game/menu/CMenuItem_Text.h"

#include "game/core/CFrame_Info.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/Word_Wrap.h"
#include "game/core/CGame.h"

int Menu_Text_Width(int32_t size_class, const char* text) { return g_Menu_Mgr.Get_Text_Width(size_class, text); }

float Text_Line_Pitch(float text_height) { return 0.0015f * CMenuItem::Screen_H() + text_height; }

void Build_Text_Outline(uint32_t colour, const CMenuItem& item, Item_Frame& outline) {
  const float W = CMenuItem::Screen_W(), H = CMenuItem::Screen_H();
  CMenuItem::Build_Frame(colour, CVector2{item.m_X - 0.0095f * W, item.m_Y - 0.007f * H},
                         CVector2{item.m_W + 0.0145f * W, item.m_H + 0.012f * H}, outline);
}

void Draw_Text_Lines(const std::vector<std::string>& lines, const CMenuItem& item, int size_class, float text_height,
                     uint32_t colour, bool shadow) {
  const float pitch = Text_Line_Pitch(text_height);
  for (size_t i = 0; i < lines.size(); ++i)
    g_Menu_Mgr.Draw_Text(size_class, lines[i].c_str(), CVector2{item.m_X, item.m_Y + static_cast<float>(i) * pitch},
                         CVector2{item.m_W, text_height}, colour, shadow ? 0x4 : 0);
}

CMenuItem_Text::CMenuItem_Text(int32_t id, const char* text, const CVector2& anchor, uint32_t colour,
                               int32_t size_class, uint32_t flags, int32_t line_count, float fixed_width) {
  m_Kind = kItem_Text;
  Setup(id, text, anchor, colour, size_class, flags, line_count, fixed_width);
}

void CMenuItem_Text::Setup(int32_t id, const char* text, const CVector2& anchor, uint32_t colour,
                           int32_t size_class, uint32_t flags, int32_t line_count, float fixed_width) {
  Set_Text_Style(*this, id, colour, size_class, flags, line_count, fixed_width);
  m_X = anchor.x;
  m_Y = anchor.y;
  m_W = 0.0f;
  m_H = static_cast<float>(line_count) * Text_Line_Pitch(m_Text_Height);
  Set_Text(text);
  if (m_Flags & kCentre_Y) m_Y -= m_H / 2.0f;
  Build_Text_Outline(0xaa555588, *this, m_Outline);
  m_Initialised = true;
}

void CMenuItem_Text::Set_Text(const char* text) {
  m_Lines.clear();
  if (!text) {
    if (m_Line_Count == 0) m_W = m_H = 0.0f;
    return;
  }
  Measure_Text_Box(*this, text);
  if (m_Flags & kWrap)
    m_Lines = Wrap_Text(m_Size_Class, text, static_cast<int>(m_W), m_Line_Count, kPiece_Length, false).lines;
  else
    m_Lines.emplace_back(text);
  if (m_Flags & kCentre_X) m_X -= m_W / 2.0f;
  if (m_Flags & kRight_X) m_X -= m_W;
  Build_Text_Outline(0xaa555588, *this, m_Outline);
}

void CMenuItem_Text::Term() {
  m_Lines.clear();
  m_Initialised = false;
}

void CMenuItem_Text::Render(const CFrame_Info& frame) {
  (void)frame;
  Draw_Text_Lines(m_Lines, *this, m_Size_Class, m_Text_Height, m_Colour, (m_Flags & kShadow) != 0);
  if (m_Flags & kOutline) Draw(m_Outline, 8, nullptr, nullptr);
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
}
