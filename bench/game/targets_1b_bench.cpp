// The cylinders, vials, bullseye towers with their boards and the memory boards at work: a whole
// frame and the world's update alone, with every one of these pools in use and the ejectors
// launching, beside the same training run's world with none of them (argument 0), in the same
// run. Runs headless on the generated content (release build).
#include <benchmark/benchmark.h>

#include "game/core/CGame.h"
#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/sim/CMusic_Track.h"
#include "game/targets/CEjector_Cylinder.h"
#include "game/targets/CEjector_Simon_1.h"
#include "game/targets/CEjector_Targets.h"
#include "platform/system/random.h"
#include "bench/support/game_bench.h"
#include "tools/content/sim_content.h"

namespace {

constexpr unsigned kFrame_Ms = 16;

// Launches a training run and empties its track and world.
bool Launch_Quiet_Run(vt_test::Game_Harness& harness) {
  g_Menu_Mgr.Command(kCommand_Launch_Training, 1, content::kLaneTrackIds[1], content::kLaneMusicIds[1]);
  harness.Step(5, kFrame_Ms);
  if (g_Game.Get_Mode() != kMode_Simulation || !g_World.m_World_Ready) return false;
  g_Music_Track.m_Sections.clear();
  for (int n = 0; CWorld_Object* object = g_World.Get_Object(n); ++n) object->m_Kill_Timer = 1.0f;
  harness.Step(1, kFrame_Ms);
  return true;
}

void Place(uint32_t type, int variant, float x, float y, float z) {
  const CVector3 place{x, y, z};
  g_Music_Track.Setup_Ejector(type, 0, nullptr, -1, variant, -1, &place, false);
}

// Every cylinder, tower and memory board of the pools, where the track would put them.
void Fill_Pools() {
  const float X = g_World.m_Terrain.size_x, Z = g_World.m_Terrain.size_z, H = g_Camera.Position().y;
  const float cylinder_rows[4][2] = {{0.15f, 0.86f}, {0.85f, 0.86f}, {0.15f, 0.4f}, {0.85f, 0.4f}};
  for (int i = 0; i < 4; ++i) Place(39, 1, cylinder_rows[i][0] * X, 0.0f, cylinder_rows[i][1] * Z);
  for (int i = 0; i < 4; ++i) Place(39, 0, (0.3f + 0.13f * static_cast<float>(i)) * X, 0.0f, 0.65f * Z);
  for (int i = 0; i < 8; ++i) Place(40, 0, (0.1f + 0.11f * static_cast<float>(i)) * X, 0.0f, (i < 4 ? 0.45f : 0.85f) * Z);
  for (int i = 0; i < 6; ++i) Place(47, 0, (0.2f + 0.12f * static_cast<float>(i)) * X, H - 300.0f, 0.43f * Z);
}

// The requests of one frame: towers every 6th frame, cylinders every 15th, a memory-board launch
// every 20th (the pools stay full).
void Request_Launches(int frame) {
  for (int n = 0; CWorld_Object* object = g_World.Find_Object_By_Type(40, n); ++n)
    if (frame % 6 == 0) static_cast<CEjector_Targets*>(object)->Queue_Launch();
  for (int n = 0; CWorld_Object* object = g_World.Find_Object_By_Type(39, n); ++n)
    if (frame % 15 == 0) static_cast<CEjector_Cylinder*>(object)->Launch_Requested = true;
  for (int n = 0; CWorld_Object* object = g_World.Find_Object_By_Type(47, n); ++n)
    if (frame % 20 == 0) static_cast<CEjector_Simon_1*>(object)->Command(2, static_cast<uint32_t>(frame / 20 % 4));
}

// Sets up the world (full for argument 1) and runs it into its steady state.
bool Prepare(vt_bench::Game_Session& game, bool full) {
  if (!Launch_Quiet_Run(game.Harness())) return false;
  plat::Seed_Random(3);
  if (full) Fill_Pools();
  for (int frame = 0; frame < 400; ++frame) {
    if (full) Request_Launches(frame);
    game.Harness().Step(1, kFrame_Ms);
  }
  return true;
}

void BM_Targets1b_Frame(benchmark::State& state) {
  vt_bench::Game_Session game(state);
  if (!game.Started()) return;
  const bool full = state.range(0) != 0;
  game.Require(state, Prepare(game, full), "the training run did not start");
  if (!game.Ready()) return;
  int frame = 0;
  for (auto _ : state) {
    if (full) Request_Launches(frame++);
    game.Harness().Step(1, kFrame_Ms);
  }
  state.counters["objects"] = static_cast<double>([] {
    int n = 0;
    while (g_World.Get_Object(n)) ++n;
    return n;
  }());
}
BENCHMARK(BM_Targets1b_Frame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Targets1b_World_Update(benchmark::State& state) {
  vt_bench::Game_Session game(state);
  if (!game.Started()) return;
  const bool full = state.range(0) != 0;
  game.Require(state, Prepare(game, full), "the training run did not start");
  if (!game.Ready()) return;
  const float delta = static_cast<float>(kFrame_Ms) * 0.0035f;
  int frame = 0;
  for (auto _ : state) {
    if (full) Request_Launches(frame++);
    g_World.Update(g_Time_Factor, kFrame_Ms, delta, delta);
    g_World.End_Frame();
  }
}
BENCHMARK(BM_Targets1b_World_Update)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
