#pragma once
// The manager of plain (alpha-blended) particles: the add manager with its own resources.
#include "game/fx/CParticle_Add_Mgr.h"

class CParticle_Basic_Mgr : public CParticle_Add_Mgr {
 public:
  bool Init() override;
};

extern CParticle_Basic_Mgr g_Particle_Basic_Mgr;
