#pragma once
// The brain of a War Room site mission: it runs the track, turns committed points into
// disinfection of the current site, ends the mission when the site is clean, the shields are
// gone or the infection front arrives, and draws the mission panel.
#include <cstdint>

#include "game/sim/CBrain.h"
#include "runtime/src/math/math_types.h"

class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CBrain_Game_Basic : public CBrain {
 public:
  static constexpr int kRenderable_Count = 3;
  static constexpr int kStyle_Count = 5;
  static constexpr int kTexture_Count = 3;

  CBrain_Game_Basic() : CBrain(kGame_Rules) {}

  bool Init(const CSim_Desc& desc) override;
  void Term() override;
  void Update(const float& dt) override;
  void Render() override;

  // Ends the mission when the shields have run out.
  void Check_Shields();
  // Lowers the current site's infection by the committed points.
  void On_Points_Committed(const uint32_t& amount);

  // The whole time units left before the infection front arrives (at least 1 in disinfection
  // mode, 0 when negative).
  static int Time_Left_Units();
  // The panel's placement in front of the camera for this frame.
  CVector3 Panel_Position() const;

  uint8_t m_Ended = 0;
  float m_End_Time = 0.0f;
  float m_Clock = 0.0f;
  float m_Shown_Shield = 0.0f;
  float m_Shown_Projected = 0.0f;
  float m_Shown_Infection = 0.0f;
  float m_Pulse_Phase = 0.0f;
  float m_Commit_Flash = 0.0f;
  float m_Loss_Flash = 0.0f;
  float m_Time_Text_Width = 0.0f;
  int32_t m_Shown_Seconds = -1;
  char m_Time_Text[16] = {};
  uint32_t m_Time_Colour = 0;

  CRenderableObject* m_Renderables[kRenderable_Count] = {};
  CD3DRenderStyle* m_Styles[kStyle_Count] = {};
  CTextureData* m_Textures[kTexture_Count] = {};

 private:
  bool Acquire_Resources();
  void Release_Resources();
  float Projected_Infection() const;
  void Build_Time_Text();
  void Draw_Panel();
  void Draw_Shield_Gauge(const CMatrix4x4& panel) const;
  void Draw_Infection_Gauges(const CMatrix4x4& panel) const;
  void Draw_Label(const CMatrix3x3& axes, const CVector3& panel) const;
};
