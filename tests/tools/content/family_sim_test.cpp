// The War Room's tracks: a site's run meets enemies from its first seconds, and the infection
// source's runs hold the crystal boss until the run's end event, which is what tells the War
// Room that the source was destroyed. Checked on the generator and on the bytes the manifest
// writes for every site and source simulation.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "tests/tools/content/track_bytes.h"
#include "tools/content/manifest.h"
#include "tools/content/sim_content.h"

namespace {

using writers::TrackEvent;
using writers::TrackPoint;
using writers::TrackSpec;

constexpr uint32_t kEnemy_Kinds[] = {10, 16};  // enemy emplacements and enemies
constexpr uint32_t kBoss_Kind = 11, kEnd_Kind = 15;

bool Is_Enemy(const TrackEvent& event) {
  for (uint32_t kind : kEnemy_Kinds)
    if (event.kind == kind) return true;
  return false;
}

struct Track_Facts {
  int enemy_events = 0;
  int bosses = 0;
  float first_enemy_seconds = 1e9f;
  float last_point_seconds = 0.0f;  // of every event but the boss's
  TrackEvent boss;
  TrackEvent end;
  bool has_end = false;
};

Track_Facts Facts_Of(const TrackSpec& spec) {
  Track_Facts facts;
  for (const auto& section : spec.sections)
    for (const TrackEvent& event : section) {
      const float start = event.start * spec.length;
      if (Is_Enemy(event)) {
        ++facts.enemy_events;
        facts.first_enemy_seconds = std::min(facts.first_enemy_seconds, start);
      }
      if (event.kind == kBoss_Kind && event.sub_kind == 0) {
        ++facts.bosses;
        facts.boss = event;
        continue;
      }
      if (event.kind == kEnd_Kind) {
        facts.end = event;
        facts.has_end = true;
      }
      for (const TrackPoint& point : event.points)
        facts.last_point_seconds = std::max(facts.last_point_seconds, start + point.time);
    }
  return facts;
}

// What a site's or the source's track must hold for its run to be fought and to close.
void Expect_War_Room_Track(const TrackSpec& spec, bool source) {
  const Track_Facts facts = Facts_Of(spec);
  // A site is cleaned within a minute or so, so its enemies must come early, and keep coming.
  EXPECT_LE(facts.first_enemy_seconds, 6.0f);
  EXPECT_GE(facts.enemy_events, static_cast<int>(spec.length / 15.0f));
  ASSERT_TRUE(facts.has_end) << "every run has its end event";
  const float end_start = facts.end.start * spec.length;
  // Points still due when the run ends all fire at once: none may be left for the end.
  EXPECT_LT(facts.last_point_seconds, end_start - 3.0f);
  if (!source) {
    EXPECT_EQ(facts.bosses, 0) << "a boss at an ordinary site would pass for the infection source";
    return;
  }
  ASSERT_EQ(facts.bosses, 1);
  const TrackEvent& boss = facts.boss;
  const float boss_start = boss.start * spec.length;
  EXPECT_LE(boss_start, 10.0f);
  EXPECT_GE(boss.end, facts.end.start) << "the boss is in the world when the run ends";
  std::set<uint32_t> actions;
  int pulses = 0;
  for (const TrackPoint& point : boss.points) {
    actions.insert(point.action);
    if (point.action == 1) ++pulses;
    // The last pulse's blast (about 1.5 s after it starts) is over before the run closes.
    EXPECT_LT(boss_start + point.time, end_start - 3.0f);
  }
  EXPECT_EQ(actions, (std::set<uint32_t>{0, 1, 2})) << "it fires, charges its pulse and flashes";
  EXPECT_GE(pulses, 4) << "enough pulses to break for the source to be cleaned by points";
}

TEST(SimFamily, SiteTracksBringEnemiesEarlyAndSourceTracksHoldTheBossToTheEnd) {
  for (double length : {127.0, 186.0, 286.0})
    for (bool source : {false, true}) {
      SCOPED_TRACE(std::to_string(length) + (source ? " source" : " site"));
      Expect_War_Room_Track(content::SiteTrack(length, 0x22000195, source), source);
    }
}

TEST(SimFamily, EveryWarRoomSiteAndSourceHasItsTrackWithEnemiesAndTheSourcesTheBoss) {
  content::Manifest manifest;
  content::Build_Manifest(manifest);
  int sites = 0, sources = 0;
  for (const content::ResourceEntry& e : manifest.Resources()) {
    const bool site = e.name.rfind("tracks/site_", 0) == 0, source = e.name.rfind("tracks/source_", 0) == 0;
    if (!site && !source) continue;
    SCOPED_TRACE(e.name);
    (site ? sites : sources) += 1;
    writers::Bytes bytes;
    ASSERT_TRUE(e.generate(bytes));
    TrackSpec spec;
    ASSERT_TRUE(content_test::Track_Bytes_Reader(bytes).Read(spec));
    EXPECT_EQ(spec.mode, 0u) << "no lanes";
    Expect_War_Room_Track(spec, source);
  }
  EXPECT_EQ(sites, 22);
  EXPECT_EQ(sources, 5);
}

}  // namespace
