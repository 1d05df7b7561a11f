#include "game/fx/CDebris_Dirt.h"

#include "game/core/CWorld.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Debris_Rules.h"
#include "game/fx/FX_Resources.h"

namespace {
constexpr float kShadow_Fade = 0.003f;
}  // namespace

bool CDebris_Dirt::Init() {
  const debris::Model_Ids ids{0x2200015F, 0x22000160, 0x22000002};
  if (!debris::Load_Model("CDebris_Dirt", "(A)", ids, m_Model, m_Texture, m_Style, &m_Reflection_Style)) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CDebris_Dirt::Term() {
  fx::Release(m_Model);
  fx::Release(m_Texture);
  fx::Release(m_Style);
  fx::Release(m_Reflection_Style);
  m_Initialised = false;
}

void CDebris_Dirt::Spawn(float scale) {
  const float r = fx::Random_Unit();
  m_Spawn_Radius = m_Radius = (5.0f + 15.0f * r) * scale;
  Setup_Object(kType, 1.0f, 1.0f, kState_No_Object_Collision, 0);
  Setup_Sphere_Body(15.0f * scale, m_Radius, 0.35f);
  m_Life_Timer = 4.0f + 2.0f * fx::Random_Unit();
  m_Motion.Clear();
  Set_Position(CVector3{0, 0, 0});
  m_Orientation = CMatrix3x3::Identity;
  m_Alive = true;
}

void CDebris_Dirt::Update(const float& dt) {
  CVector3 lift;
  g_World.m_Gravity.Scale(-0.25f, lift);
  m_Motion.acceleration.Add_Assign(lift);
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  m_Life_Timer -= dt;
  debris::Expire_Life_Timer(*this, m_Life_Timer);
  m_Radius = m_Spawn_Radius * debris::Dying_Scale(*this, dt, 0.35f, false);
  Set_Sphere_Radius(m_Radius);
}

CMatrix4x4 CDebris_Dirt::World() const {
  const float s = m_Radius * 0.1f;
  return debris::World_Matrix(*this, CVector3{s, s, s});
}

void CDebris_Dirt::Render(const float& step) {
  (void)step;
  debris::Draw(m_Model, World(), m_Style, m_Texture);
  CShadowProjector::Cast_Sphere_Shadow(*this, kShadow_Fade);
}
