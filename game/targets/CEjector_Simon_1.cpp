#include "game/targets/CEjector_Simon_1.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/targets/CTarget_Target.h"
#include "game/targets/Ejector_Shared.h"
#include "game/targets/Target_Shared.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kTwo_Pi = 2.0f * kPi;
constexpr float kDeath_Rate = 0.85f;
constexpr float kBob_Speed = 0.85f;
constexpr float kBob_Height = 6.0f;
constexpr float kSteer = 3.0f;
constexpr float kFacing_Torque = 50.0f;
// Below this length the third axis's horizontal part gives no usable up axis.
constexpr float kNear_Vertical = 1e-3f;

enum : int { kBody, kTrim, kGlow };
enum : int { kBody_Texture, kJet_Texture, kSide_Texture };
enum : int { kBody_Style, kGlow_Style, kTrim_Style, kJet_Style, kSide_Style, kMirror_Style };

// Hinge modes of the board launched from each side, and the half size its home is measured by.
constexpr int32_t kHinge_Of_Side[4] = {1, 0, 2, 3};
// The lit side's turn about the third axis.
constexpr float kSide_Turn[4] = {kPi, 0.0f, kPi / 2.0f, -kPi / 2.0f};

}  // namespace

CObject_Pool* CEjector_Simon_1::Pool() {
  static CObject_Pool_Of<CEjector_Simon_1, kType> pool;
  return &pool;
}

bool CEjector_Simon_1::Init() {
  if (!targets::Load_Resources(
          "CEjector_Simon_1",
          {targets::Resource::Renderable(0x220000FE, m_Renderables[kBody]),
           targets::Resource::Renderable(0x220000FF, m_Renderables[kTrim]),
           targets::Resource::Renderable(0x22000100, m_Renderables[kGlow]),
           targets::Resource::Texture(0x2200003B, m_Textures[kBody_Texture]),
           targets::Resource::Texture(0x22000032, m_Textures[kJet_Texture]),
           targets::Resource::Texture(0x22000101, m_Textures[kSide_Texture]),
           targets::Resource::Style(0x22000061, m_Styles[kBody_Style]),
           targets::Resource::Style(0x2200009C, m_Styles[kGlow_Style]),
           targets::Resource::Style(0x2200004D, m_Styles[kTrim_Style]),
           targets::Resource::Style(0x22000031, m_Styles[kJet_Style]),
           targets::Resource::Style(0x22000050, m_Styles[kSide_Style]),
           targets::Resource::Style(0x22000020, m_Styles[kMirror_Style])})) {
    Term();
    return false;
  }
  Initialised = true;
  return true;
}

void CEjector_Simon_1::Term() {
  targets::Release_Handles(m_Renderables, m_Textures, m_Styles);
  Initialised = false;
  Active = false;
}

void CEjector_Simon_1::Spawn(const CVector3& position) {
  Active = false;
  if (!ejectors::Setup_Box_Ejector(*this, kType, 0x64, 0x04, CVector3{kHalf_X, kHalf_Y, kHalf_Z}, 350.0f, 0.35f))
    return;
  m_Box.hit_flag = 1;
  Launch_Requested = false;
  Age = 0.0f;
  Flash = 0.0f;
  Bob_Phase = 0.0f;
  Show_Timer = 0.0f;
  Show_Side = 0;
  Launch_Side = 0;
  Move_Kind = 0;
  Move_Timer = 0.0f;
  Home = position;
  m_Motion.Clear();
  m_Orientation = CMatrix3x3::Identity;
  Set_Position(CVector3{position.x, position.y + kDrop, position.z});
  Active = true;
}

void CEjector_Simon_1::Command(uint32_t action, uint32_t argument) {
  switch (action) {
    case 0:
      if (argument >= 1 && argument <= 4) {
        Move_Kind = argument - 1;
        Move_Timer = 1.0f;
      } else {
        Flash = 1.0f;
      }
      return;
    case 1:
      if (argument > 3) return;
      Show_Side = argument;
      Show_Timer = 1.0f;
      return;
    case 2:
      if (argument > 3) return;
      Launch_Side = argument;
      Launch_Requested = true;
      return;
    default: return;
  }
}

bool CEjector_Simon_1::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  (void)shot;
  return !(other && (other->m_Kind_Flags & kKind_Counted_Target));
}

CVector3 CEjector_Simon_1::Resting_Goal() const {
  if (Age > kDescent_Time && m_Kill_Timer == 0.0f) return Home;
  const float f = m_Kill_Timer > 0.0f ? std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f) : Age * 0.15384616f;
  return CVector3{Home.x, Home.y + std::clamp(1.0f - f, 0.0f, 1.0f) * kDrop, Home.z};
}

CVector3 CEjector_Simon_1::Pattern_Offset(uint32_t kind, float timer, float X, float Z) {
  switch (kind) {
    case 0: {
      const float s = std::sin(kTwo_Pi * timer);
      return CVector3{s * 0.25f * X, 0.0f, std::fabs(s) * (-0.15f * Z)};
    }
    case 1: return CVector3{std::sin(kPi * timer) * 0.4f * X, 0.0f, 0.0f};
    case 2: return CVector3{std::sin(kPi * timer) * (-0.4f * X), 0.0f, 0.0f};
    case 3: return CVector3{0.0f, 0.0f, std::sin(kPi * timer) * 0.25f * Z};
    default: return CVector3{0.0f, 0.0f, 0.0f};
  }
}

CMatrix3x3 CEjector_Simon_1::Rebuilt_Orientation(const CMatrix3x3& previous, const CVector3& third) {
  const float length = third.Length();
  if (!(length > 0.0f) || !std::isfinite(length)) return previous;
  CVector3 dir;
  third.Scale(1.0f / length, dir);
  // Up: the world's up less its part along the third axis.
  CVector3 up{-dir.x * dir.y, 1.0f - dir.y * dir.y, -dir.z * dir.y};
  CVector3 right;
  const float up_length = up.Length();
  if (up_length > kNear_Vertical) {
    up.Scale_Assign(1.0f / up_length);
    up.Cross(dir, right);
  } else {
    const CVector3& old = previous.rows[0];
    right.Set(old.x - dir.x * old.Dot(dir), old.y - dir.y * old.Dot(dir), old.z - dir.z * old.Dot(dir));
    const float right_length = right.Length();
    if (!(right_length > kNear_Vertical)) return previous;
    right.Scale_Assign(1.0f / right_length);
    dir.Cross(right, up);
  }
  CMatrix3x3 out;
  out.Set_Rows(right, up, dir);
  return out;
}

void CEjector_Simon_1::Steer(const CVector3& goal) {
  CVector3 pull;
  goal.Subtract(m_Position, pull);
  m_Motion.acceleration.Add_Assign(pull.Scale_Assign(kSteer));
  const CVector3& eye = g_Camera.Position();
  CVector3 d{m_Position.x - eye.x, 0.0f, m_Position.z - eye.z};
  const float d_length = d.Length();
  if (!(d_length > 0.0f)) return;
  d.Scale_Assign(1.0f / d_length);
  CVector3 turn;
  m_Orientation.rows[2].Cross(d, turn);
  m_Motion.torque.Add_Assign(turn.Scale_Assign(kFacing_Torque));
}

void CEjector_Simon_1::Update(const float& dt) {
  CVector3 goal = Resting_Goal();
  if (Move_Timer != 0.0f) {
    goal.Add_Assign(Pattern_Offset(Move_Kind, Move_Timer, g_World.m_Terrain.size_x, g_World.m_Terrain.size_z));
    static constexpr float kPattern_Rate[4] = {0.015f, 0.025f, 0.025f, 0.03f};
    Move_Timer = std::max(0.0f, Move_Timer - kPattern_Rate[Move_Kind & 3] * dt);
  }
  Bob_Phase += kBob_Speed * dt;
  if (Bob_Phase > kTwo_Pi) Bob_Phase -= kTwo_Pi;
  goal.y += kBob_Height * std::sin(Bob_Phase);
  Steer(goal);
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  m_Orientation = Rebuilt_Orientation(m_Orientation, m_Orientation.rows[2]);
  m_Box.velocity.Scale_Assign(std::max(0.0f, 1.0f - dt));
  m_Box.spin.Scale_Assign(std::max(0.0f, 1.0f - 5.0f * dt));
  if (Launch_Requested) {
    Launch_From_Side(Launch_Side);
    Launch_Requested = false;
  }
  Flash = std::max(0.0f, Flash - dt);
  Age += dt;
  ejectors::Death_Step(*this, dt, kDeath_Rate);
}

void CEjector_Simon_1::Launch_From_Side(uint32_t side) {
  if (!(m_Orientation.rows[2].z >= 0.5f) || side > 3) return;
  const float reach = 1.6f * (side <= 1 ? m_Box.half_size.x : m_Box.half_size.y);
  const bool quick = true;
  CTarget_Target::Launch_From(*this, kHinge_Of_Side[side], CVector3{0.0f, 0.0f, reach}, quick);
}

CMatrix4x4 CEjector_Simon_1::World() const { return ejectors::Scaled_World(*this, CVector3{1.0f, 1.0f, 1.0f}); }

void CEjector_Simon_1::Draw_Body(const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* texture) {
  targets::Draw(m_Renderables[kBody], world, style, texture, nullptr, false);
  targets::Draw(m_Renderables[kTrim], world, style, texture, nullptr, false);
  targets::Draw(m_Renderables[kGlow], world, style, texture, nullptr, false);
}

void CEjector_Simon_1::Draw_Lit_Side(const CMatrix4x4& world) {
  const uint32_t side = Show_Side & 3;
  CMatrix4x4 turn;
  CQuaternion q;
  turn.From_Quaternion(q.From_Axis_Angle(CVector3{0.0f, 0.0f, 1.0f}, kSide_Turn[side]));
  turn.Set_Translation_XYZ(0.0f, 0.0f, -2.0f);
  CMatrix4x4 lit;
  turn.Multiply(world, lit);
  const CColor4 yellow{1.0f, 1.0f, 0.2f, std::clamp(Show_Timer * 0.85f, 0.0f, 1.0f)};
  const uint32_t factor = fx::Clamp_Byte(Show_Timer * 0.85f * 255.0f) << 24 | 0xFFFF33;
  for (int i = 0; i < 2; ++i)
    targets::Draw(m_Renderables[kGlow], lit, m_Styles[kSide_Style], m_Textures[kSide_Texture], &yellow, false,
                  &factor);
}

// Two flames under the board, one each side of it along its first axis.
void CEjector_Simon_1::Draw_Jets() {
  if (!g_pWorldDrawPrim) return;
  g_pWorldDrawPrim->SetTransformType(kDrawPrimWorld);
  const CVector3& across = m_Orientation.rows[0];
  const CVector3& up = m_Orientation.rows[1];
  const uint32_t colour = 0x44FFCC22;
  const unsigned count = 20;
  for (float side : {-60.0f, 60.0f}) {
    const bool still = g_Game_Paused;
    const float half_length = 37.0f + (still ? 0.0f : 12.0f * fx::Random_Unit());
    const float width = 120.0f + (still ? 0.0f : 30.0f * fx::Random_Unit());
    const CVector3 centre{m_Position.x - up.x * 120.0f + across.x * side, m_Position.y - up.y * 120.0f + across.y * side,
                          m_Position.z - up.z * 120.0f + across.z * side};
    Draw_Axis_Quads(centre, across, m_Orientation.rows[2], up, count, half_length, width, colour, m_Styles[kJet_Style],
                    m_Textures[kJet_Texture]);
  }
}

void CEjector_Simon_1::Render(const float& step) {
  if (!Active) return;
  const CMatrix4x4 world = World();
  targets::Draw(m_Renderables[kBody], world, m_Styles[kBody_Style], m_Textures[kBody_Texture], nullptr, false);
  targets::Draw(m_Renderables[kTrim], world, m_Styles[kTrim_Style], m_Textures[kBody_Texture], nullptr, false);
  const CColor4 glow{std::min(1.0f, 0.35f + 0.6f * Flash), std::min(1.0f, 0.1f + 0.6f * Flash), 127.0f / 255.0f,
                     1.0f};
  const uint32_t glow_factor = 0xFF000000 | fx::Clamp_Byte(glow.r * 255.0f) << 16 |
                               fx::Clamp_Byte(glow.g * 255.0f) << 8 | 127u;
  targets::Draw(m_Renderables[kGlow], world, m_Styles[kGlow_Style], m_Textures[kBody_Texture], &glow, false,
                &glow_factor);
  if (Show_Timer != 0.0f) {
    Draw_Lit_Side(world);
    Show_Timer = std::max(0.0f, Show_Timer - step);
  }
  Draw_Jets();
  CShadowProjector::Cast_Box_Shadow(*this);
}

void CEjector_Simon_1::Render_Reflection(const CWorld_Mirror& mirror) {
  if (!Active) return;
  Draw_Body(targets::Mirrored(World(), mirror), m_Styles[kMirror_Style], m_Textures[kBody_Texture]);
}

void CEjector_Simon_1::Render_With_Shader(void* style, void* texture) {
  if (!Active) return;
  auto* given = static_cast<CTextureData*>(texture);
  Draw_Body(World(), static_cast<CD3DRenderStyle*>(style), given ? given : m_Textures[kBody_Texture]);
}
