// The road of one training simulation from start-up: the console's banner, a new login typed and
// confirmed, the move to the simulator, a simulation picked from its list and run by its button,
// the gun fired at what the track throws until the music ends the run into its summary, and
// "Return to Trainer". The files on disk then hold the run, and a second start loads them back.
#include <cstdio>
#include <string>

#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/core/CWorld_Object.h"
#include "game/core/Settings.h"
#include "game/menu/CMenuItem_List.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/trainer/CClient_Data.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CForum_Data.h"
#include "game/trainer/CMenu_Console.h"
#include "game/trainer/CMenu_Simulator.h"
#include "game/trainer/CRank_Data.h"
#include "game/trainer/Sim_Table.h"
#include "platform/window/window.h"
#include "tests/game/whole/game_road.h"
#include "tools/content/sim_content.h"

namespace {

constexpr const char* kUser = "Rookie";
constexpr int kSim_List = 1;
constexpr int kRecords_List = 4;
// The first simulation of the list after the random entry: open at access level 0.
constexpr int kFirst_Sim_Row = 1;
// The road reads no pixels: of its long stretches (the launch, the run, the summary's silence,
// the way back) only every n-th frame is drawn; drawn frames keep the sweep of dead objects going.
constexpr int kDraw_Every = 8;

CMenuItem_List* Simulator_List(int id) {
  return static_cast<CMenuItem_List*>(g_Menu_Mgr.m_Simulator.m_Panel.Find_Item(id, kItem_List));
}

// The statistics summary of a finished run is the open dialog, with its button.
bool Summary_Shown() {
  if (!g_Modal_Dlg.Is_Open() || g_Modal_Dlg.Mode() != CModal_Dlg::kMode_Panel) return false;
  const auto& items = g_Modal_Dlg.m_Panel.Items();
  if (items.empty()) return false;
  auto* title = dynamic_cast<CMenuItem_Text*>(items.front());
  return title && !title->m_Lines.empty() && title->m_Lines.front() == "Simulation Statistics Summary" &&
         vt_test::Find_Button(g_Modal_Dlg.m_Panel, "Return to Trainer");
}

// The playing time of the simulation's module as the content writes it.
double Music_Seconds(uint32_t music_id) {
  for (const content::SimContentRow& row : content::kSimRows)
    if (row.music_id == music_id)
      return content::SimMusicLength(content::SimMusicSpec(row.music_id, row.seconds, row.title));
  return 0.0;
}

std::string Track_Key(const Sim_Entry& row) {
  char key[16];
  std::snprintf(key, sizeof key, "%d", static_cast<int>(row.Track_Id));
  return key;
}

// What a run leaves behind, as the test saw it while playing.
struct Played_Run {
  uint32_t score = 0;
  uint32_t credits = 0;
  uint32_t access_level = 0;
  std::string key;
};

class TrainingRoad : public GameRoad {
 protected:
  // From start-up to the simulator screen after the run's summary.
  void Play_Road();
  Played_Run run;
};

void TrainingRoad::Play_Road() {
  CMenu_Console& console = g_Menu_Mgr.m_Console;
  ASSERT_TRUE(Step_Until(
      [&] { return console.m_Prompt_State == CMenu_Console::kPrompt_Login && console.m_Pending.empty(); }, 400, 16))
      << "the banner ends at the login prompt";
  bool banner = false;
  for (const CMenu_Console::Output_Line& line : console.m_Lines) banner |= line.text == "Vorthane";
  EXPECT_TRUE(banner) << "the banner names the trainer";
  ASSERT_TRUE(Log_In(kUser, true)) << "the new login moves on to the simulator";
  ASSERT_TRUE(Turn_Mirrors_Off());
  Draw_Sparse_Every(kDraw_Every);

  // The simulation page: the list starts on the random entry; one row down is the first
  // simulation, which the "Run Simulation" button launches.
  CMenuItem_List* list = Simulator_List(kSim_List);
  ASSERT_NE(list, nullptr);
  for (int presses = 0; presses < 10 && list->m_Selected < kFirst_Sim_Row; ++presses) {
    game().Key(VK_DOWN);
    game().Step(2, 16);
  }
  ASSERT_EQ(list->m_Selected, kFirst_Sim_Row);
  const Sim_Entry& row = g_Sim_Table[kFirst_Sim_Row];
  run.key = Track_Key(row);
  ASSERT_TRUE(Click_Button(g_Menu_Mgr.m_Simulator.m_Panel, "Run Simulation"));
  ASSERT_TRUE(Step_Sparse_Until([] { return g_Game.Get_Mode() == kMode_Simulation; }, 200))
      << "the launch sequence starts the run";
  ASSERT_TRUE(g_Music_Track.Is_Running());
  EXPECT_EQ(g_Music_Track.m_Sim_Key, run.key);
  const size_t launched = harness.Audio_Frame_Peaks().size();
  const uint32_t launched_ms = harness.Now();

  // Fire at what the track throws until the music ends the run.
  int fired = 0;
  for (int frame = 0; frame < 4000 && !Summary_Shown(); ++frame) {
    if (Aim_And_Fire_Sparse()) ++fired;
    Step_Sparse(kFrame_Ms);
  }
  ASSERT_TRUE(Summary_Shown()) << "the run ends into its statistics summary";
  EXPECT_GT(fired, 20) << "the track threw targets to fire at";
  const double music_seconds = Music_Seconds(row.Music_Id);
  ASSERT_GT(music_seconds, 60.0);
  EXPECT_GE((harness.Now() - launched_ms) / 1000.0, music_seconds - 1.0) << "the run lasts its music";
  run.score = g_Score_Board_Mgr.m_Total_Score;
  EXPECT_GT(run.score, 0u);
  EXPECT_GT(Peak(launched + 20, launched + 300), 1000) << "the run's music is heard";
  const size_t ended = harness.Audio_Frame_Peaks().size();
  for (int frame = 0; frame < 40; ++frame) Step_Sparse(kFrame_Ms);
  EXPECT_EQ(Peak(ended + 10, ended + 40), 0) << "silence under the summary: no sound that never stops";

  ASSERT_TRUE(Click_Button(g_Modal_Dlg.m_Panel, "Return to Trainer"));
  ASSERT_TRUE(Step_Sparse_Until(vt_test::Simulator_Open, 400));
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Menus);
  EXPECT_FALSE(g_Music_Track.Is_Running());
  g_Communications_Mgr.m_Client_Data.Use_Loaded([this](CClient_Data& account) {
    run.credits = account.m_Credits;
    run.access_level = account.m_Access_Level;
  });
}

// The simulator page shows the user's score among the records of the simulation.
void Expect_Record_Shown(const std::string& user, uint32_t score) {
  CMenuItem_List* list = Simulator_List(kSim_List);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->m_Selected, kFirst_Sim_Row) << "the list remembers the simulation run";
  CMenuItem_List* records = Simulator_List(kRecords_List);
  ASSERT_NE(records, nullptr);
  bool shown = false;
  for (const CMenuItem_List::Row& row : records->m_Rows)
    shown |= row.columns.size() == 2 && row.columns[0].find(user) != std::string::npos &&
             row.columns[1] == Format_Number_Grouped(score);
  EXPECT_TRUE(shown) << "the record of the run is on the simulator page";
}

TEST_F(TrainingRoad, FromStartUpThroughARunToTheFilesOnDiskAndBackAtASecondStart) {
  harness.Render_Audio_To_Buffer(true);
  // The smallest display mode: the road is long.
  ASSERT_TRUE(Reg_Write_DWORD(kSettings_Key, "Display_Resolution", 0));
  Start();
  Play_Road();
  if (HasFatalFailure()) return;
  Expect_Record_Shown(kUser, run.score);
  harness.Shut_Down();

  // The files on disk.
  CClient_Data account;
  ASSERT_TRUE(account.Load(kUser));
  EXPECT_EQ(account.m_Runs_Finished, 1u);
  EXPECT_EQ(account.m_Credits, run.credits);
  EXPECT_GT(account.m_Credits, 0u) << "the run earned credits";
  EXPECT_EQ(account.m_Access_Level, run.access_level);
  EXPECT_EQ(account.m_Header[CClient_Data::kHeader_Selected_Sim_Row], static_cast<uint32_t>(kFirst_Sim_Row));

  CRank_Data ranks;
  ASSERT_TRUE(ranks.Load());
  EXPECT_EQ(ranks.Get_Score(run.key.c_str(), kUser), run.score) << "the score under the track's key";

  CForum_Data forum;
  ASSERT_TRUE(forum.Load());
  int to_user = 0;
  for (const Forum_Message& message : forum.m_Posted)
    if (std::string(message.Record.Recipient) == kUser && message.Record.Id >> 24 != 0) {
      ++to_user;
      EXPECT_TRUE(forum.m_Delivered.count(message.Record.Id) || message.Record.Type == kMessage_Repeatable)
          << "a delivered communication is in the delivered set";
    }
  EXPECT_GT(to_user, 0) << "the login's story message was delivered to the user";
  const size_t posted = forum.m_Posted.size();

  uint32_t mirrors = 1;
  ASSERT_TRUE(Reg_Read_DWORD(kSettings_Key, "Mirrors_Enable", mirrors));
  EXPECT_EQ(mirrors, 0u) << "the settings were saved";

  // A second start on the same files: the same name logs in to the account it left.
  Start_Again();
  if (HasFatalFailure()) return;
  EXPECT_FALSE(g_Game_State.Mirrors_Enable) << "the settings are read back";
  ASSERT_TRUE(Log_In(kUser, false)) << "the account exists: no creation question";
  g_Communications_Mgr.m_Client_Data.Use_Loaded([&](CClient_Data& loaded) {
    EXPECT_EQ(loaded.m_Runs_Finished, 1u);
    EXPECT_EQ(loaded.m_Credits, run.credits);
    EXPECT_EQ(loaded.m_Access_Level, run.access_level);
  });
  Expect_Record_Shown(kUser, run.score);
  EXPECT_GE(g_Communications_Mgr.m_Forum_Data.m_Posted.size(), posted) << "the forum's messages are read back";
  for (const Forum_Message& message : forum.m_Posted)
    EXPECT_TRUE(g_Communications_Mgr.m_Forum_Data.Has_Message(message.Record.Id)) << message.Record.Subject;
  EXPECT_TRUE(messages.empty()) << messages.front();
}

}  // namespace
