#include "platform/window/cursor.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include "platform/window/message_queue.h"
#include "platform/window/window.h"

namespace {

LRESULT Quiet_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}

TEST(Show_Cursor, CounterDecidesVisibility) {
  // Hide twice, show twice: visible again only when the count is back to 0.
  struct Step {
    BOOL show;
    int count;
  };
  const Step steps[] = {{FALSE, -1}, {FALSE, -2}, {TRUE, -1}, {TRUE, 0}, {TRUE, 1}, {FALSE, 0}};
  HWND window = Create_Main_Window("Vorthane", 640, 480, Quiet_Proc);
  for (const Step& step : steps) {
    EXPECT_EQ(ShowCursor(step.show), step.count);
    if (window != nullptr) {
      EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), step.count >= 0 ? SDL_ENABLE : SDL_DISABLE)
          << "count " << step.count;
    }
  }
  if (window != nullptr) DestroyWindow(window);
}

TEST(Show_Cursor, HiddenBeforeTheDisplayStartsStaysHidden) {
  EXPECT_EQ(ShowCursor(FALSE), -1);
  HWND window = Create_Main_Window("Vorthane", 640, 480, Quiet_Proc);
  if (window == nullptr) GTEST_SKIP() << "no display";
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  DestroyWindow(window);
}

class Cursor_Test : public ::testing::Test {
 protected:
  void SetUp() override {
    m_window = Create_Main_Window("Vorthane", 640, 480, Quiet_Proc);
    if (m_window == nullptr) GTEST_SKIP() << "no display";
    SetWindowPos(m_window, nullptr, 100, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  void TearDown() override {
    plat::Clear_Cursor_Override();
    if (m_window != nullptr) DestroyWindow(m_window);
  }
  HWND m_window = nullptr;
};

TEST_F(Cursor_Test, OverriddenPositionPollsBackInClientCoordinates) {
  plat::Override_Cursor_Position(m_window, 320, 240);
  POINT point{};
  ASSERT_TRUE(GetCursorPos(&point));
  EXPECT_EQ(point.x, 420);
  EXPECT_EQ(point.y, 300);
  ASSERT_TRUE(ScreenToClient(m_window, &point));
  EXPECT_EQ(point.x, 320);
  EXPECT_EQ(point.y, 240);

  // The override follows the window when it moves.
  SetWindowPos(m_window, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_TRUE(GetCursorPos(&point));
  EXPECT_EQ(point.x, 330);
  EXPECT_EQ(point.y, 260);

  plat::Override_Cursor_Position(nullptr, 5, 7);
  ASSERT_TRUE(GetCursorPos(&point));
  EXPECT_EQ(point.x, 5);
  EXPECT_EQ(point.y, 7);
  POINT client{1, 2};
  ASSERT_TRUE(ClientToScreen(m_window, &client));
  EXPECT_EQ(client.x, 11);
  EXPECT_EQ(client.y, 22);
  EXPECT_FALSE(ScreenToClient(nullptr, &client));
  EXPECT_FALSE(GetCursorPos(nullptr));
}

TEST_F(Cursor_Test, MouseMotionIsRememberedAsTheLastPosition) {
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.windowID = SDL_GetWindowID(m_window);
  motion.motion.x = 17;
  motion.motion.y = 23;
  ASSERT_EQ(SDL_PushEvent(&motion), 1);
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  POINT point{};
  ASSERT_TRUE(GetCursorPos(&point));
  ASSERT_TRUE(ScreenToClient(m_window, &point));
  EXPECT_EQ(point.x, 17);
  EXPECT_EQ(point.y, 23);
}

TEST_F(Cursor_Test, ClipIsAGrabOfTheCoveredWindowUntilReleased) {
  RECT screen{};
  ASSERT_TRUE(GetClipCursor(&screen));
  EXPECT_EQ(screen.right, GetSystemMetrics(SM_CXSCREEN));

  RECT client{};
  GetClientRect(m_window, &client);
  POINT top_left{client.left, client.top};
  POINT bottom_right{client.right, client.bottom};
  ClientToScreen(m_window, &top_left);
  ClientToScreen(m_window, &bottom_right);
  const RECT clip{top_left.x, top_left.y, bottom_right.x, bottom_right.y};
  ASSERT_TRUE(ClipCursor(&clip));
  RECT read{};
  ASSERT_TRUE(GetClipCursor(&read));
  EXPECT_EQ(read.left, 100);
  EXPECT_EQ(read.top, 60);
  EXPECT_EQ(read.right, 740);
  EXPECT_EQ(read.bottom, 540);

  ASSERT_TRUE(ClipCursor(nullptr));
  ASSERT_TRUE(GetClipCursor(&read));
  EXPECT_EQ(read.left, 0);
  EXPECT_EQ(read.right, GetSystemMetrics(SM_CXSCREEN));

  // A clip is dropped with its window.
  ASSERT_TRUE(ClipCursor(&clip));
  DestroyWindow(m_window);
  m_window = nullptr;
  ASSERT_TRUE(GetClipCursor(&read));
  EXPECT_EQ(read.left, 0);
}

TEST_F(Cursor_Test, CaptureRoutesButtonsAndIsReleased) {
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(SetCapture(m_window), nullptr);
  EXPECT_EQ(GetCapture(), m_window);
  EXPECT_EQ(SetCapture(m_window), m_window);
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(SetCapture(reinterpret_cast<HWND>(uintptr_t{0x20})), nullptr);
  EXPECT_EQ(GetCapture(), nullptr) << "an unknown window cannot take the capture";

  SetCapture(m_window);
  DestroyWindow(m_window);
  m_window = nullptr;
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Cursor_Test, CrossHairCursorLoadsWhereTheDriverHasCursors) {
  EXPECT_EQ(LoadCursorA(nullptr, reinterpret_cast<const char*>(uintptr_t{32512})), nullptr);
  HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
  if (cross == nullptr) GTEST_SKIP() << "the video driver has no system cursors";
  EXPECT_EQ(SetCursor(cross), nullptr);
  EXPECT_EQ(SetCursor(cross), cross);
  EXPECT_TRUE(DestroyCursor(cross));
  EXPECT_FALSE(DestroyCursor(nullptr));
}

}  // namespace
