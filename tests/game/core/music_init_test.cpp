// Music start-up and shut-down of the application frame, with the dummy audio driver and with
// no usable audio driver at all, and the harness's device choice put back after its start.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "game/core/WinMain.h"
#include "platform/audio/bass.h"
#include "tests/support/game_harness.h"
#include "tests/support/scoped_env.h"

namespace {

TEST(MusicSystem, StartsOnTheDummyDriverAndShutsDown) {
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  ASSERT_TRUE(Init_Music());
  EXPECT_TRUE(g_Music_Available);
  EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr)) << "the player is running";
  Term_Music();
  EXPECT_FALSE(g_Music_Available);
  EXPECT_FALSE(BASS_Start()) << "the player is shut down";
  Term_Music();  // again: harmless
  EXPECT_FALSE(g_Music_Available);
}

// Without a usable audio driver the music system still starts, on the silent player: one line
// on stderr says why there is no sound, and nothing names a Windows library.
TEST(MusicSystem, NoAudioDeviceRunsTheMusicSystemSilent) {
  ScopedEnv driver("SDL_AUDIODRIVER", "no_such_audio_driver");
  testing::internal::CaptureStderr();
  const bool started = Init_Music();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(started);
  EXPECT_TRUE(g_Music_Available);
  EXPECT_NE(said.find("No sound device could be opened"), std::string::npos) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_EQ(said.find("bass.dll"), std::string::npos) << said;
  Term_Music();
  EXPECT_FALSE(g_Music_Available);
}

// A start of the whole program in the harness leaves the program's own output device choice
// as it found it: the music system of a later start in the process opens the default device.
TEST(MusicSystem, TheHarnessLeavesTheOutputDeviceChoiceAsItWas) {
  const int before = g_Music_Output_Device;
  {
    vt_test::Game_Harness harness;
    std::string error;
    ASSERT_TRUE(harness.Prepare(&error)) << error;
    ASSERT_TRUE(harness.Start());
    harness.Shut_Down();
  }
  EXPECT_EQ(g_Music_Output_Device, before);
  EXPECT_EQ(g_Music_Output_Device, -1) << "the default device";
}

}  // namespace
