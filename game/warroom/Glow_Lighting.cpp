#include "game/warroom/Glow_Lighting.h"

// Least forms until the War Room view exists: the lights stay as they are.
void Begin_Glow_Lighting(const float& level, const bool& at_origin) {
  (void)level;
  (void)at_origin;
}

void End_Glow_Lighting() {}
