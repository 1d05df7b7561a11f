#include "runtime/src/render/sys/pc/d3d_renderstyles.h"

#include "platform/system/debug.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"

CD3DRenderStyles g_D3DRenderStyles;
CD3DRenderStyles* g_pRenderStyles = &g_D3DRenderStyles;
CRenderStyleFactory g_RenderStyleFactory;

namespace {
CInterfaceRegistration g_RenderStylesRegistration(&g_D3DRenderStyles, "IKSRenderStyles.Default", 0);
}

CD3DRenderStyle* CD3DRenderStyles::CreateRenderStyleFromDesc(const CD3DRenderStyle* source) {
  if (g_pD3DDevice == nullptr || source == nullptr) return nullptr;
  CD3DRenderStyle* style = g_pD3DDevice->CreateRenderStyle();
  if (style == nullptr || !style->CopyFrom(*source)) return nullptr;
  style->AddRef();
  style->CreateShaders();
  return style;
}

CD3DRenderStyle* CD3DRenderStyles::CreateRenderStyle(bool with_defaults) {
  if (g_pD3DDevice == nullptr) return nullptr;
  CD3DRenderStyle* style = g_pD3DDevice->CreateRenderStyle();
  if (style == nullptr) return nullptr;
  style->AddRef();
  if (with_defaults) style->SetDefaults();
  return style;
}

CD3DRenderStyle* CD3DRenderStyles::LoadRenderStyle(CStream* stream) {
  if (stream == nullptr || g_pD3DDevice == nullptr) return nullptr;
  CD3DRenderStyle* style = g_pD3DDevice->CreateRenderStyle();
  if (style == nullptr) return nullptr;
  if (!style->LoadFromStream(stream)) {
    g_pD3DDevice->DestroyRenderStyle(style);
    plat::Debug_Output("CD3DRenderStyles::LoadRenderStyle: Couldn't Load Renderstyle.");
    return nullptr;
  }
  style->AddRef();
  return style;
}

CD3DRenderStyle* CD3DRenderStyles::LoadRenderStyleFromFile(const char* path) {
  if (path == nullptr) return nullptr;
  CStream* stream = OpenStream(path, "rb");
  if (stream == nullptr) return nullptr;
  CD3DRenderStyle* style = LoadRenderStyle(stream);
  stream->Release();
  return style;
}

CD3DRenderStyle* CD3DRenderStyles::GetRenderStyle(uint32_t resource_id) {
  if (g_pRezMgr == nullptr) return nullptr;
  auto* style = static_cast<CD3DRenderStyle*>(g_pRezMgr->Get_Resource(resource_id, kRenderStyleResourceType));
  if (style != nullptr) style->AddRef();
  return style;
}

void CD3DRenderStyles::ReleaseRenderStyle(CD3DRenderStyle* style) {
  if (style == nullptr || style->Release() > 0) return;
  if (style->m_Managed) {
    if (g_pRezMgr != nullptr) g_pRezMgr->FreeResource(style->m_Resource_ID);
  } else if (g_pD3DDevice != nullptr) {
    g_pD3DDevice->DestroyRenderStyle(style);
  }
}

CRezResource* CRenderStyleFactory::Create() {
  auto* style = new CD3DRenderStyle;
  style->m_Managed = 1;
  style->m_Type = kRenderStyleResourceType;
  style->m_Tracked_Memory = sizeof(CD3DRenderStyle);
  return style;
}

void CRenderStyleFactory::Destroy(CRezResource* resource) { delete resource; }

RezExpansionBound CRenderStyleFactory::Expansion_Bound(const uint8_t* head, size_t length) const {
  return CD3DRenderStyle::Expansion_Bound(head, length);
}
