#include "game/targets/CEjector_Cylinder.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/CSim_Stats.h"
#include "game/sim/Launch_Helpers.h"
#include "game/targets/CTarget_Ball.h"
#include "game/targets/CTarget_Death_Vial.h"
#include "game/targets/Ejector_Shared.h"
#include "game/targets/Target_Shared.h"
#include "platform/system/random.h"

namespace {

constexpr float kSection_Scale = 0.725f;
constexpr float kWidth_Scale = 0.035f;
constexpr float kBall_Speed = 350.0f;
constexpr float kVial_Speed = 550.0f;
constexpr float kTwin_Radius = 100.0f;
constexpr float kRetract_Rate = 6.0f;
constexpr uint32_t kVial_Puff_Colour = 0xAA8844AA;

}  // namespace

CObject_Pool* CEjector_Cylinder::Pool() {
  static CObject_Pool_Of<CEjector_Cylinder, kType> pool;
  return &pool;
}

bool CEjector_Cylinder::Init() {
  if (!targets::Load_Resources("CEjector_Cylinder",
                               {targets::Resource::Renderable(0x220000A6, m_Renderables[0]),
                                targets::Resource::Renderable(0x220000A7, m_Renderables[1]),
                                targets::Resource::Texture(0x22000029, m_Textures[0]),
                                targets::Resource::Style(0x220000A8, m_Styles[0]),
                                targets::Resource::Texture(0x2200003B, m_Textures[1]),
                                targets::Resource::Style(0x220000CA, m_Styles[1]),
                                targets::Resource::Style(0x22000020, m_Mirror_Style)})) {
    Term();
    return false;
  }
  Initialised = true;
  return true;
}

void CEjector_Cylinder::Term() {
  targets::Release_Handles(m_Renderables, m_Textures, m_Styles);
  fx::Release(m_Mirror_Style);
  Initialised = false;
  Active = false;
}

void CEjector_Cylinder::Spawn(const uint32_t& variant, const CVector3& position) {
  Active = false;
  Variant = variant;
  Scale_Factor = variant == 0 ? 1.75f : 2.0f;
  Launch_Requested = false;
  Lower_Extension = Upper_Extension = 0.0f;
  Age = Launch_Clock = Catch_Timer = 0.0f;
  const float width = variant == 0 ? 50.0f : 60.0f;
  if (!ejectors::Setup_Fixed_Ejector(*this, kType, 0x24, 0x04, CVector3{width, 0.0f, width})) return;
  Set_Position(position);
  m_Orientation = CMatrix3x3::Identity;
  Active = true;
}

void CEjector_Cylinder::Extend(float dt) {
  const float lower = Lower_Extension, upper = Upper_Extension;
  if (Age < 0.5f) {
    Lower_Extension = std::clamp(2.0f * Age, 0.0f, 1.0f);
    Upper_Extension = 0.0f;
  } else if (Age < 1.5f) {
    Lower_Extension = 1.0f;
    Upper_Extension = std::clamp(Age - 0.5f, 0.0f, 1.0f);
  } else if (m_Kill_Timer > 0.0f) {
    const float retract = m_Kill_Timer * dt * kRetract_Rate;
    if (Upper_Extension > 0.0f) Upper_Extension = std::max(0.0f, Upper_Extension - retract);
    if (Upper_Extension == 0.0f) Lower_Extension = std::max(0.0f, Lower_Extension - retract);
  } else {
    Lower_Extension = 1.0f;
    Upper_Extension = Launch_Clock >= 1.0f ? 1.0f : std::clamp((Launch_Clock + 1.0f) * 0.5f, 0.0f, 1.0f);
  }
  if (lower == Lower_Extension && upper == Upper_Extension) return;
  const CVector3& size = m_Fixed.half_size;
  const float height = (kUpper_Height * Upper_Extension + kLower_Height * Lower_Extension) * Scale_Factor;
  Set_Kind5_Extents(CVector3{size.x, height, size.z});
}

void CEjector_Cylinder::Update(const float& dt) {
  Extend(dt);
  if (Catch_Timer != 0.0f) {
    Catch_Timer -= dt;
    if (!(Catch_Timer > 0.0f)) {
      Catch_Timer = 0.0f;
      Launch_Clock = 0.3f;
    }
  }
  if (Launch_Requested) {
    Launch();
    Launch_Requested = false;
    Launch_Clock = 0.0f;
  }
  Age += dt;
  Launch_Clock += dt;
  ejectors::Death_Step(*this, dt, ejectors::kDeath_Rate);
}

void CEjector_Cylinder::Launch() {
  if (Variant == 1) Launch_Ball();
  if (Variant == 0) Launch_Vial();
}

CVector3 CEjector_Cylinder::Random_Spin() const {
  const CMatrix3x3& axes = m_Orientation;
  const float along_third = fx::Random_Unit() - 0.5f;
  const float along_up = fx::Random_Unit() * 6.0f - 3.0f;
  const float along_first = fx::Random_Unit() * 0.4f - 0.2f;
  CVector3 spin, part;
  axes.rows[2].Scale(along_third, spin);
  spin.Add_Assign(axes.rows[1].Scale(along_up, part));
  spin.Add_Assign(axes.rows[0].Scale(along_first, part));
  return spin;
}

CVector3 CEjector_Cylinder::Aim_Point(const CVector3& launch_point) const {
  const float X = g_World.m_Terrain.size_x, Z = g_World.m_Terrain.size_z;
  CVector3 aim{X - launch_point.x, 0.0f, launch_point.z};
  if (std::fabs(m_Orientation.rows[1].z) > 0.1f) aim.z = launch_point.z > 0.75f * Z ? 0.4f * Z : 0.86f * Z;
  aim.y = g_World.Has_Terrain() ? g_World.Get_Height(aim.x, aim.z) : 0.0f;
  return aim;
}

// The first other cylinder within reach of the aim point: one standing in the middle of the
// field is near its own mirrored point, and is no twin of itself.
const CWorld_Object* CEjector_Cylinder::Find_Twin(const CVector3& aim) const {
  CWorld_Query query;
  g_World.Query_Radius(aim, kTwin_Radius, query);
  for (int i = 0; i < query.count; ++i)
    if (query.objects[i]->m_Type == kType && query.objects[i] != this) return query.objects[i];
  return nullptr;
}

void CEjector_Cylinder::Launch_Ball() {
  auto* ball = static_cast<CTarget_Ball*>(CTarget_Ball::Pool()->Alloc_Object());
  if (!ball) return;
  int32_t colour = plat::Random() * 4 / 32768;
  if (colour > 2) colour = 3;
  if (!ball->Spawn(colour)) {
    ejectors::Give_Back_Unspawned(ball);
    return;
  }
  g_World.Add_Object(2, ball);
  g_Sim_Stats.Record_Launch(ball);
  const CVector3& up = m_Orientation.rows[1];
  CVector3 launch_point, velocity;
  m_Position.Add(up.Scale(Scale_Factor * 120.0f * 0.85f, launch_point), launch_point);
  up.Scale(kBall_Speed, velocity);
  const CVector3 aim = Aim_Point(launch_point);
  if (const CWorld_Object* twin = Find_Twin(aim)) {
    CVector3 catch_point;
    twin->m_Position.Add(twin->m_Orientation.rows[1].Scale(0.85f * twin->m_Fixed.half_size.y, catch_point),
                         catch_point);
    velocity = Calc_Launch_Velocity(launch_point.x, launch_point.y, launch_point.z, catch_point, 300.0f, 0.5f);
    if (!(std::fabs(up.z) > 0.1f)) velocity.Scale_Assign(0.995f);
  }
  const CVector3 spin = Random_Spin();
  ball->m_Orientation = m_Orientation;
  ball->Set_Position(launch_point);
  ball->m_Sphere.velocity = velocity;
  ball->m_Sphere.spin = spin;
  CColor4 colour_of_ball;
  ball->Get_Color(colour_of_ball);
  colour_of_ball.a = 0.8f;
  ejectors::Emit_Launch_Puff(launch_point, velocity, Pack_Color_ARGB(colour_of_ball), ejectors::kCylinder_Puff);
}

void CEjector_Cylinder::Launch_Vial() {
  auto* vial = static_cast<CTarget_Death_Vial*>(CTarget_Death_Vial::Pool()->Alloc_Object());
  if (!vial) return;
  const int32_t colour = 0;
  if (!vial->Spawn(&colour)) {
    ejectors::Give_Back_Unspawned(vial);
    return;
  }
  g_World.Add_Object(2, vial);
  g_Sim_Stats.Record_Launch(vial);
  const CVector3& up = m_Orientation.rows[1];
  CVector3 launch_point, velocity;
  m_Position.Add(up.Scale(0.85f * m_Fixed.half_size.y, launch_point), launch_point);
  up.Scale(kVial_Speed, velocity);
  const CVector3 spin = Random_Spin();
  vial->m_Orientation = m_Orientation;
  vial->Set_Position(launch_point);
  vial->m_Box.velocity = velocity;
  vial->m_Box.spin = spin;
  ejectors::Emit_Launch_Puff(launch_point, velocity, kVial_Puff_Colour, ejectors::kCylinder_Puff);
}

// Both sections hang from their tops: the lower one slides up by its extension, the upper one
// by its own above the lower.
void CEjector_Cylinder::Draw_Sections(CD3DRenderStyle* style, CTextureData* texture, const CWorld_Mirror* mirror) {
  if (Lower_Extension == 0.0f && Upper_Extension == 0.0f) return;
  const CVector3& up = m_Orientation.rows[1];
  const float lift_lower = kLower_Height * kSection_Scale * Scale_Factor * Lower_Extension;
  const float lift_upper = kUpper_Height * kSection_Scale * Scale_Factor * Upper_Extension;
  const CVector3 scale{kWidth_Scale * m_Fixed.half_size.x, kSection_Scale * Scale_Factor,
                       kWidth_Scale * m_Fixed.half_size.z};
  CMatrix4x4 world = ejectors::Scaled_World(*this, scale);
  for (int section = 0; section < 2; ++section) {
    const float lift = section == 0 ? lift_lower : lift_lower + lift_upper;
    world.Set_Translation_XYZ(m_Position.x + up.x * lift, m_Position.y + up.y * lift, m_Position.z + up.z * lift);
    const CMatrix4x4 drawn = mirror ? targets::Mirrored(world, *mirror) : world;
    targets::Draw(m_Renderables[section], drawn, style, texture, nullptr, true);
  }
}

void CEjector_Cylinder::Render(const float& step) {
  (void)step;
  if (!Active) return;
  const int v = Variant == 0 ? 0 : 1;
  Draw_Sections(m_Styles[v], m_Textures[v], nullptr);
}

void CEjector_Cylinder::Render_Reflection(const CWorld_Mirror& mirror) {
  if (!Active) return;
  Draw_Sections(m_Mirror_Style, m_Textures[Variant == 0 ? 0 : 1], &mirror);
}

void CEjector_Cylinder::Render_With_Shader(void* style, void* texture) {
  if (!Active) return;
  auto* given = static_cast<CTextureData*>(texture);
  Draw_Sections(static_cast<CD3DRenderStyle*>(style), given ? given : m_Textures[Variant == 0 ? 0 : 1], nullptr);
}
