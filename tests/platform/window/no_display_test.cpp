#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/window/cursor.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"

namespace {

LRESULT Quiet_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}

// Everything a program without a display still does; exits 0 when all of it held.
void Run_Without_Display() {
  setenv("SDL_VIDEODRIVER", "no_such_driver", 1);
  int failures = 0;
  auto check = [&failures](bool ok) { failures += ok ? 0 : 1; };
  check(Create_Main_Window("Vorthane", 640, 480, Quiet_Proc) == nullptr);
  check(Create_Splash_Window(nullptr, 300, 120) == nullptr);
  check(GetSystemMetrics(SM_CXSCREEN) == 0);
  check(ShowCursor(FALSE) == -1);
  check(LoadCursorA(nullptr, IDC_CROSS) == nullptr);
  POINT point{1, 1};
  check(GetCursorPos(&point) == TRUE);
  check(ClipCursor(nullptr) == TRUE);

  std::thread poster([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    PostMessageA(nullptr, WM_CHAR, 'k', 0);
  });
  check(WaitMessage() == TRUE);
  poster.join();
  MSG message{};
  check(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) == TRUE && message.wParam == 'k');
  PostQuitMessage(0);
  check(GetMessageA(&message, nullptr, 0, 0) == 0);
  std::exit(failures);
}

TEST(No_Display, WindowsFailCleanlyAndTheQueueStillWorks) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(Run_Without_Display(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
