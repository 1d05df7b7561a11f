#include "game/enemies/CEnemy_Tile_1.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/enemies/Enemy_Shared.h"
#include "game/targets/Target_Shared.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Draw_Helpers.h"
#include "game/sim/CSim_Stats.h"

namespace {
constexpr uint32_t kThrow_Sound = 0x220000F2;
constexpr uint32_t kHoming_Sound = 0x220000E1;
constexpr uint32_t kStrike_Sound = 0x220000F5;
constexpr uint32_t kHit_Sound = 0x220000F3;
constexpr float kFar_Sq = 90000.0f;
const CVector3 kHalf_Size{38.0f, 10.0f, 38.0f};
}  // namespace

CObject_Pool* CEnemy_Tile_1::Pool() {
  static CObject_Pool_Of<CEnemy_Tile_1, kType> pool;
  return &pool;
}

bool CEnemy_Tile_1::Init() {
  if (!targets::Load_Resources("CEnemy_Tile_1", {targets::Resource::Renderable(0x22000157, m_Model),
                                targets::Resource::Texture(0x2200002A, m_Body_Texture),
                                targets::Resource::Texture(0x22000032, m_Halo_Texture, targets::kNo_Created_Texture),
                                targets::Resource::Style(0x2200003C, m_Body_Style, targets::kNo_Texture),
                                targets::Resource::Style(0x220000C6, m_Halo_Style, targets::kNo_Texture),
                                targets::Resource::Style(0x22000020, m_Mirror_Style, targets::kNo_Shader)})) return false;
  m_Initialised = true;
  return true;
}

void CEnemy_Tile_1::Term() {
  enemy::Release({&m_Model}, {&m_Body_Texture, &m_Halo_Texture}, {&m_Body_Style, &m_Halo_Style, &m_Mirror_Style});
  m_Initialised = false;
}

bool CEnemy_Tile_1::Spawn(int variant, const CVector3& p) {
  Setup_Object(kType, 1.0f, 1.0f, 0x36, 0x03);
  if (!Setup_Box_Body(10.0f, kHalf_Size, 0.5f)) return false;
  m_Variant = variant;
  m_Struck = 0;
  m_Homing = 0;
  m_Hit_Count = 0;
  m_Age = 0.0f;
  m_Box.hit_flag = 1;
  m_Box.floor_contact_flag = 1;
  Set_Position(p);
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Box.velocity.Set(0.0f, 500.0f + 150.0f * enemy::R(), 0.0f);
  m_Box.spin.Set(0.0f, 0.0f, 0.0f);
  const CVector3& eye = enemy::Camera();
  const float x = enemy::Uniform(-75, 75), y = enemy::Uniform(-25, 25);
  m_Target.Set(eye.x + x, eye.y + y, eye.z);
  Play_Sound_3D(kThrow_Sound, p, 0.45f);
  return true;
}

CColor4 CEnemy_Tile_1::Colour() const {
  return (m_Kind_Flags & kKind_Excluded) ? CColor4{0.0f, 0.0f, 0.0f, 1.0f} : targets::Get_Variant_Color(m_Variant);
}

void CEnemy_Tile_1::Tile_Start_Homing() {
  Play_Sound_3D(kHoming_Sound, m_Position, 0.5f);
  m_Homing = 1;
}

void CEnemy_Tile_1::Chase(float dt) {
  m_State_Flags &= ~static_cast<uint32_t>(kState_No_Damping);
  CVector3 u;
  m_Target.Subtract(m_Position, u);
  u.Divide_Assign(std::max(u.Length(), 0.001f));
  const float k = 1.0f - 0.5f * dt;
  CVector3& v = m_Box.velocity;
  v = CVector3{k * (v.x + dt * 600.0f * u.x), k * (v.y + dt * 1000.0f * u.y), k * (v.z + dt * 600.0f * u.z)};
  m_Motion.torque.y += 1.0f;
}

void CEnemy_Tile_1::Update(const float& dt) {
  if (m_Kill_Timer == 0.0f && m_Homing) {
    Chase(dt);
  } else if (m_Kill_Timer == 0.0f) {
    m_Motion.torque.y += 3.0f;
    if (m_Box.velocity.y < -250.0f) Tile_Start_Homing();
  }
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  const float camera_z = enemy::Camera().z;
  if (m_Position.z < camera_z && m_Kill_Timer == 0.0f) m_Kill_Timer = 1.0f;
  const float reach = m_Collision_Radius * m_Collision_Radius + 7225.0f;
  if (m_Kill_Timer == 0.0f && !(m_Kind_Flags & kKind_Excluded) && enemy::Camera_Distance_Sq(m_Position) < reach) {
    Play_Sound_3D(kStrike_Sound, m_Position, 1.0f);
    Hit_Player(0.35f, false);
    m_Struck = 1;
    m_Kill_Timer = 0.001f;
  }
  const float before = m_Age;
  m_Age += dt;
  if (before <= 1.5f && m_Age > 1.5f) m_State_Flags &= ~static_cast<uint32_t>(0x30);
  if (m_Kill_Timer == 0.0f && (m_Age > 25.0f || m_Position.z < camera_z)) m_Kill_Timer = 0.0001f;
  if (m_Kill_Timer != 0.0f) {
    const float t = std::clamp(1.0f - m_Kill_Timer, 0.001f, 1.0f);
    Set_Box_Extents(CVector3{kHalf_Size.x * t, kHalf_Size.y * t, kHalf_Size.z * t});
    m_Kill_Timer += 0.35f * dt;
  }
}

void CEnemy_Tile_1::On_Floor_Contact(const CVector3& normal) {
  (void)normal;
  if (m_Age < 1.5f) return;
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.001f;
  m_State_Flags &= ~static_cast<uint32_t>(kState_No_Gravity | kState_No_Damping);
}

bool CEnemy_Tile_1::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (other && !(other->m_Kind_Flags & kKind_Shot)) return false;
  if (m_Hit_Count == 0) {
    if (other) g_Sim_Stats.Register_Hit(this, other, nullptr, 0);
    Play_Sound_3D(kHit_Sound, m_Position, 1.0f);
    if (other || shot) {
      const int count = enemy::Camera_Distance_Sq(m_Position) >= kFar_Sq ? 25 : 5;
      const uint32_t colour = enemy::Argb(enemy::Brightened(targets::Get_Variant_Color(m_Variant), 2.0f));
      targets::Sparkle_Burst burst;
      burst.count = count;
      burst.spread = 100.0f;
      burst.offset_factor = 0.2f;
      targets::Emit_Sparkle_Burst(*this, colour, burst);
    }
    m_Kind_Flags |= kKind_Excluded;
  }
  ++m_Hit_Count;
  m_State_Flags &= ~static_cast<uint32_t>(kState_No_Gravity | kState_No_Damping);
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.001f;
  return true;
}

CMatrix4x4 CEnemy_Tile_1::World() const {
  if (m_Kill_Timer == 0.0f) return enemy::Matrix(m_Orientation, m_Position);
  const CVector3& h = m_Box.half_size;
  return enemy::Matrix(m_Orientation, m_Position, CVector3{h.x / kHalf_Size.x, h.y / kHalf_Size.y, h.z / kHalf_Size.z});
}

void CEnemy_Tile_1::Draw_Halo() const {
  if (!m_Halo_Texture) return;
  const float t = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f);
  const uint32_t colour = enemy::Argb(enemy::Brightened(Colour(), 2.0f));
  const CVector3& up = m_Orientation.rows[1];
  for (int k = 0; k < 4; ++k) {
    CMatrix3x3 turn;
    turn.From_Axis_Angle(up, 0.7853982f + k * 1.5707964f);
    CMatrix3x3 turned;
    m_Orientation.Multiply(turn, turned);
    const CVector3& spoke = turned.rows[0];
    const CVector3 centre{m_Position.x + 36.0f * t * spoke.x, m_Position.y + 36.0f * t * spoke.y,
                          m_Position.z + 36.0f * t * spoke.z};
    Draw_Axis_Quads(centre, turned.rows[1], turned.rows[2], spoke, 4, 20.0f * t, 125.0f * t, colour, m_Halo_Style,
                    m_Halo_Texture);
  }
}

void CEnemy_Tile_1::Render(const float& step) {
  (void)step;
  if (m_Struck) return;
  CColor4 colour = Colour();
  if (!m_Homing) colour.Scale(0.5f);
  targets::Draw(m_Model, World(), m_Body_Style, m_Body_Texture, &colour, m_Kill_Timer != 0.0f);
  if (m_Homing) Draw_Halo();
  if (CShadowProjector::Is_Initialised()) CShadowProjector::Cast_Shadow(1, m_Position, m_Collision_Radius, 0.75f);
}

void CEnemy_Tile_1::Render_Reflection(const CWorld_Mirror& mirror) {
  if (m_Struck) return;
  const CColor4 colour = Colour();
  targets::Draw(m_Model, targets::Mirrored(World(), mirror), m_Mirror_Style, m_Body_Texture, &colour, true);
}

void CEnemy_Tile_1::Render_With_Shader(void* style, void* texture) {
  if (m_Struck) return;
  targets::Draw(m_Model, World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture), nullptr,
              true);
}
