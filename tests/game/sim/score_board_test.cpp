// The score board: popups and their rows, the open chain, its close and commit, saturation, the
// score marks, the special awards, the mission rules and the number formats.
#include <string>
#include <vector>

#include "game/sim/CBrain_Game_Basic.h"
#include "tests/game/sim/scoring_fixture.h"

namespace scoring_test {
namespace {

using Board_Mgr = CScore_Board_Mgr;

std::vector<uint32_t> Queued_Samples() {
  std::vector<uint32_t> samples;
  for (unsigned i = 0; i < g_Callout_State.queue_length; ++i) samples.push_back(g_Callout_State.queue[i].sample_id);
  return samples;
}

TEST_F(Scoring_Test, SixteenPopupsAtMostButTheChainTakesEveryAward) {
  for (unsigned i = 1; i <= 17; ++i) Board().Award_Points(i, 1.0f);
  EXPECT_EQ(Board().m_Popup_Count, 16u);
  EXPECT_EQ(Board().m_Pending_Points, 17u * 18u / 2u);
  Board().Award_Link();
  EXPECT_EQ(Board().m_Popup_Count, 16u);
  EXPECT_EQ(Board().m_Pending_Multiplier, 10u) << "the link points go to the multiplier";
  Board().Award_Perfect_Round();
  EXPECT_EQ(Board().m_Pending_Points, 153u + 5000u);
  EXPECT_EQ(Queued_Samples(), (std::vector<uint32_t>{0x220000fa})) << "called out without a popup";
}

TEST_F(Scoring_Test, ANoughtPointPopupKeepsTheChainOpenUntilItExpires) {
  Board().Award_Points(100, 1.0f);  // lives 7
  Board().Update(5.0f);
  Board().Award_Points(0, 1.0f);
  Board().Update(2.5f);
  EXPECT_EQ(Board().m_Popup_Count, 1u);
  EXPECT_EQ(Board().m_Commit_Timer, 0.0f) << "still open";
  EXPECT_EQ(Board().m_Pending_Points, 100u);
  Board().Update(5.0f);
  EXPECT_EQ(Board().m_Popup_Count, 0u);
  Board().Update(0.0f);
  EXPECT_GT(Board().m_Commit_Timer, 0.0f) << "closed once the last popup has gone";
  EXPECT_EQ(Board().m_Closing_Points, 100u);
  EXPECT_EQ(Board().m_Pending_Points, 0u);
}

TEST_F(Scoring_Test, RowsAreReusedAndRemovalMovesTheLastPopupIntoTheGap) {
  Board().Award_Points(1, 0.5f);   // row 0, lives 3.5
  Board().Award_Points(2, 1.0f);   // row 1
  Board().Award_Points(3, 1.0f);   // row 2
  Board().Award_Quick_Hit();       // column B, row 0
  EXPECT_EQ(Board().m_Popups[3].row_a, -1);
  EXPECT_EQ(Board().m_Popups[3].row_b, 0);
  Board().Update(4.0f);
  ASSERT_EQ(Board().m_Popup_Count, 3u);
  EXPECT_EQ(Board().m_Popups[0].kind, Board_Mgr::kPopup_Quick_Hit) << "the last popup took the freed place";
  Board().Award_Points(4, 1.0f);
  EXPECT_EQ(Board().m_Popups[3].row_a, 0) << "the lowest free row";
  Board().Award_Points(5, 1.0f);
  EXPECT_EQ(Board().m_Popups[4].row_a, 3);
}

TEST_F(Scoring_Test, AClosedChainCountsUpForTwoUnitsAndIsCommitted) {
  Board().m_Pending_Points = 100;
  Board().m_Pending_Multiplier = 50;
  Board().m_Link_Count = 4;
  Board().m_Quick_Hits = 2;
  Board().Update(0.0f);
  EXPECT_EQ(Board().m_Closing_Points, 100u);
  EXPECT_EQ(Board().m_Closing_Multiplier, 50u);
  EXPECT_EQ(Board().m_Link_Count, 0u);
  EXPECT_EQ(Board().m_Quick_Hits, 0u);
  Board().Update(1.9f);
  EXPECT_EQ(Board().m_Total_Score, 0u);
  Board().Update(0.1f);
  EXPECT_EQ(Board().m_Total_Score, 150u);
  EXPECT_EQ(Board().m_Best_Multiplier, 50u);
  EXPECT_EQ(Board().m_Best_Linked_Total, 150u);
  EXPECT_EQ(Board().m_Commit_Timer, 0.0f);
}

TEST_F(Scoring_Test, TheTotalSaturatesAndTheAmountIsCapped) {
  const struct {
    uint32_t total, closing, multiplier, want_total, want_amount;
  } cases[] = {
      {0xFFFFFF00u, 0x100, 0, 0xFFFFFFFFu, 0x100},       // exactly fills
      {0xFFFFFF00u, 0x101, 0, 0xFFFFFFFFu, 0x101},       // would overflow
      {0, 0xFFFFFFFFu, 100, 4294000128u, 4294000128u},  // the amount cap
      {0xFFFFFFFFu, 1, 0, 0xFFFFFFFFu, 1},               // stays saturated
  };
  for (const auto& c : cases) {
    Fresh();
    Board().m_Total_Score = c.total;
    Board().m_Closing_Points = c.closing;
    Board().m_Closing_Multiplier = c.multiplier;
    Board().Commit_Points();
    EXPECT_EQ(Board().m_Total_Score, c.want_total) << c.total << " + " << c.closing;
    EXPECT_EQ(Board().m_Best_Linked_Total, c.want_amount) << c.total << " + " << c.closing;
  }
}

TEST_F(Scoring_Test, TheHighestScoreMarkPassedIsCalledOut) {
  const struct {
    uint32_t total, amount;
    std::vector<uint32_t> want;
  } cases[] = {
      {0, 1000, {0x2200012a}},    // passes all four: the fourth only
      {0, 150, {0x22000128}},     // the first only
      {200, 50, {0x22000129}},    // a mark equal to the old total counts
      {100, 100, {0x22000128}},   // the second (200) equals the new total and does not count
      {250, 100, {0x22000126}},   // the third
  };
  for (const auto& c : cases) {
    Fresh();
    Board().Set_Stat_Sources(100, 200, 300, 400);
    Board().m_Total_Score = c.total;
    Board().m_Closing_Points = c.amount;
    Board().Commit_Points();
    EXPECT_EQ(Queued_Samples(), c.want) << c.total << " + " << c.amount;
  }
  Fresh();
  Board().Set_Stat_Sources(0, 0, 0, 0);
  Board().m_Closing_Points = 1000;
  Board().Commit_Points();
  EXPECT_TRUE(Queued_Samples().empty()) << "a mark of 0 is none";
}

TEST_F(Scoring_Test, SpecialAwardsDivideByTheirCountInTheChain) {
  struct Case {
    void (Board_Mgr::*award)();
    const uint32_t Board_Mgr::*counter;
    int kind;
    std::vector<uint32_t> points, multipliers;
  };
  const Case cases[] = {
      {&Board_Mgr::Award_Quick_Hit, &Board_Mgr::m_Quick_Hits, Board_Mgr::kPopup_Quick_Hit, {750, 375, 250, 250},
       {25, 12, 8, 6}},
      {&Board_Mgr::Award_Target_Hit, &Board_Mgr::m_Target_Hits, Board_Mgr::kPopup_Target_Hit, {750, 375, 250, 250},
       {35, 17, 11, 8}},
      {&Board_Mgr::Award_Multi_Hit, &Board_Mgr::m_Multi_Hits, Board_Mgr::kPopup_Multi_Hit,
       {1250, 625, 416, 312, 250, 250}, {50, 25, 16, 12, 10, 8}},
      {&Board_Mgr::Award_Bonus_Hit, &Board_Mgr::m_Bonus_Hits, Board_Mgr::kPopup_Bonus_Hit, {1250, 625, 416, 416},
       {50, 25, 16, 12}},
  };
  for (const Case& c : cases) {
    Fresh();
    for (size_t n = 0; n < c.points.size(); ++n) {
      (Board().*c.award)();
      const Board_Mgr::Popup& popup = Board().m_Popups[n];
      EXPECT_EQ(popup.kind, c.kind);
      EXPECT_EQ(popup.points, c.points[n]) << "kind " << c.kind << " award " << n + 1;
      EXPECT_EQ(popup.multiplier, c.multipliers[n]) << "kind " << c.kind << " award " << n + 1;
    }
    EXPECT_EQ(Board().*c.counter, c.points.size());
    EXPECT_EQ(Board().m_Bonus_Count, c.points.size());
  }
}

TEST_F(Scoring_Test, StreaksAreAwardedOnEveryThirdHit) {
  const struct {
    unsigned streak;
    bool awarded;
    uint32_t points, multiplier;
  } cases[] = {{1, false, 0, 0}, {2, false, 0, 0}, {3, true, 500, 50},   {4, false, 0, 0},
               {6, true, 1250, 125}, {9, true, 2000, 125}, {15, true, 3500, 125}, {16, false, 0, 0}};
  for (const auto& c : cases) {
    Fresh();
    Board().Award_Hit_Streak(c.streak);
    ASSERT_EQ(Board().m_Popup_Count, c.awarded ? 1u : 0u) << c.streak;
    if (!c.awarded) continue;
    EXPECT_EQ(Board().m_Popups[0].points, c.points) << c.streak;
    EXPECT_EQ(Board().m_Popups[0].multiplier, c.multiplier) << c.streak;
    EXPECT_EQ(Board().m_Bonus_Count, 0u) << "a streak is not a bonus";
  }
}

TEST_F(Scoring_Test, LinksGrowInTiersAndAreCalledOutAtThreeSixAndTwelve) {
  const uint32_t want_points[] = {10, 10, 25, 25, 25, 40, 40, 40, 40, 40, 40, 65, 65};
  const int want_icons[] = {2, 2, 3, 3, 3, 4, 4, 4, 4, 4, 4, 5, 5};
  std::vector<int> called_at;
  for (int c = 1; c <= 13; ++c) {
    Board().m_Popup_Count = 0;
    const unsigned queued = g_Callout_State.queue_length;
    Board().Award_Link();
    EXPECT_EQ(Board().m_Popups[0].points, want_points[c - 1]) << c;
    EXPECT_EQ(Board().m_Popups[0].icon, want_icons[c - 1]) << c;
    EXPECT_EQ(Board().m_Popups[0].duration, 2.5f);
    if (g_Callout_State.queue_length != queued) called_at.push_back(c);
    g_Callout_State = CCallout_State();  // an empty queue and threshold for the next request
  }
  EXPECT_EQ(called_at, (std::vector<int>{3, 6, 12}));
  EXPECT_EQ(Board().m_Longest_Link, 13u);
  EXPECT_EQ(Board().m_Pending_Multiplier, 10u + 10u + 3 * 25u + 6 * 40u + 2 * 65u);
}

TEST_F(Scoring_Test, InAMissionOnlyPointsAndLinksScore) {
  g_Game_State.m_Mode_Flags = 0x11;
  Board().Award_Quick_Hit();
  Board().Award_Target_Hit();
  Board().Award_Multi_Hit();
  Board().Award_Bonus_Hit();
  Board().Award_Perfect_Round();
  Board().Award_Hit_Streak(3);
  EXPECT_EQ(Board().m_Popup_Count, 0u);
  EXPECT_EQ(Board().m_Bonus_Count, 0u);
  EXPECT_EQ(Board().m_Quick_Hits, 0u);
  EXPECT_EQ(g_Callout_State.queue_length, 0u) << "silent";
  Board().Award_Points(100, 1.0f);
  EXPECT_FLOAT_EQ(Board().m_Popups[0].duration, 7.0f * 0.65f);
  for (int i = 0; i < 12; ++i) Board().Award_Link();
  EXPECT_EQ(Board().m_Popups[1].points, 2u) << "a fifth of 10";
  EXPECT_FLOAT_EQ(Board().m_Popups[1].duration, 1.625f);
  EXPECT_EQ(Board().m_Popups[12].points, 13u) << "a fifth of 65";
  EXPECT_EQ(Board().m_Pending_Multiplier, 2u * 2 + 5u * 3 + 8u * 6 + 13u);
}

TEST_F(Scoring_Test, AFlushedChainMakesEveryPopupExpireFiveTimesFaster) {
  Board().Award_Points(100, 1.0f);  // lives 7
  Board().m_Pending_Multiplier = 30;
  Board().Flush_Staged_Points();
  ASSERT_EQ(Board().m_Popup_Count, 2u);
  EXPECT_EQ(Board().m_Popups[1].kind, Board_Mgr::kPopup_Flushed_Chain);
  EXPECT_EQ(Board().m_Popups[1].points, 100u);
  EXPECT_EQ(Board().m_Popups[1].multiplier, 30u);
  EXPECT_EQ(Board().m_Popups[1].row_a, -1);
  EXPECT_EQ(Board().m_Popups[1].row_b, -1);
  EXPECT_EQ(Board().m_Pending_Points, 0u) << "the flushed points are lost";
  Board().Update(1.0f);
  EXPECT_FLOAT_EQ(Board().m_Popups[0].time_left, 2.0f);
  Board().Flush_Staged_Points();
  EXPECT_EQ(Board().m_Popup_Count, 2u) << "nothing to flush";
  Board().Update(2.4f);
  EXPECT_EQ(Board().m_Popup_Count, 0u) << "12 units of the flushed chain pass in 2.4";
  EXPECT_EQ(Board().m_Total_Score, 0u);
}

TEST_F(Scoring_Test, MissionFlushAndCloseFlashTheMissionBrainWhenThereIsOne) {
  g_Game_State.m_Mode_Flags = 0x11;
  Board().m_Pending_Points = 50;
  Board().Flush_Staged_Points();
  EXPECT_EQ(Board().m_Pending_Points, 0u) << "without a mission brain the flush still happens";
  EXPECT_FLOAT_EQ(Board().m_Popups[0].duration, 7.8f);
  CBrain_Game_Basic brain;
  g_Game_State.m_Brain = &brain;
  brain.m_Commit_Flash = 0.5f;
  Board().m_Pending_Points = 50;
  Board().Flush_Staged_Points();
  EXPECT_EQ(brain.m_Loss_Flash, 1.0f);
  EXPECT_EQ(brain.m_Commit_Flash, 0.0f);
  Board().m_Popup_Count = 0;
  Board().m_Pending_Points = 80;
  Board().Update(0.0f);
  EXPECT_EQ(brain.m_Commit_Flash, 1.0f);
  EXPECT_EQ(brain.m_Loss_Flash, 0.0f);
  g_Game_State.m_Brain = nullptr;
}

TEST_F(Scoring_Test, CommitPointsCommitsBothChainsAndClearsThePopups) {
  Board().Award_Points(40, 1.0f);
  Board().m_Closing_Points = 100;
  Board().m_Closing_Multiplier = 100;
  Board().m_Commit_Timer = 0.5f;
  Board().Commit_Points();
  EXPECT_EQ(Board().m_Total_Score, 200u + 40u);
  EXPECT_EQ(Board().m_Popup_Count, 0u);
  EXPECT_EQ(Board().m_Best_Linked_Total, 200u);
  EXPECT_EQ(Board().m_Commit_Timer, 0.0f);
}

TEST_F(Scoring_Test, TheFoldAtAThirdOfTheCountUpSaturates) {
  const struct {
    float timer;
    uint32_t points, multiplier, want_points, want_multiplier;
  } cases[] = {
      {0.2f, 1000, 150, 1000, 150},                   // too early
      {0.34f, 1000, 150, 2500, 0},                    // 1000 + 1.5 x 1000
      {0.34f, 1000, 0, 1000, 0},                      // nothing to fold
      {0.5f, 4000000000u, 100, 0xFFFFFFFFu, 0},       // would wrap past 32 bits
  };
  for (const auto& c : cases) {
    Fresh();
    Board().m_Commit_Timer = c.timer;
    Board().m_Closing_Points = c.points;
    Board().m_Closing_Multiplier = c.multiplier;
    Board().Fold_Closing_Multiplier();
    EXPECT_EQ(Board().m_Closing_Points, c.want_points) << c.points;
    EXPECT_EQ(Board().m_Closing_Multiplier, c.want_multiplier) << c.points;
  }
  EXPECT_EQ(Board().m_Best_Multiplier, 100u);
}

TEST(Score_Format, MultipliersShowUpToTwoDecimals) {
  const struct {
    uint32_t m;
    const char* want;
  } cases[] = {{0, "1 x "}, {50, "1.5 x "}, {105, "2.05 x "}, {250, "3.5 x "},
               {1, "1.01 x "}, {100, "2 x "}, {199, "2.99 x "}};
  for (const auto& c : cases) EXPECT_STREQ(CScore_Board_Mgr::Format_Multiplier(c.m), c.want) << c.m;
  EXPECT_STREQ(CScore_Board_Mgr::Format_Multiplied_Points(0, 1234), "1,234");
  EXPECT_STREQ(CScore_Board_Mgr::Format_Multiplied_Points(150, 1234), "2.5 x 1,234");
  EXPECT_STREQ(CScore_Board_Mgr::Format_Multiplied_Points(105, 7), "2.05 x 7");
}

TEST(Score_Format, NumbersAreGroupedInThrees) {
  const struct {
    uint32_t n;
    const char* want;
  } cases[] = {{0, "0"},           {999, "999"},           {1000, "1,000"},
               {100000, "100,000"}, {1234567, "1,234,567"}, {4294967295u, "4,294,967,295"}};
  for (const auto& c : cases) EXPECT_STREQ(Format_Number_Grouped(c.n), c.want) << c.n;
}

}  // namespace
}  // namespace scoring_test
