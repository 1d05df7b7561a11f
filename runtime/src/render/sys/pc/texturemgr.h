#pragma once
// Turns system-memory textures into device textures and keeps them; chooses the device format
// of every kind of texture from what the device accepts.
#include <cstdint>

#include "platform/d3d/d3d8.h"

class CTextureData;
class CDeviceSurface;
struct CTexturePalette;

// A device texture made by the manager.
class CDeviceTexture {
 public:
  virtual ~CDeviceTexture() = default;
  // The device's texture (2D, cube or volume); null while released for a device reset.
  IDirect3DBaseTexture8* m_pTexture = nullptr;
};

// Device format of a texture data format code; D3DFMT_UNKNOWN for none.
D3DFORMAT TextureCodeToFormat(int32_t code);

class CTextureManager {
 public:
  CTextureManager() { Reset(); }

  // Chooses the formats; false (with a message) when a required one is missing.
  bool Init();
  void Term();
  void Reset();
  bool IsInitialised() const { return m_bInitialised; }

  CDeviceTexture* CreateDeviceTexture(CTextureData* texture);
  CDeviceTexture* CreateTextureSurface(const void* pixels, uint32_t width, uint32_t height, int32_t format_code,
                                       uint8_t mipmap, uint32_t flags, const PALETTEENTRY* palette);
  CDeviceSurface* Create2DSurface(const void* pixels, uint32_t width, uint32_t height, int32_t format_code);
  bool ReleaseDeviceTexture(CDeviceTexture* texture, bool force);
  bool Release2DSurface(CDeviceSurface* surface);
  bool UploadTexture(CTextureData* texture);
  bool SetTexturePalette(CTextureData* texture);
  CTexturePalette* CreatePalette(const PALETTEENTRY* entries);
  bool ReleasePalette(CTexturePalette* palette);
  bool AttachPalette(CTexturePalette* palette, CDeviceTexture* texture);
  bool IsTextureFormatSupported(int32_t format_code);

  // Around a device reset: default-pool textures lose and regain their device textures.
  void ReleaseDefaultPoolTextures();
  bool RestoreDefaultPoolTextures();

  // The chosen formats; -1 while none is chosen.
  enum EChosenFormat { kAlpha32 = 0, kAlphaTest, kAlphaBlend, kNoAlpha, kNoAlphaLowRez, kBump, kChosenCount };
  int32_t GetChosenFormat(EChosenFormat which) const { return m_Formats[which]; }

 private:
  bool ChooseFormats();
  bool Supports(D3DFORMAT format);

  int32_t m_Formats[kChosenCount];
  bool m_bInitialised = false;
};

extern CTextureManager g_TextureMgr;
