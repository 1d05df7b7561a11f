#include "platform/d3d/gl_texture.h"

#include <algorithm>

#include "platform/d3d/gl_device.h"
#include "platform/d3d/gl_surface.h"

namespace {

UINT FullChainLength(UINT width, UINT height) {
  UINT levels = 1;
  while (width > 1 || height > 1) {
    width = std::max<UINT>(width / 2, 1);
    height = std::max<UINT>(height / 2, 1);
    ++levels;
  }
  return levels;
}

}  // namespace

GLTexture* GLTexture::Create(GLDevice* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                             D3DPOOL pool) {
  const GLPixelFormat* pf = FindGLPixelFormat(format);
  const UINT max_size = device ? device->MaxTextureSize() : 0;
  if (!pf || width == 0 || height == 0 || width > max_size || height > max_size) return nullptr;
  const bool render_target = (usage & D3DUSAGE_RENDERTARGET) != 0;
  if (render_target && (pool != D3DPOOL_DEFAULT || pf->bytes_per_block != 0 || format == D3DFMT_P8)) return nullptr;
  const UINT chain = FullChainLength(width, height);
  if (levels == 0 || levels > chain) levels = chain;
  return new GLTexture(device, width, height, levels, usage, pf, pool);
}

GLTexture::GLTexture(GLDevice* device, UINT width, UINT height, UINT levels, DWORD usage, const GLPixelFormat* format,
                     D3DPOOL pool)
    : GLResource(device, pool == D3DPOOL_DEFAULT),
      width_(width),
      height_(height),
      usage_(usage),
      format_(format),
      pool_(pool),
      levels_(levels) {
  AllocateLevels();
}

GLTexture::~GLTexture() {
  if (name_ && device_) device_->TextureBindingDisturbed();
  if (name_) glDeleteTextures(1, &name_);
}

UINT GLTexture::LevelWidth(UINT level) const { return std::max<UINT>(width_ >> level, 1); }
UINT GLTexture::LevelHeight(UINT level) const { return std::max<UINT>(height_ >> level, 1); }

void GLTexture::AllocateLevels() {
  glGenTextures(1, &name_);
  glBindTexture(GL_TEXTURE_2D, name_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels_.size() - 1));
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (UINT level = 0; level < levels_.size(); ++level) {
    const UINT w = LevelWidth(level);
    const UINT h = LevelHeight(level);
    if (!IsRenderTarget()) levels_[level].bytes.assign(GLImageBytes(*format_, w, h), 0);
    if (format_->bytes_per_block != 0) {
      glCompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), format_->internal_format,
                             static_cast<GLsizei>(w), static_cast<GLsizei>(h), 0,
                             static_cast<GLsizei>(levels_[level].bytes.size()), levels_[level].bytes.data());
    } else {
      glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), static_cast<GLint>(format_->internal_format),
                   static_cast<GLsizei>(w), static_cast<GLsizei>(h), 0, format_->upload_format,
                   format_->upload_type, nullptr);
    }
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  if (device_) device_->TextureBindingDisturbed();
}

HRESULT GLTexture::GetDevice(IDirect3DDevice8** device) {
  if (!device || !device_) return D3DERR_INVALIDCALL;
  device_->AddRef();
  *device = device_;
  return D3D_OK;
}

DWORD GLTexture::SetLOD(DWORD lod) {
  const DWORD previous = lod_;
  lod_ = std::min<DWORD>(lod, GetLevelCount() - 1);
  return previous;
}

HRESULT GLTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (!desc || level >= levels_.size()) return D3DERR_INVALIDCALL;
  const UINT size = GLImageBytes(*format_, LevelWidth(level), LevelHeight(level));
  *desc = {format_->format, D3DRTYPE_SURFACE, usage_, pool_, size, D3DMULTISAMPLE_NONE, LevelWidth(level),
           LevelHeight(level)};
  return D3D_OK;
}

HRESULT GLTexture::GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) {
  if (!surface || level >= levels_.size() || !device_) return D3DERR_INVALIDCALL;
  *surface = GLSurface::CreateTextureLevel(device_, this, level);
  return D3D_OK;
}

HRESULT GLTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  if (!locked || level >= levels_.size() || IsRenderTarget()) return D3DERR_INVALIDCALL;
  Level& l = levels_[level];
  if (l.locked) return D3DERR_INVALIDCALL;
  const UINT w = LevelWidth(level);
  const UINT h = LevelHeight(level);
  const UINT pitch = GLRowPitch(*format_, w);
  size_t offset = 0;
  if (rect) {
    if (rect->left < 0 || rect->top < 0 || rect->right > static_cast<LONG>(w) || rect->bottom > static_cast<LONG>(h) ||
        rect->left >= rect->right || rect->top >= rect->bottom) {
      return D3DERR_INVALIDCALL;
    }
    const bool blocks = format_->bytes_per_block != 0;
    const size_t row = blocks ? static_cast<size_t>(rect->top) / 4 : static_cast<size_t>(rect->top);
    const size_t column_bytes = blocks ? static_cast<size_t>(rect->left) / 4 * format_->bytes_per_block
                                       : static_cast<size_t>(rect->left) * format_->bytes_per_pixel;
    offset = row * pitch + column_bytes;
  }
  l.locked = true;
  l.read_only = (flags & D3DLOCK_READONLY) != 0;
  locked->Pitch = static_cast<INT>(pitch);
  locked->pBits = l.bytes.data() + offset;
  return D3D_OK;
}

HRESULT GLTexture::UnlockRect(UINT level) {
  if (level >= levels_.size() || !levels_[level].locked) return D3DERR_INVALIDCALL;
  Level& l = levels_[level];
  l.locked = false;
  if (l.read_only) return D3D_OK;
  if (format_->format == D3DFMT_P8) {
    indices_changed_ = true;
  } else if (name_) {
    Upload(level, l.bytes.data());
  }
  return D3D_OK;
}

void GLTexture::Upload(UINT level, const void* pixels) {
  glBindTexture(GL_TEXTURE_2D, name_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  const GLsizei w = static_cast<GLsizei>(LevelWidth(level));
  const GLsizei h = static_cast<GLsizei>(LevelHeight(level));
  if (format_->bytes_per_block != 0) {
    glCompressedTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 0, 0, w, h, format_->internal_format,
                              static_cast<GLsizei>(levels_[level].bytes.size()), pixels);
  } else {
    glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 0, 0, w, h, format_->upload_format,
                    format_->upload_type, pixels);
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  if (device_) device_->TextureBindingDisturbed();
}

void GLTexture::PrepareForDraw(const PALETTEENTRY* palette, unsigned palette_stamp) {
  if (format_->format != D3DFMT_P8 || !name_) return;
  if (!indices_changed_ && palette_stamp == expanded_palette_stamp_) return;
  ExpandPalette(palette);
  indices_changed_ = false;
  expanded_palette_stamp_ = palette_stamp;
}

void GLTexture::ExpandPalette(const PALETTEENTRY* palette) {
  std::vector<BYTE> bgra;
  for (UINT level = 0; level < levels_.size(); ++level) {
    const std::vector<BYTE>& indices = levels_[level].bytes;
    bgra.resize(indices.size() * 4);
    for (size_t i = 0; i < indices.size(); ++i) {
      const PALETTEENTRY& e = palette[indices[i]];
      bgra[i * 4 + 0] = e.peBlue;
      bgra[i * 4 + 1] = e.peGreen;
      bgra[i * 4 + 2] = e.peRed;
      bgra[i * 4 + 3] = e.peFlags;
    }
    Upload(level, bgra.data());
  }
}
