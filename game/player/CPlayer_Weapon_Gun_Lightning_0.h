#pragma once
// Gun kind 4, the lightning gun: bolts that strike at once. A click fires a burst that repeats
// until the charge is spent; each bolt bends onto the best object near its line, may throw a
// spur to a further object or the ground, and is followed by an unseen echo strike.
#include "game/fx/CFX_Lightning.h"
#include "game/player/CPlayer_Weapon_Gun.h"

class CWorld_Object;

class CPlayer_Weapon_Gun_Lightning_0 : public CPlayer_Weapon_Gun {
 public:
  static constexpr int kBolt_Count = 24;
  static constexpr float kLeast_Charge = 0.15f;
  // How a bolt ended.
  enum : int { kEnd_Open = 0, kEnd_Object = 1, kEnd_Wall = 2, kEnd_Terrain = 3 };

  ~CPlayer_Weapon_Gun_Lightning_0() override { Term(); }

  bool Init() override;
  void Term() override;
  bool Fire() override;
  void Update(const CFrame_Info& frame) override;
  void Render(const CFrame_Info& frame) override;

  // The object the search picks near the segment from the muzzle along the direction (bent onto
  // it), or null.
  CWorld_Object* Search_Target(const CVector3& muzzle, CVector3& direction) const;
  // Strikes along the direction: the picked object, else the terrain, else the walls; answers the
  // end point and how the bolt ended.
  int Strike(const CVector3& muzzle, CVector3& direction, CVector3& end);
  // The far end of a spur from the bolt's end, when there is one.
  bool Spur(const CVector3& end, int end_kind, float power, CVector3& spur_end);
  int Active_Bolts() const;

  uint8_t m_Wide_Search = 0;
  float m_Repeat_Timer = 0.0f;
  float m_Charge = 0.0f;
  float m_Echo_Timer = 0.0f;
  CVector3 m_Angular_Velocity{0.0f, 0.0f, 0.0f};
  int32_t m_Shot_Id = 0;
  int32_t m_Hits_In_Shot = 0;
  float m_Search_Radius = 10.0f;
  CRenderableObject* m_Models[5] = {};
  CD3DRenderStyle* m_Styles[4] = {};
  CTextureData* m_Textures[4] = {};
  CFX_Lightning m_Bolts[kBolt_Count];

 private:
  Resource_List Resources();
  CFX_Lightning* Free_Bolt();
  void Count_Hit();
  void Boss_Sparks(const CVector3& end, const CVector3& direction);
  void Recharge(float dt);
  void Draw_Charge_Lights(const CMatrix4x4& world);
  void Draw_Charge_Glow(const CMatrix4x4& world);
};

extern CPlayer_Weapon_Gun_Lightning_0 g_Gun_Lightning;
