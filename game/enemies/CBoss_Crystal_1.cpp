#include "game/enemies/CBoss_Crystal_1.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/enemies/CEmmo_Crystal_1.h"
#include "game/enemies/Enemy_Shared.h"
#include "game/targets/Target_Shared.h"
#include "game/fx/CDebris_Crystal.h"
#include "game/fx/CGen_Projector.h"
#include "game/fx/CParticle_Add_Mgr.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "game/warroom/CWarRoom_Sim.h"

namespace {
constexpr uint32_t kPulse_Start_Sound = 0x22000163;
constexpr uint32_t kPulse_Broken_Sound = 0x22000162;
constexpr uint32_t kBlast_Sound = 0x220000F8;
constexpr uint32_t kFire_Sound = 0x220000F6;
constexpr uint32_t kEnemy_Shot_Flag = 0x20;
constexpr float kTwo_Pi = 6.2831855f;

void Advance_Phase(float& phase, float amount) {
  phase += amount;
  if (phase > kTwo_Pi) phase -= kTwo_Pi;
}

// A channel byte of 102 + 0..152.
float Random_Bright_Channel() { return static_cast<float>(102 + static_cast<int>(153.0f * enemy::R())) / 255.0f; }
}  // namespace

CObject_Pool* CBoss_Crystal_1::Pool() {
  static CObject_Pool_Of<CBoss_Crystal_1, kType> pool;
  return &pool;
}

bool CBoss_Crystal_1::Init() {
  if (!targets::Load_Resources("CBoss_Crystal_1", {targets::Resource::Renderable(0x220000D3, m_Crystal_Model),
                                targets::Resource::Renderable(0x220000D5, m_Core_Model),
                                targets::Resource::Renderable(0x22000000, m_Glow_Model),
                                targets::Resource::Texture(0x22000029, m_Crystal_Texture),
                                targets::Resource::Texture(0x220000D7, m_Glow_Texture),
                                targets::Resource::Texture(0x2200005C, m_Ground_Texture),
                                targets::Resource::Style(0x220000D4, m_Crystal_Style, targets::kNo_Shader),
                                targets::Resource::Style(0x220000D8, m_Glow_Style, targets::kNo_Texture)})) return false;
  m_Projector_Matrix.Set_Identity();
  m_Projector_Matrix.m[1][1] = 0.0f, m_Projector_Matrix.m[1][2] = -1.0f;
  m_Projector_Matrix.m[2][1] = 1.0f, m_Projector_Matrix.m[2][2] = 0.0f;
  m_Initialised = true;
  return true;
}

void CBoss_Crystal_1::Term() {
  enemy::Release({&m_Crystal_Model, &m_Core_Model, &m_Glow_Model}, {&m_Crystal_Texture, &m_Glow_Texture, &m_Ground_Texture},
                 {&m_Crystal_Style, &m_Glow_Style});
  m_Initialised = false;
}

void CBoss_Crystal_1::Spawn(const CVector3& p) {
  Setup_Object(kType, 1.0f, 1.0f, 0x40, 0x0A);
  if (!Setup_Sphere_Body(50.0f, kRadius, 1.5f)) return;
  m_Start_Position = p;
  m_Ground_Point.Set(p.x, g_World.Get_Height(p.x, p.z), p.z);
  m_Fire_Request = 0;
  m_Flash_Request = 0;
  m_Fire_Side = 1;
  m_Sphere.hit_flag = 1;
  m_Flash = m_Pulse = m_Sparkle_Timer = m_Dust_Timer = m_Blast_Timer = 0.0f;
  m_Phase_1 = m_Sin_1 = m_Sin_2 = m_Bob = 0.0f;
  m_Glow_Level = 1.0f;
  m_Phase_2 = 1.0f;
  m_Phase_3 = 2.0f;
  m_Orientation = CMatrix3x3::Identity;
  Set_Position(p);
}

void CBoss_Crystal_1::Start_Pulse() {
  if (m_Kill_Timer != 0.0f) return;
  m_Pulse = 1.0f;
  Set_Sphere_Radius(kPulse_Radius);
}

void CBoss_Crystal_1::Request_Fire(int side) {
  m_Fire_Request = 1;
  m_Fire_Side = side == 0 ? 0 : 1;
}

void CBoss_Crystal_1::Request_Flash() {
  if (m_Pulse == 0.0f) m_Flash_Request = 1;
}

void CBoss_Crystal_1::Darken(float amount) const {
  const CVector3 lower{0.25f * amount, 0.5f * amount, 0.5f * amount};
  g_World.m_Ambient_Accumulator.Subtract_Assign(lower);
  g_World.m_Diffuse_Accumulator.Subtract_Assign(lower);
}

void CBoss_Crystal_1::Update(const float& dt) {
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  m_Orientation = CMatrix3x3::Identity;
  m_Sphere.velocity.Set(0.0f, 0.0f, 0.0f);
  m_Sphere.spin.Set(0.0f, 0.0f, 0.0f);
  Set_Position(CVector3{m_Start_Position.x, m_Start_Position.y + 75.0f * m_Bob, m_Start_Position.z});
  Advance_Phase(m_Phase_1, 0.85f * dt);
  m_Sin_1 = m_Sin_2 = std::sin(m_Phase_1);
  Advance_Phase(m_Phase_2, 0.45f * dt);
  Advance_Phase(m_Phase_3, 0.25f * dt);
  m_Bob = std::sin(m_Phase_3);
  const bool alive = m_Kill_Timer == 0.0f;
  if (m_Fire_Request && alive) Boss_Fire();
  m_Fire_Request = 0;
  if (m_Flash_Request && alive) m_Flash = 1.0f;
  m_Flash_Request = 0;
  m_Flash = std::max(m_Flash - dt, 0.0f);
  if (m_Pulse > 0.0f) {
    Boss_Pulse(dt);
  } else if (m_Blast_Timer > 0.0f) {
    Boss_Blast_Step(dt);
  }
  m_Glow_Level = m_Pulse > 0.0f ? std::max(m_Glow_Level - 3.0f * dt, 0.0f) : std::min(m_Glow_Level + dt, 1.0f);
  if (m_Kill_Timer == 0.0f && !(m_Value1 > 0.0f)) m_Kill_Timer = 0.001f;
  if (m_Kill_Timer != 0.0f) {
    Set_Sphere_Radius(kRadius * std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f));
    m_Kill_Timer += 0.25f * dt;
  }
}

void CBoss_Crystal_1::Boss_Pulse(float dt) {
  Darken(1.0f - m_Pulse);
  g_Camera.Shake(g_Game_Paused ? 0.0f : 1.0f - m_Pulse);
  if (m_Pulse == 1.0f) Play_Sound_3D(kPulse_Start_Sound, m_Position, 1.0f);
  m_Pulse -= 0.25f * dt;
  if (m_Pulse < 0.0f) {
    m_Blast_Timer = 1.0f;
    Set_Sphere_Radius(kRadius);
    m_Pulse = 0.0f;
  }
}

void CBoss_Crystal_1::Boss_Blast_Step(float dt) {
  Darken(1.0f);
  g_Camera.Shake(g_Game_Paused ? 0.0f : 1.0f);
  m_Blast_Timer -= dt;
  if (m_Blast_Timer < 0.0f) {
    g_Screen_FX_Mgr.Add_Effect(11, 3.5f, CColor4{0.45f, 1.0f, 0.3f, 0.3f}, CColor4{0, 0, 0, 0}, 0.0f, 0.0f);
    Hit_Player(1.0f, true);
    Play_Sound_3D(kBlast_Sound, m_Position, 1.0f);
    m_Blast_Timer = 0.0f;
  }
}

void CBoss_Crystal_1::Boss_Fire() {
  CEmmo_Crystal_1* shard = static_cast<CEmmo_Crystal_1*>(CEmmo_Crystal_1::Pool()->Alloc_Object());
  if (!shard) return;
  float vx = 500.0f + 120.0f * enemy::R();
  if (m_Fire_Side == 0) vx = -vx;
  const float vy = -(160.0f + 20.0f * enemy::R());
  const float vz = 340.0f + 20.0f * enemy::R();
  shard->Setup(m_Position);
  g_World.Add_Object(1, shard);
  Play_Sound_3D(kFire_Sound, m_Position, 1.0f);
  g_Sim_Stats.Record_Launch(shard);
  shard->m_Orientation = CMatrix3x3::Identity;
  shard->Set_Position(m_Position);
  shard->m_Sphere.velocity.Set(vx, vy, vz);
  shard->m_Sphere.spin = CVector3{enemy::Uniform(-2, 2), enemy::Uniform(-2, 2), enemy::Uniform(-2, 2)};
  g_Screen_FX_Mgr.Add_Effect(11, 1.15f, CColor4{0.075f, 0.5f, 1.0f, 0.3f}, CColor4{0, 0, 0, 0}, 0.0f, 0.0f);
}

bool CBoss_Crystal_1::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  (void)shot;
  // Its own shards leave from inside the pulse sphere: enemy ammunition never touches the boss.
  if (other && (other->m_Kind_Flags & kEnemy_Shot_Flag)) return true;
  if (m_Flash == 0.0f) m_Flash = 0.5f;
  if (m_Pulse == 0.0f) return true;
  Break_Pulse(other);
  return true;
}

void CBoss_Crystal_1::Break_Pulse(CWorld_Object* other) {
  m_Pulse = 0.0f;
  Set_Sphere_Radius(kRadius);
  g_Sim_Stats.Register_Hit(this, other, nullptr, 0);
  g_Score_Board_Mgr.Commit_Points();
  const float R = Random_Bright_Channel(), G = Random_Bright_Channel(), B = Random_Bright_Channel();
  const uint32_t colour = enemy::Argb(CColor4{R, G, B, 1.0f});
  for (int i = 0; i < 75; ++i) {
    const CVector3 o{900.0f * enemy::R() - 450.0f, 900.0f * enemy::R() - 450.0f, 450.0f * enemy::R() - 450.0f};
    const float k = 0.5f + enemy::R();
    const CVector3 at{m_Position.x + k * o.x, m_Position.y + k * o.y, m_Position.z + k * o.z};
    const float size = 35.0f + 115.0f * enemy::R();
    const float life = 0.75f * (1.0f + enemy::R());
    if (!g_Particle_Sparkle_Mgr.Add_Particle(at, o, size, life, colour, 0.15f, 2)) break;
  }
  g_Screen_FX_Mgr.Add_Effect(15, 1.5f, CColor4{1.0f, R, G, B}, CColor4{0, 0, 0, 0}, 0.0f, 0.0f);
  Play_Sound_3D(kPulse_Broken_Sound, m_Position, 1.0f);
  Shed_Shards();
  if (g_WarRoom_Sim.m_Disinfection_Mode && m_Kill_Timer == 0.0f) m_Kill_Timer = 0.01f;
  if (m_Kill_Timer != 0.0f) g_Music_Track.Remove_Object(this);
}

void CBoss_Crystal_1::Shed_Shards() {
  const int count = 3 + static_cast<int>(3.0f * enemy::R());
  CObject_Pool* pool = g_Object_Pools[CDebris_Crystal::kType];
  for (int i = 0; i < count && pool; ++i) {
    CDebris_Crystal* piece = static_cast<CDebris_Crystal*>(pool->Alloc_Object());
    if (!piece) break;
    const float a = enemy::Uniform(-0.6f, 0.6f), b = enemy::Uniform(-0.6f, 0.6f), c = enemy::Uniform(-0.6f, 0.6f);
    CQuaternion qa, qb, qc;
    qa.From_Axis_Angle(CVector3{1, 0, 0}, a);
    qb.From_Axis_Angle(CVector3{0, 1, 0}, b);
    qc.From_Axis_Angle(CVector3{0, 0, 1}, c);
    qa.Multiply_Assign(qb);
    qa.Multiply_Assign(qc);
    CVector3 d{0.0f, 100.0f, -275.0f};
    d.Rotate_By_Quaternion(qa);
    const float scale = 0.5f + 0.65f * enemy::R();
    piece->Spawn(scale, CColor4{1.0f, 0x88 / 255.0f, 0x88 / 255.0f, 0.0f});
    g_World.Add_Object(2, piece);
    piece->Set_Position(CVector3{m_Position.x + 0.5f * d.x, m_Position.y + 0.5f * d.y, m_Position.z + 0.5f * d.z});
    piece->m_Orientation = CMatrix3x3::Identity;
    const float k = 1.5f * (1.0f + enemy::R());
    piece->m_Box.velocity = CVector3{k * d.x, k * d.y, k * d.z};
    piece->m_Box.spin = CVector3{enemy::Uniform(-10, 10), enemy::Uniform(-10, 10), enemy::Uniform(-10, 10)};
  }
}

CMatrix4x4 CBoss_Crystal_1::World() const {
  const float c = std::cos(m_Phase_1), s = std::sin(m_Phase_1);
  CMatrix3x3 turn, turned;
  turn.Set_Rows(CVector3{c, 0.0f, -s}, CVector3{0.0f, 1.0f, 0.0f}, CVector3{s, 0.0f, c});
  turn.Multiply(m_Orientation, turned);
  const float k = m_Kill_Timer != 0.0f ? std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f) : 1.0f;
  return enemy::Matrix(turned, m_Position, CVector3{k, k, k});
}

void CBoss_Crystal_1::Boss_Glow(const CMatrix4x4& world) const {
  if (m_Glow_Level < 0.1f) return;
  const float c2 = std::cos(m_Phase_2), s2 = std::sin(m_Phase_2), c3 = std::cos(m_Phase_3), s3 = std::sin(m_Phase_3);
  CMatrix4x4 turn;
  turn.Set_Identity();
  const float rows[3][3] = {{c3 * c2, s3, -c3 * s2}, {-c2 * s3, c3, s3 * s2}, {s2, 0.0f, c2}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) turn.m[i][j] = rows[i][j];
  CMatrix4x4 m;
  turn.Multiply(world, m);
  const float rg = std::clamp((m_Sin_1 + 1.0f) * 2.0f, 0.0f, 1.0f);
  const float b = std::clamp((m_Bob + 1.0f) * 2.0f, 0.0f, 1.0f);
  const float flash_sq = m_Flash * m_Flash;
  const float size = m_Glow_Level * std::max(1.0f + 0.15f * flash_sq, 0.01f) *
                     std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f) * 61.11111f;
  const float a = std::min(0.45f + 0.75f * flash_sq, 1.0f);
  const float scales[3] = {1.0f, 1.02f, 1.04f}, alphas[3] = {1.0f, 0.75f, 0.5f};
  for (int i = 0; i < 3; ++i) {
    const float s = size * scales[i];
    // Added to the picture: the colour carries the pass's strength.
    const float k = a * alphas[i];
    const CColor4 colour{rg * k, rg * k, b * k, k};
    enemy::Draw_Glow(m_Glow_Model, enemy::Scaled(m, s, s, s), m_Glow_Style, m_Glow_Texture, colour);
  }
  if (m_Blast_Timer > 0.0f) {
    const float s = 200.0f * (1.0f - m_Blast_Timer) * (1.0f - m_Blast_Timer);
    const CColor4 colour{rg, rg, b, 1.0f};
    enemy::Draw_Glow(m_Glow_Model, enemy::Scaled(m, s, s, s), m_Glow_Style, m_Glow_Texture, colour);
  }
}

void CBoss_Crystal_1::Ambient_Sparkles(float step) {
  for (int i = 0; i < 3; ++i) {
    m_Sparkle_Timer += step;
    if (!(enemy::R() * 10.0f < m_Sparkle_Timer)) continue;
    m_Sparkle_Timer = 0.0f;
    const CVector3 o{enemy::Uniform(-55, 55), enemy::Uniform(-55, 55), enemy::Uniform(-55, 55)};
    const CVector3 at{m_Position.x + 1.75f * o.x, m_Position.y + 1.75f * o.y, m_Position.z + 1.75f * o.z};
    const float size = 25.0f + 30.0f * enemy::R();
    const float life = 0.75f + enemy::R();
    const CColor4 colour{Random_Bright_Channel(), Random_Bright_Channel(), Random_Bright_Channel(), 1.0f};
    g_Particle_Sparkle_Mgr.Add_Particle(at, o, size, life, enemy::Argb(colour), 0.05f, 2);
  }
}

void CBoss_Crystal_1::Boss_Ground_Effects(float step) {
  const float g = 0.5f + 0.25f * m_Bob;
  const float near = (1.0f - g) * (1.0f - g);
  for (int i = 0; i < 75; ++i) {
    m_Dust_Timer += near * step;
    if (!(enemy::R() * 10.0f < m_Dust_Timer)) continue;
    m_Dust_Timer = 0.0f;
    const float x = enemy::Uniform(-125, 125), z = enemy::Uniform(-125, 125);
    const CVector3 at{m_Ground_Point.x + 0.15f * x, m_Ground_Point.y + 110.0f * g - 18.0f, m_Ground_Point.z + 0.15f * z};
    const float size = 55.0f + 10.0f * enemy::R();
    g_Particle_Add_Mgr.Add_Particle(at, CVector3{x, -120.0f, z}, size, 1.5f, 0x44666666, 0.0f, 2);
  }
  if (!g_Gen_Projector.Is_Initialised() || !m_Ground_Texture) return;
  const float q = g_Game_Paused ? 85.0f : 75.0f + 20.0f * enemy::R();
  const float flicker = g_Game_Paused ? 0.95f : 0.9f + 0.1f * enemy::R();
  const float i = flicker * (1.0f - g) * 1.6f;
  CProjection_Frame frame;
  for (int r = 0; r < 3; ++r)
    frame.orientation.rows[r] = CVector3{m_Projector_Matrix.m[r][0], m_Projector_Matrix.m[r][1], m_Projector_Matrix.m[r][2]};
  frame.position = m_Ground_Point;
  const float radius = (1.0f - std::clamp(m_Kill_Timer, 0.0f, 1.0f)) * g * q;
  g_Gen_Projector.Project(0, frame, radius, m_Ground_Texture, CColor4{i, 0.9f, 0.7f, 0.3f});
}

void CBoss_Crystal_1::Render(const float& step) {
  const CMatrix4x4 world = World();
  const bool dying = m_Kill_Timer != 0.0f;
  const CColor4 crystal{0x88 / 255.0f, 0x88 / 255.0f, 0.0f, 1.0f};
  const CColor4 core{0.0f, 0x66 / 255.0f, 0.0f, 1.0f};
  targets::Draw(m_Crystal_Model, world, m_Crystal_Style, m_Crystal_Texture, &crystal, dying);
  targets::Draw(m_Core_Model, world, m_Crystal_Style, m_Crystal_Texture, &core, dying);
  Boss_Glow(world);
  Ambient_Sparkles(step);
  Boss_Ground_Effects(step);
}
