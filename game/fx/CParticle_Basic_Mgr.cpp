#include "game/fx/CParticle_Basic_Mgr.h"

CParticle_Basic_Mgr g_Particle_Basic_Mgr;
