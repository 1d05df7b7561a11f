#pragma once
// The visit of everything: starts the game headless under the fake clock, logs in at the
// console, types every console command, opens every page of the simulator screen, every pop-up
// menu and dialog, every page of the War Room and both reports, and plays each training
// simulation of the table and each War Room simulation (site and source lists) with scripted
// aiming and firing until it ends and its summary or report is reached.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "game/menu/CMenu_Panel.h"
#include "tests/support/game_harness.h"
#include "tools/visit/Message_Log.h"

namespace vt_visit {

// Presses the panel's button of that caption; false without one.
bool Click_Button(const CMenu_Panel& panel, const std::string& caption);

// Whether the screen of that name is up, as scripts name screens (tests/support/harness_screens.h).
bool Up(const char* screen);

struct Visit_Options {
  // Each simulation's first seconds, then its end reached in long clock steps.
  bool short_form = false;
  // In the short form, every simulation rather than a rotation of a few.
  bool every_sim = false;
  // The menus only, without the simulation runs.
  bool menus_only = false;
  // Only the runs of this kind ("training", "site" or "source"); empty: every kind.
  std::string kind;
  // The milliseconds of one played frame (the game clamps its step to 100).
  uint32_t frame_ms = 16;
  // Only the part-th of every parts runs (1-based), so that a long visit can be shared out.
  size_t part = 1, parts = 1;
  std::string content_dir;  // empty: the build's own
};

// What one simulation run did.
struct Run_Result {
  std::string name;
  std::string kind;    // "training", "site" or "source"
  double game_seconds = 0.0;
  std::string ended;   // "music", "end event (success)", "shields", ... or "never"
  bool reached_close = false;  // the statistics summary or the end-of-mission report
  bool returned = false;       // back on the screens afterwards
  std::string closed_on;        // "summary", "report" or "War Room"
  double wall_seconds = 0.0;
  int frames[3] = {};  // played before the music ended (or skipping began), skipped, after
  size_t messages = 0;
  size_t problems = 0;
  bool Passed() const { return ended != "never" && reached_close && returned && problems == 0; }
};

class Game_Visit {
 public:
  explicit Game_Visit(const Visit_Options& options) : m_Options(options) {}
  Game_Visit(const Game_Visit&) = delete;
  Game_Visit& operator=(const Game_Visit&) = delete;

  // The whole visit; false when the game could not be started or a step could not be taken.
  bool Run();
  // The summary on stdout; the exit status: 0 when nothing went wrong.
  int Report() const;

 private:
  // Menus (Game_Visit_Menus.cpp).
  bool Start_Game();
  bool Log_In();
  void Visit_Console_Commands();
  void Visit_Simulator_Pages();
  void Post_Forum_Message();
  void Visit_Popups();
  void Visit_WarRoom_Pages();
  void Visit_Reports();

  // Simulation runs (Game_Visit_Runs.cpp).
  void Visit_Training_Runs();
  void Visit_WarRoom_Runs();
  Run_Result Play_Training(size_t row);
  Run_Result Play_WarRoom(const std::string& kind, size_t index);
  void Play_Until_Closed(Run_Result& result, double length_seconds);
  void Fire_At_Targets();
  void Record(const Run_Result& result);
  void Visit_Sim_Menu(const std::string& run_name);
  bool Return_From_Summary();
  bool Open_Simulator(int tab);
  // The indexes of a list of count simulations this visit plays: all of them, or in the short
  // form a spread of rotation of them; and of those the ones of this part.
  std::vector<size_t> Pick(size_t count, size_t rotation) const;
  std::vector<size_t> Pick_All_Or_Spread(size_t count, size_t rotation) const;

  // Steps frames until the condition holds or the frames run out; false then (for screens and
  // modes the harness's own waits serve).
  template <typename Condition>
  bool Step_Until(Condition condition, int max_frames, uint32_t ms = 16);
  void Settle(int frames, uint32_t ms = 16);
  // Steps frames as Settle does, without the short form's shortening: the short form draws
  // only every kShort_Draw_Every-th frame and the last (the visit reads no pixels), and every
  // frame while a dialog is open; the long form draws every frame.
  bool Frames(int frames, uint32_t ms = 16);
  // One frame of a longer stretch, its count-th, drawn as Frames draws.
  bool Frame_Of_Stretch(int count, uint32_t ms);
  // The short form draws one frame in this many.
  static constexpr int kShort_Draw_Every = 8;
  void Dismiss_Dialog();
  void Note(const std::string& text);
  void Fail(const std::string& text);

  Visit_Options m_Options;
  vt_test::Game_Harness m_Harness;
  Message_Log m_Log;
  std::vector<Run_Result> m_Runs;
  std::vector<std::string> m_Failures;
  std::vector<std::string> m_Visited;
  // The wall-clock time each place of the visit took, in order.
  std::vector<std::pair<std::string, double>> m_Place_Times;
  std::chrono::steady_clock::time_point m_Place_Start = std::chrono::steady_clock::now();
  bool m_Sim_Menu_Visited = false;
  int m_Screen_Width = 0;
  int m_Screen_Height = 0;
  uint32_t m_Fire_Clock = 0;
  mutable size_t m_Run_Counter = 0;
};

template <typename Condition>
bool Game_Visit::Step_Until(Condition condition, int max_frames, uint32_t ms) {
  for (int i = 0; i < max_frames; ++i) {
    if (condition()) return true;
    if (!Frame_Of_Stretch(i, ms)) return false;
  }
  return condition();
}

}  // namespace vt_visit
