#pragma once
// Base of every object the render device's factory makes by type number. Objects are reference
// counted; the count starts at 0, the factory adds the first reference, Release never deletes
// (the device's DestroyRenderObject does).
#include <cstdint>

class CRenderObject {
 public:
  explicit CRenderObject(uint32_t type) : m_Type(type) {}
  virtual ~CRenderObject() {
    if (m_ppHolder != nullptr) *m_ppHolder = nullptr;
  }
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
  // Names the pointer a holder keeps to this object; it is cleared when the object is deleted,
  // so that a holder outliving the device (which deletes every object at shut-down) is not
  // left pointing at freed memory. Null stops it.
  void SetHolder(CRenderObject** holder) { m_ppHolder = holder; }

  // Link of the device wrapper's list of render objects.
  CRenderObject* m_pNext = nullptr;

 private:
  uint32_t m_Type;
  int32_t m_RefCount = 0;
  CRenderObject** m_ppHolder = nullptr;
};

// True while the render device has a Direct3D device, so that loads can create buffers at once.
bool RenderObjectDeviceExists();
