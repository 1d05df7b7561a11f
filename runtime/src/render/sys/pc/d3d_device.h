#pragma once
// The wrapper of the one graphics device: present parameters from the renderer's console
// variables, creation and reset with a depth-format fallback, the capabilities other code tests,
// the default device states, the lists of device-bound render objects and styles, the render
// target switch and the scene brackets.
#include <cstdint>

#include "platform/d3d/d3d8.h"
#include "runtime/src/render/sys/pc/d3d_shell.h"

class CRenderObject;
class CD3DRenderStyle;

class CD3DDevice {
 public:
  CD3DDevice() = default;
  ~CD3DDevice() { Term(); }
  CD3DDevice(const CD3DDevice&) = delete;
  CD3DDevice& operator=(const CD3DDevice&) = delete;

  bool CreateDevice(D3DAdapterInfo* adapter, D3DDeviceInfo* device, D3DModeInfo* mode);
  bool Reset(D3DModeInfo* mode);
  // The first depth format the adapter accepts on the way down from (z, s); 0 when none.
  D3DFORMAT ChooseDepthFormat(int z_bits, int stencil_bits);
  bool FreeObjects();
  bool RestoreObjects();
  void Term();

  CRenderObject* CreateRenderObject(uint32_t type);
  // Links an object made elsewhere at the head of the list and gives it its first reference.
  CRenderObject* AddRenderObject(CRenderObject* object);
  bool DestroyRenderObject(CRenderObject* object, bool force);
  CD3DRenderStyle* CreateRenderStyle();
  bool DestroyRenderStyle(CD3DRenderStyle* style);

  // Renders into level 0 of a 2D texture, or back into the back buffer with null.
  bool SetRenderTarget(IDirect3DBaseTexture8* texture);
  bool BeginScene();
  bool EndScene();
  void SetDefaultDeviceStates();
  void ReadCaps();

  IDirect3DDevice8* GetDevice() const { return m_pDevice; }
  const D3DCAPS8& GetCaps() const { return m_Caps; }
  D3DAdapterInfo* GetAdapter() const { return m_pAdapter; }
  D3DDeviceInfo* GetDeviceInfo() const { return m_pDeviceInfo; }
  D3DModeInfo* GetMode() const { return m_pMode; }
  const D3DPRESENT_PARAMETERS& GetPresentParameters() const { return m_Params; }
  D3DFORMAT GetDepthFormat() const { return m_DepthFormat; }
  bool IsSoftwareVertexProcessing() const { return m_bSoftwareVP; }
  bool HasTableFog() const { return m_bTableFog; }
  bool DepthHasStencil() const { return m_bDepthHasStencil; }
  bool DepthHasDepth() const { return m_bDepthHasDepth; }
  bool HasVertexDeclTypes() const { return m_bVertexDeclTypes; }
  bool SupportsDXT(int n) const { return n == 1 ? m_bDXT1 : n == 3 ? m_bDXT3 : n == 5 ? m_bDXT5 : false; }
  bool InScene() const { return m_bInScene; }
  CRenderObject* GetRenderObjects() const { return m_pRenderObjects; }
  CD3DRenderStyle* GetRenderStyles() const { return m_pRenderStyles; }

 private:
  void FillPresentParameters(const D3DModeInfo& mode);
  D3DMULTISAMPLE_TYPE ChooseMultiSample(const D3DModeInfo& mode, bool windowed);
  void ApplyDepthFallback();
  bool TryCreate(DWORD behavior);
  void ReleaseDevice();

  IDirect3DDevice8* m_pDevice = nullptr;
  D3DCAPS8 m_Caps{};
  bool m_bSoftwareVP = false;
  bool m_bTableFog = false;
  bool m_bDepthHasStencil = false;
  bool m_bDepthHasDepth = false;
  bool m_bVertexDeclTypes = false;
  bool m_bDXT1 = false;
  bool m_bDXT3 = false;
  bool m_bDXT5 = false;
  D3DFORMAT m_DepthFormat = D3DFMT_UNKNOWN;
  D3DAdapterInfo* m_pAdapter = nullptr;
  D3DDeviceInfo* m_pDeviceInfo = nullptr;
  D3DModeInfo* m_pMode = nullptr;
  IDirect3DSurface8* m_pSavedBackBuffer = nullptr;
  CRenderObject* m_pRenderObjects = nullptr;
  CD3DRenderStyle* m_pRenderStyles = nullptr;
  bool m_bInScene = false;
  D3DPRESENT_PARAMETERS m_Params{};
};

extern CD3DDevice* g_pD3DDevice;
// The device interface itself, also set straight on by some game code.
extern IDirect3DDevice8* g_pDirect3DDevice;
