#include "game/targets/CEjector_Twirler.h"

#include <algorithm>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/CTarget_Twirler.h"
#include "game/targets/Target_Shared.h"

namespace {

constexpr CVector3 kBody_Size{25.0f, 300.0f, 25.0f};
constexpr float kLight_Height = 310.0f;
constexpr uint32_t kHalo_Colour = 0x558888AA;
constexpr uint32_t kLight_Colour = 0xFF8888AA;
// The light's resources were shared with the energy source's arm, whose name its messages keep.
constexpr const char* kArm_Class = "CStruct_Energy_Source_Arm";

}  // namespace

CObject_Pool* CEjector_Twirler::Pool() {
  static CObject_Pool_Of<CEjector_Twirler, kType> pool;
  return &pool;
}

bool CEjector_Twirler::Init() {
  using R = targets::Resource;
  const bool loaded =
      targets::Load_Resources("CEjector_Twirler", {R::Renderable(0x220000B2, m_Mast), R::Renderable(0x220000B3, m_Mast_Top),
                                                   R::Texture(0x22000029, m_Mast_Texture),
                                                   R::Texture(0x22000028, m_Top_Texture)}) &&
      targets::Load_Resources(kArm_Class, {R::Texture(0x2200005C, m_Halo_Texture), R::Texture(0x22000047, m_Light_Texture)}) &&
      targets::Load_Resources("CEjector_Twirler", {R::Style(0x2200004D, m_Style)}) &&
      targets::Load_Resources(kArm_Class, {R::Style(0x22000031, m_Light_Style, targets::kNo_Texture)}) &&
      targets::Load_Resources("CEjector_Twirler", {R::Style(0x22000020, m_Mirror_Style)});
  if (!loaded) {
    Term();
    return false;
  }
  Initialised = true;
  return true;
}

void CEjector_Twirler::Term() {
  fx::Release(m_Mast);
  fx::Release(m_Mast_Top);
  fx::Release(m_Mast_Texture);
  fx::Release(m_Top_Texture);
  fx::Release(m_Halo_Texture);
  fx::Release(m_Light_Texture);
  fx::Release(m_Style);
  fx::Release(m_Light_Style);
  fx::Release(m_Mirror_Style);
  Initialised = false;
  Active = false;
}

void CEjector_Twirler::Spawn(const CVector3& position) {
  Active = false;
  Launch_Requested = false;
  m_Rise = m_Age = m_Glow = 0.0f;
  if (!ejectors::Setup_Fixed_Ejector(*this, kType, 0x04, 0x04, kBody_Size)) return;
  m_Base_Position = position;
  Set_Position(position);
  m_Orientation = CMatrix3x3::Identity;
  Active = true;
}

void CEjector_Twirler::Update(const float& dt) {
  if (m_Rise >= 1.0f && m_Kill_Timer == 0.0f) {
    if (Launch_Requested) {
      Launch();
      Launch_Requested = false;
    }
  } else {
    m_Rise = ejectors::Next_Rise(m_Rise, m_Kill_Timer, m_Age, kRise_Rate);
    Set_Position(ejectors::Raised_Position(m_Base_Position, m_Orientation.rows[1], m_Rise * m_Fixed.half_size.y * 2.0f));
  }
  m_Glow = std::max(m_Glow - kGlow_Fall * dt, 0.0f);
  m_Age += dt;
  ejectors::Death_Step(*this, dt, ejectors::kDeath_Rate);
}

void CEjector_Twirler::Launch() {
  const int32_t variant = std::min(static_cast<int32_t>(fx::Random_Unit() * 4.0f), 3);
  CVector3 at = ejectors::Raised_Position(m_Position, m_Orientation.rows[1], 0.85f * m_Fixed.half_size.y);
  at.x += fx::Random_Unit() * 2.0f - 1.0f;
  at.z += fx::Random_Unit() * 2.0f - 1.0f;
  const float a = fx::Random_Unit() - 0.5f;
  const float b = fx::Random_Unit() - 0.5f;
  CObject_Pool* pool = g_Object_Pools[CTarget_Twirler::kType];
  CWorld_Object* object = pool ? pool->Alloc_Object() : nullptr;
  if (!object) return;
  auto* twirler = static_cast<CTarget_Twirler*>(object);
  if (!twirler->Spawn(variant, this, at)) {
    ejectors::Give_Back_Unspawned(object);
    return;
  }
  g_World.Add_Object(2, twirler);
  twirler->m_Orientation = m_Orientation;
  twirler->Set_Position(at);
  twirler->m_Sphere.velocity.Set(0.0f, 0.0f, 0.0f);
  twirler->m_Sphere.spin.Set(a, 3.0f, b);
  g_Sim_Stats.Record_Launch(twirler);
}

CVector3 CEjector_Twirler::Light_Point() const {
  CVector3 point{m_Position.x, m_Position.y + kLight_Height, m_Position.z};
  const CVector3& eye = g_Camera.Position();
  point.x += (eye.x - point.x) * 0.05f;
  point.y += (eye.y - point.y) * 0.05f;
  point.z += (eye.z - point.z) * 0.05f;
  return point;
}

CMatrix4x4 CEjector_Twirler::Mast_Matrix() const { return ejectors::Scaled_World(*this, CVector3{1.0f, 1.0f, 1.0f}); }

void CEjector_Twirler::Render(const float& step) {
  (void)step;
  const CMatrix4x4 world = Mast_Matrix();
  targets::Draw(m_Mast, world, m_Style, m_Mast_Texture, nullptr, true);
  targets::Draw(m_Mast_Top, world, m_Style, m_Top_Texture, nullptr, true);
  if (m_Light_Style) {
    const CVector3 light = Light_Point();
    Draw_Billboard(light, Halo_Size(), Halo_Size(), kHalo_Colour, m_Light_Style, m_Halo_Texture);
    for (int i = 0; i < 2; ++i) {
      const float jitter = g_Game_Paused ? 0.0f : fx::Random_Unit() * 16.0f - 8.0f;
      const float size = 50.0f * m_Glow + 75.0f + jitter;
      Draw_Billboard(light, size, size, kLight_Colour, m_Light_Style, m_Light_Texture);
    }
  }
  const CVector3 foot{m_Position.x, m_Position.y - 0.8f * m_Fixed.half_size.y, m_Position.z};
  CShadowProjector::Cast_Shadow(1, foot, 1.25f * m_Fixed.half_size.x, (1.0f - m_Kill_Timer) * m_Rise * 0.75f);
}

void CEjector_Twirler::Render_Reflection(const CWorld_Mirror& mirror) {
  targets::Draw(m_Mast, targets::Mirrored(Mast_Matrix(), mirror), m_Mirror_Style, m_Mast_Texture, nullptr, true);
  if (!m_Light_Style) return;
  CVector3 light = Light_Point();
  light.Transform_By_Matrix4(mirror.transform);
  const float size = 50.0f * m_Glow + 75.0f;
  Draw_Billboard(light, size, size, kLight_Colour, m_Light_Style, m_Light_Texture);
}

void CEjector_Twirler::Render_With_Shader(void* style, void* texture) {
  targets::Draw(m_Mast, Mast_Matrix(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture),
                nullptr, true);
}
