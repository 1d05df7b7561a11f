#include "game/core/WinMain.h"

#include <cstdio>

int WinMain() {
  std::fprintf(stderr, "vorthane: engine services started; nothing to run yet\n");
  return 0;
}
