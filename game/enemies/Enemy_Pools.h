#pragma once
// Registers the pools of the enemies, emplacements and enemy ammunition at their object type
// indices, and sets up the emplacements and mobile enemies the running track spawns.
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CWorld_Object;

// Called before the pools are started, so the link order of the class files does not matter.
void Register_Enemy_Pools();
// Sets up an enemy emplacement (types 50 to 54) taken from its pool at the place, with the
// colour the track chose (the plate's); false for any other type.
bool Spawn_Enemy_Emplacement(uint32_t type, CWorld_Object* object, int colour, const CVector3& place);
// Sets up a mobile enemy (the UFO 8, the tile 66, the digger 67) at the place; the argument is
// its colour variant (0 to 3, any other value a random one); false for any other type.
bool Spawn_Mobile_Enemy(uint32_t type, CWorld_Object* object, int argument, const CVector3& place);
