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

  int32_t m_Page = 0;  // 0 closed
  int32_t m_Target_Site = -1;
};
