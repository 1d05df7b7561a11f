// The simulation half of the visit: every training simulation of the table launched from the
// simulator screen's list, every War Room simulation of the site and source lists launched from
// the War Room's entering page, each played with aimed shots and the player's gun under the fake
// clock until it ends and its summary or report is reached, and then left the way a player does.
#include <algorithm>
#include <cstdio>
#include <string>

#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/core/CWorld_Object.h"
#include "game/menu/CMenuItem.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_List.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/menu/CPopup_Mgr.h"
#include "game/sim/CMusic_Track.h"
#include "game/trainer/CMenu_Simulator.h"
#include "game/trainer/Sim_Table.h"
#include "game/warroom/CMenu_WarRoom.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/audio/bass.h"
#include "tests/support/harness_screens.h"
#include "tools/visit/Game_Visit.h"

namespace vt_visit {

namespace {

constexpr int32_t kSim_List_Id = 1;
constexpr uint32_t kSkip_Ms = 1000;       // one clock step while the short form skips ahead
constexpr double kShort_Seconds = 2.5;    // what the short form plays at the frame rate
constexpr uint32_t kShort_Closing_Ms = 50;  // the short form's frames once the music has ended
constexpr double kEnd_Allowance = 120.0;  // past the music's length before a run counts as hung
constexpr uint32_t kFire_Interval_Ms = 200;
constexpr int kLaunch_Frames = 2000;

bool Music_Playing() {
  const uint32_t channel = g_Music_Track.m_Music_Channel;
  return channel != 0 && BASS_ChannelIsActive(channel) == BASS_ACTIVE_PLAYING;
}

// A site of the region other than the source, or -1.
int Ordinary_Site() {
  const CWarRoom_Sim& sim = g_WarRoom_Sim;
  for (int site = 0; site < sim.Site_Count(); ++site)
    if (sim.Is_Site(site) && site != sim.m_Infected_Site) return site;
  return -1;
}

}  // namespace

std::vector<size_t> Game_Visit::Pick(size_t count, size_t rotation) const {
  std::vector<size_t> picked = Pick_All_Or_Spread(count, rotation);
  // The runs of this part, counted over every list in turn.
  std::vector<size_t> mine;
  for (size_t index : picked)
    if (m_Run_Counter++ % m_Options.parts == m_Options.part - 1) mine.push_back(index);
  return mine;
}

std::vector<size_t> Game_Visit::Pick_All_Or_Spread(size_t count, size_t rotation) const {
  std::vector<size_t> picked;
  if (!m_Options.short_form || m_Options.every_sim) {
    for (size_t i = 0; i < count; ++i) picked.push_back(i);
    return picked;
  }
  // A spread over the list: the first, the last and evenly between.
  for (size_t n = 0; n < rotation && n < count; ++n) {
    const size_t index = rotation > 1 ? n * (count - 1) / (rotation - 1) : 0;
    if (picked.empty() || picked.back() != index) picked.push_back(index);
  }
  return picked;
}

// The cursor kept on the nearest live target in view, and the player's gun fired there a few
// times a second.
void Game_Visit::Fire_At_Targets() {
  if (!m_Harness.Aim()) return;
  if (m_Harness.Now() - m_Fire_Clock < kFire_Interval_Ms) return;
  m_Fire_Clock = m_Harness.Now();
  m_Harness.Left_Down();
  m_Harness.Left_Up();
}

// The in-simulation pop-up menu, opened and closed once during the first training run (its
// frames drawn, as the run's played seconds are).
void Game_Visit::Visit_Sim_Menu(const std::string& run_name) {
  m_Sim_Menu_Visited = true;
  Note("pop-up in-simulation menu");
  g_Popup_Mgr.Toggle_Menu(CPopup_Mgr::kSim_Menu);
  m_Harness.Step(60);
  if (!g_Popup_Mgr.Sim_Menu_Ready()) Fail("the in-simulation menu did not open");
  g_Popup_Mgr.Toggle_Menu(CPopup_Mgr::kSim_Menu);
  m_Harness.Step(30);
  if (g_Popup_Mgr.Is_Open()) Fail("the in-simulation menu did not close");
  Note("training run " + run_name);
}

bool Game_Visit::Return_From_Summary() {
  if (!Click_Button(g_Modal_Dlg.m_Panel, "Return to Trainer")) return false;
  return m_Harness.Wait_For_Screen("simulator", kLaunch_Frames);
}

// Plays the running simulation until its summary (training), its report or the War Room map
// (a mission) is up, noting how it ended; the short form skips from its first seconds to the
// music's end in long clock steps.
void Game_Visit::Play_Until_Closed(Run_Result& result, double length_seconds) {
  const bool training = result.kind == "training";
  const uint32_t start = m_Harness.Now();
  const auto elapsed = [&] { return (m_Harness.Now() - start) / 1000.0; };
  // A mission run closes on the report, or back on the War Room map after an ordinary site is
  // cleared.
  const auto closed_on = [&]() -> std::string {
    if (training) return Up("summary") ? "summary" : "";
    if (Up("report")) return "report";
    if (Up("menus") && Up("warroom")) return "War Room";
    return "";
  };
  bool was_playing = false, music_stopped = false;
  int closing_frames = 0;
  while (closed_on().empty() && elapsed() <= length_seconds + kEnd_Allowance) {
    if (g_Game.Get_Mode() == kMode_Simulation && result.ended.empty()) {
      // An end event stops the music itself; the music only counts as the end when it had
      // stopped in an earlier frame.
      if (!g_Music_Track.m_Ended) {
        const bool playing = Music_Playing();
        was_playing = was_playing || playing;
        music_stopped = music_stopped || (was_playing && !playing);
      } else {
        if (music_stopped)
          result.ended = "music";
        else
          // A mission run fails only by its shields.
          result.ended = g_Music_Track.m_Result ? "end event (success)" : "shields";
      }
    }
    if (training && !m_Sim_Menu_Visited && elapsed() >= 1.5) Visit_Sim_Menu(result.name);
    const bool skipping = m_Options.short_form && elapsed() >= kShort_Seconds && Music_Playing();
    if (!skipping && g_Game.Get_Mode() == kMode_Simulation) Fire_At_Targets();
    ++result.frames[skipping ? 1 : (was_playing && !music_stopped && result.frames[1] == 0 ? 0 : 2)];
    const bool closing = m_Options.short_form && elapsed() >= kShort_Seconds;
    // The played seconds are all drawn: the drawing takes random numbers and sweeps the dead, so
    // the run plays on as it would on screen; the skip to the end and the close are not looked at.
    const int stretch_frame = closing ? ++closing_frames : 0;
    if (!Frame_Of_Stretch(stretch_frame, skipping ? kSkip_Ms : closing ? kShort_Closing_Ms : m_Options.frame_ms)) break;
  }
  result.closed_on = closed_on();
  result.reached_close = !result.closed_on.empty();
  if (result.reached_close && result.ended.empty()) result.ended = music_stopped ? "music" : "end event";
  if (result.ended.empty()) result.ended = "never";
  result.game_seconds = elapsed();
}

Run_Result Game_Visit::Play_Training(size_t row) {
  Run_Result result;
  const Sim_Entry& entry = g_Sim_Table[row];
  result.name = entry.Name;
  result.kind = "training";
  Note("training run " + entry.Name);
  const size_t first_message = m_Log.Count();
  const auto wall_start = std::chrono::steady_clock::now();
  if (Open_Simulator(1)) {
    CMenu_Simulator& screen = g_Menu_Mgr.m_Simulator;
    auto* list = static_cast<CMenuItem_List*>(screen.m_Panel.Find_Item(kSim_List_Id, kItem_List));
    if (list && list->Select_Row(static_cast<int32_t>(row))) {
      Frames(5);
      screen.Run_Selected_Simulation();
      if (m_Harness.Wait_For_Mode(kMode_Simulation, kLaunch_Frames) && g_Music_Track.m_Running) {
        Play_Until_Closed(result, g_Music_Track.m_Length > 0.0f ? g_Music_Track.m_Length : 300.0);
        if (result.reached_close) result.returned = Return_From_Summary();
      } else {
        Fail("training run " + entry.Name + " did not start");
      }
    } else {
      Fail("the simulation list has no row " + std::to_string(row));
    }
  }
  result.wall_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
  result.messages = m_Log.Count() - first_message;
  result.problems = m_Log.Count_Problems(first_message);
  return result;
}

Run_Result Game_Visit::Play_WarRoom(const std::string& kind, size_t index) {
  Run_Result result;
  const bool source = kind == "source";
  const std::vector<CWarRoom_Sim_Entry>& list = source ? Build_Source_Sim_List() : Build_Site_Sim_List();
  char name[64];
  std::snprintf(name, sizeof name, "%s %zu (track %x)", kind.c_str(), index + 1, list[index].track_id);
  result.name = name;
  result.kind = kind;
  Note("War Room run " + result.name);
  const size_t first_message = m_Log.Count();
  const auto wall_start = std::chrono::steady_clock::now();
  // A fresh mission for each run, so that none runs out of time across the visit.
  Open_Simulator(1);
  g_Menu_Mgr.Command(kCommand_WarRoom, 0);
  Frames(30, 33);
  CWarRoom_Sim& sim = g_WarRoom_Sim;
  const int site = source ? sim.m_Infected_Site : Ordinary_Site();
  if (!sim.m_Initialised || !sim.Is_Site(site)) {
    Fail("the War Room has no " + kind + " site to enter");
  } else {
    // Fully infected, as the infection front leaves a site: the run has to clean it whole.
    sim.m_Sites[site].flags |= CWarRoom_Site::kInfected;
    sim.m_Sites[site].infection = 1.0f;
    sim.m_Sites[site].simulation_choice = static_cast<int32_t>(index);
    sim.Set_Current_Site(site);
    g_Menu_Mgr.m_WarRoom.Set_Page(CMenu_WarRoom::kEntering_Site);
    if (m_Harness.Wait_For_Mode(kMode_Simulation, kLaunch_Frames) && g_Music_Track.m_Running) {
      Play_Until_Closed(result, g_Music_Track.m_Length > 0.0f ? g_Music_Track.m_Length : 300.0);
      if (result.closed_on == "War Room") {
        result.returned = true;
      } else if (result.reached_close) {
        Frames(m_Options.short_form ? 60 : 200);
        g_Menu_Mgr.m_EndGame.Return_To_Trainer();
        result.returned =
            Step_Until([] { return Up("menus") && !Up("report") && (Up("warroom") || Up("simulator")); }, kLaunch_Frames);
      }
    } else {
      Fail("War Room run " + result.name + " did not start");
    }
  }
  result.wall_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
  result.messages = m_Log.Count() - first_message;
  result.problems = m_Log.Count_Problems(first_message);
  return result;
}

// Keeps the run and says it on stderr as it goes, for the long visit.
void Game_Visit::Record(const Run_Result& result) {
  m_Runs.push_back(result);
  std::fprintf(stderr, "visit: run %zu %s (%s): %.1f s of game time, ended by %s, closed on %s, %zu messages, %.0f s\n",
               m_Runs.size(), result.name.c_str(), result.kind.c_str(), result.game_seconds, result.ended.c_str(),
               result.reached_close ? result.closed_on.c_str() : "nothing", result.messages, result.wall_seconds);
}

void Game_Visit::Visit_Training_Runs() {
  if (!m_Options.kind.empty() && m_Options.kind != "training") return;
  Build_Sim_Table();
  std::vector<size_t> rows;
  for (size_t row = 0; row < g_Sim_Table.size(); ++row)
    if (g_Sim_Table[row].Is_Random == 0) rows.push_back(row);
  for (size_t pick : Pick(rows.size(), 2)) {
    Record(Play_Training(rows[pick]));
    if (!m_Harness.Running()) return;
  }
}

void Game_Visit::Visit_WarRoom_Runs() {
  for (const char* kind : {"site", "source"}) {
    if (!m_Options.kind.empty() && m_Options.kind != kind) continue;
    const size_t count = (std::string(kind) == "source" ? Build_Source_Sim_List() : Build_Site_Sim_List()).size();
    for (size_t index : Pick(count, 1)) {
      Record(Play_WarRoom(kind, index));
      if (!m_Harness.Running()) return;
    }
  }
}

}  // namespace vt_visit
