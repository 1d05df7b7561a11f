#include "runtime/src/render/sys/pc/d3d_drawprim.h"

#include <algorithm>
#include <cstring>

#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"
#include "runtime/src/render/sys/pc/texturemgr.h"

CD3DDrawPrim g_D3DDrawPrim;
CD3DDrawPrim g_D3DDrawPrim_Internal;

namespace {

CInterfaceRegistration g_DrawPrimRegistration(&g_D3DDrawPrim, "IKSDrawPrim.Default", 0);
CInterfaceRegistration g_DrawPrimInternalRegistration(&g_D3DDrawPrim_Internal, "IKSDrawPrim.Internal", 0);

enum EShape { kShapeList, kShapeFan, kShapeStrip, kShapeLineStrip, kShapeQuads, kShapeQuadPtrs };

constexpr DWORD kFvfColor = D3DFVF_XYZ | D3DFVF_DIFFUSE;
constexpr DWORD kFvfTex = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr DWORD kFvfScreenColor = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;
constexpr DWORD kFvfScreenTex = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr uint32_t kListBatchVertices = 126;
constexpr uint32_t kPointBatch = 127;
constexpr uint32_t kRunBatch = 125;
constexpr uint32_t kQuadListBatch = 21;

D3DMATRIX Identity() {
  D3DMATRIX m{};
  m.m[0][0] = m.m[1][1] = m.m[2][2] = m.m[3][3] = 1.0f;
  return m;
}

uint32_t VerticesPerPrim(D3DPRIMITIVETYPE type) {
  return type == D3DPT_LINELIST ? 2 : type == D3DPT_TRIANGLELIST ? 3 : 1;
}

CD3DDrawPrim::Source Records(const void* data, int kind, uint32_t per_record, uint32_t record_size) {
  return {data, 0, kind, 0, per_record, record_size};
}

CD3DDrawPrim::Source Array(const void* data, int kind, uint32_t stride, uint32_t color = 0) {
  return {data, stride, kind, color, 1, stride};
}

}  // namespace

CD3DDrawPrim::CD3DDrawPrim() { ResetState(); }

bool CD3DDrawPrim::ResetState() {
  std::memset(m_Textures, 0, sizeof(m_Textures));
  std::memset(m_DeviceTextures, 0, sizeof(m_DeviceTextures));
  m_pRenderStyle = nullptr;
  m_TransformType = kDrawPrimWorld;
  m_ColorOp = m_AlphaBlendMode = m_ZBufferMode = m_AlphaTestMode = 0;
  m_ClipMode = 1;
  m_FillMode = 1;
  m_CullMode = 0;
  return true;
}

bool CD3DDrawPrim::SetTexture(CTextureData* texture, int stage) {
  if (stage < 0 || stage >= kDrawPrimStages) return true;
  m_Textures[stage] = texture;
  m_DeviceTextures[stage] = texture != nullptr ? texture->m_pDeviceTexture : nullptr;
  return true;
}

bool CD3DDrawPrim::SetDeviceTexture(CDeviceTexture* texture, int stage) {
  if (stage < 0 || stage >= kDrawPrimStages) return true;
  m_Textures[stage] = nullptr;
  m_DeviceTextures[stage] = texture;
  return true;
}

bool CD3DDrawPrim::SetWorldMatrix(const CMatrix4x4* matrix) {
  if (matrix != nullptr) std::memcpy(&m_World, matrix, sizeof(m_World));
  return true;
}

// --- transforms ---

void CD3DDrawPrim::SetUpTransforms() {
  CRenderStateMgr& rs = *g_pRenderStateMgr;
  m_SavedWorld = *rs.GetTransform(D3DTS_WORLD);
  m_SavedView = *rs.GetTransform(D3DTS_VIEW);
  m_SavedProjection = *rs.GetTransform(D3DTS_PROJECTION);
  const D3DMATRIX identity = Identity();
  switch (m_TransformType) {
    case kDrawPrimCamera:
      rs.SetTransform(D3DTS_VIEW, identity);
      rs.SetTransform(D3DTS_WORLD, identity);
      break;
    case kDrawPrimScreen:
      rs.SetTransform(D3DTS_PROJECTION, identity);
      rs.SetTransform(D3DTS_WORLD, identity);
      break;
    case kDrawPrimWorld:
      rs.SetTransform(D3DTS_WORLD, identity);
      break;
    case kDrawPrimWorldMatrix: {
      D3DMATRIX world;
      std::memcpy(&world, &m_World, sizeof(world));
      rs.SetTransform(D3DTS_WORLD, world);
      break;
    }
    default:
      break;
  }
  rs.SetStreamSource(0, nullptr, 0);
}

void CD3DDrawPrim::RestoreTransforms() {
  CRenderStateMgr& rs = *g_pRenderStateMgr;
  rs.SetTransform(D3DTS_WORLD, m_SavedWorld);
  rs.SetTransform(D3DTS_VIEW, m_SavedView);
  rs.SetTransform(D3DTS_PROJECTION, m_SavedProjection);
}

bool CD3DDrawPrim::BeginDrawPrim() {
  if (g_pRenderStateMgr == nullptr) return false;
  m_bInBlock = true;
  SetUpTransforms();
  return true;
}

bool CD3DDrawPrim::EndDrawPrim() {
  if (g_pRenderStateMgr != nullptr && m_bInBlock) RestoreTransforms();
  m_bInBlock = false;
  return true;
}

// --- own state ---

void CD3DDrawPrim::ApplyOwnState() {
  CRenderStateMgr& rs = *g_pRenderStateMgr;
  if (rs.GetRenderState(D3DRS_LIGHTING) != FALSE) rs.SetRenderState(D3DRS_LIGHTING, FALSE);
  static const DWORD kColorOps[][2] = {{D3DTOP_SELECTARG2, D3DTOP_DISABLE},
                                       {D3DTOP_MODULATE, D3DTOP_MODULATE},
                                       {D3DTOP_ADD, D3DTOP_ADD},
                                       {D3DTOP_SELECTARG1, D3DTOP_SELECTARG1}};
  if (m_ColorOp >= 0 && m_ColorOp < 4) {
    rs.SetTextureStageState(0, D3DTSS_COLOROP, kColorOps[m_ColorOp][0]);
    rs.SetTextureStageState(0, D3DTSS_ALPHAOP, kColorOps[m_ColorOp][1]);
  }
  rs.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  rs.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
  rs.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  rs.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
  rs.SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
  rs.SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
  // The vertices' own coordinates, untransformed: a style drawn before (a projected shadow, a
  // tiled ground) may have left a coordinate source or a texture transform on stage 0.
  rs.SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
  rs.SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
  rs.SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
  static const DWORD kBlends[][2] = {{0, 0},
                                     {D3DBLEND_ONE, D3DBLEND_ONE},
                                     {D3DBLEND_INVDESTCOLOR, D3DBLEND_ONE},
                                     {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
                                     {D3DBLEND_SRCCOLOR, D3DBLEND_INVSRCCOLOR},
                                     {D3DBLEND_DESTCOLOR, D3DBLEND_INVDESTCOLOR},
                                     {D3DBLEND_SRCCOLOR, D3DBLEND_DESTCOLOR},
                                     {D3DBLEND_SRCALPHA, D3DBLEND_ONE},
                                     {D3DBLEND_SRCALPHA, D3DBLEND_ZERO},
                                     {D3DBLEND_SRCCOLOR, D3DBLEND_ONE},
                                     {D3DBLEND_DESTCOLOR, D3DBLEND_ZERO}};
  if (m_AlphaBlendMode == 0) {
    rs.SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  } else if (m_AlphaBlendMode > 0 && m_AlphaBlendMode <= 10) {
    rs.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    rs.SetRenderState(D3DRS_SRCBLEND, kBlends[m_AlphaBlendMode][0]);
    rs.SetRenderState(D3DRS_DESTBLEND, kBlends[m_AlphaBlendMode][1]);
  }
  switch (m_ZBufferMode) {
    case 0: rs.SetRenderState(D3DRS_ZENABLE, TRUE); rs.SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
            rs.SetRenderState(D3DRS_ZWRITEENABLE, TRUE); break;
    case 1: rs.SetRenderState(D3DRS_ZENABLE, TRUE); rs.SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
            rs.SetRenderState(D3DRS_ZWRITEENABLE, FALSE); break;
    case 2: rs.SetRenderState(D3DRS_ZENABLE, FALSE); rs.SetRenderState(D3DRS_ZWRITEENABLE, FALSE); break;
    case 3: rs.SetRenderState(D3DRS_ZENABLE, TRUE); rs.SetRenderState(D3DRS_ZFUNC, D3DCMP_GREATEREQUAL);
            rs.SetRenderState(D3DRS_ZWRITEENABLE, FALSE); break;
    default: break;
  }
  static const DWORD kAlphaFuncs[] = {0, D3DCMP_LESS, D3DCMP_LESSEQUAL, D3DCMP_GREATER, D3DCMP_GREATEREQUAL,
                                      D3DCMP_EQUAL, D3DCMP_NOTEQUAL};
  if (m_AlphaTestMode == 0) rs.SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  if (m_AlphaTestMode >= 1 && m_AlphaTestMode <= 6) {
    rs.SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    rs.SetRenderState(D3DRS_ALPHAFUNC, kAlphaFuncs[m_AlphaTestMode]);
  }
  if (m_FillMode == 0 || m_FillMode == 1) rs.SetRenderState(D3DRS_FILLMODE, m_FillMode == 0 ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
  static const DWORD kCulls[] = {D3DCULL_NONE, D3DCULL_CCW, D3DCULL_CW};
  if (m_CullMode >= 0 && m_CullMode <= 2) rs.SetRenderState(D3DRS_CULLMODE, kCulls[m_CullMode]);
  if (m_DeviceTextures[0] != nullptr && m_DeviceTextures[0]->m_pTexture != nullptr) {
    rs.SetTexture(0, m_DeviceTextures[0]->m_pTexture);
    if (m_DeviceTextures[0]->m_pPalette != nullptr)
      rs.SetCurrentTexturePalette(m_DeviceTextures[0]->m_pPalette->m_PaletteId);
  }
  if (m_ClipMode == 0) rs.SetRenderState(D3DRS_CLIPPING, FALSE);
  if (m_ClipMode == 1 || m_ClipMode == 2) rs.SetRenderState(D3DRS_CLIPPING, TRUE);
}

// --- conversion and batches ---

void CD3DDrawPrim::ReadVertex(const Source& src, uint32_t index, TexVertex* out,
                              const DrawPrimTexQuad* const* ptrs) const {
  const uint8_t* at;
  uint32_t color = src.color;
  if (ptrs != nullptr) {
    at = reinterpret_cast<const uint8_t*>(&ptrs[index / 4]->v[index % 4]);
  } else if (src.per_record > 1 || src.record_size != src.stride) {
    const uint8_t* record = static_cast<const uint8_t*>(src.data) + (index / src.per_record) * src.record_size;
    const uint32_t vsize = src.kind == 0 ? 12 : src.kind == 1 ? 16 : src.kind == 2 ? 20 : 24;
    at = record + (index % src.per_record) * vsize;
    if (src.kind == 0 || src.kind == 2) std::memcpy(&color, record + src.per_record * vsize, 4);
  } else {
    at = static_cast<const uint8_t*>(src.data) + index * src.stride;
  }
  TexVertex v{};
  std::memcpy(&v.x, at, 12);
  switch (src.kind) {
    case 0: v.color = color; break;
    case 1: std::memcpy(&v.color, at + 12, 4); break;
    case 2: std::memcpy(&v.u, at + 12, 8); v.color = color; break;
    default: std::memcpy(&v.color, at + 12, 12); break;
  }
  *out = v;
}

bool CD3DDrawPrim::Stage(uint32_t slot, const TexVertex& v, bool textured) {
  if (IsScreen()) {
    D3DVIEWPORT8 vp;
    g_pRenderStateMgr->GetViewport(&vp);
    const float x = v.x + static_cast<float>(vp.X), y = v.y + static_cast<float>(vp.Y);
    if (textured) m_ScreenTexStaging[slot] = {x, y, v.z, 1.0f, v.color, v.u, v.v};
    else m_ScreenColorStaging[slot] = {x, y, v.z, 1.0f, v.color};
  } else if (textured) {
    m_TexStaging[slot] = v;
  } else {
    m_ColorStaging[slot] = {v.x, v.y, v.z, v.color};
  }
  return true;
}

bool CD3DDrawPrim::Flush(D3DPRIMITIVETYPE type, uint32_t prims, uint32_t, bool textured) {
  const void* data;
  UINT stride;
  if (IsScreen()) {
    data = textured ? static_cast<const void*>(m_ScreenTexStaging) : m_ScreenColorStaging;
    stride = textured ? sizeof(ScreenTexVertex) : sizeof(ScreenColorVertex);
  } else {
    data = textured ? static_cast<const void*>(m_TexStaging) : m_ColorStaging;
    stride = textured ? sizeof(TexVertex) : sizeof(ColorVertex);
  }
  return SUCCEEDED(g_pDirect3DDevice->DrawPrimitiveUP(type, prims, data, stride));
}

bool CD3DDrawPrim::SendAsIs(D3DPRIMITIVETYPE type, const Source& src, uint32_t count, int shape) {
  uint32_t prims = count;
  if (shape == kShapeFan || shape == kShapeStrip) prims = count - 2;
  if (shape == kShapeLineStrip) prims = count - 1;
  return SUCCEEDED(g_pDirect3DDevice->DrawPrimitiveUP(type, prims, src.data, src.kind == 1 ? 16 : 24));
}

bool CD3DDrawPrim::DrawQuadList(const Source& src, uint32_t count, const DrawPrimTexQuad* const* ptrs) {
  const bool textured = src.kind >= 2;
  const bool as_list = IsScreen() && src.kind == 3 && count >= 3;
  bool ok = true;
  if (as_list) {
    // Textured screen quads, the bulk of 2D work, are staged straight from their records with
    // the viewport's offset taken once.
    static const int kCorners[6] = {0, 1, 2, 0, 2, 3};
    D3DVIEWPORT8 vp;
    g_pRenderStateMgr->GetViewport(&vp);
    const float dx = static_cast<float>(vp.X), dy = static_cast<float>(vp.Y);
    const auto* quads = static_cast<const DrawPrimTexQuad*>(src.data);
    for (uint32_t first = 0; first < count; first += kQuadListBatch) {
      const uint32_t n = std::min(kQuadListBatch, count - first);
      ScreenTexVertex* out = m_ScreenTexStaging;
      for (uint32_t q = 0; q < n; ++q) {
        const DrawPrimTexQuad& quad = ptrs != nullptr ? *ptrs[first + q] : quads[first + q];
        for (int c : kCorners) {
          const TexVertex& v = quad.v[c];
          *out++ = {v.x + dx, v.y + dy, v.z, 1.0f, v.color, v.u, v.v};
        }
      }
      ok = Flush(D3DPT_TRIANGLELIST, n * 2, n * 6, true);
    }
    return ok;
  }
  const bool as_is = !IsScreen() && ptrs == nullptr && (src.kind == 1 || src.kind == 3);
  for (uint32_t q = 0; q < count; ++q) {
    if (as_is || (ptrs != nullptr && !IsScreen())) {
      const void* quad = ptrs != nullptr ? static_cast<const void*>(ptrs[q])
                                         : static_cast<const uint8_t*>(src.data) + q * src.record_size;
      ok = SUCCEEDED(g_pDirect3DDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, src.kind == 1 ? 16 : 24));
      continue;
    }
    for (uint32_t c = 0; c < 4; ++c) {
      TexVertex v;
      ReadVertex(src, q * 4 + c, &v, ptrs);
      Stage(c, v, textured);
    }
    ok = Flush(D3DPT_TRIANGLEFAN, 2, 4, textured);
  }
  return ok;
}

bool CD3DDrawPrim::DrawPass(D3DPRIMITIVETYPE type, const Source& src, uint32_t count, bool textured, int shape) {
  if (shape == kShapeQuads) return DrawQuadList(src, count, nullptr);
  if (shape == kShapeQuadPtrs)
    return DrawQuadList(src, count, static_cast<const DrawPrimTexQuad* const*>(src.data));
  const bool device_layout = src.kind == 1 || src.kind == 3;
  if (!IsScreen() && device_layout) return SendAsIs(type, src, count, shape);
  auto put = [&](uint32_t slot, uint32_t index) {
    TexVertex v;
    ReadVertex(src, index, &v);
    Stage(slot, v, textured);
  };
  if (shape == kShapeList) {
    const uint32_t per = VerticesPerPrim(type);
    const uint32_t batch = type == D3DPT_POINTLIST ? kPointBatch : kListBatchVertices / per;
    for (uint32_t first = 0; first < count; first += batch) {
      const uint32_t n = std::min(batch, count - first);
      for (uint32_t i = 0; i < n * per; ++i) put(i, first * per + i);
      if (!Flush(type, n, n * per, textured)) return false;
    }
    return true;
  }
  // Runs: fans repeat their first vertex and the last one sent; strips the last two, with a
  // repeated vertex where needed so that every triangle keeps the winding it has in one strip;
  // line strips the last one.
  uint32_t next = 0;
  bool first_batch = true;
  while (first_batch || next < count) {
    uint32_t slot = 0;
    if (!first_batch) {
      if (shape == kShapeFan) {
        put(slot++, 0);
        put(slot++, next - 1);
      } else if (shape == kShapeStrip) {
        if ((next - 2) % 2 == 1) put(slot++, next - 2);
        put(slot++, next - 2);
        put(slot++, next - 1);
      } else {
        put(slot++, next - 1);
      }
    }
    const uint32_t room = (first_batch || shape != kShapeFan ? kRunBatch : kRunBatch + 1) - slot;
    const uint32_t n = std::min(room, count - next);
    for (uint32_t i = 0; i < n; ++i) put(slot++, next + i);
    next += n;
    first_batch = false;
    const uint32_t prims = shape == kShapeLineStrip ? slot - 1 : slot - 2;
    if (!Flush(type, prims, slot, textured)) return false;
  }
  return true;
}

bool CD3DDrawPrim::Draw(D3DPRIMITIVETYPE type, const Source& src, uint32_t count, bool textured, int shape) {
  if (g_pDirect3DDevice == nullptr || g_pRenderStateMgr == nullptr) return false;
  CRenderStateMgr& rs = *g_pRenderStateMgr;
  if (!m_bInBlock) SetUpTransforms();
  const uint32_t passes = m_pRenderStyle != nullptr ? m_pRenderStyle->GetPassCount() : 1;
  const DWORD format = IsScreen() ? (textured ? kFvfScreenTex : kFvfScreenColor) : (textured ? kFvfTex : kFvfColor);
  bool ok = true;
  for (uint32_t p = 0; p < passes && ok; ++p) {
    if (m_pRenderStyle != nullptr) rs.ApplyStylePass(m_pRenderStyle, p, m_DeviceTextures, kDrawPrimStages);
    else ApplyOwnState();
    ok = rs.SetVertexShader(format) && DrawPass(type, src, count, textured, shape);
  }
  // A failed draw still puts the caller's transforms back.
  if (!m_bInBlock) RestoreTransforms();
  return ok;
}

// --- the draw calls ---

bool CD3DDrawPrim::DrawFlatLines(const DrawPrimFlatLine* l, uint32_t n) {
  return Draw(D3DPT_LINELIST, Records(l, 0, 2, sizeof(*l)), n, false, kShapeList);
}
bool CD3DDrawPrim::DrawLines(const DrawPrimLine* l, uint32_t n) {
  return Draw(D3DPT_LINELIST, Array(l, 1, sizeof(ColorVertex)), n, false, kShapeList);
}
bool CD3DDrawPrim::DrawFlatTexLines(const DrawPrimFlatTexLine* l, uint32_t n) {
  return Draw(D3DPT_LINELIST, Records(l, 2, 2, sizeof(*l)), n, true, kShapeList);
}
bool CD3DDrawPrim::DrawTexLines(const DrawPrimTexLine* l, uint32_t n) {
  return Draw(D3DPT_LINELIST, Array(l, 3, sizeof(TexVertex)), n, true, kShapeList);
}
bool CD3DDrawPrim::DrawFlatQuads(const DrawPrimFlatQuad* q, uint32_t n) {
  return Draw(D3DPT_TRIANGLEFAN, Records(q, 0, 4, sizeof(*q)), n, false, kShapeQuads);
}
bool CD3DDrawPrim::DrawQuads(const DrawPrimQuad* q, uint32_t n) {
  return Draw(D3DPT_TRIANGLEFAN, Records(q, 1, 4, sizeof(*q)), n, false, kShapeQuads);
}
bool CD3DDrawPrim::DrawFlatTexQuads(const DrawPrimFlatTexQuad* q, uint32_t n) {
  return Draw(D3DPT_TRIANGLEFAN, Records(q, 2, 4, sizeof(*q)), n, true, kShapeQuads);
}
bool CD3DDrawPrim::DrawTexQuadPtrs(const DrawPrimTexQuad* const* q, uint32_t n) {
  return Draw(D3DPT_TRIANGLEFAN, Records(q, 3, 4, sizeof(DrawPrimTexQuad)), n, true, kShapeQuadPtrs);
}
bool CD3DDrawPrim::DrawTexQuads(const DrawPrimTexQuad* q, uint32_t n) {
  return Draw(D3DPT_TRIANGLEFAN, Records(q, 3, 4, sizeof(*q)), n, true, kShapeQuads);
}
bool CD3DDrawPrim::DrawFlatTriangles(const DrawPrimFlatTriangle* t, uint32_t n) {
  return Draw(D3DPT_TRIANGLELIST, Records(t, 0, 3, sizeof(*t)), n, false, kShapeList);
}
bool CD3DDrawPrim::DrawTriangles(const DrawPrimTriangle* t, uint32_t n) {
  return Draw(D3DPT_TRIANGLELIST, Array(t, 1, sizeof(ColorVertex)), n, false, kShapeList);
}
bool CD3DDrawPrim::DrawFlatTexTriangles(const DrawPrimFlatTexTriangle* t, uint32_t n) {
  return Draw(D3DPT_TRIANGLELIST, Records(t, 2, 3, sizeof(*t)), n, true, kShapeList);
}
bool CD3DDrawPrim::DrawTexTriangles(const DrawPrimTexTriangle* t, uint32_t n) {
  return Draw(D3DPT_TRIANGLELIST, Array(t, 3, sizeof(TexVertex)), n, true, kShapeList);
}
bool CD3DDrawPrim::DrawPoints(const ColorVertex* p, uint32_t n) {
  return Draw(D3DPT_POINTLIST, Array(p, 1, sizeof(*p)), n, false, kShapeList);
}
bool CD3DDrawPrim::DrawTexPoints(const TexVertex* p, uint32_t n) {
  return Draw(D3DPT_POINTLIST, Array(p, 3, sizeof(*p)), n, true, kShapeList);
}
bool CD3DDrawPrim::DrawFlatFan(const CVector3* v, uint32_t n, uint32_t c) {
  return Draw(D3DPT_TRIANGLEFAN, Array(v, 0, sizeof(*v), c), n, false, kShapeFan);
}
bool CD3DDrawPrim::DrawFan(const ColorVertex* v, uint32_t n) {
  return Draw(D3DPT_TRIANGLEFAN, Array(v, 1, sizeof(*v)), n, false, kShapeFan);
}
bool CD3DDrawPrim::DrawFlatTexFan(const TexPosition* v, uint32_t n, uint32_t c) {
  return Draw(D3DPT_TRIANGLEFAN, Array(v, 2, sizeof(*v), c), n, true, kShapeFan);
}
bool CD3DDrawPrim::DrawTexFan(const TexVertex* v, uint32_t n) {
  return Draw(D3DPT_TRIANGLEFAN, Array(v, 3, sizeof(*v)), n, true, kShapeFan);
}
bool CD3DDrawPrim::DrawFlatStrip(const CVector3* v, uint32_t n, uint32_t c) {
  return Draw(D3DPT_TRIANGLESTRIP, Array(v, 0, sizeof(*v), c), n, false, kShapeStrip);
}
bool CD3DDrawPrim::DrawStrip(const ColorVertex* v, uint32_t n) {
  return Draw(D3DPT_TRIANGLESTRIP, Array(v, 1, sizeof(*v)), n, false, kShapeStrip);
}
bool CD3DDrawPrim::DrawFlatTexStrip(const TexPosition* v, uint32_t n, uint32_t c) {
  return Draw(D3DPT_TRIANGLESTRIP, Array(v, 2, sizeof(*v), c), n, true, kShapeStrip);
}
bool CD3DDrawPrim::DrawTexStrip(const TexVertex* v, uint32_t n) {
  return Draw(D3DPT_TRIANGLESTRIP, Array(v, 3, sizeof(*v)), n, true, kShapeStrip);
}
bool CD3DDrawPrim::DrawFlatLineStrip(const CVector3* v, uint32_t n, uint32_t c) {
  return Draw(D3DPT_LINESTRIP, Array(v, 0, sizeof(*v), c), n, false, kShapeLineStrip);
}
bool CD3DDrawPrim::DrawLineStrip(const ColorVertex* v, uint32_t n) {
  return Draw(D3DPT_LINESTRIP, Array(v, 1, sizeof(*v)), n, false, kShapeLineStrip);
}
bool CD3DDrawPrim::DrawFlatTexLineStrip(const TexPosition* v, uint32_t n, uint32_t c) {
  return Draw(D3DPT_LINESTRIP, Array(v, 2, sizeof(*v), c), n, true, kShapeLineStrip);
}
bool CD3DDrawPrim::DrawTexLineStrip(const TexVertex* v, uint32_t n) {
  return Draw(D3DPT_LINESTRIP, Array(v, 3, sizeof(*v)), n, true, kShapeLineStrip);
}
