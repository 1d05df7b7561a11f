#include "game/targets/CTarget_Boomer.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/Sound_FX.h"
#include "game/fx/CShadowProjector.h"
#include "game/targets/Flyer_Shared.h"

using namespace flyer;

namespace {
constexpr const char* kName = "CTarget_Boomer";
constexpr uint32_t kHit_Sound = 0x220000f0;
}  // namespace

CObject_Pool* CTarget_Boomer::Pool() {
  static CObject_Pool_Of<CTarget_Boomer, kType> pool;
  return &pool;
}

bool CTarget_Boomer::Init() {
  if (!Load_Resources(kName, {Resource::Renderable(0x220000e2, m_Model, kNo_Renderable), Resource::Renderable(0x220000e3, m_Trim_Model, kNo_Renderable),
                    Resource::Texture(0x2200002c, m_Texture, kNo_Texture), Resource::Texture(0x22000029, m_Trim_Texture, kNo_Texture),
                    Resource::Style(0x2200004d, m_Style, kNo_Shader), Resource::Style(0x22000058, m_Trim_Style, kNo_Shader)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CTarget_Boomer::Term() {
  Release_Resources({Resource::Renderable(0, m_Model, ""), Resource::Renderable(0, m_Trim_Model, ""), Resource::Texture(0, m_Texture, ""),
           Resource::Texture(0, m_Trim_Texture, ""), Resource::Style(0, m_Style, ""), Resource::Style(0, m_Trim_Style, "")});
  m_Initialised = false;
  m_Spawned = false;
}

bool CTarget_Boomer::Spawn(const int& colour_index, const CVector3& start) {
  m_Spawned = false;
  m_Colour_Index = colour_index;
  Setup_Object(kType, 100.0f, 100.0f, 0xf4, kKind_Counted_Target);
  if (!Setup_Box_Body(65.0f, CVector3{1.0f, 1.0f, 1.0f}, 0.5f)) return false;
  m_Fast_Fade = false;
  m_Box.hit_flag = 1;
  m_Box.floor_contact_flag = 1;
  m_Scale = 0.0f;
  m_Life = 15.0f;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Phase = 0.0f;
  m_Start = start;
  m_Camera_At_Spawn = Camera_Position();
  m_Right_Side = m_Camera_At_Spawn.x < start.x;
  m_Side_Distance = std::fabs(start.x - m_Camera_At_Spawn.x);
  m_Path_Depth = m_Camera_At_Spawn.z + (0.6f + Random01() * 0.25f) * (World_Z() - m_Camera_At_Spawn.z);
  Set_Position(CVector3{0, 0, 0});
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Box.velocity.Set(0.0f, 0.0f, 250.0f);
  m_Spawned = true;
  return true;
}

CColor4 CTarget_Boomer::Get_Color() const { return m_Hit_Count > 0 ? Black() : Get_Variant_Color(m_Colour_Index); }

CVector3 CTarget_Boomer::Path_Point(float phase) const {
  const float swing = std::cos(phase) * m_Side_Distance;
  return CVector3{m_Camera_At_Spawn.x + (m_Right_Side ? swing : -swing), m_Start.y,
                  m_Camera_At_Spawn.z + std::sin(phase) * m_Path_Depth};
}

void CTarget_Boomer::Update(const float& dt) {
  if (m_Scale != 1.0f || m_Kill_Timer != 0.0f) {
    const float grown = m_Kill_Timer != 0.0f ? 1.0f - m_Kill_Timer : m_Age / kGuard_Age;
    m_Scale = std::clamp(grown, 0.0f, 1.0f);
    Set_Box_Extents(Add(Mul(CVector3{49.0f, 64.0f, 49.0f}, m_Scale), CVector3{1.0f, 1.0f, 1.0f}));
  }
  if (m_Hit_Count == 0 && m_Kill_Timer == 0.0f) {
    m_Motion.acceleration.Set(0, 0, 0);
    m_Motion.torque.Set(0, 0, 0);
    m_Box.spin.Set(0.0f, 1.0f, 0.0f);
    Set_Position(Path_Point(m_Phase));
    m_Phase += 0.3f * dt;
  } else {
    Collide_Box_World(m_Motion);
  }
  Integrate_Box(m_Motion, dt);
  m_Life -= dt;
  if (m_Life < 0.0f) {
    if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.0001f;
    m_Life = 0.0f;
  }
  if (m_Age < kGuard_Age && m_Age + dt >= kGuard_Age) m_State_Flags &= ~uint32_t{0x30};
  m_Age += dt;
  if (m_Position.z < Camera_Position().z - 100.0f && m_Age > kGuard_Age && m_Kill_Timer == 0.0f) {
    m_Fast_Fade = true;
    m_Kill_Timer = 0.001f;
  }
  if (m_Kill_Timer == 0.0f && !(m_Value1 > 0.0f)) m_Kill_Timer = 0.001f;
  if (m_Kill_Timer != 0.0f) m_Kill_Timer += (m_Fast_Fade ? 2.0f : 0.2f) * dt;
}

bool CTarget_Boomer::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kGuard_Age) return false;
  if (m_Hit_Count == 0) {
    Bar_First_Hit(*this, other, shot, m_Colour_Index, kHit_Sound);
    Award_Precision(m_Position, other, shot);
  }
  m_State_Flags &= ~uint32_t{0xe0};
  ++m_Hit_Count;
  return true;
}

void CTarget_Boomer::On_Floor_Contact(const CVector3& normal) {
  (void)normal;
  m_State_Flags &= ~uint32_t{0xd0};
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.01f;
}

CMatrix4x4 CTarget_Boomer::World() const {
  const float s = m_Scale;
  return World_Matrix(*this, CVector3{s, s, s});
}

void CTarget_Boomer::Draw(const CMatrix4x4& world, CD3DRenderStyle* first, CD3DRenderStyle* second,
                          CTextureData* first_texture, CTextureData* second_texture, bool tinted) {
  const bool renormalise = m_Scale != 1.0f;
  const CColor4 colour = Get_Color();
  const CColor4 white{1, 1, 1, 1};
  targets::Draw(m_Model, world, first, first_texture, tinted ? &colour : nullptr, renormalise);
  targets::Draw(m_Trim_Model, world, second, second_texture, tinted ? &white : nullptr, renormalise);
}

void CTarget_Boomer::Render(const float& step) {
  (void)step;
  Draw(World(), m_Style, m_Trim_Style, m_Texture, m_Trim_Texture, true);
  CShadowProjector::Cast_Shadow(1, m_Position, m_Collision_Radius * 0.65f, 0.5f);
}

void CTarget_Boomer::Render_Reflection(const CWorld_Mirror& mirror) {
  Draw(Mirrored(World(), mirror), m_Style, m_Trim_Style, m_Texture, m_Trim_Texture, true);
}

void CTarget_Boomer::Render_With_Shader(void* style, void* texture) {
  auto* s = static_cast<CD3DRenderStyle*>(style);
  auto* t = static_cast<CTextureData*>(texture);
  Draw(World(), s, s, t, t, false);
}
