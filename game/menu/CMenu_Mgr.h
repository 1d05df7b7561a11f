#pragma once
// The menu manager: the menu screens, their fonts, and the command dispatcher through which
// every screen change and launch goes.
#include <cstdint>

#include "game/trainer/CMenu_Console.h"

struct CFrame_Info;
struct CSim_Desc;

// Command codes.
enum : int {
  kCommand_Console = 2,
  kCommand_Simulator = 3,
  kCommand_WarRoom = 4,
  kCommand_End_Mission = 5,
  kCommand_Launch_Training = 7,
  kCommand_Launch_Site = 8,
  kCommand_Quit = 9,
  kCommand_Close_Popup = 10,
};

class CMenu_Mgr {
 public:
  bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }

  void Create_Fonts();
  void Release_Fonts();
  bool Fonts_Created() const { return m_Fonts_Created; }

  // Screen changes and launches; track_id and music_id are the launch's resource ids.
  bool Command(const int& code, int argument, uint32_t track_id = 0, uint32_t music_id = 0);

  void Update(float delta);
  void Render(const CFrame_Info& frame);

  void On_Left_Down();
  void On_Left_Up();
  void On_Right_Down();
  bool On_Mouse_Wheel(const int& notches);
  void On_Arrow_Key(int direction);  // 0 left, 1 right, 2 up, 3 down
  void On_Enter_Key();
  void On_Char(int code, const bool& is_key);
  void On_Pause(const bool& paused);

  // The backdrop colour of the menus, blue in the lowest byte.
  uint32_t Background_Color() const { return m_Background_Color; }

  // Fills the description of a launch (codes 7 and 8) for an environment variant 0-3.
  static void Build_Sim_Desc(int code, int variant, uint32_t track_id, uint32_t music_id, CSim_Desc& desc);

  CMenu_Console m_Console;

 private:
  bool Launch(int code, int variant, uint32_t track_id, uint32_t music_id);

  bool m_Initialised = false;
  bool m_Fonts_Created = false;
  bool m_Last_Pause = false;
  uint32_t m_Background_Color = 0;
};

extern CMenu_Mgr g_Menu_Mgr;
