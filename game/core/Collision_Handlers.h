#pragma once
// What happens when a moving body meets another: one handler per pair of body kinds, found in
// a 7 x 7 table by (moving kind) x 7 + (other kind). Each handler tests the pair, lets the
// objects veto the contact through On_Hit, then separates them and answers their velocities.
#include "game/core/CWorld_Object.h"

using Collision_Handler = int (*)(CWorld_Object* moving, CWorld_Object* other);

extern Collision_Handler g_Collision_Handlers[kBody_Kind_Count * kBody_Kind_Count];

// Clears the table and fills the four pairs that collide.
void Init_Collision_Handlers();

int Collide_Sphere_Sphere(CWorld_Object* moving, CWorld_Object* other);
int Collide_Sphere_Box(CWorld_Object* moving, CWorld_Object* other);
int Collide_Sphere_Fixed(CWorld_Object* moving, CWorld_Object* other);
int Collide_Box_Fixed(CWorld_Object* moving, CWorld_Object* other);
