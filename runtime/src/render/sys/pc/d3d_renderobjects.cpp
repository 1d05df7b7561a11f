#include "runtime/src/render/sys/pc/d3d_renderobjects.h"

#include "platform/system/debug.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/render/sys/pc/renderable_object.h"

CD3DRenderObjects* g_pRenderObjects = nullptr;

namespace {
CD3DRenderObjects g_RenderObjects;
}

CD3DRenderObjects::CD3DRenderObjects() { g_pRenderObjects = this; }

CD3DRenderObjects::~CD3DRenderObjects() {
  if (g_pRenderObjects == this) g_pRenderObjects = nullptr;
}

CRenderableObject* CD3DRenderObjects::CreateRenderObject(CStream* stream, uint32_t length) {
  if (stream == nullptr) return nullptr;
  auto* renderable = new (std::nothrow) CRenderableObject();
  if (renderable == nullptr) return nullptr;
  if (!renderable->Load(stream, &length)) {
    delete renderable;
    plat::Debug_Output("CD3DRenderObjects::CreateRenderObject: Couldn't load renderable object.");
    return nullptr;
  }
  renderable->AddRef();
  return renderable;
}

CRenderableObject* CD3DRenderObjects::LoadRenderObject(const char* path) {
  CFileStream* stream = OpenStream(path, "rb");
  if (stream == nullptr) return nullptr;
  uint32_t length = 0;
  stream->GetLen(&length);
  CRenderableObject* renderable = CreateRenderObject(stream, length);
  stream->Release();
  return renderable;
}

CRenderableObject* CD3DRenderObjects::GetRenderObject(const uint32_t& id) {
  if (g_pRezMgr == nullptr) return nullptr;
  auto* renderable = static_cast<CRenderableObject*>(g_pRezMgr->Get_Resource(id, kRezType_RenderObject));
  if (renderable != nullptr) renderable->AddRef();
  return renderable;
}

void CD3DRenderObjects::ReleaseRenderObject(CRenderableObject* renderable) {
  if (renderable == nullptr) return;
  if (renderable->Release() > 0) return;
  renderable->Free();
  if (renderable->m_Managed && g_pRezMgr != nullptr) {
    g_pRezMgr->FreeResource(renderable->m_Resource_ID);
  } else {
    delete renderable;
  }
}
