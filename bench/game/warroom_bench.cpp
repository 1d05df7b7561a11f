// The War Room: Update_Infection(3) on region 1 beside a plain pass over the same relief texels
// (lock, touch every alpha three times, unlock), and one frame of the map and the flight view
// beside an empty menu frame at 640x480, each pair in the same run on the same device.
// Headless, on the generated content.
#include <benchmark/benchmark.h>

#include <string>

#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/warroom/CWarRoom_Map.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "game/warroom/CWarRoom_World.h"
#include "platform/system/random.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/render/iks_render_device.h"
#include "tests/support/game_harness.h"

namespace {

class Mission_Game {
 public:
  explicit Mission_Game(benchmark::State& state) {
    std::string error;
    if (!m_Harness.Prepare(&error) || !m_Harness.Start()) {
      state.SkipWithError(("the game did not start: " + error).c_str());
      return;
    }
    m_Harness.Step(3);
    // 640x480, the smallest display mode.
    g_Game_State.Display_Resolution = 0;
    g_Menu_Mgr.Reset_Display_Mode();
    m_Harness.Step(1);
    plat::Seed_Random(1);
    m_Ready = g_pRenderDevice && g_WarRoom_Sim.Init(1) && m_Map.Init() && m_World.Init();
    if (!m_Ready) state.SkipWithError("the War Room did not start");
  }
  ~Mission_Game() {
    m_World.Term();
    m_Map.Term();
    g_WarRoom_Sim.Clear_Region();
    m_Harness.Shut_Down();
  }
  bool Ready() const { return m_Ready; }
  CWarRoom_Map& Map() { return m_Map; }
  CWarRoom_World& World() { return m_World; }

 private:
  vt_test::Game_Harness m_Harness;
  CWarRoom_Map m_Map;
  CWarRoom_World m_World;
  bool m_Ready = false;
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

void BM_UpdateInfection3(benchmark::State& state) {
  Mission_Game game(state);
  if (!game.Ready()) return;
  for (auto _ : state) game.Map().Update_Infection(3);
}
BENCHMARK(BM_UpdateInfection3)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_PlainPassOverReliefTexels(benchmark::State& state) {
  Mission_Game game(state);
  if (!game.Ready()) return;
  CTextureData* texture = g_pTexture->GetTexture(g_WarRoom_Sim.m_MiniMap_Texture_Id);
  const uint32_t count = g_pTexture->GetWidth(texture, 0) * g_pTexture->GetHeight(texture, 0);
  for (auto _ : state) {
    uint8_t* pixels = g_pTexture->LockTexture(texture);
    for (int pass = 0; pass < 3; ++pass)
      for (uint32_t i = 0; i < count; ++i) pixels[i * 4 + 3] = static_cast<uint8_t>(pixels[i * 4 + 3] + 1);
    benchmark::DoNotOptimize(pixels);
    g_pTexture->UnlockTexture(texture);
  }
  g_pTexture->ReleaseTexture(texture);
}
BENCHMARK(BM_PlainPassOverReliefTexels)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_WarRoomMapAndFlightFrame(benchmark::State& state) {
  Mission_Game game(state);
  if (!game.Ready()) return;
  for (auto _ : state) {
    Begin_Frame();
    game.World().Update(0.05f);
    game.World().Render(0.05f);
    game.Map().Update(0.05f);
    game.Map().Frame(0.05f);
    End_Frame();
  }
}
BENCHMARK(BM_WarRoomMapAndFlightFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_EmptyMenuFrame(benchmark::State& state) {
  Mission_Game game(state);
  if (!game.Ready()) return;
  for (auto _ : state) {
    Begin_Frame();
    End_Frame();
  }
}
BENCHMARK(BM_EmptyMenuFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
