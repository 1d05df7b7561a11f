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

// The mission panel and its gauges, modelled in the panel's own axes as the game draws them (in
// camera units: x to the right, y up, z away from the eye). The "SHIELDS" label lies at
// x -2.9 to -0.9, y -0.5 to 0.5, in front of the board; the shield bar runs on its right, the
// infection crystal below the bar.
constexpr float kBoard_Left = -3.05f, kBoard_Right = 1.6f, kBoard_Bottom = -0.95f, kBoard_Top = 0.6f;
constexpr float kBoard_Thickness = 0.1f;

// Lays an upright part (filling from its foot at -y) on its side with the foot to the left, scales it
// and moves its centre to (x, y, z).
writers::MeshGeometry Lay_Along_X(const writers::MeshGeometry& upright, float x, float y, float z) {
  writers::MeshGeometry out = upright;
  for (writers::MeshVertex& v : out.vertices) {
    // A quarter turn about z: up becomes right, right becomes down.
    const float px = v.position[0], py = v.position[1];
    v.position[0] = py + x;
    v.position[1] = -px + y;
    v.position[2] += z;
    const float nx = v.normal[0], ny = v.normal[1];
    v.normal[0] = ny;
    v.normal[1] = -nx;
  }
  return out;
}

// The board on a short post beneath its middle.
writers::MeshGeometry Mission_Panel() {
  const float width = kBoard_Right - kBoard_Left, height = kBoard_Top - kBoard_Bottom;
  const float middle[3] = {(kBoard_Left + kBoard_Right) / 2, (kBoard_Top + kBoard_Bottom) / 2, 0.0f};
  const float one[3] = {1.0f, 1.0f, 1.0f};
  writers::MeshGeometry m;
  writers::AppendPart(m, writers::MakeBox(width / 2, height / 2, kBoard_Thickness / 2), one, middle);
  const float post[3] = {middle[0], kBoard_Bottom - 0.5f, 0.0f};
  writers::AppendPart(m, writers::MakeBox(kBoard_Thickness, 0.5f, kBoard_Thickness), one, post);
  return m;
}

// The shield bar: 2.1 long from its foot at x -0.8, 0.22 tall, 0.1 deep, in front of the board.
// Its texture's v runs along it, 1 at the foot, so that the gauge ramp fills it from the left.
writers::MeshGeometry Shield_Gauge() { return Lay_Along_X(writers::MakeBox(0.11f, 1.05f, 0.05f), 0.25f, 0.0f, -0.15f); }

// The infection crystal: two cones base to base, 2.2 long, 0.3 thick, below the shield bar; the
// ramp fills it from its waist toward both tips.
writers::MeshGeometry Infection_Gauge() {
  writers::MeshGeometry crystal;
  const float scale[3] = {0.15f, 0.275f, 0.15f};
  const float none[3] = {0.0f, 0.0f, 0.0f};
  writers::AppendPart(crystal, writers::MakeCrystal(1.0f, 8.0f), scale, none);
  return Lay_Along_X(crystal, 0.25f, -0.55f, -0.2f);
}

}  // namespace

void Add_Meshes_Family(Manifest& manifest) {
  AddMesh(manifest, 0x22000000, "sphere", [] { return writers::MakeSphere(4.5f, 24, 16); });
  // The guns of the player's arsenal are in family_arsenal.cpp.
  // Screen-effect shutter halves.
  // The two shutter halves: upright panels 150 units along x from the axis the shutter effect
  // turns them about, 1000 along z, the first below the middle line and the second above it.
  AddMesh(manifest, 0x22000076, "shutter_lower", [] { return Shutter_Half(-1.0f); });
  AddMesh(manifest, 0x22000077, "shutter_upper", [] { return Shutter_Half(1.0f); });
  // Game panel and its gauges.
  AddMesh(manifest, 0x220000C9, "panel", Mission_Panel);
  AddMesh(manifest, 0x220000CC, "shield_gauge", Shield_Gauge);
  AddMesh(manifest, 0x220000CD, "infection_gauge", Infection_Gauge);
  // A large disc above 256 vertices, so the content holds both mesh sizes.
  AddMesh(manifest, 0x2200FF00, "ground_disc", [] { return writers::MakeDisc(50.0f, 300); });
}

}  // namespace content
