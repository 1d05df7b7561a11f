#pragma once
// The telescoping cylinder: two sections slide out of the ground along its up axis, and every
// request fires at once: variant 1 lobs a ball target to its twin across the field (or straight
// up its axis without one), variant 0 shoots a death vial high along its axis.
#include <cstdint>

#include "game/core/CFixed_Object.h"
#include "game/targets/Ejector_Shared.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CEjector_Cylinder : public CFixed_Object, public ejectors::Ejector_Flags {
 public:
  static constexpr uint32_t kType = 39;
  static constexpr float kLower_Height = 50.0f;
  static constexpr float kUpper_Height = 70.0f;
  // A ball landing on top sets this; the cylinder dips when it runs out.
  static constexpr float kCatch_Time = 0.3f;

  bool Init();
  void Term();
  // Variant 0 (death vials) or 1 (balls); the position is the cylinder's foot.
  void Spawn(const uint32_t& variant, const CVector3& position);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;

  // Where a ball is thrown to: across the field in x; in z its own place, or for a tilted
  // cylinder 0.4 or 0.86 of the field's depth; on the ground there.
  CVector3 Aim_Point(const CVector3& launch_point) const;
  // The first other cylinder within 100 units of the aim point, or null.
  const CWorld_Object* Find_Twin(const CVector3& aim) const;

  static CObject_Pool* Pool();

  uint32_t Variant = 0;
  float Scale_Factor = 1.75f;
  float Lower_Extension = 0.0f;
  float Upper_Extension = 0.0f;
  float Age = 0.0f;
  float Launch_Clock = 0.0f;
  float Catch_Timer = 0.0f;
  CRenderableObject* m_Renderables[2] = {};
  CTextureData* m_Textures[2] = {};
  CD3DRenderStyle* m_Styles[2] = {};
  CD3DRenderStyle* m_Mirror_Style = nullptr;

 private:
  void Extend(float dt);
  void Launch();
  void Launch_Ball();
  void Launch_Vial();
  CVector3 Random_Spin() const;
  void Draw_Sections(CD3DRenderStyle* style, CTextureData* texture, const CWorld_Mirror* mirror);
};
