#include "game/sim/CBrain_Game_Basic.h"

void CBrain_Game_Basic::Check_Shields() {}

void CBrain_Game_Basic::On_Points_Committed(const uint32_t& amount) { (void)amount; }
