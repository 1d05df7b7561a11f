#include "tools/writers/track_writer.h"

#include <algorithm>
#include <cstring>

namespace writers {

namespace {

void Put_U32(Bytes& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void Put_F32(Bytes& out, float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof(bits));
  Put_U32(out, bits);
}

void Put_Event(Bytes& out, const TrackEvent& event) {
  Put_U32(out, event.kind);
  Put_U32(out, event.sub_kind);
  Put_U32(out, event.parameter);
  Put_F32(out, event.start);
  Put_F32(out, event.end);
  Put_U32(out, static_cast<uint32_t>(event.points.size()));
  for (const TrackPoint& point : event.points) {
    Put_U32(out, point.action);
    Put_F32(out, point.time);
    Put_U32(out, point.argument);
  }
}

}  // namespace

void WriteTrack(const TrackSpec& spec, Bytes& out) {
  out.clear();
  Put_U32(out, spec.version);
  Put_U32(out, spec.mode);
  Put_U32(out, spec.lane_count);
  Put_U32(out, static_cast<uint32_t>(spec.sections.size()));
  Put_F32(out, spec.length);
  for (const std::vector<TrackEvent>& section : spec.sections) {
    Put_U32(out, static_cast<uint32_t>(section.size()));
    for (const TrackEvent& event : section) Put_Event(out, event);
  }
}

void SortTrack(TrackSpec& spec) {
  for (std::vector<TrackEvent>& section : spec.sections) {
    std::stable_sort(section.begin(), section.end(),
                     [](const TrackEvent& a, const TrackEvent& b) { return a.start < b.start; });
    for (TrackEvent& event : section)
      std::stable_sort(event.points.begin(), event.points.end(),
                       [](const TrackPoint& a, const TrackPoint& b) { return a.time < b.time; });
  }
}

}  // namespace writers
