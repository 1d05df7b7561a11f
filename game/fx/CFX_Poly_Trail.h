#pragma once
// Polygon trails behind moving objects; the module starts with a simulation and stops at every mode change.
class CFX_Poly_Trail {
 public:
  static bool Init();
  static void Term();
  static bool Is_Initialised();
};
