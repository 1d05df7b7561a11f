#pragma once
// Reads track-file bytes field by field exactly as they are stored (header, sections, events,
// points), without putting anything in order: the content tests look at the files as written.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "tools/writers/track_writer.h"

namespace content_test {

class Track_Bytes_Reader {
 public:
  explicit Track_Bytes_Reader(const writers::Bytes& bytes) : m_Bytes(bytes) {}

  // False when the bytes end early or hold more than the track.
  bool Read(writers::TrackSpec& spec) {
    uint32_t sections = 0;
    if (!U32(spec.version) || !U32(spec.mode) || !U32(spec.lane_count) || !U32(sections) || !F32(spec.length))
      return false;
    for (uint32_t s = 0; s < sections; ++s) {
      uint32_t events = 0;
      if (!U32(events) || events > m_Bytes.size()) return false;
      spec.sections.emplace_back(events);
      for (writers::TrackEvent& event : spec.sections.back()) {
        uint32_t points = 0;
        if (!U32(event.kind) || !U32(event.sub_kind) || !U32(event.parameter) || !F32(event.start) ||
            !F32(event.end) || !U32(points) || points > m_Bytes.size())
          return false;
        event.points.resize(points);
        for (writers::TrackPoint& point : event.points)
          if (!U32(point.action) || !F32(point.time) || !U32(point.argument)) return false;
      }
    }
    return m_At == m_Bytes.size();
  }

 private:
  bool U32(uint32_t& value) {
    if (m_Bytes.size() - m_At < 4) return false;
    value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(m_Bytes[m_At + i]) << (8 * i);
    m_At += 4;
    return true;
  }
  bool F32(float& value) {
    uint32_t bits = 0;
    if (!U32(bits)) return false;
    std::memcpy(&value, &bits, sizeof value);
    return true;
  }

  const writers::Bytes& m_Bytes;
  size_t m_At = 0;
};

}  // namespace content_test
