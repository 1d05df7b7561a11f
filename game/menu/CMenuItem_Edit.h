#pragma once
// An editable text field of one or more wrapped lines with a blinking caret. The panel gives it
// the focus; the owning screen passes it characters and keys.
#include <string>
#include <vector>

#include "game/menu/CMenuItem.h"

class CMenuItem_Edit : public CMenuItem {
 public:
  static constexpr uint32_t kCentre_X = 0x01;
  static constexpr uint32_t kRight_X = 0x02;
  static constexpr uint32_t kCentre_Y = 0x04;
  static constexpr uint32_t kShadow = 0x08;
  static constexpr uint32_t kMulti_Line = 0x10;
  static constexpr uint32_t kOutline = 0x20;
  static constexpr int kPiece_Length = 6;
  // Key codes On_Char takes with the key flag.
  static constexpr int kKey_End = 35, kKey_Home = 36, kKey_Left = 37, kKey_Up = 38, kKey_Right = 39,
                       kKey_Down = 40, kKey_Delete = 46;

  CMenuItem_Edit(int32_t id, const char* text, const CVector2& anchor, uint32_t colour, int32_t size_class,
                 uint32_t flags, int32_t visible_lines, float fixed_width);
  void Setup(int32_t id, const char* text, const CVector2& anchor, uint32_t colour, int32_t size_class,
             uint32_t flags, int32_t visible_lines, float fixed_width);
  void Set_Text(const char* text, bool* overflow = nullptr);
  void Get_Text(std::string& text) const;
  void On_Char(int code, bool is_key);
  bool Get_Caret_Pos(int index, float& x, float& y, int& line) const;
  int Find_Index_At(float x, float y, int line) const;
  void Update_Caret();

  void Term() override;
  void Render(const CFrame_Info& frame) override;

  bool m_Focused = false;
  std::vector<std::string> m_Lines;
  int32_t m_Size_Class = 0;
  uint32_t m_Flags = 0;
  uint32_t m_Colour = 0;
  float m_Text_Height = 0.0f;
  int32_t m_Visible_Lines = 1;
  float m_Fixed_Width = 0.0f;
  float m_Blink = 0.0f;
  int32_t m_Caret = 0;
  Item_Quad m_Caret_Quad{};
  Item_Frame m_Outline{};

 private:
  bool Accept(int code, bool is_key) const;
};
