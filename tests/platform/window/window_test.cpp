#include "platform/window/window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/window/message_queue.h"
#include "platform/window/splash_picture.h"

namespace {

LRESULT Quiet_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}

class Window_Test : public ::testing::Test {
 protected:
  void SetUp() override {
    m_window = Create_Main_Window("Vorthane", 640, 480, Quiet_Proc);
    if (m_window == nullptr) GTEST_SKIP() << "no display: " << SDL_GetError();
  }
  void TearDown() override {
    if (m_window != nullptr) DestroyWindow(m_window);
  }
  HWND m_window = nullptr;
};

TEST_F(Window_Test, MainWindowIsAHiddenOpenGlWindowWithTheAttributesSet) {
  const uint32_t flags = SDL_GetWindowFlags(m_window);
  EXPECT_NE(flags & SDL_WINDOW_OPENGL, 0u);
  EXPECT_EQ(flags & SDL_WINDOW_SHOWN, 0u);
  EXPECT_STREQ(SDL_GetWindowTitle(m_window), "Vorthane");
  RECT client{};
  ASSERT_TRUE(GetClientRect(m_window, &client));
  EXPECT_EQ(client.right, 640);
  EXPECT_EQ(client.bottom, 480);

  int profile = 0;
  int major = 0;
  int minor = 0;
  SDL_GL_GetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, &profile);
  SDL_GL_GetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, &major);
  SDL_GL_GetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, &minor);
  EXPECT_EQ(profile, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  EXPECT_EQ(major, 2);
  EXPECT_EQ(minor, 1);
}

TEST_F(Window_Test, ShowHideMoveAndSize) {
  EXPECT_FALSE(ShowWindow(m_window, SW_SHOWNORMAL)) << "was hidden";
  EXPECT_NE(SDL_GetWindowFlags(m_window) & SDL_WINDOW_SHOWN, 0u);
  EXPECT_TRUE(ShowWindow(m_window, SW_HIDE)) << "was visible";
  EXPECT_EQ(SDL_GetWindowFlags(m_window) & SDL_WINDOW_SHOWN, 0u);

  ASSERT_TRUE(SetWindowPos(m_window, nullptr, 40, 30, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER));
  RECT rect{};
  ASSERT_TRUE(GetWindowRect(m_window, &rect));
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(rect.top, 30);
  EXPECT_EQ(rect.right, 680);
  EXPECT_EQ(rect.bottom, 510);

  ASSERT_TRUE(SetWindowPos(m_window, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_SHOWWINDOW));
  ASSERT_TRUE(GetWindowRect(m_window, &rect));
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(rect.right - rect.left, 800);
  EXPECT_EQ(rect.bottom - rect.top, 600);
  EXPECT_NE(SDL_GetWindowFlags(m_window) & SDL_WINDOW_SHOWN, 0u);
  EXPECT_FALSE(SetWindowPos(m_window, nullptr, 0, 0, 0, -5, SWP_NOMOVE));

  RECT adjusted{10, 20, 810, 620};
  EXPECT_TRUE(AdjustWindowRect(&adjusted, WS_SYSMENU | WS_MINIMIZEBOX, FALSE));
  EXPECT_EQ(adjusted.left, 10);
  EXPECT_EQ(adjusted.bottom, 620);
}

TEST_F(Window_Test, CallsOnUnknownWindowsFailSafely) {
  HWND unknown = reinterpret_cast<HWND>(uintptr_t{0x10});
  RECT rect{};
  EXPECT_FALSE(GetClientRect(unknown, &rect));
  EXPECT_FALSE(GetWindowRect(nullptr, &rect));
  EXPECT_FALSE(ShowWindow(unknown, SW_SHOW));
  EXPECT_FALSE(SetWindowPos(unknown, nullptr, 0, 0, 1, 1, 0));
  EXPECT_FALSE(UpdateWindow(nullptr));
  EXPECT_EQ(Create_Main_Window("x", 0, 480, Quiet_Proc), nullptr);
  EXPECT_EQ(Create_Main_Window("x", 640, 480, nullptr), nullptr);
  EXPECT_EQ(Create_Splash_Window(m_window, -1, 120), nullptr);
}

TEST_F(Window_Test, ScreenSizeComesFromTheDisplay) {
  SDL_Rect bounds{};
  ASSERT_EQ(SDL_GetDisplayBounds(0, &bounds), 0);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), bounds.w);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), bounds.h);
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  EXPECT_EQ(GetSystemMetrics(42), 0);
}

TEST_F(Window_Test, SplashIsCentredBorderlessAndShowsThePicture) {
  HWND splash = Create_Splash_Window(m_window, 300, 120);
  ASSERT_NE(splash, nullptr);
  const uint32_t flags = SDL_GetWindowFlags(splash);
  EXPECT_NE(flags & SDL_WINDOW_BORDERLESS, 0u);
  EXPECT_EQ(flags & SDL_WINDOW_SHOWN, 0u);
  EXPECT_EQ(flags & SDL_WINDOW_OPENGL, 0u);
  RECT rect{};
  ASSERT_TRUE(GetWindowRect(splash, &rect));
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 120) / 2);
  EXPECT_EQ(rect.right - rect.left, 300);
  EXPECT_EQ(rect.bottom - rect.top, 120);

  EXPECT_FALSE(ShowWindow(splash, SW_SHOWNORMAL));
  EXPECT_TRUE(UpdateWindow(splash));
  SDL_Surface* surface = SDL_GetWindowSurface(splash);
  ASSERT_NE(surface, nullptr);
  const std::vector<uint32_t> picture = plat::Generate_Splash_Picture(300, 120);
  ASSERT_EQ(picture.size(), 300u * 120u);
  for (const SDL_Point probe : {SDL_Point{0, 0}, SDL_Point{4, 60}, SDL_Point{68, 60},
                                SDL_Point{200, 50}, SDL_Point{299, 119}}) {
    uint32_t raw = 0;
    SDL_LockSurface(surface);
    const auto* row = static_cast<const uint8_t*>(surface->pixels) + probe.y * surface->pitch;
    std::memcpy(&raw, row + probe.x * surface->format->BytesPerPixel, 4);
    SDL_UnlockSurface(surface);
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    SDL_GetRGB(raw, surface->format, &r, &g, &b);
    const uint32_t expected = picture[static_cast<size_t>(probe.y) * 300 + probe.x];
    EXPECT_EQ((uint32_t(r) << 16) | (uint32_t(g) << 8) | b, expected & 0xFFFFFF)
        << probe.x << "," << probe.y;
  }
  EXPECT_TRUE(ShowWindow(splash, SW_HIDE));
  EXPECT_TRUE(DestroyWindow(splash));
}

TEST(Splash_Picture, HasTheAskedSizeAndIsTheSameEveryTime) {
  const std::vector<uint32_t> picture = plat::Generate_Splash_Picture(300, 120);
  ASSERT_EQ(picture.size(), 300u * 120u);
  EXPECT_EQ(picture, plat::Generate_Splash_Picture(300, 120));
  for (uint32_t pixel : picture) ASSERT_EQ(pixel >> 24, 0xFFu) << "opaque";
  EXPECT_NE(picture[0], picture[5 * 300 + 150]) << "the frame stands out from the field";
  EXPECT_TRUE(plat::Generate_Splash_Picture(0, 120).empty());
  EXPECT_TRUE(plat::Generate_Splash_Picture(300, -1).empty());
  EXPECT_EQ(plat::Generate_Splash_Picture(1, 1).size(), 1u);
}

}  // namespace
