#include "game/targets/CGrowing_Box_Target.h"

#include <algorithm>

#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/FX_Resources.h"
#include "game/targets/Target_Shared.h"

namespace {

constexpr uint32_t kSound_Plain_Hit = 0x220000F0;
constexpr uint32_t kSound_Precise_Hit = 0x220000F7;
constexpr float kTrail_Colour_Factor = 3.5f;

}  // namespace

void CGrowing_Box_Target::Term() {
  fx::Release(m_Model);
  fx::Release(m_Texture);
  fx::Release(m_Style);
  fx::Release(m_Mirror_Style);
  m_Initialised = false;
  m_Spawned = false;
}

bool CGrowing_Box_Target::Spawn(const int32_t& variant) {
  m_Spawned = false;
  m_Variant = variant;
  Setup_Object(m_Rules.type, 100.0f, 100.0f, m_Rules.state_flags, kKind_Counted_Target);
  if (!Setup_Box_Body(m_Rules.mass, CVector3{1.0f, 1.0f, 1.0f}, m_Rules.bounce)) return false;
  m_Box.hit_flag = 1;
  m_Box.floor_contact_flag = 1;
  m_Hit_Count = 0;
  m_Growth = m_Trail_Timer = m_Age = 0.0f;
  m_Life = kLife;
  Set_Position(CVector3{0.0f, 0.0f, 0.0f});
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Box.velocity.Set(0.0f, 0.0f, 0.0f);
  m_Box.spin.Set(0.0f, 0.0f, 0.0f);
  m_Spawned = true;
  return true;
}

void CGrowing_Box_Target::Grow() {
  if (m_Growth == 1.0f && m_Kill_Timer == 0.0f) return;
  const float g = m_Kill_Timer > 0.0f ? 1.0f - m_Kill_Timer : m_Age / m_Rules.growth_time;
  m_Growth = std::clamp(g, 0.0f, 1.0f);
  const CVector3 full = Full_Half_Size();
  Set_Box_Extents(CVector3{1.0f + m_Growth * (full.x - 1.0f), 1.0f + m_Growth * (full.y - 1.0f),
                           1.0f + m_Growth * (full.z - 1.0f)});
}

void CGrowing_Box_Target::Update(const float& dt) {
  Grow();
  if (m_Rules.half_gravity) targets::Lift_Half_Gravity(*this);
  if (Before_Move()) Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  After_Move();
  if (targets::Life_Step(*this, m_Life, m_Age, dt, m_Rules.growth_time)) {
    m_Kill_Timer += m_Rules.death_rate * dt;
    return;
  }
  if (m_Rules.sheds_trail) Shed_Trail(dt);
}

void CGrowing_Box_Target::Shed_Trail(float dt) {
  m_Trail_Timer += dt;
  if (!(fx::Random_Unit() * 100.0f * m_Growth < m_Trail_Timer)) return;
  m_Trail_Timer = 0.0f;
  const float a = 150.0f * fx::Random_Unit() - 75.0f;
  const float b = 150.0f * fx::Random_Unit() - 75.0f;
  const CVector3& r0 = m_Orientation.rows[0];
  const CVector3& r2 = m_Orientation.rows[2];
  const CVector3& v = m_Box.velocity;
  const CVector3 o{a * r0.x + b * r2.x + 0.15f * v.x, a * r0.y + b * r2.y + 0.15f * v.y,
                   a * r0.z + b * r2.z + 0.15f * v.z};
  const CVector3 at{m_Position.x + 0.75f * o.x, m_Position.y + 0.75f * o.y, m_Position.z + 0.75f * o.z};
  const float size = 15.0f + 20.0f * fx::Random_Unit();
  const float life = 0.25f + 0.5f * fx::Random_Unit();
  const uint32_t colour = targets::Pack_Scaled_ARGB(Get_Color(), kTrail_Colour_Factor);
  g_Particle_Sparkle_Mgr.Add_Particle(at, o, size, life, colour, 0.25f, kSparkle_Size_Fades);
}

bool CGrowing_Box_Target::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < m_Rules.growth_time || Refuses(other)) return false;
  if (m_Hit_Count == 0) {
    First_Hit(other, shot);
  } else {
    On_Later_Hit();
  }
  m_State_Flags &= ~(kState_No_World_Contact | kState_No_Gravity | kState_No_Damping);
  ++m_Hit_Count;
  After_Hit();
  return true;
}

// A strike with neither hitter nor shot line (a smart bomb's) only marks the target as not
// counted; it is heard all the same.
void CGrowing_Box_Target::First_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (!other && !shot) {
    m_Kind_Flags |= kKind_Excluded;
  } else {
    const bool player_shot = other && (other->m_Kind_Flags & kKind_Shot);
    const targets::Target_Member* member = targets::Find_Target_Member(m_Rules.type);
    if (player_shot && member) targets::Register_First_Hit(*member, *this, other);
    if (player_shot || shot) {
      const float factor = member ? member->colour_factor : 1.0f;
      Burst(targets::Pack_Scaled_ARGB(Get_Color(), factor));
      m_Kind_Flags |= kKind_Excluded;
    }
  }
  const bool awarded = targets::Award_Precision(m_Position, other, shot);
  Play_Sound_3D(awarded ? kSound_Precise_Hit : kSound_Plain_Hit, m_Position, 1.0f);
}

void CGrowing_Box_Target::On_Floor_Contact(const CVector3& normal) {
  (void)normal;
  targets::Box_Floor_Contact(*this);
}

CMatrix4x4 CGrowing_Box_Target::Growth_Matrix() const {
  const float s = m_Growth == 1.0f ? 1.0f : m_Growth;
  return targets::World_Matrix(*this, CVector3{s, s, s});
}
