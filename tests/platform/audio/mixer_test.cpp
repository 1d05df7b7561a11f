#include "platform/audio/mixer.h"

#include <gtest/gtest.h>

#include "tests/platform/audio/audio_fixtures.h"

namespace {

using audio_test::Constant_Wav;
using audio_test::Measure;
using audio_test::Module;

constexpr int kRate = 44100;
constexpr int16_t kHalfScale = 16384;  // 0.5 of full scale

class MixerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(mixer.Init(kRate)); }

  std::vector<float> Render(size_t frames) {
    std::vector<float> out(frames * 2, 1.0f);
    mixer.Render(out.data(), frames);
    return out;
  }

  uint32_t Load(const writers::Bytes& wav, uint32_t voices = 1) {
    return mixer.Load_Sample(wav.data(), wav.size(), voices);
  }

  uint32_t Load_Music(const writers::Bytes& mod, bool loop = false) {
    return mixer.Load_Music(mod.data(), mod.size(), loop);
  }

  plat::Mixer mixer;
};

TEST_F(MixerTest, SilenceWhenNothingPlays) {
  auto out = Render(256);
  EXPECT_EQ(Measure(out).left_peak, 0.0);
  EXPECT_EQ(Measure(out).right_peak, 0.0);
}

TEST_F(MixerTest, VolumeScalesTheAmplitudeLinearly) {
  uint32_t s = Load(Constant_Wav(4000, kRate, kHalfScale, 0, 1), 4);
  ASSERT_NE(s, 0u);
  struct Case {
    int volume;
    double level;
  } cases[] = {{100, 0.5}, {50, 0.25}, {25, 0.125}, {0, 0.0}, {-1, 0.5}, {250, 0.5}};
  for (const Case& c : cases) {
    uint32_t ch = mixer.Play_Sample(s, 0, -1, c.volume, 0, false);
    ASSERT_NE(ch, 0u) << c.volume;
    auto levels = Measure(Render(1000));
    EXPECT_NEAR(levels.left_peak, c.level, 1e-4) << "volume " << c.volume;
    EXPECT_NEAR(levels.right_peak, c.level, 1e-4) << "volume " << c.volume;
    mixer.Stop_Sample(s);
  }
}

TEST_F(MixerTest, PanMovesTheSoundBetweenChannels) {
  uint32_t s = Load(Constant_Wav(4000, kRate, kHalfScale, 0, 1), 1);
  struct Case {
    int pan;
    double left, right;
  } cases[] = {{-100, 0.5, 0.0}, {100, 0.0, 0.5}, {0, 0.5, 0.5}, {-50, 0.5, 0.25}, {50, 0.25, 0.5}};
  for (const Case& c : cases) {
    ASSERT_NE(mixer.Play_Sample(s, 0, -1, 100, c.pan, false), 0u);
    auto levels = Measure(Render(500));
    EXPECT_NEAR(levels.left_peak, c.left, 1e-4) << "pan " << c.pan;
    EXPECT_NEAR(levels.right_peak, c.right, 1e-4) << "pan " << c.pan;
    mixer.Stop_Sample(s);
  }
}

TEST_F(MixerTest, StereoSampleKeepsItsChannels) {
  uint32_t s = Load(Constant_Wav(1000, kRate, kHalfScale, -8192, 2));
  ASSERT_NE(mixer.Play_Sample(s, 0, -1, 100, -1, false), 0u);
  auto out = Render(100);
  EXPECT_NEAR(out[0], 0.5f, 1e-4);
  EXPECT_NEAR(out[1], -0.25f, 1e-4);
}

TEST_F(MixerTest, OneShotEndsAfterItsLengthResampledToTheOutputRate) {
  // 1000 frames at 22050 Hz last 2000 frames at 44100 Hz.
  uint32_t s = Load(Constant_Wav(1000, 22050, kHalfScale, 0, 1));
  uint32_t ch = mixer.Play_Sample(s, 0, -1, 100, 0, false);
  auto out = Render(3000);
  EXPECT_NEAR(Measure(out, 0, 1990).left_peak, 0.5, 1e-4);
  EXPECT_EQ(Measure(out, 2001, 999).left_peak, 0.0);
  EXPECT_EQ(mixer.Channel_Is_Active(ch), plat::kChannelStopped);
  EXPECT_EQ(mixer.Voices_Playing(s), 0u);
}

TEST_F(MixerTest, FrequencyChangesThePlaybackRate) {
  // Played at twice its own rate, a 22050 Hz sample of 2000 frames lasts 2000 output frames.
  uint32_t s = Load(Constant_Wav(2000, 22050, kHalfScale, 0, 1));
  ASSERT_NE(mixer.Play_Sample(s, 0, 44100, 100, 0, false), 0u);
  auto out = Render(4000);
  EXPECT_GT(Measure(out, 1900, 90).left_peak, 0.4);
  EXPECT_EQ(Measure(out, 2010, 1000).left_peak, 0.0);
}

TEST_F(MixerTest, LoopingSampleKeepsSoundingUntilStopped) {
  uint32_t s = Load(Constant_Wav(300, kRate, kHalfScale, 0, 1));
  uint32_t ch = mixer.Play_Sample(s, 0, -1, 100, 0, true);
  ASSERT_NE(ch, 0u);
  auto out = Render(5000);  // many times the sample's length
  double min_level = 1.0;
  for (size_t i = 0; i < 5000; ++i) min_level = std::min<double>(min_level, out[i * 2]);
  EXPECT_NEAR(min_level, 0.5, 1e-4);
  EXPECT_EQ(mixer.Channel_Is_Active(ch), plat::kChannelPlaying);
  EXPECT_TRUE(mixer.Stop_Sample(s));
  EXPECT_EQ(Measure(Render(500)).left_peak, 0.0);
  EXPECT_EQ(mixer.Channel_Is_Active(ch), plat::kChannelStopped);
}

TEST_F(MixerTest, VoiceLimitRefusesThePlayBeyondIt) {
  for (uint32_t limit : {1u, 2u, 5u}) {
    uint32_t s = Load(Constant_Wav(100, kRate, 1000, 0, 1), limit);
    for (uint32_t i = 0; i < limit; ++i) EXPECT_NE(mixer.Play_Sample(s, 0, -1, 100, 0, false), 0u);
    EXPECT_EQ(mixer.Play_Sample(s, 0, -1, 100, 0, false), 0u) << "limit " << limit;
    EXPECT_EQ(mixer.Voices_Playing(s), limit);
    Render(100);  // exactly its length: every voice has ended
    EXPECT_NE(mixer.Play_Sample(s, 0, -1, 100, 0, false), 0u) << "a voice is free again";
    mixer.Free_Sample(s);
  }
}

TEST_F(MixerTest, VoicesOfOneSampleDoNotCountAgainstAnother) {
  uint32_t a = Load(Constant_Wav(100, kRate, 1000, 0, 1), 1);
  uint32_t b = Load(Constant_Wav(100, kRate, 1000, 0, 1), 1);
  EXPECT_NE(mixer.Play_Sample(a, 0, -1, 100, 0, false), 0u);
  EXPECT_NE(mixer.Play_Sample(b, 0, -1, 100, 0, false), 0u);
  EXPECT_TRUE(mixer.Stop_Sample(a));
  EXPECT_EQ(mixer.Voices_Playing(b), 1u);
}

TEST_F(MixerTest, FreeingASampleSilencesItAndRetiresItsHandle) {
  uint32_t s = Load(Constant_Wav(1000, kRate, kHalfScale, 0, 1));
  uint32_t ch = mixer.Play_Sample(s, 0, -1, 100, 0, true);
  EXPECT_TRUE(mixer.Free_Sample(s));
  EXPECT_EQ(Measure(Render(100)).left_peak, 0.0);
  EXPECT_EQ(mixer.Channel_Is_Active(ch), plat::kChannelStopped);
  EXPECT_EQ(mixer.Play_Sample(s, 0, -1, 100, 0, false), 0u);
  EXPECT_FALSE(mixer.Free_Sample(s));
  EXPECT_FALSE(mixer.Stop_Sample(s));
}

TEST_F(MixerTest, BadSampleRequestsFail) {
  writers::Bytes wav = Constant_Wav(100, kRate, 1000, 0, 1);
  EXPECT_EQ(mixer.Load_Sample(wav.data(), wav.size(), 0), 0u) << "no voices";
  EXPECT_EQ(mixer.Load_Sample(wav.data(), wav.size() - 1, 1), 0u) << "truncated";
  EXPECT_EQ(mixer.Load_Sample(nullptr, 0, 1), 0u);
  EXPECT_EQ(mixer.Play_Sample(0, 0, -1, 100, 0, false), 0u);
  EXPECT_EQ(mixer.Play_Sample(12345, 0, -1, 100, 0, false), 0u);
  uint32_t s = Load(wav);
  EXPECT_EQ(mixer.Play_Sample(s, 200 * 2, -1, 100, 0, false), 0u) << "start beyond the end";
}

TEST_F(MixerTest, ChannelPauseHoldsAVoice) {
  uint32_t s = Load(Constant_Wav(1000, kRate, kHalfScale, 0, 1));
  uint32_t ch = mixer.Play_Sample(s, 0, -1, 100, 0, false);
  Render(600);
  EXPECT_TRUE(mixer.Pause_Channel(ch));
  EXPECT_EQ(mixer.Channel_Is_Active(ch), plat::kChannelPaused);
  EXPECT_EQ(Measure(Render(5000)).left_peak, 0.0);
  EXPECT_TRUE(mixer.Resume_Channel(ch));
  auto out = Render(1000);
  EXPECT_NEAR(Measure(out, 0, 390).left_peak, 0.5, 1e-4) << "the rest of the sample";
  EXPECT_EQ(Measure(out, 410, 500).left_peak, 0.0);
}

TEST_F(MixerTest, ModuleRendersAndStopsAtItsEnd) {
  writers::Bytes mod = Module(2.0);
  uint32_t m = Load_Music(mod);
  ASSERT_NE(m, 0u);
  EXPECT_EQ(mixer.Channel_Is_Active(m), plat::kChannelStopped) << "loaded, not yet played";
  EXPECT_EQ(Measure(Render(4410)).left_peak, 0.0);
  ASSERT_TRUE(mixer.Play_Music(m));
  EXPECT_EQ(mixer.Channel_Is_Active(m), plat::kChannelPlaying);
  auto first = Measure(Render(kRate));
  EXPECT_GT(first.left_rms, 0.01);
  EXPECT_GT(first.right_rms, 0.01);
  Render(kRate * 3 / 2);  // past the module's two seconds
  EXPECT_EQ(mixer.Channel_Is_Active(m), plat::kChannelStopped);
  EXPECT_EQ(Measure(Render(4410)).left_peak, 0.0);
}

TEST_F(MixerTest, LoopedModuleKeepsPlaying) {
  uint32_t m = Load_Music(Module(1.0), true);
  mixer.Play_Music(m);
  Render(kRate * 3);
  EXPECT_EQ(mixer.Channel_Is_Active(m), plat::kChannelPlaying);
  EXPECT_GT(Measure(Render(kRate / 2)).left_rms, 0.01);
}

TEST_F(MixerTest, PausedModuleIsSilentAndDoesNotAdvance) {
  writers::Bytes mod = Module(4.0);
  uint32_t reference = Load_Music(mod);  // loaded but not playing yet: renders nothing
  uint32_t paused = Load_Music(mod);

  // The second plays half a second, then pauses for a while.
  mixer.Play_Music(paused);
  Render(kRate / 2);
  ASSERT_TRUE(mixer.Pause_Channel(paused));
  EXPECT_EQ(mixer.Channel_Is_Active(paused), plat::kChannelPaused);
  EXPECT_EQ(Measure(Render(kRate)).left_peak, 0.0);
  EXPECT_FALSE(mixer.Pause_Channel(paused)) << "already paused";
  ASSERT_TRUE(mixer.Resume_Channel(paused));
  auto resumed = Render(kRate / 4);

  // A fresh copy played through the same half second must sound the same from there on.
  mixer.Stop_Channel(paused);
  mixer.Play_Music(reference);
  Render(kRate / 2);
  auto expected = Render(kRate / 4);
  ASSERT_GT(Measure(expected).left_rms, 0.01);
  for (size_t i = 0; i < expected.size(); ++i) ASSERT_NEAR(resumed[i], expected[i], 1e-6) << i;
}

TEST_F(MixerTest, AmplifyAndVolumeScaleTheModule) {
  writers::Bytes mod = Module(2.0);
  auto level = [&](int volume, int amplify) {
    uint32_t m = Load_Music(mod);
    if (volume >= 0) mixer.Set_Channel_Attributes(m, -1, volume, -1);
    if (amplify >= 0) mixer.Set_Music_Amplify(m, static_cast<uint32_t>(amplify));
    mixer.Play_Music(m);
    double rms = Measure(Render(kRate / 2)).left_rms;
    mixer.Free_Music(m);
    return rms;
  };
  double unity = level(-1, -1);  // volume 100, amplify 50
  ASSERT_GT(unity, 0.01);
  EXPECT_NEAR(level(50, -1) / unity, 0.5, 1e-3);
  EXPECT_NEAR(level(-1, 25) / unity, 0.5, 1e-3);
  EXPECT_NEAR(level(-1, 100) / unity, 2.0, 1e-3);
  EXPECT_NEAR(level(80, 40) / unity, 0.64, 1e-3);
  EXPECT_NEAR(level(-1, 500) / unity, 2.0, 1e-3) << "amplify is capped at 100";
  EXPECT_EQ(level(0, -1), 0.0);
}

TEST_F(MixerTest, StoppedModuleResumesWhereItStoppedAndRestartsAfterItsEnd) {
  uint32_t m = Load_Music(Module(1.0));
  mixer.Play_Music(m);
  Render(kRate / 2);
  EXPECT_TRUE(mixer.Stop_Channel(m));
  EXPECT_EQ(mixer.Channel_Is_Active(m), plat::kChannelStopped);
  EXPECT_EQ(Measure(Render(1000)).left_peak, 0.0);
  mixer.Play_Music(m);
  Render(kRate * 3 / 4);
  EXPECT_EQ(mixer.Channel_Is_Active(m), plat::kChannelStopped) << "ran to its end";
  mixer.Play_Music(m);
  EXPECT_GT(Measure(Render(kRate / 4)).left_rms, 0.01) << "plays again from the start";
}

TEST_F(MixerTest, BadModulesAndHandlesFail) {
  writers::Bytes junk(4096, 0x55);
  EXPECT_EQ(mixer.Load_Music(junk.data(), junk.size(), false), 0u);
  EXPECT_EQ(mixer.Load_Music(nullptr, 10, false), 0u);
  writers::Bytes mod = Module(1.0);
  EXPECT_EQ(mixer.Load_Music(mod.data(), 0, false), 0u);
  EXPECT_FALSE(mixer.Play_Music(0));
  EXPECT_FALSE(mixer.Set_Music_Amplify(7, 10));
  EXPECT_FALSE(mixer.Free_Music(7));
  EXPECT_FALSE(mixer.Pause_Channel(7));
  EXPECT_FALSE(mixer.Resume_Channel(7));
  EXPECT_FALSE(mixer.Stop_Channel(7));
  EXPECT_FALSE(mixer.Set_Channel_Attributes(7, -1, 50, -1));
  EXPECT_EQ(mixer.Channel_Is_Active(7), plat::kChannelStopped);
  uint32_t s = Load(Constant_Wav(100, kRate, 1000, 0, 1));
  EXPECT_FALSE(mixer.Play_Music(s)) << "a sample handle is not a module";
  EXPECT_FALSE(mixer.Free_Music(s));
}

TEST_F(MixerTest, MusicAndVoicesMixTogether) {
  writers::Bytes mod = Module(2.0);
  uint32_t m = Load_Music(mod);
  mixer.Play_Music(m);
  auto music_only = Render(2000);
  mixer.Free_Music(m);
  m = Load_Music(mod);
  mixer.Play_Music(m);
  uint32_t s = Load(Constant_Wav(4000, kRate, 3277, 0, 1));  // 0.1
  mixer.Play_Sample(s, 0, -1, 100, 0, false);
  auto both = Render(2000);
  for (size_t i = 0; i < both.size(); ++i) ASSERT_NEAR(both[i] - music_only[i], 0.1f, 1e-4) << i;
}

TEST(MixerLifecycle, NothingWorksBeforeInitOrAfterTerm) {
  plat::Mixer mixer;
  writers::Bytes wav = Constant_Wav(100, 44100, 1000, 0, 1);
  writers::Bytes mod = Module(1.0);
  EXPECT_EQ(mixer.Load_Sample(wav.data(), wav.size(), 1), 0u);
  EXPECT_EQ(mixer.Load_Music(mod.data(), mod.size(), false), 0u);
  std::vector<int16_t> out(200, 7);
  mixer.Render(out.data(), 100);
  EXPECT_EQ(out, std::vector<int16_t>(200, 0));

  ASSERT_TRUE(mixer.Init(44100));
  EXPECT_FALSE(mixer.Init(44100)) << "twice";
  uint32_t s = mixer.Load_Sample(wav.data(), wav.size(), 1);
  uint32_t m = mixer.Load_Music(mod.data(), mod.size(), false);
  mixer.Play_Sample(s, 0, -1, 100, 0, true);
  mixer.Play_Music(m);
  mixer.Term();
  EXPECT_FALSE(mixer.Is_Initialised());
  EXPECT_EQ(mixer.Play_Sample(s, 0, -1, 100, 0, false), 0u);
  EXPECT_FALSE(mixer.Play_Music(m));
  mixer.Render(out.data(), 100);
  EXPECT_EQ(out, std::vector<int16_t>(200, 0));
  mixer.Term();  // harmless
  EXPECT_FALSE(mixer.Init(1000)) << "rate out of range";
  EXPECT_TRUE(mixer.Init(22050));
}

TEST(MixerOutput, SixteenBitOutputClipsAndScales) {
  plat::Mixer mixer;
  ASSERT_TRUE(mixer.Init(44100));
  writers::Bytes wav = Constant_Wav(1000, 44100, 24000, 0, 1);
  uint32_t s = mixer.Load_Sample(wav.data(), wav.size(), 2);
  mixer.Play_Sample(s, 0, -1, 100, 0, false);
  std::vector<int16_t> out(200);
  mixer.Render(out.data(), 100);
  EXPECT_NEAR(out[0], 24000, 1);
  mixer.Play_Sample(s, 0, -1, 100, 0, false);  // two voices sum past full scale
  mixer.Render(out.data(), 100);
  EXPECT_EQ(out[0], 32767);
}

}  // namespace
