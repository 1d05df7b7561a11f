#include "game/player/Attachment_Strikes.h"

#include "game/core/CWorld.h"
#include "game/core/CWorld_Object.h"
#include "game/core/Sound_FX.h"

namespace arsenal {

namespace {
constexpr uint32_t kSpared = 0x40;
constexpr float kSide_Margin = 20.0f;
constexpr float kNear_Fraction = 0.1f;
}  // namespace

void Hit_By_Body_Kind(CWorld_Object* object, const CShot_Line* shot) {
  switch (object->m_Body_Kind) {
    case kBody_Sphere:
      object->Hit_Sphere_Body(nullptr, shot);
      break;
    case kBody_Box: object->Hit_Box_Body(nullptr, shot); break;
    case kBody_Fixed: object->Hit_Kind5_Body(nullptr, shot); break;
    default: break;
  }
}

bool Struck_Ground_Point(const CWorld_Object* object, CVector3& ground) {
  const CVector3& p = object->m_Position;
  const float height = g_World.Has_Terrain() ? g_World.Get_Height(p.x, p.z) : 0.0f;
  ground = CVector3{p.x, height, p.z};
  const float size_x = g_World.m_Terrain.size_x, size_z = g_World.m_Terrain.size_z;
  const bool inside = ground.z >= kNear_Fraction * size_z && ground.z <= size_z - kSide_Margin &&
                      ground.x >= kSide_Margin && ground.x <= size_x - kSide_Margin;
  return inside && !(object->m_Kind_Flags & kSpared);
}

// The sound-effect rule already scales by the game state's 0.925: the use sound adds nothing.
void Play_Use_Sound(uint32_t id) { Play_Sound_FX(id, 1.0f); }

}  // namespace arsenal
