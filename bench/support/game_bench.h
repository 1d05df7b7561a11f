#pragma once
// What the game benchmarks share: the program started through the test harness for the length
// of one benchmark, and the device frame around the drawing measured.
#include <benchmark/benchmark.h>

#include <string>

#include "runtime/src/render/iks_render_device.h"
#include "tests/support/game_harness.h"

namespace vt_bench {

// Prepares and starts the program; a failure skips the benchmark with the harness's reason.
// The owner then steps it where it wants it and says whether it got there (Require).
class Game_Session {
 public:
  explicit Game_Session(benchmark::State& state) {
    std::string error;
    m_Started = m_Harness.Prepare(&error) && m_Harness.Start();
    if (!m_Started) state.SkipWithError(("the game did not start: " + error).c_str());
  }
  ~Game_Session() { m_Harness.Shut_Down(); }
  Game_Session(const Game_Session&) = delete;
  Game_Session& operator=(const Game_Session&) = delete;

  bool Started() const { return m_Started; }
  bool Ready() const { return m_Ready; }
  vt_test::Game_Harness& Harness() { return m_Harness; }
  // Ready when `reached`; otherwise the benchmark is skipped with the reason.
  void Require(benchmark::State& state, bool reached, const char* reason) {
    m_Ready = reached;
    if (!m_Ready) state.SkipWithError(reason);
  }

 private:
  vt_test::Game_Harness m_Harness;
  bool m_Started = false;
  bool m_Ready = false;
};

inline void Begin_Frame() {
  g_pRenderDevice->Begin_Render();
  g_pRenderDevice->Clear(nullptr, kClearTarget | kClearDepth, 0xFF000000, 0);
  g_pRenderDevice->BeginScene();
}

inline void End_Frame() {
  g_pRenderDevice->EndScene();
  g_pRenderDevice->Present(nullptr);
}

}  // namespace vt_bench
