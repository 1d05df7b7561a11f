#include "game/core/CTarget_Lock_Seeker.h"

#include <algorithm>
#include <cmath>

#include "game/core/CTarget_Link_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/CWorld_Object.h"
#include "platform/system/random.h"

namespace {

constexpr float kSearch_Interval = 0.15f;
constexpr float kLook_Ahead = 1.2f;
constexpr float kSearch_Height = 100.0f;
constexpr float kSearch_Radius = 350.0f;
constexpr float kTarget_Lead = 0.75f;
constexpr float kMin_Distance = 0.01f;
constexpr float kWobble_Rate = 4.0f;
constexpr float kWobble_Angle = 0.15f * 0.5f;
constexpr float kTurn_Rate = 2.0f;
constexpr float kTwo_Pi = 6.28318530718f;

bool Is_Seekable(const CWorld_Object* object) {
  const uint32_t kind = object->m_Kind_Flags;
  const bool kind_fits = kind == 0x01 || kind == 0x20 || kind == 0x02 || kind == 0x08;
  return kind_fits && object->m_Type != CTarget_Lock_Seeker::kSkipped_Type;
}

// The orientation whose rows are right, up and forward for a unit forward direction.
CMatrix3x3 Looking_Along(const CVector3& forward) {
  CVector3 up{0.0f, 1.0f, 0.0f};
  if (std::fabs(forward.Dot(up)) > 0.999f) up.Set(0.0f, 0.0f, 1.0f);  // straight up or down
  CVector3 along, u, right;
  up.Subtract(forward.Scale(up.Dot(forward), along), u);
  u.Normalize();
  u.Cross(forward, right);
  CMatrix3x3 m;
  m.Set_Rows(right, u, forward);
  return m;
}

}  // namespace

bool CTarget_Lock_Seeker::Start(CWorld_Object* owner) {
  m_Kind = kLock_Seeker;
  m_Owner = owner;
  m_Aim_Point_Flag = 0;
  m_Search_Timer = static_cast<float>(plat::Random()) / 32767.0f * kSearch_Interval;
  m_Aim_Point.Set(0.0f, 0.0f, 0.0f);
  m_Wobble_Phase = 0.0f;
  m_Active = 1;
  return true;
}

void CTarget_Lock_Seeker::Find() {
  const CVector3 velocity = m_Owner->Body_Velocity();
  CVector3 point{m_Owner->m_Position.x + kLook_Ahead * velocity.x, 0.0f,
                 m_Owner->m_Position.z + kLook_Ahead * velocity.z};
  point.y = g_World.Get_Height(point.x, point.z) + kSearch_Height;
  CWorld_Query near;
  g_World.Query_Radius(point, kSearch_Radius, near);
  for (int i = 0; i < near.count; ++i) {
    if (Is_Seekable(near.objects[i])) {
      g_Target_Link_Pool.Add_Link(near.objects[i], this);
      break;
    }
  }
  m_Search_Timer = kSearch_Interval;
}

bool CTarget_Lock_Seeker::Target_Point(CVector3& point) const {
  if (const CWorld_Object* target = First_Object()) {
    point = target->m_Position;
    if (target->m_Body_Kind == kBody_Sphere || target->m_Body_Kind == kBody_Box) {
      CVector3 lead;
      point.Add_Assign(target->Body_Velocity().Scale(kTarget_Lead, lead));
    }
    return true;
  }
  if (m_Aim_Point_Flag) {
    point = m_Aim_Point;
    return true;
  }
  return false;
}

void CTarget_Lock_Seeker::Steer_Towards(const CVector3& point, float dt) {
  CVector3 direction;
  point.Subtract(m_Owner->m_Position, direction);
  const float distance = direction.Length();
  if (!(distance >= kMin_Distance)) return;
  direction.Scale_Assign(1.0f / distance);

  m_Wobble_Phase += kWobble_Rate * dt;
  if (m_Wobble_Phase >= kTwo_Pi) m_Wobble_Phase = std::fmod(m_Wobble_Phase, kTwo_Pi);
  CQuaternion wanted, roll, current, turned;
  wanted.From_Matrix3(Looking_Along(direction));
  roll.From_Axis_Angle(direction, std::sin(m_Wobble_Phase) * kWobble_Angle);
  wanted.Multiply_Assign(roll);
  current.From_Matrix3(m_Owner->m_Orientation);
  turned.Slerp(current, wanted, std::clamp(kTurn_Rate * dt, 0.0f, 1.0f));
  turned.Normalize();
  m_Owner->m_Orientation.From_Quaternion(turned);
}

void CTarget_Lock_Seeker::Update(CBody_Motion* body, float dt) {
  (void)body;
  if (!m_Owner || m_Owner->m_Kill_Timer != 0.0f) return;
  if (m_Search_Timer > 0.0f || m_Link_Chain)
    m_Search_Timer -= dt;
  else
    Find();
  CVector3 point;
  if (Target_Point(point)) Steer_Towards(point, dt);
}
