#include "game/enemies/CEmmo_Ball.h"

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/enemies/Emmo_Shared.h"
#include "game/fx/CShadowProjector.h"
#include "game/targets/Target_Shared.h"

using namespace emmo;

namespace {

constexpr uint32_t kModel = 0x22000000;
constexpr uint32_t kTexture = 0x22000044;
constexpr uint32_t kStyle = 0x2200003C;
constexpr float kYouth = 0.5f;
constexpr float kFade_Rate = 0.35f;
constexpr float kPushed_Fade_Rate = 6.0f;

}  // namespace

CObject_Pool* CEmmo_Ball::Pool() {
  static CObject_Pool_Of<CEmmo_Ball, kType> pool;
  return &pool;
}

bool CEmmo_Ball::Init() {
  using targets::Resource;
  return targets::Load_Resources("CEmmo_Ball", {Resource::Renderable(kModel, m_Model),
                                                Resource::Texture(kTexture, m_Texture),
                                                Resource::Style(kStyle, m_Style, targets::kNo_Texture),
                                                Resource::Style(kReflection_Style, m_Mirror_Style)});
}

void CEmmo_Ball::Term() {
  using targets::Resource;
  targets::Release_Resources({Resource::Renderable(kModel, m_Model), Resource::Texture(kTexture, m_Texture),
                              Resource::Style(kStyle, m_Style), Resource::Style(kReflection_Style, m_Mirror_Style)});
}

void CEmmo_Ball::Setup(const int& variant) {
  Setup_Object(kType, 100.0f, 100.0f, 0xB4, kKind_Ammo_Flags);
  if (!Setup_Sphere_Body(5.0f, kRadius, 0.75f)) return;
  m_Variant = variant;
  m_Pushed = false;
  m_Hit_Count = 0;
  m_Age = 0.0f;
  m_Life_Left = kLife;
  m_Orientation = CMatrix3x3::Identity;
  Set_Position(CVector3{0.0f, 0.0f, 0.0f});
  m_Motion.Clear();
  m_Sphere.velocity = CVector3{0.0f, 0.0f, 0.0f};
  m_Sphere.spin = CVector3{0.0f, 0.0f, 0.0f};
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
}

CColor4 CEmmo_Ball::Get_Color() const { return Variant_Color(m_Variant, m_Hit_Count != 0); }

void CEmmo_Ball::Update(const float& dt) {
  CVector3 lift;
  g_World.m_Gravity.Scale(-0.5f, lift);
  m_Motion.acceleration.Add_Assign(lift);
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  m_Life_Left -= dt;
  if (m_Life_Left < 0.0f) {
    m_Life_Left = 0.0f;
    if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.0001f;
  }
  const bool was_young = m_Age <= kYouth;
  m_Age += dt;
  if (was_young && m_Age > kYouth) m_State_Flags &= ~kState_Young;
  Strike_On_Reach(*this, m_Collision_Radius, kSound_Impact, kReach_Strength);
  if (m_Kill_Timer == 0.0f && m_Value1 <= 0.0f) m_Kill_Timer = 0.001f;
  if (m_Kill_Timer == 0.0f) return;
  Set_Sphere_Radius(kRadius * (m_Pushed ? 1.0f : Shrink_Factor(m_Kill_Timer)));
  m_Kill_Timer += dt * (m_Pushed ? kPushed_Fade_Rate : kFade_Rate);
}

bool CEmmo_Ball::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kYouth) return false;
  if (Has_Kind(other, kKind_Emmo)) return true;
  if (Has_Kind(other, kKind_Pushes)) {
    if (m_Hit_Count == 0) {
      m_Pushed = true;
      m_State_Flags |= kState_No_Object_Collision;
    }
    m_Kill_Timer += 0.01f;
    return true;
  }
  if (m_Hit_Count == 0) {
    if (Is_Player_Shot(other)) Register_Hit(*this, other);
    if (other || shot) Hit_Burst(*this, m_Sphere.velocity, Pack_Scaled(Get_Color(), 3.0f), kRound_Burst);
    m_Kind_Flags |= kKind_Spent;
  }
  m_State_Flags &= ~kState_Falls;
  ++m_Hit_Count;
  return true;
}

void CEmmo_Ball::On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
  (void)strength;
  (void)contact;
  targets::Sphere_Floor_Contact(*this, normal);
}

CMatrix4x4 CEmmo_Ball::World() const {
  const float s = m_Collision_Radius * kSphere_Model_Scale;
  return World_Matrix(m_Orientation, m_Position, CVector3{s, s, s});
}

void CEmmo_Ball::Render(const float& step) {
  (void)step;
  const CColor4 colour = Get_Color();
  Normalize_Normals(true);
  Draw(m_Model, World(), m_Style, m_Texture, nullptr, &colour);
  Normalize_Normals(false);
  CShadowProjector::Cast_Sphere_Shadow(*this, kRound_Shadow_Fade);
}

void CEmmo_Ball::Render_Reflection(const CWorld_Mirror& mirror) {
  const CColor4 colour = Get_Color();
  Normalize_Normals(true);
  Draw(m_Model, Mirrored(World(), mirror), m_Mirror_Style, m_Texture, nullptr, &colour);
  Normalize_Normals(false);
}

void CEmmo_Ball::Render_With_Shader(void* style, void* texture) {
  Normalize_Normals(true);
  Draw(m_Model, World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture), m_Texture);
  Normalize_Normals(false);
}
