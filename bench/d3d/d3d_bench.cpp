// Frames per second of the Direct3D-shaped layer beside the same work done in raw OpenGL, in the
// same run: an empty frame (clear and present) and a frame of 10,000 small lit triangles, drawn
// in one call and in 1,000 calls of 10, and in 1,000 calls that each move their object first.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "platform/d3d/d3d8.h"
#include "platform/d3d/gl_api.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kTriangles = 10000;

struct LitVertex {
  float x, y, z;
  float nx, ny, nz;
};

// A grid of small triangles filling the view at depth 10, facing the camera.
std::vector<LitVertex> SmallTriangles() {
  std::vector<LitVertex> v;
  v.reserve(kTriangles * 3);
  const int columns = 125;
  const int rows = kTriangles / columns;
  for (int i = 0; i < kTriangles; ++i) {
    const float x = -10.0f + 20.0f * static_cast<float>(i % columns) / columns;
    const float y = -7.5f + 15.0f * static_cast<float>(i / columns) / static_cast<float>(rows);
    const float s = 0.1f;
    v.push_back({x, y, 10.0f, 0.0f, 0.0f, -1.0f});
    v.push_back({x, y + s, 10.0f, 0.0f, 0.0f, -1.0f});
    v.push_back({x + s, y, 10.0f, 0.0f, 0.0f, -1.0f});
  }
  return v;
}

D3DMATRIX Perspective() {
  const float y = 1.0f / std::tan(0.7853982f);
  D3DMATRIX m = {};
  m.m[0][0] = y / (static_cast<float>(kWidth) / kHeight);
  m.m[1][1] = y;
  m.m[2][2] = 100.0f / 99.0f;
  m.m[2][3] = 1.0f;
  m.m[3][2] = -100.0f / 99.0f;
  return m;
}

// Both sides draw into windows with the same buffers: 8-bit colour with alpha, 24-bit depth,
// 8-bit stencil, double-buffered, no vsync; each frame ends with glFinish.
SDL_Window* OpenWindow(const char* title) {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
  return SDL_CreateWindow(title, 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
}

// ---- Through the layer --------------------------------------------------------------------------

struct LayerDevice {
  SDL_Window* window = nullptr;
  IDirect3D8* d3d = nullptr;
  IDirect3DDevice8* device = nullptr;

  bool Open() {
    window = OpenWindow("bench");
    d3d = Direct3DCreate8(D3D_SDK_VERSION);
    if (!window || !d3d) return false;
    D3DPRESENT_PARAMETERS p = {};
    p.BackBufferWidth = kWidth;
    p.BackBufferHeight = kHeight;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_COPY;
    p.hDeviceWindow = window;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D24S8;
    return SUCCEEDED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_MIXED_VERTEXPROCESSING, &p, &device));
  }
  void SetUpLighting() {
    const D3DMATRIX projection = Perspective();
    device->SetTransform(D3DTS_PROJECTION, &projection);
    D3DMATERIAL8 material = {};
    material.Diffuse = {1.0f, 0.5f, 0.25f, 1.0f};
    device->SetMaterial(&material);
    D3DLIGHT8 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL);
  }
  ~LayerDevice() {
    if (device) device->Release();
    if (d3d) d3d->Release();
    if (window) SDL_DestroyWindow(window);
  }
};

void FrameRate(benchmark::State& state) {
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Layer_ClearPresent(benchmark::State& state) {
  LayerDevice layer;
  if (!layer.Open()) {
    state.SkipWithError("device not available");
    return;
  }
  for (auto _ : state) {
    layer.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF203040u, 1.0f, 0);
    layer.device->BeginScene();
    layer.device->EndScene();
    layer.device->Present(nullptr, nullptr, nullptr, nullptr);
    glFinish();
  }
  FrameRate(state);
}

void BM_Layer_LitTriangles(benchmark::State& state) {
  const int calls = static_cast<int>(state.range(0));
  LayerDevice layer;
  if (!layer.Open()) {
    state.SkipWithError("device not available");
    return;
  }
  layer.SetUpLighting();
  const std::vector<LitVertex> vertices = SmallTriangles();
  const int per_call = kTriangles / calls;
  for (auto _ : state) {
    layer.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    layer.device->BeginScene();
    for (int c = 0; c < calls; ++c) {
      layer.device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(per_call),
                                    &vertices[static_cast<size_t>(c) * per_call * 3], sizeof(LitVertex));
    }
    layer.device->EndScene();
    layer.device->Present(nullptr, nullptr, nullptr, nullptr);
    glFinish();
  }
  FrameRate(state);
}

// Each call's object is placed by its own world matrix (a small shift, so the picture stays).
D3DMATRIX Placement(int call) {
  D3DMATRIX m = {};
  m.m[0][0] = m.m[1][1] = m.m[2][2] = m.m[3][3] = 1.0f;
  m.m[3][0] = (call & 1) ? 0.001f : 0.0f;
  return m;
}

void BM_Layer_MovingObjects(benchmark::State& state) {
  const int calls = static_cast<int>(state.range(0));
  LayerDevice layer;
  if (!layer.Open()) {
    state.SkipWithError("device not available");
    return;
  }
  layer.SetUpLighting();
  const std::vector<LitVertex> vertices = SmallTriangles();
  const int per_call = kTriangles / calls;
  for (auto _ : state) {
    layer.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    layer.device->BeginScene();
    for (int c = 0; c < calls; ++c) {
      const D3DMATRIX world = Placement(c);
      layer.device->SetTransform(D3DTS_WORLD, &world);
      layer.device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(per_call),
                                    &vertices[static_cast<size_t>(c) * per_call * 3], sizeof(LitVertex));
    }
    layer.device->EndScene();
    layer.device->Present(nullptr, nullptr, nullptr, nullptr);
    glFinish();
  }
  FrameRate(state);
}

// ---- Raw OpenGL ------------------------------------------------------------------------------

struct RawContext {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;

  bool Open() {
    window = OpenWindow("raw");
    if (!window) return false;
    context = SDL_GL_CreateContext(window);
    if (!context) return false;
    SDL_GL_MakeCurrent(window, context);
    SDL_GL_SetSwapInterval(0);
    glViewport(0, 0, kWidth, kHeight);
    return true;
  }
  void SetUpLighting() {
    const D3DMATRIX projection = Perspective();
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(&projection.m[0][0]);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);  // the grid's triangles are clockwise, as the layer draws them
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const float diffuse[4] = {1.0f, 0.5f, 0.25f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    const float towards[4] = {0.0f, 0.0f, -1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, towards);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
  }
  ~RawContext() {
    if (context) SDL_GL_DeleteContext(context);
    if (window) SDL_DestroyWindow(window);
  }
};

void BM_RawGL_ClearPresent(benchmark::State& state) {
  RawContext raw;
  if (!raw.Open()) {
    state.SkipWithError("context not available");
    return;
  }
  for (auto _ : state) {
    glClearColor(0.125f, 0.1875f, 0.25f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapWindow(raw.window);
    glFinish();
  }
  FrameRate(state);
}

void BM_RawGL_LitTriangles(benchmark::State& state) {
  const int calls = static_cast<int>(state.range(0));
  RawContext raw;
  if (!raw.Open()) {
    state.SkipWithError("context not available");
    return;
  }
  raw.SetUpLighting();
  const std::vector<LitVertex> vertices = SmallTriangles();
  const int per_call = kTriangles / calls;
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (int c = 0; c < calls; ++c) {
      const LitVertex* first = &vertices[static_cast<size_t>(c) * per_call * 3];
      glVertexPointer(3, GL_FLOAT, sizeof(LitVertex), &first->x);
      glNormalPointer(GL_FLOAT, sizeof(LitVertex), &first->nx);
      glDrawArrays(GL_TRIANGLES, 0, per_call * 3);
    }
    SDL_GL_SwapWindow(raw.window);
    glFinish();
  }
  FrameRate(state);
}

void BM_RawGL_MovingObjects(benchmark::State& state) {
  const int calls = static_cast<int>(state.range(0));
  RawContext raw;
  if (!raw.Open()) {
    state.SkipWithError("context not available");
    return;
  }
  raw.SetUpLighting();
  const std::vector<LitVertex> vertices = SmallTriangles();
  const int per_call = kTriangles / calls;
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (int c = 0; c < calls; ++c) {
      const D3DMATRIX world = Placement(c);
      glLoadMatrixf(&world.m[0][0]);
      const LitVertex* first = &vertices[static_cast<size_t>(c) * per_call * 3];
      glVertexPointer(3, GL_FLOAT, sizeof(LitVertex), &first->x);
      glNormalPointer(GL_FLOAT, sizeof(LitVertex), &first->nx);
      glDrawArrays(GL_TRIANGLES, 0, per_call * 3);
    }
    SDL_GL_SwapWindow(raw.window);
    glFinish();
  }
  FrameRate(state);
}

struct VideoSystem {
  VideoSystem() { SDL_InitSubSystem(SDL_INIT_VIDEO); }
  ~VideoSystem() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
} g_video;

}  // namespace

BENCHMARK(BM_RawGL_ClearPresent)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Layer_ClearPresent)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_RawGL_LitTriangles)->Arg(1)->Arg(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Layer_LitTriangles)->Arg(1)->Arg(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_RawGL_MovingObjects)->Arg(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Layer_MovingObjects)->Arg(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();
