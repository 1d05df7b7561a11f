#include "game/targets/CTarget_Sparkler.h"

#include <algorithm>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/CDebris_Target_Sparkler.h"
#include "game/fx/FX_Resources.h"
#include "game/targets/Ejector_Shared.h"
#include "game/targets/Target_Shared.h"
#include "platform/system/random.h"

namespace {

constexpr uint32_t kSound_Hit = 0x220000F2;
constexpr float kRadius = 32.0f;
constexpr float kCloud_Reach = 300.0f;
constexpr float kDeath_Rate = 0.2f;
constexpr float kSparkle_Fade = 40.0f;
// Sparkles bounce off the terrain while the sparkler is this young, or once it dies.
constexpr float kBounce_Age = 1.5f;

constexpr CColor4 kSparkler_Colours[4] = {{1.0f, 0.5f, 0.5f, 1.0f}, {0.5f, 1.0f, 0.5f, 1.0f},
                                          {0.5f, 0.5f, 1.0f, 1.0f}, {1.0f, 1.0f, 0.5f, 1.0f}};

}  // namespace

CObject_Pool* CTarget_Sparkler::Pool() {
  static CObject_Pool_Of<CTarget_Sparkler, kType> pool;
  return &pool;
}

CColor4 CTarget_Sparkler::Variant_Color(int32_t variant) {
  return variant >= 1 && variant <= 4 ? kSparkler_Colours[variant - 1] : CColor4{1.0f, 1.0f, 1.0f, 1.0f};
}

bool CTarget_Sparkler::Init() {
  using R = targets::Resource;
  if (!targets::Load_Resources("CTarget_Sparkler", {R::Texture(0x22000047, m_Texture),
                                                    R::Style(0x22000031, m_Style, targets::kNo_Texture)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CTarget_Sparkler::Term() {
  m_Cloud.Destroy();
  fx::Release(m_Texture);
  fx::Release(m_Style);
  m_Initialised = false;
  m_Spawned = false;
}

bool CTarget_Sparkler::Spawn(const int32_t& variant) {
  m_Spawned = false;
  m_Variant = variant;
  m_Age = 0.0f;
  m_Hanging = false;
  m_Stopped_By_Hit = false;
  Setup_Object(kType, 100.0f, 100.0f, 0x06, kKind_Counted_Target);
  if (!Setup_Sphere_Body(45.0f, kRadius, 0.95f)) return false;
  // Its cloud reaches well past its body: drawn while any of the cloud may be in view.
  m_View_Radius = kCloud_Reach;
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  Set_Position(CVector3{0.0f, 0.0f, 0.0f});
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Sphere.velocity.Set(0.0f, 0.0f, 0.0f);
  m_Sphere.spin.Set(0.0f, 0.0f, 0.0f);
  m_Cloud.Set_Colour(Variant_Color(variant));
  // On failure the launcher gives the object back, out of the world's grid; its resources stay,
  // so the slot remains usable.
  if (!m_Cloud.Create(kSprites)) return false;
  m_Spawned = true;
  return true;
}

void CTarget_Sparkler::Release_Attachments() {
  m_Cloud.Destroy();
  CSphere_Object::Release_Attachments();
}

bool CTarget_Sparkler::Add_Sparkle(const CVector3& position, const CVector3& velocity, bool burst) {
  const float v = (1.0f - m_Kill_Timer) * 75.0f;
  const float size = v + v * static_cast<float>(plat::Random()) / 32767.0f;
  return m_Cloud.Add(position, velocity, size, burst ? kSprites : kEmission_Limit);
}

void CTarget_Sparkler::Update(const float& dt) {
  if (m_Stopped_By_Hit) {
    m_Stopped_By_Hit = false;
    m_Motion.Clear();
    m_Sphere.velocity.Set(0.0f, 0.0f, 0.0f);
    m_Sphere.spin.Set(0.0f, 0.0f, 0.0f);
  }
  Collide_Sphere_World(m_Motion);
  if (!m_Hanging || m_Kill_Timer != 0.0f) {
    Integrate_Sphere(m_Motion, dt);
    // Air drag: the fraction dt of the velocity goes each update, never past zero.
    const float keep = std::max(1.0f - dt, 0.0f);
    m_Sphere.velocity.Scale_Assign(keep);
  } else {
    m_Motion.Clear();
    m_Sphere.velocity.Set(0.0f, 0.0f, 0.0f);
    m_Sphere.spin.Set(0.0f, 0.0f, 0.0f);
  }
  if (m_Sphere.velocity.y < -1.0f) m_Hanging = true;
  m_Age += dt;
  if (m_Kill_Timer == 0.0f && !(m_Value1 > 0.0f)) m_Kill_Timer += 0.001f;
  if (m_Kill_Timer != 0.0f) m_Kill_Timer += kDeath_Rate * dt;
}

void CTarget_Sparkler::Emit(float dt) {
  if (!(m_Kill_Timer < 0.5f) || (m_Kind_Flags & kKind_Excluded)) return;
  if (!(fx::Random_Unit() * (1.0f - m_Kill_Timer) * 0.02f < dt)) return;
  const float x = 15.0f * fx::Random_Unit() - 7.5f;
  const float y = 15.0f * fx::Random_Unit() - 7.5f;
  const float z = 15.0f * fx::Random_Unit() - 7.5f;
  const float vx = 45.0f * fx::Random_Unit() - 22.5f;
  const float vy = 10.0f + 45.0f * fx::Random_Unit() - 22.5f;
  const float vz = 45.0f * fx::Random_Unit() - 22.5f;
  Add_Sparkle(CVector3{m_Position.x + x, m_Position.y + y, m_Position.z + z}, CVector3{vx, vy, vz}, false);
}

void CTarget_Sparkler::Update_Sparkles(float dt) {
  Emit(dt);
  const bool bounce = m_Kill_Timer != 0.0f || m_Age < kBounce_Age;
  m_Cloud.Step(1.5f * dt, kSparkle_Fade, bounce);
}

bool CTarget_Sparkler::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  (void)shot;
  if (m_Kind_Flags & kKind_Excluded) return true;
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.001f;
  m_State_Flags &= ~kState_No_Object_Collision;
  m_Sphere.velocity.Set(0.0f, 0.0f, 0.0f);
  m_Stopped_By_Hit = true;
  if (const targets::Target_Member* member = targets::Find_Target_Member(kType))
    targets::Register_First_Hit(*member, *this, other);
  m_Kind_Flags |= kKind_Excluded;
  Burst();
  Spawn_Flash(m_Position, Variant_Color(m_Variant));
  Play_Sound_3D(kSound_Hit, m_Position, 1.0f);
  return true;
}

void CTarget_Sparkler::Burst() {
  for (;;) {
    const float vx = 60.0f * fx::Random_Unit() - 30.0f;
    const float vy = 240.0f * fx::Random_Unit() - 120.0f;
    const float vz = 60.0f * fx::Random_Unit() - 30.0f;
    if (!Add_Sparkle(m_Position, CVector3{vx, vy, vz}, true)) return;
  }
}

void CTarget_Sparkler::Spawn_Flash(const CVector3& at, const CColor4& colour) {
  CObject_Pool* pool = g_Object_Pools[CDebris_Target_Sparkler::kType];
  CWorld_Object* object = pool ? pool->Alloc_Object() : nullptr;
  if (!object) return;
  auto* flash = static_cast<CDebris_Target_Sparkler*>(object);
  if (!flash->Spawn(targets::Color_To_ARGB_Order(colour))) {
    ejectors::Give_Back_Unspawned(object);
    return;
  }
  g_World.Add_Object(1, flash);
  flash->m_Orientation = CMatrix3x3::Identity;
  flash->Set_Position(at);
  flash->m_Box.velocity.Set(0.0f, 0.0f, 0.0f);
  flash->m_Box.spin.Set(0.0f, 0.0f, 0.0f);
}

void CTarget_Sparkler::On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
  (void)strength;
  (void)contact;
  (void)normal;
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.001f;
  m_State_Flags &= ~kState_No_Object_Collision;
}

void CTarget_Sparkler::Render(const float& step) {
  Update_Sparkles(step);
  m_Cloud.Draw(nullptr, m_Style, m_Texture, 2);
}

void CTarget_Sparkler::Render_Reflection(const CWorld_Mirror& mirror) {
  m_Cloud.Draw(&mirror.transform, m_Style, m_Texture, 1);
}
