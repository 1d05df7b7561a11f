#pragma once
// A scrolling list of rows (plain text or aligned columns) with a selected row, a scroll column
// of two arrow cells, a track and a thumb; it follows presses, holds, drags and the arrow keys.
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "game/menu/CMenuItem.h"

class CMenuItem_List : public CMenuItem {
 public:
  static constexpr uint32_t kSelectable = 0x01;
  static constexpr uint32_t kShadow = 0x02;
  static constexpr uint32_t kNo_Background = 0x04;
  static constexpr float kRepeat = 0.5f;
  static constexpr float kDrag_Delay = 0.85f;
  static constexpr int kMax_Scroll_Steps = 512;

  struct Row {
    std::string text;
    std::vector<std::string> columns;
    uint32_t colour = 0;
    int32_t value = 0;
  };
  struct Column {
    int32_t alignment = 0;  // 1 right-aligned
    float x_offset = 0.0f;
  };

  CMenuItem_List(int32_t id, const CVector2& anchor, float width, int32_t visible_rows, int32_t size_class,
                 uint32_t flags);
  void Setup(int32_t id, const CVector2& anchor, float width, int32_t visible_rows, int32_t size_class,
             uint32_t flags);
  void Add_Row(const char* text, uint32_t colour, int32_t value);
  void Add_Row_Columns(const std::vector<std::string>& columns, uint32_t colour, int32_t value);
  void Set_Columns(const std::vector<Column>& columns);
  bool Remove_Row(int32_t index);
  void Clear();
  int32_t Get_Selected_Value() const;
  int32_t Get_Row_Value(int32_t index) const;
  int32_t Find_Row(int32_t value) const;
  bool Set_Row_Colour(int32_t index, uint32_t colour);
  bool Select_Row(int32_t index);
  bool Scroll_To(int32_t index);
  void Ensure_Visible(int32_t index);
  int32_t Get_Row_At_Cursor() const;
  void On_Arrow_Key(int direction);
  int32_t Row_Count() const { return static_cast<int32_t>(m_Rows.size()); }
  bool Scrolls() const { return Row_Count() > m_Visible_Rows; }

  void Term() override;
  bool On_Click() override { return true; }
  bool On_Mouse_Down() override;
  bool On_Mouse_Up() override;
  void Render(const CFrame_Info& frame) override;

  bool m_Pressed = false;
  bool m_Row_Press = false;
  bool m_Column_Mode = false;
  int32_t m_Size_Class = 0;
  uint32_t m_Flags = 0;
  float m_Width = 0.0f;
  float m_Text_Height = 0.0f;
  float m_Repeat_Timer = 0.0f;
  float m_Drag_Timer = 0.0f;
  int32_t m_First_Visible = 0;
  int32_t m_Visible_Rows = 0;
  int32_t m_Selected = -1;
  std::vector<Column> m_Columns;
  std::vector<Row> m_Rows;
  Item_Quad m_Background{};
  Item_Frame m_Outline{};
  std::function<void(int32_t)> m_On_Select;

 private:
  float Pitch() const;
  float Cell() const;
  float Text_Left() const;
  float Text_Width() const;
  float Row_Top(int32_t visible_index) const;
  float Track_Length() const;
  float Thumb_Top() const;
  int32_t Row_Under(const CVector2& cursor) const;
  void Scroll_Click(const CVector2& cursor);
  void Hold(float step);
  void Drag_Past_Page(const CVector2& cursor, float step);
  void Draw_Scroll_Column(CD3DRenderStyle* style) const;
  void Draw_Row(const Row& row, float top) const;
};
