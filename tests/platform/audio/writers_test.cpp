// The WAV and module writers, checked through what reads them: the WAV reader and libopenmpt.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <cmath>

#include "platform/audio/wav_reader.h"
#include "tools/writers/mod_writer.h"
#include "tools/writers/wav_writer.h"

namespace {

using writers::Bytes;

double Module_Duration(const Bytes& mod) {
  openmpt_module* m = openmpt_module_create_from_memory2(mod.data(), mod.size(), openmpt_log_func_silent,
                                                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  if (!m) return -1.0;
  double seconds = openmpt_module_get_duration_seconds(m);
  openmpt_module_destroy(m);
  return seconds;
}

TEST(ModWriter, LastsTheChosenTime) {
  struct Case {
    double seconds;
    int speed, tempo;
  } cases[] = {
      {0.12, 6, 125}, {1.0, 6, 125}, {7.68, 6, 125}, {30.0, 6, 125}, {139.0, 6, 125},
      {45.5, 4, 140}, {200.0, 3, 150}, {10.0, 31, 32}};
  for (const Case& c : cases) {
    writers::ModSpec spec;
    spec.seconds = c.seconds;
    spec.speed = c.speed;
    spec.tempo = c.tempo;
    Bytes mod;
    ASSERT_TRUE(writers::WriteMod(spec, mod));
    double row = writers::ModRowSeconds(c.speed, c.tempo);
    EXPECT_NEAR(Module_Duration(mod), c.seconds, row / 2 + 1e-6) << c.seconds << " s";
  }
}

TEST(ModWriter, LayoutIsFourChannelMK) {
  writers::ModSpec spec;
  spec.seconds = 20.0;  // 167 rows: three orders, the last one cut short
  Bytes mod;
  ASSERT_TRUE(writers::WriteMod(spec, mod));
  ASSERT_GT(mod.size(), writers::kModHeaderBytes);
  EXPECT_EQ(std::string(mod.begin() + 1080, mod.begin() + 1084), "M.K.");
  const int orders = mod[950];
  EXPECT_EQ(orders, 3);
  int highest = 0;
  for (int i = 0; i < orders; ++i) highest = std::max<int>(highest, mod[952 + i]);
  size_t sample_bytes = 0;
  for (int i = 0; i < 31; ++i) {
    const uint8_t* h = &mod[20 + i * 30];
    size_t words = (h[22] << 8) | h[23];
    size_t repeat_start = (h[26] << 8) | h[27], repeat_len = (h[28] << 8) | h[29];
    EXPECT_LE(repeat_start + repeat_len, std::max<size_t>(words, 1)) << "instrument " << i;
    EXPECT_LE(h[25], 64) << "volume of instrument " << i;
    sample_bytes += words * 2;
  }
  EXPECT_EQ(mod.size(), writers::kModHeaderBytes + (highest + 1) * writers::kModPatternBytes + sample_bytes);
}

TEST(ModWriter, IsDeterministicAndSeedsVaryTheTune) {
  writers::ModSpec spec;
  Bytes a, b, c;
  ASSERT_TRUE(writers::WriteMod(spec, a));
  ASSERT_TRUE(writers::WriteMod(spec, b));
  spec.seed = 2;
  ASSERT_TRUE(writers::WriteMod(spec, c));
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.size(), c.size());
  EXPECT_NE(a, c);
}

TEST(ModWriter, RejectsImpossibleSpecs) {
  struct Case {
    double seconds;
    int speed, tempo;
  } cases[] = {{0.0, 6, 125}, {-5.0, 6, 125}, {NAN, 6, 125}, {10, 0, 125}, {10, 32, 125}, {10, 6, 31}, {10, 6, 256}};
  for (const Case& c : cases) {
    writers::ModSpec spec;
    spec.seconds = c.seconds;
    spec.speed = c.speed;
    spec.tempo = c.tempo;
    Bytes mod;
    EXPECT_FALSE(writers::WriteMod(spec, mod)) << c.seconds << " " << c.speed << " " << c.tempo;
  }
  writers::ModSpec longest;
  longest.seconds = 1e6;
  EXPECT_EQ(writers::ModRowCount(longest), 128 * 64) << "at most 128 orders";
}

TEST(WavWriter, SoundHasItsLengthRateAndChannels) {
  writers::SoundSpec spec;
  spec.rate = 22050;
  spec.channels = 2;
  spec.seconds = 0.5;
  spec.layers.push_back({.wave = writers::Waveform::Sine, .seconds = 0.5, .startHz = 440, .endHz = 440,
                         .amplitude = 0.5, .pan = -1.0});
  Bytes wav;
  ASSERT_TRUE(writers::WriteWavSound(spec, wav));
  plat::Wav_Pcm pcm;
  ASSERT_TRUE(plat::Read_Wav(wav.data(), wav.size(), &pcm));
  EXPECT_EQ(pcm.rate, 22050);
  EXPECT_EQ(pcm.channels, 2);
  EXPECT_EQ(pcm.Frame_Count(), 11025u);
  int left_peak = 0, right_peak = 0;
  for (size_t i = 0; i < pcm.Frame_Count(); ++i) {
    left_peak = std::max(left_peak, std::abs(static_cast<int>(pcm.frames[i * 2])));
    right_peak = std::max(right_peak, std::abs(static_cast<int>(pcm.frames[i * 2 + 1])));
  }
  EXPECT_NEAR(left_peak, 16384, 200);
  EXPECT_EQ(right_peak, 0) << "panned hard left";
}

TEST(WavWriter, LayersStartLateAndEnvelopesFade) {
  writers::SoundSpec spec;
  spec.seconds = 1.0;
  spec.rate = 10000;
  spec.layers.push_back({.wave = writers::Waveform::Square, .start = 0.5, .seconds = 0.4, .startHz = 100,
                         .endHz = 100, .amplitude = 0.5, .attack = 0.1, .release = 0.1});
  std::vector<int16_t> pcm = writers::SynthesizeSound(spec);
  ASSERT_EQ(pcm.size(), 10000u);
  auto peak = [&](size_t from, size_t to) {
    int p = 0;
    for (size_t i = from; i < to; ++i) p = std::max(p, std::abs(static_cast<int>(pcm[i])));
    return p;
  };
  EXPECT_EQ(peak(0, 5000), 0) << "silent before the layer starts";
  EXPECT_LT(peak(5000, 5200), 16384 * 3 / 4) << "still fading in";
  EXPECT_NEAR(peak(6000, 8000), 16384, 10) << "full level in the middle";
  EXPECT_EQ(peak(9000, 10000), 0) << "silent after the layer ends";
}

TEST(WavWriter, SweepChangesPitch) {
  // Count zero crossings in the first and last tenth: a rising sweep crosses more often later.
  writers::SoundSpec spec;
  spec.seconds = 1.0;
  spec.layers.push_back({.seconds = 1.0, .startHz = 200, .endHz = 1600, .amplitude = 0.8, .release = 0.0});
  std::vector<int16_t> pcm = writers::SynthesizeSound(spec);
  auto crossings = [&](size_t from, size_t to) {
    int n = 0;
    for (size_t i = from + 1; i < to; ++i) n += (pcm[i - 1] < 0) != (pcm[i] < 0);
    return n;
  };
  size_t tenth = pcm.size() / 10;
  int early = crossings(0, tenth), late = crossings(pcm.size() - tenth, pcm.size());
  EXPECT_GT(late, early * 5);
}

TEST(WavWriter, RejectsSpecsOutOfRange) {
  writers::SoundSpec bad_rate;
  bad_rate.rate = 100;
  writers::SoundSpec bad_channels;
  bad_channels.channels = 3;
  writers::SoundSpec bad_length;
  bad_length.seconds = 0.0;
  writers::SoundSpec bad_layer;
  bad_layer.layers.push_back({.seconds = -1.0});
  for (const auto* spec : {&bad_rate, &bad_channels, &bad_length, &bad_layer}) {
    Bytes out;
    EXPECT_FALSE(writers::WriteWavSound(*spec, out));
    EXPECT_TRUE(writers::SynthesizeSound(*spec).empty());
  }
}

}  // namespace
