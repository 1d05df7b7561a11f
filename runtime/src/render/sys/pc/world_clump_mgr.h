#pragma once
// The pool that serves the clump meshes their vertex and index ranges out of a few large
// buffers. Initialised with the device, its device buffers released before a device reset and
// rebuilt after it.
#include "runtime/src/render/sys/pc/vb_pool.h"

class CStream;

class CWorldClumpMgr : public CVBPool {
 public:
  CWorldClumpMgr();
  bool Alloc(uint32_t desc_flags, bool software, uint32_t vertex_count, uint32_t index_count, VBAllocation** out) {
    return AllocWith(desc_flags, software, 0, vertex_count, index_count, out);
  }
  // Reads the allocation's vertices and then its indices from the stream into the system copies
  // and sends them to the device buffers. False when the stream runs short (the system copies
  // then hold what was read) or a device copy failed.
  bool ReadFromStream(VBAllocation* allocation, CStream* stream);
};

extern CWorldClumpMgr g_WorldClumpMgr;
