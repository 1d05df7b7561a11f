#include "game/targets/CTarget_Goo.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/CParticle_Basic_Mgr.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/targets/Target_Shared.h"

namespace {

constexpr float kTwo_Pi = 6.2831853f;
constexpr float kPi = 3.14159265f;
constexpr uint32_t kSound_Hit = 0x220000FB;
constexpr float kBurst_Colour_Factor = 3.0f;
// The mesh is a sphere of radius 4.5.
constexpr float kModel_Scale = 0.22222222f;

}  // namespace

CObject_Pool* CTarget_Goo::Pool() {
  static CObject_Pool_Of<CTarget_Goo, kType> pool;
  return &pool;
}

bool CTarget_Goo::Init() {
  using R = targets::Resource;
  if (!targets::Load_Resources("CTarget_Goo", {R::Renderable(0x22000000, m_Model), R::Texture(0x2200002C, m_Texture),
                                               R::Style(0x2200003C, m_Style, targets::kNo_Texture),
                                               R::Style(0x22000020, m_Mirror_Style)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CTarget_Goo::Term() {
  fx::Release(m_Model);
  fx::Release(m_Texture);
  fx::Release(m_Style);
  fx::Release(m_Mirror_Style);
  m_Initialised = false;
  m_Spawned = false;
}

bool CTarget_Goo::Spawn(const int32_t& variant, const uint8_t& small) {
  m_Spawned = false;
  m_Variant = variant;
  m_Small = small != 0;
  m_Split = false;
  const float r = fx::Random_Unit();
  m_Base_Radius = m_Small ? 15.0f + 10.0f * r : 45.0f - 10.0f * r;
  Setup_Object(kType, 100.0f, 100.0f, 0x14, kKind_Counted_Target);
  if (!Setup_Sphere_Body(5.0f, m_Base_Radius, 0.75f)) return false;
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  m_Life = m_Small ? 11.0f : 22.0f;
  m_Age = m_Wobble_Phase = 0.0f;
  m_Hit_Count = 0;
  m_Scale.Set(1.0f, 1.0f, 1.0f);
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Sphere.velocity.Set(0.0f, 0.0f, 0.0f);
  m_Sphere.spin.Set(0.0f, 0.0f, 0.0f);
  m_Spawned = true;
  return true;
}

void CTarget_Goo::Wobble(float dt) {
  const CVector3& w = m_Sphere.spin;
  const float spin = std::min(w.Length(), 3.5f);
  const float speed = std::min(m_Sphere.velocity.Length(), 1.0f);
  m_Wobble_Phase = std::fmod(m_Wobble_Phase + spin * speed * dt * 2.0f, kTwo_Pi);
  const float B = std::clamp(std::fabs(w.x) * 0.5f, 0.0f, 1.0f);
  const float F = std::clamp(std::fabs(w.z) * 0.5f, 0.0f, 1.0f);
  const float S = std::sin(m_Wobble_Phase) * 0.5f;
  const float T = std::sin(m_Wobble_Phase + kPi) * 0.5f;
  const float G = (B + F) * 0.5f;
  m_Scale.x = 1.0f + 0.3f * G - 0.3f * F + 0.3f * B * S;
  m_Scale.y = 0.3f * G * T + 0.3f * G + 0.8f;
  m_Scale.z = 1.0f + 0.3f * G - 0.3f * B + 0.3f * F * S;
}

void CTarget_Goo::Update(const float& dt) {
  targets::Lift_Half_Gravity(*this);
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  Wobble(dt);
  if (targets::Life_Step(*this, m_Life, m_Age, dt, kGuard_Age)) {
    targets::Shrink_Sphere(*this, m_Base_Radius);
    m_Kill_Timer += (m_Small ? 0.65f : 0.35f) * dt;
  }
}

bool CTarget_Goo::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kGuard_Age) return false;
  if (other && (other->m_Kind_Flags & kKind_Counted_Target)) return true;
  if (m_Hit_Count == 0) {
    if (const targets::Target_Member* member = targets::Find_Target_Member(kType))
      targets::Register_First_Hit(*member, *this, other);
    if (other || shot) {
      const uint32_t colour = targets::Pack_Scaled_ARGB(targets::Get_Variant_Color(m_Variant), kBurst_Colour_Factor);
      targets::Emit_Sparkle_Burst(*this, colour, targets::Sparkle_Burst{});
    }
    m_Kind_Flags |= kKind_Excluded;
    targets::Award_Precision(m_Position, other, shot);
    Play_Sound_3D(kSound_Hit, m_Position, 1.0f);
  }
  ++m_Hit_Count;
  m_State_Flags &= ~(kState_No_World_Contact | kState_No_Gravity | kState_No_Damping);
  if (m_Kill_Timer == 0.0f) {
    m_Kill_Timer = 0.01f;
    Splat();
  }
  return true;
}

void CTarget_Goo::On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
  (void)strength;
  (void)contact;
  (void)normal;
  if (m_Small) return;
  if (!m_Split && m_Kill_Timer < kSplit_Before) {
    Split();
    Splat();
  }
  m_Kill_Timer = 1.0f;
}

void CTarget_Goo::Split() {
  m_Split = true;
  CObject_Pool* pool = g_Object_Pools[kType];
  const int count = 3 + static_cast<int>(2.0f * fx::Random_Unit());
  const CVector3& v = m_Sphere.velocity;
  for (int i = 0; i < count; ++i) {
    CWorld_Object* object = pool ? pool->Alloc_Object() : nullptr;
    if (!object) continue;
    auto* blob = static_cast<CTarget_Goo*>(object);
    const uint8_t small = 1;
    if (!blob->Spawn(m_Variant, small)) {
      pool->Free_Object(object);
      continue;
    }
    blob->Set_Position(m_Position);
    const float dx = 300.0f * fx::Random_Unit() - 150.0f;
    const float up = 100.0f * (1.0f + fx::Random_Unit());
    const float dz = 300.0f * fx::Random_Unit() - 150.0f;
    blob->m_Sphere.velocity.Set(v.x + dx, up, v.z + dz);
    g_World.Add_Object(2, blob);
  }
}

void CTarget_Goo::Splat() {
  const float ground = g_World.Has_Terrain() ? g_World.Get_Height(m_Position.x, m_Position.z) : 0.0f;
  const CVector3 point{m_Position.x, ground, m_Position.z};
  const uint32_t colour = targets::Pack_Scaled_ARGB(targets::Get_Variant_Color(m_Variant), 1.0f);
  Place_World_Decal_Random(4, point, 2.0f * m_Collision_Radius, 1.0f, colour);
  const int drops = static_cast<int>(0.75f * m_Collision_Radius);
  for (int i = 0; i < drops; ++i) {
    const float a = 2.0f * fx::Random_Unit() - 1.0f;
    const float b = 2.0f * fx::Random_Unit() - 1.0f;
    const float c = 2.0f * fx::Random_Unit() - 1.0f;
    const CVector3 velocity{50.0f * a, 50.0f * b, 50.0f * c};
    const CVector3 at{point.x + 0.35f * velocity.x, point.y + 0.35f * velocity.y, point.z + 0.35f * velocity.z};
    const float size = 35.0f + 30.0f * fx::Random_Unit();
    const float life = 1.0f + fx::Random_Unit();
    if (!g_Particle_Basic_Mgr.Add_Particle(at, velocity, size, life, colour, 0.5f, kParticle_Collides)) return;
  }
}

CMatrix4x4 CTarget_Goo::Blob_Matrix() const {
  const float k = m_Collision_Radius * kModel_Scale;
  CMatrix4x4 world = targets::World_Matrix(*this, CVector3{k * m_Scale.x, k * m_Scale.y, k * m_Scale.z});
  world.m[3][1] += (m_Scale.y - 1.0f) * m_Collision_Radius;
  return world;
}

void CTarget_Goo::Render(const float& step) {
  (void)step;
  const CColor4 colour = targets::Get_Variant_Color(m_Variant);
  targets::Draw(m_Model, Blob_Matrix(), m_Style, m_Texture, &colour, true);
  CShadowProjector::Cast_Ellipse_Shadow(*this, m_Scale.x, m_Scale.z);
}

void CTarget_Goo::Render_Reflection(const CWorld_Mirror& mirror) {
  const CColor4 colour = targets::Get_Variant_Color(m_Variant);
  targets::Draw(m_Model, targets::Mirrored(Blob_Matrix(), mirror), m_Mirror_Style, m_Texture, &colour, true);
}

void CTarget_Goo::Render_With_Shader(void* style, void* texture) {
  targets::Draw(m_Model, Blob_Matrix(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture),
                nullptr, true);
}
