#include "game/targets/CRolling_Ball_Target.h"

#include <algorithm>

#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/FX_Resources.h"
#include "game/targets/Target_Shared.h"

namespace {

constexpr uint32_t kSound_Hit = 0x220000F5;
constexpr float kBurst_Colour_Factor = 3.0f;

}  // namespace

void CRolling_Ball_Target::Term() {
  fx::Release(m_Model);
  fx::Release(m_Texture);
  fx::Release(m_Style);
  fx::Release(m_Mirror_Style);
  m_Initialised = false;
  m_Spawned = false;
}

bool CRolling_Ball_Target::Spawn(const int32_t& variant, const int32_t& direction) {
  m_Spawned = false;
  m_Variant = variant;
  m_Direction = direction;
  Setup_Object(m_Rules.type, 100.0f, 100.0f, 0x34, kKind_Counted_Target);
  if (!Setup_Sphere_Body(m_Rules.mass, m_Rules.radius, m_Rules.bounce)) return false;
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  m_Life = m_Rules.life;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  Set_Position(CVector3{0.0f, 0.0f, 0.0f});
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Sphere.velocity.Set(0.0f, 0.0f, 0.0f);
  m_Sphere.spin.Set(0.0f, 0.0f, 0.0f);
  m_Spawned = true;
  return true;
}

void CRolling_Ball_Target::Drive_Axis(float& torque, float spin, float push) {
  if (push < 0.0f ? spin > -m_Rules.max_spin : spin < m_Rules.max_spin) torque += push;
}

void CRolling_Ball_Target::Update(const float& dt) {
  if (m_Rules.half_gravity) targets::Lift_Half_Gravity(*this);
  if (m_Kill_Timer == 0.0f) Drive();
  Before_Move(dt);
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  if (targets::Life_Step(*this, m_Life, m_Age, dt, kGuard_Age)) {
    targets::Shrink_Sphere(*this, m_Rules.radius);
    m_Kill_Timer += kDeath_Rate * dt;
  }
}

bool CRolling_Ball_Target::Ignores(const CWorld_Object* other) const { return other && other->m_Type == m_Rules.type; }

bool CRolling_Ball_Target::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kGuard_Age) return false;
  if (Ignores(other)) return true;
  if (m_Hit_Count == 0) {
    const targets::Target_Member* member = targets::Find_Target_Member(m_Rules.type);
    if (member) targets::Register_First_Hit(*member, *this, other);
    if (other || shot) {
      targets::Sparkle_Burst burst;
      targets::Emit_Sparkle_Burst(*this, targets::Pack_Scaled_ARGB(Get_Color(), kBurst_Colour_Factor), burst);
      Play_Sound_3D(kSound_Hit, m_Position, 1.0f);
    }
    if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.0001f;
    m_Kind_Flags |= kKind_Excluded;
    targets::Award_Precision(m_Position, other, shot);
  }
  m_State_Flags &= ~(kState_No_World_Contact | kState_No_Gravity | kState_No_Damping);
  ++m_Hit_Count;
  return true;
}

void CRolling_Ball_Target::On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
  (void)strength;
  (void)contact;
  if (m_Age < kGuard_Age || !targets::Is_Boundary_Wall(normal) || Survives_Wall(normal)) return;
  m_State_Flags &= ~(kState_No_Object_Collision | kState_No_Gravity | kState_No_Damping);
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.01f;
}

CColor4 CRolling_Ball_Target::Get_Color() const {
  return m_Hit_Count > 0 ? targets::kHit_Color : targets::Get_Variant_Color(m_Variant);
}

float CRolling_Ball_Target::Death_Scale() const {
  return m_Kill_Timer > 0.0f ? std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f) : 1.0f;
}

CMatrix4x4 CRolling_Ball_Target::Ball_Matrix() const {
  const float s = Death_Scale();
  return targets::World_Matrix(*this, CVector3{s, s, s});
}
