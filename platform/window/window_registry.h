#pragma once
// Bookkeeping shared by the window layer's files: the windows it created and SDL start-up.
#include <SDL2/SDL_video.h>

#include <cstdint>
#include <vector>

#include "platform/window/picture_placement.h"
#include "platform/window/win_messages.h"

namespace plat::window_detail {

struct Window_Record {
  HWND window = nullptr;
  uint32_t id = 0;          // SDL's window id
  WNDPROC proc = nullptr;   // null for the splash window, which takes no messages
  std::vector<uint32_t> picture;  // the splash picture, ARGB, width x height
  int picture_width = 0;
  int picture_height = 0;
  // The size of the picture the graphics device presents in the window; 0 when none is set,
  // and the client area is then the window itself.
  int presented_width = 0;
  int presented_height = 0;
};

// Starts SDL's video and events subsystems once; false when there is no display.
bool Ensure_Video();

Window_Record* Find_Window(HWND window);
Window_Record* Find_Window_By_Id(uint32_t id);
// The first window with a procedure (the main window), or null.
HWND Main_Window();
// Every window that takes messages.
std::vector<HWND> Message_Windows();

// Where the presented picture stands in the window (one to one without a presented picture).
Picture_Placement Placement_Of(const Window_Record& record);

// Draws the splash picture into its window.
void Paint_Picture(const Window_Record& record);

// Clean-ups when a window goes: its queued messages and focus (message queue), and the mouse
// capture and clip it held (cursor).
void Forget_Window_Messages(HWND window, uint32_t id);
void Forget_Window_Cursor(HWND window);

// Puts the cursor clip held by the window where the window now shows it (after a move, a change
// of size, of full screen or of the presented picture).
void Refresh_Cursor_Clip(HWND window);

// Remembers where the mouse was last seen, in the client coordinates of `window`, for when it
// is over no window of ours.
void Note_Mouse_Position(HWND window, int x, int y);
// A point in the window's own pixels (SDL's mouse coordinates) on the screen.
POINT Window_Point_To_Screen(HWND window, POINT point);

// Gives SDL the cursor visibility the show-cursor counter asks for.
void Apply_Cursor_Visibility();

}  // namespace plat::window_detail
