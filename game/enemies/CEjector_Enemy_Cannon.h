#pragma once
// The enemy cannon: rises out of the ground on a base yawed towards the player, tilts its barrel
// up and lobs cannon balls that drop onto the player. Shot, it scores, breaks loose as a falling
// box and shrinks away.
#include "game/core/CBox_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CEjector_Enemy_Cannon : public CBox_Object {
 public:
  static constexpr uint32_t kType = 50;

  bool Init();
  void Term();
  // False only when the box body cannot be set up.
  bool Spawn(const CVector3& position);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  using CBox_Object::On_Floor_Contact;
  void On_Floor_Contact(const CVector3& normal) override { (void)normal; }

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  bool m_Initialised = false;
  bool m_Active = false;
  uint8_t m_Fire_Requested = 0;
  uint8_t m_Shot_Variant = 0;
  CVector3 m_Base_Half_Size{40.0f, 40.0f, 90.0f};
  CVector3 m_Base_Position{0.0f, 0.0f, 0.0f};
  CVector3 m_Pivot{0.0f, 0.0f, 0.0f};
  CMatrix3x3 m_Yaw_Matrix = CMatrix3x3::Identity;
  float m_Aim_Pitch = 0.0f;
  float m_Rise = 0.0f;
  float m_Age = 0.0f;
  float m_Shot_Timer = 10000.0f;
  int32_t m_Hit_Count = 0;

 private:
  void Update_Rise(float dt);
  void Place_By_Rise();
  void Fire();
  CMatrix4x4 Barrel_Matrix() const;

  CRenderableObject* m_Base_Model = nullptr;
  CRenderableObject* m_Barrel_Model = nullptr;
  CRenderableObject* m_Glow_Model = nullptr;
  CTextureData* m_Base_Texture = nullptr;
  CTextureData* m_Barrel_Texture = nullptr;
  CD3DRenderStyle* m_Body_Style = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
