#pragma once
// The War Room's world simulation: regions, sites, infection and the shield level.
#include <cstdint>

class CWarRoom_Sim {
 public:
  bool m_Initialised = false;
  bool m_Active = false;  // a War Room campaign is under way
  float m_Shield_Level = 1.0f;
};

extern CWarRoom_Sim g_WarRoom_Sim;
