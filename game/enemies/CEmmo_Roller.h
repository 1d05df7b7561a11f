#pragma once
// The rolling ball: a heavy coloured ball that lands, rolls towards the player along the ground
// keeping to the middle half of the world, and leaps at the camera once it is near.
#include <cstdint>

#include "game/core/CSphere_Object.h"

class CObject_Pool;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CEmmo_Roller : public CSphere_Object {
 public:
  static constexpr uint32_t kType = 64;
  static constexpr float kRadius = 30.0f;
  // Nearer than this depth it leaps.
  static constexpr float kLeap_Depth = 850.0f;

  CEmmo_Roller() = default;
  ~CEmmo_Roller() override { Term(); }

  bool Init();
  void Term();
  // Set-up with the variant; the caller places it and gives it its start velocity.
  void Spawn(const int* variant);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override;

  static CObject_Pool* Pool();

  bool m_Landed = false;
  bool m_Jumped = false;
  int32_t m_Variant = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Fade_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;

 private:
  void Leap();
  CMatrix4x4 World() const;
};
