#include "game/fx/CParticle_Sparkle_Mgr.h"

CParticle_Sparkle_Mgr g_Particle_Sparkle_Mgr;

bool CParticle_Sparkle_Mgr::Init() {
  return Start({kSparkle_Capacity, 0x22000047, 0x22000031,
                "Error in CParticle_Sparkle_Mgr\nUnable to load texture...",
                "Error in CParticle_Sparkle_Mgr\nUnable to load shader..."});
}

bool CParticle_Sparkle_Mgr::Add_Particle(const CVector3& position, const CVector3& velocity, float size, float life,
                                         uint32_t color, float gravity_scale, uint8_t flags) {
  return CParticle_Add_Mgr::Add_Particle(position, velocity, size, life, color, gravity_scale, flags);
}
