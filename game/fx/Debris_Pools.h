#pragma once
// The pools of the six debris classes, registered under their object type indexes.
#include "game/core/CObject_Pool.h"
#include "game/fx/CDebris_Crystal.h"
#include "game/fx/CDebris_Dirt.h"
#include "game/fx/CDebris_Target_Box.h"
#include "game/fx/CDebris_Target_Brick.h"
#include "game/fx/CDebris_Target_Ground_Proj.h"
#include "game/fx/CDebris_Target_Sparkler.h"

using CDebris_Crystal_Pool = CObject_Pool_Of<CDebris_Crystal, CDebris_Crystal::kType>;
using CDebris_Dirt_Pool = CObject_Pool_Of<CDebris_Dirt, CDebris_Dirt::kType>;
using CDebris_Target_Box_Pool = CObject_Pool_Of<CDebris_Target_Box, CDebris_Target_Box::kType>;
using CDebris_Target_Brick_Pool = CObject_Pool_Of<CDebris_Target_Brick, CDebris_Target_Brick::kType>;
using CDebris_Target_Ground_Proj_Pool = CObject_Pool_Of<CDebris_Target_Ground_Proj, CDebris_Target_Ground_Proj::kType>;
using CDebris_Target_Sparkler_Pool = CObject_Pool_Of<CDebris_Target_Sparkler, CDebris_Target_Sparkler::kType>;

// Puts the six pools in the table (again: a harmless repeat); called before the pools start.
void Register_Debris_Pools();
