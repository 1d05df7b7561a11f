#pragma once
// Turns system-memory textures into device textures and keeps them: chooses the device format
// of every kind of texture from what the device accepts, creates 2D, cube and volume textures
// and plain 2D surfaces, uploads pixels level by level, hands out palette numbers, and
// releases and re-creates default-pool textures around a device reset.
#include <cstdint>
#include <set>
#include <tuple>
#include <vector>

#include "platform/d3d/d3d8.h"

class CTextureData;
class CTextureImage;

// A palette the device knows by number.
struct CTexturePalette {
  uint16_t m_PaletteId = 0;
  int32_t m_RefCount = 0;
};

// What the device textures and surfaces have in common.
class CDeviceResource {
 public:
  virtual ~CDeviceResource() = default;
  virtual uint32_t GetWidth(uint32_t level) = 0;
  virtual uint32_t GetHeight(uint32_t level) = 0;
  // The bits of a level (of a cube face) and their pitch; null when it cannot be locked.
  virtual void* Lock(uint32_t level, int32_t* pitch, uint32_t face) = 0;
  virtual int32_t Unlock(uint32_t level, uint32_t face) = 0;
  // Copies rectangles of a level into the same level of another resource.
  virtual bool CopyTo(uint32_t level, const RECT* rects, uint32_t count, CDeviceResource* target,
                      const POINT* points) = 0;
  virtual int32_t GetRefCount() = 0;
  virtual int32_t AddRef() = 0;
  // Gives back one reference; the new count (the object is not deleted here).
  virtual int32_t Release() = 0;
  // The image surface of a level (face) with a reference for the caller; null when none.
  virtual IDirect3DSurface8* GetSurface(uint32_t level, uint32_t face) = 0;
};

// A device texture made by the manager.
class CDeviceTexture : public CDeviceResource {
 public:
  // Releases the device's texture, takes its counted memory back and lets go of the palette.
  ~CDeviceTexture() override;

  uint32_t GetWidth(uint32_t level) override;
  uint32_t GetHeight(uint32_t level) override;
  void* Lock(uint32_t level, int32_t* pitch, uint32_t face) override;
  int32_t Unlock(uint32_t level, uint32_t face) override;
  bool CopyTo(uint32_t level, const RECT* rects, uint32_t count, CDeviceResource* target,
              const POINT* points) override;
  int32_t GetRefCount() override { return m_RefCount; }
  int32_t AddRef() override { return ++m_RefCount; }
  int32_t Release() override { return m_RefCount > 0 ? --m_RefCount : 0; }
  IDirect3DSurface8* GetSurface(uint32_t level, uint32_t face) override;

  uint32_t m_Width = 0;
  uint32_t m_Height = 0;
  uint32_t m_LevelCount = 0;
  uint32_t m_Depth = 1;
  uint32_t m_FormatCode = 0;  // texture data code of the device format
  CTextureData* m_pOwner = nullptr;
  uint32_t m_FirstLevel = 0;  // image level that device level 0 comes from
  int32_t m_RefCount = 0;
  // The device's texture (2D, cube or volume); null while released for a device reset.
  IDirect3DBaseTexture8* m_pTexture = nullptr;
  uint8_t m_bManaged = 0;
  uint32_t m_DeviceMemory = 0;
  uint32_t m_Flags = 0;
  CTexturePalette* m_pPalette = nullptr;
};

// A plain image surface made by the manager.
class CDeviceSurface : public CDeviceResource {
 public:
  ~CDeviceSurface() override;

  uint32_t GetWidth(uint32_t level) override;
  uint32_t GetHeight(uint32_t level) override;
  void* Lock(uint32_t level, int32_t* pitch, uint32_t face) override;
  int32_t Unlock(uint32_t level, uint32_t face) override;
  bool CopyTo(uint32_t level, const RECT* rects, uint32_t count, CDeviceResource* target,
              const POINT* points) override;
  int32_t GetRefCount() override { return m_RefCount; }
  int32_t AddRef() override { return ++m_RefCount; }
  int32_t Release() override { return m_RefCount > 0 ? --m_RefCount : 0; }
  IDirect3DSurface8* GetSurface(uint32_t level, uint32_t face) override;

  int32_t m_RefCount = 0;
  IDirect3DSurface8* m_pSurface = nullptr;
};

// Device format of a texture data format code; D3DFMT_UNKNOWN for none.
D3DFORMAT TextureCodeToFormat(int32_t code);

// Bytes of one row of a level of a device format: DXT1 2 x width, DXT3 and DXT5 4 x width,
// other formats bits per pixel x width / 8.
uint32_t GetPitch(D3DFORMAT format, uint32_t width);

class CTextureManager {
 public:
  static constexpr uint32_t kPaletteIds = 8192;

  CTextureManager() { Reset(); }

  // Chooses the formats; false (with a message) when a required one is missing.
  bool Init();
  // Deletes every device texture and surface, then Reset.
  void Term();
  void Reset();
  bool IsInitialised() const { return m_bInitialised; }

  // The device texture of a texture's image (kind 1 2D, 2 cube, 3 volume); null when it
  // cannot be made. The texture links to it.
  CDeviceTexture* CreateDeviceTexture(CTextureData* texture);
  CDeviceTexture* CreateTextureSurface(const void* pixels, uint32_t width, uint32_t height, int32_t format_code,
                                       uint8_t mipmap, uint32_t flags, const PALETTEENTRY* palette);
  CDeviceSurface* Create2DSurface(const void* pixels, uint32_t width, uint32_t height, int32_t format_code);
  // Gives back one reference; the last one (or force) deletes the wrapper.
  bool ReleaseDeviceTexture(CDeviceTexture* texture, bool force);
  bool Release2DSurface(CDeviceSurface* surface);
  // Copies (or converts) the image's levels into the texture's device texture, then drops the
  // system pixels unless the texture keeps them (flag 0x10000).
  bool UploadTexture(CTextureData* texture);
  bool SetTexturePalette(CTextureData* texture);
  CTexturePalette* CreatePalette(const PALETTEENTRY* entries);
  bool ReleasePalette(CTexturePalette* palette);
  bool AttachPalette(CTexturePalette* palette, CDeviceTexture* texture);
  bool IsTextureFormatSupported(int32_t format_code);

  // Around a device reset: default-pool textures lose and regain their device textures.
  void ReleaseDefaultPoolTextures();
  bool RestoreDefaultPoolTextures();

  // The device format of a texture's image format code and texture flags.
  D3DFORMAT ChooseTextureFormat(uint32_t format_code, uint32_t flags) const;
  // First device-usable level of an image: the first level within the size limits; -1 when
  // none is.
  int32_t FirstFittingLevel(uint32_t width, uint32_t height, uint32_t mip_count) const;
  // Applies the square-only and aspect-ratio limits of the device and console variables.
  void AdjustTextureSize(uint32_t* width, uint32_t* height) const;

  // Palette numbers: the first free one from 1 to 8191, 0 when all are used.
  uint16_t AllocPaletteId();
  void FreePaletteId(uint16_t id);

  // The chosen formats; -1 while none is chosen.
  enum EChosenFormat { kAlpha32 = 0, kAlphaTest, kAlphaBlend, kNoAlpha, kNoAlphaLowRez, kBump, kChosenCount };
  int32_t GetChosenFormat(EChosenFormat which) const { return m_Formats[which]; }

  const std::vector<CDeviceTexture*>& GetDeviceTextures() const { return m_Textures; }
  const std::vector<CDeviceSurface*>& GetSurfaces() const { return m_Surfaces; }

 private:
  bool ChooseFormats();
  bool Supports(D3DFORMAT format);
  IDirect3DBaseTexture8* CreateD3DTexture(const CTextureImage& image, uint32_t width, uint32_t height,
                                          uint32_t levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);
  void CountDeviceMemory(CDeviceTexture* wrapper, D3DFORMAT format);
  IDirect3DBaseTexture8* RecreateD3DTexture(const CDeviceTexture& texture);
  bool UploadLevel(const CTextureImage& image, uint32_t image_level, CDeviceTexture* wrapper,
                   uint32_t device_level);
  void Forget(CDeviceTexture* texture);
  // The smaller of MaxTextureSize and the device's largest texture, per side.
  void LargestSize(uint32_t* max_width, uint32_t* max_height) const;
  // Names on the error channel, once per texture, a texture none of whose levels fits.
  void SayNoLevelFits(const CTextureData& texture);

  // A texture as the line about it names it: resource id (0 for none), width and height.
  using SaidTexture = std::tuple<uint32_t, uint32_t, uint32_t>;

  std::vector<CDeviceTexture*> m_Textures;
  std::vector<CDeviceSurface*> m_Surfaces;
  int32_t m_Formats[kChosenCount];
  uint32_t m_PaletteBits[kPaletteIds / 32] = {};
  bool m_bInitialised = false;
  // Kept through Reset, so that a device made again does not say the same textures again.
  std::set<SaidTexture> m_SaidNoLevelFits;
};

extern CTextureManager g_TextureMgr;
