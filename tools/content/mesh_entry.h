#pragma once
// A renderable resource (type 4) of one rigid mesh made by a geometry function.
#include <cstdint>
#include <functional>
#include <string>

#include "tools/content/manifest.h"
#include "tools/writers/mesh_generator.h"

namespace content {

void Add_Mesh_Resource(Manifest& manifest, uint32_t id, std::string name,
                       std::function<writers::MeshGeometry()> make);

}  // namespace content
