#include "game/targets/CTarget_Glower.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/targets/Flyer_Shared.h"

using namespace flyer;

namespace {
constexpr const char* kName = "CTarget_Glower";
constexpr uint32_t kHit_Sound = 0x220000f7;
constexpr float kSprite_Turn = 2.0941856f;
}  // namespace

CObject_Pool* CTarget_Glower::Pool() {
  static CObject_Pool_Of<CTarget_Glower, kType> pool;
  return &pool;
}

bool CTarget_Glower::Init() {
  if (!Load_Resources(kName, {Resource::Renderable(0x22000109, m_Model, kNo_Renderable), Resource::Renderable(0x2200010a, m_Shell_Model, kNo_Renderable),
                    Resource::Texture(0x2200003b, m_Texture, kNo_Texture), Resource::Texture(0x220000cf, m_Glow_Texture, kNo_Created_Texture),
                    Resource::Style(0x2200003c, m_Style, kNo_Shader), Resource::Style(0x220000c6, m_Glow_Style, kNo_Shader),
                    Resource::Style(0x22000020, m_Mirror_Style, kNo_Shader)})) {
    Term();
    return false;
  }
  m_Glow_Frame.rows[0].Set(1.0f, 0.0f, 0.0f);
  m_Glow_Frame.rows[1].Set(0.0f, 0.0f, -1.0f);
  m_Glow_Frame.rows[2].Set(0.0f, 1.0f, 0.0f);
  m_Initialised = true;
  return true;
}

void CTarget_Glower::Term() {
  Release_Resources({Resource::Renderable(0, m_Model, ""), Resource::Renderable(0, m_Shell_Model, ""), Resource::Texture(0, m_Texture, ""), Resource::Texture(0, m_Glow_Texture, ""),
           Resource::Style(0, m_Style, ""), Resource::Style(0, m_Glow_Style, ""), Resource::Style(0, m_Mirror_Style, "")});
  m_Initialised = false;
  m_Spawned = false;
}

bool CTarget_Glower::Spawn(const int& variant, const CVector3& point, const uint8_t& swing) {
  m_Spawned = false;
  m_Variant = variant;
  Setup_Object(kType, 1.0f, 1.0f, 0x76, kKind_Counted_Target);
  if (!Setup_Sphere_Body(35.0f, kRadius, 0.2f)) return false;
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  const CVector3& camera = Camera_Position();
  m_Landed = false;
  m_Swing = swing != 0;
  m_Right_Of_Camera = point.x > camera.x;
  m_Hit_Count = 0;
  m_Age = 0.0f;
  m_Spin_Phase = 0.0f;
  m_Sphere.velocity.Set(0.0f, -300.0f, 0.0f);
  m_Sphere.spin.Set(0, 0, 0);
  m_Start = point;
  Set_Position(point);
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Centre = camera;
  m_Sweep_Width = 2.0f * std::fabs(point.x - camera.x);
  m_Sweep_Depth = camera.z + (0.8f + 0.15f * Random01()) * (World_Z() - camera.z);
  m_Spawned = true;
  return true;
}

CColor4 CTarget_Glower::Get_Color() const { return Light_Colour(m_Variant); }

CVector3 CTarget_Glower::Swing_Point(float age) const {
  const float angle = age * 0.1f * kPi;
  const float a = m_Sweep_Width;
  const float sweep = std::cos(angle) * a - std::sin(2.0f * angle) * a * 0.9f;
  return CVector3{m_Centre.x + (m_Right_Of_Camera ? sweep : -sweep), m_Start.y,
                  m_Centre.z + std::sin(angle) * m_Sweep_Depth};
}

void CTarget_Glower::Update(const float& dt) {
  if ((m_Swing || m_Kill_Timer != 0.0f) && m_Kill_Timer == 0.0f) Set_Position(Swing_Point(m_Age));
  if (!m_Swing && m_Kill_Timer == 0.0f) {
    const float ground = Ground(m_Position.x, m_Position.z);
    if (!m_Landed && m_Position.y - ground < 450.0f) m_Landed = true;
    m_Sphere.velocity.x = 0.0f;
    m_Sphere.velocity.z = 0.0f;
    if (m_Landed) m_Sphere.velocity.y += 400.0f * dt;
  }
  if ((m_State_Flags & kState_No_Gravity) == 0) m_Motion.acceleration.Subtract_Assign(Mul(g_World.m_Gravity, 0.5f));
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  if (m_Kill_Timer != 0.0f) {
    m_Sphere.velocity.Scale_Assign(0.75f);
    m_Sphere.spin.Scale_Assign(0.75f);
  } else {
    m_Spin_Phase = Wrap_Angle(m_Spin_Phase + 1.35f * dt);
    m_Orientation = Turn_About_Y(m_Spin_Phase);
  }
  if (m_Age < kGuard_Age && m_Age + dt >= kGuard_Age) m_State_Flags &= ~uint32_t{m_Swing ? 0x30u : 0x70u};
  m_Age += dt;
  const bool near_camera = m_Age > 1.5f && m_Position.z < Camera_Position().z + 450.0f;
  if ((near_camera || m_Age > 10.0f) && m_Kill_Timer == 0.0f) m_Kill_Timer = 0.001f;
  if (m_Kill_Timer != 0.0f) m_Kill_Timer += 0.5f * dt;
}

bool CTarget_Glower::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kGuard_Age) return false;
  if (other && (other->m_Type == kType || (other->m_Kind_Flags & 0x04))) return false;
  if (m_Hit_Count == 0) {
    if (Is_Player_Shot(other) || Is_Hit_Target(other)) Register_Hit(*this, other);
    if (!other && !shot) {
      m_Kind_Flags |= kKind_Excluded;
      m_Kill_Timer += 0.0001f;
    } else {
      targets::Sparkle_Burst burst;
      const uint32_t burst_colour = Pack(Brighter(Get_Color(), 1.25f));
      targets::Emit_Sparkle_Burst(*this, burst_colour, burst);
      Play_Sound_3D(kHit_Sound, m_Position, 1.0f);
      m_Kind_Flags |= kKind_Excluded;
      m_Kill_Timer += 0.0001f;
    }
    Award_Precision(m_Position, other, shot);
    m_Sphere.velocity.Scale_Assign(0.2f);
  }
  ++m_Hit_Count;
  m_State_Flags &= ~uint32_t{0xe0};
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.01f;
  return true;
}

void CTarget_Glower::On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
  (void)strength;
  (void)contact;
  if (!m_Swing || std::fabs(normal.x) == 1.0f || std::fabs(normal.z) == 1.0f) return;
  m_State_Flags &= ~uint32_t{0xd0};
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.01f;
}

float CTarget_Glower::Halo_Level() const {
  const float b = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f);
  const float p = (std::sin(m_Pulse_Phase) + 1.0f) * 0.5f;
  return b * (0.5f + 0.5f * p * p);
}

CMatrix4x4 CTarget_Glower::World() const {
  const float s = m_Kill_Timer != 0.0f ? std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f) : 1.0f;
  return World_Matrix(*this, CVector3{s, s, s});
}

void CTarget_Glower::Draw_Halo(const CWorld_Mirror* mirror, float alpha_factor) {
  const float level = Halo_Level();
  if (!(level > 0.0f)) return;
  const float b = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f);
  CColor4 colour = Get_Color();
  colour = CColor4{colour.r * 2.0f, colour.g * 2.0f, colour.b * 2.0f, colour.a * 2.0f * alpha_factor * level};
  const uint32_t packed = Pack(colour);
  const CVector3 up = m_Orientation.rows[1];
  CVector3 offset = Mul(m_Orientation.rows[0], 80.0f * b);
  for (int sprite = 0; sprite < 3; ++sprite) {
    const CVector3 centre = Add(Add(m_Position, Mul(up, 5.0f)), offset);
    const float reach = Length(offset);
    const CVector3 axis = reach > 0.0f ? Mul(offset, 1.0f / reach) : m_Orientation.rows[0];
    Draw_Glow(centre, up, axis, 4, 225.0f * level, 600.0f * level, packed, m_Glow_Style, m_Glow_Texture, mirror);
    offset = arsenal::Turn(offset, up, kSprite_Turn);
  }
}

void CTarget_Glower::Render(const float& step) {
  const CMatrix4x4 world = World();
  const bool dying = m_Kill_Timer != 0.0f;
  const CColor4 colour = Get_Color();
  const CColor4 clear{0, 0, 0, 0};
  targets::Draw(m_Model, world, m_Style, m_Texture, &colour, dying);
  targets::Draw(m_Shell_Model, world, m_Style, m_Texture, &clear, dying);
  m_Pulse_Phase = Wrap_Angle(m_Pulse_Phase + 3.0f * step);
  Draw_Halo(nullptr, 0.45f);
}

void CTarget_Glower::Render_Reflection(const CWorld_Mirror& mirror) {
  const CMatrix4x4 world = Mirrored(World(), mirror);
  const bool dying = m_Kill_Timer != 0.0f;
  targets::Draw(m_Model, world, m_Mirror_Style, m_Texture, nullptr, dying);
  targets::Draw(m_Shell_Model, world, m_Mirror_Style, m_Texture, nullptr, dying);
  m_Pulse_Phase = Wrap_Angle(m_Pulse_Phase);
  Draw_Halo(&mirror, 0.2025f);
}

void CTarget_Glower::Render_With_Shader(void* style, void* texture) {
  const CMatrix4x4 world = World();
  const bool dying = m_Kill_Timer != 0.0f;
  targets::Draw(m_Model, world, static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture), nullptr, dying);
  targets::Draw(m_Shell_Model, world, static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture), nullptr,
            dying);
}
