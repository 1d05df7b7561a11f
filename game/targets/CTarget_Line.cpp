#include "game/targets/CTarget_Line.h"

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/FX_Resources.h"
#include "game/targets/Target_Shared.h"

namespace {

constexpr Growing_Box_Rules kLine_Rules{CTarget_Line::kType, 250.0f, 0.15f, 0xF4, 1.15f, 0.85f, false, false};

constexpr CColor4 kLine_Colours[4] = {{0.5f, 1.0f, 0.5f, 1.0f}, {1.0f, 1.0f, 0.4f, 1.0f}, {1.0f, 0.4f, 1.0f, 1.0f},
                                      {1.0f, 0.5f, 0.5f, 1.0f}};
constexpr int kBurst_Count = 35;

}  // namespace

CTarget_Line::CTarget_Line() : CGrowing_Box_Target(kLine_Rules) {}

CObject_Pool* CTarget_Line::Pool() {
  static CObject_Pool_Of<CTarget_Line, kType> pool;
  return &pool;
}

bool CTarget_Line::Init() {
  using R = targets::Resource;
  if (!targets::Load_Resources("CTarget_Line", {R::Renderable(0x2200010C, m_Model), R::Texture(0x2200003B, m_Texture),
                                                R::Style(0x2200003C, m_Style), R::Style(0x22000020, m_Mirror_Style)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

CColor4 CTarget_Line::Get_Color() const {
  if (m_Hit_Count > 0) return targets::kHit_Color;
  return m_Variant >= 0 && m_Variant < 4 ? kLine_Colours[m_Variant] : CColor4{1.0f, 1.0f, 1.0f, 1.0f};
}

bool CTarget_Line::Refuses(const CWorld_Object* other) const {
  return other && !(other->m_Kind_Flags & kKind_Shot);
}

void CTarget_Line::On_Later_Hit() {
  CVector3 slowed;
  m_Box.velocity.Scale(0.1f, slowed);
  m_Box.velocity = slowed;
}

void CTarget_Line::After_Hit() {
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.01f;
}

bool CTarget_Line::Before_Move() {
  if (m_Kill_Timer == 0.0f) return false;
  // A dying line slows to a stop.
  const CVector3 velocity = m_Box.velocity, spin = m_Box.spin;
  velocity.Scale(0.25f, m_Box.velocity);
  spin.Scale(0.25f, m_Box.spin);
  return true;
}

bool CTarget_Line::Outside_Arena() const {
  const float half = m_Box.half_size.x;
  const auto& t = g_World.m_Terrain;
  return m_Position.x > t.size_x - half || m_Position.z > t.size_z - half || m_Position.x < half ||
         m_Position.z < g_Camera.Position().z;
}

void CTarget_Line::After_Move() {
  if (m_Kill_Timer != 0.0f || !(m_Age > 1.15f) || !Outside_Arena()) return;
  m_Kill_Timer = 0.01f;
  m_State_Flags |= kState_No_World_Contact;
}

void CTarget_Line::Burst(uint32_t packed_colour) {
  const CVector3& h = m_Box.half_size;
  const CVector3& v = m_Box.velocity;
  const CMatrix3x3& m = m_Orientation;
  for (int i = 0; i < kBurst_Count; ++i) {
    const float s = (1.0f + fx::Random_Unit()) * 0.025f;
    const float a = (3.0f * fx::Random_Unit() - 1.5f) * h.x;
    const float b = (3.0f * fx::Random_Unit() - 1.5f) * h.y;
    const float c = (3.0f * fx::Random_Unit() - 1.5f) * h.z;
    const CVector3 offset{v.x * s + m.rows[0].x * a + m.rows[1].x * b + m.rows[2].x * c,
                          v.y * s + m.rows[0].y * a + m.rows[1].y * b + m.rows[2].y * c,
                          v.z * s + m.rows[0].z * a + m.rows[1].z * b + m.rows[2].z * c};
    const float size = 45.0f + 50.0f * fx::Random_Unit();
    const float life = 0.15f + 1.85f * fx::Random_Unit();
    const float gravity = 0.1f + 0.15f * fx::Random_Unit();
    const CVector3 at{m_Position.x + offset.x, m_Position.y + offset.y, m_Position.z + offset.z};
    if (!g_Particle_Sparkle_Mgr.Add_Particle(at, offset, size, life, packed_colour, gravity, kSparkle_Size_Fades))
      return;
  }
}

void CTarget_Line::Render(const float& step) {
  (void)step;
  const CColor4 colour = Get_Color();
  targets::Draw(m_Model, Growth_Matrix(), m_Style, m_Texture, &colour, m_Growth != 1.0f);
  CShadowProjector::Cast_Box_Shadow(*this);
}

void CTarget_Line::Render_Reflection(const CWorld_Mirror& mirror) {
  const CColor4 colour = Get_Color();
  targets::Draw(m_Model, targets::Mirrored(Growth_Matrix(), mirror), m_Mirror_Style, m_Texture, &colour,
                m_Growth != 1.0f);
}

void CTarget_Line::Render_With_Shader(void* style, void* texture) {
  targets::Draw(m_Model, Growth_Matrix(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture),
                nullptr, m_Growth != 1.0f);
}
