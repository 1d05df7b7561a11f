#pragma once
// The Direct3D object and the list of what the machine offers: adapters, the HAL and REF devices
// of each, and the usable display modes (at least 640x480) of each device.
#include <cstdint>
#include <vector>

#include "platform/d3d/d3d8.h"

struct RenderMode;

struct D3DModeInfo {
  uint32_t Width;
  uint32_t Height;
  D3DFORMAT Format;
  uint8_t HardwareTnL;  // the device caps have hardware transform and lighting
};

struct D3DDeviceInfo {
  D3DDEVTYPE DeviceType;
  D3DCAPS8 Caps;
  const char* Name;  // "HAL" or "REF"
  // Both set when the device can render in a window (the desktop format is usable and the caps
  // say so); the second is the one tested.
  uint32_t DesktopCompatible;
  uint32_t CanDoWindowed;
  uint32_t Reserved[2];
  // First 640x480 mode in a 16-bit format, else the last 640x480 mode, else 0.
  uint32_t DefaultModeIndex;
  std::vector<D3DModeInfo> Modes;
};

struct D3DAdapterInfo {
  uint32_t AdapterOrdinal;
  D3DADAPTER_IDENTIFIER8 Identifier;
  uint32_t Reserved[2];
  std::vector<D3DDeviceInfo> Devices;
};

// A device record with the adapter it belongs to.
struct D3DDeviceChoice {
  D3DAdapterInfo* Adapter = nullptr;
  D3DDeviceInfo* Device = nullptr;
};

using Direct3DCreateFn = IDirect3D8* (*)(UINT sdk_version);

class CD3DShell {
 public:
  CD3DShell() = default;
  ~CD3DShell() { Release(); }
  CD3DShell(const CD3DShell&) = delete;
  CD3DShell& operator=(const CD3DShell&) = delete;

  // Creates the Direct3D object, reads the desktop mode and enumerates the adapters.
  bool Create();
  void Release();

  D3DDeviceChoice FindDeviceByName(const char* name);
  // The first device that is REF when RefRast is set, and can render windowed when `windowed`.
  D3DDeviceChoice FindDefaultDevice(bool windowed);
  // The first mode of the device that fits: windowed, the first in the desktop format;
  // full screen, one of the screen size in a format of the bit depth.
  D3DModeInfo* FindMode(D3DDeviceInfo* device, int bit_depth, bool windowed, uint32_t width, uint32_t height);
  // Prepends one record per mode of every device of every adapter.
  void BuildModeList(RenderMode** head);

  IDirect3D8* GetD3D() const { return m_pD3D; }
  const D3DDISPLAYMODE& GetDesktopMode() const { return m_DesktopMode; }
  std::vector<D3DAdapterInfo>& GetAdapters() { return m_Adapters; }

  // Where the Direct3D object comes from: Direct3DCreate8 unless a test installs another source
  // (null puts the real one back).
  static void SetCreateFunction(Direct3DCreateFn create);

 private:
  bool EnumerateAdapters();
  bool EnumerateAdapter(UINT ordinal, D3DAdapterInfo& adapter);
  void EnumerateDevice(const D3DAdapterInfo& adapter, D3DDEVTYPE type, const std::vector<D3DFORMAT>& formats,
                       const std::vector<D3DModeInfo>& modes, D3DDeviceInfo& device);

  IDirect3D8* m_pD3D = nullptr;
  D3DDISPLAYMODE m_DesktopMode{};
  std::vector<D3DAdapterInfo> m_Adapters;
};

extern CD3DShell g_D3DShell;

// Bit depth of a display format as GetDeviceList reports it.
uint32_t ModeListBitDepth(D3DFORMAT format);
