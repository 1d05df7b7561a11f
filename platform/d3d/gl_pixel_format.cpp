#include "platform/d3d/gl_pixel_format.h"

namespace {

constexpr GLPixelFormat kFormats[] = {
    {D3DFMT_A8R8G8B8, 4, 0, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE},
    {D3DFMT_X8R8G8B8, 4, 0, GL_RGB8, GL_BGRA, GL_UNSIGNED_BYTE},
    {D3DFMT_R8G8B8, 3, 0, GL_RGB8, GL_BGR, GL_UNSIGNED_BYTE},
    {D3DFMT_R5G6B5, 2, 0, GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5},
    {D3DFMT_X1R5G5B5, 2, 0, GL_RGB5, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV},
    {D3DFMT_A1R5G5B5, 2, 0, GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV},
    {D3DFMT_A4R4G4B4, 2, 0, GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV},
    {D3DFMT_A8, 1, 0, GL_ALPHA8, GL_ALPHA, GL_UNSIGNED_BYTE},
    {D3DFMT_L8, 1, 0, GL_LUMINANCE8, GL_LUMINANCE, GL_UNSIGNED_BYTE},
    {D3DFMT_P8, 1, 0, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE},
    {D3DFMT_DXT1, 0, 8, GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0},
    {D3DFMT_DXT3, 0, 16, GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0},
    {D3DFMT_DXT5, 0, 16, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0},
};

UINT Blocks(UINT pixels) { return pixels == 0 ? 0 : (pixels + 3) / 4; }

}  // namespace

const GLPixelFormat* FindGLPixelFormat(D3DFORMAT format) {
  for (const GLPixelFormat& pf : kFormats) {
    if (pf.format == format) return &pf;
  }
  return nullptr;
}

UINT GLRowPitch(const GLPixelFormat& pf, UINT width) {
  if (pf.bytes_per_block != 0) return Blocks(width) * pf.bytes_per_block;
  return width * pf.bytes_per_pixel;
}

UINT GLImageBytes(const GLPixelFormat& pf, UINT width, UINT height) {
  const UINT rows = pf.bytes_per_block != 0 ? Blocks(height) : height;
  return GLRowPitch(pf, width) * rows;
}
