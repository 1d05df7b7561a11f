// Style passes on the device: the full set-up, the state-block cache that records and replays
// transitions between passes, the built-in styles, the bump matrix and the shader constants.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/d3dx/d3dx8_math.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/d3d_renderdevice.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/render_cvars.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"
#include "runtime/src/render/sys/pc/texturemgr.h"

uint8_t CRenderStateMgr::s_StateBuffer[kRecordedStatePairs * 8];
uint8_t CRenderStateMgr::s_StageBuffer[kRecordedStageBytes];

namespace {

DWORD FloatBits(float f) {
  DWORD bits;
  std::memcpy(&bits, &f, sizeof(bits));
  return bits;
}

D3DCOLORVALUE ToColorValue(const RenderStyleColor& c) { return {c.r, c.g, c.b, c.a}; }

struct BlendRow {
  DWORD Enable, Source, Dest;
};
constexpr BlendRow kBlendModes[] = {
    {FALSE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},   {TRUE, D3DBLEND_ONE, D3DBLEND_ONE},
    {TRUE, D3DBLEND_INVDESTCOLOR, D3DBLEND_ONE},        {TRUE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
    {TRUE, D3DBLEND_SRCCOLOR, D3DBLEND_INVSRCCOLOR},    {TRUE, D3DBLEND_DESTCOLOR, D3DBLEND_INVDESTCOLOR},
    {TRUE, D3DBLEND_SRCCOLOR, D3DBLEND_DESTCOLOR},      {TRUE, D3DBLEND_SRCCOLOR, D3DBLEND_ONE},
    {TRUE, D3DBLEND_SRCALPHA, D3DBLEND_ZERO},           {TRUE, D3DBLEND_SRCALPHA, D3DBLEND_ONE},
    {TRUE, D3DBLEND_DESTCOLOR, D3DBLEND_ZERO},          {TRUE, D3DBLEND_DESTCOLOR, D3DBLEND_ONE},
    {TRUE, D3DBLEND_INVSRCALPHA, D3DBLEND_ONE},
};

struct DepthRow {
  DWORD Enable, Func, Write;
};
constexpr DepthRow kDepthModes[] = {
    {TRUE, D3DCMP_LESSEQUAL, TRUE},     {TRUE, D3DCMP_LESSEQUAL, FALSE}, {TRUE, D3DCMP_GREATEREQUAL, FALSE},
    {FALSE, D3DCMP_LESSEQUAL, FALSE},   {TRUE, D3DCMP_EQUAL, FALSE},
};

constexpr DWORD kAlphaFuncs[] = {D3DCMP_LESS,    D3DCMP_LESS,  D3DCMP_LESSEQUAL, D3DCMP_GREATER,
                                 D3DCMP_GREATEREQUAL, D3DCMP_EQUAL, D3DCMP_NOTEQUAL};
constexpr DWORD kCullModes[] = {D3DCULL_NONE, D3DCULL_CCW, D3DCULL_CW};
constexpr DWORD kAddressModes[] = {D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP, D3DTADDRESS_MIRROR, D3DTADDRESS_MIRRORONCE};

struct FilterRow {
  DWORD Mag, Min, Mip;
};
constexpr FilterRow kFilters[] = {
    {D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE},
    {D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_POINT},
    {D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_LINEAR},
    {D3DTEXF_ANISOTROPIC, D3DTEXF_ANISOTROPIC, D3DTEXF_LINEAR},
    {D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_POINT},
};

DWORD CoordIndex(DWORD stage, uint32_t source) {
  switch (source) {
    case 4: return stage | D3DTSS_TCI_CAMERASPACENORMAL;
    case 5: return stage | D3DTSS_TCI_CAMERASPACEPOSITION;
    case 6: return stage | D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR;
    default: return source;
  }
}

IDirect3DBaseTexture8* DeviceTextureOf(CDeviceTexture* const* textures, uint32_t source) {
  if (textures == nullptr || source < 1 || source > 4 || textures[source - 1] == nullptr) return nullptr;
  return textures[source - 1]->m_pTexture;
}

// Cube and volume textures are read with three coordinates, 2D textures with two.
bool HasThreeCoordinates(IDirect3DBaseTexture8* texture) {
  if (texture == nullptr) return false;
  const D3DRESOURCETYPE type = texture->GetType();
  return type == D3DRTYPE_CUBETEXTURE || type == D3DRTYPE_VOLUMETEXTURE;
}

D3DMATRIX Transposed(const D3DMATRIX& m) {
  D3DMATRIX t;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) t.m[r][c] = m.m[c][r];
  return t;
}

D3DMATRIX Product(const D3DMATRIX& a, const D3DMATRIX& b) {
  D3DMATRIX out;
  D3DXMatrixMultiply(&out, &a, &b);
  return out;
}

}  // namespace

// --- cached setters used by the passes ---

bool CRenderStateMgr::ApplyRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (state >= D3DRS_STATE_COUNT || m_RenderStates[state] == value || g_pDirect3DDevice == nullptr) return false;
  g_pDirect3DDevice->SetRenderState(state, value);
  m_RenderStates[state] = value;
  if (m_bRecording) {
    if (m_RecordedStates < kRecordedStatePairs) {
      const DWORD pair[2] = {static_cast<DWORD>(state), value};
      std::memcpy(s_StateBuffer + m_RecordedStates * 8, pair, 8);
      ++m_RecordedStates;
    } else {
      m_bRecording = false;
    }
  }
  return true;
}

bool CRenderStateMgr::ApplyStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  if (stage >= kTextureShadowStages || type >= D3DTSS_STATE_COUNT) return false;
  if (m_StageStates[stage][type] == value || g_pDirect3DDevice == nullptr) return false;
  g_pDirect3DDevice->SetTextureStageState(stage, type, value);
  m_StageStates[stage][type] = value;
  if (m_bRecording) {
    if (m_RecordedStageBytes + kStageRecordBytes <= kRecordedStageBytes) {
      uint8_t* at = s_StageBuffer + m_RecordedStageBytes;
      at[0] = static_cast<uint8_t>(stage);
      const DWORD t = type;
      std::memcpy(at + 1, &t, 4);
      std::memcpy(at + 5, &value, 4);
      m_RecordedStageBytes += kStageRecordBytes;
    } else {
      m_bRecording = false;
    }
  }
  return true;
}

bool CRenderStateMgr::SetVertexShader(DWORD handle) {
  if (g_pDirect3DDevice == nullptr) return false;
  if (m_VertexShader == handle) return true;
  if (FAILED(g_pDirect3DDevice->SetVertexShader(handle))) return false;
  m_VertexShader = handle;
  return true;
}

void CRenderStateMgr::SetPixelShader(DWORD handle) {
  if (m_PixelShader == handle || g_pDirect3DDevice == nullptr) return;
  g_pDirect3DDevice->SetPixelShader(handle);
  m_PixelShader = handle;
}

void CRenderStateMgr::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) {
  if (stream >= 4 || g_pDirect3DDevice == nullptr) return;
  if (m_Streams[stream] == buffer && m_StreamStrides[stream] == stride && buffer != nullptr) return;
  g_pDirect3DDevice->SetStreamSource(stream, buffer, stride);
  m_Streams[stream] = buffer;
  m_StreamStrides[stream] = stride;
}

void CRenderStateMgr::SetIndices(IDirect3DIndexBuffer8* buffer, UINT base_vertex) {
  if (g_pDirect3DDevice == nullptr) return;
  if (m_pIndices == buffer && m_BaseVertex == base_vertex && buffer != nullptr) return;
  g_pDirect3DDevice->SetIndices(buffer, base_vertex);
  m_pIndices = buffer;
  m_BaseVertex = base_vertex;
}

void CRenderStateMgr::SetSoftwareVertexProcessing(bool software) {
  if (software == m_bSoftwareVP) return;
  m_bSoftwareVP = software;
  SetRenderState(D3DRS_SOFTWAREVERTEXPROCESSING, software ? TRUE : FALSE);
  m_VertexShader = kShadowUnset;
  std::memset(m_Streams, 0, sizeof(m_Streams));
  m_pIndices = nullptr;
}

uint32_t CRenderStateMgr::CurrentFrame() const {
  return g_pD3DRenderDevice != nullptr ? g_pD3DRenderDevice->GetFrameCount() : 0;
}

// --- the pass ---

bool CRenderStateMgr::ApplyMaterial(const CD3DRenderStyle& style) {
  const RenderStyleMaterial& m = style.Material();
  D3DMATERIAL8 material;
  material.Diffuse = ToColorValue(m.Diffuse);
  material.Ambient = ToColorValue(m.Ambient);
  material.Specular = ToColorValue(m.Specular);
  material.Emissive = ToColorValue(m.Emissive);
  const bool black = m.Specular.r == 0.0f && m.Specular.g == 0.0f && m.Specular.b == 0.0f;
  material.Power = black ? 0.0f : m.SpecularPower;
  ApplyRenderState(D3DRS_SPECULARENABLE, (!black && material.Power > 0.0f) ? TRUE : FALSE);
  if (std::memcmp(&material, &m_Material, sizeof(material)) == 0 || g_pDirect3DDevice == nullptr) return false;
  g_pDirect3DDevice->SetMaterial(&material);
  m_Material = material;
  return true;
}

void CRenderStateMgr::ApplyPassStates(const CD3DRenderStyle& style, const RenderPassDesc& pass,
                                      CDeviceTexture* const* textures) {
  ApplyRenderState(D3DRS_LIGHTING, pass.Lighting);
  if (ApplyMaterial(style)) m_bMaterialRecorded = true;
  if (pass.AlphaTest < std::size(kAlphaFuncs)) {
    ApplyRenderState(D3DRS_ALPHATESTENABLE, pass.AlphaTest != 0 ? TRUE : FALSE);
    ApplyRenderState(D3DRS_ALPHAFUNC, kAlphaFuncs[pass.AlphaTest]);
  }
  if (pass.FillMode <= 1) ApplyRenderState(D3DRS_FILLMODE, pass.FillMode == 0 ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
  ApplyRenderState(D3DRS_ALPHAREF, pass.AlphaRef);
  if (pass.BlendMode < std::size(kBlendModes)) {
    const BlendRow& b = kBlendModes[pass.BlendMode];
    ApplyRenderState(D3DRS_ALPHABLENDENABLE, b.Enable);
    ApplyRenderState(D3DRS_SRCBLEND, b.Source);
    ApplyRenderState(D3DRS_DESTBLEND, b.Dest);
  }
  if (pass.DepthMode < std::size(kDepthModes)) {
    const DepthRow& d = kDepthModes[pass.DepthMode];
    ApplyRenderState(D3DRS_ZENABLE, d.Enable);
    ApplyRenderState(D3DRS_ZFUNC, d.Func);
    ApplyRenderState(D3DRS_ZWRITEENABLE, d.Write);
  }
  if (pass.CullMode < std::size(kCullModes)) ApplyRenderState(D3DRS_CULLMODE, kCullModes[pass.CullMode]);
  ApplyRenderState(D3DRS_TEXTUREFACTOR, pass.TextureFactor);
  ApplyStages(pass, textures);
}

void CRenderStateMgr::ApplyStages(const RenderPassDesc& pass, CDeviceTexture* const* textures) {
  for (DWORD s = 0; s < kStyleStages; ++s) {
    const TextureStageDesc& st = pass.Stages[s];
    ApplyStageState(s, D3DTSS_COLOROP, StyleTextureOp(st.ColorOp));
    ApplyStageState(s, D3DTSS_COLORARG1, StyleTextureArg(st.ColorArg1));
    ApplyStageState(s, D3DTSS_COLORARG2, StyleTextureArg(st.ColorArg2));
    ApplyStageState(s, D3DTSS_ALPHAOP, StyleAlphaOp(st.AlphaOp));
    ApplyStageState(s, D3DTSS_ALPHAARG1, StyleTextureArg(st.AlphaArg1));
    ApplyStageState(s, D3DTSS_ALPHAARG2, StyleTextureArg(st.AlphaArg2));
    ApplyStageState(s, D3DTSS_TEXCOORDINDEX, CoordIndex(s, st.CoordSource));
    if (st.AddressU < 4) ApplyStageState(s, D3DTSS_ADDRESSU, kAddressModes[st.AddressU]);
    if (st.AddressV < 4) ApplyStageState(s, D3DTSS_ADDRESSV, kAddressModes[st.AddressV]);
    if (st.Filter < std::size(kFilters)) {
      ApplyStageState(s, D3DTSS_MAGFILTER, kFilters[st.Filter].Mag);
      ApplyStageState(s, D3DTSS_MINFILTER, kFilters[st.Filter].Min);
      ApplyStageState(s, D3DTSS_MIPFILTER, kFilters[st.Filter].Mip);
    }
    // A transformed, unprojected stage counts its coordinates by the caller's texture: set with
    // the textures, never recorded.
    if (!st.TransformOn) ApplyStageState(s, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    if (st.TransformOn && st.Projected)
      ApplyStageState(s, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3 | D3DTTFF_PROJECTED);
  }
  (void)textures;
}

// Steps that depend on the caller's textures or on console variables: never recorded.
void CRenderStateMgr::ApplyPassTail(const RenderPassDesc& pass, CDeviceTexture* const* textures) {
  const bool was_recording = m_bRecording;
  m_bRecording = false;
  for (DWORD s = 0; s < kStyleStages; ++s) SetTexture(s, DeviceTextureOf(textures, pass.Stages[s].TextureSource));
  if (textures != nullptr && textures[0] != nullptr && textures[0]->m_pPalette != nullptr)
    SetCurrentTexturePalette(textures[0]->m_pPalette->m_PaletteId);
  for (DWORD s = 0; s < kStyleStages; ++s) {
    if (!pass.Stages[s].TransformOn) continue;
    if (!pass.Stages[s].Projected)
      ApplyStageState(s, D3DTSS_TEXTURETRANSFORMFLAGS,
                      HasThreeCoordinates(DeviceTextureOf(textures, pass.Stages[s].TextureSource)) ? D3DTTFF_COUNT3
                                                                                                   : D3DTTFF_COUNT2);
    D3DMATRIX m;
    std::memcpy(&m, pass.Stages[s].Matrix, sizeof(m));
    SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + s), m);
  }
  if (pass.BumpOn && pass.BumpStage < kStyleStages) {
    SetBumpMatrix(pass.BumpStage);
    ApplyStageState(pass.BumpStage, D3DTSS_BUMPENVLSCALE, FloatBits(pass.BumpScale));
    ApplyStageState(pass.BumpStage, D3DTSS_BUMPENVLOFFSET, FloatBits(pass.BumpOffset));
  }
  if (Wireframe.Value != 0) ApplyRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
  if (Gfx_Disable_MipMapping.Value != 0)
    for (DWORD s = 0; s < kStyleStages; ++s) {
      ApplyStageState(s, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
      ApplyStageState(s, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
      ApplyStageState(s, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    }
  m_bRecording = was_recording;
}

bool CRenderStateMgr::ApplyStylePass(CD3DRenderStyle* style, uint32_t pass, CDeviceTexture* const* list,
                                     int texture_count) {
  if (style == nullptr) return false;
  // The passes read the list by texture source 1-4; a padded copy keeps them inside the caller's.
  CDeviceTexture* textures[kStyleTextureCount] = {};
  const int limit = texture_count < 0 ? kStyleTextureCount : std::min(texture_count, kStyleTextureCount);
  for (int i = 0; list != nullptr && i < limit; ++i) {
    if (texture_count < 0 && list[i] == nullptr) break;
    textures[i] = list[i];
  }
  const bool caching = RSMgr_EnableCaching.Value != 0 && !m_Arena.empty();
  if (m_pPreviousStyle != nullptr && caching) {
    CacheEntry* entry = FindEntry(m_pPreviousStyle, m_PreviousPass, style, pass);
    if (entry != nullptr) {
      RenderPassDesc desc;
      if (!style->GetPass(pass, &desc)) {
        ForgetStylePass();
        return false;
      }
      Replay(*entry, style, pass, textures, desc);
      return true;
    }
  }
  return FullSetUp(style, pass, textures, m_pPreviousStyle != nullptr && caching);
}

void CRenderStateMgr::Replay(CacheEntry& entry, CD3DRenderStyle* style, uint32_t pass,
                             CDeviceTexture* const* textures, RenderPassDesc& desc) {
  if (entry.MaterialSet) ApplyMaterial(*style);
  for (uint32_t i = 0; i < entry.StateCount; ++i) {
    DWORD pair[2];
    std::memcpy(pair, entry.States + i * 8, 8);
    ApplyRenderState(static_cast<D3DRENDERSTATETYPE>(pair[0]), pair[1]);
  }
  for (uint32_t i = 0; i < entry.StageCount; ++i) {
    const uint8_t* at = entry.Stages + i * kStageRecordBytes;
    DWORD type, value;
    std::memcpy(&type, at + 1, 4);
    std::memcpy(&value, at + 5, 4);
    ApplyStageState(at[0], static_cast<D3DTEXTURESTAGESTATETYPE>(type), value);
  }
  ApplyPassTail(desc, textures);
  entry.LastUsedFrame = CurrentFrame();
  m_pPreviousStyle = style;
  m_PreviousPass = pass;
}

bool CRenderStateMgr::FullSetUp(CD3DRenderStyle* style, uint32_t pass, CDeviceTexture* const* textures,
                                bool record) {
  CD3DRenderStyle* const old_style = m_pPreviousStyle;
  const uint32_t old_pass = m_PreviousPass;
  m_bRecording = record;
  m_RecordedStates = m_RecordedStageBytes = 0;
  m_bMaterialRecorded = false;
  const int32_t clip = style->GetClipMode();
  if (clip == 0) ApplyRenderState(D3DRS_CLIPPING, FALSE);
  if (clip == 1 || clip == 2) ApplyRenderState(D3DRS_CLIPPING, TRUE);
  RenderPassDesc desc;
  if (!style->GetPass(pass, &desc)) {
    m_bRecording = false;
    ForgetStylePass();
    return false;
  }
  ApplyPassStates(*style, desc, textures);
  ApplyPassTail(desc, textures);
  m_pPreviousStyle = style;
  m_PreviousPass = pass;
  if (m_bRecording) StoreRecording(old_style, old_pass, style, pass, m_bMaterialRecorded);
  m_bRecording = false;
  return true;
}

// --- the cache ---

int CRenderStateMgr::BucketOf(const CD3DRenderStyle* previous, const CD3DRenderStyle* style) {
  const uintptr_t a = reinterpret_cast<uintptr_t>(previous) / 12;
  const uintptr_t b = reinterpret_cast<uintptr_t>(style) / 12;
  return static_cast<int>((a + b) % kStateCacheBuckets);
}

CRenderStateMgr::CacheEntry* CRenderStateMgr::FindEntry(CD3DRenderStyle* previous, uint32_t previous_pass,
                                                        CD3DRenderStyle* style, uint32_t pass) {
  for (CacheEntry* e = m_Buckets[BucketOf(previous, style)]; e != nullptr; e = e->Next)
    if (e->PreviousStyle == previous && e->PreviousPass == previous_pass && e->Style == style && e->Pass == pass)
      return e;
  return nullptr;
}

void CRenderStateMgr::FreeEntry(CacheEntry& entry) {
  for (int c = entry.FirstChunk; c < entry.FirstChunk + entry.ChunkCount; ++c) m_ChunkUsed.reset(c);
  CacheEntry** link = &m_Buckets[BucketOf(entry.PreviousStyle, entry.Style)];
  while (*link != nullptr && *link != &entry) link = &(*link)->Next;
  if (*link != nullptr) *link = entry.Next;
  entry = CacheEntry{};
}

CRenderStateMgr::CacheEntry* CRenderStateMgr::TakeEntry(uint32_t frame) {
  for (CacheEntry& e : m_Entries)
    if (e.PreviousStyle == nullptr) return &e;
  for (CacheEntry& e : m_Entries)
    if (e.LastUsedFrame + 2 < frame) {
      FreeEntry(e);
      return &e;
    }
  return nullptr;
}

int CRenderStateMgr::FindChunks(int count) const {
  int run = 0;
  for (int c = 0; c < kStateArenaChunks; ++c) {
    run = m_ChunkUsed.test(c) ? 0 : run + 1;
    if (run == count) return c - count + 1;
  }
  return -1;
}

void CRenderStateMgr::StoreRecording(CD3DRenderStyle* previous, uint32_t previous_pass, CD3DRenderStyle* style,
                                     uint32_t pass, bool material_set) {
  const uint32_t state_bytes = m_RecordedStates * 8;
  const uint32_t bytes = state_bytes + m_RecordedStageBytes;
  const int chunks = static_cast<int>(bytes / kStateArenaChunkBytes) + 1;
  if (chunks > kStateMaxEntryChunks || previous == nullptr) return;
  const uint32_t frame = CurrentFrame();
  CacheEntry* entry = TakeEntry(frame);
  if (entry == nullptr) return;
  const int first = FindChunks(chunks);
  if (first < 0) return;
  for (int c = first; c < first + chunks; ++c) m_ChunkUsed.set(c);
  uint8_t* at = m_Arena.data() + static_cast<size_t>(first) * kStateArenaChunkBytes;
  std::memcpy(at, s_StateBuffer, state_bytes);
  std::memcpy(at + state_bytes, s_StageBuffer, m_RecordedStageBytes);
  entry->PreviousStyle = previous;
  entry->Style = style;
  entry->PreviousPass = static_cast<uint16_t>(previous_pass);
  entry->Pass = static_cast<uint16_t>(pass);
  entry->LastUsedFrame = frame;
  entry->MaterialSet = material_set ? 1 : 0;
  entry->StateCount = m_RecordedStates;
  entry->States = at;
  entry->StageCount = m_RecordedStageBytes / kStageRecordBytes;
  entry->Stages = at + state_bytes;
  entry->FirstChunk = first;
  entry->ChunkCount = chunks;
  CacheEntry*& head = m_Buckets[BucketOf(previous, style)];
  entry->Next = head;
  head = entry;
}

void CRenderStateMgr::InvalidateStyle(CD3DRenderStyle* style) {
  if (m_pPreviousStyle == style) m_pPreviousStyle = nullptr;
  for (CacheEntry& e : m_Entries)
    if (e.PreviousStyle != nullptr && (e.Style == style || e.PreviousStyle == style)) FreeEntry(e);
}

int CRenderStateMgr::CachedTransitionCount() const {
  int n = 0;
  for (const CacheEntry& e : m_Entries) n += e.PreviousStyle != nullptr;
  return n;
}

// --- built-in styles ---

void CRenderStateMgr::CreateBuiltInStyles() {
  static const float kProjective[16] = {0.5f, 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 1, 0, 0.5f, 0.5f, 0, 1};
  for (int i = 0; i < kBuiltInStyleCount; ++i) {
    auto* style = new CD3DRenderStyle;
    style->SetDefaults();
    style->AddRef();
    m_BuiltIn[i] = style;
    RenderPassDesc p;
    style->GetPass(0, &p);
    TextureStageDesc& s0 = p.Stages[0];
    TextureStageDesc& s1 = p.Stages[1];
    switch (i) {
      case 2:
        p.DepthMode = 3;
        p.Lighting = 0;
        s0.ColorOp = 1;
        s0.ColorArg1 = 3;
        p.TextureFactor = 0;
        break;
      case 3:
        p.BlendMode = 10;
        p.DepthMode = 1;
        p.Lighting = 0;
        s0.ColorOp = 5;
        s0.AlphaOp = 2;
        s0.CoordSource = 5;
        s0.AddressU = s0.AddressV = 1;
        s0.TransformOn = 1;
        s0.Projected = 1;
        break;
      case 4:
        p.DepthMode = 1;
        p.BlendMode = 3;
        break;
      case 5:
        s0.AlphaOp = 1;
        p.AlphaTest = 3;
        break;
      case 6:
        p.Lighting = 0;
        s0.ColorOp = 1;
        break;
      case 7:
        s0.AlphaOp = 1;
        s1.TextureSource = 1;
        s1.ColorOp = 7;
        s1.CoordSource = 0;
        break;
      case 8:
      case 9:
        s0.AlphaOp = 1;
        s1.TextureSource = 2;
        s1.ColorOp = i == 8 ? 9 : 7;
        s1.CoordSource = 4;
        s1.TransformOn = 1;
        std::memcpy(s1.Matrix, kProjective, sizeof(kProjective));
        break;
      default:
        continue;
    }
    style->SetPass(0, p);
  }
}

// --- bump matrix and shader constants ---

void CRenderStateMgr::SetBumpMatrix(DWORD stage) {
  D3DVIEWPORT8 vp;
  GetViewport(&vp);
  D3DMATRIX viewport{};
  viewport.m[0][0] = vp.Width * 0.5f;
  viewport.m[1][1] = -(vp.Height * 0.5f);
  viewport.m[2][2] = vp.MaxZ - vp.MinZ;
  viewport.m[3][0] = vp.X + vp.Width * 0.5f;
  viewport.m[3][1] = vp.Y + vp.Height * 0.5f;
  viewport.m[3][2] = vp.MinZ;
  viewport.m[3][3] = 1.0f;
  const D3DMATRIX all = Product(Product(Product(m_World[0], m_View), m_Projection), viewport);
  D3DVECTOR origin{0, 0, 0}, unit_x{1, 0, 0}, a, b;
  D3DXVec3TransformCoord(&a, &origin, &all);
  D3DXVec3TransformCoord(&b, &unit_x, &all);
  float dx = b.x - a.x, dy = b.y - a.y;
  const float length = std::sqrt(dx * dx + dy * dy);
  if (length > 0.0f) {
    dx /= length;
    dy /= length;
  }
  ApplyStageState(stage, D3DTSS_BUMPENVMAT00, FloatBits(dx * 0.25f));
  ApplyStageState(stage, D3DTSS_BUMPENVMAT01, FloatBits(-dy * 0.25f));
  ApplyStageState(stage, D3DTSS_BUMPENVMAT10, FloatBits(dy * 0.25f));
  ApplyStageState(stage, D3DTSS_BUMPENVMAT11, FloatBits(dx * 0.25f));
}

bool CRenderStateMgr::LoadShaderConstants(CD3DRenderStyle* style, const PassShaderDesc& block, const float* colour,
                                          uint32_t bone_count) {
  IDirect3DDevice8* device = g_pDirect3DDevice;
  if (device == nullptr || style == nullptr) return false;
  auto vector = [&](int32_t reg, const float* v) {
    if (reg >= 0) device->SetVertexShaderConstant(static_cast<DWORD>(reg), v, 1);
  };
  auto matrix = [&](int32_t reg, const D3DMATRIX& m) {
    if (reg < 0) return;
    const D3DMATRIX t = Transposed(m);
    device->SetVertexShaderConstant(static_cast<DWORD>(reg), &t, 4);
  };
  for (const ShaderConstantVector& c : block.VertexConstants) vector(c.Register, c.Value);
  if (block.WorldViewRegister >= 0)
    for (uint32_t k = 0; k < block.WorldViewCount && k < kWorldMatrixCount; ++k)
      matrix(block.WorldViewRegister + 4 * static_cast<int32_t>(k), Product(m_World[k], m_View));
  matrix(block.ProjectionRegister, m_Projection);
  const D3DMATRIX world_view = Product(m_World[0], m_View);
  matrix(block.WorldViewProjectionRegister, Product(world_view, m_Projection));
  matrix(block.ViewProjectionRegister, Product(m_View, m_Projection));
  if (block.EyeRegister >= 0) {
    D3DMATRIX inverse;
    D3DXMatrixInverse(&inverse, nullptr, &world_view);
    const float eye[4] = {inverse.m[3][0], inverse.m[3][1], inverse.m[3][2], 1.0f};
    vector(block.EyeRegister, eye);
  }
  D3DMATRIX world_inverse;
  D3DXMatrixInverse(&world_inverse, nullptr, &m_World[0]);
  for (uint32_t i = 0; i < block.LightCount && i < kLightCount; ++i) {
    const D3DLIGHT8& light = Lights[i];
    const bool on = LightEnabled[i] != 0;
    D3DVECTOR object, view;
    D3DXVec3TransformCoord(&object, &light.Position, &world_inverse);
    D3DXVec3TransformCoord(&view, &light.Position, &m_View);
    const float object4[4] = {object.x, object.y, object.z, 1.0f};
    const float view4[4] = {view.x, view.y, view.z, 1.0f};
    const float diffuse[4] = {on ? light.Diffuse.r : 0, on ? light.Diffuse.g : 0, on ? light.Diffuse.b : 0,
                              on ? light.Diffuse.a : 0};
    const float far_off = 10000000.0f;
    const float attenuation[4] = {on ? light.Attenuation0 : far_off, on ? light.Attenuation1 : far_off,
                                  on ? light.Attenuation2 : far_off, 0.0f};
    const int32_t step = static_cast<int32_t>(i);
    if (block.LightObjectPosRegister >= 0) vector(block.LightObjectPosRegister + step, object4);
    if (block.LightViewPosRegister >= 0) vector(block.LightViewPosRegister + step, view4);
    if (block.LightDiffuseRegister >= 0) vector(block.LightDiffuseRegister + step, diffuse);
    if (block.LightAttenuationRegister >= 0) vector(block.LightAttenuationRegister + step, attenuation);
  }
  const RenderStyleMaterial& m = style->Material();
  if (block.MaterialColorsRegister >= 0) {
    RenderStyleColor ambient = m.Ambient, diffuse = m.Diffuse;
    if (colour != nullptr) {
      ambient = {colour[2], colour[1], colour[0], colour[3]};
      diffuse.a = colour[3];
    }
    vector(block.MaterialColorsRegister, &ambient.b);
    vector(block.MaterialColorsRegister + 1, &diffuse.b);
    vector(block.MaterialColorsRegister + 2, &m.Emissive.b);
  }
  const float specular[4] = {m.Specular.r, m.Specular.g, m.Specular.b, m.SpecularPower};
  vector(block.SpecularRegister, specular);
  vector(block.AmbientLightRegister, Ambient);
  m_WorldHistory.push_front(m_World[0]);
  if (m_WorldHistory.size() > 32) m_WorldHistory.pop_back();
  if (block.HistoryRegister >= 0)
    for (uint32_t j = 0; j < block.HistoryCount && j < 64; ++j) {
      const size_t at = 5 * (j + 1);
      const D3DMATRIX& w = at < m_WorldHistory.size() ? m_WorldHistory[at] : m_World[0];
      matrix(block.HistoryRegister + 4 * static_cast<int32_t>(j), Product(w, m_View));
    }
  if (block.BoneRegister >= 0 && bone_count != 0 && g_pD3DDevice != nullptr) {
    const float header[4] = {1.0f, -1.0f, 0.0f, 4.0f};
    vector(block.BoneRegister, header);
    const int32_t limit = static_cast<int32_t>(g_pD3DDevice->GetCaps().MaxVertexShaderConst) - 5;
    for (uint32_t i = 0; i < bone_count && i < kWorldMatrixCount; ++i) {
      const int32_t reg = block.BoneRegister + 1 + 4 * static_cast<int32_t>(i);
      if (reg + 4 > limit) break;
      matrix(reg, Product(m_World[i], m_View));
    }
  }
  return true;
}

void CRenderStateMgr::LoadPixelShaderConstants(const PassShaderDesc& block) {
  if (g_pDirect3DDevice == nullptr) return;
  for (const ShaderConstantVector& c : block.PixelConstants)
    if (c.Register >= 0) g_pDirect3DDevice->SetPixelShaderConstant(static_cast<DWORD>(c.Register), c.Value, 1);
}
