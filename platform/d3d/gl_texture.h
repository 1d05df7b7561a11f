#pragma once
// The device's textures: 2D (lockable, or render targets that live only in OpenGL), cube
// (six lockable faces) and volume (levels of depth slices, never locked). Each keeps its levels
// in a GLTextureStorage. A texture set on a stage is seen by the device through GLSampledTexture.
#include <memory>

#include "platform/d3d/gl_api.h"
#include "platform/d3d/gl_pixel_format.h"
#include "platform/d3d/gl_resource.h"
#include "platform/d3d/gl_texture_storage.h"

// What a texture stage needs of any kind of texture.
class GLSampledTexture {
 public:
  virtual ~GLSampledTexture() = default;
  virtual IDirect3DBaseTexture8* BaseInterface() = 0;
  virtual GLDevice* SampledOwner() const = 0;
  GLenum Target() const { return storage_->Target(); }
  GLuint Name() const { return storage_->Name(); }
  D3DFORMAT Format() const { return storage_->Format().format; }
  UINT LevelCount() const { return storage_->LevelCount(); }
  // Whether both sides of the first level are powers of two.
  bool PowerOfTwo() const {
    const UINT w = storage_->LevelWidth(0), h = storage_->LevelHeight(0);
    return (w & (w - 1)) == 0 && (h & (h - 1)) == 0;
  }
  // Every level holds OpenGL storage (a level never unlocked holds undefined texels). True
  // when levels were defined, which bound the texture on the active unit and then unbound it.
  bool PrepareLevels() { return storage_->DefineMissingLevels(); }
  // Re-expands a paletted texture when its indices or the palette changed since the last time;
  // true when it did (the upload moved the active unit's binding as above).
  bool PrepareForDraw(const PALETTEENTRY* palette, unsigned palette_stamp) {
    return storage_->ExpandIfStale(palette, palette_stamp);
  }

 protected:
  std::unique_ptr<GLTextureStorage> storage_;
};

// Whether the OpenGL context that is current (or, with none current, a probe context) offers
// S3TC block compression. Asked once; the answer is kept.
bool GLHasS3tc();

class GLTexture final : public GLRefCounted<IDirect3DTexture8>, public GLResource, public GLSampledTexture {
 public:
  // Null when the size, level count or format cannot be made.
  static GLTexture* Create(GLDevice* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                           D3DPOOL pool);
  ~GLTexture() override;

  HRESULT GetDevice(IDirect3DDevice8** device) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
  DWORD SetLOD(DWORD lod) override;
  DWORD GetLOD() override { return lod_; }
  DWORD GetLevelCount() override { return storage_->LevelCount(); }
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) override;
  HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT level) override;
  // A whole level straight from the caller's pixels (see GLTextureStorage::UploadFrom).
  HRESULT UploadLevel(UINT level, const void* pixels, UINT pitch);

  void DetachFromContext() override { storage_->Forget(); }
  IDirect3DBaseTexture8* BaseInterface() override { return this; }
  GLDevice* SampledOwner() const override { return device_; }

  bool IsRenderTarget() const { return storage_->IsRenderTarget(); }
  UINT LevelWidth(UINT level) const { return storage_->LevelWidth(level); }
  UINT LevelHeight(UINT level) const { return storage_->LevelHeight(level); }

 private:
  GLTexture(GLDevice* device, DWORD usage, D3DPOOL pool, std::unique_ptr<GLTextureStorage> storage);

  DWORD usage_;
  D3DPOOL pool_;
  DWORD lod_ = 0;
};

class GLCubeTexture final : public GLRefCounted<IDirect3DCubeTexture8>, public GLResource, public GLSampledTexture {
 public:
  // Null when the edge, level count or format cannot be made; cube render targets are not made.
  static GLCubeTexture* Create(GLDevice* device, UINT edge, UINT levels, DWORD usage, D3DFORMAT format,
                               D3DPOOL pool);
  ~GLCubeTexture() override;

  HRESULT GetDevice(IDirect3DDevice8** device) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
  DWORD SetLOD(DWORD lod) override;
  DWORD GetLOD() override { return lod_; }
  DWORD GetLevelCount() override { return storage_->LevelCount(); }
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface8** surface) override;
  HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                   DWORD flags) override;
  HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) override;
  HRESULT UploadLevel(D3DCUBEMAP_FACES face, UINT level, const void* pixels, UINT pitch);

  void DetachFromContext() override { storage_->Forget(); }
  IDirect3DBaseTexture8* BaseInterface() override { return this; }
  GLDevice* SampledOwner() const override { return device_; }

 private:
  GLCubeTexture(GLDevice* device, DWORD usage, D3DPOOL pool, std::unique_ptr<GLTextureStorage> storage);

  DWORD usage_;
  D3DPOOL pool_;
  DWORD lod_ = 0;
};

class GLVolumeTexture final : public GLRefCounted<IDirect3DVolumeTexture8>,
                              public GLResource,
                              public GLSampledTexture {
 public:
  // Null when the size, level count or format cannot be made (block-compressed volumes and
  // volume render targets are not made).
  static GLVolumeTexture* Create(GLDevice* device, UINT width, UINT height, UINT depth, UINT levels, DWORD usage,
                                 D3DFORMAT format, D3DPOOL pool);
  ~GLVolumeTexture() override;

  HRESULT GetDevice(IDirect3DDevice8** device) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_VOLUMETEXTURE; }
  DWORD SetLOD(DWORD lod) override;
  DWORD GetLOD() override { return lod_; }
  DWORD GetLevelCount() override { return storage_->LevelCount(); }
  HRESULT GetLevelDesc(UINT level, D3DVOLUME_DESC* desc) override;

  void DetachFromContext() override { storage_->Forget(); }
  IDirect3DBaseTexture8* BaseInterface() override { return this; }
  GLDevice* SampledOwner() const override { return device_; }

 private:
  GLVolumeTexture(GLDevice* device, DWORD usage, D3DPOOL pool, std::unique_ptr<GLTextureStorage> storage);

  DWORD usage_;
  D3DPOOL pool_;
  DWORD lod_ = 0;
};
