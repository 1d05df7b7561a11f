#include "game/player/CPlayer_Weapon_Gun_Machine_0.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/CBullet_Machine_Mgr.h"
#include "game/player/CPlayer.h"
#include "game/player/Gun_Resources.h"

using namespace arsenal;

CPlayer_Weapon_Gun_Machine_0 g_Gun_Machine;

namespace {

constexpr const char* kClass_Name = "CPlayer_Weapon_Gun_Machine_0";
constexpr uint32_t kModel_Ids[] = {0x22000049, 0x2200004C, 0x2200004A, 0x22000051, 0x22000054, 0x22000055};
constexpr uint32_t kStyle_Ids[] = {0x220000CA, 0x2200004D, 0x2200001E, 0x22000050, 0x22000038, 0x22000039};
constexpr uint32_t kTexture_Ids[] = {0x2200002C, 0x22000028, 0x22000052, 0x22000037};
enum { kBody, kSecond_Part, kThird_Part, kFlash, kGauge_Frame, kGauge_Bar };
enum { kBody_Style, kSecond_Style, kThird_Style, kFlash_Style, kInner_Bar_Style, kOuter_Bar_Style };
enum { kBody_Texture, kThird_Texture, kFlash_Texture, kBar_Texture };

constexpr float kTwo_Pi = 6.2831853f;
constexpr float kPositions_Per_Radian = 0.7957747f;  // 5 / (2 pi)
constexpr float kHeat_Per_Bullet = 0.045f;
constexpr float kCooling = 0.035f;
constexpr float kMuzzle_Ahead = 225.0f;
constexpr float kBarrel_Offset = 22.5f;
constexpr float kBullet_Speed = 5000.0f;
constexpr float kRest_Idle = 0.5f;

struct Scale3 {
  float x, y, z;
};
constexpr Scale3 kOuter_Bars[] = {{1.05f, 1.05f, 1.05f}, {1.16f, 1.06f, 1.1f}, {1.2f, 1.6f, 1.15f}, {1.25f, 2.0f, 1.25f}};
struct Flash_Copy {
  float width, length, k;
};
constexpr Flash_Copy kFlash_Copies[] = {{1.0f, 1.0f, 200.0f}, {0.75f, 2.0f, 180.0f}, {0.5f, 4.0f, 200.0f}, {0.25f, 6.0f, 220.0f}};

float Aim_Tilt(const CVector3& ray) {
  const float y = ray.y + 0.3f;
  return y > 0.0f ? -0.02f - 0.02f * std::clamp(3.0f * y, 0.0f, 2.0f) : -0.02f;
}

uint32_t Color_Of(float alpha, float red, float green, float blue) {
  auto byte = [](float c) {
    const float scaled = std::clamp(c, 0.0f, 1.0f) * 255.0f;
    return static_cast<uint32_t>(scaled);
  };
  return byte(alpha) << 24 | byte(red) << 16 | byte(green) << 8 | byte(blue);
}

}  // namespace

CPlayer_Weapon_Gun::Resource_List CPlayer_Weapon_Gun_Machine_0::Resources() {
  return {kModel_Ids, m_Models, kModel_Count, kStyle_Ids, m_Styles, kStyle_Count, kTexture_Ids, m_Textures,
          kTexture_Count};
}

bool CPlayer_Weapon_Gun_Machine_0::Init() {
  if (m_Initialised) return true;
  m_Angular_Velocity = CVector3{0.0f, 0.0f, 0.0f};
  m_Trigger_Held = m_Release_Pending = m_Burst_Has_Fired = 0;
  m_Idle_Time = 1000.0f;
  m_Barrel_Angle = m_Spin_Speed = m_Flash = m_Flash_Angle = m_Heat = m_Run_Time = 0.0f;
  // The laser pointer has no mount on this gun.
  const Attachment_Cases cases{0x3C, CVector3{0.0f, 0.0f, 0.0f}};
  return Init_Shared(kClass_Name, 2, kHold_To_Fire, Resources(), cases);
}

void CPlayer_Weapon_Gun_Machine_0::Term() { Term_Shared(Resources()); }

bool CPlayer_Weapon_Gun_Machine_0::Begin_Fire() {
  if (!m_Initialised) return false;
  if (m_Spin_Speed != 0.0f) {
    m_Idle_Time = 0.0f;
    m_Burst_Has_Fired = 0;
  } else {
    Shoot();
    m_Burst_Has_Fired = 1;
  }
  m_Release_Pending = 0;
  m_Trigger_Held = 1;
  return true;
}

void CPlayer_Weapon_Gun_Machine_0::End_Fire() {
  if (m_Burst_Has_Fired)
    m_Trigger_Held = 0;
  else
    m_Release_Pending = 1;
}

void CPlayer_Weapon_Gun_Machine_0::Shoot() {
  if (m_Heat > 1.0f) return;
  m_Idle_Time = 0.0f;
  m_Heat += kHeat_Per_Bullet;
  const CVector3 origin = Add(Add(g_Player.m_Mount_Position, Mul(Aim(), kMuzzle_Ahead)),
                              Mul(m_Orientation.rows[1], kBarrel_Offset));
  g_Bullet_Machine_Mgr.Fire(origin, Mul(Aim(), kBullet_Speed));
  m_Flash_Angle = m_Barrel_Angle;
  m_Flash = 0.75f + 0.5f * Random01();
}

void CPlayer_Weapon_Gun_Machine_0::Update(const CFrame_Info& frame) {
  if (!m_Initialised) return;
  const float dt = frame.Delta;
  m_Heat = std::max(m_Heat - g_Player.m_Factor2 * kCooling * dt, 0.0f);
  m_Run_Time += dt;
  Aim_Spring(frame, Aim_Tilt(g_Camera.Get_Cursor_Ray()), m_Angular_Velocity);
  Spin_And_Fire(dt);
  Update_Attachment(frame);
}

void CPlayer_Weapon_Gun_Machine_0::Spin_And_Fire(float dt) {
  const float a = g_Player.m_Factor1;
  const float inverse_a = g_Player.m_Inv_Factor1;
  if (m_Idle_Time > kRest_Idle && m_Spin_Speed == 0.0f) return;
  if (m_Idle_Time < inverse_a && m_Spin_Speed < 3.0f * a)
    m_Spin_Speed = std::min(m_Spin_Speed + 2.5f * a * dt, 3.0f * a);
  const float new_angle = m_Barrel_Angle + dt * m_Spin_Speed;
  const float new_position = std::floor(new_angle * kPositions_Per_Radian);
  const bool crossed = std::floor(m_Barrel_Angle * kPositions_Per_Radian) != new_position;
  if (m_Trigger_Held && crossed) {
    Shoot();
    m_Burst_Has_Fired = 1;
    if (m_Release_Pending) m_Trigger_Held = 0;
  }
  if (m_Idle_Time >= inverse_a && m_Spin_Speed < 0.5f) {
    if (crossed) {
      m_Barrel_Angle = new_position * kFiring_Step;
      m_Spin_Speed = 0.0f;
    } else {
      m_Barrel_Angle = new_angle;
    }
  } else {
    m_Barrel_Angle = new_angle;
    m_Spin_Speed = std::max(m_Spin_Speed - dt * m_Spin_Speed * 0.5f, 0.0f);
  }
  if (m_Barrel_Angle > kTwo_Pi) m_Barrel_Angle -= kTwo_Pi;
  m_Idle_Time += dt;
}

void CPlayer_Weapon_Gun_Machine_0::Render(const CFrame_Info& frame) {
  if (!m_Initialised) return;
  const CVector3& mount = g_Player.m_Mount_Position;
  CMatrix3x3 turned = m_Orientation;
  for (CVector3& row : turned.rows) row = Turn(row, Aim(), -m_Barrel_Angle);
  const CMatrix4x4 world = Scaled_Frame(turned, mount);
  Draw_Model(m_Models[kBody], world, m_Styles[kBody_Style], m_Textures[kBody_Texture]);
  Draw_Model(m_Models[kSecond_Part], world, m_Styles[kSecond_Style], m_Textures[kBody_Texture]);
  Draw_Model(m_Models[kThird_Part], world, m_Styles[kThird_Style], m_Textures[kThird_Texture]);
  if (!(m_Flags & kStraight_Down)) Draw_Heat_Gauge();
  if (m_Flash != 0.0f) Draw_Muzzle_Flash(frame.Delta);
  Render_Attachment();
}

CVector3 CPlayer_Weapon_Gun_Machine_0::Heat_Gauge_Position() const {
  const CMatrix3x3& camera = g_Camera.Rotation();
  const float slide = std::max(0.0f, (5.0f - m_Run_Time) * 0.5f);
  return Add(Add(Add(g_Camera.Get_Eye_Position(), Mul(camera.rows[0], -6.65f)), Mul(camera.rows[1], -5.87f - slide)),
             Mul(camera.rows[2], 15.0f));
}

// Drawn in the camera's frame with the normal projection: a zoom that widens the view leaves the
// gauge where it is.
void CPlayer_Weapon_Gun_Machine_0::Draw_Heat_Gauge() {
  const bool altered = g_Camera.Projection_Altered();
  if (altered) g_Camera.Push_Projection();
  Normalize_Normals(true);
  const CMatrix3x3& camera = g_Camera.Rotation();
  const CVector3 position = Heat_Gauge_Position();
  const CMatrix4x4 gauge = Scaled_Frame(camera, position, 0.075f, 0.075f, 0.05f);
  Draw_Model(m_Models[kGauge_Frame], gauge, m_Styles[kSecond_Style], m_Textures[kBody_Texture]);
  const float h = m_Heat;
  const float value = 1.0f - h + 0.025f;
  Set_First_Pass(m_Styles[kInner_Bar_Style], value,
                 Color_Of(1.0f, (h - 0.25f) * 0.45f, (0.4f - h) * 0.75f, (0.3f - h) * 0.35f));
  Set_First_Pass(m_Styles[kOuter_Bar_Style], value,
                 Color_Of(0.6f, (h - 0.25f) * 0.4f + 0.2f, 0.4f - h + 0.2f, (0.3f - h) * 0.25f + 0.2f));
  Draw_Model(m_Models[kGauge_Bar], gauge, m_Styles[kInner_Bar_Style], m_Textures[kBar_Texture]);
  for (const Scale3& s : kOuter_Bars)
    Draw_Model(m_Models[kGauge_Bar], Scaled_Frame(camera, position, 0.075f * s.x, 0.075f * s.y, 0.05f * s.z),
               m_Styles[kOuter_Bar_Style], m_Textures[kBar_Texture]);
  Normalize_Normals(false);
  if (altered) g_Camera.Pop_Projection();
}

void CPlayer_Weapon_Gun_Machine_0::Draw_Muzzle_Flash(float dt) {
  const CVector3 up = Turn(m_Orientation.rows[1], CVector3{0.0f, 0.0f, 1.0f}, m_Flash_Angle - m_Barrel_Angle);
  const CVector3 position =
      Add(Add(g_Player.m_Mount_Position, Mul(Aim(), kMuzzle_Ahead)), Mul(up, kBarrel_Offset));
  for (const Flash_Copy& copy : kFlash_Copies) {
    const uint32_t alpha = static_cast<uint32_t>(std::clamp(m_Flash * copy.k, 0.0f, 255.0f));
    const uint32_t color = alpha << 24 | 0xFFFFFFu;
    const float w = m_Flash * copy.width;
    Draw_Model(m_Models[kFlash], Scaled_Frame(m_Orientation, position, w, w, copy.length), m_Styles[kFlash_Style],
               m_Textures[kFlash_Texture], nullptr, &color);
  }
  m_Flash = std::max(m_Flash - dt * 2.25f, 0.0f);
}
