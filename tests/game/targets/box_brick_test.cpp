// Box and brick targets and their ejectors in a running world: the box's smash test by distance
// from its axis (a projectile or a shot line) with its answers and pieces, its fade-in, the
// post's launch gate and spins; the brick's break patterns by where the shot passes, the
// one-brick-at-a-time rule of its post, its owner and the post's orientation kinds.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <vector>

#include "game/core/CCamera.h"
#include "game/fx/CDebris_Target_Box.h"
#include "game/fx/CDebris_Target_Brick.h"
#include "game/targets/CEjector_Box.h"
#include "game/targets/CEjector_Brick.h"
#include "game/targets/CTarget_Box.h"
#include "game/targets/CTarget_Brick.h"
#include "game/targets/Target_Shared.h"
#include "tests/game/targets/targets_fixture.h"

namespace targets_test {
namespace {

int Live_Of_Type(uint32_t type) {
  int n = 0;
  while (g_World.Find_Object_By_Type(type, n)) ++n;
  return n;
}

class Boxes : public Targets {
 protected:
  // A box of the size variant facing along z, old enough to take hits.
  CTarget_Box* Box(uint32_t variant, const CVector3& at) {
    CTarget_Box* box = Take<CTarget_Box>();
    EXPECT_NE(box, nullptr);
    if (!box) return nullptr;
    EXPECT_TRUE(box->Spawn(static_cast<int32_t>(variant), 0, CEjector_Box::Size_Of(variant).box_half_size));
    g_World.Add_Object(2, box);
    box->Set_Position(at);
    box->m_Age = 1.0f;
    return box;
  }
};

TEST_F(Boxes, NearItsAxisABoxSmashesFartherItTurnsBlack) {
  struct Case {
    const char* name;
    bool line;       // a shot line, else a projectile
    float off_axis;  // how far the shot passes from the box's z axis
    float speed;
    bool smashes;
    bool answer;
  } cases[] = {
      {"projectile at 10", false, 10, 2000, true, false},
      {"projectile at 12", false, 12, 2000, false, true},
      {"slow projectile at 0", false, 0, 900, false, true},
      {"line at 6", true, 6, 0, true, true},
      {"line at 8", true, 8, 0, false, true},
  };
  for (const Case& c : cases) {
    CTarget_Box* box = Box(1, Sky());
    const CVector3 at = box->m_Position;
    const int pieces = Live_Of_Type(CDebris_Target_Box::kType);
    const uint32_t awards = Awards(), hits = Hits();
    // The shot runs along the box's z axis, off it by the distance along x.
    Hitter projectile(3, 0x10, CVector3{at.x + c.off_axis, at.y, at.z - 3}, CVector3{0, 0, c.speed});
    const CShot_Line line{{at.x + c.off_axis, at.y, at.z - 20}, {0, 0, 1}};
    const bool answer = c.line ? box->On_Hit(nullptr, &line) : box->On_Hit(&projectile, nullptr);
    EXPECT_EQ(answer, c.answer) << c.name;
    EXPECT_EQ(Hits(), hits + (c.line ? 0 : 1)) << c.name << ": player projectiles register";
    EXPECT_EQ(Awards(), awards + (c.smashes ? 1 : 0)) << c.name;
    EXPECT_EQ(Live_Of_Type(CDebris_Target_Box::kType), pieces + (c.smashes ? 3 : 0)) << c.name;
    EXPECT_EQ(box->m_Kill_Timer >= 1.0f, c.smashes) << c.name << ": a smashed box leaves in this frame";
    EXPECT_EQ(box->m_Hit_Count, 1) << c.name;
    if (!c.smashes) {
      EXPECT_EQ(box->m_State_Flags & 0xE0u, 0u) << c.name << ": it falls";
      CColor4 colour;
      EXPECT_EQ(box->Get_Color(colour).g, 0.0f) << c.name;
    }
    harness.Step(1);
  }
}

// The pieces are drawn with the target's light texture, so they take its colour as a tint:
// the colour of its variant, not the black of the hit that smashed it.
TEST_F(Boxes, SmashedPiecesKeepTheBoxsColour) {
  CTarget_Box* box = Box(2, Sky());
  const CShot_Line line{{box->m_Position.x, box->m_Position.y, box->m_Position.z - 20}, {0, 0, 1}};
  ASSERT_TRUE(box->On_Hit(nullptr, &line));
  const CColor4 expected = ::targets::Get_Variant_Color(2);
  int pieces = 0;
  for (int n = 0; CWorld_Object* object = g_World.Find_Object_By_Type(CDebris_Target_Box::kType, n); ++n, ++pieces) {
    const auto* piece = static_cast<CDebris_Target_Box*>(object);
    ASSERT_NE(piece->Tint(), nullptr);
    EXPECT_FLOAT_EQ(piece->Tint()[0], expected.r);
    EXPECT_FLOAT_EQ(piece->Tint()[1], expected.g);
    EXPECT_FLOAT_EQ(piece->Tint()[2], expected.b);
  }
  EXPECT_EQ(pieces, 3);
}

TEST_F(Boxes, WithoutFreeDebrisASmashedBoxStillGoesAndScores) {
  while (g_Object_Pools[CDebris_Target_Box::kType]->Alloc_Object()) {
  }
  CTarget_Box* box = Box(3, Sky());
  const CShot_Line line{{box->m_Position.x, box->m_Position.y, box->m_Position.z - 20}, {0, 0, 1}};
  const uint32_t awards = Awards();
  EXPECT_TRUE(box->On_Hit(nullptr, &line));
  EXPECT_EQ(Awards(), awards + 1);
  EXPECT_GE(box->m_Kill_Timer, 1.0f);
  harness.Step(1);
  EXPECT_EQ(box->m_List, -1) << "swept";
}

TEST_F(Boxes, ItsOwnPostMakesItFadeFastAndRefuses) {
  CTarget_Box* box = Box(0, Sky());
  Hitter post(CEjector_Box::kType, 0x04, Sky(0, -50), CVector3{0, 0, 0});
  EXPECT_FALSE(box->On_Hit(&post, nullptr));
  EXPECT_TRUE(box->m_Fast_Fade);
  EXPECT_FLOAT_EQ(box->m_Kill_Timer, 0.01f);
  box->Update(0.1f);
  EXPECT_NEAR(box->m_Kill_Timer, 0.11f, 1e-4f);
  EXPECT_FLOAT_EQ(box->m_Box.half_size.x, CEjector_Box::Size_Of(0).box_half_size.x) << "keeps its size";
  // Young boxes refuse every contact.
  CTarget_Box* young = Box(2, Sky(200, 0));
  young->m_Age = 0.2f;
  Hitter shot(3, 0x10, Sky(200, -50), CVector3{0, 0, 2000});
  EXPECT_FALSE(young->On_Hit(&shot, nullptr));
  EXPECT_EQ(young->m_Hit_Count, 0);
}

// A box in front of the camera, drawn at ages through its fade-in: the younger it is, the less it
// changes the picture behind it, and from age 0.5 it stands whole.
TEST_F(Boxes, AYoungBoxFadesInWithItsAge) {
  const CVector3 eye = g_Camera.Position();
  const CVector3& ahead = g_Camera.Rotation().rows[2];
  const CVector3 at{eye.x + 400.0f * ahead.x, eye.y + 400.0f * ahead.y, eye.z + 400.0f * ahead.z};
  const CVector3 centre = g_Camera.World_To_Screen(at);
  // How far the pixels of a small square about the box's centre moved from the empty picture.
  auto changed_from = [&](const std::vector<uint32_t>& empty, const std::vector<uint32_t>& pixels, uint32_t w) {
    int64_t sum = 0;
    const int cx = static_cast<int>(centre.x), cy = static_cast<int>(centre.y);
    for (int y = cy - 6; y <= cy + 6; ++y)
      for (int x = cx - 6; x <= cx + 6; ++x) {
        const size_t i = static_cast<size_t>(y) * w + static_cast<size_t>(x);
        for (int shift : {0, 8, 16})
          sum += std::abs(static_cast<int>((pixels[i] >> shift) & 0xFF) - static_cast<int>((empty[i] >> shift) & 0xFF));
      }
    return sum;
  };
  std::vector<uint32_t> empty, pixels;
  uint32_t w = 0, h = 0;
  harness.Step(1, 1);
  ASSERT_TRUE(harness.Read_Back(empty, w, h));
  ASSERT_TRUE(centre.x > 10 && centre.y > 10 && centre.x < static_cast<float>(w) - 10 && centre.y < static_cast<float>(h) - 10);
  CTarget_Box* box = Box(1, at);
  ASSERT_NE(box, nullptr);
  std::vector<int64_t> change;
  for (const float age : {0.02f, 0.15f, 0.3f, 1.0f}) {
    box->m_Age = age;
    box->Set_Position(at);
    box->m_Box.velocity.Set(0.0f, 0.0f, 0.0f);
    harness.Step(1, 1);
    ASSERT_TRUE(harness.Read_Back(pixels, w, h));
    change.push_back(changed_from(empty, pixels, w));
  }
  ASSERT_GT(change[3], 0) << "no box drawn";
  EXPECT_LT(change[0], change[3] / 4) << "a box just launched stands as solid as a grown one";
  EXPECT_LT(change[0], change[1]);
  EXPECT_LT(change[1], change[2]);
  EXPECT_LT(change[2], change[3]);
}

TEST_F(Boxes, ThePostRisesWaitsAndShootsBySize) {
  CEjector_Box* post = Take<CEjector_Box>();
  const float x = 0.5f * X, z = 0.5f * Z;
  post->Spawn(3, CVector3{x, Ground(x, z) - 201.25f, z});
  g_World.Add_Object(1, post);
  post->Launch_Requested = true;
  const uint32_t launches = g_Sim_Stats.m_Launches;
  Step(*post, 0.1f, 4);
  EXPECT_EQ(g_Sim_Stats.m_Launches, launches) << "the first launch waits half a unit";
  EXPECT_TRUE(post->Launch_Requested);
  Step(*post, 0.1f, 2);
  EXPECT_EQ(g_Sim_Stats.m_Launches, launches + 1);
  auto* box = static_cast<CTarget_Box*>(g_World.Find_Object_By_Type(CTarget_Box::kType, 0));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->m_Colour, 3);
  EXPECT_FLOAT_EQ(box->m_Box.half_size.x, 16.5f);
  EXPECT_FLOAT_EQ(box->m_Box.spin.x, 5.0f);
  EXPECT_FLOAT_EQ(box->m_Box.spin.z, 2.0f);
  EXPECT_NEAR(box->m_Box.velocity.Length(), 450.0f, 1e-2f);
  // Out-of-range variants are taken as the first one.
  CEjector_Box* other = Take<CEjector_Box>();
  other->Spawn(9, CVector3{x + 300, Ground(x + 300, z) - 201.25f, z});
  EXPECT_EQ(other->Colour_Variant, 0u);
  EXPECT_FLOAT_EQ(other->m_Fixed.half_size.x, 50.0f);
}

class Bricks : public Targets {
 protected:
  // A brick post on the ground with a brick out before it, old enough to take hits.
  CTarget_Brick* Launched_Brick(CEjector_Brick*& post, uint32_t kind = 0, uint32_t colour = 1) {
    post = Take<CEjector_Brick>();
    const float x = 0.5f * X, z = 0.5f * Z;
    post->Spawn(kind, colour, CVector3{x, Ground(x, z) + 300.0f, z});
    g_World.Add_Object(1, post);
    Step(*post, 0.1f, 6);
    post->Launch_Requested = true;
    post->Update(0.01f);
    auto* brick = static_cast<CTarget_Brick*>(g_World.Find_Object_By_Type(CTarget_Brick::kType, 0));
    EXPECT_NE(brick, nullptr);
    if (brick) Step(*brick, 0.1f, 6);
    return brick;
  }
};

TEST_F(Bricks, WhereTheShotPassesChoosesThePieces) {
  struct Case {
    float x, y;  // where the shot passes, in the brick's frame
    int mode;
    bool centre;
    int pieces;
    int linked;
  } cases[] = {
      {-40, -10, 1, false, 2, 1}, {40, -10, 3, false, 2, 1}, {0, -20, 2, false, 3, 1},
      {5, 5, 4, true, 3, 0},      {30, 30, 4, false, 3, 0},  {-9.9f, 9.9f, 4, true, 3, 0},
  };
  for (const Case& c : cases) {
    CEjector_Brick* post = nullptr;
    CTarget_Brick* brick = Launched_Brick(post);
    ASSERT_NE(brick, nullptr);
    bool centre = false;
    EXPECT_EQ(CTarget_Brick::Break_Mode(c.x, c.y, brick->m_Box.half_size.x, brick->m_Box.half_size.y, centre), c.mode);
    EXPECT_EQ(centre, c.centre);
    // The shot comes along the brick's own z axis through (x, y).
    const CMatrix3x3& o = brick->m_Orientation;
    const CVector3 at = brick->m_Position;
    CShot_Line line;
    line.point.Set(at.x + o.rows[0].x * c.x + o.rows[1].x * c.y - o.rows[2].x * 30,
                   at.y + o.rows[0].y * c.x + o.rows[1].y * c.y - o.rows[2].y * 30,
                   at.z + o.rows[0].z * c.x + o.rows[1].z * c.y - o.rows[2].z * 30);
    line.direction = o.rows[2];
    const int pieces = Live_Of_Type(CDebris_Target_Brick::kType);
    const uint32_t awards = Awards();
    EXPECT_TRUE(brick->On_Hit(nullptr, &line));
    EXPECT_EQ(Live_Of_Type(CDebris_Target_Brick::kType), pieces + c.pieces) << c.x << ", " << c.y;
    EXPECT_EQ(Awards(), awards + (c.centre ? 1 : 0)) << c.x << ", " << c.y;
    int linked = 0;
    for (int n = 0; CWorld_Object* piece = g_World.Find_Object_By_Type(CDebris_Target_Brick::kType, n); ++n)
      linked += static_cast<CDebris_Target_Brick*>(piece)->m_Lock.First_Object() == post ? 1 : 0;
    EXPECT_EQ(linked, c.linked) << c.x << ", " << c.y;
    EXPECT_GE(brick->m_Kill_Timer, 1.0f);
    for (int n = 0; CWorld_Object* object = g_World.Get_Object(n); ++n) object->m_Kill_Timer = 1.0f;
    harness.Step(1);
  }
}

TEST_F(Bricks, BrokenPiecesKeepTheBricksColour) {
  CEjector_Brick* post = nullptr;
  CTarget_Brick* brick = Launched_Brick(post, 0, 3);
  ASSERT_NE(brick, nullptr);
  const CColor4 expected = ::targets::Get_Variant_Color(brick->m_Colour);
  const CShot_Line line{{brick->m_Position.x, brick->m_Position.y, brick->m_Position.z}, brick->m_Orientation.rows[2]};
  brick->On_Hit(nullptr, &line);
  int pieces = 0;
  for (int n = 0; CWorld_Object* object = g_World.Find_Object_By_Type(CDebris_Target_Brick::kType, n); ++n, ++pieces) {
    const auto* piece = static_cast<CDebris_Target_Brick*>(object);
    ASSERT_NE(piece->Tint(), nullptr);
    EXPECT_FLOAT_EQ(piece->Tint()[0], expected.r);
    EXPECT_FLOAT_EQ(piece->Tint()[1], expected.g);
    EXPECT_FLOAT_EQ(piece->Tint()[2], expected.b);
  }
  EXPECT_GT(pieces, 0);
}

TEST_F(Bricks, AZeroImpactDirectionBreaksByTheHittersPlace) {
  CEjector_Brick* post = nullptr;
  CTarget_Brick* brick = Launched_Brick(post);
  ASSERT_NE(brick, nullptr);
  // A still hitter at the brick's centre: no direction to follow, so its place counts.
  Hitter still(3, 0x10, brick->m_Position, CVector3{0, 0, 0});
  const uint32_t awards = Awards();
  EXPECT_FALSE(brick->On_Hit(&still, nullptr)) << "no line: the contact answers false";
  EXPECT_EQ(Awards(), awards + 1) << "a centre hit";
  for (int n = 0; CWorld_Object* object = g_World.Get_Object(n); ++n) {
    EXPECT_TRUE(std::isfinite(object->m_Position.x));
    EXPECT_TRUE(std::isfinite(object->m_Box.velocity.x));
  }
}

TEST_F(Bricks, OneBrickAtATimeAndItsOwnPostIsIgnored) {
  CEjector_Brick* post = nullptr;
  CTarget_Brick* brick = Launched_Brick(post, 2, 0);
  ASSERT_NE(brick, nullptr);
  EXPECT_EQ(brick->Owner(), post);
  const CMatrix3x3 kind_2 = CEjector_Brick::Brick_Orientation(2);
  EXPECT_FLOAT_EQ(brick->m_Orientation.rows[0].x, kind_2.rows[0].x);
  EXPECT_FLOAT_EQ(brick->m_Orientation.rows[1].y, -1.0f);
  EXPECT_NEAR(brick->m_Position.x, post->m_Position.x + 75.0f, 1e-3f);
  EXPECT_EQ(Live_Of_Type(CTarget_Brick::kType), 1);
  // Requests while the brick lives are spent, not saved.
  post->Launch_Requested = true;
  post->Update(0.01f);
  EXPECT_FALSE(post->Launch_Requested);
  EXPECT_EQ(Live_Of_Type(CTarget_Brick::kType), 1);
  EXPECT_FALSE(brick->On_Hit(post, nullptr));
  EXPECT_EQ(brick->m_Hit_Count, 0);
  // Once it has gone the post hands out the next.
  brick->m_Kill_Timer = 1.0f;
  harness.Step(1);
  EXPECT_EQ(post->m_Link_Chain, nullptr);
  post->Launch_Requested = true;
  post->Update(0.01f);
  EXPECT_EQ(Live_Of_Type(CTarget_Brick::kType), 1);
}

TEST_F(Bricks, ABrickWhosePostHasGoneCountsAsHitWithoutScoring) {
  CEjector_Brick* post = nullptr;
  CTarget_Brick* brick = Launched_Brick(post);
  ASSERT_NE(brick, nullptr);
  const uint32_t hits = Hits(), awards = Awards();
  post->m_Kill_Timer = 1.0f;
  harness.Step(1);
  EXPECT_EQ(brick->Owner(), nullptr);
  brick->Update(0.01f);
  EXPECT_TRUE(brick->m_Kind_Flags & 0x40) << "no longer a miss";
  EXPECT_EQ(brick->m_Hit_Count, 1);
  EXPECT_EQ(Hits(), hits);
  EXPECT_EQ(Awards(), awards);
}

TEST_F(Bricks, AColourAboveThreeIsDrawnAfreshForEveryBrick) {
  std::set<int32_t> colours;
  CEjector_Brick* post = Take<CEjector_Brick>();
  const float x = 0.5f * X, z = 0.5f * Z;
  post->Spawn(7, 4, CVector3{x, Ground(x, z) + 300.0f, z});
  EXPECT_EQ(post->Orientation_Kind, 0u) << "a kind outside the table is the first";
  g_World.Add_Object(1, post);
  Step(*post, 0.1f, 6);
  for (int i = 0; i < 24; ++i) {
    post->Launch_Requested = true;
    post->Update(0.01f);
    auto* brick = static_cast<CTarget_Brick*>(g_World.Find_Object_By_Type(CTarget_Brick::kType, 0));
    ASSERT_NE(brick, nullptr);
    colours.insert(brick->m_Colour);
    brick->m_Kill_Timer = 1.0f;
    harness.Step(1);
  }
  EXPECT_GE(colours.size(), 3u);
  for (int32_t c : colours) EXPECT_TRUE(c >= 0 && c <= 3);
}

}  // namespace
}  // namespace targets_test
