#include "game/targets/CTarget_Ball.h"

#include <algorithm>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/CShadowProjector.h"
#include "game/targets/CEjector_Ball.h"
#include "game/targets/CEjector_Cylinder.h"
#include "game/targets/Target_Shared.h"

namespace {

constexpr uint32_t kRenderable_Id = 0x22000000;
constexpr uint32_t kTexture_Id = 0x2200003b;
constexpr uint32_t kStyle_Id = 0x2200003c;
constexpr uint32_t kMirror_Style_Id = 0x22000020;
constexpr uint32_t kPushes = 0x04;
constexpr float kMesh_Radius = 4.5f;
constexpr float kLife = 15.0f;

}  // namespace

CObject_Pool* CTarget_Ball::Pool() {
  static CObject_Pool_Of<CTarget_Ball, kType> pool;
  return &pool;
}

bool CTarget_Ball::Init() {
  using targets::Resource;
  m_Initialised = targets::Load_Resources(
      "CTarget_Ball", {Resource::Renderable(kRenderable_Id, m_Renderable), Resource::Texture(kTexture_Id, m_Texture),
                       Resource::Style(kStyle_Id, m_Style, targets::kNo_Texture),
                       Resource::Style(kMirror_Style_Id, m_Mirror_Style)});
  return m_Initialised;
}

void CTarget_Ball::Term() {
  using targets::Resource;
  targets::Release_Resources({Resource::Renderable(kRenderable_Id, m_Renderable),
                              Resource::Texture(kTexture_Id, m_Texture), Resource::Style(kStyle_Id, m_Style),
                              Resource::Style(kMirror_Style_Id, m_Mirror_Style)});
  m_Initialised = false;
  m_Spawned = false;
}

bool CTarget_Ball::Spawn(const int32_t& colour) {
  m_Colour = colour;
  m_Motion_Mode = kMode_Fall;
  Setup_Object(kType, 100.0f, 100.0f,
               kState_No_Damping | kState_No_World_Contact | kState_No_Object_Collision | kState_Reflected,
               kKind_Counted_Target);
  if (!Setup_Sphere_Body(5.0f, kRadius, 0.75f)) return false;
  m_Crushed = false;
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  m_Life = kLife;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  Set_Position(CVector3{0.0f, 0.0f, 0.0f});
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Spawned = true;
  return true;
}

CColor4& CTarget_Ball::Get_Color(CColor4& out) const {
  out = m_Hit_Count > 0 ? targets::kHit_Color : targets::Get_Variant_Color(m_Colour);
  return out;
}

void CTarget_Ball::Update(const float& dt) {
  Collide_Sphere_World(m_Motion);
  const CVector3& g = g_World.m_Gravity;
  CVector3& a = m_Motion.acceleration;
  switch (m_Motion_Mode) {
    case kMode_Along_Z:
      a.Subtract_Assign(g);
      a.z -= 125.0f;
      break;
    case kMode_Rise:
      a.Subtract_Assign(g);
      a.y += 75.0f;
      break;
    default: a.Subtract_Assign(CVector3{0.5f * g.x, 0.5f * g.y, 0.5f * g.z}); break;
  }
  Integrate_Sphere(m_Motion, dt);
  if (targets::Life_Step(*this, m_Life, m_Age, dt, kGuard_Age)) {
    const float f = m_Crushed ? 1.0f : std::clamp(1.0f - m_Kill_Timer, 0.001f, 1.0f);
    Set_Sphere_Radius(kRadius * f);
    m_Kill_Timer += (m_Crushed ? 6.0f : 0.35f) * dt;
  }
}

void CTarget_Ball::Crush(CWorld_Object& pusher) {
  if (m_Hit_Count == 0) {
    m_Motion_Mode = kMode_Fall;
    m_Crushed = true;
    m_State_Flags |= kState_No_Object_Collision;
    const bool from_above = m_Position.y - pusher.m_Position.y > pusher.m_Fixed.half_size.y;
    if (from_above && pusher.m_Type == CEjector_Ball::kType) static_cast<CEjector_Ball&>(pusher).Catch_Timer = 0.2f;
    if (from_above && pusher.m_Type == CEjector_Cylinder::kType)
      static_cast<CEjector_Cylinder&>(pusher).Catch_Timer = 0.3f;
  }
  m_Kill_Timer += 0.01f;
}

bool CTarget_Ball::On_Hit(CWorld_Object* hitter, const CShot_Line* shot) {
  if (m_Age < kGuard_Age) return false;
  if (hitter) {
    if (hitter->m_Type == kType && m_Motion_Mode != kMode_Fall) return true;
    if (hitter->m_Kind_Flags & kPushes) {
      Crush(*hitter);
      return true;
    }
  }
  if (m_Hit_Count == 0) {
    const targets::Target_Member& member = *targets::Find_Target_Member(kType);
    targets::Register_First_Hit(member, *this, hitter);
    if (!hitter && !shot) {
      m_Kind_Flags |= kKind_Excluded;
    } else {
      const uint32_t colour = targets::Pack_Scaled_ARGB(targets::Get_Variant_Color(m_Colour), member.colour_factor);
      targets::Emit_Sparkle_Burst(*this, colour, targets::Member_Burst(member));
      Play_Sound_3D(kHit_Sound, m_Position, 1.0f);
      m_Kind_Flags |= kKind_Excluded;
      targets::Award_Precision(m_Position, hitter, shot);
    }
  }
  m_State_Flags &= ~(kState_No_World_Contact | kState_No_Gravity | kState_No_Damping);
  m_Motion_Mode = kMode_Fall;
  ++m_Hit_Count;
  return true;
}

void CTarget_Ball::On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
  (void)strength;
  (void)contact;
  targets::Sphere_Floor_Contact(*this, normal);
}

CMatrix4x4 CTarget_Ball::World() const {
  const float s = m_Collision_Radius / kMesh_Radius;
  return targets::World_Matrix(*this, CVector3{s, s, s});
}

void CTarget_Ball::Render(const float& step) {
  (void)step;
  CColor4 colour;
  targets::Draw(m_Renderable, World(), m_Style, m_Texture, &Get_Color(colour), true);
  CShadowProjector::Cast_Sphere_Shadow(*this, 0.003f);
}

void CTarget_Ball::Render_Reflection(const CWorld_Mirror& mirror) {
  CColor4 colour;
  targets::Draw(m_Renderable, targets::Mirrored(World(), mirror), m_Mirror_Style, m_Texture, &Get_Color(colour), true);
}

void CTarget_Ball::Render_With_Shader(void* style, void* texture) {
  targets::Draw(m_Renderable, World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture),
                nullptr, true);
}
