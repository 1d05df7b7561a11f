#include "game/fx/Draw_Helpers.h"

#include <cmath>

#include "game/core/CWorld.h"
#include "game/core/CWorld_Decal_Mgr.h"
#include "platform/system/random.h"

namespace {

constexpr float kQuarter = 0.78539816f;  // pi / 4

bool Place(const uint32_t& kind, const CVector3& position, const float& size, const float& life,
           const uint32_t& color, const CQuaternion& turn) {
  CTerrain_Decal placement;
  placement.slot = -1;
  placement.triangle_count = 0;
  if (!g_World.Build_Terrain_Decal(position, size, placement)) return false;
  CMatrix4x4 place;
  place.From_Quaternion_Position(turn, position);
  place.Inverse();
  CMatrix4x4 scale{};
  scale.m[0][0] = 2.0f / size;
  scale.m[1][1] = 2.0f / size;
  scale.m[2][2] = 0.0010001f;
  scale.m[3][2] = -0.00010001f;
  scale.m[3][3] = 1.0f;
  CMatrix4x4 offset{};
  offset.m[0][0] = 0.25f;
  offset.m[1][1] = 0.25f;
  offset.m[3][0] = 0.5f;
  offset.m[3][1] = 0.5f;
  offset.m[3][2] = 1.0f;
  offset.m[3][3] = 1.0f;
  CMatrix4x4 scaled, projection;
  place.Multiply(scale, scaled);
  scaled.Multiply(offset, projection);
  g_World_Decal_Mgr.Add_Decal(placement, static_cast<int>(kind), projection, life, color);
  return true;
}

}  // namespace

bool Place_World_Decal(const uint32_t& kind, const CVector3& position, const float& size, const float& life,
                       const uint32_t& color) {
  const CQuaternion quarter_about_x{std::sin(kQuarter), 0.0f, 0.0f, std::cos(kQuarter)};
  return Place(kind, position, size, life, color, quarter_about_x);
}

bool Place_World_Decal_Random(const uint32_t& kind, const CVector3& position, const float& size,
                              const float& life, const uint32_t& color) {
  const float theta = static_cast<float>(plat::Random()) / 32768.0f * 6.2831853f;
  const float a = theta * 0.5f;
  const float b = kQuarter;
  const CQuaternion turn{std::cos(a) * std::sin(b), std::sin(a) * std::cos(b), -std::sin(a) * std::sin(b),
                         std::cos(a) * std::cos(b)};
  return Place(kind, position, size, life, color, turn);
}
