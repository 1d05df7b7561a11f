// The four environment worlds that simulations are launched in: raw world resources (stored
// uncompressed, opened as files) with terrain of different character.
#include "tools/content/manifest.h"
#include "tools/writers/world_writer.h"

namespace content {
namespace {

struct WorldDef {
  uint32_t id;
  const char* name;
  writers::WorldShape shape;
  float baseHeight;
  float amplitude;
};

const WorldDef kWorlds[] = {
    {0x22000048, "worlds/meadow.wld", writers::WorldShape::Rolling, 0.0f, 60.0f},
    {0x2200000b, "worlds/plain.wld", writers::WorldShape::Flat, 20.0f, 0.0f},
    {0x22000108, "worlds/basin.wld", writers::WorldShape::Bowl, 0.0f, 240.0f},
    {0x22000107, "worlds/dunes.wld", writers::WorldShape::Rolling, 10.0f, 140.0f},
};

}  // namespace

void Add_Worlds_Family(Manifest& manifest) {
  for (const WorldDef& def : kWorlds) {
    writers::WorldSpec spec;
    spec.shape = def.shape;
    spec.baseHeight = def.baseHeight;
    spec.amplitude = def.amplitude;
    ResourceEntry entry;
    entry.id = def.id;
    entry.type = 0;
    entry.name = def.name;
    entry.compress = false;
    entry.generate = [spec](Bytes& out) { return writers::WriteWorld(spec, out); };
    manifest.AddResource(std::move(entry));
  }
}

}  // namespace content
