#include "game/player/CPlayer.h"

#include <algorithm>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CWorld.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/CAmmo_Ball.h"
#include "game/player/CAmmo_Explosive.h"
#include "game/player/CAmmo_Missile_0.h"
#include "game/player/CAttachment.h"
#include "game/player/CPlayer_Weapon_Gun_Cannon_0.h"
#include "game/player/CPlayer_Weapon_Gun_Lightning_0.h"
#include "game/player/CPlayer_Weapon_Gun_Machine_0.h"
#include "game/player/CPlayer_Weapon_Gun_MissileLauncher_0.h"
#include "game/player/CPlayer_Weapon_Gun_SteelBall_0.h"
#include "game/trainer/Weapon_Tables.h"

using namespace arsenal;

CPlayer g_Player;

namespace {

constexpr float kSmallest_Factor = 0.0001f;
constexpr float kMount_Below = 70.0f;
constexpr float kMount_Ahead = 30.0f;

}  // namespace

void Register_Player_Ammo_Pools() {
  CAmmo_Ball::Pool();
  CAmmo_Explosive::Pool();
  CAmmo_Missile_0::Pool();
}

namespace {
bool g_Player_Gone = false;
}  // namespace

CPlayer::~CPlayer() {
  Release_Gun();
  if (this == &g_Player) g_Player_Gone = true;
}

bool Player_Alive() { return !g_Player_Gone; }

void CPlayer::Get_Upgrade_Factors(int gun_kind, int gun_level, int attachment_kind, int attachment_level,
                                  float& factor1, float& factor2, int& value) {
  Build_Weapon_Table();
  if (const Weapon_Entry* gun = Find_Weapon_Entry(gun_kind)) {
    const float level = static_cast<float>(gun_level);
    factor1 = 1.0f + static_cast<float>(static_cast<uint32_t>(gun->Stat1_Percent)) * level * 0.01f;
    factor2 = 1.0f + static_cast<float>(static_cast<uint32_t>(gun->Stat2_Percent)) * level * 0.01f;
  }
  Build_Attachment_Table();
  if (const Attachment_Entry* attachment = Find_Attachment_Entry(attachment_kind))
    value = static_cast<int>(static_cast<float>(attachment->Stat_Step) * static_cast<float>(attachment_level));
}

void CPlayer::Set_Upgrade_Factors(float factor1, float factor2, int value) {
  m_Factor1 = factor1;
  m_Inv_Factor1 = 1.0f / std::max(factor1, kSmallest_Factor);
  m_Factor2 = factor2;
  m_Inv_Factor2 = 1.0f / std::max(factor2, kSmallest_Factor);
  m_Attachment_Value = value;
}

bool CPlayer::Select_Weapon(const int& gun_kind) {
  Update_Mount();
  CPlayer_Weapon_Gun* gun = &g_Gun_Lightning;
  switch (gun_kind) {
    case 1:
      gun = &g_Gun_SteelBall;
      break;
    case 2:
      gun = &g_Gun_Machine;
      break;
    case 3:
      gun = &g_Gun_MissileLauncher;
      break;
    case 5:
      gun = &g_Gun_Cannon;
      break;
    default:
      break;
  }
  Set_Gun(gun);
  m_Clock = 0.0f;
  return true;
}

bool CPlayer::Set_Gun(CPlayer_Weapon_Gun* gun) {
  if (gun == m_Gun) return true;
  if (m_Gun) m_Gun->Term();
  m_Gun = gun;
  return gun ? gun->Init() : true;
}

void CPlayer::Release_Gun() { Set_Gun(nullptr); }

void CPlayer::Set_Gun_Flag(uint8_t flag) {
  if (!m_Gun) return;
  if (flag)
    m_Gun->m_Flags |= CPlayer_Weapon_Gun::kStraight_Down;
  else
    m_Gun->m_Flags &= ~CPlayer_Weapon_Gun::kStraight_Down;
  if (m_Gun->m_Attachment) m_Gun->m_Attachment->Set_Flag(flag);
}

void CPlayer::Update_Mount() {
  const CMatrix3x3& axes = g_Camera.Rotation();
  m_Mount_Position = Add(Sub(g_Camera.Position(), Mul(axes.rows[1], kMount_Below)), Mul(axes.rows[2], kMount_Ahead));
}

void CPlayer::Update(const CFrame_Info& frame) {
  m_Clock += frame.Delta;
  Update_Mount();
  if (m_Gun && m_Clock > kStart_Up_Time) m_Gun->Update(frame);
}

void CPlayer::Render(const CFrame_Info& frame) {
  if (m_Gun) m_Gun->Render(frame);
}

void CPlayer::Render_Overlay(const CFrame_Info& frame) {
  if (m_Gun) m_Gun->Render_Overlay(frame);
}

bool CPlayer::Fire() {
  if (g_Game_Paused) return false;
  if (m_Gun) {
    if (m_Gun->m_Flags & CPlayer_Weapon_Gun::kHold_To_Fire)
      m_Gun->Begin_Fire();
    else
      m_Gun->Fire();
  }
  return true;
}

bool CPlayer::Release_Fire() {
  if (m_Gun && (m_Gun->m_Flags & CPlayer_Weapon_Gun::kHold_To_Fire)) m_Gun->End_Fire();
  return true;
}

bool CPlayer::Fire_Attachment() {
  if (!g_Game_Paused && m_Gun && m_Gun->m_Attachment) m_Gun->m_Attachment->Fire();
  return false;
}

void CPlayer::Release_Fire_Attachment() {
  if (m_Gun && m_Gun->m_Attachment) m_Gun->m_Attachment->Cancel_Fire();
}
