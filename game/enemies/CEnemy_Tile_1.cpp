#include "game/enemies/CEnemy_Tile_1.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/enemies/Enemy_Shared.h"
#include "game/targets/Target_Shared.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Draw_Helpers.h"

namespace {
constexpr uint32_t kThrow_Sound = 0x220000F2;
constexpr uint32_t kHoming_Sound = 0x220000E1;
constexpr uint32_t kStrike_Sound = 0x220000F5;
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
  m_Target = enemy::Aim_Beside_Camera();
  Play_Sound_3D(kThrow_Sound, p, 0.45f);
  return true;
}

CColor4 CEnemy_Tile_1::Colour() const { return enemy::Mobile_Colour(*this, m_Variant); }

void CEnemy_Tile_1::Tile_Start_Homing() {
  Play_Sound_3D(kHoming_Sound, m_Position, 0.5f);
  m_Homing = 1;
}

void CEnemy_Tile_1::Chase(float dt) {
  m_State_Flags &= ~static_cast<uint32_t>(kState_No_Damping);
  enemy::Chase_Step(m_Box.velocity, m_Position, m_Target, CVector3{600.0f, 1000.0f, 600.0f}, dt);
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
  enemy::Mobile_Age_Step(*this, m_Age, dt, camera_z, kHalf_Size, 0.35f);
}

void CEnemy_Tile_1::On_Floor_Contact(const CVector3& normal) {
  (void)normal;
  if (m_Age < 1.5f) return;
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.001f;
  m_State_Flags &= ~static_cast<uint32_t>(kState_No_Gravity | kState_No_Damping);
}

bool CEnemy_Tile_1::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (other && !(other->m_Kind_Flags & kKind_Shot)) return false;
  // Far tiles burst into more sparkles than near ones.
  const int sparkles = enemy::Camera_Distance_Sq(m_Position) >= kFar_Sq ? 25 : 5;
  enemy::Mobile_Hit(*this, m_Hit_Count, m_Variant, other, shot, sparkles);
  return true;
}

CMatrix4x4 CEnemy_Tile_1::World() const { return enemy::Mobile_Matrix(*this, kHalf_Size); }

void CEnemy_Tile_1::Draw_Halo() const {
  if (!m_Halo_Texture) return;
  const float t = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f);
  // The halo keeps the variant's light after a hit; only the body turns black.
  const uint32_t colour = enemy::Argb(enemy::Brightened(targets::Get_Variant_Color(m_Variant), 2.0f));
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
