// Sample content of the enemy ammunition: the bar with its two heads, the cube bullet, the
// canister, the crystal shard, the disc with its core, and the missile's body and fins (nose
// along +z), at the sizes the ammunition's bodies assume. The balls, bomb, roller and
// anti-matter draw the shared unit sphere; their textures, styles and sounds come from the
// shared families.
#include <functional>
#include <string>
#include <vector>

#include "tools/content/manifest.h"
#include "tools/content/mesh_parts.h"
#include "tools/writers/mesh_generator.h"
#include "tools/writers/renderable_writer.h"
#include "tools/writers/texture_patterns.h"
#include "tools/writers/texture_writer.h"

namespace content {
namespace {

using writers::MeshGeometry;

// The bar's shaft: a square body 48 across with a rod running out to both ends, 350 long.
MeshGeometry Bar_Shaft() {
  MeshGeometry out;
  Append_Part(out, writers::MakeBox(24.0f, 24.0f, 110.0f), 1, 1, 1, 0, 0, 0);
  Append_Part(out, Along_Z(writers::MakeCylinder(13.0f, 350.0f, 12)), 1, 1, 1, 0, 0, 0);
  for (float z : {-110.0f, 110.0f}) Append_Part(out, writers::MakeBox(27.0f, 27.0f, 4.0f), 1, 1, 1, 0, 0, z);
  return out;
}

// A glowing knob at one end of the bar.
MeshGeometry Bar_Head(float z) {
  MeshGeometry out;
  Append_Part(out, writers::MakeSphere(26.0f, 16, 10), 1, 1, 1, 0, 0, z);
  return out;
}

// The cube bullet, 36 a side, with a raised band about it.
MeshGeometry Bullet() {
  MeshGeometry out;
  Append_Part(out, writers::MakeBox(18.0f, 18.0f, 18.0f), 1, 1, 1, 0, 0, 0);
  Append_Part(out, writers::MakeBox(19.0f, 4.0f, 19.0f), 1, 1, 1, 0, 0, 0);
  return out;
}

// The canister, 46 across and 66 high, with rims at both ends.
MeshGeometry Can() {
  MeshGeometry out;
  Append_Part(out, writers::MakeCylinder(21.0f, 60.0f, 16), 1, 1, 1, 0, 0, 0);
  for (float y : {-29.0f, 29.0f}) Append_Part(out, writers::MakeTorus(21.0f, 2.0f, 16, 6), 1, 1, 1, 0, y, 0);
  Append_Part(out, writers::MakeCylinder(6.0f, 6.0f, 8), 1, 1, 1, 0, 33.0f, 0);
  return out;
}

// The crystal shard: a long double point inside a radius of 35.
MeshGeometry Shard() {
  MeshGeometry out;
  Append_Part(out, writers::MakeCrystal(16.0f, 66.0f), 1, 1, 1, 0, 0, 0);
  return out;
}

// The disc: 80 across and 12 thick, with a rim.
MeshGeometry Disc() {
  MeshGeometry out;
  Append_Part(out, writers::MakeCylinder(40.0f, 8.0f, 24), 1, 1, 1, 0, 0, 0);
  Append_Part(out, writers::MakeTorus(37.0f, 3.0f, 24, 6), 1, 1, 1, 0, 0, 0);
  return out;
}

// The disc's core, standing out of both faces.
MeshGeometry Disc_Core() {
  MeshGeometry out;
  Append_Part(out, writers::MakeSphere(14.0f, 14, 8), 1, 0.45f, 1, 0, 0, 0);
  return out;
}

// The missile's body: a tube with a pointed nose along +z, about 120 long.
MeshGeometry Missile_Body() {
  MeshGeometry out;
  Append_Part(out, Along_Z(writers::MakeCylinder(11.0f, 90.0f, 14)), 1, 1, 1, 0, 0, -15.0f);
  Append_Part(out, Along_Z(writers::MakeCone(11.0f, 30.0f, 14)), 1, 1, 1, 0, 0, 45.0f);
  Append_Part(out, Along_Z(writers::MakeCylinder(8.0f, 6.0f, 10)), 1, 1, 1, 0, 0, -62.0f);
  return out;
}

// Four tail fins in a cross.
MeshGeometry Missile_Fins() {
  MeshGeometry out;
  Append_Part(out, writers::MakeBox(28.0f, 1.5f, 12.0f), 1, 1, 1, 0, 0, -48.0f);
  Append_Part(out, writers::MakeBox(1.5f, 28.0f, 12.0f), 1, 1, 1, 0, 0, -48.0f);
  return out;
}

std::vector<Mesh_Def> Meshes() {
  return {
      {0x22000152, "enemy_bar_shaft", Bar_Shaft},
      {0x22000153, "enemy_bar_head_front", [] { return Bar_Head(150.0f); }},
      {0x22000154, "enemy_bar_head_back", [] { return Bar_Head(-150.0f); }},
      {0x22000155, "enemy_bullet_cube", Bullet},
      {0x22000161, "enemy_canister", Can},
      {0x220000DA, "enemy_crystal_shard", Shard},
      {0x22000150, "enemy_disc", Disc},
      {0x22000151, "enemy_disc_core", Disc_Core},
      {0x2200014C, "enemy_missile_body", Missile_Body},
      {0x2200014D, "enemy_missile_fins", Missile_Fins},
  };
}

writers::PatternSpec Make_Pattern(writers::Pattern kind, uint32_t a, uint32_t b, uint32_t count, uint32_t seed) {
  writers::PatternSpec spec;
  spec.pattern = kind;
  spec.width = 64;
  spec.height = 64;
  spec.color_a = a;
  spec.color_b = b;
  spec.count = count;
  spec.seed = seed;
  return spec;
}

// The missile's fin plating. (The balls' shell texture is the targets' family's.)
std::vector<Texture_Def> Textures() {
  return {
      {0x2200001C, "textures/emmo_fin_plating.txb",
       Make_Pattern(writers::Pattern::Stripes, 0xFF9098A4, 0xFF505862, 6, 1)},
  };
}

constexpr uint32_t kFormat_Argb = 1;
constexpr uint32_t kFlags_Alpha_Blend = 0x2033;

}  // namespace

void Add_Enemy_Ammo_Family(Manifest& manifest) {
  Add_Meshes(manifest, Meshes());
  Add_Textures(manifest, Textures(), kFormat_Argb, kFlags_Alpha_Blend);
}

}  // namespace content
