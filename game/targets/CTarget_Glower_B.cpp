#include "game/targets/CTarget_Glower_B.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/Sound_FX.h"
#include "game/fx/CShadowProjector.h"
#include "game/targets/Flyer_Shared.h"

using namespace flyer;

namespace {
// Both glowers' messages name the first glower's class.
constexpr const char* kName = "CTarget_Glower";
constexpr uint32_t kHit_Sound = 0x220000f7;
}  // namespace

CObject_Pool* CTarget_Glower_B::Pool() {
  static CObject_Pool_Of<CTarget_Glower_B, kType> pool;
  return &pool;
}

bool CTarget_Glower_B::Init() {
  if (!Load_Resources(kName, {Resource::Renderable(0x22000110, m_Model, kNo_Renderable), Resource::Renderable(0x22000111, m_Core_Model, kNo_Renderable),
                    Resource::Texture(0x2200003b, m_Texture, kNo_Texture), Resource::Texture(0x2200005e, m_Glow_Texture, kNo_Created_Texture),
                    Resource::Style(0x2200003c, m_Style, kNo_Shader), Resource::Style(0x220000c6, m_Glow_Style, kNo_Shader),
                    Resource::Style(0x22000020, m_Mirror_Style, kNo_Shader)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CTarget_Glower_B::Term() {
  Release_Resources({Resource::Renderable(0, m_Model, ""), Resource::Renderable(0, m_Core_Model, ""), Resource::Texture(0, m_Texture, ""), Resource::Texture(0, m_Glow_Texture, ""),
           Resource::Style(0, m_Style, ""), Resource::Style(0, m_Glow_Style, ""), Resource::Style(0, m_Mirror_Style, "")});
  m_Initialised = false;
  m_Spawned = false;
}

bool CTarget_Glower_B::Spawn(const int& colour_index) {
  m_Spawned = false;
  m_Colour_Index = colour_index;
  Setup_Object(kType, 100.0f, 100.0f, 0xf6, kKind_Counted_Target);
  if (!Setup_Sphere_Body(35.0f, 1.0f, 0.25f)) return false;
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  m_Scale = 0.0f;
  m_Life = 10.0f;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Pulse_Phase = 0.0f;
  Set_Position(CVector3{0, 0, 0});
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Spawned = true;
  return true;
}

CColor4 CTarget_Glower_B::Get_Color() const { return m_Hit_Count > 0 ? Black() : Get_Variant_Color(m_Colour_Index); }

void CTarget_Glower_B::Update(const float& dt) {
  if (m_Scale != 1.0f || m_Kill_Timer != 0.0f) {
    const float grown = m_Kill_Timer != 0.0f ? 1.0f - m_Kill_Timer : m_Age / kGuard_Age;
    m_Scale = std::clamp(grown, 0.0f, 1.0f);
    Set_Sphere_Radius(1.0f + 47.0f * m_Scale);
  }
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  m_Life -= dt;
  if (m_Life < 0.0f) {
    if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.0001f;
    m_Life = 0.0f;
  }
  if (m_Position.z < Camera_Position().z && m_Kill_Timer == 0.0f) m_Kill_Timer = 0.0001f;
  if (m_Age < kGuard_Age && m_Age + dt >= kGuard_Age) m_State_Flags &= ~uint32_t{0x30};
  m_Age += dt;
  if (m_Kill_Timer != 0.0f) m_Kill_Timer += 0.35f * dt;
}

bool CTarget_Glower_B::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kGuard_Age) return false;
  if (m_Hit_Count == 0) {
    Bar_First_Hit(*this, other, shot, m_Colour_Index, 0);
    Award_Precision(m_Position, other, shot);
  }
  Play_Sound_3D(kHit_Sound, m_Position, 1.0f);
  m_State_Flags &= ~uint32_t{0xe0};
  ++m_Hit_Count;
  return true;
}

void CTarget_Glower_B::On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
  (void)strength;
  (void)contact;
  (void)normal;
  m_State_Flags &= ~uint32_t{0xd0};
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.01f;
}

CMatrix4x4 CTarget_Glower_B::World() const {
  const float s = m_Scale;
  return World_Matrix(*this, CVector3{s, s, s});
}

float CTarget_Glower_B::Glow_Intensity() const {
  const float p = (std::sin(m_Pulse_Phase) + 1.0f) * 0.5f;
  const float f = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f);
  return f * (p * p * 0.5f + 0.5f) * m_Scale;
}

void CTarget_Glower_B::Draw_Bursts(const CWorld_Mirror* mirror) {
  const float intensity = Glow_Intensity();
  if (!(intensity > 0.0f)) return;
  const float f = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f);
  // The bursts keep the variant's light after a hit; only the body turns black.
  CColor4 colour = Brighter(Get_Variant_Color(m_Colour_Index), 2.0f);
  colour.a *= intensity * 0.45f;
  const uint32_t packed = Pack(colour);
  const CVector3 side = m_Orientation.rows[0], up = m_Orientation.rows[1];
  for (float sign : {1.0f, -1.0f}) {
    const CVector3 centre = Add(m_Position, Mul(side, sign * f * m_Scale * 35.0f));
    Draw_Glow(centre, up, Mul(side, sign), 6, intensity * 25.0f, intensity * 600.0f, packed, m_Glow_Style,
              m_Glow_Texture, mirror);
  }
}

void CTarget_Glower_B::Render(const float& step) {
  const CMatrix4x4 world = World();
  const bool renormalise = m_Scale != 1.0f;
  const CColor4 colour = Get_Color();
  const CColor4 white{1, 1, 1, 1};
  targets::Draw(m_Model, world, m_Style, m_Texture, &colour, renormalise);
  targets::Draw(m_Core_Model, world, m_Glow_Style, m_Texture, &white, renormalise);
  m_Pulse_Phase = Wrap_Angle(m_Pulse_Phase + 3.0f * step);
  Draw_Bursts(nullptr);
  CShadowProjector::Cast_Shadow(1, m_Position, m_Collision_Radius * 0.75f, 0.45f);
}

void CTarget_Glower_B::Render_Reflection(const CWorld_Mirror& mirror) {
  const CMatrix4x4 world = Mirrored(World(), mirror);
  const bool renormalise = m_Scale != 1.0f;
  targets::Draw(m_Model, world, m_Mirror_Style, m_Texture, nullptr, renormalise);
  targets::Draw(m_Core_Model, world, m_Mirror_Style, m_Texture, nullptr, renormalise);
  Draw_Bursts(&mirror);
}

void CTarget_Glower_B::Render_With_Shader(void* style, void* texture) {
  auto* s = static_cast<CD3DRenderStyle*>(style);
  auto* t = static_cast<CTextureData*>(texture);
  const CMatrix4x4 world = World();
  targets::Draw(m_Model, world, s, t, nullptr, m_Scale != 1.0f);
  targets::Draw(m_Core_Model, world, s, t, nullptr, m_Scale != 1.0f);
}
