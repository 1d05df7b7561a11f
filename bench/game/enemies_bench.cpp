// The enemies' cost: a whole frame, and the world's update alone (16 fixed steps and one frame
// step), with every emplacement and enemy pool full and firing, beside the same world empty.
// Compare each pair's times from one run. Runs headless on the generated content.
#include <benchmark/benchmark.h>

#include <string>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/sim/CMusic_Track.h"
#include "tests/support/game_harness.h"
#include "tests/support/harness_spawn.h"

namespace {

constexpr float kTick = 0.0035f;
constexpr unsigned kFrame_Milliseconds = 16;
// The emplacement and enemy types with the height above the ground each stands at.
struct Enemy_Row {
  uint32_t type;
  float height;
};
constexpr Enemy_Row kEnemies[] = {{50, 0}, {51, 0}, {52, 0}, {53, 0}, {54, 400}, {8, 350}, {66, 0}, {67, 0}, {68, 375}};

// A training run on the short lane track, its events gone, the camera down the field.
class Enemy_Field {
 public:
  explicit Enemy_Field(benchmark::State& state) {
    std::string error;
    if (!m_Harness.Prepare(&error) || !m_Harness.Start()) {
      state.SkipWithError(("the game did not start: " + error).c_str());
      return;
    }
    m_Ready = m_Harness.Run_Script("frames 5\ncommand 7 1 0x220003E1 0x220003F1\ncamera 800 450 -100 800 300 1400\n",
                                   m_Harness.Work_Dir(), &error);
    if (!m_Ready) {
      state.SkipWithError(error.c_str());
      return;
    }
    g_Music_Track.m_Sections.clear();
    for (int n = 0; CWorld_Object* object = g_World.Get_Object(n); ++n) object->m_Kill_Timer = 1.0f;
    m_Harness.Step(1);
  }
  ~Enemy_Field() { m_Harness.Shut_Down(); }
  bool Ready() const { return m_Ready; }
  vt_test::Game_Harness& Harness() { return m_Harness; }

  // Spawns enemies of every type until each pool is empty, spread over the field.
  void Fill() {
    int n = 0;
    for (const Enemy_Row& row : kEnemies) {
      CObject_Pool* pool = g_Object_Pools[row.type];
      while (pool && pool->Has_Free_Object()) {
        const float x = 300.0f + 100.0f * float(n % 11), z = 1000.0f + 60.0f * float(n % 7);
        if (!vt_test::Spawn_Object(row.type, x, row.height, z, {}, nullptr)) break;
        ++n;
      }
    }
  }
  // Asks every live emplacement and the boss to fire.
  void Fire() {
    for (uint32_t type : {50u, 51u, 52u, 53u, 54u}) vt_test::Trigger_Objects(type, -1);
    vt_test::Command_Object(68, 0, 0, 2);
  }

 private:
  vt_test::Game_Harness m_Harness;
  bool m_Ready = false;
};

void Frames(benchmark::State& state, bool full) {
  Enemy_Field field(state);
  if (!field.Ready()) return;
  int frame = 0;
  for (auto _ : state) {
    if (full && frame % 15 == 0) {
      field.Fill();
      field.Fire();
    }
    ++frame;
    field.Harness().Step(1);
  }
}

void World_Updates(benchmark::State& state, bool full) {
  Enemy_Field field(state);
  if (!field.Ready()) return;
  if (full) {
    field.Fill();
    field.Harness().Step(60);
  }
  const float delta = kTick * kFrame_Milliseconds;
  int frame = 0;
  for (auto _ : state) {
    if (full && frame % 15 == 0) {
      state.PauseTiming();
      g_World.Remove_Dead_Objects();
      field.Fill();
      field.Fire();
      state.ResumeTiming();
    }
    ++frame;
    g_World.Update(kTick, kFrame_Milliseconds, delta, delta);
  }
}

void BM_FrameWithNoEnemies(benchmark::State& state) { Frames(state, false); }
void BM_FrameWithEveryEnemyPoolFullAndFiring(benchmark::State& state) { Frames(state, true); }
void BM_WorldUpdateWithNoEnemies(benchmark::State& state) { World_Updates(state, false); }
void BM_WorldUpdateWithEveryEnemyPoolFullAndFiring(benchmark::State& state) { World_Updates(state, true); }
BENCHMARK(BM_FrameWithNoEnemies)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameWithEveryEnemyPoolFullAndFiring)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_WorldUpdateWithNoEnemies)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_WorldUpdateWithEveryEnemyPoolFullAndFiring)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
