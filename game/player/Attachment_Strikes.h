#pragma once
// What the attachments that strike from afar share: the hit routine by body kind, the test of
// a counted object's ground point against the playing field, and the attachment's use sound.
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CWorld_Object;
struct CShot_Line;

namespace arsenal {

// Runs the object's On_Hit (no hitter) through its body kind's hit routine: sphere, box and
// fixed bodies only when their hit flag is set.
void Hit_By_Body_Kind(CWorld_Object* object, const CShot_Line* shot);
// The point on the ground under the object; true when it lies in the field's struck area
// (beyond the nearest tenth of its depth, 20 units inside its sides and far end) and the
// object is not spared (kind flag 0x40).
bool Struck_Ground_Point(const CWorld_Object* object, CVector3& ground);
// An attachment's use sound at the sound-effect volume times the game state's 0.925 (once).
void Play_Use_Sound(uint32_t id);

}  // namespace arsenal
