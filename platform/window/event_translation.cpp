#include "platform/window/event_translation.h"

#include <algorithm>
#include <cmath>

namespace plat {

namespace {

// Windows-1252 codes 0x80-0x9F and the code points they stand for (0 where the code page has
// no character).
constexpr uint16_t kHighControlRange[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool Is_Alt_Without_Ctrl(uint16_t modifiers) {
  return (modifiers & KMOD_ALT) != 0 && (modifiers & KMOD_CTRL) == 0;
}

// Reads one UTF-8 sequence at `text[*at]`; false (having skipped one byte) when malformed.
bool Next_Code_Point(const unsigned char* text, size_t* at, uint32_t* code_point) {
  const unsigned char lead = text[*at];
  int extra = 0;
  uint32_t value = 0;
  uint32_t minimum = 0;
  if (lead < 0x80) {
    value = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, value = lead & 0x07, minimum = 0x10000;
  } else {
    ++*at;
    return false;
  }
  for (int i = 1; i <= extra; ++i) {
    const unsigned char next = text[*at + i];
    if ((next & 0xC0) != 0x80) {  // also stops at the terminating 0
      ++*at;
      return false;
    }
    value = (value << 6) | (next & 0x3F);
  }
  *at += static_cast<size_t>(extra) + 1;
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
  *code_point = value;
  return true;
}

}  // namespace

int Virtual_Key_From_Sdl(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  switch (key) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_SCROLLLOCK: return VK_SCROLL;
    default: return 0;
  }
}

bool Key_Message(const SDL_KeyboardEvent& event, HWND window, MSG* out) {
  const int key = Virtual_Key_From_Sdl(event.keysym.sym);
  if (key == 0) return false;
  const bool down = event.type == SDL_KEYDOWN;
  const bool system = Is_Alt_Without_Ctrl(event.keysym.mod) ||
                      (key == VK_MENU && (event.keysym.mod & KMOD_CTRL) == 0);
  LPARAM flags = KF_REPEAT_COUNT_ONE;
  if ((event.keysym.mod & KMOD_ALT) != 0) flags |= KF_ALTDOWN_BIT;
  if (!down || event.repeat != 0) flags |= KF_REPEAT_BIT;
  if (!down) flags |= KF_UP_BIT;
  *out = MSG{};
  out->hwnd = window;
  out->message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  out->wParam = static_cast<WPARAM>(key);
  out->lParam = flags;
  out->time = event.timestamp;
  return true;
}

int Control_Char_For_Key(int virtual_key, bool ctrl_down, bool alt_down) {
  if (alt_down) return 0;
  switch (virtual_key) {
    case VK_BACK: return ctrl_down ? 127 : 8;
    case VK_TAB: return ctrl_down ? 0 : 9;
    case VK_RETURN: return ctrl_down ? 10 : 13;
    case VK_ESCAPE: return 27;
    default: break;
  }
  if (ctrl_down && virtual_key >= 'A' && virtual_key <= 'Z') return virtual_key - 'A' + 1;
  return 0;
}

int Windows1252_From_Code_Point(uint32_t code_point) {
  if (code_point < 0x20 || code_point == 0x7F) return 0;
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
    return static_cast<int>(code_point);
  }
  for (int i = 0; i < 32; ++i) {
    if (kHighControlRange[i] != 0 && kHighControlRange[i] == code_point) return 0x80 + i;
  }
  return '?';
}

std::vector<uint8_t> Windows1252_From_Utf8(const char* text) {
  std::vector<uint8_t> out;
  if (text == nullptr) return out;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  size_t at = 0;
  while (bytes[at] != 0) {
    uint32_t code_point = 0;
    if (!Next_Code_Point(bytes, &at, &code_point)) continue;
    const int code = Windows1252_From_Code_Point(code_point);
    if (code != 0) out.push_back(static_cast<uint8_t>(code));
  }
  return out;
}

bool Text_Allowed_With_Modifiers(uint16_t modifiers) {
  const bool ctrl = (modifiers & KMOD_CTRL) != 0;
  const bool alt = (modifiers & KMOD_ALT) != 0;
  const bool left_alt = (modifiers & KMOD_LALT) != 0;
  // Ctrl with Alt, or the right Alt alone, is AltGr: its characters are typed text.
  return !(ctrl && !alt) && !(left_alt && !ctrl);
}

int Wheel_Delta(const SDL_MouseWheelEvent& event) {
  double notches = event.preciseY != 0.0f ? event.preciseY : static_cast<double>(event.y);
  if (event.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
  const double delta = std::round(notches * WHEEL_DELTA);
  return static_cast<int>(std::clamp(delta, -32768.0, 32767.0));
}

UINT Button_Message(uint8_t button, bool down) {
  if (button == SDL_BUTTON_LEFT) return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
  if (button == SDL_BUTTON_RIGHT) return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
  return 0;
}

WPARAM Mouse_Key_Flags(uint32_t button_mask, uint16_t modifiers) {
  WPARAM flags = 0;
  if ((button_mask & SDL_BUTTON_LMASK) != 0) flags |= MK_LBUTTON;
  if ((button_mask & SDL_BUTTON_RMASK) != 0) flags |= MK_RBUTTON;
  if ((modifiers & KMOD_SHIFT) != 0) flags |= MK_SHIFT;
  if ((modifiers & KMOD_CTRL) != 0) flags |= MK_CONTROL;
  return flags;
}

void Activation_Tracker::Focus_Gained(uint32_t window_id) {
  m_focus_seen = true;
  if (std::find(m_focused.begin(), m_focused.end(), window_id) == m_focused.end()) {
    m_focused.push_back(window_id);
  }
}

void Activation_Tracker::Focus_Lost(uint32_t window_id) {
  m_focus_seen = true;
  Window_Gone(window_id);
}

void Activation_Tracker::Window_Gone(uint32_t window_id) {
  m_focused.erase(std::remove(m_focused.begin(), m_focused.end(), window_id), m_focused.end());
}

bool Activation_Tracker::Settle(bool* active) {
  if (!m_focus_seen) return false;
  const bool now_active = !m_focused.empty();
  if (now_active == m_reported_active) return false;
  m_reported_active = now_active;
  *active = now_active;
  return true;
}

}  // namespace plat
