#include "platform/d3d/gl_direct3d.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <tuple>

#include "platform/d3d/d3d8_test_hooks.h"
#include "platform/d3d/gl_device.h"
#include "platform/d3d/gl_frame_buffer.h"
#include "platform/d3d/gl_pixel_format.h"
#include "platform/d3d/gl_texture.h"

namespace {

HRESULT g_injected_level = D3D_OK;

// Sizes offered whatever the display reports, so that every size the game chooses from exists
// even on a headless display.
constexpr UINT kStandardSizes[][2] = {{640, 480},  {800, 600},   {1024, 768}, {1152, 864},
                                      {1280, 960}, {1280, 1024}, {1600, 1200}};
constexpr D3DFORMAT kDisplayFormats[] = {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8};

bool IsDisplayFormat(D3DFORMAT format) {
  return format == D3DFMT_R5G6B5 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_X1R5G5B5;
}

// Image surfaces hold any listed format in memory; textures of the block-compressed formats
// need OpenGL's S3TC, and volumes are never block-compressed.
bool IsTextureFormatAvailable(D3DRESOURCETYPE resource_type, D3DFORMAT format) {
  const GLPixelFormat* pf = FindGLPixelFormat(format);
  if (!pf) return false;
  const bool blocks = pf->bytes_per_block != 0;
  switch (resource_type) {
    case D3DRTYPE_SURFACE: return true;
    case D3DRTYPE_TEXTURE:
    case D3DRTYPE_CUBETEXTURE: return !blocks || GLHasS3tc();
    case D3DRTYPE_VOLUMETEXTURE: return !blocks;
    default: return false;
  }
}

bool IsRenderTargetTextureFormat(D3DFORMAT format) {
  return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_R5G6B5 ||
         format == D3DFMT_X1R5G5B5 || format == D3DFMT_A1R5G5B5 || format == D3DFMT_A4R4G4B4;
}

}  // namespace

void D3D8Test_InjectCooperativeLevel(HRESULT level) { g_injected_level = level; }
HRESULT D3D8Test_InjectedCooperativeLevel() { return g_injected_level; }

bool D3D8Test_ReadPresentedPixels(IDirect3DDevice8* device, std::vector<DWORD>* pixels, UINT* width, UINT* height) {
  GLDevice* gl = dynamic_cast<GLDevice*>(device);
  return gl && gl->ReadPresentedPixels(pixels, width, height);
}

IDirect3D8* Direct3DCreate8(UINT sdk_version) {
  if (sdk_version != D3D_SDK_VERSION) return nullptr;
  return GLDirect3D::Create();
}

GLDirect3D* GLDirect3D::Create() {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
  GLDirect3D* d3d = new GLDirect3D();
  d3d->ListModes();
  return d3d;
}

GLDirect3D::~GLDirect3D() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

ULONG GLDirect3D::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

void GLDirect3D::ListModes() {
  SDL_DisplayMode desktop = {};
  const bool known = SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0;
  desktop_.Width = known ? static_cast<UINT>(desktop.w) : 1600;
  desktop_.Height = known ? static_cast<UINT>(desktop.h) : 1200;
  desktop_.RefreshRate = known && desktop.refresh_rate > 0 ? static_cast<UINT>(desktop.refresh_rate) : 60;
  desktop_.Format = known && SDL_BITSPERPIXEL(desktop.format) == 16 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8;

  std::vector<std::pair<UINT, UINT>> sizes;
  for (const auto& size : kStandardSizes) sizes.emplace_back(size[0], size[1]);
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode = {};
    if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w > 0 && mode.h > 0) {
      sizes.emplace_back(static_cast<UINT>(mode.w), static_cast<UINT>(mode.h));
    }
  }
  std::sort(sizes.begin(), sizes.end());
  sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
  modes_.clear();
  for (D3DFORMAT format : kDisplayFormats) {
    for (const auto& [w, h] : sizes) modes_.push_back({w, h, desktop_.RefreshRate, format});
  }
}

HRESULT GLDirect3D::GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* identifier) {
  if (adapter != 0 || !identifier) return D3DERR_INVALIDCALL;
  std::memset(identifier, 0, sizeof *identifier);
  std::snprintf(identifier->Driver, sizeof identifier->Driver, "%s", "opengl");
  std::snprintf(identifier->Description, sizeof identifier->Description, "%s", "OpenGL fixed-function device");
  identifier->WHQLLevel = 0;
  return D3D_OK;
}

UINT GLDirect3D::GetAdapterModeCount(UINT adapter) { return adapter == 0 ? static_cast<UINT>(modes_.size()) : 0; }

HRESULT GLDirect3D::EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* out) {
  if (adapter != 0 || !out || mode >= modes_.size()) return D3DERR_INVALIDCALL;
  *out = modes_[mode];
  return D3D_OK;
}

HRESULT GLDirect3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) {
  if (adapter != 0 || !out) return D3DERR_INVALIDCALL;
  *out = desktop_;
  return D3D_OK;
}

HRESULT GLDirect3D::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT display_format,
                                    D3DFORMAT back_buffer_format, BOOL windowed) {
  if (adapter != 0) return D3DERR_INVALIDCALL;
  if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  if (!IsDisplayFormat(display_format) || !GLFrameBuffer::IsColorFormatSupported(back_buffer_format)) {
    return D3DERR_NOTAVAILABLE;
  }
  return D3D_OK;
}

HRESULT GLDirect3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format, DWORD usage,
                                      D3DRESOURCETYPE resource_type, D3DFORMAT check_format) {
  if (adapter != 0) return D3DERR_INVALIDCALL;
  if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  if (usage & D3DUSAGE_DEPTHSTENCIL) {
    return resource_type == D3DRTYPE_SURFACE && GLFrameBuffer::IsDepthFormatSupported(check_format)
               ? D3D_OK
               : D3DERR_NOTAVAILABLE;
  }
  if (usage & D3DUSAGE_RENDERTARGET) {
    const bool ok = (resource_type == D3DRTYPE_TEXTURE || resource_type == D3DRTYPE_SURFACE) &&
                    IsRenderTargetTextureFormat(check_format);
    return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  return IsTextureFormatAvailable(resource_type, check_format) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT GLDirect3D::CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surface_format,
                                               BOOL windowed, D3DMULTISAMPLE_TYPE samples) {
  if (adapter != 0) return D3DERR_INVALIDCALL;
  return type == D3DDEVTYPE_HAL && samples == D3DMULTISAMPLE_NONE ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT GLDirect3D::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format,
                                           D3DFORMAT render_target_format, D3DFORMAT depth_stencil_format) {
  if (adapter != 0) return D3DERR_INVALIDCALL;
  return type == D3DDEVTYPE_HAL && GLFrameBuffer::IsDepthFormatSupported(depth_stencil_format)
             ? D3D_OK
             : D3DERR_NOTAVAILABLE;
}

HRESULT GLDirect3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) {
  if (adapter != 0 || !caps) return D3DERR_INVALIDCALL;
  if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  FillCaps(caps);
  return D3D_OK;
}

HRESULT GLDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus_window, DWORD behavior_flags,
                                 D3DPRESENT_PARAMETERS* params, IDirect3DDevice8** device) {
  if (!device) return D3DERR_INVALIDCALL;
  *device = nullptr;
  if (adapter != 0 || !params) return D3DERR_INVALIDCALL;
  if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  HRESULT result = D3D_OK;
  GLDevice* created = GLDevice::Create(this, focus_window, params, &result);
  if (!created) return FAILED(result) ? result : D3DERR_NOTAVAILABLE;
  *device = created;
  return D3D_OK;
}

void GLDirect3D::FillCaps(D3DCAPS8* caps) {
  std::memset(caps, 0, sizeof *caps);
  caps->DeviceType = D3DDEVTYPE_HAL;
  caps->AdapterOrdinal = 0;
  caps->Caps2 = D3DCAPS2_FULLSCREENGAMMA | D3DCAPS2_CANRENDERWINDOWED | D3DCAPS2_DYNAMICTEXTURES;
  caps->PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
  caps->DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
                  D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_HWTRANSFORMANDLIGHT |
                  D3DDEVCAPS_HWRASTERIZATION;
  caps->PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW |
                            D3DPMISCCAPS_CULLCCW | D3DPMISCCAPS_COLORWRITEENABLE;
  // Table fog is computed from the eye-space depth, which is what w-based fog describes.
  caps->RasterCaps = D3DPRASTERCAPS_DITHER | D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_FOGVERTEX |
                     D3DPRASTERCAPS_FOGTABLE | D3DPRASTERCAPS_MIPMAPLODBIAS | D3DPRASTERCAPS_WFOG;
  caps->ZCmpCaps = D3DPCMPCAPS_ALL;
  caps->AlphaCmpCaps = D3DPCMPCAPS_ALL;
  caps->SrcBlendCaps = D3DPBLENDCAPS_ALL;
  caps->DestBlendCaps = D3DPBLENDCAPS_ALL;
  caps->ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB |
                    D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_FOGGOURAUD;
  caps->TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_ALPHAPALETTE |
                      D3DPTEXTURECAPS_PROJECTED | D3DPTEXTURECAPS_MIPMAP | D3DPTEXTURECAPS_CUBEMAP |
                      D3DPTEXTURECAPS_MIPCUBEMAP | D3DPTEXTURECAPS_VOLUMEMAP | D3DPTEXTURECAPS_MIPVOLUMEMAP;
  caps->TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                            D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
  caps->CubeTextureFilterCaps = caps->TextureFilterCaps;
  caps->VolumeTextureFilterCaps = caps->TextureFilterCaps;
  caps->TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                             D3DPTADDRESSCAPS_BORDER | D3DPTADDRESSCAPS_INDEPENDENTUV;
  caps->VolumeTextureAddressCaps = caps->TextureAddressCaps;
  caps->LineCaps = D3DLINECAPS_TEXTURE | D3DLINECAPS_ZTEST | D3DLINECAPS_BLEND | D3DLINECAPS_ALPHACMP |
                   D3DLINECAPS_FOG;
  caps->MaxTextureWidth = kMaxTextureSize;
  caps->MaxTextureHeight = kMaxTextureSize;
  caps->MaxVolumeExtent = kMaxVolumeExtent;
  caps->MaxTextureRepeat = 0;
  caps->MaxTextureAspectRatio = 0;
  caps->MaxAnisotropy = 1;
  caps->MaxVertexW = 1.0e10f;
  caps->GuardBandLeft = -16384.0f;
  caps->GuardBandTop = -16384.0f;
  caps->GuardBandRight = 16384.0f;
  caps->GuardBandBottom = 16384.0f;
  caps->StencilCaps = D3DSTENCILCAPS_ALL;
  caps->FVFCaps = 8 | D3DFVFCAPS_DONOTSTRIPELEMENTS;
  caps->TextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                        D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_MODULATE4X |
                        D3DTEXOPCAPS_ADD | D3DTEXOPCAPS_ADDSIGNED | D3DTEXOPCAPS_ADDSIGNED2X |
                        D3DTEXOPCAPS_SUBTRACT | D3DTEXOPCAPS_BLENDDIFFUSEALPHA | D3DTEXOPCAPS_BLENDTEXTUREALPHA |
                        D3DTEXOPCAPS_BLENDFACTORALPHA | D3DTEXOPCAPS_BLENDCURRENTALPHA |
                        D3DTEXOPCAPS_DOTPRODUCT3;
  caps->MaxTextureBlendStages = kTextureStages;
  caps->MaxSimultaneousTextures = kTextureStages;
  caps->VertexProcessingCaps = D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_DIRECTIONALLIGHTS | D3DVTXPCAPS_POSITIONALLIGHTS |
                               D3DVTXPCAPS_LOCALVIEWER | D3DVTXPCAPS_NO_VSDT;
  caps->MaxActiveLights = 8;
  caps->MaxUserClipPlanes = 0;
  caps->MaxVertexBlendMatrices = 0;
  caps->MaxVertexBlendMatrixIndex = 0;
  // Points are drawn up to this size (every OpenGL implementation of interest reaches it);
  // per-vertex sizes are not, so D3DFVFCAPS_PSIZE stays off.
  caps->MaxPointSize = 64.0f;
  caps->MaxPrimitiveCount = 0x000FFFFF;
  caps->MaxVertexIndex = 0x00FFFFFF;
  caps->MaxStreams = 1;
  caps->MaxStreamStride = 256;
  caps->VertexShaderVersion = 0;
  caps->MaxVertexShaderConst = 0;
  caps->PixelShaderVersion = 0;
  caps->MaxPixelShaderValue = 0.0f;
}
