#include "game/player/CPlayer_Weapon_Gun_Cannon_0.h"

#include <algorithm>

#include "game/core/CFrame_Info.h"
#include "game/core/CGame_State.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/CAmmo_Explosive.h"
#include "game/player/CPlayer.h"
#include "game/player/Gun_Resources.h"
#include "game/player/Shot_Effects.h"
#include "game/sim/CSim_Stats.h"

using namespace arsenal;

CPlayer_Weapon_Gun_Cannon_0 g_Gun_Cannon;

namespace {

constexpr const char* kClass_Name = "CPlayer_Weapon_Gun_Cannon_0";
constexpr uint32_t kModel_Ids[] = {0x2200016D, 0x2200016E, 0x2200016F};
constexpr uint32_t kStyle_Ids[] = {0x2200004B, 0x2200004B, 0x22000038, 0x22000149};
constexpr uint32_t kTexture_Ids[] = {0x22000029, 0x2200003B, 0x2200002C, 0x22000037};
enum { kBody, kBarrel, kGlow };
enum { kBody_Style, kBarrel_Style, kInner_Glow_Style, kOuter_Glow_Style };
enum { kMetal_Texture, kBarrel_Texture, kBody_Texture, kGlow_Texture };

constexpr float kAim_Tilt = -0.03f;
constexpr float kReload_Rate = 0.7f;
constexpr float kShell_Speed = 1500.0f;
constexpr float kShell_Spin = 3.5f;
constexpr float kShell_Ahead = 150.0f;
constexpr float kMuzzle_Ahead = 145.0f;
constexpr float kRecoil = 0.2f;
constexpr float kBarrel_Kick = 25.0f;
constexpr uint32_t kShot_Sound = 0x220000F6;
constexpr uint32_t kDry_Click = 0x2200016A;

uint32_t Byte_Of(float scaled) {
  if (!(scaled > 0.0f)) return 0;
  return scaled >= 255.0f ? 255u : static_cast<uint32_t>(scaled);
}

uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

struct Outer_Glow {
  float scale;
  float alpha;
};
constexpr Outer_Glow kOuter_Glows[] = {{1.01f, 0.5f}, {1.0175f, 0.2f}, {1.03f, 0.1f}};

}  // namespace

CPlayer_Weapon_Gun::Resource_List CPlayer_Weapon_Gun_Cannon_0::Resources() {
  return {kModel_Ids, m_Models, kModel_Count, kStyle_Ids, m_Styles, kStyle_Count, kTexture_Ids, m_Textures,
          kTexture_Count};
}

bool CPlayer_Weapon_Gun_Cannon_0::Init() {
  if (m_Initialised) return true;
  m_Reload = 0.0f;
  m_Glow_Level = 0.0f;
  m_Angular_Velocity = CVector3{0.0f, 0.0f, 0.0f};
  const Attachment_Cases cases{0x3E, CVector3{30.0f, 6.0f, 21.0f}, false};
  if (!Init_Shared(kClass_Name, 5, 0, Resources(), cases)) return false;
  Set_First_Pass_Value(m_Styles[kInner_Glow_Style], -0.05f);
  return true;
}

void CPlayer_Weapon_Gun_Cannon_0::Term() { Term_Shared(Resources()); }

bool CPlayer_Weapon_Gun_Cannon_0::Fire() {
  if (!m_Initialised) return false;
  if (m_Reload < 1.0f) {
    Play_Sound_FX(kDry_Click, 0.75f);
    return false;
  }
  CAmmo_Explosive* shell = static_cast<CAmmo_Explosive*>(CAmmo_Explosive::Pool()->Alloc_Object());
  if (!shell) return true;
  m_Reload -= 1.0f;
  shell->Spawn(0);
  g_World.Add_Object(2, shell);
  const CVector3 aim = Aim();
  const CVector3 side = Camera_Side();
  shell->m_Sphere.velocity = Mul(aim, kShell_Speed);
  shell->m_Sphere.spin = Mul(side, kShell_Spin);
  shell->Set_Position(Add(g_Player.m_Mount_Position, Mul(aim, kShell_Ahead)));
  const CVector3 turned = Mark_Impact(aim);
  g_Sim_Stats.Record_Shot(CShot_Source::Of_Object(shell), 0);
  Puff_Muzzle_Smoke(Add(g_Player.m_Mount_Position, Mul(turned, kMuzzle_Ahead)), shell->m_Sphere.velocity,
                    m_Orientation);
  Play_Sound_FX(kShot_Sound, 0.8f + 0.2f * Random01());
  m_Angular_Velocity = Sub(m_Angular_Velocity, Mul(side, kRecoil));
  return true;
}

void CPlayer_Weapon_Gun_Cannon_0::Update(const CFrame_Info& frame) {
  if (!m_Initialised) return;
  m_Reload = std::min(m_Reload + g_Player.m_Factor1 * kReload_Rate * frame.Delta, 1.0f);
  Aim_Spring(frame, kAim_Tilt, m_Angular_Velocity);
  Update_Attachment(frame);
}

void CPlayer_Weapon_Gun_Cannon_0::Follow_Reload(float dt) {
  if (m_Glow_Level > m_Reload)
    m_Glow_Level = std::max(m_Glow_Level - dt * 6.0f, m_Reload);
  else if (m_Glow_Level < m_Reload)
    m_Glow_Level = std::min(m_Glow_Level + dt * 2.0f, m_Reload);
}

void CPlayer_Weapon_Gun_Cannon_0::Render(const CFrame_Info& frame) {
  if (!m_Initialised) return;
  const CVector3& mount = g_Player.m_Mount_Position;
  const CMatrix4x4 body = Scaled_Frame(m_Orientation, mount);
  Draw_Model(m_Models[kBody], body, m_Styles[kBody_Style], m_Textures[kMetal_Texture], m_Textures[kBody_Texture]);
  const CVector3 barrel_at = Sub(mount, Mul(Aim(), (1.0f - m_Reload) * kBarrel_Kick));
  Draw_Model(m_Models[kBarrel], Scaled_Frame(m_Orientation, barrel_at), m_Styles[kBarrel_Style],
             m_Textures[kBarrel_Texture]);
  Follow_Reload(frame.Delta);
  const float level = m_Glow_Level == 1.0f ? 1.0f : 0.75f * m_Glow_Level;
  const uint32_t inner =
      Argb(255, Byte_Of((0.3f * level + 0.1f) * 255.0f), 25, Byte_Of((0.3f * level + 0.2f) * 255.0f));
  Draw_Model(m_Models[kGlow], body, m_Styles[kInner_Glow_Style], m_Textures[kMetal_Texture], nullptr, &inner);
  const uint32_t bright = Byte_Of(2.0f * level * 255.0f);
  for (const Outer_Glow& glow : kOuter_Glows) {
    const uint32_t color = Argb(Byte_Of(glow.alpha * level * 255.0f), bright, bright, Byte_Of(0.3f * level * 255.0f));
    Draw_Model(m_Models[kGlow], Scaled_Frame(m_Orientation, mount, glow.scale, glow.scale, 1.0f),
               m_Styles[kOuter_Glow_Style], m_Textures[kMetal_Texture], nullptr, &color);
  }
  Render_Attachment();
}
