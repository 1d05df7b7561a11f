#include "game/menu/CMenuItem_List.h"

#include <algorithm>

#include "game/core/CFrame_Info.h"
#include "game/core/CGame.h"
#include "game/core/Sound_FX.h"
#include "game/menu/CMenu_Mgr.h"

namespace {
constexpr uint32_t kClick_Sound = 0x220000df;
constexpr uint32_t kMove_Sound = 0x220000dc;
constexpr uint32_t kBackground = 0x55444444;
constexpr uint32_t kBackground_Pressed = 0x66444444;
constexpr uint32_t kBar_Held = 0x668888aa;
constexpr uint32_t kBar = 0x66666688;
constexpr uint32_t kOutline = 0xff888844;
constexpr uint32_t kTrack = 0x888888aa;
constexpr uint32_t kArrows = 0xaa88ccaa;

void Textured_Cell(Item_Quad& quad, float x, float y, float s, bool flip, bool thumb) {
  CMenuItem::Build_Quad(kArrows, CVector2{x, y}, CVector2{s, s}, quad);
  for (DrawPrimTexTriangle& triangle : quad)
    for (TexVertex& vertex : triangle.v) {
      float v = (vertex.y - y) / s;
      if (flip) v = 1.0f - v;
      vertex.v = (thumb ? 0.5f : 0.0f) + 0.5f * v;
    }
}
}  // namespace

CMenuItem_List::CMenuItem_List(int32_t id, const CVector2& anchor, float width, int32_t visible_rows,
                               int32_t size_class, uint32_t flags) {
  m_Kind = kItem_List;
  Setup(id, anchor, width, visible_rows, size_class, flags);
}

void CMenuItem_List::Setup(int32_t id, const CVector2& anchor, float width, int32_t visible_rows,
                           int32_t size_class, uint32_t flags) {
  const float W = Screen_W(), H = Screen_H();
  m_Id = id;
  m_Width = width;
  m_Visible_Rows = std::max(visible_rows, 0);
  m_Size_Class = size_class;
  m_Flags = flags;
  m_Text_Height = Text_Height(size_class);
  m_Rows.clear();
  m_Columns.clear();
  m_Column_Mode = false;
  m_Selected = -1;
  m_First_Visible = 0;
  m_Repeat_Timer = m_Drag_Timer = 0.0f;
  m_Pressed = m_Row_Press = false;
  m_On_Select = nullptr;
  m_X = anchor.x - 0.0095f * W;
  m_Y = anchor.y - 0.006f * H;
  m_W = width + 0.0145f * W;
  m_H = static_cast<float>(m_Visible_Rows) * Pitch() + 0.008f * H;
  Build_Quad(kBackground, CVector2{m_X, m_Y}, CVector2{m_W, m_H}, m_Background);
  Build_Frame(kOutline, CVector2{m_X, m_Y}, CVector2{m_W, m_H}, m_Outline);
  m_Initialised = true;
}

float CMenuItem_List::Pitch() const { return 0.0025f * Screen_H() + m_Text_Height; }
float CMenuItem_List::Cell() const { return 0.023f * Screen_H(); }
float CMenuItem_List::Text_Left() const { return m_X + 0.0095f * Screen_W(); }
float CMenuItem_List::Text_Width() const {
  float width = m_W - 0.0145f * Screen_W();
  if (Scrolls()) width -= 0.0025f * Screen_W() + Cell();
  return width;
}
float CMenuItem_List::Row_Top(int32_t visible_index) const {
  return m_Y + 0.006f * Screen_H() + static_cast<float>(visible_index) * Pitch();
}
float CMenuItem_List::Track_Length() const { return m_H - 2.0f * Cell() - 0.010f * Screen_H(); }
float CMenuItem_List::Thumb_Top() const {
  const int32_t spare = Row_Count() - m_Visible_Rows;
  const float divisor = spare > 0 ? static_cast<float>(spare) : 1.0f;
  return m_Y + 0.006f * Screen_H() + Cell() +
         static_cast<float>(m_First_Visible) / divisor * (Track_Length() - Cell());
}

void CMenuItem_List::Add_Row(const char* text, uint32_t colour, int32_t value) {
  m_Rows.push_back(Row{text ? text : "", {}, colour, value});
}

void CMenuItem_List::Add_Row_Columns(const std::vector<std::string>& columns, uint32_t colour, int32_t value) {
  m_Rows.push_back(Row{"", columns, colour, value});
}

void CMenuItem_List::Set_Columns(const std::vector<Column>& columns) {
  m_Columns = columns;
  m_Column_Mode = true;
}

bool CMenuItem_List::Remove_Row(int32_t index) {
  if (index < 0 || index >= Row_Count()) return false;
  m_Rows.erase(m_Rows.begin() + index);
  if (index == m_Selected) {
    m_Selected = std::min(m_Selected, Row_Count() - 1);
    if (m_On_Select) m_On_Select(m_Selected);
  }
  if (m_First_Visible != 0 && m_First_Visible + m_Visible_Rows >= Row_Count()) --m_First_Visible;
  return true;
}

void CMenuItem_List::Clear() {
  m_Rows.clear();
  m_Selected = -1;
  m_First_Visible = 0;
}

int32_t CMenuItem_List::Get_Selected_Value() const { return Get_Row_Value(m_Selected); }

int32_t CMenuItem_List::Get_Row_Value(int32_t index) const {
  return index >= 0 && index < Row_Count() ? m_Rows[static_cast<size_t>(index)].value : -1;
}

int32_t CMenuItem_List::Find_Row(int32_t value) const {
  for (int32_t i = 0; i < Row_Count(); ++i)
    if (m_Rows[static_cast<size_t>(i)].value == value) return i;
  return -1;
}

bool CMenuItem_List::Set_Row_Colour(int32_t index, uint32_t colour) {
  if (index < 0 || index >= Row_Count()) return false;
  m_Rows[static_cast<size_t>(index)].colour = colour;
  return true;
}

bool CMenuItem_List::Select_Row(int32_t index) {
  if (!(m_Flags & kSelectable) || index < 0 || index >= Row_Count()) return false;
  if (index == m_Selected) return true;
  m_Selected = index;
  if (m_On_Select) m_On_Select(index);
  return true;
}

bool CMenuItem_List::Scroll_To(int32_t index) {
  if (index < 0 || index >= Row_Count()) return false;
  m_First_Visible = std::max(std::min(index, Row_Count() - m_Visible_Rows), 0);
  return true;
}

// Moves the page one row at a time until the row is on it, never past the last full page.
void CMenuItem_List::Ensure_Visible(int32_t index) {
  if (index < 0 || index >= Row_Count()) return;
  const int32_t last_page = std::max(Row_Count() - m_Visible_Rows, 0);
  for (int step = 0; step < kMax_Scroll_Steps; ++step) {
    if (index < m_First_Visible && m_First_Visible > 0)
      --m_First_Visible;
    else if (index >= m_First_Visible + m_Visible_Rows && m_First_Visible < last_page)
      ++m_First_Visible;
    else
      break;
  }
}

int32_t CMenuItem_List::Get_Row_At_Cursor() const {
  const CVector2 cursor = Cursor();
  const float left = Text_Left();
  const float width = m_W - 0.0145f * Screen_W();
  const float half_gap = 0.00125f * Screen_H();
  for (int32_t i = 0; i < m_Visible_Rows && m_First_Visible + i < Row_Count(); ++i) {
    const float top = Row_Top(i) - half_gap;
    if (cursor.x >= left && cursor.x < left + width && cursor.y >= top && cursor.y < top + Pitch())
      return m_First_Visible + i;
  }
  return -1;
}

void CMenuItem_List::On_Arrow_Key(int direction) {
  const bool previous = direction == 0 || direction == 2;
  const bool selectable = (m_Flags & kSelectable) != 0;
  if (previous && m_Selected != 0) {
    if (selectable) Play_Sound_FX(kMove_Sound, 1.0f);
    Select_Row(m_Selected - 1);
  } else if (!previous && m_Selected + 1 < Row_Count()) {
    if (selectable) Play_Sound_FX(kMove_Sound, 1.0f);
    Select_Row(m_Selected + 1);
  }
  if (m_Selected >= 0 && (m_Selected < m_First_Visible || m_Selected >= m_First_Visible + m_Visible_Rows))
    Ensure_Visible(m_Selected);
}

// The row the cursor is on: stepping down from the first visible row while the cursor lies
// below the next row's top, up to the last visible row.
int32_t CMenuItem_List::Row_Under(const CVector2& cursor) const {
  if (m_Rows.empty()) return -1;
  const int32_t last = std::min(m_First_Visible + m_Visible_Rows, Row_Count()) - 1;
  int32_t row = m_First_Visible;
  while (row < last && cursor.y >= Row_Top(row - m_First_Visible + 1)) ++row;
  return row;
}

void CMenuItem_List::Scroll_Click(const CVector2& cursor) {
  const float s = Cell();
  const float H = Screen_H();
  if (cursor.y < m_Y + 0.006f * H + s) {
    if (m_First_Visible > 0) {
      Play_Sound_FX(kClick_Sound, 1.0f);
      --m_First_Visible;
    }
  } else if (cursor.y > m_Y + m_H - (s + 0.006f * H)) {
    if (m_First_Visible + m_Visible_Rows < Row_Count()) {
      Play_Sound_FX(kClick_Sound, 1.0f);
      ++m_First_Visible;
    }
  } else {
    const float thumb = Thumb_Top();
    if (cursor.y < thumb - 0.65f * s && m_First_Visible > 0) --m_First_Visible;
    if (cursor.y > thumb + 0.65f * s && m_First_Visible + m_Visible_Rows < Row_Count()) ++m_First_Visible;
  }
}

bool CMenuItem_List::On_Mouse_Down() {
  const CVector2 cursor = Cursor();
  m_Pressed = true;
  m_Repeat_Timer = kRepeat;
  const float column_left = m_X + m_W - 0.005f * Screen_W() - Cell();
  if (Scrolls() && cursor.x >= column_left && cursor.x <= m_X + m_W - 0.005f * Screen_W()) {
    Scroll_Click(cursor);
    m_Row_Press = false;
    g_Game.Set_Capture(this);
    return false;
  }
  const int32_t row = Row_Under(cursor);
  m_Row_Press = true;
  if (row >= 0) {
    if (m_Flags & kSelectable) Play_Sound_FX(kClick_Sound, 1.0f);
    Select_Row(row);
  }
  g_Game.Set_Capture(this);
  return false;
}

bool CMenuItem_List::On_Mouse_Up() {
  m_Pressed = false;
  return Is_Mouse_Over() ? On_Click() : true;
}

void CMenuItem_List::Drag_Past_Page(const CVector2& cursor, float step) {
  const bool in_x = cursor.x >= m_X && cursor.x < m_X + m_W;
  const int32_t last_visible = m_First_Visible + m_Visible_Rows - 1;
  const bool below = cursor.y >= m_Y + m_H && in_x && m_First_Visible + m_Visible_Rows < Row_Count() &&
                     m_Selected == last_visible;
  const bool above = cursor.y < m_Y && in_x && m_First_Visible > 0 && m_Selected == m_First_Visible;
  if (!below && !above) return;
  m_Drag_Timer += step;
  if (m_Drag_Timer <= kDrag_Delay) return;
  m_Drag_Timer = 0.0f;
  m_First_Visible += below ? 1 : -1;
  Play_Sound_FX(kMove_Sound, 1.0f);
  Select_Row(below ? m_First_Visible + m_Visible_Rows - 1 : m_First_Visible);
}

void CMenuItem_List::Hold(float step) {
  if (!m_Pressed) {
    m_Drag_Timer = 0.0f;
    return;
  }
  const CVector2 cursor = Cursor();
  if (!m_Row_Press) {
    m_Repeat_Timer -= step;
    if (m_Repeat_Timer < 0.0f) {
      m_Repeat_Timer = kRepeat;
      Scroll_Click(cursor);
    }
    return;
  }
  const int32_t row = Row_Under(cursor);
  if (row >= 0 && row != m_Selected) {
    if (m_Flags & kSelectable) Play_Sound_FX(kMove_Sound, 1.0f);
    Select_Row(row);
  } else if (m_Flags & kSelectable) {
    Drag_Past_Page(cursor, step);
  }
}

void CMenuItem_List::Term() {
  Clear();
  m_Initialised = false;
}

void CMenuItem_List::Draw_Row(const Row& row, float top) const {
  const uint32_t shadow = (m_Flags & kShadow) ? static_cast<uint32_t>(kText_Shadow) : 0u;
  const float left = Text_Left();
  if (!m_Column_Mode) {
    g_Menu_Mgr.Draw_Text(m_Size_Class, row.text.c_str(), CVector2{left, top}, CVector2{Text_Width(), m_Text_Height},
                         row.colour, shadow);
    return;
  }
  const size_t count = std::min(m_Columns.size(), row.columns.size());
  for (size_t j = 0; j < count; ++j) {
    const float start = m_Columns[j].x_offset;
    const float end = j + 1 < m_Columns.size() ? m_Columns[j + 1].x_offset : Text_Width() - 0.0025f * Screen_W();
    const uint32_t align = m_Columns[j].alignment == 1 ? static_cast<uint32_t>(kText_Right) : 0u;
    g_Menu_Mgr.Draw_Text(m_Size_Class, row.columns[j].c_str(), CVector2{left + start, top},
                         CVector2{end - start - 0.002f * Screen_H(), m_Text_Height}, row.colour, shadow | align);
  }
}

void CMenuItem_List::Draw_Scroll_Column(CD3DRenderStyle* style) const {
  const float s = Cell();
  const float column_left = m_X + m_W - 0.005f * Screen_W() - s;
  const float top = m_Y + 0.006f * Screen_H();
  Item_Quad track, up, down, thumb;
  Build_Quad(kTrack, CVector2{column_left + s / 4.0f, top + s}, CVector2{s / 2.0f, Track_Length()}, track);
  Draw(track, 2, style, nullptr);
  CTextureData* arrows = g_Menu_Mgr.Texture(3);
  Textured_Cell(up, column_left, top, s, false, false);
  Textured_Cell(down, column_left, top + s + Track_Length(), s, true, false);
  Textured_Cell(thumb, column_left, Thumb_Top(), s, false, true);
  Draw(up, 2, style, arrows);
  Draw(down, 2, style, arrows);
  Draw(thumb, 2, style, arrows);
}

void CMenuItem_List::Render(const CFrame_Info& frame) {
  Hold(frame.Delta);
  const float W = Screen_W(), H = Screen_H();
  CD3DRenderStyle* style = g_Menu_Mgr.Style(0);
  if (!(m_Flags & kNo_Background)) {
    Set_Colour(m_Background, 2, m_Pressed ? kBackground_Pressed : kBackground);
    Draw(m_Background, 2, style, nullptr);
  }
  if (m_Selected >= m_First_Visible && m_Selected < m_First_Visible + m_Visible_Rows) {
    const float top = Row_Top(m_Selected - m_First_Visible);
    Item_Quad bar;
    Build_Quad(m_Pressed && m_Row_Press ? kBar_Held : kBar, CVector2{Text_Left() - 0.00475f * W, top - 0.003f * H},
               CVector2{Text_Width() + 0.00475f * W, m_Text_Height + 0.003f * H}, bar);
    Draw(bar, 2, style, nullptr);
  }
  for (int32_t i = 0; i < m_Visible_Rows && m_First_Visible + i < Row_Count(); ++i)
    Draw_Row(m_Rows[static_cast<size_t>(m_First_Visible + i)], Row_Top(i));
  if (Scrolls()) Draw_Scroll_Column(style);
  Draw(m_Outline, 8, nullptr, nullptr);
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
}
