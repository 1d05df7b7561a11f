#pragma once
// The War Room's world simulation: regions, sites, infection and the shield level. This is its
// least form: a campaign is only started and ended, and its region holds one site, the current
// one, which is infected; routes and timers are not built yet.
#include <cstdint>

// One site of the current region.
struct CWarRoom_Site {
  static constexpr uint32_t kIn_Use = 0x01;
  static constexpr uint32_t kInfected = 0x02;
  static constexpr uint32_t kSource = 0x04;
  static constexpr int kLink_Count = 6;

  uint32_t flags = 0;
  float x = 0.0f;
  float y = 0.0f;
  float weight = 1.0f;
  float infection = 0.0f;  // 0 clean, up to 1
  int32_t simulation_choice = 0;
  char name[24] = {};
  int32_t links[kLink_Count] = {-1, -1, -1, -1, -1, -1};
};

class CWarRoom_Sim {
 public:
  static constexpr int kSite_Count = 48;
  static constexpr int kHistory_Size = 32;

  CWarRoom_Sim();

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
  int32_t m_Current_Site = 0;
  int32_t m_Target_Site = -1;
  float m_Shield_Level = 1.0f;
  // The infection source has been destroyed (also: the meteorite was found).
  bool m_Disinfection_Mode = false;
  CWarRoom_Site m_Sites[kSite_Count];
  int32_t m_History[kHistory_Size] = {};
  int32_t m_History_Top = -1;
  int32_t m_Infected_Site = 0;
  float m_Infection_Radius = 0.0f;
  float m_Farthest_Distance = 1.0f;
  float m_Growth_Rate = 0.01f;
  float m_Clock = 0.0f;
  float m_Infection_Start = 0.0f;
  float m_Infection_Time_Limit = 1.0f;

 private:
  void Set_Up_One_Site();
};

extern CWarRoom_Sim g_WarRoom_Sim;
// The program-wide difficulty, 1.0 until a War Room mission sets it.
extern float g_Difficulty_Factor;
