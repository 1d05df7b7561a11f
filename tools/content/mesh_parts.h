#pragma once
// Pieces the families that model long shapes along z share (the player's arsenal, the enemy
// ammunition): turning a shape built along y to lie along z, appending a scaled and moved
// part, and adding tables of meshes and pattern textures to the manifest.
#include <cstdint>
#include <functional>
#include <vector>

#include "tools/content/manifest.h"
#include "tools/writers/mesh_generator.h"
#include "tools/writers/texture_patterns.h"

namespace content {

// Turns a shape built along y so that it lies along z (y goes to z, z to -y).
writers::MeshGeometry Along_Z(writers::MeshGeometry mesh);
// The part scaled per axis, then moved by (x, y, z), added to the mesh.
void Append_Part(writers::MeshGeometry& into, const writers::MeshGeometry& part, float sx, float sy, float sz, float x,
                 float y, float z);

// A mesh made by a function, written as meshes/<name>.rnd.
struct Mesh_Def {
  uint32_t id;
  const char* name;
  std::function<writers::MeshGeometry()> make;
};
void Add_Meshes(Manifest& manifest, const std::vector<Mesh_Def>& meshes);

// A texture drawn from a pattern, written under its name as it stands.
struct Texture_Def {
  uint32_t id;
  const char* name;
  writers::PatternSpec pattern;
};
void Add_Textures(Manifest& manifest, const std::vector<Texture_Def>& textures, uint32_t format, uint32_t flags);

}  // namespace content
