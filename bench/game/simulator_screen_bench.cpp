// One whole frame with the simulator screen open on its simulation page and the War Room alert's
// beams burning, beside a frame of the menus with no screen up, in the same run (640 x 480,
// headless, on the generated content).
#include <benchmark/benchmark.h>

#include <string>

#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenu_Mgr.h"
#include "runtime/src/render/iks_render_device.h"
#include "tests/support/game_harness.h"

namespace {

class Started_Game {
 public:
  explicit Started_Game(benchmark::State& state) {
    std::string error;
    if (!m_Harness.Prepare(&error) || !m_Harness.Start()) {
      state.SkipWithError(("the game did not start: " + error).c_str());
      return;
    }
    // Display resolution 0 is 640 x 480.
    g_Game_State.Display_Resolution = 0;
    g_Menu_Mgr.Reset_Display_Mode();
    m_Harness.Step(5);
    m_Ready = g_Game.Get_Mode() == kMode_Menus && g_pRenderDevice != nullptr &&
              g_pRenderDevice->GetScreenWidthF() == 640.0f && g_pRenderDevice->GetScreenHeightF() == 480.0f;
    if (!m_Ready) state.SkipWithError("the game is not in the menus at 640 x 480");
  }
  ~Started_Game() { m_Harness.Shut_Down(); }
  bool Ready() const { return m_Ready; }
  vt_test::Game_Harness& Harness() { return m_Harness; }

 private:
  vt_test::Game_Harness m_Harness;
  bool m_Ready = false;
};

void BM_EmptyMenuFrame_640(benchmark::State& state) {
  Started_Game game(state);
  if (!game.Ready()) return;
  g_Menu_Mgr.Close_All();
  game.Harness().Step(2);
  for (auto _ : state) App_Frame();
}
BENCHMARK(BM_EmptyMenuFrame_640)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SimulatorScreenFrameWithAlertBeams(benchmark::State& state) {
  Started_Game game(state);
  if (!game.Ready()) return;
  g_Menu_Mgr.m_Console.m_User_Name = "bench";
  g_Menu_Mgr.Command(kCommand_Simulator, 1);
  CMenu_Simulator& screen = g_Menu_Mgr.m_Simulator;
  for (int i = 0; i < 200 && screen.m_Anim_State != CMenu_Simulator::kOpen; ++i) game.Harness().Step(1, 100);
  if (screen.m_Anim_State != CMenu_Simulator::kOpen || screen.m_Current_Tab != 1) {
    state.SkipWithError("the simulator screen did not open on its simulation page");
    return;
  }
  for (auto _ : state) {
    // The offer stays pending and its beams lit for the whole run.
    screen.m_Alert_Pending = true;
    screen.m_Alert_Timer = 100.0f;
    screen.m_Beam_Fade = 1.0f;
    App_Frame();
  }
}
BENCHMARK(BM_SimulatorScreenFrameWithAlertBeams)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
