// The ground and firework targets' cost: a whole frame and a world update with every pool of the
// pill, roller, star, sparkler and twirler ejectors and of the line, pill, star, roller, jumper,
// goo, sparkler and twirler targets in use (the sparkler and twirler clouds at their caps),
// beside the same world empty. Compare the pairs' times from one run. Runs headless on the
// generated content.
#include <benchmark/benchmark.h>

#include <string>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/sim/CMusic_Track.h"
#include "game/targets/CEjector_Pill.h"
#include "game/targets/CEjector_Roller.h"
#include "game/targets/CEjector_Sparkler.h"
#include "game/targets/CEjector_Stars.h"
#include "game/targets/CEjector_Twirler.h"
#include "game/targets/CTarget_Goo.h"
#include "game/targets/CTarget_Jumper.h"
#include "game/targets/CTarget_Line.h"
#include "game/targets/CTarget_Pill.h"
#include "game/targets/CTarget_Roller.h"
#include "game/targets/CTarget_Sparkler.h"
#include "game/targets/CTarget_Star.h"
#include "game/targets/CTarget_Twirler.h"
#include "tests/support/game_harness.h"
#include "tools/writers/track_writer.h"

namespace {

constexpr float kTick = 0.0035f;
constexpr unsigned kFrame_Milliseconds = 16;

class Target_Field {
 public:
  explicit Target_Field(benchmark::State& state) {
    std::string error;
    if (!m_Harness.Prepare(&error) || !m_Harness.Start()) {
      state.SkipWithError(("the game did not start: " + error).c_str());
      return;
    }
    m_Ready = m_Harness.Run_Script(
        "frames 5\ncommand 7 1 0x220003E1 0x220003F1\ncamera 800 900 -300 800 200 800\nframes 30\n",
        m_Harness.Work_Dir(), &error);
    if (!m_Ready) {
      state.SkipWithError(error.c_str());
      return;
    }
    Quiet_Track();
  }
  // Replaces the launch's short track with a long one without events, so the run lasts, and
  // sweeps away what the launch placed.
  void Quiet_Track() {
    g_Music_Track.m_Sections.clear();
    for (int n = 0; CWorld_Object* object = g_World.Get_Object(n); ++n) object->m_Kill_Timer = 1.0f;
    m_Harness.Step(1);
    writers::Bytes bytes;
    writers::WriteTrack(writers::TrackSpec{1, 0, 0, 600.0f, {}}, bytes);
    std::string error;
    m_Ready = g_Music_Track.Load_Track_Bytes(bytes.data(), bytes.size(), &error);
    g_Music_Track.m_Running = true;
    g_Music_Track.m_Clock = 0.0f;
    g_Music_Track.m_Ended = g_Music_Track.m_End_Requested = false;
  }
  ~Target_Field() { m_Harness.Shut_Down(); }
  bool Ready() const { return m_Ready; }
  vt_test::Game_Harness& Harness() { return m_Harness; }

 private:
  vt_test::Game_Harness m_Harness;
  bool m_Ready = false;
};

float Spread(int i, float step, float from) { return from + step * static_cast<float>(i % 12); }

CVector3 Sky(int i) { return CVector3{Spread(i, 100.0f, 250.0f), 600.0f + 20.0f * static_cast<float>(i), 700.0f}; }

// Takes every free object of the pools here, sets each up and puts it in the world; ejectors are
// risen at once and every live one is asked to launch.
void Fill_Pools() {
  CEjector_Twirler* mast = nullptr;
  for (int i = 0; CWorld_Object* o = CEjector_Twirler::Pool()->Alloc_Object(); ++i) {
    auto* e = static_cast<CEjector_Twirler*>(o);
    e->Spawn(CVector3{Spread(i, 130.0f, 200.0f), -300.0f, 1100.0f});
    g_World.Add_Object(1, e);
    mast = e;
  }
  for (int i = 0; CWorld_Object* o = CEjector_Pill::Pool()->Alloc_Object(); ++i) {
    static_cast<CEjector_Pill*>(o)->Spawn(i % 2, i % 4, Sky(i));
    g_World.Add_Object(1, o);
  }
  for (int i = 0; CWorld_Object* o = CEjector_Roller::Pool()->Alloc_Object(); ++i) {
    static_cast<CEjector_Roller*>(o)->Spawn(i % 4, i % 4, CVector3{Spread(i, 100.0f, 300.0f), 20.0f, 500.0f});
    g_World.Add_Object(1, o);
  }
  for (int i = 0; CWorld_Object* o = CEjector_Stars::Pool()->Alloc_Object(); ++i) {
    static_cast<CEjector_Stars*>(o)->Spawn(0, i % 4, CVector3{Spread(i, 100.0f, 200.0f), 200.0f, 900.0f});
    g_World.Add_Object(1, o);
  }
  for (int i = 0; CWorld_Object* o = CEjector_Sparkler::Pool()->Alloc_Object(); ++i) {
    const uint8_t flag = 1;
    static_cast<CEjector_Sparkler*>(o)->Spawn(flag, static_cast<uint32_t>(i % 3), 1 + i % 4,
                                              CVector3{Spread(i, 100.0f, 250.0f), 300.0f, 600.0f + i});
    g_World.Add_Object(1, o);
  }
  for (int i = 0; CWorld_Object* o = CTarget_Line::Pool()->Alloc_Object(); ++i) {
    static_cast<CTarget_Line*>(o)->Spawn(i % 4);
    o->Set_Position(CVector3{800.0f, 300.0f + 30.0f * i, 900.0f});
    g_World.Add_Object(1, o);
  }
  for (int i = 0; CWorld_Object* o = CTarget_Goo::Pool()->Alloc_Object(); ++i) {
    const uint8_t small = 1;
    static_cast<CTarget_Goo*>(o)->Spawn(i % 4, small);
    o->Set_Position(Sky(i));
    g_World.Add_Object(2, o);
  }
  for (int i = 0; CWorld_Object* o = CTarget_Jumper::Pool()->Alloc_Object(); ++i) {
    static_cast<CTarget_Jumper*>(o)->Spawn(i % 4, i % 3);
    o->Set_Position(CVector3{Spread(i, 120.0f, 200.0f), 70.0f, 800.0f});
    g_World.Add_Object(2, o);
  }
  for (int i = 0; CWorld_Object* o = CTarget_Sparkler::Pool()->Alloc_Object(); ++i) {
    static_cast<CTarget_Sparkler*>(o)->Spawn(1 + i % 4);
    o->Set_Position(Sky(i));
    g_World.Add_Object(1, o);
  }
  for (int i = 0; CWorld_Object* o = CTarget_Twirler::Pool()->Alloc_Object(); ++i) {
    static_cast<CTarget_Twirler*>(o)->Spawn(i % 4, mast, Sky(i));
    g_World.Add_Object(2, o);
  }
  for (uint32_t type : {CTarget_Pill::kType, CTarget_Star::kType, CTarget_Roller::kType}) {
    for (int i = 0; CWorld_Object* o = g_Object_Pools[type]->Alloc_Object(); ++i) {
      if (type == CTarget_Roller::kType)
        static_cast<CTarget_Roller*>(o)->Spawn(i % 4, i % 4);
      else if (type == CTarget_Pill::kType)
        static_cast<CTarget_Pill*>(o)->Spawn(i % 4);
      else
        static_cast<CTarget_Star*>(o)->Spawn(i % 4);
      o->Set_Position(Sky(i + 3));
      g_World.Add_Object(2, o);
    }
  }
}

// Keeps every object alive and every cloud at its cap.
void Keep_Full() {
  for (int n = 0; CWorld_Object* o = g_World.Get_Object(n); ++n) {
    o->m_Kill_Timer = 0.0f;
    if (o->m_Type == CTarget_Sparkler::kType) {
      auto* s = static_cast<CTarget_Sparkler*>(o);
      while (s->Add_Sparkle(s->m_Position, CVector3{10.0f, 30.0f, 0.0f}, true)) {
      }
    } else if (o->m_Type == CTarget_Twirler::kType) {
      auto* t = static_cast<CTarget_Twirler*>(o);
      while (t->Add_Sparkle(t->m_Position, CVector3{0.0f, 20.0f, 10.0f})) {
      }
    }
  }
  Fill_Pools();
}

void Step_World() {
  const float delta = kTick * kFrame_Milliseconds;
  g_World.Update(kTick, kFrame_Milliseconds, delta, delta);
}

void BM_Frame_Empty(benchmark::State& state) {
  Target_Field field(state);
  if (!field.Ready()) return;
  for (auto _ : state) field.Harness().Step(1);
}
BENCHMARK(BM_Frame_Empty)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_Frame_Ground_Targets_Full(benchmark::State& state) {
  Target_Field field(state);
  if (!field.Ready()) return;
  Fill_Pools();
  field.Harness().Step(30);
  int frame = 0;
  for (auto _ : state) {
    if (frame++ % 10 == 0) {
      state.PauseTiming();
      Keep_Full();
      state.ResumeTiming();
    }
    field.Harness().Step(1);
  }
  state.counters["objects"] = static_cast<double>([] {
    int n = 0;
    while (g_World.Get_Object(n)) ++n;
    return n;
  }());
}
BENCHMARK(BM_Frame_Ground_Targets_Full)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_World_Update_Empty(benchmark::State& state) {
  Target_Field field(state);
  if (!field.Ready()) return;
  for (auto _ : state) Step_World();
}
BENCHMARK(BM_World_Update_Empty)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_World_Update_Ground_Targets_Full(benchmark::State& state) {
  Target_Field field(state);
  if (!field.Ready()) return;
  Fill_Pools();
  field.Harness().Step(30);
  int frame = 0;
  for (auto _ : state) {
    if (frame++ % 10 == 0) {
      state.PauseTiming();
      Keep_Full();
      state.ResumeTiming();
    }
    Step_World();
  }
}
BENCHMARK(BM_World_Update_Ground_Targets_Full)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
