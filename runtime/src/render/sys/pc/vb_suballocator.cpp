#include "runtime/src/render/sys/pc/vb_suballocator.h"

#include "runtime/src/render/sys/pc/render_cvars.h"

CVBSubAllocator g_VBSubAllocator;

CVBSubAllocator::CVBSubAllocator() : CVBPool(VBSubAllocator_VB_Count, VBSubAllocator_VB_Size) {}
