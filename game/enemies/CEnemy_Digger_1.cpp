#include "game/enemies/CEnemy_Digger_1.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/enemies/Enemy_Shared.h"
#include "game/targets/Target_Shared.h"
#include "game/fx/CDebris_Dirt.h"
#include "game/fx/CDebris_Target_Sparkler.h"
#include "game/fx/CParticle_Add_Mgr.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"

namespace {
constexpr uint32_t kBurst_Sound = 0x22000159;
constexpr uint32_t kHum_Sound = 0x2200015E;
constexpr uint32_t kExplode_Sound = 0x220000F2;
constexpr uint32_t kDirt_Colour = 0xFFA99477;
const CVector3 kHalf_Size{25.0f, 80.0f, 25.0f};

CWorld_Object* Take(uint32_t type) {
  CObject_Pool* pool = g_Object_Pools[type];
  return pool ? pool->Alloc_Object() : nullptr;
}
}  // namespace

CObject_Pool* CEnemy_Digger_1::Pool() {
  static CObject_Pool_Of<CEnemy_Digger_1, kType> pool;
  return &pool;
}

bool CEnemy_Digger_1::Init() {
  if (!targets::Load_Resources("CEnemy_Digger_1", {targets::Resource::Renderable(0x2200015C, m_Body_Model),
                                targets::Resource::Renderable(0x2200015D, m_Shell_Model),
                                targets::Resource::Texture(0x22000045, m_Body_Texture),
                                targets::Resource::Texture(0x2200005C, m_Glare_Texture, targets::kNo_Created_Texture),
                                targets::Resource::Style(0x2200004B, m_Body_Style, targets::kNo_Texture),
                                targets::Resource::Style(0x220000A1, m_Shell_Style, targets::kNo_Texture),
                                targets::Resource::Style(0x22000031, m_Glare_Style, targets::kNo_Texture),
                                targets::Resource::Style(0x22000149, m_Glow_Style, targets::kNo_Texture),
                                targets::Resource::Style(0x22000020, m_Mirror_Style, targets::kNo_Shader)})) return false;
  m_Initialised = true;
  return true;
}

void CEnemy_Digger_1::Term() {
  enemy::Release({&m_Body_Model, &m_Shell_Model}, {&m_Body_Texture, &m_Glare_Texture},
                 {&m_Body_Style, &m_Shell_Style, &m_Glare_Style, &m_Glow_Style, &m_Mirror_Style});
  m_Initialised = false;
}

bool CEnemy_Digger_1::Spawn(int variant, const CVector3& p) {
  Setup_Object(kType, 1.0f, 1.0f, 0x36, 0x03);
  if (!Setup_Box_Body(25.0f, kHalf_Size, 0.5f)) return false;
  m_Variant = variant;
  m_Box.hit_flag = 1;
  m_Box.floor_contact_flag = 1;
  m_Homing = 0;
  m_Age = 0.0f;
  m_Charge = 0.0f;
  m_Hit_Count = 0;
  m_Orientation = CMatrix3x3::Identity;
  Set_Position(p);
  m_Motion.Clear();
  m_Box.velocity.Set(0.0f, 400.0f + 150.0f * enemy::R(), 0.0f);
  m_Box.spin.Set(0.0f, 10.0f, 0.0f);
  m_Target = enemy::Aim_Beside_Camera();
  Play_Sound_3D(kBurst_Sound, p, 1.0f);
  Burst_From_Ground(p);
  return true;
}

void CEnemy_Digger_1::Burst_From_Ground(const CVector3& p) {
  for (int i = 0; i < 6; ++i) {
    CDebris_Dirt* dirt = static_cast<CDebris_Dirt*>(Take(CDebris_Dirt::kType));
    if (!dirt) continue;
    dirt->Spawn(0.65f);
    g_World.Add_Object(2, dirt);
    const CVector3 d{2.0f * (100.0f * enemy::R() - 50.0f), 2.0f * (30.0f * enemy::R() + 35.0f),
                     2.0f * (100.0f * enemy::R() - 50.0f)};
    dirt->Set_Position(CVector3{p.x + 0.5f * d.x, p.y + 0.5f * d.y, p.z + 0.5f * d.z});
    dirt->m_Orientation = CMatrix3x3::Identity;
    const float k = 1.5f * (1.0f + enemy::R());
    dirt->m_Box.velocity = CVector3{k * d.x, k * d.y, k * d.z};
    dirt->m_Box.spin = CVector3{enemy::Uniform(-10, 10), enemy::Uniform(-10, 10), enemy::Uniform(-10, 10)};
  }
  for (int i = 0; i < 15; ++i) {
    const CVector3 d{5.0f * (20.0f * enemy::R() - 10.0f), 5.0f * (10.0f * enemy::R() + 20.0f),
                     5.0f * (20.0f * enemy::R() - 10.0f)};
    const CVector3 at{p.x + 0.75f * d.x, p.y + 0.75f * d.y, p.z + 0.75f * d.z};
    if (!g_Particle_Add_Mgr.Add_Particle(at, d, 150.0f, 2.0f + 4.0f * enemy::R(), kDirt_Colour, 0.2f, 2)) break;
  }
  Place_World_Decal_Random(1, CVector3{p.x, g_World.Get_Height(p.x, p.z), p.z}, 75.0f, 4.0f, kDirt_Colour);
}

CColor4 CEnemy_Digger_1::Colour() const { return enemy::Mobile_Colour(*this, m_Variant); }

void CEnemy_Digger_1::Steer(float dt) {
  m_State_Flags &= ~static_cast<uint32_t>(kState_No_Damping);
  // Only the height is steered.
  enemy::Chase_Step(m_Box.velocity, m_Position, m_Target, CVector3{0.0f, 1000.0f, 0.0f}, dt);
  const float before = m_Charge;
  m_Charge += 0.25f * dt;
  if (before < 0.25f && m_Charge >= 0.25f) Play_Sound_3D(kHum_Sound, m_Position, 1.0f);
  if (m_Charge >= 1.0f) {
    Digger_Explode();
    m_Kill_Timer = 0.001f;
    m_Charge = 0.0f;
  }
  m_Motion.torque.y += 1.0f;
}

void CEnemy_Digger_1::Update(const float& dt) {
  const bool alive = m_Kill_Timer == 0.0f;
  if (alive && m_Homing) {
    Steer(dt);
  } else if (alive) {
    m_Motion.torque.y += 2.0f;
    if (m_Box.velocity.y < -150.0f) m_Homing = 1;
  }
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  const float camera_z = enemy::Camera().z;
  if (m_Position.z < camera_z && m_Kill_Timer == 0.0f) m_Kill_Timer = 1.0f;
  enemy::Mobile_Age_Step(*this, m_Age, dt, camera_z, kHalf_Size, 0.2f);
}

void CEnemy_Digger_1::Digger_Explode() {
  CColor4 c = Colour();
  c.a = 0.5f;
  if (CDebris_Target_Sparkler* flash = static_cast<CDebris_Target_Sparkler*>(Take(CDebris_Target_Sparkler::kType))) {
    flash->Spawn(CColor4{c.a, c.r, c.g, c.b});
    g_World.Add_Object(1, flash);
    flash->m_Orientation = CMatrix3x3::Identity;
    flash->Set_Position(m_Position);
    flash->m_Box.velocity.Set(0.0f, 0.0f, 0.0f);
    flash->m_Box.spin.Set(0.0f, 0.0f, 0.0f);
  }
  const CColor4 effect{0.5f, c.r, c.g, c.b};
  const CColor4 none{0, 0, 0, 0};
  g_Screen_FX_Mgr.Add_Effect(15, 3.0f, effect, none, 0.0f, 0.0f);
  g_Screen_FX_Mgr.Add_Effect(11, 1.5f, effect, none, 0.0f, 0.0f);
  g_Screen_FX_Mgr.Add_Effect_2(13, 4.0f, 0.75f);
  Play_Sound_3D(kExplode_Sound, m_Position, 1.0f);
  Hit_Player(0.35f, false);
}

bool CEnemy_Digger_1::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (other && !(other->m_Kind_Flags & kKind_Shot)) return false;
  if (m_Kill_Timer != 0.0f) return true;
  enemy::Mobile_Hit(*this, m_Hit_Count, m_Variant, other, shot, 35);
  return true;
}

CMatrix4x4 CEnemy_Digger_1::World() const { return enemy::Mobile_Matrix(*this, kHalf_Size); }

void CEnemy_Digger_1::Digger_Glow(const CMatrix4x4& world, int passes) const {
  const float g = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f) * m_Charge;
  if (!(g > 0.0f)) return;
  const CColor4 c = Colour();
  CMatrix4x4 m = world;
  float alpha = 0.12f * g;
  for (int i = 0; i < passes; ++i) {
    m = enemy::Scaled(m, 1.1f, 1.1f, 1.1f);
    alpha *= 0.8f;
    const CColor4 colour{c.r, c.g, c.b, alpha};
    enemy::Draw_Glow(m_Shell_Model, m, m_Glow_Style, nullptr, colour);
  }
}

void CEnemy_Digger_1::Render(const float& step) {
  (void)step;
  const bool dying = m_Kill_Timer != 0.0f;
  const CMatrix4x4 world = World();
  targets::Draw(m_Body_Model, world, m_Body_Style, m_Body_Texture, nullptr, dying);
  const CColor4 colour = Colour();
  if (!dying) targets::Draw(m_Shell_Model, world, m_Shell_Style, nullptr, &colour, false);
  if (CShadowProjector::Is_Initialised()) CShadowProjector::Cast_Shadow(1, m_Position, m_Collision_Radius, 0.65f);
  Digger_Glow(world, 6);
  const float g = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f) * m_Charge;
  if (!(g > 0.0f) || !m_Glare_Texture) return;
  const CVector3& eye = enemy::Camera();
  CVector3 toward;
  m_Position.Subtract(eye, toward);
  toward.Divide_Assign(std::max(toward.Length(), 0.001f));
  const CVector3 at{eye.x + 50.0f * toward.x, eye.y + 50.0f * toward.y, eye.z + 50.0f * toward.z};
  const uint32_t rgb = enemy::Argb(colour) & 0xFFFFFF;
  const float sizes[2] = {8.0f * g * g, 20.0f * g * g};
  const float alphas[2] = {0.21f * g, 0.15f * g};
  for (int i = 0; i < 2; ++i)
    Draw_Billboard(at, sizes[i], sizes[i], fx::Channel_Byte(alphas[i]) << 24 | rgb, m_Glare_Style, m_Glare_Texture);
}

void CEnemy_Digger_1::Render_Reflection(const CWorld_Mirror& mirror) {
  const CMatrix4x4 world = targets::Mirrored(World(), mirror);
  targets::Draw(m_Body_Model, world, m_Mirror_Style, m_Body_Texture, nullptr, true);
  const CColor4 colour = Colour();
  if (m_Kill_Timer == 0.0f) targets::Draw(m_Shell_Model, world, m_Mirror_Style, nullptr, &colour, true);
  Digger_Glow(world, 2);
}

void CEnemy_Digger_1::Render_With_Shader(void* style, void* texture) {
  CD3DRenderStyle* s = static_cast<CD3DRenderStyle*>(style);
  CTextureData* t = static_cast<CTextureData*>(texture);
  targets::Draw(m_Body_Model, World(), s, t, nullptr, true);
  if (m_Kill_Timer == 0.0f) targets::Draw(m_Shell_Model, World(), s, t, nullptr, true);
}
