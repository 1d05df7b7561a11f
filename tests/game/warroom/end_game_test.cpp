// The end-of-mission report: what showing it books in the account, its message, its layout and
// the return to the trainer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "game/core/CCamera.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenuItem_Typed_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/trainer/CClient_Data.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/warroom/CMenu_EndGame.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"
#include "runtime/src/render/iks_render_device.h"
#include "tests/game/menu/menu_fixture.h"

namespace {

constexpr const char* kPilot = "pilot";

class EndGameReport : public MenuGame {
 protected:
  void SetUp() override {
    MenuGame::SetUp();
    Start();
    ASSERT_TRUE(messages.empty()) << messages.front();
    g_Menu_Mgr.m_Console.m_User_Name = kPilot;
    saved_difficulty = g_Difficulty_Factor;
    g_Difficulty_Factor = 1.0f;
    g_Sequence_Mgr.Clear();
  }
  void TearDown() override {
    g_Difficulty_Factor = saved_difficulty;
    MenuGame::TearDown();
  }
  static CMenu_EndGame& report() { return g_Menu_Mgr.m_EndGame; }

  static void Write_Account(uint32_t access_level, uint32_t credits, uint32_t flown = 0, uint32_t won = 0) {
    CClient_Data account;
    ASSERT_TRUE(account.Load(kPilot));
    account.m_Access_Level = access_level;
    account.m_Credits = credits;
    account.m_Missions_Flown = flown;
    account.m_Missions_Won = won;
    ASSERT_TRUE(account.Save());
  }
  static CClient_Data Read_Account() {
    CClient_Data account;
    EXPECT_TRUE(account.Load(kPilot));
    return account;
  }
  // Shows the report of a mission, as the closing sequence does.
  static void Show(bool won) {
    report().Activate(false, false);
    g_Menu_Mgr.Command(kCommand_End_Mission, won ? 1 : 0);
    ASSERT_TRUE(report().m_Visible) << (g_Menu_Mgr.m_EndGame.m_Initialised ? "initialised" : "not initialised");
  }
  static std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (CMenuItem* item : report().m_Panel.Items())
      if (item->m_Kind == kItem_Text) {
        auto* text = static_cast<CMenuItem_Text*>(item);
        texts.push_back(text->m_Lines.empty() ? "" : text->m_Lines.front());
      }
    return texts;
  }
  static bool Has_Text(const std::string& wanted) {
    for (const std::string& text : Texts())
      if (text == wanted) return true;
    return false;
  }
  static CMenuItem_Button* Return_Button() {
    return static_cast<CMenuItem_Button*>(report().m_Panel.Find_Item(CMenu_EndGame::kReturn_Item, kItem_Button));
  }

  float saved_difficulty = 1.0f;
};

TEST_F(EndGameReport, AWonMissionIsBookedWithItsAwardAndAFailedOneWithout) {
  Write_Account(2, 1000, 4, 3);
  plat::Seed_Random(5);
  Show(true);
  CClient_Data account = Read_Account();
  EXPECT_EQ(account.m_Missions_Flown, 5u);
  EXPECT_EQ(account.m_Missions_Won, 4u);
  EXPECT_EQ(account.m_Results[0], 1);
  const uint32_t award = report().m_Award;
  const double lowest = 0.9 * std::pow(2.0, 0.35) * 7953.0, highest = 1.1 * std::pow(2.0, 0.35) * 7953.0;
  EXPECT_GE(award, static_cast<uint32_t>(lowest));
  EXPECT_LE(award, static_cast<uint32_t>(highest));
  EXPECT_EQ(account.m_Credits, 1000u + award);
  EXPECT_TRUE(Has_Text("Mission Successful"));
  EXPECT_TRUE(Has_Text("Credits Awarded For Mission:"));
  EXPECT_TRUE(Has_Text("4")) << "successful missions";
  EXPECT_TRUE(Has_Text("1")) << "failed missions";

  Show(false);
  account = Read_Account();
  EXPECT_EQ(account.m_Missions_Flown, 6u);
  EXPECT_EQ(account.m_Missions_Won, 4u);
  EXPECT_EQ(account.m_Results[0], 0);
  EXPECT_EQ(account.m_Results[1], 1);
  EXPECT_EQ(account.m_Credits, 1000u + award) << "a failed mission earns nothing";
  EXPECT_TRUE(Has_Text("Mission Failed"));
  EXPECT_FALSE(Has_Text("Credits Awarded For Mission:"));
  EXPECT_TRUE(Has_Text("2")) << "failed missions";
}

TEST_F(EndGameReport, AccessLevelZeroAwardsAsLevelOneAndTheCreditsSaturate) {
  struct Case {
    uint32_t level;
    uint32_t credits;
    float difficulty;
  };
  const Case cases[] = {{0, 0, 1.0f}, {1, 0, 1.0f}, {0, 0xFFFFFF00u, 1.0f}, {1, 0, 2.0f}};
  uint32_t awards[4] = {};
  Show(true);
  for (int i = 0; i < 4; ++i) {
    Write_Account(cases[i].level, cases[i].credits);
    g_Difficulty_Factor = cases[i].difficulty;
    plat::Seed_Random(77);
    report().Build_Report();
    awards[i] = report().m_Award;
    const uint64_t sum = static_cast<uint64_t>(cases[i].credits) + awards[i];
    EXPECT_EQ(Read_Account().m_Credits, sum > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(sum)) << i;
  }
  EXPECT_EQ(awards[0], awards[1]);
  EXPECT_GE(awards[0], static_cast<uint32_t>(0.9 * 7953));
  EXPECT_LE(awards[0], static_cast<uint32_t>(1.1 * 7953));
  EXPECT_EQ(awards[2], awards[0]);
  EXPECT_NEAR(static_cast<double>(awards[3]), 2.0 * awards[1], 1.0) << "difficulty scales the award";
}

// Every mission of a long career, won or lost, gets a report of its own: none is empty and none
// is told twice.
TEST_F(EndGameReport, ALongCareerGetsAFreshReportForEveryMission) {
  Write_Account(1, 0);
  constexpr int kMissions = 24;
  for (const bool won : {true, false}) {
    std::set<std::string> told;
    for (int mission = 0; mission < kMissions; ++mission) {
      Show(won);
      const std::string& message = report().m_Message;
      ASSERT_FALSE(message.empty()) << (won ? "won" : "lost") << " mission " << mission + 1;
      EXPECT_EQ(message.find('%'), std::string::npos) << "placeholders filled in: " << message;
      EXPECT_NE(message.find(kPilot), std::string::npos) << message;
      EXPECT_TRUE(told.insert(message).second) << "told twice: " << message;
    }
  }
}

// With every report of its kind delivered, the oldest general report (the kind's first with
// key 0) is told again.
TEST_F(EndGameReport, WithEveryReportUsedTheOldestIsToldAgain) {
  Write_Account(1, 0, 40, 20);
  CCommunications_Mgr& comms = g_Communications_Mgr;
  ASSERT_TRUE(comms.Is_Running() || comms.Init());
  for (const uint32_t kind : {uint32_t{kComm_Mission_Won}, uint32_t{kComm_Mission_Lost}}) {
    const uint32_t first = comms.m_Kind_Table[kind][0];
    const uint32_t count = comms.m_Kind_Table[kind][1];
    ASSERT_GE(count, 30u) << "reports of kind " << kind << " for a long career";
    const Master_Record* oldest = nullptr;
    for (uint32_t i = first; i < first + count; ++i) {
      comms.m_Forum_Data.m_Delivered.insert(comms.m_Records[i].Id);
      if (!oldest && comms.m_Records[i].Key == 0) oldest = &comms.m_Records[i];
    }
    ASSERT_NE(oldest, nullptr);
    Communication_Header header;
    std::string expected;
    ASSERT_TRUE(CCommunications_Mgr::Read_Communication(*oldest, header, expected));
    comms.Expand_Text(expected);
    Show(kind == kComm_Mission_Won);
    EXPECT_FALSE(report().m_Message.empty()) << kind;
    EXPECT_EQ(report().m_Message, expected) << kind;
  }
  comms.Term();
}

// Without the correspondence the report has no message, and the button is there at once.
TEST_F(EndGameReport, WithoutMessagesTheButtonComesAtOnce) {
  Write_Account(1, 0);
  std::filesystem::remove("chat");  // the working folder's link to the content's chat folder
  Show(true);
  EXPECT_TRUE(report().m_Message.empty());
  ASSERT_NE(Return_Button(), nullptr);
  EXPECT_TRUE(Return_Button()->m_Flags & CMenuItem_Button::kHidden);
  report().Update(0.02f);
  EXPECT_FALSE(Return_Button()->m_Flags & CMenuItem_Button::kHidden);
}

TEST_F(EndGameReport, TheButtonWaitsForTheMessageAndASecondPressDoesNothing) {
  Write_Account(1, 0);
  Show(true);
  ASSERT_FALSE(report().m_Message.empty());
  report().Update(0.02f);
  EXPECT_TRUE(Return_Button()->m_Flags & CMenuItem_Button::kHidden) << "the message is still typing";
  auto* message =
      static_cast<CMenuItem_Typed_Text*>(report().m_Panel.Find_Item(CMenu_EndGame::kMessage_Item, kItem_Typed_Text));
  ASSERT_NE(message, nullptr);
  for (int frame = 0; frame < 20000 && message->Pending_Count() > 0; ++frame) message->Render(Frame(1.0f));
  report().Update(0.02f);
  EXPECT_FALSE(Return_Button()->m_Flags & CMenuItem_Button::kHidden);

  report().Return_To_Trainer();
  report().Return_To_Trainer();
  ASSERT_EQ(g_Sequence_Mgr.Running().size(), 1u);
  EXPECT_EQ(g_Sequence_Mgr.Running()[0]->kind, 5);
}

TEST_F(EndGameReport, AnAccountThatCannotBeOpenedIsKeptAsideAndTheMissionGoesToANewOne) {
  // A folder where the account file should be: it is moved aside whole, and the mission is
  // booked into a new account in its place.
  const std::string file = CClient_Data::Get_File_Name(kPilot);
  std::filesystem::create_directory(file);
  Show(true);
  EXPECT_TRUE(Has_Text("Mission Successful"));
  EXPECT_TRUE(std::filesystem::is_directory(file + ".bad"));
  EXPECT_TRUE(std::filesystem::is_regular_file(file));
  EXPECT_FALSE(std::filesystem::exists(file + "_tmp"));
  CClient_Data account;
  ASSERT_TRUE(account.Load(kPilot));
  EXPECT_EQ(account.m_Missions_Flown, 1u);
  std::filesystem::remove(file + ".bad");
}

// The report's glow quads, drawn alone on black with the star and the beam moved apart: a star
// reaches 25 down from its point, a beam 126 to either side of its point.
TEST_F(EndGameReport, TheGlowStarsAndBeamsHaveTheirSizes) {
  Show(true);
  const CVector3 p = g_Camera.Position();
  const CMatrix3x3& axes = g_Camera.Rotation();
  auto at = [&](float ahead, float up, float side) {
    CVector3 point = p;
    for (int i = 0; i < 3; ++i) {
      const float by[3] = {side, up, ahead};
      point = CVector3{point.x + axes.rows[i].x * by[i], point.y + axes.rows[i].y * by[i],
                       point.z + axes.rows[i].z * by[i]};
    }
    return point;
  };
  report().m_E1 = at(600.0f, 200.0f, -200.0f);  // a beam on the left
  report().m_E2 = at(-500.0f, 0.0f, 0.0f);      // behind the camera: not seen
  report().m_E3 = at(300.0f, 20.0f, 0.0f);      // a star in the middle
  report().m_E4 = at(-500.0f, 0.0f, 0.0f);
  report().m_Brightness = 1.0f;
  ASSERT_TRUE(g_pRenderDevice->Begin_Render());
  g_pRenderDevice->Clear(nullptr, kClearTarget | kClearDepth, 0xff000000, 0);
  g_pRenderDevice->BeginScene();
  report().Draw_Glow();
  g_pRenderDevice->EndScene();
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(harness.Read_Back(pixels, width, height));
  if (const char* dir = std::getenv("VT_WARROOM_SHOTS")) harness.Save_Png(std::string(dir) + "/report_glow.png");
  auto lit = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= static_cast<int>(width) || y >= static_cast<int>(height)) return false;
    const uint32_t c = pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)];
    return std::max({(c >> 16) & 0xffu, (c >> 8) & 0xffu, c & 0xffu}) > 3u;
  };
  // The beam across its middle row: lit from one edge to the other.
  const CVector3 left = g_Camera.World_To_Screen(at(600.0f, 25.0f, -200.0f - 126.0f));
  const CVector3 right = g_Camera.World_To_Screen(at(600.0f, 25.0f, -200.0f + 126.0f));
  const int row = static_cast<int>(left.y);
  int first = -1, last = -1;
  for (int x = 0; x < static_cast<int>(width) / 2 - 40; ++x)
    if (lit(x, row)) {
      if (first == -1) first = x;
      last = x;
    }
  ASSERT_NE(first, -1) << "the beam is drawn";
  const float beam_width = right.x - left.x;
  EXPECT_NEAR(static_cast<float>(last - first + 1), beam_width, 0.1f * beam_width)
      << "beam lit from " << first << " to " << last << ", its quad from " << left.x << " to " << right.x;
  // The star down its point's column: lit from its point to 25 below.
  const CVector3 top = g_Camera.World_To_Screen(at(300.0f, 20.0f, 0.0f));
  const CVector3 bottom = g_Camera.World_To_Screen(at(300.0f, 20.0f - 25.0f, 0.0f));
  const int column = static_cast<int>(top.x);
  int highest = -1, lowest = -1;
  for (int y = 0; y < static_cast<int>(height); ++y)
    if (lit(column, y)) {
      if (highest == -1) highest = y;
      lowest = y;
    }
  ASSERT_NE(highest, -1) << "the star is drawn";
  const float star_length = bottom.y - top.y;
  EXPECT_NEAR(static_cast<float>(lowest - highest + 1), star_length, 0.15f * star_length + 1.0f)
      << "star lit from " << highest << " to " << lowest << ", its quads from " << top.y << " to " << bottom.y;
}

}  // namespace
