// The whole game's busy training frame: a real training simulation played from its launch, the
// player aiming the machine gun at the nearest live target in view and firing in bursts, timed
// mid-run (ejectors and their targets live, flying targets, shots, sparks and marks, the track's
// effects, score board popups), beside the empty clear-and-present frame of the same size in the
// same run.
//
// Two sizes with their rasteriser thread counts: 640 x 480 with LP_NUM_THREADS=2 and 1600 x 1200
// with LP_NUM_THREADS=8. The thread count is read once, when the first GL context is made, so
// each size runs in its own invocation with the variable set before the program starts:
//   LP_NUM_THREADS=2 bench_game --benchmark_filter='_Frame/width:640/'
//   LP_NUM_THREADS=8 bench_game --benchmark_filter='_Frame/width:1600/'
// A size run with another thread count is skipped with the reason.
//
// The busy row's time is the mean real time of its frames; its counters:
//   fps        frames per second of the busy frames
//   empty_fps  the empty frame, timed in the same session right after them
//   ratio      busy frame time over empty frame time
//   worst_ms   the longest frame of the run after its first second (the play from the launch to
//              mid-run and the timed frames)
//   main_ms    the main thread's CPU time per busy frame
//   cpu_ms     the whole process's CPU time per busy frame, rasteriser threads included
//   queue_ms   time per busy frame that the process's threads waited runnable for a CPU: the
//              share of the real time that other programs' load took
//   objects    live world objects at the end
//   late_states  distinct draw states first drawn after the run's first second: each costs the
//              software rasteriser a compilation in the frame that meets it
//   launch_ms  real time of the launch (loading the world and preparing its draw states)
//   launch_cpu_ms  the main thread's CPU time of the launch (the driver compiles on it)
//   launch_states  distinct draw states first met during the launch
// VT_BENCH_PHASES=1 prints the real time of each traced step of the busy frames, waiting for the
// rasteriser after each (render world, present, ...); VT_BENCH_PHASES=cpu the main thread's CPU
// time of each step without waiting; VT_BENCH_PHASES=process the whole process's CPU time of each
// step, waiting for the rasteriser after each (what a step costs, whatever else the machine
// runs). VT_BENCH_SLOW=N prints every frame of the run longer than
// N ms with its main thread's CPU time (first use of a state costs CPU; waiting for the
// rasteriser or for a CPU under load does not), and every draw state first met after the first
// second, described (target, vertex format, raster switches, stages and their textures).
// VT_BENCH_SHOT=FILE.png keeps the last busy frame's picture.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/support/game_bench.h"
#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/core/CWorld.h"
#include "game/core/CWorld_Object.h"
#include "game/core/Frame_Trace.h"
#include "game/core/WinMain.h"
#include "platform/d3d/d3d8_test_hooks.h"
#include "platform/window/window.h"
#include "game/menu/CMenu_Mgr.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_device.h"

namespace {

using Clock = std::chrono::steady_clock;

// "It Began in Africa": a training simulation of the sample content with its own module, whose
// track keeps about twenty objects alive from its twentieth second on (the meadow world's light
// rigs, ejectors, flying and ground targets), against five or fewer in the quieter tracks.
constexpr uint32_t kTrack_Id = 0x220001c5;
constexpr uint32_t kMusic_Id = 0x22000193;
constexpr int kEnvironment = 0;
constexpr int kMachine_Gun = 2;

constexpr uint32_t kFrame_Ms = 16;
// The run's first second is left out of the worst frame.
constexpr int kFirst_Second_Frames = 1000 / kFrame_Ms;
// Where the timed frames begin: twenty seconds into the run, two ejector blocks and two spawn
// blocks of the track along.
constexpr int kMid_Run_Frames = 20000 / kFrame_Ms;
// The timed frames: about five seconds of the run, played once.
constexpr int kBusy_Frames = 300;
// The burst: the button held so many frames out of every cycle.
constexpr int kBurst_Frames = 24;
constexpr int kBurst_Cycle = 36;
constexpr int kEmpty_Frames = 300;

struct Size {
  int level;  // resolution level of the settings
  float width, height;
  int threads;  // the LP_NUM_THREADS the goal is set at
};

const Size* Size_Of(int64_t width) {
  static constexpr Size kSizes[] = {{0, 640.0f, 480.0f, 2}, {4, 1600.0f, 1200.0f, 8}};
  for (const Size& size : kSizes)
    if (static_cast<int64_t>(size.width) == width) return &size;
  return nullptr;
}

// False (skipping the benchmark with the reason) unless the size is known and the rasteriser
// thread count it is measured at is in the environment.
bool Check_Threads(benchmark::State& state, const Size* size) {
  if (!size) {
    state.SkipWithError("no such size");
    return false;
  }
  const char* threads = std::getenv("LP_NUM_THREADS");
  if (!threads || std::atoi(threads) != size->threads) {
    const std::string why = "set LP_NUM_THREADS=" + std::to_string(size->threads) + " before the program starts";
    state.SkipWithError(why.c_str());
    return false;
  }
  return true;
}

// The size through the settings, as the options dialog changes it. The headless desktop is
// 1024 x 768 and a window is fitted to it, so the larger size runs full screen: its frames are
// drawn at 1600 x 1200 and every present scales them into the desktop's size.
bool Set_Size(vt_bench::Game_Session& session, const Size& size) {
  g_Game_State.Display_Resolution = size.level;
  g_Game_State.Display_Windowed = size.width <= static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) &&
                                  size.height <= static_cast<float>(GetSystemMetrics(SM_CYSCREEN));
  g_Menu_Mgr.Reset_Display_Mode();
  session.Harness().Step(5, kFrame_Ms);
  return g_pRenderDevice && g_pRenderDevice->GetScreenWidthF() == size.width &&
         g_pRenderDevice->GetScreenHeightF() == size.height;
}

// The offscreen driver's window swap draws nothing, and the rasteriser draws a frame only when
// something waits for it: every frame here ends by waiting until it is drawn, as a present to a
// display does.
void Wait_Until_Drawn() { glFinish(); }

void Empty_Frame() {
  vt_bench::Begin_Frame();
  vt_bench::End_Frame();
  Wait_Until_Drawn();
}

int Objects_In_World() {
  int n = 0;
  while (g_World.Get_Object(n)) ++n;
  return n;
}

double Thread_Cpu_Ms() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return 1e3 * static_cast<double>(now.tv_sec) + 1e-6 * static_cast<double>(now.tv_nsec);
}

double Real_Ms() { return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count(); }

// The whole process's CPU time and the time its threads waited runnable for a CPU, in
// milliseconds, summed over every thread alive now.
struct Thread_Times {
  double cpu_ms = 0.0;
  double queue_ms = 0.0;
};

Thread_Times Process_Thread_Times() {
  Thread_Times times;
  std::error_code ec;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ec)) {
    std::ifstream stat(task.path() / "schedstat");
    double cpu_ns = 0.0, queue_ns = 0.0;
    if (stat >> cpu_ns >> queue_ns) {
      times.cpu_ms += cpu_ns / 1e6;
      times.queue_ms += queue_ns / 1e6;
    }
  }
  return times;
}

// With VT_BENCH_PHASES set, the time of every traced step of the frames it is alive for, printed
// to stderr at its end: real time (1), the main thread's CPU time without waiting (cpu), or the
// whole process's CPU time, rasteriser threads included (process), which other programs' load
// does not inflate.
class Phase_Timer {
 public:
  enum class Measure { Real, Main_Cpu, Process_Cpu };

  Phase_Timer() {
    const char* mode = std::getenv("VT_BENCH_PHASES");
    m_On = mode != nullptr;
    if (m_On && std::string(mode) == "cpu") m_Measure = Measure::Main_Cpu;
    if (m_On && std::string(mode) == "process") m_Measure = Measure::Process_Cpu;
    if (m_On) Set_Frame_Trace_Recorder([this](const char* step) { Mark(step); });
  }
  ~Phase_Timer() {
    if (!m_On) return;
    Set_Frame_Trace_Recorder(nullptr);
    double total = 0.0;
    for (const auto& [name, ms] : m_Ms) total += ms;
    static constexpr const char* kWhat[] = {"real time", "main thread CPU", "process CPU"};
    std::fprintf(stderr, "%s per busy frame, by step:\n", kWhat[static_cast<int>(m_Measure)]);
    for (const auto& [name, ms] : m_Ms)
      if (ms >= 0.001 * total)
        std::fprintf(stderr, "  %-24s %8.3f ms %5.1f%%\n", name.c_str(), ms / std::max(m_Frames, 1), 100.0 * ms / total);
  }
  Phase_Timer(const Phase_Timer&) = delete;
  Phase_Timer& operator=(const Phase_Timer&) = delete;

  void End_Frame() {
    if (!m_On) return;
    Mark("(between frames)");
    ++m_Frames;
  }

 private:
  double Now() const {
    switch (m_Measure) {
      case Measure::Main_Cpu: return Thread_Cpu_Ms();
      case Measure::Process_Cpu: return Process_Thread_Times().cpu_ms;
      case Measure::Real: break;
    }
    return Real_Ms();
  }

  void Mark(const char* step) {
    if (m_Measure != Measure::Main_Cpu) glFinish();
    const double now = Now();
    if (!m_Last.empty()) m_Ms[m_Last] += now - m_Then;
    m_Last = step;
    m_Then = now;
  }

  bool m_On = false;
  Measure m_Measure = Measure::Real;
  std::map<std::string, double> m_Ms;
  std::string m_Last;
  double m_Then = 0.0;
  int m_Frames = 0;
};

UINT Draw_States() { return D3D8Test_DrawStatesSeen(g_pDirect3DDevice); }

// A training run of the track at one size, played frame by frame: the player aims at the nearest
// live target in view (flying ones too) and fires in bursts; every frame's real time counts for the worst one.
class Busy_Run {
 public:
  Busy_Run(benchmark::State& state, const Size& size) : m_Session(state) {
    if (!m_Session.Started()) return;
    if (!Set_Size(m_Session, size)) {
      m_Session.Require(state, false, "the device did not take the size");
      return;
    }
    vt_test::Game_Harness& harness = m_Session.Harness();
    harness.Set_Loadout(std::to_string(kMachine_Gun), "0", "", "");
    harness.Move_Mouse(static_cast<int>(size.width / 2), static_cast<int>(size.height / 2));
    harness.Pump();
    D3D8Test_CountDrawStates(g_pDirect3DDevice, true);
    if (m_Slow_Ms > 0.0) D3D8Test_DescribeDrawStates(g_pDirect3DDevice, true);
    const double start = Real_Ms();
    const double cpu_start = Thread_Cpu_Ms();
    const UINT states_before = Draw_States();
    g_Menu_Mgr.Command(kCommand_Launch_Training, kEnvironment, static_cast<int>(kTrack_Id), static_cast<int>(kMusic_Id));
    m_Launch_Ms = Real_Ms() - start;
    m_Launch_Cpu_Ms = Thread_Cpu_Ms() - cpu_start;
    m_Launch_States = Draw_States() - states_before;
    m_Session.Require(state, g_Game.Get_Mode() == kMode_Simulation, "the training simulation did not launch");
  }
  ~Busy_Run() {
    if (m_Held) m_Session.Harness().Left_Up();
  }
  Busy_Run(const Busy_Run&) = delete;
  Busy_Run& operator=(const Busy_Run&) = delete;

  bool Ready() const { return m_Session.Ready(); }
  static bool Running() { return g_Game.Get_Mode() == kMode_Simulation; }

  // Aims, presses or lets go as the burst goes, and runs one frame.
  void Frame() {
    vt_test::Game_Harness& harness = m_Session.Harness();
    harness.Aim();
    const bool hold = m_Frames % kBurst_Cycle < kBurst_Frames;
    if (hold != m_Held) {
      if (hold)
        harness.Left_Down();
      else
        harness.Left_Up();
      m_Held = hold;
    }
    const double start = Real_Ms();
    const double cpu_start = Thread_Cpu_Ms();
    const UINT states_before = Draw_States();
    harness.Step(1, kFrame_Ms);
    Wait_Until_Drawn();
    const double ms = Real_Ms() - start;
    const double cpu_ms = Thread_Cpu_Ms() - cpu_start;
    const UINT new_states = Draw_States() - states_before;
    if (m_Frames >= kFirst_Second_Frames) {
      m_Worst_Ms = std::max(m_Worst_Ms, ms);
      m_Late_States += new_states;
    }
    const std::vector<std::string> described = D3D8Test_TakeDrawStateDescriptions(g_pDirect3DDevice);
    if (m_Slow_Ms > 0.0 && ms > m_Slow_Ms)
      std::fprintf(stderr, "frame %d of the run: %.1f ms, main thread CPU %.1f ms, %u new draw states\n", m_Frames, ms,
                   cpu_ms, new_states);
    // Every state met after the first second, slow frame or not: each is a compilation.
    if (m_Slow_Ms > 0.0 && m_Frames >= kFirst_Second_Frames)
      for (const std::string& line : described) std::fprintf(stderr, "  frame %d new state: %s\n", m_Frames, line.c_str());
    ++m_Frames;
  }

  // Plays from the launch to mid-run; false when the run ended before.
  bool Play_To_Mid_Run() {
    while (m_Frames < kMid_Run_Frames && Running()) Frame();
    return Running();
  }

  double Worst_Ms() const { return m_Worst_Ms; }
  double Launch_Ms() const { return m_Launch_Ms; }
  double Launch_Cpu_Ms() const { return m_Launch_Cpu_Ms; }
  UINT Launch_States() const { return m_Launch_States; }
  UINT Late_States() const { return m_Late_States; }
  void Save_Png(const std::string& path) { m_Session.Harness().Save_Png(path); }

 private:
  vt_bench::Game_Session m_Session;
  int m_Frames = 0;
  bool m_Held = false;
  double m_Worst_Ms = 0.0;
  double m_Launch_Ms = 0.0;
  double m_Launch_Cpu_Ms = 0.0;
  UINT m_Launch_States = 0;
  UINT m_Late_States = 0;
  const double m_Slow_Ms = std::getenv("VT_BENCH_SLOW") ? std::atof(std::getenv("VT_BENCH_SLOW")) : 0.0;
};

void BM_Busy_Frame(benchmark::State& state) {
  const Size* size = Size_Of(state.range(0));
  if (!Check_Threads(state, size)) return;
  Busy_Run run(state, *size);
  if (!run.Ready()) return;
  if (!run.Play_To_Mid_Run()) {
    state.SkipWithError("the run ended before mid-run");
    return;
  }
  int64_t frames = 0;
  const Thread_Times before = Process_Thread_Times();
  const double main_before = Thread_Cpu_Ms();
  const double start = Real_Ms();
  {
    Phase_Timer phases;
    for (auto _ : state) {
      run.Frame();
      phases.End_Frame();
      ++frames;
    }
  }
  const double busy_ms = (Real_Ms() - start) / static_cast<double>(std::max<int64_t>(frames, 1));
  const double main_ms = (Thread_Cpu_Ms() - main_before) / static_cast<double>(std::max<int64_t>(frames, 1));
  const Thread_Times after = Process_Thread_Times();
  if (const char* shot = std::getenv("VT_BENCH_SHOT")) run.Save_Png(shot);
  if (!Busy_Run::Running()) {
    state.SkipWithError("the run ended during the timed frames");
    return;
  }
  const double empty_start = Real_Ms();
  for (int i = 0; i < kEmpty_Frames; ++i) Empty_Frame();
  const double empty_ms = (Real_Ms() - empty_start) / kEmpty_Frames;

  const double per_frame = 1.0 / static_cast<double>(std::max<int64_t>(frames, 1));
  state.counters["fps"] = 1000.0 / busy_ms;
  state.counters["empty_fps"] = 1000.0 / empty_ms;
  state.counters["ratio"] = busy_ms / empty_ms;
  state.counters["worst_ms"] = run.Worst_Ms();
  state.counters["main_ms"] = main_ms;
  state.counters["cpu_ms"] = (after.cpu_ms - before.cpu_ms) * per_frame;
  state.counters["queue_ms"] = (after.queue_ms - before.queue_ms) * per_frame;
  state.counters["objects"] = static_cast<double>(Objects_In_World());
  state.counters["late_states"] = static_cast<double>(run.Late_States());
  state.counters["launch_ms"] = run.Launch_Ms();
  state.counters["launch_cpu_ms"] = run.Launch_Cpu_Ms();
  state.counters["launch_states"] = static_cast<double>(run.Launch_States());
}
BENCHMARK(BM_Busy_Frame)
    ->ArgName("width")
    ->Arg(640)
    ->Arg(1600)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(kBusy_Frames);

void BM_Empty_Frame(benchmark::State& state) {
  const Size* size = Size_Of(state.range(0));
  if (!Check_Threads(state, size)) return;
  vt_bench::Game_Session session(state);
  if (!session.Started()) return;
  session.Require(state, Set_Size(session, *size), "the device did not take the size");
  if (!session.Ready()) return;
  const double start = Real_Ms();
  for (auto _ : state) Empty_Frame();
  state.counters["fps"] = 1000.0 * static_cast<double>(state.iterations()) / (Real_Ms() - start);
}
BENCHMARK(BM_Empty_Frame)->ArgName("width")->Arg(640)->Arg(1600)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
