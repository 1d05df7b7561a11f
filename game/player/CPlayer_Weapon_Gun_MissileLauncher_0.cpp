#include "game/player/CPlayer_Weapon_Gun_MissileLauncher_0.h"

#include "game/core/CFrame_Info.h"

CPlayer_Weapon_Gun_MissileLauncher_0 g_Gun_MissileLauncher;

namespace {

constexpr const char* kClass_Name = "CPlayer_Weapon_Gun_MissileLauncher_0";
constexpr float kAim_Tilt = -0.03f;

}  // namespace

CPlayer_Weapon_Gun::Resource_List CPlayer_Weapon_Gun_MissileLauncher_0::Resources() {
  return {nullptr, nullptr, 0, nullptr, nullptr, 0, nullptr, nullptr, 0};
}

bool CPlayer_Weapon_Gun_MissileLauncher_0::Init() {
  if (m_Initialised) return true;
  m_Angular_Velocity = CVector3{0.0f, 0.0f, 0.0f};
  // Carries no attachment yet.
  const Attachment_Cases cases{0, CVector3{0.0f, 0.0f, 0.0f}};
  return Init_Shared(kClass_Name, 3, 0, Resources(), cases);
}

void CPlayer_Weapon_Gun_MissileLauncher_0::Term() { Term_Shared(Resources()); }

void CPlayer_Weapon_Gun_MissileLauncher_0::Update(const CFrame_Info& frame) {
  if (!m_Initialised) return;
  Aim_Spring(frame, kAim_Tilt, m_Angular_Velocity);
  Update_Attachment(frame);
}

void CPlayer_Weapon_Gun_MissileLauncher_0::Render(const CFrame_Info& frame) {
  (void)frame;
  if (m_Initialised) Render_Attachment();
}
