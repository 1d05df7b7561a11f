#pragma once
// The trainer's main screen: the simulation list with its records, the user profile with the
// weapon shop, the forum (reading and writing messages) and the War Room briefing, drawn as a
// 3D frame with a flickering backdrop in front of the menu camera. It opens and closes through
// a chain of animation states and offers War Room missions through a timed alert.
#include <cstdint>
#include <string>

#include "game/menu/CMenu_Panel.h"
#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

struct CFrame_Info;
struct Sim_Entry;
struct Weapon_Entry;
class CClient_Data;
class CMenuItem_List;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CMenu_Simulator {
 public:
  // Animation states: 0 closed, 1-4 opening, 9 open, 5-8 closing.
  enum : int32_t {
    kClosed = 0,
    kPieces_In = 1,
    kBackdrop_In = 2,
    kGlow_In = 3,
    kItems_In = 4,
    kGlow_Out = 5,
    kItems_Out = 6,
    kBackdrop_Out = 7,
    kPieces_Out = 8,
    kOpen = 9,
  };
  // Item ids shared by several pages.
  static constexpr int32_t kWarRoom_Button = 1024;
  static constexpr uint32_t kAlert_Loop = 0x220001c7;

  CMenu_Simulator() = default;
  CMenu_Simulator(const CMenu_Simulator&) = delete;
  CMenu_Simulator& operator=(const CMenu_Simulator&) = delete;

  bool m_Initialised = false;
  bool m_Visible = false;

  bool Init();
  void Term();
  // Opens (true) or closes the screen; nothing when uninitialised or unchanged.
  void Show(bool show);
  void Set_State(int32_t state);
  // Clears the panel and creates the items of a page (0 only clears).
  void Build_Layout(const int& page);
  void Update(float step);
  void Render(const CFrame_Info& frame);

  bool On_Left_Down();
  bool On_Left_Up();
  bool On_Enter();
  // True when page 1 or 3 takes the wheel.
  bool On_Mouse_Wheel(int notches);
  void On_Arrow_Key(int direction);  // 0 left, 1 right, 2 up, 3 down
  void On_Char(int code, int key_data);
  void On_Pause(bool paused);

  // War Room alert.
  float Roll_Mission_Delay();
  void Update_Mission_Alert(float step);
  void On_Page_Tab(int32_t index);
  void Open_Briefing();
  void Accept_Mission();
  void Reject_Mission();

  // Simulation page.
  void Run_Selected_Simulation();
  void Show_Sim_Info(int32_t row);
  void Cycle_Random_Preview(float step);

  // Profile page and shop.
  void Show_Weapon_Info(int32_t row);
  void Upgrade_Weapon();
  void Buy_Or_Select_Weapon();
  void Show_Attachment_Info(int32_t row);
  void Upgrade_Attachment();
  void Buy_Or_Select_Attachment();

  // Forum, message writing and briefing pages.
  void Show_Message_Info(int32_t row);
  void Delete_Selected_Message();
  void Compose_Message();
  void Send_Message();
  void Cancel_Message();
  std::string Pick_Mission_Message();

  // Drawing.
  void Set_Backdrop_Quads();
  void Render_Frame_Pieces();
  void Render_Glow();
  void Render_Alert_Beams(float step);
  void Render_Backdrop_Inner();

  int32_t m_Requested_Tab = 1;  // 1-5
  CMenu_Panel m_Panel;
  int32_t m_Current_Tab = 0;
  float m_Message_Clock = 0.0f;
  float m_Click_Clock = 1000.0f;
  float m_Preview_Timer = 1.75f;
  int32_t m_Cycle_Index = 0;
  int32_t m_Anim_State = kClosed;
  bool m_Alert_Pending = false;
  float m_Alert_Timer = 0.0f;
  float m_Frame_Fraction[4] = {};
  float m_Backdrop_Fade = 0.0f;
  float m_Blink = 0.0f;
  float m_Item_Fade = 0.0f;
  float m_Glow_Fade = 0.0f;
  float m_Beam_Fade = 0.0f;
  CRenderableObject* m_Renderables[5] = {};
  CTextureData* m_Textures[5] = {};
  CD3DRenderStyle* m_Styles[5] = {};
  TexVertex m_Outer_Quad[4] = {};
  TexVertex m_Inner_Quad[4] = {};

 private:
  void Release_Resources();
  void Build_Header(int page);
  void Build_Sim_Page();
  void Build_Profile_Page();
  void Build_Forum_Page();
  void Build_Compose_Page();
  void Build_Briefing_Page();
  void Remember_List_Positions();
  void Set_WarRoom_Button(bool enabled);
  void End_Alert();
  void Update_Animation(float step);
  void Check_Forum(float step);
  CMenuItem_List* Find_List(int32_t id) const;
  void Show_Preview(Sim_Entry* row);
};

// The War Room region chosen on the simulator screen: 1-8, 0 none.
extern int32_t g_WarRoom_Target_Region;
// The phase of the alert beams' pulse, radians.
extern float g_Sim_Alert_Angle;

// A rotation from yaw, pitch and roll (row vectors, no translation).
CMatrix4x4 Rotation_From_Euler(float yaw, float pitch, float roll);

// The account of the console's user while it is loaded, else null: the screen's changes to the
// account go to the loaded record only, so nothing is written without one.
CClient_Data* Loaded_Account();
// The console user's access level (read through a temporary load when none is loaded).
uint32_t Sim_Access_Level();
// Plays a sound once at the effect volume x 0.925 (nothing at 0.05 effect volume or less).
void Play_Menu_Sound(uint32_t id);
// Opens the message dialog of the screen from the point 100 ahead of and `rise` above the menu
// camera; false when a modal dialog is open already.
bool Open_Sim_Dialog(float rise);
// The gun table's row of the account's selected gun, or null.
const Weapon_Entry* Get_Selected_Weapon_Entry();
