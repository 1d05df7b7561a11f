#pragma once
// Where the graphics device's picture (its back buffer) stands in a window whose size differs
// from it: scaled by one factor so that it fits the window whole, centred, with black bars on
// the two sides that are left over. The device presents through this placement and the mouse
// is mapped through it, so that a pointer over a pixel of the picture reaches the game as that
// pixel of the back buffer, whatever the window's size.
#include "platform/system/win_types.h"

namespace plat {

struct Picture_Placement {
  // The picture's rectangle in the window, in the window's pixels, top row first.
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  // The picture's own size.
  int picture_width = 0;
  int picture_height = 0;

  // The picture fills the window one to one: nothing to map.
  bool Is_Identity() const {
    return x == 0 && y == 0 && width == picture_width && height == picture_height;
  }
};

// The placement of a picture in a window. A picture or window without area is shown one to one.
Picture_Placement Place_Picture(int window_width, int window_height, int picture_width, int picture_height);

// A window pixel to the picture pixel shown there (outside the picture on the bars), and back to
// the window pixel at the centre of a picture pixel. Going there and back gives the same picture
// pixel while the picture is shown at its own size or larger.
POINT Window_To_Picture(const Picture_Placement& placement, POINT window_point);
POINT Picture_To_Window(const Picture_Placement& placement, POINT picture_point);

}  // namespace plat
