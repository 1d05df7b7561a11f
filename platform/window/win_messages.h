#pragma once
// Window messages as the game's window procedure receives them: the message record, the
// message numbers, the virtual-key codes and the small packing helpers, with the numeric values
// the game was written against.
#include <cstdint>

#include "platform/system/win_types.h"

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using SHORT = int16_t;

using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

// Messages.
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;         // lParam: client-area x, y
constexpr UINT WM_SIZE = 0x0005;         // wParam: SIZE_*; lParam: client width, height
constexpr UINT WM_ACTIVATE = 0x0006;     // wParam: WA_ACTIVE or WA_INACTIVE
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;         // wParam: the exit code
constexpr UINT WM_ACTIVATEAPP = 0x001C;  // wParam: non-zero when the program becomes active
constexpr UINT WM_KEYDOWN = 0x0100;      // wParam: virtual key; lParam: key flags (below)
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;         // wParam: Windows-1252 character code
constexpr UINT WM_SYSKEYDOWN = 0x0104;   // a key with Alt held, or Alt itself
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_LBUTTONDOWN = 0x0201;  // lParam: client x, y; wParam: MK_* flags
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_MOUSEWHEEL = 0x020A;   // high word of wParam: signed delta, 120 per notch

// Key message flags in lParam.
constexpr LPARAM KF_REPEAT_COUNT_ONE = 1;          // bits 0-15: repeat count
constexpr LPARAM KF_ALTDOWN_BIT = LPARAM(1) << 29;  // Alt was held
constexpr LPARAM KF_REPEAT_BIT = LPARAM(1) << 30;   // the key was down before (auto-repeat)
constexpr LPARAM KF_UP_BIT = LPARAM(1) << 31;       // the key is being released

constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;

constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;

constexpr int WHEEL_DELTA = 120;

// Virtual keys. Letters and digits are their upper-case ASCII codes ('A' 65, '0' 48).
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;  // Alt
constexpr int VK_PAUSE = 0x13;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_SCROLL = 0x91;

// PeekMessageA
constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;

constexpr WORD LOWORD(uintptr_t value) { return static_cast<WORD>(value & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int low, int high) {
  return static_cast<LPARAM>(static_cast<int32_t>((static_cast<uint32_t>(high & 0xFFFF) << 16) |
                                                  static_cast<uint32_t>(low & 0xFFFF)));
}
constexpr WPARAM MAKEWPARAM(int low, int high) {
  return (static_cast<WPARAM>(high & 0xFFFF) << 16) | static_cast<WPARAM>(low & 0xFFFF);
}
constexpr int GET_X_LPARAM(LPARAM value) { return static_cast<SHORT>(LOWORD(value)); }
constexpr int GET_Y_LPARAM(LPARAM value) { return static_cast<SHORT>(HIWORD(value)); }
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM value) { return static_cast<SHORT>(HIWORD(value)); }
