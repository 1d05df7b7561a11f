#include "platform/window/picture_placement.h"

#include <algorithm>
#include <cmath>

namespace plat {

Picture_Placement Place_Picture(int window_width, int window_height, int picture_width, int picture_height) {
  Picture_Placement placement;
  placement.picture_width = picture_width;
  placement.picture_height = picture_height;
  placement.width = picture_width;
  placement.height = picture_height;
  if (window_width <= 0 || window_height <= 0 || picture_width <= 0 || picture_height <= 0) return placement;
  const double scale = std::min(static_cast<double>(window_width) / picture_width,
                                static_cast<double>(window_height) / picture_height);
  placement.width = std::clamp(static_cast<int>(std::lround(picture_width * scale)), 1, window_width);
  placement.height = std::clamp(static_cast<int>(std::lround(picture_height * scale)), 1, window_height);
  placement.x = (window_width - placement.width) / 2;
  placement.y = (window_height - placement.height) / 2;
  return placement;
}

namespace {

// The picture pixel under a window pixel's centre, along one axis.
LONG To_Picture(LONG window, int start, int length, int picture_length) {
  if (length <= 0 || picture_length <= 0) return window;
  const double along = (window - start + 0.5) * picture_length / length;
  return static_cast<LONG>(std::floor(along));
}

// The window pixel under a picture pixel's centre, along one axis.
LONG To_Window(LONG picture, int start, int length, int picture_length) {
  if (length <= 0 || picture_length <= 0) return picture;
  const double along = (picture + 0.5) * length / picture_length;
  return static_cast<LONG>(start + std::floor(along));
}

}  // namespace

POINT Window_To_Picture(const Picture_Placement& placement, POINT window_point) {
  return POINT{To_Picture(window_point.x, placement.x, placement.width, placement.picture_width),
               To_Picture(window_point.y, placement.y, placement.height, placement.picture_height)};
}

POINT Picture_To_Window(const Picture_Placement& placement, POINT picture_point) {
  return POINT{To_Window(picture_point.x, placement.x, placement.width, placement.picture_width),
               To_Window(picture_point.y, placement.y, placement.height, placement.picture_height)};
}

}  // namespace plat
