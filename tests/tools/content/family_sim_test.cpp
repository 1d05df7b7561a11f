// The War Room's tracks: a site's run meets enemies from its first seconds, and the infection
// source's runs hold the crystal boss until the run's end event, which is what tells the War
// Room that the source was destroyed.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "tools/content/manifest.h"
#include "tools/content/sim_content.h"

namespace {

using writers::TrackEvent;
using writers::TrackSpec;

constexpr uint32_t kEnemy_Kinds[] = {10, 16};   // enemy emplacements and enemies
constexpr uint32_t kBoss_Kind = 11, kEnd_Kind = 15;

bool Is_Enemy(const TrackEvent& event) {
  for (uint32_t kind : kEnemy_Kinds)
    if (event.kind == kind) return true;
  return false;
}

struct Track_Facts {
  int enemy_events = 0;
  float first_enemy_seconds = 1e9f;
  const TrackEvent* boss = nullptr;
  const TrackEvent* end = nullptr;
};

Track_Facts Facts_Of(const TrackSpec& spec) {
  Track_Facts facts;
  for (const auto& section : spec.sections)
    for (const TrackEvent& event : section) {
      if (Is_Enemy(event)) {
        ++facts.enemy_events;
        facts.first_enemy_seconds = std::min(facts.first_enemy_seconds, event.start * spec.length);
      }
      if (event.kind == kBoss_Kind && event.sub_kind == 0) facts.boss = &event;
      if (event.kind == kEnd_Kind) facts.end = &event;
    }
  return facts;
}

TEST(SimFamily, SiteTracksBringEnemiesEarlyAndSourceTracksHoldTheBossToTheEnd) {
  for (double length : {127.0, 186.0, 286.0}) {
    for (bool source : {false, true}) {
      SCOPED_TRACE(std::to_string(length) + (source ? " source" : " site"));
      const TrackSpec spec = content::SiteTrack(length, 0x22000195, source);
      const Track_Facts facts = Facts_Of(spec);
      // A site is cleaned within seconds, so its enemies must come early, and keep coming.
      EXPECT_LE(facts.first_enemy_seconds, 6.0f);
      EXPECT_GE(facts.enemy_events, static_cast<int>(length / 15.0));
      ASSERT_NE(facts.end, nullptr) << "every run has its end event";
      if (!source) {
        EXPECT_EQ(facts.boss, nullptr);
        continue;
      }
      ASSERT_NE(facts.boss, nullptr);
      EXPECT_LE(facts.boss->start * spec.length, 10.0f);
      EXPECT_GE(facts.boss->end, facts.end->start) << "the boss is in the world when the run ends";
      std::set<uint32_t> actions;
      for (const writers::TrackPoint& point : facts.boss->points) {
        actions.insert(point.action);
        EXPECT_LT(facts.boss->start * spec.length + point.time, facts.end->start * spec.length);
      }
      EXPECT_EQ(actions, (std::set<uint32_t>{0, 1, 2})) << "it fires, charges its pulse and flashes";
    }
  }
}

TEST(SimFamily, EveryWarRoomSiteAndSourceHasItsTrack) {
  content::Manifest manifest;
  content::Build_Manifest(manifest);
  int sites = 0, sources = 0;
  for (const content::ResourceEntry& e : manifest.Resources()) {
    if (e.name.rfind("tracks/site_", 0) == 0) ++sites;
    if (e.name.rfind("tracks/source_", 0) == 0) ++sources;
  }
  EXPECT_EQ(sites, 22);
  EXPECT_EQ(sources, 5);
}

}  // namespace
