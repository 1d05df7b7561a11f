// The mixer's cost to render ten seconds of output while a module and 16 sample voices play,
// in the device's block size. The "real_time_ratio" counter is the render time as a fraction
// of the ten seconds it produces (0.01 = 1 %).
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "platform/audio/mixer.h"
#include "tools/writers/mod_writer.h"
#include "tools/writers/wav_writer.h"

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 10;
constexpr size_t kBlockFrames = 1024;
constexpr int kVoices = 16;

writers::Bytes Effect(int index) {
  writers::SoundSpec spec;
  spec.rate = index % 2 ? 22050 : 44100;
  spec.channels = index % 3 == 0 ? 2 : 1;
  spec.seconds = 0.5 + 0.1 * index;
  writers::ToneLayer tone;
  tone.startHz = 200.0 + 50.0 * index;
  tone.endHz = tone.startHz * 2;
  tone.seconds = spec.seconds;
  tone.amplitude = 0.05;
  spec.layers.push_back(tone);
  writers::Bytes out;
  writers::WriteWavSound(spec, out);
  return out;
}

void BM_MixTenSeconds(benchmark::State& state) {
  const bool with_music = state.range(0) != 0;
  const int voices = static_cast<int>(state.range(1));
  writers::ModSpec mod_spec;
  mod_spec.seconds = 60.0;
  writers::Bytes mod;
  writers::WriteMod(mod_spec, mod);
  std::vector<writers::Bytes> effects;
  for (int i = 0; i < voices; ++i) effects.push_back(Effect(i));
  std::vector<int16_t> block(kBlockFrames * 2);
  double total_seconds = 0.0;
  int64_t rounds = 0;

  for (auto _ : state) {
    state.PauseTiming();
    plat::Mixer mixer;
    mixer.Init(kRate);
    if (with_music) mixer.Play_Music(mixer.Load_Music(mod.data(), mod.size(), true));
    for (int i = 0; i < voices; ++i) {
      uint32_t s = mixer.Load_Sample(effects[i].data(), effects[i].size(), 1);
      // Some voices at their own rate, others pitched, so both mixing paths are paid for.
      mixer.Play_Sample(s, 0, i % 4 == 0 ? 30000 : -1, 60, (i * 13) % 200 - 100, true);
    }
    state.ResumeTiming();
    auto start = std::chrono::steady_clock::now();
    for (size_t done = 0; done < static_cast<size_t>(kRate) * kSeconds; done += kBlockFrames) {
      mixer.Render(block.data(), kBlockFrames);
      benchmark::DoNotOptimize(block.data());
    }
    total_seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ++rounds;
  }
  state.counters["real_time_ratio"] = total_seconds / rounds / kSeconds;
}

BENCHMARK(BM_MixTenSeconds)
    ->ArgNames({"music", "voices"})
    ->Args({1, kVoices})
    ->Args({1, 0})
    ->Args({0, kVoices})
    ->Unit(benchmark::kMillisecond);

}  // namespace
