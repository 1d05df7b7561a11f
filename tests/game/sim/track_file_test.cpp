// Reading track files: every damaged variant fails cleanly with an empty track, the times are
// converted, and the events come out in order of start.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "game/sim/CMusic_Track.h"
#include "tools/writers/track_writer.h"

namespace {

using writers::Bytes;
using writers::TrackEvent;
using writers::TrackPoint;
using writers::TrackSpec;

constexpr float kLength = 100.0f;

TrackSpec Two_Section_Track() {
  TrackSpec spec;
  spec.mode = 1;
  spec.lane_count = 3;
  spec.length = kLength;
  TrackEvent a{1, 0, 0, 0.1f, 0.3f, {{0, 1.0f, 0}, {0, 2.0f, 0}}};
  TrackEvent b{4, 2, 5, 0.2f, 0.25f, {}};
  TrackEvent c{13, 1, 0, 0.5f, 0.6f, {{2, 0.5f, 1}}};
  spec.sections = {{a, b}, {c}};
  return spec;
}

Bytes Write(const TrackSpec& spec) {
  Bytes bytes;
  writers::WriteTrack(spec, bytes);
  return bytes;
}

void Put_U32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void Put_F32(Bytes& bytes, size_t at, float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, 4);
  Put_U32(bytes, at, bits);
}

class TrackFile : public ::testing::Test {
 protected:
  void TearDown() override { track.m_Sections.clear(); }

  bool Load(const Bytes& bytes) { return track.Load_Track_Bytes(bytes.data(), bytes.size(), &error); }
  void Expect_Empty() {
    EXPECT_TRUE(track.m_Sections.empty());
    EXPECT_EQ(track.m_Length, 0.0f);
    EXPECT_EQ(track.m_Lane_Count, 0u);
  }

  CMusic_Track track;
  std::string error;
};

TEST_F(TrackFile, AWrittenTrackLoadsWithItsHeaderSectionsEventsAndPoints) {
  ASSERT_TRUE(Load(Write(Two_Section_Track()))) << error;
  EXPECT_EQ(track.m_Track_Mode, 1);
  EXPECT_EQ(track.m_Lane_Count, 3u);
  EXPECT_EQ(track.m_Length, kLength);
  ASSERT_EQ(track.m_Sections.size(), 2u);
  ASSERT_EQ(track.m_Sections[0].events.size(), 2u);
  const CTrack_Event& first = track.m_Sections[0].events[0];
  EXPECT_EQ(first.kind, 1u);
  EXPECT_FLOAT_EQ(first.start, 0.1f * kLength - 0.15f);
  EXPECT_FLOAT_EQ(first.end, 0.3f * kLength - 0.15f);
  ASSERT_EQ(first.points.size(), 2u);
  EXPECT_EQ(first.points[1].time, 2.0f) << "point times stay seconds";
  EXPECT_EQ(first.next_point, 0u);
  for (int i = 0; i < CTrack_Event::kSlot_Count; ++i) {
    EXPECT_EQ(first.objects[i], nullptr);
    EXPECT_EQ(first.slot_ids[i], -1);
  }
  EXPECT_EQ(track.m_Sections[1].events[0].points[0].argument, 1u);
}

TEST_F(TrackFile, ZeroSectionsLoadAnEmptyRun) {
  TrackSpec spec = Two_Section_Track();
  spec.sections.clear();
  EXPECT_TRUE(Load(Write(spec)));
  EXPECT_TRUE(track.m_Sections.empty());
  EXPECT_EQ(track.m_Length, kLength);
}

TEST_F(TrackFile, EdgeFractionsAndAnEndBeforeItsStartAreHeldInsideTheTrack) {
  TrackSpec spec = Two_Section_Track();
  spec.sections = {{TrackEvent{1, 0, 0, 0.0f, 1.0f, {}}, TrackEvent{1, 0, 0, 0.5f, 0.2f, {}}}};
  ASSERT_TRUE(Load(Write(spec)));
  const auto& events = track.m_Sections[0].events;
  EXPECT_FLOAT_EQ(events[0].start, 0.001f) << "fraction 0";
  EXPECT_FLOAT_EQ(events[0].end, kLength - 0.15f) << "fraction 1: 0.15 s ahead, within the last 0.001 s";
  EXPECT_FLOAT_EQ(events[1].start, 0.5f * kLength - 0.15f);
  EXPECT_EQ(events[1].end, events[1].start) << "an end before the start ends the event as it starts";
}

TEST_F(TrackFile, EventsAndPointsComeOutInOrderOfTime) {
  TrackSpec spec = Two_Section_Track();
  spec.sections = {{TrackEvent{1, 0, 1, 0.6f, 0.7f, {{0, 3.0f, 7}, {0, 1.0f, 8}}},
                    TrackEvent{1, 0, 2, 0.2f, 0.3f, {}}, TrackEvent{1, 0, 3, 0.4f, 0.5f, {}}}};
  ASSERT_TRUE(Load(Write(spec)));
  const auto& events = track.m_Sections[0].events;
  EXPECT_EQ(events[0].parameter, 2u);
  EXPECT_EQ(events[1].parameter, 3u);
  EXPECT_EQ(events[2].parameter, 1u);
  EXPECT_EQ(events[2].points[0].argument, 8u);
}

TEST_F(TrackFile, EveryCutShortFileFailsWithAnEmptyTrack) {
  const Bytes whole = Write(Two_Section_Track());
  for (size_t size = 0; size < whole.size(); ++size) {
    ASSERT_TRUE(Load(whole)) << "a good load first, so a failure must empty it";
    const Bytes cut(whole.begin(), whole.begin() + static_cast<long>(size));
    EXPECT_FALSE(Load(cut)) << size;
    if (size >= 4) Expect_Empty();
  }
}

TEST_F(TrackFile, DamagedHeadersAndCountsFail) {
  const Bytes whole = Write(Two_Section_Track());
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  // Offsets: header 0-19; section 0's count at 20, its first event at 24 (start at 36, end
  // at 40, point count at 44).
  struct Case {
    const char* name;
    size_t at;
    bool is_float;
    uint32_t word;
    float value;
  } cases[] = {
      {"section count past the end", 12, false, 0x40000000u, 0},
      {"section count of all ones", 12, false, 0xFFFFFFFFu, 0},
      {"event count past the end", 20, false, 0x10000000u, 0},
      {"point count past the end", 44, false, 0x20000000u, 0},
      {"length not a number", 16, true, 0, nan},
      {"length infinite", 16, true, 0, inf},
      {"length zero", 16, true, 0, 0.0f},
      {"length negative", 16, true, 0, -5.0f},
      {"start not a number", 36, true, 0, nan},
      {"end infinite", 40, true, 0, -inf},
      {"point time not a number", 52, true, 0, nan},
  };
  for (const Case& c : cases) {
    Bytes bytes = whole;
    if (c.is_float)
      Put_F32(bytes, c.at, c.value);
    else
      Put_U32(bytes, c.at, c.word);
    ASSERT_TRUE(Load(whole));
    EXPECT_FALSE(Load(bytes)) << c.name;
    Expect_Empty();
    EXPECT_FALSE(error.empty()) << c.name;
  }
}

TEST_F(TrackFile, AWrongVersionIsRefusedAndKeepsWhatTheTrackHeld) {
  ASSERT_TRUE(Load(Write(Two_Section_Track())));
  TrackSpec spec = Two_Section_Track();
  spec.version = 2;
  EXPECT_FALSE(Load(Write(spec)));
  EXPECT_EQ(error, "Invalid File Version");
  EXPECT_EQ(track.m_Sections.size(), 2u);
  EXPECT_FALSE(track.Load_Track_Bytes(nullptr, 0, &error));
}

}  // namespace
