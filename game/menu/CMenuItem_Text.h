#pragma once
// A static label of one or more lines, wrapped by words when asked.
#include <string>
#include <vector>

#include "game/menu/CMenuItem.h"

class CMenuItem_Text : public CMenuItem {
 public:
  static constexpr uint32_t kCentre_X = 0x01;
  static constexpr uint32_t kRight_X = 0x02;
  static constexpr uint32_t kCentre_Y = 0x04;
  static constexpr uint32_t kShadow = 0x08;
  static constexpr uint32_t kWrap = 0x10;
  static constexpr uint32_t kOutline = 0x20;
  static constexpr int kPiece_Length = 8;

  CMenuItem_Text(int32_t id, const char* text, const CVector2& anchor, uint32_t colour, int32_t size_class,
                 uint32_t flags, int32_t line_count, float fixed_width);

  void Setup(int32_t id, const char* text, const CVector2& anchor, uint32_t colour, int32_t size_class,
             uint32_t flags, int32_t line_count, float fixed_width);
  void Set_Text(const char* text);
  void Term() override;
  void Render(const CFrame_Info& frame) override;

  std::vector<std::string> m_Lines;
  int32_t m_Size_Class = 0;
  uint32_t m_Flags = 0;
  uint32_t m_Colour = 0;
  float m_Text_Height = 0.0f;
  int32_t m_Line_Count = 1;
  float m_Fixed_Width = 0.0f;
  Item_Frame m_Outline{};
};

// The width of the text in the size class's font.
int Menu_Text_Width(int32_t size_class, const char* text);

// Shared by the text kinds: the line pitch, the outline margin and drawing the lines.
float Text_Line_Pitch(float text_height);
// The setup values both kinds keep alike, and the text height of the size class.
template <class Text_Item>
void Set_Text_Style(Text_Item& item, int32_t id, uint32_t colour, int32_t size_class, uint32_t flags,
                    int32_t line_count, float fixed_width) {
  item.m_Id = id;
  item.m_Colour = colour;
  item.m_Size_Class = size_class;
  item.m_Flags = flags;
  item.m_Line_Count = line_count;
  item.m_Fixed_Width = fixed_width;
  item.m_Text_Height = CMenuItem::Text_Height(size_class);
}
// Takes the box back to its anchor (left edge) from its centred or right-aligned place, and
// sizes it for the text: the fixed width or the text's own, the height of the line count.
template <class Text_Item>
void Measure_Text_Box(Text_Item& item, const char* text) {
  if (item.m_Flags & Text_Item::kCentre_X) item.m_X += item.m_W / 2.0f;
  if (item.m_Flags & Text_Item::kRight_X) item.m_X += item.m_W;
  item.m_W = item.m_Fixed_Width != 0.0f ? item.m_Fixed_Width
                                        : static_cast<float>(Menu_Text_Width(item.m_Size_Class, text));
  item.m_H = static_cast<float>(item.m_Line_Count) * Text_Line_Pitch(item.m_Text_Height);
}
void Build_Text_Outline(uint32_t colour, const CMenuItem& item, Item_Frame& outline);
void Draw_Text_Lines(const std::vector<std::string>& lines, const CMenuItem& item, int size_class, float text_height,
                     uint32_t colour, bool shadow);
