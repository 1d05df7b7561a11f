#include "game/player/Gun_Resources.h"

#include <algorithm>

#include "platform/d3d/d3d8.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/sys/pc/buffered_mesh.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/d3d_renderobjects.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/renderable_object.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"

namespace arsenal {

namespace {

constexpr D3DRENDERSTATETYPE kNormalize_Normals = static_cast<D3DRENDERSTATETYPE>(143);

uint32_t Value_Byte(float value) {
  const float scaled = value * 255.0f;
  if (!(scaled > 0.0f)) return 0;
  return scaled >= 255.0f ? 255u : static_cast<uint32_t>(scaled);
}

}  // namespace

CRenderableObject* Get_Model(uint32_t id) { return g_pRenderObjects ? g_pRenderObjects->GetRenderObject(id) : nullptr; }
CD3DRenderStyle* Get_Style(uint32_t id) { return g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(id) : nullptr; }
CTextureData* Get_Texture(uint32_t id) { return g_pTexture ? g_pTexture->GetTexture(id) : nullptr; }

void Release(CRenderableObject*& model) {
  if (model && g_pRenderObjects) g_pRenderObjects->ReleaseRenderObject(model);
  model = nullptr;
}
void Release(CD3DRenderStyle*& style) {
  if (style && g_pRenderStyles) g_pRenderStyles->ReleaseRenderStyle(style);
  style = nullptr;
}
void Release(CTextureData*& texture) {
  if (texture && g_pTexture) g_pTexture->ReleaseTexture(texture);
  texture = nullptr;
}

Resource_Sort Load_All(const uint32_t* model_ids, CRenderableObject** models, int model_count,
                       const uint32_t* style_ids, CD3DRenderStyle** styles, int style_count,
                       const uint32_t* texture_ids, CTextureData** textures, int texture_count) {
  for (int i = 0; i < model_count; ++i)
    if (!(models[i] = Get_Model(model_ids[i]))) return Resource_Sort::Model;
  for (int i = 0; i < style_count; ++i)
    if (!(styles[i] = Get_Style(style_ids[i]))) return Resource_Sort::Style;
  for (int i = 0; i < texture_count; ++i)
    if (!(textures[i] = Get_Texture(texture_ids[i]))) return Resource_Sort::Texture;
  return Resource_Sort::None;
}

void Release_All(CRenderableObject** models, int model_count, CD3DRenderStyle** styles, int style_count,
                 CTextureData** textures, int texture_count) {
  for (int i = 0; i < model_count; ++i) Release(models[i]);
  for (int i = 0; i < style_count; ++i) Release(styles[i]);
  for (int i = 0; i < texture_count; ++i) Release(textures[i]);
}

void Draw_Model(CRenderableObject* model, const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* first,
                CTextureData* second, const uint32_t* color) {
  if (!model || !style) return;
  CRenderObject* object = model->GetRenderObject();
  if (!object) return;
  CDeviceTexture* textures[3] = {first ? first->m_pDeviceTexture : nullptr,
                                 second ? second->m_pDeviceTexture : nullptr, nullptr};
  if (!textures[0]) textures[1] = nullptr;
  const DWORD factor = color ? static_cast<DWORD>(*color) : 0;
  if (object->GetType() == CRigidMesh::kType) {
    static_cast<CRigidMesh*>(object)->Render(&world, style, textures, nullptr, color ? &factor : nullptr);
  } else if (object->GetType() == CBufferedMesh::kType) {
    static_cast<CBufferedMesh*>(object)->Render(&world, style, textures, nullptr);
  }
}

namespace {

// Changes the style's first pass by `edit` and writes it back.
template <typename Edit>
void Edit_First_Pass(CD3DRenderStyle* style, const Edit& edit) {
  if (!style) return;
  RenderPassDesc pass{};
  if (!style->GetPass(0, &pass)) return;
  edit(pass);
  style->SetPass(0, pass);
  // The state manager replays recorded transitions into a style; a changed pass must drop them.
  style->Rebuild();
}

}  // namespace

void Set_First_Pass(CD3DRenderStyle* style, float value, uint32_t color) {
  Edit_First_Pass(style, [&](RenderPassDesc& pass) {
    pass.AlphaRef = Value_Byte(value);
    pass.TextureFactor = color;
  });
}

void Set_First_Pass_Value(CD3DRenderStyle* style, float value) {
  Edit_First_Pass(style, [&](RenderPassDesc& pass) { pass.AlphaRef = Value_Byte(value); });
}

void Set_First_Pass_Colour(CD3DRenderStyle* style, uint32_t color) {
  Edit_First_Pass(style, [&](RenderPassDesc& pass) { pass.TextureFactor = color; });
}

// Through the render-state manager when there is one, so that its copy of the device's states
// stays true and a later switch through it is not skipped as already made.
void Normalize_Normals(bool on) {
  if (g_pRenderStateMgr)
    g_pRenderStateMgr->SetRenderState(kNormalize_Normals, on ? 1 : 0);
  else if (g_pDirect3DDevice)
    g_pDirect3DDevice->SetRenderState(kNormalize_Normals, on ? 1 : 0);
}

}  // namespace arsenal
