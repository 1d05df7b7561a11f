#pragma once
// What scripted play asks of the running game to aim and to wait: which screen is up, named as
// a script names it, and the nearest live object on the screen with the cursor point over it.
#include <cstdint>
#include <string>

#include "runtime/src/math/math_types.h"

class CWorld_Object;

namespace vt_test {

// Whether the named screen is up; `known` is false for a name the table lacks.
//   menus / simulation          the game's mode is the menus / a run (no dialog over it)
//   console                     the console is fully open
//   login / create / prompt     ... and waits at the login, the create question or a command,
//                               with everything it had to type typed
//   simulator                   the simulator screen is open (any page)
//   simulations / profile / forum / compose / briefing   ... showing that page
//   warroom                     the War Room is up; flight / map: its flight or travel page
//   report                      the end-of-mission report is up
//   launch                      a launch sequence (or any other timeline) is running
//   summary                     the statistics summary of a finished run is open
//   dialog                      any modal dialog is open
bool Screen_Is_Up(const std::string& name, bool& known);
// The names above, separated by spaces (for error texts).
std::string Screen_Names();

// The live object nearest the camera whose centre is in view, with the cursor point (pixels)
// over its centre: of the type, or with a negative type any target the player scores on
// (counted targets, enemies and their emplacements, the boss), not yet hit or spent. Null when
// none is in view.
CWorld_Object* Nearest_On_Screen(int type, int& x, int& y);

}  // namespace vt_test
