#include "game/fx/CFX_Laser.h"

namespace {
bool g_Module_Started = false;
}  // namespace

bool CFX_Laser::Init() {
  g_Module_Started = true;
  return true;
}

void CFX_Laser::Term() { g_Module_Started = false; }

bool CFX_Laser::Is_Initialised() { return g_Module_Started; }
