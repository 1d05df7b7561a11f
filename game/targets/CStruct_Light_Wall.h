#pragma once
// A lit wall segment that marks a lane: turned by its direction index, dark at 0.15 of its
// colour until the track's lane events trigger its glow, which rises over 0.4 time units and
// falls back over 1. It is no target and never dies by itself.
#include "game/core/CFixed_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CStruct_Light_Wall : public CFixed_Object {
 public:
  static constexpr uint32_t kType = 69;
  static constexpr float kDim_Level = 0.15f;

  bool Init();
  void Term();
  // Direction 0 turns the wall by +90 degrees about the vertical, 1 by -90, 2 by 180, any other
  // keeps it unturned; the colour's four floats are alpha, red, green, blue.
  bool Spawn(const int& direction, const CVector3& position, const float* colour);
  // The track's lane event: the glow rises to full, then the trigger clears.
  void Trigger_Glow() { m_Glow_Trigger = true; }

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;

  // The colour of the second model: each float × max(glow, 0.15), packed alpha first.
  uint32_t Lit_Colour() const;

  bool m_Initialised = false;
  bool m_Spawned = false;
  bool m_Glow_Trigger = false;
  int32_t m_Direction = 0;
  float m_Glow = 0.0f;
  float m_Colour[4] = {0, 0, 0, 0};  // alpha, red, green, blue

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

 private:
  void Draw(const CMatrix4x4& world, CD3DRenderStyle* wall_style, CD3DRenderStyle* lit_style);

  CRenderableObject* m_Model = nullptr;
  CRenderableObject* m_Lit_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CTextureData* m_Lit_Texture = nullptr;
  CTextureData* m_Glow_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Lit_Style = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
