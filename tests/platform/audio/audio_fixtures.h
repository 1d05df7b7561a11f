#pragma once
// Small fixtures shared by the audio tests: WAV files of known levels and a generated module,
// plus level measurements over rendered interleaved stereo.
#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/writers/mod_writer.h"
#include "tools/writers/wav_writer.h"

namespace audio_test {

// A WAV whose every frame holds the same value per channel: its mix level is exact.
inline writers::Bytes Constant_Wav(size_t frames, int rate, int16_t left, int16_t right, int channels) {
  std::vector<int16_t> pcm;
  for (size_t i = 0; i < frames; ++i) {
    pcm.push_back(left);
    if (channels == 2) pcm.push_back(right);
  }
  return writers::EncodeWav(pcm, channels, rate);
}

inline writers::Bytes Module(double seconds, uint32_t seed = 1) {
  writers::ModSpec spec;
  spec.seconds = seconds;
  spec.seed = seed;
  writers::Bytes out;
  writers::WriteMod(spec, out);
  return out;
}

struct Levels {
  double left_peak = 0, right_peak = 0, left_rms = 0, right_rms = 0;
};

inline Levels Measure(const std::vector<float>& stereo, size_t first = 0, size_t count = SIZE_MAX) {
  Levels l;
  size_t frames = stereo.size() / 2;
  size_t end = count == SIZE_MAX ? frames : std::min(frames, first + count);
  double sl = 0, sr = 0;
  size_t n = 0;
  for (size_t i = first; i < end; ++i, ++n) {
    double a = stereo[i * 2], b = stereo[i * 2 + 1];
    l.left_peak = std::max(l.left_peak, std::fabs(a));
    l.right_peak = std::max(l.right_peak, std::fabs(b));
    sl += a * a;
    sr += b * b;
  }
  if (n) {
    l.left_rms = std::sqrt(sl / n);
    l.right_rms = std::sqrt(sr / n);
  }
  return l;
}

}  // namespace audio_test
