// The whole program on a machine where no sound device can be opened: it starts without a
// warning box, says once on stderr that it runs silent, and a training run plays its music to
// the end on the silent device, into its summary with a recorded score.
#include <cstdlib>
#include <optional>
#include <string>

#include "game/core/CGame.h"
#include "game/core/Settings.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/trainer/CRank_Data.h"
#include "tests/game/core/running_game.h"
#include "tests/support/scoped_env.h"
#include "tools/content/sim_content.h"

namespace {

constexpr int kEnvironment = 0;
constexpr uint32_t kFrame_Ms = 100;

bool Summary_Shown() {
  if (!g_Modal_Dlg.Is_Open() || g_Modal_Dlg.Mode() != CModal_Dlg::kMode_Panel) return false;
  const auto& items = g_Modal_Dlg.m_Panel.Items();
  if (items.empty()) return false;
  auto* title = dynamic_cast<CMenuItem_Text*>(items.front());
  return title && !title->m_Lines.empty() && title->m_Lines.front() == "Simulation Statistics Summary";
}

size_t Lines_Naming_Sound(const std::string& text) {
  size_t lines = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    lines += line.find("sound") != std::string::npos || line.find("Sound") != std::string::npos ||
             line.find("bass") != std::string::npos;
    start = end + 1;
  }
  return lines;
}

// The test's own audio driver, one that cannot open: not the dummy the test environment asks for.
class SilentSink : public RunningGame {
 protected:
  void SetUp() override {
    driver.emplace("SDL_AUDIODRIVER", "no_such_audio_driver");
    RunningGame::SetUp();
  }
  void TearDown() override {
    RunningGame::TearDown();
    driver.reset();
  }
  std::optional<ScopedEnv> driver;
};

TEST_F(SilentSink, WithoutASoundDeviceATrainingRunLastsItsMusicAndEndsWithAScore) {
  ASSERT_TRUE(Reg_Write_DWORD(kSettings_Key, "Display_Resolution", 0));  // the smallest picture
  harness.Use_Output_Device(true);
  testing::internal::CaptureStderr();
  const bool started = harness.Start();
  const std::string said_at_start = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(started);
  EXPECT_TRUE(g_Music_Available) << "the music system runs, silent";
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_EQ(Lines_Naming_Sound(said_at_start), 1u) << said_at_start;
  EXPECT_NE(said_at_start.find("No sound device could be opened"), std::string::npos) << said_at_start;

  const std::string user = "trainee";
  g_Menu_Mgr.m_Console.m_User_Name = user;
  const uint32_t track = content::kLaneTrackIds[kEnvironment];
  const uint32_t music = content::kLaneMusicIds[kEnvironment];
  testing::internal::CaptureStderr();
  g_Menu_Mgr.Command(kCommand_Launch_Training, kEnvironment, static_cast<int>(track), static_cast<int>(music));
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  ASSERT_TRUE(g_Music_Track.Is_Running());
  EXPECT_NE(g_Music_Track.m_Music_Channel, 0u) << "the module loads on the silent device";
  const uint32_t launched_ms = harness.Now();

  int hits = 0;
  for (int frame = 0; frame < 400 && !Summary_Shown(); ++frame) {
    if (frame % 5 == 0) hits += harness.Hit_Targets(1);
    // The test reads no pixels: one frame in four is drawn (drawn frames sweep the dead targets).
    if (frame % 4 == 3) harness.Step(1, kFrame_Ms);
    else harness.Step_Undrawn(1, kFrame_Ms);
  }
  const std::string said_in_run = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(Summary_Shown());
  const double played = (harness.Now() - launched_ms) / 1000.0;
  const double length =
      content::SimMusicLength(content::SimMusicSpec(music, content::kLaneMusicSeconds[kEnvironment], ""));
  EXPECT_GE(played, length - 0.2) << "the run lasts its music";
  EXPECT_LE(played, length + 6.0) << "and ends after it, within the grace for what remains";
  EXPECT_GT(hits, 0) << "the track threw targets";
  const uint32_t score = g_Score_Board_Mgr.m_Total_Score;
  EXPECT_GT(score, 0u);
  EXPECT_EQ(Lines_Naming_Sound(said_in_run), 0u) << said_in_run;

  CRank_Data ranks;
  ASSERT_TRUE(ranks.Load());
  const Rank_Entry* first = ranks.Get_Entry(std::to_string(track).c_str(), 0);
  ASSERT_NE(first, nullptr) << "the score was recorded";
  EXPECT_STREQ(first->Name, user.c_str());
  EXPECT_EQ(first->Score, score);
  EXPECT_TRUE(messages.empty()) << messages.front();
}

}  // namespace
