#pragma once
// Projects a texture onto the terrain (or onto an object's own model) along the axes of a
// frame the caller gives: glows, ground marks, target markers, the ground flash.
#include <cstdint>

#include "game/fx/CTerrain_Patch.h"
#include "runtime/src/math/math_types.h"

class CD3DRenderStyle;
class CTextureData;
class CWorld_Object;

// An orientation (three rows) followed by a position, as in a world object.
struct CProjection_Frame {
  CMatrix3x3 orientation = CMatrix3x3::Identity;
  CVector3 position{0.0f, 0.0f, 0.0f};
};

class CGen_Projector {
 public:
  bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }

  // The colour's four slots are alpha, red, green, blue (0-1).
  void Project(int style_index, const CProjection_Frame& frame, float radius, CTextureData* texture,
               const CColor4& colour);
  void Project_Custom(CWorld_Object* owner, int style_index, const CProjection_Frame& frame, float radius,
                      CTextureData* texture, const CColor4& colour);
  int Build_Cells(const CVector3& position, float radius);
  CMatrix4x4 Calc_Tex_Matrix(const CProjection_Frame& frame, float radius) const;

  CD3DRenderStyle* Style(int index) const { return m_Styles[index == 1 ? 1 : 0]; }
  const CTerrain_Patch& Patch() const { return m_Patch; }
  // The texture-space projection: x and y scaled by 1/6.2 and moved to the middle.
  static CMatrix4x4 Projection_Matrix();

 private:
  // Draws both styles once as projections draw them, for the warm-up of draw states.
  void Warm_Up_Projections() const;

  bool m_Initialised = false;
  int m_Warm_Up_Drawer = 0;
  CD3DRenderStyle* m_Styles[2] = {};
  CMatrix4x4 m_Projection{};
  CTerrain_Patch m_Patch;
};

extern CGen_Projector g_Gen_Projector;

// The camera's inverse view: camera space back to world space.
CMatrix4x4 Camera_To_World();
