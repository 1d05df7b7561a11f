#pragma once
// A running training run on the lane track with the track's events cleared, a seeded random
// generator, a fixed camera and difficulty, a recorder of the sounds played, and objects of
// the ammunition pools taken for a test and given back after it. Tests drive the objects' own
// Update and On_Hit directly; nothing steps the world unless a test does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CGame_State.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CSphere_Object.h"
#include "game/core/CWorld.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CSim_Stats.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"
#include "runtime/src/sound/sound_mgr.h"
#include "tests/game/sim/sim_run.h"

namespace ammo_test {

// One time unit of game time is 1 / 0.0035 ms; tests step in 1 ms.
constexpr float kStep = 0.0035f;

class Recording_Sounds : public CSoundMgr {
 public:
  bool Play(const uint32_t* id, const float* volume, const uint8_t* flags) override {
    (void)flags;
    played.push_back({*id, *volume});
    return true;
  }
  int Count(uint32_t id) const {
    int n = 0;
    for (const auto& p : played) n += p.id == id ? 1 : 0;
    return n;
  }
  struct Played {
    uint32_t id;
    float volume;
  };
  std::vector<Played> played;
};

// A stand-in hitter: a still sphere with the kind flags asked for.
class Hitter : public CSphere_Object {
 public:
  explicit Hitter(uint32_t kind_flags, uint32_t type = 0) {
    Setup_Object(type, 1.0f, 1.0f, 0, kind_flags);
    Setup_Sphere_Body(1.0f, 5.0f, 0.0f);
  }
  void Update(const float& dt) override { (void)dt; }
};

class Ammunition : public SimRun {
 protected:
  void SetUp() override {
    SimRun::SetUp();
    Launch();
    Replace_Track(writers::TrackSpec{1, 0, 0, 60.0f, {}});
    X = g_World.m_Terrain.size_x;
    Z = g_World.m_Terrain.size_z;
    g_Camera.Look_At(CVector3{0.5f * X, 450.0f, 300.0f}, CVector3{0.5f * X, 0.0f, 1300.0f});
    eye = g_Camera.Position();
    plat::Seed_Random(2024);
    g_Difficulty_Factor = 1.0f;
    g_Game_State.SoundFX_Volume = 1.0f;
    // A sound manager makes itself the game's on construction: the game's own is kept aside
    // and put back before the recorder goes.
    m_Saved_Sounds = g_pSoundMgr;
    m_Sounds = std::make_unique<Recording_Sounds>();
    g_pSoundMgr = m_Sounds.get();
    g_Screen_FX_Mgr.Clear_Sim_Effects();
    Clear_Flashes();
  }
  void TearDown() override {
    for (CWorld_Object* object : m_Taken) {
      object->Release_Attachments();
      if (object->m_List < 0) {
        object->Set_Position(CVector3{std::nanf(""), 0.0f, 0.0f});
        g_Object_Pools[object->m_Type]->Free_Object(object);
      } else {
        object->m_Kill_Timer = 1.0f;
      }
    }
    g_World.Remove_Dead_Objects();
    g_pSoundMgr = m_Saved_Sounds;
    m_Sounds.reset();
    g_Difficulty_Factor = 1.0f;
    SimRun::TearDown();
  }

  // An object of the class's pool, given back after the test.
  template <class T>
  T* Take() {
    CObject_Pool* pool = g_Object_Pools[T::kType];
    EXPECT_NE(pool, nullptr);
    CWorld_Object* object = pool ? pool->Alloc_Object() : nullptr;
    EXPECT_NE(object, nullptr) << "pool " << T::kType;
    if (object) m_Taken.push_back(object);
    return static_cast<T*>(object);
  }

  // Gives a taken object back at once (out of the grid and its locks), for tests that take
  // many in turn.
  void Retire(CWorld_Object* object) {
    object->Release_Attachments();
    object->Set_Position(CVector3{std::nanf(""), 0.0f, 0.0f});
    g_Object_Pools[object->m_Type]->Free_Object(object);
    std::erase(m_Taken, object);
  }

  // Updates the object for the given time units in steps of 1 ms.
  static void Run(CWorld_Object& object, float time) {
    for (float t = 0.0f; t < time; t += kStep) object.Update(kStep);
  }
  // Runs until the predicate holds or the time is up; answers the time it took (or -1).
  template <class Done>
  static float Run_Until(CWorld_Object& object, float limit, Done done) {
    for (float t = 0.0f; t < limit; t += kStep) {
      if (done()) return t;
      object.Update(kStep);
    }
    return done() ? limit : -1.0f;
  }

  // Flashes of Hit_Player (kind 11) since the last clear, as strengths.
  std::vector<float> Player_Hits() const {
    std::vector<float> hits;
    for (const CScreen_FX_Record& record : g_Screen_FX_Mgr.Effects())
      if (record.kind == CScreen_FX_Mgr::kFlash) hits.push_back(record.duration / 1.5f);
    return hits;
  }
  void Clear_Flashes() {
    g_Screen_FX_Mgr.Clear_Sim_Effects();
    for (int i = 0; i < 4 && g_Screen_FX_Mgr.Effect_Count() > 0; ++i) g_Screen_FX_Mgr.Update(Long_Frame());
  }
  static CFrame_Info Long_Frame() {
    CFrame_Info frame;
    frame.Delta = 1000.0f;
    frame.Unpaused_Delta = 1000.0f;
    return frame;
  }

  CVector3 Ahead(float depth, float dx = 0.0f, float dy = 0.0f) const {
    return CVector3{eye.x + dx, eye.y + dy, eye.z + depth};
  }
  static bool Finite(const CVector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

  Recording_Sounds& sounds() { return *m_Sounds; }
  CVector3 eye{0.0f, 0.0f, 0.0f};
  float X = 0.0f, Z = 0.0f;
  std::vector<CWorld_Object*> m_Taken;

 private:
  CSoundMgr* m_Saved_Sounds = nullptr;
  std::unique_ptr<Recording_Sounds> m_Sounds;
};

}  // namespace ammo_test
