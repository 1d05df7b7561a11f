#include "runtime/src/render/sys/pc/render_state_warm_up.h"

#include <algorithm>
#include <cstring>
#include <array>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "platform/d3d/d3d8.h"
#include "platform/system/clock.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"
#include "runtime/src/render/sys/pc/texturemgr.h"

namespace {

DWORD Float_Bits(float value) {
  DWORD bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

constexpr int32_t kFormatCode_A8R8G8B8 = 1;
// Position or screen position, normal, diffuse colour and four sets of two coordinates.
constexpr UINT kMax_Vertex_Floats = 4 + 3 + 1 + 8;

// Bytes of one vertex of the formats the warm-up draws (position, normal, diffuse, sets of
// two texture coordinates).
UINT Vertex_Size(DWORD fvf) {
  UINT size = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW ? 16 : 12;
  if (fvf & D3DFVF_NORMAL) size += 12;
  if (fvf & D3DFVF_DIFFUSE) size += 4;
  size += 8 * ((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
  return size;
}

bool Stage_Reads_Texture(const TextureStageDesc& stage) {
  auto reads = [](uint32_t arg) { return (StyleTextureArg(arg) & D3DTA_SELECTMASK) == D3DTA_TEXTURE; };
  return stage.TextureSource != 0 || reads(stage.ColorArg1) || reads(stage.ColorArg2) || reads(stage.AlphaArg1) ||
         reads(stage.AlphaArg2);
}

// The texture coordinate sets the enabled stages of a pass read (0 when none reads a texture).
int Coordinate_Sets(const RenderPassDesc& pass) {
  int sets = 0;
  for (const TextureStageDesc& stage : pass.Stages) {
    if (StyleTextureOp(stage.ColorOp) == D3DTOP_DISABLE) break;
    if (!Stage_Reads_Texture(stage)) continue;
    if (stage.CoordSource <= 3) sets = std::max(sets, static_cast<int>(stage.CoordSource) + 1);
  }
  return sets;
}

// The highest texture slot (1-4) the enabled stages of a pass take a texture from; 0 for none.
uint32_t Last_Texture_Slot(const RenderPassDesc& pass) {
  uint32_t last = 0;
  for (const TextureStageDesc& stage : pass.Stages) {
    if (StyleTextureOp(stage.ColorOp) == D3DTOP_DISABLE) break;
    if (stage.TextureSource <= 4) last = std::max(last, stage.TextureSource);
  }
  return last;
}

// What the warm-up changes outside the style passes, put back at its end.
class Saved_Context {
 public:
  explicit Saved_Context(CRenderStateMgr& states) : m_States(states) {
    m_Fog = states.GetRenderState(D3DRS_FOGENABLE);
    m_Fog_Mode = states.GetRenderState(D3DRS_FOGTABLEMODE);
    m_Fog_Start = states.GetRenderState(D3DRS_FOGSTART);
    m_Fog_End = states.GetRenderState(D3DRS_FOGEND);
    m_Normalize = states.GetRenderState(D3DRS_NORMALIZENORMALS);
    m_Light = states.Lights[0];
    m_Light_On = states.LightEnabled[0];
    for (int i = 0; i < kLightCount; ++i) m_Any_Light = m_Any_Light || states.LightEnabled[i] != 0;
    for (int i = 0; i < 4; ++i) {
      const auto type = static_cast<D3DTRANSFORMSTATETYPE>(i == 0 ? D3DTS_WORLD : i == 1 ? D3DTS_VIEW : D3DTS_PROJECTION);
      if (i < 3 && states.GetTransform(type)) m_Matrices[i] = *states.GetTransform(type);
    }
  }
  ~Saved_Context() {
    if (m_Fog != kShadowUnset) m_States.SetRenderState(D3DRS_FOGENABLE, m_Fog);
    if (m_Fog_Mode != kShadowUnset) m_States.SetRenderState(D3DRS_FOGTABLEMODE, m_Fog_Mode);
    if (m_Fog_Start != kShadowUnset) m_States.SetRenderState(D3DRS_FOGSTART, m_Fog_Start);
    if (m_Fog_End != kShadowUnset) m_States.SetRenderState(D3DRS_FOGEND, m_Fog_End);
    if (m_Normalize != kShadowUnset) m_States.SetRenderState(D3DRS_NORMALIZENORMALS, m_Normalize);
    if (m_Lit_Here && g_pDirect3DDevice) {
      m_States.Lights[0] = m_Light;
      m_States.LightEnabled[0] = m_Light_On;
      if (m_Light.Type != 0) g_pDirect3DDevice->SetLight(0, &m_Light);
      g_pDirect3DDevice->LightEnable(0, m_Light_On ? TRUE : FALSE);
    }
    m_States.SetTransform(D3DTS_WORLD, m_Matrices[0]);
    m_States.SetTransform(D3DTS_VIEW, m_Matrices[1]);
    m_States.SetTransform(D3DTS_PROJECTION, m_Matrices[2]);
    m_States.SetStreamSource(0, nullptr, 0);
  }
  Saved_Context(const Saved_Context&) = delete;
  Saved_Context& operator=(const Saved_Context&) = delete;

  // The world's context: linear fog over a range of some length (a fog fading in starts with
  // none, which draws as no fog at all) and, when no light is on, one directional light.
  void Set_World_Context() {
    m_States.SetRenderState(D3DRS_FOGENABLE, TRUE);
    if (m_Fog != TRUE || m_Fog_Mode == kShadowUnset || m_Fog_Mode == D3DFOG_NONE)
      m_States.SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    m_States.SetRenderState(D3DRS_FOGSTART, Float_Bits(1.0f));
    m_States.SetRenderState(D3DRS_FOGEND, Float_Bits(2.0f));
    const D3DMATRIX identity = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    m_States.SetTransform(D3DTS_WORLD, identity);
    m_States.SetTransform(D3DTS_VIEW, identity);
    m_States.SetTransform(D3DTS_PROJECTION, identity);
    if (m_Any_Light || !g_pDirect3DDevice) return;
    D3DLIGHT8 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, -1, 0};
    m_States.Lights[0] = light;
    m_States.LightEnabled[0] = 1;
    g_pDirect3DDevice->SetLight(0, &light);
    g_pDirect3DDevice->LightEnable(0, TRUE);
    m_Lit_Here = true;
  }

 private:
  CRenderStateMgr& m_States;
  DWORD m_Fog = kShadowUnset;
  DWORD m_Fog_Mode = kShadowUnset;
  DWORD m_Fog_Start = kShadowUnset;
  DWORD m_Fog_End = kShadowUnset;
  DWORD m_Normalize = kShadowUnset;
  D3DLIGHT8 m_Light = {};
  uint8_t m_Light_On = 0;
  bool m_Any_Light = false;
  bool m_Lit_Here = false;
  D3DMATRIX m_Matrices[3] = {};
};

// The context a warm-up draws in, as far as it decides what the driver builds: the fog's kind
// and the kinds of the lights that are on. Read once the world's context is set.
uint64_t Context_Signature(const CRenderStateMgr& states) {
  uint64_t h = 0xCBF29CE484222325ull;
  auto add = [&h](uint64_t value) {
    h ^= value;
    h *= 0x100000001B3ull;
  };
  add(states.GetRenderState(D3DRS_FOGTABLEMODE));
  add(states.GetRenderState(D3DRS_FOGVERTEXMODE));
  add(states.GetRenderState(D3DRS_RANGEFOGENABLE));
  for (int i = 0; i < kLightCount; ++i) add(states.LightEnabled[i] ? states.Lights[i].Type + 1u : 0u);
  return h;
}

// White textures of the kinds the styles are drawn with: one level, a full chain (the driver
// tells them apart when it samples), and one level whose sides are no powers of two (pictures
// that the screen overlays and the drawing helper show at their own size; the driver wraps
// their coordinates another way).
class Warm_Textures {
 public:
  Warm_Textures() {
    if (!g_pRenderDevice) return;
    const std::array<uint32_t, 64> white = [] {
      std::array<uint32_t, 64> pixels{};
      pixels.fill(0xFFFFFFFFu);
      return pixels;
    }();
    m_Single = g_pRenderDevice->CreateTexture(white.data(), 1, 1, kFormat_Code, 0, 0, nullptr);
    m_Chain = g_pRenderDevice->CreateTexture(white.data(), 8, 8, kFormat_Code, 1, 0, nullptr);
    m_Odd = g_pRenderDevice->CreateTexture(white.data(), 3, 5, kFormat_Code, 0, 0, nullptr);
  }
  ~Warm_Textures() {
    if (!g_pRenderDevice) return;
    for (CDeviceTexture* texture : {m_Single, m_Chain, m_Odd})
      if (texture) g_pRenderDevice->ReleaseDeviceTexture(texture);
  }
  Warm_Textures(const Warm_Textures&) = delete;
  Warm_Textures& operator=(const Warm_Textures&) = delete;

  // The texture lists a pass is warmed with: each kind in every slot, and the empty list (a
  // caller without a texture); the empty list alone for a pass that reads none. A pass that
  // takes textures from later slots too is also warmed with each kind in the first slot alone,
  // as a caller with one texture draws it. The odd-sized kind only where `screen_space`.
  std::vector<std::array<CDeviceTexture*, 4>> Lists(uint32_t last_slot, bool screen_space) const {
    std::vector<std::array<CDeviceTexture*, 4>> lists;
    lists.push_back({});
    if (last_slot == 0) return lists;
    for (CDeviceTexture* texture : {m_Single, m_Chain, m_Odd}) {
      if (!texture || (texture == m_Odd && !screen_space)) continue;
      lists.push_back({texture, texture, texture, texture});
      if (last_slot > 1) lists.push_back({texture, nullptr, nullptr, nullptr});
    }
    return lists;
  }
  // Which kinds exist (a warm-up without one draws less).
  uint64_t Kinds() const { return (m_Single ? 1u : 0u) | (m_Chain ? 2u : 0u) | (m_Odd ? 4u : 0u); }

 private:
  static constexpr int32_t kFormat_Code = kFormatCode_A8R8G8B8;
  CDeviceTexture* m_Single = nullptr;
  CDeviceTexture* m_Chain = nullptr;
  CDeviceTexture* m_Odd = nullptr;
};

// One triangle in the format, every element zero but 1/w in screen space.
bool Draw_Warm_Triangle(CRenderStateMgr& states, DWORD fvf) {
  const UINT stride = Vertex_Size(fvf);
  float vertices[3 * kMax_Vertex_Floats] = {};
  if ((fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW)
    for (UINT i = 0; i < 3; ++i) vertices[i * stride / 4 + 3] = 1.0f;
  if (!states.SetVertexShader(fvf)) return false;
  const bool drawn = SUCCEEDED(g_pDirect3DDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, stride));
  // Drawing from memory unbinds stream 0: the shadow must say so.
  states.SetStreamSource(0, nullptr, 0);
  return drawn;
}

// Transformed stages are drawn with matrices the game writes each frame (projections,
// scrolls, scales), never the identity the driver would leave out.
void Use_Moving_Texture_Matrices(CRenderStateMgr& states, const RenderPassDesc& pass) {
  const D3DMATRIX moving = {{{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 1, 0}, {0.5f, 0.5f, 0, 1}}};
  for (int stage = 0; stage < kStyleStages; ++stage) {
    if (pass.Stages[stage].TransformOn)
      states.SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage), moving);
  }
}

// One warm draw of a pass: the fog and renormalising around it, the caller's texture list and
// the vertex format.
struct Warm_Draw {
  DWORD fog;
  DWORD normalize;
  std::array<CDeviceTexture*, 4> list;
  DWORD fvf;
};

// Every warm draw of a pass, always in the same order. Effects drawn without lighting are drawn
// with the fog off as well as on; lit models are also drawn scaled, with their normals
// renormalised.
std::vector<Warm_Draw> Warm_Draws(const RenderPassDesc& pass, const Warm_Textures& textures) {
  const bool lit = pass.Lighting != 0;
  const std::vector<uint32_t> formats = Warm_Up_Vertex_Formats(lit, Coordinate_Sets(pass));
  const bool screen_space = std::any_of(formats.begin(), formats.end(), [](uint32_t fvf) {
    return (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
  });
  const std::vector<std::array<CDeviceTexture*, 4>> lists = textures.Lists(Last_Texture_Slot(pass), screen_space);
  const std::vector<std::array<CDeviceTexture*, 4>> world_lists = textures.Lists(Last_Texture_Slot(pass), false);
  const std::vector<DWORD> fogs = lit ? std::vector<DWORD>{TRUE} : std::vector<DWORD>{TRUE, FALSE};
  const std::vector<DWORD> renormalise = lit ? std::vector<DWORD>{FALSE, TRUE} : std::vector<DWORD>{FALSE};
  std::vector<Warm_Draw> draws;
  for (DWORD fog : fogs) {
    for (DWORD normalize : renormalise) {
      for (const auto& list : lists) {
        const bool world_list = std::find(world_lists.begin(), world_lists.end(), list) != world_lists.end();
        for (uint32_t fvf : formats) {
          // The odd-sized pictures are drawn in screen space only.
          if (!world_list && (fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZRHW) continue;
          draws.push_back({fog, normalize, list, fvf});
        }
      }
    }
  }
  return draws;
}

// Tells a pass from every other one as far as its warm draws go: what a pass sets only as a
// value the driver reads while drawing (the texture factor, the alpha reference, texture
// matrices, the bump scale) is left out, and the style's specular switch is in.
uint64_t Pass_Key(RenderPassDesc pass, const CD3DRenderStyle& style, uint64_t context) {
  pass.TextureFactor = 0;
  pass.AlphaRef = 0;
  pass.BumpScale = 0.0f;
  pass.BumpOffset = 0.0f;
  std::memset(pass.Pad, 0, sizeof pass.Pad);
  for (TextureStageDesc& stage : pass.Stages) {
    std::memset(stage.Matrix, 0, sizeof stage.Matrix);
    std::memset(stage.Pad0, 0, sizeof stage.Pad0);
    std::memset(stage.Pad1, 0, sizeof stage.Pad1);
  }
  const RenderStyleMaterial& m = style.Material();
  const bool specular = !(m.Specular.r == 0.0f && m.Specular.g == 0.0f && m.Specular.b == 0.0f) && m.SpecularPower > 0.0f;
  uint64_t h = 0xCBF29CE484222325ull ^ context;
  const auto* bytes = reinterpret_cast<const uint8_t*>(&pass);
  for (size_t i = 0; i < sizeof pass; ++i) {
    h ^= bytes[i];
    h *= 0x100000001B3ull;
  }
  h ^= specular ? 1u : 0u;
  h *= 0x100000001B3ull;
  return h;
}

// What the device in use has been warmed with: for each pass key, how many of its warm draws are
// done and how many it has. A new device starts with nothing.
struct Warm_Record {
  struct Progress {
    size_t done = 0;
    size_t total = 0;
    bool Complete() const { return total != 0 && done >= total; }
  };
  const IDirect3DDevice8* device = nullptr;
  UINT serial = 0;
  std::unordered_map<uint64_t, Progress> passes;

  void Follow_Device() {
    const UINT now_serial = g_pDirect3DDevice ? D3D8_DeviceSerial(g_pDirect3DDevice) : 0;
    if (device == g_pDirect3DDevice && serial == now_serial) return;
    device = g_pDirect3DDevice;
    serial = now_serial;
    passes.clear();
  }
};
Warm_Record& Record() {
  static Warm_Record record;
  return record;
}

// What a warm-up in progress draws with, for the drawers it calls, and until when it may draw
// (no limit when `deadline_us` is 0). A limited warm-up always makes at least one draw.
struct Warm_Session {
  CRenderStateMgr& states;
  const Warm_Textures& textures;
  Warm_Up_Counts& counts;
  uint64_t context = 0;
  uint64_t deadline_us = 0;
  bool drew = false;
  bool out_of_time = false;

  bool Time_Left() {
    if (deadline_us == 0 || !drew) return true;
    if (!out_of_time && plat::Get_Micro_Ticks() >= deadline_us) out_of_time = true;
    return !out_of_time;
  }
};
Warm_Session* g_Session = nullptr;

std::map<int, Warm_Up_Drawer>& Drawers() {
  static std::map<int, Warm_Up_Drawer> drawers;
  return drawers;
}

// Warms what is left of one pass, as far as the session's time goes.
void Warm_Up_Pass(Warm_Session& session, CD3DRenderStyle& style, uint32_t index, const RenderPassDesc& pass,
                  Warm_Record::Progress& progress) {
  const std::vector<Warm_Draw> draws = Warm_Draws(pass, session.textures);
  progress.total = std::max<size_t>(draws.size(), 1);
  ++session.counts.passes;
  while (progress.done < draws.size() && session.Time_Left()) {
    const Warm_Draw& draw = draws[progress.done++];
    session.drew = true;
    // Another draw may have left a different state: the pass is put on again each time.
    if (!session.states.ApplyStylePass(&style, index, draw.list.data(), 4)) continue;
    session.states.SetRenderState(D3DRS_FOGENABLE, draw.fog);
    session.states.SetRenderState(D3DRS_NORMALIZENORMALS, draw.normalize);
    Use_Moving_Texture_Matrices(session.states, pass);
    if (Draw_Warm_Triangle(session.states, draw.fvf)) ++session.counts.draws;
  }
  // A pass without draws (none applies) is done at once.
  if (draws.empty()) progress.done = progress.total;
}

// Warms the passes of the style that are not yet warm; false when time ran out first.
bool Warm_Up_Style(Warm_Session& session, CD3DRenderStyle& style) {
  bool counted = false;
  for (uint32_t index = 0; index < style.GetPassCount(); ++index) {
    RenderPassDesc pass{};
    if (!style.GetPass(index, &pass)) continue;
    Warm_Record::Progress& progress = Record().passes[Pass_Key(pass, style, session.context)];
    if (progress.Complete()) continue;
    if (!session.Time_Left()) return false;
    if (!counted) ++session.counts.styles;
    counted = true;
    Warm_Up_Pass(session, style, index, pass, progress);
    if (!progress.Complete()) return false;
  }
  return true;
}

std::vector<CD3DRenderStyle*> Held_Styles() {
  std::vector<CD3DRenderStyle*> styles;
  // The built-in styles and those code makes first: the menus draw with those.
  if (g_pRenderStateMgr)
    for (int i = 0; i < kBuiltInStyleCount; ++i) styles.push_back(g_pRenderStateMgr->GetBuiltInStyle(i));
  if (g_pD3DDevice)
    for (CD3DRenderStyle* style = g_pD3DDevice->GetRenderStyles(); style; style = style->m_pNext)
      styles.push_back(style);
  if (g_pRezMgr)
    for (CRezResource* resource : g_pRezMgr->Loaded_Of_Type(kRezType_RenderStyle))
      styles.push_back(static_cast<CD3DRenderStyle*>(resource));
  return styles;
}

bool g_Warm_Up_Enabled = true;

// The warm-up spread over frames: whether one is going on, and the drawers it has called to
// their end.
struct Spread_State {
  bool active = false;
  std::set<int> drawers_done;
};
Spread_State& Spread() {
  static Spread_State spread;
  return spread;
}

enum class Drawer_Calls { kNone, kAll, kSpread };

// Warms the styles (and, as asked, the drawers) until done or until `deadline_us`; `finished`
// tells which.
Warm_Up_Counts Warm_Up(const std::vector<CD3DRenderStyle*>& styles, Drawer_Calls drawer_calls, uint64_t deadline_us,
                       bool* finished = nullptr) {
  Warm_Up_Counts counts;
  if (finished) *finished = false;
  if (!g_pDirect3DDevice || !g_pRenderStateMgr || g_Session) return counts;
  if (FAILED(D3D8_SetStateWarmUp(g_pDirect3DDevice, TRUE))) return counts;
  Record().Follow_Device();
  CRenderStateMgr& states = *g_pRenderStateMgr;
  bool done = true;
  {
    Saved_Context saved(states);
    saved.Set_World_Context();
    const Warm_Textures textures;
    Warm_Session session{states, textures, counts};
    session.context = Context_Signature(states) ^ textures.Kinds();
    session.deadline_us = deadline_us;
    std::unordered_set<const CD3DRenderStyle*> seen;
    for (CD3DRenderStyle* style : styles) {
      if (!style || style->GetPassCount() == 0 || !seen.insert(style).second) continue;
      if (!Warm_Up_Style(session, *style)) break;
    }
    if (drawer_calls != Drawer_Calls::kNone && !session.out_of_time) {
      g_Session = &session;
      // A drawer may take itself away while it runs: walk a copy.
      const std::map<int, Warm_Up_Drawer> drawers = Drawers();
      for (const auto& [id, drawer] : drawers) {
        if (drawer_calls == Drawer_Calls::kSpread && Spread().drawers_done.count(id)) continue;
        if (!session.Time_Left()) break;
        ++counts.drawers;
        drawer();
        saved.Set_World_Context();
        if (session.out_of_time) break;
        if (drawer_calls == Drawer_Calls::kSpread) Spread().drawers_done.insert(id);
      }
      g_Session = nullptr;
    }
    done = !session.out_of_time;
  }
  D3D8_SetStateWarmUp(g_pDirect3DDevice, FALSE);
  if (finished) *finished = done;
  return counts;
}

}  // namespace

int Add_Warm_Up_Drawer(Warm_Up_Drawer drawer) {
  static int last_id = 0;
  if (!drawer) return 0;
  Drawers()[++last_id] = std::move(drawer);
  return last_id;
}

void Remove_Warm_Up_Drawer(int id) { Drawers().erase(id); }

bool Warm_Up_Rewritten_Style(const CD3DRenderStyle* style, const Warm_Up_Pass_Edit& edit) {
  if (!g_Session || !style || !edit || !g_pRenderStyles || style->GetPassCount() == 0) return false;
  // Passes warmed before need no copy made again.
  bool all_warm = true;
  for (uint32_t index = 0; index < style->GetPassCount() && all_warm; ++index) {
    RenderPassDesc pass{};
    if (!style->GetPass(index, &pass)) return false;
    edit(index, pass);
    const auto found = Record().passes.find(Pass_Key(pass, *style, g_Session->context));
    all_warm = found != Record().passes.end() && found->second.Complete();
  }
  if (all_warm) return true;
  CD3DRenderStyle* copy = g_pRenderStyles->CreateRenderStyleFromDesc(style);
  if (!copy) return false;
  bool written = true;
  for (uint32_t index = 0; index < copy->GetPassCount() && written; ++index) {
    RenderPassDesc pass{};
    written = copy->GetPass(index, &pass);
    if (!written) break;
    edit(index, pass);
    written = copy->SetPass(index, pass);
  }
  if (written) {
    copy->Rebuild();
    Warm_Up_Style(*g_Session, *copy);
  }
  g_pRenderStyles->ReleaseRenderStyle(copy);
  return written;
}

std::vector<uint32_t> Warm_Up_Vertex_Formats(bool lighting, int coordinate_sets) {
  std::vector<uint32_t> formats;
  // Models and the drawing helper's textured shapes carry one set even where no stage reads it.
  const int most = std::clamp(coordinate_sets, 0, 4);
  for (int sets = most; sets <= std::max(most, 1); ++sets) {
    const DWORD tex = static_cast<DWORD>(sets) << D3DFVF_TEXCOUNT_SHIFT;
    if (lighting) {
      formats.insert(formats.end(), {D3DFVF_XYZ | D3DFVF_NORMAL | tex, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | tex});
    } else {
      formats.insert(formats.end(), {D3DFVF_XYZ | D3DFVF_DIFFUSE | tex, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | tex,
                                     D3DFVF_XYZ | D3DFVF_NORMAL | tex});
    }
  }
  return formats;
}

Warm_Up_Counts Warm_Up_Render_Styles(const std::vector<CD3DRenderStyle*>& styles) {
  return Warm_Up(styles, Drawer_Calls::kNone, 0);
}

void Set_Render_State_Warm_Up(bool enabled) {
  g_Warm_Up_Enabled = enabled;
  if (!enabled) Spread().active = false;
}

Warm_Up_Counts Warm_Up_Render_States() {
  if (!g_Warm_Up_Enabled) return {};
  bool finished = false;
  const Warm_Up_Counts counts = Warm_Up(Held_Styles(), Drawer_Calls::kAll, 0, &finished);
  // Everything the spread warm-up would have reached is warm now.
  if (finished) Spread().active = false;
  return counts;
}

void Spread_Warm_Up_Render_States() {
  if (!g_Warm_Up_Enabled) return;
  Spread().active = true;
  Spread().drawers_done.clear();
}

bool Warm_Up_Pending() { return g_Warm_Up_Enabled && Spread().active; }

Warm_Up_Counts Warm_Up_Render_States_Slice(uint32_t budget_us) {
  if (!Warm_Up_Pending()) return {};
  bool finished = false;
  const uint64_t deadline = plat::Get_Micro_Ticks() + std::max<uint32_t>(budget_us, 1);
  const Warm_Up_Counts counts = Warm_Up(Held_Styles(), Drawer_Calls::kSpread, deadline, &finished);
  // Without a device nothing can be warmed: the spread ends too.
  if (finished || !g_pDirect3DDevice) Spread().active = false;
  return counts;
}
