#pragma once
// The mouse cursor: its position (polled), the clip (a mouse grab of the window whose client
// area it covers), the show-cursor counter, the mouse capture and the system cursor shape.
// Main thread only.
#include <cstdint>

#include "platform/window/win_messages.h"

struct HCURSOR__;
using HCURSOR = HCURSOR__*;

// The cross-hair system cursor (LoadCursorA's name argument).
inline const char* const IDC_CROSS = reinterpret_cast<const char*>(uintptr_t{32515});

// The cursor position on the screen. Without a window under it, the last position seen.
BOOL GetCursorPos(POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
BOOL ClientToScreen(HWND window, POINT* point);

// With a rectangle (screen coordinates, normally a window's client area) the mouse is kept
// inside the window it covers; null frees it.
BOOL ClipCursor(const RECT* rect);
// The clip rectangle, or the whole screen when there is none.
BOOL GetClipCursor(RECT* rect);

// Adds 1 (show) or -1 (hide) to the display counter and answers the new count; the cursor is
// visible while the count is 0 or more. The count starts at 0.
int ShowCursor(BOOL show);

// Mouse buttons go to the capturing window wherever the mouse is. Answers the previous holder.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();

// A system cursor by name (only IDC_CROSS); null for others or without a display.
HCURSOR LoadCursorA(void* instance, const char* name);
// Makes the cursor the current shape; answers the previous one.
HCURSOR SetCursor(HCURSOR cursor);
BOOL DestroyCursor(HCURSOR cursor);

namespace plat {

// Test and harness hook: the cursor stands at (x, y) in the client area of `window` (on the
// screen when null) until cleared, whatever the real mouse does.
void Override_Cursor_Position(HWND window, int x, int y);
void Clear_Cursor_Override();

}  // namespace plat
