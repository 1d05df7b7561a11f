#include "game/sim/Launch_Helpers.h"

#include <cstring>

#include "platform/system/random.h"

namespace {
float Signed_Unit() { return 2.0f * static_cast<float>(plat::Random()) / 32768.0f - 1.0f; }
}  // namespace

CVector3 Random_Perpendicular_Vector(const CVector3& direction) {
  const float first = Signed_Unit();
  const float second = Signed_Unit();
  const float third = Signed_Unit();
  CVector3 v{second, first, third};
  CVector3 along;
  direction.Scale(v.Dot(direction), along);
  v.Subtract_Assign(along);
  const float length = v.Length();
  if (length == 0.0f) return CVector3{0.0f, 0.0f, 1.0f};
  return CVector3{v.x / length, v.y / length, v.z / length};
}

// English ordinals: 11, 12 and 13 (and 111, 212, ...) take "th".
const char* Get_Ordinal_Suffix(const unsigned& n) {
  static char suffix[4];
  const unsigned last_two = n % 100;
  const char* text = "th";
  if (last_two < 11 || last_two > 13) {
    switch (n % 10) {
      case 1: text = "st"; break;
      case 2: text = "nd"; break;
      case 3: text = "rd"; break;
      default: break;
    }
  }
  std::strncpy(suffix, text, sizeof(suffix));
  return suffix;
}
