#pragma once
// Helpers of the mesh and renderable tests: streams over written bytes, small fixture meshes.
#include <cstring>
#include <memory>

#include "runtime/src/core/streams.h"
#include "tools/writers/mesh_generator.h"
#include "tools/writers/renderable_writer.h"

namespace vt_test {

struct StreamReleaser {
  void operator()(CStream* s) const {
    if (s != nullptr) s->Release();
  }
};
using StreamPtr = std::unique_ptr<CStream, StreamReleaser>;

// A memory stream positioned at the start of the bytes.
inline StreamPtr StreamOf(const writers::Bytes& bytes) {
  CMemoryStream* stream = CreateMemoryStream(0);
  if (!bytes.empty()) stream->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
  stream->SeekTo(0);
  return StreamPtr(stream);
}

inline writers::Bytes Prefix(const writers::Bytes& bytes, size_t length) {
  return writers::Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
}

// A 12-vertex box with 32-byte lit, textured vertices.
inline writers::RigidMeshDesc SmallBox() { return writers::RigidFromGeometry(writers::MakeBox(1, 1, 1)); }

// A skinned strip of vertices whose positions carry `blend` extra values; indexed or grouped.
inline writers::SkinnedMeshDesc SkinnedStrip(bool indexed, uint32_t bones) {
  writers::SkinnedMeshDesc mesh;
  const writers::MeshGeometry plane = writers::MakePlane(4, 4, 2, 2);  // 9 vertices, 8 triangles
  mesh.streams.vertex_count = static_cast<uint32_t>(plane.vertices.size());
  mesh.streams.formats[0] = writers::kMeshLitTextured;
  const uint32_t blend = indexed ? bones : bones - 1;
  mesh.streams.vertices[0].assign(mesh.streams.vertex_count * (32 + 4 * blend), 0);
  mesh.streams.indices = plane.indices;
  mesh.indexed = indexed;
  if (indexed) {
    mesh.indexed_bones = bones;
    mesh.first_palette = 0;
    mesh.last_palette = 3;
  } else {
    mesh.group_bones = bones;
    writers::SkinGroupDesc a;
    a.first_index = 0;
    a.vertex_count = 9;
    a.bones[0] = 5;
    a.end_index = 12;
    writers::SkinGroupDesc b = a;
    b.first_index = 12;
    b.bones[1] = 2;
    b.end_index = 24;
    mesh.groups = {a, b};
  }
  return mesh;
}

}  // namespace vt_test
