#include "tools/soak/Soak.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/menu/CMenuItem_List.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/menu/CPopup_Mgr.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/trainer/CMenu_Simulator.h"
#include "game/trainer/Sim_Table.h"
#include "platform/d3d/d3d8_test_hooks.h"
#include "platform/window/window.h"
#include "tests/support/harness_play.h"
#include "tests/support/harness_screens.h"

namespace soak {
namespace {

constexpr int kSim_List = 1;

// Drawing is most of a frame's cost in the sanitizer build. While one of these lives, frames run
// with the device answering as lost, as for a minimised window: the game updates everything and
// skips the drawing.
class Undrawn {
 public:
  explicit Undrawn(bool on) : m_On(on) {
    if (m_On) D3D8Test_InjectCooperativeLevel(D3DERR_DEVICELOST);
  }
  ~Undrawn() {
    if (m_On) D3D8Test_InjectCooperativeLevel(D3D_OK);
  }
  Undrawn(const Undrawn&) = delete;
  Undrawn& operator=(const Undrawn&) = delete;

 private:
  bool m_On;
};

}  // namespace

// What the game was doing when a run stopped: its mode, the screens up, the run's clock and state.
std::string Game_State_Text(const vt_test::Game_Harness& game) {
  std::string up;
  size_t from = 0;
  const std::string names = vt_test::Screen_Names();
  while (from < names.size()) {
    const size_t to = std::min(names.find(' ', from), names.size());
    const std::string name = names.substr(from, to - from);
    bool known = false;
    if (vt_test::Screen_Is_Up(name, known)) up += (up.empty() ? "" : ",") + name;
    from = to + 1;
  }
  char text[400];
  std::snprintf(text, sizeof text,
                "clock %u ms, mode %d, screens up [%s], pop-up open %d, game paused %d, run: running %d started %d "
                "ended %d end requested %d paused %d, music %.1f of %.1f s",
                game.Now(), g_Game.Get_Mode(), up.c_str(), g_Popup_Mgr.Is_Open(), g_Game_Paused,
                g_Music_Track.m_Running, g_Music_Track.m_Music_Started,
                g_Music_Track.m_Ended, g_Music_Track.m_End_Requested, g_Music_Track.m_Paused,
                static_cast<double>(g_Music_Track.m_Clock), static_cast<double>(g_Music_Track.m_Length));
  return text;
}

bool Soak::Step_Reading_Until(bool (*done)(), int frames) {
  for (int frame = 0; frame < frames; ++frame) {
    vt_test::Dismiss_Messages(m_Game);
    if (done()) return true;
    const Undrawn undrawn(Undrawn_Frame(frame));
    m_Game.Step(1, kFrame_Ms);
  }
  return done();
}

bool Soak::Pick_And_Launch(Run_Result& result) {
  vt_test::Dismiss_Messages(m_Game);
  // A message or a promotion may have brought another page up.
  if (!vt_test::Show_Simulator_Page(m_Game, 1)) {
    result.failure = "the simulation page does not come";
    return false;
  }
  auto* list = static_cast<CMenuItem_List*>(g_Menu_Mgr.m_Simulator.m_Panel.Find_Item(kSim_List, kItem_List));
  if (!vt_test::Simulator_Open() || !list || list->Row_Count() == 0) {
    result.failure = "no simulation list";
    return false;
  }
  const uint32_t level = Sim_Access_Level();
  std::vector<int> open_rows;
  for (int row = 0; row < list->Row_Count() && static_cast<size_t>(row) < g_Sim_Table.size(); ++row)
    if (g_Sim_Table[static_cast<size_t>(row)].Required_Level <= level) open_rows.push_back(row);
  const int wanted = open_rows[static_cast<size_t>(Random(static_cast<int>(open_rows.size())))];
  for (int presses = 0; presses < 64 && list->m_Selected != wanted; ++presses) {
    m_Game.Key(list->m_Selected < wanted ? VK_DOWN : VK_UP);
    m_Game.Step(1, 16);
  }
  result.sim = g_Sim_Table[static_cast<size_t>(wanted)].Name;
  if (list->m_Selected != wanted) {
    result.failure = "the arrow keys did not reach the row";
    return false;
  }
  if (!vt_test::Click_Button(m_Game, g_Menu_Mgr.m_Simulator.m_Panel, "Run Simulation")) {
    result.failure = "no \"Run Simulation\" button";
    return false;
  }
  if (Step_Reading_Until([] { return g_Game.Get_Mode() == kMode_Simulation; }, 400)) {
    // The random entry launches one of the others: name the one that runs.
    for (const Sim_Entry& row : g_Sim_Table)
      if (row.Is_Random == 0 && std::to_string(static_cast<int>(row.Track_Id)) == g_Music_Track.m_Sim_Key)
        result.sim = (wanted == 0 ? "random: " : "") + row.Name;
    return true;
  }
  result.failure = "the launch did not start the run";
  return false;
}

// One frame's worth of what a restless player does: fire at what is in view, sweep the cursor,
// click either button, press a key of the run (never the menu, pause or quit keys).
void Soak::Random_Input(Run_Result& result) {
  static constexpr int kKeys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_DELETE};
  static constexpr char kChars[] = "1234567890 qwertyasdfzxcv";
  switch (Random(8)) {
    case 0:
    case 1:
      if (vt_test::Aim_And_Fire(m_Game, -1, kFrame_Ms)) ++result.shots;
      break;
    case 2: m_Game.Move_Mouse(Random(640), Random(480)); break;
    case 3:
      m_Game.Left_Down();
      m_Game.Step(Random(4) + 1, kFrame_Ms);
      m_Game.Left_Up();
      break;
    case 4:
      m_Game.Right_Down();
      m_Game.Step(Random(3) + 1, kFrame_Ms);
      m_Game.Right_Up();
      break;
    case 5:
      if (Random(4) == 0) m_Game.Key(kKeys[Random(sizeof kKeys / sizeof kKeys[0])]);
      break;
    case 6:
      if (Random(4) == 0) m_Game.Char(kChars[Random(sizeof kChars - 1)]);
      break;
    default: break;
  }
}

// One frame of the run with its random input (the frames the input steps itself go with it).
void Soak::Play_Frame(Run_Result& result) {
  const Undrawn undrawn(Undrawn_Frame(result.frames));
  vt_test::Dismiss_Messages(m_Game);
  Random_Input(result);
  m_Game.Step(1, kFrame_Ms);
  if (g_Game_Paused) ++result.paused_frames;
  Close_Opened_Menu(result);
}

// The in-run menu pauses the run; the next click would pick one of its entries when it lands on
// the strip, which the aimed shots cross. The player closes it the moment it opens.
void Soak::Close_Opened_Menu(Run_Result& result) {
  if (!g_Popup_Mgr.Is_Open()) return;
  ++result.menus_closed;
  m_Game.Char(27);
  m_Game.Step(1, kFrame_Ms);
}

// A run that has not brought its summary up long after its music: whatever dialog holds it is
// closed and the run is asked to end, as its track's end event would, so that the soak goes on
// (the run is reported). True once the summary is up.
bool Soak::End_Stuck_Run() {
  bool known = false;
  for (int i = 0; i < 10 && g_Modal_Dlg.Is_Open() && !vt_test::Screen_Is_Up("summary", known); ++i) {
    m_Game.Char(13);
    m_Game.Step(5, 16);
  }
  if (g_Music_Track.m_Running && !g_Music_Track.m_Ended) g_Music_Track.m_End_Requested = true;
  return Step_Reading_Until([] {
    bool known_name = false;
    return vt_test::Screen_Is_Up("summary", known_name);
  }, 600);
}

bool Soak::Play_Until_Summary(Run_Result& result) {
  bool known = false;
  for (; result.frames < kMost_Run_Frames; ++result.frames) {
    if (vt_test::Screen_Is_Up("summary", known)) return true;
    if (g_Game.Get_Mode() != kMode_Simulation) {
      result.failure = "the run left without its summary after " + std::to_string(result.frames) +
                       " frames; " + Game_State_Text(m_Game);
      return false;
    }
    Play_Frame(result);
  }
  return vt_test::Screen_Is_Up("summary", known);
}

Run_Result Soak::Play_Run() {
  Run_Result result;
  bool launched = false;
  {
    const Undrawn menus(m_Draw_Every > 1);
    launched = Pick_And_Launch(result);
  }
  if (!launched) return result;
  if (!Play_Until_Summary(result)) {
    if (!result.failure.empty()) return result;
    result.stuck = Game_State_Text(m_Game);
    if (!End_Stuck_Run()) {
      result.failure = "no summary; " + result.stuck + "; after ending it: " + Game_State_Text(m_Game);
      return result;
    }
  }
  result.score = g_Score_Board_Mgr.m_Total_Score;
  m_Game.Step(10, kFrame_Ms);
  bool clicked = false;
  {
    const Undrawn menus(m_Draw_Every > 1);
    clicked = vt_test::Click_Button(m_Game, g_Modal_Dlg.m_Panel, "Return to Trainer");
  }
  if (!clicked) {
    result.failure = "no \"Return to Trainer\" button";
    return result;
  }
  result.ended = Step_Reading_Until(vt_test::Simulator_Open, 600);
  if (!result.ended) result.failure = "not back on the simulator screen; " + Game_State_Text(m_Game);
  return result;
}

}  // namespace soak
