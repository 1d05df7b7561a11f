// Sample content of the ground and firework targets and their ejectors: the pill capsule, the
// star in its four sizes (modelled at half size 10 x 5 x 10 and stretched), the line bar, the
// roller and jumper balls, the star ejector's block and the twirler ejector's energy mast, at
// the sizes the game draws them.
#include <cmath>
#include <functional>

#include "tools/content/manifest.h"
#include "tools/writers/mesh_generator.h"
#include "tools/writers/renderable_writer.h"

namespace content {
namespace {

constexpr float kPi = 3.14159265f;
constexpr float kOne[3] = {1.0f, 1.0f, 1.0f};

using MakeMesh = std::function<writers::MeshGeometry()>;

void Add_Target_Mesh(Manifest& manifest, uint32_t id, const char* name, MakeMesh make) {
  ResourceEntry entry;
  entry.id = id;
  entry.type = 4;
  entry.name = std::string("meshes/") + name + ".rnd";
  entry.compress = true;
  entry.generate = [make](Bytes& out) {
    out = writers::BuildRigidRenderable(writers::RigidFromGeometry(make()));
    return !out.empty();
  };
  manifest.AddResource(std::move(entry));
}

// A part turned a quarter about x, so that its y axis lies along z.
writers::MeshGeometry Lying_Along_Z(writers::MeshGeometry m) {
  for (writers::MeshVertex& v : m.vertices) {
    const float y = v.position[1], z = v.position[2];
    v.position[1] = -z;
    v.position[2] = y;
    const float ny = v.normal[1], nz = v.normal[2];
    v.normal[1] = -nz;
    v.normal[2] = ny;
  }
  return m;
}

// A part turned a quarter about z, so that its y axis lies along x.
writers::MeshGeometry Lying_Along_X(writers::MeshGeometry m) {
  for (writers::MeshVertex& v : m.vertices) {
    const float x = v.position[0], y = v.position[1];
    v.position[0] = y;
    v.position[1] = -x;
    const float nx = v.normal[0], ny = v.normal[1];
    v.normal[0] = ny;
    v.normal[1] = -nx;
  }
  return m;
}

void Append(writers::MeshGeometry& into, const writers::MeshGeometry& part, float x, float y, float z) {
  const float offset[3] = {x, y, z};
  writers::AppendPart(into, part, kOne, offset);
}

// One flat-shaded triangle, wound to face away from the origin.
void Add_Facet(writers::MeshGeometry& m, const float a[3], const float b[3], const float c[3], float u, float v) {
  const float e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
  const float e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
  const float centre[3] = {a[0] + b[0] + c[0], a[1] + b[1] + c[1], a[2] + b[2] + c[2]};
  const bool flip = n[0] * centre[0] + n[1] * centre[1] + n[2] * centre[2] < 0.0f;
  const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  for (float& x : n) x = (flip ? -x : x) / (length > 0.0f ? length : 1.0f);
  const float* corners[3] = {a, flip ? c : b, flip ? b : c};
  for (const float* p : corners) {
    writers::MeshVertex vertex{};
    for (int i = 0; i < 3; ++i) {
      vertex.position[i] = p[i];
      vertex.normal[i] = n[i];
    }
    vertex.uv[0] = u + 0.5f * p[0] / 10.0f;
    vertex.uv[1] = v + 0.5f * p[2] / 10.0f;
    m.indices.push_back(static_cast<uint16_t>(m.vertices.size()));
    m.vertices.push_back(vertex);
  }
}

// A five-pointed star, 20 across and 10 thick at its middle, its points sharp at the rim.
writers::MeshGeometry Star() {
  writers::MeshGeometry m;
  const float top[3] = {0.0f, 5.0f, 0.0f}, bottom[3] = {0.0f, -5.0f, 0.0f};
  for (int i = 0; i < 10; ++i) {
    const float r0 = i % 2 == 0 ? 10.0f : 4.2f, r1 = i % 2 == 0 ? 4.2f : 10.0f;
    const float a0 = 2.0f * kPi * i / 10.0f, a1 = 2.0f * kPi * (i + 1) / 10.0f;
    const float p[3] = {r0 * std::cos(a0), 0.0f, r0 * std::sin(a0)};
    const float q[3] = {r1 * std::cos(a1), 0.0f, r1 * std::sin(a1)};
    Add_Facet(m, top, p, q, 0.5f, 0.5f);
    Add_Facet(m, bottom, q, p, 0.5f, 0.5f);
  }
  return m;
}

// The pill: a capsule 60 across and 120 long along z.
writers::MeshGeometry Pill() { return Lying_Along_Z(writers::MakeCapsule(30.0f, 60.0f, 20, 8)); }

// The line: a bar 300 x 24 x 40 along x with rounded ends.
writers::MeshGeometry Line() {
  writers::MeshGeometry m = writers::MakeBox(140.0f, 12.0f, 20.0f);
  const writers::MeshGeometry end = Lying_Along_Z(writers::MakeCylinder(12.0f, 40.0f, 12));
  Append(m, end, 140.0f, 0.0f, 0.0f);
  Append(m, end, -140.0f, 0.0f, 0.0f);
  return m;
}

// A ball of the radius with a raised band round its middle and one across, so its roll shows.
writers::MeshGeometry Banded_Ball(float radius) {
  writers::MeshGeometry m = writers::MakeSphere(radius, 24, 16);
  const float band = radius * 0.06f;
  Append(m, writers::MakeTorus(radius * 0.98f, band, 32, 6), 0.0f, 0.0f, 0.0f);
  Append(m, Lying_Along_X(writers::MakeTorus(radius * 0.98f, band, 32, 6)), 0.0f, 0.0f, 0.0f);
  return m;
}

// The star ejector: a block of half size 35 x 25 x 25 with a launch lip along +x.
writers::MeshGeometry Star_Block() {
  writers::MeshGeometry m = writers::MakeBox(35.0f, 25.0f, 25.0f);
  Append(m, writers::MakeBox(4.0f, 18.0f, 18.0f), 37.0f, 0.0f, 0.0f);
  return m;
}

// The twirler mast: a column 600 tall about its middle on a wide foot.
writers::MeshGeometry Mast() {
  writers::MeshGeometry m = writers::MakeCylinder(10.0f, 600.0f, 16);
  Append(m, writers::MakeCylinder(24.0f, 40.0f, 16), 0.0f, -280.0f, 0.0f);
  Append(m, writers::MakeCylinder(16.0f, 20.0f, 16), 0.0f, 0.0f, 0.0f);
  return m;
}

// The mast's top: rings round the column near its head, under the light.
writers::MeshGeometry Mast_Top() {
  writers::MeshGeometry m = writers::MakeTorus(26.0f, 5.0f, 24, 8);
  Append(m, writers::MakeTorus(20.0f, 4.0f, 24, 8), 0.0f, -30.0f, 0.0f);
  Append(m, writers::MakeCone(18.0f, 30.0f, 16), 0.0f, -60.0f, 0.0f);
  for (writers::MeshVertex& v : m.vertices) v.position[1] += 290.0f;
  return m;
}

}  // namespace

void Add_Targets_2b_Family(Manifest& manifest) {
  Add_Target_Mesh(manifest, 0x220000A5, "target_pill", Pill);
  Add_Target_Mesh(manifest, 0x220000AF, "target_star", Star);
  Add_Target_Mesh(manifest, 0x2200010C, "target_line", Line);
  Add_Target_Mesh(manifest, 0x220000B5, "target_roller", [] { return Banded_Ball(45.0f); });
  Add_Target_Mesh(manifest, 0x22000114, "target_jumper", [] { return Banded_Ball(50.0f); });
  Add_Target_Mesh(manifest, 0x220000AD, "ejector_stars", Star_Block);
  Add_Target_Mesh(manifest, 0x220000B2, "ejector_twirler_mast", Mast);
  Add_Target_Mesh(manifest, 0x220000B3, "ejector_twirler_top", Mast_Top);
}

}  // namespace content
