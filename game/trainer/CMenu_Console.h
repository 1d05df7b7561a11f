#pragma once
// The console terminal screen. This is its least form: it opens and closes with a click, shows
// its name and knows its pull tab; typing and accounts are not built yet.
#include <string>

struct CFrame_Info;

class CMenu_Console {
 public:
  bool m_Initialised = false;
  bool m_Visible = false;

  bool Init();
  void Term();
  // Shows or hides the console; a change of visibility clicks unless muted or silenced once.
  void Show(bool show, bool mute);
  // The cursor is over the console's pull tab.
  bool Is_Mouse_Over_Tab() const;
  bool On_Char(int code, int key_data);
  void Frame(float step);
  void Render(const CFrame_Info& frame);
  int Get_Access_Level();
  void Measure_Lines();

  std::string m_User_Name;
  // The next visibility change makes no click.
  bool m_Silence_Once = false;
  // How far the console is pulled open, 0-1.
  float m_Open_Fraction = 0.0f;
};
