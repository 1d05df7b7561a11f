// The hit statistics: points by type and variant, the boss rule, the two rings, rounds, misses
// and the three ratings.
#include <cmath>
#include <limits>
#include <memory>
#include <utility>

#include "game/core/CObject_Pool.h"
#include "game/player/CAmmo_Ball.h"
#include "game/player/CAmmo_Explosive.h"
#include "game/player/CPlayer_Weapon_Gun.h"
#include "tests/game/sim/scoring_fixture.h"

namespace scoring_test {
namespace {

constexpr float kNot_Counted = CSim_Stats::kNot_Counted;

TEST_F(Scoring_Test, PointsAndReactionTimeFollowTheTypeAndColourVariant) {
  struct Case {
    uint32_t type;
    int32_t variant;
    float age;
    bool flag;
    uint32_t want_points;
    float want_reaction;
  };
  const Case cases[] = {
      {9, 0, 1.5f, false, 100, 1.5f},       {9, 3, 1.5f, false, 200, 1.5f},
      {10, 2, 4.0f, false, 200, 4.0f},      {12, 3, 4.0f, false, 650, 4.0f},
      {27, 1, 4.0f, false, 350, 4.0f},      {29, 1, 3.0f, false, 1500, 6.0f},
      {30, 3, 0.5f, false, 750, 0.5f},      {16, 0, 2.0f, false, 100, 2.0f},
      {11, 2, 3.0f, true, 100, 1000.0f},    {11, 2, 3.0f, false, 100, 3.0f},
      {24, 0, 3.0f, true, 350, kNot_Counted}, {24, 0, 3.0f, false, 350, 1.0f},
      {19, 0, 2.0f, false, 350, 4.0f},      {25, 0, 2.0f, false, 350, 4.0f},
      {21, 0, 2.0f, false, 150, kNot_Counted}, {13, 3, 2.0f, false, 1500, 2.0f},
      {6, 0, 2.0f, false, 125, kNot_Counted},  {50, 0, 2.0f, false, 350, kNot_Counted},
      {52, 0, 2.0f, false, 0, kNot_Counted},   {68, 0, 2.0f, false, 2500, kNot_Counted},
      // A variant outside 0-3 scores nothing but the age is still read.
      {9, 4, 1.5f, false, 0, 1.5f},         {12, -1, 7.0f, false, 0, 7.0f},
      // Types outside the table score nothing and are not counted.
      {5, 0, 1.0f, false, 0, kNot_Counted},    {31, 0, 1.0f, false, 0, kNot_Counted},
      {53, 0, 1.0f, false, 0, kNot_Counted},   {69, 0, 1.0f, false, 0, kNot_Counted},
      {1000, 0, 1.0f, false, 0, kNot_Counted}, {0xFFFFFFFF, 0, 1.0f, false, 0, kNot_Counted},
  };
  for (const Case& c : cases) {
    Fake_Target target(c.type, c.variant, c.age, c.flag);
    const CSim_Stats::Hit_Value value = CSim_Stats::Points_For(&target);
    EXPECT_EQ(value.points, c.want_points) << "type " << c.type << " variant " << c.variant;
    EXPECT_FLOAT_EQ(value.reaction, c.want_reaction) << "type " << c.type << " variant " << c.variant;
  }
  const Plain_Object no_record(10);
  EXPECT_EQ(CSim_Stats::Points_For(&no_record).points, 150u) << "an object without a record is variant 0";
  EXPECT_EQ(CSim_Stats::Points_For(nullptr).points, 0u);
}

// A gun of a kind that holds nothing.
class Kind_Only_Gun : public CPlayer_Weapon_Gun {
 public:
  explicit Kind_Only_Gun(int kind) { m_Kind = kind; }
  bool Init() override { return true; }
  void Term() override {}
  void Update(const CFrame_Info&) override {}
  void Render(const CFrame_Info&) override {}
};

TEST_F(Scoring_Test, TheFlyingSaucerIsWorthLessToTheRapidGuns) {
  const struct {
    int gun;
    uint32_t want;
  } cases[] = {{1, 500}, {2, 125}, {3, 500}, {4, 125}, {5, 500}};
  Fake_Target ufo(8);
  for (const auto& c : cases) {
    Kind_Only_Gun gun(c.gun);
    g_Player.m_Gun = &gun;
    EXPECT_EQ(CSim_Stats::Points_For(&ufo).points, c.want) << "gun " << c.gun;
    g_Player.m_Gun = nullptr;
  }
  EXPECT_EQ(CSim_Stats::Points_For(&ufo).points, 500u) << "no gun";
}

TEST_F(Scoring_Test, AHitWithoutAHitObjectCountsAndQueuesANoughtPointPopup) {
  const uint32_t tag = 0;
  g_Sim_Stats.Register_Hit(nullptr, nullptr, nullptr, tag);
  EXPECT_EQ(g_Sim_Stats.m_Hits, 1u);
  ASSERT_EQ(Board().m_Popup_Count, 1u);
  EXPECT_EQ(Board().m_Popups[0].kind, CScore_Board_Mgr::kPopup_Points);
  EXPECT_EQ(Board().m_Popups[0].points, 0u);
}

TEST_F(Scoring_Test, WhileABossLivesOnlyHitsOnItScore) {
  // Made on its own. The world deletes such an object when no pool of its type exists; an
  // earlier test of the same process may have left one, and the object then stays the test's.
  auto boss_owner = std::make_unique<Fake_Target>(68);
  Fake_Target* boss = static_cast<Fake_Target*>(Put_In_World(boss_owner.get()));
  boss->m_Kind_Flags = 0x08;
  Fake_Target box(9, 3, 1.0f);
  g_Sim_Stats.Record_Launch(&box);
  g_Sim_Stats.End_Round(true);
  g_Sim_Stats.Record_Launch(&box);
  const uint32_t tag = 0;
  g_Sim_Stats.Register_Hit(&box, nullptr, nullptr, tag);
  EXPECT_EQ(Board().m_Popups[0].points, 0u) << "a box scores nothing while the boss lives";
  EXPECT_EQ(g_Sim_Stats.m_Hits, 1u);
  EXPECT_TRUE(g_Sim_Stats.All_Launches_Hit()) << "the hit still marks the launch ring";
  EXPECT_EQ(Popups_Of_Kind(CScore_Board_Mgr::kPopup_Quick_Hit), 1) << "and still earns the quick hit";
  g_Sim_Stats.Register_Hit(boss, nullptr, nullptr, tag);
  EXPECT_EQ(Board().m_Pending_Points, 2500u + 750u) << "the boss scores; the quick hit is pending too";
  const bool world_deletes_the_boss = g_Object_Pools[68] == nullptr;
  g_World.Reset();
  if (world_deletes_the_boss) boss_owner.release();
  Fresh();
  g_Sim_Stats.Register_Hit(&box, nullptr, nullptr, tag);
  EXPECT_EQ(Board().m_Popups[0].points, 200u) << "without a boss the box scores";
}

TEST_F(Scoring_Test, AHitMarksTheNewestShotWithItsSourceAndTag) {
  Fake_Shot shot(3);
  const CShot_Source source = CShot_Source::Of_Object(&shot);
  const uint32_t first = 1, second = 2, other = 9;
  g_Sim_Stats.Record_Shot(source, first);
  g_Sim_Stats.Record_Shot(source, second);
  g_Sim_Stats.Register_Hit(nullptr, &shot, nullptr, first);
  EXPECT_EQ(g_Sim_Stats.m_Shot_Ring[0].flags, CSim_Stats::kEntry_In_Use | CSim_Stats::kEntry_Hit)
      << "the newer entry of another tag is passed over";
  EXPECT_EQ(g_Sim_Stats.m_Shot_Ring[1].flags, CSim_Stats::kEntry_In_Use);
  EXPECT_EQ(g_Sim_Stats.Count_Hit_Streak(), 0) << "the newest shot missed";
  const CShot_Source bullets = CShot_Source::Numbered(CShot_Source::kBullets);
  g_Sim_Stats.Register_Hit(nullptr, nullptr, &bullets, other);
  EXPECT_EQ(g_Sim_Stats.m_Shot_Ring[1].flags, CSim_Stats::kEntry_In_Use) << "no entry of that source";
  g_Sim_Stats.Register_Hit(nullptr, nullptr, &source, second);
  EXPECT_EQ(g_Sim_Stats.Count_Hit_Streak(), 2);
  g_Sim_Stats.Register_Hit(nullptr, nullptr, &source, second);
  EXPECT_EQ(g_Sim_Stats.Count_Hit_Streak(), 2) << "a second hit by one shot does not grow the streak";
}

TEST_F(Scoring_Test, TheStreakStopsAtTheRingSizeAndIsAwardedAtEveryThird) {
  std::vector<int> awarded_at;
  const CShot_Source bullets = CShot_Source::Numbered(CShot_Source::kBullets);
  for (uint32_t shot = 1; shot <= 20; ++shot) {
    g_Sim_Stats.Record_Shot(bullets, shot);
    Board().m_Popup_Count = 0;
    g_Sim_Stats.Register_Hit(nullptr, nullptr, &bullets, shot);
    EXPECT_EQ(g_Sim_Stats.Count_Hit_Streak(), std::min<int>(shot, 16));
    if (Popups_Of_Kind(CScore_Board_Mgr::kPopup_Hit_Streak) > 0) awarded_at.push_back(static_cast<int>(shot));
  }
  EXPECT_EQ(awarded_at, (std::vector<int>{3, 6, 9, 12, 15}));
}

TEST_F(Scoring_Test, LaunchRingRatioAndRounds) {
  Fake_Target a(9), b(9), c(9);
  EXPECT_FALSE(g_Sim_Stats.All_Launches_Hit()) << "empty, and before the first round";
  g_Sim_Stats.Record_Launch(&a);
  g_Sim_Stats.Register_Hit(&a, nullptr, nullptr, 0);
  EXPECT_FALSE(g_Sim_Stats.All_Launches_Hit()) << "no round is tracked before the first round end";
  g_Sim_Stats.End_Round(true);
  EXPECT_EQ(g_Sim_Stats.m_Rounds, 1u);
  EXPECT_EQ(g_Sim_Stats.m_Perfect_Rounds, 0u);
  EXPECT_FALSE(g_Sim_Stats.All_Launches_Hit()) << "the ring was emptied";
  EXPECT_FLOAT_EQ(g_Sim_Stats.Get_Launch_Hit_Ratio(), 0.0f);
  for (Fake_Target* t : {&a, &b, &c}) g_Sim_Stats.Record_Launch(t);
  g_Sim_Stats.Register_Hit(&a, nullptr, nullptr, 0);
  g_Sim_Stats.Register_Hit(&c, nullptr, nullptr, 0);
  EXPECT_FLOAT_EQ(g_Sim_Stats.Get_Launch_Hit_Ratio(), 2.0f / 3.0f);
  EXPECT_FALSE(g_Sim_Stats.Check_Perfect_Round());
  EXPECT_EQ(g_Sim_Stats.m_Rounds, 1u);
  g_Sim_Stats.Register_Hit(&b, nullptr, nullptr, 0);
  Board().m_Popup_Count = 0;
  EXPECT_TRUE(g_Sim_Stats.Check_Perfect_Round());
  EXPECT_EQ(g_Sim_Stats.m_Rounds, 2u);
  EXPECT_EQ(g_Sim_Stats.m_Perfect_Rounds, 1u);
  EXPECT_TRUE(g_Sim_Stats.m_Last_Round_Perfect);
  EXPECT_EQ(Popups_Of_Kind(CScore_Board_Mgr::kPopup_Perfect_Round), 1);
  EXPECT_EQ(g_Sim_Stats.m_Launch_Ring_Index, 0);
  g_Sim_Stats.Record_Launch(&a);
  g_Sim_Stats.Register_Hit(&a, nullptr, nullptr, 0);
  g_Sim_Stats.End_Round(false);
  EXPECT_EQ(g_Sim_Stats.m_Perfect_Rounds, 2u);
  EXPECT_FALSE(g_Sim_Stats.All_Launches_Hit()) << "a round ended without a reset is no longer tracked";
  EXPECT_FLOAT_EQ(g_Sim_Stats.Get_Launch_Hit_Ratio(), 1.0f) << "but its ring stays";
}

TEST_F(Scoring_Test, QuickHitsAndCountedReactionsAtTheirBounds) {
  const struct {
    float age;
    bool quick;
    float counted;
  } cases[] = {{2.5f, true, 1.0f}, {2.51f, false, 1.0f}, {0.0f, true, 1.0f}, {9999.0f, false, 1.0f},
               {10000.0f, false, 0.0f}};
  for (const auto& c : cases) {
    Fresh();
    Fake_Target target(9, 0, c.age);
    g_Sim_Stats.Register_Hit(&target, nullptr, nullptr, 0);
    EXPECT_EQ(Popups_Of_Kind(CScore_Board_Mgr::kPopup_Quick_Hit), c.quick ? 1 : 0) << c.age;
    EXPECT_EQ(g_Sim_Stats.m_Reaction_Count, c.counted) << c.age;
  }
}

TEST_F(Scoring_Test, OnlyUnhitCountedTargetsLeavingTheWorldAreMisses) {
  const struct {
    uint32_t kind_flags;
    float want;
  } cases[] = {{0x01, 1.0f}, {0x03, 1.0f}, {0x41, 0.0f}, {0x02, 0.0f}, {0x00, 0.0f}};
  for (const auto& c : cases) {
    Fresh();
    Plain_Object object(9);
    object.m_Kind_Flags = c.kind_flags;
    g_Sim_Stats.On_Object_Removed(&object);
    EXPECT_EQ(g_Sim_Stats.m_Reaction_Count, c.want) << c.kind_flags;
    EXPECT_EQ(g_Sim_Stats.m_Reaction_Sum, 20.0f * c.want) << c.kind_flags;
  }
  g_Sim_Stats.On_Object_Removed(nullptr);
  EXPECT_EQ(g_Sim_Stats.m_Reaction_Count, 0.0f);
}

TEST_F(Scoring_Test, BonusAndMultiHitsComeFromTheShotsRecord) {
  const struct {
    uint32_t type;
    bool floor;
    float height;
    uint32_t objects_hit;
    int want_bonus, want_multi;
  } cases[] = {
      {3, true, 100.0f, 0, 1, 0}, {4, true, 100.0f, 2, 1, 1}, {3, true, 60.0f, 0, 0, 0},
      {3, false, 100.0f, 0, 0, 0}, {3, false, 0.0f, 3, 0, 1}, {5, true, 100.0f, 2, 0, 1},
      {5, true, 100.0f, 1, 0, 0},  {6, true, 100.0f, 5, 0, 0},
  };
  for (const auto& c : cases) {
    Fresh();
    Fake_Shot shot(c.type, c.floor, c.objects_hit);
    shot.m_Position = CVector3{0.0f, c.height, 0.0f};
    shot.m_Collision_Radius = 4.0f;
    g_Sim_Stats.Register_Hit(nullptr, &shot, nullptr, 0);
    EXPECT_EQ(Popups_Of_Kind(CScore_Board_Mgr::kPopup_Bonus_Hit), c.want_bonus) << c.type << " " << c.height;
    EXPECT_EQ(Popups_Of_Kind(CScore_Board_Mgr::kPopup_Multi_Hit), c.want_multi) << c.type << " " << c.height;
  }
  // The steel ball and the shell keep their own record.
  auto awards_of = [](CWorld_Object& shot, uint32_t type) {
    Fresh();
    shot.m_Type = type;
    shot.m_Position = CVector3{0.0f, 90.0f, 0.0f};
    g_Sim_Stats.Register_Hit(nullptr, &shot, nullptr, 0);
    return std::make_pair(Popups_Of_Kind(CScore_Board_Mgr::kPopup_Bonus_Hit),
                          Popups_Of_Kind(CScore_Board_Mgr::kPopup_Multi_Hit));
  };
  CAmmo_Ball ball;
  ball.m_Touched_Floor = 1;
  ball.m_Hit_Count = 2;
  EXPECT_EQ(awards_of(ball, CAmmo_Ball::kType), std::make_pair(1, 1));
  CAmmo_Explosive shell;
  shell.m_Touched_Floor = 0;
  shell.m_Hit_Count = 3;
  EXPECT_EQ(awards_of(shell, CAmmo_Explosive::kType), std::make_pair(0, 1));
  Fresh();
  Plain_Object plain_shot(3);
  plain_shot.m_Position = CVector3{0.0f, 500.0f, 0.0f};
  g_Sim_Stats.Register_Hit(nullptr, &plain_shot, nullptr, 0);
  EXPECT_EQ(Board().m_Bonus_Count, 0u) << "a shot without a record earns neither award";
}

TEST_F(Scoring_Test, RatingsAndTheirEdges) {
  struct Case {
    uint32_t shots, launches, hits, rounds, perfect, bonus;
    float elapsed, reaction_sum, reaction_count;
    float want_reaction, want_aptitude, want_aggression;
  };
  const Case cases[] = {
      {0, 0, 0, 0, 0, 0, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
      {0, 0, 0, 1, 0, 0, 50.0f, 40.0f, 2.0f, 0.0f, 0.0f, 0.0f},  // misses only: (1/20 - 0.05) x 750
      {10, 5, 5, 1, 1, 0, 0.5f, 2.0f, 4.0f, 1462.5f, 91.875f, 2940.0f},
      {10, 5, 5, 1, 1, 20, 100.0f, 0.5f, 1.0f, 712.5f, 128.625f, 0.0f},
      {10, 5, 5, 1, 1, 100, 10.0f, 1e-9f, 1e6f, 100000.0f, 321.5625f, 240.0f},
      {0, 1, 3, 2, 0, 0, 10.0f, 3.0f, 3.0f, 712.5f, 551.25f, 0.0f},  // no shots: accuracy over 1
  };
  for (const Case& c : cases) {
    g_Sim_Stats.Reset();
    g_Sim_Stats.m_Shots = c.shots;
    g_Sim_Stats.m_Launches = c.launches;
    g_Sim_Stats.m_Hits = c.hits;
    g_Sim_Stats.m_Rounds = c.rounds;
    g_Sim_Stats.m_Perfect_Rounds = c.perfect;
    g_Sim_Stats.m_Elapsed = c.elapsed;
    g_Sim_Stats.m_Reaction_Sum = c.reaction_sum;
    g_Sim_Stats.m_Reaction_Count = c.reaction_count;
    Board().m_Bonus_Count = c.bonus;
    EXPECT_NEAR(g_Sim_Stats.Calc_Reaction_Rating(), c.want_reaction, 0.01f) << c.shots << "/" << c.bonus;
    EXPECT_NEAR(g_Sim_Stats.Calc_Aptitude_Rating(), c.want_aptitude, 0.01f) << c.shots << "/" << c.bonus;
    EXPECT_NEAR(g_Sim_Stats.Calc_Aggression_Rating(), c.want_aggression, 0.01f) << c.shots << "/" << c.bonus;
  }
}

TEST_F(Scoring_Test, ResetClearsTheRunAndUpdateSumsTheTime) {
  g_Sim_Stats.Record_Shot(CShot_Source::Numbered(CShot_Source::kBullets), 1);
  g_Sim_Stats.Update(0.25f);
  g_Sim_Stats.Update(0.5f);
  EXPECT_FLOAT_EQ(g_Sim_Stats.m_Elapsed, 0.75f);
  g_Sim_Stats.Stop();
  EXPECT_FALSE(g_Sim_Stats.Is_Running());
  EXPECT_TRUE(g_Sim_Stats.Reset());
  EXPECT_TRUE(g_Sim_Stats.Is_Running());
  EXPECT_EQ(g_Sim_Stats.m_Shots, 0u);
  EXPECT_EQ(g_Sim_Stats.m_Elapsed, 0.0f);
  EXPECT_EQ(g_Sim_Stats.m_Shot_Ring[0].flags, 0u);
}

}  // namespace
}  // namespace scoring_test
