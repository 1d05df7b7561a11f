#pragma once
// A fixture that runs the whole program on the generated content, launches a short lane track
// and lets a test replace the track's events with its own, written through the track writer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/core/CGame.h"
#include "game/core/Frame_Trace.h"
#include "game/core/CGame_State.h"
#include "game/core/CWorld.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/sim/CBrain_Game_Basic.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/message_box.h"
#include "tests/support/game_harness.h"
#include "tools/content/sim_content.h"
#include "tools/writers/track_writer.h"

class SimRun : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::Set_Message_Recorder([this](const std::string&, const std::string& text) { messages.push_back(text); });
    Set_Frame_Trace_Recorder([this](const char* step) { trace.emplace_back(step); });
    std::string error;
    ASSERT_TRUE(harness.Prepare(&error)) << error;
  }
  void TearDown() override {
    harness.Shut_Down();
    Set_Frame_Trace_Recorder(nullptr);
    plat::Set_Message_Recorder(nullptr);
  }

  // Starts the program and launches the short lane track of environment 0.
  void Launch(int environment = 0, int code = kCommand_Launch_Training) {
    ASSERT_TRUE(harness.Start());
    const int track = static_cast<int>(content::kLaneTrackIds[environment]);
    const int music = static_cast<int>(content::kLaneMusicIds[environment]);
    g_Menu_Mgr.Command(code, environment, track, music);
    ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
    ASSERT_TRUE(g_Music_Track.Is_Running());
  }

  // Launches a War Room site mission in environment 1 and gives its game brain: a site mission
  // flies in a started region, with the shuttle at a site; the sequencer starts empty.
  void Launch_Site_Mission(CBrain_Game_Basic*& brain) {
    Launch(1, kCommand_Launch_Site);
    ASSERT_NE(g_Game_State.m_Brain, nullptr);
    ASSERT_EQ(g_Game_State.m_Brain->m_Kind, CBrain::kGame_Rules);
    brain = static_cast<CBrain_Game_Basic*>(g_Game_State.m_Brain);
    if (!g_WarRoom_Sim.m_Initialised) {
      ASSERT_TRUE(g_WarRoom_Sim.Init(1));
    }
    ASSERT_GE(g_WarRoom_Sim.m_Current_Site, 0);
    g_Sequence_Mgr.Clear();
  }

  // Replaces the running track's events with those of the given track description (the clock goes back to 0; the music
  // plays on) and sweeps away what the launch placed.
  void Replace_Track(const writers::TrackSpec& spec) {
    g_Music_Track.m_Sections.clear();
    for (int n = 0; CWorld_Object* object = g_World.Get_Object(n); ++n) object->m_Kill_Timer = 1.0f;
    harness.Step(1);
    writers::Bytes bytes;
    writers::WriteTrack(spec, bytes);
    std::string error;
    ASSERT_TRUE(g_Music_Track.Load_Track_Bytes(bytes.data(), bytes.size(), &error)) << error;
    g_Music_Track.m_Running = true;
    g_Music_Track.m_Clock = 0.0f;
    g_Music_Track.m_Grace_Time = CMusic_Track::kGrace_Seconds;
    g_Music_Track.m_Ended = g_Music_Track.m_End_Requested = false;
    g_Music_Track.Setup_Lanes();
    trace.clear();
  }

  int Count(const char* step) const {
    int n = 0;
    for (const std::string& s : trace)
      if (s == step) ++n;
    return n;
  }

  vt_test::Game_Harness harness;
  std::vector<std::string> messages;
  std::vector<std::string> trace;
};

// A launched site mission, its game brain at hand. The campaign it starts changes the War Room
// and the difficulty factor, which outlive the program's start in this process: both are put
// back after each test, so that later tests' runs do not take them on.
class SiteMission : public SimRun {
 protected:
  void SetUp() override {
    SimRun::SetUp();
    saved = g_WarRoom_Sim;
    saved_difficulty = g_Difficulty_Factor;
    ASSERT_NO_FATAL_FAILURE(Launch_Site_Mission(brain));
  }
  void TearDown() override {
    SimRun::TearDown();
    g_WarRoom_Sim = saved;
    g_Difficulty_Factor = saved_difficulty;
  }

  CBrain_Game_Basic* brain = nullptr;

 private:
  CWarRoom_Sim saved;
  float saved_difficulty = 1.0f;
};
