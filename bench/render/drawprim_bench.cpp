// Frames of the primitive drawer and of render-style passes on the OpenGL-backed device, each
// beside the same work done in raw OpenGL in the same run (goal: 1.10x of raw OpenGL at most).
// Each benchmark draws one untimed frame first, in which the rasteriser builds its code for the
// states used, so that the figure does not depend on the iteration count. "Time" is real time;
// "CPU" is the processor time of the whole process, the rasteriser's threads included, which
// a machine loaded by other work disturbs far less:
//  - 10,000 screen-space textured quads a frame, sent by DrawTexQuads in its batches of 21;
//  - 500 style passes a frame (ten styles in turn, each pass drawing one small quad), with the
//    state-block cache on and off.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "bench/render/bench_gl.h"
#include "platform/d3d/gl_api.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/d3d_renderdevice.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/render_cvars.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kQuads = 10000;
constexpr int kPasses = 500;
constexpr int kStyles = 10;

std::vector<DrawPrimTexQuad> ScreenQuads() {
  std::vector<DrawPrimTexQuad> quads(kQuads);
  for (int i = 0; i < kQuads; ++i) {
    const float x = static_cast<float>((i * 7) % (kWidth - 8));
    const float y = static_cast<float>((i * 13) % (kHeight - 8));
    g_D3DDrawPrim.QuadSetRect(&quads[i], x, y, 6, 6);
    g_D3DDrawPrim.QuadSetUVRect(&quads[i], 0, 0, 1, 1);
    g_D3DDrawPrim.QuadSetColor(&quads[i], 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8));
    for (TexVertex& v : quads[i].v) v.z = 0.5f;
  }
  return quads;
}

// ---- Through the renderer -----------------------------------------------------------------------

// The device, with the drawer's state put back before it goes.
struct Renderer : bench_gl::Renderer {
  bool Open() { return bench_gl::Renderer::Open(kWidth, kHeight); }
  ~Renderer() { g_D3DDrawPrim.ResetState(); }
};

using bench_gl::FrameRate;

void BM_DrawPrim_Quads(benchmark::State& state) {
  Renderer renderer;
  if (!renderer.Open()) {
    state.SkipWithError("device not available");
    return;
  }
  const std::vector<DrawPrimTexQuad> quads = ScreenQuads();
  CD3DDrawPrim& prim = g_D3DDrawPrim;
  prim.ResetState();
  prim.SetTransformType(kDrawPrimScreen);
  prim.SetAlphaBlendMode(3);
  auto frame = [&] {
    renderer.BeginFrame();
    prim.BeginDrawPrim();
    const bool drawn = prim.DrawTexQuads(quads.data(), kQuads);
    prim.EndDrawPrim();
    renderer.EndFrame();
    return drawn;
  };
  bool drawn = frame();
  bench_gl::CountFromHere();
  for (auto _ : state) {
    if (!drawn) break;
    drawn = frame();
  }
  bench_gl::CountedUpToHere();
  if (!drawn) state.SkipWithError("draw failed");
  FrameRate(state);
}

// Ten styles that differ in blending, depth, alpha test and stage operations.
std::vector<CD3DRenderStyle*> MakeStyles() {
  std::vector<CD3DRenderStyle*> styles;
  for (int i = 0; i < kStyles; ++i) {
    CD3DRenderStyle* style = g_pRenderStyles->CreateRenderStyle(true);
    RenderPassDesc pass;
    style->GetPass(0, &pass);
    pass.Lighting = 0;
    pass.CullMode = 0;
    pass.BlendMode = static_cast<uint32_t>(i % 4);
    pass.DepthMode = static_cast<uint32_t>(i % 3);
    pass.AlphaTest = (i % 5 == 0) ? 3 : 0;
    pass.Stages[0].ColorOp = 1 + static_cast<uint32_t>(i % 4);
    pass.TextureFactor = 0xFF000000u | static_cast<uint32_t>(i * 0x151515);
    style->SetPass(0, pass);
    styles.push_back(style);
  }
  return styles;
}

void BM_StylePasses(benchmark::State& state) {
  Renderer renderer;
  if (!renderer.Open()) {
    state.SkipWithError("device not available");
    return;
  }
  RSMgr_EnableCaching = static_cast<int32_t>(state.range(0));
  const std::vector<CD3DRenderStyle*> styles = MakeStyles();
  const std::vector<DrawPrimTexQuad> quads = ScreenQuads();
  CD3DDrawPrim& prim = g_D3DDrawPrim;
  prim.ResetState();
  prim.SetTransformType(kDrawPrimScreen);
  auto frame = [&] {
    renderer.BeginFrame();
    prim.BeginDrawPrim();
    for (int p = 0; p < kPasses; ++p) {
      prim.SetRenderStyle(styles[static_cast<size_t>(p % kStyles)]);
      prim.DrawTexQuads(&quads[static_cast<size_t>(p)], 1);
    }
    prim.EndDrawPrim();
    renderer.EndFrame();
  };
  frame();
  bench_gl::CountFromHere();
  for (auto _ : state) frame();
  bench_gl::CountedUpToHere();
  prim.SetRenderStyle(nullptr);
  for (CD3DRenderStyle* s : styles) g_pRenderStyles->ReleaseRenderStyle(s);
  RSMgr_EnableCaching = 1;
  FrameRate(state);
}

// ---- Raw OpenGL ------------------------------------------------------------------------------

struct RawContext : bench_gl::RawWindow {
  GLuint texture = 0;

  bool Open() {
    if (!RawWindow::Open(kWidth, kHeight)) return false;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kWidth, kHeight, 0, -1, 0);  // z 0..1 as depth 0..1
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The layer samples a white texture on a stage without one; so does this.
    const uint32_t white = 0xFFFFFFFFu;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    return true;
  }
  ~RawContext() {
    if (texture) glDeleteTextures(1, &texture);
  }
};

// The quads as triangle lists of screen vertices, as the drawer stages them.
std::vector<ScreenTexVertex> RawTriangles(const std::vector<DrawPrimTexQuad>& quads) {
  std::vector<ScreenTexVertex> out;
  out.reserve(quads.size() * 6);
  for (const DrawPrimTexQuad& q : quads)
    for (int corner : {0, 1, 2, 0, 2, 3}) {
      const TexVertex& v = q.v[corner];
      out.push_back({v.x, v.y, v.z, 1.0f, v.color, v.u, v.v});
    }
  return out;
}

void PointArrays(const ScreenTexVertex* first) {
  glVertexPointer(3, GL_FLOAT, sizeof(ScreenTexVertex), &first->x);
  glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, sizeof(ScreenTexVertex), &first->color);
  glTexCoordPointer(2, GL_FLOAT, sizeof(ScreenTexVertex), &first->u);
}

void BM_RawGL_Quads(benchmark::State& state) {
  const int per_call = static_cast<int>(state.range(0));
  RawContext raw;
  if (!raw.Open()) {
    state.SkipWithError("context not available");
    return;
  }
  const std::vector<ScreenTexVertex> vertices = RawTriangles(ScreenQuads());
  // Colour op 0 draws vertex colour only: the layer then leaves texturing off, and so does this.
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  auto frame = [&] {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (int first = 0; first < kQuads; first += per_call) {
      const int count = std::min(per_call, kQuads - first);
      PointArrays(&vertices[static_cast<size_t>(first) * 6]);
      glDrawArrays(GL_TRIANGLES, 0, count * 6);
    }
    raw.EndFrame();
  };
  frame();
  bench_gl::CountFromHere();
  for (auto _ : state) frame();
  bench_gl::CountedUpToHere();
  FrameRate(state);
}

// What the ten styles ask, done by hand before each quad. Stage 0 reads the white texture the
// layer samples where a stage has none, and takes the vertex colour as its second argument:
// selecting the texture and doubling texture x colour need the texture; selecting the colour,
// and multiplying it by white, are the vertex colour alone, drawn without texturing (as the
// layer draws them). The alpha is texture alpha x vertex alpha throughout.
void RawStyleState(int i) {
  const int blend = i % 4;
  if (blend == 0) {
    glDisable(GL_BLEND);
  } else {
    glEnable(GL_BLEND);
    if (blend == 1) glBlendFunc(GL_ONE, GL_ONE);
    if (blend == 2) glBlendFunc(GL_ONE_MINUS_DST_COLOR, GL_ONE);
    if (blend == 3) glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(i % 3 == 2 ? GL_GEQUAL : GL_LEQUAL);
  glDepthMask(i % 3 == 0 ? GL_TRUE : GL_FALSE);
  if (i % 5 == 0) {
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 128.0f / 255.0f);
  } else {
    glDisable(GL_ALPHA_TEST);
  }
  enum { kSelectTexture, kSelectColour, kModulate, kModulate2x };
  const int op = i % 4;
  if (op == kSelectColour || op == kModulate) {
    glDisable(GL_TEXTURE_2D);
    return;
  }
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, op == kSelectTexture ? GL_REPLACE : GL_MODULATE);
  glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE, op == kSelectTexture ? 1.0f : 2.0f);
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_MODULATE);
  const uint32_t factor_bits = static_cast<uint32_t>(i * 0x151515);
  const float factor[4] = {float((factor_bits >> 16) & 0xFF) / 255.0f, float((factor_bits >> 8) & 0xFF) / 255.0f,
                           float(factor_bits & 0xFF) / 255.0f, 1.0f};
  glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, factor);
}

void BM_RawGL_StylePasses(benchmark::State& state) {
  RawContext raw;
  if (!raw.Open()) {
    state.SkipWithError("context not available");
    return;
  }
  const std::vector<ScreenTexVertex> vertices = RawTriangles(ScreenQuads());
  auto frame = [&] {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (int p = 0; p < kPasses; ++p) {
      RawStyleState(p % kStyles);
      PointArrays(&vertices[static_cast<size_t>(p) * 6]);
      glDrawArrays(GL_TRIANGLES, 0, 6);
    }
    raw.EndFrame();
  };
  frame();
  bench_gl::CountFromHere();
  for (auto _ : state) frame();
  bench_gl::CountedUpToHere();
  FrameRate(state);
}

}  // namespace

BENCHMARK(BM_RawGL_Quads)->Arg(kQuads)->Arg(21)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_DrawPrim_Quads)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_RawGL_StylePasses)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_StylePasses)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();
