#pragma once
// The render objects service: hands out renderables by resource id with a reference added,
// and frees a renderable when its last reference is given back. Reached through
// g_pRenderObjects.
#include <cstdint>

class CStream;
class CRenderableObject;

class CD3DRenderObjects {
 public:
  CD3DRenderObjects();
  virtual ~CD3DRenderObjects();
  CD3DRenderObjects(const CD3DRenderObjects&) = delete;
  CD3DRenderObjects& operator=(const CD3DRenderObjects&) = delete;

  // A renderable read from a stream (not kept by the resource manager), with one reference.
  virtual CRenderableObject* CreateRenderObject(CStream* stream, uint32_t length);
  // A renderable read from a file, with one reference; null when it cannot be opened or read.
  virtual CRenderableObject* LoadRenderObject(const char* path);
  // The renderable of a resource id with one more reference; null when unknown or unreadable.
  virtual CRenderableObject* GetRenderObject(const uint32_t& id);
  // Drops one reference; at zero the renderable is freed.
  virtual void ReleaseRenderObject(CRenderableObject* renderable);
};

extern CD3DRenderObjects* g_pRenderObjects;
