#pragma once
// Free helpers for launching objects and picking directions.
#include "runtime/src/math/math_types.h"

// A random unit vector perpendicular to the unit direction; (0, 0, 1) when the draw falls on
// the direction itself.
CVector3 Random_Perpendicular_Vector(const CVector3& direction);

// "st", "nd", "rd" or "th" for n, in one shared buffer that the next call overwrites.
const char* Get_Ordinal_Suffix(const unsigned& n);
