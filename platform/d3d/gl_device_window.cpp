// Where the device keeps its back buffer: in its framebuffer object, or straight in the window
// when the window can show it unchanged, so that Present only swaps.
#include <algorithm>

#include "platform/d3d/d3d8_test_hooks.h"
#include "platform/d3d/gl_device.h"
#include "platform/d3d/gl_surface.h"
#include "platform/window/window.h"

void GLDevice::ReadWindowBits() {
  GLint previous = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glGetIntegerv(GL_RED_BITS, &window_bits_.red);
  glGetIntegerv(GL_GREEN_BITS, &window_bits_.green);
  glGetIntegerv(GL_BLUE_BITS, &window_bits_.blue);
  glGetIntegerv(GL_ALPHA_BITS, &window_bits_.alpha);
  glGetIntegerv(GL_DEPTH_BITS, &window_bits_.depth);
  glGetIntegerv(GL_STENCIL_BITS, &window_bits_.stencil);
  glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
}

void GLDevice::ShowInWindow(const D3DPRESENT_PARAMETERS& params) {
  plat::Set_Full_Screen(window_, !params.Windowed);
  // Present scales the back buffer to the window; the mouse is mapped back through the same
  // placement, so the window's client coordinates are the back buffer's pixels.
  plat::Set_Presented_Size(window_, static_cast<int>(params.BackBufferWidth), static_cast<int>(params.BackBufferHeight));
}

bool GLDevice::WindowCanHoldBackBuffer() const {
  if (!presenter_.RampIsIdentity() || render_target_ != back_buffer_surface_) return false;
  if (depth_target_ != (params_.EnableAutoDepthStencil ? depth_surface_ : nullptr)) return false;
  int width = 0;
  int height = 0;
  SDL_GL_GetDrawableSize(window_, &width, &height);
  if (width <= 0 || height <= 0 || static_cast<UINT>(width) != back_buffer_.Width() ||
      static_cast<UINT>(height) != back_buffer_.Height()) {
    return false;
  }
  // The window's buffers must hold exactly what the back buffer's would: 8 bits per channel with
  // alpha (destination alpha blends), and the same depth and stencil precision.
  const WindowBits& bits = window_bits_;
  const D3DFORMAT color = back_buffer_.ColorFormat();
  if ((color != D3DFMT_X8R8G8B8 && color != D3DFMT_A8R8G8B8) || bits.red != 8 || bits.green != 8 ||
      bits.blue != 8 || bits.alpha != 8) {
    return false;
  }
  switch (back_buffer_.DepthFormat()) {
    case D3DFMT_UNKNOWN: return bits.depth == 0 && bits.stencil == 0;
    case D3DFMT_D16: return bits.depth == 16 && bits.stencil == 0;
    case D3DFMT_D24X8: return bits.depth == 24 && bits.stencil == 0;
    case D3DFMT_D24S8: return bits.depth == 24 && bits.stencil == 8;
    default: return false;
  }
}

// Copies colour, depth and stencil between the framebuffer object (top row first) and the
// window (bottom row first).
void GLDevice::CopyBackBuffer(GLuint from, GLuint to) {
  const GLint width = static_cast<GLint>(back_buffer_.Width());
  const GLint height = static_cast<GLint>(back_buffer_.Height());
  GLbitfield mask = GL_COLOR_BUFFER_BIT;
  if (back_buffer_.DepthFormat() != D3DFMT_UNKNOWN) mask |= GL_DEPTH_BUFFER_BIT;
  if (back_buffer_.HasStencil()) mask |= GL_STENCIL_BUFFER_BIT;
  glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glStencilMask(0xFFFFFFFFu);
  glBlitFramebuffer(0, 0, width, height, 0, height, width, 0, mask, GL_NEAREST);
  fixed_.Disturbed(GLFixedFunction::kRaster);
}

void GLDevice::MoveBackBufferToWindow() {
  CopyBackBuffer(back_buffer_.Framebuffer(), 0);
  direct_ = true;
  fixed_.SetRowsBottomUp(true);
  BindCurrentTarget();
}

void GLDevice::MoveBackBufferToFramebuffer() {
  if (!direct_) return;
  direct_ = false;
  CopyBackBuffer(0, back_buffer_.Framebuffer());
  fixed_.SetRowsBottomUp(false);
  BindCurrentTarget();
}

bool GLDevice::ReadWindowPixels(const GLPixelFormat& format, std::vector<BYTE>* out) const {
  const UINT width = back_buffer_.Width();
  const UINT height = back_buffer_.Height();
  out->resize(GLImageBytes(format, width, height));
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), format.upload_format,
               format.upload_type, out->data());
  // The window's rows count from the bottom.
  const size_t pitch = GLRowPitch(format, width);
  for (UINT top = 0; top < height / 2; ++top) {
    const UINT bottom = height - 1 - top;
    std::swap_ranges(out->begin() + static_cast<std::ptrdiff_t>(top * pitch),
                     out->begin() + static_cast<std::ptrdiff_t>((top + 1) * pitch),
                     out->begin() + static_cast<std::ptrdiff_t>(bottom * pitch));
  }
  return true;
}

bool D3D8Test_BackBufferInWindow(IDirect3DDevice8* device) {
  const auto* gl_device = dynamic_cast<GLDevice*>(device);
  return gl_device && gl_device->BackBufferInWindow();
}
