#include "game/fx/CParticle_Sparkle_Mgr.h"

CParticle_Sparkle_Mgr g_Particle_Sparkle_Mgr;
