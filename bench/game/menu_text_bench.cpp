// Menu text: 200 lines a frame through CMenu_Mgr::Draw_Text (layout, prefix handling, the
// device state put back around every line) beside the same number of glyph quads drawn from a
// prepared array with one DrawPrimitiveUP a line, in the same run on the same device. Runs
// headless on the generated content with the installed serif face.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench/support/game_bench.h"
#include "game/core/CGame.h"
#include "game/menu/CMenu_Mgr.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_device.h"

namespace {

constexpr int kLines = 200;
constexpr const char* kLine = "Simulation Statistics Summary 1,024";

// The program started in the menus with its fonts, for the length of one benchmark.
class Started_Game : public vt_bench::Game_Session {
 public:
  explicit Started_Game(benchmark::State& state) : Game_Session(state) {
    if (!Started()) return;
    Harness().Step(5);
    Require(state,
            g_Game.Get_Mode() == kMode_Menus && g_pRenderDevice && g_pDirect3DDevice && g_Menu_Mgr.Fonts_Created(),
            "the game is not in the menus with its fonts");
  }
};

using vt_bench::Begin_Frame;
using vt_bench::End_Frame;

void BM_DrawText200LinesAFrame(benchmark::State& state) {
  Started_Game game(state);
  if (!game.Ready()) return;
  for (auto _ : state) {
    Begin_Frame();
    for (int i = 0; i < kLines; ++i)
      g_Menu_Mgr.Draw_Text(1, kLine, CVector2{static_cast<float>(i % 4) * 150.0f, static_cast<float>(i / 4) * 10.0f},
                           CVector2{300.0f, 20.0f}, 0xFFFFFFFF, 0);
    End_Frame();
  }
  state.counters["glyph_quads"] = static_cast<double>(kLines * std::strlen(kLine));
}
BENCHMARK(BM_DrawText200LinesAFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

struct Glyph_Vertex {
  float x, y, z, rhw;
  DWORD colour;
  float u, v;
};

// The same quads, laid out once, drawn with a 256 x 256 texture under blending.
void BM_PreparedGlyphQuads200LinesAFrame(benchmark::State& state) {
  Started_Game game(state);
  if (!game.Ready()) return;
  IDirect3DDevice8* device = g_pDirect3DDevice;
  IDirect3DTexture8* texture = nullptr;
  if (FAILED(device->CreateTexture(256, 256, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture))) {
    state.SkipWithError("no texture");
    return;
  }
  const size_t glyphs = std::strlen(kLine);
  std::vector<std::vector<Glyph_Vertex>> lines(kLines);
  for (int i = 0; i < kLines; ++i) {
    const float x0 = static_cast<float>(i % 4) * 150.0f, y0 = static_cast<float>(i / 4) * 10.0f;
    for (size_t g = 0; g < glyphs; ++g) {
      const float x = x0 + 8.0f * static_cast<float>(g), u = static_cast<float>(g % 16) / 16.0f;
      const Glyph_Vertex a{x, y0, 0, 1, 0xFFFFFFFF, u, 0.0f}, b{x + 7, y0, 0, 1, 0xFFFFFFFF, u + 0.05f, 0.0f},
          c{x + 7, y0 + 14, 0, 1, 0xFFFFFFFF, u + 0.05f, 0.06f}, d{x, y0 + 14, 0, 1, 0xFFFFFFFF, u, 0.06f};
      lines[static_cast<size_t>(i)].insert(lines[static_cast<size_t>(i)].end(), {a, b, c, a, c, d});
    }
  }
  for (auto _ : state) {
    Begin_Frame();
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetTexture(0, texture);
    device->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    for (const std::vector<Glyph_Vertex>& line : lines)
      device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(line.size() / 3), line.data(), sizeof(Glyph_Vertex));
    device->SetTexture(0, nullptr);
    End_Frame();
  }
  texture->Release();
  state.counters["glyph_quads"] = static_cast<double>(kLines * glyphs);
}
BENCHMARK(BM_PreparedGlyphQuads200LinesAFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
