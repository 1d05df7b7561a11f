#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/render_object_factory.h"

#include <cstring>

#include "platform/system/debug.h"
#include "runtime/src/render/sys/pc/d3d_formats.h"
#include "runtime/src/render/sys/pc/d3d_renderdevice.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/render_cvars.h"
#include "runtime/src/render/sys/pc/render_object.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"

CD3DDevice* g_pD3DDevice = nullptr;
IDirect3DDevice8* g_pDirect3DDevice = nullptr;

namespace {

constexpr int kMipmapStages = 4;

DWORD FloatBits(float value) {
  DWORD bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

// One row of the depth-format walk: the format tried in state (z, s) and where a refusal leads.
struct DepthStep {
  int z, s;
  D3DFORMAT format;
  int next_z, next_s;  // 0, 0: nothing further
};

constexpr DepthStep kDepthSteps[] = {
    {32, 0, D3DFMT_D32, 24, 8},     {32, 1, D3DFMT_D24S8, 32, 4},  {32, 8, D3DFMT_D24S8, 32, 4},
    {32, 4, D3DFMT_D24X4S4, 24, 8}, {24, 0, D3DFMT_D24X8, 16, 8},  {24, 1, D3DFMT_D24S8, 24, 4},
    {24, 8, D3DFMT_D24S8, 24, 4},   {24, 4, D3DFMT_D24X4S4, 24, 0}, {16, 1, D3DFMT_D15S1, 16, 4},
    {16, 8, D3DFMT_D15S1, 16, 4},   {16, 4, D3DFMT_D15S1, 16, 0},  {16, 0, D3DFMT_D16, 0, 0},
};

const DepthStep* FindDepthStep(int z, int s) {
  for (const DepthStep& step : kDepthSteps)
    if (step.z == z && step.s == s) return &step;
  return nullptr;
}

// Change hooks: a new mip level limit or bias reaches texture stages 0-3 at once.
bool OnMipmapMaxChange(const void*, const void* proposed, int) {
  if (g_pRenderStateMgr == nullptr) return true;
  const auto value = static_cast<DWORD>(*static_cast<const int32_t*>(proposed));
  for (DWORD stage = 0; stage < kMipmapStages; ++stage)
    g_pRenderStateMgr->SetTextureStageState(stage, D3DTSS_MAXMIPLEVEL, value);
  return true;
}

bool OnMipmapBiasChange(const void*, const void* proposed, int) {
  if (g_pRenderStateMgr == nullptr) return true;
  const DWORD bits = FloatBits(*static_cast<const float*>(proposed));
  for (DWORD stage = 0; stage < kMipmapStages; ++stage)
    g_pRenderStateMgr->SetTextureStageState(stage, D3DTSS_MIPMAPLODBIAS, bits);
  return true;
}

CRenderObject* NewRenderObjectOfType(uint32_t type) { return NewRenderObject(type); }

DWORD FogColor() {
  return 0xFF000000u | (static_cast<DWORD>(FogR.Value) & 0xFF) << 16 | (static_cast<DWORD>(FogG.Value) & 0xFF) << 8 |
         (static_cast<DWORD>(FogB.Value) & 0xFF);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Creation and reset
// ---------------------------------------------------------------------------------------------

D3DFORMAT CD3DDevice::ChooseDepthFormat(int z_bits, int stencil_bits) {
  IDirect3D8* d3d = g_D3DShell.GetD3D();
  if (d3d == nullptr || m_pAdapter == nullptr || m_pDeviceInfo == nullptr || m_pMode == nullptr)
    return D3DFMT_UNKNOWN;
  for (const DepthStep* step = FindDepthStep(z_bits, stencil_bits); step != nullptr;
       step = FindDepthStep(step->next_z, step->next_s)) {
    if (SUCCEEDED(d3d->CheckDeviceFormat(m_pAdapter->AdapterOrdinal, m_pDeviceInfo->DeviceType, m_pMode->Format,
                                         D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, step->format)))
      return step->format;
  }
  return D3DFMT_UNKNOWN;
}

D3DMULTISAMPLE_TYPE CD3DDevice::ChooseMultiSample(const D3DModeInfo& mode, bool windowed) {
  IDirect3D8* d3d = g_D3DShell.GetD3D();
  for (int n = AntiAliasFSOverSample.Value; n > 0; --n) {
    const auto type = static_cast<D3DMULTISAMPLE_TYPE>(n);
    if (SUCCEEDED(d3d->CheckDeviceMultiSampleType(m_pAdapter->AdapterOrdinal, m_pDeviceInfo->DeviceType,
                                                  mode.Format, windowed ? TRUE : FALSE, type)))
      return type;
  }
  return D3DMULTISAMPLE_NONE;
}

void CD3DDevice::FillPresentParameters(const D3DModeInfo& mode) {
  const CD3DRenderDevice& rd = *g_pD3DRenderDevice;
  const bool windowed = rd.IsWindowed();
  D3DPRESENT_PARAMETERS& p = m_Params;
  std::memset(&p, 0, sizeof(p));
  p.BackBufferWidth = windowed ? static_cast<UINT>(rd.GetScreenWidthConst()) : mode.Width;
  p.BackBufferHeight = windowed ? static_cast<UINT>(rd.GetScreenHeightConst()) : mode.Height;
  p.BackBufferFormat = mode.Format;
  if (windowed || ForceSwapEffectBlt.Value != 0) {
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_COPY;
  } else {
    p.BackBufferCount = static_cast<UINT>(BackBufferCount.Value);
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
  }
  p.MultiSampleType = ChooseMultiSample(mode, windowed);
  p.hDeviceWindow = rd.GetWindow();
  p.Windowed = windowed ? TRUE : FALSE;
  p.EnableAutoDepthStencil = TRUE;
  p.AutoDepthStencilFormat = ChooseDepthFormat(ZBitDepth.Value, StencilBitDepth.Value);
  p.Flags = Lockable_BackBuffer.Value != 0 ? D3DPRESENTFLAG_LOCKABLE_BACKBUFFER : 0;
  p.FullScreen_RefreshRateInHz = NoSyncOnFlip.Value != 0 ? D3DPRESENT_RATE_UNLIMITED : D3DPRESENT_RATE_DEFAULT;
  p.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
}

// The depth bits follow the colour bits of the back buffer, as far as ZBitDepth accepts them.
void CD3DDevice::ApplyDepthFallback() {
  DWORD bits = 0;
  GetFormatBits(m_Params.BackBufferFormat, &bits, nullptr, nullptr, nullptr, nullptr);
  ZBitDepth.Set(static_cast<int32_t>(bits));
  m_Params.AutoDepthStencilFormat = ChooseDepthFormat(ZBitDepth.Value, StencilBitDepth.Value);
}

bool CD3DDevice::TryCreate(DWORD behavior) {
  IDirect3DDevice8* device = nullptr;
  const HRESULT hr =
      g_D3DShell.GetD3D()->CreateDevice(m_pAdapter->AdapterOrdinal, m_pDeviceInfo->DeviceType,
                                        g_pD3DRenderDevice->GetWindow(), behavior, &m_Params, &device);
  if (FAILED(hr) || device == nullptr) return false;
  m_pDevice = device;
  return true;
}

void CD3DDevice::ReleaseDevice() {
  if (m_pSavedBackBuffer != nullptr) m_pSavedBackBuffer->Release();
  m_pSavedBackBuffer = nullptr;
  if (m_pDevice != nullptr) m_pDevice->Release();
  if (g_pDirect3DDevice == m_pDevice) g_pDirect3DDevice = nullptr;
  m_pDevice = nullptr;
  m_bInScene = false;
}

bool CD3DDevice::CreateDevice(D3DAdapterInfo* adapter, D3DDeviceInfo* device, D3DModeInfo* mode) {
  ReleaseDevice();
  m_pAdapter = adapter;
  m_pDeviceInfo = device;
  m_pMode = mode;
  if (adapter == nullptr || device == nullptr || mode == nullptr || g_D3DShell.GetD3D() == nullptr) {
    Term();
    return false;
  }
  const bool hardware_tnl = (device->Caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) != 0;
  const DWORD behavior = hardware_tnl && ForceSWVertProcess.Value == 0 ? D3DCREATE_MIXED_VERTEXPROCESSING
                                                                       : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
  FillPresentParameters(*mode);
  if (!TryCreate(behavior)) {
    OutputDebugStringA("Warning: Create failed. Attempting to fall back...\n");
    ApplyDepthFallback();
    if (!TryCreate(behavior)) {
      Term();
      return false;
    }
  }
  g_pDirect3DDevice = m_pDevice;
  if (FAILED(m_pDevice->GetDeviceCaps(&m_Caps))) {
    Term();
    return false;
  }
  SetDefaultDeviceStates();
  ReadCaps();
  if (device->DeviceType == D3DDEVTYPE_REF)
    Render_DebugPrintf(1, "Warning: Couldnt' find any HAL devices, Using reference rasterizer.\n");
  Mipmap_Max.SetValidationCallback(OnMipmapMaxChange);
  Mipmap_Bias.SetValidationCallback(OnMipmapBiasChange);
  return true;
}

bool CD3DDevice::Reset(D3DModeInfo* mode) {
  if (m_pDevice == nullptr || mode == nullptr) return false;
  D3DModeInfo* previous = m_pMode;
  m_pMode = mode;
  FillPresentParameters(*mode);
  if (FAILED(m_pDevice->Reset(&m_Params))) {
    ApplyDepthFallback();
    if (FAILED(m_pDevice->Reset(&m_Params))) {
      m_pMode = previous;
      return false;
    }
  }
  m_bInScene = false;
  const CD3DRenderDevice& rd = *g_pD3DRenderDevice;
  if (g_pRenderStateMgr != nullptr)
    g_pRenderStateMgr->SetViewport(0, 0, static_cast<DWORD>(rd.GetScreenWidthConst()),
                                   static_cast<DWORD>(rd.GetScreenHeightConst()), 0.0f, 1.0f);
  return true;
}

void CD3DDevice::ReadCaps() {
  if (m_pDevice == nullptr) return;
  const DWORD raster = m_Caps.RasterCaps;
  m_bTableFog = (raster & D3DPRASTERCAPS_FOGTABLE) && (raster & (D3DPRASTERCAPS_WFOG | D3DPRASTERCAPS_ZFOG)) &&
                TableFog.Value != 0;

  IDirect3DSurface8* depth = nullptr;
  m_DepthFormat = D3DFMT_UNKNOWN;
  if (SUCCEEDED(m_pDevice->GetDepthStencilSurface(&depth)) && depth != nullptr) {
    D3DSURFACE_DESC desc{};
    if (SUCCEEDED(depth->GetDesc(&desc))) m_DepthFormat = desc.Format;
    depth->Release();
  }
  DWORD depth_bits = 0, stencil_bits = 0;
  GetDepthFormatBits(m_DepthFormat, &depth_bits, &stencil_bits);
  m_bDepthHasDepth = depth_bits != 0;
  m_bDepthHasStencil = stencil_bits != 0;

  m_bVertexDeclTypes = (m_Caps.VertexProcessingCaps & D3DVTXPCAPS_NO_VSDT) == 0;
  m_bSoftwareVP = (m_Caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) == 0 || ForceSWVertProcess.Value != 0;

  IDirect3D8* d3d = g_D3DShell.GetD3D();
  auto texture_ok = [&](D3DFORMAT format) {
    return d3d != nullptr && m_pAdapter != nullptr && m_pDeviceInfo != nullptr && m_pMode != nullptr &&
           SUCCEEDED(d3d->CheckDeviceFormat(m_pAdapter->AdapterOrdinal, m_pDeviceInfo->DeviceType,
                                            m_pMode->Format, 0, D3DRTYPE_TEXTURE, format));
  };
  m_bDXT1 = texture_ok(D3DFMT_DXT1);
  m_bDXT3 = texture_ok(D3DFMT_DXT3);
  m_bDXT5 = texture_ok(D3DFMT_DXT5);
}

// ---------------------------------------------------------------------------------------------
// Default states
// ---------------------------------------------------------------------------------------------

void CD3DDevice::SetDefaultDeviceStates() {
  CRenderStateMgr* rs = g_pRenderStateMgr;
  if (rs == nullptr || m_pDevice == nullptr) return;

  rs->SetRenderState(D3DRS_FOGTABLEMODE, m_bTableFog ? D3DFOG_LINEAR : D3DFOG_NONE);
  rs->SetRenderState(D3DRS_FOGVERTEXMODE, m_bTableFog ? D3DFOG_NONE : D3DFOG_LINEAR);
  rs->SetRenderState(D3DRS_FOGENABLE, static_cast<DWORD>(FogEnable.Value));
  rs->SetRenderState(D3DRS_FOGSTART, FloatBits(FogNearZ.Value));
  rs->SetRenderState(D3DRS_FOGEND, FloatBits(FogFarZ.Value));
  rs->SetRenderState(D3DRS_FOGCOLOR, FogColor());

  const struct {
    D3DRENDERSTATETYPE state;
    DWORD value;
  } states[] = {
      {D3DRS_EDGEANTIALIAS, FALSE},
      {D3DRS_CULLMODE, D3DCULL_CCW},
      {D3DRS_ZENABLE, D3DZB_TRUE},
      {D3DRS_ZWRITEENABLE, TRUE},
      {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
      {D3DRS_SPECULARENABLE, FALSE},
      {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
      {D3DRS_DITHERENABLE, TRUE},
      {D3DRS_FILLMODE, Wireframe.Value != 0 ? D3DFILL_WIREFRAME : D3DFILL_SOLID},
      {D3DRS_ALPHABLENDENABLE, FALSE},
      {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
      {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
      {D3DRS_COLORVERTEX, FALSE},
      {D3DRS_VERTEXBLEND, D3DVBF_DISABLE},
      {D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE},
      {D3DRS_NORMALIZENORMALS, static_cast<DWORD>(NormalizeNormals.Value)},
      {D3DRS_CLIPPING, TRUE},
      {D3DRS_SOFTWAREVERTEXPROCESSING, m_bSoftwareVP ? 1u : 0u},
      {D3DRS_LIGHTING, FALSE},
      {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL},
      {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL},
      {D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL},
      {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL},
  };
  for (const auto& s : states) rs->SetRenderState(s.state, s.value);

  rs->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
  rs->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
  for (DWORD stage = 0; stage < 2; ++stage) {
    rs->SetTextureStageState(stage, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    rs->SetTextureStageState(stage, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
  }
  const struct {
    DWORD op, arg1, arg2;
  } blend[2] = {{D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE}, {D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT}};
  for (DWORD stage = 0; stage < 2; ++stage) {
    rs->SetTextureStageState(stage, D3DTSS_COLOROP, blend[stage].op);
    rs->SetTextureStageState(stage, D3DTSS_COLORARG1, blend[stage].arg1);
    rs->SetTextureStageState(stage, D3DTSS_COLORARG2, blend[stage].arg2);
    rs->SetTextureStageState(stage, D3DTSS_ALPHAOP, blend[stage].op);
    rs->SetTextureStageState(stage, D3DTSS_ALPHAARG1, blend[stage].arg1);
    rs->SetTextureStageState(stage, D3DTSS_ALPHAARG2, blend[stage].arg2);
  }
  for (DWORD stage = 0; stage < kMipmapStages; ++stage) {
    rs->SetTextureStageState(stage, D3DTSS_MIPMAPLODBIAS, FloatBits(Mipmap_Bias.Value));
    rs->SetTextureStageState(stage, D3DTSS_MAXMIPLEVEL, static_cast<DWORD>(Mipmap_Max.Value));
  }
  for (DWORD stage = 0; stage < 8; ++stage) rs->SetTexture(stage, nullptr);
  rs->SetCurrentTexturePalette(0);

  D3DMATRIX identity{};
  for (int i = 0; i < 4; ++i) identity.m[i][i] = 1.0f;
  rs->SetTransform(D3DTS_WORLD, identity);
  D3DMATERIAL8 material{};
  material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
  material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
  rs->SetMaterial(material);
}

// ---------------------------------------------------------------------------------------------
// Device-bound objects
// ---------------------------------------------------------------------------------------------

bool CD3DDevice::FreeObjects() {
  for (CRenderObject* o = m_pRenderObjects; o != nullptr; o = o->m_pNext) o->ReleaseDeviceObjects();
  for (CD3DRenderStyle* s = m_pRenderStyles; s != nullptr; s = s->m_pNext) s->ReleaseShaders();
  return true;
}

bool CD3DDevice::RestoreObjects() {
  for (CRenderObject* o = m_pRenderObjects; o != nullptr; o = o->m_pNext) o->Restore();
  for (CD3DRenderStyle* s = m_pRenderStyles; s != nullptr; s = s->m_pNext) s->CreateShaders();
  return true;
}

void CD3DDevice::Term() {
  while (m_pRenderObjects != nullptr) DestroyRenderObject(m_pRenderObjects, true);
  while (m_pRenderStyles != nullptr) DestroyRenderStyle(m_pRenderStyles);
  ReleaseDevice();
  m_Caps = {};
  m_bSoftwareVP = m_bTableFog = m_bDepthHasStencil = m_bDepthHasDepth = m_bVertexDeclTypes = false;
  m_bDXT1 = m_bDXT3 = m_bDXT5 = false;
  m_DepthFormat = D3DFMT_UNKNOWN;
  m_pAdapter = nullptr;
  m_pDeviceInfo = nullptr;
  m_pMode = nullptr;
  m_Params = {};
}

CRenderObject* CD3DDevice::CreateRenderObject(uint32_t type) {
  CRenderObject* object = NewRenderObjectOfType(type);
  if (object == nullptr) {
    Render_DebugPrintf(1, "CreateRenderObject: Could not created type: %d\n", static_cast<int>(type));
    return nullptr;
  }
  return AddRenderObject(object);
}

CRenderObject* CD3DDevice::AddRenderObject(CRenderObject* object) {
  if (object == nullptr) return nullptr;
  object->AddRef();
  object->m_pNext = m_pRenderObjects;
  m_pRenderObjects = object;
  return object;
}

bool CD3DDevice::DestroyRenderObject(CRenderObject* object, bool force) {
  if (object == nullptr) return false;
  CRenderObject** link = &m_pRenderObjects;
  while (*link != nullptr && *link != object) link = &(*link)->m_pNext;
  if (*link == nullptr) return false;
  object->Release();
  if (object->GetRefCount() != 0 && !force) return true;
  *link = object->m_pNext;
  delete object;
  return true;
}

CD3DRenderStyle* CD3DDevice::CreateRenderStyle() {
  auto* style = new CD3DRenderStyle;
  style->m_pNext = m_pRenderStyles;
  m_pRenderStyles = style;
  return style;
}

bool CD3DDevice::DestroyRenderStyle(CD3DRenderStyle* style) {
  if (style == nullptr) return false;
  CD3DRenderStyle** link = &m_pRenderStyles;
  while (*link != nullptr && *link != style) link = &(*link)->m_pNext;
  if (*link == nullptr) return false;
  if (g_pRenderStateMgr != nullptr) g_pRenderStateMgr->InvalidateStyle(style);
  *link = style->m_pNext;
  delete style;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Render target and scene
// ---------------------------------------------------------------------------------------------

bool CD3DDevice::SetRenderTarget(IDirect3DBaseTexture8* texture) {
  if (m_pDevice == nullptr) return false;
  IDirect3DSurface8* target = nullptr;
  if (texture != nullptr) {
    if (m_pSavedBackBuffer == nullptr && FAILED(m_pDevice->GetRenderTarget(&m_pSavedBackBuffer))) {
      m_pSavedBackBuffer = nullptr;
      return false;
    }
    if (texture->GetType() != D3DRTYPE_TEXTURE ||
        FAILED(static_cast<IDirect3DTexture8*>(texture)->GetSurfaceLevel(0, &target)))
      return false;
  } else {
    if (m_pSavedBackBuffer == nullptr) return true;
    target = m_pSavedBackBuffer;
    m_pSavedBackBuffer = nullptr;
  }
  IDirect3DSurface8* depth = nullptr;
  m_pDevice->GetDepthStencilSurface(&depth);
  const HRESULT hr = m_pDevice->SetRenderTarget(target, depth);
  if (depth != nullptr) depth->Release();
  target->Release();
  return SUCCEEDED(hr);
}

bool CD3DDevice::BeginScene() {
  if (m_bInScene || m_pDevice == nullptr || FAILED(m_pDevice->BeginScene())) return false;
  m_bInScene = true;
  return true;
}

bool CD3DDevice::EndScene() {
  if (!m_bInScene || m_pDevice == nullptr) return false;
  m_bInScene = false;
  return SUCCEEDED(m_pDevice->EndScene());
}
