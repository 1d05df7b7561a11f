#pragma once
// The device: an OpenGL compatibility context on the application's window. It draws into a
// framebuffer object the size of the back buffer and shows it in the window at Present, through
// the gamma ramp.
#include <SDL2/SDL.h>

#include <vector>

#include "platform/d3d/d3d8.h"
#include "platform/d3d/gl_device_state.h"
#include "platform/d3d/gl_draw_state_log.h"
#include "platform/d3d/gl_fixed_function.h"
#include "platform/d3d/gl_frame_buffer.h"
#include "platform/d3d/gl_pixel_format.h"
#include "platform/d3d/gl_presenter.h"
#include "platform/d3d/gl_vertex_layout.h"

class GLDirect3D;
class GLResource;
class GLSurface;

class GLDevice final : public IDirect3DDevice8 {
 public:
  // Null (with the reason in *result) when the window or parameters cannot be used or OpenGL
  // lacks what the device needs.
  static GLDevice* Create(GLDirect3D* d3d, HWND focus_window, D3DPRESENT_PARAMETERS* params, HRESULT* result);

  ULONG AddRef() override { return ++refs_; }
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

  // For the objects the device made.
  void TrackResource(GLResource* resource);
  void UntrackResource(GLResource* resource);
  void TextureBindingDisturbed() { fixed_.Disturbed(GLFixedFunction::kTextures); }
  UINT MaxTextureSize() const { return max_texture_size_; }
  D3DSURFACE_DESC DescribeSurface(bool back_buffer) const;
  bool ReadBackBuffer(std::vector<BYTE>* pixels);
  bool WriteBackBuffer(const BYTE* pixels);

  bool BackBufferInWindow() const { return direct_; }
  // While on, draws do all but write pixels (see D3D8_SetStateWarmUp).
  void SetWarmingUp(bool on) { warming_up_ = on; }
  GLDrawStateLog& DrawStates() { return draw_states_; }
  // Tells this device from every other one the program made (see D3D8_DeviceSerial).
  UINT Serial() const { return serial_; }
  // The back buffer as the window shows it (through the gamma ramp), 0xAARRGGBB, top row first.
  bool ReadPresentedPixels(std::vector<DWORD>* pixels, UINT* width, UINT* height);

 private:
  void MakeCurrent();
  GLDevice(GLDirect3D* d3d, SDL_Window* window);
  ~GLDevice();
  bool Init(D3DPRESENT_PARAMETERS* params, HRESULT* result);
  bool ApplyPresentParameters(const D3DPRESENT_PARAMETERS& params);
  void ResetState();
  void ReleaseBindings();
  bool ResetBlocked() const;
  void BindCurrentTarget();
  HRESULT DrawArrays(D3DPRIMITIVETYPE type, UINT primitive_count, const BYTE* vertices, UINT first_vertex,
                     UINT vertex_count, UINT stride, const void* indices, UINT index_bytes);
  bool LayoutForDraw(UINT stride, GLVertexLayout* layout) const;
  UINT TargetWidth() const;
  UINT TargetHeight() const;
  GLDrawStateLog::Target DrawTarget() const;

  // The back buffer lives either in the framebuffer object or, when the window can hold it
  // unchanged (same size, an identity gamma ramp, matching colour and depth buffers, the plain
  // back buffer as target), straight in the window, which saves the copy at Present.
  void ReadWindowBits();
  // Full screen or not, and the picture's size for the window's mapping of the mouse.
  void ShowInWindow(const D3DPRESENT_PARAMETERS& params);
  bool WindowCanHoldBackBuffer() const;
  void MoveBackBufferToWindow();
  void MoveBackBufferToFramebuffer();
  void CopyBackBuffer(GLuint from, GLuint to);
  bool ReadWindowPixels(const GLPixelFormat& format, std::vector<BYTE>* out) const;

  ULONG refs_ = 1;
  GLDirect3D* d3d_;
  SDL_Window* window_;
  SDL_GLContext context_ = nullptr;
  D3DPRESENT_PARAMETERS params_ = {};
  UINT max_texture_size_ = 0;
  int texture_units_ = 0;
  GLuint white_texture_ = 0;

  GLFrameBuffer back_buffer_;
  GLPresenter presenter_;
  GLFixedFunction fixed_;
  GLDeviceState state_;
  GLSurface* back_buffer_surface_ = nullptr;
  GLSurface* depth_surface_ = nullptr;
  GLSurface* render_target_ = nullptr;  // the current target (holds a reference)
  GLSurface* depth_target_ = nullptr;   // the current depth buffer or null (holds a reference)
  GLuint target_fbo_ = 0;               // framebuffer for texture render targets
  std::vector<GLResource*> resources_;
  bool in_scene_ = false;
  bool needs_reset_ = false;  // a Reset failed; the device waits for a successful one
  GLVertexLayout layout_;
  DWORD layout_fvf_ = 0xFFFFFFFFu;
  bool layout_valid_ = false;
  bool direct_ = false;  // the back buffer is the window's own framebuffer
  bool warming_up_ = false;
  UINT serial_ = 0;
  GLDrawStateLog draw_states_;
  bool frame_needed_framebuffer_ = false;
  struct WindowBits {
    GLint red = 0, green = 0, blue = 0, alpha = 0, depth = 0, stencil = 0;
  } window_bits_;
};
