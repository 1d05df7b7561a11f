#include "game/enemies/Enemy_Shared.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CWorld_Object.h"
#include "game/core/Sound_FX.h"
#include "game/fx/CParticle_Add_Mgr.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/Target_Shared.h"

namespace enemy {

namespace {

constexpr uint32_t kMobile_Hit_Sound = 0x220000F3;
constexpr uint32_t kStrike_Sound = 0x2200014A;
constexpr uint32_t kBurst_Sound = 0x220000F7;
constexpr float kStrike_Strength = 0.35f;
}  // namespace

void Release(std::initializer_list<CRenderableObject**> renderables, std::initializer_list<CTextureData**> textures,
             std::initializer_list<CD3DRenderStyle**> styles) {
  for (CRenderableObject** r : renderables) fx::Release(*r);
  for (CTextureData** t : textures) fx::Release(*t);
  for (CD3DRenderStyle** s : styles) fx::Release(*s);
}

float R() { return fx::Random_Unit(); }

float Uniform(float low, float high) { return low + R() * (high - low); }

int Random_Variant() { return std::min(static_cast<int>(R() * 4.0f), 3); }

CColor4 Brightened(const CColor4& colour, float factor) {
  const auto limit = [factor](float c) { return std::min(c * factor, 1.0f); };
  return CColor4{limit(colour.r), limit(colour.g), limit(colour.b), limit(colour.a)};
}

uint32_t Argb(const CColor4& colour) { return Pack_Color_ARGB(colour); }

CVector3 Axis_Offset(const CMatrix3x3& axes, float hx, float hy, float hz) {
  const float x = Uniform(-hx, hx), y = Uniform(-hy, hy), z = Uniform(-hz, hz);
  CVector3 out;
  for (int i = 0; i < 3; ++i) {
    const float k = i == 0 ? x : i == 1 ? y : z;
    out.Add_Assign(CVector3{axes.rows[i].x * k, axes.rows[i].y * k, axes.rows[i].z * k});
  }
  return out;
}

const CVector3& Camera() { return g_Camera.Position(); }

float Camera_Distance_Sq(const CVector3& point) {
  CVector3 d;
  point.Subtract(Camera(), d);
  return d.Length_Squared();
}

bool Enemy_Launch_Spray(const CVector3& point, const CVector3& direction, uint32_t colour, float gravity) {
  const float s = direction.Length();
  for (int i = 0; i < 30; ++i) {
    const float q = Uniform(-0.2f * s, 0.2f * s);
    const float f = 0.15f + 0.7f * R();
    const float dx = Uniform(-1, 1), dy = Uniform(-1, 1), dz = Uniform(-1, 1);
    const CVector3 v{f * direction.x + q * dx, f * direction.y + q * dy, f * direction.z + q * dz};
    const CVector3 at{point.x + 0.05f * v.x, point.y + 0.05f * v.y, point.z + 0.05f * v.z};
    const float size = 35.0f + 50.0f * R();
    const float life = 0.25f + 0.75f * R();
    if (!g_Particle_Add_Mgr.Add_Particle(at, v, size, life, colour, gravity, 0)) return false;
  }
  return true;
}

void Enemy_Hit_Burst(const CWorld_Object& object, const CVector3& centre, uint32_t colour, float sound_scale) {
  Play_Sound_3D(kBurst_Sound, object.m_Position, sound_scale);
  for (int i = 0; i < 35; ++i) {
    const CVector3 o = Axis_Offset(object.m_Orientation, 50, 50, 50);
    CVector3 at;
    centre.Add(o, at);
    const float size = 35.0f + 50.0f * R();
    const float life = 0.15f + 1.85f * R();
    const float gravity = 0.1f + 0.15f * R();
    if (!g_Particle_Sparkle_Mgr.Add_Particle(at, o, size, life, colour, gravity, 2)) return;
  }
}

void Enemy_Direct_Strike(const CVector3& position, const CVector3& origin, const CVector3& colour,
                         float tracer_duration, float tracer_alpha) {
  Hit_Player(kStrike_Strength, true);
  g_Screen_FX_Mgr.Add_Effect_2(13, 1.5f, 0.5f);
  const CColor4 none{0, 0, 0, 0};
  g_Screen_FX_Mgr.Add_Effect(11, 0.5f, CColor4{0.5f, colour.x, colour.y, colour.z}, none, 0.0f, 0.0f);
  g_Screen_FX_Mgr.Add_Effect_3(24, tracer_duration, origin, colour, tracer_alpha, 0.05f);
  Play_Sound_3D(kStrike_Sound, position, 1.0f);
}

CVector3 Aim_Beside_Camera() {
  const CVector3& eye = Camera();
  const float x = Uniform(-75, 75), y = Uniform(-25, 25);
  return CVector3{eye.x + x, eye.y + y, eye.z};
}

void Chase_Step(CVector3& velocity, const CVector3& position, const CVector3& target, const CVector3& pull, float dt) {
  CVector3 u;
  target.Subtract(position, u);
  u.Divide_Assign(std::max(u.Length(), 0.001f));
  const float k = 1.0f - 0.5f * dt;
  velocity = CVector3{k * (velocity.x + dt * pull.x * u.x), k * (velocity.y + dt * pull.y * u.y),
                      k * (velocity.z + dt * pull.z * u.z)};
}

void Mobile_Age_Step(CWorld_Object& enemy, float& age, float dt, float camera_z, const CVector3& full_half,
                     float fade_rate) {
  const float before = age;
  age += dt;
  if (before <= 1.5f && age > 1.5f) enemy.m_State_Flags &= ~static_cast<uint32_t>(0x30);
  float& kill = enemy.m_Kill_Timer;
  if (kill == 0.0f && (age > 25.0f || enemy.m_Position.z < camera_z)) kill = 0.0001f;
  if (kill == 0.0f) return;
  const float t = std::clamp(1.0f - kill, 0.001f, 1.0f);
  enemy.Set_Box_Extents(CVector3{full_half.x * t, full_half.y * t, full_half.z * t});
  kill += fade_rate * dt;
}

void Mobile_Hit(CWorld_Object& enemy, int32_t& hit_count, int variant, CWorld_Object* other, const CShot_Line* shot,
                int sparkles) {
  if (hit_count == 0) {
    if (other) g_Sim_Stats.Register_Hit(&enemy, other, nullptr, 0);
    Play_Sound_3D(kMobile_Hit_Sound, enemy.m_Position, 1.0f);
    if (other || shot) {
      targets::Sparkle_Burst burst;
      burst.count = sparkles;
      burst.spread = 100.0f;
      burst.offset_factor = 0.2f;
      targets::Emit_Sparkle_Burst(enemy, Argb(Brightened(targets::Get_Variant_Color(variant), 2.0f)), burst);
    }
    enemy.m_Kind_Flags |= kKind_Excluded;
  }
  ++hit_count;
  enemy.m_State_Flags &= ~static_cast<uint32_t>(kState_No_Gravity | kState_No_Damping);
  if (enemy.m_Kill_Timer == 0.0f) enemy.m_Kill_Timer = 0.001f;
}

CColor4 Mobile_Colour(const CWorld_Object& enemy, int variant) {
  return (enemy.m_Kind_Flags & kKind_Excluded) ? CColor4{0.0f, 0.0f, 0.0f, 1.0f} : targets::Get_Variant_Color(variant);
}

CMatrix4x4 Mobile_Matrix(const CWorld_Object& enemy, const CVector3& full_half) {
  if (enemy.m_Kill_Timer == 0.0f) return Matrix(enemy.m_Orientation, enemy.m_Position);
  const CVector3& h = enemy.m_Box.half_size;
  return Matrix(enemy.m_Orientation, enemy.m_Position,
                CVector3{h.x / full_half.x, h.y / full_half.y, h.z / full_half.z});
}

CMatrix4x4 Matrix(const CMatrix3x3& orientation, const CVector3& position, const CVector3& scale) {
  CMatrix4x4 m;
  m.Set_Identity();
  const float s[3] = {scale.x, scale.y, scale.z};
  for (int i = 0; i < 3; ++i) {
    m.m[i][0] = orientation.rows[i].x * s[i];
    m.m[i][1] = orientation.rows[i].y * s[i];
    m.m[i][2] = orientation.rows[i].z * s[i];
  }
  m.Set_Translation(position);
  return m;
}

CMatrix4x4 Scaled(const CMatrix4x4& world, float x, float y, float z) {
  CMatrix4x4 scale, out;
  scale.Scaling(x, y, z);
  scale.Multiply(world, out);
  return out;
}

void Draw_Glow(CRenderableObject* renderable, const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* texture,
               const CColor4& colour) {
  const uint32_t factor = Argb(colour);
  targets::Draw(renderable, world, style, texture, &colour, true, &factor);
}

}  // namespace enemy
