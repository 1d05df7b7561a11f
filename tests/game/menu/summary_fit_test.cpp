// The statistics summary with the serif face at its real size (800 x 600): every value ends
// inside the dialog, a rank text too long for its row wraps onto the blank row below it, and
// nothing is drawn over the dialog's right border. Set VT_RUN_SHOTS to keep the pictures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CMusic_Track.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "tests/game/core/running_game.h"
#include "tools/content/sim_content.h"

namespace {

using Summary_Fit = RunningGame;

TEST_F(Summary_Fit, EveryValueEndsInsideTheDialogAndClearOfItsBorder) {
  struct Case {
    const char* what;
    const char* name_to_beat;  // fills the table ahead of the run; empty: no table
    const char* rank_text;
  };
  const Case cases[] = {
      {"no table", "", "Not Recorded (you failed to beat the 50th ranked score)"},
      {"a long name to beat", "Abcdefghijklmnopqrstuvw",
       "Not Recorded (you failed to beat 50th ranked Abcdefghijklmnopqrstuvw)"},
  };
  Start();
  for (const Case& c : cases) {
    g_Menu_Mgr.Command(kCommand_Launch_Training, 2, content::kLaneTrackIds[2], content::kLaneMusicIds[2]);
    harness.Step_Undrawn(30, 40);  // the run gets going; nothing here is looked at
    ASSERT_EQ(g_Game.Get_Mode(), 2) << c.what;
    CRank_Data& ranks = g_Communications_Mgr.m_Rank_Data;
    ranks.Clear();
    g_Music_Track.m_Sim_Key = "";
    if (*c.name_to_beat) {
      g_Music_Track.m_Sim_Key = "5150";
      ranks.m_Loaded = true;
      for (int i = 0; i < Rank_Table::kEntries; ++i)
        ranks.Insert_Score("5150", c.name_to_beat, 1000000u - static_cast<uint32_t>(i), 0, true);
    }
    g_Music_Track.m_User_Name = "Ann";
    g_Music_Track.Show_Statistics();
    // The dialog opens as it is drawn, its clock running by the frames' smoothed step: once
    // undrawn frames (the dialog pauses the run) have smoothed it to the longest (100 ms), a
    // dozen drawn ones open it and show its rows.
    harness.Step_Undrawn(40, 100);
    harness.Step(12, 100);
    ASSERT_TRUE(g_Modal_Dlg.Is_Open()) << c.what;
    float left = 0, top = 0, right = 0, bottom = 0;
    g_Modal_Dlg.Box_Rect(left, top, right, bottom);
    const float sw = g_Camera.Screen_Width(), sh = g_Camera.Screen_Height();
    const CMenuItem_Text* rank_label = nullptr;
    const CMenuItem_Text* rank_value = nullptr;
    const CMenuItem_Text* previous = nullptr;
    for (const CMenuItem* item : g_Modal_Dlg.m_Panel.Items()) {
      const auto* text = dynamic_cast<const CMenuItem_Text*>(item);
      if (!text) continue;
      for (const std::string& line : text->m_Lines) {
        const float line_width = static_cast<float>(g_Menu_Mgr.Get_Text_Width(1, line.c_str()));
        EXPECT_LE(text->m_X + line_width, right - 0.005f * sw) << c.what << ": " << line;
      }
      if (previous && !previous->m_Lines.empty() && previous->m_Lines[0] == "Rank:") {
        rank_label = previous;
        rank_value = text;
      }
      previous = text;
    }
    ASSERT_NE(rank_value, nullptr) << c.what;
    std::string joined;
    for (const std::string& line : rank_value->m_Lines) joined += line;
    EXPECT_EQ(joined, c.rank_text) << "the whole rank text is shown";
    EXPECT_FLOAT_EQ(rank_value->m_Y, rank_label->m_Y) << "its first line stands on the rank row";
    std::vector<uint32_t> pixels;
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(harness.Read_Back(pixels, width, height));
    auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)]; };
    // The border's column keeps its colour down the rank rows; no value green reaches past it.
    const int border_x = static_cast<int>(right);
    int green_past_border = 0, border_changed = 0;
    for (int y = static_cast<int>(rank_value->m_Y); y < static_cast<int>(rank_value->m_Y + 2 * 0.035f * sh); ++y) {
      const uint32_t border = at(border_x, y);
      border_changed += ((border >> 16) & 0xFF) < 0xb0 || ((border >> 8) & 0xFF) > 0x80;
      for (int x = border_x + 1; x < border_x + 40; ++x) {
        const uint32_t p = at(x, y);
        green_past_border += ((p >> 8) & 0xFF) > 170 && ((p >> 16) & 0xFF) < 140;
      }
    }
    EXPECT_EQ(border_changed, 0) << c.what;
    EXPECT_EQ(green_past_border, 0) << c.what;
    if (const char* dir = std::getenv("VT_RUN_SHOTS"))
      harness.Save_Png(std::string(dir) + "/summary_fit_" + std::to_string(&c - cases) + ".png");
    g_Modal_Dlg.Term();
    g_Menu_Mgr.Command(kCommand_Simulator, 0);
    harness.Step(5);
    ranks.Clear();
  }
}

}  // namespace
