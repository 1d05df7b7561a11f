#pragma once
// A row of tab cells, one selected and drawn larger, that calls back when another is pressed.
#include <functional>
#include <string>
#include <vector>

#include "game/menu/CMenuItem.h"

class CMenuItem_Tab : public CMenuItem {
 public:
  static constexpr uint32_t kShadow = 0x01;

  struct Cell {
    std::string caption;
    CVector2 caption_position{0.0f, 0.0f};
    CVector2 caption_size{0.0f, 0.0f};
    int32_t font = 0;
    Item_Quad quad{};
    float left = 0, top = 0, right = 0, bottom = 0;
  };

  CMenuItem_Tab(int32_t id, int32_t cell_count, const CVector2& top_left, float width, float tabs_width,
                uint32_t text_colour, int32_t size_class, int32_t selected_size_class, uint32_t flags);
  void Setup(int32_t id, int32_t cell_count, const CVector2& top_left, float width, float tabs_width,
             uint32_t text_colour, int32_t size_class, int32_t selected_size_class, uint32_t flags);
  bool Set_Cell_Text(int32_t index, const char* text);
  bool Select(int32_t index, bool notify);
  void Layout();

  void Term() override;
  bool On_Mouse_Down() override;
  bool On_Mouse_Up() override;
  void Render(const CFrame_Info& frame) override;

  bool m_Pressed = false;
  int32_t m_Cell_Count = 0;
  float m_Tabs_Width = 0.0f;
  int32_t m_Size_Class = 0;
  int32_t m_Selected_Size_Class = 0;
  uint32_t m_Flags = 0;
  uint32_t m_Text_Colour = 0;
  std::vector<Cell> m_Cells;
  int32_t m_Selected = 0;
  Item_Quad m_Underline{};
  std::function<void(int32_t)> m_On_Select;
};
