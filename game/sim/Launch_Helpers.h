#pragma once
// Vector helpers for launches and bursts.
#include "runtime/src/math/math_types.h"

// A random unit vector perpendicular to the unit direction.
CVector3 Random_Perpendicular_Vector(const CVector3& direction);
