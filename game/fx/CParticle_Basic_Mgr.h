#pragma once
// The manager of plain (alpha-blended) particles.
#include "game/fx/CParticle_Mgr.h"

class CParticle_Basic_Mgr : public CParticle_Mgr {};

extern CParticle_Basic_Mgr g_Particle_Basic_Mgr;
