// The missiles' and the lightning's cost: a whole frame with eight missiles in flight (each
// refitting and drawing its trail and flame) and the lightning gun's 24 bolts alive, beside the
// same world's frame with the lightning gun idle; and eight trail renders (refit and draw)
// beside the same triangles drawn through the draw-prim. Compare each pair's times from one
// run. Runs headless on the generated content.
#include <benchmark/benchmark.h>

#include <string>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/fx/CFX_Poly_Trail.h"
#include "runtime/src/render/iks_render_device.h"
#include "game/player/CPlayer_Weapon_Gun_Lightning_0.h"
#include "game/player/CAmmo_Missile_0.h"
#include "tests/support/game_harness.h"

namespace {

// A training run with the lightning gun, the camera down the field.
class Lightning_Field {
 public:
  explicit Lightning_Field(benchmark::State& state) {
    std::string error;
    if (!m_Harness.Prepare(&error) || !m_Harness.Start()) {
      state.SkipWithError(("the game did not start: " + error).c_str());
      return;
    }
    m_Ready = m_Harness.Run_Script("frames 5\nloadout 4 0\ncommand 7 1 0x220003E1 0x220003F1\n"
                                   "camera 800 450 300 800 0 1300\nmove 400 250\nframes 60\n",
                                   m_Harness.Work_Dir(), &error);
    if (!m_Ready) state.SkipWithError(error.c_str());
  }
  ~Lightning_Field() { m_Harness.Shut_Down(); }
  bool Ready() const { return m_Ready; }
  vt_test::Game_Harness& Harness() { return m_Harness; }

 private:
  vt_test::Game_Harness m_Harness;
  bool m_Ready = false;
};

void BM_FrameWithTheLightningGunIdle(benchmark::State& state) {
  Lightning_Field field(state);
  if (!field.Ready()) return;
  for (auto _ : state) field.Harness().Step(1);
}
BENCHMARK(BM_FrameWithTheLightningGunIdle)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Puts a missile back at its lane, flying up the field high above the ground.
void Relaunch(CAmmo_Missile_0* missile, int lane) {
  missile->Set_Position(CVector3{400.0f + 100.0f * float(lane), 700.0f, 600.0f});
  missile->m_Orientation = CMatrix3x3::Identity;
  missile->m_Sphere.velocity = CVector3{0.0f, 0.0f, 700.0f};
  missile->m_Life = CAmmo_Missile_0::kLife;
  missile->m_Flight_Time = 0.0f;
  missile->m_Kill_Timer = 0.0f;
  missile->m_State_Flags |= kState_No_Object_Collision | kState_No_World_Contact;
}

void BM_FrameWithEightMissilesAndTwentyFourBolts(benchmark::State& state) {
  Lightning_Field field(state);
  if (!field.Ready()) return;
  CAmmo_Missile_0* missiles[8] = {};
  for (int i = 0; i < 8; ++i) {
    missiles[i] = static_cast<CAmmo_Missile_0*>(CAmmo_Missile_0::Pool()->Alloc_Object());
    if (!missiles[i]) {
      state.SkipWithError("the missile pool is empty");
      return;
    }
    missiles[i]->Spawn(CVector3{800.0f, 700.0f, 600.0f}, 0);
    g_World.Add_Object(1, missiles[i]);
    missiles[i]->Launch(nullptr);
    Relaunch(missiles[i], i);
  }
  CFX_Lightning* bolts = g_Gun_Lightning.m_Bolts;
  for (int i = 0; i < CPlayer_Weapon_Gun_Lightning_0::kBolt_Count; ++i)
    bolts[i].Setup(i % 3, CVector3{600.0f + 20.0f * float(i), 300.0f, 500.0f},
                   CVector3{700.0f + 10.0f * float(i), 50.0f, 1300.0f}, 0xFF6666FF, 1.5f, 1.0e6f, 1.0f);
  int frame = 0;
  for (auto _ : state) {
    if (++frame % 20 == 0)
      for (int i = 0; i < 8; ++i) Relaunch(missiles[i], i);
    field.Harness().Step(1);  // the gun updates and draws its bolts
  }
  for (int i = 0; i < 8; ++i) missiles[i]->m_Kill_Timer = 1.0f;
}
BENCHMARK(BM_FrameWithEightMissilesAndTwentyFourBolts)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Eight trails laid along the field, each with its ring of points filled.
struct Eight_Trails {
  CFX_Poly_Trail trails[8];
  CVector3 heads[8];
  Eight_Trails() {
    for (int i = 0; i < 8; ++i) {
      CVector3 p{400.0f + 100.0f * float(i), 600.0f, 400.0f};
      trails[i].Setup(p, 0xFFFFDDAA, 1.0f, 6.0f);
      for (int k = 0; k < CFX_Poly_Trail::kRing; ++k) {
        p.z += 30.0f;
        p.x += 4.0f * float((k % 5) - 2);
        trails[i].Update(0.02f, p);
      }
      heads[i] = p;
    }
  }
};

void Begin_Frame() {
  g_pRenderDevice->Begin_Render();
  g_pRenderDevice->Clear(nullptr, kClearTarget | kClearDepth, 0xFF000000, 0);
  g_pRenderDevice->BeginScene();
}

void End_Frame() {
  g_pRenderDevice->EndScene();
  g_pRenderDevice->Present(nullptr);
}

void BM_EightTrailRenders(benchmark::State& state) {
  Lightning_Field field(state);
  if (!field.Ready()) return;
  Eight_Trails eight;
  for (auto _ : state) {
    Begin_Frame();
    for (int i = 0; i < 8; ++i) eight.trails[i].Render(eight.heads[i], 1.0f);
    End_Frame();
  }
}
BENCHMARK(BM_EightTrailRenders)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_EightTrailsTrianglesThroughTheDrawPrim(benchmark::State& state) {
  Lightning_Field field(state);
  if (!field.Ready()) return;
  Eight_Trails eight;
  for (int i = 0; i < 8; ++i) eight.trails[i].Build_Ribbons(eight.heads[i], 1.0f);
  for (auto _ : state) {
    Begin_Frame();
    g_D3DDrawPrim.SetTransformType(kDrawPrimWorld);
    for (const CFX_Poly_Trail& trail : eight.trails)
      g_D3DDrawPrim.DrawTexTriangles(reinterpret_cast<const DrawPrimTexTriangle*>(trail.m_Vertices),
                                     CFX_Poly_Trail::kVertices / 3);
    End_Frame();
  }
}
BENCHMARK(BM_EightTrailsTrianglesThroughTheDrawPrim)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
