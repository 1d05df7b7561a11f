#pragma once
// The roller ejector: an invisible launch point, marked by a glowing beam cross, that sends
// roller targets along one of the four horizontal world directions at 160.
#include "game/targets/CLaunch_Point_Ejector.h"

class CObject_Pool;

class CEjector_Roller : public CLaunch_Point_Ejector {
 public:
  static constexpr uint32_t kType = 44;

  CEjector_Roller() : CLaunch_Point_Ejector("CEjector_Roller") {}

  void Spawn(const uint32_t& direction, const uint32_t& colour, const CVector3& position);
  // +x, -x, +z, -z for directions 0 to 3; zero for any other.
  CVector3 Launch_Direction() const override;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  uint32_t m_Direction = 0;

 protected:
  void Launch() override;
  CColor4 Marker_Colour() const override;
};
