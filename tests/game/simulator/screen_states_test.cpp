#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/game/simulator/simulator_fixture.h"

namespace {

using States = std::vector<int32_t>;

// Steps the screen until it reaches the state, noting every state it passes through.
States Run_Until(int32_t last) {
  States seen{g_Menu_Mgr.m_Simulator.m_Anim_State};
  for (int i = 0; i < 2000 && seen.back() != last; ++i) {
    g_Menu_Mgr.m_Simulator.Update(0.1f);
    if (g_Menu_Mgr.m_Simulator.m_Anim_State != seen.back()) seen.push_back(g_Menu_Mgr.m_Simulator.m_Anim_State);
  }
  return seen;
}

TEST_F(SimulatorScreen, OpensThroughStatesOneToFourAndClosesThroughFiveToZero) {
  Record_Sounds();
  g_Menu_Mgr.Command(kCommand_Simulator, 2);
  EXPECT_EQ(Run_Until(CMenu_Simulator::kOpen), (States{1, 2, 3, 4, 9}));
  EXPECT_EQ(screen().m_Current_Tab, 2) << "the page is built on the way";
  EXPECT_EQ(sounds->Count(true, 0x220000e1), 4) << "one landing sound per frame piece";
  EXPECT_EQ(sounds->Count(true, 0x220000ed), 1) << "the backdrop's sound";
  EXPECT_TRUE(g_Communications_Mgr.Is_Running());

  screen().Show(false);
  EXPECT_FALSE(g_Communications_Mgr.Is_Running()) << "hiding stops the stores";
  EXPECT_EQ(Run_Until(CMenu_Simulator::kClosed), (States{5, 6, 7, 8, 0}));
  EXPECT_EQ(screen().m_Requested_Tab, 1) << "closing resets the requested page";
  EXPECT_FALSE(screen().m_Initialised) << "the closing releases the screen";
}

// While the frame pieces arrive only they are drawn: the backdrop and the inner panel, whose
// fades are still 0, leave the picture as it was (here the right part of the view, which the
// sliding console has already left).
TEST_F(SimulatorScreen, WhileTheFramePiecesArriveNoBackdropShows) {
  g_Menu_Mgr.Command(kCommand_Simulator, 1);
  harness.Step(24, 16);
  ASSERT_EQ(screen().m_Anim_State, CMenu_Simulator::kPieces_In);
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(harness.Read_Back(pixels, width, height));
  int panel = 0, probed = 0;
  for (uint32_t y = height * 3 / 10; y < height * 7 / 10; ++y)
    for (uint32_t x = width * 65 / 100; x < width * 88 / 100; ++x, ++probed) {
      const uint32_t c = pixels[y * width + x];
      const uint32_t r = (c >> 16) & 0xff, b = c & 0xff;
      panel += r >= 0x10 && r <= 0x60 && b >= 0x40;  // the panel's grey-blue over the night
    }
  EXPECT_LT(panel, probed / 50) << "a panel drawn before its fade has begun";
  if (const char* dir = std::getenv("VT_RUN_SHOTS")) harness.Save_Png(std::string(dir) + "/simulator_pieces_in.png");
}

TEST_F(SimulatorScreen, CommandThreeWithPageZeroOrSixOpensPageOneAfterAClose) {
  for (int asked : {0, 6}) {
    Open(2);
    Close();
    Open(asked);
    EXPECT_EQ(screen().m_Current_Tab, 1) << asked;
    Close();
  }
}

TEST_F(SimulatorScreen, AnUnreadPrivateMessageOpensTheForumWhateverWasAsked) {
  Open(1);
  Forum_Message message;
  Clear_Message_Record(message.Record);
  message.Record.Id = 0x03000001;
  message.Record.Type = kMessage_Private;
  std::strcpy(message.Record.Author, "Kastor");
  std::strcpy(message.Record.Recipient, "PILOT");
  std::strcpy(message.Record.Subject, "For your eyes");
  message.Text = "Meet me on the boards.";
  ASSERT_TRUE(forum().Post(message, 0.0f, false));
  Close();
  Record_Sounds();
  Open(2);
  EXPECT_EQ(screen().m_Current_Tab, 3);
  EXPECT_EQ(sounds->Count(true, 0x22000122), 1);
  ASSERT_NE(List(1), nullptr);
  EXPECT_GE(List(1)->m_Selected, 0);
  EXPECT_EQ(Text(2), "Meet me on the boards.") << "the private message is selected at once";
  Close();
  Open(2);
  EXPECT_EQ(screen().m_Current_Tab, 2) << "once read it no longer forces the forum";
}

// ---------------------------------------------------------------------------------------------
// The War Room alert

TEST_F(SimulatorScreen, MissionDelaysFollowThePacing) {
  struct Case {
    uint32_t pacing;
    float low, high;
  } cases[] = {{0, 368.0f, 1107.0f}, {1, 117.0f, 353.0f}, {3, 50.5f, 153.0f}, {9, 50.5f, 153.0f}};
  Open(1);
  for (const Case& c : cases) {
    account().m_Pacing = c.pacing;
    float lowest = 1e9f, highest = 0.0f;
    for (int i = 0; i < 300; ++i) {
      const float delay = screen().Roll_Mission_Delay();
      lowest = std::min(lowest, delay);
      highest = std::max(highest, delay);
    }
    EXPECT_GE(lowest, c.low) << c.pacing;
    EXPECT_LE(highest, c.high) << c.pacing;
    EXPECT_LT(lowest, c.low + (c.high - c.low) * 0.1f) << "the draw spreads over the range, pacing " << c.pacing;
    EXPECT_GT(highest, c.high - (c.high - c.low) * 0.1f) << c.pacing;
  }
}

TEST_F(SimulatorScreen, AccessLevelZeroNeverGetsAnAlert) {
  Open(1);
  account().m_Access_Level = 0;
  for (int i = 0; i < 20; ++i) {
    screen().m_Alert_Timer = 0.5f;
    screen().Update(1.0f);
    EXPECT_FALSE(screen().m_Alert_Pending);
    EXPECT_GT(screen().m_Alert_Timer, 300.0f) << "the timer is rolled again";
  }
}

TEST_F(SimulatorScreen, AnUnansweredAlertBeepsAtEightyFiveAndThirtyFiveAndLapsesAfterOneHundredTwenty) {
  Open(1);
  account().m_Access_Level = 1;
  Record_Sounds();
  screen().m_Alert_Timer = 0.5f;
  screen().Update(1.0f);
  ASSERT_TRUE(screen().m_Alert_Pending);
  EXPECT_FLOAT_EQ(screen().m_Alert_Timer, 120.0f);
  ASSERT_EQ(sounds->Count(true, CMenu_Simulator::kAlert_Loop), 1);
  EXPECT_EQ(sounds->calls.back().flags, 1) << "the alarm loops";
  std::vector<float> beeps_at;
  float elapsed = 0.0f;
  while (screen().m_Alert_Pending && elapsed < 200.0f) {
    const int before = Alert_Beeps();
    screen().Update(1.0f);
    elapsed += 1.0f;
    if (Alert_Beeps() != before) beeps_at.push_back(elapsed);
  }
  // The first beep is the button lighting up (the blink reaches 1 after two units).
  EXPECT_EQ(beeps_at, (std::vector<float>{2.0f, 35.0f, 85.0f}));
  EXPECT_FLOAT_EQ(elapsed, 120.0f);
  EXPECT_FALSE(Enabled(CMenu_Simulator::kWarRoom_Button));
  EXPECT_EQ(sounds->Count(false, CMenu_Simulator::kAlert_Loop), 1) << "the alarm stops";
  EXPECT_GT(screen().m_Alert_Timer, 300.0f);
}

TEST_F(SimulatorScreen, TheBriefingGivesTwoHundredUnitsThenFallsBackToPageOne) {
  Open(1);
  account().m_Access_Level = 1;
  screen().m_Alert_Timer = 0.5f;
  screen().Update(1.0f);
  screen().Update(3.0f);
  ASSERT_TRUE(Enabled(CMenu_Simulator::kWarRoom_Button));
  screen().Open_Briefing();
  EXPECT_EQ(screen().m_Current_Tab, 5);
  EXPECT_FLOAT_EQ(screen().m_Alert_Timer, 200.0f);
  EXPECT_GE(g_WarRoom_Target_Region, 1);
  EXPECT_LE(g_WarRoom_Target_Region, 8);
  for (int i = 0; i < 199; ++i) screen().Update(1.0f);
  EXPECT_EQ(screen().m_Current_Tab, 5);
  screen().Update(1.0f);
  EXPECT_EQ(screen().m_Current_Tab, 1);
  EXPECT_FALSE(screen().m_Alert_Pending);
}

TEST_F(SimulatorScreen, AcceptStartsTheWarRoomSequenceAndRejectReturnsToPageOne) {
  for (bool accept : {true, false}) {
    Open(1);
    account().m_Access_Level = 1;
    account().m_Pacing = 3;
    screen().m_Alert_Timer = 0.5f;
    screen().Update(1.0f);
    screen().Open_Briefing();
    ASSERT_EQ(screen().m_Current_Tab, 5);
    g_Sequence_Mgr.Clear();
    if (accept)
      screen().Accept_Mission();
    else
      screen().Reject_Mission();
    EXPECT_FALSE(screen().m_Alert_Pending) << accept;
    EXPECT_EQ(screen().m_Current_Tab, 1) << accept;
    EXPECT_EQ(account().m_Pacing, 0u) << accept;
    const CSequence* sequence = Last_Sequence();
    if (accept) {
      ASSERT_NE(sequence, nullptr);
      EXPECT_EQ(sequence->kind, 3);
    } else {
      EXPECT_EQ(sequence, nullptr);
    }
    g_Sequence_Mgr.Clear();
    Close();
  }
}

TEST_F(SimulatorScreen, PausingStopsTheAlarmAndResumingRestartsItLooped) {
  Open(1);
  account().m_Access_Level = 1;
  screen().m_Alert_Timer = 0.5f;
  screen().Update(1.0f);
  Record_Sounds();
  screen().On_Pause(true);
  EXPECT_EQ(sounds->Count(false, CMenu_Simulator::kAlert_Loop), 1);
  screen().On_Pause(false);
  ASSERT_EQ(sounds->Count(true, CMenu_Simulator::kAlert_Loop), 1);
  EXPECT_EQ(sounds->calls.back().flags, 1);
}

// ---------------------------------------------------------------------------------------------
// Drawing, read back from the frame

struct Picture {
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;

  template <typename Visit>
  void Each(float x0, float y0, float x1, float y1, Visit visit) const {
    for (auto y = static_cast<uint32_t>(y0 * height); y < static_cast<uint32_t>(y1 * height); ++y)
      for (auto x = static_cast<uint32_t>(x0 * width); x < static_cast<uint32_t>(x1 * width); ++x)
        visit(pixels[y * width + x]);
  }
  // The green channel summed over a box given in fractions of the frame.
  int64_t Green(float x0, float y0, float x1, float y1) const {
    int64_t sum = 0;
    Each(x0, y0, x1, y1, [&sum](uint32_t c) { sum += (c >> 8) & 0xff; });
    return sum;
  }
  // How unevenly lit a box is: the brightness (r + g + b) of its 90th percentile less its 10th.
  int Spread(float x0, float y0, float x1, float y1) const {
    std::vector<int> values;
    Each(x0, y0, x1, y1, [&values](uint32_t c) {
      values.push_back(static_cast<int>(((c >> 16) & 0xff) + ((c >> 8) & 0xff) + (c & 0xff)));
    });
    std::sort(values.begin(), values.end());
    return values[values.size() * 9 / 10] - values[values.size() / 10];
  }
};

class SimulatorPicture : public SimulatorScreen {
 protected:
  // The open screen on page 1 with no alert due for a long while.
  void Open_Quiet() {
    Open(1);
    screen().m_Alert_Pending = false;
    screen().m_Alert_Timer = 1.0e6f;
    screen().m_Blink = 0.0f;
    harness.Step(1, 1);  // the program's first frame, so that the frames read come after it
  }
  // One drawn frame so short that the fades it advances barely move.
  Picture Frame() {
    harness.Step(1, 1);
    Picture picture;
    EXPECT_TRUE(harness.Read_Back(picture.pixels, picture.width, picture.height));
    return picture;
  }
  void Keep(const char* name) {
    if (const char* dir = std::getenv("VT_RUN_SHOTS")) harness.Save_Png(std::string(dir) + "/" + name);
  }
};

// The beams frame the "To War-Room" button at the top of the view; their additive glow must
// grow with their fade, so a faint beam adds a fraction of what a full one adds.
TEST_F(SimulatorPicture, TheAlertBeamsBrightenWithTheirFade) {
  Open_Quiet();
  const float box[4] = {0.15f, 0.0f, 0.85f, 0.12f};
  std::vector<int64_t> green;
  for (const float fade : {0.0f, 0.1f, 0.4f, 1.0f}) {
    screen().m_Beam_Fade = fade;
    g_Sim_Alert_Angle = 0.0f;  // no pulse: the brightness is the fade's alone
    green.push_back(Frame().Green(box[0], box[1], box[2], box[3]));
    if (fade == 1.0f) Keep("simulator_alert_beams_full.png");
  }
  const int64_t faint = green[1] - green[0], part = green[2] - green[0], full = green[3] - green[0];
  ASSERT_GT(full, 0) << "no beams drawn";
  EXPECT_LT(faint, full / 4) << "a beam at a tenth of its fade shines as brightly as a full one";
  EXPECT_LT(faint, part) << "faint " << faint << ", at 0.4 " << part;
  EXPECT_LT(part, full) << "at 0.4 " << part << ", full " << full;
}

// While the page items fade in, the inner panel flashes the backdrop's pattern over them: a
// pattern of lines, not an even slab of colour.
TEST_F(SimulatorPicture, TheOpeningFlashShowsTheBackdropPattern) {
  Open_Quiet();
  screen().m_Item_Fade = 0.0f;
  screen().m_Glow_Fade = 1.0f;
  const Picture flash = Frame();
  Keep("simulator_opening_flash.png");
  const int spread = flash.Spread(0.3f, 0.35f, 0.7f, 0.65f);
  EXPECT_GT(spread, 40) << "the flash is an even slab";
}

}  // namespace
