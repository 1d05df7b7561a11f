#include "game/warroom/Format_Minutes_Seconds.h"

#include <algorithm>
#include <cstdio>

void Format_Minutes_Seconds(char* out, size_t size, int seconds) {
  if (!out || size == 0) return;
  seconds = std::max(seconds, 0);
  std::snprintf(out, size, "%d:%.2d", seconds / 60, seconds % 60);
}
