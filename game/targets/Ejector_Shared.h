#pragma once
// What the ejectors share (the target launchers here and the enemy emplacements): their three
// flags, the set-up of a fixed or box body, rising out of and sinking into the ground, the death
// step, the colour of a launch, the launch's smoke puff, and what a launcher does when the
// object it took fails its set-up.
#include <cstdint>

#include "game/core/CWorld_Object.h"
#include "runtime/src/math/math_types.h"

namespace ejectors {

// The three flags every ejector starts its own fields with (the bullseye tower has no launch
// request of its own; the enemy emplacements call it the fire request).
struct Ejector_Flags {
  virtual ~Ejector_Flags() = default;
  bool Initialised = false;       // resources loaded
  bool Active = false;            // set up and not yet terminated
  bool Launch_Requested = false;  // set by the track's trigger, cleared when served
};

// Health 1, second value 1, the class's flags; a fixed body of the size (false when it cannot be
// set up: the ejector then stays inactive).
bool Setup_Fixed_Ejector(CWorld_Object& ejector, uint32_t type, uint32_t state_flags, uint32_t kind_flags,
                         const CVector3& size);
// The same with a box body of the half-size (the memory board, the cannon emplacement).
bool Setup_Box_Ejector(CWorld_Object& ejector, uint32_t type, uint32_t state_flags, uint32_t kind_flags,
                       const CVector3& half_size, float mass, float bounce);

// How far risen, 0-1: while dying 1 - kill timer, else speed × age, held to 0-1.
float Rise_Fraction(float kill_timer, float age, float speed);
// The next rise from the current one: rising, speed × age; sinking (kill timer running), never
// above where it was, so that a release while it rises sinks from there without a jump.
float Next_Rise(float current, float kill_timer, float age, float speed);
// The base position moved along the axis by the distance.
CVector3 Raised_Position(const CVector3& base, const CVector3& axis, float distance);

// One update's death: a live ejector whose health is gone starts its kill timer (0.001) when
// asked to test health; a running timer grows by rate × dt.
void Death_Step(CWorld_Object& ejector, float dt, float rate, bool health_test = true);
constexpr float kDeath_Rate = 1.25f;

// The spawner's colour: 0-3 stays, anything else becomes a random 0-3.
int Spawner_Colour_Variant(int variant);
// A launch's colour: a stored variant 0-3 stays; above 3 a fresh draw rand × 4 / 32768, and a
// result above 3 becomes 0.
int Launch_Colour_Variant(uint32_t variant);

// The puff's particle life and gravity: the ejectors' set and the cylinder's.
struct Puff_Constants {
  float life_base;
  float life_range;
  float gravity;
};
constexpr Puff_Constants kEjector_Puff{0.25f, 0.75f, 0.5f};
constexpr Puff_Constants kCylinder_Puff{0.45f, 0.8f, 0.25f};
// Up to 30 smoke particles of the additive manager spread about the launch's velocity; stops at
// the first refused particle and answers the last answer.
bool Emit_Launch_Puff(const CVector3& position, const CVector3& velocity, uint32_t packed_colour,
                      const Puff_Constants& constants = kEjector_Puff);

// A launcher's object whose Spawn failed: it goes back to its pool unseen, nothing recorded,
// and out of the world's grid if its set-up had placed it there.
void Give_Back_Unspawned(CWorld_Object* object);

// A scale on the ejector's own axes, then its orientation, at its position.
CMatrix4x4 Scaled_World(const CWorld_Object& ejector, const CVector3& scale);

}  // namespace ejectors
