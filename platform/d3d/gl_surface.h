#pragma once
// A surface: the device's back buffer or depth buffer, one level of a texture, one level of a
// cube face, or a plain image in system memory.
#include <vector>

#include "platform/d3d/gl_pixel_format.h"
#include "platform/d3d/gl_resource.h"

class GLTexture;
class GLCubeTexture;

class GLSurface final : public GLRefCounted<IDirect3DSurface8>, public GLResource {
 public:
  enum class Kind { kBackBuffer, kDepthStencil, kTextureLevel, kCubeFace, kImage };

  static GLSurface* CreateBackBuffer(GLDevice* device);
  static GLSurface* CreateDepthStencil(GLDevice* device);
  static GLSurface* CreateTextureLevel(GLDevice* device, GLTexture* texture, UINT level);
  static GLSurface* CreateCubeFace(GLDevice* device, GLCubeTexture* cube, D3DCUBEMAP_FACES face, UINT level);
  // Null when the format is not one the device holds.
  static GLSurface* CreateImage(GLDevice* device, UINT width, UINT height, D3DFORMAT format);
  ~GLSurface() override;

  HRESULT GetDevice(IDirect3DDevice8** device) override;
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect() override;

  void DetachFromContext() override {}

  Kind SurfaceKind() const { return kind_; }
  GLTexture* Texture() const { return texture_; }
  UINT Level() const { return level_; }
  // kCubeFace: the whole level of its face straight from the caller's pixels.
  HRESULT UploadCubeFace(const void* pixels, UINT pitch);

 private:
  GLSurface(GLDevice* device, Kind kind);

  Kind kind_;
  GLTexture* texture_ = nullptr;   // kTextureLevel: holds a reference
  GLCubeTexture* cube_ = nullptr;  // kCubeFace: holds a reference
  D3DCUBEMAP_FACES face_ = D3DCUBEMAP_FACE_POSITIVE_X;
  UINT level_ = 0;
  // kImage: the pixels; kBackBuffer: the pixels read for a lock.
  std::vector<BYTE> bytes_;
  UINT width_ = 0;
  UINT height_ = 0;
  D3DFORMAT format_ = D3DFMT_UNKNOWN;
  bool locked_ = false;
  bool lock_read_only_ = false;
};
