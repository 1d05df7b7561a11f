#include "platform/window/splash_picture.h"

#include <cstdlib>

namespace plat {

namespace {

uint32_t Rgb(int r, int g, int b) {
  return 0xFF000000u | (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
         static_cast<uint32_t>(b);
}

bool Inside(int x, int y, int left, int top, int right, int bottom) {
  return x >= left && x < right && y >= top && y < bottom;
}

uint32_t Background(int y, int height) {
  // From (8, 16, 48) at the top to (2, 6, 20) at the bottom; every fourth row darker.
  const int t = height > 1 ? y * 256 / (height - 1) : 0;
  int r = 8 - (6 * t) / 256;
  int g = 16 - (10 * t) / 256;
  int b = 48 - (28 * t) / 256;
  if (y % 4 == 3) r = r * 4 / 5, g = g * 4 / 5, b = b * 4 / 5;
  return Rgb(r, g, b);
}

}  // namespace

std::vector<uint32_t> Generate_Splash_Picture(int width, int height) {
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096) return {};
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  const int radius = height * 3 / 10;
  const int centre_x = height / 2 + 8;
  const int centre_y = height / 2;
  const int bars_left = centre_x + radius + 20;
  const int bars_right = width - 16;
  const int title_top = height * 35 / 100;
  const int title_bottom = title_top + height * 12 / 100;
  const int line_top = title_bottom + height * 8 / 100;
  const int line_bottom = line_top + height * 5 / 100;
  const int line_right = bars_left + (bars_right - bars_left) * 7 / 10;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t colour = Background(y, height);
      const int dx = x - centre_x;
      const int dy = y - centre_y;
      const int distance_squared = dx * dx + dy * dy;
      const bool frame = Inside(x, y, 3, 3, width - 3, height - 3) &&
                         !Inside(x, y, 5, 5, width - 5, height - 5);
      const bool ring = distance_squared <= radius * radius &&
                        distance_squared >= (radius - 3) * (radius - 3);
      const bool cross = (std::abs(dx) <= 1 || std::abs(dy) <= 1) &&
                         distance_squared <= (radius + 6) * (radius + 6) &&
                         distance_squared >= 36;
      if (frame) colour = Rgb(90, 170, 220);
      if (ring || cross) colour = Rgb(120, 200, 255);
      if (distance_squared <= 4) colour = Rgb(255, 90, 60);
      if (Inside(x, y, bars_left, title_top, bars_right, title_bottom)) colour = Rgb(200, 220, 240);
      if (Inside(x, y, bars_left, line_top, line_right, line_bottom)) colour = Rgb(90, 140, 190);
      pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = colour;
    }
  }
  return pixels;
}

}  // namespace plat
