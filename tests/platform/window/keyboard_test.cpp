#include "platform/window/keyboard.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

namespace {

// Each modifier is held from either side of the keyboard and only while SDL says so; other keys
// are never reported held.
TEST(Key_State, ModifiersAreHeldFromEitherSide) {
  struct Case {
    SDL_Keymod mods;
    bool shift, control, alt;
  } cases[] = {
      {KMOD_NONE, false, false, false},  {KMOD_LSHIFT, true, false, false},
      {KMOD_RSHIFT, true, false, false}, {KMOD_LCTRL, false, true, false},
      {KMOD_RALT, false, false, true},   {static_cast<SDL_Keymod>(KMOD_LSHIFT | KMOD_RCTRL), true, true, false},
      {KMOD_CAPS, false, false, false},
  };
  for (const Case& c : cases) {
    SDL_SetModState(c.mods);
    EXPECT_EQ(GetKeyState(VK_SHIFT) < 0, c.shift) << c.mods;
    EXPECT_EQ(GetKeyState(VK_CONTROL) < 0, c.control) << c.mods;
    EXPECT_EQ(GetKeyState(VK_MENU) < 0, c.alt) << c.mods;
    EXPECT_EQ(GetKeyState(VK_LEFT), 0) << c.mods;
  }
  SDL_SetModState(KMOD_NONE);
}

}  // namespace
