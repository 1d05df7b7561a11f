#pragma once
// The screen of a War Room mission: the flight view behind two rotating rings flies the shuttle
// from site to site, then the region map with a travel panel lets the user pick a destination
// and launch; it counts down the time left, reports infected and cleaned cities in a status
// line, brings an incoming message that points at the source and starts the site simulation
// when the shuttle reaches an infested site.
#include <cstdint>

#include "game/menu/CMenu_Panel.h"
#include "game/warroom/CWarRoom_Map.h"
#include "game/warroom/CWarRoom_World.h"

struct CFrame_Info;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CMenu_WarRoom {
 public:
  enum Page {
    kOff = 0,
    kBefore_Flight = 1,
    kFlying = 2,
    kArriving = 3,
    kAfter_Flight = 4,
    kMap_Opening = 5,
    kTravel = 6,
    kLeaving = 7,
    kEntering_Site = 8,
    kRegion_Cleared = 9,
    kTime_Up = 10,
  };
  static constexpr float kDouble_Click = 1.25f;

  CMenu_WarRoom() = default;
  CMenu_WarRoom(const CMenu_WarRoom&) = delete;
  CMenu_WarRoom& operator=(const CMenu_WarRoom&) = delete;

  bool Init();
  void Term();
  void Show(bool show);
  void Set_Page(const int& page);
  void Build_Travel_Panel();
  void Close_Map();
  // Shows a status line of a kind (1 orders, 2 infected city, 3 cleaned city) about a site.
  void Post_Status_Line(const int& kind, const int& site);
  void Launch_Shuttle();
  bool On_Left_Down();
  bool On_Left_Up();
  bool On_Right_Down();
  void Update(float step);
  void Step_Page(float step);
  void Render(const CFrame_Info& frame);

  bool m_Initialised = false;
  bool m_Visible = false;
  bool m_New_Status = false;
  int32_t m_Page = kOff;
  int32_t m_Flight_Target = -1;
  float m_Travel_Countdown = 0.0f;
  float m_Fade = 0.0f;
  float m_Page_Time = 0.0f;
  float m_Click_Timer = 1000.0f;
  int32_t m_Shown_Target = -1;
  int32_t m_Shown_Time = -1;
  int32_t m_Next_Page = kBefore_Flight;
  char m_Status_Text[96] = {};
  float m_Status_Time_Left = 0.0f;
  float m_Status_Age = 0.0f;
  float m_Map_Fade[2] = {};
  CMenu_Panel m_Panel;
  CWarRoom_Map m_Map;
  CWarRoom_World m_World;

 private:
  void Enter_Page(int page);
  void Leave_Page(int page);
  void Ensure_World();
  void Refresh_Panel(float step);
  void Refresh_Time();
  void Refresh_Target();
  void Refresh_Status(float step);
  bool Check_Closing();
  void Check_Infested_Arrival();
  void Step_Arrival();
  void Show_Incoming_Message();
  void Open_Dialog(float width, const char* title, const char* line_1, const char* line_2);
  int Next_Hop() const;
  void Set_Item_Text(int id, const char* text, uint32_t colour);
  void Release_Resources();
  void Draw_Ring(int first, int second, float height, float depth, float turn, uint32_t glow_colour) const;

  CRenderableObject* m_Rings[5] = {};
  CTextureData* m_Textures[2] = {};
  CD3DRenderStyle* m_Styles[2] = {};
};
