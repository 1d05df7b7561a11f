#pragma once
// The levels of a texture (2D, cube or volume): an OpenGL texture name plus, for lockable
// textures, a system copy of every level of every face in the texture's own format. A level is
// uploaded when it is unlocked. Paletted (P8) textures keep their indices and are expanded to
// RGBA through a palette: once when their indices change or the palette they are drawn with
// changes.
#include <cstddef>
#include <memory>
#include <vector>

#include "platform/d3d/gl_api.h"
#include "platform/d3d/gl_pixel_format.h"

class GLTextureStorage {
 public:
  struct Shape {
    GLenum target;  // GL_TEXTURE_2D, GL_TEXTURE_CUBE_MAP or GL_TEXTURE_3D
    UINT width;
    UINT height;
    UINT depth;   // 1 unless a volume
    UINT levels;  // 0: the full chain
    bool render_target;
  };

  // Levels in a full chain down to 1 x 1 (x 1).
  static UINT FullChainLength(UINT width, UINT height, UINT depth);

  GLTextureStorage(const GLPixelFormat* format, const Shape& shape);
  ~GLTextureStorage();
  GLTextureStorage(const GLTextureStorage&) = delete;
  GLTextureStorage& operator=(const GLTextureStorage&) = delete;

  // The context went away: levels held only by OpenGL are read back into their copies, then the
  // name is forgotten without being deleted.
  void Forget();

  GLenum Target() const { return shape_.target; }
  GLuint Name() const { return name_; }
  const GLPixelFormat& Format() const { return *format_; }
  UINT LevelCount() const { return shape_.levels; }
  UINT FaceCount() const { return shape_.target == GL_TEXTURE_CUBE_MAP ? 6 : 1; }
  bool IsRenderTarget() const { return shape_.render_target; }
  UINT LevelWidth(UINT level) const;
  UINT LevelHeight(UINT level) const;
  UINT LevelDepth(UINT level) const;
  UINT LevelBytes(UINT level) const;

  // Locks a level of a face (a rectangle of it, or the whole). Render targets and volumes have
  // no system copy and cannot be locked.
  HRESULT Lock(UINT face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags);
  // Unlocks it; unless the lock was read-only the level reaches OpenGL (a P8 level at its next
  // draw).
  HRESULT Unlock(UINT face, UINT level);
  // Fills a whole unlocked level straight from the caller's pixels (rows of `pitch` bytes in the
  // level's format), without a copy: OpenGL alone holds the level until it is next locked,
  // which reads it back. Only for formats OpenGL gives back bit for bit (A8R8G8B8); others get
  // D3DERR_INVALIDCALL and are filled through a lock.
  HRESULT UploadFrom(UINT face, UINT level, const void* pixels, UINT pitch);
  // The first level drawn (Direct3D's level of detail).
  void SetBaseLevel(UINT level);
  // Expands a P8 texture through the palette when its indices or the palette changed since the
  // last expansion (true then: the upload bound the texture). Nothing for other formats.
  bool ExpandIfStale(const PALETTEENTRY* palette, unsigned palette_stamp);
  // Gives OpenGL storage to every level not yet uploaded, so that the texture is complete when
  // it is drawn. A lockable level gets its storage with its first upload, in one step with its
  // pixels, rather than being made once empty and then filled. True when it bound the texture.
  bool DefineMissingLevels();

 private:
  struct Level {
    // As with Direct3D, a new level's contents are undefined: the copy is not cleared. It is
    // made at the level's first lock (at once for P8, whose indices are expanded at draws).
    std::unique_ptr<BYTE[]> bytes;
    size_t size = 0;
    bool locked = false;
    bool read_only = false;
    bool defined = false;     // OpenGL holds storage for the level
    bool only_in_gl = false;  // filled from the caller's pixels: the copy is read back when needed
  };

  void Allocate();
  Level& At(UINT face, UINT level) { return levels_[static_cast<size_t>(face) * shape_.levels + level]; }
  GLenum FaceTarget(UINT face) const;
  void Upload(UINT face, UINT level, const void* pixels);
  // Gives the level its copy, read back from OpenGL when OpenGL alone holds its pixels.
  void MakeCopy(UINT face, UINT level);
  void ExpandPalette(const PALETTEENTRY* palette);

  const GLPixelFormat* format_;
  Shape shape_;
  GLuint name_ = 0;
  std::vector<Level> levels_;  // face-major; empty for render targets and volumes
  bool levels_missing_ = false;  // some lockable level has no OpenGL storage yet
  bool indices_changed_ = true;
  unsigned expanded_palette_stamp_ = 0;
};
