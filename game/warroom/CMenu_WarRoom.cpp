#include "game/warroom/CMenu_WarRoom.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "game/trainer/Format_Minutes_Seconds.h"
#include "game/warroom/WarRoom_Services.h"
#include "platform/system/random.h"
#include "platform/window/keyboard.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_renderobjects.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/renderable_object.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"

namespace {

// Ring renderables in the order they are fetched: first ring, second ring, their glows, hub.
constexpr uint32_t kRing_Ids[5] = {0x22000079, 0x2200007c, 0x2200007a, 0x2200007d, 0x2200007b};
constexpr int kRing_1 = 0, kRing_2 = 1, kRing_1_Glow = 2, kRing_2_Glow = 3, kHub = 4;
constexpr uint32_t kTexture_Ids[2] = {0x2200002c, 0x22000069};
constexpr uint32_t kStyle_Ids[2] = {0x22000061, 0x2200001f};
constexpr uint32_t kOrders_Sound = 0x220001c9;
constexpr uint32_t kInfested_Sound = 0x2200011c;
constexpr uint32_t kSource_Sound = 0x22000121;
constexpr float kPi = 3.14159265358979f;
constexpr int kTime_Item = 1, kCurrent_Item = 2, kTarget_Item = 3, kTravel_Item = 4, kLaunch_Item = 5, kStatus_Item = 6;

float W() { return g_pRenderDevice ? g_pRenderDevice->GetScreenWidthF() : 640.0f; }
float H() { return g_pRenderDevice ? g_pRenderDevice->GetScreenHeightF() : 480.0f; }

CVector3 Ahead_Of_Camera() {
  const CVector3& eye = g_Camera.Position();
  const CVector3& forward = g_Camera.Rotation().rows[2];
  return CVector3{eye.x + 100.0f * forward.x, eye.y + 100.0f * forward.y + 10.0f, eye.z + 100.0f * forward.z};
}

const char* Site_Name(int site) { return g_WarRoom_Sim.Is_Site(site) ? g_WarRoom_Sim.m_Sites[site].name : ""; }

float Site_Distance_Or(int a, int b, float otherwise) {
  const CWarRoom_Sim& sim = g_WarRoom_Sim;
  if (!sim.Is_Site(a) || !sim.Is_Site(b) || a == b) return otherwise;
  return sim.Site_Distance(a, b);
}

bool Is_Infected(int site) {
  return g_WarRoom_Sim.Is_Site(site) && (g_WarRoom_Sim.m_Sites[site].flags & CWarRoom_Site::kInfected);
}

int Whole_Time_Remaining() {
  const float t = g_WarRoom_Sim.Get_Time_Remaining();
  return t > 0.0f ? static_cast<int>(t) : 0;
}

// The time remaining without the floor of the disinfection mode.
float Raw_Time_Remaining() {
  const CWarRoom_Sim& sim = g_WarRoom_Sim;
  return (sim.m_Farthest_Distance - sim.m_Infection_Radius) / std::max(sim.m_Growth_Rate, 0.000001f);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Life cycle

bool CMenu_WarRoom::Init() {
  if (!m_World.Init()) return false;
  for (int i = 0; i < 5; ++i) {
    m_Rings[i] = g_pRenderObjects ? g_pRenderObjects->GetRenderObject(kRing_Ids[i]) : nullptr;
    if (!m_Rings[i]) {
      Show_Message("Error in CMenu_WarRoom\nUnable to rendable object...");
      Term();
      return false;
    }
  }
  for (int i = 0; i < 2; ++i) {
    m_Textures[i] = g_pTexture ? g_pTexture->GetTexture(kTexture_Ids[i]) : nullptr;
    if (!m_Textures[i]) {
      Show_Message("Error in CMenu_WarRoom\nUnable to load texture...");
      Term();
      return false;
    }
  }
  const char* const style_messages[2] = {"Error in CMenu_WarRoom\nUnable to load shader...",
                                         "Error in CMenu_WarRoom\nUnable to shader..."};
  for (int i = 0; i < 2; ++i) {
    m_Styles[i] = g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(kStyle_Ids[i]) : nullptr;
    if (!m_Styles[i]) {
      Show_Message("%s", style_messages[i]);
      Term();
      return false;
    }
  }
  m_Page = kOff;
  m_Visible = false;
  m_New_Status = false;
  m_Next_Page = kBefore_Flight;
  m_Shown_Target = -1;
  m_Shown_Time = -1;
  m_Click_Timer = 1000.0f;
  m_Status_Text[0] = '\0';
  m_Travel_Countdown = m_Fade = m_Page_Time = m_Status_Time_Left = m_Status_Age = 0.0f;
  m_Map_Fade[0] = m_Map_Fade[1] = 0.0f;
  m_Initialised = true;
  return true;
}

void CMenu_WarRoom::Release_Resources() {
  for (CRenderableObject*& ring : m_Rings) {
    if (ring && g_pRenderObjects) g_pRenderObjects->ReleaseRenderObject(ring);
    ring = nullptr;
  }
  for (CTextureData*& texture : m_Textures) {
    if (texture && g_pTexture) g_pTexture->ReleaseTexture(texture);
    texture = nullptr;
  }
  for (CD3DRenderStyle*& style : m_Styles) {
    if (style && g_pRenderStyles) g_pRenderStyles->ReleaseRenderStyle(style);
    style = nullptr;
  }
}

void CMenu_WarRoom::Term() {
  m_Map.Term();
  m_World.Term();
  Release_Resources();
  m_Panel.Clear_Items();
  m_Initialised = false;
  m_Visible = false;
  m_Page = kOff;
}

void CMenu_WarRoom::Show(bool show) {
  if (!show) {
    Set_Page(kOff);
    return;
  }
  if (!m_Initialised) return;
  m_Visible = true;
  m_Travel_Countdown = Site_Distance_Or(g_WarRoom_Sim.m_Current_Site, Next_Hop(), -1.0f);
  m_Travel_Countdown = m_Travel_Countdown < 0.0f ? 10.0f : m_Travel_Countdown * 125.0f;
  Set_Page(kFlying);
}

// The shuttle target, or the first step of the route when it has more than one.
int CMenu_WarRoom::Next_Hop() const {
  const CWarRoom_Sim& sim = g_WarRoom_Sim;
  if (sim.m_Target_Site == -1) return -1;
  if (sim.m_Route_Count > 2 && sim.m_Route[0] == sim.m_Current_Site) return sim.m_Route[1];
  return sim.m_Target_Site;
}

// ---------------------------------------------------------------------------------------------
// Pages

void CMenu_WarRoom::Set_Page(const int& page) {
  if (page < kOff || page > kTime_Up || page == m_Page) return;
  Leave_Page(m_Page);
  m_Page = page;
  Enter_Page(page);
}

void CMenu_WarRoom::Leave_Page(int page) {
  if (page == kAfter_Flight) {
    if (m_Flight_Target != -1) g_WarRoom_Sim.Set_Current_Site(m_Flight_Target);
    m_Flight_Target = -1;
    g_WarRoom_Sim.Set_Target_Site(-1);
  } else if (page == kTravel) {
    m_Panel.Clear_Items();
    Close_Map();
  }
}

void CMenu_WarRoom::Ensure_World() {
  if (!m_World.m_Initialised) m_World.Init();
}

void CMenu_WarRoom::Enter_Page(int page) {
  switch (page) {
    case kOff:
      Term();
      break;
    case kBefore_Flight:
      m_Fade = 1.0f;
      Ensure_World();
      m_World.m_Mode = CWarRoom_World::kDocked;
      break;
    case kFlying:
      Ensure_World();
      m_World.m_Mode = CWarRoom_World::kCruising;
      break;
    case kArriving:
      Ensure_World();
      m_World.m_Mode = CWarRoom_World::kArriving;
      break;
    case kAfter_Flight:
      m_Fade = 0.0f;
      break;
    case kMap_Opening:
      Ensure_World();
      m_Map_Fade[0] = m_Map_Fade[1] = 0.0f;
      m_Fade = m_World.m_Fade = 1.0f;
      m_World.m_Mode = CWarRoom_World::kDocked;
      break;
    case kTravel:
    case kLeaving:
      Ensure_World();
      if (page == kTravel) m_Page_Time = 0.0f;
      m_Map_Fade[0] = m_Map_Fade[1] = 1.0f;
      m_Fade = m_World.m_Fade = 1.0f;
      m_World.m_Mode = CWarRoom_World::kDocked;
      if (page == kTravel)
        Build_Travel_Panel();
      else
        m_Panel.Clear_Items();
      break;
    default:
      break;
  }
}

void CMenu_WarRoom::Close_Map() { m_Map.Term(); }

void CMenu_WarRoom::Build_Travel_Panel() {
  m_Panel.Clear_Items();
  m_Panel.Init(CVector2{0.5f * W(), 0.5f * H()}, 0);
  const char* const labels[4] = {"Estimated Time Remaining:", "Current Site:", "Destination Site:",
                                 "Estimated Travel Time:"};
  const uint32_t value_colours[4] = {0xaa77bbcc, 0xaa77bbcc, 0x5577ccaa, 0x5577ccaa};
  for (int row = 0; row < 4; ++row) {
    const float y = (0.052f + 0.034f * static_cast<float>(row)) * H();
    m_Panel.Add_Item(new CMenuItem_Text(0, labels[row], CVector2{0.169f * W(), y}, 0xaaffff00, 1, 8, 1, 0.0f));
    m_Panel.Add_Item(new CMenuItem_Text(row + 1, "", CVector2{0.835f * W(), y}, value_colours[row], 1, 10, 1, 0.0f));
  }
  Set_Item_Text(kCurrent_Item, Site_Name(g_WarRoom_Sim.m_Current_Site), 0xaa77bbcc);
  auto* button = new CMenuItem_Button(kLaunch_Item, "Launch Shuttle", CVector2{0.185f * W(), 0.203f * H()},
                                      0xaaeeccff, 1, 4, 0.634f * W());
  button->m_On_Click = [this](CMenuItem_Button*) { Launch_Shuttle(); };
  m_Panel.Add_Item(button);
  m_Panel.Add_Item(new CMenuItem_Text(kStatus_Item, "", CVector2{0.502f * W(), 0.244f * H()}, 0x00aa8877, 0, 9, 1, 0.0f));
  if (!g_WarRoom_Sim.m_Disinfection_Mode) Post_Status_Line(1, -1);
  m_Shown_Target = -2;  // the refresh fills the target rows
  Refresh_Panel(0.0f);
  m_Map.Init();
}

void CMenu_WarRoom::Set_Item_Text(int id, const char* text, uint32_t colour) {
  auto* item = static_cast<CMenuItem_Text*>(m_Panel.Find_Item(id, kItem_Text));
  if (!item) return;
  item->Set_Text(text);
  item->m_Colour = colour;
}

// ---------------------------------------------------------------------------------------------
// The panel's refresh

void CMenu_WarRoom::Refresh_Panel(float step) {
  Refresh_Time();
  Refresh_Target();
  Refresh_Status(step);
}

void CMenu_WarRoom::Refresh_Time() {
  const int t = Whole_Time_Remaining();
  if (t == m_Shown_Time && t >= 2) return;
  int ticks = 1;
  if (t < m_Shown_Time || t >= m_Shown_Time + 3)
    ticks = 3;
  else if (t > m_Shown_Time)
    ticks = t - m_Shown_Time;
  if (m_Map.m_Initialised) m_Map.Update_Infection(ticks);
  if (t == m_Shown_Time) return;
  m_Shown_Time = t;
  char text[16];
  Format_Minutes_Seconds(text, sizeof text, t);
  Set_Item_Text(kTime_Item, text, t < 60 ? 0xffff8888 : 0xff77bbcc);
}

void CMenu_WarRoom::Refresh_Target() {
  const int target = g_WarRoom_Sim.m_Target_Site;
  if (target == m_Shown_Target) return;
  m_Shown_Target = target;
  char travel[16] = "";
  if (target != -1) Format_Minutes_Seconds(travel, sizeof travel, static_cast<int>(g_WarRoom_Sim.Get_Travel_Time()));
  Set_Item_Text(kTarget_Item, Site_Name(target), 0x5577ccaa);
  Set_Item_Text(kTravel_Item, travel, 0x5577ccaa);
  if (auto* button = static_cast<CMenuItem_Button*>(m_Panel.Find_Item(kLaunch_Item, kItem_Button)))
    button->m_Flags = target != -1 ? 12 : 4;
}

void CMenu_WarRoom::Refresh_Status(float step) {
  auto* item = static_cast<CMenuItem_Text*>(m_Panel.Find_Item(kStatus_Item, kItem_Text));
  if (!item || (m_Status_Time_Left == 0.0f && !m_New_Status)) return;
  item->Set_Text(m_Status_Text);
  if (m_Status_Text[0] == '\0') m_New_Status = false;
  const uint32_t rgb = g_WarRoom_Sim.m_Disinfection_Mode ? 0x7788aa : 0xaa8877;
  const float alpha = (0.9f + 0.065f * std::sin(1.5f * m_Status_Time_Left)) * std::min(1.0f, m_Status_Age / 4.0f) *
                      std::min(1.0f, m_Status_Time_Left / 3.0f) * 0.7f * 255.0f;
  item->m_Colour = (static_cast<uint32_t>(std::clamp(alpha, 0.0f, 255.0f)) << 24) | rgb;
  m_Status_Age += step;
  m_Status_Time_Left = std::max(m_Status_Time_Left - step, 0.0f);
}

void CMenu_WarRoom::Post_Status_Line(const int& kind, const int& site) {
  if (m_Status_Time_Left > 0.0f) return;
  char text[128];
  float duration = 0.0f;
  if (kind == 1) {
    std::snprintf(text, sizeof text, "...Orders: Find and Destroy Infested Meteorite...");
    duration = 35.0f;
    if (!g_WarRoom_Sim.m_Orders_Announced) {
      g_WarRoom_Sim.m_Orders_Announced = true;
      Play_Sound_FX(kOrders_Sound, 1.0f);
    }
  } else if ((kind == 2 || kind == 3) && g_WarRoom_Sim.Is_Site(site)) {
    std::snprintf(text, sizeof text, kind == 2 ? "...Infected City Detected: %s..." : "...City DisInfected: %s...",
                  g_WarRoom_Sim.m_Sites[site].name);
    duration = 25.0f;
  } else {
    return;
  }
  // Cut to 95 characters.
  const size_t length = std::min(std::strlen(text), sizeof m_Status_Text - 1);
  std::memcpy(m_Status_Text, text, length);
  m_Status_Text[length] = '\0';
  m_Status_Time_Left = duration;
  m_Status_Age = 0.0f;
  m_New_Status = true;
}

// ---------------------------------------------------------------------------------------------
// Per frame

void CMenu_WarRoom::Update(float step) {
  if (!m_Initialised) return;
  const float before = m_Page_Time;
  m_Page_Time += step;
  m_Click_Timer += step;
  if (m_Page == kTravel && before <= 5.0f && m_Page_Time > 5.0f && !g_Game_Paused) WarRoom_Site_Help();
  m_World.Update(step);
  if (m_Page == kTravel) Refresh_Panel(step);
  if (m_Map.m_Initialised) {
    m_Map.Show_All_Labels(GetKeyState(VK_SHIFT) < 0);
    m_Map.Update(step);
  }
  Step_Page(step);
  if (Check_Closing()) return;
  Check_Infested_Arrival();
}

bool CMenu_WarRoom::Check_Closing() {
  if (m_Page != kTravel || m_Page_Time <= 16.0f) return false;
  // The closing sequence starts once; the page then waits for it.
  if (m_Next_Page == kTime_Up || m_Next_Page == kRegion_Cleared) return true;
  if (!g_WarRoom_Sim.m_Disinfection_Mode && g_WarRoom_Sim.Get_Time_Remaining() < 1.0f) {
    m_Next_Page = kTime_Up;
    WarRoom_Start_Sequence(12);
    return true;
  }
  if (g_WarRoom_Sim.m_Disinfection_Mode && g_WarRoom_Sim.Is_All_Clear()) {
    m_Next_Page = kRegion_Cleared;
    WarRoom_Start_Sequence(11);
    return true;
  }
  return false;
}

void CMenu_WarRoom::Check_Infested_Arrival() {
  if (m_Page != kMap_Opening && m_Page != kTravel) return;
  const int site = g_WarRoom_Sim.m_Current_Site;
  if (!Is_Infected(site) || Raw_Time_Remaining() <= 1.5f) return;
  if (site == g_WarRoom_Sim.m_Infected_Site) {
    Play_Sound_FX(kSource_Sound, 1.0f);
    WarRoom_Screen_Text(6, 4.5f, "-- Meteorite Found: Destroy it! -- ");
  } else {
    Play_Sound_FX(kInfested_Sound, 1.0f);
    WarRoom_Screen_Text(6, 4.5f, "...Entering Infested Site...");
  }
  m_Next_Page = kEntering_Site;
  Set_Page(m_Page == kMap_Opening ? kEntering_Site : kLeaving);
}

void CMenu_WarRoom::Step_Page(float step) {
  switch (m_Page) {
    case kBefore_Flight:
      m_Fade -= 0.2f * step;
      if (m_Fade <= 0.0f) {
        m_Fade = 0.0f;
        Set_Page(kFlying);
      }
      m_World.m_Fade = m_Fade;
      break;
    case kFlying:
      m_Travel_Countdown -= step;
      if (m_Travel_Countdown < 0.0f) Set_Page(kArriving);
      break;
    case kArriving:
      Step_Arrival();
      break;
    case kAfter_Flight:
      m_Fade += 0.2f * step;
      if (m_Fade >= 1.0f) {
        m_Fade = 1.0f;
        Set_Page(kMap_Opening);
      }
      m_World.m_Fade = m_Fade;
      break;
    case kMap_Opening:
      if (m_Map_Fade[0] < 1.0f) {
        m_Map_Fade[0] = std::min(m_Map_Fade[0] + 0.2f * step, 1.0f);
      } else {
        m_Map_Fade[1] += 0.2f * step;
        if (m_Map_Fade[1] > 1.0f) {
          m_Map_Fade[1] = 1.0f;
          Set_Page(kTravel);
        }
      }
      break;
    case kTravel:
      Show_Incoming_Message();
      break;
    case kLeaving:
      if (m_Map_Fade[1] > 0.0f) {
        m_Map_Fade[1] = std::max(m_Map_Fade[1] - 0.25f * step, 0.0f);
      } else {
        m_Map_Fade[0] -= 0.5f * step;
        if (m_Map_Fade[0] < 0.0f) {
          m_Map_Fade[0] = 0.0f;
          const bool known = m_Next_Page >= kEntering_Site && m_Next_Page <= kTime_Up;
          Set_Page(known ? m_Next_Page : kBefore_Flight);
        }
      }
      break;
    case kEntering_Site: {
      WarRoom_Screen_Effect(9, 4.0f);
      const CWarRoom_Sim& sim = g_WarRoom_Sim;
      const int site = sim.m_Current_Site;
      if (!sim.Is_Site(site)) break;
      const bool source = sim.m_Sites[site].flags & CWarRoom_Site::kSource;
      const std::vector<CWarRoom_Sim_Entry>& list = source ? Build_Source_Sim_List() : Build_Site_Sim_List();
      const int choice = sim.m_Sites[site].simulation_choice;
      if (choice < 0 || choice >= static_cast<int>(list.size())) break;
      const CWarRoom_Sim_Entry& entry = list[static_cast<size_t>(choice)];
      g_Menu_Mgr.Command(8, entry.variant, static_cast<int>(entry.track_id), static_cast<int>(entry.music_id));
      break;
    }
    default:
      break;
  }
}

// Page 3: hop by hop along the route until the destination's dock.
void CMenu_WarRoom::Step_Arrival() {
  CWarRoom_Sim& sim = g_WarRoom_Sim;
  if (m_World.m_Mode == CWarRoom_World::kArriving && m_World.m_Docking && sim.m_Target_Site != -1) {
    if (m_Flight_Target == -1) m_Flight_Target = sim.m_Target_Site;
    if (sim.m_Target_Site == m_Flight_Target || Is_Infected(m_Flight_Target)) return;
    const int reached = m_Flight_Target;
    sim.Set_Current_Site(reached);
    m_Flight_Target = Next_Hop();
    if (m_Flight_Target == -1 || m_Flight_Target == sim.m_Current_Site) {
      Set_Page(kAfter_Flight);
      return;
    }
    m_Travel_Countdown = Site_Distance_Or(sim.m_Current_Site, m_Flight_Target, 0.0f) * 125.0f;
    WarRoom_Screen_Text(7, 5.0f, Site_Name(reached));
    Set_Page(kFlying);
  } else if (m_World.m_Mode == CWarRoom_World::kDocked) {
    WarRoom_Screen_Text(7, 5.0f, Site_Name(m_Flight_Target != -1 ? m_Flight_Target : sim.m_Current_Site));
    Set_Page(kAfter_Flight);
  }
}

void CMenu_WarRoom::Show_Incoming_Message() {
  CWarRoom_Sim& sim = g_WarRoom_Sim;
  if (sim.m_Source_Hint_Time == 0 || sim.m_Disinfection_Mode || m_Shown_Time >= sim.m_Source_Hint_Time) return;
  if (sim.Get_Time_Remaining() <= 12.0f || g_Modal_Dlg.Is_Open()) return;
  const std::string user = WarRoom_User_Name();
  const char* source = Site_Name(sim.m_Infected_Site);
  char first[160];
  char second[160];
  if (plat::Random() % 2 == 0) {
    std::snprintf(first, sizeof first, "%s - We have the infection source.", user.c_str());
    std::snprintf(second, sizeof second, "It's emanating from %s - get there quick!", source);
  } else {
    std::snprintf(first, sizeof first, "%s, I've pin-pointed the meteorite's location!", user.c_str());
    std::snprintf(second, sizeof second, "The site is: %s", source);
  }
  Open_Dialog(0.75f, "Incoming Message", first, second);
  sim.m_Source_Hint_Time = 0;
}

void CMenu_WarRoom::Open_Dialog(float width, const char* title, const char* line_1, const char* line_2) {
  if (!g_Modal_Dlg.Init(Ahead_Of_Camera(), CVector2{0.5f * W(), 0.46f * H()}, width * W(), 0.0f,
                        CModal_Dlg::kMode_Message))
    return;
  g_Modal_Dlg.Add_Line(title, 0xeeeeee66, 0, 0, 0);
  if (line_2) g_Modal_Dlg.Add_Line(" ", 0xeeeeee66, 0, 0, 0);
  g_Modal_Dlg.Add_Line(line_1, 0xdd77ccee, 0, 0, 0);
  if (line_2) g_Modal_Dlg.Add_Line(line_2, 0xdd77ccee, 0, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// Launching and input

void CMenu_WarRoom::Launch_Shuttle() {
  CWarRoom_Sim& sim = g_WarRoom_Sim;
  if (m_Page != kTravel || sim.m_Disinfection_Mode || sim.Get_Time_Remaining() < 1.0f) return;
  const int hop = Next_Hop();
  if (hop != -1 && hop != sim.m_Current_Site) {
    m_Flight_Target = hop;
    m_Travel_Countdown = Site_Distance_Or(sim.m_Current_Site, hop, 0.0f) * 125.0f;
    m_Next_Page = kBefore_Flight;
    Set_Page(kLeaving);
    return;
  }
  if (!g_Modal_Dlg.Is_Open())
    Open_Dialog(0.4f, "No Destination Selected", "Please Select a Destination Site", nullptr);
}

bool CMenu_WarRoom::On_Left_Down() {
  if (!m_Visible) return false;
  if (m_Panel.On_Mouse_Down()) return true;
  // A press on the launch button is the button's alone: it must not pick the site behind it.
  auto* button = static_cast<CMenuItem_Button*>(m_Panel.Find_Item(kLaunch_Item, kItem_Button));
  if (button && button->m_Pressed) return true;
  if (!m_Map.m_Initialised) return true;
  const int site = m_Map.Pick_Site();
  if (m_Click_Timer < kDouble_Click && site != -1 && site == g_WarRoom_Sim.m_Target_Site) {
    Launch_Shuttle();
    m_Click_Timer = 1000.0f;
    return true;
  }
  m_Click_Timer = m_Click_Timer >= kDouble_Click ? 0.0f : 1000.0f;
  if (site != -1 && site != g_WarRoom_Sim.m_Target_Site) {
    g_WarRoom_Sim.Set_Target_Site(site);
    m_Map.m_Sweep_Phase = 0.0f;
  }
  return true;
}

bool CMenu_WarRoom::On_Left_Up() {
  if (!m_Visible) return false;
  m_Panel.On_Mouse_Up();
  return true;
}

bool CMenu_WarRoom::On_Right_Down() {
  if (!m_Visible) return false;
  const int target = g_WarRoom_Sim.m_Target_Site;
  if (target != -1 && (!m_Map.m_Initialised || m_Map.Pick_Site() != target)) g_WarRoom_Sim.Set_Target_Site(-1);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Drawing

void CMenu_WarRoom::Draw_Ring(int first, int second, float height, float depth, float turn, uint32_t glow_colour) const {
  CMatrix4x4 world{};
  const float c = std::cos(turn), s = std::sin(turn);
  world.m[0][0] = c, world.m[0][2] = -s;
  world.m[1][1] = 1.0f;
  world.m[2][0] = s, world.m[2][2] = c;
  world.m[3][0] = 0.0f, world.m[3][1] = height, world.m[3][2] = depth, world.m[3][3] = 1.0f;
  auto draw = [&world](CRenderableObject* renderable, CD3DRenderStyle* style, CTextureData* texture, const float* colour) {
    auto* mesh = renderable ? static_cast<CRigidMesh*>(renderable->GetRenderObject()) : nullptr;
    if (!mesh) return;
    CDeviceTexture* textures[4] = {texture ? texture->m_pDeviceTexture : nullptr, nullptr, nullptr, nullptr};
    mesh->Render(&world, style, textures, colour, nullptr);
  };
  const float glow[4] = {static_cast<float>((glow_colour >> 16) & 0xff) / 255.0f,
                         static_cast<float>((glow_colour >> 8) & 0xff) / 255.0f,
                         static_cast<float>(glow_colour & 0xff) / 255.0f, 1.0f};
  // The hub between the rings is drawn untextured; the rings take the gun metal.
  draw(m_Rings[first], m_Styles[0], first == kHub ? nullptr : m_Textures[0], nullptr);
  if (second >= 0) draw(m_Rings[second], m_Styles[1], m_Textures[1], glow);
}

void CMenu_WarRoom::Render(const CFrame_Info& frame) {
  if (!m_Initialised || m_Page == kOff || !g_pRenderDevice) return;
  const float step = frame.Unpaused_Delta;
  D3DVIEWPORT8 saved{};
  g_pRenderDevice->GetViewport(&saved);
  D3DVIEWPORT8 viewport = saved;
  viewport.MinZ = 0.25f;
  viewport.MaxZ = 1.0f;
  g_pRenderDevice->SetViewport(&viewport);
  m_World.Render(step);
  viewport.MinZ = 0.0f;
  viewport.MaxZ = 0.25f;
  g_pRenderDevice->SetViewport(&viewport);
  const float first_height = (1.0f - m_Map_Fade[0]) * 250.0f - 10.0f;
  const float second_height = (1.0f - m_Map_Fade[1]) * 100.0f + 104.0f;
  Draw_Ring(kRing_1, kRing_1_Glow, first_height, 300.0f, m_Map_Fade[1] * -1.75f * kPi, 0xff111111);
  Draw_Ring(kRing_2, kRing_2_Glow, second_height, 375.0f, m_Map_Fade[1] * 2.0f * kPi, 0xff111f2e);
  Draw_Ring(kHub, -1, first_height, 300.0f, 0.0f, 0);
  Draw_Ring(kHub, -1, second_height, 375.0f, 0.0f, 0);
  m_Panel.Render_Items(step);
  if (m_Map.m_Initialised) m_Map.Frame(step);
  if (g_Menu_Mgr.m_Console.m_Initialised && g_Menu_Mgr.m_Console.m_Visible) g_Menu_Mgr.m_Console.Render(frame);
  g_pRenderDevice->SetViewport(&saved);
}
