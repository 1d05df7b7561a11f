#include "platform/d3d/gl_texture_storage.h"

#include <algorithm>
#include <new>

UINT GLTextureStorage::FullChainLength(UINT width, UINT height, UINT depth) {
  UINT levels = 1;
  while (width > 1 || height > 1 || depth > 1) {
    width = std::max<UINT>(width / 2, 1);
    height = std::max<UINT>(height / 2, 1);
    depth = std::max<UINT>(depth / 2, 1);
    ++levels;
  }
  return levels;
}

GLTextureStorage::GLTextureStorage(const GLPixelFormat* format, const Shape& shape) : format_(format), shape_(shape) {
  const UINT chain = FullChainLength(shape.width, shape.height, shape.depth);
  if (shape_.levels == 0 || shape_.levels > chain) shape_.levels = chain;
  Allocate();
}

GLTextureStorage::~GLTextureStorage() {
  if (name_) glDeleteTextures(1, &name_);
}

UINT GLTextureStorage::LevelWidth(UINT level) const { return std::max<UINT>(shape_.width >> level, 1); }
UINT GLTextureStorage::LevelHeight(UINT level) const { return std::max<UINT>(shape_.height >> level, 1); }
UINT GLTextureStorage::LevelDepth(UINT level) const { return std::max<UINT>(shape_.depth >> level, 1); }

UINT GLTextureStorage::LevelBytes(UINT level) const {
  return GLImageBytes(*format_, LevelWidth(level), LevelHeight(level)) * LevelDepth(level);
}

GLenum GLTextureStorage::FaceTarget(UINT face) const {
  return shape_.target == GL_TEXTURE_CUBE_MAP ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + face : shape_.target;
}

void GLTextureStorage::Allocate() {
  const bool compressed = format_->bytes_per_block != 0;
  const bool lockable = !shape_.render_target && shape_.target != GL_TEXTURE_3D;
  if (lockable) levels_.resize(static_cast<size_t>(FaceCount()) * shape_.levels);
  glGenTextures(1, &name_);
  glBindTexture(shape_.target, name_);
  glTexParameteri(shape_.target, GL_TEXTURE_BASE_LEVEL, 0);
  glTexParameteri(shape_.target, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(shape_.levels - 1));
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  std::vector<BYTE> zeros;
  for (UINT level = 0; level < shape_.levels; ++level) {
    const GLsizei w = static_cast<GLsizei>(LevelWidth(level));
    const GLsizei h = static_cast<GLsizei>(LevelHeight(level));
    const UINT bytes = LevelBytes(level);
    if (shape_.target == GL_TEXTURE_3D) {
      // Volumes have no lock: their levels start out black rather than undefined.
      // P8 is held expanded, four bytes a texel.
      zeros.assign(format_->format == D3DFMT_P8 ? size_t(bytes) * 4 : bytes, 0);
      glTexImage3D(GL_TEXTURE_3D, static_cast<GLint>(level), static_cast<GLint>(format_->internal_format), w, h,
                   static_cast<GLsizei>(LevelDepth(level)), 0, format_->upload_format, format_->upload_type,
                   zeros.data());
      continue;
    }
    for (UINT face = 0; face < FaceCount(); ++face) {
      if (lockable) {
        if (format_->format == D3DFMT_P8) At(face, level).bytes.reset(new BYTE[bytes]);
        At(face, level).size = bytes;
      }
      if (compressed) {
        zeros.assign(bytes, 0);
        glCompressedTexImage2D(FaceTarget(face), static_cast<GLint>(level), format_->internal_format, w, h, 0,
                               static_cast<GLsizei>(bytes), zeros.data());
        if (lockable) At(face, level).defined = true;
      } else if (lockable) {
        levels_missing_ = true;  // made with its first upload, or before the first draw
      } else {
        glTexImage2D(FaceTarget(face), static_cast<GLint>(level), static_cast<GLint>(format_->internal_format), w, h,
                     0, format_->upload_format, format_->upload_type, nullptr);
      }
    }
  }
  glBindTexture(shape_.target, 0);
}

HRESULT GLTextureStorage::Lock(UINT face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  if (!locked || levels_.empty() || face >= FaceCount() || level >= shape_.levels) return D3DERR_INVALIDCALL;
  Level& l = At(face, level);
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
  MakeCopy(face, level);
  if (!l.bytes) return D3DERR_OUTOFVIDEOMEMORY;
  l.locked = true;
  l.read_only = (flags & D3DLOCK_READONLY) != 0;
  locked->Pitch = static_cast<INT>(pitch);
  locked->pBits = l.bytes.get() + offset;
  return D3D_OK;
}

HRESULT GLTextureStorage::Unlock(UINT face, UINT level) {
  if (levels_.empty() || face >= FaceCount() || level >= shape_.levels) return D3DERR_INVALIDCALL;
  Level& l = At(face, level);
  if (!l.locked) return D3DERR_INVALIDCALL;
  l.locked = false;
  if (l.read_only) return D3D_OK;
  if (format_->format == D3DFMT_P8) {
    indices_changed_ = true;
  } else if (name_) {
    Upload(face, level, l.bytes.get());
  }
  return D3D_OK;
}

HRESULT GLTextureStorage::UploadFrom(UINT face, UINT level, const void* pixels, UINT pitch) {
  if (!pixels || !name_ || levels_.empty() || face >= FaceCount() || level >= shape_.levels) return D3DERR_INVALIDCALL;
  if (format_->format != D3DFMT_A8R8G8B8 || pitch != GLRowPitch(*format_, LevelWidth(level))) return D3DERR_INVALIDCALL;
  Level& l = At(face, level);
  if (l.locked) return D3DERR_INVALIDCALL;
  Upload(face, level, pixels);
  l.bytes.reset();
  l.only_in_gl = true;
  return D3D_OK;
}

void GLTextureStorage::MakeCopy(UINT face, UINT level) {
  Level& l = At(face, level);
  if (!l.bytes) l.bytes.reset(new (std::nothrow) BYTE[l.size]);
  if (!l.bytes || !l.only_in_gl || !name_) return;
  l.only_in_gl = false;
  glBindTexture(shape_.target, name_);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(FaceTarget(face), static_cast<GLint>(level), format_->upload_format, format_->upload_type,
                l.bytes.get());
  glBindTexture(shape_.target, 0);
}

void GLTextureStorage::Forget() {
  for (UINT face = 0; face < FaceCount() && !levels_.empty(); ++face)
    for (UINT level = 0; level < shape_.levels; ++level)
      if (At(face, level).only_in_gl) MakeCopy(face, level);
  name_ = 0;
}

void GLTextureStorage::SetBaseLevel(UINT level) {
  if (!name_) return;
  glBindTexture(shape_.target, name_);
  glTexParameteri(shape_.target, GL_TEXTURE_BASE_LEVEL, static_cast<GLint>(std::min(level, shape_.levels - 1)));
  glBindTexture(shape_.target, 0);
}

void GLTextureStorage::Upload(UINT face, UINT level, const void* pixels) {
  glBindTexture(shape_.target, name_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  const GLsizei w = static_cast<GLsizei>(LevelWidth(level));
  const GLsizei h = static_cast<GLsizei>(LevelHeight(level));
  if (format_->bytes_per_block != 0) {
    glCompressedTexSubImage2D(FaceTarget(face), static_cast<GLint>(level), 0, 0, w, h, format_->internal_format,
                              static_cast<GLsizei>(LevelBytes(level)), pixels);
  } else if (!At(face, level).defined) {
    glTexImage2D(FaceTarget(face), static_cast<GLint>(level), static_cast<GLint>(format_->internal_format), w, h, 0,
                 format_->upload_format, format_->upload_type, pixels);
    At(face, level).defined = true;
  } else {
    glTexSubImage2D(FaceTarget(face), static_cast<GLint>(level), 0, 0, w, h, format_->upload_format,
                    format_->upload_type, pixels);
  }
  glBindTexture(shape_.target, 0);
}

bool GLTextureStorage::DefineMissingLevels() {
  if (!levels_missing_ || !name_) return false;
  levels_missing_ = false;
  glBindTexture(shape_.target, name_);
  for (UINT face = 0; face < FaceCount(); ++face) {
    for (UINT level = 0; level < shape_.levels; ++level) {
      Level& l = At(face, level);
      if (l.defined) continue;
      glTexImage2D(FaceTarget(face), static_cast<GLint>(level), static_cast<GLint>(format_->internal_format),
                   static_cast<GLsizei>(LevelWidth(level)), static_cast<GLsizei>(LevelHeight(level)), 0,
                   format_->upload_format, format_->upload_type, nullptr);
      l.defined = true;
    }
  }
  glBindTexture(shape_.target, 0);
  return true;
}

bool GLTextureStorage::ExpandIfStale(const PALETTEENTRY* palette, unsigned palette_stamp) {
  if (format_->format != D3DFMT_P8 || !name_ || levels_.empty() || !palette) return false;
  if (!indices_changed_ && palette_stamp == expanded_palette_stamp_) return false;
  ExpandPalette(palette);
  indices_changed_ = false;
  expanded_palette_stamp_ = palette_stamp;
  return true;
}

void GLTextureStorage::ExpandPalette(const PALETTEENTRY* palette) {
  std::vector<BYTE> bgra;
  for (UINT face = 0; face < FaceCount(); ++face) {
    for (UINT level = 0; level < shape_.levels; ++level) {
      const Level& l = At(face, level);
      const BYTE* indices = l.bytes.get();
      bgra.resize(l.size * 4);
      for (size_t i = 0; i < l.size; ++i) {
        const PALETTEENTRY& e = palette[indices[i]];
        bgra[i * 4 + 0] = e.peBlue;
        bgra[i * 4 + 1] = e.peGreen;
        bgra[i * 4 + 2] = e.peRed;
        bgra[i * 4 + 3] = e.peFlags;
      }
      Upload(face, level, bgra.data());
    }
  }
}
