#include "game/sim/Launch_Helpers.h"

#include "platform/system/random.h"

namespace {

float Random_Signed() { return 2.0f * static_cast<float>(plat::Random()) / 32768.0f - 1.0f; }

}  // namespace

CVector3 Random_Perpendicular_Vector(const CVector3& direction) {
  const float first = Random_Signed();
  const float second = Random_Signed();
  const float third = Random_Signed();
  CVector3 v{second, first, third};
  const float along = v.Dot(direction);
  v.Set(v.x - direction.x * along, v.y - direction.y * along, v.z - direction.z * along);
  const float length = v.Length();
  if (length != 0.0f) return CVector3{v.x / length, v.y / length, v.z / length};
  return CVector3{0.0f, 0.0f, 1.0f};
}
