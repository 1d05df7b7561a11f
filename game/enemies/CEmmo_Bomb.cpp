#include "game/enemies/CEmmo_Bomb.h"

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/enemies/Emmo_Shared.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Draw_Helpers.h"
#include "game/targets/Target_Shared.h"

using namespace emmo;

namespace {

constexpr uint32_t kModel = 0x22000000;
constexpr uint32_t kTexture = 0x22000044;
constexpr uint32_t kStyle = 0x2200003C;
constexpr uint32_t kFlash_Style = 0x22000050;
constexpr float kYouth = 0.5f;
constexpr float kLife = 15.0f;
constexpr float kFade_Rate = 0.35f;
constexpr float kExplosion_Rate = 1.5f;
constexpr float kStrength = 0.5f;
constexpr uint32_t kScorch_Colour = 0xFF6666FF;
constexpr uint32_t kFlash_Colour = 0xFF3366FF;
constexpr float kBody_Scale = 0.75f;

}  // namespace

CObject_Pool* CEmmo_Bomb::Pool() {
  static CObject_Pool_Of<CEmmo_Bomb, kType> pool;
  return &pool;
}

bool CEmmo_Bomb::Init() {
  using targets::Resource;
  return targets::Load_Resources("CEmmo_Bomb", {Resource::Renderable(kModel, m_Model),
                                                Resource::Texture(kTexture, m_Texture),
                                                Resource::Style(kStyle, m_Style, targets::kNo_Texture),
                                                Resource::Style(kFlash_Style, m_Flash_Style, targets::kNo_Texture),
                                                Resource::Style(kReflection_Style, m_Mirror_Style)});
}

void CEmmo_Bomb::Term() {
  using targets::Resource;
  targets::Release_Resources({Resource::Renderable(kModel, m_Model), Resource::Texture(kTexture, m_Texture),
                              Resource::Style(kStyle, m_Style), Resource::Style(kFlash_Style, m_Flash_Style),
                              Resource::Style(kReflection_Style, m_Mirror_Style)});
}

bool CEmmo_Bomb::Setup(const CVector3& trail_start) {
  Setup_Object(kType, 100.0f, 100.0f, 0x36, kKind_Ammo_Flags);
  if (!Setup_Sphere_Body(5.0f, kRadius, 0.75f)) return false;
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  m_Exploded = false;
  m_Age = 0.0f;
  m_Explosion = 0.0f;
  m_Hit_Count = 0;
  Set_Position(CVector3{0.0f, 0.0f, 0.0f});
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Trail.Setup(trail_start, 0xFF2222FF, 8.5f, 30.0f);
  return true;
}

void CEmmo_Bomb::Update(const float& dt) {
  CVector3 lift;
  g_World.m_Gravity.Scale(-0.65f, lift);
  m_Motion.acceleration.Add_Assign(lift);
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  Grow_Old(*this, m_Age, dt, kYouth, kLife);
  if (Blast_Step(*this, m_Explosion, kExplosion_Rate, kRadius, kFade_Rate, dt)) Explode();
}

void CEmmo_Bomb::Explode() {
  m_Explosion = 0.0f;
  Blast_Strike(m_Position, kStrength);
}

void CEmmo_Bomb::On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
  (void)strength;
  (void)contact;
  if (targets::Is_Boundary_Wall(normal)) return;
  m_State_Flags &= ~(kState_No_Object_Collision | kState_No_Gravity | kState_No_Damping);
  if (m_Kill_Timer != 0.0f) return;
  if (m_Explosion == 0.0f) {
    const CVector3 ground{m_Position.x, g_World.Get_Height(m_Position.x, m_Position.z), m_Position.z};
    Place_World_Decal_Random(2, ground, 75.0f, 4.0f, kScorch_Colour);
    Play_Sound(kSound_Landing, m_Position);
    m_Exploded = true;
    m_Explosion_Point = m_Position;
    m_Explosion = 0.01f;
  }
  m_Kill_Timer = 0.01f;
}

bool CEmmo_Bomb::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kYouth) return false;
  if (Has_Kind(other, kKind_Emmo)) return true;
  if (m_Hit_Count == 0 && m_Kill_Timer == 0.0f) {
    const bool spent_counted = other && (other->m_Kind_Flags & (kKind_Counted | kKind_Spent)) ==
                                            (kKind_Counted | kKind_Spent);
    if (Is_Player_Shot(other) || spent_counted) Register_Hit(*this, other);
    if (other || shot) Hit_Burst(*this, m_Sphere.velocity, kScorch_Colour, kRound_Burst);
    m_Kind_Flags |= kKind_Spent;
    m_Kill_Timer += 0.01f;
  }
  m_State_Flags &= ~kState_Falls;
  ++m_Hit_Count;
  return true;
}

CColor4 CEmmo_Bomb::Colour() const {
  return m_Kill_Timer != 0.0f ? CColor4{0.0f, 0.0f, 0.0f, 1.0f} : CColor4{0.35f, 0.35f, 1.0f, 1.0f};
}

CMatrix4x4 CEmmo_Bomb::World() const {
  const float s = Alpha_Factor(m_Kill_Timer) * m_Collision_Radius * kSphere_Model_Scale * kBody_Scale;
  return World_Matrix(m_Orientation, m_Position, CVector3{s, s, s});
}

void CEmmo_Bomb::Render(const float& step) {
  const CColor4 colour = Colour();
  Normalize_Normals(true);
  if (!m_Exploded) Draw(m_Model, World(), m_Style, m_Texture, nullptr, &colour);
  Normalize_Normals(false);
  m_Trail.Update(step, m_Position);
  const float a = Alpha_Factor(m_Kill_Timer);
  m_Trail.Render(m_Position, a * a);
  m_Trail.Render(m_Position, a * a);
  CShadowProjector::Cast_Sphere_Shadow(*this, kRound_Shadow_Fade);
  if (m_Explosion != 0.0f) Draw_Blast(m_Model, m_Explosion_Point, m_Explosion, m_Flash_Style, m_Texture, kFlash_Colour);
}

void CEmmo_Bomb::Render_Reflection(const CWorld_Mirror& mirror) {
  Draw_Reflection(m_Model, World(), mirror, m_Mirror_Style, m_Texture, Colour());
}
