#pragma once
// The player: the holder of the current gun during a simulation. It keeps the gun's mount in
// front of the camera, the upgrade factors the guns read and a short start-up clock, and
// forwards mouse input, updates and the two render passes to the gun.
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CPlayer_Weapon_Gun;
struct CFrame_Info;

class CPlayer {
 public:
  // Number of gun and attachment kinds a profile can name.
  static constexpr int kKind_Slots = 16;
  static constexpr int kDefault_Gun = 4;
  static constexpr int kLast_Gun = 5;
  // The gun stays passive (no update) until the clock passes this.
  static constexpr float kStart_Up_Time = 2.5f;

  CPlayer() = default;
  CPlayer(const CPlayer&) = delete;
  CPlayer& operator=(const CPlayer&) = delete;
  virtual ~CPlayer();

  // The upgrade factors of a gun and attachment at their levels; a kind missing from its table
  // leaves its outputs as the caller set them.
  static void Get_Upgrade_Factors(int gun_kind, int gun_level, int attachment_kind, int attachment_level,
                                  float& factor1, float& factor2, int& value);
  // Keeps the factors and their reciprocals (each factor taken as at least 0.0001 for those).
  void Set_Upgrade_Factors(float factor1, float factor2, int value);
  // Makes the static gun of the kind current (1 steel ball, 2 machine gun, 3 missile launcher,
  // 5 cannon, any other the lightning gun) and restarts the clock.
  bool Select_Weapon(const int& gun_kind);
  bool Set_Gun(CPlayer_Weapon_Gun* gun);
  // Releases the current gun and its attachment (first step of every mode change).
  void Release_Gun();
  // Sets or clears the gun's straight-down flag and tells the attachment.
  void Set_Gun_Flag(uint8_t flag);
  void Update_Mount();

  void Update(const CFrame_Info& frame);
  void Render(const CFrame_Info& frame);
  void Render_Overlay(const CFrame_Info& frame);

  // False while paused; otherwise the gun fires or begins firing.
  bool Fire();
  // Ends a hold-to-fire burst, paused or not.
  bool Release_Fire();
  // Unless paused, the attachment fires; always false.
  bool Fire_Attachment();
  void Release_Fire_Attachment();

  CVector3 m_Mount_Position{0.0f, 0.0f, 0.0f};
  CPlayer_Weapon_Gun* m_Gun = nullptr;
  float m_Clock = 0.0f;
  float m_Factor1 = 1.0f;
  float m_Inv_Factor1 = 1.0f;
  float m_Factor2 = 1.0f;
  float m_Inv_Factor2 = 1.0f;
  int m_Attachment_Value = 0;
  // The attachment kind and level the launch read from the profile.
  int m_Attachment_Kind = 0;
  int m_Attachment_Level = 0;
};

extern CPlayer g_Player;
// False once the program's player has been destroyed at exit (objects destroyed after it must
// not touch it).
bool Player_Alive();

// Registers the pools of the player's ammunition (types 3 and 4) with the world.
void Register_Player_Ammo_Pools();
