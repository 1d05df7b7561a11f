#pragma once
// The pool that serves the clump meshes their vertex and index ranges out of a few large
// buffers. Initialised with the device, its device buffers released before a device reset and
// rebuilt after it.
class CWorldClumpMgr {
 public:
  bool Init();
  void Term();
  void FreeForReset();
  bool Restore();
  bool IsInitialised() const { return m_bInitialised; }

 private:
  bool m_bInitialised = false;
};

extern CWorldClumpMgr g_WorldClumpMgr;
