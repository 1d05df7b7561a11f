#include "tests/support/recording_d3d.h"

#include <cstdio>
#include <cstring>

namespace vt_test {
namespace {

CRecordingD3D* g_installed = nullptr;

std::string Line(const char* name, std::initializer_list<long long> args) {
  std::string text = name;
  text += '(';
  bool first = true;
  for (long long a : args) {
    if (!first) text += ',';
    text += std::to_string(a);
    first = false;
  }
  text += ')';
  return text;
}

UINT BytesPerPixel(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_D32:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D24X4S4:
      return 4;
    case D3DFMT_R8G8B8:
      return 3;
    case D3DFMT_P8:
    case D3DFMT_A8:
    case D3DFMT_L8:
      return 1;
    default:
      return 2;
  }
}

D3DCAPS8 StandardCaps(D3DDEVTYPE type) {
  D3DCAPS8 caps{};
  caps.DeviceType = type;
  caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED | D3DCAPS2_FULLSCREENGAMMA;
  caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION;
  caps.RasterCaps = D3DPRASTERCAPS_FOGTABLE | D3DPRASTERCAPS_ZFOG | D3DPRASTERCAPS_FOGVERTEX;
  caps.MaxTextureWidth = 2048;
  caps.MaxTextureHeight = 2048;
  caps.MaxActiveLights = 8;
  caps.MaxSimultaneousTextures = 4;
  caps.MaxTextureBlendStages = 8;
  caps.MaxStreams = 4;
  caps.MaxVertexIndex = 0xFFFF;
  caps.MaxPrimitiveCount = 0xFFFF;
  return caps;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
int CCallLog::Count(const std::string& line) const {
  int n = 0;
  for (const std::string& l : m_Lines) n += (l == line);
  return n;
}

int CCallLog::CountPrefix(const std::string& prefix) const {
  int n = 0;
  for (const std::string& l : m_Lines) n += (l.compare(0, prefix.size(), prefix) == 0);
  return n;
}

int CCallLog::Find(const std::string& line, int from) const {
  for (size_t i = from < 0 ? 0 : static_cast<size_t>(from); i < m_Lines.size(); ++i)
    if (m_Lines[i] == line) return static_cast<int>(i);
  return -1;
}

// ---------------------------------------------------------------------------------------------
CRecordingSurface::CRecordingSurface(UINT width, UINT height, D3DFORMAT format, DWORD usage) {
  m_Desc.Format = format;
  m_Desc.Type = D3DRTYPE_SURFACE;
  m_Desc.Usage = usage;
  m_Desc.Width = width;
  m_Desc.Height = height;
  m_Pitch = static_cast<INT>(width * BytesPerPixel(format));
  m_Desc.Size = static_cast<UINT>(m_Pitch) * height;
  m_Pixels.assign(m_Desc.Size, 0);
}

HRESULT CRecordingSurface::GetDevice(IDirect3DDevice8**) { return D3DERR_INVALIDCALL; }

HRESULT CRecordingSurface::GetDesc(D3DSURFACE_DESC* desc) {
  if (desc == nullptr) return D3DERR_INVALIDCALL;
  *desc = m_Desc;
  return D3D_OK;
}

HRESULT CRecordingSurface::LockRect(D3DLOCKED_RECT* locked_rect, const RECT* rect, DWORD flags) {
  if (fail_lock || locked || locked_rect == nullptr) return D3DERR_INVALIDCALL;
  BYTE* bits = m_Pixels.data();
  if (rect != nullptr) bits += rect->top * m_Pitch + rect->left * static_cast<INT>(BytesPerPixel(m_Desc.Format));
  locked_rect->pBits = bits;
  locked_rect->Pitch = m_Pitch;
  locked = true;
  last_lock_flags = flags;
  return D3D_OK;
}

HRESULT CRecordingSurface::UnlockRect() {
  if (!locked) return D3DERR_INVALIDCALL;
  locked = false;
  return D3D_OK;
}

// ---------------------------------------------------------------------------------------------
CRecordingTexture::CRecordingTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                     D3DPOOL pool)
    : m_Pool(pool) {
  if (levels == 0) {
    levels = 1;
    for (UINT w = width, h = height; w > 1 || h > 1; w >>= 1, h >>= 1) ++levels;
  }
  for (UINT i = 0; i < levels; ++i) {
    const UINT w = width >> i ? width >> i : 1;
    const UINT h = height >> i ? height >> i : 1;
    m_Levels.push_back(std::make_unique<CRecordingSurface>(w, h, format, usage));
  }
}

HRESULT CRecordingTexture::GetDevice(IDirect3DDevice8**) { return D3DERR_INVALIDCALL; }

DWORD CRecordingTexture::SetLOD(DWORD lod) {
  const DWORD old = m_Lod;
  m_Lod = lod;
  return old;
}

HRESULT CRecordingTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (level >= m_Levels.size()) return D3DERR_INVALIDCALL;
  return m_Levels[level]->GetDesc(desc);
}

HRESULT CRecordingTexture::GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) {
  if (level >= m_Levels.size() || surface == nullptr) return D3DERR_INVALIDCALL;
  m_Levels[level]->AddRef();
  *surface = m_Levels[level].get();
  return D3D_OK;
}

HRESULT CRecordingTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  if (level >= m_Levels.size()) return D3DERR_INVALIDCALL;
  return m_Levels[level]->LockRect(locked, rect, flags);
}

HRESULT CRecordingTexture::UnlockRect(UINT level) {
  if (level >= m_Levels.size()) return D3DERR_INVALIDCALL;
  return m_Levels[level]->UnlockRect();
}

// ---------------------------------------------------------------------------------------------
namespace {

UINT ChainLength(UINT width, UINT height, UINT depth) {
  UINT levels = 1;
  for (; width > 1 || height > 1 || depth > 1; width >>= 1, height >>= 1, depth >>= 1) ++levels;
  return levels;
}

UINT Halved(UINT size, UINT level) { return size >> level ? size >> level : 1; }

}  // namespace

CRecordingCubeTexture::CRecordingCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : m_Pool(pool), m_LevelCount(levels == 0 ? ChainLength(edge, edge, 1) : levels) {
  for (UINT face = 0; face < 6; ++face) {
    for (UINT level = 0; level < m_LevelCount; ++level) {
      m_Faces.push_back(
          std::make_unique<CRecordingSurface>(Halved(edge, level), Halved(edge, level), format, usage));
    }
  }
}

DWORD CRecordingCubeTexture::SetLOD(DWORD lod) {
  const DWORD old = m_Lod;
  m_Lod = lod;
  return old;
}

CRecordingSurface* CRecordingCubeTexture::Face(UINT face, UINT level) {
  if (face >= 6 || level >= m_LevelCount) return nullptr;
  return m_Faces[size_t(face) * m_LevelCount + level].get();
}

HRESULT CRecordingCubeTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  CRecordingSurface* surface = Face(0, level);
  return surface != nullptr ? surface->GetDesc(desc) : D3DERR_INVALIDCALL;
}

HRESULT CRecordingCubeTexture::GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface8** surface) {
  CRecordingSurface* found = Face(face, level);
  if (found == nullptr || surface == nullptr) return D3DERR_INVALIDCALL;
  found->AddRef();
  *surface = found;
  return D3D_OK;
}

HRESULT CRecordingCubeTexture::LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                                        DWORD flags) {
  CRecordingSurface* found = Face(face, level);
  return found != nullptr ? found->LockRect(locked, rect, flags) : D3DERR_INVALIDCALL;
}

HRESULT CRecordingCubeTexture::UnlockRect(D3DCUBEMAP_FACES face, UINT level) {
  CRecordingSurface* found = Face(face, level);
  return found != nullptr ? found->UnlockRect() : D3DERR_INVALIDCALL;
}

CRecordingVolumeTexture::CRecordingVolumeTexture(UINT width, UINT height, UINT depth, UINT levels, DWORD usage,
                                                 D3DFORMAT format, D3DPOOL pool)
    : m_Pool(pool) {
  if (levels == 0) levels = ChainLength(width, height, depth);
  for (UINT level = 0; level < levels; ++level) {
    const UINT w = Halved(width, level), h = Halved(height, level), d = Halved(depth, level);
    m_Levels.push_back({format, D3DRTYPE_VOLUME, usage, pool, w * h * d * BytesPerPixel(format), w, h, d});
  }
}

DWORD CRecordingVolumeTexture::SetLOD(DWORD lod) {
  const DWORD old = m_Lod;
  m_Lod = lod;
  return old;
}

HRESULT CRecordingVolumeTexture::GetLevelDesc(UINT level, D3DVOLUME_DESC* desc) {
  if (desc == nullptr || level >= m_Levels.size()) return D3DERR_INVALIDCALL;
  *desc = m_Levels[level];
  return D3D_OK;
}

// ---------------------------------------------------------------------------------------------
CRecordingDevice::CRecordingDevice(CRecordingD3D* owner, UINT adapter_ordinal, D3DDEVTYPE device_type,
                                   DWORD behavior_flags, const D3DPRESENT_PARAMETERS& present,
                                   const D3DCAPS8& device_caps)
    : adapter(adapter_ordinal),
      type(device_type),
      behavior(behavior_flags),
      params(present),
      caps(device_caps),
      m_pOwner(owner) {
  MakeSurfaces();
}

void CRecordingDevice::MakeSurfaces() {
  if (m_BackBuffer) m_OldSurfaces.push_back(std::move(m_BackBuffer));
  if (m_DepthStencil) m_OldSurfaces.push_back(std::move(m_DepthStencil));
  m_BackBuffer = std::make_unique<CRecordingSurface>(params.BackBufferWidth, params.BackBufferHeight,
                                                     params.BackBufferFormat, D3DUSAGE_RENDERTARGET);
  m_DepthStencil = std::make_unique<CRecordingSurface>(params.BackBufferWidth, params.BackBufferHeight,
                                                       params.AutoDepthStencilFormat, D3DUSAGE_DEPTHSTENCIL);
  m_RenderTarget = m_BackBuffer.get();
  m_DepthTarget = m_DepthStencil.get();
}

ULONG CRecordingDevice::Release() {
  if (m_RefCount == 0) return 0;
  if (--m_RefCount == 0) m_pOwner->log.Add("Device.Release(0)");
  return m_RefCount;
}

HRESULT CRecordingDevice::TestCooperativeLevel() {
  m_pOwner->log.Add("TestCooperativeLevel()");
  if (!cooperative_script.empty()) {
    const HRESULT answer = cooperative_script.front();
    cooperative_script.erase(cooperative_script.begin());
    return answer;
  }
  return cooperative_level;
}

HRESULT CRecordingDevice::GetDirect3D(IDirect3D8** d3d) {
  if (d3d == nullptr) return D3DERR_INVALIDCALL;
  m_pOwner->AddRef();
  *d3d = m_pOwner;
  return D3D_OK;
}

HRESULT CRecordingDevice::GetDeviceCaps(D3DCAPS8* out) {
  m_pOwner->log.Add("GetDeviceCaps()");
  if (fail_get_caps || out == nullptr) return D3DERR_INVALIDCALL;
  *out = caps;
  return D3D_OK;
}

HRESULT CRecordingDevice::GetDisplayMode(D3DDISPLAYMODE* mode) {
  if (mode == nullptr) return D3DERR_INVALIDCALL;
  *mode = {params.BackBufferWidth, params.BackBufferHeight, 60, params.BackBufferFormat};
  return D3D_OK;
}

HRESULT CRecordingDevice::Reset(D3DPRESENT_PARAMETERS* p) {
  ++reset_count;
  if (p == nullptr) return D3DERR_INVALIDCALL;
  m_pOwner->log.Add(Line("Reset", {p->BackBufferWidth, p->BackBufferHeight, p->BackBufferFormat,
                                   p->AutoDepthStencilFormat, p->Windowed}));
  if (reset_failures > 0) {
    --reset_failures;
    return D3DERR_INVALIDCALL;
  }
  if (reset_fails_for_format.count(p->BackBufferFormat) != 0 ||
      m_pOwner->reset_fails_for_format.count(p->BackBufferFormat) != 0)
    return D3DERR_INVALIDCALL;
  params = *p;
  MakeSurfaces();
  cooperative_level = D3D_OK;
  in_scene = false;
  return D3D_OK;
}

HRESULT CRecordingDevice::Present(const RECT*, const RECT*, HWND, const void*) {
  m_pOwner->log.Add("Present()");
  ++present_count;
  if (cooperative_level == D3DERR_DEVICELOST) return D3DERR_DEVICELOST;
  return D3D_OK;
}

HRESULT CRecordingDevice::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface8** surface) {
  if (fail_get_back_buffer || index != 0 || surface == nullptr) return D3DERR_INVALIDCALL;
  m_BackBuffer->AddRef();
  *surface = m_BackBuffer.get();
  return D3D_OK;
}

void CRecordingDevice::SetGammaRamp(DWORD flags, const D3DGAMMARAMP* ramp) {
  m_pOwner->log.Add(Line("SetGammaRamp", {flags}));
  if (ramp == nullptr) return;
  gamma = *ramp;
  gamma_set = true;
  ++gamma_set_count;
}

void CRecordingDevice::GetGammaRamp(D3DGAMMARAMP* ramp) {
  if (ramp != nullptr) *ramp = gamma;
}

HRESULT CRecordingDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                        D3DPOOL pool, IDirect3DTexture8** texture) {
  m_pOwner->log.Add(Line("CreateTexture", {width, height, levels, usage, format, pool}));
  if (texture == nullptr || width == 0 || height == 0) return D3DERR_INVALIDCALL;
  created_textures.push_back(std::make_unique<CRecordingTexture>(width, height, levels, usage, format, pool));
  *texture = created_textures.back().get();
  return D3D_OK;
}

HRESULT CRecordingDevice::CreateVolumeTexture(UINT width, UINT height, UINT depth, UINT levels, DWORD usage,
                                              D3DFORMAT format, D3DPOOL pool, IDirect3DVolumeTexture8** texture) {
  m_pOwner->log.Add(Line("CreateVolumeTexture", {width, height, depth, levels, usage, format, pool}));
  if (texture == nullptr || width == 0 || height == 0 || depth == 0) return D3DERR_INVALIDCALL;
  created_volume_textures.push_back(
      std::make_unique<CRecordingVolumeTexture>(width, height, depth, levels, usage, format, pool));
  *texture = created_volume_textures.back().get();
  return D3D_OK;
}

HRESULT CRecordingDevice::CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            IDirect3DCubeTexture8** texture) {
  m_pOwner->log.Add(Line("CreateCubeTexture", {edge, levels, usage, format, pool}));
  if (texture == nullptr || edge == 0) return D3DERR_INVALIDCALL;
  created_cube_textures.push_back(std::make_unique<CRecordingCubeTexture>(edge, levels, usage, format, pool));
  *texture = created_cube_textures.back().get();
  return D3D_OK;
}

HRESULT CRecordingDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                             IDirect3DVertexBuffer8** buffer) {
  m_pOwner->log.Add(Line("CreateVertexBuffer", {length, usage, fvf, pool}));
  if (buffer == nullptr || length == 0) return D3DERR_INVALIDCALL;
  D3DVERTEXBUFFER_DESC desc{D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage, pool, length, fvf};
  created_vertex_buffers.push_back(std::make_unique<CRecordingVertexBuffer>(desc, D3DRTYPE_VERTEXBUFFER));
  *buffer = created_vertex_buffers.back().get();
  return D3D_OK;
}

HRESULT CRecordingDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            IDirect3DIndexBuffer8** buffer) {
  m_pOwner->log.Add(Line("CreateIndexBuffer", {length, usage, format, pool}));
  if (buffer == nullptr || length == 0) return D3DERR_INVALIDCALL;
  D3DINDEXBUFFER_DESC desc{format, D3DRTYPE_INDEXBUFFER, usage, pool, length};
  created_index_buffers.push_back(std::make_unique<CRecordingIndexBuffer>(desc, D3DRTYPE_INDEXBUFFER));
  *buffer = created_index_buffers.back().get();
  return D3D_OK;
}

HRESULT CRecordingDevice::CreateImageSurface(UINT width, UINT height, D3DFORMAT format,
                                             IDirect3DSurface8** surface) {
  m_pOwner->log.Add(Line("CreateImageSurface", {width, height, format}));
  if (surface == nullptr || width == 0 || height == 0) return D3DERR_INVALIDCALL;
  created_surfaces.push_back(std::make_unique<CRecordingSurface>(width, height, format, 0));
  *surface = created_surfaces.back().get();
  return D3D_OK;
}

HRESULT CRecordingDevice::CopyRects(IDirect3DSurface8*, const RECT*, UINT rect_count, IDirect3DSurface8*,
                                    const POINT*) {
  m_pOwner->log.Add(Line("CopyRects", {rect_count}));
  return D3D_OK;
}

HRESULT CRecordingDevice::SetRenderTarget(IDirect3DSurface8* target, IDirect3DSurface8* depth_stencil) {
  m_pOwner->log.Add("SetRenderTarget()");
  if (fail_set_render_target) return D3DERR_INVALIDCALL;
  if (target != nullptr) m_RenderTarget = target;
  m_DepthTarget = depth_stencil;
  return D3D_OK;
}

HRESULT CRecordingDevice::GetRenderTarget(IDirect3DSurface8** target) {
  if (target == nullptr || m_RenderTarget == nullptr) return D3DERR_INVALIDCALL;
  m_RenderTarget->AddRef();
  *target = m_RenderTarget;
  return D3D_OK;
}

HRESULT CRecordingDevice::GetDepthStencilSurface(IDirect3DSurface8** depth_stencil) {
  if (depth_stencil == nullptr || m_DepthTarget == nullptr) return D3DERR_NOTFOUND;
  m_DepthTarget->AddRef();
  *depth_stencil = m_DepthTarget;
  return D3D_OK;
}

HRESULT CRecordingDevice::BeginScene() {
  m_pOwner->log.Add("BeginScene()");
  if (fail_begin_scene || in_scene) return D3DERR_INVALIDCALL;
  in_scene = true;
  return D3D_OK;
}

HRESULT CRecordingDevice::EndScene() {
  m_pOwner->log.Add("EndScene()");
  if (!in_scene) return D3DERR_INVALIDCALL;
  in_scene = false;
  return D3D_OK;
}

HRESULT CRecordingDevice::Clear(DWORD rect_count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                                DWORD stencil) {
  std::string line = Line("Clear", {rect_count, flags, color, static_cast<long long>(z * 1000.0f), stencil});
  for (DWORD i = 0; rects != nullptr && i < rect_count; ++i)
    line += Line("", {rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2});
  m_pOwner->log.Add(line);
  return D3D_OK;
}

HRESULT CRecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  m_pOwner->log.Add(Line("SetTransform", {state}));
  if (matrix == nullptr) return D3DERR_INVALIDCALL;
  transforms[state] = *matrix;
  return D3D_OK;
}

HRESULT CRecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  auto it = transforms.find(state);
  if (matrix == nullptr || it == transforms.end()) return D3DERR_INVALIDCALL;
  *matrix = it->second;
  return D3D_OK;
}

HRESULT CRecordingDevice::SetViewport(const D3DVIEWPORT8* vp) {
  if (vp == nullptr) return D3DERR_INVALIDCALL;
  m_pOwner->log.Add(Line("SetViewport", {vp->X, vp->Y, vp->Width, vp->Height}));
  viewport = *vp;
  return D3D_OK;
}

HRESULT CRecordingDevice::GetViewport(D3DVIEWPORT8* vp) {
  if (vp == nullptr) return D3DERR_INVALIDCALL;
  *vp = viewport;
  return D3D_OK;
}

HRESULT CRecordingDevice::SetMaterial(const D3DMATERIAL8* m) {
  m_pOwner->log.Add("SetMaterial()");
  if (m == nullptr) return D3DERR_INVALIDCALL;
  material = *m;
  return D3D_OK;
}

HRESULT CRecordingDevice::GetMaterial(D3DMATERIAL8* m) {
  if (m == nullptr) return D3DERR_INVALIDCALL;
  *m = material;
  return D3D_OK;
}

HRESULT CRecordingDevice::SetLight(DWORD index, const D3DLIGHT8* light) {
  m_pOwner->log.Add(Line("SetLight", {index}));
  if (light == nullptr) return D3DERR_INVALIDCALL;
  lights[index] = *light;
  return D3D_OK;
}

HRESULT CRecordingDevice::GetLight(DWORD index, D3DLIGHT8* light) {
  auto it = lights.find(index);
  if (light == nullptr || it == lights.end()) return D3DERR_INVALIDCALL;
  *light = it->second;
  return D3D_OK;
}

HRESULT CRecordingDevice::LightEnable(DWORD index, BOOL enable) {
  m_pOwner->log.Add(Line("LightEnable", {index, enable}));
  light_enabled[index] = enable;
  return D3D_OK;
}

HRESULT CRecordingDevice::GetLightEnable(DWORD index, BOOL* enable) {
  if (enable == nullptr) return D3DERR_INVALIDCALL;
  *enable = light_enabled.count(index) ? light_enabled[index] : FALSE;
  return D3D_OK;
}

HRESULT CRecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  m_pOwner->log.Add(Line("SetRenderState", {state, value}));
  render_states[state] = value;
  return D3D_OK;
}

HRESULT CRecordingDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
  auto it = render_states.find(state);
  if (value == nullptr || it == render_states.end()) return D3DERR_INVALIDCALL;
  *value = it->second;
  return D3D_OK;
}

HRESULT CRecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) {
  m_pOwner->log.Add(Line("SetTexture", {stage, texture != nullptr}));
  textures[stage] = texture;
  return D3D_OK;
}

HRESULT CRecordingDevice::GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) {
  if (texture == nullptr) return D3DERR_INVALIDCALL;
  *texture = textures.count(stage) ? textures[stage] : nullptr;
  if (*texture != nullptr) (*texture)->AddRef();
  return D3D_OK;
}

HRESULT CRecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) {
  m_pOwner->log.Add(Line("SetTextureStageState", {stage, state, value}));
  stage_states[{stage, state}] = value;
  return D3D_OK;
}

HRESULT CRecordingDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value) {
  auto it = stage_states.find({stage, state});
  if (value == nullptr || it == stage_states.end()) return D3DERR_INVALIDCALL;
  *value = it->second;
  return D3D_OK;
}

HRESULT CRecordingDevice::SetPaletteEntries(UINT palette, const PALETTEENTRY* entries) {
  m_pOwner->log.Add(Line("SetPaletteEntries", {palette}));
  return entries != nullptr ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT CRecordingDevice::SetCurrentTexturePalette(UINT palette) {
  m_pOwner->log.Add(Line("SetCurrentTexturePalette", {palette}));
  current_palette = palette;
  return D3D_OK;
}

HRESULT CRecordingDevice::GetCurrentTexturePalette(UINT* palette) {
  if (palette == nullptr) return D3DERR_INVALIDCALL;
  *palette = current_palette;
  return D3D_OK;
}

HRESULT CRecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE t, UINT start_vertex, UINT primitive_count) {
  m_pOwner->log.Add(Line("DrawPrimitive", {t, start_vertex, primitive_count}));
  return D3D_OK;
}

HRESULT CRecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE t, UINT min_index, UINT vertex_count,
                                               UINT start_index, UINT primitive_count) {
  m_pOwner->log.Add(Line("DrawIndexedPrimitive", {t, min_index, vertex_count, start_index, primitive_count}));
  return D3D_OK;
}

HRESULT CRecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE t, UINT primitive_count, const void*, UINT stride) {
  m_pOwner->log.Add(Line("DrawPrimitiveUP", {t, primitive_count, stride}));
  return fail_draw_primitive_up ? D3DERR_INVALIDCALL : D3D_OK;
}

HRESULT CRecordingDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE t, UINT min_index, UINT vertex_count,
                                                 UINT primitive_count, const void*, D3DFORMAT index_format,
                                                 const void*, UINT stride) {
  m_pOwner->log.Add(
      Line("DrawIndexedPrimitiveUP", {t, min_index, vertex_count, primitive_count, index_format, stride}));
  return D3D_OK;
}

HRESULT CRecordingDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) {
  m_pOwner->log.Add(Line("SetStreamSource", {stream, buffer != nullptr, stride}));
  return D3D_OK;
}

HRESULT CRecordingDevice::GetStreamSource(UINT, IDirect3DVertexBuffer8** buffer, UINT* stride) {
  if (buffer != nullptr) *buffer = nullptr;
  if (stride != nullptr) *stride = 0;
  return D3D_OK;
}

HRESULT CRecordingDevice::SetIndices(IDirect3DIndexBuffer8* buffer, UINT base_vertex_index) {
  m_pOwner->log.Add(Line("SetIndices", {buffer != nullptr, base_vertex_index}));
  return D3D_OK;
}

HRESULT CRecordingDevice::GetIndices(IDirect3DIndexBuffer8** buffer, UINT* base_vertex_index) {
  if (buffer != nullptr) *buffer = nullptr;
  if (base_vertex_index != nullptr) *base_vertex_index = 0;
  return D3D_OK;
}

HRESULT CRecordingDevice::CreateVertexShader(const DWORD*, const DWORD*, DWORD* handle, DWORD) {
  m_pOwner->log.Add("CreateVertexShader()");
  if (!accept_vertex_shaders || handle == nullptr) return D3DERR_NOTAVAILABLE;
  *handle = m_NextVertexShader;
  m_NextVertexShader += 2;
  return D3D_OK;
}

HRESULT CRecordingDevice::SetVertexShader(DWORD handle) {
  m_pOwner->log.Add(Line("SetVertexShader", {handle}));
  return D3D_OK;
}

HRESULT CRecordingDevice::GetVertexShader(DWORD* handle) {
  if (handle != nullptr) *handle = 0;
  return D3D_OK;
}

HRESULT CRecordingDevice::DeleteVertexShader(DWORD handle) {
  m_pOwner->log.Add(Line("DeleteVertexShader", {handle}));
  return D3D_OK;
}

HRESULT CRecordingDevice::SetVertexShaderConstant(DWORD first_register, const void* data, DWORD register_count) {
  m_pOwner->log.Add(Line("SetVertexShaderConstant", {first_register, register_count}));
  ShaderConstants record{first_register, {}, m_pOwner->log.Lines().size() - 1};
  if (data != nullptr) {
    const auto* floats = static_cast<const float*>(data);
    record.values.assign(floats, floats + 4 * register_count);
  }
  vertex_constants.push_back(std::move(record));
  return D3D_OK;
}

HRESULT CRecordingDevice::CreatePixelShader(const DWORD*, DWORD*) {
  m_pOwner->log.Add("CreatePixelShader()");
  return D3DERR_NOTAVAILABLE;
}

HRESULT CRecordingDevice::SetPixelShader(DWORD handle) {
  m_pOwner->log.Add(Line("SetPixelShader", {handle}));
  return D3D_OK;
}

HRESULT CRecordingDevice::GetPixelShader(DWORD* handle) {
  if (handle != nullptr) *handle = 0;
  return D3D_OK;
}

HRESULT CRecordingDevice::DeletePixelShader(DWORD handle) {
  m_pOwner->log.Add(Line("DeletePixelShader", {handle}));
  return D3D_OK;
}

HRESULT CRecordingDevice::SetPixelShaderConstant(DWORD first_register, const void*, DWORD register_count) {
  m_pOwner->log.Add(Line("SetPixelShaderConstant", {first_register, register_count}));
  return D3D_OK;
}

// ---------------------------------------------------------------------------------------------
CRecordingD3D::~CRecordingD3D() {
  if (g_installed == this) g_installed = nullptr;
}

CFakeAdapter CRecordingD3D::StandardAdapter() {
  CFakeAdapter a;
  a.hal_caps = StandardCaps(D3DDEVTYPE_HAL);
  a.ref_caps = StandardCaps(D3DDEVTYPE_REF);
  const UINT sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}};
  for (D3DFORMAT f : {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8})
    for (const auto& s : sizes) a.modes.push_back({s[0], s[1], 60, f});
  a.hal_display_formats = {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8};
  a.ref_display_formats = {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8};
  a.depth_formats = {D3DFMT_D16, D3DFMT_D15S1, D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D32};
  a.texture_formats = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_A1R5G5B5,
                       D3DFMT_A4R4G4B4, D3DFMT_R8G8B8, D3DFMT_P8};
  return a;
}

CRecordingD3D* CRecordingD3D::MakeStandard() {
  auto* d3d = new CRecordingD3D;
  d3d->adapters.push_back(StandardAdapter());
  return d3d;
}

void CRecordingD3D::Install(CRecordingD3D* d3d) { g_installed = d3d; }

IDirect3D8* CRecordingD3D::Create(UINT sdk_version) {
  if (g_installed == nullptr || sdk_version != D3D_SDK_VERSION) return nullptr;
  g_installed->log.Add(std::string("Direct3DCreate8(") + std::to_string(sdk_version) + ")");
  g_installed->AddRef();
  return g_installed;
}

UINT CRecordingD3D::GetAdapterCount() { return static_cast<UINT>(adapters.size()); }

HRESULT CRecordingD3D::GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER8* identifier) {
  if (adapter >= adapters.size() || identifier == nullptr) return D3DERR_INVALIDCALL;
  std::memset(identifier, 0, sizeof(*identifier));
  std::snprintf(identifier->Driver, sizeof(identifier->Driver), "%s", adapters[adapter].driver.c_str());
  std::snprintf(identifier->Description, sizeof(identifier->Description), "%s",
                adapters[adapter].description.c_str());
  return D3D_OK;
}

UINT CRecordingD3D::GetAdapterModeCount(UINT adapter) {
  return adapter < adapters.size() ? static_cast<UINT>(adapters[adapter].modes.size()) : 0;
}

HRESULT CRecordingD3D::EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* out) {
  if (adapter >= adapters.size() || mode >= adapters[adapter].modes.size() || out == nullptr)
    return D3DERR_INVALIDCALL;
  *out = adapters[adapter].modes[mode];
  return D3D_OK;
}

HRESULT CRecordingD3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) {
  if (fail_display_mode || adapter >= adapters.size() || out == nullptr) return D3DERR_INVALIDCALL;
  *out = adapters[adapter].current;
  return D3D_OK;
}

HRESULT CRecordingD3D::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT display_format, D3DFORMAT,
                                       BOOL windowed) {
  log.Add(Line("CheckDeviceType", {adapter, type, display_format, windowed}));
  if (adapter >= adapters.size()) return D3DERR_INVALIDCALL;
  const auto& formats =
      type == D3DDEVTYPE_REF ? adapters[adapter].ref_display_formats : adapters[adapter].hal_display_formats;
  return formats.count(display_format) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT CRecordingD3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format, DWORD usage,
                                         D3DRESOURCETYPE resource_type, D3DFORMAT check_format) {
  log.Add(Line("CheckDeviceFormat", {adapter, type, adapter_format, usage, resource_type, check_format}));
  if (adapter >= adapters.size()) return D3DERR_INVALIDCALL;
  const auto& formats =
      (usage & D3DUSAGE_DEPTHSTENCIL) ? adapters[adapter].depth_formats : adapters[adapter].texture_formats;
  return formats.count(check_format) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT CRecordingD3D::CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surface_format,
                                                  BOOL windowed, D3DMULTISAMPLE_TYPE samples) {
  log.Add(Line("CheckDeviceMultiSampleType", {adapter, type, surface_format, windowed, samples}));
  if (adapter >= adapters.size()) return D3DERR_INVALIDCALL;
  return samples <= adapters[adapter].max_multisample ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT CRecordingD3D::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE, D3DFORMAT, D3DFORMAT,
                                              D3DFORMAT depth_stencil_format) {
  if (adapter >= adapters.size()) return D3DERR_INVALIDCALL;
  return adapters[adapter].depth_formats.count(depth_stencil_format) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT CRecordingD3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) {
  if (adapter >= adapters.size() || caps == nullptr) return D3DERR_INVALIDCALL;
  *caps = type == D3DDEVTYPE_REF ? adapters[adapter].ref_caps : adapters[adapter].hal_caps;
  caps->AdapterOrdinal = adapter;
  return D3D_OK;
}

HRESULT CRecordingD3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND, DWORD behavior_flags,
                                    D3DPRESENT_PARAMETERS* params, IDirect3DDevice8** device) {
  if (params == nullptr || device == nullptr) return D3DERR_INVALIDCALL;
  log.Add(Line("CreateDevice", {adapter, type, behavior_flags, params->BackBufferWidth, params->BackBufferHeight,
                                params->BackBufferFormat, params->AutoDepthStencilFormat,
                                params->MultiSampleType, params->Windowed}));
  create_attempts.push_back(*params);
  *device = nullptr;
  if (adapter >= adapters.size()) return D3DERR_INVALIDCALL;
  if (create_failures > 0) {
    --create_failures;
    return D3DERR_NOTAVAILABLE;
  }
  if (create_fails_for_depth.count(params->AutoDepthStencilFormat) != 0 ||
      create_fails_for_back_buffer.count(params->BackBufferFormat) != 0 ||
      (create_fails_from_multisample != 0 && params->MultiSampleType >= create_fails_from_multisample))
    return D3DERR_NOTAVAILABLE;
  D3DCAPS8 caps{};
  GetDeviceCaps(adapter, type, &caps);
  devices.push_back(std::make_unique<CRecordingDevice>(this, adapter, type, behavior_flags, *params, caps));
  *device = devices.back().get();
  return D3D_OK;
}

}  // namespace vt_test
