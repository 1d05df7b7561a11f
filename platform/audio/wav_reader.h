#pragma once
// Reads a RIFF/WAVE file held in memory: integer PCM of 8 to 32 bits or 32-bit float, 1 to 8
// channels (plain or extensible layout), any common rate, as 16-bit mono or stereo frames.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

struct Wav_Pcm {
  int channels = 0;            // 1 or 2 (more channels are mixed down to two)
  int rate = 0;                // frames per second
  std::vector<int16_t> frames; // interleaved, channels values per frame
  size_t Frame_Count() const { return channels ? frames.size() / channels : 0; }
};

constexpr int kWavMinRate = 4000;
constexpr int kWavMaxRate = 192000;

// Fills out and returns true for a well-formed file with at least one frame; returns false,
// leaving out empty, for anything else (truncated chunks, other encodings, odd layouts), with
// what is wrong in `why` when given ("its \"data\" chunk at byte 36 states 2000 bytes where
// 1000 follow").
bool Read_Wav(const void* data, size_t size, Wav_Pcm* out, std::string* why = nullptr);

// A chunk of a RIFF/WAVE file as its header states it.
struct Wav_Chunk {
  uint8_t id[4] = {};
  uint64_t position = 0;  // of its header
  uint32_t size = 0;      // of its body, as stated
  uint64_t Body() const { return position + 8; }
  uint64_t End() const { return Body() + size; }
};

// What Read_Wav says of a chunk whose body runs past the end of the file, before the bytes that
// do follow it: "its \"data\" chunk at byte 36 states 2000 bytes".
std::string Wav_Chunk_Statement(const Wav_Chunk& chunk);

// How far a RIFF/WAVE file reaches, told from its first `available` bytes (so before the rest is
// there): Not_Wav when they cannot begin "RIFF", a size, "WAVE"; Need_More until the chunks up
// to the format and the samples are in view; else Known, with `end` the later of the form's
// stated end and the end of those chunks: the bytes Read_Wav walks, nothing after them. With
// Known, `last` (when given) is the last of those chunks: Read_Wav refuses a file that ends
// before its body does.
enum class Wav_Extent { Not_Wav, Need_More, Known };
Wav_Extent Find_Wav_Extent(const uint8_t* head, size_t available, uint64_t* end, Wav_Chunk* last = nullptr);

}  // namespace plat
