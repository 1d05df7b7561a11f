#include "game/fx/CFX_Lightning.h"

namespace {
bool g_Module_Started = false;
}  // namespace

bool CFX_Lightning::Init() {
  g_Module_Started = true;
  return true;
}

void CFX_Lightning::Term() { g_Module_Started = false; }

bool CFX_Lightning::Is_Initialised() { return g_Module_Started; }
