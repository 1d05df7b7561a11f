// Music start-up and shut-down of the application frame, with the dummy audio driver and with
// no usable audio driver at all.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "game/core/WinMain.h"
#include "platform/audio/bass.h"

namespace {

class AudioDriver {
 public:
  explicit AudioDriver(const char* name) {
    const char* old = std::getenv("SDL_AUDIODRIVER");
    m_Had = old != nullptr;
    if (m_Had) m_Old = old;
    setenv("SDL_AUDIODRIVER", name, 1);
  }
  ~AudioDriver() {
    if (m_Had) setenv("SDL_AUDIODRIVER", m_Old.c_str(), 1);
    else unsetenv("SDL_AUDIODRIVER");
  }

 private:
  bool m_Had = false;
  std::string m_Old;
};

TEST(MusicSystem, StartsOnTheDummyDriverAndShutsDown) {
  AudioDriver driver("dummy");
  ASSERT_TRUE(Init_Music());
  EXPECT_TRUE(g_Music_Available);
  EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr)) << "the player is running";
  Term_Music();
  EXPECT_FALSE(g_Music_Available);
  EXPECT_FALSE(BASS_Start()) << "the player is shut down";
  Term_Music();  // again: harmless
  EXPECT_FALSE(g_Music_Available);
}

TEST(MusicSystem, NoAudioDeviceLeavesTheGameWithoutMusic) {
  AudioDriver driver("no_such_audio_driver");
  EXPECT_FALSE(Init_Music());
  EXPECT_FALSE(g_Music_Available);
  uint8_t not_a_sample[16] = {};
  EXPECT_EQ(BASS_SampleLoad(TRUE, not_a_sample, 0, sizeof not_a_sample, 1, 0), 0u);
  Term_Music();
  EXPECT_FALSE(g_Music_Available);
}

}  // namespace
