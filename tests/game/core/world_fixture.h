#pragma once
// Shared pieces of the world tests: generated worlds loaded straight from memory, and small
// object classes with a pool each that record what the world tells them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/core/CBox_Object.h"
#include "game/core/CFixed_Object.h"
#include "game/core/CGame_State.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CSphere_Object.h"
#include "game/core/CTarget_Link_Pool.h"
#include "game/core/CWorld.h"
#include "platform/system/message_box.h"
#include "runtime/src/core/streams.h"
#include "tools/writers/world_writer.h"

namespace world_test {

constexpr float kTick = 0.0035f;  // the time factor of one millisecond

// Who was told of a contact, in order.
inline std::vector<std::string>& Hit_Log() {
  static std::vector<std::string> log;
  return log;
}

// Common test behaviour: a name for the log, a verdict for On_Hit, counters of what happened.
template <class Base>
class Recording : public Base {
 public:
  bool Init() { return init_ok; }
  void Term() { ++terms; }
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override {
    Hit_Log().push_back(name);
    ++hits;
    last_other = other;
    if (shot) last_shot = *shot;
    return verdict;
  }
  std::string name = "object";
  bool verdict = true;
  bool init_ok = true;
  int hits = 0;
  int terms = 0;
  int updates = 0;
  CWorld_Object* last_other = nullptr;
  CShot_Line last_shot{{0, 0, 0}, {0, 0, 0}};
};

class Test_Ball : public Recording<CSphere_Object> {
 public:
  void Update(const float& dt) override {
    ++updates;
    Collide_Sphere_World(m_Motion);
    Integrate_Sphere(m_Motion, dt);
  }
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override {
    (void)strength;
    (void)contact;
    (void)normal;
    ++floor_contacts;
  }
  int floor_contacts = 0;
};

class Test_Crate : public Recording<CBox_Object> {
 public:
  void Update(const float& dt) override {
    ++updates;
    Collide_Box_World(m_Motion);
    Integrate_Box(m_Motion, dt);
  }
};

class Test_Post : public Recording<CFixed_Object> {
 public:
  void Update(const float& dt) override {
    (void)dt;
    ++updates;
  }
};

// At type indices no game class uses, so that the game's own pools never take their places.
constexpr uint32_t kBall_Type = 0;
constexpr uint32_t kCrate_Type = 1;
constexpr uint32_t kPost_Type = 2;

using Ball_Pool = CObject_Pool_Of<Test_Ball, kBall_Type, 32>;
using Crate_Pool = CObject_Pool_Of<Test_Crate, kCrate_Type, 12>;
using Post_Pool = CObject_Pool_Of<Test_Post, kPost_Type, 16>;
Ball_Pool& Balls();
Crate_Pool& Crates();
Post_Pool& Posts();

// Loads a generated world into g_World; messages are recorded instead of shown.
inline bool Load_World(const std::vector<uint8_t>& bytes) {
  CMemoryStream* stream = CreateMemoryStream(0);
  if (!stream) return false;
  stream->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
  stream->SeekTo(0);
  const bool ok = g_World.Load_Terrain(stream);
  stream->Release();
  return ok;
}

inline std::vector<uint8_t> World_Bytes(const writers::WorldSpec& spec) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(writers::WriteWorld(spec, bytes));
  return bytes;
}

inline writers::WorldSpec Flat_Spec(float height = 20.0f) {
  writers::WorldSpec spec;
  spec.shape = writers::WorldShape::Flat;
  spec.baseHeight = height;
  return spec;
}

// A world loaded for the test, every object returned and the pools ready; torn down after.
class World_Test : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::Set_Message_Recorder([this](const std::string&, const std::string& text) { messages.push_back(text); });
    g_World.Reset();
    g_Game_Paused = false;
    g_Game_State.m_Mode_Flags = 0;
    g_World.m_Gravity.Set(0.0f, -150.0f, 0.0f);
    g_World.m_Desc = CWorld_Desc();
    g_Target_Link_Pool.Init();
    Balls().Init();
    Crates().Init();
    Posts().Init();
    Hit_Log().clear();
  }
  void TearDown() override {
    g_World.Reset();
    g_Game_Paused = false;
    g_Game_State.m_Mode_Flags = 0;
    plat::Set_Message_Recorder(nullptr);
  }

  void Load(const writers::WorldSpec& spec) { ASSERT_TRUE(Load_World(World_Bytes(spec))); }

  Test_Ball* Ball(const CVector3& at, float radius = 10.0f, float mass = 5.0f, float bounce = 0.0f,
                  uint32_t state = 0, uint32_t kind = 0x01, int list = 2) {
    auto* ball = static_cast<Test_Ball*>(Balls().Alloc_Object());
    if (!ball) return nullptr;
    ball->Setup_Object(kBall_Type, 1.0f, 1.0f, state, kind);
    ball->Setup_Sphere_Body(mass, radius, bounce);
    ball->m_Motion.Clear();
    ball->m_Orientation = CMatrix3x3::Identity;
    ball->hits = 0;
    ball->updates = 0;
    ball->verdict = true;
    ball->name = "ball";
    ball->Set_Position(at);
    g_World.Add_Object(list, ball);
    return ball;
  }
  Test_Crate* Crate(const CVector3& at, const CVector3& half, float mass = 20.0f, float bounce = 0.0f,
                    uint32_t state = 0, uint32_t kind = 0x01, int list = 2) {
    auto* crate = static_cast<Test_Crate*>(Crates().Alloc_Object());
    if (!crate) return nullptr;
    crate->Setup_Object(kCrate_Type, 1.0f, 1.0f, state, kind);
    crate->Setup_Box_Body(mass, half, bounce);
    crate->m_Motion.Clear();
    crate->m_Orientation = CMatrix3x3::Identity;
    crate->hits = 0;
    crate->updates = 0;
    crate->verdict = true;
    crate->name = "crate";
    crate->Set_Position(at);
    g_World.Add_Object(list, crate);
    return crate;
  }
  Test_Post* Post(const CVector3& at, const CVector3& half, uint32_t kind = 0x01) {
    auto* post = static_cast<Test_Post*>(Posts().Alloc_Object());
    if (!post) return nullptr;
    post->Setup_Object(kPost_Type, 1.0f, 1.0f, 0, kind);
    post->Setup_Kind5_Body(half);
    post->m_Orientation = CMatrix3x3::Identity;
    post->hits = 0;
    post->updates = 0;
    post->verdict = true;
    post->name = "post";
    post->Set_Position(at);
    g_World.Add_Object(0, post);
    return post;
  }

  // Runs the world's fixed-step list for that many milliseconds.
  void Run(unsigned milliseconds) {
    const float factor = g_Game_Paused ? 0.0f : kTick;
    const float delta = factor * 16.0f;
    for (unsigned done = 0; done < milliseconds; done += 100) {
      const unsigned step = std::min(100u, milliseconds - done);
      g_World.Update(factor, step, delta, delta);
    }
  }

  std::vector<std::string> messages;
};

inline bool Finite(const CVector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace world_test
