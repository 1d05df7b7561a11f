#include "runtime/src/render/sys/pc/texturemgr.h"

#include <initializer_list>

#include "runtime/src/render/sys/pc/d3d_device.h"
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
  if (m_bInitialised) Reset();
}

void CTextureManager::Reset() {
  for (int32_t& f : m_Formats) f = -1;
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

// Device textures, surfaces and palettes come with the texture data they are made from.
CDeviceTexture* CTextureManager::CreateDeviceTexture(CTextureData*) { return nullptr; }

CDeviceTexture* CTextureManager::CreateTextureSurface(const void*, uint32_t, uint32_t, int32_t, uint8_t, uint32_t,
                                                      const PALETTEENTRY*) {
  return nullptr;
}

CDeviceSurface* CTextureManager::Create2DSurface(const void*, uint32_t, uint32_t, int32_t) { return nullptr; }
bool CTextureManager::ReleaseDeviceTexture(CDeviceTexture*, bool) { return false; }
bool CTextureManager::Release2DSurface(CDeviceSurface*) { return false; }
bool CTextureManager::UploadTexture(CTextureData*) { return false; }
bool CTextureManager::SetTexturePalette(CTextureData*) { return false; }
CTexturePalette* CTextureManager::CreatePalette(const PALETTEENTRY*) { return nullptr; }
bool CTextureManager::ReleasePalette(CTexturePalette*) { return false; }
bool CTextureManager::AttachPalette(CTexturePalette*, CDeviceTexture*) { return false; }

void CTextureManager::ReleaseDefaultPoolTextures() {}
bool CTextureManager::RestoreDefaultPoolTextures() { return true; }
