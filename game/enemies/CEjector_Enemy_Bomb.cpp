#include "game/enemies/CEjector_Enemy_Bomb.h"

#include <algorithm>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/enemies/CEmmo_Bomb.h"
#include "game/enemies/Enemy_Shared.h"
#include "game/targets/Ejector_Shared.h"
#include "game/targets/Target_Shared.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/CSim_Stats.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

namespace {
constexpr uint32_t kPuff_Sound = 0x220000FB;
constexpr uint32_t kFire_Sound = 0x220000F2;
constexpr uint32_t kSpray_Colour = 0xFF6666FF;
}  // namespace

CObject_Pool* CEjector_Enemy_Bomb::Pool() {
  static CObject_Pool_Of<CEjector_Enemy_Bomb, kType> pool;
  return &pool;
}

bool CEjector_Enemy_Bomb::Init() {
  if (!targets::Load_Resources("CEjector_Enemy_Bomb", {targets::Resource::Texture(0x22000015, m_Texture, targets::kNo_Created_Texture),
                                targets::Resource::Style(0x22000031, m_Style, targets::kNo_Shader)})) return false;
  m_Initialised = true;
  return true;
}

void CEjector_Enemy_Bomb::Term() {
  enemy::Release({}, {&m_Texture}, {&m_Style});
  m_Initialised = false;
  m_Active = false;
}

void CEjector_Enemy_Bomb::Spawn(const CVector3& position) {
  if (!ejectors::Setup_Fixed_Ejector(*this, kType, 0x30, 0x06, CVector3{0.5f, 0.5f, 0.5f})) return;
  m_Base_Position = position;
  Set_Position(position);
  m_Orientation = CMatrix3x3::Identity;
  m_Launch_Requested = 0;
  m_Glow_Intensity = 0.0f;
  m_Puff_Timer = 0.0f;
  for (Enemy_Glow_Puff& puff : m_Puffs) puff.phase = -1.0f;
  m_Active = true;
}

int CEjector_Enemy_Bomb::Puffs_In_Use() const {
  return static_cast<int>(std::count_if(std::begin(m_Puffs), std::end(m_Puffs),
                                        [](const Enemy_Glow_Puff& p) { return p.phase >= 0.0f; }));
}

void CEjector_Enemy_Bomb::Update(const float& dt) {
  for (Enemy_Glow_Puff& puff : m_Puffs) {
    if (puff.phase < 0.0f) continue;
    puff.phase += dt * 0.35f;
    if (puff.phase >= 1.0f) puff.phase = -1.0f;
  }
  if (m_Glow_Intensity < 1.0f && enemy::R() * 3.25f < m_Puff_Timer) {
    Start_Puff();
    m_Puff_Timer = 0.0f;
  }
  m_Puff_Timer += dt;
  if (m_Kill_Timer == 0.0f && m_Launch_Requested) {
    Fire();
    m_Launch_Requested = 0;
  }
  m_Glow_Intensity = std::min(m_Glow_Intensity + dt * 0.085f, 1.0f);
  if (m_Kill_Timer != 0.0f) m_Kill_Timer += dt * 0.25f;
}

void CEjector_Enemy_Bomb::Start_Puff() {
  Enemy_Glow_Puff* free = std::find_if(std::begin(m_Puffs), std::end(m_Puffs),
                                       [](const Enemy_Glow_Puff& p) { return p.phase < 0.0f; });
  if (free == std::end(m_Puffs)) return;
  Play_Sound_3D(kPuff_Sound, m_Position, 0.65f);
  const CColor4 colour{0.1f + 0.9f * enemy::R(), 0.1f + 0.9f * enemy::R(), 0.1f + 0.9f * enemy::R(), 1.0f};
  free->colour = enemy::Argb(colour);
  const float a = enemy::Uniform(-1, 1), b = enemy::Uniform(-1, 1), u = enemy::Uniform(-70, 70);
  free->position = CVector3{m_Base_Position.x + u * b, m_Base_Position.y + u * a, m_Base_Position.z};
  free->phase = 0.0f;
}

void CEjector_Enemy_Bomb::Fire() {
  CEmmo_Bomb* bomb = static_cast<CEmmo_Bomb*>(CEmmo_Bomb::Pool()->Alloc_Object());
  if (!bomb) return;
  bomb->Setup(m_Base_Position);
  g_World.Add_Object(2, bomb);
  const CVector3 velocity{0.0f, 100.0f, -250.0f};
  bomb->m_Sphere.velocity = velocity;
  bomb->m_Sphere.spin = CVector3{enemy::Uniform(-4, 4), enemy::Uniform(-4, 4), enemy::Uniform(-4, 4)};
  bomb->m_Orientation = CMatrix3x3::Identity;
  bomb->Set_Position(m_Base_Position);
  g_Sim_Stats.Record_Launch(bomb);
  Play_Sound_3D(kFire_Sound, m_Position, 1.0f);
  enemy::Enemy_Launch_Spray(m_Base_Position, CVector3{0.0f, 50.0f, -125.0f}, kSpray_Colour, 0.25f);
}

void CEjector_Enemy_Bomb::Render(const float& step) {
  (void)step;
  if (!g_pWorldDrawPrim || !m_Texture) return;
  CD3DDrawPrim& draw = *g_pWorldDrawPrim;
  draw.SetRenderStyle(m_Style);
  draw.SetTransformType(kDrawPrimWorld);
  draw.SetTexture(m_Texture, 0);
  for (const Enemy_Glow_Puff& puff : m_Puffs) {
    if (puff.phase < 0.0f) continue;
    const float half = (m_Glow_Intensity + 0.5f) * (1.0f - puff.phase) * 28.0f;
    const uint32_t alpha = fx::Clamp_Byte(static_cast<float>(puff.colour >> 24) * puff.phase);
    const uint32_t colour = alpha << 24 | (puff.colour & 0xFFFFFF);
    const CVector3& c = puff.position;
    DrawPrimTexQuad quad;
    const float x[4] = {-half, half, half, -half}, y[4] = {half, half, -half, -half};
    const float u[4] = {0, 1, 1, 0}, v[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) quad.v[i] = TexVertex{c.x + x[i], c.y + y[i], c.z, colour, u[i], v[i]};
    draw.DrawTexQuads(&quad, 1);
  }
}
