#pragma once
// The base of world objects with a fixed body (body kind 5): they take part in collisions but
// are never moved by them.
#include "game/core/CWorld_Object.h"

class CFixed_Object : public CWorld_Object {};
