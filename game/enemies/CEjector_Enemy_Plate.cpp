#include "game/enemies/CEjector_Enemy_Plate.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/enemies/Enemy_Shared.h"
#include "game/targets/Ejector_Shared.h"
#include "game/targets/Target_Shared.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CSim_Stats.h"

namespace {
constexpr float kTwo_Pi = 6.2831855f;
}  // namespace

CMatrix3x3 Enemy_Facing(const CVector3& p) {
  const CVector3& eye = enemy::Camera();
  CVector3 f{p.x - eye.x, 0.0f, p.z - eye.z};
  // Straight above or below the camera there is no horizontal direction: face along z.
  if (f.Normalize() < 0.0001f) f.Set(0.0f, 0.0f, 1.0f);
  const CVector3 up{0.0f, 1.0f, 0.0f};
  CVector3 side;
  up.Cross(f, side);
  CMatrix3x3 m;
  m.Set_Rows(side, up, f);
  return m;
}

CObject_Pool* CEjector_Enemy_Plate::Pool() {
  static CObject_Pool_Of<CEjector_Enemy_Plate, kType> pool;
  return &pool;
}

bool CEjector_Enemy_Plate::Init() {
  if (!targets::Load_Resources("CEjector_Enemy_Plate", {targets::Resource::Renderable(0x2200015A, m_Plate_Model),
                                targets::Resource::Renderable(0x2200015B, m_Rim_Model),
                                targets::Resource::Texture(0x22000029, m_Texture),
                                targets::Resource::Style(0x2200003C, m_Body_Style, targets::kNo_Shader),
                                targets::Resource::Style(0x22000149, m_Glow_Style, targets::kNo_Texture),
                                targets::Resource::Style(0x22000020, m_Mirror_Style, targets::kNo_Shader)})) return false;
  m_Initialised = true;
  return true;
}

void CEjector_Enemy_Plate::Term() {
  enemy::Release({&m_Plate_Model, &m_Rim_Model}, {&m_Texture}, {&m_Body_Style, &m_Glow_Style, &m_Mirror_Style});
  m_Initialised = false;
  m_Active = false;
}

bool CEjector_Enemy_Plate::Spawn(int variant, const CVector3& p) {
  if (!ejectors::Setup_Fixed_Ejector(*this, kType, 0x04, 0x06, CVector3{45.0f, 45.0f, 5.0f})) return false;
  m_Variant = variant;
  m_Launch_Requested = 0;
  m_Move = 1.0f;
  m_Glow = 0.0f;
  m_Scale = 0.0f;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Fixed.hit_flag = 1;
  m_Move_From = p;
  m_Move_To = p;
  Set_Position(p);
  m_Orientation = Enemy_Facing(p);
  m_Active = true;
  return true;
}

CColor4 CEjector_Enemy_Plate::Colour() const {
  return m_Hit_Count != 0 ? CColor4{0.0f, 0.0f, 0.0f, 1.0f} : targets::Get_Variant_Color(m_Variant);
}

void CEjector_Enemy_Plate::Update(const float& dt) {
  if (m_Scale < 1.0f && m_Kill_Timer == 0.0f) {
    m_Scale = std::clamp(m_Age * 1.3333334f, 0.0f, 1.0f);
  } else if (m_Kill_Timer != 0.0f && m_Scale != 0.0f) {
    m_Scale = std::max(m_Scale - m_Kill_Timer * dt * 6.0f, 0.0f);
  }
  const float next = std::min(m_Move + 0.45f * dt, 1.0f);
  if (next != m_Move) {
    const float g = std::max(m_Move - 0.1f, 0.0f) * 1.1111112f;
    CVector3 span;
    m_Move_To.Subtract(m_Move_From, span);
    Set_Position(CVector3{m_Move_From.x + g * span.x, m_Move_From.y + g * span.y, m_Move_From.z + g * span.z});
    m_Move = next;
  }
  if (m_Move == 1.0f) m_Glow = std::min(m_Glow + 0.45f * dt, 1.0f);
  if (m_Launch_Requested && m_Kill_Timer == 0.0f) {
    Strike();
    m_Move_From = m_Position;
    m_Move_To = Pick_Plate_Position();
    m_Move = 0.0f;
    m_Glow = 0.0f;
    m_Launch_Requested = 0;
  }
  m_Age += dt;
  if (m_Kill_Timer != 0.0f) m_Kill_Timer += 0.25f * dt;
}

void CEjector_Enemy_Plate::Strike() {
  const CColor4 c = Colour();
  enemy::Enemy_Direct_Strike(m_Position, m_Position, CVector3{c.r, c.g, c.b}, 0.65f, 1.5f);
}

CVector3 CEjector_Enemy_Plate::Pick_Plate_Position() const {
  const float W = g_World.m_Terrain.size_x;
  const float ceiling = enemy::Camera().y - 300.0f;
  for (int i = 0; i < kPlace_Tries; ++i) {
    const float theta = enemy::R() * kTwo_Pi;
    const float rho = 200.0f + 300.0f * enemy::R();
    const CVector3 c{m_Position.x + rho * std::cos(theta), m_Position.y + rho * std::sin(theta), m_Position.z};
    if (c.y <= ceiling && c.y >= g_World.Get_Height(c.x, c.z) + 100.0f && c.x >= 0.075f * W && c.x <= 0.925f * W)
      return c;
  }
  return m_Position;
}

bool CEjector_Enemy_Plate::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < 0.75f) return false;
  if (m_Kill_Timer != 0.0f || m_Hit_Count != 0) return true;
  if (other && (other->m_Kind_Flags & kKind_Shot)) g_Sim_Stats.Register_Hit(this, other, nullptr, 0);
  if (other || shot) enemy::Enemy_Hit_Burst(*this, m_Position, enemy::Argb(enemy::Brightened(Colour(), 3.0f)), 1.0f);
  m_Kind_Flags |= kKind_Excluded;
  m_Kill_Timer += 0.001f;
  g_Music_Track.Remove_Object(this);
  ++m_Hit_Count;
  return true;
}

CMatrix4x4 CEjector_Enemy_Plate::World() const {
  const float s = m_Scale;
  return enemy::Matrix(m_Orientation, m_Position, CVector3{s, s, s});
}

void CEjector_Enemy_Plate::Draw_Glow(const CMatrix4x4& world) const {
  const CColor4 base = enemy::Brightened(Colour(), 2.0f);
  const float fade = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f) * m_Glow * 0.2f;
  CMatrix4x4 m = world;
  float k = 1.0f;
  for (int pass = 1; pass <= 4; ++pass) {
    m = enemy::Scaled(m, 1.035f, 1.035f, 1.1f);
    k *= 0.85f;
    const CColor4 colour{base.r, base.g, base.b, std::min(fade * k, 1.0f)};
    enemy::Draw_Glow(m_Rim_Model, m, m_Glow_Style, m_Texture, colour);
  }
}

void CEjector_Enemy_Plate::Render(const float& step) {
  (void)step;
  const CMatrix4x4 world = World();
  const bool scaled = m_Scale != 1.0f;
  targets::Draw(m_Plate_Model, world, m_Body_Style, m_Texture, nullptr, scaled);
  targets::Draw(m_Rim_Model, world, m_Body_Style, m_Texture, nullptr, scaled);
  Draw_Glow(world);
}

void CEjector_Enemy_Plate::Render_Reflection(const CWorld_Mirror& mirror) {
  const CMatrix4x4 world = targets::Mirrored(World(), mirror);
  targets::Draw(m_Plate_Model, world, m_Mirror_Style, m_Texture, nullptr, true);
  targets::Draw(m_Rim_Model, world, m_Mirror_Style, m_Texture, nullptr, true);
  Draw_Glow(world);
}

void CEjector_Enemy_Plate::Render_With_Shader(void* style, void* texture) {
  CD3DRenderStyle* s = static_cast<CD3DRenderStyle*>(style);
  CTextureData* t = static_cast<CTextureData*>(texture);
  targets::Draw(m_Plate_Model, World(), s, t, nullptr, true);
  targets::Draw(m_Rim_Model, World(), s, t, nullptr, true);
}
