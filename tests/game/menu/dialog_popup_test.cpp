#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/core/CWorld.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_Edit.h"
#include "game/menu/CPopup_Menu.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/menu/CPopup_Mgr.h"
#include "game/core/WinMain.h"
#include "game/trainer/CMenu_Simulator.h"
#include "game/warroom/CMenu_WarRoom.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "tests/game/menu/menu_fixture.h"
#include "tools/content/sim_content.h"

namespace {

class Dialogs : public MenuGame {
 protected:
  void TearDown() override {
    g_Modal_Dlg.Term();
    MenuGame::TearDown();
  }
  bool Open(int mode, float height = 0.0f) {
    return g_Modal_Dlg.Init(CVector3{0.0f, 0.0f, 100.0f}, CVector2{W() / 2, H() / 2}, 0.4f * W(), height, mode);
  }
  static float W() { return CMenuItem::Screen_W(); }
  static float H() { return CMenuItem::Screen_H(); }
};

TEST_F(Dialogs, AMessageClosesOnAClickOnlyFromClockTwoAndAHalf) {
  Start();
  ASSERT_TRUE(Open(CModal_Dlg::kMode_Message));
  g_Modal_Dlg.Add_Line("Access Denied", 0xFFFFFFFF, CModal_Dlg::kLine_Large, 0, 0);
  EXPECT_TRUE(g_Game_Paused);
  // Clock after each step: 0.75 a unit.
  const float steps[] = {1.0f, 1.0f, 1.0f};  // 0.75, 1.5, 2.25
  for (float step : steps) {
    g_Modal_Dlg.Update(step);
    EXPECT_TRUE(g_Modal_Dlg.On_Left_Down());
    EXPECT_TRUE(g_Modal_Dlg.On_Right_Down());
    g_Modal_Dlg.Activate_Selected();
    EXPECT_TRUE(g_Modal_Dlg.Is_Open()) << "clock " << g_Modal_Dlg.m_Clock;
  }
  g_Modal_Dlg.Update(0.34f);  // 2.505
  EXPECT_TRUE(g_Modal_Dlg.On_Left_Down());
  EXPECT_FALSE(g_Modal_Dlg.Is_Open());
  EXPECT_FALSE(g_Game_Paused);
}

TEST_F(Dialogs, AHeightOfZeroGrowsTheBoxWithItsLines) {
  Start();
  ASSERT_TRUE(Open(CModal_Dlg::kMode_Choice));
  const float top = g_Modal_Dlg.m_Top_Left.y;
  for (int i = 0; i < 4; ++i) g_Modal_Dlg.Add_Line("line", 0xFFFFFFFF, 0, 0, 0);
  EXPECT_NEAR(top - g_Modal_Dlg.m_Top_Left.y, 2 * 0.044f * H(), 0.01f);
  g_Modal_Dlg.Update(2.0f);
  float left, box_top, right, bottom;
  g_Modal_Dlg.Box_Rect(left, box_top, right, bottom);
  EXPECT_NEAR(bottom - g_Modal_Dlg.m_Current.y, 0.196f * H(), 0.01f);
  EXPECT_NEAR(g_Modal_Dlg.m_Current.y, g_Modal_Dlg.m_Top_Left.y, 0.001f) << "fully open";
  EXPECT_FALSE(g_Modal_Dlg.Add_Line("five", 0, 0, 1, 0) && g_Modal_Dlg.Add_Line("six", 0, 0, 1, 0) &&
               g_Modal_Dlg.Add_Line("seven", 0, 0, 1, 0) && g_Modal_Dlg.Add_Line("eight", 0, 0, 1, 0) &&
               g_Modal_Dlg.Add_Line("nine", 0, 0, 1, 0))
      << "a ninth line is refused";
  EXPECT_EQ(g_Modal_Dlg.m_Line_Count, 8u);
}

TEST_F(Dialogs, ALongLineKeepsItsFirst127Characters) {
  Start();
  ASSERT_TRUE(Open(CModal_Dlg::kMode_Message));
  const std::string long_text(300, 'x');
  ASSERT_TRUE(g_Modal_Dlg.Add_Line(long_text.c_str(), 0xFFFFFFFF, 0, 0, 0));
  EXPECT_EQ(std::string(g_Modal_Dlg.m_Lines[0].text), std::string(127, 'x'));
}

TEST_F(Dialogs, KeyboardHighlightSkipsPlainLinesAndWraps) {
  Start();
  ASSERT_TRUE(Open(CModal_Dlg::kMode_Choice));
  g_Modal_Dlg.Add_Line("Question", 0xFFFFFFFF, CModal_Dlg::kLine_Large, 0, 0);
  g_Modal_Dlg.Add_Line("Ok", 0xFFFFFFFF, 0, kCommand_Quit, 0);
  g_Modal_Dlg.Add_Line("Cancel", 0xFFFFFFFF, 0, kCommand_Close, 0);
  const int next[] = {1, 2, 1};
  for (int want : next) {
    g_Modal_Dlg.Select_Next();
    EXPECT_EQ(g_Modal_Dlg.m_Highlight, want);
  }
  g_Modal_Dlg.Select_Previous();
  EXPECT_EQ(g_Modal_Dlg.m_Highlight, 2) << "back from the first wraps to the last";
  g_Modal_Dlg.Term();
  ASSERT_TRUE(Open(CModal_Dlg::kMode_Choice));
  g_Modal_Dlg.Add_Line("Only text", 0xFFFFFFFF, 0, 0, 0);
  EXPECT_EQ(g_Modal_Dlg.Select_Next(), nullptr);
  EXPECT_EQ(g_Modal_Dlg.m_Highlight, -1);
  g_Modal_Dlg.Update(2.0f);
  g_Modal_Dlg.Activate_Selected();
  EXPECT_TRUE(g_Modal_Dlg.Is_Open()) << "nothing to activate";
}

TEST_F(Dialogs, AChoiceLineRunsItsCommandAfterClosingAndMayReopen) {
  Start();
  g_Menu_Mgr.Command(kCommand_Simulator, 1);
  ASSERT_TRUE(Open(CModal_Dlg::kMode_Choice));
  g_Modal_Dlg.Add_Line("Go", 0xFFFFFFFF, 0, kCommand_Simulator, 2);
  g_Modal_Dlg.Update(2.0f);
  g_Modal_Dlg.Select_Next();
  g_Modal_Dlg.Activate_Selected();
  EXPECT_FALSE(g_Modal_Dlg.Is_Open());
  EXPECT_EQ(g_Menu_Mgr.m_Simulator.m_Requested_Tab, 2);
  EXPECT_TRUE(g_Menu_Mgr.m_Simulator.m_Visible);
  EXPECT_FALSE(g_Game_Paused);
}

TEST_F(Dialogs, CancellingAConfirmationDuringARunLeavesItsCamera) {
  Start();
  g_Menu_Mgr.Command(kCommand_Launch_Training, 0, content::kLaneTrackIds[0], content::kLaneMusicIds[0]);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  const CVector3 eye = g_Camera.Position();
  g_Popup_Mgr.Confirm_Exit();
  ASSERT_TRUE(g_Modal_Dlg.Is_Open());
  g_Modal_Dlg.Update(2.0f);
  g_Modal_Dlg.Select_Next();
  g_Modal_Dlg.Select_Next();  // "Cancel"
  ASSERT_EQ(g_Modal_Dlg.m_Highlight, 2);
  g_Modal_Dlg.Activate_Selected();
  EXPECT_FALSE(g_Modal_Dlg.Is_Open());
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  EXPECT_FLOAT_EQ(g_Camera.Position().x, eye.x);
  EXPECT_FLOAT_EQ(g_Camera.Position().y, eye.y);
  EXPECT_FLOAT_EQ(g_Camera.Position().z, eye.z);
}

using Popups = Dialogs;

TEST_F(Popups, OpeningPausesAndClosingTheLastUnpauses) {
  Start();
  ASSERT_EQ(g_Popup_Mgr.Set(), CPopup_Mgr::kMain_Menu);
  struct Case {
    const char* what;
    std::function<void()> act;
    bool want_open;
    bool want_paused;
  };
  const Case cases[] = {
      {"toggle open", [] { g_Popup_Mgr.Toggle_Menu(0); }, true, true},
      {"toggle closed", [] { g_Popup_Mgr.Toggle_Menu(0); }, false, false},
      {"open again", [] { g_Popup_Mgr.Toggle_Menu(0); }, true, true},
      {"close all", [] { g_Popup_Mgr.Close_All(false); }, false, false},
      {"close all again", [] { g_Popup_Mgr.Close_All(false); }, false, false},
      {"an unbuilt menu", [] { g_Popup_Mgr.Toggle_Menu(3); }, false, false},
  };
  for (const Case& c : cases) {
    c.act();
    EXPECT_EQ(g_Popup_Mgr.Is_Open(), c.want_open) << c.what;
    EXPECT_EQ(g_Game_Paused, c.want_paused) << c.what;
  }
  // A press outside every box closes the open menu and unpauses.
  g_Popup_Mgr.Toggle_Menu(0);
  harness.Move_Mouse(static_cast<int>(W() - 5), static_cast<int>(H() - 5));
  EXPECT_TRUE(g_Popup_Mgr.On_Left_Down());
  EXPECT_FALSE(g_Popup_Mgr.Is_Open());
  EXPECT_FALSE(g_Game_Paused);
  EXPECT_FALSE(g_Popup_Mgr.On_Left_Down()) << "nothing left to close";
  // Closing the dialog while a pop-up is open leaves the game paused.
  g_Popup_Mgr.Toggle_Menu(0);
  ASSERT_TRUE(Open(CModal_Dlg::kMode_Message));
  g_Modal_Dlg.Term();
  EXPECT_TRUE(g_Game_Paused);
  g_Popup_Mgr.Close_All(true);
}

TEST_F(Popups, OptionButtonsCycleTheirSettingsAndRecaptionThemselves) {
  Start();
  g_Popup_Mgr.Term();
  ASSERT_TRUE(g_Popup_Mgr.Init(CPopup_Mgr::kOptions_Menu));
  g_Popup_Mgr.Toggle_Menu(CPopup_Mgr::kOptions_Menu);
  CMenu_Panel& panel = g_Popup_Mgr.m_Menus[CPopup_Mgr::kOptions_Menu].m_Panel;
  auto* resolution = static_cast<CMenuItem_Button*>(panel.Find_Item(CPopup_Mgr::kOption_Resolution, kItem_Button));
  auto* depth = static_cast<CMenuItem_Button*>(panel.Find_Item(CPopup_Mgr::kOption_Bit_Depth, kItem_Button));
  auto* mirrors = static_cast<CMenuItem_Button*>(panel.Find_Item(CPopup_Mgr::kOption_Mirrors, kItem_Button));
  ASSERT_TRUE(resolution && depth && mirrors);
  g_Game_State.Display_Resolution = 1;
  const int start = g_Game_State.Display_Resolution;
  const char* const captions[] = {"1024 x 768", "1280 x 1024", "1600 x 1200", "640 x 480", "800 x 600"};
  for (const char* want : captions) {
    resolution->On_Click();
    EXPECT_EQ(resolution->m_Caption, want);
  }
  EXPECT_EQ(g_Game_State.Display_Resolution, start) << "five clicks come back";
  const int depth_start = g_Game_State.Display_BitDepth;
  depth->On_Click();
  EXPECT_NE(g_Game_State.Display_BitDepth, depth_start);
  depth->On_Click();
  EXPECT_EQ(g_Game_State.Display_BitDepth, depth_start);
  const bool mirrors_on = g_Game_State.Mirrors_Enable;
  mirrors->On_Click();
  EXPECT_EQ(g_Game_State.Mirrors_Enable, !mirrors_on);
  EXPECT_EQ(mirrors->m_Caption, mirrors_on ? "Disabled" : "Enabled");
  EXPECT_EQ(mirrors->m_Colour, mirrors_on ? 0xccccaaaau : 0xccaaaaccu);
  mirrors->On_Click();
  // A closed options menu ignores its buttons.
  g_Popup_Mgr.m_Menus[CPopup_Mgr::kOptions_Menu].m_Open = false;
  resolution->On_Click();
  EXPECT_EQ(g_Game_State.Display_Resolution, start);
}

TEST_F(Popups, OptionTextsForEveryOption) {
  Start();
  struct Case {
    std::function<void()> set;
    int option;
    const char* want;
    uint32_t colour;
  };
  CGame_State& s = g_Game_State;
  const Case cases[] = {
      {[&] { s.Display_Windowed = false; }, 0, "Full-Screen", 0xccaaaacc},
      {[&] { s.Display_Windowed = true; }, 0, "Windowed", 0xccaaaacc},
      {[&] { s.Display_Resolution = 2; }, 1, "1024 x 768", 0xccaaaacc},
      {[&] { s.Display_Resolution = 9; }, 1, "", 0xccaaaacc},
      {[&] { s.Display_BitDepth = 0; }, 2, "16 BPP", 0xccaaaacc},
      {[&] { s.Mouse_Cap_Enable = false; }, 5, "Disabled", 0xccccaaaa},
      {[&] { s.Hide_Cursor_In_Sims = true; }, 6, "Enabled", 0xccaaaacc},
      {[] {}, 11, "", 0xccaaaacc},
  };
  for (const Case& c : cases) {
    c.set();
    uint32_t colour = 0;
    EXPECT_STREQ(CPopup_Mgr::Get_Option_Text(c.option, colour), c.want) << c.option;
    EXPECT_EQ(colour, c.colour) << c.option;
  }
  s.Display_Resolution = 1;
  s.Display_Windowed = true;
  s.Display_BitDepth = 1;
}

// The main menu's first row starts at 0.395 of the screen height, and the rows below it keep
// their order.
TEST_F(Popups, TheMainMenusFirstRowStartsAt0395H) {
  Start();
  ASSERT_EQ(g_Popup_Mgr.Set(), CPopup_Mgr::kMain_Menu);
  std::vector<const CMenuItem_Button*> buttons;
  for (CMenuItem* item : g_Popup_Mgr.m_Menus[CPopup_Mgr::kMain_Menu].m_Panel.Items())
    if (auto* button = dynamic_cast<const CMenuItem_Button*>(item)) buttons.push_back(button);
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(buttons[0]->m_Caption, "Options Menu");
  EXPECT_FLOAT_EQ(buttons[0]->m_Anchor_Y, 0.395f * H());
  EXPECT_LT(buttons[0]->m_Anchor_Y, buttons[1]->m_Anchor_Y);
  EXPECT_LT(buttons[1]->m_Anchor_Y, buttons[2]->m_Anchor_Y);
}

// Retreat flies the shuttle back only along a link of the current site; the War Room screen
// comes back either way, and an empty history does nothing.
TEST_F(Popups, RetreatTargetsThePreviousSiteOnlyWhenItIsLinked) {
  Start();
  g_Menu_Mgr.Command(kCommand_WarRoom, 0);
  ASSERT_TRUE(g_WarRoom_Sim.m_Initialised);
  CWarRoom_Sim& sim = g_WarRoom_Sim;
  const int here = 0;
  ASSERT_GT(sim.m_Sites[here].Link_Count(), 0);
  const int linked = sim.m_Sites[here].links[0];
  int unlinked = -1;
  for (int site = 1; site < sim.Site_Count() && unlinked < 0; ++site)
    if (sim.m_Sites[here].Find_Link(site) < 0) unlinked = site;
  ASSERT_GE(unlinked, 0);
  struct Case {
    int previous;  // -1: empty history
    int want_target;
    bool want_war_room;
  };
  const Case cases[] = {{linked, linked, true}, {unlinked, -1, true}, {-1, -1, false}};
  for (const Case& c : cases) {
    g_Menu_Mgr.Command(kCommand_WarRoom, 0);
    sim.m_History_Top = -1;
    if (c.previous >= 0) sim.Set_Current_Site(c.previous);
    sim.Set_Current_Site(here);
    if (c.previous < 0) sim.m_History_Top = -1;
    sim.Set_Target_Site(-1);
    g_Menu_Mgr.m_WarRoom.m_Flight_Target = -1;
    g_Menu_Mgr.m_EndGame.Activate(false, false);
    g_Menu_Mgr.Command(kCommand_End_Mission, 0);  // the report: the campaign goes on
    ASSERT_TRUE(sim.m_Initialised);
    ASSERT_FALSE(g_Menu_Mgr.m_WarRoom.m_Visible);
    g_Popup_Mgr.Do_Action(CPopup_Mgr::kAction_Retreat);
    EXPECT_EQ(sim.m_Target_Site, c.want_target) << c.previous;
    EXPECT_EQ(g_Menu_Mgr.m_WarRoom.m_Flight_Target, c.want_target) << c.previous;
    EXPECT_EQ(g_Menu_Mgr.m_WarRoom.m_Visible, c.want_war_room) << c.previous;
    if (c.want_war_room) {
      EXPECT_EQ(g_Menu_Mgr.m_WarRoom.m_Page, 1) << c.previous;
    }
  }
  sim.Clear_Region();
  g_WarRoom_Target_Region = 0;
}

// During a run, M, Q and R typed while a focused edit field holds the keyboard stay letters:
// the in-run menu neither opens nor acts. With the field unfocused M opens the menu again.
TEST_F(Popups, LettersTypedIntoAFocusedFieldAreNotTheInRunKeys) {
  Start();
  g_Menu_Mgr.Command(kCommand_Launch_Training, 0, content::kLaneTrackIds[0], content::kLaneMusicIds[0]);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  ASSERT_TRUE(Open(CModal_Dlg::kMode_Panel, 0.3f * H()));
  auto* field = new CMenuItem_Edit(1, "", CVector2{0.35f * W(), 0.45f * H()}, 0xffffffff, 1, 0, 1, 0.3f * W());
  g_Modal_Dlg.m_Panel.Add_Item(field);
  ASSERT_TRUE(g_Modal_Dlg.m_Panel.Set_Focus(field));
  for (const char letter : {'M', 'R', 'M', 'Q'}) {
    harness.Char(letter);
    harness.Step(2);
    EXPECT_FALSE(g_Popup_Mgr.m_Menus[CPopup_Mgr::kSim_Menu].m_Open) << letter;
    EXPECT_EQ(g_Game.Get_Mode(), kMode_Simulation) << letter;
  }
  g_Modal_Dlg.m_Panel.Set_Focus(nullptr);
  harness.Char('M');
  harness.Step(2);
  EXPECT_TRUE(g_Popup_Mgr.m_Menus[CPopup_Mgr::kSim_Menu].m_Open) << "without a focused field M is the menu key";
  g_Modal_Dlg.Term();
  g_Popup_Mgr.Close_All(true);
}

// With the serif face at its real size, every label of the options menu starts inside the
// menu's box and ends before its value; the longest, "Hide Cursor in Battle (3D Glasses):", is
// measured at the size it is drawn. In the picture no label colour shows outside the box.
TEST_F(Popups, OptionLabelsFitTheBoxAtTheirRealSize) {
  Start();
  g_Menu_Mgr.m_Console.Show(false, false);
  g_Menu_Mgr.m_Grid.Set_Mode(0);
  harness.Step(60);
  g_Menu_Mgr.Release_Fonts();
  D3DXFont_Set_Test_Metrics(0, 0);
  ASSERT_TRUE(g_Menu_Mgr.Create_Fonts());
  g_Popup_Mgr.Term();
  ASSERT_TRUE(g_Popup_Mgr.Init(CPopup_Mgr::kOptions_Menu));
  g_Popup_Mgr.Toggle_Menu(CPopup_Mgr::kOptions_Menu);
  harness.Step(60);
  const CPopup_Menu& menu = g_Popup_Mgr.m_Menus[CPopup_Mgr::kOptions_Menu];
  ASSERT_TRUE(menu.Fully_Open());
  const CPopup_Menu::Rect box = menu.m_Rect;
  const char* const longest = "Hide Cursor in Battle (3D Glasses):";
  const int longest_width = g_Menu_Mgr.Get_Text_Width(1, longest);
  EXPECT_GT(longest_width, static_cast<int>(0.3f * W())) << "the face is drawn at the size font 1 asks for";
  const float margin = 0.0095f * W();
  std::vector<const CMenuItem_Text*> labels;
  float values_left = W();  // the left edge of the option buttons and sliders
  for (const CMenuItem* item : menu.m_Panel.Items()) {
    const auto* text = dynamic_cast<const CMenuItem_Text*>(item);
    if (text && (text->m_Flags & CMenuItem_Text::kRight_X)) labels.push_back(text);
    if (item->m_Id != 0 && (item->m_Kind == kItem_Button || item->m_Kind == kItem_Slider))
      values_left = std::min(values_left, item->m_X);
  }
  ASSERT_EQ(labels.size(), 9u);
  bool saw_longest = false;
  for (const CMenuItem_Text* label : labels) {
    const std::string name = label->m_Lines.empty() ? std::string() : label->m_Lines[0];
    saw_longest |= name == longest;
    EXPECT_GE(label->m_X, box.left + margin) << name;
    EXPECT_LE(label->m_X + label->m_W, values_left) << name;
    if (name == longest) {
      EXPECT_FLOAT_EQ(label->m_W, static_cast<float>(longest_width));
    }
  }
  EXPECT_TRUE(saw_longest);
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(harness.Read_Back(pixels, width, height));
  auto light = [&](int x, int y) {
    const uint32_t p = pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)];
    return ((p >> 16) & 0xFF) > 120 && (p & 0xFF) > 150;
  };
  for (const CMenuItem_Text* label : labels) {
    const int top = static_cast<int>(label->m_Y), bottom = static_cast<int>(label->m_Y + label->m_H);
    int inside = 0, outside = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = static_cast<int>(label->m_X); x < static_cast<int>(label->m_X + label->m_W); ++x) inside += light(x, y);
      for (int x = static_cast<int>(box.left) - 60; x < static_cast<int>(box.left) - 1; ++x) outside += light(x, y);
    }
    EXPECT_GT(inside, 20) << "the label is drawn at " << label->m_X;
    EXPECT_EQ(outside, 0) << "label colour left of the border at y " << top;
  }
  if (const char* dir = std::getenv("VT_RUN_SHOTS")) harness.Save_Png(std::string(dir) + "/options_real_font.png");
  g_Popup_Mgr.Close_All(true);
}

TEST_F(Popups, AbortAsksOrSaysTheMissionIsOverWhenTheReportIsUp) {
  Start();
  struct Case {
    int report;  // -1 none, 0 failure, 1 success
    int mode;
    const char* first_line;
  };
  const Case cases[] = {
      {-1, CModal_Dlg::kMode_Choice, "Abort Mission - Are you sure?"},
      {1, CModal_Dlg::kMode_Message, "Mission already completed"},
      {0, CModal_Dlg::kMode_Message, "Mission already aborted"},
  };
  for (const Case& c : cases) {
    // A report shows once per mission: the one before is hidden first.
    g_Menu_Mgr.m_EndGame.Activate(false, false);
    if (c.report >= 0)
      g_Menu_Mgr.Command(kCommand_End_Mission, c.report);
    else
      g_Menu_Mgr.Command(kCommand_Console, 0);
    g_Popup_Mgr.Confirm_Abort();
    ASSERT_TRUE(g_Modal_Dlg.Is_Open());
    EXPECT_EQ(g_Modal_Dlg.m_Mode, c.mode) << c.first_line;
    EXPECT_STREQ(g_Modal_Dlg.m_Lines[0].text, c.first_line);
    g_Modal_Dlg.Term();
  }
}

TEST_F(Popups, EnterRunsTheHighlightedEntryOfTheOpenSimulationMenuOnly) {
  Start();
  g_Popup_Mgr.Toggle_Menu(CPopup_Mgr::kMain_Menu);
  g_Popup_Mgr.On_Enter_Key();
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Menus) << "Enter does nothing on the main menu";
  g_Popup_Mgr.Close_All(true);
  g_Menu_Mgr.Command(kCommand_Launch_Training, 0, content::kLaneTrackIds[0], content::kLaneMusicIds[0]);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  g_Popup_Mgr.Toggle_Menu(CPopup_Mgr::kSim_Menu);
  for (int i = 0; i < 60; ++i) g_Popup_Mgr.Frame(Frame(0.1f), 0.1f);
  ASSERT_TRUE(g_Popup_Mgr.m_Menus[CPopup_Mgr::kSim_Menu].Fully_Open());
  g_Popup_Mgr.Move_Highlight(1);
  g_Popup_Mgr.Move_Highlight(1);  // the second entry: leave
  EXPECT_EQ(g_Popup_Mgr.m_Menus[CPopup_Mgr::kSim_Menu].m_Highlight, 1);
  g_Popup_Mgr.On_Enter_Key();
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Menus);
  EXPECT_TRUE(g_Menu_Mgr.m_Simulator.m_Visible) << "leaving a training run returns to the simulator";
}

TEST_F(Popups, TheOptionsMenuAppliesItsSettingsWhenClosedAnotherWay) {
  Start();
  g_Popup_Mgr.Toggle_Menu(CPopup_Mgr::kMain_Menu);
  for (int i = 0; i < 60; ++i) g_Popup_Mgr.Frame(Frame(0.1f), 0.1f);
  CMenu_Panel& main = g_Popup_Mgr.m_Menus[CPopup_Mgr::kMain_Menu].m_Panel;
  CMenuItem* options = nullptr;
  for (CMenuItem* item : main.Items())
    if (item->m_Kind == kItem_Button && static_cast<CMenuItem_Button*>(item)->m_Caption == "Options Menu") options = item;
  ASSERT_NE(options, nullptr);
  options->On_Click();  // the button's own panel goes away under it
  EXPECT_EQ(g_Popup_Mgr.Open_Menu(), CPopup_Mgr::kOptions_Menu);
  EXPECT_TRUE(g_Game_Paused);
  harness.Key(27);  // Esc closes it
  harness.Pump();
  for (int i = 0; i < 60; ++i) g_Popup_Mgr.Frame(Frame(0.1f), 0.1f);
  EXPECT_FALSE(g_Popup_Mgr.m_Menus[CPopup_Mgr::kOptions_Menu].m_Initialised);
  EXPECT_TRUE(g_Popup_Mgr.m_Menus[CPopup_Mgr::kMain_Menu].m_Initialised) << "rebuilt as the main menu";
  harness.Step(2);
}

}  // namespace

namespace {

TEST_F(Popups, LockCursorRecaptionsAndBackReturnsToAnOpenMainMenu) {
  Start();
  g_Popup_Mgr.Term();
  ASSERT_TRUE(g_Popup_Mgr.Init(CPopup_Mgr::kOptions_Menu));
  g_Popup_Mgr.Toggle_Menu(CPopup_Mgr::kOptions_Menu);
  CMenu_Panel& panel = g_Popup_Mgr.m_Menus[CPopup_Mgr::kOptions_Menu].m_Panel;
  auto* lock = static_cast<CMenuItem_Button*>(panel.Find_Item(CPopup_Mgr::kOption_Lock_Cursor, kItem_Button));
  ASSERT_NE(lock, nullptr);
  g_App_Active = true;
  g_Game_State.Mouse_Cap_Enable = false;
  lock->On_Click();
  ASSERT_TRUE(g_Game_State.Mouse_Cap_Enable);
  EXPECT_EQ(lock->m_Caption, "Enabled");
  lock->On_Click();
  EXPECT_FALSE(g_Game_State.Mouse_Cap_Enable);
  EXPECT_EQ(lock->m_Caption, "Disabled");
  CMenuItem* back = nullptr;
  for (CMenuItem* item : panel.Items())
    if (item->m_Kind == kItem_Button && static_cast<CMenuItem_Button*>(item)->m_Caption == "Back") back = item;
  ASSERT_NE(back, nullptr);
  back->On_Click();  // rebuilds the pop-ups under the button
  EXPECT_EQ(g_Popup_Mgr.Open_Menu(), CPopup_Mgr::kMain_Menu);
  EXPECT_TRUE(g_Popup_Mgr.m_Menus[CPopup_Mgr::kMain_Menu].Fully_Open());
  EXPECT_FALSE(g_Popup_Mgr.m_Menus[CPopup_Mgr::kOptions_Menu].m_Initialised);
  g_Game_State.Mouse_Cap_Enable = true;
  harness.Step(1);
}

TEST_F(Dialogs, TheArrowMovesTheHighlightAndTheMouseTakesItBack) {
  Start();
  ASSERT_TRUE(Open(CModal_Dlg::kMode_Choice));
  g_Modal_Dlg.Add_Line("Ok", 0xFFFFFFFF, 0, kCommand_Close, 0);
  g_Modal_Dlg.Add_Line("Cancel", 0xFFFFFFFF, 0, kCommand_Close, 0);
  g_Modal_Dlg.Update(2.0f);
  const CModal_Dlg::Line& ok = g_Modal_Dlg.m_Lines[0];
  const int x = static_cast<int>(W() / 2);
  const int y = static_cast<int>(g_Modal_Dlg.m_Current.y + ok.y_offset + ok.text_height / 2);
  harness.Move_Mouse(x, y);
  g_Modal_Dlg.Update(0.1f);
  EXPECT_EQ(g_Modal_Dlg.m_Highlight, 0) << "the line under the cursor";
  g_Modal_Dlg.Select_Next();
  g_Modal_Dlg.Update(0.1f);
  EXPECT_EQ(g_Modal_Dlg.m_Highlight, 1) << "the resting cursor does not take it back";
  harness.Move_Mouse(x + 1, y);
  g_Modal_Dlg.Update(0.1f);
  EXPECT_EQ(g_Modal_Dlg.m_Highlight, 0) << "moving the mouse does";
}

}  // namespace
