#pragma once
// Texture format codes: the numbers texture data files and the texture service use for pixel
// layouts, with their sizes and their Direct3D formats. Codes 12-14 are 4x4-block compressed;
// their "row" is one row of blocks.
#include <cstdint>

#include "platform/d3d/d3d8.h"

enum ETextureFormat : uint32_t {
  kTexFmt_A8R8G8B8 = 1,
  kTexFmt_R8G8B8 = 3,
  kTexFmt_P8 = 5,
  kTexFmt_P8_Alt = 7,
  kTexFmt_A4R4G4B4 = 9,
  kTexFmt_A1R5G5B5 = 10,
  kTexFmt_R5G6B5 = 11,
  kTexFmt_DXT1 = 12,
  kTexFmt_DXT3 = 13,
  kTexFmt_DXT5 = 14,
  kTexFmt_V8U8 = 15,
};

// Palettes: 256 entries of red, green, blue, alpha bytes.
constexpr uint32_t kPaletteEntries = 256;
constexpr uint32_t kPaletteBytes = kPaletteEntries * 4;

// True for the codes listed above.
constexpr bool IsKnownTextureFormat(uint32_t format) {
  switch (format) {
    case kTexFmt_A8R8G8B8: case kTexFmt_R8G8B8: case kTexFmt_P8: case kTexFmt_P8_Alt:
    case kTexFmt_A4R4G4B4: case kTexFmt_A1R5G5B5: case kTexFmt_R5G6B5: case kTexFmt_DXT1:
    case kTexFmt_DXT3: case kTexFmt_DXT5: case kTexFmt_V8U8:
      return true;
    default:
      return false;
  }
}

constexpr bool IsPalettedFormat(uint32_t format) {
  return format == kTexFmt_P8 || format == kTexFmt_P8_Alt;
}

constexpr bool IsBlockCompressedFormat(uint32_t format) {
  return format == kTexFmt_DXT1 || format == kTexFmt_DXT3 || format == kTexFmt_DXT5;
}

// Bytes of one pixel; 0 for the block-compressed and unknown codes.
constexpr uint32_t GetBytesPerPixel(uint32_t format) {
  switch (format) {
    case kTexFmt_A8R8G8B8: return 4;
    case kTexFmt_R8G8B8: return 3;
    case kTexFmt_P8: case kTexFmt_P8_Alt: return 1;
    case kTexFmt_A4R4G4B4: case kTexFmt_A1R5G5B5: case kTexFmt_R5G6B5: case kTexFmt_V8U8: return 2;
    default: return 0;
  }
}

// Bytes of one row of pixels (of 4-pixel blocks for the compressed codes); 0 for unknown codes.
constexpr uint32_t GetRowPitch(uint32_t format, uint32_t width) {
  switch (format) {
    case kTexFmt_DXT1: return 2 * width;
    case kTexFmt_DXT3: case kTexFmt_DXT5: return 4 * width;
    default: return GetBytesPerPixel(format) * width;
  }
}

// Bytes of a whole level of width x height; 0 for unknown codes.
constexpr uint64_t GetMipSize(uint32_t format, uint32_t width, uint32_t height) {
  const uint64_t pixels = uint64_t(width) * height;
  switch (format) {
    case kTexFmt_DXT1: return pixels / 2;
    case kTexFmt_DXT3: case kTexFmt_DXT5: return pixels;
    default: return GetBytesPerPixel(format) * pixels;
  }
}

// The Direct3D format of a code; D3DFMT_UNKNOWN for unknown codes.
constexpr D3DFORMAT GetD3DFormat(uint32_t format) {
  switch (format) {
    case kTexFmt_A8R8G8B8: return D3DFMT_A8R8G8B8;
    case kTexFmt_R8G8B8: return D3DFMT_R8G8B8;
    case kTexFmt_P8: case kTexFmt_P8_Alt: return D3DFMT_P8;
    case kTexFmt_A4R4G4B4: return D3DFMT_A4R4G4B4;
    case kTexFmt_A1R5G5B5: return D3DFMT_A1R5G5B5;
    case kTexFmt_R5G6B5: return D3DFMT_R5G6B5;
    case kTexFmt_DXT1: return D3DFMT_DXT1;
    case kTexFmt_DXT3: return D3DFMT_DXT3;
    case kTexFmt_DXT5: return D3DFMT_DXT5;
    case kTexFmt_V8U8: return D3DFMT_V8U8;
    default: return D3DFMT_UNKNOWN;
  }
}
