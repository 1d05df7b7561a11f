#pragma once
// The pill ejector: an invisible launch point, marked by a glowing beam cross, that fires pill
// targets along the world's x axis at 160, towards +x from side 0 and -x from side 1.
#include "game/targets/CLaunch_Point_Ejector.h"

class CObject_Pool;

class CEjector_Pill : public CLaunch_Point_Ejector {
 public:
  static constexpr uint32_t kType = 46;

  CEjector_Pill() : CLaunch_Point_Ejector("CEjector_Pill") {}

  // The line a pill flies along must clear the ground: how high the launch point must stand so
  // that the line along x through it is at least 95 above the terrain at 48 evenly spaced
  // samples from x = 0 to the world's x extent (at its own z). The point's own height when it
  // already clears; the spawner raises the point to it.
  static constexpr float kLine_Clearance = 95.0f;
  static constexpr int kLine_Samples = 48;
  static float Clearing_Height(const CVector3& point);

  void Spawn(const uint32_t& side, const uint32_t& colour, const CVector3& position);
  CVector3 Launch_Direction() const override;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  uint32_t m_Side = 0;

 protected:
  void Launch() override;
  CColor4 Marker_Colour() const override;
};
