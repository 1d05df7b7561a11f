// The flying targets' cost, measured in one launched lane-track world: a whole frame and one
// world update with every flyer pool full (fliers' exhausts at their cap of 63), beside the same
// frame and update with no flyer in the world. Compare each pair's times from one run. Runs
// headless on the generated content.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/support/game_bench.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/sim/CMusic_Track.h"
#include "game/targets/CTarget_Bar.h"
#include "game/targets/CTarget_Boomer.h"
#include "game/targets/CTarget_Buster.h"
#include "game/targets/CTarget_Exclaim.h"
#include "game/targets/CTarget_Flare.h"
#include "game/targets/CTarget_Flier.h"
#include "game/targets/CTarget_Glower.h"
#include "game/targets/CTarget_Glower_B.h"
#include "game/targets/CTarget_Leaf.h"

namespace {

constexpr float kTick = 0.0035f;
constexpr unsigned kFrame_Milliseconds = 16;

const uint32_t kFlyer_Types[] = {CTarget_Flier::kType,  CTarget_Boomer::kType,   CTarget_Leaf::kType,
                                 CTarget_Bar::kType,    CTarget_Flare::kType,    CTarget_Glower::kType,
                                 CTarget_Glower_B::kType, CTarget_Buster::kType, CTarget_Exclaim::kType};

bool Launch(vt_bench::Game_Session& session) {
  std::string error;
  return session.Harness().Run_Script("frames 5\ncommand 7 1 0x220003E1 0x220003F1\nframes 10\n"
                                      "camera 800 420 150 800 330 1200\n",
                                      session.Harness().Work_Dir(), &error);
}

// Takes every free object of each flyer pool into the world as the track sets it up (swinging
// and looping, and half the flares from the ground), and fills each flier's exhaust to its cap.
void Fill_Pools() {
  for (uint32_t type : kFlyer_Types) {
    CObject_Pool* pool = g_Object_Pools[type];
    for (int n = 0; pool && pool->Has_Free_Object(); ++n) {
      CTrack_Point point;
      point.argument = static_cast<uint32_t>(n % 2);
      if (!g_Music_Track.Spawn_Target(type, point)) break;
    }
  }
  for (int n = 0; CWorld_Object* object = g_World.Find_Object_By_Type(CTarget_Flier::kType, n); ++n) {
    auto* flier = static_cast<CTarget_Flier*>(object);
    while (flier->Add_Exhaust(flier->m_Position, CVector3{0.0f, 10.0f, 0.0f})) {
    }
  }
}

void Run_Frames(benchmark::State& state, bool full) {
  vt_bench::Game_Session session(state);
  if (!session.Started()) return;
  session.Require(state, Launch(session), "the lane track did not launch");
  if (!session.Ready()) return;
  for (auto _ : state) {
    if (full) {
      state.PauseTiming();
      Fill_Pools();
      state.ResumeTiming();
    }
    session.Harness().Step(1, kFrame_Milliseconds);
  }
}

void Run_Updates(benchmark::State& state, bool full) {
  vt_bench::Game_Session session(state);
  if (!session.Started()) return;
  session.Require(state, Launch(session), "the lane track did not launch");
  if (!session.Ready()) return;
  const float delta = kTick * static_cast<float>(kFrame_Milliseconds);
  for (auto _ : state) {
    if (full) {
      state.PauseTiming();
      Fill_Pools();
      state.ResumeTiming();
    }
    g_World.Update(kTick, kFrame_Milliseconds, delta, delta);
    g_World.End_Frame();
  }
}

void BM_FlyersFrameEmpty(benchmark::State& state) { Run_Frames(state, false); }
void BM_FlyersFrameFull(benchmark::State& state) { Run_Frames(state, true); }
void BM_FlyersWorldUpdateEmpty(benchmark::State& state) { Run_Updates(state, false); }
void BM_FlyersWorldUpdateFull(benchmark::State& state) { Run_Updates(state, true); }

BENCHMARK(BM_FlyersFrameEmpty)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FlyersFrameFull)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FlyersWorldUpdateEmpty)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FlyersWorldUpdateFull)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
