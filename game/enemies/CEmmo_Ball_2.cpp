#include "game/enemies/CEmmo_Ball_2.h"

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/enemies/Emmo_Shared.h"
#include "game/fx/CShadowProjector.h"
#include "game/targets/Target_Shared.h"
#include "game/warroom/CWarRoom_Sim.h"

using namespace emmo;

namespace {

constexpr uint32_t kModel = 0x22000000;
constexpr uint32_t kTexture = 0x2200003B;
constexpr uint32_t kStyle = 0x2200003C;
constexpr float kLife = 15.0f;
constexpr float kHoming_Pull = 825.0f;
constexpr float kHoming_Damping = 1.5f;
constexpr float kFade_Rate = 2.35f;

}  // namespace

CObject_Pool* CEmmo_Ball_2::Pool() {
  static CObject_Pool_Of<CEmmo_Ball_2, kType> pool;
  return &pool;
}

bool CEmmo_Ball_2::Init() {
  using targets::Resource;
  return targets::Load_Resources("CEmmo_Ball_2", {Resource::Renderable(kModel, m_Model),
                                                  Resource::Texture(kTexture, m_Texture),
                                                  Resource::Style(kStyle, m_Style, targets::kNo_Texture),
                                                  Resource::Style(kReflection_Style, m_Mirror_Style)});
}

void CEmmo_Ball_2::Term() {
  using targets::Resource;
  targets::Release_Resources({Resource::Renderable(kModel, m_Model), Resource::Texture(kTexture, m_Texture),
                              Resource::Style(kStyle, m_Style), Resource::Style(kReflection_Style, m_Mirror_Style)});
}

bool CEmmo_Ball_2::Spawn(const int* variant, const CVector3* start) {
  Setup_Object(kType, 1.0f, 1.0f, 0x44, kKind_Ammo_Flags);
  if (!Setup_Sphere_Body(12.0f, kRadius, 0.5f)) return false;
  m_Variant = variant ? *variant : 0;
  m_Hit_Player = false;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Sphere.hit_flag = 1;
  const CVector3 place = start ? *start : CVector3{0.0f, 0.0f, 0.0f};
  Set_Position(place);
  m_Motion.Clear();
  m_Trail.Setup(place, Pack_Scaled(Variant_Color(m_Variant, false), 1.0f), 2.5f, 8.0f);
  return true;
}

CColor4 CEmmo_Ball_2::Colour() const { return Variant_Color(m_Variant, m_Hit_Count != 0); }

void CEmmo_Ball_2::Update(const float& dt) {
  if (m_Kill_Timer == 0.0f) {
    const CVector3 d = Unit_Towards(m_Position, g_Camera.Position(), 0.001f);
    const float pull = kHoming_Pull * g_Difficulty_Factor * g_Difficulty_Factor;
    Pull_Towards(m_Sphere.velocity, d, CVector3{pull, pull, pull},
                 CVector3{kHoming_Damping, kHoming_Damping, kHoming_Damping}, dt);
  }
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  if (Pass_Or_Strike(*this, m_Collision_Radius, 1.0f)) m_Hit_Player = true;
  m_Age += dt;
  if (Fade_Started(*this, m_Age, kLife)) Fade_Sphere(*this, kRadius, kFade_Rate, dt);
}

bool CEmmo_Ball_2::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (Has_Kind(other, kKind_Emmo)) return false;
  if (other && !Is_Player_Shot(other)) return true;
  if (m_Hit_Count == 0) {
    if (Is_Player_Shot(other)) Register_Hit(*this, other);
    if (other || shot) Hit_Burst(*this, m_Sphere.velocity, Pack_Scaled(Colour(), 3.0f), kRound_Burst);
    m_Kind_Flags |= kKind_Spent;
  }
  m_State_Flags &= ~kState_No_Gravity;
  ++m_Hit_Count;
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.001f;
  return true;
}

CMatrix4x4 CEmmo_Ball_2::World() const {
  const float s = m_Collision_Radius * kSphere_Model_Scale;
  return World_Matrix(m_Orientation, m_Position, CVector3{s, s, s});
}

void CEmmo_Ball_2::Render(const float& step) {
  if (m_Hit_Player) return;
  const CColor4 colour = Colour();
  Normalize_Normals(true);
  Draw(m_Model, World(), m_Style, m_Texture, nullptr, &colour);
  Normalize_Normals(false);
  CShadowProjector::Cast_Sphere_Shadow(*this, kRound_Shadow_Fade);
  m_Trail.Update(step, m_Position);
  const float a = Alpha_Factor(m_Kill_Timer);
  m_Trail.Render(m_Position, a * a);
}

void CEmmo_Ball_2::Render_Reflection(const CWorld_Mirror& mirror) {
  if (m_Hit_Player) return;
  const CColor4 colour = Colour();
  Normalize_Normals(true);
  Draw(m_Model, Mirrored(World(), mirror), m_Mirror_Style, m_Texture, nullptr, &colour);
  Normalize_Normals(false);
}

void CEmmo_Ball_2::Render_With_Shader(void* style, void* texture) {
  if (m_Hit_Player) return;
  Normalize_Normals(true);
  Draw(m_Model, World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture), m_Texture);
  Normalize_Normals(false);
}
