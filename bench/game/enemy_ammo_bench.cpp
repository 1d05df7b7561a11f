// The enemy ammunition's cost: a whole frame, and the world's update alone, with every
// ammunition pool full (122 objects, all in the per-millisecond list), beside the same training
// run's world empty. Compare each pair's times from one run. Runs headless on the generated
// content. The ammunition hovers far down the field (no pull towards the camera, aims and
// waypoints where each one is) and is put back every 40 frames, untimed, so that every
// iteration steps a full world.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/enemies/CEmmo_Anti_Matter.h"
#include "game/enemies/CEmmo_Ball.h"
#include "game/enemies/CEmmo_Ball_2.h"
#include "game/enemies/CEmmo_Bar_1.h"
#include "game/enemies/CEmmo_Bomb.h"
#include "game/enemies/CEmmo_Bullet_1.h"
#include "game/enemies/CEmmo_Can.h"
#include "game/enemies/CEmmo_Crystal_1.h"
#include "game/enemies/CEmmo_Discus_1.h"
#include "game/enemies/CEmmo_Missile_1.h"
#include "game/enemies/CEmmo_Roller.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "tests/support/game_harness.h"

namespace {

constexpr float kTick = 0.0035f;
constexpr unsigned kFrame_Milliseconds = 16;
constexpr int kRefill_Frames = 40;

class Ammo_Field {
 public:
  explicit Ammo_Field(benchmark::State& state) {
    std::string error;
    if (!m_Harness.Prepare(&error) || !m_Harness.Start()) {
      state.SkipWithError(("the game did not start: " + error).c_str());
      return;
    }
    m_Ready = m_Harness.Run_Script("frames 5\ncommand 7 1 0x220003E1 0x220003F1\ncamera 800 450 300 800 0 1300\nframes 5\n",
                                   m_Harness.Work_Dir(), &error);
    if (!m_Ready) state.SkipWithError(error.c_str());
    Clear();
  }
  ~Ammo_Field() {
    g_Difficulty_Factor = 1.0f;
    m_Harness.Shut_Down();
  }
  bool Ready() const { return m_Ready; }
  vt_test::Game_Harness& Harness() { return m_Harness; }

  // Sweeps every object out of the world.
  void Clear() {
    for (int n = 0; CWorld_Object* object = g_World.Get_Object(n); ++n) object->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }

  // Fills every ammunition pool into the world; answers how many were placed.
  int Fill() {
    Clear();
    g_Difficulty_Factor = 0.0f;
    int placed = 0;
    for (uint32_t type = CEmmo_Ball::kType; type <= CEmmo_Can::kType; ++type) {
      CObject_Pool* pool = g_Object_Pools[type];
      if (!pool) continue;
      for (int i = 0; CWorld_Object* object = pool->Alloc_Object(); ++i) {
        const CVector3 place{200.0f + 40.0f * float(i % 30), 500.0f + 30.0f * float(type - 55),
                             1500.0f + 40.0f * float(i / 30) + 3.0f * float(type)};
        Set_Up(type, object, place, i);
        g_World.Add_Object(2, object);
        ++placed;
      }
    }
    return placed;
  }

 private:
  static void Set_Up(uint32_t type, CWorld_Object* object, const CVector3& place, int i) {
    const int variant = i % 4;
    switch (type) {
      case 55: static_cast<CEmmo_Ball*>(object)->Setup(variant); break;
      case 56: static_cast<CEmmo_Ball_2*>(object)->Spawn(&variant, &place); break;
      case 57: static_cast<CEmmo_Crystal_1*>(object)->Setup(place); break;
      case 58: {
        auto* missile = static_cast<CEmmo_Missile_1*>(object);
        missile->Spawn(&place);
        for (CVector3& point : missile->m_Waypoints) point = place;
        break;
      }
      case 59: static_cast<CEmmo_Discus_1*>(object)->Spawn(&variant, &place); break;
      case 60: {
        auto* bar = static_cast<CEmmo_Bar_1*>(object);
        bar->Spawn(&variant, &place);
        bar->m_Aim = place;
        break;
      }
      case 61: {
        const int direction = i % 5;
        static_cast<CEmmo_Bullet_1*>(object)->Spawn(&variant, &direction, &place);
        break;
      }
      case 62: static_cast<CEmmo_Bomb*>(object)->Setup(place); break;
      case 63: {
        const int blob = i % 2;
        static_cast<CEmmo_Anti_Matter*>(object)->Spawn(&blob);
        break;
      }
      case 64: static_cast<CEmmo_Roller*>(object)->Spawn(&variant); break;
      case 65: static_cast<CEmmo_Can*>(object)->Spawn(&variant, &place); break;
      default: break;
    }
    object->Set_Position(place);
  }

  vt_test::Game_Harness m_Harness;
  bool m_Ready = false;
};

template <class Step>
void Run(benchmark::State& state, bool full, Step step) {
  Ammo_Field field(state);
  if (!field.Ready()) return;
  int placed = full ? field.Fill() : 0;
  int frame = 0;
  for (auto _ : state) {
    if (full && ++frame % kRefill_Frames == 0) {
      state.PauseTiming();
      placed = field.Fill();
      state.ResumeTiming();
    }
    step(field);
  }
  state.counters["ammunition"] = placed;
}

void Frame(Ammo_Field& field) { field.Harness().Step(1); }
void World_Update(Ammo_Field&) {
  const float delta = kTick * kFrame_Milliseconds;
  g_World.Update(kTick, kFrame_Milliseconds, delta, delta);
}

void BM_FrameEmptyWorld(benchmark::State& state) { Run(state, false, Frame); }
void BM_FrameEveryAmmunitionPoolFull(benchmark::State& state) { Run(state, true, Frame); }
void BM_WorldUpdateEmpty(benchmark::State& state) { Run(state, false, World_Update); }
void BM_WorldUpdateEveryAmmunitionPoolFull(benchmark::State& state) { Run(state, true, World_Update); }

BENCHMARK(BM_FrameEmptyWorld)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameEveryAmmunitionPoolFull)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_WorldUpdateEmpty)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_WorldUpdateEveryAmmunitionPoolFull)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
