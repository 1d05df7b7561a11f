#pragma once
// Effect groups set up in a launched world in front of the camera, for the screenshot scripts
// (harness verbs "fx NAME" and "screenfx KIND") and the whole-game effect tests.
#include <string>
#include <vector>

namespace vt_test {

// The names "fx" accepts: particles, sparks, shadows, projection, quads, laser, bolts, trail,
// crystal, dirt, box, brick, mark, sparkler.
const std::vector<std::string>& Fx_Group_Names();
// Starts the group about 300 units before the camera on the ground; false (with a reason) for
// an unknown name or when no world is loaded.
bool Show_Fx_Group(const std::string& name, std::string* error);
// Adds a screen effect of the kind (0-24) with parameters that show it plainly.
bool Show_Screen_Fx(int kind, std::string* error);

}  // namespace vt_test
