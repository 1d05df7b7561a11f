#include "game/targets/CTarget_Flare.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/CDebris_Target_Ground_Proj.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/targets/Flyer_Shared.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "game/core/CGame.h"

using namespace flyer;

namespace {
constexpr const char* kName = "CTarget_Flare";
constexpr uint32_t kBurst_Sound = 0x220000f9;
}  // namespace

CObject_Pool* CTarget_Flare::Pool() {
  static CObject_Pool_Of<CTarget_Flare, kType> pool;
  return &pool;
}

bool CTarget_Flare::Init() {
  if (!Load_Resources(kName, {Resource::Texture(0x2200005c, m_Texture, kNo_Texture), Resource::Style(0x22000031, m_Style, kNo_Shader)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CTarget_Flare::Term() {
  Release_Resources({Resource::Texture(0, m_Texture, ""), Resource::Style(0, m_Style, "")});
  m_Initialised = false;
  m_Spawned = false;
}

void CTarget_Flare::Leave_Mark(int slot, const CVector3& point) const {
  CObject_Pool* pool = g_Object_Pools[CDebris_Target_Ground_Proj::kType];
  CWorld_Object* object = pool ? pool->Alloc_Object() : nullptr;
  if (!object) return;
  auto* mark = static_cast<CDebris_Target_Ground_Proj*>(object);
  if (!mark->Spawn(slot, point, m_Colour)) {
    pool->Free_Object(mark);
    return;
  }
  g_World.Add_Object(1, mark);
  mark->Set_Position(point);
}

bool CTarget_Flare::Spawn(const CVector3& start, const uint8_t& ground_launch) {
  m_Spawned = false;
  Setup_Object(kType, 100.0f, 100.0f, 0xe2, kKind_Counted_Target);
  const float k = 0.75f + Random01() * 0.5f;
  m_Size_Factor = k;
  if (!Setup_Sphere_Body(5.0f, 45.0f * k, 0.0f)) return false;
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  m_Ground_Launch = ground_launch != 0;
  m_Age = 0.0f;
  m_Start = start;
  Set_Position(start);
  m_Pulse_Phase = 0.0f;
  m_Chain_Timer = 0.0f;
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  if (m_Ground_Launch) {
    const float x = k * (Random01() * 20.0f - 10.0f);
    const float z = k * (Random01() * 20.0f - 10.0f);
    m_Sphere.velocity = Mul(CVector3{x, k * 235.0f, z}, 0.5f);
  } else {
    const float x = k * (Random01() * 100.0f - 50.0f);
    m_Sphere.velocity = Mul(CVector3{x, k * -200.0f, k * 400.0f}, 0.5f);
  }
  // The colour is drawn before the launch mark takes it.
  const float r = 0.4f + Random01() * 0.6f, g = 0.4f + Random01() * 0.6f, b = 0.4f + Random01() * 0.6f;
  m_Colour = 0xFF000000u | fx::Channel_Byte(r) << 16 | fx::Channel_Byte(g) << 8 | fx::Channel_Byte(b);
  if (m_Ground_Launch) Leave_Mark(1, start);
  m_Spawned = true;
  return true;
}

void CTarget_Flare::Update(const float& dt) {
  m_Pulse_Phase = Wrap_Angle(m_Pulse_Phase + 5.25f * dt);
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  if (m_Chain_Timer != 0.0f && m_Kill_Timer == 0.0f) {
    m_Chain_Timer -= 2.0f * dt;
    if (m_Chain_Timer <= 0.0f) On_Hit(nullptr, nullptr);
  }
  if (!m_Ground_Launch && m_Kill_Timer == 0.0f && Ground(m_Position.x, m_Position.z) + 20.0f >= m_Position.y)
    On_Land(CVector3{0.0f, 1.0f, 0.0f});
  m_Age += dt;
  if (m_Age > (m_Ground_Launch ? 12.0f : 25.0f) && m_Kill_Timer == 0.0f) m_Kill_Timer = 1.0f;
}

bool CTarget_Flare::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kGuard_Age || (other && other->m_Kind_Flags != kKind_Shot) || m_Kill_Timer != 0.0f) return false;
  Chain_Burst(*this, other, shot, m_Colour, 50.0f, 0.5f, kChain_Points, kBurst_Sound);
  For_Live_Neighbours(*this, kChain_Reach, [](CWorld_Object* object) {
    auto* flare = static_cast<CTarget_Flare*>(object);
    if (flare->m_Chain_Timer == 0.0f) flare->m_Chain_Timer = 1.0f;
  });
  return true;
}

void CTarget_Flare::On_Land(const CVector3& normal) {
  if (m_Kill_Timer != 0.0f || std::fabs(normal.x) == 1.0f || std::fabs(normal.z) == 1.0f) return;
  m_Kill_Timer = 1.0f;
  Leave_Mark(0, m_Position);
}

float CTarget_Flare::Brightness() const {
  return ((std::sin(m_Pulse_Phase) + 1.0f) * 0.1f + 0.9f) * m_Size_Factor;
}

void CTarget_Flare::Render(const float& step) {
  (void)step;
  const float a = Brightness();
  const float core = a * a * 25.0f;
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
  const uint32_t colour = With_Alpha(m_Colour, a * 255.0f);
  Draw_Billboard(m_Position, core, core, colour, m_Style, m_Texture);
  Draw_Billboard(m_Position, core, core, colour, m_Style, m_Texture);
  const float halo = a * a * 175.0f;
  Draw_Billboard(m_Position, halo, halo, With_Alpha(m_Colour, a * 0.2f * 255.0f), m_Style, m_Texture);
}
