// Frames of meshes and sprite arrays on the OpenGL-backed device:
//  - 200 rigid meshes of 500 lit triangles a frame, each with its own world matrix, beside the
//    same geometry drawn in raw OpenGL in the same run;
//  - 2,000 sprites drawn as quads (built on the processor in view space) a frame.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/render/bench_gl.h"
#include "platform/d3d/gl_api.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/d3d_renderdevice.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"
#include "runtime/src/render/sys/pc/sprite_array.h"
#include "tools/writers/mesh_generator.h"
#include "tools/writers/renderable_writer.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kMeshes = 200;
constexpr int kSprites = 2000;

// A 25 x 10 cell sheet: 500 triangles over 286 vertices (its own buffers, past the shared ones).
writers::MeshGeometry Sheet() { return writers::MakePlane(2, 2, 25, 10); }

// Mesh i sits on a 20 x 10 grid in front of the camera, turned to face it.
CMatrix4x4 WorldOf(int i) {
  CMatrix4x4 m{};
  m.m[0][0] = 1;
  m.m[1][2] = -1;
  m.m[2][1] = 1;
  m.m[3][0] = static_cast<float>(i % 20) * 2.2f - 21.0f;
  m.m[3][1] = static_cast<float>(i / 20) * 2.2f - 10.0f;
  m.m[3][2] = 30.0f;
  m.m[3][3] = 1;
  return m;
}

// The device, with a white directional light.
struct Renderer : bench_gl::Renderer {
  bool Open() {
    if (!bench_gl::Renderer::Open(kWidth, kHeight)) return false;
    LightDesc light{};
    light.Kind = kLightDirectional;
    light.Vector = {0.3f, -0.4f, 1.0f};
    light.Diffuse = {1, 1, 1, 1};
    g_pRenderDevice->SetLight(0, &light);
    g_pRenderDevice->EnableLight(0, true);
    return true;
  }
};

// Share of the frame's pixels that are not black: both sides must draw the same picture.
double Coverage(const uint8_t* pixels, size_t count) {
  size_t lit = 0;
  for (size_t i = 0; i < count; ++i) lit += (pixels[4 * i] | pixels[4 * i + 1] | pixels[4 * i + 2]) != 0;
  return static_cast<double>(lit) / static_cast<double>(count);
}

double RendererCoverage() {
  CMemoryStream stream;
  uint32_t width = 0, height = 0;
  const ReadBackRequest request{&stream, kReadBackFourBytes, &width, &height};
  if (!g_pRenderDevice->ReadBackBuffer(&request)) return 0.0;
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  stream.SeekTo(0);
  stream.Read(pixels.data(), static_cast<uint32_t>(pixels.size()));
  // Read-back puts alpha first: skip it.
  return Coverage(pixels.data() + 1, static_cast<size_t>(width) * height - 1);
}

using bench_gl::FrameRate;

CRigidMesh* LoadSheet() {
  const writers::Bytes body = writers::BuildRigidBody(writers::RigidFromGeometry(Sheet()));
  CMemoryStream stream;
  stream.Write(body.data(), static_cast<uint32_t>(body.size()));
  stream.SeekTo(0);
  auto* mesh = static_cast<CRigidMesh*>(g_pD3DRenderDevice->CreateRenderObject(CRigidMesh::kType));
  if (mesh != nullptr && !mesh->Load(&stream)) {
    g_pD3DRenderDevice->DestroyRenderObject(mesh);
    return nullptr;
  }
  return mesh;
}

void BM_RigidMeshes(benchmark::State& state) {
  Renderer renderer;
  if (!renderer.Open()) {
    state.SkipWithError("device not available");
    return;
  }
  std::vector<CRigidMesh*> meshes;
  for (int i = 0; i < kMeshes; ++i) meshes.push_back(LoadSheet());
  CD3DRenderStyle* style = g_pRenderStyles->CreateRenderStyle(true);
  std::vector<CMatrix4x4> worlds;
  for (int i = 0; i < kMeshes; ++i) worlds.push_back(WorldOf(i));
  for (auto _ : state) {
    renderer.BeginFrame();
    bool drawn = true;
    for (int i = 0; i < kMeshes; ++i)
      drawn = meshes[static_cast<size_t>(i)]->Render(&worlds[static_cast<size_t>(i)], style, nullptr, nullptr,
                                                     nullptr) && drawn;
    renderer.EndFrame();
    if (!drawn) {
      state.SkipWithError("draw failed");
      break;
    }
  }
  renderer.BeginFrame();
  for (int i = 0; i < kMeshes; ++i)
    meshes[static_cast<size_t>(i)]->Render(&worlds[static_cast<size_t>(i)], style, nullptr, nullptr, nullptr);
  g_pRenderDevice->EndScene();
  state.counters["coverage"] = RendererCoverage();
  g_pRenderStyles->ReleaseRenderStyle(style);
  for (CRigidMesh* m : meshes) g_pD3DRenderDevice->DestroyRenderObject(m);
  state.counters["triangles"] = static_cast<double>(kMeshes * 500);
  FrameRate(state);
}

void BM_SpriteQuads(benchmark::State& state) {
  Renderer renderer;
  if (!renderer.Open()) {
    state.SkipWithError("device not available");
    return;
  }
  auto* sprites = static_cast<CSpriteArray*>(g_pD3DRenderDevice->CreateRenderObject(CSpriteArray::kType));
  sprites->Init(0.2f, CSpriteArray::kPosition | CSpriteArray::kColour | CSpriteArray::kSize, 256, false);
  sprites->Lock();
  for (int i = 0; i < kSprites; ++i) {
    const uint32_t index = sprites->AddSprite();
    sprites->SetPosition(index, CVector3{static_cast<float>(i % 50) * 0.4f - 10.0f,
                                         static_cast<float>(i / 50) * 0.4f - 8.0f, 20.0f});
    sprites->SetColor(index, 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8));
    sprites->SetSize(index, 0.15f);
  }
  sprites->Unlock();
  CD3DRenderStyle* style = g_pRenderStyles->CreateRenderStyle(true);
  RenderPassDesc pass;
  style->GetPass(0, &pass);
  pass.Lighting = 0;
  pass.BlendMode = 1;
  style->SetPass(0, pass);
  for (auto _ : state) {
    renderer.BeginFrame();
    const bool drawn = sprites->Render(nullptr, style, nullptr);
    renderer.EndFrame();
    if (!drawn) {
      state.SkipWithError("draw failed");
      break;
    }
  }
  g_pRenderStyles->ReleaseRenderStyle(style);
  g_pD3DRenderDevice->DestroyRenderObject(sprites);
  FrameRate(state);
}

// ---- Raw OpenGL ------------------------------------------------------------------------------

struct RawContext : bench_gl::RawWindow {
  bool Open() {
    if (!RawWindow::Open(kWidth, kHeight)) return false;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The renderer's default view: 90 degrees vertically, 4:3.
    glFrustum(-0.4 / 3.0, 0.4 / 3.0, -0.1, 0.1, 0.1, 1000.0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float direction[4] = {-0.3f, 0.4f, -1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    return true;
  }
};

void BM_RawGL_Meshes(benchmark::State& state) {
  RawContext raw;
  if (!raw.Open()) {
    state.SkipWithError("context not available");
    return;
  }
  const writers::MeshGeometry sheet = Sheet();
  const writers::Bytes vertices = writers::PackVertices(sheet, writers::kMeshLitTextured);
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (int i = 0; i < kMeshes; ++i) {
      const CMatrix4x4 world = WorldOf(i);
      // OpenGL looks down -z: mirror z, and with it the winding.
      glLoadIdentity();
      glScalef(1, 1, -1);
      glMultMatrixf(&world.m[0][0]);
      glVertexPointer(3, GL_FLOAT, 32, vertices.data());
      glNormalPointer(GL_FLOAT, 32, vertices.data() + 12);
      glTexCoordPointer(2, GL_FLOAT, 32, vertices.data() + 24);
      glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(sheet.indices.size()), GL_UNSIGNED_SHORT,
                     sheet.indices.data());
    }
    raw.EndFrame();
  }
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
  glReadBuffer(GL_FRONT);
  glReadPixels(0, 0, kWidth, kHeight, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
  state.counters["coverage"] = Coverage(pixels.data(), static_cast<size_t>(kWidth) * kHeight);
  FrameRate(state);
}

}  // namespace

BENCHMARK(BM_RawGL_Meshes)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_RigidMeshes)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_SpriteQuads)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();
