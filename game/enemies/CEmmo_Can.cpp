#include "game/enemies/CEmmo_Can.h"

#include <algorithm>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/enemies/Emmo_Shared.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Draw_Helpers.h"
#include "game/sim/Launch_Helpers.h"
#include "game/targets/Target_Shared.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"

using namespace emmo;

namespace {

constexpr uint32_t kModel = 0x22000161;
constexpr uint32_t kTexture = 0x22000025;
constexpr uint32_t kStyle = 0x220000C2;
const CVector3 kHalf_Size{23.0f, 33.0f, 23.0f};
constexpr float kLife = 15.0f;
constexpr float kGround_Age = 1.15f;
constexpr float kFade_Rate = 0.15f;
constexpr float kHoming_Pull = 1000.0f;
constexpr float kHoming_Damping = 1.5f;
constexpr float kFlight_Time = 10.0f;
constexpr int kClods = 4;
constexpr float kClod_Scale = 0.6f;
constexpr int kDust = 15;

float R() { return static_cast<float>(plat::Random()) / 32768.0f; }

}  // namespace

CObject_Pool* CEmmo_Can::Pool() {
  static CObject_Pool_Of<CEmmo_Can, kType> pool;
  return &pool;
}

bool CEmmo_Can::Init() {
  using targets::Resource;
  return targets::Load_Resources("CEmmo_Can", {Resource::Renderable(kModel, m_Model),
                                               Resource::Texture(kTexture, m_Texture),
                                               Resource::Style(kStyle, m_Style, targets::kNo_Texture),
                                               Resource::Style(kReflection_Style, m_Mirror_Style)});
}

void CEmmo_Can::Term() {
  using targets::Resource;
  targets::Release_Resources({Resource::Renderable(kModel, m_Model), Resource::Texture(kTexture, m_Texture),
                              Resource::Style(kStyle, m_Style), Resource::Style(kReflection_Style, m_Mirror_Style)});
}

bool CEmmo_Can::Spawn(const int* variant, const CVector3* start) {
  Setup_Object(kType, 1.0f, 1.0f, 0xA4, kKind_Ammo_Flags);
  if (!Setup_Box_Body(20.5f, kHalf_Size, 0.2f)) return false;
  m_Variant = variant ? *variant : 0;
  m_Hit_Player = false;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Box.hit_flag = 1;
  m_Box.floor_contact_flag = 1;
  Set_Position(start ? *start : CVector3{0.0f, 0.0f, 0.0f});
  m_Motion.Clear();
  const CVector3& eye = g_Camera.Position();
  CVector3 velocity = Calc_Ballistic_Velocity(m_Position.x, m_Position.y, m_Position.z,
                                              CVector3{eye.x, eye.y + 10.0f, eye.z}, kFlight_Time, 1.0f);
  velocity.Scale_Assign(1.0f + 0.05f * R());
  m_Box.velocity = velocity;
  CVector3 d = velocity;
  const float speed = d.Length();
  if (speed > 0.0f) d.Divide_Assign(speed);
  const float tumble = -(12.0f + 4.0f * R());
  m_Box.spin = CVector3{-d.z * tumble, 0.0f, d.x * tumble};
  Play_Sound(kSound_Ground_Burst, m_Position);
  Throw_Dirt_Clods(m_Position, kClods, kClod_Scale);
  Raise_Dust(m_Position, kDust);
  const CVector3 ground{m_Position.x, g_World.Get_Height(m_Position.x, m_Position.z), m_Position.z};
  Place_World_Decal_Random(1, ground, 75.0f, 2.0f, kDirt_Colour);
  return true;
}

void CEmmo_Can::Update(const float& dt) {
  if (m_Kill_Timer == 0.0f) {
    const CVector3 d = Unit_Towards(m_Position, g_Camera.Position(), 0.001f);
    const float pull = kHoming_Pull * g_Difficulty_Factor * g_Difficulty_Factor;
    Pull_Towards(m_Box.velocity, d, CVector3{pull, pull, pull},
                 CVector3{kHoming_Damping, kHoming_Damping, kHoming_Damping}, dt);
  }
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  if (Pass_Or_Strike(*this, Box_Radius(m_Box.half_size), 1.0f)) m_Hit_Player = true;
  const bool was_young = m_Age <= kGround_Age;
  m_Age += dt;
  if (was_young && m_Age > kGround_Age) m_State_Flags &= ~kState_No_World_Contact;
  if (Fade_Started(*this, m_Age, kLife)) Fade_Box(*this, kHalf_Size, kFade_Rate, dt);
}

bool CEmmo_Can::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (Has_Kind(other, kKind_Emmo | kKind_Boss)) return false;
  if (other && !Is_Player_Shot(other)) return true;
  if (m_Hit_Count == 0) {
    if (Is_Player_Shot(other)) Register_Hit(*this, other);
    if (other || shot)
      Hit_Burst(*this, m_Box.velocity, Pack_Scaled(Variant_Color(m_Variant, false), 3.0f), kRound_Burst);
    Play_Sound(kSound_Broken, m_Position);
    m_Kind_Flags |= kKind_Spent;
  }
  ++m_Hit_Count;
  m_State_Flags &= ~kState_No_Damping;
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.001f;
  return true;
}

void CEmmo_Can::On_Floor_Contact(const CVector3& normal) {
  (void)normal;
  if (m_Age < kGround_Age) return;
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.001f;
  m_State_Flags &= ~kState_No_Damping;
}

CMatrix4x4 CEmmo_Can::World() const {
  const float s = m_Kill_Timer != 0.0f ? std::clamp(1.0f - m_Kill_Timer, 0.0001f, 1.0f) : 1.0f;
  return World_Matrix(m_Orientation, m_Position, CVector3{s, s, s});
}

void CEmmo_Can::Render(const float& step) {
  (void)step;
  if (m_Hit_Player) return;
  const CColor4 colour = Variant_Color(m_Variant, m_Hit_Count != 0);
  const bool fading = m_Kill_Timer != 0.0f;
  if (fading) Normalize_Normals(true);
  Draw(m_Model, World(), m_Style, m_Texture, nullptr, &colour);
  if (fading) Normalize_Normals(false);
  CShadowProjector::Cast_Shadow(1, m_Position, m_Collision_Radius, 0.65f);
}

void CEmmo_Can::Render_Reflection(const CWorld_Mirror& mirror) {
  if (m_Hit_Player) return;
  const CColor4 colour = Variant_Color(m_Variant, m_Hit_Count != 0);
  Draw(m_Model, Mirrored(World(), mirror), m_Mirror_Style, m_Texture, nullptr, &colour);
}

void CEmmo_Can::Render_With_Shader(void* style, void* texture) {
  if (m_Hit_Player) return;
  Draw(m_Model, World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture), m_Texture);
}
