#include "platform/d3d/gl_draw_state_log.h"

#include <cstdio>
#include <initializer_list>

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

void AddRaster(Hash& h, const DWORD* rs, GLenum mode) {
  static constexpr D3DRENDERSTATETYPE kAlways[] = {
      D3DRS_LIGHTING, D3DRS_FOGENABLE, D3DRS_ALPHATESTENABLE, D3DRS_ALPHABLENDENABLE, D3DRS_ZENABLE,
      D3DRS_STENCILENABLE, D3DRS_COLORWRITEENABLE, D3DRS_SPECULARENABLE, D3DRS_SHADEMODE, D3DRS_FILLMODE,
      D3DRS_VERTEXBLEND, D3DRS_INDEXEDVERTEXBLENDENABLE,
      D3DRS_LOCALVIEWER, D3DRS_COLORVERTEX, D3DRS_DIFFUSEMATERIALSOURCE,
      D3DRS_AMBIENTMATERIALSOURCE, D3DRS_SPECULARMATERIALSOURCE, D3DRS_EMISSIVEMATERIALSOURCE};
  for (D3DRENDERSTATETYPE s : kAlways) h.Add(rs[s]);
  // Point sprites and point scaling reach the driver only when points are drawn.
  if (PrimitiveClass(mode) == 0) {
    h.Add(rs[D3DRS_POINTSPRITEENABLE]);
    h.Add(rs[D3DRS_POINTSCALEENABLE]);
  }
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

// ---- Descriptions --------------------------------------------------------------------------------

const char* Named(DWORD value, std::initializer_list<const char*> names, char* buffer, size_t size) {
  if (value < names.size()) return names.begin()[value];
  std::snprintf(buffer, size, "%lu", static_cast<unsigned long>(value));
  return buffer;
}

std::string ArgName(DWORD arg) {
  char buffer[16];
  std::string name = Named(arg & D3DTA_SELECTMASK, {"diffuse", "current", "texture", "tfactor", "specular", "temp"},
                           buffer, sizeof buffer);
  if (arg & D3DTA_COMPLEMENT) name = "1-" + name;
  if (arg & D3DTA_ALPHAREPLICATE) name += ".a";
  return name;
}

std::string OpName(DWORD op) {
  char buffer[16];
  return Named(op,
               {"0", "disable", "arg1", "arg2", "mod", "mod2x", "mod4x", "add", "addsigned", "addsigned2x", "sub",
                "addsmooth", "blenddiffusea", "blendtexturea", "blendfactora", "blendtextureapm", "blendcurrenta"},
               buffer, sizeof buffer);
}

std::string BlendName(DWORD blend) {
  char buffer[16];
  return Named(blend,
               {"0", "zero", "one", "srccolor", "1-srccolor", "srcalpha", "1-srcalpha", "dstalpha", "1-dstalpha",
                "dstcolor", "1-dstcolor", "srcalphasat"},
               buffer, sizeof buffer);
}

void Append(std::string& text, const char* format, unsigned long a = 0, unsigned long b = 0, unsigned long c = 0) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, format, a, b, c);
  text += buffer;
}

void DescribeRaster(std::string& text, const DWORD* rs, GLenum mode) {
  Append(text, " light=%lu spec=%lu colorvertex=%lu", rs[D3DRS_LIGHTING], rs[D3DRS_SPECULARENABLE], rs[D3DRS_COLORVERTEX]);
  if (rs[D3DRS_FOGENABLE])
    Append(text, " fog(table=%lu vertex=%lu empty=%lu)", rs[D3DRS_FOGTABLEMODE], rs[D3DRS_FOGVERTEXMODE],
           rs[D3DRS_FOGSTART] == rs[D3DRS_FOGEND]);
  else
    text += " fog=off";
  if (rs[D3DRS_ALPHATESTENABLE]) Append(text, " alphatest=%lu", rs[D3DRS_ALPHAFUNC]);
  if (rs[D3DRS_ALPHABLENDENABLE])
    text += " blend(" + BlendName(rs[D3DRS_SRCBLEND]) + "," + BlendName(rs[D3DRS_DESTBLEND]) + ",op" +
            std::to_string(rs[D3DRS_BLENDOP]) + ")";
  else
    text += " blend=off";
  if (rs[D3DRS_ZENABLE])
    Append(text, " z(write=%lu func=%lu)", rs[D3DRS_ZWRITEENABLE], rs[D3DRS_ZFUNC]);
  else
    text += " z=off";
  if (rs[D3DRS_ZBIAS]) text += " zbias";
  if (rs[D3DRS_STENCILENABLE]) text += " stencil";
  if (rs[D3DRS_COLORWRITEENABLE] != 0xF) Append(text, " colorwrite=%lx", rs[D3DRS_COLORWRITEENABLE]);
  const bool points = PrimitiveClass(mode) == 0;
  if (points && rs[D3DRS_POINTSPRITEENABLE]) text += " pointsprite";
  if (rs[D3DRS_VERTEXBLEND]) Append(text, " vertexblend=%lu", rs[D3DRS_VERTEXBLEND]);
  if (rs[D3DRS_INDEXEDVERTEXBLENDENABLE]) text += " indexedblend";
  if (points && rs[D3DRS_POINTSCALEENABLE]) text += " pointscale";
  Append(text, " shade=%lu fill=%lu localviewer=%lu", rs[D3DRS_SHADEMODE], rs[D3DRS_FILLMODE], rs[D3DRS_LOCALVIEWER]);
  Append(text, " materials=%lu%lu%lu", rs[D3DRS_DIFFUSEMATERIALSOURCE], rs[D3DRS_AMBIENTMATERIALSOURCE],
         rs[D3DRS_SPECULARMATERIALSOURCE]);
  Append(text, "%lu", rs[D3DRS_EMISSIVEMATERIALSOURCE]);
}

void DescribeStages(std::string& text, const GLDeviceState& state) {
  for (DWORD unit = 0; unit < D3D_TEXTURE_STAGES; ++unit) {
    const DWORD* ts = state.stage_states[unit];
    if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE) break;
    Append(text, " | stage%lu ", unit);
    text += OpName(ts[D3DTSS_COLOROP]) + "(" + ArgName(ts[D3DTSS_COLORARG1]) + "," + ArgName(ts[D3DTSS_COLORARG2]) +
            ") a:" + OpName(ts[D3DTSS_ALPHAOP]) + "(" + ArgName(ts[D3DTSS_ALPHAARG1]) + "," +
            ArgName(ts[D3DTSS_ALPHAARG2]) + ")";
    Append(text, " coord=%lx xform=%lu addr=%lu", ts[D3DTSS_TEXCOORDINDEX], ts[D3DTSS_TEXTURETRANSFORMFLAGS],
           ts[D3DTSS_ADDRESSU] * 100 + ts[D3DTSS_ADDRESSV] * 10 + ts[D3DTSS_ADDRESSW]);
    Append(text, " filter=%lu%lu%lu", ts[D3DTSS_MAGFILTER], ts[D3DTSS_MINFILTER], ts[D3DTSS_MIPFILTER]);
    const GLSampledTexture* texture = state.textures[unit];
    if (!texture)
      text += " no-texture";
    else
      Append(text, " texture(fmt=%lu levels=%lu pot=%lu)", texture->Format(), texture->LevelCount(),
             texture->PowerOfTwo());
  }
}

}  // namespace

std::string GLDrawStateLog::Describe(const GLDeviceState& state, GLenum mode, const Target& target) {
  std::string text;
  if (target.window)
    text = "window";
  else
    Append(text, "target(fmt=%lu depth=%lu)", target.format, target.depth);
  static constexpr const char* kPrimitive[] = {"points", "lines", "triangles"};
  Append(text, " fvf=%lx ", state.vertex_shader);
  text += kPrimitive[PrimitiveClass(mode)];
  DescribeRaster(text, state.render_states, mode);
  if (RenormalisesNormals(state)) text += " normalize";
  DescribeStages(text, state);
  if (state.render_states[D3DRS_LIGHTING]) {
    text += " | lights";
    for (int i = 0; i < GLDeviceState::kMaxLights; ++i)
      if (state.light_enabled[i]) Append(text, " %lu:%lu", static_cast<unsigned long>(i), state.lights[i].Type);
  }
  return text;
}

uint64_t GLDrawStateLog::Key(const GLDeviceState& state, GLenum mode, const Target& target) {
  Hash h;
  h.Add(target.window);
  h.Add(target.format);
  h.Add(target.depth);
  h.Add(state.vertex_shader);
  h.Add(PrimitiveClass(mode));
  AddRaster(h, state.render_states, mode);
  h.Add(RenormalisesNormals(state));
  AddStages(h, state);
  if (state.render_states[D3DRS_LIGHTING]) {
    for (int i = 0; i < GLDeviceState::kMaxLights; ++i) h.Add(state.light_enabled[i] ? static_cast<uint64_t>(state.lights[i].Type) : 0u);
  }
  return h.Value();
}

bool GLDrawStateLog::Note(const GLDeviceState& state, GLenum mode, const Target& target) {
  const bool fresh = seen_.insert(Key(state, mode, target)).second;
  if (fresh && describing_) fresh_.push_back(Describe(state, mode, target));
  return fresh;
}
