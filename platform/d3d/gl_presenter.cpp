#include "platform/d3d/gl_presenter.h"

#include "platform/window/picture_placement.h"

namespace {

constexpr const char* kVertexShader = R"(#version 120
varying vec2 uv;
void main() {
  uv = gl_MultiTexCoord0.xy;
  gl_Position = gl_Vertex;
}
)";

// Each channel's 8-bit value picks its entry of the ramp (a 256 x 1 table).
constexpr const char* kFragmentShader = R"(#version 120
uniform sampler2D picture;
uniform sampler2D ramp;
varying vec2 uv;
void main() {
  vec3 c = texture2D(picture, uv).rgb;
  vec3 at = (floor(c * 255.0 + 0.5) + 0.5) / 256.0;
  gl_FragColor = vec4(texture2D(ramp, vec2(at.r, 0.5)).r, texture2D(ramp, vec2(at.g, 0.5)).g,
                      texture2D(ramp, vec2(at.b, 0.5)).b, 1.0);
}
)";

// The identity ramp: a straight copy.
constexpr const char* kCopyShader = R"(#version 120
uniform sampler2D picture;
varying vec2 uv;
void main() {
  gl_FragColor = vec4(texture2D(picture, uv).rgb, 1.0);
}
)";

GLuint Compile(GLenum type, const char* source) {
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

GLuint Link(const char* fragment_source) {
  const GLuint vs = Compile(GL_VERTEX_SHADER, kVertexShader);
  const GLuint fs = Compile(GL_FRAGMENT_SHADER, fragment_source);
  if (!vs || !fs) {
    if (vs) glDeleteShader(vs);
    if (fs) glDeleteShader(fs);
    return 0;
  }
  GLuint program = glCreateProgram();
  glAttachShader(program, vs);
  glAttachShader(program, fs);
  glLinkProgram(program);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint linked = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (!linked) {
    glDeleteProgram(program);
    return 0;
  }
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "picture"), 0);
  const GLint ramp = glGetUniformLocation(program, "ramp");
  if (ramp >= 0) glUniform1i(ramp, 1);
  glUseProgram(0);
  return program;
}

}  // namespace

bool GLPresenter::Init() {
  program_ = Link(kFragmentShader);
  copy_program_ = Link(kCopyShader);
  if (!program_ || !copy_program_) {
    Term();
    return false;
  }

  glGenTextures(1, &lut_);
  glBindTexture(GL_TEXTURE_2D, lut_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glBindTexture(GL_TEXTURE_2D, 0);

  D3DGAMMARAMP linear;
  for (int i = 0; i < 256; ++i) {
    linear.red[i] = linear.green[i] = linear.blue[i] = static_cast<WORD>(i * 257);
  }
  SetRamp(linear);
  return true;
}

void GLPresenter::Term() {
  if (program_) glDeleteProgram(program_);
  if (copy_program_) glDeleteProgram(copy_program_);
  if (lut_) glDeleteTextures(1, &lut_);
  DetachFromContext();
}

void GLPresenter::DetachFromContext() {
  program_ = 0;
  copy_program_ = 0;
  lut_ = 0;
}

void GLPresenter::SetRamp(const D3DGAMMARAMP& ramp) {
  ramp_ = ramp;
  identity_ = true;
  WORD table[256 * 3];
  for (int i = 0; i < 256; ++i) {
    table[i * 3 + 0] = ramp.red[i];
    table[i * 3 + 1] = ramp.green[i];
    table[i * 3 + 2] = ramp.blue[i];
    const int want = i;
    if (ramp.red[i] >> 8 != want || ramp.green[i] >> 8 != want || ramp.blue[i] >> 8 != want) identity_ = false;
  }
  if (!lut_) return;
  glBindTexture(GL_TEXTURE_2D, lut_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16, 256, 1, 0, GL_RGB, GL_UNSIGNED_SHORT, table);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glBindTexture(GL_TEXTURE_2D, 0);
}

void GLPresenter::Draw(GLuint source_fbo, GLuint source_texture, UINT source_width, UINT source_height,
                       GLuint target_fbo, UINT target_width, UINT target_height, bool to_window) {
  (void)source_fbo;
  const plat::Picture_Placement placement =
      plat::Place_Picture(static_cast<int>(target_width), static_cast<int>(target_height),
                          static_cast<int>(source_width), static_cast<int>(source_height));
  glBindFramebuffer(GL_FRAMEBUFFER, target_fbo);
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  if (placement.width != static_cast<int>(target_width) || placement.height != static_cast<int>(target_height)) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);  // the bars beside the picture
    glClear(GL_COLOR_BUFFER_BIT);
  }
  // The window's rows count from the bottom.
  const int bottom = to_window ? static_cast<int>(target_height) - placement.y - placement.height : placement.y;
  glViewport(placement.x, bottom, placement.width, placement.height);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_FOG);
  glDisable(GL_LIGHTING);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  // A textured quad: faster than a framebuffer blit on software rasterisers.
  glUseProgram(identity_ ? copy_program_ : program_);
  glActiveTexture(GL_TEXTURE1);
  glBindSampler(1, 0);
  glBindTexture(GL_TEXTURE_2D, lut_);
  glActiveTexture(GL_TEXTURE0);
  glBindSampler(0, 0);
  glBindTexture(GL_TEXTURE_2D, source_texture);
  const bool one_to_one = placement.width == static_cast<int>(source_width) &&
                          placement.height == static_cast<int>(source_height);
  const GLint filter = one_to_one ? GL_NEAREST : GL_LINEAR;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  // The picture's top row (t = 0) goes to the top of the target.
  const float top = to_window ? 1.0f : -1.0f;
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(-1.0f, top);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2f(1.0f, top);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2f(-1.0f, -top);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2f(1.0f, -top);
  glEnd();
  glUseProgram(0);
  glActiveTexture(GL_TEXTURE1);
  glBindTexture(GL_TEXTURE_2D, 0);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, 0);
}
