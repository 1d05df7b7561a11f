#include "tools/writers/texture_writer.h"

#include <unordered_map>

namespace writers {

namespace {

constexpr uint32_t kPaletteEntries = 256;
constexpr uint32_t kMaxLevels = 8;

void PutU16(Bytes& out, uint32_t value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}

void PutU32(Bytes& out, uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

uint32_t BytesPerPixel(uint32_t format) {
  switch (format) {
    case 1: return 4;
    case 3: return 3;
    case 5: case 7: return 1;
    case 9: case 10: case 11: case 15: return 2;
    default: return 0;
  }
}

bool IsPaletted(uint32_t format) { return format == 5 || format == 7; }

uint32_t Ch(uint32_t color, int shift) { return (color >> shift) & 0xFF; }

uint32_t Narrow(uint32_t value, int bits) { return (value * ((1u << bits) - 1) + 127) / 255; }

// Palette entry nearest to a colour (squared distance over the four channels).
uint8_t NearestEntry(const Bytes& palette, uint32_t color) {
  uint32_t best = 0, best_distance = UINT32_MAX;
  for (uint32_t i = 0; i < kPaletteEntries; ++i) {
    const int d[4] = {int(palette[4 * i]) - int(Ch(color, 16)),
                      int(palette[4 * i + 1]) - int(Ch(color, 8)),
                      int(palette[4 * i + 2]) - int(Ch(color, 0)),
                      int(palette[4 * i + 3]) - int(Ch(color, 24))};
    const uint32_t distance = uint32_t(d[0] * d[0] + d[1] * d[1] + d[2] * d[2] + d[3] * d[3]);
    if (distance < best_distance) {
      best_distance = distance;
      best = i;
    }
  }
  return uint8_t(best);
}

void EncodePixel(uint32_t format, uint32_t c, Bytes& out) {
  const uint32_t a = Ch(c, 24), r = Ch(c, 16), g = Ch(c, 8), b = Ch(c, 0);
  switch (format) {
    case 1: out.insert(out.end(), {uint8_t(b), uint8_t(g), uint8_t(r), uint8_t(a)}); break;
    case 3: out.insert(out.end(), {uint8_t(b), uint8_t(g), uint8_t(r)}); break;
    case 9: PutU16(out, (Narrow(a, 4) << 12) | (Narrow(r, 4) << 8) | (Narrow(g, 4) << 4) | Narrow(b, 4)); break;
    case 10: PutU16(out, (a >= 128 ? 0x8000u : 0u) | (Narrow(r, 5) << 10) | (Narrow(g, 5) << 5) | Narrow(b, 5)); break;
    case 11: PutU16(out, (Narrow(r, 5) << 11) | (Narrow(g, 6) << 5) | Narrow(b, 5)); break;
    case 15: out.insert(out.end(), {uint8_t(r ^ 0x80), uint8_t(g ^ 0x80)}); break;  // u, v signed
    default: break;
  }
}

uint32_t Mean4(uint32_t p, uint32_t q, uint32_t r, uint32_t s) {
  uint32_t mean = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    mean |= ((Ch(p, shift) + Ch(q, shift) + Ch(r, shift) + Ch(s, shift) + 2) / 4) << shift;
  }
  return mean;
}

uint32_t ExpectedPictures(uint8_t version) {
  switch (version) {
    case kTextureVersionSingle: return 1;
    case kTextureVersionCube: return 6;
    default: return 0;
  }
}

}  // namespace

uint64_t TextureLevelSize(uint32_t format, uint32_t width, uint32_t height) {
  const uint64_t pixels = uint64_t(width) * height;
  switch (format) {
    case 12: return pixels / 2;
    case 13: case 14: return pixels;
    default: return BytesPerPixel(format) * pixels;
  }
}

Bytes BuildTextureData(const TextureDataHeader& header, const std::vector<Bytes>& blocks,
                       const Bytes& palette) {
  Bytes out(20, 0);
  out[0] = header.version;
  PutU32(out, 0);
  PutU32(out, header.flags);
  PutU32(out, header.format);
  PutU16(out, header.width);
  PutU16(out, header.height);
  PutU16(out, header.mip_count);
  if (header.version == kTextureVersionArray) PutU16(out, header.image_count);
  for (const Bytes& block : blocks) out.insert(out.end(), block.begin(), block.end());
  out.insert(out.end(), palette.begin(), palette.end());
  return out;
}

Bytes PaletteOf(const Picture& picture) {
  Bytes palette(kPaletteEntries * 4, 0);
  std::unordered_map<uint32_t, uint32_t> seen;
  std::vector<uint32_t> colors;
  for (uint32_t color : picture.pixels) {
    if (seen.emplace(color, uint32_t(colors.size())).second) colors.push_back(color);
    if (colors.size() > kPaletteEntries) break;
  }
  for (uint32_t i = 0; i < kPaletteEntries; ++i) {
    uint32_t color;
    if (colors.size() <= kPaletteEntries) {
      color = i < colors.size() ? colors[i] : 0xFF000000;
    } else {
      color = 0xFF000000 | (((i >> 5) * 255 / 7) << 16) | ((((i >> 2) & 7) * 255 / 7) << 8) |
              ((i & 3) * 255 / 3);
    }
    palette[4 * i] = uint8_t(Ch(color, 16));
    palette[4 * i + 1] = uint8_t(Ch(color, 8));
    palette[4 * i + 2] = uint8_t(Ch(color, 0));
    palette[4 * i + 3] = uint8_t(Ch(color, 24));
  }
  return palette;
}

bool EncodePicture(const Picture& picture, uint32_t format, const Bytes& palette, Bytes& out) {
  if (BytesPerPixel(format) == 0) return false;
  if (IsPaletted(format)) {
    if (palette.size() != kPaletteEntries * 4) return false;
    std::unordered_map<uint32_t, uint8_t> matched;
    for (uint32_t color : picture.pixels) {
      auto found = matched.find(color);
      if (found == matched.end()) found = matched.emplace(color, NearestEntry(palette, color)).first;
      out.push_back(found->second);
    }
    return true;
  }
  for (uint32_t color : picture.pixels) EncodePixel(format, color, out);
  return true;
}

Picture HalfPicture(const Picture& picture) {
  Picture half;
  half.width = picture.width / 2;
  half.height = picture.height / 2;
  half.pixels.resize(size_t(half.width) * half.height);
  for (uint32_t y = 0; y < half.height; ++y) {
    for (uint32_t x = 0; x < half.width; ++x) {
      half.At(x, y) = Mean4(picture.At(2 * x, 2 * y), picture.At(2 * x + 1, 2 * y),
                            picture.At(2 * x, 2 * y + 1), picture.At(2 * x + 1, 2 * y + 1));
    }
  }
  return half;
}

bool EncodeTextureData(uint8_t version, uint32_t format, uint32_t flags, uint16_t mip_count,
                       const std::vector<Picture>& pictures, Bytes& out) {
  const uint32_t expected = ExpectedPictures(version);
  if (pictures.empty() || (expected != 0 && pictures.size() != expected)) return false;
  if (version != kTextureVersionArray && expected == 0) return false;
  if (mip_count == 0 || mip_count > kMaxLevels || BytesPerPixel(format) == 0) return false;
  const Picture& first = pictures.front();
  if (first.width == 0 || first.height == 0 || first.width > 0xFFFF || first.height > 0xFFFF) {
    return false;
  }
  TextureDataHeader header;
  header.version = version;
  header.flags = flags;
  header.format = format;
  header.width = uint16_t(first.width);
  header.height = uint16_t(first.height);
  header.mip_count = mip_count;
  header.image_count = uint16_t(pictures.size());
  const Bytes palette = IsPaletted(format) ? PaletteOf(first) : Bytes();
  std::vector<Bytes> blocks;
  for (const Picture& picture : pictures) {
    if (picture.width != first.width || picture.height != first.height) return false;
    Bytes block;
    Picture level = picture;
    for (uint16_t n = 0; n < mip_count; ++n) {
      if (n > 0) level = HalfPicture(level);
      if (!EncodePicture(level, format, palette, block)) return false;
    }
    blocks.push_back(std::move(block));
  }
  out = BuildTextureData(header, blocks, palette);
  return true;
}

}  // namespace writers
