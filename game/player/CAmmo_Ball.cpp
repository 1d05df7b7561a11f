#include "game/player/CAmmo_Ball.h"

#include <algorithm>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/fx/CShadowProjector.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/Gun_Resources.h"

using namespace arsenal;

namespace {

constexpr uint32_t kFar_Model = 0x22000001;
constexpr uint32_t kNear_Model = 0x22000000;
constexpr uint32_t kTexture = 0x2200001D;
constexpr uint32_t kStyle = 0x2200001E;
constexpr uint32_t kReflection_Style = 0x22000020;
constexpr float kReduced_Gravity = 0.8f;  // taken off the gravity until the first contact
constexpr float kShrink_Rate = 0.1f;
constexpr float kModel_Scale = 0.22222222f;
constexpr float kFar_Ratio = 75.0f;
constexpr float kShadow_Fade = 0.003f;  // the shadow is gone a third of a thousand units up

bool Fail(CAmmo_Ball& ball, const char* message) {
  Show_Message("%s", message);
  ball.Term();
  return false;
}

}  // namespace

CObject_Pool* CAmmo_Ball::Pool() {
  static CObject_Pool_Of<CAmmo_Ball, kType> pool;
  if (g_Object_Pools[kType] != &pool) Register_Object_Pool(kType, &pool);
  return &pool;
}

bool CAmmo_Ball::Init() {
  if (!(m_Far_Model = Get_Model(kFar_Model)) || !(m_Near_Model = Get_Model(kNear_Model)))
    return Fail(*this, "Error in CAmmo_Ball\nUnable to create renderable object...");
  if (!(m_Texture = Get_Texture(kTexture)) || !(m_Style = Get_Style(kStyle)))
    return Fail(*this, "Error in CAmmo_Ball\nUnable to load texture...");
  if (!(m_Reflection_Style = Get_Style(kReflection_Style)))
    return Fail(*this, "Error in CAmmo_Ball\nUnable to load shader...");
  m_Loaded = 1;
  return true;
}

void CAmmo_Ball::Term() {
  Release(m_Far_Model);
  Release(m_Near_Model);
  Release(m_Texture);
  Release(m_Style);
  Release(m_Reflection_Style);
  m_Loaded = 0;
  m_Live = 0;
}

void CAmmo_Ball::Spawn(int variant) {
  m_Variant = variant;
  Setup_Object(kType, 100.0f, 100.0f, kState_Reflected, kKind_Shot);
  if (!Setup_Sphere_Body(50.0f, kBase_Radius, 0.15f)) return;
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  Set_Position(CVector3{0.0f, 0.0f, 0.0f});
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Sphere.velocity = CVector3{0.0f, 0.0f, 0.0f};
  m_Sphere.spin = CVector3{0.0f, 0.0f, 0.0f};
  m_Has_Hit = 0;
  m_Touched_Floor = 0;
  m_Base_Radius = kBase_Radius;
  m_Life = kLife;
  m_Hit_Count = 0;
  m_Live = 1;
}

bool CAmmo_Ball::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  (void)shot;
  if (other && (other->m_Kind_Flags & (kKind_Counted_Target | kKind_Target)) && other->m_Kill_Timer == 0.0f &&
      !(other->m_Kind_Flags & kKind_Excluded))
    ++m_Hit_Count;
  m_Has_Hit = 1;
  return true;
}

void CAmmo_Ball::On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
  (void)strength;
  (void)contact;
  (void)normal;
  m_Has_Hit = 1;
  m_Touched_Floor = 1;
}

void CAmmo_Ball::Update(const float& dt) {
  Collide_Sphere_World(m_Motion);
  if (!m_Has_Hit) m_Motion.acceleration = Sub(m_Motion.acceleration, Mul(g_World.m_Gravity, kReduced_Gravity));
  Integrate_Sphere(m_Motion, dt);
  m_Life -= dt;
  if (m_Life < 0.0f) {
    if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.0001f;
    m_Life = 0.0f;
  }
  if (m_Kill_Timer == 0.0f && !(m_Value1 > 0.0f)) m_Kill_Timer = 0.001f;
  if (m_Kill_Timer == 0.0f) return;
  Set_Sphere_Radius(m_Base_Radius * std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f));
  m_Kill_Timer += kShrink_Rate * dt;
}

CMatrix4x4 CAmmo_Ball::World_Matrix() const {
  const float scale = m_Collision_Radius * kModel_Scale;
  return Scaled_Frame(m_Orientation, m_Position, scale, scale, scale);
}

CRenderableObject* CAmmo_Ball::Model_By_Distance() const {
  const float distance = Length(Sub(m_Position, g_Camera.Position()));
  return distance / m_Collision_Radius > kFar_Ratio ? m_Far_Model : m_Near_Model;
}

void CAmmo_Ball::Render(const float& step) {
  (void)step;
  if (m_Collision_Radius < 0.1f) return;
  // Only variant 0 has resources; any other draws as 0.
  Normalize_Normals(true);
  Draw_Model(Model_By_Distance(), World_Matrix(), m_Style, m_Texture);
  Normalize_Normals(false);
  CShadowProjector::Cast_Sphere_Shadow(*this, kShadow_Fade);
}

void CAmmo_Ball::Render_Reflection(const CWorld_Mirror& mirror) {
  if (m_Collision_Radius < 0.1f) return;
  CMatrix4x4 world;
  World_Matrix().Multiply(mirror.transform, world);
  Normalize_Normals(true);
  Draw_Model(m_Far_Model, world, m_Reflection_Style, m_Texture);
  Normalize_Normals(false);
}

void CAmmo_Ball::Render_With_Shader(void* style, void* texture) {
  if (m_Collision_Radius < 0.1f) return;
  Draw_Model(Model_By_Distance(), World_Matrix(), static_cast<CD3DRenderStyle*>(style),
             static_cast<CTextureData*>(texture), m_Texture);
}
