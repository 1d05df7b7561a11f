// The whole game ending a training run into its statistics summary: the dialog with its rows
// and button, and the button's way back to the trainer. Set VT_RUN_SHOTS to a folder to keep
// the picture.
#include <cstdlib>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "tests/game/core/running_game.h"
#include "tools/content/sim_content.h"

namespace {

class Summary_Scene : public RunningGame {
 protected:
  void Launch() {
    Start();
    g_Menu_Mgr.Command(kCommand_Launch_Training, 2, content::kLaneTrackIds[2], content::kLaneMusicIds[2]);
    harness.Step_Undrawn(60, 40);  // the run gets going; nothing here is looked at
    ASSERT_EQ(g_Game.Get_Mode(), 2);
  }
  // The summary opens as it is drawn, its clock running by the frames' smoothed step: once
  // undrawn frames (the dialog pauses the run) have smoothed it to the longest (100 ms), a dozen
  // drawn ones open the dialog and show its rows.
  void Open_Summary() {
    g_Music_Track.Show_Statistics();
    harness.Step_Undrawn(40, 100);
    harness.Step(12, 100);
  }
  // The texts of the dialog's items in order: text lines, and button captions marked "[...]".
  static std::vector<std::string> Dialog_Texts() {
    std::vector<std::string> texts;
    for (CMenuItem* item : g_Modal_Dlg.m_Panel.Items()) {
      if (auto* text = dynamic_cast<CMenuItem_Text*>(item))
        for (const std::string& line : text->m_Lines) texts.push_back(line);
      if (auto* button = dynamic_cast<CMenuItem_Button*>(item)) texts.push_back("[" + button->m_Caption + "]");
    }
    return texts;
  }
};

TEST_F(Summary_Scene, TheRunEndsInTheSummaryAndItsButtonReturnsToTheTrainer) {
  Launch();
  g_Music_Track.m_Sim_Key = "5150";
  g_Music_Track.m_User_Name = "Ann";
  g_Sim_Stats.m_Shots = 12;
  g_Sim_Stats.m_Hits = 9;
  g_Sim_Stats.m_Launches = 10;
  g_Score_Board_Mgr.Award_Points(1250, 1.0f);
  g_Score_Board_Mgr.Award_Target_Hit();
  Open_Summary();
  ASSERT_TRUE(g_Modal_Dlg.Is_Open());
  EXPECT_EQ(g_Modal_Dlg.Mode(), CModal_Dlg::kMode_Panel);
  const std::vector<std::string> texts = Dialog_Texts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.front(), "Simulation Statistics Summary");
  EXPECT_EQ(texts.back(), "[Return to Trainer]");
  auto after = [&](const std::string& label) {
    for (size_t i = 0; i + 1 < texts.size(); ++i)
      if (texts[i] == label) return texts[i + 1];
    return std::string("(missing)");
  };
  EXPECT_EQ(after("Score:"), "2,700") << "1,250 and 750, times 1.35";
  EXPECT_EQ(after("Shot Count:"), "12");
  EXPECT_EQ(after("Accuracy:"), "75 %");
  EXPECT_EQ(after("Percent Cleared:"), "90 %");
  EXPECT_EQ(after("Rank:"), "1st");
  EXPECT_EQ(after("Ratings"), "Reaction Speed Rating:") << "a heading without a value";
  if (const char* dir = std::getenv("VT_RUN_SHOTS")) harness.Save_Png(std::string(dir) + "/summary.png");
  // Every row lies inside the dialog's box.
  float left = 0, top = 0, right = 0, bottom = 0;
  g_Modal_Dlg.Box_Rect(left, top, right, bottom);
  for (CMenuItem* item : g_Modal_Dlg.m_Panel.Items()) {
    EXPECT_GE(item->m_Y, top) << item->m_Kind;
    EXPECT_LE(item->m_Y + item->m_H, bottom) << "an item reaching below the box at " << item->m_Y;
    EXPECT_LE(item->m_X + item->m_W, right) << item->m_X;
  }

  const float sw = g_Camera.Screen_Width(), sh = g_Camera.Screen_Height();
  harness.Move_Mouse(static_cast<int>(0.74f * sw), static_cast<int>(0.75f * sh));
  harness.Step(2, 16);
  harness.Left_Down();
  harness.Step(1, 16);
  harness.Left_Up();
  harness.Step(5, 16);
  EXPECT_FALSE(g_Modal_Dlg.Is_Open());
  EXPECT_EQ(g_Game.Get_Mode(), 1) << "back in the menus";
}

// Every label ends before its value begins, and each half's values stand in one column: the
// longest labels ("Max Linked Point Total:", "Reaction Speed Rating:") would otherwise run into
// their values.
TEST_F(Summary_Scene, NoLabelRunsIntoItsValue) {
  Launch();
  g_Music_Track.m_Sim_Key = "5150";
  g_Music_Track.m_User_Name = "Ann";
  g_Score_Board_Mgr.Award_Points(1250, 1.0f);
  Open_Summary();
  ASSERT_TRUE(g_Modal_Dlg.Is_Open());
  std::vector<CMenuItem_Text*> texts;
  for (CMenuItem* item : g_Modal_Dlg.m_Panel.Items())
    if (auto* text = dynamic_cast<CMenuItem_Text*>(item)) texts.push_back(text);
  const float sw = g_Camera.Screen_Width();
  int pairs = 0;
  std::vector<float> left_values, right_values;
  for (size_t i = 0; i + 1 < texts.size(); ++i) {
    const CMenuItem_Text& label = *texts[i];
    const CMenuItem_Text& value = *texts[i + 1];
    if (label.m_Y != value.m_Y || value.m_X <= label.m_X) continue;  // not a label and its value
    ++pairs;
    const std::string name = label.m_Lines.empty() ? std::string() : label.m_Lines[0];
    EXPECT_LT(label.m_X + label.m_W, value.m_X - 0.005f * sw) << name;
    (label.m_X < 0.5f * sw ? left_values : right_values).push_back(value.m_X);
  }
  EXPECT_EQ(pairs, 15) << "every row but the ratings heading has a value";
  for (const float x : left_values) EXPECT_EQ(x, left_values.front()) << "one column of values";
  for (const float x : right_values) EXPECT_EQ(x, right_values.front());
  if (const char* dir = std::getenv("VT_RUN_SHOTS")) harness.Save_Png(std::string(dir) + "/summary_columns.png");
}

// A launch closes the summary left open over the finished run: the new run starts without the
// dialog, which would otherwise hold its input and send it back to the trainer.
TEST_F(Summary_Scene, ALaunchClosesASummaryLeftOpen) {
  Launch();
  g_Music_Track.Show_Statistics();
  harness.Step(10, 16);
  ASSERT_TRUE(g_Modal_Dlg.Is_Open());
  g_Menu_Mgr.Command(kCommand_Launch_Site, 2, content::kLaneTrackIds[2], content::kLaneMusicIds[2]);
  EXPECT_FALSE(g_Modal_Dlg.Is_Open());
  EXPECT_EQ(g_Game.Get_Mode(), 2);
  EXPECT_FALSE(g_Game_Paused) << "the new run runs";
  harness.Step(20, 16);
  EXPECT_FALSE(g_Modal_Dlg.Is_Open());
  EXPECT_EQ(g_Game.Get_Mode(), 2);
}

}  // namespace
