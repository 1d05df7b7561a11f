// The cost of the effects in a launched world: 640 particles with terrain bounce updated and
// drawn by their three managers, beside a plain loop that writes the same sprites and draws
// them; 32 shadows of radius 50, beside the same patches drawn without the style writes. Each
// pair runs in the same process; compare their times as a ratio.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/support/game_bench.h"
#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/fx/CParticle_Basic_Mgr.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/CTerrain_Patch.h"
#include "game/fx/FX_Resources.h"
#include "game/menu/CMenu_Mgr.h"
#include "platform/system/random.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/sprite_array.h"

namespace {

constexpr float kStep = 0.056f;  // 16 milliseconds of play

// The program with a training world launched, for the length of one benchmark.
class Launched_World : public vt_bench::Game_Session {
 public:
  explicit Launched_World(benchmark::State& state) : Game_Session(state) {
    if (!Started()) return;
    g_Menu_Mgr.Command(kCommand_Launch_Training, 1);
    Harness().Step(5);
    Require(state, g_World.Has_Terrain() && g_Particle_Add_Mgr.Is_Initialised() && g_pRenderDevice,
            "no world was launched");
  }
};

using vt_bench::Begin_Frame;
using vt_bench::End_Frame;

// Keeps every table full of bouncing particles near the ground.
void Fill(CParticle_Add_Mgr& mgr) {
  while (mgr.Live_Count() < mgr.Capacity()) {
    const float x = 700.0f + 200.0f * plat::Random() / 32768.0f, z = 700.0f + 200.0f * plat::Random() / 32768.0f;
    const CVector3 velocity{20.0f, -60.0f, 10.0f};
    if (!mgr.Add_Particle(CVector3{x, 24.0f, z}, velocity, 8.0f, 1000.0f, 0xFFFFC080, 1.0f,
                          &mgr == &g_Particle_Sparkle_Mgr ? uint8_t{kSparkle_Collides} : uint8_t{kParticle_Collides}))
      break;
  }
}

void BM_Particles640WithBounceUpdatedAndDrawn(benchmark::State& state) {
  Launched_World world(state);
  if (!world.Ready()) return;
  CParticle_Add_Mgr* managers[3] = {&g_Particle_Basic_Mgr, &g_Particle_Add_Mgr, &g_Particle_Sparkle_Mgr};
  for (auto _ : state) {
    for (CParticle_Add_Mgr* mgr : managers) Fill(*mgr);
    Begin_Frame();
    for (CParticle_Add_Mgr* mgr : managers) mgr->Render(kStep);
    End_Frame();
  }
}
BENCHMARK(BM_Particles640WithBounceUpdatedAndDrawn)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The baseline: the same sprite arrays written with plain positions and colours and drawn.
void BM_Plain640SpriteWrites(benchmark::State& state) {
  Launched_World world(state);
  if (!world.Ready()) return;
  CParticle_Add_Mgr* managers[3] = {&g_Particle_Basic_Mgr, &g_Particle_Add_Mgr, &g_Particle_Sparkle_Mgr};
  for (CParticle_Add_Mgr* mgr : managers) Fill(*mgr);
  CMatrix4x4 identity;
  identity.Set_Identity();
  float t = 0.0f;
  for (auto _ : state) {
    t += kStep;
    Begin_Frame();
    for (CParticle_Add_Mgr* mgr : managers) {
      CSpriteArray* sprites = mgr->Sprites();
      sprites->Lock();
      for (uint32_t i = 1; i <= mgr->Capacity(); ++i) {
        sprites->SetPosition(i, CVector3{700.0f + i, 24.0f + t, 800.0f});
        sprites->SetColor(i, 0x80FFC080);
      }
      sprites->Unlock();
      sprites->Render(&identity, nullptr, nullptr);
    }
    End_Frame();
  }
}
BENCHMARK(BM_Plain640SpriteWrites)->Unit(benchmark::kMicrosecond)->UseRealTime();

CVector3 Shadow_Place(int i) { return CVector3{500.0f + 20.0f * (i % 8), 30.0f, 500.0f + 25.0f * (i / 8)}; }

void BM_Shadows32OfRadius50(benchmark::State& state) {
  Launched_World world(state);
  if (!world.Ready()) return;
  for (auto _ : state) {
    Begin_Frame();
    for (int i = 0; i < 32; ++i) CShadowProjector::Cast_Shadow(0, Shadow_Place(i), 40.0f, 1.0f);
    End_Frame();
  }
}
BENCHMARK(BM_Shadows32OfRadius50)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The baseline: the same 32 patches (radius 50) drawn with the shadow style as it stands.
void BM_Patches32WithoutStyleWrites(benchmark::State& state) {
  Launched_World world(state);
  if (!world.Ready()) return;
  auto* patch = new CTerrain_Patch();
  CTextureData* texture = fx::Get_Texture(0x2200000D);
  for (auto _ : state) {
    Begin_Frame();
    for (int i = 0; i < 32; ++i) {
      const CVector3 at = Shadow_Place(i);
      const int n = patch->Build(at.x, at.z, 50.0f);
      g_D3DDrawPrim.SetTransformType(kDrawPrimWorld);
      g_D3DDrawPrim.SetTexture(texture, 0);
      g_D3DDrawPrim.SetRenderStyle(CShadowProjector::Style());
      g_D3DDrawPrim.DrawTexTriangles(patch->Triangles(), static_cast<uint32_t>(n));
    }
    End_Frame();
  }
  fx::Release(texture);
  delete patch;
}
BENCHMARK(BM_Patches32WithoutStyleWrites)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
