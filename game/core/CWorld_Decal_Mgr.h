#pragma once
// The marks that shots leave on the ground: up to 32 decals, each a piece of terrain geometry
// cut by the world, drawn with one of five textures through a projection, fading out (or in and
// out) over its lifetime.
#include <cstdint>

#include "game/core/CWorld.h"
#include "runtime/src/math/math_types.h"

class CD3DRenderStyle;
class CTextureData;

class CWorld_Decal_Mgr {
 public:
  static constexpr int kMax_Decals = 32;
  static constexpr int kTexture_Count = 5;
  static constexpr int kStyle_Count = 2;

  bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }

  // Takes the lowest free slot; with all 32 in use (or a bad index or lifetime) the geometry
  // goes back to the world and false is returned.
  bool Add_Decal(const CTerrain_Decal& geometry, int texture_index, const CMatrix4x4& projection, float lifetime,
                 uint32_t color);
  // Marks every slot free; the world's geometry slots are left as they are.
  void Clear();
  // Ages every decal by the step, gives back the geometry of those that ran out and draws the
  // rest.
  void Render(float step);

  int Live_Count() const;
  bool In_Use(int slot) const { return m_In_Use[slot]; }
  float Remaining(int slot) const { return m_Decals[slot].remaining; }
  uint32_t Color(int slot) const { return m_Decals[slot].color; }
  // The alpha byte of a decal whose texture index is given, at the fraction of life left.
  static uint32_t Fade_Alpha(int texture_index, float fraction_left);

 private:
  struct Decal {
    CTerrain_Decal geometry;
    int texture_index = 0;
    CMatrix4x4 projection{};
    float remaining = 0.0f;
    float inverse_lifetime = 0.0f;
    uint32_t color = 0;
  };

  void Draw(Decal& decal);
  // Draws the decal style once as decals draw it, for the warm-up of draw states.
  void Warm_Up_Decal_Pass() const;

  bool m_Initialised = false;
  int m_Warm_Up_Drawer = 0;
  bool m_In_Use[kMax_Decals] = {};
  Decal m_Decals[kMax_Decals];
  CTextureData* m_Textures[kTexture_Count] = {};
  CD3DRenderStyle* m_Styles[kStyle_Count] = {};
};

extern CWorld_Decal_Mgr g_World_Decal_Mgr;
