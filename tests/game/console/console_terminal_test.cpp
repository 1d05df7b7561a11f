#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "platform/window/cursor.h"
#include "runtime/src/render/iks_render_device.h"
#include "tests/game/console/console_fixture.h"

namespace {

constexpr uint32_t kClick = 0x220000db, kKey = 0x220000dc, kError = 0x220000dd, kOpening = 0x220000de,
                   kTyping = 0x220000df;

using Console = ConsoleGame;

// The time at which each character of the queued item appears, stepping from tick to tick.
std::vector<float> Print_Times(CMenu_Console& c, size_t characters) {
  std::vector<float> times;
  float now = 0.0f;
  size_t printed = 0;
  for (int i = 0; i < 1000 && times.size() < characters; ++i) {
    const float step = std::max(c.m_Print_Timer, 0.0f);
    now += step;
    c.Update(step);
    size_t total = 0;
    for (const auto& line : c.m_Lines) total += line.text.size();
    while (printed < total) {
      times.push_back(now);
      ++printed;
    }
  }
  return times;
}

TEST_F(Console, PausesHoldTheTypingAndTheOthersComeATickApart) {
  Record_Sounds();
  console().Print_Line("abc\a\adef", false);
  const std::vector<float> times = Print_Times(console(), 6);
  ASSERT_EQ(times.size(), 6u);
  const float want[5] = {0.15f, 0.15f, 1.45f, 0.15f, 0.15f};
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(times[i + 1] - times[i], want[i], 0.0001f) << i;
  ASSERT_EQ(console().m_Lines.size(), 1u);
  EXPECT_EQ(console().m_Lines[0].text, "abcdef");
  EXPECT_EQ(console().m_Lines[0].width, 60) << "measured in the console font";
  EXPECT_EQ(Sounds(kTyping), 6) << "one tick a letter, none for a pause";
}

TEST_F(Console, TypingIsSilentWhileTheConsoleIsLessThanHalfOpen) {
  Record_Sounds();
  console().m_Open_Fraction = 0.4f;
  console().Print_Line("abc", false);
  Drain();
  EXPECT_EQ(console().m_Lines.back().text, "abc");
  EXPECT_EQ(Sounds(kTyping), 0);
}

TEST_F(Console, AnImmediateItemIsPrintedWholeInTheFrameItIsDue) {
  console().Print_Line("typed out", false);
  console().Print_Line("all at once", true);
  console().Update(0.15f);
  EXPECT_EQ(console().m_Lines.back().text, "t") << "a typed item takes a character a tick";
  console().m_Pending.pop_front();
  console().m_New_Line = true;
  console().Update(0.15f);
  EXPECT_EQ(console().m_Lines.back().text, "all at once");
  console().Update(0.01f);
  EXPECT_EQ(console().m_Pending.size(), 1u) << "nothing more before the next tick";
}

TEST_F(Console, TheNineteenthLinePushesTheOldestOut) {
  for (int i = 1; i <= 19; ++i) console().Print_Line("line " + std::to_string(i), true);
  Drain();
  ASSERT_EQ(console().m_Lines.size(), 18u);
  EXPECT_EQ(console().m_Lines.front().text, "line 2");
  EXPECT_EQ(console().m_Lines.back().text, "line 19");
}

TEST_F(Console, LongOutputWrapsBetweenWordsWithinTheTextWidth) {
  const std::string text =
      "the quick brown fox jumps over the lazy dog while the console keeps every line inside its screen";
  console().Print_Line(text, true);
  Drain();
  ASSERT_GT(console().m_Lines.size(), 1u);
  std::string joined;
  for (const auto& line : console().m_Lines) {
    // A trailing blank may hang over the edge; the words stay inside (10 pixels a character).
    const size_t end = line.text.find_last_not_of(' ');
    EXPECT_LE(static_cast<int>(end + 1) * 10, CMenu_Console::Text_Width()) << line.text;
    EXPECT_NE(line.text.front(), ' ') << "a word that does not fit starts the next line";
    joined += line.text;
  }
  EXPECT_EQ(joined, text);
}

TEST_F(Console, ALineTooWideForAnyWidthStillPrintsAndEnds) {
  // Without fonts nothing fits; the printing must still come to an end.
  g_Menu_Mgr.Release_Fonts();
  console().Print_Line("no font at all", true);
  console().Update(0.15f);
  EXPECT_TRUE(g_Menu_Mgr.Create_Fonts());
  EXPECT_EQ(console().m_Pending.front().text, "") << "the whole item printed";
}

struct Editor_Case {
  int state;
  std::string input;
  int code;
  std::string want_input;
  bool error;
};

TEST_F(Console, TheLineEditorTakesOrRefusesByPromptState) {
  const std::string full(18, 'n');
  // Words of nine letters that, after the prompt ": ", leave room for one more character.
  const size_t room = static_cast<size_t>(CMenu_Console::Text_Width() / 10);
  std::string nearly_full_command;
  while (nearly_full_command.size() + 2 < room - 1) nearly_full_command += nearly_full_command.size() % 10 == 9 ? ' ' : 'a';
  if (nearly_full_command.back() == ' ') nearly_full_command.back() = 'a';
  const Editor_Case cases[] = {
      {1, "", 'a', "a", false},
      {1, "ab", '7', "ab7", false},
      {1, full, 'a', full, true},
      {1, full, 8, full.substr(0, 17), false},
      {1, "", ' ', "", true},
      {1, "ab ", ' ', "ab ", true},
      {1, "ab", ' ', "ab ", false},
      {1, "ab", '-', "ab", true},
      {1, "ab", 9, "ab", true},
      {1, "", 8, "", false},
      {2, "help", '&', "help", true},
      {2, "help", '-', "help-", false},
      {2, nearly_full_command, 'a', nearly_full_command + "a", false},
      {2, nearly_full_command + "a", 'a', nearly_full_command + "a", true},
      {2, nearly_full_command + "a", 8, nearly_full_command, false},
      {2, "x", 1, "x", true},
  };
  for (const Editor_Case& c : cases) {
    Record_Sounds();
    At_Prompt(c.state, c.input);
    console().m_Cursor_Phase = 2.0f;
    EXPECT_TRUE(console().On_Char(c.code, 0));
    EXPECT_EQ(console().m_Input, c.want_input) << c.state << " '" << c.input << "' " << c.code;
    EXPECT_EQ(Sounds(kError), c.error ? 1 : 0) << c.state << " '" << c.input << "' " << c.code;
    EXPECT_EQ(Sounds(kKey), c.error ? 0 : 1) << c.state << " '" << c.input << "' " << c.code;
    if (!c.error) {
      EXPECT_EQ(console().m_Cursor_Phase, 0.0f);
    }
    Stop_Recording_Sounds();
  }
}

TEST_F(Console, AKeyTheCallerTookIsIgnored) {
  Record_Sounds();
  At_Prompt(2, "he");
  EXPECT_FALSE(console().On_Char('%', 1));
  EXPECT_EQ(console().m_Input, "he");
  EXPECT_EQ(Sounds(kError) + Sounds(kKey), 0);
}

TEST_F(Console, OnlyTheCommandLineAndTheStartFitCharactersOnALine) {
  struct Case {
    int state;
    int code;
    bool fits;
  };
  const Case cases[] = {{0, 'a', true}, {2, 'a', true}, {1, 'a', false}, {3, 'y', false}, {4, 'y', false},
                        {1, 13, false}, {2, 13, true},  {2, 8, true}};
  for (const Case& c : cases) {
    At_Prompt(c.state);
    EXPECT_EQ(console().Fits_On_Line(c.code), c.fits) << c.state << " " << c.code;
  }
}

TEST_F(Console, ThePullTabIsHitOnlyStrictlyInsideIt) {
  const float W = g_pRenderDevice->GetScreenWidthF(), H = g_pRenderDevice->GetScreenHeightF();
  struct Case {
    float open;
    float x, y;  // fractions of the screen
    bool over;
  };
  const Case cases[] = {
      {1.0f, 0.90f, 0.5f, true},   {1.0f, 0.88f, 0.5f, false},  {1.0f, 0.92f, 0.5f, false},
      {1.0f, 0.90f, 0.05f, false}, {1.0f, 0.90f, 0.06f, true},  {1.0f, 0.90f, 0.95f, false},
      {1.0f, 0.50f, 0.5f, false},  {0.0f, 0.01f, 0.5f, true},   {0.0f, 0.90f, 0.5f, false},
      {0.5f, 0.46f, 0.5f, true},   {0.5f, 0.90f, 0.5f, false},
  };
  for (const Case& c : cases) {
    console().m_Open_Fraction = c.open;
    harness.Move_Mouse(static_cast<int>(std::lround(c.x * W)), static_cast<int>(std::lround(c.y * H)));
    EXPECT_EQ(console().Is_Mouse_Over_Tab(), c.over) << c.open << " " << c.x << " " << c.y;
  }
}

TEST_F(Console, TheFirstVisibilityChangeAfterStartMakesNoClick) {
  Record_Sounds();
  Reset_Console_Session();
  console().Show(false, false);
  EXPECT_EQ(Sounds(kClick), 0) << "the first change is muted";
  console().Show(true, true);
  console().Show(false, true);
  EXPECT_EQ(Sounds(kClick), 0) << "silent changes";
  console().Show(false, false);
  EXPECT_EQ(Sounds(kClick), 0) << "no change";
  console().Show(true, false);
  console().Show(false, false);
  EXPECT_EQ(Sounds(kClick), 2);
}

TEST_F(Console, OpeningTakesFourUnitsPlaysItsSoundOnceAndEndsInTheBanner) {
  Record_Sounds();
  Reset_Console_Session();
  console().m_Prompt_State = CMenu_Console::kPrompt_None;
  console().m_Open_Fraction = 0.0f;
  console().m_Visible = true;
  console().Frame(0.0f);
  EXPECT_EQ(Sounds(kOpening), 0) << "a paused frame does not start it";
  console().Frame(1.0f);
  EXPECT_FLOAT_EQ(console().m_Open_Fraction, 0.25f);
  EXPECT_EQ(Sounds(kOpening), 1);
  console().Frame(2.0f);
  EXPECT_EQ(console().m_Prompt_State, CMenu_Console::kPrompt_None) << "no banner before fully open";
  console().Frame(2.0f);
  EXPECT_EQ(console().m_Open_Fraction, 1.0f);
  EXPECT_EQ(console().m_Prompt_State, CMenu_Console::kPrompt_Login);
  EXPECT_EQ(console().m_Prompt, "Login: ");
  EXPECT_TRUE(Queued_Has("Vorthane"));
  EXPECT_TRUE(Queued_Has("Version 18kA.x101.client"));
  console().Show(false, true);
  console().Frame(3.0f);
  console().Frame(3.0f);
  EXPECT_EQ(console().m_Open_Fraction, 0.0f);
  console().Show(true, true);
  console().Frame(1.0f);
  EXPECT_EQ(Sounds(kOpening), 1) << "only the first opening";
}

TEST_F(Console, ALoggedInUserComesBackAtTheCommandPromptAfterAReset) {
  g_Console_Session.logged_in = true;
  g_Console_Session.remembered_name = "Keeper";
  console().m_User_Name.clear();
  console().Term();
  ASSERT_TRUE(console().Init());
  EXPECT_EQ(console().m_User_Name, "Keeper");
  EXPECT_EQ(console().m_Prompt_State, CMenu_Console::kPrompt_Command);
  EXPECT_EQ(console().m_Prompt, ": ");
  EXPECT_EQ(console().m_Open_Fraction, 0.0f) << "closed after Init";
}

// ---------------------------------------------------------------------------------------------
// Drawing

const Drawn_Text* Find_Drawn(const std::vector<Drawn_Text>& drawn, const std::string& text) {
  for (const Drawn_Text& d : drawn)
    if (d.text == text && d.colour >> 24 != 0 && (d.colour & 0xffffff) != 0) return &d;
  return nullptr;
}

TEST_F(Console, TheLinesThePromptAndTheCursorAreDrawnInPlace) {
  const float W = g_pRenderDevice->GetScreenWidthF(), H = g_pRenderDevice->GetScreenHeightF();
  ASSERT_EQ(g_Camera.Mode(), CCamera::kPlaced);
  console().Print_Line("first", true);
  console().Print_Line("second", true);
  Drain();
  At_Prompt(1, "ace");
  console().m_Cursor_Phase = 0.0f;
  drawn.clear();
  console().Render(Frame(0.0f));
  const Drawn_Text* first = Find_Drawn(drawn, "first");
  const Drawn_Text* second = Find_Drawn(drawn, "second");
  const Drawn_Text* prompt = Find_Drawn(drawn, "Login: ");
  const Drawn_Text* input = Find_Drawn(drawn, "ace");
  const Drawn_Text* cursor = Find_Drawn(drawn, "_");
  ASSERT_TRUE(first && second && prompt && input && cursor);
  EXPECT_EQ(first->rect.left, static_cast<int>(W * 0.1465f));
  EXPECT_EQ(first->rect.top, static_cast<int>(H * 0.1302f));
  EXPECT_EQ(first->colour, 0xffbbccbbu);
  EXPECT_EQ(second->rect.top, static_cast<int>(H * 0.1302f + W * 0.027f));
  EXPECT_EQ(prompt->rect.top, static_cast<int>(H * 0.1302f + 2 * W * 0.027f)) << "the prompt on the next line";
  EXPECT_EQ(prompt->colour, 0xffbbbbccu);
  EXPECT_EQ(input->rect.left, prompt->rect.left + 70) << "the input after the prompt";
  EXPECT_EQ(cursor->rect.left, input->rect.left + 30) << "the cursor after the last character";
  EXPECT_EQ(cursor->colour, 0xffbbbbccu) << "alpha capped at 255";

  // Half a turn of the cursor phase: fully transparent, not drawn.
  console().m_Cursor_Phase = 3.14159265f;
  drawn.clear();
  console().Render(Frame(0.0f));
  EXPECT_EQ(Find_Drawn(drawn, "_"), nullptr);

  // Queued output hides the prompt until it is typed.
  console().Print_Line("more", false);
  drawn.clear();
  console().Render(Frame(0.0f));
  EXPECT_EQ(Find_Drawn(drawn, "Login: "), nullptr);

  console().m_Open_Fraction = 0.0f;
  drawn.clear();
  console().Render(Frame(0.0f));
  EXPECT_TRUE(drawn.empty()) << "a closed console draws only its frame";
}

TEST_F(Console, ReMeasuringFollowsTheFont) {
  console().Print_Line("abcd", true);
  Drain();
  console().m_Lines.back().width = 0;
  console().Measure_Lines();
  EXPECT_EQ(console().m_Lines.back().width, 40);
}

}  // namespace
