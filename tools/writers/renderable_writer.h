#pragma once
// Writers of renderable resources and of the mesh bodies the render objects load: a 20-byte
// header, the render object type (4 rigid, 5 skinned) and the type's body, little-endian. Bodies
// of types 6 (buffered) and 9 (BSP) are written alone, as those objects load them. Fields are
// written as given, so tests can make damaged bodies.
#include <cstdint>
#include <vector>

namespace writers {

using Bytes = std::vector<uint8_t>;

// Vertex-format word bits.
constexpr uint32_t kMeshPosition = 0x01;
constexpr uint32_t kMeshNormal = 0x02;
constexpr uint32_t kMeshDiffuse = 0x04;
constexpr uint32_t kMeshPointSize = 0x08;
constexpr uint32_t kMeshTex1 = 0x10;
constexpr uint32_t kMeshTex2 = 0x20;
// Position, normal and one texture set: 32-byte vertices.
constexpr uint32_t kMeshLitTextured = kMeshPosition | kMeshNormal | kMeshTex1;

constexpr uint32_t kRenderableHeaderBytes = 20;

// Vertex streams and triangles shared by the mesh bodies.
struct MeshStreamsDesc {
  uint32_t vertex_count = 0;
  uint32_t formats[4] = {};
  Bytes vertices[4];              // vertex_count vertices of each present stream
  std::vector<uint16_t> indices;  // three per triangle
  uint32_t triangle_count() const { return static_cast<uint32_t>(indices.size() / 3); }
};

struct RigidMeshDesc {
  MeshStreamsDesc streams;
  uint32_t user_value = 0;
};

struct SkinGroupDesc {
  uint16_t first_index = 0;
  uint16_t vertex_count = 0;
  uint8_t bones[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  uint32_t end_index = 0;
};

struct SkinnedMeshDesc {
  MeshStreamsDesc streams;
  uint32_t group_bones = 1;    // 1 to 4
  uint32_t indexed_bones = 2;  // 2 to 4
  bool indexed = false;
  uint32_t first_palette = 0;
  uint32_t last_palette = 0;
  bool has_remap = false;
  std::vector<uint32_t> remap;
  std::vector<SkinGroupDesc> groups;
};

struct BufferedMeshDesc {
  MeshStreamsDesc streams;
  uint32_t extra[6] = {};  // values 1 to 5
  std::vector<uint32_t> table;
};

struct BspRangeDesc {
  uint32_t start_index = 0;
  uint32_t triangle_count = 0;
};

struct BspNodeDesc {
  uint32_t front = 0xFFFFFFFFu;
  uint32_t back = 0xFFFFFFFFu;
  float plane[4] = {};
  std::vector<uint32_t> ranges;
};

struct BspMeshDesc {
  uint32_t vertex_count = 0;
  uint32_t format = kMeshLitTextured;
  Bytes vertices;
  std::vector<uint16_t> indices;
  std::vector<BspRangeDesc> ranges;
  std::vector<BspNodeDesc> nodes;
};

Bytes BuildRigidBody(const RigidMeshDesc& mesh);
Bytes BuildSkinnedBody(const SkinnedMeshDesc& mesh);
Bytes BuildBufferedBody(const BufferedMeshDesc& mesh);
Bytes BuildBspBody(const BspMeshDesc& mesh);
// The whole resource: header, type and body.
Bytes BuildRenderable(uint32_t type, const Bytes& body);
inline Bytes BuildRigidRenderable(const RigidMeshDesc& mesh) { return BuildRenderable(4, BuildRigidBody(mesh)); }
inline Bytes BuildSkinnedRenderable(const SkinnedMeshDesc& mesh) {
  return BuildRenderable(5, BuildSkinnedBody(mesh));
}

// Little-endian appenders the bodies are made of.
void PutU32(Bytes& out, uint32_t value);
void PutU16(Bytes& out, uint16_t value);
void PutFloat(Bytes& out, float value);

}  // namespace writers
