#pragma once
// The push button: a caption in a box, with optional glow and pulse, that calls its callback
// when a press on it is released over it.
#include <functional>
#include <string>

#include "game/menu/CMenuItem.h"

class CMenuItem_Button : public CMenuItem {
 public:
  // Flags.
  static constexpr uint32_t kCentre_X = 0x001;
  static constexpr uint32_t kCentre_Y = 0x002;
  static constexpr uint32_t kShadow = 0x004;
  static constexpr uint32_t kPulse = 0x008;
  static constexpr uint32_t kPulse_Red = 0x010;
  static constexpr uint32_t kGlow = 0x020;
  static constexpr uint32_t kNo_Outline = 0x040;
  static constexpr uint32_t kNo_Background = 0x080;
  static constexpr uint32_t kHidden = 0x100;
  static constexpr uint32_t kHighlight = 0x200;

  using Callback = std::function<void(CMenuItem_Button*)>;

  CMenuItem_Button(int32_t id, const char* caption, const CVector2& anchor, uint32_t colour, int32_t size_class,
                   uint32_t flags, float fixed_width);

  void Setup(int32_t id, const char* caption, const CVector2& anchor, uint32_t colour, int32_t size_class,
             uint32_t flags, float fixed_width);
  void Set_Caption(const char* caption);

  void Term() override;
  bool On_Click() override;
  bool On_Mouse_Down() override;
  bool On_Mouse_Up() override;
  void Render(const CFrame_Info& frame) override;

  bool m_Pressed = false;
  std::string m_Caption;
  int32_t m_Size_Class = 0;
  uint32_t m_Flags = 0;
  uint32_t m_Colour = 0;
  float m_Phase = 0.0f;
  float m_Caption_Offset = 0.0f;
  float m_Anchor_X = 0.0f, m_Anchor_Y = 0.0f;
  float m_Fixed_Width = 0.0f;
  Item_Quad m_Background{};
  Item_Quad m_Glow{};
  Item_Frame m_Outline{};
  Callback m_On_Click;
  // The caption width the pop-up menus keep for their row layout.
  float m_Caption_Width = 0.0f;
};
