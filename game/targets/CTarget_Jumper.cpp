#include "game/targets/CTarget_Jumper.h"

#include <algorithm>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/targets/Target_Shared.h"

namespace {

constexpr Rolling_Ball_Rules kJumper_Rules{CTarget_Jumper::kType, 10.0f, 50.0f, 0.5f, 25.0f, 3.25f, false};
constexpr float kJump_Speed = 400.0f;
constexpr float kGlow_Fall = 0.45f;

}  // namespace

CTarget_Jumper::CTarget_Jumper() : CRolling_Ball_Target(kJumper_Rules) {}

CObject_Pool* CTarget_Jumper::Pool() {
  static CObject_Pool_Of<CTarget_Jumper, kType> pool;
  return &pool;
}

bool CTarget_Jumper::Init() {
  using R = targets::Resource;
  if (!targets::Load_Resources("CTarget_Jumper",
                               {R::Renderable(0x22000114, m_Model), R::Texture(0x22000044, m_Texture),
                                R::Texture(0x2200005C, m_Glow_Texture), R::Style(0x2200003C, m_Style),
                                R::Style(0x22000031, m_Glow_Style), R::Style(0x22000020, m_Mirror_Style)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CTarget_Jumper::Term() {
  fx::Release(m_Glow_Texture);
  fx::Release(m_Glow_Style);
  CRolling_Ball_Target::Term();
}

bool CTarget_Jumper::Spawn(const int32_t& variant, const int32_t& direction) {
  m_Jump_Request = false;
  m_Jump_Glow = 0.0f;
  m_Packed_Colour = targets::Pack_Scaled_ARGB(targets::Get_Variant_Color(variant), 1.0f);
  return CRolling_Ball_Target::Spawn(variant, direction);
}

// Direction 0 rolls along +x, 1 along -x (spin about z), 2 towards the camera (spin about x).
void CTarget_Jumper::Drive() {
  CVector3& torque = m_Motion.torque;
  const CVector3& spin = m_Sphere.spin;
  switch (m_Direction) {
    case 0: Drive_Axis(torque.z, spin.z, -10.0f); break;
    case 1: Drive_Axis(torque.z, spin.z, 10.0f); break;
    case 2: Drive_Axis(torque.x, spin.x, -15.0f); break;
    default: break;
  }
}

void CTarget_Jumper::Before_Move(float dt) {
  if (m_Jump_Request) {
    m_Jump_Request = false;
    const float ground = g_World.Has_Terrain() ? g_World.Get_Height(m_Position.x, m_Position.z) : 0.0f;
    if (m_Position.y - ground - m_Rules.radius < kJump_Reach) {
      m_Jump_Glow = 1.0f;
      m_Motion.acceleration.y += kJump_Speed / std::max(dt, 0.0001f);
    }
  }
  m_Jump_Glow = std::max(m_Jump_Glow - kGlow_Fall * dt, 0.0f);
}

bool CTarget_Jumper::Ignores(const CWorld_Object* other) const {
  return other && (other->m_Type == kType || !(other->m_Kind_Flags & kKind_Shot));
}

// The wall it rolls away from: x = 0 behind direction 0, x = X behind 1, the far wall behind 2.
bool CTarget_Jumper::Survives_Wall(const CVector3& normal) const {
  switch (m_Direction) {
    case 0: return normal.x == 1.0f;
    case 1: return normal.x == -1.0f;
    case 2: return normal.z == -1.0f;
    default: return false;
  }
}

void CTarget_Jumper::Render(const float& step) {
  (void)step;
  const CColor4 colour = Get_Color();
  targets::Draw(m_Model, Ball_Matrix(), m_Style, m_Texture, &colour, m_Kill_Timer > 0.0f);
  CShadowProjector::Cast_Sphere_Shadow(*this, 0.003f);
  Draw_Glow();
}

void CTarget_Jumper::Draw_Glow() {
  const float b = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f);
  const float g = m_Jump_Glow;
  const float f = b + 1.25f * (g > 0.8f ? 1.0f - (g - 0.8f) * 5.0f : 1.25f * g);
  const uint32_t rgb = m_Packed_Colour & 0x00FFFFFFu;
  const uint32_t core = std::min(255u, fx::Clamp_Byte(255.0f * f)) << 24 | rgb;
  for (int i = 0; i < 3; ++i) Draw_Billboard(m_Position, 25.0f * f, 25.0f * f, core, m_Glow_Style, m_Glow_Texture);
  const uint32_t halo = fx::Clamp_Byte(0.2f * 255.0f * f) << 24 | rgb;
  Draw_Billboard(m_Position, 85.0f * f * f, 85.0f * f * f, halo, m_Glow_Style, m_Glow_Texture);
}

void CTarget_Jumper::Render_Reflection(const CWorld_Mirror& mirror) {
  const CColor4 colour = Get_Color();
  targets::Draw(m_Model, targets::Mirrored(Ball_Matrix(), mirror), m_Mirror_Style, m_Texture, &colour,
                m_Kill_Timer > 0.0f);
}

void CTarget_Jumper::Render_With_Shader(void* style, void* texture) {
  targets::Draw(m_Model, Ball_Matrix(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture),
                nullptr, m_Kill_Timer > 0.0f);
}
