#include "tests/support/harness_screens.h"

#include <cmath>
#include <cstdlib>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"

namespace vt_test {

namespace {

bool Console_Open() {
  const CMenu_Console& console = g_Menu_Mgr.m_Console;
  return console.m_Initialised && console.m_Visible && console.m_Open_Fraction >= 1.0f;
}
// The console is open, has typed all it had to and waits at the prompt of the state.
bool Console_Waits_At(int prompt) {
  const CMenu_Console& console = g_Menu_Mgr.m_Console;
  return Console_Open() && console.m_Prompt_State == prompt && console.m_Pending.empty();
}
bool Simulator_Open() {
  const CMenu_Simulator& simulator = g_Menu_Mgr.m_Simulator;
  return simulator.m_Initialised && simulator.m_Visible && simulator.m_Anim_State == CMenu_Simulator::kOpen;
}
bool Simulator_Page(int page) { return Simulator_Open() && g_Menu_Mgr.m_Simulator.m_Current_Tab == page; }
bool WarRoom_Up() { return g_Menu_Mgr.m_WarRoom.m_Initialised && g_Menu_Mgr.m_WarRoom.m_Visible; }
bool WarRoom_Page(int page) { return WarRoom_Up() && g_Menu_Mgr.m_WarRoom.m_Page == page; }
// The statistics summary is the one dialog drawn as a panel of items.
bool Summary_Open() { return g_Modal_Dlg.Is_Open() && g_Modal_Dlg.Mode() == CModal_Dlg::kMode_Panel; }

struct Screen_Row {
  const char* name;
  bool (*up)();
};

const Screen_Row kScreens[] = {
    {"menus", [] { return g_Game.Get_Mode() == kMode_Menus; }},
    {"simulation", [] { return g_Game.Get_Mode() == kMode_Simulation && !g_Modal_Dlg.Is_Open(); }},
    {"console", [] { return Console_Open(); }},
    {"login", [] { return Console_Waits_At(CMenu_Console::kPrompt_Login); }},
    {"create", [] { return Console_Waits_At(CMenu_Console::kPrompt_Create); }},
    {"prompt", [] { return Console_Waits_At(CMenu_Console::kPrompt_Command); }},
    {"simulator", [] { return Simulator_Open(); }},
    {"simulations", [] { return Simulator_Page(1); }},
    {"profile", [] { return Simulator_Page(2); }},
    {"forum", [] { return Simulator_Page(3); }},
    {"compose", [] { return Simulator_Page(4); }},
    {"briefing", [] { return Simulator_Page(5); }},
    {"warroom", [] { return WarRoom_Up(); }},
    {"flight", [] { return WarRoom_Page(CMenu_WarRoom::kFlying); }},
    {"map", [] { return WarRoom_Page(CMenu_WarRoom::kTravel); }},
    {"report", [] { return g_Menu_Mgr.m_EndGame.m_Initialised && g_Menu_Mgr.m_EndGame.m_Visible; }},
    {"launch", [] { return !g_Sequence_Mgr.Running().empty(); }},
    {"summary", [] { return Summary_Open(); }},
    {"dialog", [] { return g_Modal_Dlg.Is_Open(); }},
};

constexpr uint32_t kScored_Kinds = kKind_Counted_Target | kKind_Target | 0x08;  // 0x08: the boss
constexpr uint32_t kDone_Kinds = kKind_Excluded | kKind_Shot;

bool Is_Wanted(const CWorld_Object& object, int type) {
  if (object.m_Kill_Timer != 0.0f) return false;
  if (type >= 0) return object.m_Type == static_cast<uint32_t>(type);
  return (object.m_Kind_Flags & kScored_Kinds) != 0 && (object.m_Kind_Flags & kDone_Kinds) == 0;
}

bool Screen_Point(const CVector3& world, int& x, int& y) {
  CVector3 offset;
  world.Subtract(g_Camera.Position(), offset);
  if (offset.Dot(g_Camera.Rotation().rows[2]) <= g_Camera.Projection().near_z) return false;
  const CVector3 point = g_Camera.World_To_Screen(world);
  x = static_cast<int>(std::lround(point.x));
  y = static_cast<int>(std::lround(point.y));
  return x >= 0 && y >= 0 && x < static_cast<int>(g_Camera.Screen_Width()) &&
         y < static_cast<int>(g_Camera.Screen_Height());
}

bool Site_Has(int site, uint32_t flag) {
  return g_WarRoom_Sim.Is_Site(site) && (g_WarRoom_Sim.m_Sites[site].flags & flag) != 0;
}

// The infected site other than the shuttle's own nearest to it; the source when none is.
int Nearest_Infected_Site() {
  const CWarRoom_Sim& sim = g_WarRoom_Sim;
  int best = -1;
  float best_distance = 0.0f;
  for (int site = 0; site < sim.Site_Count(); ++site) {
    if (site == sim.m_Current_Site || !Site_Has(site, CWarRoom_Site::kInfected)) continue;
    const float distance = sim.Is_Site(sim.m_Current_Site) ? sim.Site_Distance(sim.m_Current_Site, site) : 0.0f;
    if (best != -1 && distance >= best_distance) continue;
    best = site;
    best_distance = distance;
  }
  return best != -1 ? best : sim.m_Infected_Site;
}

}  // namespace

bool Map_Site_On_Screen(const std::string& which, int& x, int& y) {
  const CMenu_WarRoom& room = g_Menu_Mgr.m_WarRoom;
  if (!room.m_Initialised || !room.m_Visible || !room.m_Map.m_Initialised) return false;
  int site = -1;
  if (which == "infected") {
    site = Nearest_Infected_Site();
  } else if (which == "source") {
    site = g_WarRoom_Sim.m_Infected_Site;
  } else {
    char* end = nullptr;
    site = static_cast<int>(std::strtol(which.c_str(), &end, 10));
    if (which.empty() || *end != '\0') return false;
  }
  if (!g_WarRoom_Sim.Is_Site(site)) return false;
  return Screen_Point(room.m_Map.Get_Site_Position(site), x, y);
}

bool Screen_Is_Up(const std::string& name, bool& known) {
  for (const Screen_Row& row : kScreens)
    if (name == row.name) {
      known = true;
      return row.up();
    }
  known = false;
  return false;
}

std::string Screen_Names() {
  std::string names;
  for (const Screen_Row& row : kScreens) {
    if (!names.empty()) names += ' ';
    names += row.name;
  }
  return names;
}

CWorld_Object* Nearest_On_Screen(int type, int& x, int& y) {
  const CVector3& eye = g_Camera.Position();
  CWorld_Object* best = nullptr;
  float best_distance = 0.0f;
  for (int list = 0; list < CWorld::kList_Count; ++list)
    for (CWorld_Object* object = g_World.List_Head(list); object; object = object->m_Next) {
      if (!Is_Wanted(*object, type)) continue;
      int px = 0, py = 0;
      if (!Screen_Point(object->m_Position, px, py)) continue;
      CVector3 offset;
      object->m_Position.Subtract(eye, offset);
      const float distance = offset.Length();
      if (best && distance >= best_distance) continue;
      best = object;
      best_distance = distance;
      x = px;
      y = py;
    }
  return best;
}

}  // namespace vt_test
