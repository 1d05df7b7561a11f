#pragma once
// A training run on the generated content with an empty track, in which a test places the
// cylinders, vials, bullseye boards, towers and memory boards itself and steps them.
#include <gtest/gtest.h>

#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "platform/system/random.h"
#include "tests/game/sim/sim_run.h"

namespace launchers_test {

// One millisecond of play in time units.
constexpr float kTick = 0.0035f;

inline bool Finite(const CVector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

class Launchers : public SimRun {
 protected:
  void SetUp() override {
    SimRun::SetUp();
    Launch(1);
    Replace_Track(writers::TrackSpec{1, 0, 0, 600.0f, {}});
    X = g_World.m_Terrain.size_x;
    Z = g_World.m_Terrain.size_z;
    plat::Seed_Random(7);
  }
  void TearDown() override {
    fx::Set_Resource_Filter(nullptr);
    SimRun::TearDown();
  }

  // An object of the class from its pool, not yet set up or in the world.
  template <class T>
  T* Take() {
    return static_cast<T*>(T::Pool()->Alloc_Object());
  }
  // Runs the object's own update in one-millisecond steps for that many time units.
  template <class T>
  void Run(T& object, float units) {
    const int steps = static_cast<int>(units / kTick + 0.5f);
    for (int i = 0; i < steps; ++i) object.Update(kTick);
  }
  float Ground(float x, float z) const { return g_World.Get_Height(x, z); }
  // Live objects of the type in the world.
  int Count(uint32_t type) const {
    int n = 0;
    while (g_World.Find_Object_By_Type(type, n)) ++n;
    return n;
  }

  float X = 0.0f, Z = 0.0f;
};

}  // namespace launchers_test
