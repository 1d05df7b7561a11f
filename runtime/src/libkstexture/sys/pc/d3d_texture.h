#pragma once
// The texture service: creates textures in system memory, reads and writes TGA images, and
// answers questions about a texture's levels. Texture kinds: 1 single image, 2 cube of six
// faces, 3 array of images.
#include <cstdint>

#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"

class CStream;

// The largest side a texture made from a TGA image keeps; larger images are resampled.
constexpr uint32_t kTgaMaxTextureSide = 2048;
// The largest side of a TGA image that is read at all.
constexpr uint32_t kTgaMaxImageSide = 16384;

class CD3DTexture : public IKSTexture {
 public:
  // Becomes the service g_pTexture points at; the destructor hands g_pTexture back to the
  // service it pointed at before (none for the static instance) when it still points here.
  CD3DTexture();
  ~CD3DTexture() override;
  CD3DTexture(const CD3DTexture&) = delete;
  CD3DTexture& operator=(const CD3DTexture&) = delete;

  const char* GetClassName() const override { return "CD3DTexture"; }

  // A ".txb"/".ksb" texture data file or a ".tga" image (extension in any case), uploaded;
  // null for other extensions or a file that does not open or load.
  CTextureData* LoadTexture(const char* path, uint32_t mip_count, uint32_t flag) override;
  // The texture of a resource id with one more reference, its device texture made and filled
  // on first use; null when the resource manager has none.
  CTextureData* GetTexture(uint32_t resource_id) override;
  // Drops a reference; the last one returns a resource-manager texture to it and deletes any
  // other.
  void ReleaseTexture(CTextureData* texture) override;
  // A single-image texture whose levels are resampled from the given pixels (same format);
  // a non-zero flag keeps the system pixels. Null for other kinds or on failure.
  CTextureData* CreateFromData(const void* pixels, uint32_t kind, uint32_t format, uint32_t width,
                               uint32_t height, uint32_t mip_count, uint32_t image_count,
                               const uint8_t* palette, uint32_t flag) override;

  // A texture with an empty image record of the given kind (pixels zeroed, a palette for
  // format code 5) and one reference; null when out of memory or the size is 0 or above 65535.
  // A mip count of 0 gives every level down to a smaller side of 8, and at least one level;
  // counts above 8 become 8. An unknown kind leaves the record empty.
  CTextureData* CreateTexture(uint32_t kind, uint32_t format, uint32_t width, uint32_t height,
                              uint32_t mip_count, uint32_t image_count) override;

  // Makes the device texture when there is none and uploads the pixels; true.
  bool UploadTexture(CTextureData* texture) override;

  // The pixels of one level: kind 1 level `index`; kind 2 face `index`, level `level`; kind 3
  // image `index`, level `level`. Null when there are none.
  uint8_t* GetMipData(CTextureData* texture, uint32_t index, uint32_t level) override;
  uint32_t GetWidth(CTextureData* texture, uint32_t level) override;
  uint32_t GetHeight(CTextureData* texture, uint32_t level) override;
  uint32_t GetFormat(CTextureData* texture) override;
  uint32_t GetMipCount(CTextureData* texture) override;

  // A texture from a PNG or JPEG file through the device's image loader; null without a
  // device, for another pixel layout or on failure.
  CTextureData* LoadTextureD3DX(const wchar_t* path, uint32_t mip_count, uint32_t flag) override;
  // Texture data read from a stream (length: its bytes, or null for the rest of the stream),
  // with one reference and uploaded; null when it does not load.
  CTextureData* LoadTextureData(CStream* stream, uint32_t* length) override;

  // Reads an uncompressed TGA image (true colour of 24 or 32 bits, or 8-bit colour-mapped with
  // a 256-entry map) into a texture with its mip levels; null, with a diagnostic, otherwise.
  // A non-zero mip count no larger than the image allows limits the levels; a non-zero flag
  // keeps the pixels after upload.
  CTextureData* CreateTexture_TGA(CStream* stream, uint32_t mip_count, uint32_t flag) override;

  // Writes one level of a texture (its first image or face) as an uncompressed TGA image.
  bool SaveTexture_TGA(CStream* stream, CTextureData* texture, uint32_t level) override;
  // Writes pixels of format code 1 (as 32 bits) or 3 (as 24 bits) as an uncompressed TGA
  // image, bottom row first. Other formats have no TGA form and are refused.
  bool SaveTexture_TGA(CStream* stream, const void* pixels, uint32_t format, uint32_t width,
                       uint32_t height) override;

  uint8_t* LockTexture(CTextureData* texture) override;
  bool UnlockTexture(CTextureData* texture) override;

 private:
  IKSTexture* m_pPrevious;
};

extern CD3DTexture g_D3DTexture;

// The level count for a texture of the given size when none is asked for: while both sides
// exceed 8 and fewer than 8 levels are counted, both are halved; never fewer than one level.
uint32_t DefaultMipCount(uint32_t width, uint32_t height);

// Resamples source pixels into a packed destination buffer, converting between the
// uncompressed formats: a straight copy when sizes and formats agree, otherwise an
// area-weighted box filter. Paletted formats use the 256-entry palette (a paletted destination
// takes the nearest entry). False for zero sizes, block-compressed or unknown formats, or a
// paletted format without a palette.
bool StretchBlt_SW(const void* source, uint32_t source_format, uint32_t source_width,
                   uint32_t source_height, void* destination, uint32_t destination_format,
                   uint32_t destination_width, uint32_t destination_height,
                   const uint8_t* palette);
