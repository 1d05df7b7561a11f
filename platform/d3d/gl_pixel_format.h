#pragma once
// How each surface and texture format is stored in memory and handed to OpenGL.
#include "platform/d3d/d3d8.h"
#include "platform/d3d/gl_api.h"

struct GLPixelFormat {
  D3DFORMAT format;
  UINT bytes_per_pixel;   // 0 for block-compressed formats
  UINT bytes_per_block;   // 4x4 blocks of compressed formats, else 0
  GLenum internal_format;
  GLenum upload_format;   // for glTexImage2D / glReadPixels
  GLenum upload_type;
};

// The table entry of a texture or surface format, or null when the device cannot hold it.
// P8 is listed with its one-byte indices; textures expand it through the palette when drawn.
const GLPixelFormat* FindGLPixelFormat(D3DFORMAT format);

// Bytes of one row (of pixels, or of 4x4 blocks) and of a whole image of the given size.
UINT GLRowPitch(const GLPixelFormat& pf, UINT width);
UINT GLImageBytes(const GLPixelFormat& pf, UINT width, UINT height);
