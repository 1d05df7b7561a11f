#include "game/enemies/CEmmo_Roller.h"

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/enemies/Emmo_Shared.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Draw_Helpers.h"
#include "game/sim/Launch_Helpers.h"
#include "game/targets/Target_Shared.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"

using namespace emmo;

namespace {

constexpr uint32_t kModel = 0x22000000;
constexpr uint32_t kTexture = 0x22000045;
constexpr uint32_t kStyle = 0x22000058;
constexpr uint32_t kFade_Style = 0x2200004D;
constexpr float kYouth = 0.75f;
constexpr float kLife = 25.0f;
constexpr float kFade_Rate = 0.35f;
constexpr float kRoll_Torque = 15.0f;
constexpr float kRoll_Spin = 6.5f;
constexpr float kLane_Torque = 0.25f;
constexpr float kLeap_Time = 4.0f;
constexpr int kLeap_Dust = 10;
constexpr int kLanding_Clods = 6;
constexpr float kLanding_Clod_Scale = 0.5f;
constexpr int kLanding_Dust = 25;

float R() { return static_cast<float>(plat::Random()) / 32768.0f; }

}  // namespace

CObject_Pool* CEmmo_Roller::Pool() {
  static CObject_Pool_Of<CEmmo_Roller, kType> pool;
  return &pool;
}

bool CEmmo_Roller::Init() {
  using targets::Resource;
  return targets::Load_Resources("CEmmo_Roller", {Resource::Renderable(kModel, m_Model),
                                                  Resource::Texture(kTexture, m_Texture),
                                                  Resource::Style(kStyle, m_Style, targets::kNo_Texture),
                                                  Resource::Style(kFade_Style, m_Fade_Style, targets::kNo_Texture),
                                                  Resource::Style(kReflection_Style, m_Mirror_Style)});
}

void CEmmo_Roller::Term() {
  using targets::Resource;
  targets::Release_Resources({Resource::Renderable(kModel, m_Model), Resource::Texture(kTexture, m_Texture),
                              Resource::Style(kStyle, m_Style), Resource::Style(kFade_Style, m_Fade_Style),
                              Resource::Style(kReflection_Style, m_Mirror_Style)});
}

void CEmmo_Roller::Spawn(const int* variant) {
  m_Variant = variant ? *variant : 0;
  Setup_Object(kType, 100.0f, 100.0f, 0x04, kKind_Ammo_Flags);
  if (!Setup_Sphere_Body(75.0f, kRadius, 0.05f)) return;
  m_Landed = false;
  m_Jumped = false;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  Set_Position(CVector3{0.0f, 0.0f, 0.0f});
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
}

void CEmmo_Roller::Update(const float& dt) {
  if (m_Kill_Timer == 0.0f) {
    const float k = g_Difficulty_Factor;
    if (m_Sphere.spin.x > -kRoll_Spin * k * k) m_Motion.torque.x -= kRoll_Torque;
    const float world_x = g_World.m_Terrain.size_x;
    if (m_Position.x > 0.75f * world_x) m_Motion.torque.z += kLane_Torque;
    if (m_Position.x < 0.25f * world_x) m_Motion.torque.z -= kLane_Torque;
  }
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  if (!m_Jumped && m_Position.z < kLeap_Depth && m_Kill_Timer == 0.0f) Leap();
  m_Age += dt;
  if (m_Age > kLife && m_Kill_Timer == 0.0f) m_Kill_Timer = 0.0001f;
  if (m_Position.z < g_Camera.Position().z) m_Kill_Timer = 1.0f;
  if (m_Kill_Timer == 0.0f && !(m_Kind_Flags & kKind_Spent) &&
      Camera_Distance_Sq(m_Position) < Reach_Sq(m_Collision_Radius)) {
    Play_Sound(kSound_Ground_Burst, m_Position);
    g_Screen_FX_Mgr.Add_Effect(15, 1.5f, CColor4{0.6f, 1.0f, 0.4f, 0.4f}, CColor4{0.0f, 0.0f, 0.0f, 0.0f}, 0.0f,
                               0.0f);
    Hit_Player(kReach_Strength, false);
    m_Kill_Timer = 0.001f;
  }
  if (m_Kill_Timer == 0.0f && m_Value1 <= 0.0f) m_Kill_Timer = 0.001f;
  if (m_Kill_Timer == 0.0f) return;
  Set_Sphere_Radius(kRadius * Shrink_Factor(m_Kill_Timer));
  m_Kill_Timer += kFade_Rate * dt;
}

void CEmmo_Roller::Leap() {
  Play_Sound(kSound_Ground_Burst, m_Position, 0.35f);
  g_Screen_FX_Mgr.Add_Effect_2(CScreen_FX_Mgr::kCamera_Shake, 1.0f, 0.35f);
  Raise_Dust(m_Position, kLeap_Dust);
  const CVector3 lifted{m_Position.x, m_Position.y + 3.0f, m_Position.z};
  Set_Position(lifted);
  CVector3 velocity =
      Calc_Ballistic_Velocity(m_Position.x, m_Position.y, m_Position.z, g_Camera.Position(), kLeap_Time, 1.0f);
  velocity.Scale_Assign(0.98f + 0.01f * R());
  m_Sphere.velocity = velocity;
  m_Jumped = true;
  m_State_Flags |= kState_No_Damping;
}

void CEmmo_Roller::On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
  (void)strength;
  (void)normal;
  if (m_Landed) return;
  Play_Sound(kSound_Ground_Burst, contact, 0.6f);
  g_Screen_FX_Mgr.Add_Effect_2(CScreen_FX_Mgr::kCamera_Shake, 2.0f, 0.5f);
  Throw_Dirt_Clods(contact, kLanding_Clods, kLanding_Clod_Scale);
  Raise_Dust(contact, kLanding_Dust);
  const CVector3 ground{contact.x, g_World.Get_Height(contact.x, contact.z), contact.z};
  Place_World_Decal_Random(2, ground, 75.0f, 4.0f, kDirt_Colour);
  m_Landed = true;
}

bool CEmmo_Roller::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kYouth) return false;
  if ((other && !Is_Player_Shot(other)) || m_Hit_Count != 0 || m_Kill_Timer != 0.0f) return true;
  if (Is_Player_Shot(other)) Register_Hit(*this, other);
  if (other || shot)
    Hit_Burst(*this, m_Sphere.velocity, Pack_Scaled(Variant_Color(m_Variant, false), 3.0f), kRound_Burst);
  m_Kill_Timer = 0.01f;
  m_State_Flags &= ~kState_Falls;
  ++m_Hit_Count;
  m_Kind_Flags |= kKind_Spent;
  return true;
}

CMatrix4x4 CEmmo_Roller::World() const {
  const float s = m_Collision_Radius * kSphere_Model_Scale;
  return World_Matrix(m_Orientation, m_Position, CVector3{s, s, s});
}

void CEmmo_Roller::Render(const float& step) {
  (void)step;
  const CColor4 colour = Variant_Color(m_Variant, m_Hit_Count != 0);
  const uint32_t blend = Pack_Scaled(colour, 1.0f);
  Normalize_Normals(true);
  Draw(m_Model, World(), m_Kill_Timer != 0.0f ? m_Fade_Style : m_Style, m_Texture, nullptr, &colour, &blend);
  Normalize_Normals(false);
  CShadowProjector::Cast_Sphere_Shadow(*this, kRound_Shadow_Fade);
}

void CEmmo_Roller::Render_Reflection(const CWorld_Mirror& mirror) {
  const CColor4 colour = Variant_Color(m_Variant, m_Hit_Count != 0);
  const uint32_t blend = Pack_Scaled(colour, 1.0f);
  Normalize_Normals(true);
  Draw(m_Model, Mirrored(World(), mirror), m_Mirror_Style, m_Texture, nullptr, &colour, &blend);
  Normalize_Normals(false);
}

void CEmmo_Roller::Render_With_Shader(void* style, void* texture) {
  Normalize_Normals(true);
  Draw(m_Model, World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture), m_Texture);
  Normalize_Normals(false);
}
