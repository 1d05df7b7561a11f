#include "game/fx/Debris_Pools.h"

namespace {
CDebris_Crystal_Pool g_Crystal_Pool;
CDebris_Dirt_Pool g_Dirt_Pool;
CDebris_Target_Box_Pool g_Box_Pool;
CDebris_Target_Brick_Pool g_Brick_Pool;
CDebris_Target_Ground_Proj_Pool g_Ground_Proj_Pool;
CDebris_Target_Sparkler_Pool g_Sparkler_Pool;
}  // namespace

void Register_Debris_Pools() {
  Register_Object_Pool(CDebris_Crystal::kType, &g_Crystal_Pool);
  Register_Object_Pool(CDebris_Dirt::kType, &g_Dirt_Pool);
  Register_Object_Pool(CDebris_Target_Box::kType, &g_Box_Pool);
  Register_Object_Pool(CDebris_Target_Brick::kType, &g_Brick_Pool);
  Register_Object_Pool(CDebris_Target_Ground_Proj::kType, &g_Ground_Proj_Pool);
  Register_Object_Pool(CDebris_Target_Sparkler::kType, &g_Sparkler_Pool);
}
