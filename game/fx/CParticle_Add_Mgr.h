#pragma once
// The manager of additive particles.
#include "game/fx/CParticle_Mgr.h"

class CParticle_Add_Mgr : public CParticle_Mgr {};

extern CParticle_Add_Mgr g_Particle_Add_Mgr;
