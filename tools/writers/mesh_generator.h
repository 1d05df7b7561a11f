#pragma once
// Procedural meshes for the sample content and the tests: positions, unit normals and texture
// coordinates of simple shapes, and their packing into vertex streams of a vertex-format word.
// Shapes are centred on the origin with y up unless stated otherwise.
#include <cstdint>
#include <vector>

#include "tools/writers/renderable_writer.h"

namespace writers {

struct MeshVertex {
  float position[3];
  float normal[3];
  float uv[2];
};

struct MeshGeometry {
  std::vector<MeshVertex> vertices;
  std::vector<uint16_t> indices;  // three per triangle, front faces clockwise seen from outside
  uint32_t triangle_count() const { return static_cast<uint32_t>(indices.size() / 3); }
};

MeshGeometry MakeSphere(float radius, int slices, int stacks);
MeshGeometry MakeBox(float half_x, float half_y, float half_z);
// Along y, from -height/2 to +height/2, with caps.
MeshGeometry MakeCylinder(float radius, float height, int slices);
// Base at -height/2, tip at +height/2.
MeshGeometry MakeCone(float radius, float height, int slices);
// In the x-z plane.
MeshGeometry MakeTorus(float major_radius, float minor_radius, int major_segments, int minor_segments);
// In the x-z plane, facing up.
MeshGeometry MakeDisc(float radius, int slices);
MeshGeometry MakeRing(float inner_radius, float outer_radius, int slices);
// In the x-z plane, facing up, divided into cells_x by cells_z quads.
MeshGeometry MakePlane(float width, float depth, int cells_x, int cells_z);
// A cylinder of the given straight height with half-sphere ends.
MeshGeometry MakeCapsule(float radius, float height, int slices, int stacks);

// Appends a part, scaled then moved.
void AppendPart(MeshGeometry& into, const MeshGeometry& part, const float scale[3], const float offset[3]);

// Composed shapes.
MeshGeometry MakeBoard(float width, float height, float thickness);  // a panel on a frame
MeshGeometry MakeMast(float height, float radius);                     // a pole with a top ball
MeshGeometry MakeTurret(float radius);                                 // a base, dome and barrel
MeshGeometry MakeCrystal(float radius, float height);                  // two cones tip to tip

// Vertex bytes of one stream of a format word (position, normal, the diffuse colour (ARGB) on
// every vertex, texture sets repeating the one pair; the high byte zero-filled).
Bytes PackVertices(const MeshGeometry& mesh, uint32_t format, uint32_t diffuse = 0xFFFFFFFFu);
// A single-stream rigid mesh of the geometry.
RigidMeshDesc RigidFromGeometry(const MeshGeometry& mesh, uint32_t format = kMeshLitTextured,
                                uint32_t diffuse = 0xFFFFFFFFu);

}  // namespace writers
