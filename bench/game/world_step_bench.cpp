// One frame of the world's fixed step (16 milliseconds) with moving spheres from every sphere
// pool, beside a plain loop that moves the same objects' positions for the same 16 steps.
// Every iteration steps the same saved state: the balls as thrown (high in the air) or after 40
// frames (most landed and rolling), so that the figure does not depend on how many iterations
// the library runs. Goal: under 1 ms a frame at 300 balls, and 300 balls
// costing at most 7 times 50.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "game/core/CObject_Pool.h"
#include "game/core/CSphere_Object.h"
#include "game/core/CWorld.h"
#include "platform/system/random.h"
#include "runtime/src/core/streams.h"
#include "tools/writers/world_writer.h"

namespace {

constexpr float kTick = 0.0035f;
constexpr unsigned kFrame_Milliseconds = 16;

class Bench_Ball : public CSphere_Object {
 public:
  bool Init() { return true; }
  void Term() {}
  void Update(const float& dt) override {
    Collide_Sphere_World(m_Motion);
    Integrate_Sphere(m_Motion, dt);
  }
};

// Stand-in pools at the type indices no game class uses (72 is left to objects without a
// pool), 35 balls each: 315 balls in all. Only these pools are started and drawn from: the
// game's own pools need content the benchmark does not load.
template <uint32_t... kTypes>
struct Sphere_Pools {
  std::tuple<CObject_Pool_Of<Bench_Ball, kTypes, 35>...> pools;
  static constexpr uint32_t kType_List[] = {kTypes...};

  // The pools with the type index each one files its balls under.
  std::vector<std::pair<CObject_Pool*, uint32_t>> All() {
    std::vector<std::pair<CObject_Pool*, uint32_t>> all;
    size_t i = 0;
    std::apply([&](auto&... pool) { ((all.emplace_back(&pool, kType_List[i++])), ...); }, pools);
    return all;
  }
};
Sphere_Pools<0, 1, 2, 6, 7, 48, 49, 70, 71> g_Pools;

// A random point of the throwing box where a ball reaching that far touches none of the balls
// placed before it: a spawner does not put a ball inside another, and balls started inside one
// another would time their pushing apart rather than the step. Gives up after 100 tries.
template <class Random>
CVector3 Free_Spot(const std::vector<CWorld_Object*>& placed, float reach, Random& random) {
  CVector3 spot;
  for (int attempt = 0; attempt < 100; ++attempt) {
    spot = {100.0f + 1400.0f * random(), 150.0f + 100.0f * random(), 100.0f + 1400.0f * random()};
    bool free = true;
    for (const CWorld_Object* ball : placed) {
      const float apart = reach + ball->m_Collision_Radius;
      CVector3 offset;
      if (spot.Subtract(ball->m_Position, offset).Length_Squared() <= apart * apart) free = false;
    }
    if (free) break;
  }
  return spot;
}

// A rolling world with n balls thrown about it, taken from the pools in type order.
std::vector<CWorld_Object*> Fill_World(int n) {
  g_World.Reset();
  writers::WorldSpec spec;
  spec.shape = writers::WorldShape::Rolling;
  spec.amplitude = 80.0f;
  std::vector<uint8_t> bytes;
  writers::WriteWorld(spec, bytes);
  CMemoryStream* stream = CreateMemoryStream(0);
  stream->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
  stream->SeekTo(0);
  g_World.Load_Terrain(stream);
  stream->Release();
  plat::Seed_Random(1);
  auto random = [] { return static_cast<float>(plat::Random()) / 32768.0f; };
  std::vector<CWorld_Object*> balls;
  for (auto [pool, type] : g_Pools.All()) {
    pool->Init();
    while (static_cast<int>(balls.size()) < n) {
      CWorld_Object* ball = pool->Alloc_Object();
      if (!ball) break;
      ball->Setup_Object(type, 1.0f, 1.0f, 0, 0x01);
      ball->Setup_Sphere_Body(5.0f, 8.0f + 10.0f * random(), 0.3f);
      // A pool hands an object out as its last user left it; a spawner sets the orientation, so
      // that a case starts from the same state whichever case ran before it.
      ball->m_Orientation = CMatrix3x3::Identity;
      ball->m_Motion.Clear();
      ball->m_Sphere.velocity.Set(200.0f * random() - 100.0f, 0.0f, 200.0f * random() - 100.0f);
      ball->Set_Position(Free_Spot(balls, ball->m_Sphere.contact_radius, random));
      g_World.Add_Object(2, ball);
      balls.push_back(ball);
    }
  }
  return balls;
}

// What a frame changes of a ball, kept to put it back.
struct Ball_State {
  CVector3 position;
  CMatrix3x3 orientation;
  CSphere_Body body;
  CBody_Motion motion;
};

std::vector<Ball_State> Save(const std::vector<CWorld_Object*>& balls) {
  std::vector<Ball_State> saved;
  for (const CWorld_Object* ball : balls)
    saved.push_back({ball->m_Position, ball->m_Orientation, ball->m_Sphere, ball->m_Motion});
  return saved;
}

// Every ball out of the grid first, then filed again in the same order: the cells' chains come
// out the same whatever the last frame did.
void Restore(const std::vector<CWorld_Object*>& balls, const std::vector<Ball_State>& saved) {
  for (CWorld_Object* ball : balls) g_World.Grid().Remove(ball);
  for (size_t i = 0; i < balls.size(); ++i) {
    CWorld_Object* ball = balls[i];
    ball->m_Orientation = saved[i].orientation;
    ball->m_Sphere = saved[i].body;
    ball->m_Motion = saved[i].motion;
    ball->Set_Position(saved[i].position);
  }
}

// A digest of the saved state's bits: a case whose state differs from one run to the next (say
// after another case left its objects otherwise) would measure a different frame.
uint64_t Digest(const std::vector<Ball_State>& saved) {
  uint64_t digest = 1469598103934665603ull;
  auto mix = [&](const CVector3& v) {
    for (float f : {v.x, v.y, v.z}) {
      uint32_t bits = 0;
      std::memcpy(&bits, &f, sizeof(bits));
      digest = (digest ^ bits) * 1099511628211ull;
    }
  };
  for (const Ball_State& ball : saved) {
    mix(ball.position);
    for (const CVector3& row : ball.orientation.rows) mix(row);
    mix(ball.body.velocity);
    mix(ball.body.spin);
  }
  return digest;
}

// Balls of the state whose lowest point is clear of the ground below their centre.
int In_Air(const std::vector<Ball_State>& saved) {
  int count = 0;
  for (const Ball_State& ball : saved)
    count += ball.position.y - g_World.Get_Height(ball.position.x, ball.position.z) > ball.body.contact_radius;
  return count;
}

void Step_Frame() {
  const float delta = kTick * kFrame_Milliseconds;
  g_World.Update(kTick, kFrame_Milliseconds, delta, delta);
}

// range(0) balls, range(1) frames run before the state is saved.
void BM_World_Step(benchmark::State& state) {
  const std::vector<CWorld_Object*> balls = Fill_World(static_cast<int>(state.range(0)));
  for (int64_t frame = 0; frame < state.range(1); ++frame) Step_Frame();
  const std::vector<Ball_State> saved = Save(balls);
  static std::map<std::pair<int64_t, int64_t>, uint64_t> first_digests;
  const uint64_t digest = Digest(saved);
  if (first_digests.emplace(std::make_pair(state.range(0), state.range(1)), digest).first->second != digest) {
    state.SkipWithError("the saved state differs from the one of this case's first run");
    g_World.Reset();
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    Restore(balls, saved);
    state.ResumeTiming();
    Step_Frame();
  }
  state.counters["objects"] = static_cast<double>(balls.size());
  state.counters["in_air"] = static_cast<double>(In_Air(saved));
  g_World.Reset();
}
BENCHMARK(BM_World_Step)
    ->ArgsProduct({{50, 100, 200, 300, 313}, {0, 40}})
    ->ArgNames({"balls", "frames"})
    ->Unit(benchmark::kMicrosecond);

void BM_Plain_Position_Loop(benchmark::State& state) {
  const std::vector<CWorld_Object*> balls = Fill_World(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    for (unsigned tick = 0; tick < kFrame_Milliseconds; ++tick) {
      for (CWorld_Object* ball : balls) {
        CVector3& p = ball->m_Position;
        const CVector3& v = ball->m_Sphere.velocity;
        p.Set(p.x + v.x * kTick, p.y + v.y * kTick, p.z + v.z * kTick);
      }
    }
    benchmark::ClobberMemory();
  }
  g_World.Reset();
}
BENCHMARK(BM_Plain_Position_Loop)->Arg(50)->Arg(300)->Arg(313)->Unit(benchmark::kMicrosecond);

}  // namespace
