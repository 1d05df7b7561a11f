#include "game/enemies/CEmmo_Crystal_1.h"

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/enemies/Emmo_Shared.h"
#include "game/fx/CShadowProjector.h"
#include "game/targets/Target_Shared.h"
#include "game/warroom/CWarRoom_Sim.h"

using namespace emmo;

namespace {

constexpr uint32_t kModel = 0x220000DA;
constexpr uint32_t kTexture = 0x22000025;
constexpr uint32_t kStyle = 0x220000D4;
constexpr float kLife = 15.0f;
constexpr float kFade_Rate = 2.35f;
constexpr uint32_t kBurst_Colour = 0xFF88FF88;
constexpr uint32_t kBlend_Colour = 0xFF006600;
constexpr uint32_t kSpent_Blend_Colour = 0x00000001;

}  // namespace

CObject_Pool* CEmmo_Crystal_1::Pool() {
  static CObject_Pool_Of<CEmmo_Crystal_1, kType> pool;
  return &pool;
}

bool CEmmo_Crystal_1::Init() {
  using targets::Resource;
  return targets::Load_Resources("CEmmo_Crystal_1", {Resource::Renderable(kModel, m_Model),
                                                     Resource::Texture(kTexture, m_Texture),
                                                     Resource::Style(kStyle, m_Style, targets::kNo_Texture),
                                                     Resource::Style(kReflection_Style, m_Mirror_Style)});
}

void CEmmo_Crystal_1::Term() {
  using targets::Resource;
  targets::Release_Resources({Resource::Renderable(kModel, m_Model), Resource::Texture(kTexture, m_Texture),
                              Resource::Style(kStyle, m_Style), Resource::Style(kReflection_Style, m_Mirror_Style)});
}

void CEmmo_Crystal_1::Setup(const CVector3& start) {
  Setup_Object(kType, 1.0f, 1.0f, 0x44, kKind_Ammo_Flags);
  if (!Setup_Sphere_Body(25.0f, kRadius, 0.5f)) return;
  m_Hit_Player = false;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Sphere.hit_flag = 1;
  Set_Position(start);
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
}

void CEmmo_Crystal_1::Update(const float& dt) {
  if (m_Kill_Timer == 0.0f) {
    const CVector3 d = Unit_Towards(m_Position, g_Camera.Position(), 0.001f);
    const float k = g_Difficulty_Factor;
    Pull_Towards(m_Sphere.velocity, d, CVector3{900.0f * k, 600.0f * k, 600.0f * k}, CVector3{0.75f, 0.55f, 0.55f},
                 dt);
  }
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  if (Pass_Or_Strike(*this, m_Collision_Radius, 1.0f)) m_Hit_Player = true;
  m_Age += dt;
  if (Fade_Started(*this, m_Age, kLife)) Fade_Sphere(*this, kRadius, kFade_Rate, dt);
}

bool CEmmo_Crystal_1::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (Has_Kind(other, kKind_Emmo | kKind_Boss)) return false;
  if (m_Hit_Count == 0) {
    if (other || shot) Hit_Burst(*this, m_Sphere.velocity, kBurst_Colour, kRound_Burst);
    Play_Sound(kSound_Broken, m_Position);
    m_Kind_Flags |= kKind_Spent;
  }
  ++m_Hit_Count;
  m_State_Flags &= ~kState_No_Gravity;
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.001f;
  return true;
}

CMatrix4x4 CEmmo_Crystal_1::World() const {
  const float s = m_Kill_Timer != 0.0f ? m_Collision_Radius / kRadius : 1.0f;
  return World_Matrix(m_Orientation, m_Position, CVector3{s, s, s});
}

void CEmmo_Crystal_1::Render(const float& step) {
  (void)step;
  if (m_Hit_Player) return;
  const uint32_t blend = (m_Kind_Flags & kKind_Spent) ? kSpent_Blend_Colour : kBlend_Colour;
  const bool fading = m_Kill_Timer != 0.0f;
  if (fading) Normalize_Normals(true);
  Draw(m_Model, World(), m_Style, m_Texture, nullptr, nullptr, &blend);
  if (fading) Normalize_Normals(false);
  CShadowProjector::Cast_Sphere_Shadow(*this, kRound_Shadow_Fade);
}

void CEmmo_Crystal_1::Render_Reflection(const CWorld_Mirror& mirror) {
  if (m_Hit_Player) return;
  Draw(m_Model, Mirrored(World(), mirror), m_Mirror_Style, m_Texture);
}

void CEmmo_Crystal_1::Render_With_Shader(void* style, void* texture) {
  if (m_Hit_Player) return;
  Draw(m_Model, World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture), m_Texture);
}
