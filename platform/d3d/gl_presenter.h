#pragma once
// Shows the back buffer in the window through the gamma ramp: a quad textured with the picture,
// each channel looked up in the ramp (a plain copy while the ramp is the identity).
#include <vector>

#include "platform/d3d/d3d8.h"
#include "platform/d3d/gl_api.h"

class GLPresenter {
 public:
  bool Init();
  void Term();
  void DetachFromContext();

  void SetRamp(const D3DGAMMARAMP& ramp);
  const D3DGAMMARAMP& Ramp() const { return ramp_; }
  bool RampIsIdentity() const { return identity_; }

  // Draws `source_texture` (attached to `source_fbo`, top row first) into `target_fbo`, scaled to
  // fit it whole and centred, with black bars on the sides left over (plat::Place_Picture, the
  // placement the mouse is mapped through). `to_window`: the target is a window, whose rows
  // count from the bottom.
  void Draw(GLuint source_fbo, GLuint source_texture, UINT source_width, UINT source_height, GLuint target_fbo,
            UINT target_width, UINT target_height, bool to_window);

 private:
  GLuint program_ = 0;
  GLuint copy_program_ = 0;
  GLuint lut_ = 0;
  D3DGAMMARAMP ramp_ = {};
  bool identity_ = true;
};
