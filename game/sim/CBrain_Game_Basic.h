#pragma once
// The brain of a War Room site simulation: the game rules with shields.
#include <cstdint>

#include "game/sim/CBrain.h"

class CBrain_Game_Basic : public CBrain {
 public:
  CBrain_Game_Basic() : CBrain(kGame_Rules) {}

  // Ends the mission when the shields have run out.
  void Check_Shields();
  // The score board committed an amount of points to the total.
  void On_Points_Committed(const uint32_t& amount);

  // Flashes of the mission panel, 0-1: points committing, and points lost to a hit.
  float m_Commit_Flash = 0.0f;
  float m_Loss_Flash = 0.0f;
};
