#include "game/enemies/CEjector_Enemy_Tower.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/enemies/CEjector_Enemy_Plate.h"
#include "game/enemies/Enemy_Shared.h"
#include "game/targets/Ejector_Shared.h"
#include "game/targets/Target_Shared.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CSim_Stats.h"

namespace {
constexpr float kSunk_Depth = 218.75f;
constexpr float kRise_Height = 393.75f;
constexpr float kHead_Reach_Sq = 2500.0f;

// A growth of 1.135 about the head, in the tower's own frame.
CMatrix4x4 Head_Growth() {
  CMatrix4x4 down, scale, up, a, out;
  down.Translation(0.0f, -CEjector_Enemy_Tower::kHead_Height, 0.0f);
  scale.Scaling(1.135f, 1.135f, 1.135f);
  up.Translation(0.0f, CEjector_Enemy_Tower::kHead_Height, 0.0f);
  down.Multiply(scale, a);
  a.Multiply(up, out);
  return out;
}
}  // namespace

CObject_Pool* CEjector_Enemy_Tower::Pool() {
  static CObject_Pool_Of<CEjector_Enemy_Tower, kType> pool;
  return &pool;
}

bool CEjector_Enemy_Tower::Init() {
  if (!targets::Load_Resources("CEjector_Enemy_Tower", {targets::Resource::Renderable(0x22000145, m_Stem_Model),
                                targets::Resource::Renderable(0x22000148, m_Head_Model),
                                targets::Resource::Texture(0x22000029, m_Stem_Texture),
                                targets::Resource::Texture(0x22000069, m_Head_Texture),
                                targets::Resource::Style(0x22000043, m_Stem_Style, targets::kNo_Shader),
                                targets::Resource::Style(0x220000A8, m_Head_Style, targets::kNo_Texture),
                                targets::Resource::Style(0x22000149, m_Glow_Style, targets::kNo_Texture),
                                targets::Resource::Style(0x22000020, m_Mirror_Style, targets::kNo_Shader)})) return false;
  m_Initialised = true;
  return true;
}

void CEjector_Enemy_Tower::Term() {
  enemy::Release({&m_Stem_Model, &m_Head_Model}, {&m_Stem_Texture, &m_Head_Texture},
                 {&m_Stem_Style, &m_Head_Style, &m_Glow_Style, &m_Mirror_Style});
  m_Initialised = false;
  m_Active = false;
}

bool CEjector_Enemy_Tower::Spawn(const CVector3& p) {
  m_Launch_Requested = 0;
  m_Fired = 0;
  m_Rise = 0.0f;
  if (!ejectors::Setup_Fixed_Ejector(*this, kType, 0x04, 0x06, CVector3{35.0f, 155.0f, 35.0f})) return false;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Fixed.hit_flag = 1;
  m_Base_Position.Set(p.x, g_World.Get_Height(p.x, p.z) - kSunk_Depth, p.z);
  Set_Position(p);
  m_Orientation = Enemy_Facing(p);
  m_Active = true;
  return true;
}

CVector3 CEjector_Enemy_Tower::Head() const {
  return CVector3{m_Position.x, m_Position.y + kHead_Height, m_Position.z};
}

void CEjector_Enemy_Tower::Update(const float& dt) {
  const float before = m_Rise;
  if (m_Rise < 1.0f && m_Kill_Timer == 0.0f) {
    m_Rise = std::clamp(m_Age * 1.3333334f, 0.0f, 1.0f);
  } else if (m_Kill_Timer != 0.0f && m_Rise != 0.0f) {
    m_Rise = std::max(m_Rise - m_Kill_Timer * dt * 6.0f, 0.0f);
  }
  if (m_Rise != before)
    Set_Position(CVector3{m_Base_Position.x, m_Base_Position.y + kRise_Height * m_Rise, m_Base_Position.z});
  if (m_Launch_Requested && m_Kill_Timer == 0.0f) {
    enemy::Enemy_Direct_Strike(m_Position, Head(), CVector3{0.8f, 0.25f, 0.25f}, 0.65f, 1.0f);
    m_Fired = 1;
    m_Launch_Requested = 0;
  }
  m_Age += dt;
  if (m_Kill_Timer != 0.0f) m_Kill_Timer += 0.25f * dt;
}

bool CEjector_Enemy_Tower::Line_Meets_Head(CWorld_Object* other, const CShot_Line* shot, bool& has_line) const {
  CVector3 start, direction;
  has_line = true;
  if (shot) {
    start = shot->point;
    direction = shot->direction;
  } else if (other) {
    start = other->m_Position;
    direction = other->Body_Velocity();
  } else {
    has_line = false;
    return false;
  }
  const float length = std::max(direction.Length(), 0.0001f);
  direction.Divide_Assign(length);
  CVector3 d;
  Head().Subtract(start, d);
  const float along = d.Dot(direction);
  if (along > 0.0f) d.Subtract_Assign(CVector3{direction.x * along, direction.y * along, direction.z * along});
  return d.Length_Squared() < kHead_Reach_Sq;
}

bool CEjector_Enemy_Tower::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < 0.75f) return false;
  bool has_line = false;
  if (!Line_Meets_Head(other, shot, has_line) || m_Hit_Count != 0) return true;
  if (other && (other->m_Kind_Flags & kKind_Shot)) g_Sim_Stats.Register_Hit(this, other, nullptr, 0);
  if (m_Kill_Timer == 0.0f && !m_Fired) {
    const float a = std::clamp(m_Age * 0.15f, 0.25f, 1.0f);
    const uint32_t colour = static_cast<uint32_t>(a * 255.0f) << 24 | 0xFF8888;
    enemy::Enemy_Hit_Burst(*this, Head(), colour, std::min(2.0f * a, 1.0f));
  }
  m_Kind_Flags |= kKind_Excluded;
  m_Kill_Timer += 0.001f;
  g_Music_Track.Remove_Object(this);
  ++m_Hit_Count;
  return true;
}

void CEjector_Enemy_Tower::Draw_Glow(const CMatrix4x4& world) const {
  if (m_Kill_Timer != 0.0f || m_Fired) return;
  static const CMatrix4x4 growth = Head_Growth();
  const float m = std::min(m_Age * 0.15f, 1.0f) * 0.04f;
  CMatrix4x4 pass_matrix = world;
  float o = m;
  for (int k = 0; k < 5; ++k) {
    o *= 0.9f;
    if (k > 0) {
      CMatrix4x4 grown;
      growth.Multiply(pass_matrix, grown);
      pass_matrix = grown;
    }
    const float alpha = std::min(o * (k == 0 ? 15.0f : 1.0f), 1.0f);
    const CColor4 colour{1.0f, 0.2f, 0.2f, alpha};
    enemy::Draw_Glow(m_Head_Model, pass_matrix, m_Glow_Style, m_Head_Texture, colour);
  }
}

void CEjector_Enemy_Tower::Render(const float& step) {
  (void)step;
  const CMatrix4x4 world = enemy::Matrix(m_Orientation, m_Position);
  targets::Draw(m_Stem_Model, world, m_Stem_Style, m_Stem_Texture, nullptr, false);
  targets::Draw(m_Head_Model, world, m_Head_Style, m_Head_Texture, nullptr, false);
  Draw_Glow(world);
}

void CEjector_Enemy_Tower::Render_Reflection(const CWorld_Mirror& mirror) {
  const CMatrix4x4 world = targets::Mirrored(enemy::Matrix(m_Orientation, m_Position), mirror);
  targets::Draw(m_Stem_Model, world, m_Mirror_Style, m_Stem_Texture, nullptr, false);
  targets::Draw(m_Head_Model, world, m_Mirror_Style, m_Head_Texture, nullptr, false);
  Draw_Glow(world);
}

void CEjector_Enemy_Tower::Render_With_Shader(void* style, void* texture) {
  const CMatrix4x4 world = enemy::Matrix(m_Orientation, m_Position);
  CD3DRenderStyle* s = static_cast<CD3DRenderStyle*>(style);
  CTextureData* t = static_cast<CTextureData*>(texture);
  targets::Draw(m_Stem_Model, world, s, t, nullptr, false);
  targets::Draw(m_Head_Model, world, s, t, nullptr, false);
}
