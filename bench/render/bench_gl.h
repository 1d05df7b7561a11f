#pragma once
// What the renderer benchmarks share: the video system for the run, the render device on a hidden
// window, a raw OpenGL context of the same size for the baselines, and the frame-rate counter.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define VT_BENCH_CALLGRIND 1
#endif

#include "platform/d3d/gl_api.h"
#include "runtime/src/render/sys/pc/d3d_renderdevice.h"

namespace bench_gl {

// The video system stays up for the whole run of the benchmark program.
struct VideoSystem {
  VideoSystem() { SDL_InitSubSystem(SDL_INIT_VIDEO); }
  ~VideoSystem() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
};
inline VideoSystem g_video_system;

// The buffers the game asks of its main window (alpha, 24-bit depth, 8-bit stencil), so that
// the device draws straight into the window as it does in the game, rather than into a
// framebuffer object copied to the window at each present. Both sides of a comparison get them.
inline void FullWindowBuffers() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
}

// The render device started windowed, 32 bits per pixel, on a hidden window.
struct Renderer {
  SDL_Window* window = nullptr;
  bool open = false;

  bool Open(int width, int height) {
    FullWindowBuffers();
    window = SDL_CreateWindow("bench", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) return false;
    CRenderInitRequest request;
    request.Mode.Width = width;
    request.Mode.Height = height;
    request.Mode.BitDepth = 32;
    request.Window = window;
    request.Windowed = 1;
    request.KeepWindow = 1;
    open = g_pRenderDevice->CreateDevice(&request);
    return open;
  }
  void BeginFrame() {
    g_pRenderDevice->Begin_Render();
    g_pRenderDevice->Clear(nullptr, kClearTarget | kClearDepth, 0, 0);
    g_pRenderDevice->BeginScene();
  }
  void EndFrame() {
    g_pRenderDevice->EndScene();
    g_pRenderDevice->Present(nullptr);
    glFinish();
  }
  ~Renderer() {
    if (open) g_pRenderDevice->ReleaseDevice();
    if (window != nullptr) SDL_DestroyWindow(window);
  }
};

// A raw OpenGL 2.1 compatibility context on a hidden window with the same buffers and no
// vertical sync, current once opened; each baseline sets up its own state on it.
struct RawWindow {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;

  bool Open(int width, int height) {
    FullWindowBuffers();
    window = SDL_CreateWindow("raw", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) return false;
    context = SDL_GL_CreateContext(window);
    if (!context) return false;
    SDL_GL_MakeCurrent(window, context);
    SDL_GL_SetSwapInterval(0);
    glViewport(0, 0, width, height);
    return true;
  }
  void EndFrame() {
    SDL_GL_SwapWindow(window);
    glFinish();
  }
  ~RawWindow() {
    if (context) SDL_GL_DeleteContext(context);
    if (window) SDL_DestroyWindow(window);
  }
};

// Under callgrind (scripts/bench_instructions.sh) the instructions of the timed loop are counted
// apart from the set-up and the untimed first round: a figure the machine's load cannot move.
// Outside callgrind these do nothing.
inline void CountFromHere() {
#ifdef VT_BENCH_CALLGRIND
  CALLGRIND_ZERO_STATS;
#endif
}
inline void CountedUpToHere() {
#ifdef VT_BENCH_CALLGRIND
  CALLGRIND_DUMP_STATS;
#endif
}

inline void FrameRate(benchmark::State& state) {
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace bench_gl
