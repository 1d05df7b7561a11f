#include "tools/content/mesh_entry.h"

#include "tools/writers/renderable_writer.h"
#include "tools/writers/texture_writer.h"

namespace content {

void Add_Mesh_Resource(Manifest& manifest, uint32_t id, std::string name,
                       std::function<writers::MeshGeometry()> make) {
  Add_Coloured_Mesh_Resource(manifest, id, std::move(name), 0, std::move(make));
}

void Add_Coloured_Mesh_Resource(Manifest& manifest, uint32_t id, std::string name, uint32_t diffuse,
                                std::function<writers::MeshGeometry()> make) {
  // A diffuse of 0 means no colour stream at all: the plain lit, textured vertex.
  const uint32_t format = diffuse ? (writers::kMeshLitTextured | writers::kMeshDiffuse) : writers::kMeshLitTextured;
  ResourceEntry entry;
  entry.id = id;
  entry.type = 4;
  entry.name = std::move(name);
  entry.compress = true;
  entry.generate = [make = std::move(make), format, diffuse](Bytes& out) {
    out = writers::BuildRigidRenderable(writers::RigidFromGeometry(make(), format, diffuse));
    return !out.empty();
  };
  manifest.AddResource(std::move(entry));
}

void Add_Pattern_Texture_Resource(Manifest& manifest, uint32_t id, std::string name,
                                  const writers::PatternSpec& pattern, uint32_t format, uint32_t flags) {
  ResourceEntry entry;
  entry.id = id;
  entry.type = 2;
  entry.name = std::move(name);
  entry.compress = true;
  entry.generate = [pattern, format, flags](Bytes& out) {
    writers::Picture picture;
    return writers::DrawPattern(pattern, picture) &&
           writers::EncodeTextureData(writers::kTextureVersionSingle, format, flags, 1, {picture}, out);
  };
  manifest.AddResource(std::move(entry));
}

void Add_Drawn_Texture_Resource(Manifest& manifest, uint32_t id, std::string name, uint16_t mips,
                                std::function<bool(writers::Picture&)> draw) {
  constexpr uint32_t kFormat_Argb = 1, kFlags_Alpha_Blend = 0x2033;
  ResourceEntry entry;
  entry.id = id;
  entry.type = 2;
  entry.name = std::move(name);
  entry.compress = true;
  entry.generate = [mips, draw = std::move(draw)](Bytes& out) {
    writers::Picture picture;
    return draw(picture) && writers::EncodeTextureData(writers::kTextureVersionSingle, kFormat_Argb,
                                                       kFlags_Alpha_Blend, mips, {picture}, out);
  };
  manifest.AddResource(std::move(entry));
}

}  // namespace content
