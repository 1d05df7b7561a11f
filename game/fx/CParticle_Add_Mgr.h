#pragma once
// Short-lived coloured point sprites in the world: each flies under drag and a share of the
// world gravity, may bounce off the terrain, and fades in and out over its life. The additive
// manager; the plain (alpha-blended) and sparkle managers derive from it and share its Term.
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CSpriteArray;
class CD3DRenderStyle;
class CTextureData;

// Particle flags of the add and basic managers.
enum : uint8_t { kParticle_Live = 0x01, kParticle_Collides = 0x02 };

struct CParticle {
  uint8_t flags = 0;
  CVector3 position{0.0f, 0.0f, 0.0f};
  CVector3 velocity{0.0f, 0.0f, 0.0f};
  uint32_t color = 0;  // its alpha byte is the peak alpha
  float gravity_scale = 0.0f;
  float size = 0.0f;  // kept by the sparkle manager only
  float life = 0.0f;
  float remaining = 0.0f;
};

class CParticle_Add_Mgr {
 public:
  static constexpr uint32_t kMax_Capacity = 256;

  CParticle_Add_Mgr() = default;
  CParticle_Add_Mgr(const CParticle_Add_Mgr&) = delete;
  CParticle_Add_Mgr& operator=(const CParticle_Add_Mgr&) = delete;
  virtual ~CParticle_Add_Mgr() = default;

  virtual bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }

  virtual bool Add_Particle(const CVector3& position, const CVector3& velocity, float size, float life,
                            uint32_t color, float gravity_scale, uint8_t flags);
  // Updates (only when some particle lives) and draws.
  void Render(const float& dt);
  void Update(const float& dt);

  uint32_t Capacity() const { return m_Capacity; }
  uint32_t Live_Count() const;
  const CParticle& Particle(uint32_t index) const { return m_Table[index]; }
  CSpriteArray* Sprites() const { return m_Sprites; }

  // One segment against the terrain cells under it: true with the triangle's normal on a hit
  // (squared distance at most `reach`). Shared with the sparks.
  static bool Hit_Terrain(const CVector3& from, const CVector3& motion, float reach, CVector3& normal);

 protected:
  struct Resources {
    uint32_t capacity;
    uint32_t texture_id;
    uint32_t style_id;
    const char* texture_message;
    const char* style_message;
  };
  bool Start(const Resources& resources);
  // The flag bit that asks for the terrain test, and whether the size follows the fade.
  virtual uint8_t Collide_Bit() const { return kParticle_Collides; }
  virtual bool Size_Follows_Fade(const CParticle&) const { return false; }

  bool m_Initialised = false;
  uint32_t m_Capacity = kMax_Capacity;
  CSpriteArray* m_Sprites = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CTextureData* m_Texture = nullptr;
  CParticle m_Table[kMax_Capacity + 1];

 private:
  void Update_Particle(uint32_t index, float h);
};

extern CParticle_Add_Mgr g_Particle_Add_Mgr;
