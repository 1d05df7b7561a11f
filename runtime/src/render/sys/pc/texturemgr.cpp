#include "runtime/src/render/sys/pc/texturemgr.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

#include "platform/d3dx/d3dx8_tex.h"
#include "platform/system/memory.h"
#include "runtime/src/libksresource/rez_report.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/libkstexture/sys/pc/texture_format.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/d3d_formats.h"
#include "runtime/src/render/sys/pc/d3d_shell.h"
#include "runtime/src/render/sys/pc/render_cvars.h"

CTextureManager g_TextureMgr;

D3DFORMAT TextureCodeToFormat(int32_t code) {
  switch (code) {
    case 1:
      return D3DFMT_A8R8G8B8;
    case 3:
      return D3DFMT_R8G8B8;
    case 5:
    case 7:
      return D3DFMT_P8;
    case 9:
      return D3DFMT_A4R4G4B4;
    case 10:
      return D3DFMT_A1R5G5B5;
    case 11:
      return D3DFMT_R5G6B5;
    case 12:
      return D3DFMT_DXT1;
    case 13:
      return D3DFMT_DXT3;
    case 14:
      return D3DFMT_DXT5;
    case 15:
      return D3DFMT_V8U8;
    default:
      return D3DFMT_UNKNOWN;
  }
}

bool CTextureManager::Init() {
  if (!ChooseFormats()) return false;
  m_bInitialised = true;
  return true;
}

void CTextureManager::Term() {
  if (!m_bInitialised) return;
  // Deleting a wrapper hands its palette back, which needs the manager still initialised.
  const std::vector<CDeviceTexture*> textures = m_Textures;
  for (CDeviceTexture* texture : textures) delete texture;
  const std::vector<CDeviceSurface*> surfaces = m_Surfaces;
  for (CDeviceSurface* surface : surfaces) delete surface;
  Reset();
}

void CTextureManager::Reset() {
  m_Textures.clear();
  m_Surfaces.clear();
  for (int32_t& f : m_Formats) f = -1;
  std::fill(std::begin(m_PaletteBits), std::end(m_PaletteBits), 0u);
  m_bInitialised = false;
}

bool CTextureManager::Supports(D3DFORMAT format) {
  IDirect3D8* d3d = g_D3DShell.GetD3D();
  if (d3d == nullptr || g_pD3DDevice == nullptr) return false;
  const D3DAdapterInfo* adapter = g_pD3DDevice->GetAdapter();
  const D3DDeviceInfo* device = g_pD3DDevice->GetDeviceInfo();
  const D3DModeInfo* mode = g_pD3DDevice->GetMode();
  if (adapter == nullptr || device == nullptr || mode == nullptr) return false;
  return SUCCEEDED(d3d->CheckDeviceFormat(adapter->AdapterOrdinal, device->DeviceType, mode->Format, 0,
                                          D3DRTYPE_TEXTURE, format));
}

bool CTextureManager::ChooseFormats() {
  struct Row {
    EChosenFormat which;
    std::initializer_list<D3DFORMAT> candidates;
    const char* missing;  // null: the format is optional
  };
  const Row rows[] = {
      {kAlpha32, {D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4, D3DFMT_A1R5G5B5}, nullptr},
      {kAlphaTest, {D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4}, "FORMAT_ALPHATEST_TEXTURE texture format missing.\n"},
      {kAlphaBlend, {D3DFMT_A4R4G4B4, D3DFMT_A1R5G5B5}, "FORMAT_ALPHABLEND_TEXTURE texture format missing.\n"},
      {kNoAlpha,
       {D3DFMT_R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R5G6B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4},
       "FORMAT_NOALPHA_TEXTURE texture format missing.\n"},
      {kNoAlphaLowRez,
       {D3DFMT_R5G6B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4},
       "FORMAT_NOALPHA_LOWREZ_TEXTURE texture format missing.\n"},
      {kBump, {D3DFMT_V8U8}, nullptr},
  };
  for (const Row& row : rows) {
    for (D3DFORMAT candidate : row.candidates) {
      if (!Supports(candidate)) continue;
      m_Formats[row.which] = static_cast<int32_t>(candidate);
      break;
    }
    if (m_Formats[row.which] == -1 && row.missing != nullptr) {
      Render_DebugPrintf(0, "%s", row.missing);
      return false;
    }
  }
  return true;
}

bool CTextureManager::IsTextureFormatSupported(int32_t format_code) {
  const D3DFORMAT format = TextureCodeToFormat(format_code);
  return format != D3DFMT_UNKNOWN && Supports(format);
}


uint32_t GetPitch(D3DFORMAT format, uint32_t width) {
  switch (format) {
    case D3DFMT_DXT1: return 2 * width;
    case D3DFMT_DXT3:
    case D3DFMT_DXT5: return 4 * width;
    default: {
      DWORD bits = 0;
      GetFormatBits(format, &bits, nullptr, nullptr, nullptr, nullptr);
      return bits * width / 8;
    }
  }
}

namespace {

IDirect3DDevice8* Device() { return g_pD3DDevice != nullptr ? g_pD3DDevice->GetDevice() : nullptr; }

// Limits of 0 count as 256.
uint32_t SizeLimit(int32_t console_limit, DWORD device_limit) {
  const uint32_t a = console_limit > 0 ? uint32_t(console_limit) : 256u;
  const uint32_t b = device_limit > 0 ? uint32_t(device_limit) : 256u;
  return std::min(a, b);
}

bool IsDxt(D3DFORMAT format) { return format == D3DFMT_DXT1 || format == D3DFMT_DXT3 || format == D3DFMT_DXT5; }

// Adds bytes to the owner's resource memory while the resource manager holds it.
void CountOwnerMemory(CTextureData* owner, int64_t bytes) {
  if (owner == nullptr || !owner->m_Managed) return;
  const int64_t total = int64_t(owner->m_Tracked_Memory) + bytes;
  owner->m_Tracked_Memory = total < 0 ? 0 : uint32_t(total);
}

// Copies rows of a locked level: each row the smaller of the two pitches.
void CopyRows(const D3DLOCKED_RECT& locked, const uint8_t* source, uint32_t source_pitch, uint32_t rows) {
  const uint32_t bytes = std::min(uint32_t(std::max(locked.Pitch, 0)), source_pitch);
  for (uint32_t row = 0; row < rows; ++row) {
    std::copy_n(source + size_t(row) * source_pitch, bytes,
                static_cast<uint8_t*>(locked.pBits) + size_t(row) * size_t(locked.Pitch));
  }
}

// Rows of a level as stored: 4-pixel block rows for the DXT formats.
uint32_t StoredRows(D3DFORMAT format, uint32_t height) {
  return IsDxt(format) ? std::max(1u, height / 4) : height;
}

// For the DXT formats the pitch is that of a row of 4x4 blocks.
uint32_t StoredPitch(D3DFORMAT format, uint32_t width) { return GetPitch(format, width); }

// Fills a surface from a whole image: straight from the image's pixels when format and size
// agree and the device takes them so, a locked copy when it does not, conversion otherwise.
bool FillSurface(IDirect3DSurface8* surface, const uint8_t* pixels, D3DFORMAT format, uint32_t width,
                 uint32_t height, const PALETTEENTRY* palette, DWORD differing_filter) {
  D3DSURFACE_DESC desc{};
  if (FAILED(surface->GetDesc(&desc))) return false;
  const uint32_t pitch = StoredPitch(format, width);
  if (desc.Format == format && desc.Width == width && desc.Height == height) {
    if (SUCCEEDED(D3D8_UploadSurfaceLevel(surface, pixels, pitch))) return true;
    D3DLOCKED_RECT locked{};
    if (FAILED(surface->LockRect(&locked, nullptr, 0))) return false;
    CopyRows(locked, pixels, pitch, StoredRows(format, height));
    surface->UnlockRect();
    return true;
  }
  const RECT whole{0, 0, LONG(width), LONG(height)};
  const bool same_size = desc.Width == width && desc.Height == height;
  return SUCCEEDED(D3DXLoadSurfaceFromMemory(surface, palette, nullptr, pixels, format, pitch, palette, &whole,
                                             same_size ? D3DX_FILTER_NONE : differing_filter, 0));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Device textures and surfaces
// ---------------------------------------------------------------------------------------------

CDeviceTexture::~CDeviceTexture() {
  if (m_pTexture != nullptr) m_pTexture->Release();
  m_pTexture = nullptr;
  if (m_DeviceMemory != 0) {
    g_Total_Mem_Allocated -= m_DeviceMemory;
    CountOwnerMemory(m_pOwner, -int64_t(m_DeviceMemory));
  }
  if (m_pOwner != nullptr && m_pOwner->m_pDeviceTexture == this) m_pOwner->m_pDeviceTexture = nullptr;
  if (m_pPalette != nullptr) g_TextureMgr.ReleasePalette(m_pPalette);
  m_pPalette = nullptr;
}

IDirect3DSurface8* CDeviceTexture::GetSurface(uint32_t level, uint32_t face) {
  if (m_pTexture == nullptr) return nullptr;
  IDirect3DSurface8* surface = nullptr;
  HRESULT hr = D3DERR_INVALIDCALL;
  switch (m_pTexture->GetType()) {
    case D3DRTYPE_TEXTURE:
      hr = static_cast<IDirect3DTexture8*>(m_pTexture)->GetSurfaceLevel(level, &surface);
      break;
    case D3DRTYPE_CUBETEXTURE:
      if (face < 6) {
        hr = static_cast<IDirect3DCubeTexture8*>(m_pTexture)
                 ->GetCubeMapSurface(D3DCUBEMAP_FACES(face), level, &surface);
      }
      break;
    default: break;
  }
  return SUCCEEDED(hr) ? surface : nullptr;
}

uint32_t CDeviceTexture::GetWidth(uint32_t level) {
  if (m_pTexture == nullptr) return 0;
  D3DSURFACE_DESC desc{};
  D3DVOLUME_DESC volume{};
  switch (m_pTexture->GetType()) {
    case D3DRTYPE_TEXTURE:
      return SUCCEEDED(static_cast<IDirect3DTexture8*>(m_pTexture)->GetLevelDesc(level, &desc)) ? desc.Width : 0;
    case D3DRTYPE_CUBETEXTURE:
      return SUCCEEDED(static_cast<IDirect3DCubeTexture8*>(m_pTexture)->GetLevelDesc(level, &desc)) ? desc.Width
                                                                                                  : 0;
    case D3DRTYPE_VOLUMETEXTURE:
      return SUCCEEDED(static_cast<IDirect3DVolumeTexture8*>(m_pTexture)->GetLevelDesc(level, &volume))
                 ? volume.Width
                 : 0;
    default: return 0;
  }
}

uint32_t CDeviceTexture::GetHeight(uint32_t level) {
  if (m_pTexture == nullptr) return 0;
  D3DSURFACE_DESC desc{};
  D3DVOLUME_DESC volume{};
  switch (m_pTexture->GetType()) {
    case D3DRTYPE_TEXTURE:
      return SUCCEEDED(static_cast<IDirect3DTexture8*>(m_pTexture)->GetLevelDesc(level, &desc)) ? desc.Height : 0;
    case D3DRTYPE_CUBETEXTURE:
      return SUCCEEDED(static_cast<IDirect3DCubeTexture8*>(m_pTexture)->GetLevelDesc(level, &desc)) ? desc.Height
                                                                                                  : 0;
    case D3DRTYPE_VOLUMETEXTURE:
      return SUCCEEDED(static_cast<IDirect3DVolumeTexture8*>(m_pTexture)->GetLevelDesc(level, &volume))
                 ? volume.Height
                 : 0;
    default: return 0;
  }
}

void* CDeviceTexture::Lock(uint32_t level, int32_t* pitch, uint32_t face) {
  if (m_pTexture == nullptr) return nullptr;
  D3DLOCKED_RECT locked{};
  HRESULT hr = D3DERR_INVALIDCALL;
  if (m_pTexture->GetType() == D3DRTYPE_TEXTURE) {
    hr = static_cast<IDirect3DTexture8*>(m_pTexture)->LockRect(level, &locked, nullptr, 0);
  } else if (m_pTexture->GetType() == D3DRTYPE_CUBETEXTURE && face < 6) {
    hr = static_cast<IDirect3DCubeTexture8*>(m_pTexture)->LockRect(D3DCUBEMAP_FACES(face), level, &locked, nullptr, 0);
  }
  if (FAILED(hr)) return nullptr;
  if (pitch != nullptr) *pitch = locked.Pitch;
  return locked.pBits;
}

int32_t CDeviceTexture::Unlock(uint32_t level, uint32_t face) {
  if (m_pTexture == nullptr) return 0;
  if (m_pTexture->GetType() == D3DRTYPE_TEXTURE) {
    return static_cast<IDirect3DTexture8*>(m_pTexture)->UnlockRect(level);
  }
  if (m_pTexture->GetType() == D3DRTYPE_CUBETEXTURE && face < 6) {
    return static_cast<IDirect3DCubeTexture8*>(m_pTexture)->UnlockRect(D3DCUBEMAP_FACES(face), level);
  }
  return 0;
}

bool CDeviceTexture::CopyTo(uint32_t level, const RECT* rects, uint32_t count, CDeviceResource* target,
                            const POINT* points) {
  IDirect3DDevice8* device = Device();
  if (device == nullptr || target == nullptr) return false;
  IDirect3DSurface8* source = GetSurface(level, 0);
  IDirect3DSurface8* destination = target->GetSurface(level, 0);
  const bool ok = source != nullptr && destination != nullptr &&
                  SUCCEEDED(device->CopyRects(source, rects, count, destination, points));
  if (source != nullptr) source->Release();
  if (destination != nullptr) destination->Release();
  return ok;
}

CDeviceSurface::~CDeviceSurface() {
  if (m_pSurface != nullptr) m_pSurface->Release();
  m_pSurface = nullptr;
}

IDirect3DSurface8* CDeviceSurface::GetSurface(uint32_t, uint32_t) {
  if (m_pSurface != nullptr) m_pSurface->AddRef();
  return m_pSurface;
}

uint32_t CDeviceSurface::GetWidth(uint32_t) {
  D3DSURFACE_DESC desc{};
  return m_pSurface != nullptr && SUCCEEDED(m_pSurface->GetDesc(&desc)) ? desc.Width : 0;
}

uint32_t CDeviceSurface::GetHeight(uint32_t) {
  D3DSURFACE_DESC desc{};
  return m_pSurface != nullptr && SUCCEEDED(m_pSurface->GetDesc(&desc)) ? desc.Height : 0;
}

void* CDeviceSurface::Lock(uint32_t, int32_t* pitch, uint32_t) {
  D3DLOCKED_RECT locked{};
  if (m_pSurface == nullptr || FAILED(m_pSurface->LockRect(&locked, nullptr, 0))) return nullptr;
  if (pitch != nullptr) *pitch = locked.Pitch;
  return locked.pBits;
}

int32_t CDeviceSurface::Unlock(uint32_t, uint32_t) { return m_pSurface != nullptr ? m_pSurface->UnlockRect() : 0; }

bool CDeviceSurface::CopyTo(uint32_t level, const RECT* rects, uint32_t count, CDeviceResource* target,
                            const POINT* points) {
  IDirect3DDevice8* device = Device();
  if (device == nullptr || target == nullptr || m_pSurface == nullptr) return false;
  IDirect3DSurface8* destination = target->GetSurface(level, 0);
  const bool ok = destination != nullptr && SUCCEEDED(device->CopyRects(m_pSurface, rects, count, destination, points));
  if (destination != nullptr) destination->Release();
  return ok;
}

// ---------------------------------------------------------------------------------------------
// Formats and sizes
// ---------------------------------------------------------------------------------------------

D3DFORMAT CTextureManager::ChooseTextureFormat(uint32_t format_code, uint32_t flags) const {
  const bool dxt = DXTEnable != 0 && g_pD3DDevice != nullptr;
  if (dxt && format_code == 12 && g_pD3DDevice->SupportsDXT(1)) return D3DFMT_DXT1;
  if (dxt && format_code == 13 && g_pD3DDevice->SupportsDXT(3)) return D3DFMT_DXT3;
  if (dxt && format_code == 14 && g_pD3DDevice->SupportsDXT(5)) return D3DFMT_DXT5;
  if (format_code == 5 || format_code == 7) return D3DFMT_P8;
  if (format_code == 15) return D3DFMT_V8U8;
  const uint32_t kind = flags & 0xF0;
  const uint32_t index = flags & 0x0F;
  auto chosen = [this](EChosenFormat which) { return D3DFORMAT(m_Formats[which]); };
  if (index < 3 && kind < 0x30) {
    if (kind == 0x20) return chosen(kAlphaBlend);
    return kind == 0x10 ? chosen(kAlphaTest) : chosen(kNoAlphaLowRez);
  }
  if (Use32BitTextures != 0) {
    if (kind == 0x30 && m_Formats[kAlpha32] != -1) return chosen(kAlpha32);
    if (index == 3 && kind == 0x00) return chosen(kNoAlpha);
    if (index == 3 && m_Formats[kAlpha32] != -1) return chosen(kAlpha32);
  }
  if (kind >= 0x20) return chosen(kAlphaBlend);
  return kind == 0x10 ? chosen(kAlphaTest) : chosen(kNoAlphaLowRez);
}

void CTextureManager::LargestSize(uint32_t* max_width, uint32_t* max_height) const {
  const D3DCAPS8* caps = g_pD3DDevice != nullptr ? &g_pD3DDevice->GetCaps() : nullptr;
  *max_width = SizeLimit(MaxTextureSize, caps != nullptr ? caps->MaxTextureWidth : 0);
  *max_height = SizeLimit(MaxTextureSize, caps != nullptr ? caps->MaxTextureHeight : 0);
}

int32_t CTextureManager::FirstFittingLevel(uint32_t width, uint32_t height, uint32_t mip_count) const {
  uint32_t max_width = 0, max_height = 0;
  LargestSize(&max_width, &max_height);
  for (uint32_t level = 0; level < mip_count && level < 32; ++level) {
    if ((width >> level) <= max_width && (height >> level) <= max_height) return int32_t(level);
  }
  return -1;
}

// The texture is drawn without its pixels from now on, which nothing else would tell. Said once
// per texture: the texture service asks again each time the texture is fetched, and a new device
// asks again for every texture.
void CTextureManager::SayNoLevelFits(const CTextureData& texture) {
  const CTextureImage& image = *texture.m_pImage;
  const SaidTexture key{texture.m_Resource_ID, image.m_Width, image.m_Height};
  if (!m_SaidNoLevelFits.insert(key).second) return;
  uint32_t max_width = 0, max_height = 0;
  LargestSize(&max_width, &max_height);
  char name[48] = "a texture without a resource id";
  if (texture.m_Resource_ID != 0) std::snprintf(name, sizeof name, "Resource ID (%x)", texture.m_Resource_ID);
  REZ_ERROR("Texture: %s of %u x %u pixels in %u level(s) has no level within %u x %u, the largest size "
            "MaxTextureSize and the device allow; it is not made.\n",
            name, unsigned(image.m_Width), unsigned(image.m_Height), unsigned(image.m_MipCount), max_width,
            max_height);
}

void CTextureManager::AdjustTextureSize(uint32_t* width, uint32_t* height) const {
  const D3DCAPS8* caps = g_pD3DDevice != nullptr ? &g_pD3DDevice->GetCaps() : nullptr;
  if (caps != nullptr && (caps->TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0) {
    *width = *height = std::max(*width, *height);
    return;
  }
  uint32_t limit = MaxTexAspectRatio > 0 ? uint32_t(int32_t(MaxTexAspectRatio)) : 0;
  if (caps != nullptr && caps->MaxTextureAspectRatio != 0 && caps->MaxTextureAspectRatio < limit) {
    limit = caps->MaxTextureAspectRatio;
  }
  if (limit == 0 || *width == 0 || *height == 0) return;
  uint32_t* shorter = *width < *height ? width : height;
  const uint32_t longer = std::max(*width, *height);
  if (longer / *shorter > limit) *shorter = std::max(1u, longer / limit);
}

// ---------------------------------------------------------------------------------------------
// Device textures from texture data
// ---------------------------------------------------------------------------------------------

IDirect3DBaseTexture8* CTextureManager::CreateD3DTexture(const CTextureImage& image, uint32_t width, uint32_t height,
                                                         uint32_t levels, DWORD usage, D3DFORMAT format,
                                                         D3DPOOL pool) {
  IDirect3DDevice8* device = Device();
  if (device == nullptr) return nullptr;
  HRESULT hr = D3DERR_INVALIDCALL;
  IDirect3DBaseTexture8* created = nullptr;
  if (image.m_Kind == kTexImage_Single) {
    IDirect3DTexture8* texture = nullptr;
    hr = device->CreateTexture(width, height, levels, usage, format, pool, &texture);
    created = texture;
  } else if (image.m_Kind == kTexImage_Cube) {
    IDirect3DCubeTexture8* texture = nullptr;
    hr = device->CreateCubeTexture(width, levels, usage, format, pool, &texture);
    created = texture;
  } else if (image.m_Kind == kTexImage_Array) {
    IDirect3DVolumeTexture8* texture = nullptr;
    hr = device->CreateVolumeTexture(width, height, image.m_ImageCount, levels, usage, format, pool, &texture);
    created = texture;
  }
  return SUCCEEDED(hr) ? created : nullptr;
}

void CTextureManager::CountDeviceMemory(CDeviceTexture* wrapper, D3DFORMAT format) {
  uint64_t bytes = 0;
  for (uint32_t level = 0; level < wrapper->m_LevelCount && level < 32; ++level) {
    bytes += uint64_t(wrapper->m_Height >> level) * GetPitch(format, wrapper->m_Width >> level);
  }
  wrapper->m_DeviceMemory = uint32_t(std::min<uint64_t>(bytes, UINT32_MAX));
  g_Total_Mem_Allocated += wrapper->m_DeviceMemory;
  CountOwnerMemory(wrapper->m_pOwner, wrapper->m_DeviceMemory);
}

CDeviceTexture* CTextureManager::CreateDeviceTexture(CTextureData* texture) {
  if (texture == nullptr || texture->m_pImage == nullptr) return nullptr;
  const CTextureImage& image = *texture->m_pImage;
  if (image.m_MipCount == 0 || image.m_Width == 0 || image.m_Height == 0) return nullptr;
  const D3DFORMAT format = ChooseTextureFormat(image.m_Format, texture->m_Flags);
  if (format == D3DFMT_UNKNOWN || int32_t(format) == -1) return nullptr;
  const bool render_target = (texture->m_Flags & kTextureFlag_RenderTarget) != 0;
  const DWORD usage = render_target ? D3DUSAGE_RENDERTARGET : 0;
  const D3DPOOL pool = render_target ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED;

  uint32_t first = uint32_t(std::clamp(int32_t(MipmapOffset), 0, 7));
  first = std::min<uint32_t>(first, image.m_MipCount - 1u);
  if (image.m_Kind == kTexImage_Single) {
    const int32_t fitting = FirstFittingLevel(image.m_Width, image.m_Height, image.m_MipCount);
    if (fitting < 0) {
      SayNoLevelFits(*texture);
      return nullptr;
    }
    first = std::max(first, uint32_t(fitting));
  }
  if (first >= image.m_MipCount) return nullptr;

  auto* wrapper = new (std::nothrow) CDeviceTexture();
  if (wrapper == nullptr) return nullptr;
  // The device texture starts at the first level used, so it is made at that level's size.
  wrapper->m_Width = std::max(1u, uint32_t(image.m_Width) >> first);
  wrapper->m_Height = std::max(1u, uint32_t(image.m_Height) >> first);
  wrapper->m_LevelCount = image.m_MipCount - first;
  wrapper->m_Depth = image.m_Kind == kTexImage_Array ? image.m_ImageCount : 1;
  wrapper->m_FormatCode = uint32_t(GetTextureFormatCode(format));
  wrapper->m_FirstLevel = first;
  wrapper->m_Flags = texture->m_Flags;
  wrapper->m_bManaged = pool == D3DPOOL_MANAGED ? 1 : 0;
  if (!IsDxt(format)) AdjustTextureSize(&wrapper->m_Width, &wrapper->m_Height);
  wrapper->m_pTexture =
      CreateD3DTexture(image, wrapper->m_Width, wrapper->m_Height, wrapper->m_LevelCount, usage, format, pool);
  if (wrapper->m_pTexture == nullptr) {
    Render_DebugPrintf(4, "Unable to create (%dx%d) texture surface.\n", int(wrapper->m_Width),
                       int(wrapper->m_Height));
    delete wrapper;
    return nullptr;
  }
  wrapper->m_pOwner = texture;
  if (wrapper->m_bManaged) CountDeviceMemory(wrapper, format);
  if (image.m_pPalette != nullptr) {
    wrapper->m_pPalette = new (std::nothrow) CTexturePalette();
    if (wrapper->m_pPalette != nullptr) {
      wrapper->m_pPalette->m_PaletteId = AllocPaletteId();
      wrapper->m_pPalette->m_RefCount = 1;
    }
  }
  texture->m_pDeviceTexture = wrapper;
  wrapper->m_RefCount = 1;
  m_Textures.push_back(wrapper);
  return wrapper;
}

bool CTextureManager::UploadLevel(const CTextureImage& image, uint32_t image_level, CDeviceTexture* wrapper,
                                  uint32_t device_level) {
  const uint32_t width = image.GetLevelWidth(image_level);
  const uint32_t height = image.GetLevelHeight(image_level);
  if (!image.HasPixels() || width == 0 || height == 0) return false;
  const uint32_t faces = image.m_Kind == kTexImage_Cube ? CTextureImage::kCubeFaces : 1;
  const D3DFORMAT format = GetD3DFormat(image.m_Format);
  const auto* palette = reinterpret_cast<const PALETTEENTRY*>(image.m_pPalette);
  for (uint32_t face = 0; face < faces; ++face) {
    const uint8_t* pixels = image.GetLevel(face, image_level);
    if (pixels == nullptr) return false;
    IDirect3DSurface8* surface = wrapper->GetSurface(device_level, face);
    if (surface == nullptr) return false;
    const bool ok = FillSurface(surface, pixels, format, width, height, palette, D3DX_FILTER_LINEAR);
    surface->Release();
    if (!ok) return false;
  }
  return true;
}

bool CTextureManager::UploadTexture(CTextureData* texture) {
  if (texture == nullptr || texture->m_pImage == nullptr || texture->m_pDeviceTexture == nullptr) return false;
  CDeviceTexture* wrapper = texture->m_pDeviceTexture;
  const CTextureImage& image = *texture->m_pImage;
  if (image.m_Kind != kTexImage_Single && image.m_Kind != kTexImage_Cube) return false;
  for (uint32_t level = 0; level < wrapper->m_LevelCount; ++level) {
    if (!UploadLevel(image, level + wrapper->m_FirstLevel, wrapper, level)) return false;
  }
  if ((texture->m_Flags & kTextureFlag_KeepPixels) == 0) texture->FreePixels();
  return SetTexturePalette(texture) || wrapper->m_pPalette == nullptr;
}

bool CTextureManager::SetTexturePalette(CTextureData* texture) {
  if (texture == nullptr || texture->m_pDeviceTexture == nullptr || texture->m_pImage == nullptr) return false;
  const CTexturePalette* palette = texture->m_pDeviceTexture->m_pPalette;
  IDirect3DDevice8* device = Device();
  if (palette == nullptr || device == nullptr || texture->m_pImage->m_pPalette == nullptr) return false;
  const auto* entries = reinterpret_cast<const PALETTEENTRY*>(texture->m_pImage->m_pPalette);
  return SUCCEEDED(device->SetPaletteEntries(palette->m_PaletteId, entries));
}

// ---------------------------------------------------------------------------------------------
// Textures and surfaces from parameters
// ---------------------------------------------------------------------------------------------

CDeviceTexture* CTextureManager::CreateTextureSurface(const void* pixels, uint32_t width, uint32_t height,
                                                      int32_t format_code, uint8_t mipmap, uint32_t flags,
                                                      const PALETTEENTRY* palette) {
  IDirect3DDevice8* device = Device();
  const D3DFORMAT format = TextureCodeToFormat(format_code);
  if (device == nullptr || format == D3DFMT_UNKNOWN || width == 0 || height == 0) return nullptr;
  DWORD usage = 0;
  D3DPOOL pool = D3DPOOL_MANAGED;
  if ((flags & kTextureFlag_RenderTarget) != 0) {
    usage = D3DUSAGE_RENDERTARGET | ((flags & 0x40000) != 0 ? D3DUSAGE_DYNAMIC : 0);
    pool = D3DPOOL_DEFAULT;
  }
  IDirect3DTexture8* texture = nullptr;
  if (FAILED(D3DXCreateTexture(device, width, height, mipmap == 0 ? 1 : 0, usage, format, pool, &texture))) {
    Render_DebugPrintf(4, "Unable to create (%dx%d) texture surface.\n", int(width), int(height));
    return nullptr;
  }
  auto* wrapper = new (std::nothrow) CDeviceTexture();
  if (wrapper == nullptr) {
    texture->Release();
    return nullptr;
  }
  wrapper->m_pTexture = texture;
  wrapper->m_Width = width;
  wrapper->m_Height = height;
  wrapper->m_LevelCount = texture->GetLevelCount();
  wrapper->m_FormatCode = uint32_t(format_code);
  wrapper->m_Flags = flags;
  wrapper->m_bManaged = pool == D3DPOOL_MANAGED ? 1 : 0;
  if (pixels != nullptr) {
    for (uint32_t level = 0; level < wrapper->m_LevelCount; ++level) {
      IDirect3DSurface8* surface = wrapper->GetSurface(level, 0);
      if (surface == nullptr) continue;
      FillSurface(surface, static_cast<const uint8_t*>(pixels), format, width, height, palette, D3DX_FILTER_LINEAR);
      surface->Release();
    }
  }
  if (palette != nullptr) wrapper->m_pPalette = CreatePalette(palette);
  wrapper->m_RefCount = 1;
  m_Textures.push_back(wrapper);
  return wrapper;
}

CDeviceSurface* CTextureManager::Create2DSurface(const void* pixels, uint32_t width, uint32_t height,
                                                 int32_t format_code) {
  IDirect3DDevice8* device = Device();
  const D3DFORMAT format = TextureCodeToFormat(format_code);
  IDirect3DSurface8* surface = nullptr;
  if (device == nullptr || format == D3DFMT_UNKNOWN ||
      FAILED(device->CreateImageSurface(width, height, format, &surface))) {
    Render_DebugPrintf(4, "Unable to create (%dx%d) 2d surface.\n", int(width), int(height));
    return nullptr;
  }
  if (pixels != nullptr) {
    const RECT whole{0, 0, LONG(width), LONG(height)};
    D3DXLoadSurfaceFromMemory(surface, nullptr, nullptr, pixels, format, GetPitch(format, width), nullptr, &whole,
                              D3DX_FILTER_LINEAR, 0);
  }
  auto* wrapper = new (std::nothrow) CDeviceSurface();
  if (wrapper == nullptr) {
    surface->Release();
    return nullptr;
  }
  wrapper->m_pSurface = surface;
  wrapper->m_RefCount = 1;
  m_Surfaces.push_back(wrapper);
  return wrapper;
}

void CTextureManager::Forget(CDeviceTexture* texture) {
  m_Textures.erase(std::remove(m_Textures.begin(), m_Textures.end(), texture), m_Textures.end());
}

bool CTextureManager::ReleaseDeviceTexture(CDeviceTexture* texture, bool force) {
  if (texture == nullptr) return false;
  if (texture->Release() > 0 && !force) return true;
  if (texture->m_pPalette != nullptr) ReleasePalette(texture->m_pPalette);
  texture->m_pPalette = nullptr;
  Forget(texture);
  delete texture;
  return true;
}

bool CTextureManager::Release2DSurface(CDeviceSurface* surface) {
  if (surface == nullptr) return false;
  if (surface->Release() > 0) return true;
  m_Surfaces.erase(std::remove(m_Surfaces.begin(), m_Surfaces.end(), surface), m_Surfaces.end());
  delete surface;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Palettes
// ---------------------------------------------------------------------------------------------

uint16_t CTextureManager::AllocPaletteId() {
  for (uint32_t id = 1; id < kPaletteIds; ++id) {
    uint32_t& word = m_PaletteBits[id / 32];
    const uint32_t bit = 1u << (id % 32);
    if ((word & bit) != 0) continue;
    word |= bit;
    return uint16_t(id);
  }
  return 0;
}

void CTextureManager::FreePaletteId(uint16_t id) {
  if (!m_bInitialised || id == 0 || id >= kPaletteIds) return;
  m_PaletteBits[id / 32] &= ~(1u << (id % 32));
}

CTexturePalette* CTextureManager::CreatePalette(const PALETTEENTRY* entries) {
  IDirect3DDevice8* device = Device();
  if (entries == nullptr || device == nullptr) return nullptr;
  auto* palette = new (std::nothrow) CTexturePalette();
  if (palette == nullptr) return nullptr;
  palette->m_PaletteId = AllocPaletteId();
  palette->m_RefCount = 1;
  if (FAILED(device->SetPaletteEntries(palette->m_PaletteId, entries))) {
    FreePaletteId(palette->m_PaletteId);
    delete palette;
    return nullptr;
  }
  return palette;
}

bool CTextureManager::ReleasePalette(CTexturePalette* palette) {
  if (palette == nullptr) return false;
  if (--palette->m_RefCount > 0) return true;
  FreePaletteId(palette->m_PaletteId);
  delete palette;
  return true;
}

bool CTextureManager::AttachPalette(CTexturePalette* palette, CDeviceTexture* texture) {
  if (texture == nullptr) return false;
  if (texture->m_pPalette != nullptr) ReleasePalette(texture->m_pPalette);
  texture->m_pPalette = palette;
  if (palette != nullptr) ++palette->m_RefCount;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Device reset
// ---------------------------------------------------------------------------------------------

void CTextureManager::ReleaseDefaultPoolTextures() {
  for (CDeviceTexture* texture : m_Textures) {
    if (texture->m_bManaged || texture->m_pTexture == nullptr) continue;
    texture->m_pTexture->Release();
    texture->m_pTexture = nullptr;
  }
}

bool CTextureManager::RestoreDefaultPoolTextures() {
  for (CDeviceTexture* texture : m_Textures) {
    if (texture->m_bManaged || texture->m_pTexture != nullptr) continue;
    texture->m_pTexture = RecreateD3DTexture(*texture);
    if (texture->m_pTexture == nullptr) {
      Render_DebugPrintf(4, "Unable to create (%dx%d) texture surface.\n", int(texture->m_Width),
                         int(texture->m_Height));
    }
  }
  return true;
}

// A cube or volume texture comes back as a cube or volume: made again as a plain 2D texture it
// would no longer match its image's faces or slices.
IDirect3DBaseTexture8* CTextureManager::RecreateD3DTexture(const CDeviceTexture& texture) {
  IDirect3DDevice8* device = Device();
  const bool render_target = (texture.m_Flags & kTextureFlag_RenderTarget) != 0;
  const DWORD usage = render_target ? D3DUSAGE_RENDERTARGET : 0;
  const D3DPOOL pool = render_target ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED;
  const D3DFORMAT format = TextureCodeToFormat(int32_t(texture.m_FormatCode));
  const CTextureImage* image = texture.m_pOwner != nullptr ? texture.m_pOwner->m_pImage : nullptr;
  if (device != nullptr && image != nullptr && image->m_Kind != kTexImage_Single) {
    return CreateD3DTexture(*image, texture.m_Width, texture.m_Height, texture.m_LevelCount, usage, format, pool);
  }
  IDirect3DTexture8* created = nullptr;
  if (FAILED(D3DXCreateTexture(device, texture.m_Width, texture.m_Height, texture.m_LevelCount, usage, format, pool,
                               &created))) {
    return nullptr;
  }
  return created;
}
