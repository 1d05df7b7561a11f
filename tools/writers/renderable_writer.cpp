#include "tools/writers/renderable_writer.h"

#include <cstring>

namespace writers {

void PutU32(Bytes& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutU16(Bytes& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutFloat(Bytes& out, float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof(bits));
  PutU32(out, bits);
}

namespace {

void PutFormats(Bytes& out, const MeshStreamsDesc& s) {
  for (uint32_t format : s.formats) PutU32(out, format);
}

void PutVertices(Bytes& out, const MeshStreamsDesc& s) {
  for (int i = 0; i < 4; ++i)
    if (s.formats[i] != 0) out.insert(out.end(), s.vertices[i].begin(), s.vertices[i].end());
}

void PutIndices(Bytes& out, const std::vector<uint16_t>& indices) {
  for (uint16_t index : indices) PutU16(out, index);
}

}  // namespace

Bytes BuildRigidBody(const RigidMeshDesc& mesh) {
  Bytes out;
  PutU32(out, 0);
  PutU32(out, mesh.streams.vertex_count);
  PutU32(out, mesh.streams.triangle_count());
  PutU32(out, 0);
  PutU32(out, 0);
  PutFormats(out, mesh.streams);
  PutU32(out, mesh.user_value);
  PutVertices(out, mesh.streams);
  PutIndices(out, mesh.streams.indices);
  return out;
}

Bytes BuildSkinnedBody(const SkinnedMeshDesc& mesh) {
  Bytes out;
  PutU32(out, 0);
  PutU32(out, mesh.streams.vertex_count);
  PutU32(out, mesh.streams.triangle_count());
  PutU32(out, mesh.group_bones);
  PutU32(out, mesh.indexed_bones);
  out.push_back(mesh.has_remap ? 1 : 0);
  PutFormats(out, mesh.streams);
  out.push_back(mesh.indexed ? 1 : 0);
  if (mesh.indexed) {
    PutU32(out, mesh.first_palette);
    PutU32(out, mesh.last_palette);
    if (mesh.has_remap) {
      PutU32(out, static_cast<uint32_t>(mesh.remap.size()));
      for (uint32_t entry : mesh.remap) PutU32(out, entry);
    }
    PutVertices(out, mesh.streams);
    PutIndices(out, mesh.streams.indices);
    return out;
  }
  PutVertices(out, mesh.streams);
  PutIndices(out, mesh.streams.indices);
  PutU32(out, static_cast<uint32_t>(mesh.groups.size()));
  for (const SkinGroupDesc& g : mesh.groups) {
    PutU16(out, g.first_index);
    PutU16(out, g.vertex_count);
    out.insert(out.end(), g.bones, g.bones + 4);
    PutU32(out, g.end_index);
  }
  return out;
}

Bytes BuildBufferedBody(const BufferedMeshDesc& mesh) {
  Bytes out;
  PutU32(out, 0);
  PutU32(out, mesh.streams.vertex_count);
  PutU32(out, mesh.extra[1]);
  PutU32(out, mesh.streams.triangle_count());
  PutU32(out, mesh.extra[2]);
  PutU32(out, mesh.extra[3]);
  PutFormats(out, mesh.streams);
  PutU32(out, mesh.extra[4]);
  PutU32(out, mesh.extra[5]);
  PutVertices(out, mesh.streams);
  PutIndices(out, mesh.streams.indices);
  PutU32(out, static_cast<uint32_t>(mesh.table.size()));
  for (uint32_t entry : mesh.table) PutU32(out, entry);
  return out;
}

Bytes BuildBspBody(const BspMeshDesc& mesh) {
  Bytes out;
  PutU32(out, 0);
  PutU32(out, mesh.vertex_count);
  PutU32(out, static_cast<uint32_t>(mesh.indices.size() / 3));
  PutU32(out, mesh.format);
  out.insert(out.end(), mesh.vertices.begin(), mesh.vertices.end());
  PutIndices(out, mesh.indices);
  PutU32(out, static_cast<uint32_t>(mesh.ranges.size()));
  for (const BspRangeDesc& r : mesh.ranges) {
    for (int i = 0; i < 4; ++i) PutU32(out, 0);
    PutU32(out, r.start_index);
    PutU32(out, r.triangle_count);
  }
  uint32_t total = 0;
  for (const BspNodeDesc& n : mesh.nodes) total += static_cast<uint32_t>(n.ranges.size());
  PutU32(out, total);
  PutU32(out, static_cast<uint32_t>(mesh.nodes.size()));
  for (const BspNodeDesc& n : mesh.nodes) {
    PutU32(out, n.front);
    PutU32(out, n.back);
    for (float p : n.plane) PutFloat(out, p);
    PutU32(out, static_cast<uint32_t>(n.ranges.size()));
    for (uint32_t r : n.ranges) PutU32(out, r);
  }
  return out;
}

Bytes BuildRenderable(uint32_t type, const Bytes& body) {
  // The header names the content; the renderable load reads it whole and does not look at it.
  Bytes out = {'R', 'N', 'D', 'R'};
  PutU32(out, 1);
  out.resize(kRenderableHeaderBytes, 0);
  PutU32(out, type);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace writers
