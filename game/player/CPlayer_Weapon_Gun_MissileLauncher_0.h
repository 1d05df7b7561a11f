#pragma once
// Gun kind 3, the missile launcher: two swinging cradles each carry one homing missile. A shot
// launches the missile of an armed cradle at the locked target; the empty cradle swings back,
// takes a new missile from the pool and swings out again, one cradle loading at a time. The
// lock-on scans along the mouse cursor and shows a fading trail of markers on its target.
#include "game/core/CTarget_Lock_Fixed.h"
#include "game/player/CPlayer_Weapon_Gun.h"

class CAmmo_Missile_0;

class CPlayer_Weapon_Gun_MissileLauncher_0 : public CPlayer_Weapon_Gun {
 public:
  // Cradle states.
  enum : int32_t { kSwinging_Back = 0, kLoading = 1, kArmed = 2 };
  static constexpr int kTrail_Length = 25;
  static constexpr float kEmpty_Entry = -2.0e7f;
  static constexpr float kScan_Interval = 0.15f;
  static constexpr float kLock_Hold = 1.5f;

  ~CPlayer_Weapon_Gun_MissileLauncher_0() override { Term(); }

  bool Init() override;
  void Term() override;
  bool Fire() override;
  void Update(const CFrame_Info& frame) override;
  void Render(const CFrame_Info& frame) override;
  void Render_Overlay(const CFrame_Info& frame) override;

  // The missile waiting on a cradle, or null.
  CAmmo_Missile_0* Missile_Of_Cradle(int cradle) const;
  // The locked target, or null.
  CWorld_Object* Locked_Target() const;

  CVector3 m_Angular_Velocity{0.0f, 0.0f, 0.0f};
  int32_t m_Last_Cradle = 1;
  int32_t m_Cradle_State[2] = {kSwinging_Back, kSwinging_Back};
  float m_Cradle_Angle[2] = {0.0f, 0.0f};
  float m_Scan_Timer = 0.0f;
  float m_Unseen_Time = 0.0f;
  float m_Lock_Age = 0.0f;
  int32_t m_Trail_Index = 0;
  CVector3 m_Trail[kTrail_Length] = {};
  CRenderableObject* m_Models[2] = {};
  CD3DRenderStyle* m_Styles[2] = {};
  CTextureData* m_Textures[2] = {};
  CTarget_Lock_Fixed m_Cradle_List;
  CTarget_Lock_Fixed m_Target_Lock;

 private:
  Resource_List Resources();
  void Update_Cradles(float dt);
  // Serves one cradle at the loading position: gives it a missile and swings it out.
  void Load_Cradle(int cradle, float load_swing);
  void Carry_Missiles();
  void Scan_For_Target(float dt);
  void Clear_Trail();
  // The gun's axes turned about the aim by a cradle's angle.
  CMatrix3x3 Cradle_Frame(float angle) const;
  void Draw_Status_Light(const CVector3& position, bool armed);
};

extern CPlayer_Weapon_Gun_MissileLauncher_0 g_Gun_MissileLauncher;
