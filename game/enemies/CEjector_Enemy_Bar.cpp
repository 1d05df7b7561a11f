#include "game/enemies/CEjector_Enemy_Bar.h"

#include <algorithm>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/enemies/CEmmo_Ball_2.h"
#include "game/enemies/Enemy_Shared.h"
#include "game/targets/Ejector_Shared.h"
#include "game/targets/Target_Shared.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/sim/CSim_Stats.h"

namespace {
constexpr uint32_t kFire_Sound = 0x22000159;
constexpr float kSide_Speed = 1200.0f;
}  // namespace

CObject_Pool* CEjector_Enemy_Bar::Pool() {
  static CObject_Pool_Of<CEjector_Enemy_Bar, kType> pool;
  return &pool;
}

bool CEjector_Enemy_Bar::Init() {
  if (!targets::Load_Resources("CEjector_Enemy_Bar", {targets::Resource::Renderable(0x22000158, m_Model),
                                targets::Resource::Texture(0x22000045, m_Texture),
                                targets::Resource::Style(0x2200004B, m_Style, targets::kNo_Shader),
                                targets::Resource::Style(0x22000020, m_Mirror_Style, targets::kNo_Shader)})) return false;
  m_Initialised = true;
  return true;
}

void CEjector_Enemy_Bar::Term() {
  enemy::Release({&m_Model}, {&m_Texture}, {&m_Style, &m_Mirror_Style});
  m_Initialised = false;
  m_Active = false;
}

void CEjector_Enemy_Bar::Spawn(const CVector3& position) {
  if (!ejectors::Setup_Fixed_Ejector(*this, kType, 0x04, 0x04, CVector3{20.0f, kHeight, 20.0f})) return;
  m_Launch_Requested = 0;
  m_Age = 0.0f;
  m_Rise = 0.0f;
  m_Base_Position = position;
  m_Orientation = CMatrix3x3::Identity;
  Set_Position(position);
  m_Active = true;
}

void CEjector_Enemy_Bar::Update(const float& dt) {
  const float before = m_Rise;
  if (m_Rise == 1.0f || m_Kill_Timer != 0.0f) {
    if (m_Kill_Timer != 0.0f && m_Rise != 0.0f) m_Rise = std::max(m_Rise - m_Kill_Timer * dt * 6.0f, 0.0f);
  } else {
    m_Rise = std::clamp(m_Age * 0.4f, 0.0f, 1.0f);
  }
  if (m_Rise != before)
    Set_Position(CVector3{m_Base_Position.x, m_Base_Position.y + kHeight * m_Rise, m_Base_Position.z});
  if (m_Launch_Requested && m_Kill_Timer == 0.0f) {
    Fire();
    m_Launch_Requested = 0;
  }
  m_Age += dt;
  if (m_Kill_Timer != 0.0f) m_Kill_Timer += dt * 0.15f;
}

void CEjector_Enemy_Bar::Fire() {
  CObject_Pool* pool = CEmmo_Ball_2::Pool();
  CEmmo_Ball_2* shot = static_cast<CEmmo_Ball_2*>(pool->Alloc_Object());
  if (!shot) return;
  const float ground = g_World.Get_Height(m_Position.x, m_Position.z) + 100.0f;
  const float height = ground + enemy::R() * ((enemy::Camera().y - 300.0f) - ground);
  const CVector3 start{m_Position.x, height, m_Position.z + 35.0f};
  const float side = enemy::R() < 0.5f ? kSide_Speed : -kSide_Speed;
  const CVector3 velocity{side, 0.0f, -kSide_Speed};
  const int variant = enemy::Random_Variant();
  shot->Spawn(&variant, &start);
  g_World.Add_Object(2, shot);
  g_Sim_Stats.Record_Launch(shot);
  Play_Sound_3D(kFire_Sound, m_Position, 0.5f);
  shot->m_Orientation = CMatrix3x3::Identity;
  shot->Set_Position(start);
  shot->m_Sphere.velocity = velocity;
  shot->m_Sphere.spin = CVector3{enemy::Uniform(-2, 2), enemy::Uniform(-2, 2), enemy::Uniform(-2, 2)};
  g_Screen_FX_Mgr.Add_Effect(11, 1.15f, CColor4{0.075f, 0.5f, 1.0f, 0.3f}, CColor4{0, 0, 0, 0}, 0.0f, 0.0f);
}

void CEjector_Enemy_Bar::Render(const float& step) {
  (void)step;
  targets::Draw(m_Model, enemy::Matrix(m_Orientation, m_Position), m_Style, m_Texture, nullptr, false);
}

void CEjector_Enemy_Bar::Render_Reflection(const CWorld_Mirror& mirror) {
  targets::Draw(m_Model, targets::Mirrored(enemy::Matrix(m_Orientation, m_Position), mirror), m_Mirror_Style, m_Texture, nullptr, false);
}

void CEjector_Enemy_Bar::Render_With_Shader(void* style, void* texture) {
  targets::Draw(m_Model, enemy::Matrix(m_Orientation, m_Position), static_cast<CD3DRenderStyle*>(style),
              static_cast<CTextureData*>(texture), nullptr, false);
}
