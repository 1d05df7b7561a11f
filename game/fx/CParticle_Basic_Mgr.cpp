#include "game/fx/CParticle_Basic_Mgr.h"

CParticle_Basic_Mgr g_Particle_Basic_Mgr;

bool CParticle_Basic_Mgr::Init() {
  return Start({kMax_Capacity, 0x2200002F, 0x2200002E, "Error in CParticle_Basic_Mgr\nUnable to load texture...",
                "Error in CParticle_Basic_Mgr\nUnable to load shader..."});
}
