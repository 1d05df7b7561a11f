#include "game/menu/CMenuItem_Tab.h"

#include "game/core/CGame.h"
#include "game/menu/CMenu_Mgr.h"

CMenuItem_Tab::CMenuItem_Tab(int32_t id, int32_t cell_count, const CVector2& top_left, float width,
                             float tabs_width, uint32_t text_colour, int32_t size_class, int32_t selected_size_class,
                             uint32_t flags) {
  m_Kind = kItem_Tab;
  Setup(id, cell_count, top_left, width, tabs_width, text_colour, size_class, selected_size_class, flags);
}

void CMenuItem_Tab::Setup(int32_t id, int32_t cell_count, const CVector2& top_left, float width, float tabs_width,
                          uint32_t text_colour, int32_t size_class, int32_t selected_size_class, uint32_t flags) {
  m_Id = id;
  m_Cell_Count = cell_count > 0 ? cell_count : 0;
  m_X = top_left.x;
  m_Y = top_left.y;
  m_W = width;
  m_Tabs_Width = tabs_width;
  m_Text_Colour = text_colour;
  m_Size_Class = size_class;
  m_Selected_Size_Class = selected_size_class;
  m_Flags = flags;
  m_Selected = 0;
  m_Pressed = false;
  m_On_Select = nullptr;
  m_Cells.assign(static_cast<size_t>(m_Cell_Count), Cell());
  const float H = Screen_H();
  m_H = 0.0025f * H + 0.005f * H + Text_Height(selected_size_class);
  Build_Quad(0xaaffff00, CVector2{m_X, m_Y + m_H}, CVector2{m_W, 2.0f}, m_Underline);
  for (DrawPrimTexTriangle& triangle : m_Underline)
    for (TexVertex& vertex : triangle.v) vertex.v = 0.5f;
  Layout();
  m_Initialised = true;
}

bool CMenuItem_Tab::Set_Cell_Text(int32_t index, const char* text) {
  if (index < 0 || index >= m_Cell_Count) return false;
  m_Cells[static_cast<size_t>(index)].caption = text ? text : "";
  Layout();
  return true;
}

bool CMenuItem_Tab::Select(int32_t index, bool notify) {
  if (index < 0 || index >= m_Cell_Count) return false;
  if (notify && index != m_Selected && m_On_Select) m_On_Select(index);
  m_Selected = index;
  Layout();
  return true;
}

void CMenuItem_Tab::Layout() {
  if (m_Cell_Count == 0) return;
  const float H = Screen_H();
  const float unit = m_Tabs_Width / static_cast<float>(m_Cell_Count + 1);
  const float d = Text_Height(m_Selected_Size_Class) - Text_Height(m_Size_Class);
  float left = m_X + (m_W - m_Tabs_Width) / 2.0f;
  for (int32_t i = 0; i < m_Cell_Count; ++i) {
    Cell& cell = m_Cells[static_cast<size_t>(i)];
    const bool selected = i == m_Selected;
    const float width = selected ? 2.0f * unit : unit;
    cell.left = left;
    cell.right = left + width;
    cell.top = selected ? m_Y : m_Y + d;
    cell.bottom = m_Y + m_H;
    cell.font = selected ? m_Selected_Size_Class : m_Size_Class;
    const auto caption_width = static_cast<float>(g_Menu_Mgr.Get_Text_Width(cell.font, cell.caption.c_str()));
    cell.caption_position = CVector2{left + width / 2.0f - caption_width / 2.0f, cell.top + 0.005f * H};
    cell.caption_size = CVector2{caption_width, Text_Height(cell.font)};
    Build_Quad(0x55223344, CVector2{cell.left, cell.top}, CVector2{width, cell.bottom - cell.top}, cell.quad);
    left += width;
  }
}

void CMenuItem_Tab::Term() {
  m_Cells.clear();
  m_Cell_Count = 0;
  m_Initialised = false;
}

bool CMenuItem_Tab::On_Mouse_Down() {
  const CVector2 cursor = Cursor();
  int32_t hit = -1;
  for (int32_t i = 0; i < m_Cell_Count; ++i) {
    const Cell& cell = m_Cells[static_cast<size_t>(i)];
    if (cell.left < cursor.x && cursor.x < cell.right && cell.top < cursor.y && cursor.y < cell.bottom) hit = i;
  }
  if (hit < 0) return false;
  const bool changed = hit != m_Selected;
  if (changed) {
    m_Selected = hit;
    Layout();
  }
  m_Pressed = true;
  g_Game.Set_Capture(this);
  if (changed && m_On_Select) m_On_Select(hit);
  return false;
}

bool CMenuItem_Tab::On_Mouse_Up() {
  m_Pressed = false;
  return true;
}

void CMenuItem_Tab::Render(const CFrame_Info& frame) {
  (void)frame;
  CD3DRenderStyle* style = g_Menu_Mgr.Style(0);
  auto draw_cell = [&](int32_t i) {
    Cell& cell = m_Cells[static_cast<size_t>(i)];
    const bool selected = i == m_Selected;
    Set_Colour(cell.quad, 2, selected ? (m_Pressed ? 0xaa556688 : 0x77556688) : 0x55223344);
    Draw(cell.quad, 2, style, nullptr);
    g_Menu_Mgr.Draw_Text(cell.font, cell.caption.c_str(), cell.caption_position, cell.caption_size,
                         selected ? 0xaaffff00 : m_Text_Colour, (m_Flags & kShadow) ? static_cast<uint32_t>(kText_Shadow) : 0u);
  };
  for (int32_t i = 0; i < m_Cell_Count; ++i)
    if (i != m_Selected) draw_cell(i);
  if (m_Selected >= 0 && m_Selected < m_Cell_Count) draw_cell(m_Selected);
  Draw(m_Underline, 2, style, g_Menu_Mgr.Texture(2));
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
}
