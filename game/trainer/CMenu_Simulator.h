#pragma once
// The simulator screen. This is its least form: it opens on a tab and shows its name and tab;
// the simulation list, shop, forum and records are not built yet.
#include <cstdint>

struct CFrame_Info;

class CMenu_Simulator {
 public:
  bool m_Initialised = false;
  bool m_Visible = false;

  bool Init();
  void Term();
  // Opens (true) or closes the screen; nothing when uninitialised or unchanged.
  void Show(bool show);
  bool On_Left_Down();
  bool On_Left_Up();
  bool On_Enter();
  bool On_Mouse_Wheel(int wheel_data);
  void On_Arrow_Key(int direction);
  void On_Char(int code, int key_data);
  void On_Pause(bool paused);
  void Update(float step);
  void Render(const CFrame_Info& frame);
  void Build_Layout(const int& tab);

  int32_t m_Requested_Tab = 1;  // 1-5
  int32_t m_Current_Tab = 0;
  int32_t m_Anim_State = 0;  // 0 idle (closed)
  // Time left until the next War Room offer, or until a pending offer lapses.
  float m_Alert_Timer = 0.0f;
};

// The War Room region chosen on the simulator screen: 1-8, 0 none.
extern int32_t g_WarRoom_Target_Region;
