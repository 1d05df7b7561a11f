#pragma once
// A value from 0 to 1 set with two arrow cells, a track and a knob.
#include <functional>

#include "game/menu/CMenuItem.h"

class CMenuItem_Slider : public CMenuItem {
 public:
  static constexpr uint32_t kCentre_X = 0x01;
  static constexpr uint32_t kRight_X = 0x02;
  static constexpr uint32_t kCentre_Y = 0x04;
  static constexpr uint32_t kHidden = 0x08;
  static constexpr float kArrow_Step = 0.025f;
  static constexpr float kRepeat = 0.2f;

  CMenuItem_Slider(int32_t id, const CVector2& anchor, float width, uint32_t flags);
  void Setup(int32_t id, const CVector2& anchor, float width, uint32_t flags);
  void Track_Cursor();
  void Update(const CFrame_Info& frame);
  // The knob's left edge.
  float Knob_X() const;

  void Term() override;
  bool On_Mouse_Down() override;
  bool On_Mouse_Up() override;
  void Render(const CFrame_Info& frame) override;

  bool m_Pressed = false;
  uint32_t m_Flags = 0;
  float m_Value = 0.0f;
  float m_Repeat_Timer = 0.0f;
  std::function<void()> m_On_Change;

 private:
  float Cell() const;
  void Change(float value);
};
