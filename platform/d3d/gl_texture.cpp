#include "platform/d3d/gl_texture.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/d3d/gl_device.h"
#include "platform/d3d/gl_direct3d.h"
#include "platform/d3d/gl_surface.h"

namespace {

bool IsBlockFormat(const GLPixelFormat& pf) { return pf.bytes_per_block != 0; }

bool HasExtension(const char* wanted) {
  GLint count = 0;
  glGetIntegerv(GL_NUM_EXTENSIONS, &count);
  for (GLint i = 0; i < count; ++i) {
    const auto* name = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
    if (name && std::strcmp(name, wanted) == 0) return true;
  }
  return false;
}

// Opens a hidden window with a context of its own, asks, and puts the caller's context back.
// -1 when no context could be made to ask.
int ProbeS3tcWithOwnContext() {
  SDL_Window* previous_window = SDL_GL_GetCurrentWindow();
  SDL_GLContext previous_context = SDL_GL_GetCurrentContext();
  SDL_Window* window = SDL_CreateWindow("probe", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) return -1;
  int found = -1;
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (context) {
    if (SDL_GL_MakeCurrent(window, context) == 0) found = HasExtension("GL_EXT_texture_compression_s3tc") ? 1 : 0;
    SDL_GL_DeleteContext(context);
  }
  SDL_DestroyWindow(window);
  if (previous_context) SDL_GL_MakeCurrent(previous_window, previous_context);
  return found;
}

// The common checks of every kind of texture; null when the format cannot be held.
const GLPixelFormat* UsableFormat(GLDevice* device, D3DFORMAT format) {
  const GLPixelFormat* pf = FindGLPixelFormat(format);
  if (!pf || !device) return nullptr;
  if (IsBlockFormat(*pf) && !GLHasS3tc()) return nullptr;
  return pf;
}

bool SizeFits(GLDevice* device, UINT width, UINT height) {
  const UINT max_size = device->MaxTextureSize();
  return width > 0 && height > 0 && width <= max_size && height <= max_size;
}

HRESULT HandOutDevice(GLDevice* owner, IDirect3DDevice8** device) {
  if (!device || !owner) return D3DERR_INVALIDCALL;
  owner->AddRef();
  *device = owner;
  return D3D_OK;
}

DWORD ChangeLod(GLTextureStorage* storage, DWORD* current, DWORD lod) {
  const DWORD previous = *current;
  *current = std::min<DWORD>(lod, storage->LevelCount() - 1);
  storage->SetBaseLevel(*current);
  return previous;
}

D3DSURFACE_DESC LevelDescription(const GLTextureStorage& storage, UINT level, DWORD usage, D3DPOOL pool) {
  return {storage.Format().format, D3DRTYPE_SURFACE, usage, pool,
          GLImageBytes(storage.Format(), storage.LevelWidth(level), storage.LevelHeight(level)),
          D3DMULTISAMPLE_NONE, storage.LevelWidth(level), storage.LevelHeight(level)};
}

}  // namespace

bool GLHasS3tc() {
  // Kept once known; a probe that could not make a context is tried again next time.
  static int known = -1;
  if (known < 0) {
    known = SDL_GL_GetCurrentContext() ? (HasExtension("GL_EXT_texture_compression_s3tc") ? 1 : 0)
                                       : ProbeS3tcWithOwnContext();
  }
  return known == 1;
}

// ---- 2D textures -------------------------------------------------------------------------------

GLTexture* GLTexture::Create(GLDevice* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                             D3DPOOL pool) {
  const GLPixelFormat* pf = UsableFormat(device, format);
  if (!pf || !SizeFits(device, width, height)) return nullptr;
  const bool render_target = (usage & D3DUSAGE_RENDERTARGET) != 0;
  if (render_target && (pool != D3DPOOL_DEFAULT || IsBlockFormat(*pf) || format == D3DFMT_P8)) return nullptr;
  auto storage = std::make_unique<GLTextureStorage>(
      pf, GLTextureStorage::Shape{GL_TEXTURE_2D, width, height, 1, levels, render_target});
  return new GLTexture(device, usage, pool, std::move(storage));
}

GLTexture::GLTexture(GLDevice* device, DWORD usage, D3DPOOL pool, std::unique_ptr<GLTextureStorage> storage)
    : GLResource(device, pool == D3DPOOL_DEFAULT), usage_(usage), pool_(pool) {
  storage_ = std::move(storage);
  if (device_) device_->TextureBindingDisturbed();
}

GLTexture::~GLTexture() {
  if (storage_->Name() && device_) device_->TextureBindingDisturbed();
}

HRESULT GLTexture::GetDevice(IDirect3DDevice8** device) { return HandOutDevice(device_, device); }

DWORD GLTexture::SetLOD(DWORD lod) {
  const DWORD previous = ChangeLod(storage_.get(), &lod_, lod);
  if (device_) device_->TextureBindingDisturbed();
  return previous;
}

HRESULT GLTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (!desc || level >= storage_->LevelCount()) return D3DERR_INVALIDCALL;
  *desc = LevelDescription(*storage_, level, usage_, pool_);
  return D3D_OK;
}

HRESULT GLTexture::GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) {
  if (!surface || level >= storage_->LevelCount() || !device_) return D3DERR_INVALIDCALL;
  *surface = GLSurface::CreateTextureLevel(device_, this, level);
  return D3D_OK;
}

// A lock may read the level back from OpenGL, which binds the texture.
HRESULT GLTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  const HRESULT hr = storage_->Lock(0, level, locked, rect, flags);
  if (device_) device_->TextureBindingDisturbed();
  return hr;
}

HRESULT GLTexture::UnlockRect(UINT level) {
  const HRESULT hr = storage_->Unlock(0, level);
  if (device_) device_->TextureBindingDisturbed();
  return hr;
}

HRESULT GLTexture::UploadLevel(UINT level, const void* pixels, UINT pitch) {
  const HRESULT hr = storage_->UploadFrom(0, level, pixels, pitch);
  if (device_) device_->TextureBindingDisturbed();
  return hr;
}

// ---- Cube textures -----------------------------------------------------------------------------

GLCubeTexture* GLCubeTexture::Create(GLDevice* device, UINT edge, UINT levels, DWORD usage, D3DFORMAT format,
                                     D3DPOOL pool) {
  const GLPixelFormat* pf = UsableFormat(device, format);
  if (!pf || !SizeFits(device, edge, edge) || (usage & D3DUSAGE_RENDERTARGET) != 0) return nullptr;
  auto storage = std::make_unique<GLTextureStorage>(
      pf, GLTextureStorage::Shape{GL_TEXTURE_CUBE_MAP, edge, edge, 1, levels, false});
  return new GLCubeTexture(device, usage, pool, std::move(storage));
}

GLCubeTexture::GLCubeTexture(GLDevice* device, DWORD usage, D3DPOOL pool, std::unique_ptr<GLTextureStorage> storage)
    : GLResource(device, pool == D3DPOOL_DEFAULT), usage_(usage), pool_(pool) {
  storage_ = std::move(storage);
  if (device_) device_->TextureBindingDisturbed();
}

GLCubeTexture::~GLCubeTexture() {
  if (storage_->Name() && device_) device_->TextureBindingDisturbed();
}

HRESULT GLCubeTexture::GetDevice(IDirect3DDevice8** device) { return HandOutDevice(device_, device); }

DWORD GLCubeTexture::SetLOD(DWORD lod) {
  const DWORD previous = ChangeLod(storage_.get(), &lod_, lod);
  if (device_) device_->TextureBindingDisturbed();
  return previous;
}

HRESULT GLCubeTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (!desc || level >= storage_->LevelCount()) return D3DERR_INVALIDCALL;
  *desc = LevelDescription(*storage_, level, usage_, pool_);
  return D3D_OK;
}

HRESULT GLCubeTexture::GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface8** surface) {
  if (!surface || face > D3DCUBEMAP_FACE_NEGATIVE_Z || level >= storage_->LevelCount() || !device_) {
    return D3DERR_INVALIDCALL;
  }
  *surface = GLSurface::CreateCubeFace(device_, this, face, level);
  return D3D_OK;
}

HRESULT GLCubeTexture::LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                                DWORD flags) {
  const HRESULT hr = storage_->Lock(face, level, locked, rect, flags);
  if (device_) device_->TextureBindingDisturbed();
  return hr;
}

HRESULT GLCubeTexture::UnlockRect(D3DCUBEMAP_FACES face, UINT level) {
  const HRESULT hr = storage_->Unlock(face, level);
  if (device_) device_->TextureBindingDisturbed();
  return hr;
}

HRESULT GLCubeTexture::UploadLevel(D3DCUBEMAP_FACES face, UINT level, const void* pixels, UINT pitch) {
  const HRESULT hr = storage_->UploadFrom(face, level, pixels, pitch);
  if (device_) device_->TextureBindingDisturbed();
  return hr;
}

// ---- Volume textures ---------------------------------------------------------------------------

GLVolumeTexture* GLVolumeTexture::Create(GLDevice* device, UINT width, UINT height, UINT depth, UINT levels,
                                         DWORD usage, D3DFORMAT format, D3DPOOL pool) {
  const GLPixelFormat* pf = UsableFormat(device, format);
  if (!pf || IsBlockFormat(*pf) || (usage & D3DUSAGE_RENDERTARGET) != 0) return nullptr;
  if (!SizeFits(device, width, height) || depth == 0 || depth > GLDirect3D::kMaxVolumeExtent ||
      width > GLDirect3D::kMaxVolumeExtent || height > GLDirect3D::kMaxVolumeExtent) {
    return nullptr;
  }
  auto storage = std::make_unique<GLTextureStorage>(
      pf, GLTextureStorage::Shape{GL_TEXTURE_3D, width, height, depth, levels, false});
  return new GLVolumeTexture(device, usage, pool, std::move(storage));
}

GLVolumeTexture::GLVolumeTexture(GLDevice* device, DWORD usage, D3DPOOL pool,
                                 std::unique_ptr<GLTextureStorage> storage)
    : GLResource(device, pool == D3DPOOL_DEFAULT), usage_(usage), pool_(pool) {
  storage_ = std::move(storage);
  if (device_) device_->TextureBindingDisturbed();
}

GLVolumeTexture::~GLVolumeTexture() {
  if (storage_->Name() && device_) device_->TextureBindingDisturbed();
}

HRESULT GLVolumeTexture::GetDevice(IDirect3DDevice8** device) { return HandOutDevice(device_, device); }

DWORD GLVolumeTexture::SetLOD(DWORD lod) {
  const DWORD previous = ChangeLod(storage_.get(), &lod_, lod);
  if (device_) device_->TextureBindingDisturbed();
  return previous;
}

HRESULT GLVolumeTexture::GetLevelDesc(UINT level, D3DVOLUME_DESC* desc) {
  if (!desc || level >= storage_->LevelCount()) return D3DERR_INVALIDCALL;
  *desc = {storage_->Format().format, D3DRTYPE_VOLUME, usage_, pool_, storage_->LevelBytes(level),
           storage_->LevelWidth(level), storage_->LevelHeight(level), storage_->LevelDepth(level)};
  return D3D_OK;
}
