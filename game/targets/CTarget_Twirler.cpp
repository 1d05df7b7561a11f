#include "game/targets/CTarget_Twirler.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CTarget_Link_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/FX_Resources.h"
#include "game/targets/CEjector_Twirler.h"
#include "game/targets/CTarget_Sparkler.h"
#include "game/targets/Target_Shared.h"
#include "platform/system/random.h"
#include "game/core/CGame.h"

namespace {

constexpr float kTwo_Pi = 6.2831853f;
constexpr uint32_t kSound_Hit = 0x220000F2;
constexpr float kRadius = 60.0f;
// Its ribbons trail round the whole orbit: drawn while any of them may be in view.
constexpr float kRibbon_Reach = 1200.0f;
constexpr float kLife = 200.0f;
constexpr float kDeath_Rate = 0.2f;
constexpr float kSparkle_Fade = 45.0f;
constexpr float kEmission_Rate = 50.0f;
constexpr float kBurst_Colour_Factor = 1.25f;
constexpr float kRibbon_Span = 10.0f;
constexpr float kRibbon_Step = 0.078125f;

constexpr CColor4 kTwirler_Colours[4] = {{0.5f, 1.0f, 0.5f, 1.0f}, {1.0f, 1.0f, 0.4f, 1.0f}, {1.0f, 0.3f, 1.0f, 1.0f},
                                         {1.0f, 0.3f, 0.3f, 1.0f}};

float Key_Time(int key) { return static_cast<float>(key) * kRibbon_Span / 47.0f; }

float Wrapped(float angle) {
  angle = std::fmod(angle, kTwo_Pi);
  return angle < 0.0f ? angle + kTwo_Pi : angle;
}

}  // namespace

CObject_Pool* CTarget_Twirler::Pool() {
  static CObject_Pool_Of<CTarget_Twirler, kType> pool;
  return &pool;
}

bool CTarget_Twirler::Init() {
  using R = targets::Resource;
  if (!targets::Load_Resources("CTarget_Twirler", {R::Texture(0x22000047, m_Sparkle_Texture),
                                                   R::Texture(0x22000064, m_Ribbon_Texture),
                                                   R::Style(0x22000031, m_Style, targets::kNo_Texture)})) {
    Term();
    return false;
  }
  m_Ribbon_Spline.Clear();
  for (int key = 0; key < kRibbon_Keys; ++key)
    m_Ribbon_Spline.AddKey(Key_Time(key), CVector3{0.0f, 0.0f, 0.0f}, 0.0f, 0.0f, 0.0f);
  m_Initialised = true;
  return true;
}

void CTarget_Twirler::Term() {
  m_Cloud.Destroy();
  fx::Release(m_Sparkle_Texture);
  fx::Release(m_Ribbon_Texture);
  fx::Release(m_Style);
  m_Ejector_Lock.Clear();
  m_Initialised = false;
  m_Spawned = false;
}

CColor4 CTarget_Twirler::Get_Color() const {
  return m_Variant >= 0 && m_Variant < 4 ? kTwirler_Colours[m_Variant] : CColor4{1.0f, 1.0f, 1.0f, 1.0f};
}

bool CTarget_Twirler::Spawn(const int32_t& variant, CWorld_Object* ejector, const CVector3& point) {
  m_Spawned = false;
  m_Variant = variant;
  m_Hit_Count = 0;
  m_Clockwise = fx::Random_Unit() < 0.5f;
  Setup_Object(kType, 100.0f, 100.0f, 0x76, kKind_Counted_Target);
  if (!Setup_Sphere_Body(1.0f, kRadius, 0.01f)) return false;
  m_View_Radius = kRibbon_Reach;
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  m_Life = kLife;
  m_Age = m_Emission_Carry = 0.0f;
  m_Orbit_Radius = 400.0f + 200.0f * fx::Random_Unit();
  m_Orbit_Angle = fx::Random_Unit() * kTwo_Pi;
  m_Orbit_Speed = 1.0f;
  m_Bob_Phase = fx::Random_Unit() * kTwo_Pi;
  m_Bob_Rate = 0.75f + 0.5f * fx::Random_Unit();
  Set_Position(point);
  m_Motion.Clear();
  m_Sphere.velocity.Set(0.0f, 0.0f, 0.0f);
  m_Sphere.spin.Set(0.0f, 0.0f, 0.0f);
  m_Trail_Head = 0;
  for (Trail_Point& p : m_Trail) p = Trail_Point{point, 0.0f};
  m_Cloud.Set_Colour(Get_Color());
  for (int key = 0; key < kRibbon_Keys; ++key) m_Ribbon_Spline.Set_Key_Value(key, point);
  // The last twirler's ribbons must not be drawn for this one.
  m_Ribbons_Built = false;
  // As the sparkler: on failure the launcher gives it back, out of the world's grid.
  if (!m_Cloud.Create(kSprites)) return false;
  m_Ejector_Lock.Clear();
  m_Ejector_Lock.Start(this);
  if (ejector) g_Target_Link_Pool.Add_Link(ejector, &m_Ejector_Lock);
  m_Spawned = true;
  return true;
}

void CTarget_Twirler::Release_Attachments() {
  m_Cloud.Destroy();
  m_Ejector_Lock.Clear();
  CSphere_Object::Release_Attachments();
}

CWorld_Object* CTarget_Twirler::Find_Ejector() const {
  for (CTarget_Link* link = m_Ejector_Lock.m_Link_Chain; link; link = link->m_Next_Of_Lock)
    if (link->m_Object && link->m_Object->m_Type == CEjector_Twirler::kType) return link->m_Object;
  return nullptr;
}

CVector3 CTarget_Twirler::Orbit_Point(const CWorld_Object& ejector) const {
  const CVector3& base = ejector.m_Position;
  return CVector3{base.x + m_Orbit_Radius * std::sin(m_Orbit_Angle),
                  base.y + ejector.m_Fixed.half_size.y + std::sin(m_Bob_Phase) * 200.0f,
                  base.z + m_Orbit_Radius * std::cos(m_Orbit_Angle)};
}

void CTarget_Twirler::Follow_Ejector(float dt) {
  const CWorld_Object* ejector = Find_Ejector();
  if (!ejector || m_Kill_Timer != 0.0f) {
    m_Kill_Timer = std::max(m_Kill_Timer, 0.001f);
    return;
  }
  const float turn = dt * m_Orbit_Speed * 0.5f;
  m_Orbit_Angle = Wrapped(m_Clockwise ? m_Orbit_Angle + turn : m_Orbit_Angle - turn);
  m_Bob_Phase = Wrapped(m_Bob_Phase + dt * m_Bob_Rate * 0.42f);
  const CVector3 target = Orbit_Point(*ejector);
  const CVector3& v = m_Sphere.velocity;
  m_Motion.acceleration.x += (target.x - m_Position.x) * 5.0f - v.x * 2.5f;
  m_Motion.acceleration.y += (target.y - m_Position.y) * 5.0f - v.y * 2.5f;
  m_Motion.acceleration.z += (target.z - m_Position.z) * 5.0f - v.z * 2.5f;
}

void CTarget_Twirler::Advance_Trail(float dt) {
  for (Trail_Point& p : m_Trail) p.age += dt;
  if (!(m_Trail[m_Trail_Head].age > kTrail_Spacing)) return;
  m_Trail_Head = (m_Trail_Head + 1) % kTrail_Points;
  m_Trail[m_Trail_Head] = Trail_Point{m_Position, 0.0f};
}

void CTarget_Twirler::Update(const float& dt) {
  Follow_Ejector(dt);
  if (!(m_State_Flags & kState_No_Gravity)) targets::Lift_Half_Gravity(*this);
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  Advance_Trail(dt);
  if (targets::Life_Step(*this, m_Life, m_Age, dt, kGuard_Age)) {
    targets::Shrink_Sphere(*this, kRadius);
    m_View_Radius = kRibbon_Reach;
    m_Kill_Timer += kDeath_Rate * dt;
  }
}

bool CTarget_Twirler::Add_Sparkle(const CVector3& position, const CVector3& velocity) {
  const float k = 1.0f - m_Kill_Timer;
  const float size = k * 40.0f + static_cast<float>(plat::Random()) / 32767.0f * k * 50.0f;
  return m_Cloud.Add(position, velocity, size, kSprites);
}

void CTarget_Twirler::Emit(float dt) {
  const float rate = (1.0f - m_Kill_Timer) * kEmission_Rate;
  if (!(rate > 0.0f)) {
    m_Emission_Carry = 0.0f;
    return;
  }
  const float due = (dt + m_Emission_Carry) * rate;
  const int count = static_cast<int>(std::floor(due));
  m_Emission_Carry = (due - static_cast<float>(count)) / rate;
  const CVector3& v = m_Sphere.velocity;
  for (int i = 0; i < count; ++i) {
    const float back = fx::Random_Unit() * 1.5f * dt - dt;
    const CVector3 at{m_Position.x + 5.0f * fx::Random_Unit() - 2.5f + v.x * back,
                      m_Position.y + 5.0f * fx::Random_Unit() - 2.5f + v.y * back,
                      m_Position.z + 5.0f * fx::Random_Unit() - 2.5f + v.z * back};
    const CVector3 velocity{45.0f * fx::Random_Unit() - 22.5f, 10.0f + 45.0f * fx::Random_Unit() - 22.5f,
                            45.0f * fx::Random_Unit() - 22.5f};
    if (!Add_Sparkle(at, velocity)) return;
  }
}

void CTarget_Twirler::Update_Sparkles(float dt) {
  Emit(dt);
  m_Cloud.Step(1.5f * dt, kSparkle_Fade, m_Kill_Timer != 0.0f || m_Age < kGuard_Age);
}

CVector3 CTarget_Twirler::Trail_At(float age) const {
  // The twirler itself is the newest point (age 0), ahead of the stored trail.
  Trail_Point newer{m_Position, 0.0f};
  int index = m_Trail_Head;
  for (int step = 0; step < kTrail_Points; ++step) {
    const Trail_Point& older = m_Trail[index];
    if (older.age > age) {
      const float gap = std::max(older.age - newer.age, 0.0001f);
      const float f = std::clamp((age - newer.age) / gap, 0.0f, 1.0f);
      return CVector3{newer.point.x + (older.point.x - newer.point.x) * f,
                      newer.point.y + (older.point.y - newer.point.y) * f,
                      newer.point.z + (older.point.z - newer.point.z) * f};
    }
    newer = older;
    index = (index + kTrail_Points - 1) % kTrail_Points;
  }
  return newer.point;
}

void CTarget_Twirler::Build_Ribbons() {
  for (int key = 0; key < kRibbon_Keys; ++key) m_Ribbon_Spline.Set_Key_Value(key, Trail_At(Key_Time(key)));
  m_Ribbon_Spline.ComputeSpline();
  const CColor4 colour = Get_Color();
  const uint32_t rgb = targets::Pack_Scaled_ARGB(colour, 1.0f) & 0x00FFFFFFu;
  const CVector3 halves[2] = {CVector3{0.0f, 20.0f, 0.0f}, CVector3{20.0f, 0.0f, 0.0f}};
  int out = 0;
  for (const CVector3& h : halves) {
    float alpha = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f);
    CVector3 q = m_Ribbon_Spline.Sample(0.0f);
    for (int i = 1; i <= kRibbon_Steps; ++i) {
      const CVector3 p = m_Ribbon_Spline.Sample(static_cast<float>(i) * kRibbon_Step);
      const float next = std::max(alpha - 1.0f / 128.0f, 0.0f);
      const uint32_t head = fx::Clamp_Byte(alpha * 255.0f) << 24 | rgb;
      const uint32_t tail = fx::Clamp_Byte(next * 255.0f) << 24 | rgb;
      const auto at = [&h](const CVector3& base, float sign, uint32_t c, float u, float v) {
        return TexVertex{base.x + sign * h.x, base.y + sign * h.y, base.z + sign * h.z, c, u, v};
      };
      m_Ribbon[out++] = at(q, -1.0f, head, 0.4f, 0.1f);
      m_Ribbon[out++] = at(q, 1.0f, head, 0.4f, 0.9f);
      m_Ribbon[out++] = at(p, 1.0f, tail, 0.6f, 0.9f);
      m_Ribbon[out++] = at(q, -1.0f, head, 0.4f, 0.1f);
      m_Ribbon[out++] = at(p, 1.0f, tail, 0.6f, 0.9f);
      m_Ribbon[out++] = at(p, -1.0f, tail, 0.6f, 0.1f);
      q = p;
      alpha = next;
    }
  }
  m_Ribbons_Built = true;
}

void CTarget_Twirler::Draw_Ribbons(const CMatrix4x4* mirror) {
  if (!m_Style || !m_Ribbons_Built) return;
  CD3DDrawPrim& draw = *g_pDrawPrim;
  draw.SetTexture(m_Ribbon_Texture, 0);
  draw.SetRenderStyle(m_Style);
  if (mirror) {
    draw.SetWorldMatrix(mirror);
    draw.SetTransformType(kDrawPrimWorldMatrix);
  } else {
    draw.SetTransformType(kDrawPrimWorld);
  }
  draw.DrawTexTriangles(reinterpret_cast<const DrawPrimTexTriangle*>(m_Ribbon), kRibbon_Vertices / 3);
  draw.SetTransformType(kDrawPrimWorld);
}

void CTarget_Twirler::Render(const float& step) {
  if (m_Kill_Timer > 0.95f) return;
  Update_Sparkles(step);
  m_Cloud.Draw(nullptr, m_Style, m_Sparkle_Texture, 2);
  Build_Ribbons();
  Draw_Ribbons(nullptr);
}

void CTarget_Twirler::Render_Reflection(const CWorld_Mirror& mirror) {
  if (m_Kill_Timer > 0.95f) return;
  m_Cloud.Draw(&mirror.transform, m_Style, m_Sparkle_Texture, 1);
  Draw_Ribbons(&mirror.transform);
}

bool CTarget_Twirler::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kGuard_Age) return false;
  if (other && other->m_Type == kType) return true;
  if (m_Hit_Count == 0) {
    if (const targets::Target_Member* member = targets::Find_Target_Member(kType))
      targets::Register_First_Hit(*member, *this, other);
    if (other || shot) {
      const CColor4 colour = Get_Color();
      targets::Emit_Sparkle_Burst(*this, targets::Pack_Scaled_ARGB(colour, kBurst_Colour_Factor),
                                  targets::Sparkle_Burst{});
      CTarget_Sparkler::Spawn_Flash(m_Position, colour);
      Play_Sound_3D(kSound_Hit, m_Position, 1.0f);
    }
    m_Kind_Flags |= kKind_Excluded;
    m_Kill_Timer += 0.0001f;
    targets::Award_Precision(m_Position, other, shot);
  }
  m_State_Flags &= ~(kState_No_Gravity | kState_No_Damping);
  m_State_Flags |= kState_No_World_Contact;
  ++m_Hit_Count;
  return true;
}

void CTarget_Twirler::On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
  (void)strength;
  (void)contact;
  targets::Sphere_Floor_Contact(*this, normal);
}
