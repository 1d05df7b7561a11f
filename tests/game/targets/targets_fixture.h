#pragma once
// A running world for the target tests: the program on the generated content with a launched
// track whose events are cleared, objects taken straight from their pools and stepped by hand,
// and a player's shot (kind flag 0x10) to hit them with.
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CSphere_Object.h"
#include "game/core/CWorld.h"
#include "game/fx/CParticle_Add_Mgr.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "platform/system/random.h"
#include "tests/game/sim/sim_run.h"

namespace targets_test {

// A player's shot or any other hitter: a sphere body with chosen kind flags and velocity.
class Hitter : public CSphere_Object {
 public:
  Hitter(uint32_t type, uint32_t kind, const CVector3& at, const CVector3& velocity) {
    Setup_Object(type, 1.0f, 1.0f, 0, kind);
    Setup_Sphere_Body(1.0f, 2.0f, 0.0f);
    m_Position = at;
    m_Sphere.velocity = velocity;
  }
  void Update(const float&) override {}
};

class Targets : public SimRun {
 protected:
  void SetUp() override {
    SimRun::SetUp();
    Launch();
    Replace_Track(writers::TrackSpec{1, 0, 0, 600.0f, {}});
    X = g_World.m_Terrain.size_x;
    Z = g_World.m_Terrain.size_z;
    plat::Seed_Random(11);
  }

  // An object of the class, set up by the caller; null when the pool is empty.
  template <class T>
  T* Take() {
    return static_cast<T*>(T::Pool()->Alloc_Object());
  }
  // A point high above the middle of the world, clear of the ground.
  CVector3 Sky(float dx = 0.0f, float dz = 0.0f) const { return CVector3{0.5f * X + dx, 2500.0f, 0.5f * Z + dz}; }
  float Ground(float x, float z) const { return g_World.Get_Height(x, z); }

  static void Step(CWorld_Object& object, float dt, int times) {
    for (int i = 0; i < times; ++i) object.Update(dt);
  }
  static uint32_t Sparkles() { return g_Particle_Sparkle_Mgr.Live_Count(); }
  static uint32_t Awards() { return g_Score_Board_Mgr.m_Target_Hits; }
  static uint32_t Hits() { return g_Sim_Stats.m_Hits; }

  float X = 0.0f, Z = 0.0f;
};

}  // namespace targets_test
