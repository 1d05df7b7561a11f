#pragma once
// The manager of additive particles; the basic manager shares its adder.
#include <cstdint>

#include "game/fx/CParticle_Mgr.h"
#include "runtime/src/math/math_types.h"

class CParticle_Add_Mgr : public CParticle_Mgr {
 public:
  static constexpr int kMax_Particles = 256;

  bool Init() override;
  // Adds one particle; false when the manager is not initialised or full.
  bool Add_Particle(const CVector3& position, const CVector3& velocity, float size, float life, uint32_t color,
                    float gravity_scale, uint8_t flags);
  int Particle_Count() const { return m_Count; }

 private:
  int m_Count = 0;
};

extern CParticle_Add_Mgr g_Particle_Add_Mgr;
