#include "platform/window/event_translation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

SDL_KeyboardEvent Key(SDL_Keycode key, bool down, uint16_t modifiers = KMOD_NONE,
                      bool repeat = false) {
  SDL_KeyboardEvent event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.repeat = repeat ? 1 : 0;
  event.keysym.sym = key;
  event.keysym.mod = modifiers;
  return event;
}

TEST(Key_Translation, KeysBecomeKeyMessagesWithWindowsCodesAndFlags) {
  struct Case {
    const char* what;
    SDL_KeyboardEvent event;
    UINT message;
    WPARAM key;
    LPARAM flags;
  };
  const LPARAM one = KF_REPEAT_COUNT_ONE;
  const LPARAM up = one | KF_REPEAT_BIT | KF_UP_BIT;
  const Case cases[] = {
      {"Pause", Key(SDLK_PAUSE, true), WM_KEYDOWN, 19, one},
      {"End", Key(SDLK_END, true), WM_KEYDOWN, 35, one},
      {"Home", Key(SDLK_HOME, true), WM_KEYDOWN, 36, one},
      {"Left", Key(SDLK_LEFT, true), WM_KEYDOWN, 37, one},
      {"Up", Key(SDLK_UP, true), WM_KEYDOWN, 38, one},
      {"Right", Key(SDLK_RIGHT, true), WM_KEYDOWN, 39, one},
      {"Down", Key(SDLK_DOWN, true), WM_KEYDOWN, 40, one},
      {"Delete", Key(SDLK_DELETE, true), WM_KEYDOWN, 46, one},
      {"Scroll Lock", Key(SDLK_SCROLLLOCK, true), WM_KEYDOWN, 145, one},
      {"Backspace", Key(SDLK_BACKSPACE, true), WM_KEYDOWN, 8, one},
      {"Tab", Key(SDLK_TAB, true), WM_KEYDOWN, 9, one},
      {"Enter", Key(SDLK_RETURN, true), WM_KEYDOWN, 13, one},
      {"keypad Enter", Key(SDLK_KP_ENTER, true), WM_KEYDOWN, 13, one},
      {"Esc", Key(SDLK_ESCAPE, true), WM_KEYDOWN, 27, one},
      {"Space", Key(SDLK_SPACE, true), WM_KEYDOWN, 32, one},
      {"letter m", Key(SDLK_m, true), WM_KEYDOWN, 'M', one},
      {"digit 7", Key(SDLK_7, true), WM_KEYDOWN, '7', one},
      {"right Ctrl", Key(SDLK_RCTRL, true, KMOD_RCTRL), WM_KEYDOWN, VK_CONTROL, one},
      {"left Shift", Key(SDLK_LSHIFT, true, KMOD_LSHIFT), WM_KEYDOWN, VK_SHIFT, one},
      {"held Left repeats", Key(SDLK_LEFT, true, KMOD_NONE, true), WM_KEYDOWN, 37,
       one | KF_REPEAT_BIT},
      {"held Backspace repeats", Key(SDLK_BACKSPACE, true, KMOD_NONE, true), WM_KEYDOWN, 8,
       one | KF_REPEAT_BIT},
      {"Left released", Key(SDLK_LEFT, false), WM_KEYUP, 37, up},
      {"Alt alone", Key(SDLK_LALT, true, KMOD_LALT), WM_SYSKEYDOWN, VK_MENU,
       one | KF_ALTDOWN_BIT},
      {"Alt released", Key(SDLK_LALT, false), WM_SYSKEYUP, VK_MENU, up},
      {"Alt+X", Key(SDLK_x, true, KMOD_LALT), WM_SYSKEYDOWN, 'X', one | KF_ALTDOWN_BIT},
      {"Ctrl+Alt+X", Key(SDLK_x, true, KMOD_LCTRL | KMOD_LALT), WM_KEYDOWN, 'X',
       one | KF_ALTDOWN_BIT},
  };
  HWND window = reinterpret_cast<HWND>(uintptr_t{0x1234});
  for (const Case& c : cases) {
    MSG message{};
    ASSERT_TRUE(plat::Key_Message(c.event, window, &message)) << c.what;
    EXPECT_EQ(message.hwnd, window) << c.what;
    EXPECT_EQ(message.message, c.message) << c.what;
    EXPECT_EQ(message.wParam, c.key) << c.what;
    EXPECT_EQ(message.lParam, c.flags) << c.what;
  }
}

TEST(Key_Translation, KeysWithoutUseGiveNoMessage) {
  for (SDL_Keycode key : {SDLK_F13, SDLK_CAPSLOCK, SDLK_UNKNOWN, SDLK_KP_5, SDLK_MENU}) {
    MSG message{};
    EXPECT_FALSE(plat::Key_Message(Key(key, true), nullptr, &message)) << key;
  }
}

TEST(Key_Translation, KeyPressesGiveControlCharacters) {
  struct Case {
    int key;
    bool ctrl;
    bool alt;
    int character;
  };
  const Case cases[] = {
      {VK_BACK, false, false, 8},   {VK_BACK, true, false, 127}, {VK_TAB, false, false, 9},
      {VK_TAB, true, false, 0},     {VK_RETURN, false, false, 13}, {VK_RETURN, true, false, 10},
      {VK_ESCAPE, false, false, 27}, {'A', true, false, 1},      {'S', true, false, 19},
      {'Z', true, false, 26},       {'A', false, false, 0},      {'A', true, true, 0},
      {VK_BACK, false, true, 0},    {'5', true, false, 0},       {VK_SPACE, false, false, 0},
      {VK_LEFT, false, false, 0},   {VK_DELETE, false, false, 0}, {VK_PAUSE, false, false, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(plat::Control_Char_For_Key(c.key, c.ctrl, c.alt), c.character)
        << "key " << c.key << " ctrl " << c.ctrl << " alt " << c.alt;
  }
}

TEST(Text_Translation, TypedTextBecomesWindows1252) {
  struct Case {
    const char* utf8;
    std::vector<uint8_t> codes;
  };
  const Case cases[] = {
      {"a", {'a'}},
      {"Q~ `", {'Q', '~', ' ', '`'}},
      {"\xC3\xA9", {0xE9}},                     // e acute
      {"\xC3\xBF", {0xFF}},                     // y diaeresis
      {"\xC2\xA0", {0xA0}},                     // no-break space
      {"\xE2\x82\xAC", {0x80}},                 // euro sign
      {"\xE2\x80\x94", {0x97}},                 // em dash
      {"\xC5\xB8", {0x9F}},                     // capital Y diaeresis
      {"\xE2\x84\xA2", {0x99}},                 // trade mark
      {"\xE4\xB8\xAD", {'?'}},                  // a CJK ideograph
      {"\xF0\x9F\x98\x80", {'?'}},              // an emoji
      {"\xC2\x81", {'?'}},                      // C1 control with no code of its own
      {"\x01\x7F", {}},                         // control codes are never typed text
      {"\xC3", {}},                             // truncated sequence
      {"\xFF" "b", {'b'}},                      // invalid byte skipped
      {"\xC0\xAF", {}},                         // overlong encoding
      {"\xED\xA0\x80", {}},                     // surrogate
      {"\xC3\xA9" "x\xE2\x82\xAC", {0xE9, 'x', 0x80}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(plat::Windows1252_From_Utf8(c.utf8), c.codes) << c.utf8;
  }
  EXPECT_TRUE(plat::Windows1252_From_Utf8(nullptr).empty());
}

TEST(Text_Translation, TextIsDroppedWhileCtrlOrAltMakesOtherInput) {
  struct Case {
    uint16_t modifiers;
    bool allowed;
  };
  const Case cases[] = {
      {KMOD_NONE, true},
      {KMOD_LSHIFT, true},
      {KMOD_CAPS | KMOD_NUM, true},
      {KMOD_LCTRL, false},
      {KMOD_RCTRL | KMOD_LSHIFT, false},
      {KMOD_LALT, false},
      {KMOD_RALT, true},                // AltGr
      {KMOD_LCTRL | KMOD_LALT, true},   // AltGr as Ctrl+Alt
      {KMOD_RCTRL | KMOD_RALT, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(plat::Text_Allowed_With_Modifiers(c.modifiers), c.allowed) << c.modifiers;
  }
}

TEST(Wheel_Translation, EachEventGivesItsDeltaAndTheNotchCountTruncates) {
  struct Case {
    int y;
    float precise_y;
    bool flipped;
    int delta;
    int notches;
  };
  const Case cases[] = {
      {1, 1.0f, false, 120, 1},     {-1, -1.0f, false, -120, -1}, {0, 0.5f, false, 60, 0},
      {0, -0.4f, false, -48, 0},    {3, 3.0f, false, 360, 3},     {1, 1.0f, true, -120, -1},
      {2, 0.0f, false, 240, 2},     {0, 1.75f, false, 210, 1},    {1000, 1000.0f, false, 32767, 273},
      {-1000, -1000.0f, false, -32768, -273},
  };
  for (const Case& c : cases) {
    SDL_MouseWheelEvent event{};
    event.type = SDL_MOUSEWHEEL;
    event.y = c.y;
    event.preciseY = c.precise_y;
    event.direction = c.flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    const int delta = plat::Wheel_Delta(event);
    EXPECT_EQ(delta, c.delta) << c.precise_y;
    const WPARAM packed = MAKEWPARAM(0, delta);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(packed) / WHEEL_DELTA, c.notches) << c.precise_y;
  }
}

TEST(Mouse_Translation, ButtonsAndFlags) {
  EXPECT_EQ(plat::Button_Message(SDL_BUTTON_LEFT, true), WM_LBUTTONDOWN);
  EXPECT_EQ(plat::Button_Message(SDL_BUTTON_LEFT, false), WM_LBUTTONUP);
  EXPECT_EQ(plat::Button_Message(SDL_BUTTON_RIGHT, true), WM_RBUTTONDOWN);
  EXPECT_EQ(plat::Button_Message(SDL_BUTTON_RIGHT, false), WM_RBUTTONUP);
  EXPECT_EQ(plat::Button_Message(SDL_BUTTON_MIDDLE, true), 0u);
  EXPECT_EQ(plat::Button_Message(SDL_BUTTON_X1, false), 0u);

  EXPECT_EQ(plat::Mouse_Key_Flags(SDL_BUTTON_LMASK | SDL_BUTTON_RMASK, KMOD_LSHIFT | KMOD_RCTRL),
            MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL);
  EXPECT_EQ(plat::Mouse_Key_Flags(SDL_BUTTON_MMASK, KMOD_LALT), 0u);
}

TEST(Message_Packing, CoordinatesKeepTheirSign) {
  const LPARAM packed = MAKELPARAM(-5, 1200);
  EXPECT_EQ(GET_X_LPARAM(packed), -5);
  EXPECT_EQ(GET_Y_LPARAM(packed), 1200);
  EXPECT_EQ(LOWORD(MAKEWPARAM(0x1234, -120)), 0x1234);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(MAKEWPARAM(0x1234, -120)), -120);
}

// One batch of focus events between two settles, and whether activation is reported.
struct Focus_Step {
  enum Kind { Gained, Lost, Gone } kind;
  uint32_t window;
};

TEST(Activation, ComputedOverTheProgramsOwnWindows) {
  constexpr uint32_t kMain = 1;
  constexpr uint32_t kSplash = 2;
  struct Case {
    const char* what;
    std::vector<std::vector<Focus_Step>> batches;
    std::vector<int> reports;  // per batch: -1 nothing, 0 inactive, 1 active
  };
  const Case cases[] = {
      {"no focus event ever leaves the program active", {{}, {}}, {-1, -1}},
      {"first focus is no change", {{{Focus_Step::Gained, kMain}}}, {-1}},
      {"focus leaves, then comes back",
       {{{Focus_Step::Gained, kMain}}, {{Focus_Step::Lost, kMain}}, {{Focus_Step::Gained, kMain}}},
       {-1, 0, 1}},
      {"focus moves from splash to main in one batch",
       {{{Focus_Step::Gained, kSplash}}, {{Focus_Step::Lost, kSplash}, {Focus_Step::Gained, kMain}}},
       {-1, -1}},
      {"gain reported before loss of the other window",
       {{{Focus_Step::Gained, kMain}}, {{Focus_Step::Gained, kSplash}, {Focus_Step::Lost, kMain}}},
       {-1, -1}},
      {"losing focus and getting it back within one batch is no change",
       {{{Focus_Step::Gained, kMain}}, {{Focus_Step::Lost, kMain}, {Focus_Step::Gained, kMain}}},
       {-1, -1}},
      {"focused window destroyed while the other has none",
       {{{Focus_Step::Gained, kSplash}}, {{Focus_Step::Gone, kSplash}}},
       {-1, 0}},
      {"a repeated loss reports once",
       {{{Focus_Step::Gained, kMain}}, {{Focus_Step::Lost, kMain}}, {{Focus_Step::Lost, kMain}}},
       {-1, 0, -1}},
      {"starting without focus deactivates at the first loss seen",
       {{{Focus_Step::Lost, kMain}}}, {0}},
  };
  for (const Case& c : cases) {
    plat::Activation_Tracker tracker;
    ASSERT_EQ(c.batches.size(), c.reports.size()) << c.what;
    for (size_t i = 0; i < c.batches.size(); ++i) {
      for (const Focus_Step& step : c.batches[i]) {
        if (step.kind == Focus_Step::Gained) tracker.Focus_Gained(step.window);
        if (step.kind == Focus_Step::Lost) tracker.Focus_Lost(step.window);
        if (step.kind == Focus_Step::Gone) tracker.Window_Gone(step.window);
      }
      bool active = false;
      const int report = tracker.Settle(&active) ? (active ? 1 : 0) : -1;
      EXPECT_EQ(report, c.reports[i]) << c.what << ", batch " << i;
    }
  }
}

}  // namespace
