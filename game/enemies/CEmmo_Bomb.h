#pragma once
// The bomb the bomb emplacement drops: a blue ball with a long red trail. It never hits by
// coming close; it lands, leaves a scorch mark and explodes a moment later, striking the player
// wherever it happens. A bomb shot in the air is defused.
#include <cstdint>

#include "game/core/CSphere_Object.h"
#include "game/fx/CFX_Poly_Trail.h"

class CObject_Pool;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CEmmo_Bomb : public CSphere_Object {
 public:
  static constexpr uint32_t kType = 62;
  static constexpr float kRadius = 30.0f;

  CEmmo_Bomb() = default;
  ~CEmmo_Bomb() override { Term(); }

  bool Init();
  void Term();
  // Set-up with the trail's start; the caller places it and gives it its velocity.
  bool Setup(const CVector3& trail_start);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override;

  static CObject_Pool* Pool();

  bool m_Exploded = false;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  float m_Explosion = 0.0f;
  CVector3 m_Explosion_Point{0.0f, 0.0f, 0.0f};
  CFX_Poly_Trail m_Trail;
  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Flash_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;

 private:
  CMatrix4x4 World() const;
  CColor4 Colour() const;
  void Explode();
};
