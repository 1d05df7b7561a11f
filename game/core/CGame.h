#pragma once
// The top of the game: starts and stops every game-side manager, switches between the three
// top-level modes, routes input, eases the fog and background colour between modes, and runs
// one frame (time step, updates, render).
#include <cstdint>

#include "game/core/CFrame_Info.h"
#include "game/core/CSim_Desc.h"

class CMenuItem;

// Top-level modes.
enum : int {
  kMode_None = 0,
  kMode_Menus = 1,
  kMode_Simulation = 2,
};

// Who took the last left press.
enum : int {
  kReceiver_None = 0,
  kReceiver_Modal_Dlg = 1,
  kReceiver_Menu_Mgr = 2,
  kReceiver_Popup_Mgr = 4,
  kReceiver_Player = 5,
};

class CGame {
 public:
  // The longest and shortest frame step the time step accepts, in milliseconds.
  static constexpr float kMin_Step_Ms = 1.0f;
  static constexpr float kMax_Step_Ms = 100.0f;
  static constexpr float kStep_Smoothing = 0.1f;
  static constexpr float kInitial_Step_Ms = 25.0f;
  static constexpr float kMenu_Time_Scale = 1.5f;
  static constexpr float kSim_Time_Scale = 1.0f;

  CGame();
  CGame(const CGame&) = delete;
  CGame& operator=(const CGame&) = delete;

  bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }

  // Tears down everything of a run, then starts the mode (1 menus, 2 a simulation of the kind
  // and description). False leaves mode 0.
  bool Set_Mode(const int& mode, unsigned kind, const CSim_Desc* desc);
  int Get_Mode() const { return m_Mode; }
  const CSim_Desc& Current_Desc() const { return m_Current_Desc; }

  void Frame();
  // The frame record of the last frame.
  const CFrame_Info& Last_Frame() const { return m_Frame; }

  void On_Key(const int& code, const bool& is_key);
  bool On_Left_Down();
  bool On_Left_Up();
  // True when the player took the press (the window then captures the mouse).
  bool On_Right_Down();
  void On_Right_Up();
  bool On_Mouse_Wheel(const int& notches);

  void Set_Capture(CMenuItem* item);
  // Drops the capture when the item holds it, without a release (the item is going away).
  void Forget_Capture(const CMenuItem* item) {
    if (m_Capture_Holder == item) m_Capture_Holder = nullptr;
  }
  CMenuItem* Capture_Holder() const { return m_Capture_Holder; }
  int Left_Receiver() const { return m_Left_Receiver; }

  void Update_Fade(const CFrame_Info& frame);

  float Smoothed_Step() const { return m_Smoothed_Step; }
  float Time_Scale() const { return m_Time_Scale; }
  uint32_t Clear_Color() const { return m_Clear_Color; }
  uint32_t Target_Color() const { return m_Target_Color; }
  float Fog_Near() const { return m_Fog_Near; }
  float Fog_Far() const { return m_Fog_Far; }
  // Written by the screen effects: the clear colour (and the colour the fade aims at) and the
  // two render distances, applied to the fog at once.
  void Set_Clear_Color(uint32_t packed);
  void Set_Render_Distances(float near_z, float far_z);

  // The launch's weapon set-up: reads the profile's gun and attachment with their levels, sets
  // the player's upgrade factors and selects the gun.
  bool Set_Up_Weapon();

 private:
  void Tear_Down();
  bool Start_Menus();
  bool Start_Simulation(unsigned kind, const CSim_Desc& desc);
  bool Start_Run_Managers(const CSim_Desc& desc);
  // Undoes a launch that failed after the world was started.
  void Abandon_Launch();
  void Aim_Fade(uint32_t packed_color, float view_distance_factor);
  void Apply_Fog();

  void Step_Time();
  void Update_All();
  void Render_All();

  void On_Key_Menus(int code, bool is_key);
  void On_Key_Simulation(int code);
  void On_Arrow(int code, bool to_menus);

  bool m_Initialised = false;
  int m_Mode = kMode_None;
  CSim_Desc m_Current_Desc;
  int m_Left_Receiver = kReceiver_None;
  uint32_t m_Last_Time = 0;
  float m_Smoothed_Step = kInitial_Step_Ms;
  float m_Time_Scale = 1.0f;
  float m_Fog_Near_Target = 0.0f, m_Fog_Near = 0.0f;
  float m_Fog_Far_Target = 0.0f, m_Fog_Far = 0.0f;
  float m_Fade_Target[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // blue, green, red, unused
  uint32_t m_Target_Color = 0xFF000000;
  float m_Fade_Color[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  uint32_t m_Clear_Color = 0xFF000000;
  CMenuItem* m_Capture_Holder = nullptr;
  unsigned m_Step_Ms = 0;
  CFrame_Info m_Frame;
};

extern CGame g_Game;

// The immediate-primitive drawer ("IKSDrawPrim.Default") through which game code draws.
class CD3DDrawPrim;
extern CD3DDrawPrim* g_pDrawPrim;

// The time factor of the current frame: 0.0035 per millisecond, 0 while paused.
extern float g_Time_Factor;
