// Sample content of the cylinder ejector, the death vial, the bullseye board, its tower and the
// memory-game board: meshes at the sizes the game draws them.
#include <functional>

#include "tools/content/manifest.h"
#include "tools/writers/mesh_generator.h"
#include "tools/writers/renderable_writer.h"

namespace content {
namespace {

using MakeMesh = std::function<writers::MeshGeometry()>;

void Add_Mesh(Manifest& manifest, uint32_t id, const char* name, MakeMesh make) {
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

// Moves every vertex by the offset.
writers::MeshGeometry Moved(writers::MeshGeometry mesh, float x, float y, float z) {
  for (writers::MeshVertex& v : mesh.vertices) {
    v.position[0] += x;
    v.position[1] += y;
    v.position[2] += z;
  }
  return mesh;
}

// Turns a shape made facing up so that it faces along -z (toward = -1) or +z (toward = 1).
writers::MeshGeometry Facing_Z(writers::MeshGeometry mesh, float toward) {
  for (writers::MeshVertex& v : mesh.vertices) {
    for (float* p : {v.position, v.normal}) {
      const float y = p[1], z = p[2];
      p[1] = toward < 0.0f ? z : -z;
      p[2] = toward < 0.0f ? -y : y;
    }
  }
  return mesh;
}

void Append(writers::MeshGeometry& into, const writers::MeshGeometry& part) {
  const float one[3] = {1.0f, 1.0f, 1.0f};
  const float none[3] = {0.0f, 0.0f, 0.0f};
  writers::AppendPart(into, part, one, none);
}

// A cylinder section hanging from its top (y from -height to 0), with a collar at the top.
writers::MeshGeometry Cylinder_Section(float radius, float height) {
  writers::MeshGeometry m = Moved(writers::MakeCylinder(radius, height, 20), 0.0f, -height / 2.0f, 0.0f);
  Append(m, Moved(writers::MakeTorus(radius, 2.5f, 20, 6), 0.0f, -2.5f, 0.0f));
  return m;
}

// The vial: a glass body with a rounded foot and shoulder, inside its 66 x 94 x 66 box.
writers::MeshGeometry Vial_Glass() { return Moved(writers::MakeCapsule(30.0f, 50.0f, 16, 6), 0.0f, -7.0f, 0.0f); }

// The vial's neck and stopper on top of the glass.
writers::MeshGeometry Vial_Cap() {
  writers::MeshGeometry m = Moved(writers::MakeCylinder(11.0f, 14.0f, 12), 0.0f, 30.0f, 0.0f);
  Append(m, Moved(writers::MakeCylinder(15.0f, 9.0f, 12), 0.0f, 42.5f, 0.0f));
  return m;
}

// The board's back, 80 x 80 x 10.
writers::MeshGeometry Board_Back() { return writers::MakeBox(40.0f, 40.0f, 4.0f); }

// The bullseye face on both sides of the board.
writers::MeshGeometry Board_Face() {
  writers::MeshGeometry m = Moved(Facing_Z(writers::MakeDisc(38.0f, 32), -1.0f), 0.0f, 0.0f, -4.6f);
  Append(m, Moved(Facing_Z(writers::MakeDisc(38.0f, 32), 1.0f), 0.0f, 0.0f, 4.6f));
  return m;
}

// The rim along the board's edges.
writers::MeshGeometry Board_Rim() {
  writers::MeshGeometry m = writers::MakeBox(40.0f, 2.5f, 5.0f);
  m = Moved(m, 0.0f, 38.5f, 0.0f);
  Append(m, Moved(writers::MakeBox(40.0f, 2.5f, 5.0f), 0.0f, -38.5f, 0.0f));
  Append(m, Moved(writers::MakeBox(2.5f, 40.0f, 5.0f), 38.5f, 0.0f, 0.0f));
  Append(m, Moved(writers::MakeBox(2.5f, 40.0f, 5.0f), -38.5f, 0.0f, 0.0f));
  return m;
}

// The tower: a mast 1000 high and 60 across, centred on its position, with a cap.
writers::MeshGeometry Tower() {
  writers::MeshGeometry m = writers::MakeCylinder(30.0f, 1000.0f, 16);
  Append(m, Moved(writers::MakeSphere(34.0f, 16, 8), 0.0f, 500.0f, 0.0f));
  return m;
}

// One glowing ring around the tower.
writers::MeshGeometry Tower_Ring() { return writers::MakeTorus(40.0f, 3.0f, 24, 6); }

// The memory board: a block 190 x 190 x 70.
writers::MeshGeometry Memory_Body() { return writers::MakeBox(95.0f, 95.0f, 35.0f); }

// Its trim: a frame standing proud of the face the camera sees, and studs at the corners.
writers::MeshGeometry Memory_Trim() {
  writers::MeshGeometry m = Moved(writers::MakeBox(97.0f, 6.0f, 37.0f), 0.0f, 91.0f, 0.0f);
  Append(m, Moved(writers::MakeBox(97.0f, 6.0f, 37.0f), 0.0f, -91.0f, 0.0f));
  Append(m, Moved(writers::MakeBox(6.0f, 97.0f, 37.0f), 91.0f, 0.0f, 0.0f));
  Append(m, Moved(writers::MakeBox(6.0f, 97.0f, 37.0f), -91.0f, 0.0f, 0.0f));
  return m;
}

// One of the four lit quarters of the face toward the camera: a panel from the centre out to
// the right-hand edge (the board turns it about its third axis for the other sides).
writers::MeshGeometry Memory_Panel() {
  writers::MeshGeometry m = Moved(Facing_Z(writers::MakePlane(70.0f, 120.0f, 1, 1), -1.0f), 47.0f, 0.0f, -36.0f);
  Append(m, Moved(Facing_Z(writers::MakePlane(70.0f, 120.0f, 1, 1), 1.0f), 47.0f, 0.0f, 36.0f));
  return m;
}

}  // namespace

void Add_Targets_1b_Family(Manifest& manifest) {
  // The cylinder ejector's lower and upper sections.
  Add_Mesh(manifest, 0x220000A6, "cylinder_lower", [] { return Cylinder_Section(28.6f, 50.0f); });
  Add_Mesh(manifest, 0x220000A7, "cylinder_upper", [] { return Cylinder_Section(24.0f, 70.0f); });
  // The death vial's glass and cap.
  Add_Mesh(manifest, 0x220000A3, "vial_glass", Vial_Glass);
  Add_Mesh(manifest, 0x220000A4, "vial_cap", Vial_Cap);
  // The bullseye board: back, face, rim.
  Add_Mesh(manifest, 0x2200009D, "board_back", Board_Back);
  Add_Mesh(manifest, 0x2200009E, "board_face", Board_Face);
  Add_Mesh(manifest, 0x2200009F, "board_rim", Board_Rim);
  // The bullseye tower and its rings.
  Add_Mesh(manifest, 0x2200009A, "target_tower", Tower);
  Add_Mesh(manifest, 0x2200009B, "tower_ring", Tower_Ring);
  // The memory board: body, trim, lit quarter.
  Add_Mesh(manifest, 0x220000FE, "memory_body", Memory_Body);
  Add_Mesh(manifest, 0x220000FF, "memory_trim", Memory_Trim);
  Add_Mesh(manifest, 0x22000100, "memory_panel", Memory_Panel);
  // The bullseye face (0x220000A0) and the memory board's lit-side light (0x22000101) are in
  // the family of the other targets.
}

}  // namespace content
