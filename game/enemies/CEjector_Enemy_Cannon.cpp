#include "game/enemies/CEjector_Enemy_Cannon.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/enemies/CEmmo_Ball.h"
#include "game/enemies/Enemy_Shared.h"
#include "game/targets/Ejector_Shared.h"
#include "game/targets/Target_Shared.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/CShadowProjector.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CSim_Stats.h"
#include "game/sim/Launch_Helpers.h"

namespace {
constexpr uint32_t kFire_Sound = 0x220000F6;
constexpr uint32_t kHit_Sparkle_Colour = 0xFFFFCCEE;
constexpr float kHalf_Pi = 1.5707964f;
}  // namespace

CObject_Pool* CEjector_Enemy_Cannon::Pool() {
  static CObject_Pool_Of<CEjector_Enemy_Cannon, kType> pool;
  return &pool;
}

bool CEjector_Enemy_Cannon::Init() {
  if (!targets::Load_Resources("CEjector_Enemy_Cannon", {targets::Resource::Renderable(0x220000C7, m_Base_Model),
                                targets::Resource::Renderable(0x220000C8, m_Barrel_Model),
                                targets::Resource::Renderable(0x22000000, m_Glow_Model),
                                targets::Resource::Texture(0x2200002A, m_Base_Texture),
                                targets::Resource::Texture(0x22000028, m_Barrel_Texture),
                                targets::Resource::Style(0x220000A8, m_Body_Style, targets::kNo_Shader),
                                targets::Resource::Style(0x2200003C, m_Glow_Style, targets::kNo_Texture),
                                targets::Resource::Style(0x22000020, m_Mirror_Style, targets::kNo_Shader)})) return false;
  m_Initialised = true;
  return true;
}

void CEjector_Enemy_Cannon::Term() {
  enemy::Release({&m_Base_Model, &m_Barrel_Model, &m_Glow_Model}, {&m_Base_Texture, &m_Barrel_Texture},
                 {&m_Body_Style, &m_Glow_Style, &m_Mirror_Style});
  m_Initialised = false;
  m_Active = false;
}

bool CEjector_Enemy_Cannon::Spawn(const CVector3& p) {
  m_Fire_Requested = 0;
  m_Rise = 0.0f;
  m_Base_Half_Size.Set(40.0f, 40.0f, 90.0f);
  if (!ejectors::Setup_Box_Ejector(*this, kType, 0x04, 0x06, m_Base_Half_Size, 50.0f, 0.35f)) return false;
  m_Age = 0.0f;
  m_Shot_Timer = 10000.0f;
  m_Hit_Count = 0;
  m_Box.hit_flag = 1;
  m_Motion.Clear();
  m_Base_Position.Set(p.x, g_World.Get_Height(p.x, p.z), p.z);
  m_Pivot.Set(m_Base_Position.x, m_Base_Position.y - 200.0f, m_Base_Position.z);
  Set_Position(m_Base_Position);
  const CVector3& eye = enemy::Camera();
  const CVector3 d{eye.x - m_Pivot.x, eye.y + 130.0f - m_Pivot.y, eye.z - m_Pivot.z};
  // A zero depth would leave the yaw undefined: it aims straight along z then.
  const float yaw = d.z != 0.0f ? std::atan(d.x / d.z) : 0.0f;
  const float c = std::cos(yaw), s = std::sin(yaw);
  m_Yaw_Matrix.Set_Rows(CVector3{c, 0.0f, -s}, CVector3{0.0f, 1.0f, 0.0f}, CVector3{s, 0.0f, c});
  m_Orientation = m_Yaw_Matrix;
  m_Aim_Pitch = (d.z != 0.0f ? std::atan(d.y / d.z) : 0.0f) - 4.712389f;
  m_Shot_Variant = static_cast<uint8_t>(enemy::Random_Variant());
  m_Active = true;
  return true;
}

void CEjector_Enemy_Cannon::Update_Rise(float dt) {
  if (m_Rise < 1.0f && m_Kill_Timer == 0.0f && m_Shot_Timer >= 1.0f) {
    m_Rise = std::clamp(m_Age * 0.6666667f, 0.0f, 1.0f);
  } else if (m_Kill_Timer == 0.0f) {
    m_Rise = m_Shot_Timer >= 1.0f ? 1.0f : std::clamp(0.9f + 0.1f * m_Shot_Timer, 0.0f, 1.0f);
  } else if (m_Rise != 0.0f) {
    m_Rise = std::max(m_Rise - m_Kill_Timer * dt * 6.0f, 0.0f);
  }
}

void CEjector_Enemy_Cannon::Place_By_Rise() {
  m_Pivot.Set(m_Base_Position.x, m_Base_Position.y + 230.0f * m_Rise - 200.0f, m_Base_Position.z);
  if (m_Kind_Flags & kKind_Excluded) return;
  Set_Position(CVector3{m_Base_Position.x, m_Base_Position.y + 230.0f * m_Rise - 100.0f, m_Base_Position.z});
  const float phi = -(m_Aim_Pitch * m_Rise) - kHalf_Pi;
  const float c = std::cos(phi), s = std::sin(phi);
  const CVector3& r2 = m_Yaw_Matrix.rows[1];
  const CVector3& r3 = m_Yaw_Matrix.rows[2];
  m_Orientation.Set_Rows(m_Yaw_Matrix.rows[0], CVector3{c * r2.x + s * r3.x, c * r2.y + s * r3.y, c * r2.z + s * r3.z},
                         CVector3{-s * r2.x + c * r3.x, -s * r2.y + c * r3.y, -s * r2.z + c * r3.z});
}

void CEjector_Enemy_Cannon::Update(const float& dt) {
  if (m_Kind_Flags & kKind_Excluded) {
    Collide_Box_World(m_Motion);
    Integrate_Box(m_Motion, dt);
  }
  const float before = m_Rise;
  Update_Rise(dt);
  if (m_Rise != before) Place_By_Rise();
  if (m_Fire_Requested && m_Kill_Timer == 0.0f) {
    Fire();
    m_Fire_Requested = 0;
    m_Shot_Timer = 0.0f;
  }
  m_Age += dt;
  m_Shot_Timer += dt;
  if (m_Kill_Timer == 0.0f && !(m_Value1 > 0.0f)) m_Kill_Timer = 0.001f;
  if (m_Kill_Timer != 0.0f) {
    const float t = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f);
    Set_Box_Extents(CVector3{m_Base_Half_Size.x * t, m_Base_Half_Size.y * t, m_Base_Half_Size.z * t});
    m_Kill_Timer += dt * 0.25f;
  }
}

void CEjector_Enemy_Cannon::Fire() {
  if (CEmmo_Ball* ball = static_cast<CEmmo_Ball*>(CEmmo_Ball::Pool()->Alloc_Object())) {
    const int variant = m_Shot_Variant;
    ball->Setup(variant);
    g_World.Add_Object(2, ball);
    g_Sim_Stats.Record_Launch(ball);
    const CVector3& eye = enemy::Camera();
    const CVector3 target{eye.x, eye.y - 60.0f, eye.z};
    CVector3 velocity = Calc_Ballistic_Velocity(m_Position.x, m_Position.y, m_Position.z, target, 4.0f, 0.5f);
    velocity.Scale_Assign(0.98f + 0.04f * enemy::R());
    const float d = enemy::Uniform(-0.5f, 0.5f), j = enemy::Uniform(-1, 1), p = enemy::Uniform(-3.2f, 3.2f);
    const CMatrix3x3& o = m_Orientation;
    ball->m_Orientation = o;
    ball->Set_Position(m_Position);
    ball->m_Sphere.velocity = velocity;
    ball->m_Sphere.spin = CVector3{d * o.rows[2].x + j * o.rows[1].x + p * o.rows[0].x,
                                   d * o.rows[2].y + j * o.rows[1].y + p * o.rows[0].y,
                                   d * o.rows[2].z + j * o.rows[1].z + p * o.rows[0].z};
    Play_Sound_3D(kFire_Sound, m_Position, 1.0f);
    CColor4 colour = targets::Get_Variant_Color(m_Shot_Variant);
    colour.a = 1.0f;
    enemy::Enemy_Launch_Spray(m_Position, velocity, enemy::Argb(colour), 0.5f);
  }
  m_Shot_Variant = static_cast<uint8_t>(enemy::Random_Variant());
}

bool CEjector_Enemy_Cannon::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < 1.5f) return false;
  if (m_Hit_Count != 0) {
    ++m_Hit_Count;
    return true;
  }
  if (other && (other->m_Kind_Flags & kKind_Shot)) g_Sim_Stats.Register_Hit(this, other, nullptr, 0);
  if (other || shot) {
    targets::Sparkle_Burst burst;
    burst.count = 25;
    targets::Emit_Sparkle_Burst(*this, kHit_Sparkle_Colour, burst);
  }
  m_Kind_Flags |= kKind_Excluded;
  m_Kill_Timer += 0.001f;
  g_Music_Track.Remove_Object(this);
  ++m_Hit_Count;
  return true;
}

CMatrix4x4 CEjector_Enemy_Cannon::Barrel_Matrix() const {
  CMatrix4x4 barrel = enemy::Matrix(m_Orientation, m_Position);
  if ((m_Kind_Flags & kKind_Excluded) && m_Kill_Timer != 0.0f) {
    const float t = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f);
    barrel = enemy::Scaled(barrel, t, t, t);
  }
  return barrel;
}

void CEjector_Enemy_Cannon::Render(const float& step) {
  (void)step;
  targets::Draw(m_Base_Model, enemy::Matrix(m_Yaw_Matrix, m_Pivot), m_Body_Style, m_Base_Texture, nullptr, false);
  const bool shrinking = (m_Kind_Flags & kKind_Excluded) && m_Kill_Timer != 0.0f;
  targets::Draw(m_Barrel_Model, Barrel_Matrix(), m_Body_Style, m_Barrel_Texture, nullptr, shrinking);
  if (m_Kill_Timer == 0.0f && !(m_Kind_Flags & kKind_Excluded)) {
    const float g = 5.0f * std::min(m_Shot_Timer * 0.5f, 1.0f);
    const CColor4 colour = targets::Get_Variant_Color(m_Shot_Variant);
    enemy::Draw_Glow(m_Glow_Model, enemy::Scaled(Barrel_Matrix(), g, g, g), m_Glow_Style, nullptr, colour);
  }
  if (CShadowProjector::Is_Initialised()) CShadowProjector::Cast_Box_Shadow(*this);
}

void CEjector_Enemy_Cannon::Render_Reflection(const CWorld_Mirror& mirror) {
  targets::Draw(m_Base_Model, targets::Mirrored(enemy::Matrix(m_Yaw_Matrix, m_Pivot), mirror), m_Mirror_Style,
              m_Base_Texture, nullptr, false);
  targets::Draw(m_Barrel_Model, targets::Mirrored(Barrel_Matrix(), mirror), m_Mirror_Style, m_Barrel_Texture, nullptr, false);
}

void CEjector_Enemy_Cannon::Render_With_Shader(void* style, void* texture) {
  CD3DRenderStyle* s = static_cast<CD3DRenderStyle*>(style);
  CTextureData* t = static_cast<CTextureData*>(texture);
  targets::Draw(m_Base_Model, enemy::Matrix(m_Yaw_Matrix, m_Pivot), s, t, nullptr, false);
  targets::Draw(m_Barrel_Model, Barrel_Matrix(), s, t, nullptr, false);
}
