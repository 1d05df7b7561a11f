#include "game/player/CPlayer.h"

#include <algorithm>

#include "game/core/CWorld.h"

CPlayer g_Player;

void CPlayer::Release_Gun() {
  m_Gun_Kind = 0;
  m_Firing = false;
}

void CPlayer::Get_Upgrade_Factors(int gun_kind, int gun_level, int attachment_kind, int attachment_level,
                                  float& factor1, float& factor2, float& value) {
  (void)gun_kind;
  (void)gun_level;
  (void)attachment_kind;
  (void)attachment_level;
  (void)factor1;
  (void)factor2;
  (void)value;
}

void CPlayer::Set_Upgrade_Factors(float factor1, float factor2, float value) {
  constexpr float kSmallest = 0.0001f;
  m_Factor1 = factor1;
  m_Inv_Factor1 = 1.0f / std::max(factor1, kSmallest);
  m_Factor2 = factor2;
  m_Inv_Factor2 = 1.0f / std::max(factor2, kSmallest);
  m_Upgrade_Value = value;
}

bool CPlayer::Select_Weapon(const int& gun_kind) {
  m_Gun_Kind = gun_kind;
  return true;
}

void CPlayer::Update(const CFrame_Info& frame) { (void)frame; }
void CPlayer::Render(const CFrame_Info& frame) { (void)frame; }
void CPlayer::Render_Overlay(const CFrame_Info& frame) { (void)frame; }

bool CPlayer::Fire() {
  if (g_Game_Paused) return false;
  m_Firing = true;
  return true;
}

bool CPlayer::Release_Fire() {
  m_Firing = false;
  return true;
}

bool CPlayer::Fire_Attachment() { return false; }

void CPlayer::Release_Attachment() {}
