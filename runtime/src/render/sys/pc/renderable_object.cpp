#include "runtime/src/render/sys/pc/renderable_object.h"

#include <cstdio>
#include <string>

#include "platform/system/memory.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/libksresource/rez_report.h"
#include "runtime/src/render/sys/pc/bsp_mesh.h"
#include "runtime/src/render/sys/pc/d3d_renderdevice.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"
#include "runtime/src/render/sys/pc/skinned_mesh.h"

CRenderableFactory g_RenderableFactory;

void* CRenderableObject::operator new(std::size_t size, const std::nothrow_t&) noexcept { return Counted_Alloc(size); }
void CRenderableObject::operator delete(void* block) noexcept { Counted_Free(block); }
void CRenderableObject::operator delete(void* block, const std::nothrow_t&) noexcept { Counted_Free(block); }

namespace {

bool LoadBody(CRenderObject* object, CStream* stream) {
  switch (object->GetType()) {
    case CRigidMesh::kType:
      return static_cast<CRigidMesh*>(object)->Load(stream);
    case CSkinnedMesh::kType:
      return static_cast<CSkinnedMesh*>(object)->Load(stream);
    default:
      return false;
  }
}

uint32_t Get32(const uint8_t* bytes) {
  return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

bool Known_Kind(uint32_t type) { return type == CRigidMesh::kType || type == CSkinnedMesh::kType; }

std::string Unknown_Kind(uint32_t type) {
  char why[96];
  std::snprintf(why, sizeof why, "renderable of unknown kind %u (%u rigid or %u skinned)", type, CRigidMesh::kType,
                CSkinnedMesh::kType);
  return why;
}

// True when no more than size bytes were read since start; a size of 0 sets no bound.
bool ReadWithin(CStream* stream, uint32_t start, uint32_t size) {
  uint32_t end = 0;
  return size == 0 || (stream->GetPos(&end) && end >= start && end - start <= size);
}

}  // namespace

bool CRenderableObject::Load(CStream* stream, uint32_t* size) {
  Free();
  // A resource is the first size bytes at the stream's position: a body that runs past them
  // has read the next resource's bytes and is damaged.
  const uint32_t bound = size != nullptr ? *size : 0;
  uint32_t start = 0;
  if (stream == nullptr || (bound != 0 && !stream->GetPos(&start))) return false;
  uint8_t header[kRenderableHeaderSize];
  uint8_t type_bytes[4];
  if (stream->Read(header, sizeof(header)) != sizeof(header) || stream->Read(type_bytes, 4) != 4) {
    Rez_Note_Refusal("renderable shorter than its header and kind");
    return false;
  }
  const uint32_t type = Get32(type_bytes);
  if (!Known_Kind(type)) {
    Rez_Note_Refusal(Unknown_Kind(type));
    return false;
  }
  if (g_pD3DRenderDevice == nullptr) return false;
  m_pRenderObject = g_pD3DRenderDevice->CreateRenderObject(type);
  if (m_pRenderObject == nullptr) return false;
  m_pRenderObject->SetHolder(&m_pRenderObject);
  if (!LoadBody(m_pRenderObject, stream) || !ReadWithin(stream, start, bound)) {
    Free();
    return false;
  }
  return true;
}

void CRenderableObject::Free() {
  if (m_pRenderObject == nullptr) return;
  CRenderObject* object = m_pRenderObject;
  object->SetHolder(nullptr);
  m_pRenderObject = nullptr;
  if (g_pD3DRenderDevice != nullptr) g_pD3DRenderDevice->DestroyRenderObject(object);
}

CRezResource* CRenderableFactory::Create() {
  auto* renderable = new (std::nothrow) CRenderableObject();
  if (renderable == nullptr) return nullptr;
  renderable->m_Managed = 1;
  if (g_pRezMgr != nullptr) renderable->m_Tracked_Memory += sizeof(CRenderableObject);
  return renderable;
}

void CRenderableFactory::Destroy(CRezResource* resource) {
  if (resource == nullptr) return;
  if (g_pRezMgr != nullptr && resource->m_Managed && resource->m_Tracked_Memory >= sizeof(CRenderableObject))
    resource->m_Tracked_Memory -= sizeof(CRenderableObject);
  delete resource;
}

RezExpansionBound CRenderableFactory::Expansion_Bound(const uint8_t* head, size_t length) const {
  if (length < kRenderableHeaderSize + 4) return RezExpansionBound::Need_More();
  const uint32_t type = Get32(head + kRenderableHeaderSize);
  if (!Known_Kind(type)) return RezExpansionBound::Refused(Unknown_Kind(type));
  return RezExpansionBound::Holds(kRezDefaultExpansionLimit, "");
}
