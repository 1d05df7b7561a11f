#pragma once
// The digger: bursts out of the ground in a spray of dirt, is thrown up, then steers towards the
// height of a point beside the player while it charges, and explodes against the player. Shot
// before that, it scores and drops.
#include "game/core/CBox_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CEnemy_Digger_1 : public CBox_Object {
 public:
  static constexpr uint32_t kType = 67;

  bool Init();
  void Term();
  // False only when the box body cannot be set up.
  bool Spawn(int variant, const CVector3& point);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  using CBox_Object::On_Floor_Contact;
  void On_Floor_Contact(const CVector3& normal) override { (void)normal; }

  // The variant colour, black once hit.
  CColor4 Colour() const;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  bool m_Initialised = false;
  uint8_t m_Homing = 0;
  int32_t m_Variant = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  float m_Charge = 0.0f;
  CVector3 m_Target{0.0f, 0.0f, 0.0f};

 private:
  void Burst_From_Ground(const CVector3& p);
  void Steer(float dt);
  void Digger_Explode();
  CMatrix4x4 World() const;
  void Digger_Glow(const CMatrix4x4& world, int passes) const;

  CRenderableObject* m_Body_Model = nullptr;
  CRenderableObject* m_Shell_Model = nullptr;
  CTextureData* m_Body_Texture = nullptr;
  CTextureData* m_Glare_Texture = nullptr;
  CD3DRenderStyle* m_Body_Style = nullptr;
  CD3DRenderStyle* m_Shell_Style = nullptr;
  CD3DRenderStyle* m_Glare_Style = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
