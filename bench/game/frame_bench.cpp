// The game's own cost per frame with no world: one whole frame in the menus (time step, the
// updates, the render bookkeeping, the cursor, present) beside an empty frame of the same device
// that only clears and presents, in the same run. Runs headless on the generated content.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "game/core/CGame.h"
#include "game/core/WinMain.h"
#include "runtime/src/render/iks_render_device.h"
#include "tests/support/game_harness.h"

namespace {

// The program started in the menus for the length of one benchmark.
class Started_Game {
 public:
  explicit Started_Game(benchmark::State& state) {
    std::string error;
    if (!m_Harness.Prepare(&error) || !m_Harness.Start()) {
      state.SkipWithError(("the game did not start: " + error).c_str());
      return;
    }
    m_Harness.Step(5);
    m_Ready = g_Game.Get_Mode() == kMode_Menus && g_pRenderDevice != nullptr;
    if (!m_Ready) state.SkipWithError("the game is not in the menus");
  }
  ~Started_Game() { m_Harness.Shut_Down(); }
  bool Ready() const { return m_Ready; }

 private:
  vt_test::Game_Harness m_Harness;
  bool m_Ready = false;
};

void BM_EmptyClearAndPresentFrame(benchmark::State& state) {
  Started_Game game(state);
  if (!game.Ready()) return;
  for (auto _ : state) {
    g_pRenderDevice->Begin_Render();
    g_pRenderDevice->Clear(nullptr, kClearTarget | kClearDepth, 0xFF000000, 0);
    g_pRenderDevice->BeginScene();
    g_pRenderDevice->EndScene();
    g_pRenderDevice->Present(nullptr);
  }
}
BENCHMARK(BM_EmptyClearAndPresentFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_GameFrameInTheMenus(benchmark::State& state) {
  Started_Game game(state);
  if (!game.Ready()) return;
  for (auto _ : state) App_Frame();
}
BENCHMARK(BM_GameFrameInTheMenus)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
