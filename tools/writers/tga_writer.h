#pragma once
// The writer of uncompressed TGA images: true colour of 24 or 32 bits (type 2) or 8-bit
// colour-mapped with a 256-entry map of 24- or 32-bit colours (type 1), with an optional ID
// field, stored bottom row first or top row first.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/writers/texture_patterns.h"

namespace writers {

using Bytes = std::vector<uint8_t>;

struct TgaSpec {
  uint8_t image_type = 2;      // 2 true colour, 1 colour-mapped
  uint8_t depth = 32;          // 24 or 32 for type 2; 8 for type 1
  uint8_t map_entry_bits = 24; // type 1: 24 or 32
  bool top_origin = false;     // rows stored top first (descriptor bit 5)
  std::string id;              // the ID field, at most 255 bytes
};

// Encodes the picture; type 1 uses the picture's palette (writers::PaletteOf). False when the
// spec or the size (1 to 65535 a side) does not fit.
bool EncodeTga(const Picture& picture, const TgaSpec& spec, Bytes& out);

}  // namespace writers
