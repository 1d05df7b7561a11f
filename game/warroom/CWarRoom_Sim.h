#pragma once
// The War Room's world simulation: regions, sites, infection and the shield level. This is its
// least form: a campaign is only started and ended; sites, routes and timers are not built yet.
#include <cstdint>

class CWarRoom_Sim {
 public:
  // Starts a campaign in the region (1-8); false for a region outside them.
  bool Init(const int& region);
  // Ends the campaign.
  void Clear_Region();
  void Update_Timers(float dt);
  // The most recent site of the visit history, removed; -1 when it is empty.
  int32_t Pop_History();
  void Set_Target_Site(const int& site);

  bool m_Initialised = false;  // a campaign is under way
  int32_t m_Region_Id = -1;
  int32_t m_Current_Site = -1;
  int32_t m_Target_Site = -1;
  // Charges the player's attachment left at the end of a mission, for the next one; -1 none.
  int32_t m_Attachment_Carry = -1;
  float m_Shield_Level = 1.0f;
};

extern CWarRoom_Sim g_WarRoom_Sim;
