// The program's start up to its first menu frame, the menus' warm-up of draw states spread over
// the frames after it, and a training run's launch up to its first world frame.
//
//   BM_Start_To_First_Menu_Frame/everything_warm:0  the start as the game makes it
//   BM_Start_To_First_Menu_Frame/everything_warm:1  the same start with every style held warmed
//                        before the first frame, as the start used to do: the baseline
//     ms / cpu_ms        real time and the main thread's CPU time from the start of start-up to
//                        the first menu frame shown
//     warm_draws         warm draws made before it
//     first_frame_states draw states the first frame met that nothing warmed before
//     rss_mb             the resident size the start added (the driver's compiled code is most)
//   BM_Menu_Warm_Up_Spread   the menus' warm-up from the first frame until nothing is left
//     frames             frames it took
//     mean_slice_ms / worst_slice_ms   a slice's real time on average and at the longest (what
//                        it adds to its menu frame: at least one warm draw, and a draw that
//                        compiles takes longer than the slice's time)
//   BM_Launch_To_First_World_Frame/spread_done:0|1   a training run launched from the console
//                        two seconds after start-up (the menus' warm-up still going on), or once
//                        it is over
//     ms                 the launch's real time (loading the world, warming what is not warm)
//     launch_states      draw states first met during the launch
//     world_frame_states draw states the first world frame met anew: each is a compilation in
//                        that frame (goal 0)
//     first_second_states  the same for the run's first second
//
// Every figure moves with the machine's load. Instructions do not: under callgrind
// (valgrind --tool=callgrind, with LP_NUM_THREADS=0 so that the rasteriser's work is on the
// counted thread and MESA_SHADER_CACHE_DISABLE=true so that every start compiles as the first
// one does) each iteration of BM_Start_To_First_Menu_Frame dumps the instructions from the start
// of start-up to the first menu frame shown as one part (see docs/development.md, "Start-up").
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

#include "game/core/CGame.h"
#include "game/core/Frame_Trace.h"
#include "game/menu/CMenu_Mgr.h"
#include "platform/d3d/d3d8_test_hooks.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/render_state_warm_up.h"
#include "tests/support/game_harness.h"

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define VT_COUNT_FROM_HERE CALLGRIND_ZERO_STATS
#define VT_COUNTED_UP_TO_HERE CALLGRIND_DUMP_STATS
#else
#define VT_COUNT_FROM_HERE
#define VT_COUNTED_UP_TO_HERE
#endif

namespace {

// "It Began in Africa", the training simulation of the busy-frame benchmark.
constexpr uint32_t kTrack_Id = 0x220001c5;
constexpr uint32_t kMusic_Id = 0x22000193;
constexpr int kEnvironment = 0;
constexpr uint32_t kFrame_Ms = 16;
constexpr int kConsole_Frames = 120;
constexpr int kFirst_Second_Frames = 1000 / kFrame_Ms;
constexpr int kMax_Spread_Frames = 20000;

double Real_Ms() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Thread_Cpu_Ms() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1.0e6;
}

double Resident_Mb() {
  long pages = 0, resident = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return 0.0;
  const bool read = std::fscanf(statm, "%ld %ld", &pages, &resident) == 2;
  std::fclose(statm);
  return read ? static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0) : 0.0;
}

UINT Draw_States() { return g_pDirect3DDevice ? D3D8Test_DrawStatesSeen(g_pDirect3DDevice) : 0; }

// The harness, with the draw states of every device made during one benchmark counted.
class Counted_Start {
 public:
  explicit Counted_Start(benchmark::State& state) : m_State(state) { D3D8Test_CountDrawStatesOfNewDevices(true); }
  ~Counted_Start() {
    Set_Frame_Trace_Recorder({});
    if (m_Started) m_Harness.Shut_Down();
    D3D8Test_CountDrawStatesOfNewDevices(false);
  }
  Counted_Start(const Counted_Start&) = delete;
  Counted_Start& operator=(const Counted_Start&) = delete;

  bool Prepare() {
    std::string error;
    if (m_Harness.Prepare(&error)) return true;
    m_State.SkipWithError(("the game did not start: " + error).c_str());
    return false;
  }
  bool Start() {
    m_Started = m_Harness.Start();
    if (!m_Started) m_State.SkipWithError("the game did not start");
    return m_Started;
  }
  vt_test::Game_Harness& Harness() { return m_Harness; }

 private:
  benchmark::State& m_State;
  vt_test::Game_Harness m_Harness;
  bool m_Started = false;
};

void BM_Start_To_First_Menu_Frame(benchmark::State& state) {
  const bool everything_warm = state.range(0) != 0;
  for (auto _ : state) {
    Counted_Start start(state);
    if (!start.Prepare()) break;
    // The first frame is shown once its present is done: the menus' first warm-up slice, which
    // follows it in the same frame, is not part of it.
    double shown_ms = 0.0, shown_cpu_ms = 0.0;
    bool shown = false;
    const double rss_before = Resident_Mb();
    VT_COUNT_FROM_HERE;
    const double start_ms = Real_Ms();
    const double start_cpu_ms = Thread_Cpu_Ms();
    auto show = [&] {
      if (shown) return;
      glFinish();
      VT_COUNTED_UP_TO_HERE;
      shown_ms = Real_Ms() - start_ms;
      shown_cpu_ms = Thread_Cpu_Ms() - start_cpu_ms;
      shown = true;
    };
    if (!start.Start()) break;
    const Warm_Up_Counts warmed = everything_warm ? Warm_Up_Render_States() : Warm_Up_Counts{};
    const UINT states_before = Draw_States();
    Set_Frame_Trace_Recorder([&](const char* step) {
      if (std::string(step) == "warm up slice") show();
    });
    start.Harness().Step(1, kFrame_Ms);
    show();
    state.counters["ms"] = shown_ms;
    state.counters["cpu_ms"] = shown_cpu_ms;
    state.counters["warm_draws"] = warmed.draws;
    state.counters["first_frame_states"] = Draw_States() - states_before;
    state.counters["rss_mb"] = Resident_Mb() - rss_before;
  }
}
BENCHMARK(BM_Start_To_First_Menu_Frame)
    ->ArgName("everything_warm")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_Menu_Warm_Up_Spread(benchmark::State& state) {
  for (auto _ : state) {
    Counted_Start start(state);
    if (!start.Prepare() || !start.Start()) break;
    double slice_start = 0.0, worst = 0.0, total = 0.0;
    int slices = 0;
    Set_Frame_Trace_Recorder([&](const char* step) {
      if (std::string(step) == "warm up slice") slice_start = Real_Ms();
    });
    int frames = 0;
    while (Warm_Up_Pending() && frames < kMax_Spread_Frames) {
      slice_start = 0.0;
      start.Harness().Step(1, kFrame_Ms);
      if (slice_start > 0.0) {
        const double ms = Real_Ms() - slice_start;
        worst = std::max(worst, ms);
        total += ms;
        ++slices;
      }
      ++frames;
    }
    state.counters["frames"] = frames;
    state.counters["mean_slice_ms"] = slices ? total / slices : 0.0;
    state.counters["worst_slice_ms"] = worst;
    if (Warm_Up_Pending()) state.SkipWithError("the menus' warm-up did not end");
  }
}
BENCHMARK(BM_Menu_Warm_Up_Spread)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Launch_To_First_World_Frame(benchmark::State& state) {
  const bool spread_done = state.range(0) != 0;
  for (auto _ : state) {
    Counted_Start start(state);
    if (!start.Prepare() || !start.Start()) break;
    vt_test::Game_Harness& harness = start.Harness();
    harness.Step(kConsole_Frames, kFrame_Ms);
    for (int frames = 0; spread_done && Warm_Up_Pending() && frames < kMax_Spread_Frames; ++frames)
      harness.Step(1, kFrame_Ms);
    const UINT before_launch = Draw_States();
    const double launch_start = Real_Ms();
    g_Menu_Mgr.Command(kCommand_Launch_Training, kEnvironment, static_cast<int>(kTrack_Id), static_cast<int>(kMusic_Id));
    const double launch_ms = Real_Ms() - launch_start;
    if (g_Game.Get_Mode() != kMode_Simulation) {
      state.SkipWithError("the training simulation did not launch");
      break;
    }
    const UINT launched = Draw_States();
    harness.Step(1, kFrame_Ms);
    const UINT first_frame = Draw_States();
    harness.Play(kFirst_Second_Frames - 1, kFrame_Ms);
    state.counters["ms"] = launch_ms;
    state.counters["launch_states"] = launched - before_launch;
    state.counters["world_frame_states"] = first_frame - launched;
    state.counters["first_second_states"] = Draw_States() - launched;
  }
}
BENCHMARK(BM_Launch_To_First_World_Frame)
    ->ArgName("spread_done")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
