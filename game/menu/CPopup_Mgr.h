#pragma once
// The pop-up menus: small menus over the screens (sets 0 and 1) or over a running simulation
// (set 3, opened with "M").
struct CFrame_Info;

class CPopup_Mgr {
 public:
  // The in-simulation pop-up menu.
  static constexpr int kSim_Menu = 3;
  // Pop-up actions.
  static constexpr unsigned kAction_Leave = 0;
  static constexpr unsigned kAction_Restart = 2;

  bool Init(const int& set);
  void Term();
  bool Is_Initialised() const { return m_Initialised; }
  int Set() const { return m_Set; }

  void Close_All(bool instant);
  bool Is_Open() const { return m_Open_Menu >= 0; }
  int Open_Menu() const { return m_Open_Menu; }
  void Close_First_Open();
  void On_Enter_Key();
  void Move_Highlight(int direction);
  void Toggle_Menu(int menu);
  bool Menu_Has_Item(int menu, int item) const;
  void Do_Action(unsigned action);
  // The in-simulation menu is built and takes actions (both of its state flags are set).
  bool Sim_Menu_Ready() const { return m_Sim_Menu_Built && m_Sim_Menu_Enabled; }

  bool On_Left_Down();
  bool On_Right_Down();
  void On_Left_Up();

  void Frame(const CFrame_Info& frame, const float& unpaused_delta);
  void Render(const float& unpaused_delta);

 private:
  bool m_Initialised = false;
  int m_Set = -1;
  int m_Open_Menu = -1;
  bool m_Sim_Menu_Built = false;
  bool m_Sim_Menu_Enabled = false;
};

extern CPopup_Mgr g_Popup_Mgr;
