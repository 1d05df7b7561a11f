#pragma once
// How the running track sets up the flying targets from a track point: each class's own Spawn
// with the place, colour and mode it takes, then its position (and velocity where the class
// leaves that to its caller).
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CWorld_Object;

// The light wall's and the flyers' types that Spawn_Flyer_Target sets up.
bool Is_Flyer_Target(uint32_t type);
// Sets up the pooled object of the type from the track point's argument and a ground place
// already drawn clear of other objects. False when the class could not be set up (the caller
// gives the object back to its pool).
bool Spawn_Flyer_Target(uint32_t type, CWorld_Object* object, int argument, const CVector3& ground_place);
