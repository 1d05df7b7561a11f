#include "tools/content/mesh_entry.h"

#include "tools/writers/renderable_writer.h"
#include "tools/writers/texture_writer.h"

namespace content {

void Add_Mesh_Resource(Manifest& manifest, uint32_t id, std::string name,
                       std::function<writers::MeshGeometry()> make) {
  ResourceEntry entry;
  entry.id = id;
  entry.type = 4;
  entry.name = std::move(name);
  entry.compress = true;
  entry.generate = [make = std::move(make)](Bytes& out) {
    out = writers::BuildRigidRenderable(writers::RigidFromGeometry(make()));
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

}  // namespace content
