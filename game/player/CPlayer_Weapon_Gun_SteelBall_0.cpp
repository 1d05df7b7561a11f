#include "game/player/CPlayer_Weapon_Gun_SteelBall_0.h"

#include <algorithm>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/CAmmo_Ball.h"
#include "game/player/CPlayer.h"
#include "game/player/Gun_Resources.h"
#include "game/player/Shot_Effects.h"
#include "game/sim/CSim_Stats.h"

using namespace arsenal;

CPlayer_Weapon_Gun_SteelBall_0 g_Gun_SteelBall;

namespace {

constexpr const char* kClass_Name = "CPlayer_Weapon_Gun_SteelBall_0";
constexpr uint32_t kModel_Ids[] = {0x22000027, 0x22000036};
constexpr uint32_t kStyle_Ids[] = {0x2200002B, 0x22000038, 0x22000039};
constexpr uint32_t kTexture_Ids[] = {0x22000029, 0x2200002C, 0x22000037};
enum { kBody_Model, kGlow_Model };
enum { kBody_Style, kInner_Glow_Style, kOuter_Glow_Style };
enum { kBody_Texture_1, kBody_Texture_2, kGlow_Texture };

constexpr float kAim_Tilt = -0.03f;
constexpr float kShot_Cost = 0.2f;
constexpr float kRecharge_Rate = 0.1f;
constexpr float kBall_Speed = 1500.0f;
constexpr float kBall_Spin = 2.0f;
constexpr float kBall_Ahead = 150.0f;
constexpr float kMuzzle_Ahead = 145.0f;
constexpr float kRecoil = 0.3f;
constexpr uint32_t kShot_Sound = 0x220000F6;

struct Glow_Scale {
  float x, y, z;
};
constexpr Glow_Scale kOuter_Glows[] = {{1.05f, 1.05f, 1.0f}, {1.06f, 1.06f, 1.0f}, {1.3f, 1.12f, 1.0f}, {2.2f, 1.2f, 1.0f}};

}  // namespace

CPlayer_Weapon_Gun::Resource_List CPlayer_Weapon_Gun_SteelBall_0::Resources() {
  return {kModel_Ids, m_Models, kModel_Count, kStyle_Ids, m_Styles, kStyle_Count, kTexture_Ids, m_Textures,
          kTexture_Count};
}

bool CPlayer_Weapon_Gun_SteelBall_0::Init() {
  if (m_Initialised) return true;
  m_Charge = 0.0f;
  m_Angular_Velocity = CVector3{0.0f, 0.0f, 0.0f};
  const Attachment_Cases cases{0x3E, CVector3{20.0f, 6.0f, 147.0f}};
  return Init_Shared(kClass_Name, 1, 0, Resources(), cases);
}

void CPlayer_Weapon_Gun_SteelBall_0::Term() { Term_Shared(Resources()); }

void CPlayer_Weapon_Gun_SteelBall_0::Update(const CFrame_Info& frame) {
  if (!m_Initialised) return;
  m_Charge = std::min(m_Charge + g_Player.m_Factor2 * kRecharge_Rate * frame.Delta, 1.0f);
  Aim_Spring(frame, kAim_Tilt, m_Angular_Velocity);
  Update_Attachment(frame);
}

bool CPlayer_Weapon_Gun_SteelBall_0::Fire() {
  if (!m_Initialised) return false;
  const float cost = kShot_Cost * g_Player.m_Inv_Factor1;
  if (m_Charge < cost) return false;
  CAmmo_Ball* ball = static_cast<CAmmo_Ball*>(CAmmo_Ball::Pool()->Alloc_Object());
  if (!ball) return true;
  m_Charge -= cost;
  ball->Spawn(0);
  g_World.Add_Object(2, ball);
  const CVector3 aim = Aim();
  const CVector3 side = Camera_Side();
  ball->m_Sphere.velocity = Mul(aim, kBall_Speed);
  ball->m_Sphere.spin = Mul(side, kBall_Spin);
  ball->Set_Position(Add(g_Player.m_Mount_Position, Mul(aim, kBall_Ahead)));
  const CVector3 turned = Mark_Impact(aim);
  g_Sim_Stats.Record_Shot(CShot_Source::Of_Object(ball), 0);
  Puff_Muzzle_Smoke(Add(g_Player.m_Mount_Position, Mul(turned, kMuzzle_Ahead)), ball->m_Sphere.velocity,
                    m_Orientation);
  m_Angular_Velocity = Sub(m_Angular_Velocity, Mul(side, kRecoil));
  Play_Sound_FX(kShot_Sound, 0.8f + 0.2f * Random01());
  return true;
}

void CPlayer_Weapon_Gun_SteelBall_0::Render(const CFrame_Info& frame) {
  (void)frame;
  if (!m_Initialised) return;
  const CVector3& mount = g_Player.m_Mount_Position;
  const CMatrix4x4 world = Scaled_Frame(m_Orientation, mount);
  Draw_Model(m_Models[kBody_Model], world, m_Styles[kBody_Style], m_Textures[kBody_Texture_1],
             m_Textures[kBody_Texture_2]);
  const float value = 1.0f - m_Charge - 0.05f;
  Set_First_Pass(m_Styles[kInner_Glow_Style], value, 0xFF000044);
  Set_First_Pass(m_Styles[kOuter_Glow_Style], value, 0x666666FF);
  Draw_Model(m_Models[kGlow_Model], world, m_Styles[kInner_Glow_Style], m_Textures[kGlow_Texture]);
  for (const Glow_Scale& s : kOuter_Glows)
    Draw_Model(m_Models[kGlow_Model], Scaled_Frame(m_Orientation, mount, s.x, s.y, s.z), m_Styles[kOuter_Glow_Style],
               m_Textures[kGlow_Texture]);
  Render_Attachment();
}
