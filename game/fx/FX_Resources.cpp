#include "game/fx/FX_Resources.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "platform/system/random.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/sys/pc/d3d_renderobjects.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/renderable_object.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"

namespace fx {
namespace {

std::function<bool(uint32_t)>& Filter() {
  static std::function<bool(uint32_t)> filter;
  return filter;
}

bool Accepted(uint32_t id) { return !Filter() || Filter()(id); }

constexpr uint32_t kCoord_Camera_Position = 5;
constexpr uint32_t kAlpha_Greater = 3;

}  // namespace

CTextureData* Get_Texture(uint32_t id) { return g_pTexture && Accepted(id) ? g_pTexture->GetTexture(id) : nullptr; }

CD3DRenderStyle* Get_Style(uint32_t id) {
  return g_pRenderStyles && Accepted(id) ? g_pRenderStyles->GetRenderStyle(id) : nullptr;
}

CRenderableObject* Get_Renderable(uint32_t id) {
  return g_pRenderObjects && Accepted(id) ? g_pRenderObjects->GetRenderObject(id) : nullptr;
}

void Release(CTextureData*& texture) {
  if (texture && g_pTexture) g_pTexture->ReleaseTexture(texture);
  texture = nullptr;
}

void Release(CD3DRenderStyle*& style) {
  if (style && g_pRenderStyles) g_pRenderStyles->ReleaseRenderStyle(style);
  style = nullptr;
}

void Release(CRenderableObject*& renderable) {
  if (renderable && g_pRenderObjects) g_pRenderObjects->ReleaseRenderObject(renderable);
  renderable = nullptr;
}

CTextureData* Borrow(CTextureData* texture) {
  if (texture) ++texture->m_RefCount;
  return texture;
}

CD3DRenderStyle* Borrow(CD3DRenderStyle* style) {
  if (style) style->AddRef();
  return style;
}

CDeviceTexture* Device_Texture(const CTextureData* texture) { return texture ? texture->m_pDeviceTexture : nullptr; }

bool Draw_Renderable(CRenderableObject* renderable, const CMatrix4x4& world, CD3DRenderStyle* style,
                     CTextureData* texture, const float* colour, const uint32_t* texture_factor) {
  CRenderObject* object = renderable ? renderable->GetRenderObject() : nullptr;
  if (!object || object->GetType() != CRigidMesh::kType) return false;
  CDeviceTexture* textures[2] = {Device_Texture(texture), nullptr};
  return static_cast<CRigidMesh*>(object)->Render(&world, style, textures, colour,
                                                     reinterpret_cast<const DWORD*>(texture_factor));
}

void Set_Resource_Filter(std::function<bool(uint32_t)> accept) { Filter() = std::move(accept); }

void Set_Fog(bool on) {
  if (g_pRenderStateMgr) g_pRenderStateMgr->SetRenderState(D3DRS_FOGENABLE, on ? TRUE : FALSE);
}

void Set_Normalize_Normals(bool on) {
  if (g_pRenderStateMgr) g_pRenderStateMgr->SetRenderState(D3DRS_NORMALIZENORMALS, on ? TRUE : FALSE);
}

void Write_Projection_Pass(CD3DRenderStyle* style, const CMatrix4x4& transform, uint32_t colour) {
  RenderPassDesc pass;
  if (!style || !style->GetPass(0, &pass)) return;
  Edit_Projection_Pass(pass, transform, colour);
  style->SetPass(0, pass);
  style->Rebuild();
}

void Edit_Projection_Pass(RenderPassDesc& pass, const CMatrix4x4& transform, uint32_t colour) {
  TextureStageDesc& stage = pass.Stages[0];
  stage.TransformOn = 1;
  stage.Projected = 1;
  stage.CoordSource = kCoord_Camera_Position;
  std::memcpy(stage.Matrix, transform.m, sizeof(stage.Matrix));
  pass.TextureFactor = colour;
}

void Write_Pass_Value(CD3DRenderStyle* style, float value) {
  RenderPassDesc pass;
  if (!style || !style->GetPass(0, &pass)) return;
  pass.AlphaRef = Clamp_Byte(value * 255.0f);
  pass.AlphaTest = kAlpha_Greater;
  style->SetPass(0, pass);
  style->Rebuild();
}

void Write_Pass_Blend(CD3DRenderStyle* style, const Pass_Blend& blend) {
  RenderPassDesc pass;
  if (!style || !style->GetPass(0, &pass)) return;
  Edit_Pass_Blend(pass, blend);
  style->SetPass(0, pass);
  style->Rebuild();
}

void Edit_Pass_Blend(RenderPassDesc& pass, const Pass_Blend& blend) {
  pass.BlendMode = blend.blend_mode;
  pass.Stages[0].ColorOp = blend.color_op;
  pass.Stages[0].AlphaOp = blend.alpha_op;
}

uint32_t Clamp_Byte(float value) {
  if (!(value > 0.0f)) return 0;
  if (value >= 255.0f) return 255;
  return static_cast<uint32_t>(value);
}

uint32_t Channel_Byte(float value01) { return Clamp_Byte(value01 * 255.0f); }

uint32_t Pack_Color(const float argb[4]) {
  return Channel_Byte(argb[0]) << 24 | Channel_Byte(argb[1]) << 16 | Channel_Byte(argb[2]) << 8 |
         Channel_Byte(argb[3]);
}

float Random_Unit() { return static_cast<float>(plat::Random()) / 32768.0f; }

}  // namespace fx
