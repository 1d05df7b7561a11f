#pragma once
// Text revealed one character at a time, with a key click per character and a blinking cursor.
// A "~" in the text is a pause of one character's delay.
#include <string>
#include <vector>

#include "game/menu/CMenuItem.h"

class CMenuItem_Typed_Text : public CMenuItem {
 public:
  static constexpr uint32_t kCentre_X = 0x01;
  static constexpr uint32_t kRight_X = 0x02;
  static constexpr uint32_t kCentre_Y = 0x04;
  static constexpr uint32_t kShadow = 0x08;
  static constexpr uint32_t kOutline = 0x10;
  static constexpr int kPiece_Length = 7;

  CMenuItem_Typed_Text(int32_t id, const char* text, const CVector2& anchor, uint32_t colour, int32_t size_class,
                       uint32_t flags, int32_t line_count, float fixed_width);

  void Setup(int32_t id, const char* text, const CVector2& anchor, uint32_t colour, int32_t size_class,
             uint32_t flags, int32_t line_count, float fixed_width);
  // Lays out the shown text and clicks once.
  void Set_Text(const char* shown);
  void Term() override;
  void Render(const CFrame_Info& frame) override;

  // The characters revealed so far and those still to come.
  int Shown_Count() const { return static_cast<int>(m_Shown.size()); }
  int Pending_Count() const { return static_cast<int>(m_Pending.size()); }

  std::string m_Pending;
  std::string m_Shown;
  std::vector<std::string> m_Lines;
  int32_t m_Size_Class = 0;
  uint32_t m_Flags = 0;
  uint32_t m_Colour = 0;
  float m_Text_Height = 0.0f;
  float m_Countdown = 0.0f;
  int32_t m_Line_Count = 1;
  float m_Fixed_Width = 0.0f;
  float m_Cursor_Phase = 0.0f;
  Item_Frame m_Outline{};
};
