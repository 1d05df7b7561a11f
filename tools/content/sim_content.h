#pragma once
// The simulations of the sample content: the training simulations' track files and music
// modules, one short lane track per environment for quick runs (tests, screenshots), and the
// War Room's site and infection-source tracks.
#include <cstdint>

#include "tools/writers/mod_writer.h"
#include "tools/writers/track_writer.h"

namespace content {

struct SimContentRow {
  uint32_t track_id;
  uint32_t music_id;
  int environment;
  int seconds;  // the music's wanted length
  const char* title;
};

constexpr int kSimContentRows = 23;
extern const SimContentRow kSimRows[kSimContentRows];

// The short lane tracks, by environment 0-3, with their modules.
constexpr uint32_t kLaneTrackIds[4] = {0x220003E0, 0x220003E1, 0x220003E2, 0x220003E3};
constexpr uint32_t kLaneMusicIds[4] = {0x220003F0, 0x220003F1, 0x220003F2, 0x220003F3};
constexpr double kLaneMusicSeconds[4] = {8.0, 9.0, 10.0, 11.0};
constexpr uint32_t kLaneCount = 3;

// The module of a music id at its wanted length.
writers::ModSpec SimMusicSpec(uint32_t music_id, double seconds, const char* title);
// The module's playing time: its rows times the row's length.
double SimMusicLength(const writers::ModSpec& spec);
// A simulation's choreography over its music's length; lanes when lane_count is not 0.
writers::TrackSpec SimTrack(double length, uint32_t seed, uint32_t lane_count);
// A War Room site's track: enemy emplacements and enemy waves from the first seconds, with
// targets to score on between them; the infection source's tracks add the crystal boss, the
// only boss of the War Room's tracks, from its first seconds to the run's end.
writers::TrackSpec SiteTrack(double length, uint32_t seed, bool infection_source);
// A short lane track of event kinds 1, 3, 4, 7 and 13 that ends with its music.
writers::TrackSpec LaneTrack(double length);

}  // namespace content
