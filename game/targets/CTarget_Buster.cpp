#include "game/targets/CTarget_Buster.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/targets/Flyer_Shared.h"

using namespace flyer;

namespace {
constexpr const char* kName = "CTarget_Buster";
constexpr uint32_t kHit_Sound = 0x220000f7;
constexpr float kRadius = 70.0f;
constexpr uint32_t kLanding_Decal = 4;
}  // namespace

CObject_Pool* CTarget_Buster::Pool() {
  static CObject_Pool_Of<CTarget_Buster, kType> pool;
  return &pool;
}

bool CTarget_Buster::Init() {
  if (!Load_Resources(kName, {Resource::Renderable(0x22000116, m_Model, kNo_Renderable), Resource::Renderable(0x22000117, m_Band_Model, kNo_Renderable),
                    Resource::Texture(0x2200003b, m_Texture, kNo_Texture), Resource::Texture(0x22000032, m_Glow_Texture, kNo_Created_Texture),
                    Resource::Style(0x2200003c, m_Style, kNo_Shader), Resource::Style(0x220000c6, m_Glow_Style, kNo_Shader),
                    Resource::Style(0x22000020, m_Mirror_Style, kNo_Shader)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CTarget_Buster::Term() {
  Release_Resources({Resource::Renderable(0, m_Model, ""), Resource::Renderable(0, m_Band_Model, ""), Resource::Texture(0, m_Texture, ""), Resource::Texture(0, m_Glow_Texture, ""),
           Resource::Style(0, m_Style, ""), Resource::Style(0, m_Glow_Style, ""), Resource::Style(0, m_Mirror_Style, "")});
  m_Initialised = false;
  m_Spawned = false;
}

bool CTarget_Buster::Spawn(const int& colour_index, const CVector3& start) {
  m_Spawned = false;
  m_Colour_Index = colour_index;
  Setup_Object(kType, 1.0f, 1.0f, 0x76, kKind_Counted_Target);
  if (!Setup_Sphere_Body(15.0f, kRadius, 0.4f)) return false;
  m_Sphere.velocity.Set(0.0f, -200.0f, 0.0f);
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Lift_Timer = -1.0f;
  m_Spin_Phase = 0.0f;
  m_Start = start;
  Set_Position(start);
  m_Motion.Clear();
  m_Sphere.spin.Set(0, 0, 0);
  // The landing spot, marked on the terrain in half the light colour.
  const CColor4 light = Get_Color();
  const CVector3 spot{start.x, Ground(start.x, start.z), start.z};
  const uint32_t mark = 0x7Fu << 24 | fx::Channel_Byte(light.r * 0.5f) << 16 | fx::Channel_Byte(light.g * 0.5f) << 8 |
                        fx::Channel_Byte(light.b * 0.5f);
  Place_World_Decal_Random(kLanding_Decal, spot, kRadius * 1.5f, 1.5f, mark);
  m_Spawned = true;
  return true;
}

CColor4 CTarget_Buster::Get_Color() const { return Light_Colour(m_Colour_Index); }

void CTarget_Buster::Update(const float& dt) {
  if ((m_State_Flags & kState_No_Gravity) == 0) m_Motion.acceleration.Add_Assign(Mul(g_World.m_Gravity, 1.5f));
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  if (m_Kill_Timer == 0.0f) {
    const float height = m_Position.y - Ground(m_Position.x, m_Position.z);
    if (height < 550.0f || m_Lift_Timer >= 1.0f) {
      m_Lift_Timer = m_Lift_Timer < 0.0f ? 0.0f : m_Lift_Timer + 0.35f * dt;
      m_Sphere.velocity.Scale_Assign(std::max(1.0f - 0.5f * dt, 0.9f));
      m_Motion.acceleration.y += m_Lift_Timer < 1.0f ? 750.0f : 2500.0f;
    }
    m_Spin_Phase = Wrap_Angle(m_Spin_Phase + dt);
    m_Orientation = Turn_About_Y(m_Spin_Phase);
    m_Sphere.spin.Set(0.0f, 1.75f, 0.0f);
  }
  if (m_Age < kGuard_Age && m_Age + dt >= kGuard_Age) m_State_Flags &= ~uint32_t{0x70};
  m_Age += dt;
  if (m_Position.y > Camera_Position().y + 300.0f && m_Age > kGuard_Age && m_Kill_Timer == 0.0f) m_Kill_Timer = 0.001f;
  if (m_Age > 20.0f && m_Kill_Timer == 0.0f) m_Kill_Timer = 0.001f;
  if (m_Kill_Timer != 0.0f) m_Kill_Timer += 0.25f * dt;
}

bool CTarget_Buster::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kGuard_Age) return false;
  if (other && (other->m_Type == kType || (other->m_Kind_Flags & 0x04))) return false;
  if (other && !Is_Player_Shot(other)) return true;
  if (m_Hit_Count == 0) {
    if (other) Register_Hit(*this, other);
    if (!other && !shot) {
      m_Kind_Flags |= kKind_Excluded;
      m_Kill_Timer += 0.0001f;
    } else {
      targets::Sparkle_Burst burst;
      const uint32_t burst_colour = Pack(Brighter(Get_Color(), 1.25f));
      burst.spread = 75.0f;
      targets::Emit_Sparkle_Burst(*this, burst_colour, burst);
      Play_Sound_3D(kHit_Sound, m_Position, 1.0f);
      m_Kind_Flags |= kKind_Excluded;
      m_Kill_Timer += 0.0001f;
    }
    Award_Precision(m_Position, other, shot);
  }
  ++m_Hit_Count;
  m_State_Flags &= ~uint32_t{0xe0};
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.01f;
  return true;
}

void CTarget_Buster::On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
  (void)strength;
  (void)contact;
  (void)normal;
}

float CTarget_Buster::Glow_Level() const {
  if (m_Lift_Timer < 0.0f) return 0.0f;
  const float j = m_Lift_Timer < 1.0f ? std::min(2.0f * m_Lift_Timer, 1.0f) : std::max(2.0f - m_Lift_Timer, 0.0f);
  return j * std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f);
}

CMatrix4x4 CTarget_Buster::World() const {
  const float s = m_Kill_Timer != 0.0f ? std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f) : 1.0f;
  return World_Matrix(*this, CVector3{s, s, s});
}

void CTarget_Buster::Render_Glow(const CWorld_Mirror* mirror) {
  const float m = Glow_Level();
  if (!(m > 0.0f)) return;
  CColor4 colour = Brighter(Get_Color(), 1.45f);
  colour.a *= 0.45f * m;
  const uint32_t packed = Pack(colour);
  const float reach = 70.0f * std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f);
  // The second fan is the first turned by a half turn about the up axis.
  for (float sign : {1.0f, -1.0f}) {
    const CVector3 axis = Mul(m_Orientation.rows[0], sign), spoke = Mul(m_Orientation.rows[2], sign);
    const CVector3 centre = Add(m_Position, Mul(axis, reach));
    Draw_Glow(centre, spoke, axis, 4, m * 50.0f, m * 800.0f, packed, m_Glow_Style, m_Glow_Texture, mirror);
  }
}

void CTarget_Buster::Render(const float& step) {
  (void)step;
  const CMatrix4x4 world = World();
  const bool dying = m_Kill_Timer != 0.0f;
  const CColor4 colour = Get_Color();
  targets::Draw(m_Model, world, m_Style, m_Texture, &colour, dying);
  targets::Draw(m_Band_Model, world, m_Glow_Style, m_Texture, &colour, dying);
  Render_Glow(nullptr);
}

void CTarget_Buster::Render_Reflection(const CWorld_Mirror& mirror) {
  const CMatrix4x4 world = Mirrored(World(), mirror);
  const bool dying = m_Kill_Timer != 0.0f;
  targets::Draw(m_Model, world, m_Mirror_Style, m_Texture, nullptr, dying);
  targets::Draw(m_Band_Model, world, m_Mirror_Style, m_Texture, nullptr, dying);
  Render_Glow(&mirror);
}

void CTarget_Buster::Render_With_Shader(void* style, void* texture) {
  auto* s = static_cast<CD3DRenderStyle*>(style);
  auto* t = static_cast<CTextureData*>(texture);
  const CMatrix4x4 world = World();
  targets::Draw(m_Model, world, s, t, nullptr, m_Kill_Timer != 0.0f);
  targets::Draw(m_Band_Model, world, s, t, nullptr, m_Kill_Timer != 0.0f);
}
