#include "tools/writers/mesh_generator.h"

#include <cmath>
#include <cstring>

namespace writers {
namespace {

constexpr float kPi = 3.14159265358979f;

uint16_t Index(size_t i) { return static_cast<uint16_t>(i); }

void AddVertex(MeshGeometry& m, float px, float py, float pz, float nx, float ny, float nz, float u, float v) {
  m.vertices.push_back({{px, py, pz}, {nx, ny, nz}, {u, v}});
}

// A grid of (columns + 1) x (rows + 1) vertices, already added from `first`, joined into quads.
void AddGridQuads(MeshGeometry& m, size_t first, int columns, int rows) {
  const size_t stride = static_cast<size_t>(columns) + 1;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) {
      const size_t a = first + r * stride + c;
      const size_t b = a + 1;
      const size_t d = a + stride;
      const size_t e = d + 1;
      m.indices.insert(m.indices.end(), {Index(a), Index(b), Index(e), Index(a), Index(e), Index(d)});
    }
}

// A flat fan around a centre at height y facing up (or down).
void AddCap(MeshGeometry& m, float radius, float y, int slices, bool up) {
  const size_t centre = m.vertices.size();
  const float ny = up ? 1.0f : -1.0f;
  AddVertex(m, 0, y, 0, 0, ny, 0, 0.5f, 0.5f);
  for (int i = 0; i <= slices; ++i) {
    const float a = 2 * kPi * i / slices;
    AddVertex(m, radius * std::cos(a), y, radius * std::sin(a), 0, ny, 0, 0.5f + 0.5f * std::cos(a),
              0.5f + 0.5f * std::sin(a));
  }
  for (int i = 0; i < slices; ++i) {
    const uint16_t p = Index(centre + 1 + i);
    const uint16_t q = Index(centre + 2 + i);
    if (up)
      m.indices.insert(m.indices.end(), {Index(centre), q, p});
    else
      m.indices.insert(m.indices.end(), {Index(centre), p, q});
  }
}

// A surface of revolution about y from a profile of (radius, y, normal radial, normal y).
struct ProfilePoint {
  float r, y, nr, ny;
};

void AddRevolution(MeshGeometry& m, const std::vector<ProfilePoint>& profile, int slices) {
  const size_t first = m.vertices.size();
  for (size_t p = 0; p < profile.size(); ++p) {
    const float v = profile.size() > 1 ? static_cast<float>(p) / (profile.size() - 1) : 0.0f;
    for (int i = 0; i <= slices; ++i) {
      const float a = 2 * kPi * i / slices;
      const float c = std::cos(a);
      const float s = std::sin(a);
      const ProfilePoint& q = profile[p];
      AddVertex(m, q.r * c, q.y, q.r * s, q.nr * c, q.ny, q.nr * s, static_cast<float>(i) / slices, v);
    }
  }
  AddGridQuads(m, first, slices, static_cast<int>(profile.size()) - 1);
}

}  // namespace

MeshGeometry MakeSphere(float radius, int slices, int stacks) {
  MeshGeometry m;
  std::vector<ProfilePoint> profile;
  for (int j = 0; j <= stacks; ++j) {
    const float phi = kPi * j / stacks;  // from the top pole down
    const float nr = std::sin(phi);
    const float ny = std::cos(phi);
    profile.push_back({radius * nr, radius * ny, nr, ny});
  }
  AddRevolution(m, profile, slices);
  return m;
}

MeshGeometry MakeBox(float hx, float hy, float hz) {
  MeshGeometry m;
  // Each face: normal, and two axes spanning it.
  const float faces[6][9] = {
      {1, 0, 0, 0, 0, 1, 0, 1, 0},  {-1, 0, 0, 0, 0, -1, 0, 1, 0}, {0, 1, 0, 1, 0, 0, 0, 0, 1},
      {0, -1, 0, 1, 0, 0, 0, 0, -1}, {0, 0, 1, -1, 0, 0, 0, 1, 0}, {0, 0, -1, 1, 0, 0, 0, 1, 0},
  };
  const float half[3] = {hx, hy, hz};
  for (const auto& f : faces) {
    const size_t first = m.vertices.size();
    const float corners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
    for (const auto& c : corners) {
      float p[3];
      for (int k = 0; k < 3; ++k) p[k] = (f[k] + c[0] * f[3 + k] + c[1] * f[6 + k]) * half[k];
      AddVertex(m, p[0], p[1], p[2], f[0], f[1], f[2], (c[0] + 1) / 2, (1 - c[1]) / 2);
    }
    m.indices.insert(m.indices.end(), {Index(first), Index(first + 1), Index(first + 2), Index(first),
                                       Index(first + 2), Index(first + 3)});
  }
  return m;
}

MeshGeometry MakeCylinder(float radius, float height, int slices) {
  MeshGeometry m;
  AddRevolution(m, {{radius, height / 2, 1, 0}, {radius, -height / 2, 1, 0}}, slices);
  AddCap(m, radius, height / 2, slices, true);
  AddCap(m, radius, -height / 2, slices, false);
  return m;
}

MeshGeometry MakeCone(float radius, float height, int slices) {
  MeshGeometry m;
  const float len = std::sqrt(radius * radius + height * height);
  const float nr = height / len;
  const float ny = radius / len;
  AddRevolution(m, {{0, height / 2, nr, ny}, {radius, -height / 2, nr, ny}}, slices);
  AddCap(m, radius, -height / 2, slices, false);
  return m;
}

MeshGeometry MakeTorus(float major_radius, float minor_radius, int major_segments, int minor_segments) {
  MeshGeometry m;
  std::vector<ProfilePoint> profile;
  for (int j = 0; j <= minor_segments; ++j) {
    const float a = 2 * kPi * j / minor_segments;
    profile.push_back({major_radius + minor_radius * std::cos(a), minor_radius * std::sin(a), std::cos(a),
                       std::sin(a)});
  }
  AddRevolution(m, profile, major_segments);
  return m;
}

MeshGeometry MakeDisc(float radius, int slices) {
  MeshGeometry m;
  AddCap(m, radius, 0, slices, true);
  return m;
}

MeshGeometry MakeRing(float inner_radius, float outer_radius, int slices) {
  MeshGeometry m;
  AddRevolution(m, {{outer_radius, 0, 0, 1}, {inner_radius, 0, 0, 1}}, slices);
  return m;
}

MeshGeometry MakePlane(float width, float depth, int cells_x, int cells_z) {
  MeshGeometry m;
  for (int r = 0; r <= cells_z; ++r)
    for (int c = 0; c <= cells_x; ++c) {
      const float u = static_cast<float>(c) / cells_x;
      const float v = static_cast<float>(r) / cells_z;
      AddVertex(m, -width / 2 + u * width, 0, depth / 2 - v * depth, 0, 1, 0, u, v);
    }
  AddGridQuads(m, 0, cells_x, cells_z);
  return m;
}

MeshGeometry MakeCapsule(float radius, float height, int slices, int stacks) {
  MeshGeometry m;
  std::vector<ProfilePoint> profile;
  const int half = stacks / 2 > 0 ? stacks / 2 : 1;
  for (int j = 0; j <= half; ++j) {
    const float phi = kPi / 2 * j / half;
    profile.push_back({radius * std::sin(phi), height / 2 + radius * std::cos(phi), std::sin(phi), std::cos(phi)});
  }
  for (int j = 0; j <= half; ++j) {
    const float phi = kPi / 2 + kPi / 2 * j / half;
    profile.push_back({radius * std::sin(phi), -height / 2 + radius * std::cos(phi), std::sin(phi), std::cos(phi)});
  }
  AddRevolution(m, profile, slices);
  return m;
}

void AppendPart(MeshGeometry& into, const MeshGeometry& part, const float scale[3], const float offset[3]) {
  const size_t first = into.vertices.size();
  for (MeshVertex v : part.vertices) {
    float len = 0;
    for (int k = 0; k < 3; ++k) {
      v.position[k] = v.position[k] * scale[k] + offset[k];
      v.normal[k] /= scale[k];
      len += v.normal[k] * v.normal[k];
    }
    len = std::sqrt(len);
    if (len > 0)
      for (float& n : v.normal) n /= len;
    into.vertices.push_back(v);
  }
  for (uint16_t i : part.indices) into.indices.push_back(Index(first + i));
}

namespace {
const float kOne[3] = {1, 1, 1};
}

MeshGeometry MakeBoard(float width, float height, float thickness) {
  MeshGeometry m = MakeBox(width / 2, height / 2, thickness / 2);
  const float post_offset[3] = {0, -height / 2 - height / 4, 0};
  AppendPart(m, MakeBox(thickness, height / 4, thickness), kOne, post_offset);
  return m;
}

MeshGeometry MakeMast(float height, float radius) {
  MeshGeometry m;
  const float pole_offset[3] = {0, height / 2, 0};
  AppendPart(m, MakeCylinder(radius, height, 12), kOne, pole_offset);
  const float ball_offset[3] = {0, height, 0};
  AppendPart(m, MakeSphere(radius * 2, 12, 8), kOne, ball_offset);
  return m;
}

MeshGeometry MakeTurret(float radius) {
  MeshGeometry m = MakeCylinder(radius, radius * 0.5f, 16);
  const float dome_offset[3] = {0, radius * 0.25f, 0};
  const float dome_scale[3] = {1, 0.6f, 1};
  AppendPart(m, MakeSphere(radius * 0.7f, 16, 8), dome_scale, dome_offset);
  // The barrel lies along +z.
  MeshGeometry barrel = MakeBox(radius * 0.1f, radius * 0.1f, radius * 0.6f);
  const float barrel_offset[3] = {0, radius * 0.4f, radius * 0.9f};
  AppendPart(m, barrel, kOne, barrel_offset);
  return m;
}

MeshGeometry MakeCrystal(float radius, float height) {
  MeshGeometry m;
  const float top_offset[3] = {0, height / 4, 0};
  AppendPart(m, MakeCone(radius, height / 2, 6), kOne, top_offset);
  const float bottom_offset[3] = {0, -height / 4, 0};
  const float flip[3] = {1, -1, 1};
  MeshGeometry bottom = MakeCone(radius, height / 2, 6);
  // Mirroring in y turns the winding round: swap two indices of each triangle.
  for (size_t i = 0; i + 2 < bottom.indices.size(); i += 3) std::swap(bottom.indices[i + 1], bottom.indices[i + 2]);
  AppendPart(m, bottom, flip, bottom_offset);
  return m;
}

namespace {

void PutFloats(Bytes& out, const float* values, int count) {
  for (int i = 0; i < count; ++i) PutFloat(out, values[i]);
}

int TexSets(uint32_t format) {
  if (format & 0x80) return 4;
  if (format & 0x40) return 3;
  if (format & 0x20) return 2;
  if (format & 0x10) return 1;
  return 0;
}

uint32_t HighBytes(uint32_t format) {
  auto first_of = [format](int bit) -> uint32_t {
    if (format & (1u << bit)) return 4;
    if (format & (1u << (bit + 1))) return 12;
    if (format & (1u << (bit + 2))) return 16;
    return 0;
  };
  return ((format & 0x100) ? 12u : 0u) + first_of(9) + first_of(12);
}

}  // namespace

Bytes PackVertices(const MeshGeometry& mesh, uint32_t format, uint32_t diffuse) {
  Bytes out;
  for (const MeshVertex& v : mesh.vertices) {
    if (format & kMeshPosition) PutFloats(out, v.position, 3);
    if (format & kMeshNormal) PutFloats(out, v.normal, 3);
    if (format & kMeshPointSize) PutFloat(out, 1.0f);
    if (format & kMeshDiffuse) PutU32(out, diffuse);
    for (int t = 0; t < TexSets(format); ++t) PutFloats(out, v.uv, 2);
    out.resize(out.size() + HighBytes(format), 0);
  }
  return out;
}

RigidMeshDesc RigidFromGeometry(const MeshGeometry& mesh, uint32_t format, uint32_t diffuse) {
  RigidMeshDesc desc;
  desc.streams.vertex_count = static_cast<uint32_t>(mesh.vertices.size());
  desc.streams.formats[0] = format;
  desc.streams.vertices[0] = PackVertices(mesh, format, diffuse);
  desc.streams.indices = mesh.indices;
  return desc;
}

}  // namespace writers
