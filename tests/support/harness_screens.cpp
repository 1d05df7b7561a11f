#include "tests/support/harness_screens.h"

#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CSequence_Mgr.h"

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

}  // namespace

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
  for (const Screen_Row& row : kScreens) names += (names.empty() ? "" : " ") + std::string(row.name);
  return names;
}

CWorld_Object* Nearest_On_Screen(int type, int& x, int& y) {
  const CVector3& eye = g_Camera.Position();
  const CVector3& forward = g_Camera.Rotation().rows[2];
  const float width = g_Camera.Screen_Width(), height = g_Camera.Screen_Height();
  CWorld_Object* best = nullptr;
  float best_distance = 0.0f;
  for (int list = 0; list < CWorld::kList_Count; ++list)
    for (CWorld_Object* object = g_World.List_Head(list); object; object = object->m_Next) {
      if (!Is_Wanted(*object, type)) continue;
      CVector3 offset;
      object->m_Position.Subtract(eye, offset);
      // In front of the near plane, and inside the picture.
      if (offset.Dot(forward) <= g_Camera.Projection().near_z) continue;
      const CVector3 point = g_Camera.World_To_Screen(object->m_Position);
      const int px = static_cast<int>(std::lround(point.x)), py = static_cast<int>(std::lround(point.y));
      if (px < 0 || py < 0 || px >= static_cast<int>(width) || py >= static_cast<int>(height)) continue;
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
