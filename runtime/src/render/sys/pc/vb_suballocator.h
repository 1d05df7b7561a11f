#pragma once
// The pool that shares a few large vertex and index buffers among the small rigid and skinned
// meshes. Initialised with the device, its device buffers released before a device reset and
// rebuilt after it.
class CVBSubAllocator {
 public:
  bool Init();
  void Term();
  void FreeForReset();
  bool Restore();
  bool IsInitialised() const { return m_bInitialised; }

 private:
  bool m_bInitialised = false;
};

extern CVBSubAllocator g_VBSubAllocator;
