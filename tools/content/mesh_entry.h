#pragma once
// Resources the content families share the making of: a renderable (type 4) of one rigid mesh
// made by a geometry function (optionally coloured), and a single texture (type 2) drawn from a
// pattern or by a function.
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
// An ARGB texture with alpha, drawn by the function, with that many mipmap levels.
void Add_Drawn_Texture_Resource(Manifest& manifest, uint32_t id, std::string name, uint16_t mips,
                                std::function<bool(writers::Picture&)> draw);

}  // namespace content
