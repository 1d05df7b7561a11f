#include "platform/d3d/gl_draw_state_log.h"

#include "platform/d3d/gl_texture.h"

namespace {

class Hash {
 public:
  void Add(uint64_t value) {
    for (int i = 0; i < 8; ++i) {
      h_ ^= (value >> (8 * i)) & 0xFFu;
      h_ *= 0x100000001B3ull;
    }
  }
  uint64_t Value() const { return h_; }

 private:
  uint64_t h_ = 0xCBF29CE484222325ull;
};

// Points, lines and triangles reach the rasteriser's set-up by different paths.
uint64_t PrimitiveClass(GLenum mode) {
  if (mode == GL_POINTS) return 0;
  if (mode == GL_LINES || mode == GL_LINE_STRIP) return 1;
  return 2;
}

void AddRaster(Hash& h, const DWORD* rs) {
  static constexpr D3DRENDERSTATETYPE kAlways[] = {
      D3DRS_LIGHTING, D3DRS_FOGENABLE, D3DRS_ALPHATESTENABLE, D3DRS_ALPHABLENDENABLE, D3DRS_ZENABLE,
      D3DRS_STENCILENABLE, D3DRS_COLORWRITEENABLE, D3DRS_SPECULARENABLE, D3DRS_SHADEMODE, D3DRS_FILLMODE,
      D3DRS_POINTSPRITEENABLE, D3DRS_POINTSCALEENABLE, D3DRS_VERTEXBLEND, D3DRS_INDEXEDVERTEXBLENDENABLE,
      D3DRS_NORMALIZENORMALS, D3DRS_LOCALVIEWER, D3DRS_COLORVERTEX, D3DRS_DIFFUSEMATERIALSOURCE,
      D3DRS_AMBIENTMATERIALSOURCE, D3DRS_SPECULARMATERIALSOURCE, D3DRS_EMISSIVEMATERIALSOURCE};
  for (D3DRENDERSTATETYPE s : kAlways) h.Add(rs[s]);
  h.Add(rs[D3DRS_ZBIAS] != 0);
  // The values of a switch that is off do not matter.
  if (rs[D3DRS_FOGENABLE]) {
    h.Add(rs[D3DRS_FOGTABLEMODE]);
    h.Add(rs[D3DRS_FOGVERTEXMODE]);
    h.Add(rs[D3DRS_RANGEFOGENABLE]);
    // A linear ramp of no length fogs nothing: the device then draws without fog.
    h.Add(rs[D3DRS_FOGSTART] == rs[D3DRS_FOGEND]);
  }
  if (rs[D3DRS_ALPHATESTENABLE]) h.Add(rs[D3DRS_ALPHAFUNC]);
  if (rs[D3DRS_ALPHABLENDENABLE]) {
    h.Add(rs[D3DRS_SRCBLEND]);
    h.Add(rs[D3DRS_DESTBLEND]);
    h.Add(rs[D3DRS_BLENDOP]);
  }
  if (rs[D3DRS_ZENABLE]) {
    h.Add(rs[D3DRS_ZWRITEENABLE]);
    h.Add(rs[D3DRS_ZFUNC]);
  }
  if (rs[D3DRS_STENCILENABLE]) {
    h.Add(rs[D3DRS_STENCILFUNC]);
    h.Add(rs[D3DRS_STENCILFAIL]);
    h.Add(rs[D3DRS_STENCILZFAIL]);
    h.Add(rs[D3DRS_STENCILPASS]);
  }
}

void AddStages(Hash& h, const GLDeviceState& state) {
  static constexpr D3DTEXTURESTAGESTATETYPE kStage[] = {
      D3DTSS_COLOROP,       D3DTSS_COLORARG1,     D3DTSS_COLORARG2,     D3DTSS_ALPHAOP,
      D3DTSS_ALPHAARG1,     D3DTSS_ALPHAARG2,     D3DTSS_TEXCOORDINDEX, D3DTSS_TEXTURETRANSFORMFLAGS,
      D3DTSS_ADDRESSU,      D3DTSS_ADDRESSV,      D3DTSS_ADDRESSW,      D3DTSS_MAGFILTER,
      D3DTSS_MINFILTER,     D3DTSS_MIPFILTER};
  for (DWORD unit = 0; unit < D3D_TEXTURE_STAGES; ++unit) {
    const DWORD* ts = state.stage_states[unit];
    if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE) break;
    for (D3DTEXTURESTAGESTATETYPE s : kStage) h.Add(ts[s]);
    h.Add(ts[D3DTSS_MIPMAPLODBIAS] != 0);
    h.Add(ts[D3DTSS_MAXMIPLEVEL] != 0);
    const GLSampledTexture* texture = state.textures[unit];
    if (!texture) {
      h.Add(0);
      continue;
    }
    h.Add(texture->Format());
    h.Add(texture->Target());
    h.Add(texture->LevelCount() > 1);
    h.Add(texture->PowerOfTwo());
  }
}

}  // namespace

uint64_t GLDrawStateLog::Key(const GLDeviceState& state, GLenum mode, const Target& target) {
  Hash h;
  h.Add(target.window);
  h.Add(target.format);
  h.Add(target.depth);
  h.Add(state.vertex_shader);
  h.Add(PrimitiveClass(mode));
  AddRaster(h, state.render_states);
  AddStages(h, state);
  if (state.render_states[D3DRS_LIGHTING]) {
    for (int i = 0; i < GLDeviceState::kMaxLights; ++i) h.Add(state.light_enabled[i] ? static_cast<uint64_t>(state.lights[i].Type) : 0u);
  }
  return h.Value();
}

bool GLDrawStateLog::Note(const GLDeviceState& state, GLenum mode, const Target& target) {
  return seen_.insert(Key(state, mode, target)).second;
}
