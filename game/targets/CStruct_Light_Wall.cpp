#include "game/targets/CStruct_Light_Wall.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CStruct_Light_Wall::Pool() {
  static CObject_Pool_Of<CStruct_Light_Wall, kType> pool;
  return &pool;
}

void CStruct_Light_Wall::Spawn(int facing, const CVector3& place, const float colour[4]) {
  Start_Marker(place);
  m_Facing = facing;
  m_Lit = 0;
  for (int i = 0; i < 4; ++i) m_Colour[i] = colour[i];
}
