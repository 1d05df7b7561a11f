#pragma once
// The writer of texture data files (versions 18 single image, 21 cube of six faces, 23 array
// of images): a 20-byte header whose first byte is the version, then the flags, format code,
// width, height, mip count (and image count for version 23), then every image's levels, level
// 0 first, each at its format's full size, and a 1024-byte palette for format codes 5 and 7.
#include <cstdint>
#include <vector>

#include "tools/writers/texture_patterns.h"

namespace writers {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kTextureVersionSingle = 18;
constexpr uint8_t kTextureVersionCube = 21;
constexpr uint8_t kTextureVersionArray = 23;
constexpr uint32_t kTextureDefaultFlags = 0x2033;

struct TextureDataHeader {
  uint8_t version = kTextureVersionSingle;
  uint32_t flags = kTextureDefaultFlags;
  uint32_t format = 1;
  uint16_t width = 0;
  uint16_t height = 0;
  uint16_t mip_count = 1;
  uint16_t image_count = 1;  // written for version 23 only
};

// Bytes of one level of a format code at a size (the sizes texture data files use); 0 for
// unknown codes.
uint64_t TextureLevelSize(uint32_t format, uint32_t width, uint32_t height);

// A file from the header, the raw blocks (one per image or face, holding its levels back to
// back) and, when not empty, the palette. The bytes are written as given, so tests can make
// damaged files.
Bytes BuildTextureData(const TextureDataHeader& header, const std::vector<Bytes>& blocks,
                       const Bytes& palette);

// The 256-entry palette (red, green, blue, alpha) of a picture: its own colours in order of
// first appearance when there are at most 256, otherwise 3-3-2 levels of red, green and blue.
Bytes PaletteOf(const Picture& picture);

// Encodes a picture into a format code's bytes, row after row. Paletted codes take the
// nearest palette entry. False for the block-compressed and unknown codes.
bool EncodePicture(const Picture& picture, uint32_t format, const Bytes& palette, Bytes& out);

// The next level of a mip chain: half the size (rounded down, so a side of 1 gives an empty
// picture), each pixel the rounded mean of the 2 x 2 pixels it covers.
Picture HalfPicture(const Picture& picture);

// A whole file from pictures (1 for version 18, 6 faces for 21, one or more for 23, all of
// one size): every picture with mip_count levels in the format; the palette of the first
// picture for codes 5 and 7. False when the pictures, sizes or format do not fit.
bool EncodeTextureData(uint8_t version, uint32_t format, uint32_t flags, uint16_t mip_count,
                       const std::vector<Picture>& pictures, Bytes& out);

}  // namespace writers
