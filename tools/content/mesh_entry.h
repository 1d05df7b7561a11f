#pragma once
// Resources the content families share the making of: a renderable (type 4) of one rigid mesh
// made by a geometry function (optionally coloured), and a single texture (type 2) drawn from a pattern.
#include <cstdint>
#include <functional>
#include <string>

#include "tools/content/manifest.h"
#include "tools/writers/mesh_generator.h"
#include "tools/writers/texture_patterns.h"

namespace content {

void Add_Mesh_Resource(Manifest& manifest, uint32_t id, std::string name,
                       std::function<writers::MeshGeometry()> make);
// The same with every vertex carrying a diffuse colour (ARGB): the colour unlit styles show
// when no texture is bound.
void Add_Coloured_Mesh_Resource(Manifest& manifest, uint32_t id, std::string name, uint32_t diffuse,
                                std::function<writers::MeshGeometry()> make);
void Add_Pattern_Texture_Resource(Manifest& manifest, uint32_t id, std::string name,
                                  const writers::PatternSpec& pattern, uint32_t format, uint32_t flags);

}  // namespace content
