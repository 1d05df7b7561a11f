#pragma once
// Setting up the enemy ammunition that the running track spawns from its events: each class's
// Spawn with the event point's argument and a start fitting its flight, from the place the track
// drew on the ground.
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CWorld_Object;

// Whether the type is ammunition the track spawns (56, 58-61, 63-65).
bool Is_Track_Ammunition(uint32_t type);
// The variant of an argument: 0 to count − 1 stays, anything else draws one.
int Ammunition_Variant(int argument, int count);
// Sets up the object (just taken from the pool of the type) at or above the ground place: the homing
// ball, can and missile rise from it, the bar, disc and anti-matter drop from above the camera's
// height, a bullet waits about the camera's height drifting one of five ways, and a roller falls
// to the ground there. False when the class's set-up failed.
bool Spawn_Track_Ammunition(uint32_t type, CWorld_Object* object, const CVector3& place, int argument);
