#pragma once
// The steel ball the steel-ball gun throws: a pooled sphere that flies under a fifth of the
// gravity until its first contact, bounces through the world's collisions, counts the live
// targets it strikes and shrinks away when its life or health runs out.
#include <cstdint>

#include "game/core/CSphere_Object.h"

class CObject_Pool;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CAmmo_Ball : public CSphere_Object {
 public:
  static constexpr uint32_t kType = 3;
  static constexpr float kBase_Radius = 15.0f;
  static constexpr float kLife = 6.5f;

  CAmmo_Ball() = default;
  ~CAmmo_Ball() override { Term(); }

  bool Init();
  void Term();
  void Spawn(int variant);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override;

  // The pool of 32 balls under type index 3, registered on first use.
  static CObject_Pool* Pool();

  uint8_t m_Loaded = 0;
  uint8_t m_Live = 0;
  uint8_t m_Has_Hit = 0;
  uint8_t m_Touched_Floor = 0;
  int32_t m_Hit_Count = 0;
  int32_t m_Variant = 0;
  float m_Base_Radius = kBase_Radius;
  float m_Life = 0.0f;
  CRenderableObject* m_Far_Model = nullptr;
  CRenderableObject* m_Near_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Reflection_Style = nullptr;

 private:
  CMatrix4x4 World_Matrix() const;
  CRenderableObject* Model_By_Distance() const;
};
