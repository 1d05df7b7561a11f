#pragma once
// The texture service: creates textures in system memory, reads and writes TGA images, and
// answers questions about a texture's levels. Texture kinds: 1 single image, 2 cube of six
// faces, 3 array of images.
#include <cstdint>

#include "runtime/src/libkstexture/sys/pc/texture_data.h"

class CStream;

// The largest side a texture made from a TGA image keeps; larger images are resampled.
constexpr uint32_t kTgaMaxTextureSide = 2048;
// The largest side of a TGA image that is read at all.
constexpr uint32_t kTgaMaxImageSide = 16384;

class CD3DTexture {
 public:
  // A texture with an empty image record of the given kind (pixels zeroed, a palette for
  // format code 5) and one reference; null when out of memory or the size is 0 or above 65535.
  // A mip count of 0 gives every level down to a smaller side of 8, and at least one level;
  // counts above 8 become 8. An unknown kind leaves the record empty.
  CTextureData* CreateTexture(uint32_t kind, uint32_t format, uint32_t width, uint32_t height,
                              uint32_t mip_count, uint32_t image_count);

  // The pixels of one level: kind 1 level `index`; kind 2 face `index`, level `level`; kind 3
  // image `index`, level `level`. Null when there are none.
  uint8_t* GetMipData(CTextureData* texture, uint32_t index, uint32_t level);
  uint32_t GetWidth(CTextureData* texture, uint32_t level);
  uint32_t GetHeight(CTextureData* texture, uint32_t level);
  uint32_t GetFormat(CTextureData* texture);
  uint32_t GetMipCount(CTextureData* texture);

  // Reads an uncompressed TGA image (true colour of 24 or 32 bits, or 8-bit colour-mapped with
  // a 256-entry map) into a texture with its mip levels; null, with a diagnostic, otherwise.
  // A non-zero mip count no larger than the image allows limits the levels; a non-zero flag
  // keeps the pixels after upload.
  CTextureData* CreateTexture_TGA(CStream* stream, uint32_t mip_count, uint32_t flag);

  // Writes one level of a texture (its first image or face) as an uncompressed TGA image.
  bool SaveTexture_TGA(CStream* stream, CTextureData* texture, uint32_t level);
  // Writes pixels of format code 1 (as 32 bits) or 3 (as 24 bits) as an uncompressed TGA
  // image, bottom row first. Other formats have no TGA form and are refused.
  bool SaveTexture_TGA(CStream* stream, const void* pixels, uint32_t format, uint32_t width,
                       uint32_t height);
};

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
