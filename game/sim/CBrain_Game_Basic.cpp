#include "game/sim/CBrain_Game_Basic.h"

void CBrain_Game_Basic::Check_Shields() {}
