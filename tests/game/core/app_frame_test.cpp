#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/core/CWorld.h"
#include "game/core/Settings.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenu_Mgr.h"
#include "platform/system/instance_lock.h"
#include "platform/window/cursor.h"
#include "platform/window/window.h"
#include "runtime/src/render/sys/pc/d3d_renderdevice.h"
#include "tests/game/core/running_game.h"

namespace {

using AppFrame = RunningGame;

TEST_F(AppFrame, ASecondCopyIsTurnedAwayWithoutOpeningAWindow) {
  plat::Instance_Lock first_copy;
  ASSERT_EQ(first_copy.Acquire(kInstance_Lock_Name), plat::Instance_Lock::Result::Acquired);
  EXPECT_EQ(WinMain(), -1);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Application is already running.\nShutting down.");
  EXPECT_EQ(g_Main_Window, nullptr);
  EXPECT_TRUE(trace.empty()) << "nothing of the game ran";
  first_copy.Release();
  // Once the first copy is gone, the program starts.
  Start();
  EXPECT_NE(g_Main_Window, nullptr);
}

TEST_F(AppFrame, ANormalQuitReturnsZeroAndSavesTheSettingsAfterTheDeviceIsReleased) {
  Start();
  g_Game_State.SoundFX_Volume = 0.35f;
  harness.Step(2, 16);
  harness.Close();
  EXPECT_FALSE(harness.Step(1, 16)) << "WM_CLOSE ends the loop";
  EXPECT_EQ(harness.Shut_Down(), 0);
  const auto released = std::find(trace.begin(), trace.end(), std::string("release device"));
  const auto saved = std::find(trace.begin(), trace.end(), std::string("save settings"));
  ASSERT_NE(released, trace.end());
  ASSERT_NE(saved, trace.end());
  EXPECT_LT(released, saved);
  EXPECT_EQ(g_pD3DRenderDevice->GetState(), CD3DRenderDevice::kNoDevice);
  float volume = 0.0f;
  ASSERT_TRUE(Reg_Read_Float(kSettings_Key, "SoundFX_Volume", volume));
  EXPECT_EQ(volume, 0.35f);
  EXPECT_TRUE(messages.empty());
}

TEST_F(AppFrame, WinMainRunsToAQuitPostedByTheGame) {
  // The whole entry point: start-up, the loop until the quit command, shut-down.
  g_Menu_Mgr.Command(kCommand_Quit, 0);  // queued now, taken by the loop
  trace.clear();
  EXPECT_EQ(WinMain(), 0);
  EXPECT_NE(std::find(trace.begin(), trace.end(), std::string("save settings")), trace.end());
}

TEST_F(AppFrame, DeactivationPausesAndReactivationResumesUnlessTheUserHadPaused) {
  Start();
  struct Case {
    bool user_paused;
    bool want_paused_after;
  };
  for (const Case c : {Case{false, false}, Case{true, true}}) {
    Set_Game_Paused(c.user_paused);
    harness.Activate(false);
    harness.Pump();
    EXPECT_FALSE(g_App_Active);
    EXPECT_TRUE(g_Game_Paused);
    EXPECT_EQ(g_Paused_By_Deactivation, !c.user_paused);
    EXPECT_EQ(g_pD3DRenderDevice->GetState(), CD3DRenderDevice::kFreedForReset);
    EXPECT_FALSE(g_Menu_Mgr.Fonts_Created());
    trace.clear();
    harness.Step(3, 16);
    EXPECT_TRUE(trace.empty()) << "no frame runs while inactive";
    harness.Activate(true);
    harness.Pump();
    EXPECT_TRUE(g_App_Active);
    EXPECT_EQ(g_Game_Paused, c.want_paused_after) << c.user_paused;
    EXPECT_EQ(g_pD3DRenderDevice->GetState(), CD3DRenderDevice::kReady);
    EXPECT_TRUE(g_Menu_Mgr.Fonts_Created());
    harness.Step(1, 16);
    EXPECT_EQ(trace.back(), "present");
  }
}

TEST_F(AppFrame, MouseCaptureSettingClipsTheCursorToTheWindow) {
  Start();
  harness.Activate(true);
  harness.Pump();
  RECT clip{};
  ASSERT_TRUE(GetClipCursor(&clip));
  RECT window{};
  ASSERT_TRUE(GetWindowRect(g_Main_Window, &window));
  EXPECT_EQ(clip.left, window.left);
  EXPECT_EQ(clip.right - clip.left, window.right - window.left);
  g_Game_State.Mouse_Cap_Enable = false;
  harness.Activate(true);
  harness.Pump();
  Clip_Cursor_To_Window(false);
  ASSERT_TRUE(GetClipCursor(&clip));
  EXPECT_GE(clip.right - clip.left, window.right - window.left);
}

TEST_F(AppFrame, WheelNotchesAreWholeMultiplesOf120TowardZero) {
  Start();
  struct Case {
    int delta;
    int want;
  };
  // The window procedure divides the signed delta by 120, truncating toward zero.
  for (const Case c : {Case{120, 1}, Case{-120, -1}, Case{119, 0}, Case{-119, 0}, Case{360, 3}, Case{-250, -2}}) {
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(MAKEWPARAM(0, c.delta)) / WHEEL_DELTA, c.want) << c.delta;
    EXPECT_EQ(Main_Window_Proc(g_Main_Window, WM_MOUSEWHEEL, MAKEWPARAM(0, c.delta), 0), 0);
  }
}

TEST_F(AppFrame, AltAloneIsSwallowed) {
  Start();
  EXPECT_EQ(Main_Window_Proc(g_Main_Window, WM_SYSKEYDOWN, VK_MENU, 0), 0);
}

TEST_F(AppFrame, AWindowedStartOnASmallDesktopLowersTheResolutionLevel) {
  ASSERT_TRUE(Reg_Write_DWORD(kSettings_Key, "Display_Windowed", 1));
  ASSERT_TRUE(Reg_Write_DWORD(kSettings_Key, "Display_Resolution", 4));
  Start();
  const int desktop_width = GetSystemMetrics(SM_CXSCREEN);
  const int desktop_height = GetSystemMetrics(SM_CYSCREEN);
  const int sizes[5][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}};
  const int level = g_Game_State.Display_Resolution;
  ASSERT_GE(level, 0);
  ASSERT_LE(level, 4);
  if (level > 0) {
    EXPECT_GT(desktop_width, sizes[level][0]);
    EXPECT_GT(desktop_height, sizes[level][1]);
  }
  if (level < 4) EXPECT_FALSE(desktop_width > sizes[level + 1][0] && desktop_height > sizes[level + 1][1]);
  EXPECT_TRUE(g_Device_Windowed);
  harness.Shut_Down();
  uint32_t saved = 99;
  ASSERT_TRUE(Reg_Read_DWORD(kSettings_Key, "Display_Resolution", saved));
  EXPECT_EQ(static_cast<int>(saved), level);
}

}  // namespace
