#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>
#include <filesystem>
#include <fstream>
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
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/d3d_renderdevice.h"
#include "runtime/src/render/sys/pc/render_state_warm_up.h"
#include "tests/game/core/running_game.h"
#include "tools/writers/content_files.h"
#include "tools/writers/pack_writer.h"

namespace {

using AppFrame = RunningGame;

// The shut-down of a quit ran: the device was released, then the settings were saved.
void Expect_Shut_Down_As_A_Quit(const std::vector<std::string>& trace) {
  const auto released = std::find(trace.begin(), trace.end(), std::string("release device"));
  const auto saved = std::find(trace.begin(), trace.end(), std::string("save settings"));
  ASSERT_NE(released, trace.end());
  ASSERT_NE(saved, trace.end());
  EXPECT_LT(released, saved);
  EXPECT_EQ(g_pD3DRenderDevice->GetState(), CD3DRenderDevice::kNoDevice);
}

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
  Expect_Shut_Down_As_A_Quit(trace);
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
    // The frame is drawn and shown; a slice of the menus' warm-up follows while one is pending.
    const bool warming = Warm_Up_Pending();
    harness.Step(1, 16);
    std::vector<std::string> ending = {"present"};
    if (warming) ending.push_back("warm up slice");
    const std::vector<std::string> steps = Last_Frame_Steps();
    ASSERT_GE(steps.size(), ending.size());
    EXPECT_EQ(std::vector<std::string>(steps.end() - ending.size(), steps.end()), ending) << c.user_paused;
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

// Alt alone never reaches the default handling (which would enter the window's menu); other
// system keys do.
TEST_F(AppFrame, AltAloneIsSwallowed) {
  Start();
  std::vector<WPARAM> handed_on;
  plat::Set_Default_Proc_Recorder([&](HWND, UINT message, WPARAM key) {
    if (message == WM_SYSKEYDOWN) handed_on.push_back(key);
  });
  EXPECT_EQ(Main_Window_Proc(g_Main_Window, WM_SYSKEYDOWN, VK_MENU, 0), 0);
  EXPECT_TRUE(handed_on.empty());
  Main_Window_Proc(g_Main_Window, WM_SYSKEYDOWN, VK_TAB, 0);
  plat::Set_Default_Proc_Recorder(nullptr);
  EXPECT_EQ(handed_on, std::vector<WPARAM>{VK_TAB});
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
  if (level < 4) { EXPECT_FALSE(desktop_width > sizes[level + 1][0] && desktop_height > sizes[level + 1][1]); }
  EXPECT_TRUE(g_Device_Windowed);
  harness.Shut_Down();
  uint32_t saved = 99;
  ASSERT_TRUE(Reg_Read_DWORD(kSettings_Key, "Display_Resolution", saved));
  EXPECT_EQ(static_cast<int>(saved), level);
}

// Puts environment variables back when the test ends.
class Environment_Guard {
 public:
  void Set(const char* name, const char* value) {
    Remember(name);
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~Environment_Guard() {
    for (auto it = m_Saved.rbegin(); it != m_Saved.rend(); ++it) {
      if (it->second) {
        setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        unsetenv(it->first.c_str());
      }
    }
  }

 private:
  void Remember(const char* name) {
    const char* old = std::getenv(name);
    m_Saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> m_Saved;
};

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// A lock file that cannot be used (here: its folder is missing) is no second copy: the program
// says what failed, in one line, and starts.
TEST_F(AppFrame, AnUnusableLockFileIsReportedAndTheProgramStarts) {
  Environment_Guard environment;
  environment.Set("XDG_RUNTIME_DIR", (harness.Work_Dir() + "/no_such_folder").c_str());
  const std::string name = "Global\\Vt_App_Lock_" + std::to_string(getpid());
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Is_Already_Running(name.c_str()));
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(Count(said, "\n"), 1u) << said;
  EXPECT_NE(said.find("no_such_folder"), std::string::npos) << said;
  EXPECT_NE(said.find("No such file or directory"), std::string::npos) << said;
  EXPECT_TRUE(messages.empty()) << "not taken for a second copy";
  std::filesystem::remove(plat::Instance_Lock::Fallback_Lock_File_Path(name.c_str()));
}

// Without the content in the working directory the start fails with its message, and stderr
// says where the program looked and for what.
TEST_F(AppFrame, AStartWithoutContentNamesTheFolderAndTheMissingFiles) {
  for (const char* name : {"packed_rezmap_0.pck", "rezmap_0.ksa"})
    std::filesystem::remove(harness.Work_Dir() + "/" + name);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(harness.Start());
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(harness.Exit_Code(), -1);
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0], kRez_Init_Failure_Message);
  const size_t line = said.find("Vorthane: no content in the working directory");
  ASSERT_NE(line, std::string::npos) << said;
  const std::string second = said.substr(line, said.find('\n', line) - line);
  EXPECT_NE(second.find(std::filesystem::canonical(harness.Work_Dir()).string()), std::string::npos) << second;
  EXPECT_NE(second.find("packed_rezmap_0.pck"), std::string::npos) << second;
  EXPECT_NE(second.find("rezmap_0.ksa"), std::string::npos) << second;
}

// A listing the content comes with that cannot serve the game stops the start with one line
// that names it and says what is wrong, and the message says the same: no hint to check the
// working directory, which holds the content.
TEST_F(AppFrame, AListingThatCannotServeTheGameIsNamedOnceWithoutTheFolderHint) {
  std::string too_large;
  for (uint32_t n = 0; n <= 0xFFFF; ++n) {
    too_large += writers::TextMapLine((n << 10) | 0x1, writers::AttributeWord(0, 2, 0, 0), "a", "a", 0, false, 0);
  }
  struct Case {
    const char* name;
    std::string listing;
    std::string said;     // the one line of stderr that names the listing
    std::string message;  // the message shown; empty: the one of whatever part of the start missed its resource
  };
  const Case cases[] = {
      {"empty", "", "Init: rezmap_0.ksa is empty: it lists no resources, so none of them can be found.", ""},
      {"too large", too_large,
       "Init: cannot build pack map pack_map.map: rezmap_0.ksa lists more than 65535 resources whose ids end in the "
       "same ten bits (0x001), more than a pack map can hold.",
       std::string(kRez_Init_Failure_Title) +
           "Cannot build pack map pack_map.map: rezmap_0.ksa lists more than 65535 resources whose ids end in the "
           "same ten bits (0x001), more than a pack map can hold."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* name : {"packed_rezmap_0.pck", "rezmap_0.ksa", "pack_map.map"})
      std::filesystem::remove(harness.Work_Dir() + "/" + name);
    ASSERT_TRUE(writers::WriteWholeFile(harness.Work_Dir() + "/rezmap_0.ksa",
                                        writers::Bytes(c.listing.begin(), c.listing.end())));
    messages.clear();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(harness.Start());
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_FALSE(messages.empty());
    if (!c.message.empty()) {
      EXPECT_EQ(messages[0], c.message);
    }
    EXPECT_EQ(Count(messages[0], "Double check"), 0u) << messages[0];
    EXPECT_EQ(Count(said, c.said), 1u) << said;
    EXPECT_EQ(Count(said, "rezmap_0.ksa"), 1u) << said;
    EXPECT_EQ(Count(said, "not found"), 0u) << said;
    EXPECT_EQ(Count(said, "working directory"), 0u) << said;
    harness.Shut_Down();
  }
}

// A start that fails on its content (here the listing leaves out the cursor's texture) shows its
// message, shuts down as a quit does (the device released, then the settings saved) and ends
// with the failure status of the other failed starts, not with the 0 of a normal quit.
TEST_F(AppFrame, AStartThatFailsOnItsContentShutsDownAndEndsWithAFailure) {
  const std::string listing = harness.Work_Dir() + "/rezmap_0.ksa";
  const std::string cursor_id = "22000006 ";
  std::ifstream in(listing, std::ios::binary);
  std::string kept, line;
  while (std::getline(in, line)) {
    if (line.rfind(cursor_id, 0) != 0) kept += line + "\n";
  }
  in.close();
  ASSERT_NE(kept.find("textures/cursor_cross_hair.txb"), std::string::npos) << "the listing was read";
  for (const char* name : {"packed_rezmap_0.pck", "rezmap_0.ksa", "pack_map.map"})
    std::filesystem::remove(harness.Work_Dir() + "/" + name);
  ASSERT_TRUE(writers::WriteWholeFile(listing, writers::Bytes(kept.begin(), kept.end())));
  trace.clear();
  EXPECT_EQ(WinMain(), -1);
  EXPECT_NE(std::find(messages.begin(), messages.end(), std::string(kWorld_Init_Failure_Message)), messages.end());
  Expect_Shut_Down_As_A_Quit(trace);
  EXPECT_EQ(g_Main_Window, nullptr);
}

// With no display to open and none asked for, the program does not run unseen on the
// off-screen driver: it says so and ends with a failure. Once a display can be had again (the
// off-screen driver asked for), a later start in the same process opens it: the failure is not
// held against every start after it.
TEST_F(AppFrame, WithoutADisplayTheProgramSaysSoAndEnds) {
  {
    Environment_Guard environment;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "video already started in this process";
    for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"}) environment.Set(name, nullptr);
    testing::internal::CaptureStderr();
    const bool started = harness.Start();
    const std::string said = testing::internal::GetCapturedStderr();
    if (started) GTEST_SKIP() << "a real display opened here";
    EXPECT_EQ(harness.Exit_Code(), -1);
    EXPECT_EQ(g_Main_Window, nullptr);
    EXPECT_EQ(Count(said, "no display could be opened"), 1u) << said;
    EXPECT_TRUE(messages.empty());
  }
  EXPECT_TRUE(harness.Start()) << "the display asked for after the failure opens";
  EXPECT_NE(g_Main_Window, nullptr);
}

// A hang-up quits like SIGTERM: the loop ends through the close message and the settings are
// saved.
TEST_F(AppFrame, AHangUpQuitsAndSavesTheSettings) {
  Start();
  g_Game_State.Music_Volume = 0.3f;
  harness.Step(2, 16);
  ASSERT_EQ(raise(SIGHUP), 0);
  bool running = true;
  for (int frame = 0; frame < 50 && running; ++frame) running = harness.Step(1, 16);
  EXPECT_FALSE(running) << "the hang-up did not end the loop";
  EXPECT_EQ(harness.Shut_Down(), 0);
  float volume = 0.0f;
  ASSERT_TRUE(Reg_Read_Float(kSettings_Key, "Music_Volume", volume));
  EXPECT_EQ(volume, 0.3f);
}

TEST_F(AppFrame, GameCodeDrawsThroughTheDefaultDrawPrim) {
  EXPECT_EQ(g_pDrawPrim, &g_D3DDrawPrim);
}

}  // namespace
