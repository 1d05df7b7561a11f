#pragma once
// What a ray or a shot's segment meets in the world: objects, the terrain and the boundary
// walls.
#include "runtime/src/math/math_types.h"

class CWorld_Object;

enum : int {
  kRay_Nothing = 0,
  kRay_Object = 1,
  kRay_Wall = 2,
  kRay_Terrain = 3,
};

constexpr float kRay_Length = 5000.0f;

// The segment from start to start + delta against one object: a box body as its oriented box,
// every other kind as a sphere of its collision radius. On a hit the point is the entry point,
// otherwise start + delta.
void World_Intersect_Object(CVector3& point, const CVector3& start, const CVector3& delta,
                            CWorld_Object* object, bool& hit);

// A shot's segment strikes one object: it is pushed and told when it takes shots. True when
// the object was struck and took the hit. The variant and shot id belong to the statistics.
bool World_Strike_Object(CWorld_Object* object, const CVector3& start, const CVector3& delta, CVector3& point,
                         int& variant, int shot_id);

// Casts a ray of length 5000 along a unit direction: kRay_Object (with the object), kRay_Terrain,
// kRay_Wall or kRay_Nothing; the point is where it stopped.
int World_Cast_Ray(const CVector3& start, const CVector3& direction, CVector3& point, float tolerance,
                   CWorld_Object*& object);

// The object a ray picks: the live strikable object nearest the ray's line among those within
// the tolerance; null when none qualifies.
CWorld_Object* World_Pick_Object_On_Ray(const CVector3& start, const CVector3& direction, CVector3& point,
                                        float tolerance);
