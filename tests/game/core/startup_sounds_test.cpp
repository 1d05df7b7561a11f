#include <gtest/gtest.h>

#include <cstdint>

#include "runtime/src/sound/sound_mgr.h"
#include "runtime/src/sound/sound_sample.h"
#include "tests/game/core/running_game.h"

namespace {

using StartupSounds = RunningGame;

// Start-up plays its sound and preloads the effects from the generated content, each with the
// most voices of it that may sound at once.
TEST_F(StartupSounds, TheStartupSoundAndEveryPreloadAreLoadedWithTheirVoiceLimits) {
  Start();
  ASSERT_NE(g_pSoundMgr, nullptr);
  struct Expected {
    uint32_t id;
    uint32_t voices;
  };
  const Expected expected[] = {
      {0x220000DB, 1},  // the start-up sound, played before the preloads
      {0x220000DC, 2}, {0x220000E1, 4}, {0x220000F9, 5}, {0x2200014E, 3}, {0x220000FA, 1},
  };
  for (const Expected& e : expected) {
    const CSoundSample* sample = g_pSoundMgr->Find_Sample(e.id);
    ASSERT_NE(sample, nullptr) << std::hex << e.id;
    EXPECT_TRUE(sample->Data_Loaded()) << std::hex << e.id;
    EXPECT_EQ(sample->Max_Voices(), e.voices) << std::hex << e.id;
  }
  EXPECT_EQ(g_pSoundMgr->Entry_Count(), 37u) << "the start-up sound, the 35 preloads and the menu ambience";
  EXPECT_TRUE(messages.empty()) << messages.front();
}

}  // namespace
