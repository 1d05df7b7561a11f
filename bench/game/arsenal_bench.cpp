// The arsenal's cost: a whole busy firing frame (machine gun held, bullets among 64 stand-in
// targets, their sparks, dust and marks, the gun's drawing) beside the same world's frame with
// the gun idle; and the bullet manager's step of 16 bullets beside a plain loop that moves the
// same 16 segments. Compare each pair's times from one run. Runs headless on the generated
// content.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "game/core/CGame.h"
#include "game/core/WinMain.h"
#include "game/player/CBullet_Machine_Mgr.h"
#include "game/player/CPlayer_Weapon_Gun_Machine_0.h"
#include "tests/support/game_harness.h"

namespace {

// A training run with the machine gun, the camera down the field and 64 stand-ins on an 8 x 8
// grid in front of it.
class Launched_Field {
 public:
  explicit Launched_Field(benchmark::State& state) {
    std::string error;
    if (!m_Harness.Prepare(&error) || !m_Harness.Start()) {
      state.SkipWithError(("the game did not start: " + error).c_str());
      return;
    }
    std::ostringstream script;
    script << "frames 5\nloadout 2 0\ncommand 7 1 0x220003E1 0x220003F1\ncamera 800 450 300 800 0 1300\n";
    for (int row = 0; row < 8; ++row)
      for (int column = 0; column < 8; ++column)
        script << "spawn " << ((row + column) % 2 ? "box" : "sphere") << " " << 520 + 80 * column << " 0 "
               << 950 + 70 * row << " 25\n";
    script << "move 400 250\nframes 60\n";
    m_Ready = m_Harness.Run_Script(script.str(), m_Harness.Work_Dir(), &error);
    if (!m_Ready) state.SkipWithError(error.c_str());
  }
  ~Launched_Field() { m_Harness.Shut_Down(); }
  bool Ready() const { return m_Ready; }
  vt_test::Game_Harness& Harness() { return m_Harness; }

 private:
  vt_test::Game_Harness m_Harness;
  bool m_Ready = false;
};

void BM_FrameWithTheGunIdle(benchmark::State& state) {
  Launched_Field field(state);
  if (!field.Ready()) return;
  for (auto _ : state) field.Harness().Step(1);
}
BENCHMARK(BM_FrameWithTheGunIdle)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_FrameWithTheMachineGunHeld(benchmark::State& state) {
  Launched_Field field(state);
  if (!field.Ready()) return;
  field.Harness().Left_Down();
  field.Harness().Step(30);
  for (auto _ : state) {
    g_Gun_Machine.m_Heat = 0.0f;  // keep it firing
    field.Harness().Step(1);
  }
  field.Harness().Left_Up();
}
BENCHMARK(BM_FrameWithTheMachineGunHeld)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Sixteen bullets fanned into the field from the gun's height.
void Fire_Sixteen() {
  g_Bullet_Machine_Mgr.Update_Bullets(10.0f);
  for (int i = 0; i < CBullet_Machine_Mgr::kMax_Bullets; ++i)
    g_Bullet_Machine_Mgr.Fire(CVector3{560.0f + 30.0f * i, 300.0f, 500.0f}, CVector3{0.0f, -200.0f, 5000.0f});
}

void BM_UpdateSixteenBullets(benchmark::State& state) {
  Launched_Field field(state);
  if (!field.Ready()) return;
  int steps = 0;
  Fire_Sixteen();
  for (auto _ : state) {
    g_Bullet_Machine_Mgr.Update_Bullets(0.056f);
    if (++steps == 30) {
      state.PauseTiming();
      Fire_Sixteen();
      steps = 0;
      state.ResumeTiming();
    }
  }
}
BENCHMARK(BM_UpdateSixteenBullets)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_PlainLoopOverSixteenSegments(benchmark::State& state) {
  struct Segment {
    CVector3 position, velocity;
    float life;
  };
  Segment segments[16];
  for (int i = 0; i < 16; ++i) segments[i] = {{560.0f + 30.0f * i, 300.0f, 500.0f}, {0.0f, -200.0f, 5000.0f}, 1.0f};
  for (auto _ : state) {
    for (Segment& s : segments) {
      s.position.Set(s.position.x + s.velocity.x * 0.056f, s.position.y + s.velocity.y * 0.056f,
                     s.position.z + s.velocity.z * 0.056f);
      s.life -= 0.028f;
      if (s.life <= 0.0f) s.life = 1.0f;
    }
    benchmark::DoNotOptimize(segments);
  }
}
BENCHMARK(BM_PlainLoopOverSixteenSegments)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
