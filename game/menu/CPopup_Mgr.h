#pragma once
// The four pop-up menus: the main menu (0), the War Room menu (1), the options menu (2) and the
// in-simulation menu (3). While one is open the game is paused; they take input after the
// modal dialog and before the screens or the player.
#include <cstdint>

#include "game/menu/CPopup_Menu.h"

struct CFrame_Info;

class CPopup_Mgr {
 public:
  static constexpr int kMain_Menu = 0;
  static constexpr int kWarRoom_Menu = 1;
  static constexpr int kOptions_Menu = 2;
  static constexpr int kSim_Menu = 3;
  static constexpr int kMenu_Count = 4;
  // In-simulation actions.
  static constexpr int kAction_Leave = 0;
  static constexpr int kAction_Report = 1;
  static constexpr int kAction_Restart = 2;
  static constexpr int kAction_Retreat = 3;
  // Option buttons and sliders of the options menu.
  enum : int32_t {
    kOption_Window = 1,
    kOption_Resolution = 2,
    kOption_Bit_Depth = 3,
    kOption_FX_Volume = 4,
    kOption_Music_Volume = 5,
    kOption_Mirrors = 6,
    kOption_Lock_Weapons = 7,
    kOption_Lock_Cursor = 8,
    kOption_Hide_Cursor = 9,
  };

  bool Init(const int& index);
  void Term();
  bool Is_Initialised() const { return m_Initialised; }
  bool Is_Open() const;
  void Toggle_Menu(int index);
  // Toggles the first open menu; 4 when none is open.
  int Close_First_Open();
  void Close_All(bool instant);
  bool Menu_Has_Item(int index, int action) const;

  bool On_Left_Down();
  bool On_Left_Up();
  bool On_Right_Down();
  void On_Enter_Key();
  void Move_Highlight(int direction);
  void Do_Action(int action);
  // The caption and colour of an option's current value.
  static const char* Get_Option_Text(int option, uint32_t& colour);
  void Confirm_Exit();
  void Confirm_Abort();

  // The per-frame step; the menus fold with the unpaused step, since an open menu pauses.
  void Frame(const CFrame_Info& frame, const float& unpaused_step);
  void Render(const float& unpaused_step);

  // The last menu built (-1 none), the first open menu (-1 none).
  int Set() const { return m_Last_Built; }
  int Open_Menu() const;
  // The in-simulation menu is built and open.
  bool Sim_Menu_Ready() const { return m_Menus[kSim_Menu].m_Initialised && m_Menus[kSim_Menu].m_Open; }

  bool m_Initialised = false;
  bool m_Active = false;
  int32_t m_Press_Receiver = -1;
  CPopup_Menu m_Menus[kMenu_Count];

 private:
  bool Build(int index);
  bool Build_Main(int index);
  bool Build_Options();
  bool Build_Sim();
  void Open_Menu_At(int index);
  void Close_Menu(int index, bool unpause);
  void Close_Others(int index);
  void Apply_Display_Settings();
  void Change_Option(int32_t id);
  void Change_Volume(int32_t id);
  void Open_Options();
  void Back_From_Options();
  void Leave_Options_Open(int index);
  // A press on the menus: open menus not under the cursor close, a closed one under it opens.
  // Answers the open menu under the cursor (-1 when there is none) and in `used` whether the
  // press did anything.
  int Press_Open_Menu(const CVector2& cursor, bool& used);
  // The entry under the cursor runs its action unless it is one to skip.
  void Do_Entry_At(const CPopup_Menu& menu, const CVector2& cursor);

  int m_Last_Built = -1;
};

extern CPopup_Mgr g_Popup_Mgr;

// Clips the cursor to the window when the program is active and the setting asks for it.
void Apply_Cursor_Clip();
