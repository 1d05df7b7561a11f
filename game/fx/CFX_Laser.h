#pragma once
// Laser beams; the module starts with a simulation and stops at every mode change.
class CFX_Laser {
 public:
  static bool Init();
  static void Term();
  static bool Is_Initialised();
};
