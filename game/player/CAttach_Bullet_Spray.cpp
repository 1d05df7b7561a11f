#include "game/player/CAttach_Bullet_Spray.h"

#include "game/core/CCamera.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/CBullet_Machine_Mgr.h"
#include "game/player/CPlayer.h"
#include "game/player/CPlayer_Weapon_Gun.h"

CAttach_Bullet_Spray g_Weapon_Attachment_Bullet_Spray;
CVector3 CAttach_Bullet_Spray::s_Burst_Direction{0.0f, 0.0f, 1.0f};

namespace {

using arsenal::Add;
using arsenal::Mul;
using arsenal::Random01;
using arsenal::Turn;

constexpr float kFirst_Tilt = 0.06f;
constexpr float kFirst_Spread = 0.005f;
constexpr float kSpread = 0.075f;
constexpr float kMuzzle_Rise = 150.0f;
constexpr float kBullet_Speed = 6000.0f;

float Next_Bullet_Delay() { return 0.1f * (1.0f + Random01()); }

}  // namespace

void CAttach_Bullet_Spray::Clear_Effects() {
  m_Bursts_Left = 0;
  m_Burst_Timer = 0.0f;
}

CVector3 CAttach_Bullet_Spray::Aim(bool first) const {
  const CMatrix3x3 axes = m_Gun ? m_Gun->m_Orientation : CMatrix3x3::Identity;
  const CVector3& side = axes.rows[0];
  const CVector3& up = axes.rows[1];
  if (first) s_Burst_Direction = Turn(axes.rows[2], side, kFirst_Tilt);
  const float spread = first ? kFirst_Spread : kSpread;
  const float a1 = (2.0f * Random01() - 1.0f) * spread;
  const float a2 = (2.0f * Random01() - 1.0f) * spread;
  return Turn(Turn(s_Burst_Direction, up, a1), side, a2);
}

void CAttach_Bullet_Spray::Fire_Bullet(bool first) {
  const CVector3 start = Add(g_Player.m_Mount_Position, Mul(g_Camera.Rotation().rows[1], kMuzzle_Rise));
  g_Bullet_Machine_Mgr.Fire(start, Mul(Aim(first), kBullet_Speed));
}

void CAttach_Bullet_Spray::Update_Timers(float dt) {
  if (m_Burst_Timer == 0.0f) return;
  m_Burst_Timer -= dt;
  if (m_Burst_Timer > 0.0f) return;
  if (m_Bursts_Left > 0) {
    Fire_Bullet(false);
    --m_Bursts_Left;
    m_Burst_Timer = Next_Bullet_Delay();
  } else {
    m_Burst_Timer = 0.0f;
  }
}

void CAttach_Bullet_Spray::Use() {
  Fire_Bullet(true);
  m_Bursts_Left = kBurst_Bullets;
  m_Burst_Timer = Next_Bullet_Delay();
}
