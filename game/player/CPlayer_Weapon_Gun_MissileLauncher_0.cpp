#include "game/player/CPlayer_Weapon_Gun_MissileLauncher_0.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CCursor_Mgr.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CTarget_Link_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/Draw_Helpers.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/CAmmo_Missile_0.h"
#include "game/player/CPlayer.h"
#include "game/player/Gun_Resources.h"
#include "game/sim/CSim_Stats.h"

using namespace arsenal;

CPlayer_Weapon_Gun_MissileLauncher_0 g_Gun_MissileLauncher;

namespace {

constexpr const char* kClass_Name = "CPlayer_Weapon_Gun_MissileLauncher_0";
constexpr float kPi = 3.14159265f;
constexpr float kLoading_Angle = -kPi / 2.0f;
constexpr float kSwing_Rate = 1.25f;
constexpr float kLoad_Swing_Rate = 0.75f;
constexpr float kSpring_Rate = 15.0f;
constexpr float kScan_Ahead = 250.0f;
constexpr float kScan_Length = 5000.0f;
constexpr float kScan_Limit = 22500.0f;
constexpr uint32_t kLockable_Kinds = 0x2B;
constexpr uint32_t kTower_Type = 51;
constexpr float kSide_Kick = 30.0f;
constexpr float kLaunch_Speed = 10.0f;
constexpr uint32_t kDry_Click = 0x2200016A;
constexpr uint32_t kArming_Click = 0x2200016C;
const CVector3 kArm_Offset{42.0f, 0.0f, 20.0f};
constexpr float kLight_Side = 12.75f, kLight_Ahead = 170.0f;

enum { kBody, kCradle };
enum { kBody_Style, kLight_Style };
enum { kBody_Texture, kLight_Texture };
constexpr uint32_t kModel_Ids[2] = {0x22000056, 0x2200005D};
constexpr uint32_t kStyle_Ids[2] = {0x22000043, 0x22000031};
constexpr uint32_t kTexture_Ids[2] = {0x22000029, 0x2200005E};

// The aim's turn below the cursor ray: more as the cursor rises towards the horizon.
float Aim_Tilt(const CVector3& cursor_ray) {
  const float y = cursor_ray.y;
  if (y + 0.3f > 0.0f) return -0.06f - 0.06f * std::clamp(2.0f * (y + 0.3f), 0.0f, 1.0f);
  return -0.06f;
}

CVector3 In_Frame(const CMatrix3x3& frame, const CVector3& local) {
  return Add(Add(Mul(frame.rows[0], local.x), Mul(frame.rows[1], local.y)), Mul(frame.rows[2], local.z));
}

}  // namespace

CPlayer_Weapon_Gun::Resource_List CPlayer_Weapon_Gun_MissileLauncher_0::Resources() {
  return {kModel_Ids, m_Models, 2, kStyle_Ids, m_Styles, 2, kTexture_Ids, m_Textures, 2};
}

bool CPlayer_Weapon_Gun_MissileLauncher_0::Init() {
  if (m_Initialised) return true;
  m_Last_Cradle = 1;
  m_Angular_Velocity = CVector3{0.0f, 0.0f, 0.0f};
  for (int c = 0; c < 2; ++c) {
    m_Cradle_State[c] = kSwinging_Back;
    m_Cradle_Angle[c] = kLoading_Angle;
  }
  m_Scan_Timer = m_Unseen_Time = m_Lock_Age = 0.0f;
  m_Trail_Index = 0;
  Clear_Trail();
  m_Cradle_List.Start(nullptr);
  m_Target_Lock.Start(nullptr);
  const Attachment_Cases cases{0x3E, CVector3{8.0f, 9.0f, 100.0f}, false};
  return Init_Shared(kClass_Name, 3, 0, Resources(), cases);
}

void CPlayer_Weapon_Gun_MissileLauncher_0::Term() {
  m_Cradle_List.Clear();
  m_Target_Lock.Clear();
  Term_Shared(Resources());
}

CAmmo_Missile_0* CPlayer_Weapon_Gun_MissileLauncher_0::Missile_Of_Cradle(int cradle) const {
  for (CTarget_Link* link = m_Cradle_List.m_Link_Chain; link; link = link->m_Next_Of_Lock) {
    CWorld_Object* object = link->m_Object;
    if (object && object->m_Type == CAmmo_Missile_0::kType &&
        static_cast<CAmmo_Missile_0*>(object)->m_Cradle == cradle)
      return static_cast<CAmmo_Missile_0*>(object);
  }
  return nullptr;
}

CWorld_Object* CPlayer_Weapon_Gun_MissileLauncher_0::Locked_Target() const { return m_Target_Lock.First_Object(); }

bool CPlayer_Weapon_Gun_MissileLauncher_0::Fire() {
  if (!m_Initialised) return false;
  const int other = 1 - m_Last_Cradle;
  const int cradle = m_Cradle_State[other] == kArmed ? other : m_Cradle_State[m_Last_Cradle] == kArmed ? m_Last_Cradle : -1;
  CAmmo_Missile_0* missile = cradle >= 0 ? Missile_Of_Cradle(cradle) : nullptr;
  if (!missile) {
    Play_Sound_FX(kDry_Click, 0.75f);
    return false;
  }
  m_Last_Cradle = cradle;
  m_Cradle_State[cradle] = kSwinging_Back;
  for (CTarget_Link* link = m_Cradle_List.m_Link_Chain; link; link = link->m_Next_Of_Lock)
    if (link->m_Object == missile) {
      g_Target_Link_Pool.Remove_Link(link);
      break;
    }
  missile->Launch(Locked_Target());
  g_Sim_Stats.Record_Shot(CShot_Source::Of_Object(missile), 0);
  const CVector3 aim = Aim();
  missile->m_Sphere.velocity =
      Add(Mul(aim, kLaunch_Speed), Mul(m_Orientation.rows[0], cradle == 0 ? -kSide_Kick : kSide_Kick));
  missile->m_Sphere.spin = CVector3{0.0f, 0.0f, 0.0f};
  const CVector3 start = g_Camera.Position();
  const CVector3 segment = Mul(aim, 2.0f * g_World.m_Terrain.size_x);
  CVector3 hit;
  if (g_World.Has_Terrain() && g_World.Intersect_Terrain(start, segment, hit)) {
    Place_World_Decal(0, hit, 35.0f, 1.0f, 0xFFFFFFFF);
    missile->m_Seeker.m_Aim_Point = hit;
  } else {
    missile->m_Seeker.m_Aim_Point = Add(start, segment);
  }
  missile->m_Seeker.m_Aim_Point_Flag = 1;
  return true;
}

void CPlayer_Weapon_Gun_MissileLauncher_0::Update(const CFrame_Info& frame) {
  if (!m_Initialised) return;
  const float dt = frame.Delta;
  Aim_Spring(frame, Aim_Tilt(g_Camera.Get_Cursor_Ray()), m_Angular_Velocity, kSpring_Rate);
  Update_Cradles(dt);
  Carry_Missiles();
  Scan_For_Target(dt);
  m_Cradle_List.Update(nullptr, dt);
  m_Target_Lock.Update(nullptr, dt);
  Update_Attachment(frame);
}

void CPlayer_Weapon_Gun_MissileLauncher_0::Update_Cradles(float dt) {
  const float swing = kSwing_Rate * g_Player.m_Factor1 * dt;
  const float load_swing = kLoad_Swing_Rate * g_Player.m_Factor1 * dt;
  if (m_Cradle_State[0] == kSwinging_Back) {
    m_Cradle_Angle[0] += swing;
    if (m_Cradle_Angle[0] >= kLoading_Angle) {
      m_Cradle_Angle[0] = kLoading_Angle;
      m_Cradle_State[0] = kLoading;
    }
  }
  if (m_Cradle_State[1] == kSwinging_Back) {
    m_Cradle_Angle[1] -= swing;
    if (m_Cradle_Angle[1] <= kLoading_Angle) {
      m_Cradle_Angle[1] = kLoading_Angle;
      m_Cradle_State[1] = kLoading;
    }
  }
  const bool second_first = m_Cradle_State[0] != kLoading ||
                            (m_Cradle_State[1] == kLoading && m_Cradle_Angle[1] > kLoading_Angle);
  const int served = second_first ? 1 : 0;
  if (m_Cradle_State[served] == kLoading) Load_Cradle(served, load_swing);
}

void CPlayer_Weapon_Gun_MissileLauncher_0::Load_Cradle(int cradle, float load_swing) {
  if (!Missile_Of_Cradle(cradle)) {
    auto* missile = static_cast<CAmmo_Missile_0*>(CAmmo_Missile_0::Pool()->Alloc_Object());
    if (!missile) return;  // the pool is empty: the cradle waits and tries again next step
    missile->Spawn(g_Player.m_Mount_Position, 0);
    missile->m_Cradle = cradle;
    g_World.Add_Object(1, missile);
    g_Target_Link_Pool.Add_Link(missile, &m_Cradle_List);
    m_Cradle_Angle[cradle] = kLoading_Angle;
  }
  bool armed = false;
  if (cradle == 1) {
    if (m_Cradle_Angle[1] < 0.0f) m_Cradle_Angle[1] += load_swing;
    if (m_Cradle_Angle[1] >= 0.0f) {
      m_Cradle_Angle[1] = 0.0f;
      armed = true;
    }
  } else {
    if (m_Cradle_Angle[0] > -kPi) m_Cradle_Angle[0] -= load_swing;
    if (m_Cradle_Angle[0] <= -kPi) {
      m_Cradle_Angle[0] = -kPi;
      armed = true;
    }
  }
  if (!armed) return;
  m_Cradle_State[cradle] = kArmed;
  Play_Sound_FX(kArming_Click, 0.15f);
}

CMatrix3x3 CPlayer_Weapon_Gun_MissileLauncher_0::Cradle_Frame(float angle) const {
  CMatrix3x3 frame = m_Orientation;
  for (CVector3& row : frame.rows) row = Turn(row, Aim(), angle);
  return frame;
}

void CPlayer_Weapon_Gun_MissileLauncher_0::Carry_Missiles() {
  for (int c = 0; c < 2; ++c) {
    CAmmo_Missile_0* missile = Missile_Of_Cradle(c);
    if (!missile) continue;
    const CMatrix3x3 frame = Cradle_Frame(m_Cradle_Angle[c]);
    missile->Set_Position(Add(g_Player.m_Mount_Position, In_Frame(frame, kArm_Offset)));
    missile->m_Orientation = frame;
  }
}

void CPlayer_Weapon_Gun_MissileLauncher_0::Clear_Trail() {
  for (CVector3& entry : m_Trail) entry = CVector3{0.0f, 0.0f, kEmpty_Entry};
}

void CPlayer_Weapon_Gun_MissileLauncher_0::Scan_For_Target(float dt) {
  m_Scan_Timer -= dt;
  m_Unseen_Time += dt;
  m_Lock_Age += dt;
  if (m_Scan_Timer <= 0.0f) {
    m_Scan_Timer = kScan_Interval;
    const CVector3 start = Add(g_Player.m_Mount_Position, Mul(Aim(), kScan_Ahead));
    float limit = kScan_Limit;
    float distance = kScan_Limit;
    CWorld_Object* found =
        g_World.Intersect_Objects(start, Mul(g_Camera.Get_Cursor_Ray(), kScan_Length), limit, &distance);
    if (found && distance < kScan_Limit && (found->m_Kind_Flags & kLockable_Kinds) && found->m_Type != kTower_Type) {
      m_Unseen_Time = 0.0f;
      if (found != Locked_Target()) {
        m_Lock_Age = 0.0f;
        if (m_Target_Lock.m_Link_Chain) g_Target_Link_Pool.Remove_Link(m_Target_Lock.m_Link_Chain);
        m_Trail_Index = 0;
        Clear_Trail();
        g_Target_Link_Pool.Add_Link(found, &m_Target_Lock);
      }
    }
  }
  if (m_Target_Lock.m_Link_Chain && m_Unseen_Time >= kLock_Hold) g_Target_Link_Pool.Remove_Link(m_Target_Lock.m_Link_Chain);
}

void CPlayer_Weapon_Gun_MissileLauncher_0::Render_Overlay(const CFrame_Info& frame) {
  (void)frame;
  CWorld_Object* target = Locked_Target();
  if (!m_Initialised || !target) return;
  if (!g_Game_Paused) m_Trail_Index = (m_Trail_Index + 1) % kTrail_Length;
  CVector3 screen = g_Camera.World_To_Screen(target->m_Position);
  screen.z = 0.0f;
  m_Trail[m_Trail_Index] = screen;
  float size = (m_Lock_Age >= 1.0f ? 0.5f : 0.5f + 1.5f * (1.0f - m_Lock_Age)) *
               std::clamp(1.0f - target->m_Kill_Timer, 0.0f, 1.0f);
  float k = 2.0f;
  for (int n = 0; n < kTrail_Length; ++n) {
    const CVector3& entry = m_Trail[(m_Trail_Index - n + kTrail_Length) % kTrail_Length];
    if (entry.z != kEmpty_Entry) {
      const unsigned colour = (static_cast<unsigned>(k * 100.0f) << 24) | 0xFF3333u;
      g_Cursor_Mgr.Draw_Marker(2, entry, colour, size);
      size *= 0.85f;
    }
    k *= 0.875f;
  }
}

void CPlayer_Weapon_Gun_MissileLauncher_0::Render(const CFrame_Info& frame) {
  (void)frame;
  if (!m_Initialised) return;
  const CVector3& mount = g_Player.m_Mount_Position;
  Draw_Model(m_Models[kBody], Scaled_Frame(m_Orientation, mount), m_Styles[kBody_Style], m_Textures[kBody_Texture]);
  for (float angle : m_Cradle_Angle)
    Draw_Model(m_Models[kCradle], Scaled_Frame(Cradle_Frame(angle), mount), m_Styles[kBody_Style],
               m_Textures[kBody_Texture]);
  Render_Attachment();
  const CVector3 side = Mul(m_Orientation.rows[0], kLight_Side);
  const CVector3 ahead = Add(mount, Mul(Aim(), kLight_Ahead));
  Draw_Status_Light(Add(ahead, side), m_Cradle_State[1] == kArmed);
  Draw_Status_Light(Sub(ahead, side), m_Cradle_State[0] == kArmed);
}

void CPlayer_Weapon_Gun_MissileLauncher_0::Draw_Status_Light(const CVector3& position, bool armed) {
  Draw_Axis_Quads(position, m_Orientation.rows[1], m_Orientation.rows[0], Aim(), 3, 8.0f, 7.0f,
                  armed ? 0xFF33FF33u : 0xFFFF3333u, m_Styles[kLight_Style], m_Textures[kLight_Texture]);
}
