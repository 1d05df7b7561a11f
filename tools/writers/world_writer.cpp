#include "tools/writers/world_writer.h"

#include <cmath>
#include <cstring>

namespace writers {
namespace {

constexpr uint32_t kEmbeddedObjectFlag = 0x01;
constexpr uint32_t kRigidMeshType = 4;
constexpr uint32_t kPositionNormalTex1 = 0x13;
constexpr double kPi = 3.14159265358979323846;

struct Vec3 {
  float x, y, z;
};

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutI32(std::vector<uint8_t>& out, int32_t v) { PutU32(out, static_cast<uint32_t>(v)); }
void PutF32(std::vector<uint8_t>& out, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof(bits));
  PutU32(out, bits);
}
void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutVec(std::vector<uint8_t>& out, const Vec3& v) {
  PutF32(out, v.x);
  PutF32(out, v.y);
  PutF32(out, v.z);
}

// The field sampled at its vertices: heights, positions and normals in row order along z.
struct Field {
  int vx = 0, vz = 0;
  float cellX = 0.0f, cellZ = 0.0f;
  std::vector<float> heights;
  std::vector<Vec3> positions;
  std::vector<Vec3> normals;
};

Field Sample(const WorldSpec& spec) {
  Field f;
  f.vx = WorldVerticesX(spec);
  f.vz = WorldVerticesZ(spec);
  f.cellX = spec.sizeX / static_cast<float>(f.vx - 1);
  f.cellZ = spec.sizeZ / static_cast<float>(f.vz - 1);
  const size_t count = static_cast<size_t>(f.vx) * static_cast<size_t>(f.vz);
  f.heights.resize(count);
  f.positions.resize(count);
  f.normals.resize(count);
  for (int iz = 0; iz < f.vz; ++iz) {
    for (int ix = 0; ix < f.vx; ++ix) {
      const float x = ix * f.cellX, z = iz * f.cellZ;
      const size_t at = static_cast<size_t>(ix + f.vx * iz);
      f.heights[at] = WorldHeightAt(spec, x, z);
      f.positions[at] = {x, f.heights[at], z};
    }
  }
  // Normals from the slopes between neighbouring vertices (one-sided at the edges).
  auto h = [&](int ix, int iz) { return f.heights[static_cast<size_t>(ix + f.vx * iz)]; };
  for (int iz = 0; iz < f.vz; ++iz) {
    for (int ix = 0; ix < f.vx; ++ix) {
      const int x0 = ix > 0 ? ix - 1 : ix, x1 = ix < f.vx - 1 ? ix + 1 : ix;
      const int z0 = iz > 0 ? iz - 1 : iz, z1 = iz < f.vz - 1 ? iz + 1 : iz;
      const double dx = (h(x1, iz) - h(x0, iz)) / ((x1 - x0) * f.cellX);
      const double dz = (h(ix, z1) - h(ix, z0)) / ((z1 - z0) * f.cellZ);
      const double length = std::sqrt(dx * dx + 1.0 + dz * dz);
      f.normals[static_cast<size_t>(ix + f.vx * iz)] = {static_cast<float>(-dx / length),
                                                        static_cast<float>(1.0 / length),
                                                        static_cast<float>(-dz / length)};
    }
  }
  return f;
}

void PutTile(std::vector<uint8_t>& out, const WorldSpec& spec, const Field& f, int tx, int tz) {
  const int g = spec.tileGrid;
  PutU32(out, static_cast<uint32_t>(g * g * kWorldTileVertexSize));
  for (int row = 0; row < g; ++row) {
    for (int column = 0; column < g; ++column) {
      const int ix = tx * (g - 1) + column, iz = tz * (g - 1) + row;
      const size_t at = static_cast<size_t>(ix + f.vx * iz);
      PutVec(out, f.positions[at]);
      PutVec(out, f.normals[at]);
      PutF32(out, f.positions[at].x / spec.sizeX);
      PutF32(out, f.positions[at].z / spec.sizeZ);
    }
  }
}

// A single upward triangle in the centre of the world, in the renderable format.
void PutEmbeddedObject(std::vector<uint8_t>& out, const WorldSpec& spec) {
  for (int i = 0; i < 20; ++i) out.push_back(0);
  PutU32(out, kRigidMeshType);
  PutU32(out, 0);
  PutU32(out, 3);  // vertices
  PutU32(out, 1);  // triangles
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, kPositionNormalTex1);
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);  // user value
  const float cx = spec.sizeX * 0.5f, cz = spec.sizeZ * 0.5f;
  const float y = WorldHeightAt(spec, cx, cz) + 1.0f;
  const Vec3 corners[3] = {{cx - 10.0f, y, cz - 10.0f}, {cx, y, cz + 10.0f}, {cx + 10.0f, y, cz - 10.0f}};
  for (const Vec3& c : corners) {
    PutVec(out, c);
    PutVec(out, {0.0f, 1.0f, 0.0f});
    PutF32(out, c.x / spec.sizeX);
    PutF32(out, c.z / spec.sizeZ);
  }
  PutU16(out, 0);
  PutU16(out, 1);
  PutU16(out, 2);
}

}  // namespace

int WorldVerticesX(const WorldSpec& spec) { return spec.tilesX * (spec.tileGrid - 1) + 1; }
int WorldVerticesZ(const WorldSpec& spec) { return spec.tilesZ * (spec.tileGrid - 1) + 1; }

float WorldHeightAt(const WorldSpec& spec, float x, float z) {
  const double u = x / spec.sizeX, v = z / spec.sizeZ;
  switch (spec.shape) {
    case WorldShape::Flat:
      return spec.baseHeight;
    case WorldShape::Rolling: {
      const double wave = std::sin(2.0 * kPi * 2.0 * u) * std::cos(2.0 * kPi * 1.5 * v);
      return spec.baseHeight + static_cast<float>(spec.amplitude * 0.5 * (1.0 + wave));
    }
    case WorldShape::Bowl: {
      const double du = 2.0 * u - 1.0, dv = 2.0 * v - 1.0;
      return spec.baseHeight + static_cast<float>(spec.amplitude * 0.5 * (du * du + dv * dv));
    }
  }
  return spec.baseHeight;
}

size_t WorldFirstTileOffset(const WorldSpec& spec) {
  const size_t vertices = static_cast<size_t>(WorldVerticesX(spec)) * static_cast<size_t>(WorldVerticesZ(spec));
  return kWorldHeightsOffset + vertices * 28;
}

bool WriteWorld(const WorldSpec& spec, std::vector<uint8_t>& out) {
  if (!(spec.sizeX > 0.0f) || !(spec.sizeZ > 0.0f) || spec.tilesX < 1 || spec.tilesZ < 1 || spec.tileGrid < 2 ||
      spec.tilesX > 256 || spec.tilesZ > 256 || spec.tileGrid > 257)
    return false;
  const Field f = Sample(spec);
  out.clear();
  static const char kHeader[20] = "VORTHANE WORLD 0001";
  for (char c : kHeader) out.push_back(static_cast<uint8_t>(c));
  PutF32(out, spec.sizeX);
  PutF32(out, spec.sizeZ);
  PutI32(out, spec.tilesX);
  PutI32(out, spec.tilesZ);
  PutI32(out, spec.tileGrid);
  PutI32(out, f.vx);
  PutI32(out, f.vz);
  PutU32(out, spec.embeddedObject ? kEmbeddedObjectFlag : 0);
  for (float h : f.heights) PutF32(out, h);
  for (const Vec3& p : f.positions) PutVec(out, p);
  for (const Vec3& n : f.normals) PutVec(out, n);
  for (int tz = 0; tz < spec.tilesZ; ++tz)
    for (int tx = 0; tx < spec.tilesX; ++tx) PutTile(out, spec, f, tx, tz);
  if (spec.embeddedObject) PutEmbeddedObject(out, spec);
  PutU32(out, 0);
  return true;
}

}  // namespace writers
