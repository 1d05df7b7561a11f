#pragma once
// The back buffer: an OpenGL framebuffer object with a colour texture and a depth(-stencil)
// buffer of the mode's size. Row 0 of the texture is the top row of the picture.
#include <vector>

#include "platform/d3d/d3d8.h"
#include "platform/d3d/gl_api.h"

class GLFrameBuffer {
 public:
  // `depth_format` D3DFMT_UNKNOWN makes no depth buffer.
  bool Create(UINT width, UINT height, D3DFORMAT color_format, D3DFORMAT depth_format);
  void Destroy();
  void DetachFromContext();

  GLuint Framebuffer() const { return fbo_; }
  GLuint ColorTexture() const { return color_; }
  GLuint DepthBuffer() const { return depth_; }
  UINT Width() const { return width_; }
  UINT Height() const { return height_; }
  D3DFORMAT ColorFormat() const { return color_format_; }
  D3DFORMAT DepthFormat() const { return depth_format_; }
  bool HasStencil() const;

  // The picture in the colour format, top row first, rows packed.
  bool ReadPixels(std::vector<BYTE>* out) const;
  bool WritePixels(const BYTE* pixels);

  static bool IsDepthFormatSupported(D3DFORMAT format);
  static bool IsColorFormatSupported(D3DFORMAT format);

 private:
  GLuint fbo_ = 0;
  GLuint color_ = 0;
  GLuint depth_ = 0;
  UINT width_ = 0;
  UINT height_ = 0;
  D3DFORMAT color_format_ = D3DFMT_UNKNOWN;
  D3DFORMAT depth_format_ = D3DFMT_UNKNOWN;
};
