#include "runtime/src/render/sys/pc/render_state_warm_up.h"

#include <algorithm>
#include <cstring>
#include <array>
#include <map>
#include <unordered_set>

#include "platform/d3d/d3d8.h"
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

// Two white textures of the kind the styles are drawn with: one level, and a full chain (the
// driver tells them apart when it samples).
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
  }
  ~Warm_Textures() {
    if (!g_pRenderDevice) return;
    if (m_Single) g_pRenderDevice->ReleaseDeviceTexture(m_Single);
    if (m_Chain) g_pRenderDevice->ReleaseDeviceTexture(m_Chain);
  }
  Warm_Textures(const Warm_Textures&) = delete;
  Warm_Textures& operator=(const Warm_Textures&) = delete;

  // The texture lists a pass is warmed with: each kind in every slot, and the empty list (a
  // caller without a texture); the empty list alone for a pass that reads none. A pass that
  // takes textures from later slots too is also warmed with each kind in the first slot alone,
  // as a caller with one texture draws it.
  std::vector<std::array<CDeviceTexture*, 4>> Lists(uint32_t last_slot) const {
    std::vector<std::array<CDeviceTexture*, 4>> lists;
    lists.push_back({});
    if (last_slot == 0) return lists;
    for (CDeviceTexture* texture : {m_Single, m_Chain}) {
      if (!texture) continue;
      lists.push_back({texture, texture, texture, texture});
      if (last_slot > 1) lists.push_back({texture, nullptr, nullptr, nullptr});
    }
    return lists;
  }

 private:
  static constexpr int32_t kFormat_Code = kFormatCode_A8R8G8B8;
  CDeviceTexture* m_Single = nullptr;
  CDeviceTexture* m_Chain = nullptr;
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

int Warm_Up_Pass(CRenderStateMgr& states, CD3DRenderStyle& style, uint32_t index, const Warm_Textures& textures) {
  RenderPassDesc pass{};
  if (!style.GetPass(index, &pass)) return 0;
  int draws = 0;
  const bool lit = pass.Lighting != 0;
  const std::vector<uint32_t> formats = Warm_Up_Vertex_Formats(lit, Coordinate_Sets(pass));
  // Effects drawn without lighting are drawn with the fog off as well as on; lit models are
  // also drawn scaled, with their normals renormalised.
  const std::vector<DWORD> fogs = lit ? std::vector<DWORD>{TRUE} : std::vector<DWORD>{TRUE, FALSE};
  const std::vector<DWORD> renormalise = lit ? std::vector<DWORD>{FALSE, TRUE} : std::vector<DWORD>{FALSE};
  for (DWORD fog : fogs) {
    for (DWORD normalize : renormalise) {
      for (const auto& list : textures.Lists(Last_Texture_Slot(pass))) {
        for (uint32_t fvf : formats) {
          // Another draw may have left a different state: the pass is put on again each time.
          if (!states.ApplyStylePass(&style, index, list.data(), 4)) continue;
          states.SetRenderState(D3DRS_FOGENABLE, fog);
          states.SetRenderState(D3DRS_NORMALIZENORMALS, normalize);
          Use_Moving_Texture_Matrices(states, pass);
          if (Draw_Warm_Triangle(states, fvf)) ++draws;
        }
      }
    }
  }
  return draws;
}

std::vector<CD3DRenderStyle*> Held_Styles() {
  std::vector<CD3DRenderStyle*> styles;
  if (g_pRezMgr)
    for (CRezResource* resource : g_pRezMgr->Loaded_Of_Type(kRezType_RenderStyle))
      styles.push_back(static_cast<CD3DRenderStyle*>(resource));
  if (g_pD3DDevice)
    for (CD3DRenderStyle* style = g_pD3DDevice->GetRenderStyles(); style; style = style->m_pNext)
      styles.push_back(style);
  if (g_pRenderStateMgr)
    for (int i = 0; i < kBuiltInStyleCount; ++i) styles.push_back(g_pRenderStateMgr->GetBuiltInStyle(i));
  return styles;
}

// What a warm-up in progress draws with, for the drawers it calls.
struct Warm_Session {
  CRenderStateMgr& states;
  const Warm_Textures& textures;
  Warm_Up_Counts& counts;
};
Warm_Session* g_Session = nullptr;

std::map<int, Warm_Up_Drawer>& Drawers() {
  static std::map<int, Warm_Up_Drawer> drawers;
  return drawers;
}

void Warm_Up_Style(Warm_Session& session, CD3DRenderStyle& style) {
  ++session.counts.styles;
  for (uint32_t pass = 0; pass < style.GetPassCount(); ++pass) {
    ++session.counts.passes;
    session.counts.draws += Warm_Up_Pass(session.states, style, pass, session.textures);
  }
}

Warm_Up_Counts Warm_Up(const std::vector<CD3DRenderStyle*>& styles, bool with_drawers) {
  Warm_Up_Counts counts;
  if (!g_pDirect3DDevice || !g_pRenderStateMgr || g_Session) return counts;
  if (FAILED(D3D8_SetStateWarmUp(g_pDirect3DDevice, TRUE))) return counts;
  CRenderStateMgr& states = *g_pRenderStateMgr;
  {
    Saved_Context saved(states);
    saved.Set_World_Context();
    const Warm_Textures textures;
    Warm_Session session{states, textures, counts};
    std::unordered_set<const CD3DRenderStyle*> done;
    for (CD3DRenderStyle* style : styles) {
      if (!style || style->GetPassCount() == 0 || !done.insert(style).second) continue;
      Warm_Up_Style(session, *style);
    }
    if (with_drawers) {
      g_Session = &session;
      // A drawer may take itself away while it runs: walk a copy.
      const std::map<int, Warm_Up_Drawer> drawers = Drawers();
      for (const auto& [id, drawer] : drawers) {
        ++counts.drawers;
        drawer();
        saved.Set_World_Context();
      }
      g_Session = nullptr;
    }
  }
  D3D8_SetStateWarmUp(g_pDirect3DDevice, FALSE);
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

Warm_Up_Counts Warm_Up_Render_Styles(const std::vector<CD3DRenderStyle*>& styles) { return Warm_Up(styles, false); }

namespace {
bool g_Warm_Up_Enabled = true;
}  // namespace

void Set_Render_State_Warm_Up(bool enabled) { g_Warm_Up_Enabled = enabled; }

Warm_Up_Counts Warm_Up_Render_States() {
  if (!g_Warm_Up_Enabled) return {};
  return Warm_Up(Held_Styles(), true);
}
