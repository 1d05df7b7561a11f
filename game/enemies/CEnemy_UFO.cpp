#include "game/enemies/CEnemy_UFO.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/core/World_Queries.h"
#include "game/enemies/Enemy_Shared.h"
#include "game/targets/Flyer_Shared.h"
#include "game/targets/Target_Shared.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/CSim_Stats.h"

namespace {
constexpr uint32_t kHit_Sound = 0x220000F5;
constexpr uint32_t kDeath_Sound = 0x220000F2;
constexpr uint32_t kHit_Sparkle_Colour = 0xFF4444FF;
constexpr uint32_t kDeath_Sparkle_Colour = 0xFFFF88FF;
constexpr float kLeave_Age = 25.0f;
constexpr float kHit_Spacing = 1.5f;
const CVector3 kHalf_Size{62.5f, 62.5f, 15.0f};
}  // namespace

CObject_Pool* CEnemy_UFO::Pool() {
  static CObject_Pool_Of<CEnemy_UFO, kType> pool;
  return &pool;
}

bool CEnemy_UFO::Init() {
  if (!targets::Load_Resources("CEnemy_UFO", {targets::Resource::Renderable(0x2200002D, m_Body_Model),
                                targets::Resource::Renderable(0x2200014B, m_Glow_Model),
                                targets::Resource::Texture(0x2200001C, m_Textures[0]),
                                targets::Resource::Texture(0x2200005E, m_Textures[1]),
                                targets::Resource::Texture(0x2200005C, m_Textures[2]),
                                targets::Resource::Style(0x2200001E, m_Styles[0], targets::kNo_Texture),
                                targets::Resource::Style(0x22000031, m_Styles[1], targets::kNo_Shader),
                                targets::Resource::Style(0x22000149, m_Styles[2], targets::kNo_Shader),
                                targets::Resource::Style(0x22000020, m_Mirror_Style, targets::kNo_Shader)})) return false;
  m_Initialised = true;
  return true;
}

void CEnemy_UFO::Term() {
  enemy::Release({&m_Body_Model, &m_Glow_Model}, {&m_Textures[0], &m_Textures[1], &m_Textures[2]},
                 {&m_Styles[0], &m_Styles[1], &m_Styles[2], &m_Mirror_Style});
  m_Initialised = false;
}

void CEnemy_UFO::Spawn(int variant) {
  m_Variant = variant;
  m_Age = 0.0f;
  m_Hit_Timer = 0.0f;
  m_Charge = 0.0f;
  m_Hit_Count = 0;
  m_Strike_Timer = 1000.0f;
  Setup_Object(kType, 100.0f, 100.0f, 0x46, 0x02);
  if (!Setup_Box_Body(75.0f, kHalf_Size, 0.35f)) return;
  m_Box.hit_flag = 1;
  Set_Position(CVector3{0.0f, 0.0f, 0.0f});
  m_Orientation.Set_Rows(CVector3{1, 0, 0}, CVector3{0, 0, 1}, CVector3{0, -1, 0});
  m_Motion.Clear();
}

CVector3 CEnemy_UFO::Steering() const {
  const float W = g_World.m_Terrain.size_x, D = g_World.m_Terrain.size_z;
  CVector3 s{0.0f, 4.75f * std::max(0.0f, g_World.Get_Height(m_Position.x, m_Position.z) + kHover_Height - m_Position.y),
             0.0f};
  if (m_Position.z > 0.45f * D) {
    s.z -= 100.0f;
  } else if (m_Position.z < 0.35f * D) {
    s.z += 100.0f;
  }
  if (m_Position.x > 0.9f * W) {
    s.x -= 100.0f;
  } else if (m_Position.x < 0.1f * W) {
    s.x += 100.0f;
  }
  if (m_Age > kLeave_Age || m_Kill_Timer != 0.0f) s.y += 450.0f;
  return s;
}

void CEnemy_UFO::Update(const float& dt) {
  CVector3 force;
  g_World.m_Gravity.Scale(1.35f, force);
  force.Add_Assign(Steering());
  m_Motion.acceleration.Add_Assign(force);
  const CVector3& a3 = m_Orientation.rows[2];
  if (a3.y < 0.99f) {
    CVector3 lean;
    CVector3{0.0f, 1.0f, 0.0f}.Cross(a3, lean);
    m_Motion.torque.Subtract_Assign(CVector3{lean.x * 2.0f * a3.y, lean.y * 2.0f * a3.y, lean.z * 2.0f * a3.y});
  }
  m_Motion.torque.y += 1.5f;
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  const float damping = 1.0f - 0.5f * dt;
  m_Box.velocity.Scale_Assign(damping);
  m_Box.spin.Scale_Assign(damping);
  m_Age += dt;
  m_Hit_Timer += dt;
  m_Strike_Timer += dt;
  if (m_Age < kLeave_Age) {
    m_Charge += 0.115f * dt;
  } else {
    m_Charge = std::max(m_Charge - 0.25f * dt, 0.0f);
  }
  if (m_Charge >= 1.0f && m_Kill_Timer == 0.0f) {
    UFO_Strike();
    m_Strike_Timer = 0.0f;
    m_Charge = 0.0f;
  }
  if (m_Kill_Timer == 0.0f && m_Age > kLeave_Age && m_Position.y > enemy::Camera().y) m_Kill_Timer = 0.01f;
  if (m_Kill_Timer == 0.0f && m_Age > 31.25f) m_Kill_Timer = 0.01f;
  if (m_Kill_Timer != 0.0f) m_Kill_Timer += 0.1f * dt;
}

void CEnemy_UFO::UFO_Strike() {
  enemy::Enemy_Direct_Strike(m_Position, Underside(), CVector3{0.8f, 0.25f, 0.25f}, 0.35f, 1.0f);
}

void CEnemy_UFO::Hit_Sparkles(CWorld_Object* other, const CShot_Line* shot) {
  CVector3 start = shot ? shot->point : other->m_Position;
  CVector3 direction = shot ? shot->direction : other->Body_Velocity();
  // The segment reaches through the whole world; a line that misses the body bursts at its
  // centre.
  direction.Divide_Assign(std::max(direction.Length(), 0.0001f));
  direction.Scale_Assign(kRay_Length);
  CVector3 impact;
  bool hit = false;
  World_Intersect_Object(impact, start, direction, this, hit);
  if (!hit) impact = m_Position;
  Play_Sound_3D(kHit_Sound, m_Position, 1.0f);
  for (int i = 0; i < 12; ++i) {
    const CVector3 o = enemy::Axis_Offset(m_Orientation, 15, 15, 15);
    CVector3 at;
    impact.Add(o, at);
    const float size = 15.0f + 20.0f * enemy::R();
    const float life = 0.15f + 1.85f * enemy::R();
    const float gravity = 0.1f + 0.15f * enemy::R();
    if (!g_Particle_Sparkle_Mgr.Add_Particle(at, o, size, life, kHit_Sparkle_Colour, gravity, 2)) break;
  }
}

void CEnemy_UFO::UFO_Death_Burst() {
  Play_Sound_3D(kDeath_Sound, m_Position, 1.0f);
  for (int i = 0; i < 35; ++i) {
    const CVector3 o = enemy::Axis_Offset(m_Orientation, 125, 125, 3.125f);
    const CVector3 at{m_Position.x + 0.5f * o.x, m_Position.y + 0.5f * o.y, m_Position.z + 0.5f * o.z};
    const float size = 25.0f + 30.0f * enemy::R();
    const float life = 0.5f + 1.5f * enemy::R();
    const float gravity = 0.1f + 0.15f * enemy::R();
    if (!g_Particle_Sparkle_Mgr.Add_Particle(at, o, size, life, kDeath_Sparkle_Colour, gravity, 2)) break;
  }
}

bool CEnemy_UFO::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kHit_Spacing) return false;
  const bool player_shot = other && (other->m_Kind_Flags & kKind_Shot);
  if (m_Hit_Timer > kHit_Spacing && (shot || player_shot)) {
    if (m_Hit_Count <= 1) Hit_Sparkles(other, shot);
    m_Hit_Timer = 0.0f;
    m_Charge = 0.0f;
    ++m_Hit_Count;
  } else if (shot) {
    return false;
  }
  if (m_Hit_Count > 2 && m_Kill_Timer == 0.0f) {
    if (player_shot) g_Sim_Stats.Register_Hit(this, other, nullptr, 0);
    if (other || shot) UFO_Death_Burst();
    m_Kind_Flags |= kKind_Excluded;
    m_Kill_Timer += 0.001f;
  }
  return true;
}

CVector3 CEnemy_UFO::Down_Axis() const {
  const CVector3& a3 = m_Orientation.rows[2];
  return a3.y <= 0.0f ? a3 : CVector3{-a3.x, -a3.y, -a3.z};
}

CVector3 CEnemy_UFO::Underside() const {
  const CVector3 down = Down_Axis();
  const float h = m_Box.half_size.z;
  return CVector3{m_Position.x + down.x * h, m_Position.y + down.y * h, m_Position.z + down.z * h};
}

CMatrix4x4 CEnemy_UFO::World() const {
  const float s = m_Kill_Timer != 0.0f ? std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f) : 1.0f;
  return enemy::Matrix(m_Orientation, m_Position, CVector3{s, s, s});
}

float CEnemy_UFO::Beam_Level() const {
  if (m_Strike_Timer < 0.1f) return 1.0f - 10.0f * m_Strike_Timer;
  return std::clamp(m_Charge, 0.0f, 1.0f);
}

void CEnemy_UFO::Draw_Beam(float e, const CWorld_Mirror* mirror) const {
  if (!(e > 0.0f) || !m_Textures[1]) return;
  CVector3 down = Down_Axis();
  CVector3 underside = Underside();
  CVector3 spoke = m_Orientation.rows[0];
  CVector3 other = m_Orientation.rows[1];
  // In the mirror pass the beam hangs under the saucer's image.
  if (mirror) {
    underside = flyer::Mirror_Point(*mirror, underside);
    down = flyer::Mirror_Direction(*mirror, down);
    spoke = flyer::Mirror_Direction(*mirror, spoke);
    other = flyer::Mirror_Direction(*mirror, other);
  }
  const uint32_t colour = fx::Channel_Byte(e) << 24 | 0xFF6666;
  Draw_Axis_Quads(underside, spoke, other, down, 5, 25.0f * e, 55.0f * e, colour, m_Styles[1], m_Textures[1]);
}

void CEnemy_UFO::UFO_Glow(const CMatrix4x4& world) const {
  float alpha = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f) * 0.075f;
  CMatrix4x4 m = world;
  for (int pass = 0; pass < 5; ++pass) {
    m = enemy::Scaled(m, 1.025f, 1.025f, 1.25f);
    alpha *= 0.9f;
    const float a = pass == 0 ? 3.5f * alpha : alpha;
    const CColor4 colour{1.0f, 0.2f, 1.0f, std::min(a, 1.0f)};
    enemy::Draw_Glow(m_Glow_Model, m, m_Styles[2], nullptr, colour);
  }
}

void CEnemy_UFO::Render(const float& step) {
  (void)step;
  const int v = std::clamp(m_Variant, 0, 2);
  const CMatrix4x4 world = World();
  targets::Draw(m_Body_Model, world, m_Styles[v], m_Textures[v], nullptr, m_Kill_Timer != 0.0f);
  const float e = Beam_Level();
  Draw_Beam(e, nullptr);
  if (e > 0.1f && m_Textures[2]) {
    const CVector3 eye = g_Camera.Get_Eye_Position();
    const CVector3 origin = Underside();
    CVector3 toward{origin.x - eye.x, origin.y - eye.y, origin.z - eye.z};
    toward.Divide_Assign(std::max(toward.Length(), 0.001f));
    const CVector3 at{eye.x + 10.0f * toward.x, eye.y + 10.0f * toward.y, eye.z + 10.0f * toward.z};
    Draw_Billboard(at, e, e, fx::Channel_Byte(0.4f * e) << 24 | 0xFF6666, m_Styles[1], m_Textures[2]);
    Draw_Billboard(at, 2.5f * e, 2.5f * e, fx::Channel_Byte(0.2f * e) << 24 | 0xFF6666, m_Styles[1], m_Textures[2]);
  }
  UFO_Glow(world);
  if (CShadowProjector::Is_Initialised()) CShadowProjector::Cast_Shadow(1, m_Position, 0.75f * m_Collision_Radius, 0.75f);
}

void CEnemy_UFO::Render_Reflection(const CWorld_Mirror& mirror) {
  const int v = std::clamp(m_Variant, 0, 2);
  const CMatrix4x4 world = targets::Mirrored(World(), mirror);
  targets::Draw(m_Body_Model, world, m_Mirror_Style, m_Textures[v], nullptr, true);
  Draw_Beam(Beam_Level(), &mirror);
  UFO_Glow(world);
}

void CEnemy_UFO::Render_With_Shader(void* style, void* texture) {
  targets::Draw(m_Body_Model, World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture),
              nullptr, true);
}
