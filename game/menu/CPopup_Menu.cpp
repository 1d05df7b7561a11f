#include "game/menu/CPopup_Menu.h"

#include <algorithm>

#include "game/core/WinMain.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenu_Mgr.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "game/core/CGame.h"

namespace {
constexpr uint32_t kBox_Texture = 0x2200000c;
constexpr uint32_t kBox_Style = 0x22000007;
constexpr uint32_t kBorder_Colour = 0xff888822;
constexpr uint32_t kEntry_Colour = 0xffcccc11;
constexpr uint32_t kEntry_Frame_Colour = 0xffbb2bac;
constexpr float kOpen_Speed = 0.4f;

CTextureData* Get_Texture(uint32_t id) { return g_pTexture ? g_pTexture->GetTexture(id) : nullptr; }
void Put_Texture(CTextureData*& texture) {
  if (texture && g_pTexture) g_pTexture->ReleaseTexture(texture);
  texture = nullptr;
}
}  // namespace

bool CPopup_Menu::Init(int layout_kind, const CVector2& title_position, float open_width, float open_height) {
  Term();
  const float W = CMenuItem::Screen_W(), H = CMenuItem::Screen_H();
  m_Layout = layout_kind;
  m_Box_Texture = Get_Texture(kBox_Texture);
  if (!m_Box_Texture) {
    Show_Message("Error in CPopup_Menu\nUnable to load texture...");
    return false;
  }
  m_Style = g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(kBox_Style) : nullptr;
  if (!m_Style) {
    Show_Message("Error in CPopup_Menu\nUnable to load shader...");
    return false;
  }
  m_Closed_Rect = Rect{title_position.x, title_position.y, title_position.x + 0.1f * W, title_position.y + 20.0f};
  m_Open_Rect = Rect{0.35f * W, 0.35f * H, 0.65f * W, 0.35f * H + 40.0f};
  if (layout_kind == kLayout_Panel) {
    if (open_width != 0.0f) {
      m_Open_Rect.left = (W - open_width) / 2.0f;
      m_Open_Rect.right = m_Open_Rect.left + open_width;
    }
    if (open_height != 0.0f) {
      m_Open_Rect.top = (H - open_height) / 2.0f;
      m_Open_Rect.bottom = m_Open_Rect.top + open_height;
    }
    m_Panel.Init(CVector2{W / 2.0f, H / 2.0f}, 0);
  }
  m_Open = false;
  m_Open_Value = 0.0f;
  m_Highlight = -1;
  m_Shown = true;
  m_Initialised = true;
  Rebuild_Box();
  return true;
}

bool CPopup_Menu::Set_Texture(uint32_t resource_id) {
  Put_Texture(m_Title_Texture);
  m_Title_Texture = Get_Texture(resource_id);
  if (!m_Title_Texture) Show_Message("Error in CPopup_Menu\nUnable to load texture...");
  return m_Title_Texture != nullptr;
}

bool CPopup_Menu::Add_Entry(uint32_t texture_id, int32_t action) {
  Entry entry;
  entry.texture_id = texture_id;
  entry.action = action;
  entry.texture = Get_Texture(texture_id);
  if (!entry.texture) {
    Show_Message("Error in CPopup_Menu\nUnable to load texture...");
    return false;
  }
  // Caption images side by side across the open strip.
  const float W = CMenuItem::Screen_W();
  const auto index = static_cast<float>(m_Entries.size());
  entry.left = m_Open_Rect.left + 0.01f * W + index * 0.145f * W;
  entry.right = entry.left + 0.135f * W;
  entry.top = m_Open_Rect.top + 5.0f;
  entry.bottom = m_Open_Rect.bottom - 5.0f;
  CMenuItem::Build_Quad(kEntry_Colour, CVector2{entry.left, entry.top},
                        CVector2{entry.right - entry.left, entry.bottom - entry.top}, entry.quad);
  m_Entries.push_back(entry);
  return true;
}

void CPopup_Menu::Term() {
  Put_Texture(m_Box_Texture);
  Put_Texture(m_Title_Texture);
  if (m_Style && g_pRenderStyles) g_pRenderStyles->ReleaseRenderStyle(m_Style);
  m_Style = nullptr;
  for (Entry& entry : m_Entries) Put_Texture(entry.texture);
  m_Entries.clear();
  m_Panel.Clear_Items();
  m_Open = false;
  m_Open_Value = 0.0f;
  m_Highlight = -1;
  m_Shown = false;
  m_Initialised = false;
}

bool CPopup_Menu::Has_Item(int32_t action) const {
  return std::any_of(m_Entries.begin(), m_Entries.end(), [action](const Entry& e) { return e.action == action; });
}

void CPopup_Menu::Update_Item_Widths() {
  for (CMenuItem* item : m_Panel.Items()) {
    if (item->m_Kind != kItem_Button) continue;
    auto* button = static_cast<CMenuItem_Button*>(item);
    button->m_Caption_Width =
        static_cast<float>(g_Menu_Mgr.Get_Text_Width(button->m_Size_Class, button->m_Caption.c_str()));
  }
}

void CPopup_Menu::Step(float step) {
  const float before = m_Open_Value;
  if (m_Open)
    m_Open_Value = std::min(m_Open_Value + kOpen_Speed * step, 1.0f);
  else
    m_Open_Value = std::max(m_Open_Value - kOpen_Speed * step, 0.0f);
  if (m_Open_Value != before || m_Relayout) {
    Rebuild_Box();
    m_Relayout = false;
  }
}

void CPopup_Menu::Rebuild_Box() {
  const float t = m_Open_Value;
  m_Rect.left = m_Closed_Rect.left + t * (m_Open_Rect.left - m_Closed_Rect.left);
  m_Rect.top = m_Closed_Rect.top + t * (m_Open_Rect.top - m_Closed_Rect.top);
  m_Rect.right = m_Closed_Rect.right + t * (m_Open_Rect.right - m_Closed_Rect.right);
  m_Rect.bottom = m_Closed_Rect.bottom + t * (m_Open_Rect.bottom - m_Closed_Rect.bottom);
  const CVector2 position{m_Rect.left, m_Rect.top};
  const CVector2 size{m_Rect.right - m_Rect.left, m_Rect.bottom - m_Rect.top};
  CMenuItem::Build_Quad(0xffffffff, position, size, m_Box);
  for (DrawPrimTexTriangle& triangle : m_Box)
    for (TexVertex& vertex : triangle.v) {
      vertex.u = (vertex.x - m_Rect.left) * 0.02f;
      vertex.v = (vertex.y - m_Rect.top) * 0.02f;
    }
  CMenuItem::Build_Quad(0xffffffff, CVector2{m_Closed_Rect.left, m_Closed_Rect.top},
                        CVector2{m_Closed_Rect.right - m_Closed_Rect.left, m_Closed_Rect.bottom - m_Closed_Rect.top},
                        m_Title);
  CMenuItem::Build_Frame(kBorder_Colour, position, size, m_Border);
}

bool CPopup_Menu::Cursor_In_Box(const CVector2& cursor) const {
  return m_Rect.left < cursor.x && cursor.x < m_Rect.right && m_Rect.top < cursor.y && cursor.y < m_Rect.bottom + 2.0f;
}

int CPopup_Menu::Entry_At(const CVector2& cursor) const {
  for (size_t i = 0; i < m_Entries.size(); ++i) {
    const Entry& e = m_Entries[i];
    if (e.left <= cursor.x && cursor.x < e.right && e.top <= cursor.y && cursor.y < e.bottom) return static_cast<int>(i);
  }
  return -1;
}

void CPopup_Menu::Close() {
  m_Open = false;
  m_Highlight = -1;
}

void CPopup_Menu::Render(float step) {
  if (m_Relayout) return;
  CMenuItem::Draw(m_Box, 2, m_Style, m_Box_Texture);
  const bool opening_with_panel = Has_Panel() && (m_Open || m_Open_Value > 0.0f);
  if (!opening_with_panel && m_Title_Texture) CMenuItem::Draw(m_Title, 2, m_Style, m_Title_Texture);
  CMenuItem::Draw(m_Border, 8, nullptr, nullptr);
  if (m_Open_Value > 0.0f) {
    const CVector2 cursor = CMenuItem::Cursor();
    const auto x = static_cast<int32_t>(cursor.x), y = static_cast<int32_t>(cursor.y);
    if ((x != m_Last_Cursor_X || y != m_Last_Cursor_Y) && Fully_Open()) {
      const int under = Entry_At(cursor);
      if (under >= 0) m_Highlight = under;
    }
    m_Last_Cursor_X = x;
    m_Last_Cursor_Y = y;
    for (size_t i = 0; i < m_Entries.size(); ++i) {
      const Entry& e = m_Entries[i];
      const bool inside = e.left >= m_Rect.left && e.right <= m_Rect.right && e.top >= m_Rect.top &&
                          e.bottom <= m_Rect.bottom;
      if (!inside) continue;
      CMenuItem::Draw(e.quad, 2, m_Style, e.texture);
      if (Fully_Open() && static_cast<int32_t>(i) == m_Highlight) {
        Item_Frame frame;
        CMenuItem::Build_Frame(kEntry_Frame_Colour, CVector2{e.left, e.top}, CVector2{e.right - e.left, e.bottom - e.top},
                               frame);
        CMenuItem::Draw(frame, 8, nullptr, nullptr);
      }
    }
    if (Fully_Open() && Has_Panel()) m_Panel.Render_Items(step);
  }
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
}
