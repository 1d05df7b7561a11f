#pragma once
// The vertex-format word of the mesh bodies and vertex streams. Its low byte names the
// fixed-function content (bit 0 position, bit 1 normal, bit 2 diffuse, bit 3 point size, bits
// 4-7 the texture-set count by the highest bit set); its high byte adds per-vertex data that only
// vertex shaders read.
#include <cstdint>

namespace mesh_format {

constexpr uint32_t kPosition = 0x01;
constexpr uint32_t kNormal = 0x02;
constexpr uint32_t kDiffuse = 0x04;
constexpr uint32_t kPointSize = 0x08;

// Number of texture-coordinate sets (0 to 4).
uint32_t TexSetCount(uint32_t word);
// Bytes the high byte adds to a vertex.
uint32_t ShaderDataSize(uint32_t word);
// True when any high-byte bit is set: such a stream is drawn only through vertex shaders.
inline bool IsShaderOnly(uint32_t word) { return (word & 0xFF00u) != 0; }
// Size of one vertex; blend_values (0 to 4) widen the position by four bytes each.
uint32_t VertexSize(uint32_t word, uint32_t blend_values = 0);
// The Direct3D fixed-function vertex format of the low byte; 0 for a word of 0.
uint32_t FixedFunctionFormat(uint32_t word);

// Largest vertex count a mesh body may carry: its indices are 16 bits wide.
constexpr uint32_t kMaxVertices = 65536;

}  // namespace mesh_format
