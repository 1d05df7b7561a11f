#include "game/enemies/CEmmo_Anti_Matter.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CTarget_Link_Pool.h"
#include "game/core/CWorld.h"
#include "game/enemies/Emmo_Shared.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Draw_Helpers.h"
#include "game/targets/Target_Shared.h"
#include "platform/system/random.h"

using namespace emmo;

namespace {

constexpr uint32_t kModel = 0x22000000;
constexpr uint32_t kTexture = 0x22000044;
constexpr uint32_t kStyle = 0x2200003C;
constexpr uint32_t kPulse_Style = 0x2200003F;
constexpr uint32_t kLaunch_Sound = 0x220000E1;
constexpr float kYouth = 0.5f;
constexpr float kLife = 35.0f;
constexpr float kFade_Rate = 0.35f;
constexpr float kPulse_Rate = 1.5f;
constexpr float kStrength = 0.45f;
constexpr float kSeek_Radius = 1000.0f;
constexpr float kRetarget_Time = 0.25f;
constexpr float kLift_Height = 150.0f;
constexpr float kPush_Depth = 750.0f;
constexpr float kTwo_Pi = 6.2831853f;
constexpr uint32_t kScorch_Colour = 0xFF6666FF;
constexpr uint32_t kPulse_Colour = 0xAA442244;

float R() { return static_cast<float>(plat::Random()) / 32768.0f; }

}  // namespace

CObject_Pool* CEmmo_Anti_Matter::Pool() {
  static CObject_Pool_Of<CEmmo_Anti_Matter, kType> pool;
  return &pool;
}

bool CEmmo_Anti_Matter::Init() {
  using targets::Resource;
  return targets::Load_Resources("CEmmo_Anti_Matter",
                                 {Resource::Renderable(kModel, m_Model), Resource::Texture(kTexture, m_Texture),
                                  Resource::Style(kStyle, m_Style, targets::kNo_Texture),
                                  Resource::Style(kPulse_Style, m_Pulse_Style, targets::kNo_Texture),
                                  Resource::Style(kReflection_Style, m_Mirror_Style)});
}

void CEmmo_Anti_Matter::Term() {
  using targets::Resource;
  targets::Release_Resources({Resource::Renderable(kModel, m_Model), Resource::Texture(kTexture, m_Texture),
                              Resource::Style(kStyle, m_Style), Resource::Style(kPulse_Style, m_Pulse_Style),
                              Resource::Style(kReflection_Style, m_Mirror_Style)});
  m_Lock.Clear();
}

bool CEmmo_Anti_Matter::Spawn(const int* variant) {
  Setup_Object(kType, 100.0f, 100.0f, 0x36, kKind_Ammo_Flags);
  if (!Setup_Sphere_Body(5.0f, kRadius, 0.75f)) return false;
  m_Variant = variant ? *variant : kRed;
  m_Wobble = CVector3{1.0f, 1.0f, 1.0f};
  m_Pushed = false;
  m_Age = 0.0f;
  m_Pulse = 0.0f;
  m_Hit_Count = 0;
  m_Wobble_Phase = 0.0f;
  m_Retarget_Timer = 0.0f;
  m_Orientation = CMatrix3x3::Identity;
  Set_Position(CVector3{0.0f, 0.0f, 0.0f});
  m_Motion.Clear();
  m_Sphere.hit_flag = 1;
  m_Sphere.velocity = CVector3{0.0f, -400.0f - 200.0f * R(), 0.0f};
  const float sx = 2.0f * (2.0f * R() - 1.0f);
  const float sy = 2.0f * (2.0f * R() - 1.0f);
  const float sz = 2.0f * (2.0f * R() - 1.0f);
  m_Sphere.spin = CVector3{sx, sy, sz};
  m_Lock.Start(this);
  // Reckoned where the blob is at this moment: the origin, before the caller places it.
  Play_Sound(kLaunch_Sound, m_Position);
  return true;
}

void CEmmo_Anti_Matter::Release_Attachments() {
  m_Lock.Clear();
  CWorld_Object::Release_Attachments();
}

CEmmo_Anti_Matter* CEmmo_Anti_Matter::Sought() const {
  for (CTarget_Link* link = m_Lock.m_Link_Chain; link; link = link->m_Next_Of_Lock)
    if (link->m_Object && link->m_Object->m_Type == kType) return static_cast<CEmmo_Anti_Matter*>(link->m_Object);
  return nullptr;
}

CColor4 CEmmo_Anti_Matter::Colour() const {
  if (m_Kill_Timer != 0.0f) return CColor4{0.0f, 0.0f, 0.0f, 1.0f};
  return m_Variant == kBlue ? CColor4{0.2f, 0.2f, 1.0f, 1.0f} : CColor4{1.0f, 0.2f, 0.2f, 1.0f};
}

void CEmmo_Anti_Matter::Seek() {
  CEmmo_Anti_Matter* other = Sought();
  if (!other) return;
  if (m_Position.y - g_World.Get_Height(m_Position.x, m_Position.z) < kLift_Height) m_Motion.acceleration.y += 200.0f;
  CVector3 d;
  other->m_Position.Subtract(m_Position, d);
  const float distance = std::max(d.Length(), 0.0001f);
  const float pull = std::min(50000.0f / distance, 100.0f);
  m_Motion.acceleration.Add_Assign(CVector3{d.x / distance * pull, d.y / distance * pull, d.z / distance * pull});
}

void CEmmo_Anti_Matter::Retarget() {
  CWorld_Query found;
  const int count = g_World.Query_Radius(m_Position, kSeek_Radius, found);
  for (int i = 0; i < count; ++i) {
    CWorld_Object* object = found.objects[i];
    if (object == this || object->m_Type != kType) continue;
    if (static_cast<CEmmo_Anti_Matter*>(object)->m_Variant == m_Variant) continue;
    m_Lock.Clear_Links();
    g_Target_Link_Pool.Add_Link(object, &m_Lock);
  }
  m_Retarget_Timer = kRetarget_Time;
}

void CEmmo_Anti_Matter::Update(const float& dt) {
  CVector3 lift;
  g_World.m_Gravity.Scale(-0.85f, lift);
  m_Motion.acceleration.Add_Assign(lift);
  if (Sought()) {
    Seek();
  } else {
    m_Retarget_Timer -= dt;
    if (m_Retarget_Timer <= 0.0f) Retarget();
  }
  if (m_Position.z < kPush_Depth) m_Motion.acceleration.z += 500.0f;
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  Grow_Old(*this, m_Age, dt, kYouth, kLife);
  if (Blast_Step(*this, m_Pulse, kPulse_Rate, kRadius, kFade_Rate, dt)) Strike();
}

void CEmmo_Anti_Matter::Strike() {
  m_Pulse = 0.0f;
  Blast_Strike(m_Position, kStrength);
}

bool CEmmo_Anti_Matter::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kYouth) return false;
  if (m_Kill_Timer == 0.0f && m_Pulse == 0.0f && m_Variant == kBlue && other && other->m_Type == kType &&
      static_cast<CEmmo_Anti_Matter*>(other)->m_Variant != kBlue && other->m_Kill_Timer == 0.0f) {
    other->m_Kill_Timer = 0.01f;
    if (g_World.Get_Height(m_Position.x, m_Position.z) < 125.0f)
      Place_World_Decal_Random(1, m_Position, 75.0f, 4.0f, kScorch_Colour);
    Play_Sound(kSound_Landing, m_Position);
    m_Pushed = true;
    m_Pulse_Point = m_Position;
    m_Pulse = 0.01f;
    m_Kill_Timer = 0.01f;
  }
  if (m_Hit_Count != 0 || m_Kill_Timer != 0.0f) return true;
  const bool counts = (other && other->m_Kind_Flags == kKind_Player_Shot) || shot;
  if (!counts) return true;
  const bool spent_counted =
      other && (other->m_Kind_Flags & (kKind_Counted | kKind_Spent)) == (kKind_Counted | kKind_Spent);
  if (Is_Player_Shot(other) || spent_counted) Register_Hit(*this, other);
  Hit_Burst(*this, m_Sphere.velocity, Pack_Scaled(Colour(), 2.5f), kRound_Burst);
  m_Kind_Flags |= kKind_Spent;
  m_State_Flags &= ~kState_Falls;
  m_Kill_Timer += 0.01f;
  ++m_Hit_Count;
  return true;
}

CMatrix4x4 CEmmo_Anti_Matter::World() const {
  const float s = Alpha_Factor(m_Kill_Timer) * m_Collision_Radius * kSphere_Model_Scale;
  const CVector3 raised{m_Position.x, m_Position.y + (m_Wobble.y - 1.0f) * m_Collision_Radius, m_Position.z};
  return World_Matrix(m_Orientation, raised, CVector3{s * m_Wobble.x, s * m_Wobble.y, s * m_Wobble.z});
}

void CEmmo_Anti_Matter::Render(const float& step) {
  const CColor4 colour = Colour();
  Normalize_Normals(true);
  if (!m_Pushed) Draw(m_Model, World(), m_Style, m_Texture, nullptr, &colour);
  Normalize_Normals(false);
  CShadowProjector::Cast_Ellipse_Shadow(*this, m_Wobble.x, m_Wobble.z);
  if (m_Pulse != 0.0f && m_Variant == kBlue)
    Draw_Blast(m_Model, m_Pulse_Point, m_Pulse, m_Pulse_Style, m_Texture, kPulse_Colour);
  Step_Wobble(step);
}

void CEmmo_Anti_Matter::Step_Wobble(float step) {
  const float S = std::min(m_Sphere.spin.Length(), 3.5f);
  const float V = std::min(m_Sphere.velocity.Length(), 1.0f);
  m_Wobble_Phase = std::fmod(m_Wobble_Phase + S * V * step * 2.0f, kTwo_Pi);
  if (!std::isfinite(m_Wobble_Phase)) m_Wobble_Phase = 0.0f;
  const float K = 0.5f * std::sin(m_Wobble_Phase);
  const float Q = 0.5f * std::sin(m_Wobble_Phase + 3.14159265f);
  const float L = std::clamp(std::fabs(m_Sphere.spin.x) / 2.0f, 0.0f, 1.0f);
  const float M = std::clamp(std::fabs(m_Sphere.spin.z) / 2.0f, 0.0f, 1.0f);
  const float N = 0.1f * (L + M) / 2.0f;
  m_Wobble.x = 1.0f + N - 0.1f * M + 0.1f * L * K;
  m_Wobble.y = 0.8f + N + N * Q;
  m_Wobble.z = 1.0f + N - 0.1f * L + 0.1f * M * K;
}

void CEmmo_Anti_Matter::Render_Reflection(const CWorld_Mirror& mirror) {
  Draw_Reflection(m_Model, World(), mirror, m_Mirror_Style, m_Texture, Colour());
}
