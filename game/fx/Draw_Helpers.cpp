#include "game/fx/Draw_Helpers.h"

#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CWorld.h"
#include "game/core/CWorld_Decal_Mgr.h"
#include "game/fx/FX_Resources.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "game/core/CGame.h"

namespace {

constexpr float kPi = 3.14159265f;

TexPosition Corner(const CVector3& p, float u, float v) { return TexPosition{p.x, p.y, p.z, u, v}; }

void Draw_One(const DrawPrimFlatTexQuad& quad) { g_pDrawPrim->DrawFlatTexQuads(&quad, 1); }

void Set_Style_And_Texture(CD3DRenderStyle* style, CTextureData* texture) {
  g_pDrawPrim->SetRenderStyle(style);
  g_pDrawPrim->SetTexture(texture, 0);
}

// The placement of a decal: the quaternion's turn with the position as its translation.
CMatrix4x4 Placement(const CQuaternion& q, const CVector3& position) {
  CMatrix4x4 m;
  m.Set_Identity();
  m.Set_Rotation_From_Quaternion(q);
  m.Set_Translation(position);
  return m;
}

bool Place(const uint32_t& kind, const CVector3& position, const float& size, const float& life,
           const uint32_t& colour, float turn) {
  CTerrain_Decal placement;
  placement.slot = -1;
  placement.triangle_count = 0;
  if (!g_World.Build_Terrain_Decal(position, size, placement)) return false;
  g_World_Decal_Mgr.Add_Decal(placement, static_cast<int>(kind), Decal_Texture_Matrix(position, size, turn), life,
                              colour);
  return true;
}

}  // namespace

void Draw_Beam_Quad(const CVector3& centre, const CVector3& a, const CVector3& b, const uint32_t& colour,
                    CD3DRenderStyle* render_style, CTextureData* texture) {
  Set_Style_And_Texture(render_style, texture);
  DrawPrimFlatTexQuad quad;
  quad.v[0] = Corner(CVector3{centre.x - a.x + b.x, centre.y - a.y + b.y, centre.z - a.z + b.z}, 0.0f, 0.0f);
  quad.v[1] = Corner(CVector3{centre.x + a.x + b.x, centre.y + a.y + b.y, centre.z + a.z + b.z}, 1.0f, 0.0f);
  quad.v[2] = Corner(CVector3{centre.x + a.x - b.x, centre.y + a.y - b.y, centre.z + a.z - b.z}, 1.0f, 1.0f);
  quad.v[3] = Corner(CVector3{centre.x - a.x - b.x, centre.y - a.y - b.y, centre.z - a.z - b.z}, 0.0f, 1.0f);
  quad.color = colour;
  Draw_One(quad);
}

void Draw_Billboard(const CVector3& position, const float& half_width, const float& half_height,
                    const uint32_t& colour, CD3DRenderStyle* render_style, CTextureData* texture) {
  CVector3 right, up;
  g_Camera.Rotation().Row0()->Scale(half_width, right);
  g_Camera.Rotation().Row1()->Scale(half_height, up);
  Draw_Beam_Quad(position, right, up, colour, render_style, texture);
}

void Draw_Axis_Quads(const CVector3& centre, CVector3 spoke, CVector3 other_vector, const CVector3& axis,
                     const unsigned& count, const float& width, const float& length, const uint32_t& colour,
                     CD3DRenderStyle* render_style, CTextureData* texture) {
  (void)other_vector;
  Set_Style_And_Texture(render_style, texture);
  if (count == 0) return;
  const float n = count < 2 ? 1.0f : static_cast<float>(count);
  CQuaternion step;
  step.From_Axis_Angle(axis, kPi / n);
  CVector3 rise;
  axis.Scale(length, rise);
  for (unsigned i = 0; i < count; ++i) {
    CVector3 reach;
    spoke.Scale(width, reach);
    const CVector3 near_end{centre.x + reach.x, centre.y + reach.y, centre.z + reach.z};
    const CVector3 far_end{centre.x - reach.x, centre.y - reach.y, centre.z - reach.z};
    DrawPrimFlatTexQuad quad;
    quad.v[0] = Corner(near_end, 0.0f, 0.0f);
    quad.v[1] = Corner(CVector3{near_end.x + rise.x, near_end.y + rise.y, near_end.z + rise.z}, 0.95f, 0.0f);
    quad.v[2] = Corner(CVector3{far_end.x + rise.x, far_end.y + rise.y, far_end.z + rise.z}, 0.95f, 1.0f);
    quad.v[3] = Corner(far_end, 0.0f, 1.0f);
    quad.color = colour;
    Draw_One(quad);
    spoke.Rotate_By_Quaternion(step);
  }
}

CMatrix4x4 Decal_Texture_Matrix(const CVector3& position, float size, float turn) {
  const float a = turn * 0.5f, b = kPi * 0.25f;
  const CQuaternion q{std::cos(a) * std::sin(b), std::sin(a) * std::cos(b), -std::sin(a) * std::sin(b),
                      std::cos(a) * std::cos(b)};
  CMatrix4x4 inverse = Placement(q, position);
  inverse.Inverse();
  CMatrix4x4 scale{};
  scale.m[0][0] = 2.0f / size;
  scale.m[1][1] = 2.0f / size;
  scale.m[2][2] = 0.0010001f;
  scale.m[3][2] = -0.00010001f;
  scale.m[3][3] = 1.0f;
  CMatrix4x4 offset{};
  offset.m[0][0] = 0.25f;
  offset.m[1][1] = 0.25f;
  offset.m[3][0] = 0.5f;
  offset.m[3][1] = 0.5f;
  offset.m[3][2] = 1.0f;
  offset.m[3][3] = 1.0f;
  CMatrix4x4 scaled, result;
  inverse.Multiply(scale, scaled);
  scaled.Multiply(offset, result);
  return result;
}

bool Place_World_Decal(const uint32_t& kind, const CVector3& position, const float& size, const float& life,
                       const uint32_t& colour) {
  return Place(kind, position, size, life, colour, 0.0f);
}

bool Place_World_Decal_Random(const uint32_t& kind, const CVector3& position, const float& size, const float& life,
                              const uint32_t& colour) {
  return Place(kind, position, size, life, colour, fx::Random_Unit() * 2.0f * kPi);
}
