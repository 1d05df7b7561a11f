#pragma once
// The texture service interface: textures by resource id, textures made from pixels, files and
// TGA streams, TGA writing, and questions about a texture's levels. Game code reaches it
// through g_pTexture.
#include <cstdint>

#include "runtime/src/core/interface_db.h"

class CStream;
class CTextureData;

constexpr const char* kTextureServiceKey = "IKSTexture.Default";

class IKSTexture : public CInterfaceImpl {
 public:
  virtual CTextureData* LoadTexture(const char* path, uint32_t mip_count, uint32_t flag) = 0;
  virtual CTextureData* GetTexture(uint32_t resource_id) = 0;
  virtual void ReleaseTexture(CTextureData* texture) = 0;
  virtual CTextureData* CreateFromData(const void* pixels, uint32_t kind, uint32_t format, uint32_t width,
                                       uint32_t height, uint32_t mip_count, uint32_t image_count,
                                       const uint8_t* palette, uint32_t flag) = 0;
  virtual CTextureData* CreateTexture(uint32_t kind, uint32_t format, uint32_t width, uint32_t height,
                                      uint32_t mip_count, uint32_t image_count) = 0;
  virtual bool UploadTexture(CTextureData* texture) = 0;
  virtual uint8_t* GetMipData(CTextureData* texture, uint32_t index, uint32_t level) = 0;
  virtual uint32_t GetWidth(CTextureData* texture, uint32_t level) = 0;
  virtual uint32_t GetHeight(CTextureData* texture, uint32_t level) = 0;
  virtual uint32_t GetFormat(CTextureData* texture) = 0;
  virtual uint32_t GetMipCount(CTextureData* texture) = 0;
  virtual CTextureData* LoadTextureD3DX(const wchar_t* path, uint32_t mip_count, uint32_t flag) = 0;
  virtual CTextureData* LoadTextureData(CStream* stream, uint32_t* length) = 0;
  virtual CTextureData* CreateTexture_TGA(CStream* stream, uint32_t mip_count, uint32_t flag) = 0;
  virtual bool SaveTexture_TGA(CStream* stream, CTextureData* texture, uint32_t level) = 0;
  virtual bool SaveTexture_TGA(CStream* stream, const void* pixels, uint32_t format, uint32_t width,
                               uint32_t height) = 0;
  // Writing a texture's pixels: Lock gives the level-0 pixels of a single-image texture that
  // keeps its system copy (flag 0x10000), null otherwise; Unlock sends them to the device.
  virtual uint8_t* LockTexture(CTextureData* texture) = 0;
  virtual bool UnlockTexture(CTextureData* texture) = 0;
};

extern IKSTexture* g_pTexture;
