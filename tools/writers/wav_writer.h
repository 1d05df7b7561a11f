#pragma once
// A small synthesizer of sound effects and the writer of 16-bit PCM WAV files. A sound is a
// sum of layers (tones, sweeps, noise bursts) with simple envelopes; the same spec always
// gives the same bytes.
#include <cstdint>
#include <string>
#include <vector>

namespace writers {

using Bytes = std::vector<uint8_t>;

enum class Waveform { Sine, Square, Triangle, Saw, Noise };

struct ToneLayer {
  Waveform wave = Waveform::Sine;
  double start = 0.0;          // seconds into the sound
  double seconds = 0.1;        // length of the layer
  double startHz = 440.0;      // pitch at the start ...
  double endHz = 440.0;        // ... and at the end (exponential sweep between them)
  double amplitude = 0.5;      // peak, 0..1 of full scale
  double attack = 0.002;       // linear fade-in, seconds
  double release = 0.01;       // linear fade-out at the end, seconds
  double decay = 0.0;          // exponential decay per second (0: none)
  double lowpassHz = 0.0;      // one-pole low-pass cutoff (0: off); colours noise
  double tremoloHz = 0.0;      // amplitude modulation rate ...
  double tremoloDepth = 0.0;   // ... and depth, 0..1
  double pan = 0.0;            // -1 left .. 1 right (stereo sounds only)
  uint32_t seed = 1;           // noise generator seed
};

struct SoundSpec {
  int rate = 22050;
  int channels = 1;            // 1 or 2
  double seconds = 0.1;        // total length
  std::vector<ToneLayer> layers;
};

// Interleaved 16-bit frames of the sound; empty when the description is out of range.
std::vector<int16_t> SynthesizeSound(const SoundSpec& spec);

// A RIFF/WAVE file ("fmt " and "data" chunks) holding the frames.
Bytes EncodeWav(const std::vector<int16_t>& frames, int channels, int rate);

// SynthesizeSound then EncodeWav; false when the description is out of range.
bool WriteWavSound(const SoundSpec& spec, Bytes& out);

}  // namespace writers
