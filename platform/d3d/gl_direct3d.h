#pragma once
// The Direct3D object over SDL and OpenGL: one adapter with one hardware device, the display
// modes it can show, and the capabilities the OpenGL device implements.
#include <vector>

#include "platform/d3d/d3d8.h"

class GLDirect3D final : public IDirect3D8 {
 public:
  // Null when SDL's video system cannot be started.
  static GLDirect3D* Create();

  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override;

  UINT GetAdapterCount() override { return 1; }
  HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* identifier) override;
  UINT GetAdapterModeCount(UINT adapter) override;
  HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* out) override;
  HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) override;
  HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT display_format, D3DFORMAT back_buffer_format,
                          BOOL windowed) override;
  HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format, DWORD usage,
                            D3DRESOURCETYPE resource_type, D3DFORMAT check_format) override;
  HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surface_format, BOOL windowed,
                                     D3DMULTISAMPLE_TYPE samples) override;
  HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format,
                                 D3DFORMAT render_target_format, D3DFORMAT depth_stencil_format) override;
  HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) override;
  HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus_window, DWORD behavior_flags,
                       D3DPRESENT_PARAMETERS* params, IDirect3DDevice8** device) override;

  // What the OpenGL device implements.
  static void FillCaps(D3DCAPS8* caps);
  static constexpr UINT kMaxTextureSize = 2048;
  static constexpr UINT kMaxVolumeExtent = 256;
  static constexpr int kTextureStages = 4;

 private:
  GLDirect3D() = default;
  ~GLDirect3D();
  void ListModes();

  ULONG refs_ = 1;
  D3DDISPLAYMODE desktop_ = {};
  std::vector<D3DDISPLAYMODE> modes_;
};
