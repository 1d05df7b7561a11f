#pragma once
// A 2D texture with a chain of levels. Lockable textures keep a system copy of every level in
// the texture's own format and upload a level when it is unlocked; render-target textures live
// only in OpenGL. Paletted (P8) textures keep their indices and are expanded through the
// current palette when they are drawn.
#include <vector>

#include "platform/d3d/gl_api.h"
#include "platform/d3d/gl_pixel_format.h"
#include "platform/d3d/gl_resource.h"

class GLTexture final : public GLRefCounted<IDirect3DTexture8>, public GLResource {
 public:
  // Null when the size, level count or format cannot be made.
  static GLTexture* Create(GLDevice* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                           D3DPOOL pool);
  ~GLTexture() override;

  HRESULT GetDevice(IDirect3DDevice8** device) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
  DWORD SetLOD(DWORD lod) override;
  DWORD GetLOD() override { return lod_; }
  DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) override;
  HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT level) override;

  void DetachFromContext() override { name_ = 0; }

  GLuint Name() const { return name_; }
  bool IsRenderTarget() const { return (usage_ & D3DUSAGE_RENDERTARGET) != 0; }
  D3DFORMAT Format() const { return format_->format; }
  UINT LevelWidth(UINT level) const;
  UINT LevelHeight(UINT level) const;
  // Re-expands a paletted texture when its indices or the palette changed since the last time.
  void PrepareForDraw(const PALETTEENTRY* palette, unsigned palette_stamp);

 private:
  struct Level {
    std::vector<BYTE> bytes;
    bool locked = false;
    bool read_only = false;
  };

  GLTexture(GLDevice* device, UINT width, UINT height, UINT levels, DWORD usage, const GLPixelFormat* format,
            D3DPOOL pool);
  void AllocateLevels();
  void Upload(UINT level, const void* pixels);
  void ExpandPalette(const PALETTEENTRY* palette);

  UINT width_;
  UINT height_;
  DWORD usage_;
  const GLPixelFormat* format_;
  D3DPOOL pool_;
  DWORD lod_ = 0;
  GLuint name_ = 0;
  std::vector<Level> levels_;
  bool indices_changed_ = true;
  unsigned expanded_palette_stamp_ = 0;
};
