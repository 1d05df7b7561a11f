#pragma once
// The flash of a sparkler target: a flat glow that widens from 0.5 to 40 while it flattens
// from 12 to 8, then fades; it does not move.
#include "game/core/CBox_Object.h"

class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CDebris_Target_Sparkler : public CBox_Object {
 public:
  static constexpr uint32_t kType = 32;
  static constexpr float kLife = 0.35f;
  static constexpr float kModel_Diameter = 9.0f;

  bool Init();
  void Term();
  // The colour's four slots are alpha, red, green, blue.
  bool Spawn(const CColor4& colour);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;

  bool m_Initialised = false;
  bool m_Alive = false;
  float m_Life_Timer = 0.0f;
  float m_Colour[4] = {0, 0, 0, 0};

 private:
  void Draw(const CMatrix4x4* mirror);

  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
};
