#include "game/enemies/CEmmo_Bullet_1.h"

#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/enemies/Emmo_Shared.h"
#include "game/fx/CShadowProjector.h"
#include "game/sim/CMusic_Track.h"
#include "game/targets/Target_Shared.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"

using namespace emmo;

namespace {

constexpr uint32_t kModel = 0x22000155;
constexpr uint32_t kTexture = 0x2200002A;
constexpr uint32_t kStyle = 0x2200003C;
constexpr uint32_t kGlow_Style = 0x22000149;
constexpr uint32_t kFire_Sound = 0x22000156;
constexpr float kLife = 30.0f;
constexpr float kGround_Age = 1.5f;
constexpr float kFade_Rate = 0.35f;
constexpr float kHoming_Pull = 600.0f;
constexpr float kHoming_Damping = 0.5f;
constexpr float kGlow_Scale = 1.1f;
constexpr int kGlow_Copies = 6;
constexpr float kGlow_Alpha = 0.1f;

float R() { return static_cast<float>(plat::Random()) / 32768.0f; }

}  // namespace

CObject_Pool* CEmmo_Bullet_1::Pool() {
  static CObject_Pool_Of<CEmmo_Bullet_1, kType> pool;
  return &pool;
}

bool CEmmo_Bullet_1::Init() {
  using targets::Resource;
  return targets::Load_Resources("CEmmo_Bullet_1",
                                 {Resource::Renderable(kModel, m_Model), Resource::Texture(kTexture, m_Texture),
                                  Resource::Style(kStyle, m_Style, targets::kNo_Texture),
                                  Resource::Style(kGlow_Style, m_Glow_Style, targets::kNo_Texture),
                                  Resource::Style(kReflection_Style, m_Mirror_Style)});
}

void CEmmo_Bullet_1::Term() {
  using targets::Resource;
  targets::Release_Resources({Resource::Renderable(kModel, m_Model), Resource::Texture(kTexture, m_Texture),
                              Resource::Style(kStyle, m_Style), Resource::Style(kGlow_Style, m_Glow_Style),
                              Resource::Style(kReflection_Style, m_Mirror_Style)});
}

void CEmmo_Bullet_1::Drift(int direction, CVector3& velocity, CVector3& spin) {
  switch (direction) {
    case 0: velocity = {65.0f, 0.0f, 0.0f}; spin = {0.0f, 0.0f, -1.0f}; return;
    case 1: velocity = {-65.0f, 0.0f, 0.0f}; spin = {0.0f, 0.0f, 1.0f}; return;
    case 2: velocity = {0.0f, -45.5f, 0.0f}; spin = {-0.6f, 0.0f, 0.0f}; return;
    case 3: velocity = {0.0f, 45.5f, 0.0f}; spin = {0.6f, 0.0f, 0.0f}; return;
    case 4: velocity = {0.0f, 0.0f, -65.0f}; spin = {0.0f, 1.0f, 0.0f}; return;
    default: velocity = {0.0f, 0.0f, 0.0f}; spin = {0.0f, 0.0f, 0.0f}; return;
  }
}

bool CEmmo_Bullet_1::Spawn(const int* variant, const int* direction, const CVector3* start) {
  Setup_Object(kType, 1.0f, 1.0f, 0xE6, kKind_Ammo_Flags);
  if (!Setup_Box_Body(10.0f, CVector3{kHalf, kHalf, kHalf}, 0.5f)) return false;
  m_Hit_Player = false;
  m_Fired = false;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Variant = variant ? *variant : 0;
  m_Box.hit_flag = 1;
  m_Box.floor_contact_flag = 1;
  Set_Position(start ? *start : CVector3{0.0f, 0.0f, 0.0f});
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  Drift(direction ? *direction : -1, m_Box.velocity, m_Box.spin);
  const CVector3& eye = g_Camera.Position();
  const float ax = 12.0f * (2.0f * R() - 1.0f);
  const float ay = 12.0f * (2.0f * R() - 1.0f);
  m_Aim = CVector3{eye.x + ax, eye.y + ay, eye.z};
  Play_Sound(kSound_Launch, m_Position, 0.45f);
  return true;
}

void CEmmo_Bullet_1::Play_Sound_Once() {
  if (m_Fired) return;
  Play_Sound(kFire_Sound, m_Position, 0.5f);
  m_Fired = true;
}

void CEmmo_Bullet_1::Release_Attachments() {
  g_Music_Track.Remove_Object(this);
  CWorld_Object::Release_Attachments();
}

void CEmmo_Bullet_1::Die(float kill_timer) {
  m_Kill_Timer = kill_timer;
  g_Music_Track.Remove_Object(this);
}

void CEmmo_Bullet_1::Update(const float& dt) {
  if (std::isnan(m_Position.x)) {
    Die(1.0f);
    return;
  }
  if (m_Kill_Timer == 0.0f && m_Fired) {
    if (m_State_Flags & kState_No_Damping) m_State_Flags &= ~(kState_No_Damping | kState_No_World_Contact);
    const CVector3 d = Unit_Towards(m_Position, m_Aim, 0.001f);
    const float pull = kHoming_Pull * g_Difficulty_Factor;
    Pull_Towards(m_Box.velocity, d, CVector3{pull, pull, pull},
                 CVector3{kHoming_Damping, kHoming_Damping, kHoming_Damping}, dt);
  }
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  if (m_Kill_Timer == 0.0f && m_Position.z < g_Camera.Position().z) Die(1.0f);
  if (Strike_On_Reach(*this, Box_Radius(m_Box.half_size), kSound_Impact, kReach_Strength)) {
    m_Hit_Player = true;
    g_Music_Track.Remove_Object(this);
  }
  const bool was_young = m_Age <= kGround_Age;
  m_Age += dt;
  if (was_young && m_Age > kGround_Age) m_State_Flags &= ~kState_No_World_Contact;
  if (m_Age > kLife && m_Kill_Timer == 0.0f) Die(0.0001f);
  if (m_Kill_Timer == 0.0f) return;
  const float s = kHalf * Shrink_Factor(m_Kill_Timer);
  Set_Box_Extents(CVector3{s, s, s});
  m_Kill_Timer += kFade_Rate * dt;
}

bool CEmmo_Bullet_1::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (other && !Is_Player_Shot(other)) return false;
  if (m_Hit_Count == 0) {
    if (Is_Player_Shot(other)) Register_Hit(*this, other);
    Play_Sound(kSound_Broken, m_Position);
    if (other || shot) Hit_Burst(*this, m_Box.velocity, Pack_Scaled(Variant_Color(m_Variant, false), 2.0f), kBullet_Burst);
    m_Kind_Flags |= kKind_Spent;
  }
  ++m_Hit_Count;
  m_State_Flags &= ~kState_Falls;
  if (m_Kill_Timer == 0.0f) Die(0.001f);
  return true;
}

void CEmmo_Bullet_1::On_Floor_Contact(const CVector3& normal) {
  (void)normal;
  if (m_Age < kGround_Age) return;
  if (m_Kill_Timer == 0.0f) Die(0.001f);
  m_State_Flags &= ~kState_Falls;
}

CColor4 CEmmo_Bullet_1::Body_Colour() const {
  const CColor4 colour = Variant_Color(m_Variant, m_Hit_Count != 0);
  if (m_Fired) return colour;
  return CColor4{colour.r * 0.5f, colour.g * 0.5f, colour.b * 0.5f, colour.a * 0.5f};
}

CMatrix4x4 CEmmo_Bullet_1::World() const {
  CVector3 scale{1.0f, 1.0f, 1.0f};
  if (m_Kill_Timer != 0.0f) m_Box.half_size.Scale(1.0f / kHalf, scale);
  return World_Matrix(m_Orientation, m_Position, scale);
}

void CEmmo_Bullet_1::Render(const float& step) {
  (void)step;
  if (m_Hit_Player) return;
  const CColor4 colour = Body_Colour();
  const CMatrix4x4 world = World();
  const bool fading = m_Kill_Timer != 0.0f;
  if (fading) Normalize_Normals(true);
  Draw(m_Model, world, m_Style, m_Texture, nullptr, &colour);
  if (fading) Normalize_Normals(false);
  if (m_Fired) {
    CMatrix4x4 step_matrix, first;
    step_matrix.Scaling(kGlow_Scale, kGlow_Scale, kGlow_Scale);
    step_matrix.Multiply(world, first);
    Draw_Glow(m_Model, first, step_matrix, kGlow_Copies, kGlow_Alpha * Alpha_Factor(m_Kill_Timer), colour,
              m_Glow_Style);
  }
  CShadowProjector::Cast_Box_Shadow(*this);
}

void CEmmo_Bullet_1::Render_Reflection(const CWorld_Mirror& mirror) {
  if (m_Hit_Player) return;
  const CColor4 colour = Variant_Color(m_Variant, m_Hit_Count != 0);
  Draw(m_Model, Mirrored(World(), mirror), m_Mirror_Style, m_Texture, nullptr, &colour);
}

void CEmmo_Bullet_1::Render_With_Shader(void* style, void* texture) {
  if (m_Hit_Player) return;
  Draw(m_Model, World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture), m_Texture);
}
