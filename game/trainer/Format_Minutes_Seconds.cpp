#include "game/trainer/Format_Minutes_Seconds.h"

#include <cstdio>

const char* Format_Minutes_Seconds(const int& units) {
  static char text[32];
  std::snprintf(text, sizeof(text), "%d:%.2d", units / 60, units % 60);
  return text;
}
