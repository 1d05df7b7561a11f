#include "game/fx/CFX_Poly_Trail.h"

namespace {
bool g_Module_Started = false;
}  // namespace

bool CFX_Poly_Trail::Init() {
  g_Module_Started = true;
  return true;
}

void CFX_Poly_Trail::Term() { g_Module_Started = false; }

bool CFX_Poly_Trail::Is_Initialised() { return g_Module_Started; }
