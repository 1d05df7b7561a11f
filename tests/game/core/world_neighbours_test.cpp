// The object grid's neighbour search and the terrain contact against references that look at
// everything: every object of the world for the search, every triangle under the body (no
// height bound) for the terrain.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "runtime/src/math/geometry.h"
#include "tests/game/core/world_fixture.h"

namespace world_test {
namespace {

// A generator of the test's own, so that the cases do not hang on the game's random stream.
class Lcg {
 public:
  float Next(float low, float high) {
    state_ = state_ * 1664525u + 1013904223u;
    return low + (high - low) * static_cast<float>(state_ >> 8) / static_cast<float>(1u << 24);
  }

 private:
  uint32_t state_ = 12345u;
};

class WorldNeighboursTest : public World_Test {
 protected:
  // Balls, crates and posts of mixed sizes packed around a world corner, some past the edges.
  void Scatter(Lcg& random) {
    for (int i = 0; i < 32; ++i) {
      Test_Ball* ball = Ball({random.Next(-60.0f, 420.0f), random.Next(0.0f, 200.0f), random.Next(-60.0f, 420.0f)},
                             random.Next(1.0f, 45.0f), 5.0f, 0.0f, kFrozen);
      ball->name = "ball" + std::to_string(i);
      objects.push_back(ball);
    }
    for (int i = 0; i < 12; ++i) {
      Test_Crate* crate = Crate({random.Next(0.0f, 400.0f), random.Next(0.0f, 200.0f), random.Next(0.0f, 400.0f)},
                                {random.Next(2.0f, 40.0f), random.Next(2.0f, 20.0f), random.Next(2.0f, 40.0f)},
                                20.0f, 0.0f, kFrozen);
      crate->name = "crate" + std::to_string(i);
      objects.push_back(crate);
    }
    for (int i = 0; i < 16; ++i) {
      Test_Post* post = Post({random.Next(0.0f, 400.0f), 20.0f, random.Next(0.0f, 400.0f)},
                             {random.Next(1.0f, 30.0f), 30.0f, random.Next(1.0f, 30.0f)});
      post->name = "post" + std::to_string(i);
      objects.push_back(post);
    }
  }

  // Distance from the point to the object's shape, as the radius query measures it.
  static float Distance(const CVector3& point, const CWorld_Object* object) {
    CVector3 offset;
    point.Subtract(object->m_Position, offset);
    if (object->m_Body_Kind == kBody_Sphere) return offset.Length() - object->m_Collision_Radius;
    const CVector3& half = object->m_Body_Kind == kBody_Box ? object->m_Box.half_size : object->m_Fixed.half_size;
    const CVector3* axes = object->m_Orientation.rows;
    return std::sqrt(PointBoxDistanceSq(point, object->m_Position, axes[0], axes[1], axes[2], half));
  }

  std::set<CWorld_Object*> Brute_Force(const CVector3& point, float radius) const {
    std::set<CWorld_Object*> found;
    for (CWorld_Object* object : objects)
      if (Distance(point, object) <= radius) found.insert(object);
    return found;
  }

  static constexpr uint32_t kFrozen = kState_No_Gravity | kState_No_World_Contact;
  std::vector<CWorld_Object*> objects;
};

TEST_F(WorldNeighboursTest, TheRadiusQueryFindsExactlyWhatASearchOfEveryObjectFinds) {
  Load(Flat_Spec());
  Lcg random;
  Scatter(random);
  struct Case {
    CVector3 point;
    float radius;
  };
  std::vector<Case> cases = {
      {{0.0f, 0.0f, 0.0f}, 0.0f},        {{-300.0f, 50.0f, -300.0f}, 500.0f}, {{5000.0f, 0.0f, 200.0f}, 4800.0f},
      {{200.0f, 100.0f, 200.0f}, 1.0e4f}, {{400.0f, 80.0f, 400.0f}, 80.0f},   {{80.0f, 0.0f, 160.0f}, 79.99f},
  };
  // Points on and near the objects, with radii from touching to a few cells across.
  for (int i = 0; i < 400; ++i)
    cases.push_back({{random.Next(-100.0f, 500.0f), random.Next(0.0f, 200.0f), random.Next(-100.0f, 500.0f)},
                     random.Next(0.0f, i % 4 == 0 ? 300.0f : 60.0f)});
  int non_empty = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.point.x << ", " << c.point.y << ", " << c.point.z << " r " << c.radius);
    CWorld_Query query;
    const int count = g_World.Query_Radius(c.point, c.radius, query);
    const std::set<CWorld_Object*> found(query.objects, query.objects + count);
    EXPECT_EQ(found.size(), static_cast<size_t>(count)) << "an object came back twice";
    EXPECT_EQ(found, Brute_Force(c.point, c.radius));
    non_empty += count > 0;
  }
  EXPECT_GT(non_empty, 100) << "the cases should mostly find something";
}

// Each ball's step asks every object within its contact reach for a contact; a sphere pair
// tells both objects (the other first), so the hit log holds each asked pair as two names.
TEST_F(WorldNeighboursTest, AStepOffersEveryBallTheSameContactsAsASearchOfEveryObject) {
  Load(Flat_Spec());
  Lcg random;
  // Balls in near-touching chains: each one a small gap from the last, none overlapping.
  std::vector<Test_Ball*> balls;
  for (int attempt = 0; attempt < 10000 && balls.size() < 32; ++attempt) {
    const float radius = random.Next(2.0f, 40.0f);
    CVector3 at{random.Next(-20.0f, 420.0f), 100.0f, random.Next(-20.0f, 420.0f)};
    if (!balls.empty() && balls.size() % 4 != 0) {
      const Test_Ball* last = balls.back();
      const float angle = random.Next(0.0f, 6.2831853f);
      const float gap = last->m_Collision_Radius + radius + random.Next(0.0f, 0.12f) * std::max(radius, 10.0f);
      at = {last->m_Position.x + gap * std::cos(angle), 100.0f, last->m_Position.z + gap * std::sin(angle)};
    }
    bool overlaps = false;
    for (const Test_Ball* other : balls) {
      CVector3 offset;
      overlaps = overlaps || at.Subtract(other->m_Position, offset).Length() <= radius + other->m_Collision_Radius;
    }
    if (overlaps) continue;
    Test_Ball* ball = Ball(at, radius, 5.0f, 0.0f, kFrozen);
    ASSERT_NE(ball, nullptr);
    ball->name = std::to_string(balls.size());
    ball->m_Sphere.hit_flag = 1;
    balls.push_back(ball);
  }
  ASSERT_EQ(balls.size(), 32u);
  std::multiset<std::pair<std::string, std::string>> expected;
  for (const Test_Ball* mover : balls)
    for (const Test_Ball* other : balls) {
      if (other == mover) continue;
      if (Distance(mover->m_Position, other) <= mover->m_Sphere.contact_radius) {
        expected.insert({other->name, mover->name});
        expected.insert({mover->name, other->name});
      }
    }
  Hit_Log().clear();
  g_World.Update(kTick, 1, kTick, kTick);
  ASSERT_EQ(Hit_Log().size() % 2, 0u);
  std::multiset<std::pair<std::string, std::string>> offered;
  for (size_t i = 0; i < Hit_Log().size(); i += 2) {
    offered.insert({Hit_Log()[i], Hit_Log()[i + 1]});
    offered.insert({Hit_Log()[i + 1], Hit_Log()[i]});
  }
  EXPECT_EQ(offered, expected);
  EXPECT_GE(expected.size(), 20u) << "the chains should put many balls within reach of each other";
  for (const Test_Ball* ball : balls) EXPECT_FLOAT_EQ(ball->m_Position.y, 100.0f) << "nothing may have moved";
}

// A long crate and a long post reach a ball with their ends though their centres lie far off;
// a small ball filed in the same grid cell but out of reach is offered nothing.
TEST_F(WorldNeighboursTest, AStepReachesLongShapesByTheirEndsAndSkipsFarCellMates) {
  Load(Flat_Spec());
  Test_Ball* near = Ball({200.0f, 100.0f, 200.0f}, 10.0f, 5.0f, 0.0f, kFrozen);
  Test_Ball* far = Ball({230.0f, 100.0f, 235.0f}, 5.0f, 5.0f, 0.0f, kFrozen);
  Test_Crate* crate = Crate({358.0f, 100.0f, 200.0f}, {150.0f, 10.0f, 10.0f}, 20.0f, 0.0f, kFrozen);
  Test_Post* post = Post({91.0f, 100.0f, 200.0f}, {100.0f, 30.0f, 10.0f});
  ASSERT_TRUE(near && far && crate && post);
  near->name = "near";
  far->name = "far";
  for (CWorld_Object* object : std::initializer_list<CWorld_Object*>{near, far}) object->m_Sphere.hit_flag = 1;
  crate->m_Box.hit_flag = 1;
  post->m_Fixed.hit_flag = 1;
  Hit_Log().clear();
  g_World.Update(kTick, 1, kTick, kTick);
  EXPECT_EQ(far->hits, 0);
  EXPECT_GE(crate->hits, 1) << "the crate's end is within the ball's reach";
  EXPECT_GE(post->hits, 1) << "the post's end is within the ball's reach";
  EXPECT_GE(near->hits, 2);
}

// What one body step did: where the body went, what it asked of the integration, and how often
// it was told of the ground.
struct Step_Result {
  CVector3 position;
  CBody_Motion motion;
  CVector3 velocity;
  int floor_contacts;
};

bool Same(const Step_Result& a, const Step_Result& b) {
  auto same = [](const CVector3& p, const CVector3& q) { return p.x == q.x && p.y == q.y && p.z == q.z; };
  return same(a.position, b.position) && same(a.velocity, b.velocity) &&
         same(a.motion.acceleration, b.motion.acceleration) && same(a.motion.torque, b.motion.torque) &&
         a.motion.contact_count == b.motion.contact_count && a.floor_contacts == b.floor_contacts;
}

class Floor_Counting_Crate : public Test_Crate {
 public:
  void On_Floor_Contact(const CVector3& normal) override {
    (void)normal;
    ++floor_contacts;
  }
  int floor_contacts = 0;
};

class TerrainContactTest : public World_Test {
 protected:
  // A rolling world with spikes, some on the edges and corners of the height bound's blocks.
  void SetUp() override {
    World_Test::SetUp();
    writers::WorldSpec spec;
    spec.shape = writers::WorldShape::Rolling;
    spec.amplitude = 80.0f;
    Load(spec);
    const int vx = g_World.m_Terrain.vertices_x;
    const int block = CTerrain_Height_Bound::kBlock_Cells;
    for (const auto& [i, k] : {std::pair{block, block}, {block + 1, 3}, {2 * block, 2 * block + 1}, {5, 3 * block},
                               {vx - 1, vx - 1}, {0, 17}})
      g_World.m_Positions[k * vx + i].y += 150.0f;
    Rebuild_Bound();
  }
  void Rebuild_Bound() {
    g_World.m_Height_Bound.Build(g_World.m_Positions, g_World.m_Terrain.vertices_x, g_World.m_Terrain.vertices_z);
    g_World.m_Triangle_Bounds.Build(g_World.m_Positions, g_World.m_Normals, g_World.m_Terrain.vertices_x,
                                    g_World.m_Terrain.vertices_z);
  }

  // The body's step against the world, with the height bound and the kept triangle bounds, and
  // then with every triangle of its range tested from its vertices, from the same start.
  template <class Body, class Step>
  void Expect_Same_Contacts(Body* body, Step step, int& touching) {
    const CVector3 start = body->m_Position;
    const CSphere_Body sphere = body->m_Sphere;
    const CBox_Body box = body->m_Box;
    auto run = [&] {
      body->Set_Position(start);
      body->m_Sphere = sphere;
      body->m_Box = box;
      body->m_Motion.Clear();
      body->floor_contacts = 0;
      step();
      return Step_Result{body->m_Position, body->m_Motion, body->Body_Velocity(), body->floor_contacts};
    };
    const Step_Result bounded = run();
    // The reference: no height bound, and every triangle's box and normal worked out afresh.
    g_World.m_Height_Bound.Clear();
    g_World.m_Triangle_Bounds.Clear();
    const Step_Result every_triangle = run();
    Rebuild_Bound();
    EXPECT_TRUE(Same(bounded, every_triangle));
    touching += every_triangle.floor_contacts > 0;
  }

  // Points over the spikes and the rolling ground, at heights from buried to far above.
  std::vector<CVector3> Points() const {
    const float cell = g_World.m_Cell_X;
    std::vector<CVector3> points;
    Lcg random;
    for (int n = 0; n < 300; ++n) {
      float x = random.Next(-40.0f, g_World.m_Terrain.size_x + 40.0f);
      float z = random.Next(-40.0f, g_World.m_Terrain.size_z + 40.0f);
      if (n % 3 == 0) {
        // Near a spike's vertex, across a block edge from it.
        const int block = CTerrain_Height_Bound::kBlock_Cells;
        x = (static_cast<float>(block) + random.Next(-1.5f, 1.5f)) * cell * static_cast<float>(1 + n % 2);
        z = (static_cast<float>(block) + random.Next(-1.5f, 1.5f)) * cell * static_cast<float>(1 + n % 2);
      }
      points.push_back({x, g_World.Get_Height(x, z) + random.Next(-10.0f, 220.0f), z});
    }
    return points;
  }
};

TEST_F(TerrainContactTest, ASphereTouchesTheSameTrianglesWithTheHeightBoundAsWithout) {
  int touching = 0;
  int index = 0;
  for (const CVector3& at : Points()) {
    SCOPED_TRACE(testing::Message() << at.x << ", " << at.y << ", " << at.z);
    Test_Ball* ball = Ball(at, 2.0f + static_cast<float>(index++ % 7) * 6.0f);
    ASSERT_NE(ball, nullptr);
    ball->m_Sphere.floor_contact_flag = 1;
    ball->m_Sphere.velocity.Set(30.0f, -80.0f, 10.0f);
    Expect_Same_Contacts(ball, [&] { ball->Collide_Sphere_World(ball->m_Motion); }, touching);
    ball->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }
  EXPECT_GT(touching, 15) << "many of the balls should reach the ground";
  EXPECT_LT(touching, 250) << "many should be clear of it";
}

// Balls thrown onto the ground and left to land, roll and knock into each other end every frame
// where they end when every triangle's box and normal are worked out afresh at each contact.
TEST_F(TerrainContactTest, BallsLandingAndRollingEndTheSameWithTheKeptTriangleBounds) {
  auto run = [&](bool kept) {
    Rebuild_Bound();
    if (!kept) g_World.m_Triangle_Bounds.Clear();
    Lcg random;
    std::vector<Test_Ball*> balls;
    for (int n = 0; n < 30; ++n) {
      const float x = random.Next(20.0f, g_World.m_Terrain.size_x - 20.0f);
      const float z = random.Next(20.0f, g_World.m_Terrain.size_z - 20.0f);
      Test_Ball* ball = Ball({x, g_World.Get_Height(x, z) + random.Next(5.0f, 60.0f), z}, random.Next(4.0f, 18.0f),
                             5.0f, 0.3f);
      if (!ball) break;
      ball->m_Sphere.velocity.Set(random.Next(-100.0f, 100.0f), 0.0f, random.Next(-100.0f, 100.0f));
      balls.push_back(ball);
    }
    std::vector<CVector3> trail;
    for (int frame = 0; frame < 60; ++frame) {
      g_World.Update(0.0035f, 16, 0.056f, 0.056f);
      for (Test_Ball* ball : balls) {
        trail.push_back(ball->m_Position);
        trail.push_back(ball->m_Sphere.velocity);
        trail.push_back(ball->m_Sphere.spin);
      }
    }
    int low = 0;
    for (Test_Ball* ball : balls) {
      low += ball->m_Position.y - g_World.Get_Height(ball->m_Position.x, ball->m_Position.z) < 2.0f * ball->m_Collision_Radius;
      ball->m_Kill_Timer = 1.0f;
    }
    g_World.Remove_Dead_Objects();
    Rebuild_Bound();
    return std::pair{trail, low};
  };
  const auto [kept, landed] = run(true);
  const auto [afresh, landed_afresh] = run(false);
  ASSERT_EQ(kept.size(), afresh.size());
  ASSERT_EQ(kept.size(), 30u * 60u * 3u);
  for (size_t i = 0; i < kept.size(); ++i) {
    ASSERT_TRUE(kept[i].x == afresh[i].x && kept[i].y == afresh[i].y && kept[i].z == afresh[i].z)
        << "frame " << i / 90 << ", ball " << i % 90 / 3;
  }
  EXPECT_EQ(landed, landed_afresh);
  EXPECT_GT(landed, 15) << "most balls should be down on the ground by the end";
}

TEST_F(TerrainContactTest, ATurnedBoxTouchesTheSameTrianglesWithTheHeightBoundAsWithout) {
  Floor_Counting_Crate crate;
  crate.Setup_Object(kCrate_Type, 1.0f, 1.0f, 0, 0x01);
  crate.Setup_Box_Body(20.0f, {20.0f, 6.0f, 12.0f}, 0.2f);
  crate.m_Box.floor_contact_flag = 1;
  CMatrix3x3 turn;
  turn.From_Axis_Angle(CVector3{0.6f, 0.64f, 0.48f}, 0.9f);
  crate.m_Orientation = turn;
  int touching = 0;
  for (const CVector3& at : Points()) {
    SCOPED_TRACE(testing::Message() << at.x << ", " << at.y << ", " << at.z);
    crate.m_Position = at;
    crate.m_Box.velocity.Set(0.0f, -50.0f, 0.0f);
    crate.m_Box.spin.Set(0.0f, 0.0f, 0.0f);
    crate.m_Box.floor_timer = 1.0f;
    Expect_Same_Contacts(&crate, [&] { crate.Collide_Box_World(crate.m_Motion); }, touching);
  }
  g_World.Grid().Remove(&crate);
  EXPECT_GT(touching, 15);
  EXPECT_LT(touching, 250);
}

}  // namespace
}  // namespace world_test

namespace world_test {
namespace {

// Triangles of every kind the contacts meet, and some they should never meet: ordinary, thin,
// collinear, with coincident corners, collapsed to a point, wall-sized.
std::vector<std::array<CVector3, 3>> Sample_Triangles() {
  std::vector<std::array<CVector3, 3>> triangles = {
      {{{0, 0, 0}, {0, 0, 25}, {25, 0, 0}}},
      {{{0, 10, 25}, {25, 14, 25}, {25, 3, 0}}},
      {{{0, 0, 0}, {10, 0, 0}, {20, 0.00001f, 0}}},    // nearly collinear
      {{{0, 0, 0}, {10, 5, 0}, {20, 10, 0}}},          // collinear
      {{{3, 4, 5}, {3, 4, 5}, {9, 1, 2}}},             // two corners in one place
      {{{3, 4, 5}, {3, 4, 5}, {3, 4, 5}}},             // a point
      {{{0, 0, 0}, {1600, 0, 0}, {1600, 15000, 0}}},   // a wall's half
      {{{1575, 40, 1575}, {1575, 41, 1600}, {1600, 39, 1575}}},
  };
  Lcg random;
  for (int n = 0; n < 40; ++n) {
    std::array<CVector3, 3> t;
    for (CVector3& v : t) v = {random.Next(-50.0f, 50.0f), random.Next(-50.0f, 50.0f), random.Next(-50.0f, 50.0f)};
    triangles.push_back(t);
  }
  return triangles;
}

std::vector<CVector3> Sample_Points(const std::array<CVector3, 3>& t, Lcg& random) {
  std::vector<CVector3> points = {t[0], t[1], t[2]};
  for (int n = 0; n < 60; ++n) {
    const CVector3& corner = t[n % 3];
    const float reach = n < 30 ? 5.0f : 80.0f;
    points.push_back({corner.x + random.Next(-reach, reach), corner.y + random.Next(-reach, reach),
                      corner.z + random.Next(-reach, reach)});
  }
  return points;
}

// The kept terms give the general point-triangle distance and its nearest point to the bit.
TEST(TerrainTriangleTest, KeptTermsGiveTheGeneralDistanceToTheBit) {
  Lcg random;
  int compared = 0;
  for (const auto& t : Sample_Triangles()) {
    const CTerrain_Triangle bound = CTerrain_Triangle_Bounds::Triangle_Of(t[0], t[1], t[2], CVector3{0, 1, 0});
    for (const CVector3& p : Sample_Points(t, random)) {
      float s = -1.0f, t_ = -1.0f, ks = -2.0f, kt = -2.0f;
      const float general = PointTriangleDistanceSq(p, t[0], t[1], t[2], &s, &t_);
      const float kept = bound.Distance_Sq(p, ks, kt);
      ASSERT_TRUE(std::memcmp(&general, &kept, sizeof(float)) == 0 && std::memcmp(&s, &ks, sizeof(float)) == 0 &&
                  std::memcmp(&t_, &kt, sizeof(float)) == 0)
          << "triangle (" << t[0].x << " " << t[0].y << " " << t[0].z << ") point " << p.x << " " << p.y << " "
          << p.z << ": " << general << " " << s << " " << t_ << " against " << kept << " " << ks << " " << kt;
      ++compared;
    }
  }
  EXPECT_GT(compared, 3000);
}

// A point the plane test turns away is never within reach of the triangle, even one placed at
// the reach itself along the normal; and the test does turn far points away.
TEST(TerrainTriangleTest, APointBeyondThePlaneIsNeverWithinReach) {
  Lcg random;
  int beyond = 0, near_edge = 0;
  for (const auto& t : Sample_Triangles()) {
    const CTerrain_Triangle bound = CTerrain_Triangle_Bounds::Triangle_Of(t[0], t[1], t[2], CVector3{0, 1, 0});
    for (const CVector3& p : Sample_Points(t, random)) {
      for (float reach : {0.5f, 9.0f, 19.8f}) {
        // The point itself, and its foot on the plane moved out to the reach and a hair either side.
        const float along = (p.x - t[0].x) * bound.face.x + (p.y - t[0].y) * bound.face.y + (p.z - t[0].z) * bound.face.z;
        std::vector<CVector3> cases = {p};
        for (float out : {reach, reach * (1.0f + 1e-6f), reach * (1.0f + 1e-4f), reach * (1.0f - 1e-6f)}) {
          const float shift = out - along;
          cases.push_back({p.x + bound.face.x * shift, p.y + bound.face.y * shift, p.z + bound.face.z * shift});
        }
        for (const CVector3& q : cases) {
          if (!bound.Beyond_Plane(q, reach)) continue;
          ++beyond;
          near_edge += q.x != p.x || q.y != p.y || q.z != p.z;
          EXPECT_GE(PointTriangleDistanceSq(q, t[0], t[1], t[2]), reach * reach)
              << "point " << q.x << " " << q.y << " " << q.z << " reach " << reach;
        }
      }
    }
  }
  EXPECT_GT(beyond, 2000);
  EXPECT_GT(near_edge, 100);
}

}  // namespace
}  // namespace world_test
