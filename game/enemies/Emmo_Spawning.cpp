#include "game/enemies/Emmo_Spawning.h"

#include <algorithm>

#include "game/core/CCamera.h"
#include "game/core/CWorld.h"
#include "game/enemies/CEmmo_Anti_Matter.h"
#include "game/enemies/CEmmo_Ball_2.h"
#include "game/enemies/CEmmo_Bar_1.h"
#include "game/enemies/CEmmo_Bullet_1.h"
#include "game/enemies/CEmmo_Can.h"
#include "game/enemies/CEmmo_Discus_1.h"
#include "game/enemies/CEmmo_Missile_1.h"
#include "game/enemies/CEmmo_Roller.h"
#include "platform/system/random.h"

namespace {

constexpr int kColour_Variants = 4;
constexpr int kDrift_Directions = 5;
constexpr float kDrop_Height = 500.0f;     // above the camera, for what falls on the player
constexpr float kRise_Height = 150.0f;     // above the ground, for what climbs from it
constexpr float kHoming_Rise_Speed = 400.0f;
constexpr float kBullet_Band = 300.0f;     // bullets wait within this band about the camera's height
constexpr float kRoller_Drop = 250.0f;
constexpr float kRoller_Speed = 100.0f;

float R() { return static_cast<float>(plat::Random()) / 32768.0f; }

CVector3 Above(const CVector3& place, float height) { return CVector3{place.x, place.y + height, place.z}; }

}  // namespace

bool Is_Track_Ammunition(uint32_t type) {
  switch (type) {
    case CEmmo_Ball_2::kType:
    case CEmmo_Missile_1::kType:
    case CEmmo_Discus_1::kType:
    case CEmmo_Bar_1::kType:
    case CEmmo_Bullet_1::kType:
    case CEmmo_Anti_Matter::kType:
    case CEmmo_Roller::kType:
    case CEmmo_Can::kType:
      return true;
    default:
      return false;
  }
}

int Ammunition_Variant(int argument, int count) {
  if (argument >= 0 && argument < count) return argument;
  return std::min(plat::Random() * count / 32768, count - 1);
}

bool Spawn_Track_Ammunition(uint32_t type, CWorld_Object* object, const CVector3& place, int argument) {
  if (!object) return false;
  const float camera_y = g_Camera.Position().y;
  const CVector3 high{place.x, camera_y + kDrop_Height, place.z};
  switch (type) {
    case CEmmo_Ball_2::kType: {
      const int variant = Ammunition_Variant(argument, kColour_Variants);
      const CVector3 start = Above(place, kRise_Height);
      CEmmo_Ball_2* ball = static_cast<CEmmo_Ball_2*>(object);
      if (!ball->Spawn(&variant, &start)) return false;
      ball->m_Sphere.velocity = CVector3{0.0f, kHoming_Rise_Speed, 0.0f};
      return true;
    }
    case CEmmo_Missile_1::kType: {
      const CVector3 start = Above(place, kRise_Height);
      return static_cast<CEmmo_Missile_1*>(object)->Spawn(&start);
    }
    case CEmmo_Discus_1::kType: {
      const int variant = Ammunition_Variant(argument, kColour_Variants);
      return static_cast<CEmmo_Discus_1*>(object)->Spawn(&variant, &high);
    }
    case CEmmo_Bar_1::kType: {
      const int variant = Ammunition_Variant(argument, kColour_Variants);
      return static_cast<CEmmo_Bar_1*>(object)->Spawn(&variant, &high);
    }
    case CEmmo_Bullet_1::kType: {
      const int variant = Ammunition_Variant(argument, kColour_Variants);
      const int direction = Ammunition_Variant(-1, kDrift_Directions);
      const CVector3 start{place.x, camera_y - 0.5f * kBullet_Band + kBullet_Band * R(), place.z};
      return static_cast<CEmmo_Bullet_1*>(object)->Spawn(&variant, &direction, &start);
    }
    case CEmmo_Anti_Matter::kType: {
      const int variant = Ammunition_Variant(argument, 2);
      CEmmo_Anti_Matter* blob = static_cast<CEmmo_Anti_Matter*>(object);
      if (!blob->Spawn(&variant)) return false;
      blob->Set_Position(high);
      return true;
    }
    case CEmmo_Roller::kType: {
      const int variant = Ammunition_Variant(argument, kColour_Variants);
      CEmmo_Roller* roller = static_cast<CEmmo_Roller*>(object);
      roller->Spawn(&variant);
      roller->Set_Position(Above(place, kRoller_Drop));
      roller->m_Sphere.velocity = CVector3{0.0f, 0.0f, -kRoller_Speed};
      return true;
    }
    case CEmmo_Can::kType: {
      const int variant = Ammunition_Variant(argument, kColour_Variants);
      return static_cast<CEmmo_Can*>(object)->Spawn(&variant, &place);
    }
    default:
      return false;
  }
}
