#include "runtime/src/render/sys/pc/mesh_vertex_format.h"

#include "platform/d3d/d3d8.h"

namespace mesh_format {

uint32_t TexSetCount(uint32_t word) {
  if (word & 0x80u) return 4;
  if (word & 0x40u) return 3;
  if (word & 0x20u) return 2;
  if (word & 0x10u) return 1;
  return 0;
}

namespace {

// The first of three bits that is set adds 4, 12 or 16 bytes.
uint32_t FirstOfThree(uint32_t word, uint32_t first_bit) {
  if (word & (1u << first_bit)) return 4;
  if (word & (1u << (first_bit + 1))) return 12;
  if (word & (1u << (first_bit + 2))) return 16;
  return 0;
}

}  // namespace

uint32_t ShaderDataSize(uint32_t word) {
  uint32_t size = (word & 0x100u) ? 12u : 0u;
  size += FirstOfThree(word, 9);
  size += FirstOfThree(word, 12);
  return size;
}

uint32_t VertexSize(uint32_t word, uint32_t blend_values) {
  uint32_t size = 0;
  if (word & kPosition) size += 12 + 4 * blend_values;
  if (word & kNormal) size += 12;
  if (word & kPointSize) size += 4;
  if (word & kDiffuse) size += 4;
  size += 8 * TexSetCount(word);
  return size + ShaderDataSize(word);
}

uint32_t FixedFunctionFormat(uint32_t word) {
  uint32_t fvf = 0;
  if (word & kPosition) fvf |= D3DFVF_XYZ;
  if (word & kNormal) fvf |= D3DFVF_NORMAL;
  if (word & kDiffuse) fvf |= D3DFVF_DIFFUSE;
  if (word & kPointSize) fvf |= D3DFVF_PSIZE;
  fvf |= TexSetCount(word) << D3DFVF_TEXCOUNT_SHIFT;
  return fvf;
}

}  // namespace mesh_format
