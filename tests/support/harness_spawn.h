#pragma once
// What the harness's scripts put into a launched world and do to it: any pooled type spawned at
// a place with its set-up arguments, launch requests and commands to ejectors, and a player's
// shot line fired from the camera at an object.
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/src/math/math_types.h"

class CWorld_Object;

namespace vt_test {

// The set-up arguments a script gives after the place, as numbers.
using Spawn_Args = std::vector<float>;

// One type's own set-up: calls the class's Spawn with the arguments (taken from its pool already),
// sets its motion and names the world list it joins; false when the Spawn fails. The object is
// placed and added to the world by the caller.
struct Harness_Spawner {
  uint32_t type;
  bool (*spawn)(CWorld_Object* object, const Spawn_Args& args, int& list);
  // For classes whose set-up starts from its place (trails, aims, launches): given the place too.
  bool (*spawn_at)(CWorld_Object* object, const CVector3& place, const Spawn_Args& args, int& list) = nullptr;
};
// A type's command (action, argument), for ejectors that take commands instead of requests.
struct Harness_Commander {
  uint32_t type;
  bool (*command)(CWorld_Object* object, int action, int argument);
};

// Spawns one object of the type at (x, ground + height, z). Ejectors and emplacements (37-54)
// go through the track's ejector set-up with the first two arguments as variant and colour
// (the track then lowers the risers and orients them as it does); types with a spawner row use
// it; any other type goes through the track's target spawner (with the first argument as the
// event point's argument) and is then moved to the place. Null, with the reason, on a failure.
CWorld_Object* Spawn_Object(uint32_t type, float x, float height, float z, const Spawn_Args& args,
                            std::string* why);

// Requests a launch of the n-th live object of the type (every one when n is negative) through
// the track's trigger; answers how many took it.
int Trigger_Objects(uint32_t type, int n);
// Gives the n-th object of the type a command; false without one or without a commander row.
bool Command_Object(uint32_t type, int n, int action, int argument);

// Fires a player's shot line from the camera through the n-th live object of the type, aimed at
// its centre moved by the offset; true when the line struck it.
bool Shoot_At(uint32_t type, int n, const CVector3& offset);

}  // namespace vt_test
