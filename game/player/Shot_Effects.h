#pragma once
// What the steel-ball gun and the cannon do around a thrown shot: the impact mark where the
// tilted aim meets the ground, and the puff of smoke at the muzzle.
#include "runtime/src/math/math_types.h"

namespace arsenal {

// Turns the aim down a little towards where the shot will land and marks that point on the
// terrain; answers the turned aim.
CVector3 Mark_Impact(const CVector3& aim);
// Up to 30 smoke particles at the muzzle, stopping at the first the manager refuses; answers
// how many were added.
int Puff_Muzzle_Smoke(const CVector3& muzzle, const CVector3& shot_velocity, const CMatrix3x3& gun_axes);

}  // namespace arsenal
