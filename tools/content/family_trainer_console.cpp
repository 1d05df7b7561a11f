// Sample content of the console terminal: its metal frame with the pull tab on the right edge,
// and the screen panel recessed behind the frame's window (drawn black, and scaled up behind
// itself as the screen's glow). Its sounds are the interface sounds of family_sounds.cpp.
//
// The console is drawn 215 units ahead of the menu camera (45 degree view), where the screen
// spans about 237 by 178 units; its text starts 14.65 % from the left and 13 % from the top, and
// its pull tab is the strip at 88-92 % of the width.
#include <functional>
#include <string>

#include "tools/content/manifest.h"
#include "tools/content/mesh_entry.h"
#include "tools/writers/mesh_generator.h"

namespace content {

namespace {

void Add_Box(writers::MeshGeometry& mesh, float x0, float x1, float y0, float y1, float z0, float z1) {
  const writers::MeshGeometry box = writers::MakeBox(0.5f, 0.5f, 0.5f);
  const float scale[3] = {x1 - x0, y1 - y0, z1 - z0};
  const float offset[3] = {(x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2};
  writers::AppendPart(mesh, box, scale, offset);
}

// A bezel around the screen's window, thicker at the bottom, with the pull tab on its right
// edge: a raised handle with three grip ridges.
writers::MeshGeometry Console_Frame() {
  writers::MeshGeometry mesh;
  Add_Box(mesh, -101.0f, 89.0f, 78.0f, 86.0f, -3.0f, 3.0f);    // top
  Add_Box(mesh, -101.0f, 89.0f, -80.0f, -68.0f, -3.0f, 3.0f);  // bottom
  Add_Box(mesh, -101.0f, -93.0f, -68.0f, 78.0f, -3.0f, 3.0f);  // left
  Add_Box(mesh, 84.0f, 89.0f, -68.0f, 78.0f, -3.0f, 3.0f);     // right
  Add_Box(mesh, 89.0f, 99.0f, -50.0f, 56.0f, -4.0f, 3.0f);     // the pull tab
  for (int i = 0; i < 3; ++i) {
    const float y = -12.0f + 12.0f * static_cast<float>(i);
    Add_Box(mesh, 91.0f, 97.0f, y, y + 4.0f, -6.0f, -4.0f);
  }
  return mesh;
}

// The screen panel, behind the frame's window; scaled copies drawn deeper still show only
// around its edge, as a glow.
writers::MeshGeometry Console_Screen() {
  writers::MeshGeometry mesh;
  Add_Box(mesh, -95.0f, 87.0f, -70.0f, 80.0f, 5.0f, 6.0f);
  return mesh;
}


}  // namespace

void Add_Trainer_Console_Family(Manifest& manifest) {
  Add_Mesh_Resource(manifest, 0x22000060, "meshes/console/frame.rnd", Console_Frame);
  Add_Mesh_Resource(manifest, 0x22000062, "meshes/console/screen.rnd", Console_Screen);
  // Its opening sound 0x220000de is the sounds family's panel opening.
}

}  // namespace content
