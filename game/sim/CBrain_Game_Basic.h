#pragma once
// The brain of a War Room site simulation: the game rules with shields.
#include "game/sim/CBrain.h"

class CBrain_Game_Basic : public CBrain {
 public:
  CBrain_Game_Basic() : CBrain(kGame_Rules) {}

  // Ends the mission when the shields have run out.
  void Check_Shields();
};
