#pragma once
// Soft blob shadows of world objects on the terrain: a patch of the terrain's own triangles
// under the object, drawn with a shadow texture centred on it by a texture transform and faded
// by the object's height above the ground.
#include <cstdint>

#include "game/fx/CTerrain_Patch.h"
#include "runtime/src/math/math_types.h"

class CD3DRenderStyle;
class CTextureData;
class CWorld_Object;

// One projector for the whole game: every operation is static.
class CShadowProjector {
 public:
  static bool Init();
  static void Term();
  static bool Is_Initialised();

  static void Cast_Shadow(int texture_choice, const CVector3& position, float size, float strength);
  static void Cast_Sphere_Shadow(const CWorld_Object& object, float fade_factor);
  static void Cast_Ellipse_Shadow(const CWorld_Object& object, float stretch_x, float stretch_z,
                                  CTextureData* texture = nullptr);
  static void Cast_Box_Shadow(const CWorld_Object& object);
  // The position of the caller's frame is used.
  static void Cast_Rect_Shadow(const CVector3& position, float size_x, float size_z, float strength);

  // The alpha of a shadow h units above the ground: d × g² × 255 within 0 .. 200, with
  // g = clamp(1 − h × fade, 0, 1); −1 (nothing drawn) below the ground.
  static int Height_Alpha(float height, float fade_factor, float death_fade);
  // What the last cast drew: its alpha (−1 when it stopped before one) and its patch.
  static int Last_Alpha();
  static const CTerrain_Patch& Patch();
  static CD3DRenderStyle* Style();
};
