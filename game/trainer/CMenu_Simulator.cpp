// The simulator screen's life cycle, animation states, page header, input and War Room alert.
#include "game/trainer/CMenu_Simulator.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "game/core/CGame_State.h"
#include "game/core/Sound_FX.h"
#include "game/core/WinMain.h"
#include "game/fx/FX_Resources.h"
#include "game/menu/CMenuItem.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_Edit.h"
#include "game/menu/CMenuItem_List.h"
#include "game/menu/CMenuItem_Tab.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/Sim_Table.h"
#include "game/trainer/Weapon_Tables.h"
#include "platform/system/random.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/sound/sound_mgr.h"

int32_t g_WarRoom_Target_Region = 0;

namespace {

constexpr uint32_t kRenderable_Ids[5] = {0x22000066, 0x22000067, 0x22000068, 0x22000054, 0x22000055};
constexpr uint32_t kTexture_Ids[5] = {0x2200002c, 0x22000069, 0x2200006a, 0x220000cf, 0x2200005e};
constexpr uint32_t kStyle_Ids[5] = {0x2200006b, 0x22000031, 0x22000050, 0x2200006e, 0x2200002e};
constexpr uint32_t kOpen_Sound = 0x220000ed;
constexpr uint32_t kPiece_Sound = 0x220000e1;
constexpr uint32_t kLaunch_Sound = 0x220000e0;
constexpr uint32_t kClick_Sound = 0x220000dc;
constexpr uint32_t kAlert_Sound = 0x22000124;
constexpr float kSilent_Volume = 0.05f;
constexpr float kDouble_Click = 1.25f;
constexpr float kAlert_Answer_Time = 120.0f;
constexpr float kBriefing_Time = 200.0f;
constexpr float kForum_Check_Interval = 150.0f;
constexpr int32_t kList_Id = 1;

float W() { return CMenuItem::Screen_W(); }
float H() { return CMenuItem::Screen_H(); }

float Rise(float value, float amount) { return std::min(1.0f, value + amount); }
float Fall(float value, float amount) { return std::max(0.0f, value - amount); }

void Play_Alert_Loop() {
  const float fx = g_Game_State.SoundFX_Volume;
  if (!g_pSoundMgr || fx <= kSilent_Volume) return;
  const uint32_t id = CMenu_Simulator::kAlert_Loop;
  const float volume = std::clamp(0.45f * fx, 0.0f, 1.0f);
  const uint8_t loop = 1;
  g_pSoundMgr->Play(&id, &volume, &loop);
}

void Stop_Alert_Loop() {
  const uint32_t id = CMenu_Simulator::kAlert_Loop;
  if (g_pSoundMgr) g_pSoundMgr->Stop(&id);
}

// The page to open: the requested one, 1 when none is valid, 3 while an unread private message
// waits for the user.
int Opening_Page(int requested) {
  int page = (requested <= 0 || requested > 5) ? 1 : requested;
  const CCommunications_Mgr& comms = g_Communications_Mgr;
  if (comms.m_Forum_Data.Has_Unread_Private(comms.m_Client_Data)) page = 3;
  return page;
}

}  // namespace

CClient_Data* Loaded_Account() {
  CClient_Data& account = g_Communications_Mgr.m_Client_Data;
  return account.m_Loaded ? &account : nullptr;
}

uint32_t Sim_Access_Level() {
  const int level = g_Menu_Mgr.m_Console.Get_Access_Level();
  return level > 0 ? static_cast<uint32_t>(level) : 0u;
}

// The sound-effect rule already scales by the game state's 0.925: the menu adds nothing.
void Play_Menu_Sound(uint32_t id) { Play_Sound_FX(id, 1.0f); }

// ---------------------------------------------------------------------------------------------
// Life cycle

bool CMenu_Simulator::Init() {
  for (int i = 0; i < 5; ++i) {
    m_Renderables[i] = fx::Get_Renderable(kRenderable_Ids[i]);
    if (!m_Renderables[i]) {
      Show_Message("Error in CMenu_Simulator\nUnable to create renderable object...");
      Term();
      return false;
    }
  }
  for (int i = 0; i < 5; ++i) {
    m_Textures[i] = fx::Get_Texture(kTexture_Ids[i]);
    if (!m_Textures[i]) {
      Show_Message(i < 3 ? "Error in CMenu_Simulator\nUnable to load texture..."
                         : "Error in CMenu_Simulator\nUnable to create texture...");
      Term();
      return false;
    }
  }
  for (int i = 0; i < 5; ++i) {
    m_Styles[i] = fx::Get_Style(kStyle_Ids[i]);
    if (!m_Styles[i]) {
      Show_Message(i == 0 ? "Error in CMenu_Simulator\nUnable to shader..."
                          : "Error in CMenu_Simulator\nUnable to load shader...");
      Term();
      return false;
    }
  }
  m_Requested_Tab = 1;
  m_Visible = false;
  m_Alert_Pending = false;
  m_Anim_State = kClosed;
  m_Current_Tab = 0;
  m_Message_Clock = 0.0f;
  m_Click_Clock = 1000.0f;
  m_Preview_Timer = 1.75f;
  m_Cycle_Index = 0;
  m_Alert_Timer = Roll_Mission_Delay();
  m_Beam_Fade = 0.0f;
  // A close ends without the pieces leaving (the screen is released on the way), so every
  // opening starts from an empty frame.
  std::fill(std::begin(m_Frame_Fraction), std::end(m_Frame_Fraction), 0.0f);
  m_Backdrop_Fade = m_Blink = m_Item_Fade = m_Glow_Fade = 0.0f;
  Set_Backdrop_Quads();
  Build_Sim_Table();
  Build_Weapon_Table();
  Build_Attachment_Table();
  m_Initialised = true;
  return true;
}

void CMenu_Simulator::Release_Resources() {
  for (CRenderableObject*& renderable : m_Renderables) fx::Release(renderable);
  for (CTextureData*& texture : m_Textures) fx::Release(texture);
  for (CD3DRenderStyle*& style : m_Styles) fx::Release(style);
  for (Sim_Entry& row : g_Sim_Table) fx::Release(row.Preview_Texture);
}

void CMenu_Simulator::Term() {
  Build_Layout(0);
  Release_Resources();
  Stop_Alert_Loop();
  m_Initialised = false;
  m_Visible = false;
  m_Anim_State = kClosed;
}

void CMenu_Simulator::Show(bool show) {
  if (!m_Initialised || show == m_Visible) return;
  if (!show)
    g_Communications_Mgr.Term();
  else if (!g_Communications_Mgr.Is_Running())
    g_Communications_Mgr.Init();
  m_Visible = show;
  if (show) {
    Set_State(kPieces_In);
  } else {
    m_Panel.Clear_Items();
    Set_State(kGlow_Out);
  }
}

void CMenu_Simulator::Set_State(int32_t state) {
  if (state == m_Anim_State) return;
  switch (state) {
    case kBackdrop_In:
      Play_Menu_Sound(kOpen_Sound);
      break;
    case kItems_In:
      Build_Layout(Opening_Page(m_Requested_Tab));
      break;
    case kBackdrop_Out:
      m_Requested_Tab = 1;
      m_Panel.Clear_Items();
      break;
    case kPieces_Out:
      if (m_Initialised) Term();
      break;
    default:
      break;
  }
  m_Anim_State = state;
}

// ---------------------------------------------------------------------------------------------
// Per frame

void CMenu_Simulator::Update_Animation(float step) {
  switch (m_Anim_State) {
    case kPieces_In: {
      for (float& fraction : m_Frame_Fraction) {
        if (fraction >= 1.0f) continue;
        fraction = Rise(fraction, 0.75f * step);
        if (fraction >= 1.0f) Play_Sound_FX(kPiece_Sound, 1.0f);
        break;
      }
      if (std::all_of(std::begin(m_Frame_Fraction), std::end(m_Frame_Fraction), [](float f) { return f >= 1.0f; }))
        Set_State(kBackdrop_In);
      break;
    }
    case kBackdrop_In:
      m_Backdrop_Fade = Rise(m_Backdrop_Fade, 0.15f * step);
      if (m_Backdrop_Fade >= 1.0f) Set_State(kGlow_In);
      break;
    case kGlow_In:
      m_Glow_Fade = Rise(m_Glow_Fade, 0.45f * step);
      if (m_Glow_Fade >= 1.0f) Set_State(kItems_In);
      break;
    case kItems_In:
      m_Item_Fade = Rise(m_Item_Fade, 0.25f * step);
      if (m_Item_Fade >= 1.0f) Set_State(kOpen);
      break;
    case kGlow_Out:
      m_Glow_Fade = Fall(m_Glow_Fade, 10.0f * step);
      if (m_Glow_Fade <= 0.0f) Set_State(kItems_Out);
      break;
    case kItems_Out:
      m_Item_Fade = Fall(m_Item_Fade, 10.0f * step);
      if (m_Item_Fade <= 0.0f) Set_State(kBackdrop_Out);
      break;
    case kBackdrop_Out:
      m_Backdrop_Fade = Fall(m_Backdrop_Fade, 0.5f * step);
      m_Blink = Fall(m_Blink, 0.5f * step);
      if (m_Backdrop_Fade <= 0.0f) Set_State(kPieces_Out);
      break;
    case kPieces_Out: {
      for (float& fraction : m_Frame_Fraction) {
        if (fraction <= 0.0f) continue;
        fraction = Fall(fraction, 1.5f * step);
        break;
      }
      if (std::all_of(std::begin(m_Frame_Fraction), std::end(m_Frame_Fraction), [](float f) { return f <= 0.0f; }))
        Set_State(kClosed);
      break;
    }
    default:
      break;
  }
}

void CMenu_Simulator::Update(float step) {
  Update_Animation(step);
  m_Click_Clock += step;
  if (g_Communications_Mgr.Is_Running()) g_Communications_Mgr.Update(step);
  Update_Mission_Alert(step);
  Cycle_Random_Preview(step);
  Check_Forum(step);
}

// While the forum page is open the list is compared with the forum now and then and rebuilt
// when the number of messages changed.
void CMenu_Simulator::Check_Forum(float step) {
  if (m_Current_Tab != 3 || !g_Communications_Mgr.Is_Running()) return;
  m_Message_Clock += step;
  if (m_Message_Clock <= kForum_Check_Interval) return;
  m_Message_Clock = 0.0f;
  const CMenuItem_List* list = Find_List(kList_Id);
  const size_t listed = list ? static_cast<size_t>(list->Row_Count()) : 0;
  if (listed != g_Communications_Mgr.m_Forum_Data.m_Posted.size()) Build_Layout(3);
}

// ---------------------------------------------------------------------------------------------
// Layout

CMenuItem_List* CMenu_Simulator::Find_List(int32_t id) const {
  return static_cast<CMenuItem_List*>(m_Panel.Find_Item(id, kItem_List));
}

// The simulation list's first visible row and the forum list's first visible message are kept
// in the account when their page is left.
void CMenu_Simulator::Remember_List_Positions() {
  CClient_Data* account = Loaded_Account();
  const CMenuItem_List* list = Find_List(kList_Id);
  if (!account || !list) return;
  if (m_Current_Tab == 1) account->m_Header[CClient_Data::kHeader_First_Sim_Row] = static_cast<uint32_t>(list->m_First_Visible);
  if (m_Current_Tab == 3 && list->Row_Count() > 0)
    account->m_Header[CClient_Data::kHeader_First_Message] =
        static_cast<uint32_t>(list->Get_Row_Value(list->m_First_Visible));
}

void CMenu_Simulator::Build_Layout(const int& page_ref) {
  const int page = page_ref;
  if (m_Panel.m_Initialised) Remember_List_Positions();
  m_Panel.Clear_Items();
  m_Current_Tab = page;
  if (page < 1 || page > 5) return;
  m_Panel.Init(CVector2{0.5f * W(), 0.5f * H()}, 0);
  if (page <= 4) Build_Header(page);
  switch (page) {
    case 1: Build_Sim_Page(); break;
    case 2: Build_Profile_Page(); break;
    case 3: Build_Forum_Page(); break;
    case 4: Build_Compose_Page(); break;
    default: Build_Briefing_Page(); break;
  }
}

void CMenu_Simulator::Build_Header(int page) {
  m_Panel.Add_Item(new CMenuItem_Text(0, "QOR Personnel Trainer", CVector2{0.5f * W(), 0.2f * H()}, 0xbbffff00, 2,
                                      CMenuItem_Text::kCentre_X | CMenuItem_Text::kCentre_Y | CMenuItem_Text::kShadow,
                                      1, 0.0f));
  auto* tabs = new CMenuItem_Tab(0, 3, CVector2{0.11f * W(), 0.23f * H()}, 0.78f * W(), 0.6f * W(), 0xbb66aa99, 0, 1,
                                 CMenuItem_Tab::kShadow);
  const char* const captions[3] = {"Simulation", "User Profile", "Communications"};
  for (int i = 0; i < 3; ++i) tabs->Set_Cell_Text(i, captions[i]);
  if (page <= 3) {
    tabs->Select(page - 1, false);
  } else {
    tabs->m_Selected = -1;
    tabs->Layout();
  }
  tabs->m_On_Select = [this](int32_t index) { On_Page_Tab(index); };
  m_Panel.Add_Item(tabs);
  const uint32_t hidden = m_Alert_Pending ? 0u : CMenuItem_Button::kHidden;
  auto* button = new CMenuItem_Button(kWarRoom_Button, "To War-Room", CVector2{0.5f * W(), 0.0515f * H()}, 0xbbaabb44,
                                      1, CMenuItem_Button::kCentre_X | CMenuItem_Button::kGlow | hidden, 0.25f * W());
  button->m_On_Click = [this](CMenuItem_Button*) { Open_Briefing(); };
  m_Panel.Add_Item(button);
}

void CMenu_Simulator::On_Page_Tab(int32_t index) {
  Play_Menu_Sound(kClick_Sound);
  if (index + 1 != m_Current_Tab) Build_Layout(index + 1);
}

// ---------------------------------------------------------------------------------------------
// Input

bool CMenu_Simulator::On_Left_Down() {
  if (m_Click_Clock >= kDouble_Click) {
    m_Click_Clock = 0.0f;
  } else {
    CMenuItem_List* list = m_Current_Tab == 1 ? Find_List(kList_Id) : nullptr;
    if (list && list->m_Selected >= 0 && list->Is_Mouse_Over() && list->Get_Row_At_Cursor() == list->m_Selected) {
      m_Panel.On_Mouse_Down();
      Run_Selected_Simulation();
      return true;
    }
    m_Click_Clock = 1000.0f;
  }
  if (m_Panel.m_Initialised) m_Panel.On_Mouse_Down();
  return true;
}

bool CMenu_Simulator::On_Left_Up() {
  if (m_Panel.m_Initialised) m_Panel.On_Mouse_Up();
  return true;
}

bool CMenu_Simulator::On_Enter() {
  if (m_Current_Tab == 1) {
    Run_Selected_Simulation();
    return true;
  }
  if (m_Current_Tab == 4) {
    if (CMenuItem_Edit* edit = m_Panel.Get_Focus()) edit->On_Char(13, false);
    return true;
  }
  return false;
}

bool CMenu_Simulator::On_Mouse_Wheel(int notches) {
  if (m_Current_Tab != 1 && m_Current_Tab != 3) return false;
  CMenuItem_List* list = Find_List(kList_Id);
  if (!list) return true;
  const int steps = std::min(std::abs(notches), 3);
  for (int i = 0; i < steps; ++i) list->On_Arrow_Key(notches > 0 ? 2 : 3);
  return true;
}

void CMenu_Simulator::On_Arrow_Key(int direction) {
  if (direction < 0 || direction > 3) return;
  if (m_Current_Tab == 1 || m_Current_Tab == 3) {
    if (CMenuItem_List* list = Find_List(kList_Id)) list->On_Arrow_Key(direction);
  } else if (m_Current_Tab == 4) {
    const int keys[4] = {CMenuItem_Edit::kKey_Left, CMenuItem_Edit::kKey_Right, CMenuItem_Edit::kKey_Up,
                         CMenuItem_Edit::kKey_Down};
    if (CMenuItem_Edit* edit = m_Panel.Get_Focus()) edit->On_Char(keys[direction], true);
  }
}

void CMenu_Simulator::On_Char(int code, int key_data) {
  (void)key_data;
  if (m_Current_Tab == 3) {
    if (code == '.' || code == 8) Delete_Selected_Message();
  } else if (m_Current_Tab == 4) {
    if (code == 27) {
      Cancel_Message();
    } else if (code == 9) {
      const CMenuItem_Edit* focus = m_Panel.Get_Focus();
      const int32_t next = (focus && focus->m_Id == 1) ? 2 : 1;
      m_Panel.Set_Focus(m_Panel.Find_Item(next, kItem_Edit));
    } else if (CMenuItem_Edit* edit = m_Panel.Get_Focus()) {
      edit->On_Char(code, false);
    }
  }
}

void CMenu_Simulator::On_Pause(bool paused) {
  if (paused)
    Stop_Alert_Loop();
  else if (m_Alert_Pending)
    Play_Alert_Loop();
}

// ---------------------------------------------------------------------------------------------
// War Room alert

float CMenu_Simulator::Roll_Mission_Delay() {
  uint32_t pacing = 0;
  if (const CClient_Data* account = Loaded_Account())
    pacing = account->m_Pacing;
  else
    g_Communications_Mgr.m_Client_Data.Use_Loaded([&pacing](CClient_Data& record) { pacing = record.m_Pacing; });
  const float x = std::min(static_cast<float>(pacing), 2.5f);
  const float draw = static_cast<float>(plat::Random()) / 32768.0f + 0.5f;
  return draw * 500.0f / std::pow(x + 0.75f, 1.35f);
}

void CMenu_Simulator::Set_WarRoom_Button(bool enabled) {
  auto* button = static_cast<CMenuItem_Button*>(m_Panel.Find_Item(kWarRoom_Button, kItem_Button));
  if (!button) return;
  if (enabled)
    button->m_Flags &= ~CMenuItem_Button::kHidden;
  else
    button->m_Flags |= CMenuItem_Button::kHidden;
}

// The offer is over: the button goes, the alarm stops and the next offer is rolled.
void CMenu_Simulator::End_Alert() {
  Set_WarRoom_Button(false);
  m_Alert_Pending = false;
  Stop_Alert_Loop();
  m_Alert_Timer = Roll_Mission_Delay();
}

void CMenu_Simulator::Update_Mission_Alert(float step) {
  if (!m_Alert_Pending || m_Current_Tab == 5) {
    m_Blink = Fall(m_Blink, 0.75f * step);
  } else if (m_Blink < 1.0f && m_Backdrop_Fade == 1.0f) {
    m_Blink += 0.5f * step;
    if (m_Blink >= 1.0f) {
      m_Blink = 1.0f;
      Play_Menu_Sound(kAlert_Sound);
      Set_WarRoom_Button(true);
    }
  }
  const float old_timer = m_Alert_Timer;
  const float timer = old_timer - step;
  if (m_Alert_Pending) {
    const bool crossed_85 = old_timer > 85.0f && timer <= 85.0f && m_Current_Tab != 5;
    const bool crossed_35 = old_timer > 35.0f && timer <= 35.0f;
    if (crossed_85 || crossed_35) Play_Menu_Sound(kAlert_Sound);
    m_Alert_Timer = timer;
    if (timer <= 0.0f) {
      End_Alert();
      if (m_Current_Tab == 5) Build_Layout(1);
    }
    return;
  }
  m_Alert_Timer = timer;
  if (timer > 0.0f) return;
  const bool on_offer_page = m_Current_Tab >= 1 && m_Current_Tab <= 3;
  if (m_Anim_State == kOpen && on_offer_page && Sim_Access_Level() >= 1) {
    Play_Alert_Loop();
    m_Alert_Pending = true;
    m_Alert_Timer = kAlert_Answer_Time;
  } else {
    m_Alert_Timer = Roll_Mission_Delay();
  }
}

void CMenu_Simulator::Open_Briefing() {
  if (!m_Alert_Pending) return;
  m_Alert_Timer = kBriefing_Time;
  Build_Layout(5);
}

void CMenu_Simulator::Accept_Mission() {
  End_Alert();
  if (m_Current_Tab == 5) Build_Layout(1);
  Play_Menu_Sound(kLaunch_Sound);
  if (CClient_Data* account = Loaded_Account()) account->m_Pacing = 0;
  g_Sequence_Mgr.Start_Sequence(3, 0, 0, 0, 0);
}

void CMenu_Simulator::Reject_Mission() {
  if (CClient_Data* account = Loaded_Account()) account->m_Pacing = 0;
  End_Alert();
  Build_Layout(1);
}
