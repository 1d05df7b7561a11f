#include "tools/writers/tga_writer.h"

#include <cstddef>

#include "tools/writers/texture_writer.h"

namespace writers {

namespace {

bool SpecFits(const Picture& picture, const TgaSpec& spec) {
  if (picture.width == 0 || picture.height == 0) return false;
  if (picture.width > 0xFFFF || picture.height > 0xFFFF || spec.id.size() > 255) return false;
  if (spec.image_type == 2) return spec.depth == 24 || spec.depth == 32;
  if (spec.image_type == 1) {
    return spec.depth == 8 && (spec.map_entry_bits == 24 || spec.map_entry_bits == 32);
  }
  return false;
}

void PutU16(Bytes& out, uint32_t value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}

void PutHeader(const Picture& picture, const TgaSpec& spec, Bytes& out) {
  const bool mapped = spec.image_type == 1;
  out.push_back(uint8_t(spec.id.size()));
  out.push_back(mapped ? 1 : 0);
  out.push_back(spec.image_type);
  PutU16(out, 0);                  // first map entry
  PutU16(out, mapped ? 256 : 0);   // map length
  out.push_back(mapped ? spec.map_entry_bits : 0);
  PutU16(out, 0);                  // x origin
  PutU16(out, 0);                  // y origin
  PutU16(out, picture.width);
  PutU16(out, picture.height);
  out.push_back(spec.depth);
  const uint8_t alpha_bits = spec.depth == 32 ? 8 : 0;
  out.push_back(uint8_t(alpha_bits | (spec.top_origin ? 0x20 : 0)));
  out.insert(out.end(), spec.id.begin(), spec.id.end());
}

void PutColorMap(const Bytes& palette, uint8_t entry_bits, Bytes& out) {
  for (size_t i = 0; i < 256; ++i) {
    out.push_back(palette[4 * i + 2]);
    out.push_back(palette[4 * i + 1]);
    out.push_back(palette[4 * i]);
    if (entry_bits == 32) out.push_back(palette[4 * i + 3]);
  }
}

}  // namespace

bool EncodeTga(const Picture& picture, const TgaSpec& spec, Bytes& out) {
  if (!SpecFits(picture, spec)) return false;
  out.clear();
  PutHeader(picture, spec, out);
  Bytes pixels;
  if (spec.image_type == 1) {
    const Bytes palette = PaletteOf(picture);
    PutColorMap(palette, spec.map_entry_bits, out);
    if (!EncodePicture(picture, 5, palette, pixels)) return false;
  } else if (!EncodePicture(picture, spec.depth == 32 ? 1 : 3, Bytes(), pixels)) {
    return false;
  }
  const size_t row_bytes = pixels.size() / picture.height;
  for (uint32_t r = 0; r < picture.height; ++r) {
    const uint32_t source_row = spec.top_origin ? r : picture.height - 1 - r;
    const auto row = pixels.begin() + std::ptrdiff_t(source_row * row_bytes);
    out.insert(out.end(), row, row + std::ptrdiff_t(row_bytes));
  }
  return true;
}

}  // namespace writers
