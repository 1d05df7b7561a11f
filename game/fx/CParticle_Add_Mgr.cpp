#include "game/fx/CParticle_Add_Mgr.h"

CParticle_Add_Mgr g_Particle_Add_Mgr;

bool CParticle_Add_Mgr::Init() {
  m_Count = 0;
  return CParticle_Mgr::Init();
}

bool CParticle_Add_Mgr::Add_Particle(const CVector3& position, const CVector3& velocity, float size, float life,
                                     uint32_t color, float gravity_scale, uint8_t flags) {
  (void)position;
  (void)velocity;
  (void)size;
  (void)life;
  (void)color;
  (void)gravity_scale;
  (void)flags;
  if (!m_Initialised || m_Count >= kMax_Particles) return false;
  ++m_Count;
  return true;
}
