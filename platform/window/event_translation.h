#pragma once
// The pure part of turning SDL input into window messages: virtual keys and key flags, the
// control characters that translating a key gives, Windows-1252 characters from typed text,
// wheel deltas, mouse-button messages, and the program's activation over its own windows.
#include <SDL2/SDL_events.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/win_messages.h"

namespace plat {

// The virtual-key code of an SDL key; 0 for keys the program has no use for.
int Virtual_Key_From_Sdl(SDL_Keycode key);

// The key message (WM_KEYDOWN/UP, or WM_SYSKEYDOWN/UP while Alt is held without Ctrl) for an
// SDL key event; false for keys without a virtual-key code. An auto-repeated press carries the
// repeat bit.
bool Key_Message(const SDL_KeyboardEvent& event, HWND window, MSG* out);

// The character that translating a key press gives: Backspace 8 (127 with Ctrl), Tab 9,
// Enter 13 (10 with Ctrl), Esc 27 and Ctrl+letter 1-26; 0 for every other key and whenever Alt
// is held. Printable characters come from typed text instead.
int Control_Char_For_Key(int virtual_key, bool ctrl_down, bool alt_down);

// The Windows-1252 code of a Unicode code point; '?' for one the code page lacks and 0 for
// control codes, which typed text never carries.
int Windows1252_From_Code_Point(uint32_t code_point);

// The characters of UTF-8 typed text in Windows-1252 (0 codes left out); malformed bytes are
// skipped.
std::vector<uint8_t> Windows1252_From_Utf8(const char* text);

// Typed text is dropped while Ctrl without Alt, or the left Alt without Ctrl, is held: those
// presses give control characters or system keys instead.
bool Text_Allowed_With_Modifiers(uint16_t modifiers);

// The WM_MOUSEWHEEL delta of one wheel event: 120 per notch, fractions of a notch rounded to
// the nearest unit, limited to the signed 16-bit range. Positive is away from the user.
int Wheel_Delta(const SDL_MouseWheelEvent& event);

// WM_LBUTTONDOWN/UP or WM_RBUTTONDOWN/UP for an SDL button; 0 for other buttons.
UINT Button_Message(uint8_t button, bool down);

// The MK_* flags for the held mouse buttons (an SDL button mask) and modifier keys.
WPARAM Mouse_Key_Flags(uint32_t button_mask, uint16_t modifiers);

// Whether the program is active: one of its own windows has the keyboard focus. Focus moving
// between two of its windows is no change; the answer is settled once a batch of events has
// been read, so the moment between losing focus in one window and gaining it in another does
// not count.
class Activation_Tracker {
 public:
  void Focus_Gained(uint32_t window_id);
  void Focus_Lost(uint32_t window_id);
  void Window_Gone(uint32_t window_id);

  // True, with the new state in `active`, when activation changed since the last report.
  // The program starts out active, and stays so until the first focus change is seen (a
  // display without focus events never deactivates it).
  bool Settle(bool* active);

 private:
  std::vector<uint32_t> m_focused;
  bool m_focus_seen = false;
  bool m_reported_active = true;
};

}  // namespace plat
