#include "game/targets/Flyer_Spawning.h"

#include <algorithm>

#include "game/targets/CTarget_Bar.h"
#include "game/targets/CTarget_Boomer.h"
#include "game/targets/CTarget_Buster.h"
#include "game/targets/CTarget_Exclaim.h"
#include "game/targets/CTarget_Flare.h"
#include "game/targets/CTarget_Flier.h"
#include "game/targets/CTarget_Glower.h"
#include "game/targets/CTarget_Glower_B.h"
#include "game/targets/CTarget_Leaf.h"
#include "game/targets/Flyer_Shared.h"
#include "platform/system/random.h"

using namespace flyer;

namespace {

int Random_Colour() { return std::min(plat::Random() * 4 / 32768, 3); }

}  // namespace

bool Is_Flyer_Target(uint32_t type) {
  switch (type) {
    case CTarget_Flier::kType: case CTarget_Boomer::kType: case CTarget_Leaf::kType: case CTarget_Bar::kType:
    case CTarget_Flare::kType: case CTarget_Glower::kType: case CTarget_Glower_B::kType:
    case CTarget_Buster::kType: case CTarget_Exclaim::kType:
      return true;
    default:
      return false;
  }
}

bool Spawn_Flyer_Target(uint32_t type, CWorld_Object* object, int argument, const CVector3& ground_place) {
  const CVector3& camera = Camera_Position();
  const float X = World_X(), Z = World_Z(), H = camera.y;
  const float gx = ground_place.x, gy = ground_place.y, gz = ground_place.z;
  switch (type) {
    case CTarget_Flier::kType: {
      const uint8_t loop = argument == 1 ? 1 : 0;
      const CVector3 start = loop ? CVector3{gx, H - 100.0f + Random01() * 150.0f, gz}
                                  : CVector3{gx, gy + 600.0f, std::max(gz, 0.9f * Z)};
      const int colour = Random_Colour();
      return static_cast<CTarget_Flier*>(object)->Spawn(colour, start, loop);
    }
    case CTarget_Boomer::kType: {
      const float side = Random01() < 0.5f ? -1.0f : 1.0f;
      const float x = std::clamp(camera.x + side * (0.25f + Random01() * 0.15f) * X, 0.05f * X, 0.95f * X);
      const CVector3 start{x, H - 150.0f - Random01() * 250.0f, camera.z};
      const int colour = Random_Colour();
      auto* boomer = static_cast<CTarget_Boomer*>(object);
      if (!boomer->Spawn(colour, start)) return false;
      boomer->Set_Position(boomer->Path_Point(0.0f));
      return true;
    }
    case CTarget_Leaf::kType: {
      const CVector3 point{gx, H + 50.0f + Random01() * 250.0f, camera.z + 400.0f + Random01() * 800.0f};
      return static_cast<CTarget_Leaf*>(object)->Spawn(point);
    }
    case CTarget_Bar::kType: {
      const int colour = Random_Colour();
      return static_cast<CTarget_Bar*>(object)->Spawn(colour, ground_place);
    }
    case CTarget_Flare::kType: {
      const uint8_t ground = argument == 1 ? 1 : 0;
      const CVector3 start = ground ? CVector3{gx, gy + 10.0f, gz}
                                    : CVector3{gx, H + 300.0f, camera.z + 300.0f + Random01() * 0.2f * Z};
      return static_cast<CTarget_Flare*>(object)->Spawn(start, ground);
    }
    case CTarget_Glower::kType: {
      const uint8_t swing = argument == 1 ? 0 : 1;
      const CVector3 point{gx, swing ? H - 150.0f + Random01() * 150.0f : H + 300.0f, gz};
      const int colour = Random_Colour();
      return static_cast<CTarget_Glower*>(object)->Spawn(colour, point, swing);
    }
    case CTarget_Glower_B::kType: {
      auto* glower = static_cast<CTarget_Glower_B*>(object);
      const int colour = Random_Colour();
      if (!glower->Spawn(colour)) return false;
      glower->Set_Position(CVector3{gx, H - 250.0f + Random01() * 200.0f, 0.95f * Z});
      glower->m_Sphere.velocity.Set(0.0f, 0.0f, -(180.0f + Random01() * 60.0f));
      return true;
    }
    case CTarget_Buster::kType: {
      const int colour = Random_Colour();
      // Above the view, but low enough to be under 300 over the camera when its guard age ends.
      return static_cast<CTarget_Buster*>(object)->Spawn(colour, CVector3{gx, H + 250.0f, gz});
    }
    case CTarget_Exclaim::kType: {
      auto* exclaim = static_cast<CTarget_Exclaim*>(object);
      const int colour = Random_Colour();
      if (!exclaim->Spawn(colour)) return false;
      exclaim->Set_Position(CVector3{gx, gy + 10.0f, gz});
      exclaim->m_Box.velocity.Set(0.0f, 330.0f + Random01() * 60.0f, 0.0f);
      return true;
    }
    default:
      return false;
  }
}
