// A run on the fake clock: the event walk, pause, the end on the music's stop or on request,
// the shared grace, the War Room closings and the music in the rendered mix.
#include <algorithm>

#include "game/core/CCamera.h"
#include "game/core/CGame_State.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/trainer/CClient_Data.h"
#include "game/trainer/CRank_Data.h"
#include "game/targets/CEjector_Box.h"
#include "game/targets/CStruct_Light_Wall.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "tests/support/recording_sound_mgr.h"
#include "tests/game/sim/sim_run.h"

namespace {

using writers::TrackEvent;
using writers::TrackSpec;

TrackSpec One_Section(float length, std::vector<TrackEvent> events) {
  TrackSpec spec;
  spec.length = length;
  spec.sections = {std::move(events)};
  return spec;
}

bool Dialog_Shows_Summary() {
  if (!g_Modal_Dlg.Is_Open() || g_Modal_Dlg.Mode() != CModal_Dlg::kMode_Panel) return false;
  const auto& items = g_Modal_Dlg.m_Panel.Items();
  if (items.empty()) return false;
  auto* title = dynamic_cast<CMenuItem_Text*>(items.front());
  auto* button = dynamic_cast<CMenuItem_Button*>(items.back());
  return title && !title->m_Lines.empty() && title->m_Lines.front() == "Simulation Statistics Summary" && button &&
         button->m_Caption == "Return to Trainer";
}

// Steps one frame of ms, drawn only when it is the 25th in a row (a second of the run at 40 ms):
// the runs below check what the game's updates do, and drawing is most of a frame's cost.
void Step_Mostly_Undrawn(vt_test::Game_Harness& harness, int frame, uint32_t ms) {
  if (frame % 25 == 24)
    harness.Step(1, ms);
  else
    harness.Step_Undrawn(1, ms);
}

// Clicks the summary's "Return to Trainer" button.
void Click_Return_To_Trainer(vt_test::Game_Harness& harness) {
  const float sw = g_Camera.Screen_Width(), sh = g_Camera.Screen_Height();
  harness.Move_Mouse(static_cast<int>(0.74f * sw), static_cast<int>(0.75f * sh));
  harness.Step(2, 16);
  harness.Left_Down();
  harness.Step(1, 16);
  harness.Left_Up();
  harness.Step(5, 16);
}

TEST_F(SimRun, AFrameStartsThenEndsThenRunsTheDuePointsOfAnEvent) {
  Launch();
  // Starts at 0.5 - 0.15 s and ends 0.01 s later: one 40 ms frame passes both.
  Replace_Track(One_Section(10.0f, {TrackEvent{4, 0, 0, 0.05f, 0.0505f, {{0, 0.0f, 0}, {0, 0.004f, 0}}}}));
  harness.Step(12, 40);
  std::vector<std::string> track_steps;
  for (const std::string& s : trace)
    if (s.rfind("track event", 0) == 0) track_steps.push_back(s);
  const std::vector<std::string> expected = {"track event start", "track event end", "track event point",
                                             "track event point"};
  EXPECT_EQ(track_steps, expected);
}

TEST_F(SimRun, AnEventStartsInTheFirstFrameWhoseClockReachesItsConvertedStart) {
  Launch();
  Replace_Track(One_Section(20.0f, {TrackEvent{1, 0, 0, 0.1f, 0.5f, {}}}));
  const float start = g_Music_Track.m_Sections[0].events[0].start;
  ASSERT_NEAR(start, 1.85f, 1e-5f);
  for (int frame = 0; frame < 80; ++frame) {
    const float before = g_Music_Track.m_Clock;
    const int starts = Count("track event start");
    harness.Step_Undrawn(1, 33);
    const bool reached = before < start && start <= g_Music_Track.m_Clock;
    EXPECT_EQ(Count("track event start") - starts, reached ? 1 : 0) << "frame " << frame;
    EXPECT_EQ(g_Music_Track.m_Sections[0].events[0].objects[0] != nullptr, g_Music_Track.m_Clock >= start);
  }
}

TEST_F(SimRun, WhilePausedTheClockStandsAndNothingIsDispatchedOrEnded) {
  Launch();
  Replace_Track(One_Section(4.0f, {TrackEvent{1, 0, 0, 0.2f, 0.9f, {}}}));
  const bool paused = true, running = false;
  Set_Game_Paused(paused);
  harness.Step_Undrawn(299, 40);
  harness.Step(1, 40);
  EXPECT_EQ(g_Music_Track.m_Clock, 0.0f);
  EXPECT_EQ(Count("track event start"), 0);
  EXPECT_FALSE(g_Modal_Dlg.Is_Open());
  EXPECT_FALSE(g_Music_Track.m_Ended);
  Set_Game_Paused(running);
  harness.Step(2, 40);
  EXPECT_GT(g_Music_Track.m_Clock, 0.0f);
  EXPECT_LT(g_Music_Track.m_Clock, 0.1f) << "the paused time is not counted";
}

TEST_F(SimRun, KindFifteenEndsTheRunWhileTheMusicStillPlays) {
  Launch();
  Replace_Track(One_Section(8.0f, {TrackEvent{15, 0, 0, 0.1f, 0.2f, {}}}));
  harness.Step_Undrawn(19, 40);
  harness.Step(1, 40);
  EXPECT_TRUE(g_Music_Track.m_End_Requested);
  EXPECT_TRUE(Dialog_Shows_Summary());
  EXPECT_TRUE(g_Music_Track.m_Ended);
  EXPECT_EQ(g_Music_Track.m_Clock, CMusic_Track::kEnded_Clock);
}

TEST_F(SimRun, RemainingObjectsHoldTheEndForFiveSecondsOfRealTimeInAll) {
  Launch();
  Replace_Track(One_Section(8.0f, {TrackEvent{15, 0, 0, 0.05f, 0.1f, {}}}));
  // An ejector no event holds: it stays until the grace runs out.
  CWorld_Object* stray = g_Object_Pools[CEjector_Box::kType]->Alloc_Object();
  ASSERT_NE(stray, nullptr);
  static_cast<CEjector_Box*>(stray)->Spawn(0u, CVector3{500.0f, 0.0f, 500.0f});
  g_World.Add_Object(1, stray);
  int frames_in_grace = 0;
  for (int frame = 0; frame < 400 && !g_Modal_Dlg.Is_Open(); ++frame) {
    Step_Mostly_Undrawn(harness, frame, 50);
    if (g_Music_Track.m_Clock == CMusic_Track::kEnded_Clock && !g_Modal_Dlg.Is_Open()) ++frames_in_grace;
  }
  EXPECT_TRUE(Dialog_Shows_Summary());
  EXPECT_NEAR(frames_in_grace * 0.05f, 5.0f, 0.11f);
  EXPECT_LE(g_Music_Track.m_Grace_Time, 0.0f);
}

TEST_F(SimRun, TheShortTrackPlaysItsMusicLightsItsLanesAndEndsIntoTheSummary) {
  harness.Render_Audio_To_Buffer(true);
  Launch(2);
  ASSERT_NE(g_Music_Track.m_Music_Channel, 0u);
  int lit = 0;
  int frames = 0;
  for (; frames < 1000 && !g_Modal_Dlg.Is_Open(); ++frames) {
    Step_Mostly_Undrawn(harness, frames, 40);
    for (int n = 0; CWorld_Object* wall = g_World.Find_Object_By_Type(CStruct_Light_Wall::kType, n); ++n)
      lit = std::max<int>(lit, static_cast<CStruct_Light_Wall*>(wall)->m_Glow > 0.0f ? n + 1 : 0);
  }
  ASSERT_TRUE(Dialog_Shows_Summary()) << frames;
  EXPECT_GT(lit, 0) << "lane walls lit";
  const float length = static_cast<float>(content::SimMusicLength(content::SimMusicSpec(
      content::kLaneMusicIds[2], content::kLaneMusicSeconds[2], "")));
  EXPECT_GE(frames * 0.04f, length - 0.2f) << "the run lasts its music";
  const std::vector<int>& peaks = harness.Audio_Frame_Peaks();
  ASSERT_GE(peaks.size(), 60u);
  int loud = 0;
  for (size_t i = 10; i < 60; ++i) loud += peaks[i] > 200 ? 1 : 0;
  EXPECT_GT(loud, 40) << "music during the run";
  harness.Step(30, 40);
  const std::vector<int>& after = harness.Audio_Frame_Peaks();
  EXPECT_EQ(*std::max_element(after.end() - 20, after.end()), 0) << "silence after the end";
  // The dialog's button returns to the trainer.
  Click_Return_To_Trainer(harness);
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Menus);
  EXPECT_FALSE(g_Music_Track.Is_Running());
}

// The road of a training run from the menus: the launch sequence starts the short track, the
// player hits what it spawns, the run ends into its summary, and the score table and the account
// on disk hold the run; the summary's button leads back to the simulator screen.
TEST_F(SimRun, ALaunchSequenceRunsTheTrackAndTheSummaryWritesTheScoreAndTheAccount) {
  harness.Render_Audio_To_Buffer(true);
  ASSERT_TRUE(harness.Start());
  const std::string user = "trainee";
  g_Menu_Mgr.m_Console.m_User_Name = user;
  std::string error;
  ASSERT_TRUE(harness.Run_Script("sequence 6 7 1 0x220003E1 0x220003F1\n", "", &error)) << error;
  for (int frame = 0; frame < 400 && g_Game.Get_Mode() != kMode_Simulation; ++frame)
    Step_Mostly_Undrawn(harness, frame, 40);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation) << "the launch sequence reached its launch";
  ASSERT_TRUE(g_Music_Track.Is_Running());

  int hits = 0;
  for (int frame = 0; frame < 2000 && !g_Modal_Dlg.Is_Open(); ++frame) {
    if (frame % 10 == 0) hits += harness.Hit_Targets(1);
    Step_Mostly_Undrawn(harness, frame, 40);
  }
  ASSERT_TRUE(Dialog_Shows_Summary());
  ASSERT_GT(hits, 0) << "the track spawned targets to hit";
  const uint32_t score = g_Score_Board_Mgr.m_Total_Score;
  EXPECT_GT(score, 0u);

  CRank_Data ranks;
  ASSERT_TRUE(ranks.Load());
  const std::string key = std::to_string(0x220003E1);
  const Rank_Entry* first = ranks.Get_Entry(key.c_str(), 0);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->Name, user.c_str());
  EXPECT_EQ(first->Score, score);

  CClient_Data account;
  ASSERT_TRUE(account.Load(user.c_str()));
  EXPECT_EQ(account.m_Runs_Finished, 1u);
  EXPECT_GE(account.m_Credits, 250u);

  harness.Step(30, 40);
  Click_Return_To_Trainer(harness);
  EXPECT_FALSE(g_Modal_Dlg.Is_Open());
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Menus);
  EXPECT_TRUE(g_Menu_Mgr.m_Simulator.m_Visible) << "back on the simulator screen";
  EXPECT_TRUE(messages.empty()) << messages.front();
}

// ---------------------------------------------------------------------------------------------
// War Room closings

class WarRoomClosing : public SimRun {
 protected:
  void SetUp() override {
    SimRun::SetUp();
    saved = g_WarRoom_Sim;
  }
  void TearDown() override {
    SimRun::TearDown();
    g_WarRoom_Sim = saved;
  }
  std::vector<int32_t> Kinds() const {
    std::vector<int32_t> kinds;
    for (const CSequence* sequence : g_Sequence_Mgr.Running()) kinds.push_back(sequence->kind);
    return kinds;
  }
  CWarRoom_Sim saved;
};

TEST_F(WarRoomClosing, EachOutcomeStartsItsClosingOnceWithItsSound) {
  constexpr uint32_t kSource = 0x220001CA, kCleared = 0x22000127, kBreached = 0x220001C8;
  struct Case {
    const char* name;
    float time_remaining;
    bool success;
    bool meteorite;
    int32_t kind;
    std::vector<uint32_t> sounds;
  } cases[] = {
      {"early end", 0.5f, true, false, 7, {}},
      {"site cleared", 2.0f, true, false, 8, {kCleared}},
      {"shields breached", 2.0f, false, false, 9, {kBreached}},
      {"source found", 0.5f, true, true, 8, {kSource}},
      {"shields breached after the source was found", 2.0f, false, true, 9, {kSource}},
  };
  Launch(1, kCommand_Launch_Site);
  const float saved_volume = g_Game_State.SoundFX_Volume;
  g_Game_State.SoundFX_Volume = 1.0f;
  for (const Case& c : cases) {
    g_Sequence_Mgr.Clear();
    // The time left is the distance the infection still has to grow over its growth rate.
    g_WarRoom_Sim.m_Growth_Rate = 1.0f;
    g_WarRoom_Sim.m_Farthest_Distance = 10.0f;
    g_WarRoom_Sim.m_Infection_Radius = 10.0f - c.time_remaining;
    g_WarRoom_Sim.m_Disinfection_Mode = c.meteorite;
    g_Music_Track.m_Ended = false;
    Recording_Sound_Mgr sound;
    g_Music_Track.End_Sim(c.success);
    g_Music_Track.End_Sim(!c.success);
    EXPECT_EQ(Kinds(), std::vector<int32_t>{c.kind}) << c.name;
    EXPECT_EQ(g_Music_Track.m_Result, c.success) << c.name;
    EXPECT_EQ(sound.Played(), c.sounds) << c.name;
    for (const Recording_Sound_Mgr::Call& play : sound.Plays()) EXPECT_FLOAT_EQ(play.volume, 0.925f) << c.name;
  }
  g_Game_State.SoundFX_Volume = saved_volume;
}

TEST_F(WarRoomClosing, ASuccessKillsTheRunsObjectsAndFindsTheSourceAFailureKillsNothing) {
  Launch(1, kCommand_Launch_Site);
  Replace_Track(One_Section(30.0f, {TrackEvent{11, 0, 0, 0.01f, 0.9f, {}}, TrackEvent{1, 0, 0, 0.01f, 0.9f, {}}}));
  harness.Step(10, 40);
  CTrack_Event& boss_event = g_Music_Track.m_Sections[0].events[0];
  ASSERT_NE(boss_event.objects[0], nullptr);
  CWorld_Object* boss = boss_event.objects[0];
  // A boss that counts as a target, as one does once hits on it count.
  boss->m_Kind_Flags |= 0x01;
  g_WarRoom_Sim.m_Disinfection_Mode = false;
  g_Music_Track.End_Sim(false);
  EXPECT_EQ(boss->m_Kill_Timer, 0.0f);
  EXPECT_EQ(boss_event.objects[0], boss);
  g_Music_Track.m_Ended = false;
  g_Music_Track.End_Sim(true);
  EXPECT_GT(boss->m_Kill_Timer, 0.0f);
  EXPECT_EQ(boss_event.objects[0], nullptr) << "the boss left the event";
  EXPECT_EQ(g_Music_Track.m_Sections[0].events[1].objects[0], nullptr) << "so did the ejector";
  EXPECT_TRUE(g_WarRoom_Sim.m_Disinfection_Mode);
}

}  // namespace

namespace {

TEST_F(SimRun, ASiteMissionShowsItsPanelAtTheTopRight) {
  Launch(1, kCommand_Launch_Site);
  harness.Step_Undrawn(59, 40);
  harness.Step(1, 40);
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(harness.Read_Back(pixels, width, height));
  const auto grey_metal = [&](float fx, float fy) {
    const uint32_t c = pixels[static_cast<uint32_t>(fy * height) * width + static_cast<uint32_t>(fx * width)];
    const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    return r > 60 && std::abs(r - g) < 30 && std::abs(g - b) < 30;
  };
  const auto brightness = [&](float fx, float fy) {
    const uint32_t c = pixels[static_cast<uint32_t>(fy * height) * width + static_cast<uint32_t>(fx * width)];
    return static_cast<int>(((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF));
  };
  EXPECT_TRUE(grey_metal(0.75f, 0.07f)) << "the panel";
  // The other side shows the sky over the fence, or the dim mirror wall reflecting it.
  EXPECT_GT(brightness(0.75f, 0.07f), brightness(0.25f, 0.07f) + 150) << "the other side of the sky";
}

}  // namespace

namespace {

TEST_F(SimRun, ALaunchWhoseTrackCannotLoadFailsWithAMessageNamingIt) {
  ASSERT_TRUE(harness.Start());
  const uint32_t missing = 0x22FFFE01;
  const int missing_id = static_cast<int>(missing), music = static_cast<int>(content::kLaneMusicIds[0]);
  g_Menu_Mgr.Command(kCommand_Launch_Training, 0, missing_id, music);
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Menus);
  EXPECT_FALSE(g_Music_Track.Is_Running());
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages.back().find(std::to_string(missing)), std::string::npos) << messages.back();
}

}  // namespace
