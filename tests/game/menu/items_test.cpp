#include <gtest/gtest.h>

#include <functional>

#include "game/core/CGame.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_Edit.h"
#include "game/menu/CMenuItem_List.h"
#include "game/menu/CMenuItem_Slider.h"
#include "game/menu/CMenuItem_Typed_Text.h"
#include "game/menu/CMenu_Panel.h"
#include "tests/game/menu/menu_fixture.h"

namespace {

using MenuItems = MenuGame;

constexpr uint32_t kType_Sound = 0x220000df;
constexpr uint32_t kAccept_Sound = 0x220000dc;
constexpr uint32_t kRefuse_Sound = 0x220000dd;

TEST_F(MenuItems, ATildeIsAPauseOfOneDelayWithoutAClick) {
  Start();
  Record_Sounds();
  CMenuItem_Typed_Text typed(1, "ab~c", CVector2{10, 10}, 0xFFFFFFFF, 1, 0, 2, 300.0f);
  // Every step is longer than the longest delay, so each render reveals one pending character.
  const char* const shown_after[] = {"a", "ab", "ab", "abc"};
  for (const char* want : shown_after) {
    typed.Render(Frame(1.0f));
    EXPECT_EQ(typed.m_Shown, want);
  }
  EXPECT_EQ(typed.Pending_Count(), 0);
  EXPECT_EQ(typed.Shown_Count(), 3);
  EXPECT_EQ(sounds->Count(true, kType_Sound), 3) << "one click a revealed character";
  typed.Render(Frame(0.0f));
  EXPECT_EQ(typed.m_Shown, "abc") << "a paused game types nothing";
}

TEST_F(MenuItems, AnEditFieldUndoesACharacterThatOverflowsAfterItsClick) {
  Start();
  Record_Sounds();
  CMenuItem_Edit field(1, "", CVector2{10, 10}, 0xFFFFFFFF, 0, 0, 1, 5 * kAdvance);
  for (char c : std::string("abcdef")) field.On_Char(c, false);
  std::string text;
  field.Get_Text(text);
  EXPECT_EQ(text, "abcde");
  EXPECT_EQ(field.m_Caret, 5);
  EXPECT_EQ(sounds->Count(true, kAccept_Sound), 6) << "the refused sixth character still clicked";

  struct Case {
    int code;
    bool is_key;
    const char* want;
    bool refused;
  };
  const Case cases[] = {
      {'&', false, "abcde", true},  {13, false, "abcde", true},  {8, false, "abcd", false},
      {36, true, "abcd", false},    {8, false, "abcd", false},   // Home, then Backspace at 0
      {46, true, "bcd", false},     {35, true, "bcd", false},    {99, true, "bcd", true},
  };
  for (const Case& c : cases) {
    const int refusals = sounds->Count(true, kRefuse_Sound);
    field.On_Char(c.code, c.is_key);
    field.Get_Text(text);
    EXPECT_EQ(text, c.want) << c.code;
    EXPECT_EQ(sounds->Count(true, kRefuse_Sound) - refusals, c.refused ? 1 : 0) << c.code;
  }
  EXPECT_EQ(field.m_Caret, 3) << "End went to the end of the line";

  CMenuItem_Edit unsized(2, "", CVector2{10, 10}, 0xFFFFFFFF, 0, 0, 1, 0.0f);
  unsized.On_Char('a', false);
  unsized.Get_Text(text);
  EXPECT_EQ(text, "") << "a field without a fixed width overflows on any character";
}

TEST_F(MenuItems, AMultiLineFieldTakesEnterAsANewlineUnlessItWouldNotFit) {
  Start();
  CMenuItem_Edit field(1, "", CVector2{10, 10}, 0xFFFFFFFF, 0, CMenuItem_Edit::kMulti_Line, 2, 10 * kAdvance);
  for (char c : std::string("hi")) field.On_Char(c, false);
  field.On_Char(13, false);
  std::string text;
  field.Get_Text(text);
  EXPECT_EQ(text, "hi\n");
  float caret_x, caret_y;
  int caret_line;
  ASSERT_TRUE(field.Get_Caret_Pos(field.m_Caret, caret_x, caret_y, caret_line));
  EXPECT_EQ(caret_line, 1) << "after the newline the caret starts the next line";
  EXPECT_FLOAT_EQ(caret_x, field.m_X);
  field.On_Char('x', false);
  field.On_Char(13, false);
  field.Get_Text(text);
  EXPECT_EQ(text, "hi\nx") << "a newline ending the last visible line overflows";
  float x, y;
  int line;
  ASSERT_TRUE(field.Get_Caret_Pos(4, x, y, line));
  EXPECT_EQ(line, 1);
  EXPECT_FLOAT_EQ(x, field.m_X + kAdvance);
  EXPECT_FALSE(field.Get_Caret_Pos(5, x, y, line)) << "past the text";
}

// A list of 8 rows showing 3, at a place the tests can point at.
class ListItems : public MenuGame {
 protected:
  void Make_List(uint32_t flags = CMenuItem_List::kSelectable) {
    list = std::make_unique<CMenuItem_List>(1, CVector2{100, 100}, 200.0f, 3, 0, flags);
    for (int i = 0; i < 8; ++i) list->Add_Row(("row " + std::to_string(i)).c_str(), 0xFFFFFFFF, 100 + i);
    list->m_On_Select = [this](int32_t index) { selections.push_back(index); };
  }
  // The middle of visible row i.
  CVector2 Row_Point(int i) const {
    const float H = CMenuItem::Screen_H();
    const float pitch = 0.0025f * H + CMenuItem::Text_Height(0);
    return CVector2{150.0f, list->m_Y + 0.006f * H + (static_cast<float>(i) + 0.5f) * pitch};
  }
  CVector2 Down_Cell() const {
    const float s = 0.023f * CMenuItem::Screen_H();
    return CVector2{list->m_X + list->m_W - 0.005f * CMenuItem::Screen_W() - s / 2.0f, list->m_Y + list->m_H - s / 2.0f};
  }
  void Point(const CVector2& p) { harness.Move_Mouse(static_cast<int>(p.x), static_cast<int>(p.y)); }

  std::unique_ptr<CMenuItem_List> list;
  std::vector<int32_t> selections;
};

TEST_F(ListItems, HoldingTheDownCellRepeatsEveryHalfUnit) {
  Start();
  Make_List();
  Point(Down_Cell());
  list->On_Mouse_Down();
  EXPECT_EQ(list->m_First_Visible, 1) << "the press steps once";
  const float steps[] = {0.3f, 0.3f, 0.3f, 0.3f};  // the repeat fires after 0.6 and after 1.2
  for (float step : steps) list->Render(Frame(step));
  EXPECT_EQ(list->m_First_Visible, 3);
  for (int i = 0; i < 20; ++i) list->Render(Frame(0.6f));
  EXPECT_EQ(list->m_First_Visible, 5) << "the down cell stops on the last page";
  g_Game.On_Left_Up();
}

TEST_F(ListItems, DraggingBelowTheListScrollsAndSelectsTheNewLastRow) {
  Start();
  Make_List();
  Point(Row_Point(2));
  list->On_Mouse_Down();
  EXPECT_EQ(list->m_Selected, 2);
  Point(CVector2{150.0f, list->m_Y + list->m_H + 10.0f});
  list->Render(Frame(0.5f));
  EXPECT_EQ(list->m_First_Visible, 0) << "not before 0.85 units";
  list->Render(Frame(0.5f));
  EXPECT_EQ(list->m_First_Visible, 1);
  EXPECT_EQ(list->m_Selected, 3);
  EXPECT_EQ(selections, (std::vector<int32_t>{2, 3}));
  g_Game.On_Left_Up();
  EXPECT_FALSE(list->m_Pressed);
}

// A held press on the rows follows the cursor's height alone, as the press does: beside the
// list the row at that height is taken, above it the first visible row, below it the last.
TEST_F(ListItems, AHeldPressFindsItsRowByHeightAsThePressDoes) {
  Start();
  struct Case {
    const char* what;
    std::function<CVector2()> where;
    int32_t want;
  };
  const Case cases[] = {
      {"right of the list at row 2", [this] { return CVector2{list->m_X + list->m_W + 30.0f, Row_Point(2).y}; }, 2},
      {"left of the list at row 1", [this] { return CVector2{list->m_X - 30.0f, Row_Point(1).y}; }, 1},
      {"above the list", [this] { return CVector2{150.0f, list->m_Y - 20.0f}; }, 0},
      {"below the list", [this] { return CVector2{150.0f, list->m_Y + list->m_H + 20.0f}; }, 2},
  };
  for (const Case& c : cases) {
    Make_List();
    Point(Row_Point(c.want == 0 ? 1 : 0));
    list->On_Mouse_Down();
    Point(c.where());
    list->Render(Frame(0.1f));
    EXPECT_EQ(list->m_Selected, c.want) << c.what;
    EXPECT_EQ(list->m_First_Visible, 0) << c.what;
    g_Game.On_Left_Up();
  }
}

TEST_F(ListItems, RemovingRowsKeepsOrMovesTheSelection) {
  Start();
  Make_List();
  ASSERT_TRUE(list->Select_Row(7));
  list->Scroll_To(7);
  EXPECT_EQ(list->m_First_Visible, 5) << "the last full page";
  selections.clear();
  ASSERT_TRUE(list->Remove_Row(7));
  EXPECT_EQ(list->m_Selected, 6) << "the selected last row gives way to the new last row";
  EXPECT_EQ(selections, (std::vector<int32_t>{6}));
  EXPECT_EQ(list->m_First_Visible, 4);
  ASSERT_TRUE(list->Remove_Row(0));
  EXPECT_EQ(list->m_Selected, 6) << "removing another row keeps the index";
  EXPECT_EQ(selections.size(), 1u);
  EXPECT_FALSE(list->Remove_Row(6)) << "past the end";
  EXPECT_EQ(list->Get_Row_Value(0), 101);
  EXPECT_EQ(list->Find_Row(105), 4);
  EXPECT_EQ(list->Get_Selected_Value(), -1) << "index 6 is past the five rows left";
}

TEST_F(ListItems, EnsureVisibleBringsARowBelowThePageToItsLastLine) {
  Start();
  Make_List();
  struct Case {
    int first, row, want_first;
  };
  const Case cases[] = {{0, 4, 2}, {0, 7, 5}, {5, 1, 1}, {2, 3, 2}, {0, 8, 0}};
  for (const Case& c : cases) {
    list->m_First_Visible = c.first;
    list->Ensure_Visible(c.row);
    EXPECT_EQ(list->m_First_Visible, c.want_first) << c.first << " " << c.row;
  }
}

TEST_F(ListItems, AListThatCannotSelectIgnoresPressesAndArrows) {
  Start();
  Make_List(0);
  EXPECT_FALSE(list->Select_Row(1));
  list->On_Arrow_Key(3);
  Point(Row_Point(1));
  list->On_Mouse_Down();
  g_Game.On_Left_Up();
  EXPECT_EQ(list->m_Selected, -1);
  EXPECT_TRUE(selections.empty());
}

TEST_F(MenuItems, SliderArrowsStepWithinZeroToOneAndTheKnobFollows) {
  Start();
  Record_Sounds();
  CMenuItem_Slider slider(4, CVector2{100, 100}, 200.0f, 0);
  int changes = 0;
  slider.m_On_Change = [&changes] { ++changes; };
  const float s = 0.023f * CMenuItem::Screen_H();
  struct Case {
    float start;
    float x;
    float want;
    int want_changes;
  };
  const Case cases[] = {
      {1.0f, 100 + 200 - s / 2, 1.0f, 0},  // the right cell at 1: nothing, no sound
      {0.0f, 100 + s / 2, 0.0f, 0},        // the left cell at 0
      {0.5f, 100 + 200 - s / 2, 0.525f, 1},
      {0.01f, 100 + s / 2, 0.0f, 1},       // never below 0
      {0.0f, 100 + s + 0.25f * (200 - 2 * s), 0.25f, 1},  // the track sets the value itself
  };
  for (const Case& c : cases) {
    slider.m_Value = c.start;
    changes = 0;
    const int before = sounds->Count(true, kType_Sound);
    harness.Move_Mouse(static_cast<int>(c.x), static_cast<int>(110));
    slider.Track_Cursor();
    EXPECT_NEAR(slider.m_Value, c.want, 0.01f) << c.start << " at " << c.x;
    EXPECT_EQ(changes, c.want_changes) << c.start << " at " << c.x;
    EXPECT_EQ(sounds->Count(true, kType_Sound) - before, c.want_changes);
  }
  slider.m_Value = 0.5f;
  EXPECT_FLOAT_EQ(slider.Knob_X() + s / 2.0f, 100.0f + 100.0f) << "the knob stands in the middle";
  slider.m_Value = 0.0f;
  EXPECT_FLOAT_EQ(slider.Knob_X(), 100.0f + s) << "it touches the left cell";
  slider.m_Value = 1.0f;
  EXPECT_FLOAT_EQ(slider.Knob_X() + s, 100.0f + 200.0f - s) << "it touches the right cell";
}

TEST_F(MenuItems, HoldingASliderArrowStepsAtThePressAndEveryFifthOfAUnit) {
  Start();
  CMenuItem_Slider slider(4, CVector2{100, 100}, 200.0f, 0);
  const float s = 0.023f * CMenuItem::Screen_H();
  harness.Move_Mouse(static_cast<int>(100 + 200 - s / 2), 105);
  slider.On_Mouse_Down();
  EXPECT_NEAR(slider.m_Value, 0.025f, 1e-6f);
  for (int i = 0; i < 4; ++i) slider.Render(Frame(0.15f));  // 0.6 units: two repeats
  EXPECT_NEAR(slider.m_Value, 0.075f, 1e-6f);
  g_Game.On_Left_Up();
  slider.Render(Frame(1.0f));
  EXPECT_NEAR(slider.m_Value, 0.075f, 1e-6f) << "released: no more steps";

  CMenuItem_Slider hidden(5, CVector2{100, 100}, 200.0f, CMenuItem_Slider::kHidden);
  EXPECT_FALSE(hidden.On_Mouse_Down());
  EXPECT_EQ(g_Game.Capture_Holder(), nullptr);
  EXPECT_EQ(hidden.m_Value, 0.0f);
}

TEST_F(MenuItems, AButtonClicksOnlyWhenReleasedOverItAndAHiddenOneIgnoresPresses) {
  Start();
  auto* button = new CMenuItem_Button(1, "Press", CVector2{200, 200}, 0xFFFFFFFF, 1, 0, 0.0f);
  CMenu_Panel panel;
  panel.Init(CVector2{0, 0}, 0);
  panel.Add_Item(button);
  int clicks = 0;
  button->m_On_Click = [&clicks](CMenuItem_Button*) { ++clicks; };
  harness.Move_Mouse(205, 205);
  EXPECT_FALSE(panel.On_Mouse_Down());
  EXPECT_EQ(g_Game.Capture_Holder(), button);
  harness.Move_Mouse(600, 400);
  EXPECT_TRUE(g_Game.On_Left_Up());
  EXPECT_EQ(clicks, 0) << "released away from it";
  EXPECT_FALSE(button->m_Pressed);
  harness.Move_Mouse(205, 205);
  panel.On_Mouse_Down();
  g_Game.On_Left_Up();
  EXPECT_EQ(clicks, 1);
  // The box: 0.019 W left of the anchor to the caption width and 0.015 W right of it.
  const float W = CMenuItem::Screen_W();
  EXPECT_FLOAT_EQ(button->m_X, 200 - 0.019f * W);
  EXPECT_FLOAT_EQ(button->m_W, 5 * kAdvance + 0.034f * W);

  button->m_Flags |= CMenuItem_Button::kHidden;
  panel.On_Mouse_Down();
  EXPECT_EQ(g_Game.Capture_Holder(), nullptr);
  EXPECT_FALSE(button->On_Mouse_Up());
  EXPECT_EQ(clicks, 1);
  // Destroying the holder of the capture releases it.
  button->m_Flags &= ~CMenuItem_Button::kHidden;
  panel.On_Mouse_Down();
  ASSERT_EQ(g_Game.Capture_Holder(), button);
  panel.Clear_Items();
  EXPECT_EQ(g_Game.Capture_Holder(), nullptr);
}

TEST_F(MenuItems, AFixedWidthButtonCentresItsCaption) {
  Start();
  CMenuItem_Button button(1, "abcd", CVector2{100, 100}, 0xFFFFFFFF, 1, 0, 100.0f);
  const float W = CMenuItem::Screen_W();
  EXPECT_FLOAT_EQ(button.m_Caption_Offset, 30.0f);
  EXPECT_FLOAT_EQ(button.m_X, 100 - 0.019f * W);
  EXPECT_FLOAT_EQ(button.m_X + button.m_W, 100 + 100 + 0.015f * W);
}

TEST_F(MenuItems, APressOnAnUnfocusedFieldMovesTheFocusFirst) {
  Start();
  CMenu_Panel panel;
  panel.Init(CVector2{0, 0}, 0);
  auto* first = new CMenuItem_Edit(1, "", CVector2{10, 10}, 0xFFFFFFFF, 0, 0, 1, 100.0f);
  auto* second = new CMenuItem_Edit(2, "", CVector2{10, 100}, 0xFFFFFFFF, 0, 0, 1, 100.0f);
  auto* button = new CMenuItem_Button(2, "B", CVector2{300, 300}, 0xFFFFFFFF, 1, 0, 0.0f);
  panel.Add_Item(first);
  panel.Add_Item(second);
  panel.Add_Item(button);
  EXPECT_EQ(panel.Get_Focus(), nullptr);
  harness.Move_Mouse(20, 105);
  panel.On_Mouse_Down();
  EXPECT_EQ(panel.Get_Focus(), second);
  EXPECT_FALSE(first->m_Focused);
  EXPECT_EQ(panel.Find_Item(2, kItem_Edit), second);
  EXPECT_EQ(panel.Find_Item(2, kItem_Button), button);
  EXPECT_EQ(panel.Find_Item(1, kItem_Button), nullptr) << "the id matches but not the kind";
  CMenuItem_Edit stranger(3, "", CVector2{0, 0}, 0xFFFFFFFF, 0, 0, 1, 10.0f);
  EXPECT_FALSE(panel.Set_Focus(&stranger));
  EXPECT_EQ(panel.Get_Focus(), nullptr) << "every field lost the focus";
  panel.Clear_Items();
  EXPECT_FALSE(panel.m_Initialised);
}

// A button whose callback deletes the panel that holds it (as the options menu's "Back" does).
TEST_F(MenuItems, AnItemThatClearsItsOwnPanelFromItsCallbackRunsClean) {
  Start();
  auto panel = std::make_unique<CMenu_Panel>();
  panel->Init(CVector2{0, 0}, 0);
  auto* button = new CMenuItem_Button(1, "Close", CVector2{200, 200}, 0xFFFFFFFF, 1, 0, 0.0f);
  auto* list = new CMenuItem_List(2, CVector2{100, 300}, 200.0f, 3, 0, CMenuItem_List::kSelectable);
  list->Add_Row("a", 0xFFFFFFFF, 1);
  list->Add_Row("b", 0xFFFFFFFF, 2);
  panel->Add_Item(button);
  panel->Add_Item(list);
  CMenu_Panel* raw = panel.get();
  button->m_On_Click = [raw](CMenuItem_Button* self) {
    raw->Clear_Items();
    self->Set_Caption("still here");  // the item lives until the event has returned
  };
  harness.Move_Mouse(205, 205);
  panel->On_Mouse_Down();
  g_Game.On_Left_Up();
  EXPECT_TRUE(panel->Items().empty());
  // A list selecting a row from its drawing, whose callback empties the panel mid-walk.
  panel->Init(CVector2{0, 0}, 0);
  auto* second = new CMenuItem_List(2, CVector2{100, 300}, 200.0f, 3, 0, CMenuItem_List::kSelectable);
  second->Add_Row("a", 0xFFFFFFFF, 1);
  second->Add_Row("b", 0xFFFFFFFF, 2);
  second->m_On_Select = [raw](int32_t) { raw->Clear_Items(); };
  panel->Add_Item(second);
  panel->Add_Item(new CMenuItem_Button(3, "After", CVector2{200, 200}, 0xFFFFFFFF, 1, 0, 0.0f));
  const float H = CMenuItem::Screen_H();
  harness.Move_Mouse(150, static_cast<int>(second->m_Y + 0.006f * H + 2));
  second->On_Mouse_Down();  // selects row 0: the panel is emptied
  panel->Render_Items(0.1f);
  harness.Step(1);  // the frame frees what the callbacks removed
  EXPECT_TRUE(panel->Items().empty());
}

}  // namespace
