#include "game/targets/CTarget_Box.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/CShadowProjector.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/targets/CEjector_Box.h"
#include "game/targets/Target_Shared.h"
#include "platform/system/random.h"
#include "runtime/src/math/geometry.h"

namespace {

constexpr uint32_t kRenderable_Id = 0x2200003a;
constexpr uint32_t kTexture_Id = 0x2200003b;
constexpr uint32_t kStyle_Id = 0x2200003c;
constexpr uint32_t kMirror_Style_Id = 0x22000020;
constexpr uint32_t kFade_Style_Id = 0x22000040;
constexpr uint32_t kMirror_Fade_Style_Id = 0x22000041;
constexpr float kMesh_Half_Size = 10.0f;
constexpr float kFast_Hitter_Speed_Sq = 1000000.0f;
constexpr float kProjectile_Threshold = 121.0f;
constexpr float kLine_Threshold = 49.0f;
constexpr int kPieces = 3;

float Unit_Draw() { return static_cast<float>(plat::Random()) / 32768.0f; }

}  // namespace

CObject_Pool* CTarget_Box::Pool() {
  static CObject_Pool_Of<CTarget_Box, kType> pool;
  return &pool;
}

bool CTarget_Box::Init() {
  using targets::Resource;
  m_Initialised = targets::Load_Resources(
      "CTarget_Box", {Resource::Renderable(kRenderable_Id, m_Renderable), Resource::Texture(kTexture_Id, m_Texture),
                      Resource::Style(kStyle_Id, m_Style, targets::kNo_Texture),
                      Resource::Style(kMirror_Style_Id, m_Mirror_Style), Resource::Style(kFade_Style_Id, m_Fade_Style),
                      Resource::Style(kMirror_Fade_Style_Id, m_Mirror_Fade_Style)});
  return m_Initialised;
}

void CTarget_Box::Term() {
  using targets::Resource;
  targets::Release_Resources({Resource::Renderable(kRenderable_Id, m_Renderable),
                              Resource::Texture(kTexture_Id, m_Texture), Resource::Style(kStyle_Id, m_Style),
                              Resource::Style(kMirror_Style_Id, m_Mirror_Style),
                              Resource::Style(kFade_Style_Id, m_Fade_Style),
                              Resource::Style(kMirror_Fade_Style_Id, m_Mirror_Fade_Style)});
  m_Initialised = false;
  m_Spawned = false;
}

bool CTarget_Box::Spawn(const int32_t& colour, const int32_t& launch_flags, const CVector3& half_size) {
  m_Colour = colour;
  m_Launch_Flags = launch_flags;
  m_Half_Size = half_size;
  const uint32_t state = (launch_flags & kFloating) ? 0xf4u : 0x34u;
  Setup_Object(kType, 100.0f, 100.0f, state, kKind_Counted_Target);
  if (!Setup_Box_Body(35.0f, half_size, 0.35f)) return false;
  m_Box.hit_flag = 1;
  m_Box.floor_contact_flag = 1;
  m_Fast_Fade = false;
  m_Life = 15.0f;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  Set_Position(CVector3{0.0f, 0.0f, 0.0f});
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Spawned = true;
  return true;
}

// Pieces keep the target's own colour, not the colour of the hit that broke it.
bool CTarget_Box::Debris_Tint(CColor4& out) const {
  out = targets::Get_Variant_Color(m_Colour);
  return true;
}

CColor4& CTarget_Box::Get_Color(CColor4& out) const {
  out = m_Hit_Count > 0 ? targets::kHit_Color : targets::Get_Variant_Color(m_Colour);
  return out;
}

void CTarget_Box::Update(const float& dt) {
  const CVector3& g = g_World.m_Gravity;
  m_Motion.acceleration.Subtract_Assign(CVector3{0.25f * g.x, 0.25f * g.y, 0.25f * g.z});
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  m_Life -= dt;
  if (m_Life < 0.0f) {
    if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.0001f;
    m_Life = 0.0f;
  }
  if (m_Age < kGuard_Age && m_Age + dt >= kGuard_Age)
    m_State_Flags &= ~(kState_No_Object_Collision | kState_No_World_Contact);
  m_Age += dt;
  if (m_Kill_Timer == 0.0f && !(m_Value1 > 0.0f)) m_Kill_Timer = 0.001f;
  if (m_Kill_Timer != 0.0f) {
    const float f = m_Fast_Fade ? 1.0f : std::clamp(1.0f - m_Kill_Timer, 0.001f, 1.0f);
    Set_Box_Extents(CVector3{m_Half_Size.x * f, m_Half_Size.y * f, m_Half_Size.z * f});
    m_Kill_Timer += (m_Fast_Fade ? 1.0f : 0.35f) * dt;
  }
}

bool CTarget_Box::Smash_Distance(const CWorld_Object* hitter, const CShot_Line* shot, float& distance_sq,
                                 float& threshold) const {
  const CVector3& axis = m_Orientation.rows[2];
  if (shot) {
    distance_sq = LineRayDistanceSq(m_Position, axis, shot->point, shot->direction);
    threshold = kLine_Threshold;
    return true;
  }
  const CVector3 v = targets::Hitter_Velocity(hitter);
  if (!(v.Length_Squared() > kFast_Hitter_Speed_Sq)) return false;
  distance_sq = PointLineDistanceSq(hitter->m_Position, m_Position, axis);
  threshold = kProjectile_Threshold;
  return true;
}

void CTarget_Box::Smash(bool with_line) {
  CObject_Pool* debris = g_Object_Pools[CDebris_Target_Box::kType];
  for (int piece = 0; piece < kPieces && debris; ++piece) {
    auto* part = static_cast<CDebris_Target_Box*>(debris->Alloc_Object());
    if (!part) continue;
    CVector3 offset{0.0f, 0.0f, 0.0f};
    if (!part->Spawn(piece, this, &offset)) {
      debris->Free_Object(part);
      continue;
    }
    g_World.Add_Object(2, part);
    part->Set_Position(CVector3{m_Position.x + offset.x, m_Position.y + offset.y, m_Position.z + offset.z});
    part->m_Orientation = m_Orientation;
    CVector3 velocity = m_Box.velocity;
    if (with_line) {
      CVector3 kick;
      offset.Scale(Unit_Draw() * 20.0f, kick);
      velocity.Add_Assign(kick);
    }
    part->m_Box.velocity = velocity;
    m_Box.spin.Scale(0.25f, part->m_Box.spin);
  }
  g_Score_Board_Mgr.Award_Target_Hit();
}

bool CTarget_Box::On_Hit(CWorld_Object* hitter, const CShot_Line* shot) {
  if (m_Age < kGuard_Age) return false;
  if (hitter && hitter->m_Type == CEjector_Box::kType) {
    if (m_Hit_Count == 0) m_Fast_Fade = true;
    m_Kill_Timer += 0.01f;
    return false;
  }
  const targets::Target_Member& member = *targets::Find_Target_Member(kType);
  if (m_Hit_Count == 0) {
    targets::Register_First_Hit(member, *this, hitter);
    if (hitter || shot) {
      const uint32_t colour = targets::Pack_Scaled_ARGB(targets::Get_Variant_Color(m_Colour), member.colour_factor);
      targets::Emit_Sparkle_Burst(*this, colour, targets::Member_Burst(member));
    }
    m_Kind_Flags |= kKind_Excluded;
    float distance_sq = 0.0f, threshold = 0.0f;
    if (Smash_Distance(hitter, shot, distance_sq, threshold) && distance_sq < threshold) {
      Smash(shot != nullptr);
      Play_Sound_3D(kSmash_Sound, m_Position, 1.0f);
      m_Fast_Fade = true;
      ++m_Hit_Count;
      m_Kill_Timer = 1.0f;
      return shot != nullptr;
    }
    Play_Sound_3D(kHit_Sound, m_Position, 1.0f);
  }
  m_State_Flags &= ~(kState_No_World_Contact | kState_No_Gravity | kState_No_Damping);
  ++m_Hit_Count;
  return true;
}

void CTarget_Box::On_Floor_Contact(const CVector3& normal) { targets::Sphere_Floor_Contact(*this, normal); }

CMatrix4x4 CTarget_Box::World() const {
  const CVector3& h = m_Box.half_size;
  const float k = 1.0f / kMesh_Half_Size;
  return targets::World_Matrix(*this, CVector3{h.x * k, h.y * k, h.z * k});
}

uint32_t CTarget_Box::Fade_In_Factor() const {
  const float alpha = std::min(m_Age * 2.0f * 255.0f, 255.0f);
  return static_cast<uint32_t>(std::max(alpha, 0.0f)) << 24 | 0x00FFFFFFu;
}

void CTarget_Box::Render(const float& step) {
  (void)step;
  CColor4 colour;
  Get_Color(colour);
  if (m_Age >= kGuard_Age) {
    targets::Draw(m_Renderable, World(), m_Style, m_Texture, &colour, true);
  } else {
    const uint32_t factor = Fade_In_Factor();
    targets::Draw(m_Renderable, World(), m_Fade_Style, m_Texture, &colour, true, &factor);
  }
  CShadowProjector::Cast_Box_Shadow(*this);
}

void CTarget_Box::Render_Reflection(const CWorld_Mirror& mirror) {
  CColor4 colour;
  Get_Color(colour);
  const CMatrix4x4 world = targets::Mirrored(World(), mirror);
  if (m_Age >= kGuard_Age) {
    targets::Draw(m_Renderable, world, m_Mirror_Style, m_Texture, &colour, true);
  } else {
    const uint32_t factor = Fade_In_Factor();
    targets::Draw(m_Renderable, world, m_Mirror_Fade_Style, m_Texture, &colour, true, &factor);
  }
}

void CTarget_Box::Render_With_Shader(void* style, void* texture) {
  targets::Draw(m_Renderable, World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture),
                nullptr, true);
}
