#pragma once
// A renderable: the reference-counted resource (type 4) that holds one render object, a rigid
// or skinned mesh made by the render device's factory from the type stored in the resource.
#include <cstddef>
#include <cstdint>
#include <new>

#include "runtime/src/libksresource/rez_resource.h"

class CRenderObject;

constexpr uint32_t kRenderableHeaderSize = 20;

class CRenderableObject : public CRezResource {
 public:
  CRenderableObject() = default;
  ~CRenderableObject() override { Free(); }

  // The object itself is counted memory.
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
  static void operator delete(void* block) noexcept;
  static void operator delete(void* block, const std::nothrow_t&) noexcept;

  // Reads the header and the type (4 or 5), has the render device make that object and loads
  // its body. On any failure no object is left in the device's list.
  bool Load(CStream* stream, uint32_t* size) override;
  // Destroys the render object, when one is held.
  void Free() override;

  virtual int32_t GetRefCount() { return m_RefCount; }
  virtual int32_t AddRef() { return ++m_RefCount; }
  // Only counts; the render objects service frees at zero.
  virtual int32_t Release() { return --m_RefCount; }

  CRenderObject* GetRenderObject() const { return m_pRenderObject; }

  int32_t m_RefCount = 0;
  CRenderObject* m_pRenderObject = nullptr;
};

// The resource type handler of renderables (resource type 4).
class CRenderableFactory : public CRezTypeHandler {
 public:
  // A new renderable marked as made by the resource manager; null when out of memory.
  CRezResource* Create() override;
  void Destroy(CRezResource* resource) override;
  // A body of a kind Load does not read is refused from the head; the sizes of a mesh's
  // tables lie deep in its body, so any other renderable has the general bound.
  RezExpansionBound Expansion_Bound(const uint8_t* head, size_t length) const override;
};

extern CRenderableFactory g_RenderableFactory;
