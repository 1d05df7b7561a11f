#pragma once
// The render device service on the real OpenGL-backed layer, for headless pixel tests: a hidden
// OpenGL window per test, and the device started windowed in a 32-bit mode on it.
#include <SDL2/SDL.h>

#include <functional>
#include <vector>

#include "runtime/src/render/sys/pc/d3d_renderdevice.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"

namespace vt_test {

// Starts the video system and opens a hidden OpenGL window of the given size; nullptr on failure
// (SDL_GetError says why). The first call also opens one more window that stays for the whole
// run, so the OpenGL driver stays loaded and what it keeps until exit is not taken for a leak.
inline SDL_Window* Open_GL_Test_Window(const char* title, int width, int height) {
  static SDL_Window* const kept =
      SDL_InitSubSystem(SDL_INIT_VIDEO) == 0
          ? SDL_CreateWindow("kept", 0, 0, 8, 8, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN)
          : nullptr;
  if (kept == nullptr || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_Window* window = SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (window == nullptr) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return window;
}

// Closes a window of Open_GL_Test_Window (none is fine) and its hold on the video system.
inline void Close_GL_Test_Window(SDL_Window* window) {
  if (window == nullptr) return;
  SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// Starts the render device windowed, 32 bits per pixel, on the window at its size.
inline bool Start_Render_Device_On(SDL_Window* window, int width, int height) {
  CRenderInitRequest request;
  request.Mode.Width = width;
  request.Mode.Height = height;
  request.Mode.BitDepth = 32;
  request.Window = window;
  request.Windowed = 1;
  request.KeepWindow = 1;
  return g_pRenderDevice->CreateDevice(&request);
}

// A code-made render style whose first pass the edit sets; kept in owned for the test to release.
// nullptr when the style list cannot make one.
inline CD3DRenderStyle* Make_Test_Style(std::vector<CD3DRenderStyle*>& owned,
                                        const std::function<void(RenderPassDesc&)>& edit) {
  CD3DRenderStyle* style = g_pRenderStyles->CreateRenderStyle(true);
  if (style == nullptr) return nullptr;
  owned.push_back(style);
  RenderPassDesc pass;
  style->GetPass(0, &pass);
  edit(pass);
  style->SetPass(0, pass);
  return style;
}

}  // namespace vt_test
