#include "game/menu/CPopup_Mgr.h"

#include <algorithm>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_Slider.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/debug.h"

CPopup_Mgr g_Popup_Mgr;

namespace {

constexpr uint32_t kTitle_Texture = 0x22000003;
constexpr uint32_t kCaption_Leave = 0x22000004;
constexpr uint32_t kCaption_Restart = 0x220001cb;
constexpr uint32_t kCaption_Abort = 0x2200017c;
constexpr uint32_t kCaption_Retreat = 0x220001cc;
constexpr uint32_t kOption_Colour = 0xccaaaacc;
constexpr uint32_t kDisabled_Colour = 0xccccaaaa;
constexpr uint32_t kTitle_Colour = 0xddffff22;
constexpr uint32_t kButton_Colour = 0xbb55ff66;
constexpr uint32_t kBack_Colour = 0xaadddd55;
constexpr uint32_t kLabel_Colour = 0xccddddff;
constexpr uint32_t kSection_Colour = 0xddffcc44;
constexpr uint32_t kQuestion_Colour = 0xeeeeee66;
constexpr uint32_t kAnswer_Colour = 0xdd77ccee;
constexpr uint32_t kButton_Flags = CMenuItem_Button::kCentre_X | CMenuItem_Button::kShadow;

float W() { return CMenuItem::Screen_W(); }
float H() { return CMenuItem::Screen_H(); }

CVector2 Title_Position() { return CVector2{0.01f * W(), 0.01f * H()}; }

CMenuItem_Button* Add_Button(CMenu_Panel& panel, int32_t id, const char* caption, const CVector2& anchor,
                             uint32_t colour, int32_t size_class, uint32_t flags,
                             CMenuItem_Button::Callback callback) {
  auto* button = new CMenuItem_Button(id, caption, anchor, colour, size_class, flags, 0.0f);
  button->m_On_Click = std::move(callback);
  panel.Add_Item(button);
  return button;
}

void Add_Text(CMenu_Panel& panel, const char* text, const CVector2& anchor, uint32_t colour, int32_t size_class,
              uint32_t flags) {
  panel.Add_Item(new CMenuItem_Text(0, text, anchor, colour, size_class, flags, 1, 0.0f));
}

// The world point 100 units ahead of the camera.
CVector3 Ahead_Of_Camera() {
  const CVector3& eye = g_Camera.Position();
  const CVector3& forward = g_Camera.Rotation().rows[2];
  return CVector3{eye.x + 100.0f * forward.x, eye.y + 100.0f * forward.y, eye.z + 100.0f * forward.z};
}

bool Open_Confirmation(int mode) {
  return g_Modal_Dlg.Init(Ahead_Of_Camera(), CVector2{0.5f * W(), 0.46f * H()}, 0.4f * W(), 0.0f, mode);
}

// True when the site is one of the links of the War Room's current site.
bool Is_Linked_To_Current(int site) {
  const CWarRoom_Sim& sim = g_WarRoom_Sim;
  return sim.Is_Site(sim.m_Current_Site) && sim.m_Sites[sim.m_Current_Site].Find_Link(site) >= 0;
}

void Pause(bool paused) {
  if (g_Game_Paused != paused) Set_Game_Paused(paused);
}

}  // namespace

void Apply_Cursor_Clip() { Clip_Cursor_To_Window(g_App_Active && g_Game_State.Mouse_Cap_Enable); }

// ---------------------------------------------------------------------------------------------
// Building

bool CPopup_Mgr::Init(const int& index) {
  if (!Build(index)) {
    plat::Debug_Output("Error in CPopup_Mgr\nUnable to initialize pop-up menu...\n");
    Term();
    return false;
  }
  m_Last_Built = index;
  m_Press_Receiver = -1;
  m_Initialised = true;
  return true;
}

void CPopup_Mgr::Term() {
  for (CPopup_Menu& menu : m_Menus) menu.Term();
  m_Active = false;
  m_Initialised = false;
  m_Last_Built = -1;
}

bool CPopup_Mgr::Build(int index) {
  switch (index) {
    case kMain_Menu:
    case kWarRoom_Menu:
      return Build_Main(index);
    case kOptions_Menu:
      return Build_Options();
    case kSim_Menu:
      return Build_Sim();
    default:
      return false;
  }
}

bool CPopup_Mgr::Build_Main(int index) {
  CPopup_Menu& menu = m_Menus[index];
  if (!menu.Init(CPopup_Menu::kLayout_Panel, Title_Position(), 0.5f * W(), 0.365f * H())) return false;
  if (!menu.Set_Texture(kTitle_Texture)) return false;
  CMenu_Panel& panel = menu.m_Panel;
  const float x = 0.5f * W();
  const bool war_room = index == kWarRoom_Menu;
  // The title's letters end above the first row's box (0.387 H).
  Add_Text(panel, war_room ? "War-Room Menu" : "Main Menu", CVector2{x, 0.305f * H()}, kTitle_Colour, 3,
           CMenuItem_Text::kCentre_X | CMenuItem_Text::kShadow);
  const float row = 0.065f * H();
  float y = 0.395f * H();
  if (war_room)
    Add_Button(panel, 0, "Abort Mission", CVector2{x, y}, kButton_Colour, 2, kButton_Flags,
               [](CMenuItem_Button*) { g_Popup_Mgr.Confirm_Abort(); });
  else
    Add_Button(panel, 0, "Options Menu", CVector2{x, y}, kButton_Colour, 2, kButton_Flags,
               [](CMenuItem_Button*) { g_Popup_Mgr.Open_Options(); });
  y += row;
  Add_Button(panel, 0, "Exit Program", CVector2{x, y}, kButton_Colour, 2, kButton_Flags,
             [](CMenuItem_Button*) { g_Popup_Mgr.Confirm_Exit(); });
  y += row;
  Add_Button(panel, 0, "Back", CVector2{x, y}, kBack_Colour, 2, kButton_Flags, [index](CMenuItem_Button*) {
    if (g_Popup_Mgr.m_Menus[index].m_Open) g_Popup_Mgr.Toggle_Menu(index);
  });
  menu.Update_Item_Widths();
  return true;
}

bool CPopup_Mgr::Build_Options() {
  CPopup_Menu& menu = m_Menus[kOptions_Menu];
  if (!menu.Init(CPopup_Menu::kLayout_Panel, Title_Position(), 0.6f * W(), 0.84f * H())) return false;
  if (!menu.Set_Texture(kTitle_Texture)) return false;
  CMenu_Panel& panel = menu.m_Panel;
  const float centre = 0.5f * W();
  // The labels end right of the centre: the longest, "Hide Cursor in Battle (3D Glasses):",
  // is about 0.34 W wide in font 1 and must start inside the box (0.2 W to 0.8 W).
  const float label_right = centre + 0.055f * W();
  const float value_left = centre + 0.085f * W();
  const float row = 0.047f * H();
  float y = 0.1f * H();
  Add_Text(panel, "Options Menu", CVector2{centre, y}, kTitle_Colour, 3,
           CMenuItem_Text::kCentre_X | CMenuItem_Text::kShadow);
  y += 0.095f * H();
  auto section = [&](const char* name) {
    Add_Text(panel, name, CVector2{centre - 0.25f * W(), y}, kSection_Colour, 2, CMenuItem_Text::kShadow);
    y += row + 0.005f * H();
  };
  auto label = [&](const char* text) {
    Add_Text(panel, text, CVector2{label_right, y}, kLabel_Colour, 1, CMenuItem_Text::kRight_X | CMenuItem_Text::kShadow);
  };
  auto option = [&](const char* text, int32_t id, int option_index) {
    label(text);
    uint32_t colour = kOption_Colour;
    const char* caption = Get_Option_Text(option_index, colour);
    Add_Button(panel, id, caption, CVector2{value_left, y}, colour, 1, CMenuItem_Button::kShadow,
               [id](CMenuItem_Button*) { g_Popup_Mgr.Change_Option(id); });
    y += row;
  };
  auto slider = [&](const char* text, int32_t id, float value) {
    label(text);
    auto* item = new CMenuItem_Slider(id, CVector2{value_left - 0.015f * W(), y + 0.0175f * H()}, 0.2f * W(),
                                      CMenuItem_Slider::kCentre_Y);
    item->m_Value = std::clamp(value, 0.0f, 1.0f);
    item->m_On_Change = [id] { g_Popup_Mgr.Change_Volume(id); };
    panel.Add_Item(item);
    y += row;
  };
  section("Display");
  option("Window Mode:", kOption_Window, 0);
  option("Resolution:", kOption_Resolution, 1);
  option("Bit Depth:", kOption_Bit_Depth, 2);
  section("Sound");
  slider("FX Volume:", kOption_FX_Volume, g_Game_State.SoundFX_Volume);
  slider("Music Volume:", kOption_Music_Volume, g_Game_State.Music_Volume);
  section("Other");
  option("Mirrors:", kOption_Mirrors, 3);
  option("Lock Cursor to Window:", kOption_Lock_Cursor, 5);
  option("Lock Weapons to Cursor:", kOption_Lock_Weapons, 4);
  option("Hide Cursor in Battle (3D Glasses):", kOption_Hide_Cursor, 6);
  y += 0.01f * H();
  Add_Button(panel, 0, "Back", CVector2{centre, y}, kBack_Colour, 2, kButton_Flags,
             [](CMenuItem_Button*) { g_Popup_Mgr.Back_From_Options(); });
  menu.Update_Item_Widths();
  return true;
}

bool CPopup_Mgr::Build_Sim() {
  CPopup_Menu& menu = m_Menus[kSim_Menu];
  if (!menu.Init(CPopup_Menu::kLayout_Entries, Title_Position(), 0.0f, 0.0f)) return false;
  if (!menu.Set_Texture(kTitle_Texture)) return false;
  if (g_WarRoom_Sim.m_Initialised)
    return menu.Add_Entry(kCaption_Retreat, kAction_Retreat) && menu.Add_Entry(kCaption_Abort, kAction_Report);
  return menu.Add_Entry(kCaption_Restart, kAction_Restart) && menu.Add_Entry(kCaption_Leave, kAction_Leave);
}

// ---------------------------------------------------------------------------------------------
// Options

const char* CPopup_Mgr::Get_Option_Text(int option, uint32_t& colour) {
  static const char* const kResolutions[5] = {"640 x 480", "800 x 600", "1024 x 768", "1280 x 1024", "1600 x 1200"};
  colour = kOption_Colour;
  const CGame_State& state = g_Game_State;
  auto flag = [&colour](bool on) {
    colour = on ? kOption_Colour : kDisabled_Colour;
    return on ? "Enabled" : "Disabled";
  };
  switch (option) {
    case 0:
      return state.Display_Windowed ? "Windowed" : "Full-Screen";
    case 1:
      return state.Display_Resolution >= 0 && state.Display_Resolution <= 4 ? kResolutions[state.Display_Resolution]
                                                                             : "";
    case 2:
      return state.Display_BitDepth == 0 ? "16 BPP" : state.Display_BitDepth == 1 ? "32 BPP" : "";
    case 3:
      return flag(state.Mirrors_Enable);
    case 4:
      return flag(state.Lock_Weapons_To_Cursor);
    case 5:
      return flag(state.Mouse_Cap_Enable);
    case 6:
      return flag(state.Hide_Cursor_In_Sims);
    default:
      return "";
  }
}

void CPopup_Mgr::Change_Option(int32_t id) {
  CPopup_Menu& menu = m_Menus[kOptions_Menu];
  if (!menu.m_Open || !menu.m_Initialised || !menu.m_Panel.m_Initialised) return;
  const int32_t kind = kItem_Button;
  auto* button = static_cast<CMenuItem_Button*>(menu.m_Panel.Find_Item(id, kind));
  if (!button) return;
  CGame_State& state = g_Game_State;
  int option = 0;
  switch (id) {
    case kOption_Window:
      state.Display_Windowed = !state.Display_Windowed;
      option = 0;
      break;
    case kOption_Resolution:
      state.Display_Resolution = state.Display_Resolution + 1 > 4 ? 0 : std::max(state.Display_Resolution + 1, 0);
      option = 1;
      break;
    case kOption_Bit_Depth:
      state.Display_BitDepth = state.Display_BitDepth + 1 > 1 ? 0 : std::max(state.Display_BitDepth + 1, 0);
      option = 2;
      break;
    case kOption_Mirrors:
      state.Mirrors_Enable = !state.Mirrors_Enable;
      option = 3;
      break;
    case kOption_Lock_Weapons:
      state.Lock_Weapons_To_Cursor = !state.Lock_Weapons_To_Cursor;
      option = 4;
      break;
    case kOption_Lock_Cursor:
      state.Mouse_Cap_Enable = !state.Mouse_Cap_Enable;
      Apply_Cursor_Clip();
      option = 5;
      break;
    case kOption_Hide_Cursor:
      state.Hide_Cursor_In_Sims = !state.Hide_Cursor_In_Sims;
      option = 6;
      break;
    default:
      return;
  }
  uint32_t colour = kOption_Colour;
  const char* text = Get_Option_Text(option, colour);
  button->m_Colour = colour;
  button->Set_Caption(text);
}

void CPopup_Mgr::Change_Volume(int32_t id) {
  CPopup_Menu& menu = m_Menus[kOptions_Menu];
  if (!menu.m_Initialised) return;
  const int32_t kind = kItem_Slider;
  auto* slider = static_cast<CMenuItem_Slider*>(menu.m_Panel.Find_Item(id, kind));
  if (!slider) return;
  if (id == kOption_FX_Volume) g_Game_State.SoundFX_Volume = slider->m_Value;
  if (id == kOption_Music_Volume) g_Game_State.Music_Volume = slider->m_Value;
}

void CPopup_Mgr::Leave_Options_Open(int index) {
  CPopup_Menu& menu = m_Menus[index];
  menu.m_Open = true;
  menu.m_Open_Value = 1.0f;
  menu.Rebuild_Box();
  m_Active = true;
  Pause(true);
}

void CPopup_Mgr::Open_Options() {
  Term();
  Init(kOptions_Menu);
  Leave_Options_Open(kOptions_Menu);
}

void CPopup_Mgr::Apply_Display_Settings() {
  if (g_Menu_Mgr.Reset_Display_Mode()) {
    const int tab = g_Menu_Mgr.m_Simulator.m_Current_Tab;
    g_Menu_Mgr.m_Simulator.Build_Layout(tab);
    g_Menu_Mgr.m_Console.Measure_Lines();
  }
}

void CPopup_Mgr::Back_From_Options() {
  Apply_Display_Settings();
  Term();
  Init(kMain_Menu);
  Leave_Options_Open(kMain_Menu);
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

bool CPopup_Mgr::Is_Open() const {
  return std::any_of(std::begin(m_Menus), std::end(m_Menus),
                     [](const CPopup_Menu& menu) { return menu.m_Initialised && menu.m_Open; });
}

int CPopup_Mgr::Open_Menu() const {
  for (int i = 0; i < kMenu_Count; ++i)
    if (m_Menus[i].m_Initialised && m_Menus[i].m_Open) return i;
  return -1;
}

void CPopup_Mgr::Close_Others(int index) {
  for (int i = 0; i < kMenu_Count; ++i)
    if (i != index && m_Menus[i].m_Initialised && m_Menus[i].m_Open) m_Menus[i].Close();
}

void CPopup_Mgr::Close_Menu(int index, bool unpause) {
  m_Menus[index].Close();
  m_Active = false;
  if (unpause) Pause(false);
}

void CPopup_Mgr::Open_Menu_At(int index) {
  m_Menus[index].m_Open = true;
  m_Active = true;
  Pause(true);
  Close_Others(index);
}

void CPopup_Mgr::Toggle_Menu(int index) {
  if (index < 0 || index >= kMenu_Count) return;
  CPopup_Menu& menu = m_Menus[index];
  if (!menu.m_Shown || !menu.m_Initialised) return;
  if (menu.m_Open) {
    Close_Menu(index, true);
    Close_Others(index);
  } else {
    Open_Menu_At(index);
  }
}

int CPopup_Mgr::Close_First_Open() {
  const int open = Open_Menu();
  if (open < 0) return kMenu_Count;
  Toggle_Menu(open);
  return open;
}

void CPopup_Mgr::Close_All(bool instant) {
  if (!m_Active) return;
  for (CPopup_Menu& menu : m_Menus) {
    if (!menu.m_Initialised) continue;
    if (menu.m_Open) {
      menu.Close();
      if (instant) menu.m_Open_Value = 0.0f;
    }
    menu.Rebuild_Box();
  }
  m_Active = false;
  Pause(false);
}

bool CPopup_Mgr::Menu_Has_Item(int index, int action) const {
  if (index < 0 || index >= kMenu_Count) return false;
  return m_Menus[index].m_Initialised && m_Menus[index].Has_Item(action);
}

// ---------------------------------------------------------------------------------------------
// Input

int CPopup_Mgr::Press_Open_Menu(const CVector2& cursor, bool& used) {
  used = false;
  for (int i = 0; i < kMenu_Count; ++i) {
    CPopup_Menu& menu = m_Menus[i];
    if (!menu.m_Shown || !menu.m_Initialised) continue;
    if (menu.Cursor_In_Box(cursor)) {
      used = true;
      if (menu.m_Open) return i;
      Open_Menu_At(i);
      return -1;
    }
    if (menu.m_Open) {
      Close_Menu(i, true);
      used = true;
    }
  }
  return -1;
}

void CPopup_Mgr::Do_Entry_At(const CPopup_Menu& menu, const CVector2& cursor) {
  const int entry = menu.Entry_At(cursor);
  if (entry >= 0 && !menu.m_Entries[entry].skip) Do_Action(menu.m_Entries[entry].action);
}

bool CPopup_Mgr::On_Left_Down() {
  const CVector2 cursor = CMenuItem::Cursor();
  bool used = false;
  const int i = Press_Open_Menu(cursor, used);
  if (i < 0) return used;
  CPopup_Menu& menu = m_Menus[i];
  m_Press_Receiver = i;
  if (!menu.Fully_Open()) return true;
  if (menu.Has_Panel())
    menu.m_Panel.On_Mouse_Down();
  else
    Do_Entry_At(menu, cursor);
  return true;
}

bool CPopup_Mgr::On_Left_Up() {
  if (m_Press_Receiver < 0 || m_Press_Receiver >= kMenu_Count) return false;
  CPopup_Menu& menu = m_Menus[m_Press_Receiver];
  m_Press_Receiver = -1;
  if (menu.m_Panel.m_Initialised) menu.m_Panel.On_Mouse_Up();
  return true;
}

bool CPopup_Mgr::On_Right_Down() {
  const CVector2 cursor = CMenuItem::Cursor();
  bool used = false;
  const int i = Press_Open_Menu(cursor, used);
  if (i < 0) return used;
  CPopup_Menu& menu = m_Menus[i];
  if (!menu.Has_Panel()) Do_Entry_At(menu, cursor);
  return true;
}

void CPopup_Mgr::On_Enter_Key() {
  CPopup_Menu& menu = m_Menus[kSim_Menu];
  if (!menu.m_Initialised || !menu.m_Open || !menu.Fully_Open() || menu.Has_Panel()) return;
  const int highlight = menu.m_Highlight;
  if (highlight < 0 || highlight >= static_cast<int>(menu.m_Entries.size())) return;
  if (!menu.m_Entries[highlight].skip) Do_Action(menu.m_Entries[highlight].action);
}

void CPopup_Mgr::Move_Highlight(int direction) {
  const int open = Open_Menu();
  if (open < 0) return;
  CPopup_Menu& menu = m_Menus[open];
  const auto count = static_cast<int32_t>(menu.m_Entries.size());
  if (count == 0) return;
  const bool back = direction == 0 || direction == 2;
  if (back)
    menu.m_Highlight = menu.m_Highlight <= 0 ? count - 1 : menu.m_Highlight - 1;
  else
    menu.m_Highlight = menu.m_Highlight < 0 || menu.m_Highlight + 1 >= count ? 0 : menu.m_Highlight + 1;
}

void CPopup_Mgr::Do_Action(int action) {
  switch (action) {
    case kAction_Leave:
      if (!g_WarRoom_Sim.m_Initialised) {
        g_Menu_Mgr.Command(kCommand_Simulator, 0);
      } else {
        g_Menu_Mgr.Command(kCommand_WarRoom, 0);
        g_Menu_Mgr.m_WarRoom.Set_Page(5);
      }
      break;
    case kAction_Report:
      g_Menu_Mgr.Command(kCommand_End_Mission, 0);
      break;
    case kAction_Restart: {
      const CSim_Desc desc = g_Game.Current_Desc();
      const int mode = kMode_Simulation;
      const unsigned kind = g_Game_State.m_Sim_Kind != 0 ? g_Game_State.m_Sim_Kind : 1;
      if (!g_Game.Set_Mode(mode, kind, &desc)) {
        const int menus = kMode_Menus;
        g_Game.Set_Mode(menus, 0, nullptr);
      }
      break;
    }
    case kAction_Retreat: {
      g_WarRoom_Sim.Pop_History();
      const int site = g_WarRoom_Sim.Pop_History();
      if (site < 0) break;
      // The shuttle can only fly back along a link of the site it stands on.
      if (Is_Linked_To_Current(site)) {
        g_Menu_Mgr.m_WarRoom.m_Flight_Target = site;
        g_WarRoom_Sim.Set_Target_Site(site);
      }
      g_Menu_Mgr.Command(kCommand_WarRoom, 0);
      g_Menu_Mgr.m_WarRoom.Set_Page(1);
      break;
    }
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// Confirmations

void CPopup_Mgr::Confirm_Exit() {
  if (!Open_Confirmation(CModal_Dlg::kMode_Choice)) return;
  g_Modal_Dlg.Add_Line("Exit Program - Are you sure?", kQuestion_Colour, CModal_Dlg::kLine_Large, 0, 0);
  g_Modal_Dlg.Add_Line("Ok", kAnswer_Colour, 0, kCommand_Quit, 0);
  g_Modal_Dlg.Add_Line("Cancel", kAnswer_Colour, 0, kCommand_Close, 0);
}

void CPopup_Mgr::Confirm_Abort() {
  CMenu_EndGame& report = g_Menu_Mgr.m_EndGame;
  if (report.m_Initialised && report.m_Visible && !g_Modal_Dlg.Is_Open()) {
    if (!Open_Confirmation(CModal_Dlg::kMode_Message)) return;
    g_Modal_Dlg.Add_Line(report.m_Success ? "Mission already completed" : "Mission already aborted", kQuestion_Colour,
                         CModal_Dlg::kLine_Large, 0, 0);
    return;
  }
  if (!Open_Confirmation(CModal_Dlg::kMode_Choice)) return;
  g_Modal_Dlg.Add_Line("Abort Mission - Are you sure?", kQuestion_Colour, CModal_Dlg::kLine_Large, 0, 0);
  g_Modal_Dlg.Add_Line("Ok", kAnswer_Colour, 0, kCommand_End_Mission, 0);
  g_Modal_Dlg.Add_Line("Cancel", kAnswer_Colour, 0, kCommand_Close, 0);
}

// ---------------------------------------------------------------------------------------------
// Frame

void CPopup_Mgr::Frame(const CFrame_Info& frame, const float& unpaused_step) {
  (void)frame;
  if (!m_Initialised) return;
  for (CPopup_Menu& menu : m_Menus) {
    if (!menu.m_Initialised) continue;
    menu.Step(unpaused_step);
    menu.Update_Item_Widths();
  }
  CPopup_Menu& options = m_Menus[kOptions_Menu];
  // The options menu closed another way than its "Back": apply its display settings now.
  if (options.m_Initialised && !options.m_Open && options.m_Open_Value <= 0.0f) {
    Apply_Display_Settings();
    Apply_Cursor_Clip();
    Term();
    Init(kMain_Menu);
    m_Menus[kMain_Menu].Rebuild_Box();
  }
}

void CPopup_Mgr::Render(const float& unpaused_step) {
  if (!m_Initialised) return;
  for (CPopup_Menu& menu : m_Menus)
    if (menu.m_Shown && menu.m_Initialised) menu.Render(unpaused_step);
}
