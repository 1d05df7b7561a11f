#include "runtime/src/render/sys/pc/renderstatemgr.h"

#include <cstring>

#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/render_cvars.h"

CRenderStateMgr* g_pRenderStateMgr = nullptr;

namespace {

template <class T>
void MarkUnset(T& value) {
  std::memset(&value, 0xFF, sizeof(value));
}

template <class T>
bool IsUnset(const T& value) {
  T unset;
  MarkUnset(unset);
  return std::memcmp(&value, &unset, sizeof(T)) == 0;
}

template <class T>
bool SameWords(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

DWORD ColorByte(float component) {
  const float scaled = component * 255.0f;
  if (!(scaled > 0.0f)) return 0;  // negative or not a number
  if (scaled >= 255.0f) return 255;
  return static_cast<DWORD>(scaled);
}

}  // namespace

DWORD PackColorARGB(float r, float g, float b, float a) {
  return ColorByte(a) << 24 | ColorByte(r) << 16 | ColorByte(g) << 8 | ColorByte(b);
}

bool CRenderStateMgr::Init() {
  ResetShadows();
  CreateBuiltInStyles();
  m_Arena.assign(static_cast<size_t>(kStateArenaChunks) * kStateArenaChunkBytes, 0);
  m_ChunkUsed.reset();
  for (CacheEntry& e : m_Entries) e = CacheEntry{};
  std::fill(std::begin(m_Buckets), std::end(m_Buckets), nullptr);
  return true;
}

void CRenderStateMgr::Term() {
  for (CD3DRenderStyle*& style : m_BuiltIn) {
    delete style;
    style = nullptr;
  }
  for (CacheEntry& e : m_Entries) e = CacheEntry{};
  std::fill(std::begin(m_Buckets), std::end(m_Buckets), nullptr);
  m_ChunkUsed.reset();
  m_Arena.clear();
  m_Arena.shrink_to_fit();
  m_WorldHistory.clear();
  ResetShadows();
}

void CRenderStateMgr::ResetShadows() {
  MarkUnset(m_RenderStates);
  MarkUnset(m_StageStates);
  MarkUnset(m_World);
  MarkUnset(m_View);
  MarkUnset(m_Projection);
  MarkUnset(m_TextureMatrices);
  MarkUnset(m_Material);
  std::memset(m_Viewport, 0, sizeof(m_Viewport));
  m_ViewportMinZ = m_ViewportMaxZ = -1.0f;
  m_Palette = kShadowUnset;
  std::memset(m_Textures, 0, sizeof(m_Textures));
  std::memset(m_TextureKnown, 0, sizeof(m_TextureKnown));
  std::memset(Lights, 0, sizeof(Lights));
  std::memset(LightEnabled, 0, sizeof(LightEnabled));
  std::memset(Ambient, 0, sizeof(Ambient));
  m_pPreviousStyle = nullptr;
  m_PreviousPass = 0;
  m_VertexShader = m_PixelShader = kShadowUnset;
  std::memset(m_Streams, 0, sizeof(m_Streams));
  std::memset(m_StreamStrides, 0, sizeof(m_StreamStrides));
  m_pIndices = nullptr;
  m_BaseVertex = 0;
  m_bSoftwareVP = false;
}

void CRenderStateMgr::ResetDeviceState() {
  IDirect3DDevice8* device = g_pDirect3DDevice;
  m_pPreviousStyle = nullptr;
  m_VertexShader = kShadowUnset;
  std::memset(m_Streams, 0, sizeof(m_Streams));
  m_pIndices = nullptr;
  std::memset(m_Textures, 0, sizeof(m_Textures));
  std::memset(m_TextureKnown, 0, sizeof(m_TextureKnown));
  MarkUnset(m_RenderStates);
  MarkUnset(m_StageStates);
  if (device == nullptr) return;
  if (!IsUnset(m_World[0])) device->SetTransform(D3DTS_WORLD, &m_World[0]);
  if (!IsUnset(m_View)) device->SetTransform(D3DTS_VIEW, &m_View);
  if (!IsUnset(m_Projection)) device->SetTransform(D3DTS_PROJECTION, &m_Projection);
  if (m_ViewportMaxZ >= 0.0f) {
    D3DVIEWPORT8 viewport;
    GetViewport(&viewport);
    device->SetViewport(&viewport);
  }
  if (!IsUnset(m_Material)) device->SetMaterial(&m_Material);
  for (DWORD i = 0; i < kLightCount; ++i) {
    if (LightEnabled[i]) device->SetLight(i, &Lights[i]);
    device->LightEnable(i, LightEnabled[i] ? TRUE : FALSE);
  }
  SetRenderState(D3DRS_AMBIENT, PackColorARGB(Ambient[0], Ambient[1], Ambient[2], Ambient[3]));
  if (g_pD3DDevice != nullptr) g_pD3DDevice->SetDefaultDeviceStates();
}

void CRenderStateMgr::SetViewport(DWORD left, DWORD top, DWORD right, DWORD bottom, float min_z, float max_z) {
  m_Viewport[0] = left;
  m_Viewport[1] = top;
  m_Viewport[2] = right;
  m_Viewport[3] = bottom;
  m_ViewportMinZ = min_z;
  m_ViewportMaxZ = max_z;
  if (g_pDirect3DDevice == nullptr) return;
  D3DVIEWPORT8 viewport;
  GetViewport(&viewport);
  if (FAILED(g_pDirect3DDevice->SetViewport(&viewport)))
    Render_DebugPrintf(1, "IDirect3DDevice::SetCurrentViewport failed.\n");
}

void CRenderStateMgr::GetViewport(D3DVIEWPORT8* viewport) const {
  if (viewport == nullptr) return;
  viewport->X = m_Viewport[0];
  viewport->Y = m_Viewport[1];
  viewport->Width = m_Viewport[2] - m_Viewport[0];
  viewport->Height = m_Viewport[3] - m_Viewport[1];
  viewport->MinZ = m_ViewportMinZ;
  viewport->MaxZ = m_ViewportMaxZ;
}

void CRenderStateMgr::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (ApplyRenderState(state, value)) ForgetStylePass();
}

DWORD CRenderStateMgr::GetTextureStageState(DWORD stage, DWORD type) const {
  if (stage >= kTextureShadowStages || type >= D3DTSS_STATE_COUNT) return kShadowUnset;
  return m_StageStates[stage][type];
}

void CRenderStateMgr::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  if (ApplyStageState(stage, type, value)) ForgetStylePass();
}

D3DMATRIX* CRenderStateMgr::TransformShadow(D3DTRANSFORMSTATETYPE type) {
  if (type == D3DTS_VIEW) return &m_View;
  if (type == D3DTS_PROJECTION) return &m_Projection;
  if (type >= D3DTS_TEXTURE0 && type < D3DTS_TEXTURE0 + kTextureMatrixCount)
    return &m_TextureMatrices[type - D3DTS_TEXTURE0];
  if (type >= D3DTS_WORLD && type < D3DTS_WORLD + kWorldMatrixCount) return &m_World[type - D3DTS_WORLD];
  return nullptr;
}

const D3DMATRIX* CRenderStateMgr::GetTransform(D3DTRANSFORMSTATETYPE type) const {
  return const_cast<CRenderStateMgr*>(this)->TransformShadow(type);
}

void CRenderStateMgr::SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX& matrix) {
  if (g_pDirect3DDevice == nullptr) return;
  D3DMATRIX* shadow = TransformShadow(type);
  if (shadow != nullptr && SameWords(*shadow, matrix)) return;
  g_pDirect3DDevice->SetTransform(type, &matrix);
  if (shadow != nullptr) *shadow = matrix;
}

void CRenderStateMgr::SetMaterial(const D3DMATERIAL8& material) {
  if (SameWords(m_Material, material) || g_pDirect3DDevice == nullptr) return;
  g_pDirect3DDevice->SetMaterial(&material);
  m_Material = material;
  ForgetStylePass();
}

void CRenderStateMgr::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) {
  if (stage >= kTextureShadowStages || g_pDirect3DDevice == nullptr) return;
  // After a reset the stage is unknown, so even clearing it goes through once.
  if (m_TextureKnown[stage] && m_Textures[stage] == texture) return;
  g_pDirect3DDevice->SetTexture(stage, texture);
  m_Textures[stage] = texture;
  m_TextureKnown[stage] = true;
}

void CRenderStateMgr::SetCurrentTexturePalette(UINT palette) {
  const UINT number = palette & 0xFFFFu;
  if (m_Palette == number || g_pDirect3DDevice == nullptr) return;
  g_pDirect3DDevice->SetCurrentTexturePalette(number);
  m_Palette = number;
}
