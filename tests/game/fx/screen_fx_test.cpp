// The screen-effect list without a graphics device: what each entry point records, how records
// age and end, every kind's envelope over its life, and which records a simulation's end
// clears.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/core/CFrame_Info.h"
#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/fx/CScreen_FX_Mgr.h"

namespace {

CFrame_Info Step(float delta) {
  CFrame_Info frame;
  frame.Delta = delta;
  return frame;
}

CScreen_FX_Record Record(int kind, float duration, float elapsed, float value1 = 0.0f) {
  CScreen_FX_Record r;
  r.kind = kind;
  r.duration = duration;
  r.elapsed = elapsed;
  r.value1 = value1;
  return r;
}

class ScreenFxTest : public ::testing::Test {
 protected:
  void TearDown() override { g_Screen_FX_Mgr.Term(); }
  CScreen_FX_Mgr& fx = g_Screen_FX_Mgr;
};

TEST_F(ScreenFxTest, EachEntryPointFillsItsFieldsAndLeavesTheRestZero) {
  fx.Add_Effect(11, 1.5f, CColor4{0.25f, 1.0f, 0.5f, 0.7f}, CColor4::Zero, 2.0f, 3.0f);
  fx.Add_Effect_2(13, 3.5f, 0.7f);
  fx.Add_Effect_3(24, 1.0f, CVector3{1, 2, 3}, CVector3{0.1f, 0.2f, 0.3f}, 4.0f, 5.0f);
  fx.Add_Effect_4(6, 4.5f, nullptr);
  fx.Add_Effect_4(7, 5.0f, "Site 4");
  fx.Add_Effect_5(19, 2.0f, 0xFF102030);
  ASSERT_EQ(fx.Effect_Count(), 6);
  std::vector<CScreen_FX_Record> r(fx.Effects().begin(), fx.Effects().end());
  EXPECT_EQ(r[0].kind, 11);
  EXPECT_FLOAT_EQ(r[0].vector_a[0], 0.25f) << "alpha first";
  EXPECT_FLOAT_EQ(r[0].vector_a[3], 0.7f);
  EXPECT_FLOAT_EQ(r[0].value1, 2.0f);
  EXPECT_FLOAT_EQ(r[0].value2, 3.0f);
  EXPECT_FLOAT_EQ(r[1].value1, 0.7f);
  EXPECT_EQ(r[1].vector_a[0], 0.0f);
  EXPECT_EQ(r[2].vector_a[2], 3.0f);
  EXPECT_EQ(r[2].vector_a[3], 0.0f);
  EXPECT_EQ(r[2].vector_b[1], 0.2f);
  EXPECT_TRUE(r[3].text.empty()) << "a missing text counts as empty";
  EXPECT_EQ(r[4].text, "Site 4");
  EXPECT_EQ(r[4].value1, 0.0f);
  EXPECT_EQ(r[5].color_word, 0xFF102030u);
  for (const CScreen_FX_Record& each : r) {
    EXPECT_EQ(each.elapsed, 0.0f);
    EXPECT_EQ(each.spare[0] + each.spare[1] + each.spare[2] + each.spare[3], 0.0f);
    EXPECT_EQ(each.state_word, 0u);
  }
  EXPECT_EQ(fx.Last_Kind(), 19);
}

TEST_F(ScreenFxTest, RecordsAgeByTheStepAndEndOnceTheyPassTheirDuration) {
  fx.Add_Effect_2(13, 1.0f, 1.0f);
  fx.Add_Effect_2(0, 0.0f, 0.0f);
  fx.Update(Step(0.0f));
  EXPECT_EQ(fx.Effect_Count(), 2) << "a paused frame (step 0) ages nothing, even a duration of 0";
  fx.Update(Step(0.5f));
  EXPECT_EQ(fx.Effect_Count(), 1) << "duration 0 ends at the first positive step";
  EXPECT_FLOAT_EQ(fx.Effects().front().elapsed, 0.5f);
  fx.Update(Step(0.5f));
  EXPECT_EQ(fx.Effect_Count(), 1) << "elapsed equal to the duration still lives";
  fx.Update(Step(0.01f));
  EXPECT_EQ(fx.Effect_Count(), 0);
}

TEST_F(ScreenFxTest, ClearSimEffectsRemovesKinds13To24AndKeepsTheRest) {
  for (int kind = 0; kind < CScreen_FX_Mgr::kKind_Count; ++kind) fx.Add_Effect_2(kind == 9 || kind == 10 ? 0 : kind, 1.0f, 0.0f);
  fx.Clear_Sim_Effects();
  for (const CScreen_FX_Record& r : fx.Effects()) EXPECT_LT(r.kind, 13);
  EXPECT_EQ(fx.Effect_Count(), 13);
}

struct Envelope_Case {
  int kind;
  float t;         // elapsed / duration
  float expected;  // the envelope
};

TEST(ScreenFxEnvelope, EveryKindFollowsItsCurve) {
  const Envelope_Case cases[] = {
      // Text kinds: up over the first tenth (fifth), full, then down.
      {5, 0.05f, 0.5f}, {5, 0.5f, 1.0f}, {5, 0.95f, 0.5f}, {6, 0.1f, 1.0f},
      {7, 0.1f, 0.5f}, {7, 0.8f, 1.0f}, {7, 0.9f, 0.5f}, {8, 0.6f, 1.0f}, {8, 0.8f, 0.5f},
      {4, 0.0f, 0.05f}, {4, 0.99f, 1.0f},
      {9, 0.3f, 0.3f}, {10, 0.3f, 0.7f}, {3, 0.4f, 0.4f}, {16, 0.25f, 0.25f}, {17, 0.5f, 0.5f},
      {11, 0.025f, 0.5f}, {11, 0.05f, 1.0f}, {11, 0.525f, 0.5f},
      // Kind 12 flashes twice: each half is kind 11's curve.
      {12, 0.0125f, 0.5f}, {12, 0.025f, 1.0f}, {12, 0.2625f, 0.5f}, {12, 0.5125f, 0.5f}, {12, 0.525f, 1.0f},
      {13, 0.125f, 0.5f}, {13, 0.625f, 0.5f}, {14, 0.15f, 1.0f}, {14, 0.575f, 0.5f}, {15, 0.025f, 0.5f},
      {18, 0.4625f, 0.5f}, {18, 0.9625f, 0.5f}, {19, 0.65f, 1.0f}, {19, 0.825f, 0.5f}, {20, 0.05f, 1.0f},
      {21, 0.125f, 0.5f}, {21, 0.5f, 1.0f}, {21, 0.95f, 0.5f}, {22, 0.075f, 0.5f}, {22, 0.7f, 1.0f},
      {22, 0.85f, 0.5f}, {23, 0.9f, 1.0f}, {23, 0.95f, 0.5f}, {24, 0.075f, 0.5f}, {24, 0.575f, 0.5f},
  };
  for (const Envelope_Case& c : cases) {
    const CScreen_FX_Record r = Record(c.kind, 2.0f, c.t * 2.0f);
    EXPECT_NEAR(CScreen_FX_Mgr::Envelope(r), c.expected, 1e-4f) << "kind " << c.kind << " at t " << c.t;
  }
}

TEST(ScreenFxEnvelope, FlashesFadeInOverValueOneThenDownToTheEnd) {
  struct Case {
    float duration, value1, elapsed, expected;
  };
  const Case cases[] = {
      {2.0f, 0.5f, 0.25f, 0.5f},  {2.0f, 0.5f, 0.5f, 1.0f},  {2.0f, 0.5f, 1.25f, 0.5f},
      {2.0f, 0.0f, 0.0f, 1.0f},   {2.0f, 0.0f, 1.0f, 0.5f},  // value 1 = 0 starts full and fades linearly
      {1.0f, 1.0f, 1.0f, 0.0f},   // value 1 = duration: no span left, 0 (not a division by zero)
      {1.0f, 3.0f, 2.0f, 2.0f / 3.0f}, {1.0f, 3.0f, 3.5f, 0.0f},
  };
  for (int kind = 0; kind <= 2; ++kind)
    for (const Case& c : cases) {
      const float e = CScreen_FX_Mgr::Envelope(Record(kind, c.duration, c.elapsed, c.value1));
      EXPECT_TRUE(std::isfinite(e));
      EXPECT_NEAR(e, c.expected, 1e-5f) << kind << " " << c.duration << " " << c.value1 << " " << c.elapsed;
    }
}

TEST(ScreenFxEnvelope, ADurationOfZeroCountsAsAVeryShortOne) {
  EXPECT_TRUE(std::isfinite(CScreen_FX_Mgr::Envelope(Record(5, 0.0f, 0.0f))));
  EXPECT_TRUE(std::isfinite(CScreen_FX_Mgr::Envelope(Record(14, 0.0f, 0.0f))));
  EXPECT_NEAR(CScreen_FX_Mgr::Envelope(Record(9, 0.0f, 0.00005f)), 0.5f, 1e-4f) << "duration taken as 0.0001";
  EXPECT_NEAR(CScreen_FX_Mgr::Envelope(Record(3, 0.0f, 0.000005f)), 0.5f, 1e-4f) << "kinds 0-8: 0.00001";
}

TEST_F(ScreenFxTest, AnEffectAddedBeforeInitAgesButIsNeverDrawn) {
  ASSERT_FALSE(fx.Is_Initialised());
  fx.Add_Effect_2(13, 1.0f, 1.0f);
  fx.Render();  // nothing to draw with, and nothing breaks
  fx.Update(Step(2.0f));
  EXPECT_EQ(fx.Effect_Count(), 0);
}

}  // namespace
