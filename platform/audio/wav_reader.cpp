#include "platform/audio/wav_reader.h"

#include <cstring>

namespace plat {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct Format {
  bool found = false;
  uint16_t tag = 0;
  uint16_t channels = 0;
  uint32_t rate = 0;
  uint16_t block_align = 0;
  uint16_t bits = 0;
  uint16_t sub_tag = 0;  // first word of the extensible sub-format GUID
};

bool Parse_Format(const uint8_t* p, uint32_t size, Format* fmt) {
  if (size < 16) return false;
  fmt->tag = Get16(p);
  fmt->channels = Get16(p + 2);
  fmt->rate = Get32(p + 4);
  fmt->block_align = Get16(p + 12);
  fmt->bits = Get16(p + 14);
  if (fmt->tag == kFormatExtensible) {
    if (size < 40) return false;
    fmt->sub_tag = Get16(p + 24);
  }
  fmt->found = true;
  return true;
}

bool Format_Supported(const Format& fmt) {
  bool pcm = fmt.tag == kFormatPcm || (fmt.tag == kFormatExtensible && fmt.sub_tag == kFormatPcm);
  return pcm && (fmt.channels == 1 || fmt.channels == 2) && fmt.bits == 16 &&
         fmt.block_align == fmt.channels * 2 && fmt.rate >= kWavMinRate && fmt.rate <= kWavMaxRate;
}

}  // namespace

bool Read_Wav(const void* data, size_t size, Wav_Pcm* out) {
  *out = Wav_Pcm{};
  if (!data || size < 12) return false;
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  if (std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) return false;

  Format fmt;
  const uint8_t* samples = nullptr;
  uint32_t sample_bytes = 0;
  size_t pos = 12;
  while (size - pos >= 8) {
    const uint8_t* chunk = bytes + pos;
    uint32_t chunk_size = Get32(chunk + 4);
    size_t body = pos + 8;
    if (chunk_size > size - body) return false;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (fmt.found || !Parse_Format(bytes + body, chunk_size, &fmt)) return false;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (samples) return false;
      samples = bytes + body;
      sample_bytes = chunk_size;
    }
    // Chunks are padded to an even length; a missing pad byte at the very end is tolerated.
    pos = body + chunk_size;
    if ((chunk_size & 1) && pos < size) ++pos;
  }
  if (!fmt.found || !samples || !Format_Supported(fmt)) return false;

  size_t frame_count = sample_bytes / fmt.block_align;
  if (frame_count == 0) return false;
  out->channels = fmt.channels;
  out->rate = static_cast<int>(fmt.rate);
  out->frames.resize(frame_count * fmt.channels);
  for (size_t i = 0; i < out->frames.size(); ++i) {
    out->frames[i] = static_cast<int16_t>(Get16(samples + i * 2));
  }
  return true;
}

}  // namespace plat
