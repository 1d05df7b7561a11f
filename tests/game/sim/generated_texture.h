#pragma once
// A texture of the generated content, decoded from its version-18 data: a 20-byte header,
// three 32-bit fields, the width, height and level count as 16-bit words, then 32-bit texels
// (blue, green, red, alpha), rows from the top.
#include <gtest/gtest.h>

#include <vector>

#include "tools/content/manifest.h"

struct Generated_Texture {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> alpha;  // one byte a texel
  uint8_t Alpha(uint32_t x, uint32_t y) const { return alpha[size_t(y) * width + x]; }
};

// False (with a test failure) when the id is not generated or its data does not decode.
inline bool Generate_Texture(uint32_t id, Generated_Texture& out) {
  content::Manifest manifest;
  content::Build_Manifest(manifest);
  for (const content::ResourceEntry& e : manifest.Resources()) {
    if (e.id != id) continue;
    content::Bytes bytes;
    constexpr size_t kTexels = 38;
    if (e.type != 2 || !e.generate(bytes) || bytes.size() < kTexels || bytes[0] != 18) break;
    out.width = bytes[32] | (bytes[33] << 8);
    out.height = bytes[34] | (bytes[35] << 8);
    const size_t count = size_t(out.width) * out.height;
    if (count == 0 || bytes.size() < kTexels + count * 4) break;
    out.alpha.resize(count);
    for (size_t i = 0; i < count; ++i) out.alpha[i] = bytes[kTexels + i * 4 + 3];
    return true;
  }
  ADD_FAILURE() << "no decodable texture " << std::hex << id;
  return false;
}
