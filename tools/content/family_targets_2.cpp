// Sample content of the light walls and the flying targets the track throws: their meshes at the
// sizes the game draws them (bar, second glower, boomer, buster, exclamation mark, glower, leaf,
// light wall) and the leaf's skin.
#include <cmath>
#include <functional>
#include <vector>

#include "tools/content/manifest.h"
#include "tools/content/mesh_entry.h"
#include "tools/writers/mesh_generator.h"
#include "tools/writers/renderable_writer.h"
#include "tools/writers/texture_patterns.h"
#include "tools/writers/texture_writer.h"

namespace content {
namespace {

using writers::MeshGeometry;

constexpr uint32_t kFormatArgb = 1;
constexpr uint32_t kFlagsAlphaBlend = 0x2033;
constexpr float kPi = 3.14159265f;

void Append(MeshGeometry& into, const MeshGeometry& part, float x, float y, float z) {
  const float scale[3] = {1, 1, 1};
  const float offset[3] = {x, y, z};
  writers::AppendPart(into, part, scale, offset);
}

// Turns a shape built about y so that its axis lies along x.
MeshGeometry Along_X(MeshGeometry mesh) {
  for (writers::MeshVertex& v : mesh.vertices) {
    const float px = v.position[0], py = v.position[1];
    v.position[0] = py;
    v.position[1] = -px;
    const float nx = v.normal[0], ny = v.normal[1];
    v.normal[0] = ny;
    v.normal[1] = -nx;
  }
  return mesh;
}

// The bar: a column 140 long along x and 30 across, ringed with grooves.
MeshGeometry Bar_Body() {
  MeshGeometry out;
  Append(out, writers::MakeBox(62.0f, 13.0f, 13.0f), 0, 0, 0);
  for (float x : {-40.0f, 0.0f, 40.0f}) Append(out, writers::MakeBox(4.0f, 15.0f, 15.0f), x, 0, 0);
  return out;
}
// Its two end caps.
MeshGeometry Bar_Caps() {
  MeshGeometry out;
  for (float x : {-65.0f, 65.0f}) Append(out, writers::MakeBox(5.0f, 15.0f, 15.0f), x, 0, 0);
  return out;
}

// The boomer: a block 100 × 130 × 100 whose corners are posts of the trim.
MeshGeometry Boomer_Body() {
  MeshGeometry out;
  Append(out, writers::MakeBox(42.0f, 58.0f, 42.0f), 0, 0, 0);
  Append(out, writers::MakeBox(50.0f, 6.0f, 50.0f), 0, 0, 0);
  return out;
}
MeshGeometry Boomer_Trim() {
  MeshGeometry out;
  for (float x : {-44.0f, 44.0f})
    for (float z : {-44.0f, 44.0f}) Append(out, writers::MakeBox(6.0f, 65.0f, 6.0f), x, 0, z);
  return out;
}

// An exclamation mark inside the box of half extent 5: a stem above a dot.
MeshGeometry Exclamation() {
  MeshGeometry out;
  Append(out, writers::MakeBox(3.0f, 3.2f, 3.0f), 0, 1.7f, 0);
  Append(out, writers::MakeBox(2.6f, 1.4f, 2.6f), 0, -3.6f, 0);
  return out;
}

// A flat leaf 76 across along x, tapering to its tip, with a raised midrib; both faces drawn.
MeshGeometry Leaf() {
  MeshGeometry out;
  constexpr int kSteps = 12;
  const auto half_width = [](float t) { return 20.0f * std::sin(kPi * t) * (1.0f - 0.35f * t); };
  for (int face = 0; face < 2; ++face) {
    const float ny = face == 0 ? 1.0f : -1.0f;
    const uint16_t base = static_cast<uint16_t>(out.vertices.size());
    for (int i = 0; i <= kSteps; ++i) {
      const float t = static_cast<float>(i) / kSteps;
      const float x = -38.0f + 76.0f * t;
      const float w = half_width(t);
      const float rib = 1.5f * std::sin(kPi * t);
      out.vertices.push_back({{x, rib * ny * 0.2f, -w}, {0, ny, 0}, {t, 0.0f}});
      out.vertices.push_back({{x, rib * ny, 0.0f}, {0, ny, 0}, {t, 0.5f}});
      out.vertices.push_back({{x, rib * ny * 0.2f, w}, {0, ny, 0}, {t, 1.0f}});
    }
    for (int i = 0; i < kSteps; ++i) {
      for (int j = 0; j < 2; ++j) {
        const uint16_t a = static_cast<uint16_t>(base + i * 3 + j), b = static_cast<uint16_t>(a + 1);
        const uint16_t c = static_cast<uint16_t>(a + 3), d = static_cast<uint16_t>(a + 4);
        if (face == 0) {
          out.indices.insert(out.indices.end(), {a, c, b, b, c, d});
        } else {
          out.indices.insert(out.indices.end(), {a, b, c, b, d, c});
        }
      }
    }
  }
  return out;
}

// The light wall: a frame 75 × 75 × 27 round a lit panel.
MeshGeometry Wall_Frame() {
  MeshGeometry out;
  for (float y : {-33.5f, 33.5f}) Append(out, writers::MakeBox(37.5f, 4.0f, 13.5f), 0, y, 0);
  for (float x : {-33.5f, 33.5f}) Append(out, writers::MakeBox(4.0f, 29.5f, 13.5f), x, 0, 0);
  return out;
}
MeshGeometry Wall_Panel() {
  MeshGeometry out;
  Append(out, writers::MakeBox(29.5f, 29.5f, 11.0f), 0, 0, 0);
  return out;
}

struct MeshDef {
  uint32_t id;
  const char* name;
  std::function<MeshGeometry()> make;
};

std::vector<MeshDef> Meshes() {
  return {
      {0x220000E8, "bar_body", Bar_Body},
      {0x220000E9, "bar_caps", Bar_Caps},
      {0x22000110, "glower_b_shell", [] { return writers::MakeSphere(48.0f, 20, 14); }},
      {0x22000111, "glower_b_band", [] { return writers::MakeTorus(46.0f, 5.0f, 24, 8); }},
      {0x220000E2, "boomer_body", Boomer_Body},
      {0x220000E3, "boomer_trim", Boomer_Trim},
      {0x22000116, "buster_body", [] { return writers::MakeSphere(70.0f, 24, 16); }},
      {0x22000117, "buster_band", [] { return Along_X(writers::MakeTorus(68.0f, 7.0f, 28, 8)); }},
      {0x2200012E, "exclamation_mark", Exclamation},
      {0x22000109, "glower_orb", [] { return writers::MakeSphere(90.0f, 24, 16); }},
      {0x2200010A, "glower_ring", [] { return writers::MakeTorus(92.0f, 8.0f, 28, 8); }},
      {0x220000E7, "leaf", Leaf},
      {0x220000AA, "light_wall_frame", Wall_Frame},
      {0x220000AB, "light_wall_panel", Wall_Panel},
  };
}

// The leaf's skin: veins fanning from the midrib over a light ground (the tint colours it).
bool Leaf_Skin(writers::Picture& picture) {
  constexpr uint32_t kSide = 64;
  picture.width = picture.height = kSide;
  picture.pixels.assign(kSide * kSide, 0xFFE8E8E8);
  for (uint32_t y = 0; y < kSide; ++y) {
    for (uint32_t x = 0; x < kSide; ++x) {
      const float u = static_cast<float>(x) / kSide, v = static_cast<float>(y) / kSide - 0.5f;
      const float vein = std::fabs(std::fmod(u * 8.0f + std::fabs(v) * 6.0f, 1.0f) - 0.5f);
      uint32_t shade = 0xE8;
      if (std::fabs(v) < 0.04f) shade = 0xB0;
      else if (vein < 0.07f) shade = 0xC4;
      picture.At(x, y) = 0xFF000000u | shade << 16 | shade << 8 | shade;
    }
  }
  return true;
}

}  // namespace

void Add_Targets_2_Family(Manifest& manifest) {
  for (const MeshDef& mesh : Meshes())
    Add_Mesh_Resource(manifest, mesh.id, std::string("meshes/") + mesh.name + ".rnd", mesh.make);
  const auto add_texture = [&](uint32_t id, const char* name, std::function<bool(writers::Picture&)> draw) {
    ResourceEntry entry;
    entry.id = id;
    entry.type = 2;
    entry.name = name;
    entry.compress = true;
    entry.generate = [draw](Bytes& out) {
      writers::Picture picture;
      return draw(picture) && writers::EncodeTextureData(writers::kTextureVersionSingle, kFormatArgb, kFlagsAlphaBlend,
                                                         1, {picture}, out);
    };
    manifest.AddResource(std::move(entry));
  };
  // The glower's halo texture 0x220000CF is the War Room family's soft light beam.
  add_texture(0x220000E5, "textures/leaf.txb", Leaf_Skin);
}

}  // namespace content
