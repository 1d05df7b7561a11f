#pragma once
// The manager of sparkle particles, the burst of a hit.
#include "game/fx/CParticle_Mgr.h"

class CParticle_Sparkle_Mgr : public CParticle_Mgr {};

extern CParticle_Sparkle_Mgr g_Particle_Sparkle_Mgr;
