#pragma once
// A clod of dirt thrown up by an explosion: a sphere that lives 4-6 time units, then shrinks
// away; it casts a round shadow.
#include "game/core/CSphere_Object.h"

class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CDebris_Dirt : public CSphere_Object {
 public:
  static constexpr uint32_t kType = 36;

  bool Init();
  void Term();
  void Spawn(float scale);

  void Update(const float& dt) override;
  void Render(const float& step) override;

  bool m_Initialised = false;
  bool m_Alive = false;
  float m_Spawn_Radius = 0.0f;
  float m_Radius = 0.0f;
  float m_Life_Timer = 0.0f;

 private:
  CMatrix4x4 World() const;

  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Reflection_Style = nullptr;
};
