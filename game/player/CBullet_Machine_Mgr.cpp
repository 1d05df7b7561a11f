#include "game/player/CBullet_Machine_Mgr.h"

CBullet_Machine_Mgr g_Bullet_Machine_Mgr;

bool CBullet_Machine_Mgr::Init() {
  m_Initialised = true;
  return true;
}

void CBullet_Machine_Mgr::Term() { m_Initialised = false; }

void CBullet_Machine_Mgr::Update(const CFrame_Info& frame) { (void)frame; }
void CBullet_Machine_Mgr::Render() {}
