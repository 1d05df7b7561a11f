#include <gtest/gtest.h>

#include "game/core/CGame.h"
#include "game/menu/CMenuItem_Image.h"
#include "game/menu/CMenuItem_List.h"
#include "game/menu/CMenuItem_Tab.h"
#include "tests/game/menu/menu_fixture.h"

namespace {

using TabsAndImages = MenuGame;

TEST_F(TabsAndImages, TabCellsShareTheWidthAndOnlyAPressOnACellSelects) {
  Start();
  CMenuItem_Tab tab(1, 3, CVector2{100, 100}, 400.0f, 300.0f, 0xFFFFFFFF, 1, 2, 0);
  std::vector<int32_t> selected;
  tab.m_On_Select = [&selected](int32_t index) { selected.push_back(index); };
  // Units of 300 / 4: the selected cell 150 wide, the others 75, the row centred in 400.
  EXPECT_FLOAT_EQ(tab.m_Cells[0].left, 150.0f);
  EXPECT_FLOAT_EQ(tab.m_Cells[0].right, 300.0f);
  EXPECT_FLOAT_EQ(tab.m_Cells[1].right, 375.0f);
  EXPECT_FLOAT_EQ(tab.m_Cells[2].right, 450.0f);
  EXPECT_GT(tab.m_Cells[1].top, tab.m_Cells[0].top) << "the selected cell stands out above the row";
  EXPECT_FALSE(tab.Select(3, true)) << "an index equal to the count is refused";
  EXPECT_FALSE(tab.Set_Cell_Text(3, "x"));
  struct Case {
    float x;
    int want_selected;
    bool want_capture;
  };
  const Case cases[] = {{120, 0, false}, {400, 2, true}, {400, 2, true}, {460, 2, false}};
  for (const Case& c : cases) {
    harness.Move_Mouse(static_cast<int>(c.x), 120);
    tab.On_Mouse_Down();
    EXPECT_EQ(tab.m_Selected, c.want_selected) << c.x;
    EXPECT_EQ(g_Game.Capture_Holder() == &tab, c.want_capture) << c.x;
    g_Game.On_Left_Up();
  }
  EXPECT_EQ(selected, (std::vector<int32_t>{2})) << "the callback runs only on a change";
  ASSERT_TRUE(tab.Select(0, false));
  EXPECT_EQ(selected.size(), 1u) << "no callback without notify";
}

TEST_F(TabsAndImages, AnImageWithoutATextureDrawsItsOutlineAndAMissingOneFails) {
  Start();
  CMenuItem_Image empty(1, 0, CVector2{100, 100}, CVector2{50, 40}, CMenuItem_Image::kCentre_X | CMenuItem_Image::kCentre_Y);
  EXPECT_TRUE(empty.m_Initialised);
  EXPECT_EQ(empty.m_Texture, nullptr);
  EXPECT_FLOAT_EQ(empty.m_X, 75.0f);
  EXPECT_FLOAT_EQ(empty.m_Y, 80.0f);
  empty.Render(Frame(0.1f));
  CMenuItem_Image missing(2, 0x2200EEEE, CVector2{0, 0}, CVector2{10, 10}, 0);
  EXPECT_FALSE(missing.m_Initialised);
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), "Error in CMenuItem_Image\nUnable to load texture...");
  harness.Move_Mouse(80, 90);
  EXPECT_TRUE(empty.On_Mouse_Down());
  EXPECT_EQ(g_Game.Capture_Holder(), &empty);
  EXPECT_TRUE(g_Game.On_Left_Up());
  EXPECT_FALSE(empty.m_Pressed);
}

TEST_F(TabsAndImages, ColumnRowsDrawOnlyTheColumnsBothHave) {
  Start();
  CMenuItem_List list(1, CVector2{100, 100}, 300.0f, 3, 0, 0);
  list.Set_Columns({{0, 0.0f}, {1, 100.0f}, {0, 200.0f}});
  list.Add_Row_Columns({"1", "Alice"}, 0xFFFFFFFF, 0);
  list.Add_Row_Columns({"2", "Bob", "9,000", "extra"}, 0xFFFFFFFF, 1);
  drawn.clear();
  list.Render(Frame(0.0f));
  std::vector<std::string> texts;
  for (const Drawn_Text& d : drawn) texts.push_back(d.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"1", "Alice", "2", "Bob", "9,000"}));
  ASSERT_EQ(drawn.size(), 5u);
  EXPECT_EQ(drawn[1].format & DT_RIGHT, DT_RIGHT) << "the second column is right-aligned";
  EXPECT_EQ(drawn[0].format & DT_RIGHT, 0u);
  EXPECT_FALSE(list.Scrolls()) << "two rows fit the page: no scroll column";
}

}  // namespace
