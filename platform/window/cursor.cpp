#include "platform/window/cursor.h"

#include <SDL2/SDL.h>

#include <algorithm>

#include "platform/window/window.h"
#include "platform/window/window_registry.h"

struct HCURSOR__ {
  SDL_Cursor* cursor = nullptr;
};

namespace wd = plat::window_detail;

namespace {

struct Cursor_Override {
  bool active = false;
  HWND window = nullptr;
  POINT point{0, 0};
};

int g_show_count = 0;
HWND g_capture = nullptr;
HWND g_clip_window = nullptr;
RECT g_clip_client{0, 0, 0, 0};  // the clip in the client coordinates of its window
POINT g_last_seen{0, 0};
Cursor_Override g_override;
HCURSOR g_current_cursor = nullptr;

POINT Window_Origin(HWND window) {
  POINT origin{0, 0};
  if (wd::Find_Window(window) != nullptr) SDL_GetWindowPosition(window, &origin.x, &origin.y);
  return origin;
}

// A screen point in the window's own pixels.
POINT Screen_To_Window(HWND window, POINT point) {
  const POINT origin = Window_Origin(window);
  return POINT{point.x - origin.x, point.y - origin.y};
}

// The clip rectangle on the screen as the window now shows its client area.
RECT Clip_On_Screen() {
  POINT top_left{g_clip_client.left, g_clip_client.top};
  POINT bottom_right{g_clip_client.right, g_clip_client.bottom};
  ClientToScreen(g_clip_window, &top_left);
  ClientToScreen(g_clip_window, &bottom_right);
  return RECT{top_left.x, top_left.y, bottom_right.x, bottom_right.y};
}

// Confines the mouse to the part of the clip that the window shows: the picture without its
// bars when the clip is the client area.
void Confine_Mouse() {
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(g_clip_window, &width, &height);
  const RECT screen = Clip_On_Screen();
  const POINT origin = Window_Origin(g_clip_window);
  const int left = std::clamp(static_cast<int>(screen.left - origin.x), 0, width);
  const int top = std::clamp(static_cast<int>(screen.top - origin.y), 0, height);
  const int right = std::clamp(static_cast<int>(screen.right - origin.x), left, width);
  const int bottom = std::clamp(static_cast<int>(screen.bottom - origin.y), top, height);
  const SDL_Rect area{left, top, right - left, bottom - top};
  SDL_SetWindowMouseRect(g_clip_window, area.w > 0 && area.h > 0 ? &area : nullptr);
}

// The window of ours whose client area holds the point, else the main window.
HWND Window_At(POINT point) {
  for (HWND window : wd::Message_Windows()) {
    RECT rect{};
    GetWindowRect(window, &rect);
    if (point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
        point.y < rect.bottom) {
      return window;
    }
  }
  return wd::Main_Window();
}

}  // namespace

namespace plat::window_detail {

POINT Window_Point_To_Screen(HWND window, POINT point) {
  const POINT origin = Window_Origin(window);
  return POINT{origin.x + point.x, origin.y + point.y};
}

void Note_Mouse_Position(HWND window, int x, int y) {
  if (Find_Window(window) == nullptr) return;
  g_last_seen = Window_Point_To_Screen(window, POINT{x, y});
}

void Refresh_Cursor_Clip(HWND window) {
  if (window != nullptr && window == g_clip_window) Confine_Mouse();
}

void Forget_Window_Cursor(HWND window) {
  if (g_capture == window) ReleaseCapture();
  if (g_clip_window == window) ClipCursor(nullptr);
  if (g_override.window == window) g_override = Cursor_Override{};
}

void Apply_Cursor_Visibility() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
  SDL_ShowCursor(g_show_count >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace plat::window_detail

namespace plat {

void Override_Cursor_Position(HWND window, int x, int y) {
  g_override = Cursor_Override{true, window, POINT{x, y}};
}

void Clear_Cursor_Override() { g_override = Cursor_Override{}; }

}  // namespace plat

BOOL GetCursorPos(POINT* point) {
  if (point == nullptr) return FALSE;
  if (g_override.active) {
    *point = g_override.point;
    if (g_override.window != nullptr) ClientToScreen(g_override.window, point);
    return TRUE;
  }
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
    SDL_Window* focus = SDL_GetMouseFocus();
    if (wd::Find_Window(focus) != nullptr) {
      int x = 0;
      int y = 0;
      SDL_GetMouseState(&x, &y);
      wd::Note_Mouse_Position(focus, x, y);
    }
  }
  *point = g_last_seen;
  return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
  if (wd::Find_Window(window) == nullptr || point == nullptr) return FALSE;
  *point = plat::Window_To_Picture(plat::Presented_Placement(window), Screen_To_Window(window, *point));
  return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
  if (wd::Find_Window(window) == nullptr || point == nullptr) return FALSE;
  *point = wd::Window_Point_To_Screen(window, plat::Picture_To_Window(plat::Presented_Placement(window), *point));
  return TRUE;
}

BOOL ClipCursor(const RECT* rect) {
  if (g_clip_window != nullptr) {
    SDL_SetWindowMouseRect(g_clip_window, nullptr);
    SDL_SetWindowGrab(g_clip_window, SDL_FALSE);
  }
  g_clip_window = nullptr;
  if (rect == nullptr) return TRUE;
  const POINT centre{(rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2};
  HWND window = Window_At(centre);
  if (window == nullptr) return FALSE;
  // Kept in client coordinates, so that the clip follows the picture when the window moves,
  // changes size or goes full screen.
  POINT top_left{rect->left, rect->top};
  POINT bottom_right{rect->right, rect->bottom};
  ScreenToClient(window, &top_left);
  ScreenToClient(window, &bottom_right);
  g_clip_window = window;
  g_clip_client = RECT{top_left.x, top_left.y, bottom_right.x, bottom_right.y};
  SDL_SetWindowGrab(window, SDL_TRUE);
  Confine_Mouse();
  return TRUE;
}

BOOL GetClipCursor(RECT* rect) {
  if (rect == nullptr) return FALSE;
  if (g_clip_window != nullptr) {
    *rect = Clip_On_Screen();
  } else {
    *rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return TRUE;
}

int ShowCursor(BOOL show) {
  g_show_count += show ? 1 : -1;
  wd::Apply_Cursor_Visibility();
  return g_show_count;
}

HWND SetCapture(HWND window) {
  const HWND previous = g_capture;
  if (wd::Find_Window(window) == nullptr) return previous;
  g_capture = window;
  // Not every video driver can follow the mouse outside the window; the capture still routes
  // the buttons.
  SDL_CaptureMouse(SDL_TRUE);
  return previous;
}

BOOL ReleaseCapture() {
  if (g_capture != nullptr) SDL_CaptureMouse(SDL_FALSE);
  g_capture = nullptr;
  return TRUE;
}

HWND GetCapture() { return g_capture; }

HCURSOR LoadCursorA(void* /*instance*/, const char* name) {
  if (name != IDC_CROSS || !wd::Ensure_Video()) return nullptr;
  SDL_Cursor* cursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR);
  if (cursor == nullptr) return nullptr;
  return new HCURSOR__{cursor};
}

HCURSOR SetCursor(HCURSOR cursor) {
  const HCURSOR previous = g_current_cursor;
  g_current_cursor = cursor;
  if (cursor != nullptr) SDL_SetCursor(cursor->cursor);
  return previous;
}

BOOL DestroyCursor(HCURSOR cursor) {
  if (cursor == nullptr) return FALSE;
  if (g_current_cursor == cursor) g_current_cursor = nullptr;
  SDL_FreeCursor(cursor->cursor);
  delete cursor;
  return TRUE;
}
