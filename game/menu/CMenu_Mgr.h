#pragma once
// The menu manager: the menu screens with their animated grid, the four menu fonts with the text
// services every screen and item uses, the menu lighting and ambience, the input routers, and
// the command dispatcher through which every screen change and launch goes.
#include <cstdint>

#include "game/menu/CMenu_Grid.h"
#include "game/trainer/CMenu_Console.h"
#include "game/trainer/CMenu_Simulator.h"
#include "game/warroom/CMenu_EndGame.h"
#include "game/warroom/CMenu_WarRoom.h"
#include "platform/d3dx/d3dx8_font.h"
#include "runtime/src/math/math_types.h"

struct CFrame_Info;
struct CSim_Desc;
class CTextureData;
class CD3DRenderStyle;

// Command codes.
enum : int {
  kCommand_None = 0,
  kCommand_Close = 1,
  kCommand_Console = 2,
  kCommand_Simulator = 3,
  kCommand_WarRoom = 4,
  kCommand_End_Mission = 5,
  kCommand_Launch_Training = 7,
  kCommand_Launch_Site = 8,
  kCommand_Quit = 9,
  kCommand_Close_Popup = 10,
};

// Draw_Text flags.
enum : uint32_t {
  kText_Centre = 0x1,
  kText_Right = 0x2,
  kText_Shadow = 0x4,
};

class CMenu_Mgr {
 public:
  static constexpr int kFont_Count = 4;
  static constexpr uint32_t kAmbience_Sound = 0x220000fd;

  CMenu_Mgr() { m_Menu_Rotation.Set_Identity(); }
  CMenu_Mgr(const CMenu_Mgr&) = delete;
  CMenu_Mgr& operator=(const CMenu_Mgr&) = delete;

  bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }

  bool Create_Fonts();
  void Release_Fonts();
  // Every font is present.
  bool Fonts_Created() const;
  bool Reset_Display_Mode();
  // Three points of the menu scene, from the grid's frame: 0 its top-left corner, 1 the edge
  // across to the top-right corner, 2 the edge down to the bottom-left corner. The origin for
  // any other index, and for all three while the grid is not initialised.
  CVector3 Scene_Point(int index) const;

  int Get_Text_Fit(int font, const char* text, int width) const;
  int Get_Text_Width(int font, const char* text) const;
  void Draw_Text(int font, const char* text, const CVector2& position, const CVector2& size, uint32_t colour,
                 uint32_t flags) const;

  bool On_Enter_Key();
  bool On_Left_Down();
  bool On_Left_Up();
  bool On_Right_Down();
  bool On_Mouse_Wheel(int wheel_data);
  void On_Arrow_Key(int direction);  // 0 left, 1 right, 2 up, 3 down
  void On_Char(int code, int key_data);

  void Set_Menu_Lighting(bool on);
  void Suspend(bool suspend);
  void On_Pause(const bool& paused);
  void Close_All();
  // Screen changes and launches; track_id and music_id are the launch's resource ids.
  void Command(const int& code, int argument, const int& track_id = 0, const int& music_id = 0);

  void Update(float step);
  void Render(const CFrame_Info& frame);

  // The backdrop colour of the menus, blue in the lowest byte.
  uint32_t Background_Color() const { return m_Background_Color; }
  bool Is_Suspended() const { return m_Suspended; }
  CTextureData* Texture(int slot) const { return slot >= 0 && slot < 4 ? m_Textures[slot] : nullptr; }
  CD3DRenderStyle* Style(int slot) const { return slot >= 0 && slot < 2 ? m_Styles[slot] : nullptr; }
  // The rotation the menu renderables share (the identity).
  const CMatrix4x4& Menu_Rotation() const { return m_Menu_Rotation; }

  // Fills the description of a launch (codes 7 and 8) for an environment variant 0-3; false for
  // another variant.
  // The resolution index 0-4 lowered until its window fits strictly inside the desktop; an index
  // outside 0-4 counts as 1.
  static int Fit_Resolution_To_Desktop(int index, int desktop_width, int desktop_height);
  static bool Build_Sim_Desc(int code, int variant, uint32_t track_id, uint32_t music_id, CSim_Desc& desc);

  CMenu_Grid m_Grid;
  CMenu_Console m_Console;
  CMenu_Simulator m_Simulator;
  CMenu_WarRoom m_WarRoom;
  CMenu_EndGame m_EndGame;

 private:
  void Run_Action(int code, int argument, int track_id, int music_id);
  void Build_Popups(int menu);
  void Show_Only(int screen, bool success);
  void Start_WarRoom();
  void Launch(int code, int variant, int track_id, int music_id);
  void Toggle_Console();
  bool Console_Tab_Taken();
  void Play_Ambience();
  bool Simulator_Up() const { return m_Simulator.m_Initialised && m_Simulator.m_Visible; }
  bool Console_Up() const { return m_Console.m_Initialised && m_Console.m_Visible; }
  bool WarRoom_Up() const { return m_WarRoom.m_Initialised && m_WarRoom.m_Visible; }
  bool EndGame_Up() const { return m_EndGame.m_Initialised && m_EndGame.m_Visible; }

  bool m_Initialised = false;
  bool m_Suspended = true;
  bool m_Last_Pause = false;
  uint32_t m_Background_Color = 0;
  HFONT m_Gdi_Fonts[kFont_Count] = {};
  ID3DXFont* m_Fonts[kFont_Count] = {};
  CTextureData* m_Textures[4] = {};
  CD3DRenderStyle* m_Styles[2] = {};
  CMatrix4x4 m_Menu_Rotation;
};

extern CMenu_Mgr g_Menu_Mgr;
