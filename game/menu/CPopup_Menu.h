#pragma once
// One pop-up menu: a box that folds out of a small title box into a panel of items (layout kind
// 2) or a strip of caption images that each run an action (layout kind 1, the in-simulation
// menu).
#include <cstdint>
#include <vector>

#include "game/menu/CMenuItem.h"
#include "game/menu/CMenu_Panel.h"

class CD3DRenderStyle;
class CTextureData;

class CPopup_Menu {
 public:
  static constexpr int kLayout_Entries = 1;
  static constexpr int kLayout_Panel = 2;

  struct Entry {
    uint32_t texture_id = 0;
    CTextureData* texture = nullptr;
    Item_Quad quad{};
    float left = 0, top = 0, right = 0, bottom = 0;
    bool skip = false;
    int32_t action = 0;
  };
  struct Rect {
    float left = 0, top = 0, right = 0, bottom = 0;
  };

  CPopup_Menu() = default;
  CPopup_Menu(const CPopup_Menu&) = delete;
  CPopup_Menu& operator=(const CPopup_Menu&) = delete;

  bool Init(int layout_kind, const CVector2& title_position, float open_width, float open_height);
  bool Set_Texture(uint32_t resource_id);
  // Appends a caption image that runs the action; false when its texture cannot be had.
  bool Add_Entry(uint32_t texture_id, int32_t action);
  void Term();
  bool Has_Item(int32_t action) const;
  // Stores in each button its caption's width in its font.
  void Update_Item_Widths();
  // Moves the open value by the step (0.4 a unit) toward open or closed; rebuilds the box.
  void Step(float step);
  void Rebuild_Box();
  void Render(float step);
  bool Cursor_In_Box(const CVector2& cursor) const;
  int Entry_At(const CVector2& cursor) const;
  bool Fully_Open() const { return m_Open_Value >= 1.0f; }
  bool Has_Panel() const { return m_Layout == kLayout_Panel; }
  void Close();

  bool m_Initialised = false;
  std::vector<Entry> m_Entries;
  int32_t m_Highlight = -1;
  Rect m_Closed_Rect;
  Rect m_Open_Rect;
  Rect m_Rect;  // as drawn
  bool m_Open = false;
  bool m_Relayout = false;
  bool m_Shown = false;
  float m_Open_Value = 0.0f;
  CMenu_Panel m_Panel;
  int m_Layout = kLayout_Panel;
  CTextureData* m_Box_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CTextureData* m_Title_Texture = nullptr;
  Item_Quad m_Box{};
  Item_Quad m_Title{};
  Item_Frame m_Border{};
  int32_t m_Last_Cursor_X = -1, m_Last_Cursor_Y = -1;
};
