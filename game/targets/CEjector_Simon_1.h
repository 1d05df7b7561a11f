#pragma once
// The memory-game ejector. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CEjector_Simon_1 : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 47;

  CEjector_Simon_1() : CMarker_Object(kType, kMarker_Ejector, 200.0f) {}

  void Spawn(const CEjector_Params& params, const CVector3& place);
  // One command of the board: action and argument of a track point.
  void Command(uint32_t action, uint32_t argument);
  uint32_t m_Last_Action = 0;
  uint32_t m_Last_Argument = 0;
  uint32_t m_Command_Count = 0;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
