// The generated simulations: each track reads back through the game's reader, lasts exactly its
// module's playing time, and the set covers every event kind; the short lane tracks hold the
// kinds a quick run needs and end with their music.
#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.h>

#include <map>
#include <set>
#include <string>

#include "game/sim/CMusic_Track.h"
#include "tools/content/manifest.h"
#include "tools/content/sim_content.h"

namespace {

std::map<uint32_t, content::Bytes> Generated() {
  content::Manifest manifest;
  content::Build_Manifest(manifest);
  std::map<uint32_t, content::Bytes> out;
  for (const content::ResourceEntry& entry : manifest.Resources()) {
    if (entry.type != 0) continue;
    content::Bytes bytes;
    if (entry.generate(bytes)) out[entry.id] = std::move(bytes);
  }
  return out;
}

double Module_Seconds(const content::Bytes& mod) {
  openmpt_module* m = openmpt_module_create_from_memory2(mod.data(), mod.size(), openmpt_log_func_silent, nullptr,
                                                         nullptr, nullptr, nullptr, nullptr, nullptr);
  if (!m) return -1.0;
  const double seconds = openmpt_module_get_duration_seconds(m);
  openmpt_module_destroy(m);
  return seconds;
}

std::set<uint32_t> Kinds(const CMusic_Track& track) {
  std::set<uint32_t> kinds;
  for (const CTrack_Section& section : track.m_Sections)
    for (const CTrack_Event& event : section.events) kinds.insert(event.kind);
  return kinds;
}

TEST(SimContent, EveryTrackReadsBackAndLastsItsModule) {
  const auto files = Generated();
  std::set<uint32_t> all_kinds;
  int lane_tracks = 0;
  for (const content::SimContentRow& row : content::kSimRows) {
    ASSERT_TRUE(files.count(row.track_id)) << std::hex << row.track_id;
    ASSERT_TRUE(files.count(row.music_id)) << std::hex << row.music_id;
    CMusic_Track track;
    std::string error;
    const content::Bytes& bytes = files.at(row.track_id);
    ASSERT_TRUE(track.Load_Track_Bytes(bytes.data(), bytes.size(), &error)) << row.title << ": " << error;
    EXPECT_NEAR(track.m_Length, Module_Seconds(files.at(row.music_id)), 0.01) << row.title;
    EXPECT_NEAR(track.m_Length, row.seconds, 0.2) << row.title;
    for (uint32_t kind : Kinds(track)) all_kinds.insert(kind);
    lane_tracks += track.m_Track_Mode == 1 ? 1 : 0;
  }
  for (uint32_t kind = 1; kind <= 16; ++kind) EXPECT_TRUE(all_kinds.count(kind)) << "kind " << kind;
  EXPECT_GT(lane_tracks, 0);
  EXPECT_LT(lane_tracks, content::kSimContentRows);
}

TEST(SimContent, ShortLaneTracksHoldTheQuickRunsKindsAndEndWithTheirMusic) {
  const auto files = Generated();
  for (int environment = 0; environment < 4; ++environment) {
    CMusic_Track track;
    std::string error;
    const content::Bytes& bytes = files.at(content::kLaneTrackIds[environment]);
    ASSERT_TRUE(track.Load_Track_Bytes(bytes.data(), bytes.size(), &error)) << error;
    EXPECT_EQ(track.m_Track_Mode, 1);
    EXPECT_EQ(track.m_Lane_Count, content::kLaneCount);
    const double seconds = Module_Seconds(files.at(content::kLaneMusicIds[environment]));
    EXPECT_NEAR(track.m_Length, seconds, 0.01);
    EXPECT_GE(seconds, 8.0);
    EXPECT_LE(seconds, 12.0);
    EXPECT_EQ(Kinds(track), (std::set<uint32_t>{1, 3, 4, 7, 13}));
    for (const CTrack_Section& section : track.m_Sections)
      for (const CTrack_Event& event : section.events) EXPECT_LT(event.end, track.m_Length);
  }
}

}  // namespace
