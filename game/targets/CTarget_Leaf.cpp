#include "game/targets/CTarget_Leaf.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/targets/Flyer_Shared.h"

using namespace flyer;

namespace {
constexpr const char* kName = "CTarget_Leaf";
constexpr uint32_t kBurst_Sound = 0x220000f9;
}  // namespace

CObject_Pool* CTarget_Leaf::Pool() {
  static CObject_Pool_Of<CTarget_Leaf, kType> pool;
  return &pool;
}

bool CTarget_Leaf::Init() {
  if (!Load_Resources(kName, {Resource::Renderable(0x220000e7, m_Model, kNo_Renderable), Resource::Texture(0x220000e5, m_Texture, kNo_Texture),
                    Resource::Style(0x220000e6, m_Style, kNo_Shader)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CTarget_Leaf::Term() {
  Release_Resources({Resource::Renderable(0, m_Model, ""), Resource::Texture(0, m_Texture, ""), Resource::Style(0, m_Style, "")});
  m_Initialised = false;
  m_Spawned = false;
}

bool CTarget_Leaf::Spawn(const CVector3& point) {
  m_Spawned = false;
  Setup_Object(kType, 100.0f, 100.0f, 0xc0, kKind_Counted_Target);
  m_Size = 0.5f + Random01();
  if (!Setup_Sphere_Body(5.0f, m_Size * 38.0f, 0.0f)) return false;
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  m_Age = 0.0f;
  m_Start = point;
  Set_Position(point);
  m_Sway_Phase = Random01() * kTwo_Pi;
  m_Drift_Phase = Random01() * kTwo_Pi;
  m_Alarm = 0.0f;
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Sphere.spin.Set(0, 0, 0);
  m_Sphere.velocity.Set(0.0f, 0.0f, 250.0f);
  m_Scale_Matrix.Set_Identity();
  m_Scale_Matrix.m[0][0] = m_Scale_Matrix.m[1][1] = m_Scale_Matrix.m[2][2] = m_Size;
  const float red = 0.9f + 0.1f * Random01();
  const float green = 0.6f + 0.4f * Random01();
  const float blue = Random01();
  m_Colour = CColor4{red, green, blue, 1.0f};
  m_Spawned = true;
  return true;
}

CVector3 CTarget_Leaf::Path_Point() const {
  return CVector3{m_Start.x + std::sin(m_Drift_Phase) * m_Size * 150.0f,
                  m_Start.y + std::sin(m_Sway_Phase) * m_Size * 100.0f - m_Age * 20.0f,
                  m_Start.z + m_Size * m_Age * 250.0f};
}

void CTarget_Leaf::Tumble(float dt) {
  const CVector3 spin = Mul(CVector3{3.0f, 0.2f, 0.07f}, 2.0f - m_Size);
  m_Sphere.spin = spin;
  const CVector3 step = Mul(spin, dt);
  const float angle = Length(step);
  if (!(angle >= 1e-6f)) return;
  CMatrix3x3 turn;
  turn.From_Axis_Angle(Mul(step, 1.0f / angle), angle);
  m_Orientation.Multiply_Assign(turn);
}

void CTarget_Leaf::Update(const float& dt) {
  m_Sway_Phase = Wrap_Angle(m_Sway_Phase + 0.45f * dt);
  m_Drift_Phase = Wrap_Angle(m_Drift_Phase + 0.25f * dt);
  Set_Position(Path_Point());
  Tumble(dt);
  // An alarm whose burst was refused (a leaf still in its guard age) tries again next update.
  if (m_Alarm != 0.0f && m_Kill_Timer == 0.0f) {
    m_Alarm -= 2.0f * dt;
    if (!(m_Alarm > 0.0f)) On_Hit(nullptr, nullptr);
  }
  // A leaf that drifts down to the terrain lands there.
  if (m_Kill_Timer == 0.0f && m_Position.y <= Ground(m_Position.x, m_Position.z) + m_Collision_Radius) On_Land();
  if (m_Age < 25.0f && m_Age + dt >= 25.0f && m_Kill_Timer == 0.0f) m_Kill_Timer = 1.0f;
  m_Age += dt;
}

void CTarget_Leaf::On_Land() { m_Kill_Timer = 1.0f; }

bool CTarget_Leaf::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kGuard_Age || (other && other->m_Kind_Flags != kKind_Shot) || m_Kill_Timer != 0.0f) return false;
  Chain_Burst(*this, other, shot, Pack(m_Colour), 40.0f, 0.6f, kChain_Points, kBurst_Sound);
  For_Live_Neighbours(*this, kAlarm_Reach, [](CWorld_Object* object) {
    auto* leaf = static_cast<CTarget_Leaf*>(object);
    if (leaf->m_Alarm == 0.0f) leaf->m_Alarm = 1.0f;
  });
  return true;
}

void CTarget_Leaf::Render(const float& step) {
  (void)step;
  CMatrix4x4 world;
  m_Scale_Matrix.Multiply(World_Matrix(*this, CVector3{1, 1, 1}), world);
  targets::Draw(m_Model, world, m_Style, m_Texture, &m_Colour, true);
}
