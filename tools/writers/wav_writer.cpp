#include "tools/writers/wav_writer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace writers {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

void Put16(Bytes& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutTag(Bytes& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

// Deterministic white noise in -1..1, independent of any global generator.
struct Noise {
  uint32_t state;
  double Next() {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
  }
};

double Oscillator(Waveform wave, double phase, Noise& noise) {
  double cycle = phase / kTwoPi;
  double frac = cycle - std::floor(cycle);
  switch (wave) {
    case Waveform::Sine: return std::sin(phase);
    case Waveform::Square: return frac < 0.5 ? 1.0 : -1.0;
    case Waveform::Triangle: return frac < 0.5 ? 4.0 * frac - 1.0 : 3.0 - 4.0 * frac;
    case Waveform::Saw: return 2.0 * frac - 1.0;
    case Waveform::Noise: return noise.Next();
  }
  return 0.0;
}

double Envelope(const ToneLayer& layer, double t) {
  double env = 1.0;
  if (layer.attack > 0.0 && t < layer.attack) env *= t / layer.attack;
  double left = layer.seconds - t;
  if (layer.release > 0.0 && left < layer.release) env *= std::max(0.0, left / layer.release);
  if (layer.decay > 0.0) env *= std::exp(-layer.decay * t);
  if (layer.tremoloDepth > 0.0)
    env *= 1.0 - layer.tremoloDepth * 0.5 * (1.0 - std::cos(kTwoPi * layer.tremoloHz * t));
  return env;
}

void AddLayer(const ToneLayer& layer, int rate, int channels, std::vector<double>& mix) {
  const size_t total = mix.size() / channels;
  const size_t first = static_cast<size_t>(std::llround(layer.start * rate));
  const size_t count = static_cast<size_t>(std::llround(layer.seconds * rate));
  const double pan = std::clamp(layer.pan, -1.0, 1.0);
  const double gain[2] = {channels == 2 ? std::min(1.0, 1.0 - pan) : 1.0, std::min(1.0, 1.0 + pan)};
  const double ratio = layer.startHz > 0.0 ? layer.endHz / layer.startHz : 1.0;
  const double alpha = layer.lowpassHz > 0.0 ? 1.0 - std::exp(-kTwoPi * layer.lowpassHz / rate) : 1.0;
  Noise noise{layer.seed};
  double phase = 0.0;
  double filtered = 0.0;
  for (size_t i = 0; i < count && first + i < total; ++i) {
    double t = static_cast<double>(i) / rate;
    double hz = layer.startHz * std::pow(ratio, t / layer.seconds);
    double value = Oscillator(layer.wave, phase, noise);
    filtered += alpha * (value - filtered);
    double sample = filtered * layer.amplitude * Envelope(layer, t);
    for (int c = 0; c < channels; ++c) mix[(first + i) * channels + c] += sample * gain[c];
    phase = std::fmod(phase + kTwoPi * hz / rate, kTwoPi);
  }
}

bool SpecInRange(const SoundSpec& spec) {
  if (spec.rate < 4000 || spec.rate > 192000 || (spec.channels != 1 && spec.channels != 2)) return false;
  if (!(spec.seconds > 0.0) || spec.seconds > 600.0) return false;
  for (const ToneLayer& l : spec.layers)
    if (!(l.seconds > 0.0) || l.start < 0.0 || l.startHz < 0.0 || l.endHz < 0.0) return false;
  return true;
}

}  // namespace

std::vector<int16_t> SynthesizeSound(const SoundSpec& spec) {
  if (!SpecInRange(spec)) return {};
  size_t frames = std::max<size_t>(1, static_cast<size_t>(std::llround(spec.seconds * spec.rate)));
  std::vector<double> mix(frames * spec.channels, 0.0);
  for (const ToneLayer& layer : spec.layers) AddLayer(layer, spec.rate, spec.channels, mix);
  std::vector<int16_t> out(mix.size());
  for (size_t i = 0; i < mix.size(); ++i)
    out[i] = static_cast<int16_t>(std::lrint(std::clamp(mix[i], -1.0, 1.0) * 32767.0));
  return out;
}

Bytes EncodeWav(const std::vector<int16_t>& frames, int channels, int rate) {
  const uint32_t data_bytes = static_cast<uint32_t>(frames.size() * 2);
  const uint16_t block_align = static_cast<uint16_t>(channels * 2);
  Bytes out;
  out.reserve(44 + data_bytes + 1);
  PutTag(out, "RIFF");
  Put32(out, 36 + data_bytes + (data_bytes & 1));
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, static_cast<uint16_t>(channels));
  Put32(out, static_cast<uint32_t>(rate));
  Put32(out, static_cast<uint32_t>(rate) * block_align);
  Put16(out, block_align);
  Put16(out, 16);
  PutTag(out, "data");
  Put32(out, data_bytes);
  for (int16_t v : frames) Put16(out, static_cast<uint16_t>(v));
  return out;
}

bool WriteWavSound(const SoundSpec& spec, Bytes& out) {
  std::vector<int16_t> frames = SynthesizeSound(spec);
  if (frames.empty()) return false;
  out = EncodeWav(frames, spec.channels, spec.rate);
  return true;
}

}  // namespace writers
