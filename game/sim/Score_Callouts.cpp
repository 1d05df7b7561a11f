#include "game/sim/Score_Callouts.h"

void Update_Callouts(float unpaused_delta) { (void)unpaused_delta; }
