#pragma once
// Writes world resources: a terrain height field with its vertex positions and normals, and
// the tile grid-mesh data that draws it, all computed from one height function so that they
// agree with each other.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace writers {

enum class WorldShape {
  Flat,     // the base height everywhere
  Rolling,  // gentle waves across both axes
  Bowl,     // lowest in the middle, rising towards the edges
};

struct WorldSpec {
  float sizeX = 1600.0f;
  float sizeZ = 1600.0f;
  int tilesX = 4;
  int tilesZ = 4;
  int tileGrid = 17;  // vertices along each side of a tile; neighbouring tiles share their edge
  WorldShape shape = WorldShape::Flat;
  float baseHeight = 0.0f;
  float amplitude = 0.0f;  // height range of the rolling and bowl shapes, never below the base
  bool embeddedObject = false;  // append a small rigid mesh after the tiles
};

// Byte offsets of the fields of a world resource, for tests that patch them.
constexpr size_t kWorldSizeXOffset = 20;
constexpr size_t kWorldSizeZOffset = 24;
constexpr size_t kWorldTilesXOffset = 28;
constexpr size_t kWorldTilesZOffset = 32;
constexpr size_t kWorldTileGridOffset = 36;
constexpr size_t kWorldVerticesXOffset = 40;
constexpr size_t kWorldVerticesZOffset = 44;
constexpr size_t kWorldFlagsOffset = 48;
constexpr size_t kWorldHeightsOffset = 52;
constexpr size_t kWorldTileVertexSize = 32;

int WorldVerticesX(const WorldSpec& spec);
int WorldVerticesZ(const WorldSpec& spec);
// The height the description's function gives at a point of the field.
float WorldHeightAt(const WorldSpec& spec, float x, float z);
// Offset of the first tile record (its byte count) in the written resource.
size_t WorldFirstTileOffset(const WorldSpec& spec);

// False for a spec that cannot be written (sizes or counts out of range).
bool WriteWorld(const WorldSpec& spec, std::vector<uint8_t>& out);

}  // namespace writers
