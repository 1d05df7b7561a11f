#pragma once
// Helpers shared by the ejectors, enemies, targets and effects: launch velocities under the
// world's gravity, a random perpendicular direction, the ordinal suffix of a rank and the War
// Room's one-time help messages.
#include "runtime/src/math/math_types.h"

// The velocity from the start that reaches the target after the flight time (at least 0.0001),
// under the world's vertical gravity (at most -0.1) times the scale.
CVector3 Calc_Ballistic_Velocity(const float& x, const float& y, const float& z, const CVector3& target,
                                 const float& flight_time, const float& gravity_scale);
// The velocity with the given vertical speed that comes down on the target.
CVector3 Calc_Launch_Velocity(const float& x, const float& y, const float& z, const CVector3& target,
                              const float& vertical_speed, const float& gravity_scale);
// A random unit vector perpendicular to the unit direction.
CVector3 Random_Perpendicular_Vector(const CVector3& direction);
// "st", "nd", "rd" or "th" for n, in one buffer that the next call overwrites.
const char* Get_Ordinal_Suffix(const unsigned& n);
// Shows the War Room help of the kind (1 private messages, 2 site selection) once per account.
void Show_WarRoom_Info(const int& kind);
