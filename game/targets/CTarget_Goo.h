#pragma once
// The goo target: a wobbling blob that floats down at half gravity. A large blob that lands
// splats and splits into three or four small ones; small blobs bounce until their life ends or
// they are shot.
#include <cstdint>

#include "game/core/CSphere_Object.h"
#include "game/sim/CScore_Source.h"
#include "runtime/src/math/math_types.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CTarget_Goo : public CSphere_Object, public CTarget_Score_Info {
 public:
  static constexpr uint32_t kType = 24;
  static constexpr float kGuard_Age = 0.5f;
  // A large blob that lands with its kill timer below this splits.
  static constexpr float kSplit_Before = 0.35f;

  bool Init();
  void Term();
  bool Spawn(const int32_t& variant, const uint8_t& small);
  // Spawns three or four small blobs of the same colour from this blob's place and motion.
  void Split();
  // The death splat: a ground mark and a spray of goo.
  void Splat();
  bool Is_Small() const { return m_Small; }

  void Update(const float& dt) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;

  int32_t Score_Color_Variant() const override { return m_Variant; }
  float Score_Age() const override { return m_Age; }
  bool Score_Flag() const override { return m_Small; }

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  bool m_Initialised = false;
  bool m_Spawned = false;
  bool m_Small = false;
  bool m_Split = false;
  int32_t m_Variant = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  float m_Life = 0.0f;
  float m_Wobble_Phase = 0.0f;
  float m_Base_Radius = 0.0f;
  CVector3 m_Scale{1.0f, 1.0f, 1.0f};

 private:
  void Wobble(float dt);
  CMatrix4x4 Blob_Matrix() const;

  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
