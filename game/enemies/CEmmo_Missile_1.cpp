#include "game/enemies/CEmmo_Missile_1.h"

#include <algorithm>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/enemies/Emmo_Shared.h"
#include "game/fx/Draw_Helpers.h"
#include "game/targets/Target_Shared.h"
#include "platform/system/random.h"

using namespace emmo;

namespace {

constexpr uint32_t kBody = 0x2200014C;
constexpr uint32_t kFins = 0x2200014D;
constexpr uint32_t kBody_Texture = 0x2200002C;
constexpr uint32_t kFin_Texture = 0x2200001C;
constexpr uint32_t kFlame_Texture = 0x22000032;
constexpr uint32_t kBody_Style = 0x220000CA;
constexpr uint32_t kFin_Style = 0x2200004D;
constexpr uint32_t kFlame_Style = 0x22000031;
constexpr uint32_t kLaunch_Sound = 0x2200014E;
constexpr uint32_t kImpact_Sound = 0x2200014F;
constexpr uint32_t kTrail_Colour = 0xFFFFFF88;
constexpr uint32_t kFlame_Colour = 0x44FFCC22;
constexpr float kLife = 15.0f;
constexpr float kFade_Rate = 0.25f;
constexpr float kTurn_Rate = 2.0f;
constexpr float kThrust = 2000.0f;
constexpr float kThrust_Below_Speed = 250.0f;
constexpr unsigned kFlame_Quads = 20;

float R() { return static_cast<float>(plat::Random()) / 32768.0f; }
float Paused_R() { return g_Game_Paused ? 0.0f : R(); }

}  // namespace

CObject_Pool* CEmmo_Missile_1::Pool() {
  static CObject_Pool_Of<CEmmo_Missile_1, kType> pool;
  return &pool;
}

bool CEmmo_Missile_1::Init() {
  using targets::Resource;
  return targets::Load_Resources("CEmmo_Missile_1",
                                 {Resource::Renderable(kBody, m_Body), Resource::Renderable(kFins, m_Fins),
                                  Resource::Texture(kBody_Texture, m_Body_Texture),
                                  Resource::Texture(kFin_Texture, m_Fin_Texture),
                                  Resource::Texture(kFlame_Texture, m_Flame_Texture),
                                  Resource::Style(kBody_Style, m_Body_Style, targets::kNo_Texture),
                                  Resource::Style(kFin_Style, m_Fin_Style, targets::kNo_Texture),
                                  Resource::Style(kFlame_Style, m_Flame_Style, targets::kNo_Texture),
                                  Resource::Style(kReflection_Style, m_Mirror_Style)});
}

void CEmmo_Missile_1::Term() {
  using targets::Resource;
  targets::Release_Resources(
      {Resource::Renderable(kBody, m_Body), Resource::Renderable(kFins, m_Fins),
       Resource::Texture(kBody_Texture, m_Body_Texture), Resource::Texture(kFin_Texture, m_Fin_Texture),
       Resource::Texture(kFlame_Texture, m_Flame_Texture), Resource::Style(kBody_Style, m_Body_Style),
       Resource::Style(kFin_Style, m_Fin_Style), Resource::Style(kFlame_Style, m_Flame_Style),
       Resource::Style(kReflection_Style, m_Mirror_Style)});
}

bool CEmmo_Missile_1::Spawn(const CVector3* start) {
  Setup_Object(kType, 1.0f, 1.0f, 0x66, kKind_Ammo_Flags);
  if (!Setup_Sphere_Body(10.0f, kRadius, 0.5f)) return false;
  m_Hit_Player = false;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Sphere.hit_flag = 1;
  const CVector3 place = start ? *start : CVector3{0.0f, 0.0f, 0.0f};
  Set_Position(place);
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Sphere.spin = CVector3{0.0f, 0.0f, 0.0f};
  m_Sphere.velocity = CVector3{0.0f, 0.0f, 0.65f * (300.0f + 200.0f * R())};
  Place_Waypoints(place);
  m_Trail.Setup(place, kTrail_Colour, 3.5f, 8.0f);
  Play_Sound(kLaunch_Sound, m_Position, 0.45f);
  return true;
}

// Points 1 to 3 each lie halfway in depth between the point before and the camera, so that the
// depths fall from the climb point to the camera in order.
void CEmmo_Missile_1::Place_Waypoints(const CVector3& start) {
  const CVector3& eye = g_Camera.Position();
  m_Waypoints[0] = CVector3{start.x, start.y + 200.0f, start.z - 100.0f};
  m_Waypoints[4] = eye;
  const float world_x = g_World.m_Terrain.size_x;
  for (int i = 1; i <= 3; ++i) {
    const float w = static_cast<float>(i + 1);
    const float x = world_x * (0.5f + (0.7f * R() - 0.35f) / w);
    const float z = 0.5f * (m_Waypoints[i - 1].z + eye.z);
    const float y = g_World.Get_Height(x, z) + 400.0f + 200.0f * R();
    m_Waypoints[i] = CVector3{x, y, z};
  }
}

int CEmmo_Missile_1::Target_Waypoint() const {
  if (m_Position.z > m_Waypoints[0].z) return 0;
  if (m_Position.z > m_Waypoints[1].z) return 1;
  return 4;
}

void CEmmo_Missile_1::Steer(float dt) {
  if (m_Kill_Timer != 0.0f) return;
  CVector3 d;
  m_Waypoints[Target_Waypoint()].Subtract(m_Position, d);
  if (!(d.Length() >= 0.01f)) return;
  Turn_Towards(m_Orientation, d, 0.01f, kTurn_Rate * dt);
  CVector3& v = m_Sphere.velocity;
  CVector3 drag;
  v.Scale(std::min(2.0f * dt, 0.1f), drag);
  v.Subtract_Assign(drag);
  if (v.Length() < kThrust_Below_Speed) {
    CVector3 push;
    m_Orientation.rows[2].Scale(kThrust * dt, push);
    v.Add_Assign(push);
  }
}

void CEmmo_Missile_1::Update(const float& dt) {
  Steer(dt);
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  if (Pass_Or_Strike(*this, m_Collision_Radius, 1.0f, kImpact_Sound)) m_Hit_Player = true;
  m_Age += dt;
  if (Fade_Started(*this, m_Age, kLife)) Fade_Sphere(*this, kRadius, kFade_Rate, dt);
}

bool CEmmo_Missile_1::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (Has_Kind(other, kKind_Emmo)) return false;
  if (m_Hit_Count == 0) {
    if (Is_Player_Shot(other)) Register_Hit(*this, other);
    Play_Sound(kSound_Broken, m_Position);
    if (other || shot) Hit_Burst(*this, m_Sphere.velocity, kTrail_Colour, kLong_Burst);
    m_Kind_Flags |= kKind_Spent;
  }
  ++m_Hit_Count;
  m_State_Flags &= ~(kState_No_World_Contact | kState_No_Gravity);
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.001f;
  return true;
}

CMatrix4x4 CEmmo_Missile_1::World() const {
  const float s = m_Kill_Timer != 0.0f ? m_Collision_Radius / kRadius : 1.0f;
  return World_Matrix(m_Orientation, m_Position, CVector3{s, s, s});
}

CVector3 CEmmo_Missile_1::Behind(float down, float back) const {
  const CVector3& y = m_Orientation.rows[1];
  const CVector3& z = m_Orientation.rows[2];
  return CVector3{m_Position.x - down * y.x - back * z.x, m_Position.y - down * y.y - back * z.y,
                  m_Position.z - down * y.z - back * z.z};
}

void CEmmo_Missile_1::Render(const float& step) {
  if (m_Hit_Player) return;
  const CMatrix4x4 world = World();
  const bool fading = m_Kill_Timer != 0.0f;
  if (fading) Normalize_Normals(true);
  Draw(m_Body, world, m_Body_Style, m_Body_Texture);
  Draw(m_Fins, world, m_Fin_Style, m_Fin_Texture);
  if (fading) Normalize_Normals(false);
  const float a = Alpha_Factor(m_Kill_Timer);
  const CVector3 flame = Behind(7.0f * a, 55.0f * a);
  CVector3 side, back;
  m_Orientation.rows[0].Negate(side);
  m_Orientation.rows[2].Negate(back);
  const float width = (35.0f + 15.0f * Paused_R()) * a;
  const float length = (100.0f + 50.0f * Paused_R()) * a;
  Draw_Axis_Quads(flame, side, m_Orientation.rows[1], back, kFlame_Quads, width, length, kFlame_Colour,
                  m_Flame_Style, m_Flame_Texture);
  const CVector3 head = Behind(7.0f, 125.0f);
  m_Trail.Update(step, head);
  m_Trail.Render(head, a * a);
}

void CEmmo_Missile_1::Render_Reflection(const CWorld_Mirror& mirror) {
  if (m_Hit_Player) return;
  const CMatrix4x4 world = Mirrored(World(), mirror);
  Draw(m_Body, world, m_Mirror_Style, m_Body_Texture);
  Draw(m_Fins, world, m_Mirror_Style, m_Fin_Texture);
}

void CEmmo_Missile_1::Render_With_Shader(void* style, void* texture) {
  if (m_Hit_Player) return;
  CD3DRenderStyle* given = static_cast<CD3DRenderStyle*>(style);
  CTextureData* first = static_cast<CTextureData*>(texture);
  Draw(m_Body, World(), given, first, m_Body_Texture);
  Draw(m_Fins, World(), given, first, m_Fin_Texture);
}
