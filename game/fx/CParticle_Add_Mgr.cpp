#include "game/fx/CParticle_Add_Mgr.h"

CParticle_Add_Mgr g_Particle_Add_Mgr;
