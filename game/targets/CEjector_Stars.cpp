#include "game/targets/CEjector_Stars.h"

#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/CTarget_Star.h"
#include "game/targets/Target_Shared.h"

namespace {

constexpr CVector3 kBody_Size{35.0f, 25.0f, 25.0f};

}  // namespace

CObject_Pool* CEjector_Stars::Pool() {
  static CObject_Pool_Of<CEjector_Stars, kType> pool;
  return &pool;
}

bool CEjector_Stars::Init() {
  using R = targets::Resource;
  if (!targets::Load_Resources("CEjector_Stars", {R::Renderable(0x220000AD, m_Model), R::Texture(0x22000029, m_Texture),
                                                  R::Style(0x22000043, m_Style), R::Style(0x220000AE, m_Mirror_Style)})) {
    Term();
    return false;
  }
  Initialised = true;
  return true;
}

void CEjector_Stars::Term() {
  fx::Release(m_Model);
  fx::Release(m_Texture);
  fx::Release(m_Style);
  fx::Release(m_Mirror_Style);
  Initialised = false;
  Active = false;
}

void CEjector_Stars::Spawn(const uint32_t& first, const uint32_t& colour, const CVector3& position) {
  m_Side = first;
  Active = false;
  Launch_Requested = false;
  m_Rise = m_Age = 0.0f;
  m_Colour_Variant = colour;
  if (!ejectors::Setup_Fixed_Ejector(*this, kType, 0x04, 0x04, kBody_Size)) return;
  m_Base_Position = position;
  Set_Position(position);
  m_Orientation = CMatrix3x3::Identity;
  Active = true;
}

void CEjector_Stars::Update(const float& dt) {
  if (m_Rise != 1.0f || m_Kill_Timer != 0.0f) {
    m_Rise = ejectors::Next_Rise(m_Rise, m_Kill_Timer, m_Age, kRise_Rate);
    Set_Position(ejectors::Raised_Position(m_Base_Position, m_Orientation.rows[0], m_Rise * m_Fixed.half_size.x));
  } else if (Launch_Requested) {
    Launch();
    Launch_Requested = false;
  }
  m_Age += dt;
  ejectors::Death_Step(*this, dt, ejectors::kDeath_Rate);
}

void CEjector_Stars::Launch() {
  const int32_t variant = ejectors::Launch_Colour_Variant(m_Colour_Variant);
  const CVector3 at = ejectors::Raised_Position(m_Position, m_Orientation.rows[0], 0.85f * m_Fixed.half_size.x);
  const CVector3& up = m_Orientation.rows[1];
  const CVector3& first = m_Orientation.rows[0];
  CVector3 d{0.9f * up.x + 0.8f * first.x, 0.9f * up.y + 0.8f * first.y, 0.9f * up.z + 0.8f * first.z + 0.8f};
  float speed;
  // Near the back of the world it throws lower and back towards the camera.
  if (m_Position.z > 0.75f * g_World.m_Terrain.size_z) {
    d.y -= 0.1f;
    d.z -= 1.6f;
    speed = fx::Random_Unit() * 70.0f + 375.0f;
  } else {
    speed = fx::Random_Unit() * 100.0f + 325.0f;
  }
  CObject_Pool* pool = g_Object_Pools[CTarget_Star::kType];
  CWorld_Object* object = pool ? pool->Alloc_Object() : nullptr;
  if (!object) return;
  auto* star = static_cast<CTarget_Star*>(object);
  if (!star->Spawn(variant)) {
    ejectors::Give_Back_Unspawned(object);
    return;
  }
  g_World.Add_Object(2, star);
  // Tilted 0.2 radian about x; the spin of 6 is about the tilted up axis.
  const float c = std::cos(0.2f), s = std::sin(0.2f);
  star->m_Orientation.rows[0].Set(1.0f, 0.0f, 0.0f);
  star->m_Orientation.rows[1].Set(0.0f, c, -s);
  star->m_Orientation.rows[2].Set(0.0f, s, c);
  star->Set_Position(at);
  d.Scale(speed, star->m_Box.velocity);
  star->m_Box.spin.Set(0.0f, 6.0f * c, -6.0f * s);
  g_Sim_Stats.Record_Launch(star);
  ejectors::Emit_Launch_Puff(at, star->m_Box.velocity, targets::Pack_Scaled_ARGB(star->Get_Color(), 1.0f));
}

CMatrix4x4 CEjector_Stars::Slide_Matrix() const {
  return ejectors::Scaled_World(*this, CVector3{m_Rise < 1.0f ? m_Rise : 1.0f, 1.0f, 1.0f});
}

void CEjector_Stars::Render(const float& step) {
  (void)step;
  targets::Draw(m_Model, Slide_Matrix(), m_Style, m_Texture, nullptr, m_Rise < 1.0f);
}

void CEjector_Stars::Render_Reflection(const CWorld_Mirror& mirror) {
  targets::Draw(m_Model, targets::Mirrored(Slide_Matrix(), mirror), m_Mirror_Style, m_Texture, nullptr, m_Rise < 1.0f);
}

void CEjector_Stars::Render_With_Shader(void* style, void* texture) {
  targets::Draw(m_Model, Slide_Matrix(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture),
                nullptr, m_Rise < 1.0f);
}
