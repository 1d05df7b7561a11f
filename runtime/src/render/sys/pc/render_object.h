#pragma once
// Base of every object the render device's factory makes by type number. Objects are reference
// counted; the count starts at 0, the factory adds the first reference, Release never deletes
// (the device's DestroyRenderObject does).
#include <cstdint>

class CRenderObject {
 public:
  explicit CRenderObject(uint32_t type) : m_Type(type) {}
  virtual ~CRenderObject() = default;
  CRenderObject(const CRenderObject&) = delete;
  CRenderObject& operator=(const CRenderObject&) = delete;

  // Re-creates the device buffers after a device reset.
  virtual bool Restore() { return true; }
  // Releases the device buffers before a device reset.
  virtual bool ReleaseDeviceObjects() { return true; }
  virtual int32_t GetRefCount() { return m_RefCount; }
  virtual int32_t AddRef() { return ++m_RefCount; }
  virtual int32_t Release() { return --m_RefCount; }

  uint32_t GetType() const { return m_Type; }

  // Link of the device wrapper's list of render objects.
  CRenderObject* m_pNext = nullptr;

 private:
  uint32_t m_Type;
  int32_t m_RefCount = 0;
};

// True while the render device has a Direct3D device, so that loads can create buffers at once.
bool RenderObjectDeviceExists();
