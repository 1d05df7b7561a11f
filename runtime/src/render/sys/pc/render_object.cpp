#include "runtime/src/render/sys/pc/render_object.h"

#include "runtime/src/render/sys/pc/d3d_device.h"

bool RenderObjectDeviceExists() { return g_pD3DDevice != nullptr && g_pD3DDevice->GetDevice() != nullptr; }
