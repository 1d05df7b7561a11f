#include "platform/window/message_queue.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/window/cursor.h"
#include "platform/window/window.h"

namespace {

struct Received {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};

std::vector<Received> g_received;

LRESULT Recording_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  g_received.push_back(Received{message, wparam, lparam});
  if (message == WM_CLOSE) PostQuitMessage(0);
  return DefWindowProcA(window, message, wparam, lparam);
}

// The main loop as the game runs it, until the queue is empty or WM_QUIT is taken.
bool Run_Queue() {
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return true;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return false;
}

// What the window procedure received of the given kinds, in order.
std::vector<Received> Received_Of(std::initializer_list<UINT> kinds) {
  std::vector<Received> out;
  for (const Received& r : g_received) {
    for (UINT kind : kinds) {
      if (r.message == kind) out.push_back(r);
    }
  }
  return out;
}

class Message_Queue_Test : public ::testing::Test {
 protected:
  void SetUp() override {
    m_window = Create_Main_Window("Vorthane", 640, 480, Recording_Proc);
    if (m_window == nullptr) GTEST_SKIP() << "no display: " << SDL_GetError();
    Run_Queue();
    g_received.clear();
  }
  void TearDown() override {
    if (m_window != nullptr) DestroyWindow(m_window);
    SDL_SetModState(KMOD_NONE);
  }

  uint32_t Id() const { return SDL_GetWindowID(m_window); }

  void Push_Key(SDL_Keycode key, bool down, uint16_t modifiers = KMOD_NONE, bool repeat = false) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = Id();
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = key;
    event.key.keysym.mod = modifiers;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
  }
  void Push_Text(const char* utf8) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = Id();
    std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
    ASSERT_EQ(SDL_PushEvent(&event), 1);
  }
  void Push_Window_Event(SDL_WindowEventID what, uint32_t window_id, int data1 = 0, int data2 = 0) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = window_id;
    event.window.event = what;
    event.window.data1 = data1;
    event.window.data2 = data2;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
  }

  HWND m_window = nullptr;
};

TEST_F(Message_Queue_Test, TypingReachesTheProcedureInOrder) {
  // "a", Backspace, held Backspace, "é", Enter, Esc, Ctrl+S: characters in the order typed,
  // whether they come from typed text or from translated keys.
  Push_Key(SDLK_a, true);
  Push_Text("a");
  Push_Key(SDLK_a, false);
  Push_Key(SDLK_BACKSPACE, true);
  Push_Key(SDLK_BACKSPACE, true, KMOD_NONE, true);
  Push_Key(SDLK_BACKSPACE, false);
  Push_Text("\xC3\xA9");
  Push_Key(SDLK_RETURN, true);
  Push_Key(SDLK_ESCAPE, true);
  Push_Key(SDLK_LCTRL, true, KMOD_LCTRL);
  Push_Key(SDLK_s, true, KMOD_LCTRL);
  Push_Key(SDLK_s, false, KMOD_LCTRL);
  Push_Key(SDLK_LCTRL, false);
  Push_Key(SDLK_s, true);
  Run_Queue();

  std::vector<WPARAM> characters;
  for (const Received& r : Received_Of({WM_CHAR})) characters.push_back(r.wparam);
  EXPECT_EQ(characters, (std::vector<WPARAM>{'a', 8, 8, 0xE9, 13, 27, 19}));

  std::vector<WPARAM> keys;
  std::vector<bool> repeated;
  for (const Received& r : Received_Of({WM_KEYDOWN})) {
    keys.push_back(r.wparam);
    repeated.push_back((r.lparam & KF_REPEAT_BIT) != 0);
  }
  EXPECT_EQ(keys, (std::vector<WPARAM>{'A', 8, 8, 13, 27, VK_CONTROL, 'S', 'S'}));
  EXPECT_EQ(repeated, (std::vector<bool>{false, false, true, false, false, false, false, false}));
}

TEST_F(Message_Queue_Test, TextWhileCtrlIsHeldIsNotTyped) {
  SDL_SetModState(KMOD_LCTRL);
  Push_Text("a");
  Run_Queue();
  SDL_SetModState(KMOD_NONE);
  Push_Text("b");
  Run_Queue();
  const std::vector<Received> characters = Received_Of({WM_CHAR});
  ASSERT_EQ(characters.size(), 1u);
  EXPECT_EQ(characters[0].wparam, WPARAM{'b'});
}

TEST_F(Message_Queue_Test, PostedKeysAreTranslatedLikeRealOnes) {
  PostMessageA(m_window, WM_KEYDOWN, VK_CONTROL, KF_REPEAT_COUNT_ONE);
  PostMessageA(m_window, WM_KEYDOWN, 'Q', KF_REPEAT_COUNT_ONE);
  PostMessageA(m_window, WM_KEYUP, VK_CONTROL, KF_REPEAT_COUNT_ONE | KF_UP_BIT);
  PostMessageA(m_window, WM_KEYDOWN, 'Q', KF_REPEAT_COUNT_ONE);
  PostMessageA(m_window, WM_CHAR, 'q', KF_REPEAT_COUNT_ONE);
  Run_Queue();
  std::vector<WPARAM> characters;
  for (const Received& r : Received_Of({WM_CHAR})) characters.push_back(r.wparam);
  EXPECT_EQ(characters, (std::vector<WPARAM>{17, 'q'}));
}

TEST_F(Message_Queue_Test, LosingActivationForgetsHeldKeys) {
  // Ctrl was held when the program lost the focus; its release went elsewhere.
  PostMessageA(m_window, WM_KEYDOWN, VK_CONTROL, KF_REPEAT_COUNT_ONE);
  PostMessageA(m_window, WM_ACTIVATEAPP, 0, 0);
  PostMessageA(m_window, WM_ACTIVATEAPP, 1, 0);
  PostMessageA(m_window, WM_KEYDOWN, 'A', KF_REPEAT_COUNT_ONE);
  Run_Queue();
  EXPECT_TRUE(Received_Of({WM_CHAR}).empty());
}

TEST_F(Message_Queue_Test, MouseButtonsAndWheelReachTheProcedure) {
  SDL_Event event{};
  event.type = SDL_MOUSEBUTTONDOWN;
  event.button.windowID = Id();
  event.button.button = SDL_BUTTON_RIGHT;
  event.button.state = SDL_PRESSED;
  event.button.x = 100;
  event.button.y = 50;
  ASSERT_EQ(SDL_PushEvent(&event), 1);
  event.type = SDL_MOUSEBUTTONUP;
  event.button.state = SDL_RELEASED;
  ASSERT_EQ(SDL_PushEvent(&event), 1);
  event.button.type = SDL_MOUSEBUTTONDOWN;
  event.button.button = SDL_BUTTON_MIDDLE;
  ASSERT_EQ(SDL_PushEvent(&event), 1);

  for (float precise : {1.0f, -1.0f, 0.5f}) {
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.windowID = Id();
    wheel.wheel.preciseY = precise;
    wheel.wheel.y = static_cast<int>(precise);
    ASSERT_EQ(SDL_PushEvent(&wheel), 1);
  }
  Run_Queue();

  const std::vector<Received> buttons = Received_Of({WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDOWN});
  ASSERT_EQ(buttons.size(), 2u) << "the middle button is not passed on";
  EXPECT_EQ(buttons[0].message, WM_RBUTTONDOWN);
  EXPECT_EQ(buttons[1].message, WM_RBUTTONUP);
  EXPECT_EQ(GET_X_LPARAM(buttons[0].lparam), 100);
  EXPECT_EQ(GET_Y_LPARAM(buttons[0].lparam), 50);

  std::vector<int> notches;
  for (const Received& r : Received_Of({WM_MOUSEWHEEL})) {
    notches.push_back(GET_WHEEL_DELTA_WPARAM(r.wparam) / WHEEL_DELTA);
  }
  EXPECT_EQ(notches, (std::vector<int>{1, -1, 0}));
}

TEST_F(Message_Queue_Test, WindowEventsBecomeMoveSizeCloseAndActivation) {
  HWND splash = Create_Splash_Window(m_window, 300, 120);
  ASSERT_NE(splash, nullptr);
  const uint32_t splash_id = SDL_GetWindowID(splash);
  Run_Queue();
  g_received.clear();

  Push_Window_Event(SDL_WINDOWEVENT_FOCUS_GAINED, splash_id);
  Run_Queue();
  Push_Window_Event(SDL_WINDOWEVENT_FOCUS_LOST, splash_id);
  Push_Window_Event(SDL_WINDOWEVENT_FOCUS_GAINED, Id());
  Run_Queue();
  EXPECT_TRUE(Received_Of({WM_ACTIVATEAPP}).empty()) << "focus moved between our windows";
  g_received.clear();

  Push_Window_Event(SDL_WINDOWEVENT_FOCUS_LOST, Id());
  Run_Queue();
  Push_Window_Event(SDL_WINDOWEVENT_FOCUS_GAINED, Id());
  Push_Window_Event(SDL_WINDOWEVENT_MOVED, Id(), -8, 30);
  Push_Window_Event(SDL_WINDOWEVENT_SIZE_CHANGED, Id(), 800, 600);
  Push_Window_Event(SDL_WINDOWEVENT_MINIMIZED, Id());
  Push_Window_Event(SDL_WINDOWEVENT_CLOSE, Id());
  Push_Window_Event(SDL_WINDOWEVENT_CLOSE, 999999);  // not one of ours
  EXPECT_TRUE(Run_Queue()) << "WM_CLOSE posts WM_QUIT";

  const std::vector<Received> app = Received_Of({WM_ACTIVATEAPP});
  ASSERT_EQ(app.size(), 2u);
  EXPECT_EQ(app[0].wparam, 0u);
  EXPECT_EQ(app[1].wparam, 1u);
  const std::vector<Received> activate = Received_Of({WM_ACTIVATE});
  ASSERT_EQ(activate.size(), 2u);
  EXPECT_EQ(activate[0].wparam, WA_INACTIVE);
  EXPECT_EQ(activate[1].wparam, WA_ACTIVE);

  const std::vector<Received> moves = Received_Of({WM_MOVE});
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(moves[0].lparam), -8);
  EXPECT_EQ(GET_Y_LPARAM(moves[0].lparam), 30);
  const std::vector<Received> sizes = Received_Of({WM_SIZE});
  ASSERT_EQ(sizes.size(), 2u);
  EXPECT_EQ(sizes[0].wparam, SIZE_RESTORED);
  EXPECT_EQ(LOWORD(sizes[0].lparam), 800);
  EXPECT_EQ(HIWORD(sizes[0].lparam), 600);
  EXPECT_EQ(sizes[1].wparam, SIZE_MINIMIZED);
  EXPECT_EQ(Received_Of({WM_CLOSE}).size(), 1u);
  DestroyWindow(splash);
}

TEST_F(Message_Queue_Test, QuitEndsTheLoopAndGetMessageAnswersZero) {
  PostMessageA(m_window, WM_KEYDOWN, VK_HOME, KF_REPEAT_COUNT_ONE);
  PostQuitMessage(3);
  PostMessageA(m_window, WM_KEYDOWN, VK_END, KF_REPEAT_COUNT_ONE);
  MSG message{};
  ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), 1);
  EXPECT_EQ(message.wParam, WPARAM{VK_HOME});
  ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), 0);
  EXPECT_EQ(message.message, WM_QUIT);
  EXPECT_EQ(message.wParam, 3u);
  EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
}

TEST_F(Message_Queue_Test, PeekFiltersAndCanLeaveTheMessageQueued) {
  PostMessageA(m_window, WM_KEYDOWN, VK_UP, 0);
  PostMessageA(m_window, WM_LBUTTONDOWN, 0, 0);
  MSG message{};
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_LBUTTONDOWN, WM_RBUTTONUP, PM_NOREMOVE));
  EXPECT_EQ(message.message, WM_LBUTTONDOWN);
  ASSERT_TRUE(PeekMessageA(&message, m_window, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_LBUTTONDOWN, WM_RBUTTONUP, PM_REMOVE));
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, WM_KEYDOWN);
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Message_Queue_Test, WaitMessageWakesForAMessagePostedByAnotherThread) {
  std::thread poster([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    PostMessageA(m_window, WM_CHAR, 'z', 0);
  });
  EXPECT_TRUE(WaitMessage());
  poster.join();
  MSG message{};
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.wParam, WPARAM{'z'});
}

TEST_F(Message_Queue_Test, DestroyingAWindowSendsDestroyAndDropsItsMessages) {
  PostMessageA(m_window, WM_CHAR, 'x', 0);
  DestroyWindow(m_window);
  HWND gone = m_window;
  m_window = nullptr;
  EXPECT_EQ(Received_Of({WM_DESTROY}).size(), 1u);
  MSG message{};
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  PostMessageA(gone, WM_CHAR, 'y', 0);
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(DispatchMessageA(&message), 0);
  EXPECT_TRUE(Received_Of({WM_CHAR}).empty());
  EXPECT_FALSE(DestroyWindow(gone));
}

}  // namespace
