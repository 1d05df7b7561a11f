// The calls outside Direct3D that prepare a device's draw states ahead of their first use, and
// the count of distinct draw states that shows how well that went.
#include "platform/d3d/d3d8_test_hooks.h"
#include "platform/d3d/gl_device.h"

HRESULT D3D8_SetStateWarmUp(IDirect3DDevice8* device, BOOL on) {
  auto* gl = dynamic_cast<GLDevice*>(device);
  if (!gl) return D3DERR_INVALIDCALL;
  gl->SetWarmingUp(on != FALSE);
  return D3D_OK;
}

UINT D3D8_DeviceSerial(IDirect3DDevice8* device) {
  auto* gl = dynamic_cast<GLDevice*>(device);
  return gl ? gl->Serial() : 0;
}

bool D3D8Test_CountDrawStates(IDirect3DDevice8* device, bool on) {
  auto* gl = dynamic_cast<GLDevice*>(device);
  if (!gl) return false;
  gl->DrawStates().SetCounting(on);
  if (!on) gl->DrawStates().Clear();
  return true;
}

void D3D8Test_CountDrawStatesOfNewDevices(bool on) { GLDrawStateLog::SetCountingNewDevices(on); }

UINT D3D8Test_DrawStatesSeen(IDirect3DDevice8* device) {
  auto* gl = dynamic_cast<GLDevice*>(device);
  return gl ? gl->DrawStates().Count() : 0;
}

bool D3D8Test_DescribeDrawStates(IDirect3DDevice8* device, bool on) {
  auto* gl = dynamic_cast<GLDevice*>(device);
  if (!gl) return false;
  gl->DrawStates().SetDescribing(on);
  return true;
}

std::vector<std::string> D3D8Test_TakeDrawStateDescriptions(IDirect3DDevice8* device) {
  auto* gl = dynamic_cast<GLDevice*>(device);
  return gl ? gl->DrawStates().TakeDescriptions() : std::vector<std::string>{};
}
