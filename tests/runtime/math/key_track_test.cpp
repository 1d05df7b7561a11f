#include <cmath>

#include "runtime/src/math/key_track.h"
#include "tests/runtime/math/math_test_util.h"

namespace {

bool Is_Finite(const CVector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Values along (1, 2, -1), so one hand-worked component gives all three.
CVector3 Along(float v) { return CVector3{v, 2 * v, -v}; }

TEST(KeyTrack, KeysAreKeptInTimeOrderWithLaterEqualKeysFirst) {
  CKeyTrack track;
  EXPECT_TRUE(track.AddKey(2.0f, Along(2), 0, 0, 0));
  EXPECT_TRUE(track.AddKey(0.0f, Along(0), 0, 0, 0));
  EXPECT_TRUE(track.AddKey(1.0f, Along(10), 0, 0, 0));
  EXPECT_TRUE(track.AddKey(1.0f, Along(20), 0, 0, 0));
  ASSERT_EQ(track.Get_Key_Count(), 4);
  const float times[] = {0, 1, 1, 2};
  const float values[] = {0, 20, 10, 2};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(track.Get_Key(i)->time, times[i]);
    EXPECT_EQ(track.Get_Key(i)->value.x, values[i]);
  }
  EXPECT_EQ(track.Get_Key(4), nullptr);
  EXPECT_EQ(track.Get_Key(-1), nullptr);
}

TEST(KeyTrack, SplinePassesThroughItsKeys) {
  CKeyTrack track;
  const CVector3 keys[] = {{0, 0, 0}, {10, 5, -2}, {3, 8, 4}};
  track.AddKey(0.0f, keys[0], 0, 0, 0);
  track.AddKey(0.5f, keys[1], 0, 0, 0);
  track.AddKey(1.0f, keys[2], 0, 0, 0);
  track.ComputeSpline();
  EXPECT_VEC_NEAR(track.Sample(0.0f), keys[0], 1e-6f);
  EXPECT_VEC_NEAR(track.Sample(0.5f), keys[1], 1e-5f);
  EXPECT_VEC_NEAR(track.Sample(1.0f), keys[2], 1e-5f);
  // And between them it is smooth, not the straight line.
  CVector3 diff;
  EXPECT_GT(track.Sample(0.25f).Subtract(track.Sample(0.25f, true), diff).Length(), 0.1f);
}

TEST(KeyTrack, MatchesAHandWorkedKochanekBartelsCurve) {
  // Keys (time, value): (0, 0), (1, 1) with tension 0.5, continuity 0.2, bias -0.4, (3, 0).
  // First segment: TS = 2 * (0.5 * 1) = 1; TD = 2/3 * (0.12 * 1 + 0.42 * -1) = -0.2;
  //   c = (0, 1, 1.2, -1.2), so at u = 0.5: 0.5 + 0.3 - 0.15 = 0.65.
  // Second segment: TS = 4/3 * (0.18 * 1 + 0.28 * -1) = -2/15; TD = 2 * (0.5 * -1) = -1;
  //   c = (1, -2/15, -26/15, 13/15), so at u = 0.5: 1 - 1/15 - 13/30 + 13/120 = 0.608333.
  CKeyTrack track;
  track.AddKey(0.0f, Along(0), 0, 0, 0);
  track.AddKey(1.0f, Along(1), 0.5f, 0.2f, -0.4f);
  track.AddKey(3.0f, Along(0), 0, 0, 0);
  track.ComputeSpline();
  const CTrackKey* first = track.Get_Key(0);
  EXPECT_VEC_NEAR(first->c1, Along(1), 1e-6f);
  EXPECT_VEC_NEAR(first->c2, Along(1.2f), 1e-6f);
  EXPECT_VEC_NEAR(first->c3, Along(-1.2f), 1e-6f);
  EXPECT_VEC_NEAR(track.Sample(0.5f), Along(0.65f), 1e-6f);
  EXPECT_VEC_NEAR(track.Sample(2.0f), Along(0.6083333f), 1e-6f);
  EXPECT_VEC_NEAR(track.Sample(1.0f), Along(1), 1e-6f);
}

TEST(KeyTrack, FullTensionEasesInAndOut) {
  CKeyTrack track;
  track.AddKey(0.0f, Along(0), 1, 0, 0);
  track.AddKey(1.0f, Along(4), 1, 0, 0);
  track.AddKey(2.0f, Along(-4), 1, 0, 0);
  track.ComputeSpline();
  for (int i = 0; i < 3; ++i) EXPECT_VEC_NEAR(track.Get_Key(i)->c1, CVector3::Zero, 0.0f);
  EXPECT_VEC_NEAR(track.Sample(0.5f), Along(2), 1e-6f);
  EXPECT_VEC_NEAR(track.Sample(0.25f), Along(4 * 0.15625f), 1e-6f);  // 3u^2 - 2u^3
  EXPECT_VEC_NEAR(track.Sample(1.5f), Along(0), 1e-6f);
}

TEST(KeyTrack, LinearSamplingAndExtrapolation) {
  CKeyTrack track;
  track.AddKey(0.0f, Along(0), 0, 0, 0);
  track.AddKey(2.0f, Along(4), 0, 0, 0);
  track.AddKey(3.0f, Along(10), 0, 0, 0);
  track.ComputeSpline();
  struct Case {
    float time;
    float expected;
  } cases[] = {{1.0f, 2}, {0.5f, 1}, {2.5f, 7}, {2.0f, 4}, {-1.0f, -2} /* before the first key: extrapolated */};
  for (const Case& c : cases) EXPECT_VEC_NEAR(track.Sample(c.time, true), Along(c.expected), 1e-6f) << c.time;
  // The spline extrapolates the first segment's cubic.
  const CTrackKey* first = track.Get_Key(0);
  const float u = -0.5f;
  const CVector3 cubic{((first->c3.x * u + first->c2.x) * u + first->c1.x) * u + first->c0.x,
                       ((first->c3.y * u + first->c2.y) * u + first->c1.y) * u + first->c0.y,
                       ((first->c3.z * u + first->c2.z) * u + first->c1.z) * u + first->c0.z};
  EXPECT_VEC_NEAR(track.Sample(-1.0f), cubic, 1e-6f);
}

TEST(KeyTrack, SamplesOutsideTheKeysNeverReadPastTheList) {
  CKeyTrack empty;
  empty.ComputeSpline();
  EXPECT_VEC_NEAR(empty.Sample(1.0f), CVector3::Zero, 0.0f);
  EXPECT_VEC_NEAR(empty.Sample(1.0f, true), CVector3::Zero, 0.0f);

  CKeyTrack single;
  single.AddKey(1.0f, Along(3), 0, 0, 0);
  single.ComputeSpline();
  for (float time : {0.0f, 1.0f, 5.0f}) {
    EXPECT_VEC_NEAR(single.Sample(time), Along(3), 0.0f);
    EXPECT_VEC_NEAR(single.Sample(time, true), Along(3), 0.0f);
  }

  CKeyTrack track;
  track.AddKey(0.0f, Along(0), 0, 0, 0);
  track.AddKey(1.0f, Along(5), 0, 0, 0);
  track.ComputeSpline();
  EXPECT_VEC_NEAR(track.Sample(1.5f), Along(5), 0.0f);
  EXPECT_VEC_NEAR(track.Sample(100.0f, true), Along(5), 0.0f);
}

TEST(KeyTrack, EqualKeyTimesStayFinite) {
  CKeyTrack track;
  track.AddKey(0.0f, Along(1), 0, 0, 0);
  track.AddKey(0.0f, Along(2), 0.3f, 0.1f, 0.2f);
  track.AddKey(1.0f, Along(3), 0, 0, 0);
  track.AddKey(1.0f, Along(4), 0, 0, 0);
  track.ComputeSpline();
  for (float time : {-1.0f, 0.0f, 0.25f, 0.5f, 1.0f, 2.0f}) {
    EXPECT_TRUE(Is_Finite(track.Sample(time))) << time;
    EXPECT_TRUE(Is_Finite(track.Sample(time, true))) << time;
  }
  CKeyTrack all_equal;
  for (int i = 0; i < 3; ++i) all_equal.AddKey(2.0f, Along(float(i)), 0, 0, 0);
  all_equal.ComputeSpline();
  EXPECT_TRUE(Is_Finite(all_equal.Sample(2.0f)));
  EXPECT_TRUE(Is_Finite(all_equal.Sample(1.0f)));
}

TEST(KeyTrack, KeysMovedInPlaceTakeEffectAtTheNextComputeSpline) {
  CKeyTrack track;
  for (int i = 0; i < 4; ++i) track.AddKey(float(i), CVector3::Zero, 0, 0, 0);
  track.ComputeSpline();
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(track.Set_Key_Value(i, Along(float(i * i))));
  EXPECT_FALSE(track.Set_Key_Value(4, Along(1)));
  EXPECT_FALSE(track.Set_Key_Value(-1, Along(1)));
  track.ComputeSpline();
  for (int i = 0; i < 4; ++i) EXPECT_VEC_NEAR(track.Sample(float(i)), Along(float(i * i)), 1e-5f);

  track.Clear();
  EXPECT_EQ(track.Get_Key_Count(), 0);
  EXPECT_VEC_NEAR(track.Sample(1.0f), CVector3::Zero, 0.0f);
}

}  // namespace
