#pragma once
// A running world for the ground and firework target tests: the program on the generated
// content with a launched track whose events are cleared, objects taken straight from their
// pools and stepped by hand, and hitters of chosen kinds.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "game/core/CObject_Pool.h"
#include "game/core/CSphere_Object.h"
#include "game/core/CWorld.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/CSparkle_Cloud.h"
#include "game/targets/CTarget_Line.h"
#include "game/targets/CTarget_Pill.h"
#include "game/targets/CTarget_Star.h"
#include "platform/system/random.h"
#include "tests/game/sim/sim_run.h"

namespace ground_test {

// A player's shot or any other hitter: a sphere body with chosen type, kind flags and velocity.
class Hitter : public CSphere_Object {
 public:
  Hitter(uint32_t type, uint32_t kind, const CVector3& at, const CVector3& velocity = CVector3{0.0f, 0.0f, 0.0f}) {
    Setup_Object(type, 1.0f, 1.0f, 0, kind);
    Setup_Sphere_Body(1.0f, 2.0f, 0.0f);
    m_Position = at;
    m_Sphere.velocity = velocity;
  }
  void Update(const float&) override {}
};

// A target class made and placed by `make`, with the age before which it refuses hits.
struct Guard_Case {
  const char* name;
  std::function<CWorld_Object*(const CVector3&)> make;
  float guard;
};

class Ground : public SimRun {
 protected:
  void SetUp() override {
    SimRun::SetUp();
    Launch();
    Replace_Track(writers::TrackSpec{1, 0, 0, 600.0f, {}});
    X = g_World.m_Terrain.size_x;
    Z = g_World.m_Terrain.size_z;
    plat::Seed_Random(11);
  }
  void TearDown() override {
    fx::Set_Resource_Filter(nullptr);
    CSparkle_Cloud::Set_Create_Filter(nullptr);
    SimRun::TearDown();
  }

  template <class T>
  static T* Take() {
    return static_cast<T*>(T::Pool()->Alloc_Object());
  }
  template <class T>
  static int Live(uint32_t type = T::kType) {
    int n = 0;
    while (g_World.Find_Object_By_Type(type, n)) ++n;
    return n;
  }
  template <class T>
  static T* Nth(int n) {
    return static_cast<T*>(g_World.Find_Object_By_Type(T::kType, n));
  }
  // Places a spawned object and adds it to the world's list.
  static void Place(CWorld_Object& object, const CVector3& at, int list = 2) {
    object.Set_Position(at);
    g_World.Add_Object(list, &object);
  }
  CVector3 Sky(float dx = 0.0f, float dz = 0.0f) const { return CVector3{0.5f * X + dx, 2500.0f, 0.5f * Z + dz}; }
  CVector3 On_Ground(float x, float z, float lift) const { return CVector3{x, g_World.Get_Height(x, z) + lift, z}; }

  static void Step(CWorld_Object& object, float dt, int times) {
    for (int i = 0; i < times; ++i) object.Update(dt);
  }
  static uint32_t Awards() { return g_Score_Board_Mgr.m_Target_Hits; }
  static uint32_t Hits() { return g_Sim_Stats.m_Hits; }
  // The line, pill and star (the growing-box targets), placed in the sky with their guard ages.
  static std::vector<Guard_Case> Growing_Box_Cases() {
    return {
      {"line", [](const CVector3& at) -> CWorld_Object* {
         CTarget_Line* t = Take<CTarget_Line>();
         t->Spawn(1);
         Place(*t, at, 1);
         return t;
       }, 1.15f},
      {"pill", [](const CVector3& at) -> CWorld_Object* {
         CTarget_Pill* t = Take<CTarget_Pill>();
         t->Spawn(0);
         Place(*t, at);
         return t;
       }, 0.85f},
      {"star", [](const CVector3& at) -> CWorld_Object* {
         CTarget_Star* t = Take<CTarget_Star>();
         t->Spawn(2);
         Place(*t, at);
         return t;
       }, 0.5f},
    };
  }

  float X = 0.0f, Z = 0.0f;
};

}  // namespace ground_test
