#include "game/targets/CTarget_Bar.h"

#include <algorithm>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/CShadowProjector.h"
#include "game/sim/Launch_Helpers.h"
#include "game/targets/Flyer_Shared.h"

using namespace flyer;

namespace {
constexpr const char* kName = "CTarget_Bar";
constexpr uint32_t kHit_Sound = 0x220000f0;
}  // namespace

CObject_Pool* CTarget_Bar::Pool() {
  static CObject_Pool_Of<CTarget_Bar, kType> pool;
  return &pool;
}

bool CTarget_Bar::Init() {
  if (!Load_Resources(kName, {Resource::Renderable(0x220000e8, m_Model, kNo_Renderable), Resource::Renderable(0x220000e9, m_Cap_Model, kNo_Renderable),
                    Resource::Texture(0x2200002c, m_Texture, kNo_Texture), Resource::Texture(0x22000029, m_Cap_Texture, kNo_Texture),
                    Resource::Style(0x2200004d, m_Style, kNo_Shader), Resource::Style(0x22000058, m_Cap_Style, kNo_Shader)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CTarget_Bar::Term() {
  Release_Resources({Resource::Renderable(0, m_Model, ""), Resource::Renderable(0, m_Cap_Model, ""), Resource::Texture(0, m_Texture, ""), Resource::Texture(0, m_Cap_Texture, ""),
           Resource::Style(0, m_Style, ""), Resource::Style(0, m_Cap_Style, "")});
  m_Initialised = false;
  m_Spawned = false;
}

bool CTarget_Bar::Spawn(const int& colour_index, const CVector3& position) {
  m_Spawned = false;
  m_Colour_Index = colour_index;
  Setup_Object(kType, 100.0f, 100.0f, 0xb4, kKind_Counted_Target);
  if (!Setup_Box_Body(65.0f, CVector3{1.0f, 15.0f, 15.0f}, 0.5f)) return false;
  m_Box.hit_flag = 1;
  m_Box.floor_contact_flag = 1;
  m_Fast_Fade = false;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Scale = 0.01f;
  Set_Position(position);
  m_Orientation.rows[0].Set(0.0f, 1.0f, 0.0f);
  m_Orientation.rows[1].Set(-1.0f, 0.0f, 0.0f);
  m_Orientation.rows[2].Set(0.0f, 0.0f, 1.0f);
  m_Motion.Clear();
  // The lob: up at v, coming down in front of the camera on the far side of the spawn point.
  const CVector3& camera = Camera_Position();
  const float v = 300.0f + Random01() * 35.0f;
  const float X = World_X();
  const float across = position.x > camera.x ? (1.0f + Random01()) * 0.05f * X : (0.9f + Random01() * 0.05f) * X;
  const CVector3 aim{across, camera.y - (0.8f + Random01() * 0.4f) * 500.0f, camera.z};
  m_Box.velocity = Calc_Launch_Velocity(position.x, position.y, position.z, aim, v, 0.5f);
  const float sx = Random01() * 0.4f - 0.2f;
  const float sy = (1.0f + Random01()) * -2.0f;
  const float sz = Random01() * 0.2f - 0.1f;
  m_Box.spin.Set(sx, sy, sz);
  m_Spawned = true;
  return true;
}

CColor4 CTarget_Bar::Get_Color() const { return m_Hit_Count > 0 ? Black() : Get_Variant_Color(m_Colour_Index); }

void CTarget_Bar::Update(const float& dt) {
  if (m_Scale != 1.0f || m_Kill_Timer != 0.0f) {
    const float grown = m_Kill_Timer != 0.0f ? 1.0f - m_Kill_Timer : m_Age / kGuard_Age;
    m_Scale = std::clamp(grown, 0.0f, 1.0f);
    Set_Box_Extents(CVector3{1.0f + 69.0f * m_Scale, 15.0f, 15.0f});
  }
  m_Motion.acceleration.Subtract_Assign(Mul(g_World.m_Gravity, 0.5f));
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  if (m_Age > 15.0f && m_Kill_Timer == 0.0f) m_Kill_Timer += 0.01f;
  if (m_Age < kGuard_Age && m_Age + dt >= kGuard_Age) m_State_Flags &= ~uint32_t{0x30};
  m_Age += dt;
  if (m_Position.z < Camera_Position().z - 100.0f && m_Age > kGuard_Age && m_Kill_Timer == 0.0f) {
    m_Fast_Fade = true;
    m_Kill_Timer = 0.001f;
  }
  if (m_Kill_Timer != 0.0f) m_Kill_Timer += (m_Fast_Fade ? 2.0f : 0.5f) * dt;
}

bool CTarget_Bar::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kGuard_Age) return false;
  if (m_Hit_Count == 0) {
    Bar_First_Hit(*this, other, shot, m_Colour_Index, kHit_Sound);
  }
  m_State_Flags &= ~uint32_t{0xa0};
  ++m_Hit_Count;
  return true;
}

void CTarget_Bar::On_Floor_Contact(const CVector3& normal) {
  (void)normal;
  if (m_Age < kGuard_Age) return;
  m_State_Flags &= ~uint32_t{0xa0};
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.01f;
}

CMatrix4x4 CTarget_Bar::World() const { return World_Matrix(*this, CVector3{m_Scale, 1.0f, 1.0f}); }

void CTarget_Bar::Draw(const CMatrix4x4& world, CD3DRenderStyle* first, CD3DRenderStyle* second,
                       CTextureData* first_texture, CTextureData* second_texture, bool tinted) {
  const bool renormalise = m_Scale != 1.0f;
  const CColor4 colour = Get_Color();
  targets::Draw(m_Model, world, first, first_texture, tinted ? &colour : nullptr, renormalise);
  targets::Draw(m_Cap_Model, world, second, second_texture, nullptr, renormalise);
}

void CTarget_Bar::Render(const float& step) {
  (void)step;
  Draw(World(), m_Style, m_Cap_Style, m_Texture, m_Cap_Texture, true);
  CShadowProjector::Cast_Shadow(1, m_Position, m_Collision_Radius * 0.65f, 0.5f);
}

void CTarget_Bar::Render_Reflection(const CWorld_Mirror& mirror) {
  CMatrix4x4 world;
  World().Multiply(mirror.transform, world);
  Draw(world, m_Style, m_Cap_Style, m_Texture, m_Cap_Texture, true);
}

void CTarget_Bar::Render_With_Shader(void* style, void* texture) {
  auto* s = static_cast<CD3DRenderStyle*>(style);
  auto* t = static_cast<CTextureData*>(texture);
  Draw(World(), s, s, t, t, false);
}
