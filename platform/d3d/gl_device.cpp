#include "platform/d3d/gl_device.h"

#include <algorithm>
#include <cstring>

#include "platform/d3d/d3d8_test_hooks.h"
#include "platform/d3d/gl_direct3d.h"
#include "platform/d3d/gl_index_buffer.h"
#include "platform/d3d/gl_surface.h"
#include "platform/d3d/gl_texture.h"
#include "platform/d3d/gl_vertex_buffer.h"

namespace {

struct PrimitiveShape {
  GLenum mode;
  UINT vertices;
};

// The OpenGL mode and the vertex count of `count` primitives; vertices 0 for an unknown type.
PrimitiveShape ShapeOf(D3DPRIMITIVETYPE type, UINT count) {
  switch (type) {
    case D3DPT_POINTLIST: return {GL_POINTS, count};
    case D3DPT_LINELIST: return {GL_LINES, count * 2};
    case D3DPT_LINESTRIP: return {GL_LINE_STRIP, count + 1};
    case D3DPT_TRIANGLELIST: return {GL_TRIANGLES, count * 3};
    case D3DPT_TRIANGLESTRIP: return {GL_TRIANGLE_STRIP, count + 2};
    case D3DPT_TRIANGLEFAN: return {GL_TRIANGLE_FAN, count + 2};
  }
  return {GL_POINTS, 0};
}

bool GLVersionAtLeast(int major, int minor) {
  GLint have_major = 0;
  GLint have_minor = 0;
  glGetIntegerv(GL_MAJOR_VERSION, &have_major);
  glGetIntegerv(GL_MINOR_VERSION, &have_minor);
  return have_major > major || (have_major == major && have_minor >= minor);
}

// Largest index of `count` indices of `bytes` each.
UINT MaxIndex(const void* indices, UINT count, UINT bytes) {
  UINT highest = 0;
  if (bytes == 4) {
    const auto* p = static_cast<const uint32_t*>(indices);
    for (UINT i = 0; i < count; ++i) highest = std::max<UINT>(highest, p[i]);
  } else {
    const auto* p = static_cast<const uint16_t*>(indices);
    for (UINT i = 0; i < count; ++i) highest = std::max<UINT>(highest, p[i]);
  }
  return highest;
}

}  // namespace

GLDevice::GLDevice(GLDirect3D* d3d, SDL_Window* window) : d3d_(d3d), window_(window) { d3d_->AddRef(); }

GLDevice* GLDevice::Create(GLDirect3D* d3d, HWND focus_window, D3DPRESENT_PARAMETERS* params, HRESULT* result) {
  *result = D3DERR_INVALIDCALL;
  SDL_Window* window = params->hDeviceWindow ? params->hDeviceWindow : focus_window;
  if (!window || (SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL) == 0) return nullptr;
  GLDevice* device = new GLDevice(d3d, window);
  if (!device->Init(params, result)) {
    device->Release();
    return nullptr;
  }
  static UINT last_serial = 0;
  device->serial_ = ++last_serial;
  device->draw_states_.SetCounting(GLDrawStateLog::CountingNewDevices());
  *result = D3D_OK;
  return device;
}

bool GLDevice::Init(D3DPRESENT_PARAMETERS* params, HRESULT* result) {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  context_ = SDL_GL_CreateContext(window_);
  *result = D3DERR_NOTAVAILABLE;
  if (!context_ || SDL_GL_MakeCurrent(window_, context_) != 0) return false;
  // Framebuffer objects, sampler objects and the first-vertex convention all come with 3.3.
  if (!GLVersionAtLeast(3, 3)) return false;
  GLint units = 0;
  glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
  GLint max_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  if (units < GLDirect3D::kTextureStages || max_size < static_cast<GLint>(GLDirect3D::kMaxTextureSize)) return false;
  texture_units_ = GLDirect3D::kTextureStages;
  max_texture_size_ = GLDirect3D::kMaxTextureSize;

  glGenTextures(1, &white_texture_);
  glBindTexture(GL_TEXTURE_2D, white_texture_);
  const BYTE white[4] = {255, 255, 255, 255};
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
  glBindTexture(GL_TEXTURE_2D, 0);
  glGenFramebuffers(1, &target_fbo_);
  if (!presenter_.Init()) return false;

  *result = D3DERR_INVALIDCALL;
  if (!ApplyPresentParameters(*params)) return false;
  *params = params_;
  back_buffer_surface_ = GLSurface::CreateBackBuffer(this);
  depth_surface_ = GLSurface::CreateDepthStencil(this);
  fixed_.Init(texture_units_, white_texture_);
  ReadWindowBits();
  ResetState();
  if (WindowCanHoldBackBuffer()) MoveBackBufferToWindow();
  return true;
}

// Another window's work (a splash painted through its window surface, a window destroyed)
// can leave another context current, or none: the device's own is made current again.
void GLDevice::MakeCurrent() {
  if (context_ && (SDL_GL_GetCurrentContext() != context_ || SDL_GL_GetCurrentWindow() != window_)) {
    SDL_GL_MakeCurrent(window_, context_);
  }
}

GLDevice::~GLDevice() {
  if (context_) SDL_GL_MakeCurrent(window_, context_);
  ReleaseBindings();
  if (back_buffer_surface_) back_buffer_surface_->Release();
  if (depth_surface_) depth_surface_->Release();
  for (GLResource* resource : resources_) {
    resource->DetachFromContext();
    resource->Orphan();
  }
  resources_.clear();
  if (context_) {
    fixed_.Term();
    presenter_.Term();
    back_buffer_.Destroy();
    if (target_fbo_) glDeleteFramebuffers(1, &target_fbo_);
    if (white_texture_) glDeleteTextures(1, &white_texture_);
    SDL_GL_DeleteContext(context_);
  }
  d3d_->Release();
}

ULONG GLDevice::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

void GLDevice::TrackResource(GLResource* resource) { resources_.push_back(resource); }

void GLDevice::UntrackResource(GLResource* resource) {
  const auto it = std::find(resources_.begin(), resources_.end(), resource);
  if (it != resources_.end()) resources_.erase(it);
}

bool GLDevice::ApplyPresentParameters(const D3DPRESENT_PARAMETERS& requested) {
  D3DPRESENT_PARAMETERS params = requested;
  if (params.MultiSampleType != D3DMULTISAMPLE_NONE) return false;
  if (params.Windowed && params.BackBufferFormat == D3DFMT_UNKNOWN) params.BackBufferFormat = D3DFMT_X8R8G8B8;
  if (params.Windowed && (params.BackBufferWidth == 0 || params.BackBufferHeight == 0)) {
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    if (params.BackBufferWidth == 0) params.BackBufferWidth = static_cast<UINT>(std::max(w, 1));
    if (params.BackBufferHeight == 0) params.BackBufferHeight = static_cast<UINT>(std::max(h, 1));
  }
  if (params.BackBufferCount == 0) params.BackBufferCount = 1;
  const D3DFORMAT depth = params.EnableAutoDepthStencil ? params.AutoDepthStencilFormat : D3DFMT_UNKNOWN;
  if (params.EnableAutoDepthStencil && !GLFrameBuffer::IsDepthFormatSupported(depth)) return false;
  if (!GLFrameBuffer::IsColorFormatSupported(params.BackBufferFormat)) return false;
  if (!back_buffer_.Create(params.BackBufferWidth, params.BackBufferHeight, params.BackBufferFormat, depth)) {
    return false;
  }
  params_ = params;
  ShowInWindow(params);
  const bool synced = !params.Windowed && params.FullScreen_PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE;
  SDL_GL_SetSwapInterval(synced ? 1 : 0);
  return true;
}

void GLDevice::ResetState() {
  state_.SetDefaults(params_.BackBufferWidth, params_.BackBufferHeight, params_.EnableAutoDepthStencil != 0);
  render_target_ = back_buffer_surface_;
  render_target_->AddRef();
  depth_target_ = params_.EnableAutoDepthStencil ? depth_surface_ : nullptr;
  if (depth_target_) depth_target_->AddRef();
  in_scene_ = false;
  // The vertex format is back at its default: the next SetVertexShader parses its own again.
  layout_fvf_ = 0xFFFFFFFFu;
  layout_valid_ = false;
  BindCurrentTarget();
  fixed_.MarkDirty(GLFixedFunction::kAll);
}

void GLDevice::ReleaseBindings() {
  for (GLSampledTexture*& texture : state_.textures) {
    if (texture) texture->BaseInterface()->Release();
    texture = nullptr;
  }
  for (GLDeviceState::Stream& stream : state_.streams) {
    if (stream.buffer) stream.buffer->Release();
    stream = GLDeviceState::Stream();
  }
  if (state_.indices) state_.indices->Release();
  state_.indices = nullptr;
  if (render_target_) render_target_->Release();
  render_target_ = nullptr;
  if (depth_target_) depth_target_->Release();
  depth_target_ = nullptr;
}

// As with any Direct3D device, a reset needs every video-memory object and every outside
// reference to the back and depth buffers released first.
bool GLDevice::ResetBlocked() const {
  for (const GLResource* resource : resources_) {
    if (resource->BlocksReset()) return true;
  }
  return back_buffer_surface_->RefCount() > 1 || depth_surface_->RefCount() > 1;
}

UINT GLDevice::TargetWidth() const {
  if (render_target_ && render_target_->SurfaceKind() == GLSurface::Kind::kTextureLevel) {
    return render_target_->Texture()->LevelWidth(render_target_->Level());
  }
  return back_buffer_.Width();
}

UINT GLDevice::TargetHeight() const {
  if (render_target_ && render_target_->SurfaceKind() == GLSurface::Kind::kTextureLevel) {
    return render_target_->Texture()->LevelHeight(render_target_->Level());
  }
  return back_buffer_.Height();
}

GLDrawStateLog::Target GLDevice::DrawTarget() const {
  GLDrawStateLog::Target target;
  target.window = direct_;
  const bool texture = render_target_ && render_target_->SurfaceKind() == GLSurface::Kind::kTextureLevel;
  target.format = texture ? render_target_->Texture()->Format() : params_.BackBufferFormat;
  target.depth = depth_target_ != nullptr;
  return target;
}

void GLDevice::BindCurrentTarget() {
  if (direct_) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return;
  }
  const bool back_buffer = !render_target_ || render_target_ == back_buffer_surface_;
  if (back_buffer && depth_target_ == (params_.EnableAutoDepthStencil ? depth_surface_ : nullptr)) {
    glBindFramebuffer(GL_FRAMEBUFFER, back_buffer_.Framebuffer());
    return;
  }
  glBindFramebuffer(GL_FRAMEBUFFER, target_fbo_);
  if (back_buffer) {
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, back_buffer_.ColorTexture(), 0);
  } else {
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, render_target_->Texture()->Name(),
                           static_cast<GLint>(render_target_->Level()));
  }
  const GLuint depth = depth_target_ ? back_buffer_.DepthBuffer() : 0;
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, back_buffer_.HasStencil() ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                            GL_RENDERBUFFER, depth);
}

// ---- Device, presentation, loss ---------------------------------------------------------------

HRESULT GLDevice::TestCooperativeLevel() {
  const HRESULT injected = D3D8Test_InjectedCooperativeLevel();
  if (injected != D3D_OK) return injected;
  return needs_reset_ ? D3DERR_DEVICENOTRESET : D3D_OK;
}

HRESULT GLDevice::GetDirect3D(IDirect3D8** d3d) {
  if (!d3d) return D3DERR_INVALIDCALL;
  d3d_->AddRef();
  *d3d = d3d_;
  return D3D_OK;
}

HRESULT GLDevice::GetDeviceCaps(D3DCAPS8* caps) {
  if (!caps) return D3DERR_INVALIDCALL;
  GLDirect3D::FillCaps(caps);
  return D3D_OK;
}

HRESULT GLDevice::GetDisplayMode(D3DDISPLAYMODE* mode) {
  if (!mode) return D3DERR_INVALIDCALL;
  if (params_.Windowed) return d3d_->GetAdapterDisplayMode(0, mode);
  *mode = {params_.BackBufferWidth, params_.BackBufferHeight, 60, params_.BackBufferFormat};
  return D3D_OK;
}

HRESULT GLDevice::Reset(D3DPRESENT_PARAMETERS* params) {
  if (!params) return D3DERR_INVALIDCALL;
  if (D3D8Test_InjectedCooperativeLevel() == D3DERR_DEVICELOST) return D3DERR_DEVICELOST;
  SDL_GL_MakeCurrent(window_, context_);
  direct_ = false;  // the back buffer is made anew
  fixed_.SetRowsBottomUp(false);
  ReleaseBindings();
  if (ResetBlocked() || !ApplyPresentParameters(*params)) {
    needs_reset_ = true;
    render_target_ = back_buffer_surface_;
    render_target_->AddRef();
    return D3DERR_INVALIDCALL;
  }
  *params = params_;
  ResetState();
  if (WindowCanHoldBackBuffer()) MoveBackBufferToWindow();
  needs_reset_ = false;
  if (D3D8Test_InjectedCooperativeLevel() == D3DERR_DEVICENOTRESET) D3D8Test_InjectCooperativeLevel(D3D_OK);
  return D3D_OK;
}

HRESULT GLDevice::Present(const RECT* source, const RECT* dest, HWND override_window, const void* dirty) {
  MakeCurrent();
  if (D3D8Test_InjectedCooperativeLevel() != D3D_OK || needs_reset_) return D3DERR_DEVICELOST;
  // A window that changed size since the frame began can no longer hold the back buffer.
  if (direct_ && !WindowCanHoldBackBuffer()) MoveBackBufferToFramebuffer();
  if (direct_) {
    frame_needed_framebuffer_ = false;
    SDL_GL_SwapWindow(window_);
    return D3D_OK;
  }
  int width = 0;
  int height = 0;
  SDL_GL_GetDrawableSize(window_, &width, &height);
  if (width > 0 && height > 0) {
    presenter_.Draw(back_buffer_.Framebuffer(), back_buffer_.ColorTexture(), back_buffer_.Width(),
                    back_buffer_.Height(), 0, static_cast<UINT>(width), static_cast<UINT>(height), true);
    SDL_GL_SwapWindow(window_);
  }
  fixed_.MarkDirty(GLFixedFunction::kAll);
  // A frame that needed the framebuffer object (another target, a written back buffer) will
  // likely need it again: the window holds the back buffer only from frames that did not.
  const bool window_next = WindowCanHoldBackBuffer() && !frame_needed_framebuffer_;
  frame_needed_framebuffer_ = false;
  if (window_next) {
    MoveBackBufferToWindow();
  } else {
    BindCurrentTarget();
  }
  return D3D_OK;
}

HRESULT GLDevice::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** surface) {
  if (!surface || index >= params_.BackBufferCount || type != D3DBACKBUFFER_TYPE_MONO) return D3DERR_INVALIDCALL;
  back_buffer_surface_->AddRef();
  *surface = back_buffer_surface_;
  return D3D_OK;
}

void GLDevice::SetGammaRamp(DWORD flags, const D3DGAMMARAMP* ramp) {
  if (!ramp) return;
  presenter_.SetRamp(*ramp);
  fixed_.Disturbed(GLFixedFunction::kTextures);  // the ramp's upload moved a texture binding
  // Only the copy at Present applies a ramp.
  if (!presenter_.RampIsIdentity()) MoveBackBufferToFramebuffer();
}

void GLDevice::GetGammaRamp(D3DGAMMARAMP* ramp) {
  if (ramp) *ramp = presenter_.Ramp();
}

bool GLDevice::ReadPresentedPixels(std::vector<DWORD>* pixels, UINT* width, UINT* height) {
  if (!pixels || !width || !height) return false;
  if (direct_) {  // the ramp is the identity: the window shows the back buffer as it is
    std::vector<BYTE> bytes;
    ReadWindowPixels(*FindGLPixelFormat(D3DFMT_A8R8G8B8), &bytes);
    BindCurrentTarget();
    *width = back_buffer_.Width();
    *height = back_buffer_.Height();
    pixels->resize(bytes.size() / 4);
    std::memcpy(pixels->data(), bytes.data(), pixels->size() * 4);
    for (DWORD& p : *pixels) p |= 0xFF000000u;
    return true;
  }
  GLFrameBuffer scratch;
  if (!scratch.Create(back_buffer_.Width(), back_buffer_.Height(), D3DFMT_A8R8G8B8, D3DFMT_UNKNOWN)) return false;
  presenter_.Draw(back_buffer_.Framebuffer(), back_buffer_.ColorTexture(), back_buffer_.Width(),
                  back_buffer_.Height(), scratch.Framebuffer(), scratch.Width(), scratch.Height(), false);
  std::vector<BYTE> bytes;
  const bool ok = scratch.ReadPixels(&bytes);
  scratch.Destroy();
  fixed_.MarkDirty(GLFixedFunction::kAll);
  BindCurrentTarget();
  if (!ok) return false;
  *width = back_buffer_.Width();
  *height = back_buffer_.Height();
  pixels->resize(bytes.size() / 4);
  std::memcpy(pixels->data(), bytes.data(), pixels->size() * 4);
  for (DWORD& p : *pixels) p |= 0xFF000000u;
  return true;
}

D3DSURFACE_DESC GLDevice::DescribeSurface(bool back_buffer) const {
  D3DSURFACE_DESC desc = {};
  desc.Type = D3DRTYPE_SURFACE;
  desc.Pool = D3DPOOL_DEFAULT;
  desc.MultiSampleType = D3DMULTISAMPLE_NONE;
  desc.Width = back_buffer_.Width();
  desc.Height = back_buffer_.Height();
  if (back_buffer) {
    desc.Format = back_buffer_.ColorFormat();
    desc.Usage = D3DUSAGE_RENDERTARGET;
  } else {
    desc.Format = back_buffer_.DepthFormat();
    desc.Usage = D3DUSAGE_DEPTHSTENCIL;
  }
  const GLPixelFormat* pf = FindGLPixelFormat(desc.Format);
  desc.Size = pf ? GLImageBytes(*pf, desc.Width, desc.Height) : desc.Width * desc.Height * 4;
  return desc;
}

bool GLDevice::ReadBackBuffer(std::vector<BYTE>* pixels) {
  if (!direct_) return back_buffer_.ReadPixels(pixels);
  const GLPixelFormat* pf = FindGLPixelFormat(back_buffer_.ColorFormat());
  if (!pf || !pixels) return false;
  const bool ok = ReadWindowPixels(*pf, pixels);
  BindCurrentTarget();
  return ok;
}

bool GLDevice::WriteBackBuffer(const BYTE* pixels) {
  frame_needed_framebuffer_ = true;
  MoveBackBufferToFramebuffer();
  const bool ok = back_buffer_.WritePixels(pixels);
  fixed_.Disturbed(GLFixedFunction::kTextures);
  return ok;
}

// ---- Resources ---------------------------------------------------------------------------------

HRESULT GLDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                IDirect3DTexture8** texture) {
  MakeCurrent();
  if (!texture) return D3DERR_INVALIDCALL;
  *texture = GLTexture::Create(this, width, height, levels, usage, format, pool);
  return *texture ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GLDevice::CreateVolumeTexture(UINT width, UINT height, UINT depth, UINT levels, DWORD usage,
                                      D3DFORMAT format, D3DPOOL pool, IDirect3DVolumeTexture8** texture) {
  MakeCurrent();
  if (!texture) return D3DERR_INVALIDCALL;
  *texture = GLVolumeTexture::Create(this, width, height, depth, levels, usage, format, pool);
  return *texture ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GLDevice::CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DCubeTexture8** texture) {
  MakeCurrent();
  if (!texture) return D3DERR_INVALIDCALL;
  *texture = GLCubeTexture::Create(this, edge, levels, usage, format, pool);
  return *texture ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GLDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                     IDirect3DVertexBuffer8** buffer) {
  MakeCurrent();
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = nullptr;
  if (length == 0 || length > (256u << 20)) return D3DERR_INVALIDCALL;
  *buffer = new GLVertexBuffer(this, length, usage, fvf, pool);
  return D3D_OK;
}

HRESULT GLDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DIndexBuffer8** buffer) {
  MakeCurrent();
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = nullptr;
  if (length == 0 || length > (256u << 20) || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32)) {
    return D3DERR_INVALIDCALL;
  }
  *buffer = new GLIndexBuffer(this, length, usage, format, pool);
  return D3D_OK;
}

HRESULT GLDevice::CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = GLSurface::CreateImage(this, width, height, format);
  return *surface ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GLDevice::CopyRects(IDirect3DSurface8* source, const RECT* source_rects, UINT rect_count,
                            IDirect3DSurface8* dest, const POINT* dest_points) {
  if (!source || !dest || source == dest) return D3DERR_INVALIDCALL;
  D3DSURFACE_DESC from = {};
  D3DSURFACE_DESC to = {};
  if (FAILED(source->GetDesc(&from)) || FAILED(dest->GetDesc(&to)) || from.Format != to.Format) {
    return D3DERR_INVALIDCALL;
  }
  const GLPixelFormat* pf = FindGLPixelFormat(from.Format);
  if (!pf) return D3DERR_INVALIDCALL;
  const RECT whole = {0, 0, static_cast<LONG>(from.Width), static_cast<LONG>(from.Height)};
  const POINT origin = {0, 0};
  if (!source_rects) rect_count = 1;
  // Block-compressed surfaces are copied whole only.
  if (pf->bytes_per_block != 0 && (source_rects || from.Width != to.Width || from.Height != to.Height)) {
    return D3DERR_INVALIDCALL;
  }
  for (UINT i = 0; i < rect_count; ++i) {
    const RECT r = source_rects ? source_rects[i] : whole;
    const POINT at = dest_points ? dest_points[i] : POINT{r.left, r.top};
    (void)origin;
    if (r.left < 0 || r.top < 0 || r.left >= r.right || r.top >= r.bottom || r.right > whole.right ||
        r.bottom > whole.bottom || at.x < 0 || at.y < 0 || at.x + (r.right - r.left) > static_cast<LONG>(to.Width) ||
        at.y + (r.bottom - r.top) > static_cast<LONG>(to.Height)) {
      return D3DERR_INVALIDCALL;
    }
  }
  D3DLOCKED_RECT src = {};
  D3DLOCKED_RECT dst = {};
  if (FAILED(source->LockRect(&src, nullptr, D3DLOCK_READONLY))) return D3DERR_INVALIDCALL;
  if (FAILED(dest->LockRect(&dst, nullptr, 0))) {
    source->UnlockRect();
    return D3DERR_INVALIDCALL;
  }
  if (pf->bytes_per_block != 0) {
    std::memcpy(dst.pBits, src.pBits, GLImageBytes(*pf, from.Width, from.Height));
  } else {
    for (UINT i = 0; i < rect_count; ++i) {
      const RECT r = source_rects ? source_rects[i] : whole;
      const POINT at = dest_points ? dest_points[i] : POINT{r.left, r.top};
      const size_t row_bytes = static_cast<size_t>(r.right - r.left) * pf->bytes_per_pixel;
      for (LONG y = r.top; y < r.bottom; ++y) {
        const BYTE* from_row = static_cast<const BYTE*>(src.pBits) + static_cast<size_t>(y) * src.Pitch +
                               static_cast<size_t>(r.left) * pf->bytes_per_pixel;
        BYTE* to_row = static_cast<BYTE*>(dst.pBits) + static_cast<size_t>(at.y + (y - r.top)) * dst.Pitch +
                       static_cast<size_t>(at.x) * pf->bytes_per_pixel;
        std::memcpy(to_row, from_row, row_bytes);
      }
    }
  }
  dest->UnlockRect();
  source->UnlockRect();
  return D3D_OK;
}

// ---- Render target and scene ---------------------------------------------------------------------

HRESULT GLDevice::SetRenderTarget(IDirect3DSurface8* target, IDirect3DSurface8* depth_stencil) {
  GLSurface* new_target = target ? dynamic_cast<GLSurface*>(target) : render_target_;
  GLSurface* new_depth = depth_stencil ? dynamic_cast<GLSurface*>(depth_stencil) : nullptr;
  if (!new_target || (depth_stencil && new_depth != depth_surface_)) return D3DERR_INVALIDCALL;
  const bool is_back_buffer = new_target == back_buffer_surface_;
  const bool is_texture = new_target->SurfaceKind() == GLSurface::Kind::kTextureLevel &&
                          new_target->Texture()->IsRenderTarget();
  if (!is_back_buffer && !is_texture) return D3DERR_INVALIDCALL;
  if (new_depth && !params_.EnableAutoDepthStencil) return D3DERR_INVALIDCALL;
  new_target->AddRef();
  if (new_depth) new_depth->AddRef();
  if (render_target_) render_target_->Release();
  if (depth_target_) depth_target_->Release();
  render_target_ = new_target;
  depth_target_ = new_depth;
  // Other targets share the back buffer's depth buffer, which only the framebuffer object has.
  if (!is_back_buffer || new_depth != (params_.EnableAutoDepthStencil ? depth_surface_ : nullptr)) {
    frame_needed_framebuffer_ = true;
    MoveBackBufferToFramebuffer();
  }
  BindCurrentTarget();
  state_.viewport = {0, 0, TargetWidth(), TargetHeight(), 0.0f, 1.0f};
  fixed_.MarkDirty(GLFixedFunction::kTransforms);
  return D3D_OK;
}

HRESULT GLDevice::GetRenderTarget(IDirect3DSurface8** target) {
  if (!target || !render_target_) return D3DERR_INVALIDCALL;
  render_target_->AddRef();
  *target = render_target_;
  return D3D_OK;
}

HRESULT GLDevice::GetDepthStencilSurface(IDirect3DSurface8** depth_stencil) {
  if (!depth_stencil) return D3DERR_INVALIDCALL;
  *depth_stencil = depth_target_;
  if (!depth_target_) return D3DERR_NOTFOUND;
  depth_target_->AddRef();
  return D3D_OK;
}

HRESULT GLDevice::BeginScene() {
  MakeCurrent();
  if (in_scene_) return D3DERR_INVALIDCALL;
  in_scene_ = true;
  // A window that changed size since the last frame can no longer hold the back buffer.
  if (direct_ && !WindowCanHoldBackBuffer()) MoveBackBufferToFramebuffer();
  return D3D_OK;
}

HRESULT GLDevice::EndScene() {
  if (!in_scene_) return D3DERR_INVALIDCALL;
  in_scene_ = false;
  return D3D_OK;
}

HRESULT GLDevice::Clear(DWORD rect_count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                        DWORD stencil) {
  const bool depth = (flags & D3DCLEAR_ZBUFFER) != 0;
  const bool stencil_bits = (flags & D3DCLEAR_STENCIL) != 0;
  if ((depth || stencil_bits) && !depth_target_) return D3DERR_INVALIDCALL;
  if (stencil_bits && !back_buffer_.HasStencil()) return D3DERR_INVALIDCALL;
  if (rect_count > 0 && !rects) return D3DERR_INVALIDCALL;
  GLbitfield mask = 0;
  if (flags & D3DCLEAR_TARGET) mask |= GL_COLOR_BUFFER_BIT;
  if (depth) mask |= GL_DEPTH_BUFFER_BIT;
  if (stencil_bits) mask |= GL_STENCIL_BUFFER_BIT;
  if (mask == 0) return D3D_OK;

  // Clearing ignores the write masks and touches only the viewport.
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glStencilMask(0xFFFFFFFFu);
  glDisable(GL_DITHER);
  glClearColor(static_cast<float>((color >> 16) & 0xFF) / 255.0f, static_cast<float>((color >> 8) & 0xFF) / 255.0f,
               static_cast<float>(color & 0xFF) / 255.0f, static_cast<float>(color >> 24) / 255.0f);
  glClearDepth(std::clamp(z, 0.0f, 1.0f));
  glClearStencil(static_cast<GLint>(stencil));
  const D3DVIEWPORT8& vp = state_.viewport;
  if (rect_count == 0 && vp.X == 0 && vp.Y == 0 && vp.Width == TargetWidth() && vp.Height == TargetHeight()) {
    glClear(mask);  // the whole target: no scissor needed
    fixed_.Disturbed(GLFixedFunction::kRaster);
    return D3D_OK;
  }
  glEnable(GL_SCISSOR_TEST);
  const LONG vp_right = static_cast<LONG>(vp.X + vp.Width);
  const LONG vp_bottom = static_cast<LONG>(vp.Y + vp.Height);
  const D3DRECT whole = {static_cast<LONG>(vp.X), static_cast<LONG>(vp.Y), vp_right, vp_bottom};
  const DWORD count = rect_count > 0 ? rect_count : 1;
  for (DWORD i = 0; i < count; ++i) {
    const D3DRECT r = rect_count > 0 ? rects[i] : whole;
    const LONG left = std::max(r.x1, whole.x1);
    const LONG top = std::max(r.y1, whole.y1);
    const LONG right = std::min(r.x2, whole.x2);
    const LONG bottom = std::min(r.y2, whole.y2);
    if (left >= right || top >= bottom) continue;
    const LONG y = direct_ ? static_cast<LONG>(TargetHeight()) - bottom : top;
    glScissor(left, y, right - left, bottom - top);
    glClear(mask);
  }
  glDisable(GL_SCISSOR_TEST);
  fixed_.Disturbed(GLFixedFunction::kRaster);
  return D3D_OK;
}

// ---- Fixed-function state -----------------------------------------------------------------------

HRESULT GLDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  if (!matrix) return D3DERR_INVALIDCALL;
  const DWORD s = state;
  if (s == D3DTS_VIEW) {
    state_.view = *matrix;
  } else if (s == D3DTS_PROJECTION) {
    state_.projection = *matrix;
  } else if (s >= D3DTS_TEXTURE0 && s <= D3DTS_TEXTURE7) {
    state_.texture_matrix[s - D3DTS_TEXTURE0] = *matrix;
  } else if (s >= D3DTS_WORLD && s < D3DTS_WORLD + GLDeviceState::kWorldMatrices) {
    state_.world[s - D3DTS_WORLD] = *matrix;
    if (s == D3DTS_WORLD) fixed_.MarkDirty(GLFixedFunction::kWorld);
    return D3D_OK;
  } else {
    return D3DERR_INVALIDCALL;
  }
  fixed_.MarkDirty(GLFixedFunction::kTransforms);
  return D3D_OK;
}

HRESULT GLDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  if (!matrix) return D3DERR_INVALIDCALL;
  const DWORD s = state;
  if (s == D3DTS_VIEW) {
    *matrix = state_.view;
  } else if (s == D3DTS_PROJECTION) {
    *matrix = state_.projection;
  } else if (s >= D3DTS_TEXTURE0 && s <= D3DTS_TEXTURE7) {
    *matrix = state_.texture_matrix[s - D3DTS_TEXTURE0];
  } else if (s >= D3DTS_WORLD && s < D3DTS_WORLD + GLDeviceState::kWorldMatrices) {
    *matrix = state_.world[s - D3DTS_WORLD];
  } else {
    return D3DERR_INVALIDCALL;
  }
  return D3D_OK;
}

HRESULT GLDevice::SetViewport(const D3DVIEWPORT8* viewport) {
  if (!viewport) return D3DERR_INVALIDCALL;
  const uint64_t right = static_cast<uint64_t>(viewport->X) + viewport->Width;
  const uint64_t bottom = static_cast<uint64_t>(viewport->Y) + viewport->Height;
  if (viewport->Width == 0 || viewport->Height == 0 || right > TargetWidth() || bottom > TargetHeight() ||
      !(viewport->MinZ >= 0.0f && viewport->MinZ <= 1.0f) || !(viewport->MaxZ >= 0.0f && viewport->MaxZ <= 1.0f)) {
    return D3DERR_INVALIDCALL;
  }
  state_.viewport = *viewport;
  fixed_.MarkDirty(GLFixedFunction::kTransforms);
  return D3D_OK;
}

HRESULT GLDevice::GetViewport(D3DVIEWPORT8* viewport) {
  if (!viewport) return D3DERR_INVALIDCALL;
  *viewport = state_.viewport;
  return D3D_OK;
}

HRESULT GLDevice::SetMaterial(const D3DMATERIAL8* material) {
  if (!material) return D3DERR_INVALIDCALL;
  state_.material = *material;
  fixed_.MarkDirty(GLFixedFunction::kMaterial);
  return D3D_OK;
}

HRESULT GLDevice::GetMaterial(D3DMATERIAL8* material) {
  if (!material) return D3DERR_INVALIDCALL;
  *material = state_.material;
  return D3D_OK;
}

HRESULT GLDevice::SetLight(DWORD index, const D3DLIGHT8* light) {
  if (!light || index >= GLDeviceState::kMaxLights) return D3DERR_INVALIDCALL;
  if (light->Type != D3DLIGHT_POINT && light->Type != D3DLIGHT_SPOT && light->Type != D3DLIGHT_DIRECTIONAL) {
    return D3DERR_INVALIDCALL;
  }
  state_.lights[index] = *light;
  fixed_.MarkDirty(GLFixedFunction::kTransforms);
  return D3D_OK;
}

HRESULT GLDevice::GetLight(DWORD index, D3DLIGHT8* light) {
  if (!light || index >= GLDeviceState::kMaxLights) return D3DERR_INVALIDCALL;
  *light = state_.lights[index];
  return D3D_OK;
}

HRESULT GLDevice::LightEnable(DWORD index, BOOL enable) {
  if (index >= GLDeviceState::kMaxLights) return D3DERR_INVALIDCALL;
  state_.light_enabled[index] = enable != FALSE;
  fixed_.MarkDirty(GLFixedFunction::kTransforms);
  return D3D_OK;
}

HRESULT GLDevice::GetLightEnable(DWORD index, BOOL* enable) {
  if (!enable || index >= GLDeviceState::kMaxLights) return D3DERR_INVALIDCALL;
  *enable = state_.light_enabled[index] ? TRUE : FALSE;
  return D3D_OK;
}

HRESULT GLDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (state >= D3DRS_STATE_COUNT) return D3DERR_INVALIDCALL;
  if (state_.render_states[state] == value) return D3D_OK;
  state_.render_states[state] = value;
  fixed_.MarkRenderState(state);
  return D3D_OK;
}

HRESULT GLDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
  if (!value || state >= D3DRS_STATE_COUNT) return D3DERR_INVALIDCALL;
  *value = state_.render_states[state];
  return D3D_OK;
}

HRESULT GLDevice::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) {
  if (stage >= D3D_TEXTURE_STAGES) return D3DERR_INVALIDCALL;
  GLSampledTexture* gl_texture = nullptr;
  if (texture) {
    gl_texture = dynamic_cast<GLSampledTexture*>(texture);
    if (!gl_texture || gl_texture->SampledOwner() != this) return D3DERR_INVALIDCALL;
    texture->AddRef();
  }
  if (state_.textures[stage]) state_.textures[stage]->BaseInterface()->Release();
  state_.textures[stage] = gl_texture;
  fixed_.MarkDirty(GLFixedFunction::kTextures);
  return D3D_OK;
}

HRESULT GLDevice::GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) {
  if (!texture || stage >= D3D_TEXTURE_STAGES) return D3DERR_INVALIDCALL;
  *texture = state_.textures[stage] ? state_.textures[stage]->BaseInterface() : nullptr;
  if (*texture) (*texture)->AddRef();
  return D3D_OK;
}

HRESULT GLDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  if (stage >= D3D_TEXTURE_STAGES || type >= D3DTSS_STATE_COUNT) return D3DERR_INVALIDCALL;
  if (state_.stage_states[stage][type] == value) return D3D_OK;
  state_.stage_states[stage][type] = value;
  fixed_.MarkStageState(type);
  return D3D_OK;
}

HRESULT GLDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
  if (!value || stage >= D3D_TEXTURE_STAGES || type >= D3DTSS_STATE_COUNT) return D3DERR_INVALIDCALL;
  *value = state_.stage_states[stage][type];
  return D3D_OK;
}

HRESULT GLDevice::SetPaletteEntries(UINT palette, const PALETTEENTRY* entries) {
  if (!entries || palette >= GLDeviceState::kMaxPalettes) return D3DERR_INVALIDCALL;
  if (palette >= state_.palettes.size()) {
    state_.palettes.resize(palette + 1);
    state_.palette_stamps.resize(palette + 1, 0);
  }
  static unsigned stamp = 0;
  std::copy(entries, entries + 256, state_.palettes[palette].begin());
  state_.palette_stamps[palette] = ++stamp;
  fixed_.MarkDirty(GLFixedFunction::kTextures);
  return D3D_OK;
}

HRESULT GLDevice::SetCurrentTexturePalette(UINT palette) {
  if (palette >= GLDeviceState::kMaxPalettes) return D3DERR_INVALIDCALL;
  state_.current_palette = palette;
  fixed_.MarkDirty(GLFixedFunction::kTextures);
  return D3D_OK;
}

HRESULT GLDevice::GetCurrentTexturePalette(UINT* palette) {
  if (!palette) return D3DERR_INVALIDCALL;
  *palette = state_.current_palette;
  return D3D_OK;
}

// ---- Drawing ------------------------------------------------------------------------------------

bool GLDevice::LayoutForDraw(UINT stride, GLVertexLayout* layout) const {
  if (!layout_valid_ || layout_fvf_ != state_.vertex_shader) return false;
  if (stride < layout_.stride) return false;
  *layout = layout_;
  layout->stride = stride;
  return true;
}

HRESULT GLDevice::DrawArrays(D3DPRIMITIVETYPE type, UINT primitive_count, const BYTE* vertices, UINT first_vertex,
                             UINT vertex_count, UINT stride, const void* indices, UINT index_bytes) {
  const PrimitiveShape shape = ShapeOf(type, primitive_count);
  if (primitive_count == 0) return D3D_OK;
  if (shape.vertices == 0 || !vertices) return D3DERR_INVALIDCALL;
  GLVertexLayout layout;
  if (!LayoutForDraw(stride, &layout)) return D3DERR_INVALIDCALL;
  const BYTE* first = vertices + static_cast<size_t>(first_vertex) * stride;
  fixed_.Apply(state_, layout, first, vertex_count, TargetWidth(), TargetHeight(), type == D3DPT_POINTLIST);
  if (draw_states_.Counting()) draw_states_.Note(state_, shape.mode, DrawTarget());
  // Warming up: the driver validates the state and builds its programs for the draw, and an
  // empty scissor box then keeps every pixel out.
  if (warming_up_) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 0, 0);
  }
  if (indices) {
    glDrawElements(shape.mode, static_cast<GLsizei>(shape.vertices), index_bytes == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                   indices);
  } else {
    glDrawArrays(shape.mode, 0, static_cast<GLsizei>(shape.vertices));
  }
  if (warming_up_) glDisable(GL_SCISSOR_TEST);
  return D3D_OK;
}

HRESULT GLDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT start_vertex, UINT primitive_count) {
  const GLDeviceState::Stream& stream = state_.streams[0];
  const UINT count = ShapeOf(type, primitive_count).vertices;
  if (!stream.buffer || stream.stride == 0) return D3DERR_INVALIDCALL;
  const uint64_t end = (static_cast<uint64_t>(start_vertex) + count) * stream.stride;
  if (end > stream.buffer->Size()) return D3DERR_INVALIDCALL;
  return DrawArrays(type, primitive_count, stream.buffer->Data(), start_vertex, count, stream.stride, nullptr, 0);
}

HRESULT GLDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT min_index, UINT vertex_count, UINT start_index,
                                       UINT primitive_count) {
  const GLDeviceState::Stream& stream = state_.streams[0];
  if (!stream.buffer || stream.stride == 0 || !state_.indices) return D3DERR_INVALIDCALL;
  const UINT index_count = ShapeOf(type, primitive_count).vertices;
  const UINT index_bytes = state_.indices->IndexBytes();
  if ((static_cast<uint64_t>(start_index) + index_count) * index_bytes > state_.indices->Size()) {
    return D3DERR_INVALIDCALL;
  }
  const BYTE* indices = state_.indices->Data() + static_cast<size_t>(start_index) * index_bytes;
  // Every index must name a vertex inside the buffer (after the base vertex index).
  const uint64_t available = stream.buffer->Size() / stream.stride;
  const uint64_t base = state_.base_vertex_index;
  if (base >= available) return D3DERR_INVALIDCALL;
  const UINT highest = index_count ? MaxIndex(indices, index_count, index_bytes) : 0;
  if (base + highest >= available) return D3DERR_INVALIDCALL;
  (void)min_index;
  (void)vertex_count;
  return DrawArrays(type, primitive_count, stream.buffer->Data(), static_cast<UINT>(base), highest + 1,
                    stream.stride, indices, index_bytes);
}

HRESULT GLDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitive_count, const void* vertices, UINT stride) {
  if (!vertices || stride == 0) return D3DERR_INVALIDCALL;
  const UINT count = ShapeOf(type, primitive_count).vertices;
  const HRESULT hr =
      DrawArrays(type, primitive_count, static_cast<const BYTE*>(vertices), 0, count, stride, nullptr, 0);
  // As in Direct3D, drawing from user memory unbinds stream 0.
  SetStreamSource(0, nullptr, 0);
  return hr;
}

HRESULT GLDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT min_index, UINT vertex_count,
                                         UINT primitive_count, const void* indices, D3DFORMAT index_format,
                                         const void* vertices, UINT stride) {
  if (!vertices || !indices || stride == 0 || (index_format != D3DFMT_INDEX16 && index_format != D3DFMT_INDEX32)) {
    return D3DERR_INVALIDCALL;
  }
  const UINT index_bytes = index_format == D3DFMT_INDEX32 ? 4 : 2;
  const UINT index_count = ShapeOf(type, primitive_count).vertices;
  const uint64_t available = static_cast<uint64_t>(min_index) + vertex_count;
  if (index_count && MaxIndex(indices, index_count, index_bytes) >= available) return D3DERR_INVALIDCALL;
  const HRESULT hr = DrawArrays(type, primitive_count, static_cast<const BYTE*>(vertices), 0,
                                static_cast<UINT>(available), stride, indices, index_bytes);
  SetStreamSource(0, nullptr, 0);
  SetIndices(nullptr, 0);
  return hr;
}

HRESULT GLDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) {
  if (stream >= GLDeviceState::kMaxStreams) return D3DERR_INVALIDCALL;
  GLVertexBuffer* gl_buffer = nullptr;
  if (buffer) {
    gl_buffer = dynamic_cast<GLVertexBuffer*>(buffer);
    if (!gl_buffer || gl_buffer->OwnerDevice() != this) return D3DERR_INVALIDCALL;
    gl_buffer->AddRef();
  }
  GLDeviceState::Stream& slot = state_.streams[stream];
  if (slot.buffer) slot.buffer->Release();
  slot.buffer = gl_buffer;
  slot.stride = stride;
  return D3D_OK;
}

HRESULT GLDevice::GetStreamSource(UINT stream, IDirect3DVertexBuffer8** buffer, UINT* stride) {
  if (!buffer || !stride || stream >= GLDeviceState::kMaxStreams) return D3DERR_INVALIDCALL;
  *buffer = state_.streams[stream].buffer;
  *stride = state_.streams[stream].stride;
  if (*buffer) (*buffer)->AddRef();
  return D3D_OK;
}

HRESULT GLDevice::SetIndices(IDirect3DIndexBuffer8* buffer, UINT base_vertex_index) {
  GLIndexBuffer* gl_buffer = nullptr;
  if (buffer) {
    gl_buffer = dynamic_cast<GLIndexBuffer*>(buffer);
    if (!gl_buffer || gl_buffer->OwnerDevice() != this) return D3DERR_INVALIDCALL;
    gl_buffer->AddRef();
  }
  if (state_.indices) state_.indices->Release();
  state_.indices = gl_buffer;
  state_.base_vertex_index = base_vertex_index;
  return D3D_OK;
}

HRESULT GLDevice::GetIndices(IDirect3DIndexBuffer8** buffer, UINT* base_vertex_index) {
  if (!buffer || !base_vertex_index) return D3DERR_INVALIDCALL;
  *buffer = state_.indices;
  *base_vertex_index = state_.base_vertex_index;
  if (*buffer) (*buffer)->AddRef();
  return D3D_OK;
}

// ---- Vertex formats and shaders ---------------------------------------------------------------------
// The device has no shader programs (its caps say so): only flexible vertex formats are taken.

HRESULT GLDevice::CreateVertexShader(const DWORD* declaration, const DWORD* function, DWORD* handle, DWORD usage) {
  if (handle) *handle = 0;
  return D3DERR_NOTAVAILABLE;
}

HRESULT GLDevice::SetVertexShader(DWORD handle) {
  if (handle & 1u) return D3DERR_INVALIDCALL;  // a shader handle: none exist
  state_.vertex_shader = handle;
  if (handle != layout_fvf_) {
    layout_fvf_ = handle;
    layout_valid_ = layout_.Parse(handle);
  }
  return D3D_OK;
}

HRESULT GLDevice::GetVertexShader(DWORD* handle) {
  if (!handle) return D3DERR_INVALIDCALL;
  *handle = state_.vertex_shader;
  return D3D_OK;
}

HRESULT GLDevice::DeleteVertexShader(DWORD handle) { return D3DERR_INVALIDCALL; }

HRESULT GLDevice::SetVertexShaderConstant(DWORD first_register, const void* data, DWORD register_count) {
  return D3DERR_INVALIDCALL;
}

HRESULT GLDevice::CreatePixelShader(const DWORD* function, DWORD* handle) {
  if (handle) *handle = 0;
  return D3DERR_NOTAVAILABLE;
}

HRESULT GLDevice::SetPixelShader(DWORD handle) { return handle == 0 ? D3D_OK : D3DERR_INVALIDCALL; }

HRESULT GLDevice::GetPixelShader(DWORD* handle) {
  if (!handle) return D3DERR_INVALIDCALL;
  *handle = 0;
  return D3D_OK;
}

HRESULT GLDevice::DeletePixelShader(DWORD handle) { return D3DERR_INVALIDCALL; }

HRESULT GLDevice::SetPixelShaderConstant(DWORD first_register, const void* data, DWORD register_count) {
  return D3DERR_INVALIDCALL;
}
