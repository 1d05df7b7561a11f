// Sample renderables: rigid meshes of simple and composed shapes at the sizes the game draws
// them, with normals and texture coordinates, stored compressed in pack set 0.
#include <functional>

#include "tools/content/manifest.h"
#include "tools/writers/mesh_generator.h"
#include "tools/writers/renderable_writer.h"

namespace content {
namespace {

using MakeMesh = std::function<writers::MeshGeometry()>;

void AddMesh(Manifest& manifest, uint32_t id, const char* name, MakeMesh make) {
  ResourceEntry entry;
  entry.id = id;
  entry.type = 4;
  entry.name = std::string("meshes/") + name + ".rnd";
  entry.compress = true;
  entry.generate = [make](Bytes& out) {
    out = writers::BuildRigidRenderable(writers::RigidFromGeometry(make()));
    return !out.empty();
  };
  manifest.AddResource(std::move(entry));
}

writers::MeshGeometry Shutter_Half(float side) {
  writers::MeshGeometry m = writers::MakeBox(2.0f, 65.0f, 150.0f);
  for (writers::MeshVertex& v : m.vertices) {
    v.position[0] += 150.0f;
    v.position[1] += side * 65.0f;
    v.position[2] += 1000.0f;
  }
  return m;
}

}  // namespace

void Add_Meshes_Family(Manifest& manifest) {
  AddMesh(manifest, 0x22000000, "sphere", [] { return writers::MakeSphere(4.5f, 24, 16); });
  // The guns of the player's arsenal are in family_arsenal.cpp.
  // Missile launcher: body and cradle.
  AddMesh(manifest, 0x22000056, "launcher_body", [] { return writers::MakeCapsule(2.0f, 8.0f, 16, 8); });
  AddMesh(manifest, 0x2200005D, "launcher_cradle", [] { return writers::MakeMast(6.0f, 0.5f); });
  // Screen-effect shutter halves.
  // The two shutter halves: upright panels 150 units along x from the axis the shutter effect
  // turns them about, 1000 along z, the first below the middle line and the second above it.
  AddMesh(manifest, 0x22000076, "shutter_lower", [] { return Shutter_Half(-1.0f); });
  AddMesh(manifest, 0x22000077, "shutter_upper", [] { return Shutter_Half(1.0f); });
  // Game panel and its gauges.
  AddMesh(manifest, 0x220000C9, "panel", [] { return writers::MakeBoard(40.0f, 20.0f, 1.0f); });
  AddMesh(manifest, 0x220000CC, "shield_gauge", [] { return writers::MakeBox(1.0f, 8.0f, 0.5f); });
  AddMesh(manifest, 0x220000CD, "infection_gauge", [] { return writers::MakeCrystal(1.0f, 8.0f); });
  // A large disc above 256 vertices, so the content holds both mesh sizes.
  AddMesh(manifest, 0x2200FF00, "ground_disc", [] { return writers::MakeDisc(50.0f, 300); });
}

}  // namespace content
