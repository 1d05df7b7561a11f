#include "platform/window/keyboard.h"

#include <SDL2/SDL.h>

SHORT GetKeyState(int virtual_key) {
  SDL_Keymod wanted = KMOD_NONE;
  switch (virtual_key) {
    case VK_SHIFT: wanted = KMOD_SHIFT; break;
    case VK_CONTROL: wanted = KMOD_CTRL; break;
    case VK_MENU: wanted = KMOD_ALT; break;
    default: return 0;
  }
  constexpr SHORT kHeld = static_cast<SHORT>(0x8000);
  return (SDL_GetModState() & wanted) != 0 ? kHeld : SHORT{0};
}
