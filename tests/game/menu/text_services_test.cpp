#include <gtest/gtest.h>

#include "game/core/CGame_State.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/Word_Wrap.h"
#include "platform/window/window.h"
#include "tests/game/menu/menu_fixture.h"

namespace {

using TextServices = MenuGame;

TEST_F(TextServices, AmpersandPrefixesAreNotCountedInTheWidth) {
  Start();
  struct Case {
    const char* text;
    int width;
  };
  const Case cases[] = {
      {"A&&B", 3 * kAdvance},  // "&&" draws one "&"
      {"AB&", 3 * kAdvance},   // an "&" among the last two characters is not a prefix
      {"A&B", 3 * kAdvance},
      {"&Exit", 4 * kAdvance},
      {"", 0},
      {"a\tb", 2 * kAdvance},  // control characters measure nothing
  };
  for (const Case& c : cases) EXPECT_EQ(g_Menu_Mgr.Get_Text_Width(1, c.text), c.width) << c.text;
  EXPECT_EQ(g_Menu_Mgr.Get_Text_Width(1, nullptr), 0);
  EXPECT_EQ(g_Menu_Mgr.Get_Text_Width(7, "AB"), 0) << "no such font";
}

TEST_F(TextServices, TextFitCountsTheCharactersThatFitTheWidth) {
  Start();
  EXPECT_EQ(g_Menu_Mgr.Get_Text_Fit(0, "abcdef", 35), 3);
  EXPECT_EQ(g_Menu_Mgr.Get_Text_Fit(0, "abcdef", 60), 6);
  EXPECT_EQ(g_Menu_Mgr.Get_Text_Fit(0, "abcdef", 0), 0);
}

TEST_F(TextServices, ShadowFlagDrawsBlackAtAPixelDownRightFirstThenTheTextCentred) {
  Start();
  drawn.clear();
  g_Menu_Mgr.Draw_Text(2, "Hello", CVector2{10.7f, 20.2f}, CVector2{100.9f, 30.0f}, 0x80FF8040, 0x5);
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[0].colour, 0x80000000u) << "the shadow keeps only the alpha";
  EXPECT_EQ(drawn[0].rect.left, 11);
  EXPECT_EQ(drawn[0].rect.top, 21);
  EXPECT_EQ(drawn[0].rect.right, 111);
  EXPECT_EQ(drawn[0].rect.bottom, 51);
  EXPECT_EQ(drawn[1].colour, 0x80FF8040u);
  EXPECT_EQ(drawn[1].rect.left, 10);
  EXPECT_EQ(drawn[1].rect.right, 110);
  EXPECT_EQ(drawn[1].format, DT_VCENTER | DT_CENTER);
  EXPECT_EQ(drawn[0].format, drawn[1].format);

  drawn.clear();
  g_Menu_Mgr.Draw_Text(2, "Right", CVector2{0, 0}, CVector2{50, 20}, 0xFFFFFFFF, 0x2);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].format, DT_VCENTER | DT_RIGHT);
  g_Menu_Mgr.Draw_Text(2, nullptr, CVector2{0, 0}, CVector2{50, 20}, 0xFFFFFFFF, 0x4);
  g_Menu_Mgr.Draw_Text(9, "x", CVector2{0, 0}, CVector2{50, 20}, 0xFFFFFFFF, 0x4);
  EXPECT_EQ(drawn.size(), 1u) << "a null text or a missing font draws nothing";
}

TEST_F(TextServices, WordWrapBreaksAtBlanksAndWholePiecesOfEachLength) {
  Start();
  struct Case {
    const char* text;
    int width;
    int lines;
    int piece;
    bool keep_newlines;
    std::vector<std::string> want;
    bool all_placed;
  };
  const Case cases[] = {
      // A word longer than the piece splits after whole pieces of 8, 7 or 6.
      {"abcdefghijklmnop qr", 100, 5, 8, false, {"abcdefgh", "ijklmnop ", "qr"}, true},
      {"abcdefghijklmnop qr", 100, 5, 7, false, {"abcdefg", "hijklmnop ", "qr"}, true},
      {"abcdefghijklmnop qr", 100, 5, 6, false, {"abcdef", "ghijkl", "mnop qr"}, true},
      // Words go on while they fit.
      {"one two three four", 100, 5, 8, false, {"one two ", "three four"}, true},
      // A newline ends the line: a blank for labels, kept for the edit field.
      {"ab\ncd", 100, 5, 8, false, {"ab ", "cd"}, true},
      {"ab\ncd", 100, 5, 6, true, {"ab\n", "cd"}, true},
      // Text past the line count is cut.
      {"one two three four", 100, 1, 8, false, {"one two "}, false},
      // A piece that fits no line gives empty lines.
      {"abcdefgh", 30, 2, 8, false, {"", ""}, false},
  };
  for (const Case& c : cases) {
    const Wrap_Result result = Wrap_Text(0, c.text, c.width, c.lines, c.piece, c.keep_newlines);
    EXPECT_EQ(result.lines, c.want) << c.text << " piece " << c.piece;
    EXPECT_EQ(result.all_placed, c.all_placed) << c.text << " piece " << c.piece;
  }
}

TEST_F(TextServices, AWindowIsFittedStrictlyInsideTheDesktop) {
  struct Case {
    int index, desktop_width, desktop_height, want;
  };
  const Case cases[] = {
      {2, 1024, 768, 1},   // 1024 x 768 is not strictly inside
      {4, 1024, 768, 1},   {4, 1920, 1200, 3}, {4, 1601, 1201, 4},
      {1, 800, 600, 0},    {0, 320, 200, 0},   {7, 1920, 1200, 1},  // outside 0-4 counts as 1
      {-3, 640, 480, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CMenu_Mgr::Fit_Resolution_To_Desktop(c.index, c.desktop_width, c.desktop_height), c.want)
        << c.index << " on " << c.desktop_width << "x" << c.desktop_height;
}

TEST_F(TextServices, AFontThatCannotBeMadeIsReportedWithTheFilesTried) {
  Start();
  g_Menu_Mgr.Release_Fonts();
  D3DXFont_Set_Test_Metrics(0, 0);
  D3DXFont_Set_Search_Files({"/nonexistent/serif-one.ttf", "/nonexistent/serif-two.ttf"});
  EXPECT_FALSE(g_Menu_Mgr.Create_Fonts());
  D3DXFont_Set_Search_Files({});
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages.back().find("/nonexistent/serif-one.ttf"), std::string::npos) << messages.back();
  EXPECT_NE(messages.back().find("/nonexistent/serif-two.ttf"), std::string::npos) << messages.back();
  D3DXFont_Set_Test_Metrics(kAdvance, kCell);
  EXPECT_TRUE(g_Menu_Mgr.Create_Fonts());
  EXPECT_TRUE(g_Menu_Mgr.Fonts_Created());
}

}  // namespace

namespace {

TEST_F(TextServices, ResettingTheDisplayFitsAWindowedModeToTheDesktop) {
  Start();
  const int desktop_width = GetSystemMetrics(SM_CXSCREEN), desktop_height = GetSystemMetrics(SM_CYSCREEN);
  if (desktop_width != 1024 || desktop_height != 768) GTEST_SKIP() << "the display is not 1024 x 768";
  g_Game_State.Display_Windowed = true;
  g_Game_State.Display_Resolution = 2;
  g_Menu_Mgr.Reset_Display_Mode();
  EXPECT_EQ(g_Game_State.Display_Resolution, 1) << "800 x 600: 1024 x 768 does not fit strictly inside";
  EXPECT_TRUE(g_Menu_Mgr.Fonts_Created());
  EXPECT_FALSE(g_Menu_Mgr.Reset_Display_Mode()) << "nothing left to change";
  EXPECT_TRUE(messages.empty()) << messages.front();
}

}  // namespace
