// The menus with the real serif face, drawn by the running game and probed. Set VT_MENU_SHOTS to
// a folder to keep the pictures these tests look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CGame.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_Edit.h"
#include "game/menu/CMenuItem_Image.h"
#include "game/menu/CMenuItem_List.h"
#include "game/menu/CMenuItem_Slider.h"
#include "game/menu/CMenuItem_Tab.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenuItem_Typed_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "platform/d3d/d3d8_test_hooks.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "tests/game/core/running_game.h"

namespace {

int Red(uint32_t pixel) { return static_cast<int>((pixel >> 16) & 0xFF); }
int Green(uint32_t pixel) { return static_cast<int>((pixel >> 8) & 0xFF); }

class MenuScene : public RunningGame {
 protected:
  void SetUp() override {
    RunningGame::SetUp();
    Start();
    harness.Step(2);
    width = CMenuItem::Screen_W();
    height = CMenuItem::Screen_H();
  }
  void TearDown() override {
    g_Modal_Dlg.Term();
    D3D8Test_InjectCooperativeLevel(D3D_OK);
    RunningGame::TearDown();
  }

  // One frame of only what draw draws, over a clear colour.
  void Draw_Frame(uint32_t clear_colour, const std::function<void()>& draw) {
    ASSERT_TRUE(g_pRenderDevice->Begin_Render());
    g_pRenderDevice->Clear(nullptr, kClearTarget | kClearDepth, clear_colour, 0);
    g_pRenderDevice->BeginScene();
    draw();
    g_pRenderDevice->EndScene();
    ASSERT_TRUE(harness.Read_Back(pixels, read_width, read_height));
  }
  uint32_t Pixel(int x, int y) const { return pixels[static_cast<size_t>(y) * read_width + x]; }
  // Pixels in the rectangle whose red channel passes the test.
  int Count(int left, int top, int right, int bottom, const std::function<bool(uint32_t)>& test) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += test(Pixel(x, y));
    return n;
  }
  void Keep(const std::string& name) const {
    if (const char* dir = std::getenv("VT_MENU_SHOTS")) harness.Save_Png(std::string(dir) + "/" + name);
  }

  float width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t read_width = 0, read_height = 0;
};

TEST_F(MenuScene, TheShadowFlagDrawsBlackOnePixelDownAndRight) {
  auto dark = [](uint32_t p) { return Red(p) < 40; };
  auto white = [](uint32_t p) { return Red(p) > 220 && Green(p) > 220; };
  struct Case {
    uint32_t flags;
    bool want_shadow;
  };
  const Case cases[] = {{0x0, false}, {0x4, true}};
  for (const Case& c : cases) {
    Draw_Frame(0xFF808080, [&] {
      g_Menu_Mgr.Draw_Text(3, "Shadow", CVector2{20, 20}, CVector2{400, 80}, 0xFFFFFFFF, c.flags);
    });
    EXPECT_GT(Count(20, 20, 420, 100, white), 50) << c.flags;
    EXPECT_EQ(Count(20, 20, 430, 110, dark) > 20, c.want_shadow) << c.flags;
  }
}

TEST_F(MenuScene, RightAlignedTextEndsAtTheBoxAndCentredTextSitsInIt) {
  auto lit = [](uint32_t p) { return Red(p) > 128; };
  Draw_Frame(0xFF000000, [&] {
    g_Menu_Mgr.Draw_Text(2, "Right", CVector2{0, 10}, CVector2{300, 40}, 0xFFFFFFFF, 0x2);
    g_Menu_Mgr.Draw_Text(2, "Middle", CVector2{0, 100}, CVector2{width, 40}, 0xFFFFFFFF, 0x1);
  });
  int rightmost = -1;
  for (int x = 0; x < static_cast<int>(read_width); ++x)
    if (Count(x, 10, x + 1, 50, lit) > 0) rightmost = x;
  EXPECT_NEAR(rightmost, 299, 3);
  int left = -1, right = -1;
  for (int x = 0; x < static_cast<int>(read_width); ++x)
    if (Count(x, 100, x + 1, 140, lit) > 0) {
      if (left < 0) left = x;
      right = x;
    }
  EXPECT_NEAR((left + right) / 2.0, width / 2.0, 3.0);
  EXPECT_NEAR(right - left + 1, g_Menu_Mgr.Get_Text_Width(2, "Middle"), 3);
}

TEST_F(MenuScene, TextComesBackAfterTheDeviceIsLost) {
  auto lit = [](uint32_t p) { return Red(p) > 128; };
  D3D8Test_InjectCooperativeLevel(D3DERR_DEVICELOST);
  harness.Step(3);
  D3D8Test_InjectCooperativeLevel(D3DERR_DEVICENOTRESET);
  harness.Step(3);
  EXPECT_TRUE(g_Menu_Mgr.Fonts_Created());
  Draw_Frame(0xFF000000, [&] {
    g_Menu_Mgr.Draw_Text(2, "Restored", CVector2{20, 20}, CVector2{400, 40}, 0xFFFFFFFF, 0);
  });
  EXPECT_GT(Count(20, 20, 420, 60, lit), 30);
  EXPECT_TRUE(messages.empty()) << messages.front();
}

// A panel dialog holding one item of every kind.
TEST_F(MenuScene, ADialogHoldsAnItemOfEveryKind) {
  const float W = width, H = height;
  ASSERT_TRUE(g_Modal_Dlg.Init(CVector3{0, 0, 100}, CVector2{W / 2, H / 2}, 0.8f * W, 0.8f * H, CModal_Dlg::kMode_Panel));
  CMenu_Panel& panel = g_Modal_Dlg.m_Panel;
  const float left = 0.16f * W;
  auto* tab = new CMenuItem_Tab(1, 3, CVector2{left, 0.13f * H}, 0.68f * W, 0.6f * W, 0xaaccccff, 1, 2, CMenuItem_Tab::kShadow);
  tab->Set_Cell_Text(0, "Sims");
  tab->Set_Cell_Text(1, "Weapons");
  tab->Set_Cell_Text(2, "Records");
  tab->Select(1, false);
  panel.Add_Item(tab);
  panel.Add_Item(new CMenuItem_Text(2, "Every kind of menu item, word-wrapped in a box with an outline.",
                                    CVector2{left, 0.24f * H}, 0xddeeeeff, 1,
                                    CMenuItem_Text::kWrap | CMenuItem_Text::kOutline | CMenuItem_Text::kShadow, 2,
                                    0.3f * W));
  auto* edit = new CMenuItem_Edit(3, "Edit me", CVector2{left, 0.38f * H}, 0xffffffff, 1, CMenuItem_Edit::kOutline, 1, 0.3f * W);
  panel.Add_Item(edit);
  panel.Set_Focus(edit);
  panel.Add_Item(new CMenuItem_Typed_Text(4, "Typed~ text", CVector2{left, 0.47f * H}, 0xff88ff88, 1,
                                          CMenuItem_Typed_Text::kOutline, 1, 0.3f * W));
  auto* list = new CMenuItem_List(5, CVector2{0.55f * W, 0.26f * H}, 0.28f * W, 4, 0, CMenuItem_List::kSelectable);
  for (const char* row : {"Basic Training", "Ball Storm", "Star Field", "Roller Derby", "Pill Box", "Goo Run"})
    list->Add_Row(row, 0xffccddff, 0);
  list->Select_Row(1);
  panel.Add_Item(list);
  auto* image = new CMenuItem_Image(6, 0x22000083, CVector2{0.55f * W, 0.48f * H}, CVector2{0.28f * W, 0.14f * H}, 0);
  panel.Add_Item(image);
  auto* slider = new CMenuItem_Slider(8, CVector2{left, 0.58f * H}, 0.3f * W, 0);
  slider->m_Value = 0.7f;
  panel.Add_Item(slider);
  panel.Add_Item(new CMenuItem_Button(7, "Accept", CVector2{W / 2, 0.74f * H}, 0xbb55ff66, 2,
                                      CMenuItem_Button::kCentre_X | CMenuItem_Button::kShadow | CMenuItem_Button::kGlow,
                                      0.0f));
  harness.Move_Mouse(static_cast<int>(0.05f * W), static_cast<int>(0.95f * H));
  harness.Step(90);
  Keep("menu_items_dialog.png");
  ASSERT_TRUE(harness.Read_Back(pixels, read_width, read_height));
  auto lit = [](uint32_t p) { return Red(p) + Green(p) > 200; };
  // Each item leaves light inside its rectangle.
  for (CMenuItem* item : panel.Items()) {
    const int x0 = std::max(0, static_cast<int>(item->m_X)), y0 = std::max(0, static_cast<int>(item->m_Y));
    const int x1 = std::min(static_cast<int>(read_width), static_cast<int>(item->m_X + item->m_W) + 1);
    const int y1 = std::min(static_cast<int>(read_height), static_cast<int>(item->m_Y + item->m_H) + 1);
    EXPECT_GT(Count(x0, y0, x1, y1, lit), 10) << "item kind " << item->m_Kind;
  }
  EXPECT_TRUE(messages.empty()) << messages.front();
}

// The menu scene's three points are the grid's frame: the screen rectangle pushed out along the
// view, so that they project onto the screen's corners.
TEST_F(MenuScene, TheScenePointsAreTheGridFrameOverTheScreen) {
  const CVector3 corner = g_Menu_Mgr.Scene_Point(0), across = g_Menu_Mgr.Scene_Point(1), down = g_Menu_Mgr.Scene_Point(2);
  ASSERT_GT(across.Length(), 0.0f);
  ASSERT_GT(down.Length(), 0.0f);
  auto at = [](const CVector3& a, const CVector3& b) { return CVector3{a.x + b.x, a.y + b.y, a.z + b.z}; };
  struct Case {
    CVector3 point;
    float x, y;
  } cases[] = {{corner, 0, 0}, {at(corner, across), width, 0}, {at(corner, down), 0, height},
               {at(at(corner, across), down), width, height}};
  for (const Case& c : cases) {
    const CVector3 screen = g_Camera.World_To_Screen(c.point);
    EXPECT_NEAR(screen.x, c.x, 1.0f) << c.x << "," << c.y;
    EXPECT_NEAR(screen.y, c.y, 1.0f) << c.x << "," << c.y;
  }
  EXPECT_EQ(g_Menu_Mgr.Scene_Point(3).Length(), 0.0f);
}

// The menu-scene overlay (screen effect kind 4) lays a lit border along the screen's edges over
// the menu scene and leaves the middle to the scene; while it runs its grown copies light the
// screen's edges beyond the border.
TEST_F(MenuScene, TheMenuSceneOverlayFramesTheScreen) {
  auto lit = [](uint32_t p) { return Red(p) > 60 && Green(p) > 60; };
  const int W = static_cast<int>(width), H = static_cast<int>(height);
  const int side = W / 50, edge = H / 40;  // inside the border: 0.03 and 0.04 of the screen
  Draw_Frame(0xFF000000, [] { g_Screen_FX_Mgr.Render(); });
  ASSERT_EQ(Count(0, 0, W, H, lit), 0) << "no effect runs in the menus at rest";
  g_Screen_FX_Mgr.Add_Effect_2(4, 8.0f, 0.0f);
  Draw_Frame(0xFF000000, [] { g_Screen_FX_Mgr.Render(); });
  Keep("menu_scene_overlay.png");
  struct Band {
    const char* name;
    int left, top, right, bottom;
  } bands[] = {{"top", 0, 0, W, edge},
               {"bottom", 0, H - edge, W, H},
               {"left", 0, 0, side, H},
               {"right", W - side, 0, W, H}};
  for (const Band& b : bands)
    EXPECT_GT(Count(b.left, b.top, b.right, b.bottom, lit), (b.right - b.left) * (b.bottom - b.top) * 9 / 10) << b.name;
  const int middle = Count(W / 8, H / 8, 7 * W / 8, 7 * H / 8, lit);
  EXPECT_LT(middle, W * H / 20) << "the scene shows through the frame";
}

}  // namespace
