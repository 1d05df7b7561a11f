#include "platform/d3d/d3d8.h"
#include "platform/d3d/d3d8_test_hooks.h"

namespace {
HRESULT g_injected_level = D3D_OK;
}

void D3D8Test_InjectCooperativeLevel(HRESULT level) { g_injected_level = level; }
HRESULT D3D8Test_InjectedCooperativeLevel() { return g_injected_level; }

IDirect3D8* Direct3DCreate8(UINT sdk_version) {
  (void)sdk_version;
  return nullptr;
}
