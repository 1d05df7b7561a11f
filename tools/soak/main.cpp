// Plays training runs one after another with random input, each from the simulator screen to its
// statistics summary and back, and prints the memory the program holds after each run: the
// engine's counted memory, the heap in use and held (malloc's, or the address sanitizer's when
// built with it) and the resident size, before and after malloc_trim. Memory that keeps growing
// from run to run is a leak.
//   vt_soak [--runs N] [--seed S] [--draw-every N] [CONTENT_DIR]   (--help tells more)
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/core/Settings.h"
#include "game/menu/CMenuItem_List.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/menu/CPopup_Mgr.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/trainer/CMenu_Simulator.h"
#include "game/trainer/Sim_Table.h"
#include "platform/d3d/d3d8_test_hooks.h"
#include "platform/system/memory.h"
#include "platform/system/message_box.h"
#include "platform/window/window.h"
#include "tests/support/game_harness.h"
#include "tests/support/harness_play.h"
#include "tests/support/harness_screens.h"

#if defined(__SANITIZE_ADDRESS__)
#define VT_SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VT_SOAK_ASAN 1
#endif
#endif

#ifdef VT_SOAK_ASAN
// The address sanitizer's allocator statistics (its allocator_interface.h).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
extern "C" size_t __sanitizer_get_heap_size();
extern "C" void __sanitizer_print_memory_profile(size_t top_percent, size_t max_number_of_contexts);
#endif

namespace {

constexpr uint32_t kFrame_Ms = 100;
constexpr int kSim_List = 1;
// A run lasts its music (under five minutes) and a short grace; past this it is stuck.
constexpr int kMost_Run_Frames = 4000;

struct Options {
  int runs = 50;
  uint32_t seed = 1;
  int draw_every = 1;
  int heap_profile = 0;  // the run after which, and after the one before, the live heap is listed
  std::string content;
};

struct Figures {
  int64_t counted = 0;  // the engine's counted memory (g_Total_Mem_Allocated)
  int64_t heap = 0;     // bytes in use on the heap
  int64_t held = 0;     // bytes the allocator holds from the system, in use or free
  int64_t resident = 0;
  int64_t trimmed = 0;  // the resident size once malloc has handed its free pages back
};

struct Run_Result {
  bool ended = false;
  std::string failure;  // where a run that did not end stopped
  std::string stuck;    // the state of a run that did not end by itself and was ended
  std::string sim;
  uint32_t score = 0;
  int frames = 0;
  int shots = 0;
  int paused_frames = 0;  // frames the game stood paused (a pop-up menu open, say)
  double seconds = 0.0;  // of real time
};

int64_t Heap_In_Use() {
#ifdef VT_SOAK_ASAN
  return static_cast<int64_t>(__sanitizer_get_current_allocated_bytes());
#else
  const struct mallinfo2 info = mallinfo2();
  return static_cast<int64_t>(info.uordblks + info.hblkhd);
#endif
}

int64_t Heap_Held() {
#ifdef VT_SOAK_ASAN
  return static_cast<int64_t>(__sanitizer_get_heap_size());
#else
  const struct mallinfo2 info = mallinfo2();
  return static_cast<int64_t>(info.arena + info.hblkhd);
#endif
}

int64_t Resident_Bytes() {
  FILE* file = std::fopen("/proc/self/statm", "r");
  if (!file) return 0;
  long size = 0, resident = 0;
  const bool read = std::fscanf(file, "%ld %ld", &size, &resident) == 2;
  std::fclose(file);
  return read ? static_cast<int64_t>(resident) * sysconf(_SC_PAGESIZE) : 0;
}

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

// The resident size as the system sees it, and again after malloc_trim(0): malloc keeps the pages
// it once used (a busy moment leaves the heap's top high), and the resident size then moves by
// whole megabytes while the heap in use stays flat. The trimmed size counts the pages the
// program uses, heap and everything else (the rasteriser's code and buffers, the libraries).
// The sanitizer's allocator is not malloc's: there the two are the same.
Figures Measure() {
  Figures figures{g_Total_Mem_Allocated.load(), Heap_In_Use(), Heap_Held(), Resident_Bytes(), 0};
#ifndef VT_SOAK_ASAN
  malloc_trim(0);
#endif
  figures.trimmed = Resident_Bytes();
  return figures;
}

double Mib(int64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

void Print_Usage(FILE* to, const char* program) {
  std::fprintf(to,
               "usage: %s [--runs N] [--seed S] [--draw-every N] [CONTENT_DIR]\n"
               "  --runs N        training runs to play (50)\n"
               "  --seed S        seed of the random input (1)\n"
               "  --draw-every N  during a run and the waits for its start and for the screen after it,\n"
               "                  draw only every N-th frame (1: all); the others update the game\n"
               "                  undrawn, as a minimised window does\n"
               "  --heap-profile R  (sanitizer build) after runs R-1 and R, list the live heap by\n"
               "                  allocation stack, to find what a step in the heap figure holds\n"
               "  CONTENT_DIR     the content folder (else the build's own)\n",
               program);
}

bool Parse_Options(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--runs" || arg == "--seed" || arg == "--draw-every" || arg == "--heap-profile") && i + 1 < argc) {
      char* end = nullptr;
      const long value = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || value <= 0 || value > 1000000) return false;
      if (arg == "--runs")
        options.runs = static_cast<int>(value);
      else if (arg == "--seed")
        options.seed = static_cast<uint32_t>(value);
      else if (arg == "--draw-every")
        options.draw_every = static_cast<int>(value);
      else
        options.heap_profile = static_cast<int>(value);
    } else if (!arg.empty() && arg[0] != '-' && options.content.empty()) {
      options.content = arg;
    } else {
      return false;
    }
  }
  return true;
}

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

class Soak {
 public:
  Soak(vt_test::Game_Harness& game, uint32_t seed, int draw_every)
      : m_Game(game), m_Random(seed), m_Draw_Every(draw_every) {}

  // From the simulator screen: a simulation the account may run, picked on the list with the
  // arrow keys and launched by the button; random input until the summary; back to the screen.
  Run_Result Play_Run();

 private:
  // Of the frames stepped in a run or a wait, every draw_every-th is drawn, the first included.
  bool Undrawn_Frame(int frame) const { return m_Draw_Every > 1 && frame % m_Draw_Every != 0; }
  int Random(int below) { return std::uniform_int_distribution<int>(0, below - 1)(m_Random); }
  bool Pick_And_Launch(Run_Result& result);
  void Random_Input(Run_Result& result);
  bool Step_Reading_Until(bool (*done)(), int frames);
  void Play_Frame(Run_Result& result);
  bool End_Stuck_Run();

  vt_test::Game_Harness& m_Game;
  std::mt19937 m_Random;
  int m_Draw_Every = 1;
};

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

Run_Result Soak::Play_Run() {
  Run_Result result;
  bool launched = false;
  {
    const Undrawn menus(m_Draw_Every > 1);
    launched = Pick_And_Launch(result);
  }
  if (!launched) return result;
  bool known = false;
  for (; result.frames < kMost_Run_Frames && !vt_test::Screen_Is_Up("summary", known); ++result.frames)
    Play_Frame(result);
  if (!vt_test::Screen_Is_Up("summary", known)) {
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

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    Print_Usage(stdout, argv[0]);
    return 0;
  }
  if (!Parse_Options(argc, argv, options)) {
    Print_Usage(stderr, argv[0]);
    return 2;
  }
  std::vector<std::string> messages;
  plat::Set_Message_Recorder([&messages](const std::string&, const std::string& text) { messages.push_back(text); });

  vt_test::Game_Harness game;
  std::string error;
  if (!game.Prepare(&error, options.content)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  // The smallest display mode: the soak is about memory, not pixels.
  Reg_Write_DWORD(kSettings_Key, "Display_Resolution", 0);
  if (!game.Start() || !vt_test::Log_In(game, "Soak", true)) {
    std::fprintf(stderr, "the program did not reach the simulator screen\n");
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  Soak soak(game, options.seed, options.draw_every);
  std::vector<Figures> figures;
  std::printf("%-4s %-30s %6s %10s %6s %7s %12s %12s %12s %12s %12s\n", "run", "simulation", "frames", "score",
              "shots", "secs", "counted MiB", "heap MiB", "held MiB", "resident MiB", "trimmed MiB");
  int status = 0;
  int stuck_runs = 0;
  for (int run = 1; run <= options.runs; ++run) {
    const auto run_start = std::chrono::steady_clock::now();
    Run_Result result = soak.Play_Run();
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - run_start).count();
    const Figures now = Measure();
    figures.push_back(now);
    std::printf("%-4d %-30.30s %6d %10u %6d %7.1f %12.2f %12.2f %12.2f %12.2f %12.2f\n", run, result.sim.c_str(),
                result.frames, result.score, result.shots, result.seconds, Mib(now.counted), Mib(now.heap),
                Mib(now.held), Mib(now.resident), Mib(now.trimmed));
#ifdef VT_SOAK_ASAN
    if (options.heap_profile != 0 && (run == options.heap_profile - 1 || run == options.heap_profile)) {
      std::printf("heap profile after run %d:\n", run);
      std::fflush(stdout);
      __sanitizer_print_memory_profile(100, 100000);
    }
#endif
    if (!result.stuck.empty()) {
      std::printf("run %d did not end by itself and was ended (paused %d of its %d frames): %s\n", run,
                  result.paused_frames, result.frames, result.stuck.c_str());
      ++stuck_runs;
    }
    std::fflush(stdout);
    if (!result.ended) {
      std::printf("run %d stopped: %s\n", run, result.failure.c_str());
      std::fflush(stdout);
      status = 1;
      break;
    }
  }
  game.Shut_Down();
  plat::Set_Message_Recorder(nullptr);
  for (const std::string& message : messages) std::printf("message: %s\n", message.c_str());
  if (!messages.empty()) status = 1;
  if (stuck_runs != 0) status = 1;
  std::printf("%zu runs (%d ended by the soak) in %.0f s\n", figures.size(), stuck_runs,
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  constexpr size_t kSettled = 10;
  if (figures.size() > kSettled) {
    const Figures& early = figures[kSettled - 1];
    const Figures& last = figures.back();
    std::printf("from run %zu to run %zu: counted %+.2f MiB, heap %+.2f MiB, held %+.2f MiB, resident %+.2f MiB, "
                "trimmed %+.2f MiB\n",
                kSettled, figures.size(), Mib(last.counted - early.counted), Mib(last.heap - early.heap),
                Mib(last.held - early.held), Mib(last.resident - early.resident), Mib(last.trimmed - early.trimmed));
  }
  return status;
}
