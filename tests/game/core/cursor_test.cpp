#include <gtest/gtest.h>

#include "game/core/CCursor_Mgr.h"
#include "game/core/CGame_State.h"
#include "game/menu/CModal_Dlg.h"
#include "game/menu/CPopup_Mgr.h"

namespace {

class CursorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = g_Game_State;
    ASSERT_TRUE(cursor.Init());
    g_Popup_Mgr.Init(3);
  }
  void TearDown() override {
    cursor.Term();
    g_Popup_Mgr.Term();
    g_Modal_Dlg.Term();
    g_Game_State.m_Sim_Kind = saved.m_Sim_Kind;
    g_Game_State.Hide_Cursor_In_Sims = saved.Hide_Cursor_In_Sims;
  }
  CGame_State saved;
  CCursor_Mgr cursor;
};

TEST_F(CursorTest, TheKindFollowsTheModeTheDialogAndTheOptions) {
  struct Case {
    unsigned sim_kind;
    bool dialog_open;
    bool popup_open;
    bool hide_in_sims;
    bool show;
    int want;
  };
  const Case cases[] = {
      {0, false, false, false, true, CCursor_Mgr::kArrow},
      {0, true, false, false, true, CCursor_Mgr::kArrow},
      {0, false, false, true, true, CCursor_Mgr::kArrow},  // the option acts only in simulations
      {1, false, false, false, true, CCursor_Mgr::kCross_Hair},
      {2, false, false, false, true, CCursor_Mgr::kCross_Hair},
      {1, true, false, false, true, CCursor_Mgr::kArrow},
      {1, false, false, true, true, CCursor_Mgr::kNo_Cursor},
      {1, false, true, true, true, CCursor_Mgr::kCross_Hair},  // a pop-up brings it back
      {1, true, true, true, true, CCursor_Mgr::kArrow},
      {0, false, false, false, false, CCursor_Mgr::kNo_Cursor},  // held right button
      {1, false, false, false, false, CCursor_Mgr::kNo_Cursor},
  };
  for (const Case& c : cases) {
    g_Game_State.m_Sim_Kind = c.sim_kind;
    g_Game_State.Hide_Cursor_In_Sims = c.hide_in_sims;
    g_Modal_Dlg.Term();
    if (c.dialog_open) g_Modal_Dlg.Open(CModal_Dlg::kMode_Message);
    g_Popup_Mgr.Close_All(true);
    if (c.popup_open) g_Popup_Mgr.Toggle_Menu(CPopup_Mgr::kSim_Menu);
    cursor.m_Show = c.show;
    EXPECT_EQ(cursor.Cursor_Kind(), c.want) << c.sim_kind << c.dialog_open << c.popup_open << c.hide_in_sims << c.show;
  }
  cursor.Term();
  g_Game_State.m_Sim_Kind = 0;
  EXPECT_EQ(cursor.Cursor_Kind(), CCursor_Mgr::kNo_Cursor) << "nothing is drawn before Init";
}

TEST_F(CursorTest, MarkerSizesAreFractionsOfTheScreen) {
  struct Case {
    int kind;
    float scale;
    float want_half_width;
    float want_half_height;
  };
  const Case cases[] = {
      {CCursor_Mgr::kArrow, 3.0f, 0.0354f * 800.0f, 0.045f * 600.0f},  // the arrow ignores the scale
      {CCursor_Mgr::kCross_Hair, 1.0f, 0.0236f * 800.0f * 1.25f, 0.03f * 600.0f * 1.25f},
      {CCursor_Mgr::kCross_Hair, 2.0f, 0.0236f * 800.0f * 2.5f, 0.03f * 600.0f * 2.5f},
      {CCursor_Mgr::kMarker, 1.0f, 0.0236f * 800.0f * 1.5f, 0.03f * 600.0f * 1.5f},
  };
  for (const Case& c : cases) {
    float half_width = 0.0f, half_height = 0.0f;
    CCursor_Mgr::Marker_Half_Extents(c.kind, c.scale, 800.0f, 600.0f, half_width, half_height);
    EXPECT_FLOAT_EQ(half_width, c.want_half_width) << c.kind;
    EXPECT_FLOAT_EQ(half_height, c.want_half_height) << c.kind;
  }
}

}  // namespace
