#pragma once
// Writer of track files: the timed events of one simulation laid over its music, in parallel
// sections, each event with its timed points. Used by the content builder and by the tests,
// which also write damaged variants through the raw fields.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace writers {

using Bytes = std::vector<uint8_t>;

struct TrackPoint {
  uint32_t action = 0;
  float time = 0.0f;  // seconds after the event's start
  uint32_t argument = 0;
};

struct TrackEvent {
  uint32_t kind = 0;
  uint32_t sub_kind = 0;
  uint32_t parameter = 0;
  float start = 0.0f;  // fraction of the track's length
  float end = 0.0f;    // fraction of the track's length
  std::vector<TrackPoint> points;
};

struct TrackSpec {
  uint32_t version = 1;
  uint32_t mode = 0;  // 0 no lanes, 1 lanes
  uint32_t lane_count = 0;
  float length = 0.0f;  // seconds
  std::vector<std::vector<TrackEvent>> sections;
};

constexpr uint32_t kTrackVersion = 1;
constexpr size_t kTrackHeaderBytes = 20;
constexpr size_t kTrackEventBytes = 24;  // before its points
constexpr size_t kTrackPointBytes = 12;

// The file's bytes, little-endian, with no padding. Written as given, in whatever order: the
// tests write damaged and disordered tracks through it.
void WriteTrack(const TrackSpec& spec, Bytes& out);

// Puts each section's events in order of start and each event's points in order of time, as a
// track file holds them. The sort is stable: equal times keep the order they were given in.
void SortTrack(TrackSpec& spec);

}  // namespace writers
