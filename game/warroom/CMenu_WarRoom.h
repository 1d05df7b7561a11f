#pragma once
// The War Room screen. This is its least form: it shows its name and page; the map, globe and
// flight view are not built yet.
#include <cstdint>

struct CFrame_Info;

class CMenu_WarRoom {
 public:
  bool m_Initialised = false;
  bool m_Visible = false;

  bool Init();
  void Term();
  void Set_Page(const int& page);  // 0-7; 1 the map
  void Show(bool show);
  bool On_Left_Down();
  bool On_Left_Up();
  bool On_Right_Down();
  void Update(float step);
  void Render(const CFrame_Info& frame);
  // Shows a status line of a kind about a site (2 infected, 3 disinfected).
  void Post_Status_Line(const int& kind, const int& site);

  int32_t m_Page = 0;  // 0 closed
  int32_t m_Target_Site = -1;
  int32_t m_Status_Kind = 0;  // the last status line posted
  int32_t m_Status_Site = -1;
};
