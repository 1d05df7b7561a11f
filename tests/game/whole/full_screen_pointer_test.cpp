// The game at its defaults runs full screen: its 800 x 600 back buffer is scaled to the desktop
// (the offscreen driver's is 1024 x 768). The pointer is moved and clicked the way the user does
// it, as SDL events in the window's own pixels, and must reach the game as the back buffer's
// pixels that the window shows under it; the same holds after the Options menu switches the
// game to a window and back.
#include <SDL2/SDL.h>

#include <cmath>

#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/core/Settings.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenuItem.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_List.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CPopup_Mgr.h"
#include "game/trainer/CMenu_Simulator.h"
#include "platform/d3d/d3d8_test_hooks.h"
#include "platform/window/cursor.h"
#include "platform/window/window.h"
#include "tests/game/whole/game_road.h"

namespace {

constexpr int kSim_List = 1;

class FullScreenPointer : public GameRoad {
 protected:
  static SDL_Point Window_Size() {
    SDL_Point size{0, 0};
    SDL_GetWindowSize(g_Main_Window, &size.x, &size.y);
    return size;
  }

  // The window pixel that shows the back buffer's pixel (x, y): the picture fills a window of its
  // own shape, scaled by the window's width over the back buffer's.
  static SDL_Point Shown_At(float x, float y) {
    const SDL_Point size = Window_Size();
    const double scale = size.x / static_cast<double>(CMenuItem::Screen_W());
    return SDL_Point{static_cast<int>(std::floor((x + 0.5) * scale)), static_cast<int>(std::floor((y + 0.5) * scale))};
  }

  void Push(Uint32 type, SDL_Point at) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
      event.motion.windowID = SDL_GetWindowID(g_Main_Window);
      event.motion.x = at.x;
      event.motion.y = at.y;
    } else {
      event.button.windowID = SDL_GetWindowID(g_Main_Window);
      event.button.button = SDL_BUTTON_LEFT;
      event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
      event.button.x = at.x;
      event.button.y = at.y;
    }
    ASSERT_EQ(SDL_PushEvent(&event), 1);
  }

  // The pointer moved onto a window pixel, one frame after.
  void Point_At(SDL_Point at) {
    plat::Clear_Cursor_Override();
    Push(SDL_MOUSEMOTION, at);
    game().Step(1, 16);
  }

  void Click_Window(SDL_Point at) {
    Point_At(at);
    Push(SDL_MOUSEBUTTONDOWN, at);
    game().Step(1, 16);
    Push(SDL_MOUSEBUTTONUP, at);
    game().Step(1, 16);
  }

  void Click_Picture(float x, float y) { Click_Window(Shown_At(x, y)); }

  // Frames of 16 ms that only wait (the test reads no pixels): all but the last undrawn.
  void Wait_Frames(int frames) {
    game().Step_Undrawn(frames - 1, 16);
    game().Step(1, 16);
  }

  // The login with its frames undrawn, and one drawn frame after.
  bool Log_In_Undrawn(const std::string& name) {
    D3D8Test_InjectCooperativeLevel(D3DERR_DEVICELOST);
    const bool logged_in = Log_In(name, true);
    D3D8Test_InjectCooperativeLevel(D3D_OK);
    game().Step(1, 16);
    return logged_in;
  }

  static CMenuItem_List* Sim_List() {
    return static_cast<CMenuItem_List*>(g_Menu_Mgr.m_Simulator.m_Panel.Find_Item(kSim_List, kItem_List));
  }

  // The back buffer point in the middle of the list's visible row, where a press picks it.
  static SDL_FPoint Row_Centre(const CMenuItem_List& list, int visible_row) {
    const float height = CMenuItem::Screen_H();
    const float pitch = 0.0025f * height + list.m_Text_Height;
    const float top = list.m_Y + 0.006f * height + visible_row * pitch - 0.00125f * height;
    return SDL_FPoint{list.m_X + 0.0095f * CMenuItem::Screen_W() + 30.0f, top + 0.5f * pitch};
  }

  // Clicks the visible row and answers the row the list then has selected.
  int Click_Row(int visible_row) {
    CMenuItem_List* list = Sim_List();
    const SDL_FPoint centre = Row_Centre(*list, visible_row);
    Click_Picture(centre.x, centre.y);
    Wait_Frames(30);  // past the simulator's double-click time
    return list->m_Selected - list->m_First_Visible;
  }

  // Flips the Options menu's Window Mode toggle, clicking through the main menu with the pointer.
  bool Toggle_Window_Mode() {
    Click_Picture(30, 12);  // the main menu folds out of its title box at the top left
    Wait_Frames(40);
    CPopup_Menu& main = g_Popup_Mgr.m_Menus[CPopup_Mgr::kMain_Menu];
    CMenuItem_Button* options = vt_test::Find_Button(main.m_Panel, "Options Menu");
    if (!main.m_Open || options == nullptr) return false;
    Click_Picture(options->m_X + 0.5f * options->m_W, options->m_Y + 0.5f * options->m_H);
    Wait_Frames(20);
    CPopup_Menu& menu = g_Popup_Mgr.m_Menus[CPopup_Mgr::kOptions_Menu];
    CMenuItem* toggle = menu.m_Panel.Find_Item(CPopup_Mgr::kOption_Window, kItem_Button);
    if (!menu.m_Open || toggle == nullptr) return false;
    Click_Picture(toggle->m_X + 0.5f * toggle->m_W, toggle->m_Y + 0.5f * toggle->m_H);
    game().Step(5, 16);
    CMenuItem_Button* back = vt_test::Find_Button(menu.m_Panel, "Back");
    if (back == nullptr) return false;
    Click_Picture(back->m_X + 0.5f * back->m_W, back->m_Y + 0.5f * back->m_H);
    Wait_Frames(20);
    Click_Picture(30, 12);
    return Step_Until([] { return !g_Popup_Mgr.Is_Open(); }, 60, 16);
  }

  void Start_Full_Screen_On_The_Desktop() {
    Start();
    ASSERT_FALSE(g_Game_State.Display_Windowed) << "full screen is the default";
    ASSERT_NE(SDL_GetWindowFlags(g_Main_Window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    const SDL_Point size = Window_Size();
    if (size.x != 1024 || size.y != 768) GTEST_SKIP() << "the desktop is not 1024 x 768";
    ASSERT_EQ(CMenuItem::Screen_W(), 800.0f);
    ASSERT_EQ(CMenuItem::Screen_H(), 600.0f);
  }
};

TEST_F(FullScreenPointer, PointerAtThePicturesCornersAndCentreReachesTheBackBuffersCornersAndCentre) {
  Start_Full_Screen_On_The_Desktop();
  if (IsSkipped()) return;
  struct Case {
    SDL_Point pointer;  // in the 1024 x 768 window
    SDL_Point game;     // in the 800 x 600 back buffer
  };
  const Case cases[] = {
      {{512, 384}, {400, 300}}, {{0, 0}, {0, 0}},         {{1023, 0}, {799, 0}},
      {{0, 767}, {0, 599}},     {{1023, 767}, {799, 599}}, {{640, 480}, {500, 375}},
  };
  for (const Case& c : cases) {
    Point_At(c.pointer);
    const CVector2 cursor = CMenuItem::Cursor();  // where the game's cursor is drawn
    EXPECT_EQ(cursor.x, c.game.x) << "pointer at " << c.pointer.x << "," << c.pointer.y;
    EXPECT_EQ(cursor.y, c.game.y) << "pointer at " << c.pointer.x << "," << c.pointer.y;
  }
}

TEST_F(FullScreenPointer, AClickOnAListRowPicksThatRowFullScreenAndInAWindow) {
  Start_Full_Screen_On_The_Desktop();
  if (IsSkipped()) return;
  ASSERT_TRUE(Log_In_Undrawn("Pointer")) << "the new login moves on to the simulator";
  CMenuItem_List* list = Sim_List();
  ASSERT_NE(list, nullptr);
  ASSERT_GE(std::min(list->m_Visible_Rows, list->Row_Count()), 5);
  for (int row : {3, 1, 4, 2, 4}) EXPECT_EQ(Click_Row(row), row) << "full screen";

  // Options' Window Mode toggle switches at once; the picture is then shown one to one.
  ASSERT_TRUE(Toggle_Window_Mode());
  ASSERT_TRUE(g_Game_State.Display_Windowed);
  EXPECT_EQ(SDL_GetWindowFlags(g_Main_Window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
  EXPECT_EQ(Window_Size().x, 800);
  for (int row : {2, 4}) EXPECT_EQ(Click_Row(row), row) << "in a window";

  ASSERT_TRUE(Toggle_Window_Mode());
  ASSERT_FALSE(g_Game_State.Display_Windowed);
  EXPECT_EQ(Window_Size().x, 1024);
  EXPECT_EQ(Click_Row(1), 1) << "full screen again";
}

// A windowed game whose window the user made wider: the picture stays at its size, centred between
// bars, and the pointer over it still reaches the game as the pixel it shows. (The offscreen
// driver keeps the window's drawing surface at its first size, so the picture itself is not read
// back here.)
TEST_F(FullScreenPointer, AWiderWindowMapsThePointerOntoThePictureBetweenTheBars) {
  ASSERT_TRUE(Reg_Write_DWORD(kSettings_Key, "Display_Windowed", 1));
  Start();
  ASSERT_TRUE(g_Device_Windowed);
  ASSERT_EQ(Window_Size().x, 800);
  SDL_SetWindowSize(g_Main_Window, 1000, 600);
  if (Window_Size().x != 1000) GTEST_SKIP() << "this video driver keeps the window's size";
  game().Step(5, 16);

  const struct {
    SDL_Point pointer;
    SDL_Point game;
  } cases[] = {{{100, 0}, {0, 0}}, {{899, 599}, {799, 599}}, {{500, 300}, {400, 300}}, {{50, 300}, {-50, 300}}};
  for (const auto& c : cases) {
    Point_At(c.pointer);
    EXPECT_EQ(CMenuItem::Cursor().x, c.game.x) << "pointer at " << c.pointer.x << "," << c.pointer.y;
    EXPECT_EQ(CMenuItem::Cursor().y, c.game.y) << "pointer at " << c.pointer.x << "," << c.pointer.y;
  }
}

}  // namespace
