#include "game/trainer/Format_Minutes_Seconds.h"

#include <algorithm>
#include <cstdio>

const char* Format_Minutes_Seconds(const int& units) {
  static char text[32];
  std::snprintf(text, sizeof(text), "%d:%.2d", units / 60, units % 60);
  return text;
}

void Format_Minutes_Seconds(char* out, size_t size, int seconds) {
  if (!out || size == 0) return;
  seconds = std::max(seconds, 0);
  std::snprintf(out, size, "%d:%.2d", seconds / 60, seconds % 60);
}
