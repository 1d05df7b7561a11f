// Reads arbitrary bytes as a track file; an accepted track is walked as a run would walk it:
// every section's events in order of start, each within the track and its points in order.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "game/sim/CMusic_Track.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static CMusic_Track track;
  std::string error;
  // A refused version keeps what the track held: start each input from an empty track.
  track.m_Sections.clear();
  if (!track.Load_Track_Bytes(data, size, &error)) {
    if (!track.m_Sections.empty()) __builtin_trap();
    return 0;
  }
  for (const CTrack_Section& section : track.m_Sections) {
    float previous = 0.0f;
    for (const CTrack_Event& event : section.events) {
      if (event.start < previous || event.end < event.start) __builtin_trap();
      previous = event.start;
      float point_time = -std::numeric_limits<float>::infinity();
      for (const CTrack_Point& point : event.points) {
        if (point.time < point_time) __builtin_trap();
        point_time = point.time;
      }
    }
  }
  return 0;
}
