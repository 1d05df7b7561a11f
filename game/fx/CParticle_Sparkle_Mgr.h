#pragma once
// The manager of sparkles: 128 particles whose size may follow the fade curve.
#include "game/fx/CParticle_Add_Mgr.h"

// Sparkle flags.
enum : uint8_t { kSparkle_Live = 0x01, kSparkle_Size_Fades = 0x02, kSparkle_Collides = 0x04 };

class CParticle_Sparkle_Mgr : public CParticle_Add_Mgr {
 public:
  static constexpr uint32_t kSparkle_Capacity = 128;
  bool Init() override;
  bool Add_Particle(const CVector3& position, const CVector3& velocity, float size, float life, uint32_t color,
                    float gravity_scale, uint8_t flags) override;

 protected:
  uint8_t Collide_Bit() const override { return kSparkle_Collides; }
  bool Size_Follows_Fade(const CParticle& p) const override { return (p.flags & kSparkle_Size_Fades) != 0; }
};

extern CParticle_Sparkle_Mgr g_Particle_Sparkle_Mgr;
