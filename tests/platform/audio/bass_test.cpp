#include "platform/audio/bass.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/system/clock.h"
#include "platform/system/debug.h"
#include "tests/platform/audio/audio_fixtures.h"
#include "tests/support/fifo_guard.h"
#include "tests/support/scoped_env.h"

namespace {

using audio_test::Constant_Wav;
using audio_test::Module;

// Every test leaves the player shut down.
class BassTest : public ::testing::Test {
 protected:
  void TearDown() override { BASS_Free(); }
};

std::vector<int16_t> Pull(size_t frames) {
  std::vector<int16_t> out(frames * 2, 1);
  EXPECT_TRUE(plat::Audio_Render(out.data(), frames));
  return out;
}

TEST_F(BassTest, ReportsVersionOnePointEight) { EXPECT_EQ(BASS_GetVersion(), 0x80001u); }

TEST_F(BassTest, NoSoundDeviceMixesIntoTheCallersBuffer) {
  ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr));
  EXPECT_TRUE(BASS_Start());
  writers::Bytes wav = Constant_Wav(2000, 22050, 16384, 0, 1);
  HSAMPLE s = BASS_SampleLoad(TRUE, wav.data(), 0, static_cast<DWORD>(wav.size()), 2, 0);
  ASSERT_NE(s, 0u);
  HCHANNEL ch = BASS_SamplePlayEx(s, 0, -1, 50, -100, FALSE);
  ASSERT_NE(ch, 0u);
  auto out = Pull(100);
  EXPECT_NEAR(out[0], 8192, 2) << "volume 50 halves the level";
  EXPECT_EQ(out[1], 0) << "panned hard left";
  EXPECT_EQ(BASS_ChannelIsActive(ch), BASS_ACTIVE_PLAYING);
  EXPECT_TRUE(BASS_SampleStop(s));
  EXPECT_EQ(BASS_ChannelIsActive(ch), BASS_ACTIVE_STOPPED);
  BASS_SampleFree(s);
  EXPECT_FALSE(BASS_SampleStop(s));
  EXPECT_TRUE(BASS_Stop());
}

TEST_F(BassTest, SecondInitAndUnknownDevicesFail) {
  EXPECT_FALSE(BASS_Init(3, 44100, 0, nullptr));
  EXPECT_FALSE(BASS_Init(0, 0, 0, nullptr)) << "no rate";
  ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr));
  EXPECT_FALSE(BASS_Init(0, 44100, 0, nullptr));
  BASS_Free();
  BASS_Free();  // twice is harmless
  EXPECT_TRUE(BASS_Init(0, 44100, 0, nullptr)) << "can start again after Free";
}

TEST_F(BassTest, EverythingFailsQuietlyWithoutInit) {
  writers::Bytes wav = Constant_Wav(100, 44100, 1000, 0, 1);
  writers::Bytes mod = Module(1.0);
  EXPECT_FALSE(BASS_Start());
  EXPECT_FALSE(BASS_Stop());
  EXPECT_EQ(BASS_SampleLoad(TRUE, wav.data(), 0, static_cast<DWORD>(wav.size()), 1, 0), 0u);
  EXPECT_EQ(BASS_SamplePlayEx(0, 0, -1, 100, -1, FALSE), 0u);
  EXPECT_FALSE(BASS_SampleStop(0));
  BASS_SampleFree(0);
  EXPECT_EQ(BASS_MusicLoad(TRUE, mod.data(), 0, static_cast<DWORD>(mod.size()), 0), 0u);
  EXPECT_FALSE(BASS_MusicPlay(0));
  EXPECT_FALSE(BASS_MusicSetAmplify(0, 40));
  EXPECT_FALSE(BASS_ChannelSetAttributes(0, -1, 50, -1));
  EXPECT_EQ(BASS_ChannelIsActive(0), BASS_ACTIVE_STOPPED);
  EXPECT_FALSE(BASS_ChannelPause(0));
  EXPECT_FALSE(BASS_ChannelResume(0));
  EXPECT_FALSE(BASS_ChannelStop(0));
  BASS_MusicFree(0);
  int16_t out[4];
  EXPECT_FALSE(plat::Audio_Render(out, 2));
}

TEST_F(BassTest, DummyDriverDeviceRunsTheMixerCallback) {
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
  ASSERT_TRUE(BASS_Start());
  writers::Bytes wav = Constant_Wav(441, 44100, 16384, 0, 1);  // 10 ms
  HSAMPLE s = BASS_SampleLoad(TRUE, wav.data(), 0, static_cast<DWORD>(wav.size()), 4, 0);
  writers::Bytes mod = Module(1.0);
  HMUSIC m = BASS_MusicLoad(TRUE, mod.data(), 0, static_cast<DWORD>(mod.size()), 0);
  ASSERT_NE(s, 0u);
  ASSERT_NE(m, 0u);
  EXPECT_TRUE(BASS_MusicPlay(m));
  HCHANNEL ch = BASS_SamplePlayEx(s, 0, -1, 100, -1, FALSE);
  ASSERT_NE(ch, 0u);
  // The device consumes the mix on its own thread: the short sample runs out by itself.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (BASS_ChannelIsActive(ch) != BASS_ACTIVE_STOPPED && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(BASS_ChannelIsActive(ch), BASS_ACTIVE_STOPPED);
  int16_t out[4];
  EXPECT_FALSE(plat::Audio_Render(out, 2)) << "the device pulls the mix itself";
  // Game-thread calls interleave safely with the callback.
  for (int i = 0; i < 200; ++i) {
    BASS_SamplePlayEx(s, 0, -1, 100, -1, FALSE);
    BASS_ChannelSetAttributes(m, -1, i % 100, -1);
    if (i % 50 == 0) BASS_SampleStop(s);
  }
  EXPECT_TRUE(BASS_ChannelPause(m));
  EXPECT_EQ(BASS_ChannelIsActive(m), BASS_ACTIVE_PAUSED);
  EXPECT_TRUE(BASS_ChannelResume(m));
  EXPECT_TRUE(BASS_Stop());
  BASS_MusicFree(m);
  BASS_SampleFree(s);
}

// A test clock for the silent sink, which measures time on the program's millisecond clock.
uint32_t g_Test_Ms = 5000;
uint32_t Test_Clock() { return g_Test_Ms; }

class ScopedTestClock {
 public:
  ScopedTestClock() { plat::Set_Ms_Clock(Test_Clock); }
  ~ScopedTestClock() { plat::Set_Ms_Clock(nullptr); }
};

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Without a usable device the player starts anyway, says once why there is no sound, and runs
// silent: channels play and end on the clock, and nothing is handed to the caller to pull.
// ALSA on a machine without a sound card prints lines of its own while SDL looks for a device;
// the player's one line is all that reaches stderr.
TEST_F(BassTest, WithoutASoundCardALSAAddsNoLinesOfItsOwn) {
  ScopedEnv driver("SDL_AUDIODRIVER", "alsa");
  ScopedTestClock clock;
  testing::internal::CaptureStderr();
  const bool started = BASS_Init(-1, 44100, 0, nullptr);
  const std::string said = testing::internal::GetCapturedStderr();
  const bool silent = said.find("No sound device could be opened") != std::string::npos;
  BASS_Free();
  ASSERT_TRUE(started);
  if (!silent) GTEST_SKIP() << "this machine has a sound device ALSA can open";
  EXPECT_EQ(said.find("ALSA lib"), std::string::npos) << said;
  EXPECT_EQ(Count(said, "\n"), 1u) << said;
}

TEST_F(BassTest, WithoutADeviceThePlayerSaysSoOnceAndRunsSilent) {
  ScopedEnv driver("SDL_AUDIODRIVER", "no_such_audio_driver");
  ScopedTestClock clock;
  testing::internal::CaptureStderr();
  const bool started = BASS_Init(-1, 44100, 0, nullptr) && BASS_Start();
  writers::Bytes wav = Constant_Wav(4410, 44100, 16384, 0, 1);  // 100 ms
  HSAMPLE s = BASS_SampleLoad(TRUE, wav.data(), 0, static_cast<DWORD>(wav.size()), 1, 0);
  const std::string said = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(started);
  ASSERT_NE(s, 0u);
  EXPECT_EQ(Count(said, "\n"), 1u) << said;
  EXPECT_EQ(Count(said, "No sound device could be opened"), 1u) << said;
  EXPECT_NE(said.find("no_such_audio_driver"), std::string::npos) << "SDL's reason: " << said;
  EXPECT_NE(said.find("runs silent"), std::string::npos) << said;

  HCHANNEL ch = BASS_SamplePlayEx(s, 0, -1, 100, -1, FALSE);
  ASSERT_NE(ch, 0u);
  EXPECT_EQ(BASS_SamplePlayEx(s, 0, -1, 100, -1, FALSE), 0u) << "its one voice is busy";
  g_Test_Ms += 90;
  EXPECT_EQ(BASS_ChannelIsActive(ch), BASS_ACTIVE_PLAYING);
  g_Test_Ms += 20;
  EXPECT_EQ(BASS_ChannelIsActive(ch), BASS_ACTIVE_STOPPED) << "the sample ran out on the clock";
  EXPECT_NE(BASS_SamplePlayEx(s, 0, -1, 100, -1, FALSE), 0u) << "its voice is free again";

  // A stopped player holds the mix where it is, as a paused device does.
  ASSERT_TRUE(BASS_SampleStop(s));
  ch = BASS_SamplePlayEx(s, 0, -1, 100, -1, FALSE);
  ASSERT_NE(ch, 0u);
  ASSERT_TRUE(BASS_Stop());
  g_Test_Ms += 1000;
  EXPECT_EQ(BASS_ChannelIsActive(ch), BASS_ACTIVE_PLAYING);
  ASSERT_TRUE(BASS_Start());
  g_Test_Ms += 150;
  EXPECT_EQ(BASS_ChannelIsActive(ch), BASS_ACTIVE_STOPPED);

  int16_t out[4];
  EXPECT_FALSE(plat::Audio_Render(out, 2)) << "the silent device takes the mix itself";
  BASS_Free();
  EXPECT_TRUE(BASS_Init(0, 44100, 0, nullptr)) << "the no-sound device still works";
  EXPECT_TRUE(plat::Audio_Render(out, 2));
}

// The moment a module ends, in steps of the given milliseconds: on the silent device with the
// clock moving, or on the no-sound device with the caller pulling the same frames.
int Music_End_Ms(bool silent, const writers::Bytes& mod, uint32_t step_ms) {
  ScopedEnv driver("SDL_AUDIODRIVER", "no_such_audio_driver");
  ScopedTestClock clock;
  testing::internal::CaptureStderr();
  const bool started = BASS_Init(silent ? -1 : 0, 44100, 0, nullptr) && BASS_Start();
  testing::internal::GetCapturedStderr();
  if (!started) return -1;
  HMUSIC m = BASS_MusicLoad(TRUE, mod.data(), 0, static_cast<DWORD>(mod.size()), 0);
  int end = -1;
  if (m != 0 && BASS_MusicPlay(m)) {
    std::vector<int16_t> mix(size_t(step_ms) * 441 / 10 * 2);
    for (int ms = 0; ms <= 10000 && end < 0; ms += static_cast<int>(step_ms)) {
      if (BASS_ChannelIsActive(m) == BASS_ACTIVE_STOPPED) end = ms;
      g_Test_Ms += step_ms;
      if (!silent) plat::Audio_Render(mix.data(), mix.size() / 2);
    }
  }
  BASS_Free();
  return end;
}

TEST_F(BassTest, ASilentDeviceEndsTheMusicWhenASoundingOneWould) {
  const writers::Bytes mod = Module(1.5);
  const int pulled = Music_End_Ms(false, mod, 10);
  ASSERT_GT(pulled, 1000) << "the module plays for its length";
  EXPECT_EQ(Music_End_Ms(true, mod, 10), pulled);
  EXPECT_EQ(Music_End_Ms(true, mod, 250), (pulled + 249) / 250 * 250) << "in long frames too";
}

class BassFileTest : public BassTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr));
    path_ = (std::filesystem::temp_directory_path() / ("vt_bass_test_" + std::to_string(getpid()) + ".pck")).string();
    module_ = Module(1.0);
    std::ofstream f(path_, std::ios::binary);
    std::string before(kBefore, 'x'), after(kAfter, 'y');
    f << before;
    f.write(reinterpret_cast<const char*>(module_.data()), static_cast<std::streamsize>(module_.size()));
    f << after;
  }
  void TearDown() override {
    std::filesystem::remove(path_);
    BassTest::TearDown();
  }
  static constexpr DWORD kBefore = 100, kAfter = 50;
  std::string path_;
  writers::Bytes module_;
};

TEST_F(BassFileTest, LoadsAModuleFromAFileAtAnOffset) {
  const DWORD size = static_cast<DWORD>(module_.size());
  struct Case {
    const char* what;
    DWORD offset, length;
    bool loads;
  } cases[] = {
      {"exact range", kBefore, size, true},
      {"to the end of the file", kBefore, 0, true},
      {"wrong offset", 0, size, false},
      {"range past the end", kBefore, size + kAfter + 1, false},
      {"offset past the end", kBefore + size + kAfter + 1, 0, false},
      {"offset at the very end", kBefore + size + kAfter, 0, false},
  };
  for (const Case& c : cases) {
    HMUSIC m = BASS_MusicLoad(FALSE, path_.c_str(), c.offset, c.length, 0);
    EXPECT_EQ(m != 0, c.loads) << c.what;
    if (!m) continue;
    ASSERT_TRUE(BASS_ChannelSetAttributes(m, -1, 100, -1));
    ASSERT_TRUE(BASS_MusicSetAmplify(m, 40));
    ASSERT_TRUE(BASS_MusicPlay(m));
    auto out = Pull(4410);
    EXPECT_GT(audio_test::Measure(std::vector<float>(out.begin(), out.end())).left_peak, 100.0) << c.what;
    BASS_MusicFree(m);
    EXPECT_EQ(BASS_ChannelIsActive(m), BASS_ACTIVE_STOPPED);
  }
  EXPECT_EQ(BASS_MusicLoad(FALSE, "/nonexistent/vt_music.pck", 0, 0, 0), 0u);
  EXPECT_EQ(BASS_MusicLoad(FALSE, nullptr, 0, 0, 0), 0u);
  EXPECT_EQ(BASS_MusicLoad(TRUE, module_.data(), 0, 0, 0), 0u) << "memory needs a length";
}

// A FIFO in place of a music or sample file is refused at once with a line naming it, and the
// load fails as for a missing file.
TEST_F(BassFileTest, AFifoInPlaceOfTheFileIsRefusedAtOnceAndNamed) {
  const std::string fifo = path_ + ".fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::vector<std::string> errors;
  plat::Set_Error_Recorder([&](const std::string& text) { errors.push_back(text); });
  HMUSIC music = 1;
  HSAMPLE sample = 1;
  EXPECT_TRUE(vt_test::Returns_Without_Waiting(fifo, [&] {
    music = BASS_MusicLoad(FALSE, fifo.c_str(), 0, 0, 0);
    sample = BASS_SampleLoad(FALSE, fifo.c_str(), 0, 0, 1, 0);
  }));
  plat::Set_Error_Recorder(nullptr);
  std::filesystem::remove(fifo);
  EXPECT_EQ(music, 0u);
  EXPECT_EQ(sample, 0u);
  ASSERT_EQ(errors.size(), 2u);
  for (const std::string& error : errors) EXPECT_EQ(error, fifo + " was not opened: it is a FIFO, not a regular file");
}

TEST_F(BassFileTest, ModulePlaysOnceUnlessAskedToLoop) {
  writers::Bytes mod = Module(0.5);
  HMUSIC once = BASS_MusicLoad(TRUE, mod.data(), 0, static_cast<DWORD>(mod.size()), 0);
  HMUSIC loop = BASS_MusicLoad(TRUE, mod.data(), 0, static_cast<DWORD>(mod.size()), BASS_MUSIC_LOOP);
  BASS_MusicPlay(once);
  BASS_MusicPlay(loop);
  Pull(44100 * 2);
  EXPECT_EQ(BASS_ChannelIsActive(once), BASS_ACTIVE_STOPPED);
  EXPECT_EQ(BASS_ChannelIsActive(loop), BASS_ACTIVE_PLAYING);
}

}  // namespace
