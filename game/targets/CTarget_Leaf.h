#pragma once
// A small tinted leaf that drifts and tumbles on a scripted path. Shooting one alarms its
// neighbours within 500: each bursts by itself half a time unit later for 100 points.
#include "game/core/CSphere_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CTarget_Leaf : public CSphere_Object {
 public:
  using CWorld_Object::On_Floor_Contact;
  static constexpr uint32_t kType = 21;
  static constexpr float kGuard_Age = 0.5f;
  static constexpr float kAlarm_Reach = 500.0f;
  static constexpr unsigned kChain_Points = 100;

  bool Init();
  void Term();
  bool Spawn(const CVector3& point);
  // The landing: the leaf is removed at once.
  void On_Land();
  // The drifting path's point at the phases and age.
  CVector3 Path_Point() const;

  void Update(const float& dt) override;
  void Render(const float& step) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;

  bool m_Initialised = false;
  bool m_Spawned = false;
  float m_Age = 0.0f;
  CVector3 m_Start{0, 0, 0};
  CColor4 m_Colour{1, 1, 1, 1};
  float m_Size = 1.0f;
  CMatrix4x4 m_Scale_Matrix{};
  float m_Sway_Phase = 0.0f;
  float m_Drift_Phase = 0.0f;
  float m_Alarm = 0.0f;

  static CObject_Pool* Pool();

 private:
  void Tumble(float dt);

  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
};
