#pragma once
// A recording stand-in for the Direct3D-8-shaped graphics interface. Tests script what the
// machine offers (adapters, display modes, capabilities, accepted formats), inject failures
// (device creation refused for some formats or multisample types, resets failing, a lost
// device) and afterwards read the call log and the state the device was left in.
//
// Objects are owned by the fake, never deleted by Release: a test can inspect a device after
// the code under test let go of it, and check that every reference was given back.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/d3d/d3d8.h"

namespace vt_test {

// One line per call, "Name(arg,arg,...)", numbers in decimal.
class CCallLog {
 public:
  void Add(std::string line) { m_Lines.push_back(std::move(line)); }
  void Clear() { m_Lines.clear(); }
  const std::vector<std::string>& Lines() const { return m_Lines; }
  // Lines equal to `line`.
  int Count(const std::string& line) const;
  // Lines that start with `prefix`.
  int CountPrefix(const std::string& prefix) const;
  bool Contains(const std::string& line) const { return Count(line) > 0; }
  // Index of the first line equal to `line` at or after `from`; -1 when none.
  int Find(const std::string& line, int from = 0) const;

 private:
  std::vector<std::string> m_Lines;
};

class CRecordingDevice;

// A surface with its own pixels (pitch = width * bytes per pixel of its format).
class CRecordingSurface : public IDirect3DSurface8 {
 public:
  CRecordingSurface(UINT width, UINT height, D3DFORMAT format, DWORD usage);

  ULONG AddRef() override { return ++m_RefCount; }
  ULONG Release() override { return m_RefCount > 0 ? --m_RefCount : 0; }
  HRESULT GetDevice(IDirect3DDevice8** device) override;
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect() override;

  ULONG RefCount() const { return m_RefCount; }
  std::vector<BYTE>& Pixels() { return m_Pixels; }
  INT Pitch() const { return m_Pitch; }
  bool fail_lock = false;
  bool locked = false;
  DWORD last_lock_flags = 0;

 private:
  ULONG m_RefCount = 1;
  D3DSURFACE_DESC m_Desc{};
  INT m_Pitch = 0;
  std::vector<BYTE> m_Pixels;
};

class CRecordingTexture : public IDirect3DTexture8 {
 public:
  CRecordingTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);

  ULONG AddRef() override { return ++m_RefCount; }
  ULONG Release() override { return m_RefCount > 0 ? --m_RefCount : 0; }
  HRESULT GetDevice(IDirect3DDevice8** device) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
  DWORD SetLOD(DWORD lod) override;
  DWORD GetLOD() override { return m_Lod; }
  DWORD GetLevelCount() override { return static_cast<DWORD>(m_Levels.size()); }
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) override;
  HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT level) override;

  ULONG RefCount() const { return m_RefCount; }
  D3DPOOL Pool() const { return m_Pool; }
  CRecordingSurface* Level(UINT level) { return m_Levels[level].get(); }

 private:
  ULONG m_RefCount = 1;
  DWORD m_Lod = 0;
  D3DPOOL m_Pool;
  std::vector<std::unique_ptr<CRecordingSurface>> m_Levels;
};

// A cube texture: six faces of levels, each level a surface with its own pixels.
class CRecordingCubeTexture : public IDirect3DCubeTexture8 {
 public:
  CRecordingCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);

  ULONG AddRef() override { return ++m_RefCount; }
  ULONG Release() override { return m_RefCount > 0 ? --m_RefCount : 0; }
  HRESULT GetDevice(IDirect3DDevice8** device) override { return D3DERR_INVALIDCALL; }
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
  DWORD SetLOD(DWORD lod) override;
  DWORD GetLOD() override { return m_Lod; }
  DWORD GetLevelCount() override { return m_LevelCount; }
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface8** surface) override;
  HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                   DWORD flags) override;
  HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) override;

  ULONG RefCount() const { return m_RefCount; }
  D3DPOOL Pool() const { return m_Pool; }
  // Null for a face or level the texture does not have.
  CRecordingSurface* Face(UINT face, UINT level);

 private:
  ULONG m_RefCount = 1;
  DWORD m_Lod = 0;
  D3DPOOL m_Pool;
  UINT m_LevelCount = 0;
  std::vector<std::unique_ptr<CRecordingSurface>> m_Faces;  // face-major
};

// A volume texture: only its level descriptions.
class CRecordingVolumeTexture : public IDirect3DVolumeTexture8 {
 public:
  CRecordingVolumeTexture(UINT width, UINT height, UINT depth, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool);

  ULONG AddRef() override { return ++m_RefCount; }
  ULONG Release() override { return m_RefCount > 0 ? --m_RefCount : 0; }
  HRESULT GetDevice(IDirect3DDevice8** device) override { return D3DERR_INVALIDCALL; }
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_VOLUMETEXTURE; }
  DWORD SetLOD(DWORD lod) override;
  DWORD GetLOD() override { return m_Lod; }
  DWORD GetLevelCount() override { return static_cast<DWORD>(m_Levels.size()); }
  HRESULT GetLevelDesc(UINT level, D3DVOLUME_DESC* desc) override;

  ULONG RefCount() const { return m_RefCount; }
  D3DPOOL Pool() const { return m_Pool; }

 private:
  ULONG m_RefCount = 1;
  DWORD m_Lod = 0;
  D3DPOOL m_Pool;
  std::vector<D3DVOLUME_DESC> m_Levels;
};

// A vertex or index buffer over plain memory.
template <class Interface, class Desc>
class CRecordingBuffer : public Interface {
 public:
  explicit CRecordingBuffer(const Desc& desc, D3DRESOURCETYPE type)
      : m_Desc(desc), m_Type(type), m_Bytes(desc.Size) {}

  ULONG AddRef() override { return ++m_RefCount; }
  ULONG Release() override { return m_RefCount > 0 ? --m_RefCount : 0; }
  HRESULT GetDevice(IDirect3DDevice8** device) override { return D3DERR_INVALIDCALL; }
  D3DRESOURCETYPE GetType() override { return m_Type; }
  HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override {
    if (fail_lock || data == nullptr || offset > m_Bytes.size()) return D3DERR_INVALIDCALL;
    if (size != 0 && size > m_Bytes.size() - offset) return D3DERR_INVALIDCALL;
    *data = m_Bytes.data() + offset;
    last_lock_flags = flags;
    ++lock_count;
    return D3D_OK;
  }
  HRESULT Unlock() override { return D3D_OK; }
  HRESULT GetDesc(Desc* desc) override {
    if (desc == nullptr) return D3DERR_INVALIDCALL;
    *desc = m_Desc;
    return D3D_OK;
  }

  ULONG RefCount() const { return m_RefCount; }
  std::vector<BYTE>& Bytes() { return m_Bytes; }
  DWORD last_lock_flags = 0;
  int lock_count = 0;
  bool fail_lock = false;

 private:
  ULONG m_RefCount = 1;
  Desc m_Desc;
  D3DRESOURCETYPE m_Type;
  std::vector<BYTE> m_Bytes;
};

using CRecordingVertexBuffer = CRecordingBuffer<IDirect3DVertexBuffer8, D3DVERTEXBUFFER_DESC>;
using CRecordingIndexBuffer = CRecordingBuffer<IDirect3DIndexBuffer8, D3DINDEXBUFFER_DESC>;

class CRecordingD3D;

// The device: every call is logged; state calls are also kept so a test can read what the
// device was left with.
class CRecordingDevice : public IDirect3DDevice8 {
 public:
  CRecordingDevice(CRecordingD3D* owner, UINT adapter, D3DDEVTYPE type, DWORD behavior,
                   const D3DPRESENT_PARAMETERS& params, const D3DCAPS8& caps);

  ULONG AddRef() override { return ++m_RefCount; }
  ULONG Release() override;

  HRESULT TestCooperativeLevel() override;
  HRESULT GetDirect3D(IDirect3D8** d3d) override;
  HRESULT GetDeviceCaps(D3DCAPS8* caps) override;
  HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) override;
  HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
  HRESULT Present(const RECT* source, const RECT* dest, HWND override_window, const void* dirty) override;
  HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** surface) override;
  void SetGammaRamp(DWORD flags, const D3DGAMMARAMP* ramp) override;
  void GetGammaRamp(D3DGAMMARAMP* ramp) override;

  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                        IDirect3DTexture8** texture) override;
  HRESULT CreateVolumeTexture(UINT width, UINT height, UINT depth, UINT levels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, IDirect3DVolumeTexture8** texture) override;
  HRESULT CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DCubeTexture8** texture) override;
  HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             IDirect3DVertexBuffer8** buffer) override;
  HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DIndexBuffer8** buffer) override;
  HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) override;
  HRESULT CopyRects(IDirect3DSurface8* source, const RECT* source_rects, UINT rect_count, IDirect3DSurface8* dest,
                    const POINT* dest_points) override;

  HRESULT SetRenderTarget(IDirect3DSurface8* target, IDirect3DSurface8* depth_stencil) override;
  HRESULT GetRenderTarget(IDirect3DSurface8** target) override;
  HRESULT GetDepthStencilSurface(IDirect3DSurface8** depth_stencil) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Clear(DWORD rect_count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                DWORD stencil) override;

  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
  HRESULT SetViewport(const D3DVIEWPORT8* viewport) override;
  HRESULT GetViewport(D3DVIEWPORT8* viewport) override;
  HRESULT SetMaterial(const D3DMATERIAL8* material) override;
  HRESULT GetMaterial(D3DMATERIAL8* material) override;
  HRESULT SetLight(DWORD index, const D3DLIGHT8* light) override;
  HRESULT GetLight(DWORD index, D3DLIGHT8* light) override;
  HRESULT LightEnable(DWORD index, BOOL enable) override;
  HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
  HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override;
  HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) override;
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
  HRESULT SetPaletteEntries(UINT palette, const PALETTEENTRY* entries) override;
  HRESULT SetCurrentTexturePalette(UINT palette) override;
  HRESULT GetCurrentTexturePalette(UINT* palette) override;

  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT start_vertex, UINT primitive_count) override;
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT min_index, UINT vertex_count, UINT start_index,
                               UINT primitive_count) override;
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitive_count, const void* vertices, UINT stride) override;
  HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT min_index, UINT vertex_count, UINT primitive_count,
                                 const void* indices, D3DFORMAT index_format, const void* vertices,
                                 UINT stride) override;
  HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) override;
  HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer8** buffer, UINT* stride) override;
  HRESULT SetIndices(IDirect3DIndexBuffer8* buffer, UINT base_vertex_index) override;
  HRESULT GetIndices(IDirect3DIndexBuffer8** buffer, UINT* base_vertex_index) override;

  HRESULT CreateVertexShader(const DWORD* declaration, const DWORD* function, DWORD* handle, DWORD usage) override;
  HRESULT SetVertexShader(DWORD handle) override;
  HRESULT GetVertexShader(DWORD* handle) override;
  HRESULT DeleteVertexShader(DWORD handle) override;
  HRESULT SetVertexShaderConstant(DWORD first_register, const void* data, DWORD register_count) override;
  HRESULT CreatePixelShader(const DWORD* function, DWORD* handle) override;
  HRESULT SetPixelShader(DWORD handle) override;
  HRESULT GetPixelShader(DWORD* handle) override;
  HRESULT DeletePixelShader(DWORD handle) override;
  HRESULT SetPixelShaderConstant(DWORD first_register, const void* data, DWORD register_count) override;

  // --- what a test reads ---
  ULONG RefCount() const { return m_RefCount; }
  UINT adapter;
  D3DDEVTYPE type;
  DWORD behavior;
  D3DPRESENT_PARAMETERS params;  // of the creation or the last successful reset
  D3DCAPS8 caps;
  std::map<DWORD, DWORD> render_states;
  std::map<std::pair<DWORD, DWORD>, DWORD> stage_states;  // (stage, type) -> value
  std::map<DWORD, D3DMATRIX> transforms;
  std::map<DWORD, D3DLIGHT8> lights;
  std::map<DWORD, BOOL> light_enabled;
  std::map<DWORD, IDirect3DBaseTexture8*> textures;
  D3DMATERIAL8 material{};
  D3DVIEWPORT8 viewport{};
  UINT current_palette = 0;
  bool gamma_set = false;
  D3DGAMMARAMP gamma{};
  int gamma_set_count = 0;
  int present_count = 0;
  int reset_count = 0;  // attempts, successful or not
  bool in_scene = false;
  CRecordingSurface* BackBuffer() { return m_BackBuffer.get(); }
  CRecordingSurface* DepthStencil() { return m_DepthStencil.get(); }
  IDirect3DSurface8* CurrentRenderTarget() { return m_RenderTarget; }
  // Created resources, kept for inspection.
  std::vector<std::unique_ptr<CRecordingTexture>> created_textures;
  std::vector<std::unique_ptr<CRecordingCubeTexture>> created_cube_textures;
  std::vector<std::unique_ptr<CRecordingVolumeTexture>> created_volume_textures;
  std::vector<std::unique_ptr<CRecordingSurface>> created_surfaces;
  std::vector<std::unique_ptr<CRecordingVertexBuffer>> created_vertex_buffers;
  std::vector<std::unique_ptr<CRecordingIndexBuffer>> created_index_buffers;

  // --- scripted behaviour ---
  // Answer of TestCooperativeLevel (and of Present when it is D3DERR_DEVICELOST).
  HRESULT cooperative_level = D3D_OK;
  // Answers the following TestCooperativeLevel calls one by one before falling back to
  // cooperative_level.
  std::vector<HRESULT> cooperative_script;
  // Reset fails for this many more attempts.
  int reset_failures = 0;
  // Reset fails whenever the back buffer format is in this set.
  std::set<D3DFORMAT> reset_fails_for_format;
  bool fail_get_caps = false;
  bool fail_begin_scene = false;
  bool fail_get_back_buffer = false;
  bool fail_set_render_target = false;
  bool fail_draw_primitive_up = false;
  // CreateVertexShader hands out handles (odd numbers from 0x10001) instead of refusing.
  bool accept_vertex_shaders = false;
  // Every SetVertexShaderConstant call: its registers' values and its place in the call log.
  struct ShaderConstants {
    DWORD first_register;
    std::vector<float> values;  // 4 per register
    size_t log_line;
  };
  std::vector<ShaderConstants> vertex_constants;

 private:
  void MakeSurfaces();
  CRecordingD3D* m_pOwner;
  ULONG m_RefCount = 1;
  std::unique_ptr<CRecordingSurface> m_BackBuffer;
  std::unique_ptr<CRecordingSurface> m_DepthStencil;
  std::vector<std::unique_ptr<CRecordingSurface>> m_OldSurfaces;  // from before a reset
  IDirect3DSurface8* m_RenderTarget = nullptr;
  IDirect3DSurface8* m_DepthTarget = nullptr;
  DWORD m_NextVertexShader = 0x10001;
};

// What one adapter offers.
struct CFakeAdapter {
  std::string driver = "fake_driver";
  std::string description = "Fake Adapter";
  D3DDISPLAYMODE current{1024, 768, 60, D3DFMT_X8R8G8B8};
  std::vector<D3DDISPLAYMODE> modes;
  D3DCAPS8 hal_caps{};
  D3DCAPS8 ref_caps{};
  // Formats CheckDeviceType accepts as display format, per device type.
  std::set<D3DFORMAT> hal_display_formats;
  std::set<D3DFORMAT> ref_display_formats;
  // Formats CheckDeviceFormat accepts with D3DUSAGE_DEPTHSTENCIL, and as textures.
  std::set<D3DFORMAT> depth_formats;
  std::set<D3DFORMAT> texture_formats;
  // Highest multisample type CheckDeviceMultiSampleType accepts.
  DWORD max_multisample = 0;
};

// The Direct3D object of the fake.
class CRecordingD3D : public IDirect3D8 {
 public:
  CRecordingD3D() = default;
  ~CRecordingD3D();

  // A machine with one adapter: HAL and REF devices that render windowed with hardware
  // transform, desktop X8R8G8B8 at 1024x768, the usual 16- and 32-bit modes from 640x480 to
  // 1600x1200, every depth format and the texture formats the renderer asks about.
  static CRecordingD3D* MakeStandard();
  static CFakeAdapter StandardAdapter();

  // Makes Direct3DCreate8 of the code under test hand out this object (null: none is made).
  static void Install(CRecordingD3D* d3d);
  static IDirect3D8* Create(UINT sdk_version);

  ULONG AddRef() override { return ++m_RefCount; }
  ULONG Release() override { return m_RefCount > 0 ? --m_RefCount : 0; }
  UINT GetAdapterCount() override;
  HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* identifier) override;
  UINT GetAdapterModeCount(UINT adapter) override;
  HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* out) override;
  HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) override;
  HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT display_format, D3DFORMAT back_buffer_format,
                          BOOL windowed) override;
  HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format, DWORD usage,
                            D3DRESOURCETYPE resource_type, D3DFORMAT check_format) override;
  HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surface_format, BOOL windowed,
                                     D3DMULTISAMPLE_TYPE samples) override;
  HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format,
                                 D3DFORMAT render_target_format, D3DFORMAT depth_stencil_format) override;
  HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) override;
  HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus_window, DWORD behavior_flags,
                       D3DPRESENT_PARAMETERS* params, IDirect3DDevice8** device) override;

  ULONG RefCount() const { return m_RefCount; }
  // The most recent device created (null when none).
  CRecordingDevice* LastDevice() { return devices.empty() ? nullptr : devices.back().get(); }

  std::vector<CFakeAdapter> adapters;
  CCallLog log;  // shared by this object and its devices
  std::vector<std::unique_ptr<CRecordingDevice>> devices;
  std::vector<D3DPRESENT_PARAMETERS> create_attempts;

  // --- injected failures ---
  bool fail_display_mode = false;
  // CreateDevice fails when the depth format, or the back buffer format, is in these sets, or
  // when the multisample type is at least fail_multisample_from (0: never).
  std::set<D3DFORMAT> create_fails_for_depth;
  std::set<D3DFORMAT> create_fails_for_back_buffer;
  DWORD create_fails_from_multisample = 0;
  // CreateDevice fails for this many more attempts.
  int create_failures = 0;
  // Reset fails on every device when the back buffer format is in this set.
  std::set<D3DFORMAT> reset_fails_for_format;

 private:
  ULONG m_RefCount = 1;
};

}  // namespace vt_test
