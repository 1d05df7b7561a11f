#include "runtime/src/render/sys/pc/d3d_shell.h"

#include <algorithm>
#include <cstring>

#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/render_cvars.h"

CD3DShell g_D3DShell;

namespace {

Direct3DCreateFn g_CreateFn = nullptr;

constexpr uint32_t kMinWidth = 640;
constexpr uint32_t kMinHeight = 480;

bool Is16BitFormat(D3DFORMAT f) { return f == D3DFMT_R5G6B5 || f == D3DFMT_X1R5G5B5 || f == D3DFMT_A1R5G5B5; }

bool HasMode(const std::vector<D3DModeInfo>& modes, const D3DDISPLAYMODE& m) {
  for (const D3DModeInfo& mode : modes)
    if (mode.Width == m.Width && mode.Height == m.Height && mode.Format == m.Format) return true;
  return false;
}

uint32_t DefaultModeIndex(const std::vector<D3DModeInfo>& modes) {
  int last_640 = -1;
  for (size_t i = 0; i < modes.size(); ++i) {
    if (modes[i].Width != 640 || modes[i].Height != 480) continue;
    if (Is16BitFormat(modes[i].Format)) return static_cast<uint32_t>(i);
    last_640 = static_cast<int>(i);
  }
  return last_640 >= 0 ? static_cast<uint32_t>(last_640) : 0;
}

bool MatchesDepth(D3DFORMAT format, int bit_depth) {
  switch (bit_depth) {
    case 16:
      return format == D3DFMT_R5G6B5 || format == D3DFMT_X1R5G5B5;
    case 24:
    case 32:
      return format == D3DFMT_X8R8G8B8 || format == D3DFMT_R8G8B8;
    default:
      return true;
  }
}

// Copies a fixed-size text that may lack its terminator, cut to fit dest.
template <size_t N>
void CopyText(char* dest, size_t size, const char (&text)[N]) {
  const size_t length = std::min(strnlen(text, N), size - 1);
  std::memcpy(dest, text, length);
  dest[length] = '\0';
}

}  // namespace

uint32_t ModeListBitDepth(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_R8G8B8:
      return 24;
    case D3DFMT_A8R8G8B8:
      return 32;
    case D3DFMT_X8R8G8B8:
      return 24;
    case D3DFMT_R5G6B5:
      return 16;
    default:
      return 0;
  }
}

void CD3DShell::SetCreateFunction(Direct3DCreateFn create) { g_CreateFn = create; }

bool CD3DShell::Create() {
  Release();
  m_pD3D = g_CreateFn != nullptr ? g_CreateFn(D3D_SDK_VERSION) : Direct3DCreate8(D3D_SDK_VERSION);
  if (m_pD3D == nullptr || FAILED(m_pD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &m_DesktopMode)) ||
      !EnumerateAdapters()) {
    Release();
    return false;
  }
  return true;
}

void CD3DShell::Release() {
  if (m_pD3D != nullptr) m_pD3D->Release();
  m_pD3D = nullptr;
  m_Adapters.clear();
}

bool CD3DShell::EnumerateAdapters() {
  const UINT count = m_pD3D->GetAdapterCount();
  for (UINT ordinal = 0; ordinal < count; ++ordinal) {
    D3DAdapterInfo adapter{};
    if (EnumerateAdapter(ordinal, adapter)) m_Adapters.push_back(std::move(adapter));
  }
  return !m_Adapters.empty();
}

// An adapter whose identifier or current mode cannot be read is left out.
bool CD3DShell::EnumerateAdapter(UINT ordinal, D3DAdapterInfo& adapter) {
  adapter.AdapterOrdinal = ordinal;
  D3DDISPLAYMODE current{};
  if (FAILED(m_pD3D->GetAdapterIdentifier(ordinal, 0, &adapter.Identifier)) ||
      FAILED(m_pD3D->GetAdapterDisplayMode(ordinal, &current)))
    return false;
  const UINT mode_count = m_pD3D->GetAdapterModeCount(ordinal);

  std::vector<D3DFORMAT> formats{current.Format};
  std::vector<D3DModeInfo> modes;
  for (UINT i = 0; i < mode_count; ++i) {
    D3DDISPLAYMODE m{};
    if (FAILED(m_pD3D->EnumAdapterModes(ordinal, i, &m))) continue;
    if (m.Width < kMinWidth || m.Height < kMinHeight || HasMode(modes, m)) continue;
    if (std::find(formats.begin(), formats.end(), m.Format) == formats.end()) formats.push_back(m.Format);
    modes.push_back({m.Width, m.Height, m.Format, 0});
  }
  std::stable_sort(modes.begin(), modes.end(), [](const D3DModeInfo& a, const D3DModeInfo& b) {
    if (a.Format != b.Format) return a.Format < b.Format;
    if (a.Width != b.Width) return a.Width < b.Width;
    return a.Height < b.Height;
  });

  for (D3DDEVTYPE type : {D3DDEVTYPE_HAL, D3DDEVTYPE_REF}) {
    D3DDeviceInfo device{};
    EnumerateDevice(adapter, type, formats, modes, device);
    adapter.Devices.push_back(std::move(device));
  }
  return true;
}

void CD3DShell::EnumerateDevice(const D3DAdapterInfo& adapter, D3DDEVTYPE type,
                                const std::vector<D3DFORMAT>& formats, const std::vector<D3DModeInfo>& modes,
                                D3DDeviceInfo& device) {
  device.DeviceType = type;
  device.Name = type == D3DDEVTYPE_HAL ? "HAL" : "REF";
  m_pD3D->GetDeviceCaps(adapter.AdapterOrdinal, type, &device.Caps);
  const uint8_t hardware_tnl = (device.Caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) ? 1 : 0;

  std::vector<D3DFORMAT> usable;
  for (D3DFORMAT f : formats)
    if (SUCCEEDED(m_pD3D->CheckDeviceType(adapter.AdapterOrdinal, type, f, f, FALSE))) usable.push_back(f);
  for (const D3DModeInfo& m : modes) {
    if (std::find(usable.begin(), usable.end(), m.Format) == usable.end()) continue;
    device.Modes.push_back({m.Width, m.Height, m.Format, hardware_tnl});
  }

  device.DefaultModeIndex = DefaultModeIndex(device.Modes);
  const bool desktop_usable = std::find(usable.begin(), usable.end(), formats.front()) != usable.end();
  const bool windowed = desktop_usable && (device.Caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED);
  device.DesktopCompatible = device.CanDoWindowed = windowed ? 1 : 0;
}

D3DDeviceChoice CD3DShell::FindDeviceByName(const char* name) {
  if (name == nullptr) return {};
  for (D3DAdapterInfo& adapter : m_Adapters)
    for (D3DDeviceInfo& device : adapter.Devices)
      if (std::strcmp(device.Name, name) == 0) return {&adapter, &device};
  return {};
}

D3DDeviceChoice CD3DShell::FindDefaultDevice(bool windowed) {
  for (D3DAdapterInfo& adapter : m_Adapters)
    for (D3DDeviceInfo& device : adapter.Devices) {
      if (RefRast.Value != 0 && device.DeviceType != D3DDEVTYPE_REF) continue;
      if (windowed && !device.CanDoWindowed) continue;
      return {&adapter, &device};
    }
  return {};
}

D3DModeInfo* CD3DShell::FindMode(D3DDeviceInfo* device, int bit_depth, bool windowed, uint32_t width,
                                 uint32_t height) {
  if (device == nullptr) return nullptr;
  for (D3DModeInfo& mode : device->Modes) {
    if (windowed) {
      if (mode.Format == m_DesktopMode.Format) return &mode;
      continue;
    }
    if (mode.Width == width && mode.Height == height && MatchesDepth(mode.Format, bit_depth)) return &mode;
  }
  return nullptr;
}

void CD3DShell::BuildModeList(RenderMode** head) {
  if (head == nullptr) return;
  for (const D3DAdapterInfo& adapter : m_Adapters)
    for (const D3DDeviceInfo& device : adapter.Devices)
      for (const D3DModeInfo& mode : device.Modes) {
        auto* record = new RenderMode{};
        CopyText(record->Name, sizeof(record->Name), adapter.Identifier.Driver);
        CopyText(record->Description, sizeof(record->Description), adapter.Identifier.Description);
        record->Width = mode.Width;
        record->Height = mode.Height;
        record->BitDepth = ModeListBitDepth(mode.Format);
        record->Next = *head;
        *head = record;
      }
}
