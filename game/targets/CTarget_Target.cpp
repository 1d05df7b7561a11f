#include "game/targets/CTarget_Target.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CTarget_Link_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/Ejector_Shared.h"
#include "game/targets/Target_Shared.h"
#include "runtime/src/math/geometry.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr uint32_t kTower_Type = 40;
constexpr uint32_t kMemory_Board_Type = 47;
constexpr uint32_t kBullseye_Colour = 0xFFFF6688;
constexpr uint32_t kPlain_Colour = 0xFFCCCC77;
constexpr uint32_t kBullseye_Sound = 0x220000F3;
constexpr uint32_t kPlain_Sound = 0x220000F4;

CMatrix3x3 Turn(const CVector3& axis, float angle) {
  CMatrix3x3 m;
  m.From_Axis_Angle(axis, angle);
  return m;
}

CMatrix3x3 Product(const CMatrix3x3& a, const CMatrix3x3& b) {
  CMatrix3x3 out;
  a.Multiply(b, out);
  return out;
}

}  // namespace

CObject_Pool* CTarget_Target::Pool() {
  static CObject_Pool_Of<CTarget_Target, kType> pool;
  return &pool;
}

bool CTarget_Target::Init() {
  if (!targets::Load_Resources(
          "CTarget_Target",
          {targets::Resource::Renderable(0x2200009D, m_Renderables[0]),
           targets::Resource::Renderable(0x2200009E, m_Renderables[1]),
           targets::Resource::Renderable(0x2200009F, m_Renderables[2]),
           targets::Resource::Texture(0x2200003B, m_Textures[0]), targets::Resource::Texture(0x220000A0, m_Textures[1]),
           targets::Resource::Style(0x2200003C, m_Styles[0]), targets::Resource::Style(0x220000A1, m_Styles[1]),
           targets::Resource::Style(0x22000020, m_Styles[2])})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CTarget_Target::Term() {
  targets::Release_Handles(m_Renderables, m_Textures, m_Styles);
  m_Ejector_Lock.Clear();
  m_Initialised = false;
  m_Spawned = false;
}

// Each side's turn from the ejector's axes: sides 0 and 1 swing about its up axis (side 1
// turned over), sides 2 and 3 about its first axis (turned a quarter either way).
CMatrix3x3 CTarget_Target::Folded_Orientation(const CMatrix3x3& ejector, int32_t side, float f) {
  const CVector3& r0 = ejector.rows[0];
  const CVector3& r1 = ejector.rows[1];
  const CVector3& r2 = ejector.rows[2];
  CMatrix3x3 turn = CMatrix3x3::Identity;
  switch (side) {
    case 0: turn = Turn(r1, -f * kPi / 2.0f); break;
    case 1: turn = Product(Turn(r1, f * kPi / 2.0f), Turn(r2, kPi)); break;
    case 2: turn = Product(Turn(r0, f * kPi / 2.0f), Turn(r2, kPi / 2.0f)); break;
    case 3: turn = Product(Turn(r0, -f * kPi / 2.0f), Turn(r2, -kPi / 2.0f)); break;
    default: break;
  }
  return Product(ejector, turn);
}

// The home point swings with the board about the ejector's hinge axis through the ejector:
// its up axis for sides 0 and 1, its first axis for sides 2 and 3, each side its own way, so
// that a standing board is where the tower's spot search looks for it and a memory-game board
// keeps its place beside the board from frame to frame.
// This departs on purpose from the plain rule of one turn direction about a pivot at the
// board's own height: taken that way, a side-0 and a side-1 board of the tower swing their
// common home point to the same spot, one on top of the other, and the tower's search could
// never tell the two sides apart. Turning side 1 (and side 2) the other way puts each board on
// its own side of the tower.
CVector3 CTarget_Target::Folded_Position(const CMatrix3x3& ejector, const CVector3& ejector_position, int32_t side,
                                         const CVector3& home, float f) {
  CVector3 world;
  home.Rotate_To(ejector, world);
  world.Add_Assign(ejector_position);
  if (side < 0 || side > 3) return world;
  const bool about_up = side <= 1;
  const float sign = (side == 0 || side == 3) ? 1.0f : -1.0f;
  const CVector3& axis = about_up ? ejector.rows[1] : ejector.rows[0];
  const CMatrix3x3 turn = Turn(axis, sign * (1.0f - f) * kPi / 2.0f);
  CVector3 offset, turned;
  world.Subtract(ejector_position, offset);
  offset.Rotate_To(turn, turned);
  turned.Add_Assign(ejector_position);
  return turned;
}

CTarget_Target* CTarget_Target::Launch_From(CWorld_Object& ejector, int32_t side, const CVector3& home, bool quick) {
  auto* board = static_cast<CTarget_Target*>(Pool()->Alloc_Object());
  if (!board) return nullptr;
  if (!board->Spawn(side, home, &ejector, quick)) {
    ejectors::Give_Back_Unspawned(board);
    return nullptr;
  }
  g_World.Add_Object(1, board);
  CVector3 placed;
  home.Rotate_To(ejector.m_Orientation, placed);
  placed.Add_Assign(ejector.m_Position);
  board->Set_Position(placed);
  g_Sim_Stats.Record_Launch(board);
  return board;
}

bool CTarget_Target::Spawn(const int32_t& side, const CVector3& home, CWorld_Object* ejector, const bool& quick) {
  Setup_Object(kType, 100.0f, 100.0f, kState_No_World_Contact, kKind_Counted_Target);
  if (!Setup_Kind5_Body(CVector3{kHalf_X, kHalf_Y, kHalf_Z})) return false;
  m_Fixed.hit_flag = 1;
  m_Quick = quick;
  m_Life = quick ? kQuick_Life : kNormal_Life;
  m_Age = 0.0f;
  m_Rise = 1.0f;
  m_Hit_Count = 0;
  Set_Position(CVector3{0.0f, 0.0f, 0.0f});
  m_Side = side;
  m_Home = home;
  m_Orientation = Folded_Orientation(ejector ? ejector->m_Orientation : CMatrix3x3::Identity, side, 1.0f);
  m_Ejector_Lock.Clear();
  m_Ejector_Lock.Start(this);
  if (ejector) g_Target_Link_Pool.Add_Link(ejector, &m_Ejector_Lock);
  m_Spawned = true;
  return true;
}

void CTarget_Target::Release_Attachments() {
  m_Ejector_Lock.Clear();
  CFixed_Object::Release_Attachments();
}

CWorld_Object* CTarget_Target::Find_Ejector() const {
  CWorld_Object* board = nullptr;
  for (CTarget_Link* link = m_Ejector_Lock.m_Link_Chain; link; link = link->m_Next_Of_Lock) {
    CWorld_Object* object = link->m_Object;
    if (!object) continue;
    if (object->m_Type == kTower_Type) return object;
    if (object->m_Type == kMemory_Board_Type && !board) board = object;
  }
  return board;
}

CVector3 CTarget_Target::Standing_Position() const {
  const CWorld_Object* ejector = Find_Ejector();
  if (!ejector) return m_Position;
  return Folded_Position(ejector->m_Orientation, ejector->m_Position, m_Side, m_Home, 0.0f);
}

void CTarget_Target::Update(const float& dt) {
  m_Life -= dt;
  if (m_Life < 0.0f) {
    if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.0001f;
    m_Life = 0.0f;
  }
  m_Age += dt;
  if (m_Quick || m_Rise != 0.0f || m_Kill_Timer != 0.0f) {
    if (m_Rise != 0.0f) m_Rise = std::max(0.0f, m_Rise - 3.5f * dt);
    const float f = m_Kill_Timer != 0.0f ? std::min(m_Kill_Timer, 1.0f) : m_Rise;
    CWorld_Object* ejector = Find_Ejector();
    if (!ejector || ejector->m_Kill_Timer != 0.0f) {
      m_Kill_Timer = 1.0f;
      return;
    }
    m_Orientation = Folded_Orientation(ejector->m_Orientation, m_Side, f);
    Set_Position(Folded_Position(ejector->m_Orientation, ejector->m_Position, m_Side, m_Home, f));
  }
  if (m_Kill_Timer == 0.0f && !(m_Value1 > 0.0f)) m_Kill_Timer += 0.001f;
  if (m_Kill_Timer != 0.0f) m_Kill_Timer += (m_Quick ? 1.25f : 0.45f) * dt;
}

bool CTarget_Target::Is_Bullseye(const CVector3& centre, const CVector3& axis, const CShot_Line* shot,
                                 const CWorld_Object* other) {
  if (shot) return LineRayDistanceSq(centre, axis, shot->point, shot->direction) < 49.0f;
  if (!other) return false;
  const CVector3 velocity = targets::Hitter_Velocity(other);
  if (!(velocity.Length_Squared() > 1000000.0f)) return false;
  CVector3 d;
  other->m_Position.Subtract(centre, d);
  const float aa = axis.Dot(axis);
  if (!(aa > 0.0f)) return d.Length_Squared() < 121.0f;
  CVector3 along, across;
  axis.Scale(d.Dot(axis) / aa, along);
  d.Subtract(along, across);
  return across.Length_Squared() < 121.0f;
}

bool CTarget_Target::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (other && (other->m_Kind_Flags & (kKind_Counted_Target | 0x04))) return false;
  ++m_Hit_Count;
  if (m_Hit_Count > 1) return true;
  const bool bullseye = Is_Bullseye(m_Position, m_Orientation.rows[2], shot, other);
  if (bullseye) g_Score_Board_Mgr.Award_Target_Hit();
  if (other && (other->m_Kind_Flags & kKind_Shot)) {
    const uint32_t tag = 0;
    g_Sim_Stats.Register_Hit(this, other, nullptr, tag);
  }
  m_Kind_Flags |= kKind_Excluded;
  if (other || shot) Spawn_Hit_Sparkles(bullseye);
  m_Kill_Timer += 0.15f;
  return true;
}

void CTarget_Target::Spawn_Hit_Sparkles(bool bullseye) {
  const uint32_t colour = bullseye ? kBullseye_Colour : kPlain_Colour;
  const CMatrix3x3& axes = m_Orientation;
  for (int i = 0; i < 25; ++i) {
    const float u = fx::Random_Unit() * 100.0f - 50.0f;
    const float v = fx::Random_Unit() * 100.0f - 50.0f;
    const float w = fx::Random_Unit() * 100.0f - 50.0f;
    const CVector3 offset{w * axes.rows[2].x + v * axes.rows[1].x + u * axes.rows[0].x,
                          w * axes.rows[2].y + v * axes.rows[1].y + u * axes.rows[0].y,
                          w * axes.rows[2].z + v * axes.rows[1].z + u * axes.rows[0].z};
    CVector3 at;
    m_Position.Add(offset, at);
    const float size = 35.0f + 40.0f * fx::Random_Unit();
    const float life = 0.15f + 1.85f * fx::Random_Unit();
    const float gravity = 0.1f + 0.15f * fx::Random_Unit();
    if (!g_Particle_Sparkle_Mgr.Add_Particle(at, offset, size, life, colour, gravity, 2)) break;
  }
  Play_Sound_3D(bullseye ? kBullseye_Sound : kPlain_Sound, m_Position, 1.0f);
}

CMatrix4x4 CTarget_Target::World() const { return targets::World_Matrix(*this, CVector3{1.0f, 1.0f, 1.0f}); }

void CTarget_Target::Render(const float& step) {
  (void)step;
  if (!m_Spawned) return;
  const CMatrix4x4 world = World();
  targets::Draw(m_Renderables[0], world, m_Styles[0], m_Textures[0], nullptr, false);
  targets::Draw(m_Renderables[2], world, m_Styles[0], m_Textures[0], nullptr, false);
  targets::Draw(m_Renderables[1], world, m_Styles[1], m_Textures[1], nullptr, false);
}

void CTarget_Target::Render_Reflection(const CWorld_Mirror& mirror) {
  if (!m_Spawned) return;
  const CMatrix4x4 world = targets::Mirrored(World(), mirror);
  targets::Draw(m_Renderables[0], world, m_Styles[2], m_Textures[0], nullptr, false);
  targets::Draw(m_Renderables[2], world, m_Styles[2], m_Textures[0], nullptr, false);
  targets::Draw(m_Renderables[1], world, m_Styles[2], m_Textures[1], nullptr, false);
}

void CTarget_Target::Render_With_Shader(void* style, void* texture) {
  if (!m_Spawned) return;
  const CMatrix4x4 world = World();
  auto* given_style = static_cast<CD3DRenderStyle*>(style);
  auto* given_texture = static_cast<CTextureData*>(texture);
  targets::Draw_Shader_Pass(m_Renderables[0], world, given_style, given_texture, m_Textures[0], false);
  targets::Draw_Shader_Pass(m_Renderables[2], world, given_style, given_texture, m_Textures[0], false);
  targets::Draw_Shader_Pass(m_Renderables[1], world, given_style, given_texture, m_Textures[1], false);
}
