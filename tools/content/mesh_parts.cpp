#include "tools/content/mesh_parts.h"

#include <string>

#include "tools/content/mesh_entry.h"

namespace content {

writers::MeshGeometry Along_Z(writers::MeshGeometry mesh) {
  for (writers::MeshVertex& v : mesh.vertices) {
    // Positions and normals turn alike.
    for (float* p : {v.position, v.normal}) {
      const float y = p[1];
      p[1] = -p[2];
      p[2] = y;
    }
  }
  return mesh;
}

void Append_Part(writers::MeshGeometry& into, const writers::MeshGeometry& part, float sx, float sy, float sz, float x,
                 float y, float z) {
  const float scale[3] = {sx, sy, sz};
  const float offset[3] = {x, y, z};
  writers::AppendPart(into, part, scale, offset);
}

void Add_Meshes(Manifest& manifest, const std::vector<Mesh_Def>& meshes) {
  for (const Mesh_Def& mesh : meshes)
    Add_Mesh_Resource(manifest, mesh.id, std::string("meshes/") + mesh.name + ".rnd", mesh.make);
}

void Add_Textures(Manifest& manifest, const std::vector<Texture_Def>& textures, uint32_t format, uint32_t flags) {
  for (const Texture_Def& texture : textures)
    Add_Pattern_Texture_Resource(manifest, texture.id, texture.name, texture.pattern, format, flags);
}

}  // namespace content
