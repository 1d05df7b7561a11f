#pragma once
// The model of a War Room mission: one region of up to 48 sites with their links, the shuttle's
// current site, target and route, the infection spreading from a hidden source, the shield level
// and the visit history. It draws nothing; the map, the flight view and the War Room screen read
// it and call its operations.
#include <cstdint>
#include <string>
#include <vector>

#include "game/warroom/CWarRoom_Site.h"

// One simulation a site can launch: its track file, its music and the environment variant (0-3).
struct CWarRoom_Sim_Entry {
  uint32_t track_id = 0;
  uint32_t music_id = 0;
  int32_t variant = 0;
};

// The simulations of ordinary sites and of the infection source, filled on first use.
const std::vector<CWarRoom_Sim_Entry>& Build_Site_Sim_List();
const std::vector<CWarRoom_Sim_Entry>& Build_Source_Sim_List();
// A uniform index into each list, drawn from the runtime's generator.
int Pick_Site_Sim();
int Pick_Source_Sim();

// A point on the region map, in map units.
struct CWarRoom_Point {
  float x = 0.0f;
  float y = 0.0f;
};

class CWarRoom_Sim {
 public:
  static constexpr int kSite_Count = 48;
  static constexpr int kHistory_Size = 32;
  static constexpr int kRegion_Count = 8;

  // Sets the region up and starts the mission; false (with a message) for a region outside 1-8.
  bool Init(const int& region);
  // Ends the mission.
  void Clear_Region();
  // 1-8 for the region names that messages use, else 0.
  static int Get_Region_Id(const char* name);
  // Fills the region's name, textures and sites and links them; false for an id outside 1-8.
  bool Setup_Region_Data(const int& region);
  // Hides the infection source, places the shuttle and sets difficulty, growth rate and hint.
  void Pick_Infected_Site();
  void Set_Current_Site(const int& site);
  // Removes and answers the newest site of the visit history; -1 when it is empty.
  int Pop_History();
  void Set_Target_Site(const int& site);
  float Get_Travel_Time() const;
  float Get_Time_Remaining() const;
  bool Is_All_Clear() const;
  void Update_Timers(float dt);
  // A* over the links: the sites from 'from' to 'to' (both included), their count and the
  // path length; false when the sites are not connected.
  bool Find_Route(int from, int to, int& count, int32_t* sites, float& length) const;

  void Link_Sites(int a, int b);
  void Unlink_Sites(int a, int b);
  void Auto_Link_Sites();

  // Site queries over the sites in use, squared distances in map units.
  int Find_Next_Site_Within(const CWarRoom_Point& point, float limit_squared, float& distance_squared,
                            int after) const;
  int Find_Farthest_Site(const CWarRoom_Point& point, float& distance_squared) const;
  int Find_Nearest_Other_Site(int site, float& distance_squared) const;
  int Find_Farthest_Link(int site, float& distance_squared) const;

  // The number of sites in use (they take indexes 0 to n - 1).
  int Site_Count() const;
  // A site index of the region in use, checked.
  bool Is_Site(int site) const;
  float Site_Distance(int a, int b) const;

  bool m_Orders_Announced = false;
  bool m_Initialised = false;  // a mission is under way
  bool m_Disinfection_Mode = false;  // the source is destroyed: the infection recedes
  int32_t m_Source_Hint_Time = 0;    // below this time remaining the source is revealed; 0 none
  std::string m_Region_Name;
  int32_t m_Region_Id = -1;
  uint32_t m_Map_Texture_Id = 0;
  uint32_t m_MiniMap_Texture_Id = 0;
  CWarRoom_Site m_Sites[kSite_Count];
  int32_t m_Current_Site = -1;
  int32_t m_Target_Site = -1;
  float m_Shield_Level = 1.0f;
  // Charges the player's attachment left at the end of a mission, for the next one; -1 none.
  int32_t m_Attachment_Carry = -1;
  int32_t m_Route_Count = 0;
  int32_t m_Route[kSite_Count] = {};
  float m_Route_Length = 0.0f;
  int32_t m_History[kHistory_Size] = {};
  int32_t m_History_Top = -1;
  int32_t m_Infected_Site = -1;
  float m_Infection_Radius = 0.0f;
  float m_Farthest_Distance = 0.0f;
  float m_Growth_Rate = 0.0f;

 private:
  // Makes a slot on the site for a new link to 'other': the first free one, else the farthest
  // link's (only when that is longer than 'limit', if one is given); -1 when none.
  int Slot_For_Link(int site, float limit) const;
  // Joins a and b in the given slots, dropping the back links of the links they replace.
  void Join_In_Slots(int a, int slot_a, int b, int slot_b);
  void Drop_Back_Link(int site, int from);
  void Add_Site(const char* name, float x, float y, float weight);
};

extern CWarRoom_Sim g_WarRoom_Sim;
// The program-wide difficulty, 1.0 until a War Room mission sets it; it keeps its value after.
extern float g_Difficulty_Factor;
