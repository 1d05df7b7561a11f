#include "platform/audio/wav_reader.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace plat {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr uint16_t kMaxChannels = 8;
constexpr size_t kFirstChunk = 12;   // after "RIFF", the form size and "WAVE"
constexpr size_t kChunkHeader = 8;   // the chunk's id and size

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

// Integer PCM of 8, 16, 24 or 32 bits and 32-bit float, plain or in the extensible layout, with
// 1 to 8 channels: what SDL's WAV loader takes in uncompressed form.
bool Format_Supported(const Format& fmt) {
  const uint16_t tag = fmt.tag == kFormatExtensible ? fmt.sub_tag : fmt.tag;
  const bool pcm = tag == kFormatPcm && (fmt.bits == 8 || fmt.bits == 16 || fmt.bits == 24 || fmt.bits == 32);
  const bool floats = tag == kFormatFloat && fmt.bits == 32;
  return (pcm || floats) && fmt.channels >= 1 && fmt.channels <= kMaxChannels &&
         fmt.block_align == fmt.channels * (fmt.bits / 8) && fmt.rate >= kWavMinRate && fmt.rate <= kWavMaxRate;
}

// SDL loads the samples and converts them to 16-bit, more than two channels mixed down to two.
bool Decode_With_Sdl(const void* data, size_t size, Wav_Pcm* out) {
  if (size > INT32_MAX) return false;
  // The chunks were checked against the file's own length already; a RIFF size that
  // understates it is common and harmless.
  SDL_SetHint(SDL_HINT_WAVE_RIFF_CHUNK_SIZE, "ignore");
  SDL_SetHint(SDL_HINT_WAVE_FACT_CHUNK, "ignore");
  SDL_RWops* source = SDL_RWFromConstMem(data, static_cast<int>(size));
  if (source == nullptr) return false;
  SDL_AudioSpec spec{};
  Uint8* samples = nullptr;
  Uint32 length = 0;
  if (SDL_LoadWAV_RW(source, 1, &spec, &samples, &length) == nullptr) return false;
  const Uint8 channels = spec.channels >= 2 ? 2 : 1;
  SDL_AudioCVT convert{};
  bool ok = SDL_BuildAudioCVT(&convert, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, channels, spec.freq) >= 0;
  std::vector<Uint8> buffer;
  if (ok) {
    buffer.assign(size_t(length) * size_t(convert.len_mult > 0 ? convert.len_mult : 1), 0);
    std::memcpy(buffer.data(), samples, length);
    convert.buf = buffer.data();
    convert.len = static_cast<int>(length);
    ok = convert.needed == 0 || SDL_ConvertAudio(&convert) == 0;
  }
  SDL_FreeWAV(samples);
  if (!ok) return false;
  const size_t bytes = convert.needed ? size_t(convert.len_cvt) : size_t(length);
  const size_t frame_count = bytes / (2u * channels);
  if (frame_count == 0) return false;
  out->channels = channels;
  out->rate = spec.freq;
  out->frames.resize(frame_count * channels);
  std::memcpy(out->frames.data(), buffer.data(), out->frames.size() * sizeof(int16_t));
  return true;
}

// Where the RIFF form says it ends: its declared size, or the end of the buffer when that
// size runs past it.
size_t Form_End(const uint8_t* bytes, size_t size) {
  const uint64_t declared = uint64_t(Get32(bytes + 4)) + 8;
  return declared < size ? static_cast<size_t>(declared) : size;
}

bool Refuse(std::string* why, const std::string& text) {
  if (why) *why = text;
  return false;
}

// The header of the chunk at `pos`: its id and the size it states.
Wav_Chunk Chunk_At(const uint8_t* bytes, uint64_t pos) {
  Wav_Chunk chunk;
  std::memcpy(chunk.id, bytes + pos, 4);
  chunk.position = pos;
  chunk.size = Get32(bytes + pos + 4);
  return chunk;
}

std::string Format_Problem(const Format& fmt) {
  const uint16_t tag = fmt.tag == kFormatExtensible ? fmt.sub_tag : fmt.tag;
  return "its samples are in a form the player does not play (format " + std::to_string(tag) + ", " +
         std::to_string(fmt.channels) + " channel(s) of " + std::to_string(fmt.bits) + " bits, block " +
         std::to_string(fmt.block_align) + ", " + std::to_string(fmt.rate) + " Hz)";
}

}  // namespace

bool Read_Wav(const void* data, size_t size, Wav_Pcm* out, std::string* why) {
  *out = Wav_Pcm{};
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  if (!data || size < kFirstChunk || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
    return Refuse(why, "it does not begin with \"RIFF\", a size and \"WAVE\"");
  }

  const size_t form_end = Form_End(bytes, size);
  Format fmt;
  const uint8_t* samples = nullptr;
  uint32_t sample_bytes = 0;
  size_t pos = kFirstChunk;
  while (size - pos >= kChunkHeader) {
    // The form ends at its declared size once it has given the format and the samples: a
    // record handed over from a shared file carries the bytes after it, which are no chunks of
    // it. A size that understates the file (a common writer's slip, or 0 left by a streaming
    // writer) is walked past until both are found.
    if (pos >= form_end && fmt.found && samples) break;
    const uint8_t* chunk = bytes + pos;
    uint32_t chunk_size = Get32(chunk + 4);
    size_t body = pos + kChunkHeader;
    if (chunk_size > size - body) {
      return Refuse(why, Wav_Chunk_Statement(Chunk_At(bytes, pos)) + " where " + std::to_string(size - body) +
                             " follow");
    }
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (fmt.found) return Refuse(why, "it has a second \"fmt \" chunk");
      if (!Parse_Format(bytes + body, chunk_size, &fmt)) {
        return Refuse(why, "its \"fmt \" chunk of " + std::to_string(chunk_size) + " bytes is too short");
      }
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (samples) return Refuse(why, "it has a second \"data\" chunk");
      samples = bytes + body;
      sample_bytes = chunk_size;
    }
    // Chunks are padded to an even length; a pad byte missing at the very end of the buffer or
    // of the form is tolerated.
    pos = body + chunk_size;
    if ((chunk_size & 1) && pos < size && pos != form_end) ++pos;
  }
  if (!fmt.found) return Refuse(why, "it has no \"fmt \" chunk");
  if (!samples) return Refuse(why, "it has no \"data\" chunk");
  if (!Format_Supported(fmt)) return Refuse(why, Format_Problem(fmt));
  if (sample_bytes / fmt.block_align == 0) return Refuse(why, "its \"data\" chunk holds no whole frame");
  // The decoder sees the chunks walked here and nothing after them.
  if (!Decode_With_Sdl(data, std::min(pos, size), out)) {
    *out = Wav_Pcm{};
    return Refuse(why, "its samples cannot be decoded");
  }
  return true;
}

std::string Wav_Chunk_Statement(const Wav_Chunk& chunk) {
  // The id in quotes, each byte that is no printable character as "?".
  std::string name;
  for (uint8_t c : chunk.id) name += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
  return "its \"" + name + "\" chunk at byte " + std::to_string(chunk.position) + " states " +
         std::to_string(chunk.size) + " bytes";
}

Wav_Extent Find_Wav_Extent(const uint8_t* head, size_t available, uint64_t* end, Wav_Chunk* last) {
  const size_t riff = std::min<size_t>(available, 4);
  const size_t wave = available > 8 ? std::min<size_t>(available - 8, 4) : 0;
  if (std::memcmp(head, "RIFF", riff) != 0 || std::memcmp(head + 8, "WAVE", wave) != 0) return Wav_Extent::Not_Wav;
  if (available < kFirstChunk) return Wav_Extent::Need_More;
  uint64_t reach = uint64_t{Get32(head + 4)} + 8;
  Wav_Chunk chunk;
  bool format = false;
  bool samples = false;
  for (uint64_t pos = kFirstChunk; !(format && samples);) {
    if (pos + kChunkHeader > available) return Wav_Extent::Need_More;
    chunk = Chunk_At(head, pos);
    format = format || std::memcmp(chunk.id, "fmt ", 4) == 0;
    samples = samples || std::memcmp(chunk.id, "data", 4) == 0;
    pos = chunk.End() + (chunk.size & 1);
    reach = std::max(reach, pos);
  }
  *end = reach;
  if (last) *last = chunk;
  return Wav_Extent::Known;
}

}  // namespace plat
