#pragma once
// The pool that shares a few large vertex and index buffers among the small rigid and skinned
// meshes. Initialised with the device, its device buffers released before a device reset and
// rebuilt after it.
#include "runtime/src/render/sys/pc/vb_pool.h"

class CVBSubAllocator : public CVBPool {
 public:
  CVBSubAllocator();
  // An allocation of the given description, software flag and vertex layout; false when the
  // request is larger than a block or no block can be made.
  bool Alloc(uint32_t desc_flags, bool software, uint32_t layout, uint32_t vertex_count, uint32_t index_count,
             VBAllocation** out) {
    return AllocWith(desc_flags, software, layout, vertex_count, index_count, out);
  }
};

extern CVBSubAllocator g_VBSubAllocator;
