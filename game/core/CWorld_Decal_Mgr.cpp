#include "game/core/CWorld_Decal_Mgr.h"

#include <algorithm>

#include "game/core/WinMain.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/render_state_warm_up.h"

CWorld_Decal_Mgr g_World_Decal_Mgr;

namespace {

constexpr uint32_t kTexture_Ids[CWorld_Decal_Mgr::kTexture_Count] = {0x22000021, 0x22000014, 0x22000053,
                                                                      0x220000EB, 0x22000118};
constexpr uint32_t kStyle_Ids[CWorld_Decal_Mgr::kStyle_Count] = {0x22000012, 0x22000013};
constexpr int kDraw_Style = 1;
constexpr float kAge_Per_Step = 0.2f;
// The style's coordinate source that feeds camera-space positions to the texture matrix.
constexpr uint32_t kCamera_Space_Position = 5;
constexpr uint32_t kAddress_Clamp = 1;

// Texture coordinates from camera-space positions through the stage's matrix, clamped: whole
// terrain cells reach past the mark's square and its texture must not repeat there.
void Make_Decal_Pass(RenderPassDesc& pass, const CMatrix4x4& texture_matrix) {
  pass.Stages[0].CoordSource = kCamera_Space_Position;
  pass.Stages[0].AddressU = pass.Stages[0].AddressV = kAddress_Clamp;
  pass.Stages[0].TransformOn = 1;
  std::copy(&texture_matrix.m[0][0], &texture_matrix.m[0][0] + 16, pass.Stages[0].Matrix);
}

}  // namespace

bool CWorld_Decal_Mgr::Init() {
  // A second start lets go of what the first one holds before taking it again.
  if (m_Initialised) Term();
  for (int i = 0; i < kTexture_Count; ++i) {
    m_Textures[i] = g_pTexture ? g_pTexture->GetTexture(kTexture_Ids[i]) : nullptr;
    if (!m_Textures[i]) {
      Show_Message("Error in CWorld_Decal_Mgr\nUnable to load texture...");
      Term();
      return false;
    }
  }
  for (int i = 0; i < kStyle_Count; ++i) {
    m_Styles[i] = g_pWorldRenderStyles ? g_pWorldRenderStyles->GetRenderStyle(kStyle_Ids[i]) : nullptr;
    if (!m_Styles[i]) {
      Show_Message("Error in CWorld_Decal_Mgr\nUnable to load shader...");
      Term();
      return false;
    }
  }
  std::fill(std::begin(m_In_Use), std::end(m_In_Use), false);
  m_Initialised = true;
  m_Warm_Up_Drawer = Add_Warm_Up_Drawer([this] { Warm_Up_Decal_Pass(); });
  return true;
}

void CWorld_Decal_Mgr::Warm_Up_Decal_Pass() const {
  if (!m_Initialised) return;
  Warm_Up_Rewritten_Style(m_Styles[kDraw_Style], [](uint32_t index, RenderPassDesc& pass) {
    if (index == 0) Make_Decal_Pass(pass, CMatrix4x4{});
  });
}

void CWorld_Decal_Mgr::Term() {
  Remove_Warm_Up_Drawer(m_Warm_Up_Drawer);
  m_Warm_Up_Drawer = 0;
  for (CTextureData*& texture : m_Textures) {
    if (texture && g_pTexture) g_pTexture->ReleaseTexture(texture);
    texture = nullptr;
  }
  for (CD3DRenderStyle*& style : m_Styles) {
    if (style && g_pWorldRenderStyles) g_pWorldRenderStyles->ReleaseRenderStyle(style);
    style = nullptr;
  }
  m_Initialised = false;
}

bool CWorld_Decal_Mgr::Add_Decal(const CTerrain_Decal& geometry, int texture_index, const CMatrix4x4& projection,
                                 float lifetime, uint32_t color) {
  int slot = 0;
  while (slot < kMax_Decals && m_In_Use[slot]) ++slot;
  const bool usable = texture_index >= 0 && texture_index < kTexture_Count && lifetime > 0.0f &&
                      geometry.vertices != nullptr && geometry.triangle_count > 0;
  if (slot == kMax_Decals || !usable) {
    g_World.Free_Terrain_Decal(geometry.slot);
    return false;
  }
  Decal& decal = m_Decals[slot];
  decal.geometry = geometry;
  decal.texture_index = texture_index;
  decal.projection = projection;
  decal.remaining = lifetime;
  decal.inverse_lifetime = 1.0f / lifetime;
  decal.color = color;
  m_In_Use[slot] = true;
  return true;
}

void CWorld_Decal_Mgr::Clear() { std::fill(std::begin(m_In_Use), std::end(m_In_Use), false); }

int CWorld_Decal_Mgr::Live_Count() const {
  return static_cast<int>(std::count(std::begin(m_In_Use), std::end(m_In_Use), true));
}

uint32_t CWorld_Decal_Mgr::Fade_Alpha(int texture_index, float fraction_left) {
  const float f = std::max(0.0f, fraction_left);
  float alpha = 0.0f;
  if (texture_index == 1)
    alpha = f > 0.8f ? (1.0f - f) * 5.0f * 255.0f : f * 1.25f * 255.0f;
  else if (texture_index == 4)
    alpha = f > 0.6f ? (1.0f - f) * 2.5f * 255.0f : f * 1.6666667f * 255.0f;
  else
    alpha = f * 255.0f;
  return static_cast<uint32_t>(std::min(alpha, 255.0f));
}

void CWorld_Decal_Mgr::Render(float step) {
  for (int slot = 0; slot < kMax_Decals; ++slot) {
    if (!m_In_Use[slot]) continue;
    Decal& decal = m_Decals[slot];
    decal.remaining -= step * kAge_Per_Step;
    if (decal.remaining <= 0.0f) {
      g_World.Free_Terrain_Decal(decal.geometry.slot);
      m_In_Use[slot] = false;
      continue;
    }
    const uint32_t alpha = Fade_Alpha(decal.texture_index, decal.remaining * decal.inverse_lifetime);
    decal.color = (decal.color & 0x00FFFFFFu) | (alpha << 24);
    Draw(decal);
  }
}

void CWorld_Decal_Mgr::Draw(Decal& decal) {
  CD3DRenderStyle* style = m_Styles[kDraw_Style];
  if (!m_Initialised || !g_pWorldDrawPrim || !style || !g_pRenderDevice) return;
  // Texture coordinates come from camera-space positions: back to the world through the inverse
  // view, then through the decal's projection.
  CMatrix4x4 view;
  if (!g_pRenderDevice->GetViewMatrix(&view)) return;
  view.Inverse();
  CMatrix4x4 texture_matrix;
  view.Multiply(decal.projection, texture_matrix);
  RenderPassDesc pass;
  if (style->GetPass(0, &pass)) {
    Make_Decal_Pass(pass, texture_matrix);
    style->SetPass(0, pass);
  }
  DrawPrimTexTriangle triangles[CWorld::kMax_Decal_Triangles];
  const int count = std::min(decal.geometry.triangle_count, CWorld::kMax_Decal_Triangles);
  for (int t = 0; t < count; ++t)
    for (int v = 0; v < 3; ++v) {
      triangles[t].v[v] = decal.geometry.vertices[t * 3 + v];
      triangles[t].v[v].color = decal.color;
    }
  CD3DDrawPrim& draw = *g_pWorldDrawPrim;
  draw.SetTransformType(kDrawPrimWorld);
  draw.SetTexture(m_Textures[decal.texture_index], 0);
  draw.SetRenderStyle(style);
  draw.DrawTexTriangles(triangles, static_cast<uint32_t>(count));
  draw.SetRenderStyle(nullptr);
  draw.SetTexture(nullptr, 0);
}
