#include "platform/d3d/gl_frame_buffer.h"

#include "platform/d3d/gl_pixel_format.h"

namespace {

GLenum DepthInternalFormat(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_D16:
    case D3DFMT_D16_LOCKABLE: return GL_DEPTH_COMPONENT16;
    case D3DFMT_D24X8: return GL_DEPTH_COMPONENT24;
    case D3DFMT_D24S8: return GL_DEPTH24_STENCIL8;
    default: return 0;
  }
}

}  // namespace

bool GLFrameBuffer::IsDepthFormatSupported(D3DFORMAT format) { return DepthInternalFormat(format) != 0; }

bool GLFrameBuffer::IsColorFormatSupported(D3DFORMAT format) {
  return format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8R8G8B8 || format == D3DFMT_R5G6B5 ||
         format == D3DFMT_X1R5G5B5;
}

bool GLFrameBuffer::HasStencil() const { return depth_format_ == D3DFMT_D24S8; }

bool GLFrameBuffer::Create(UINT width, UINT height, D3DFORMAT color_format, D3DFORMAT depth_format) {
  Destroy();
  const GLPixelFormat* pf = FindGLPixelFormat(color_format);
  if (!pf || !IsColorFormatSupported(color_format) || width == 0 || height == 0 || width > 8192 || height > 8192) {
    return false;
  }
  if (depth_format != D3DFMT_UNKNOWN && !IsDepthFormatSupported(depth_format)) return false;
  width_ = width;
  height_ = height;
  color_format_ = color_format;
  depth_format_ = depth_format;

  glGenTextures(1, &color_);
  glBindTexture(GL_TEXTURE_2D, color_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  // X8R8G8B8 keeps an alpha channel in the buffer so that destination-alpha blending works.
  const GLenum internal = color_format == D3DFMT_X8R8G8B8 ? GL_RGBA8 : pf->internal_format;
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internal), static_cast<GLsizei>(width),
               static_cast<GLsizei>(height), 0, pf->upload_format, pf->upload_type, nullptr);
  glBindTexture(GL_TEXTURE_2D, 0);

  glGenFramebuffers(1, &fbo_);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color_, 0);
  if (depth_format != D3DFMT_UNKNOWN) {
    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, DepthInternalFormat(depth_format), static_cast<GLsizei>(width),
                          static_cast<GLsizei>(height));
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, HasStencil() ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                              GL_RENDERBUFFER, depth_);
  }
  const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  if (!complete) Destroy();
  return complete;
}

void GLFrameBuffer::Destroy() {
  if (fbo_) glDeleteFramebuffers(1, &fbo_);
  if (color_) glDeleteTextures(1, &color_);
  if (depth_) glDeleteRenderbuffers(1, &depth_);
  DetachFromContext();
}

void GLFrameBuffer::DetachFromContext() {
  fbo_ = color_ = depth_ = 0;
  width_ = height_ = 0;
  color_format_ = depth_format_ = D3DFMT_UNKNOWN;
}

bool GLFrameBuffer::ReadPixels(std::vector<BYTE>* out) const {
  const GLPixelFormat* pf = FindGLPixelFormat(color_format_);
  if (!fbo_ || !pf || !out) return false;
  out->resize(GLImageBytes(*pf, width_, height_));
  GLint previous = 0;
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_), pf->upload_format,
               pf->upload_type, out->data());
  glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
  return true;
}

bool GLFrameBuffer::WritePixels(const BYTE* pixels) {
  const GLPixelFormat* pf = FindGLPixelFormat(color_format_);
  if (!color_ || !pf || !pixels) return false;
  glBindTexture(GL_TEXTURE_2D, color_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_),
                  pf->upload_format, pf->upload_type, pixels);
  glBindTexture(GL_TEXTURE_2D, 0);
  return true;
}
