// The pieces every target and ejector class shares, on their own: colours, the half-line
// distance of the precision award, which hitters a first hit is registered for, the table of
// target classes against the pool table, floor contacts, the ejectors' rise, death step and
// launch colours.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "game/core/CObject_Pool.h"
#include "game/core/CSphere_Object.h"
#include "game/targets/Ejector_Shared.h"
#include "game/targets/Target_Shared.h"
#include "platform/system/random.h"

namespace {

class Bare : public CSphere_Object {
 public:
  void Update(const float&) override {}
};

TEST(TargetColours, VariantsAndWhiteOutsideTheTable) {
  struct Case {
    int index;
    float r, g, b;
  } cases[] = {{0, 0.2f, 0.9f, 0.2f}, {1, 1.0f, 1.0f, 0.1f}, {2, 1.0f, 0.1f, 1.0f}, {3, 0.9f, 0.2f, 0.2f},
               {4, 1, 1, 1},           {-1, 1, 1, 1},         {1000, 1, 1, 1}};
  for (const Case& c : cases) {
    const CColor4 colour = targets::Get_Variant_Color(c.index);
    EXPECT_FLOAT_EQ(colour.r, c.r) << c.index;
    EXPECT_FLOAT_EQ(colour.g, c.g) << c.index;
    EXPECT_FLOAT_EQ(colour.b, c.b) << c.index;
    EXPECT_FLOAT_EQ(colour.a, 1.0f) << c.index;
  }
  // Scaled sparkle colours clamp each channel: green × 3 is (0.6, 2.7, 0.6) with alpha 3.
  EXPECT_EQ(targets::Pack_Scaled_ARGB(targets::Get_Variant_Color(0), 3.0f), 0xFF99FF99u);
}

TEST(TargetPrecision, HalfLineDistance) {
  const CVector3 point{0, 0, 0}, along_x{1, 0, 0};
  struct Case {
    CVector3 centre;
    CVector3 direction;
    float distance_sq;
    float t;
  } cases[] = {
      {{50, 9.9f, 0}, along_x, 9.9f * 9.9f, 50},      // beside the line, ahead of the point
      {{50, 10.1f, 0}, along_x, 10.1f * 10.1f, 50},
      {{-9.9f, 0, 0}, along_x, 9.9f * 9.9f, 0},       // behind the point: measured to the point
      {{-10.1f, 0, 0}, along_x, 10.1f * 10.1f, 0},
      {{-5, 5, 0}, along_x, 50, 0},
      {{30, 4, 0}, {2, 0, 0}, 16, 60},                // a direction that is not a unit one
      {{3, 4, 0}, {0, 0, 0}, 25, 0},                  // no direction: the distance to the point
  };
  for (const Case& c : cases) {
    float t = -1.0f;
    EXPECT_NEAR(targets::Point_Line_Dist_Sq(c.centre, point, c.direction, &t), c.distance_sq, 1e-3f)
        << c.centre.x << ", " << c.centre.y;
    EXPECT_NEAR(t, c.t, 1e-4f);
  }
}

TEST(TargetPrecision, TheLineComesFromTheShotOrAFastHitterOnly) {
  Bare hitter;
  hitter.Setup_Object(3, 1, 1, 0, 0x10);
  ASSERT_TRUE(hitter.Setup_Sphere_Body(1, 1, 0));
  hitter.m_Position.Set(5, 6, 7);
  CShot_Line line;
  hitter.m_Sphere.velocity.Set(1000, 0, 0);  // exactly 1000 is not fast enough
  EXPECT_FALSE(targets::Precision_Line(&hitter, nullptr, line));
  hitter.m_Sphere.velocity.Set(0, 0, -1000.5f);
  ASSERT_TRUE(targets::Precision_Line(&hitter, nullptr, line));
  EXPECT_FLOAT_EQ(line.point.x, 5);
  EXPECT_NEAR(line.direction.z, -1.0f, 1e-6f);
  const CShot_Line shot{{1, 2, 3}, {0, 3, 4}};
  ASSERT_TRUE(targets::Precision_Line(&hitter, &shot, line));
  EXPECT_FLOAT_EQ(line.point.y, 2);
  EXPECT_NEAR(line.direction.y, 0.6f, 1e-6f);
  EXPECT_FALSE(targets::Precision_Line(nullptr, nullptr, line));
}

TEST(TargetMembers, WhoseFirstHitIsRegistered) {
  Bare hitter;
  struct Case {
    uint32_t type;
    uint32_t kind;
    bool registered;
  } cases[] = {
      {10, 0x10, true},  {10, 0x11, true},  {10, 0x41, true},  {10, 0x01, false}, {10, 0x40, false},
      {10, 0x04, false}, {9, 0x10, true},   {9, 0x41, false},  {17, 0x41, false}, {23, 0x10, true},
      {23, 0x30, false}, {21, 0x11, false}, {19, 0x41, true},  {15, 0x41, true},  {11, 0x12, true},
  };
  for (const Case& c : cases) {
    const targets::Target_Member* member = targets::Find_Target_Member(c.type);
    ASSERT_NE(member, nullptr) << c.type;
    hitter.m_Kind_Flags = c.kind;
    EXPECT_EQ(targets::Registers_Hit(*member, &hitter), c.registered) << c.type << " by " << c.kind;
    EXPECT_FALSE(targets::Registers_Hit(*member, nullptr)) << "no hitter, nothing registered";
  }
}

TEST(TargetMembers, TheTableAgreesWithThePools) {
  std::set<uint32_t> types;
  for (const targets::Target_Member& member : targets::kTarget_Members) {
    EXPECT_TRUE(types.insert(member.type).second) << member.class_name;
    EXPECT_EQ(Object_Pool_Size(member.type), member.pool) << member.class_name;
    bool named = false;
    for (const CObject_Pool_Row& row : kObject_Pool_Rows) named |= row.type == member.type && std::string(row.class_name) == member.class_name;
    EXPECT_TRUE(named) << member.class_name;
  }
  EXPECT_EQ(types.size(), 22u);
  EXPECT_EQ(targets::Find_Target_Member(31), nullptr) << "debris is no target";
  const targets::Sparkle_Burst ball = targets::Member_Burst(*targets::Find_Target_Member(10));
  EXPECT_EQ(ball.count, 25);
  EXPECT_FLOAT_EQ(ball.size_base, 35);
  EXPECT_FLOAT_EQ(ball.spread, 50);
}

TEST(TargetFloor, AWallLeavesASphereAloneTheFloorStartsItsFade) {
  struct Case {
    CVector3 normal;
    bool sphere;
    bool fades;
  } cases[] = {
      {{0, 1, 0}, true, true},   {{1, 0, 0}, true, false},  {{0, 0, -1}, true, false},
      {{0.6f, 0.8f, 0}, true, true}, {{1, 0, 0}, false, true},
  };
  for (const Case& c : cases) {
    Bare target;
    target.Setup_Object(10, 1, 1, 0xF4, 0x01);
    if (c.sphere)
      targets::Sphere_Floor_Contact(target, c.normal);
    else
      targets::Box_Floor_Contact(target);
    EXPECT_FLOAT_EQ(target.m_Kill_Timer, c.fades ? 0.01f : 0.0f);
    EXPECT_EQ(target.m_State_Flags & 0xD0u, c.fades ? 0u : 0xD0u);
    // A fade already under way keeps its timer.
    target.m_Kill_Timer = 0.5f;
    targets::Box_Floor_Contact(target);
    EXPECT_FLOAT_EQ(target.m_Kill_Timer, 0.5f);
  }
}

TEST(EjectorShared, RiseDeathAndColours) {
  struct Rise {
    float kill, age, speed, expected;
  } rises[] = {{0, 0, 4, 0}, {0, 0.1f, 4, 0.4f}, {0, 0.3f, 4, 1}, {0.25f, 5, 4, 0.75f}, {1.5f, 5, 4, 0}, {0, 0.2f, 2, 0.4f}};
  for (const Rise& r : rises) EXPECT_FLOAT_EQ(ejectors::Rise_Fraction(r.kill, r.age, r.speed), r.expected);
  // Sinking never lifts the post above where the release found it.
  EXPECT_FLOAT_EQ(ejectors::Next_Rise(0.3f, 0.001f, 0.075f, 4), 0.3f);
  EXPECT_FLOAT_EQ(ejectors::Next_Rise(1.0f, 0.25f, 5, 4), 0.75f);
  EXPECT_FLOAT_EQ(ejectors::Next_Rise(0.3f, 0.0f, 0.1f, 4), 0.4f);

  Bare ejector;
  ejector.Setup_Object(38, 1, 1, 0x04, 0x04);
  ejectors::Death_Step(ejector, 0.1f, 1.25f);
  EXPECT_EQ(ejector.m_Kill_Timer, 0.0f) << "alive and healthy";
  ejector.m_Value1 = 0.0f;
  ejectors::Death_Step(ejector, 0.1f, 1.25f, false);
  EXPECT_EQ(ejector.m_Kill_Timer, 0.0f) << "no health test asked for";
  ejectors::Death_Step(ejector, 0.1f, 1.25f);
  EXPECT_FLOAT_EQ(ejector.m_Kill_Timer, 0.001f + 0.125f);

  plat::Seed_Random(7);
  for (uint32_t v = 0; v < 4; ++v) EXPECT_EQ(ejectors::Launch_Colour_Variant(v), static_cast<int>(v));
  std::set<int> drawn;
  for (int i = 0; i < 200; ++i) {
    const int c = ejectors::Launch_Colour_Variant(4 + i);
    EXPECT_TRUE(c >= 0 && c <= 3);
    drawn.insert(c);
    const int s = ejectors::Spawner_Colour_Variant(-1 - i);
    EXPECT_TRUE(s >= 0 && s <= 3);
  }
  EXPECT_EQ(drawn.size(), 4u) << "every colour comes up";
}

}  // namespace
