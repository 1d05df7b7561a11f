#pragma once
// The program's windows over SDL2: the main window (an OpenGL-capable SDL window whose messages
// go to a window procedure) and the splash window (a borderless window showing a generated
// picture), with the placement calls the game makes. Coordinates are those of the client area:
// SDL places a window by its client area, so a window's rectangle and its client rectangle on
// the screen are the same. SDL's video subsystem is started when first needed; without a
// display, creating a window fails and the other calls answer FALSE or 0.
// All of these run on the main thread.
#include "platform/window/picture_placement.h"
#include "platform/window/win_messages.h"

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT SWP_NOOWNERZORDER = 0x0200;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_SYSMENU = 0x00080000;

// Creates the hidden main window with the given title and client size at the default
// position; its messages are dispatched to `proc`. The OpenGL attributes are set first
// (compatibility profile 2.1, double buffered). Null when no window can be made.
HWND Create_Main_Window(const char* title, int width, int height, WNDPROC proc);

// Creates the hidden splash window: borderless, centred on the screen, showing the generated
// splash picture at the given size. `owner` is the main window. Null when no window can be made.
HWND Create_Splash_Window(HWND owner, int width, int height);

// Sends WM_DESTROY to the window's procedure, drops its queued messages, and destroys it.
BOOL DestroyWindow(HWND window);

// SW_HIDE hides the window; any other command shows it. Answers whether it was visible before.
BOOL ShowWindow(HWND window, int command);

// Paints the window now (the splash picture); the main window is drawn by the renderer.
BOOL UpdateWindow(HWND window);

// Moves and sizes the window (unless SWP_NOMOVE / SWP_NOSIZE), then shows or hides it for
// SWP_SHOWWINDOW / SWP_HIDEWINDOW. The stacking order is left alone.
BOOL SetWindowPos(HWND window, HWND insert_after, int x, int y, int width, int height,
                  UINT flags);

// (0, 0, width, height): the presented picture's size while one is set (see below), else the
// window's.
BOOL GetClientRect(HWND window, RECT* rect);
BOOL GetWindowRect(HWND window, RECT* rect);  // on the screen
// The window rectangle for a client rectangle: the same rectangle (see above).
BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu);

// The size of the first display (SM_CXSCREEN, SM_CYSCREEN); 0 without a display.
int GetSystemMetrics(int index);

namespace plat {

// The graphics device tells the window the size of the picture it presents there (its back
// buffer; 0, 0 for none). From then on the window's client coordinates (GetClientRect,
// ScreenToClient, ClientToScreen, the mouse messages and the cursor clip) are the picture's
// pixels, mapped through the placement the picture is shown with, however large the window is.
void Set_Presented_Size(HWND window, int width, int height);

// Where the presented picture stands in the window, in the window's own units (SDL's window
// coordinates, those of the mouse); one to one without a presented picture.
Picture_Placement Presented_Placement(HWND window);

// Shows the window over the whole of its display, or back as a normal window. Where no window
// manager carries out the request (a bare X server), the window covers the display all the same.
// Any OpenGL window of SDL's, not only those made here.
bool Set_Full_Screen(HWND window, bool full_screen);

}  // namespace plat
