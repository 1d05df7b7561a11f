// The whole game drawing the score board over a launched training world: the total in yellow
// glyphs, the open chain, and popups of every kind. Set VT_RUN_SHOTS to a folder to keep the
// pictures these tests look at.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/core/CWorld_Object.h"
#include "game/sim/CSim_Stats.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "tests/game/core/running_game.h"
#include "tools/content/sim_content.h"

namespace {

struct Picture {
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
};

// Pixels in the box (fractions of the screen) whose colour passes the test.
template <typename Test>
int Count(const Picture& p, float x0, float x1, float y0, float y1, Test test) {
  int n = 0;
  for (uint32_t y = uint32_t(y0 * p.height); y < uint32_t(y1 * p.height); ++y)
    for (uint32_t x = uint32_t(x0 * p.width); x < uint32_t(x1 * p.width); ++x) n += test(p.pixels[y * p.width + x]);
  return n;
}

// The first and last rows in the box holding a pixel that passes the test; -1 when none does.
template <typename Test>
std::pair<int, int> Rows(const Picture& p, float x0, float x1, float y0, float y1, Test test) {
  std::pair<int, int> rows{-1, -1};
  for (uint32_t y = uint32_t(y0 * p.height); y < uint32_t(y1 * p.height); ++y)
    for (uint32_t x = uint32_t(x0 * p.width); x < uint32_t(x1 * p.width); ++x)
      if (test(p.pixels[y * p.width + x])) {
        if (rows.first < 0) rows.first = static_cast<int>(y);
        rows.second = static_cast<int>(y);
        break;
      }
  return rows;
}

// A line of the board drawn at y (a fraction of the height) hangs from it: its glyphs' box, 0.025
// of the height tall, starts 0.09 of its own height above y. The band a little wider than it.
constexpr float kGlyph = 0.025f;
float Line_Top(float y) { return y - 0.09f * kGlyph - 0.003f; }
float Line_Bottom(float y) { return y + 0.91f * kGlyph + 0.003f; }

bool Yellow(uint32_t c) { return ((c >> 16) & 0xff) > 170 && ((c >> 8) & 0xff) > 170 && (c & 0xff) < 110; }
bool Green(uint32_t c) { return ((c >> 16) & 0xff) < 110 && ((c >> 8) & 0xff) > 170 && (c & 0xff) < 110; }

// Every popup of the board at that fraction of its life.
void Popup_Life(CScore_Board_Mgr& board, float life) {
  for (uint32_t i = 0; i < board.m_Popup_Count; ++i)
    board.m_Popups[i].time_left = board.m_Popups[i].duration * (1.0f - life);
}

// The plain points' green word, the green pixels from `from` down (fractions of the height),
// stands on the row's y and below the last row of the line above it.
void Expect_Points_Stand_On(const Picture& p, float y, float from, int above_bottom, const char* what) {
  const std::pair<int, int> points = Rows(p, 0.7f, 0.985f, from, 0.3f, Green);
  ASSERT_GE(above_bottom, 0) << what << ": the line above";
  ASSERT_GE(points.first, 0) << what << ": the points";
  EXPECT_NEAR(points.second, y * static_cast<float>(p.height) - 1.0f, 1.0f) << what << ": the bottom on the row's y";
  EXPECT_GT(points.first, above_bottom) << what << ": clear of the line above";
}

class Board_Scene : public RunningGame {
 protected:
  void Launch() {
    Start();
    g_Menu_Mgr.Command(kCommand_Launch_Training, 1, content::kLaneTrackIds[1], content::kLaneMusicIds[1]);
    // The track is held still: it spawns nothing and its music does not end the run under the
    // board, which the tests drive alone.
    g_Music_Track.Set_Pause(true);
    // The background fades in, updated, not drawn: the tests draw the frames they look at.
    harness.Step_Undrawn(120, 40);
    ASSERT_EQ(g_Game.Get_Mode(), 2);
    ASSERT_TRUE(g_Score_Board_Mgr.Is_Active());
  }
  Picture Shot(const char* name) {
    Picture p;
    EXPECT_TRUE(harness.Read_Back(p.pixels, p.width, p.height));
    if (const char* dir = std::getenv("VT_RUN_SHOTS")) harness.Save_Png(std::string(dir) + "/" + name);
    return p;
  }
};

TEST_F(Board_Scene, TheTotalIsDrawnInYellowGlyphsAndGrowsWithTheScore) {
  Launch();
  harness.Step(2, 16);
  const Picture empty = Shot("board_empty.png");
  const int nought = Count(empty, 0.80f, 0.985f, Line_Top(0.04f), Line_Bottom(0.04f), Yellow);
  EXPECT_GT(nought, 10) << "the total 0 hangs from 0.04 of the height at the top right";
  g_Score_Board_Mgr.m_Closing_Points = 1234567;
  g_Score_Board_Mgr.Commit_Points();
  harness.Step(2, 16);
  const Picture scored = Shot("board_total.png");
  const int digits = Count(scored, 0.80f, 0.985f, Line_Top(0.04f), Line_Bottom(0.04f), Yellow);
  EXPECT_GT(digits, 4 * nought) << "nine characters instead of one";
  // The digits fill their glyph box: from 0.09 of its height above 0.04 of the screen's to the
  // rest below (at 800 x 600, rows 23 to 37).
  const std::pair<int, int> total = Rows(scored, 0.80f, 0.985f, 0.0f, 0.2f, Yellow);
  const float h = kGlyph * static_cast<float>(scored.height), y = 0.04f * static_cast<float>(scored.height);
  EXPECT_NEAR(total.first, y - 0.09f * h, 1.0f) << "the total's top";
  EXPECT_NEAR(total.second, y + 0.91f * h, 1.0f) << "the total's bottom";
  EXPECT_LT(Count(scored, 0.0f, 0.5f, 0.0f, 1.0f, Yellow), digits / 4) << "nothing yellow elsewhere";
}

TEST_F(Board_Scene, PopupsAndTheOpenChainShowUnderTheTotal) {
  Launch();
  CScore_Board_Mgr& board = g_Score_Board_Mgr;
  board.m_Total_Score = 48250;
  board.Award_Points(250, 1.0f);
  board.Award_Link();
  board.Award_Link();
  board.Award_Link();
  board.Award_Target_Hit();
  board.Award_Hit_Streak(6);
  board.Award_Multi_Hit();
  board.Award_Quick_Hit();
  board.Award_Perfect_Round();
  // The popups age in updated frames; only the frame looked at is drawn.
  harness.Step_Undrawn(2, 16);
  harness.Step(1, 16);
  const Picture p = Shot("board_popups.png");
  EXPECT_GT(Count(p, 0.7f, 0.985f, Line_Top(0.07f), Line_Bottom(0.07f), Green), 10)
      << "the open chain, one line below the total";
  EXPECT_GT(Count(p, 0.3f, 0.7f, 0.0f, 0.2f, [](uint32_t c) { return ((c >> 16) & 0xff) > 200; }), 20)
      << "the column-B popups in the middle";
  harness.Step_Undrawn(11, 16);
  harness.Step(1, 16);
  Shot("board_popups_later.png");
  // Let every popup expire: the chain closes and counts up under the total.
  for (int i = 0; i < 400 && (board.m_Popup_Count > 0 || board.m_Commit_Timer == 0.0f); ++i) harness.Step_Undrawn(1, 40);
  ASSERT_GT(board.m_Commit_Timer, 0.0f);
  // The count-up's clock runs in updated frames; the board folds the multiplier in as it draws
  // a frame past a third of it, so the frames from shortly before that on are drawn.
  while (board.m_Commit_Timer > 0.0f && board.m_Commit_Timer < 0.35f) harness.Step_Undrawn(1, 16);
  while (board.m_Commit_Timer > 0.0f && board.m_Commit_Timer < 0.45f) harness.Step(1, 16);
  ASSERT_GT(board.m_Commit_Timer, 0.3333f) << "the multiplier has been folded in";
  const Picture counting = Shot("board_count_up.png");
  EXPECT_EQ(board.m_Closing_Multiplier, 0u);
  EXPECT_GT(Count(counting, 0.75f, 0.985f, Line_Top(0.07f), Line_Bottom(0.07f), Yellow), 10)
      << "the closing points below the total";
  for (int i = 0; i < 200 && board.m_Commit_Timer != 0.0f; ++i) harness.Step_Undrawn(1, 40);
  EXPECT_GT(board.m_Total_Score, 48250u + 5000u) << "committed";
}

// The popups stand where their rows put them, each line of the board hanging from its y: the
// total from 0.04 of the height, the open chain a line (0.03) lower, a first-column popup on
// base + row x line (base one line below the total, two while the open chain shows), and a
// flushed chain's popup on the base itself. The plain points stand on their row's y instead,
// under the line above.
TEST_F(Board_Scene, PopupsStandWhereTheirRowsPlaceThem) {
  Launch();
  CScore_Board_Mgr& board = g_Score_Board_Mgr;
  auto cyan = [](uint32_t c) { return ((c >> 16) & 0xff) < 170 && ((c >> 8) & 0xff) > 170 && (c & 0xff) > 170; };
  auto red = [](uint32_t c) { return ((c >> 16) & 0xff) > 200 && ((c >> 8) & 0xff) < 110 && (c & 0xff) < 110; };
  board.Award_Link();          // row 0
  board.Award_Points(250, 1);  // row 1
  Popup_Life(board, 0.2f);
  harness.Step(1, 16);
  const Picture rows = Shot("board_rows.png");
  // The open chain is shown: it hangs from 0.07, row 0 from 0.10, row 1 from 0.13.
  const std::pair<int, int> chain = Rows(rows, 0.7f, 0.985f, 0.0f, Line_Bottom(0.07f), Green);
  const float h = kGlyph * static_cast<float>(rows.height), y = 0.07f * static_cast<float>(rows.height);
  EXPECT_NEAR(chain.first, y - 0.09f * h, 1.0f) << "the open chain's top";
  EXPECT_NEAR(chain.second, y + 0.91f * h, 1.0f) << "the open chain's bottom";
  EXPECT_GT(Count(rows, 0.7f, 0.985f, Line_Top(0.10f), Line_Bottom(0.10f), cyan), 10) << "the link on row 0";
  Expect_Points_Stand_On(rows, 0.13f, Line_Bottom(0.07f),
                         Rows(rows, 0.7f, 0.985f, 0.0f, Line_Bottom(0.10f), cyan).second, "row 1 under the link");

  board.Flush_Staged_Points();  // the chain empties into a popup of its own
  Popup_Life(board, 0.2f);
  harness.Step(1, 16);
  const Picture flushed = Shot("board_flushed.png");
  // No open chain: the base is 0.07, where the flushed chain and row 0 stand; row 1 on 0.10.
  const float base_top = Line_Top(0.07f), base_bottom = Line_Bottom(0.07f);
  EXPECT_GT(Count(flushed, 0.7f, 0.985f, base_top, base_bottom, red), 10) << "the flushed chain on the base";
  EXPECT_GT(Count(flushed, 0.7f, 0.985f, base_top, base_bottom, cyan), 10) << "the link on row 0, the base";
  Expect_Points_Stand_On(flushed, 0.10f, 0.0f, Rows(flushed, 0.7f, 0.985f, 0.0f, base_bottom, cyan).second,
                         "row 1 under the link on the base");
  EXPECT_EQ(Count(flushed, 0.7f, 0.985f, Line_Top(0.10f), Line_Bottom(0.10f), cyan), 0);
}

// Plain points on row 0 stand on its y, right under the open chain, whose green they share: the
// frame is drawn with the popup settled at the anchor and again with it gone, and the pixels that
// change are the popup's. They end at the anchor, on the row's y, below the chain's last row.
TEST_F(Board_Scene, PlainPointsStandOnTheirRowRightUnderTheOpenChain) {
  Launch();
  CScore_Board_Mgr& board = g_Score_Board_Mgr;
  board.Award_Points(250, 1.0f);
  Popup_Life(board, 0.2f);  // settled at the anchor
  harness.Step(1, 16);
  const Picture shown = Shot("board_points.png");
  Popup_Life(board, 0.5f);  // still pending, no longer drawn
  harness.Step(1, 16);
  const Picture hidden = Shot("board_points_gone.png");
  ASSERT_EQ(board.m_Popup_Count, 1u);

  int left = -1, right = -1, top = -1, bottom = -1;
  for (uint32_t y = 0; y < shown.height / 4; ++y)
    for (uint32_t x = shown.width / 2; x < shown.width; ++x) {
      const uint32_t a = shown.pixels[y * shown.width + x], b = hidden.pixels[y * shown.width + x];
      if (!Green(a) || Green(b)) continue;
      left = left < 0 ? int(x) : std::min(left, int(x));
      right = std::max(right, int(x));
      top = top < 0 ? int(y) : top;
      bottom = int(y);
    }
  ASSERT_GE(top, 0) << "the popup is drawn";
  const float w = static_cast<float>(shown.width), h = static_cast<float>(shown.height);
  // Row 0 under the open chain is on 0.04 + 2 x 0.03 of the height; the anchor at 0.98 of the
  // width, the word 2 texels (0.002 of the width) short of the texture's right edge.
  EXPECT_NEAR(bottom, 0.10f * h - 1.0f, 1.0f) << "the bottom on the row's y";
  EXPECT_NEAR(right, 0.978f * w - 1.0f, 1.5f) << "the right edge on the anchor";
  EXPECT_GT(right - left, static_cast<int>(0.05f * w)) << "the whole word";
  const std::pair<int, int> chain = Rows(hidden, 0.7f, 0.985f, 0.0f, 0.2f, Green);
  EXPECT_NEAR(chain.second, 0.07f * h + 0.91f * kGlyph * h, 1.0f) << "the open chain's bottom";
  EXPECT_GT(top, chain.second) << "clear of the open chain";
}

// A popup's points stand beside its label on one line: the middle row of the number's pixels is
// the middle row of the label's.
TEST_F(Board_Scene, APopupsNumberAndLabelShareTheirMiddleLine) {
  Launch();
  CScore_Board_Mgr& board = g_Score_Board_Mgr;
  auto cyan = [](uint32_t c) { return ((c >> 16) & 0xff) < 170 && ((c >> 8) & 0xff) > 170 && (c & 0xff) > 170; };
  board.Award_Link();
  board.m_Popups[0].time_left = board.m_Popups[0].duration * 0.7f;  // grown and still
  harness.Step(1, 16);
  const Picture p = Shot("board_link.png");
  // Row 0 under the open chain hangs from 0.10 of the height. The number and the label are split
  // at the widest gap between the columns holding cyan.
  const uint32_t top = static_cast<uint32_t>(Line_Top(0.10f) * static_cast<float>(p.height));
  const uint32_t bottom = static_cast<uint32_t>(Line_Bottom(0.10f) * static_cast<float>(p.height));
  std::vector<uint32_t> columns;
  for (uint32_t x = p.width / 2; x < p.width; ++x)
    for (uint32_t y = top; y < bottom; ++y)
      if (cyan(p.pixels[y * p.width + x])) {
        columns.push_back(x);
        break;
      }
  ASSERT_GE(columns.size(), 2u);
  uint32_t split = columns[1], widest = 0;
  for (size_t i = 1; i < columns.size(); ++i)
    if (columns[i] - columns[i - 1] > widest) widest = columns[i] - columns[i - 1], split = columns[i];
  double sum[2] = {0, 0};
  int count[2] = {0, 0};
  for (uint32_t y = top; y < bottom; ++y)
    for (uint32_t x = p.width / 2; x < p.width; ++x) {
      if (!cyan(p.pixels[y * p.width + x])) continue;
      const int part = x >= split ? 1 : 0;
      sum[part] += y;
      ++count[part];
    }
  ASSERT_GT(count[0], 10) << "the number";
  ASSERT_GT(count[1], 10) << "the label";
  EXPECT_NEAR(sum[0] / count[0], sum[1] / count[1], 1.5) << "number and label on one line";
}

// A counted target of a type without a pool (the sweep deletes it) that stays where it is put.
class Still_Target : public CWorld_Object {
 public:
  explicit Still_Target(const CVector3& at) {
    Setup_Object(0, 1.0f, 1.0f, kState_No_Gravity, kKind_Counted_Target);
    Set_Position(at);
  }
  void Update(const float& dt) override { (void)dt; }
};

TEST_F(Board_Scene, TheHarnessHitsLiveCountedTargetsOnce) {
  Launch();
  CWorld_Object* first = new Still_Target({500.0f, 200.0f, 500.0f});
  CWorld_Object* second = new Still_Target({520.0f, 200.0f, 500.0f});
  ASSERT_TRUE(g_World.Add_Object(1, first));
  ASSERT_TRUE(g_World.Add_Object(1, second));
  const uint32_t hits = g_Sim_Stats.m_Hits;
  EXPECT_EQ(harness.Hit_Targets(5), 2) << "only two live targets";
  EXPECT_EQ(g_Sim_Stats.m_Hits, hits + 2);
  EXPECT_TRUE(first->m_Kind_Flags & kKind_Excluded);
  EXPECT_EQ(g_Score_Board_Mgr.m_Bonus_Count, 2u) << "each a target hit";
  EXPECT_EQ(harness.Hit_Targets(5), 0) << "a hit target is not hit again";
  std::string error;
  EXPECT_TRUE(harness.Run_Script("hit 1\n", "", &error)) << error;
  EXPECT_FALSE(harness.Run_Script("hit many\n", "", &error));
}

}  // namespace
