#include "platform/d3d/gl_surface.h"

#include "platform/d3d/gl_device.h"
#include "platform/d3d/gl_texture.h"

GLSurface::GLSurface(GLDevice* device, Kind kind) : GLResource(device, false), kind_(kind) {}

GLSurface* GLSurface::CreateBackBuffer(GLDevice* device) { return new GLSurface(device, Kind::kBackBuffer); }

GLSurface* GLSurface::CreateDepthStencil(GLDevice* device) { return new GLSurface(device, Kind::kDepthStencil); }

GLSurface* GLSurface::CreateTextureLevel(GLDevice* device, GLTexture* texture, UINT level) {
  GLSurface* surface = new GLSurface(device, Kind::kTextureLevel);
  texture->AddRef();
  surface->texture_ = texture;
  surface->level_ = level;
  return surface;
}

GLSurface* GLSurface::CreateCubeFace(GLDevice* device, GLCubeTexture* cube, D3DCUBEMAP_FACES face, UINT level) {
  GLSurface* surface = new GLSurface(device, Kind::kCubeFace);
  cube->AddRef();
  surface->cube_ = cube;
  surface->face_ = face;
  surface->level_ = level;
  return surface;
}

GLSurface* GLSurface::CreateImage(GLDevice* device, UINT width, UINT height, D3DFORMAT format) {
  const GLPixelFormat* pf = FindGLPixelFormat(format);
  if (!pf || width == 0 || height == 0 || width > 8192 || height > 8192) return nullptr;
  GLSurface* surface = new GLSurface(device, Kind::kImage);
  surface->width_ = width;
  surface->height_ = height;
  surface->format_ = format;
  surface->bytes_.assign(GLImageBytes(*pf, width, height), 0);
  return surface;
}

GLSurface::~GLSurface() {
  if (texture_) texture_->Release();
  if (cube_) cube_->Release();
}

HRESULT GLSurface::GetDevice(IDirect3DDevice8** device) {
  if (!device || !device_) return D3DERR_INVALIDCALL;
  device_->AddRef();
  *device = device_;
  return D3D_OK;
}

HRESULT GLSurface::GetDesc(D3DSURFACE_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  switch (kind_) {
    case Kind::kTextureLevel: return texture_->GetLevelDesc(level_, desc);
    case Kind::kCubeFace: return cube_->GetLevelDesc(level_, desc);
    case Kind::kImage:
      *desc = {format_, D3DRTYPE_SURFACE, 0, D3DPOOL_SYSTEMMEM, static_cast<UINT>(bytes_.size()),
               D3DMULTISAMPLE_NONE, width_, height_};
      return D3D_OK;
    case Kind::kBackBuffer:
    case Kind::kDepthStencil:
      if (!device_) return D3DERR_INVALIDCALL;
      *desc = device_->DescribeSurface(kind_ == Kind::kBackBuffer);
      return D3D_OK;
  }
  return D3DERR_INVALIDCALL;
}

HRESULT GLSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  if (!locked || locked_) return D3DERR_INVALIDCALL;
  if (kind_ == Kind::kTextureLevel) return texture_->LockRect(level_, locked, rect, flags);
  if (kind_ == Kind::kCubeFace) return cube_->LockRect(face_, level_, locked, rect, flags);
  if (kind_ == Kind::kDepthStencil) return D3DERR_INVALIDCALL;
  if (kind_ == Kind::kBackBuffer) {
    if (!device_ || !device_->ReadBackBuffer(&bytes_)) return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC desc = device_->DescribeSurface(true);
    width_ = desc.Width;
    height_ = desc.Height;
    format_ = desc.Format;
  }
  const GLPixelFormat* pf = FindGLPixelFormat(format_);
  const UINT pitch = GLRowPitch(*pf, width_);
  size_t offset = 0;
  if (rect) {
    if (rect->left < 0 || rect->top < 0 || rect->right > static_cast<LONG>(width_) ||
        rect->bottom > static_cast<LONG>(height_) || rect->left >= rect->right || rect->top >= rect->bottom) {
      return D3DERR_INVALIDCALL;
    }
    offset = static_cast<size_t>(rect->top) * pitch + static_cast<size_t>(rect->left) * pf->bytes_per_pixel;
  }
  locked_ = true;
  lock_read_only_ = (flags & D3DLOCK_READONLY) != 0;
  locked->Pitch = static_cast<INT>(pitch);
  locked->pBits = bytes_.data() + offset;
  return D3D_OK;
}

HRESULT GLSurface::UploadCubeFace(const void* pixels, UINT pitch) {
  if (kind_ != Kind::kCubeFace || locked_) return D3DERR_INVALIDCALL;
  return cube_->UploadLevel(face_, level_, pixels, pitch);
}

HRESULT GLSurface::UnlockRect() {
  if (kind_ == Kind::kTextureLevel) return texture_->UnlockRect(level_);
  if (kind_ == Kind::kCubeFace) return cube_->UnlockRect(face_, level_);
  if (!locked_) return D3DERR_INVALIDCALL;
  locked_ = false;
  if (kind_ == Kind::kBackBuffer) {
    if (!lock_read_only_ && device_) device_->WriteBackBuffer(bytes_.data());
    bytes_.clear();
    bytes_.shrink_to_fit();
  }
  return D3D_OK;
}

HRESULT D3D8_UploadSurfaceLevel(IDirect3DSurface8* surface, const void* pixels, UINT pitch) {
  auto* level = dynamic_cast<GLSurface*>(surface);
  if (!level) return D3DERR_INVALIDCALL;
  if (level->SurfaceKind() == GLSurface::Kind::kTextureLevel)
    return level->Texture()->UploadLevel(level->Level(), pixels, pitch);
  return level->UploadCubeFace(pixels, pitch);
}
