#pragma once
// The picture the splash window shows while the program loads, generated (no image file is
// shipped): a deep blue field with a framed target emblem and title bars.
#include <cstdint>
#include <vector>

namespace plat {

// Pixels in 0xAARRGGBB, row by row from the top; the same pixels on every call.
std::vector<uint32_t> Generate_Splash_Picture(int width, int height);

}  // namespace plat
