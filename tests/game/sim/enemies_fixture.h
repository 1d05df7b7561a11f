#pragma once
// A fixture for the enemies: the whole program on the generated content, a launched run whose
// track holds no events, the generator seeded, the camera placed, full shields, and a player's
// shot and an enemy's shot to hit things with.
#include <gtest/gtest.h>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CSphere_Object.h"
#include "game/core/CWorld.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"
#include "tests/game/sim/sim_run.h"

// A hitter with the kind flags of a player's shot (0x10) or of enemy ammunition (0x20).
class Enemy_Test_Hitter : public CSphere_Object {
 public:
  explicit Enemy_Test_Hitter(uint32_t kind_flags) {
    Setup_Object(0, 1.0f, 1.0f, kState_No_Gravity | kState_No_World_Contact, kind_flags);
    Setup_Sphere_Body(1.0f, 5.0f, 0.0f);
  }
  void Update(const float&) override {}
};

class Enemies : public SimRun {
 protected:
  static constexpr float kStep = 0.05f;

  void SetUp() override {
    SimRun::SetUp();
    Launch();
    Replace_Track(writers::TrackSpec{1, 0, 0, 60.0f, {}});
    plat::Seed_Random(24);
    X = g_World.m_Terrain.size_x;
    Z = g_World.m_Terrain.size_z;
    g_Camera.Look_At(CVector3{0.5f * X, 900.0f, 100.0f}, CVector3{0.5f * X, 300.0f, 0.6f * Z});
    g_WarRoom_Sim.m_Shield_Level = 1.0f;
    g_WarRoom_Sim.m_Disinfection_Mode = false;
  }
  void TearDown() override {
    g_WarRoom_Sim.m_Disinfection_Mode = false;
    g_Game_Paused = false;
    SimRun::TearDown();
  }

  // Removes everything the last case placed.
  void Sweep() {
    for (int n = 0; CWorld_Object* object = g_World.Get_Object(n); ++n) object->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }

 public:
  // Takes an object of the class from its pool and adds it to the world's list.
  template <class T>
  T* Take(int list = 1) {
    T* object = static_cast<T*>(T::Pool()->Alloc_Object());
    if (object) g_World.Add_Object(list, object);
    return object;
  }

 protected:
  // Runs the object's update for the time in steps of kStep.
  static void Run(CWorld_Object& object, float time) {
    for (float t = 0.0f; t < time; t += kStep) object.Update(kStep);
  }
  static int Live(uint32_t type) {
    int n = 0;
    while (g_World.Find_Object_By_Type(type, n)) ++n;
    return n;
  }
  static int Effects_Of_Kind(int kind) {
    int n = 0;
    for (const CScreen_FX_Record& r : g_Screen_FX_Mgr.Effects()) n += r.kind == kind ? 1 : 0;
    return n;
  }
  static float Shield_Lost() { return 1.0f - g_WarRoom_Sim.m_Shield_Level; }
  static uint32_t Sparkles() { return g_Particle_Sparkle_Mgr.Live_Count(); }
  // The points of the score board's popups and open chain.
  static uint32_t Points_Shown() {
    uint32_t sum = 0;
    for (uint32_t i = 0; i < g_Score_Board_Mgr.m_Popup_Count; ++i)
      if (g_Score_Board_Mgr.m_Popups[i].kind == CScore_Board_Mgr::kPopup_Points) sum += g_Score_Board_Mgr.m_Popups[i].points;
    return sum;
  }
  // A point on the ground in the middle of the field, ahead of the camera.
  CVector3 Ground(float x_fraction, float z_fraction) const {
    const float x = x_fraction * X, z = z_fraction * Z;
    return CVector3{x, g_World.Get_Height(x, z), z};
  }

  Enemy_Test_Hitter player_shot{0x10};
  Enemy_Test_Hitter enemy_shot{0x20};
  float X = 0.0f, Z = 0.0f;
};
