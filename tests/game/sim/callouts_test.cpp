// The score callouts: weights and the threshold decide what is queued, the queue limit and
// ousting, the unique rule, and the timing of playback, also when it is silent.
#include <vector>

#include "game/core/CGame_State.h"
#include "game/sim/Score_Callouts.h"
#include "tests/support/recording_sound_mgr.h"
#include "tests/game/sim/scoring_fixture.h"

namespace scoring_test {
namespace {

std::vector<uint32_t> Queue() {
  std::vector<uint32_t> samples;
  for (unsigned i = 0; i < g_Callout_State.queue_length; ++i) samples.push_back(g_Callout_State.queue[i].sample_id);
  return samples;
}

constexpr uint32_t kMark_4 = 0x2200012a, kMark_2 = 0x22000129, kMark_3 = 0x22000126, kPerfect = 0x220000fa;
constexpr uint32_t kTarget = 0x220000fc, kQuick = 0x22000123, kLink_3 = 0x2200011d, kStreak = 0x220000ef;
constexpr uint32_t kBonus = 0x22000125, kLink_12 = 0x2200011f;
constexpr unsigned kRoomy = 8;

TEST_F(Scoring_Test, AcceptedCalloutsRaiseTheThresholdAndLowerTheirWeight) {
  Request_Callout(kCallout_Target_Hit, kRoomy);
  EXPECT_FLOAT_EQ(g_Callout_State.threshold, 0.65f);
  EXPECT_FLOAT_EQ(g_Callout_Table[kCallout_Target_Hit].weight, 0.25f);
  EXPECT_FLOAT_EQ(g_Callout_State.queue[0].weight, 1.0f) << "the weight before the request";
  Request_Callout(kCallout_Score_Mark_4, kRoomy);
  Request_Callout(kCallout_Score_Mark_2, kRoomy);
  Request_Callout(kCallout_Perfect_Round, kRoomy);
  EXPECT_FLOAT_EQ(g_Callout_State.threshold, 2.6f) << "four accepted callouts";
  EXPECT_FLOAT_EQ(g_Callout_Table[kCallout_Score_Mark_4].weight, 5.0f) << "a weight of 4.99 or more never falls";
  Request_Callout(kCallout_Quick_Hit, kRoomy);
  EXPECT_EQ(Queue(), (std::vector<uint32_t>{kTarget, kMark_4, kMark_2, kPerfect})) << "weight 1 is below 2.6";
  for (int i = 0; i < 6; ++i) Request_Callout(kCallout_Score_Mark_3, kRoomy), Update_Callouts(100.0f);
  EXPECT_FLOAT_EQ(g_Callout_State.threshold, 0.0f) << "the threshold decays, not below 0";
  EXPECT_FLOAT_EQ(g_Callout_Table[kCallout_Target_Hit].weight, 1.0f) << "weights recover up to their base";
}

TEST_F(Scoring_Test, TheThresholdIsCappedSoTheHeaviestCalloutAlwaysPasses) {
  for (int i = 0; i < 12; ++i) {
    g_Callout_State.queue_length = 0;
    Request_Callout(kCallout_Score_Mark_4, kRoomy);
    EXPECT_EQ(g_Callout_State.queue_length, 1u) << i;
  }
  EXPECT_FLOAT_EQ(g_Callout_State.threshold, 4.99f);
}

TEST_F(Scoring_Test, WeightlessKindsPassOnlyAtAThresholdOfExactlyNought) {
  Recording_Sound_Mgr sound;
  Request_Callout(kCallout_Link_3, kRoomy);
  EXPECT_EQ(Queue(), (std::vector<uint32_t>{kLink_3}));
  Request_Callout(kCallout_Hit_Streak, kRoomy);
  EXPECT_EQ(Queue().size(), 1u) << "threshold 0.65 is above weight 0";
  Update_Callouts(18.0f);  // 0.035 x 18 = 0.63: not yet 0
  Request_Callout(kCallout_Hit_Streak, kRoomy);
  EXPECT_EQ(Queue().size(), 1u);
  Update_Callouts(1.0f);  // now 0; the first callout's delay has run out and it plays
  EXPECT_EQ(g_Callout_State.playing, kLink_3);
  Request_Callout(kCallout_Hit_Streak, kRoomy);
  EXPECT_EQ(Queue(), (std::vector<uint32_t>{kStreak}));
}

TEST_F(Scoring_Test, AFullQueueOnlyTakesACalloutInPlaceOfALighterOne) {
  const unsigned limit = kCallout_Limit;
  struct Case {
    std::vector<unsigned> first_two;
    unsigned request;
    std::vector<uint32_t> want;
  };
  const Case cases[] = {
      // Nothing lighter than the bonus hit (2.0) waits: refused.
      {{kCallout_Score_Mark_4, kCallout_Score_Mark_2}, kCallout_Bonus_Hit, {kMark_4, kMark_2}},
      // The lighter one is the last entry: it is removed, and the request ends there.
      {{kCallout_Score_Mark_4, kCallout_Score_Mark_2}, kCallout_Perfect_Round, {kMark_4}},
      // The lighter one is first: it makes room and the request is queued.
      {{kCallout_Score_Mark_2, kCallout_Score_Mark_4}, kCallout_Perfect_Round, {kMark_4, kPerfect}},
  };
  for (const Case& c : cases) {
    Fresh();
    for (unsigned kind : c.first_two) Request_Callout(kind, limit);
    Request_Callout(c.request, limit);
    EXPECT_EQ(Queue(), c.want) << c.request;
  }
  Fresh();
  Request_Callout(kCallout_Link_12, limit);
  Request_Callout(kCallout_Link_12, limit);
  EXPECT_EQ(Queue(), (std::vector<uint32_t>{kLink_12})) << "a queued sample is not queued again";
  Request_Callout(kCallout_Kind_Count, limit);
  Request_Callout(99, limit);
  EXPECT_EQ(Queue().size(), 1u) << "unknown kinds are ignored";
}

TEST_F(Scoring_Test, TheHeadPlaysAfterItsDelayAndHoldsTheChannelForItsPlayTime) {
  Recording_Sound_Mgr sound;
  const float old_volume = g_Game_State.SoundFX_Volume;
  g_Game_State.SoundFX_Volume = 0.8f;
  Request_Callout(kCallout_Bonus_Hit, kRoomy);   // play time 4.0
  Request_Callout(kCallout_Score_Mark_4, kRoomy);
  Update_Callouts(0.5f);
  EXPECT_TRUE(sound.Played().empty()) << "0.6 of delay first";
  Update_Callouts(0.5f);
  EXPECT_TRUE(sound.Played().empty()) << "the delay has run out; the head plays at the next update";
  Update_Callouts(0.1f);
  ASSERT_EQ(sound.Played(), (std::vector<uint32_t>{kBonus}));
  EXPECT_FLOAT_EQ(sound.Plays()[0].volume, 0.925f * 0.8f);
  Request_Callout(kCallout_Bonus_Hit, kRoomy);
  EXPECT_EQ(Queue(), (std::vector<uint32_t>{kMark_4})) << "a playing sample is not queued again";
  Update_Callouts(0.6f);
  Update_Callouts(3.3f);
  EXPECT_EQ(sound.Played().size(), 1u) << "the bonus hit still holds the channel";
  Update_Callouts(0.2f);  // 4.1 passed: free; the next head's delay starts
  Update_Callouts(0.6f);
  Update_Callouts(0.01f);
  EXPECT_EQ(sound.Played(), (std::vector<uint32_t>{kBonus, kMark_4}));
  g_Game_State.SoundFX_Volume = 0.05f;
  Request_Callout(kCallout_Perfect_Round, kRoomy);
  for (int i = 0; i < 20; ++i) Update_Callouts(0.5f);
  EXPECT_EQ(sound.Played().size(), 2u) << "silent at an effect volume of 0.05";
  EXPECT_EQ(g_Callout_State.queue_length, 0u) << "yet consumed on its timing";
  g_Game_State.SoundFX_Volume = old_volume;
}

}  // namespace
}  // namespace scoring_test
