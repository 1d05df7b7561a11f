// The ball, box and brick targets' cost: a whole frame and one world update with every ejector
// pool of theirs full (8 ball, 8 box and 8 brick ejectors) asked to launch every frame, so that
// the ball, box and brick pools stay full of targets in flight, beside the same launched world
// without them. Compare each pair's times from one run. Runs headless on the generated content.
#include <benchmark/benchmark.h>

#include <string>

#include "game/core/CWorld.h"
#include "game/targets/CEjector_Ball.h"
#include "game/targets/CEjector_Box.h"
#include "game/targets/CEjector_Brick.h"
#include "tests/support/game_harness.h"
#include "tests/support/harness_spawn.h"

namespace {

constexpr float kTick = 0.0035f;

int Objects_In_World() {
  int n = 0;
  while (g_World.Get_Object(n)) ++n;
  return n;
}
constexpr unsigned kFrame_Milliseconds = 16;

// A training run on flat ground, the camera down the field; with `full`, the ejectors stand in
// three rows and have been launching for a while.
class Target_Field {
 public:
  Target_Field(benchmark::State& state, bool full) : m_Full(full) {
    std::string error;
    if (!m_Harness.Prepare(&error) || !m_Harness.Start()) {
      state.SkipWithError(("the game did not start: " + error).c_str());
      return;
    }
    std::string script = "frames 5\ncommand 7 1 0x220003E1 0x220003F1\ncamera 800 450 300 800 0 1300\nframes 10\n";
    if (full) {
      for (int i = 0; i < 8; ++i) {
        const std::string x = std::to_string(300 + 140 * i);
        script += "spawn 38 " + x + " 0 900 " + std::to_string(i % 4) + "\n";
        script += "spawn 37 " + x + " 0 1300 " + std::to_string(i % 4) + "\n";
        script += "spawn 45 " + x + " 200 1100 " + std::to_string(i % 3) + " 4\n";
      }
    }
    m_Ready = m_Harness.Run_Script(script, m_Harness.Work_Dir(), &error);
    if (!m_Ready) {
      state.SkipWithError(error.c_str());
      return;
    }
    for (int i = 0; i < 120; ++i) Frame();
  }
  ~Target_Field() { m_Harness.Shut_Down(); }
  bool Ready() const { return m_Ready; }

  void Request_Launches() {
    if (!m_Full) return;
    for (uint32_t type : {CEjector_Ball::kType, CEjector_Box::kType, CEjector_Brick::kType})
      vt_test::Trigger_Objects(type, -1);
  }
  void Frame() {
    Request_Launches();
    m_Harness.Step(1, kFrame_Milliseconds);
  }
  void World_Update() {
    Request_Launches();
    const float delta = kTick * kFrame_Milliseconds;
    g_World.Update(kTick, kFrame_Milliseconds, delta, delta);
    g_World.Remove_Dead_Objects();
  }

 private:
  vt_test::Game_Harness m_Harness;
  bool m_Full = false;
  bool m_Ready = false;
};

void BM_Targets_Frame(benchmark::State& state) {
  Target_Field field(state, state.range(0) != 0);
  if (!field.Ready()) return;
  for (auto _ : state) field.Frame();
  state.counters["objects"] = static_cast<double>(Objects_In_World());
}
BENCHMARK(BM_Targets_Frame)->ArgName("full")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_Targets_World_Update(benchmark::State& state) {
  Target_Field field(state, state.range(0) != 0);
  if (!field.Ready()) return;
  for (auto _ : state) field.World_Update();
  state.counters["objects"] = static_cast<double>(Objects_In_World());
}
BENCHMARK(BM_Targets_World_Update)->ArgName("full")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
