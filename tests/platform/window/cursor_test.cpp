#include "platform/window/cursor.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <vector>

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

namespace {

// The graphics device shows an 800 x 600 picture in a window of another size: the window's
// client coordinates are the picture's pixels, wherever the picture stands in the window.
class Scaled_Cursor_Test : public ::testing::Test {
 protected:
  static LRESULT Recording_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) s_clicks.push_back(lparam);
    return DefWindowProcA(window, message, wparam, lparam);
  }
  void SetUp() override {
    s_clicks.clear();
    m_window = Create_Main_Window("Vorthane", 800, 600, Recording_Proc);
    if (m_window == nullptr) GTEST_SKIP() << "no display";
    plat::Set_Presented_Size(m_window, 800, 600);
  }
  void TearDown() override {
    plat::Clear_Cursor_Override();
    if (m_window != nullptr) DestroyWindow(m_window);
  }
  // The window as a user would have it: resized by the window manager or full screen.
  void Place_Window(int x, int y, int width, int height) {
    ASSERT_TRUE(SetWindowPos(m_window, nullptr, x, y, width, height, SWP_NOZORDER));
    int w = 0, h = 0;
    SDL_GetWindowSize(m_window, &w, &h);
    ASSERT_EQ(w, width);
    ASSERT_EQ(h, height);
  }
  void Push_Mouse(Uint32 type, int x, int y) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
      event.motion.windowID = SDL_GetWindowID(m_window);
      event.motion.x = x;
      event.motion.y = y;
    } else {
      event.button.windowID = SDL_GetWindowID(m_window);
      event.button.button = SDL_BUTTON_LEFT;
      event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
      event.button.x = x;
      event.button.y = y;
    }
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  POINT Game_Cursor() {
    POINT point{};
    EXPECT_TRUE(GetCursorPos(&point));
    EXPECT_TRUE(ScreenToClient(m_window, &point));
    return point;
  }

  static inline std::vector<LPARAM> s_clicks;
  HWND m_window = nullptr;
};

TEST_F(Scaled_Cursor_Test, PointerOverThePictureReachesTheGameAsThePicturePixel) {
  struct Case {
    int width, height;  // the window
    POINT pointer;      // in the window
    POINT game;         // in the picture
  };
  const Case cases[] = {
      {800, 600, {0, 0}, {0, 0}},          {800, 600, {799, 599}, {799, 599}},
      {1024, 768, {0, 0}, {0, 0}},         {1024, 768, {1023, 0}, {799, 0}},
      {1024, 768, {0, 767}, {0, 599}},     {1024, 768, {1023, 767}, {799, 599}},
      {1024, 768, {512, 384}, {400, 300}}, {1920, 1080, {240, 0}, {0, 0}},
      {1920, 1080, {1679, 0}, {799, 0}},   {1920, 1080, {240, 1079}, {0, 599}},
      {1920, 1080, {1679, 1079}, {799, 599}}, {1920, 1080, {960, 540}, {400, 300}},
      {1200, 900, {600, 450}, {400, 300}},  // a windowed game whose window was made larger
      {640, 480, {639, 479}, {799, 599}},   // or smaller
  };
  for (const Case& c : cases) {
    Place_Window(30, 40, c.width, c.height);
    Push_Mouse(SDL_MOUSEMOTION, c.pointer.x, c.pointer.y);
    const POINT moved = Game_Cursor();
    EXPECT_EQ(moved.x, c.game.x) << c.width << "x" << c.height << " pointer " << c.pointer.x << "," << c.pointer.y;
    EXPECT_EQ(moved.y, c.game.y) << c.width << "x" << c.height << " pointer " << c.pointer.x << "," << c.pointer.y;

    s_clicks.clear();
    Push_Mouse(SDL_MOUSEBUTTONDOWN, c.pointer.x, c.pointer.y);
    Push_Mouse(SDL_MOUSEBUTTONUP, c.pointer.x, c.pointer.y);
    ASSERT_EQ(s_clicks.size(), 2u);
    for (LPARAM click : s_clicks) {
      EXPECT_EQ(GET_X_LPARAM(click), c.game.x) << c.width << "x" << c.height << " click";
      EXPECT_EQ(GET_Y_LPARAM(click), c.game.y) << c.width << "x" << c.height << " click";
    }
  }
}

TEST_F(Scaled_Cursor_Test, ClientAreaIsThePictureAndItsClipLeavesTheBarsOut) {
  Place_Window(100, 60, 1920, 1080);
  RECT client{};
  ASSERT_TRUE(GetClientRect(m_window, &client));
  EXPECT_EQ(client.right, 800);
  EXPECT_EQ(client.bottom, 600);
  RECT window{};
  ASSERT_TRUE(GetWindowRect(m_window, &window));
  EXPECT_EQ(window.right - window.left, 1920) << "the window itself keeps its size";

  // The clip the game asks for: its client rectangle on the screen.
  POINT top_left{client.left, client.top};
  POINT bottom_right{client.right, client.bottom};
  ClientToScreen(m_window, &top_left);
  ClientToScreen(m_window, &bottom_right);
  EXPECT_EQ(top_left.x, 100 + 240);
  EXPECT_EQ(top_left.y, 60);
  EXPECT_EQ(bottom_right.x, 100 + 1680);
  EXPECT_EQ(bottom_right.y, 60 + 1080);
  const RECT clip{top_left.x, top_left.y, bottom_right.x, bottom_right.y};
  ASSERT_TRUE(ClipCursor(&clip));
  const SDL_Rect* confined = SDL_GetWindowMouseRect(m_window);
  ASSERT_NE(confined, nullptr) << "the mouse is kept on the picture, off the bars";
  EXPECT_EQ(confined->x, 240);
  EXPECT_EQ(confined->y, 0);
  EXPECT_EQ(confined->w, 1440);
  EXPECT_EQ(confined->h, 1080);
  ASSERT_TRUE(ClipCursor(nullptr));
  EXPECT_EQ(SDL_GetWindowMouseRect(m_window), nullptr);
}

TEST_F(Scaled_Cursor_Test, PositionsSetInPicturePixelsReadBackUnchanged) {
  Place_Window(0, 0, 1024, 768);
  const POINT points[] = {{0, 0}, {799, 599}, {400, 300}, {1, 598}, {517, 3}};
  for (const POINT& point : points) {
    plat::Override_Cursor_Position(m_window, point.x, point.y);
    POINT screen{};
    ASSERT_TRUE(GetCursorPos(&screen));
    EXPECT_GE(screen.x, point.x) << "the screen position is the window pixel showing it";
    const POINT game = Game_Cursor();
    EXPECT_EQ(game.x, point.x);
    EXPECT_EQ(game.y, point.y);
  }
  // Without a presented picture the client area is the window again.
  plat::Set_Presented_Size(m_window, 0, 0);
  RECT client{};
  ASSERT_TRUE(GetClientRect(m_window, &client));
  EXPECT_EQ(client.right, 1024);
  Push_Mouse(SDL_MOUSEMOTION, 1000, 700);
  plat::Clear_Cursor_Override();
  const POINT game = Game_Cursor();
  EXPECT_EQ(game.x, 1000);
  EXPECT_EQ(game.y, 700);
}

// The clip taken while the window was small follows the picture when the window grows, as it
// does when the game goes full screen after clipping the cursor at start-up.
TEST_F(Scaled_Cursor_Test, ClipFollowsThePictureWhenTheWindowChanges) {
  Place_Window(100, 60, 800, 600);
  const RECT clip{100, 60, 900, 660};  // the client area on the screen
  ASSERT_TRUE(ClipCursor(&clip));
  const SDL_Rect* confined = SDL_GetWindowMouseRect(m_window);
  ASSERT_NE(confined, nullptr);
  EXPECT_EQ(confined->w, 800);

  Place_Window(0, 0, 1920, 1080);
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  confined = SDL_GetWindowMouseRect(m_window);
  ASSERT_NE(confined, nullptr);
  EXPECT_EQ(confined->x, 240);
  EXPECT_EQ(confined->y, 0);
  EXPECT_EQ(confined->w, 1440);
  EXPECT_EQ(confined->h, 1080);
  RECT read{};
  ASSERT_TRUE(GetClipCursor(&read));
  EXPECT_EQ(read.left, 240);
  EXPECT_EQ(read.right, 1680);

  // A new picture size moves it too.
  plat::Set_Presented_Size(m_window, 1920, 1080);
  confined = SDL_GetWindowMouseRect(m_window);
  ASSERT_NE(confined, nullptr);
  EXPECT_EQ(confined->x, 0);
  EXPECT_EQ(confined->w, 800) << "the clip keeps its client rectangle";
  ClipCursor(nullptr);
}

}  // namespace
