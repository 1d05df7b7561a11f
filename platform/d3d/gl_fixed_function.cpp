#include "platform/d3d/gl_fixed_function.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/d3d/gl_point_sprites.h"
#include "platform/d3d/gl_texture.h"

namespace {

GLenum CompareFunc(DWORD cmp) {
  switch (cmp) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
  }
}

GLenum BlendFactor(DWORD blend) {
  switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
    default: return GL_ONE;
  }
}

GLenum BlendEquation(DWORD op) {
  switch (op) {
    case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN: return GL_MIN;
    case D3DBLENDOP_MAX: return GL_MAX;
    default: return GL_FUNC_ADD;
  }
}

GLenum StencilOp(DWORD op) {
  switch (op) {
    case D3DSTENCILOP_ZERO: return GL_ZERO;
    case D3DSTENCILOP_REPLACE: return GL_REPLACE;
    case D3DSTENCILOP_INCRSAT: return GL_INCR;
    case D3DSTENCILOP_DECRSAT: return GL_DECR;
    case D3DSTENCILOP_INVERT: return GL_INVERT;
    case D3DSTENCILOP_INCR: return GL_INCR_WRAP;
    case D3DSTENCILOP_DECR: return GL_DECR_WRAP;
    default: return GL_KEEP;
  }
}

GLenum AddressMode(DWORD address) {
  switch (address) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_MIRRORONCE: return GL_MIRROR_CLAMP_TO_EDGE;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
  }
}

GLenum MinFilter(DWORD min, DWORD mip) {
  const bool linear = min >= D3DTEXF_LINEAR;
  switch (mip) {
    case D3DTEXF_NONE: return linear ? GL_LINEAR : GL_NEAREST;
    case D3DTEXF_POINT: return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    default: return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
  }
}

void ColorToFloats(D3DCOLOR color, float out[4]) {
  out[0] = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
  out[1] = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
  out[2] = static_cast<float>(color & 0xFF) / 255.0f;
  out[3] = static_cast<float>((color >> 24) & 0xFF) / 255.0f;
}

void LoadMatrix(const D3DMATRIX& m) {
  // A row-major matrix for row vectors has the memory of its column-major transpose, which is
  // what OpenGL's column-vector convention needs.
  glLoadMatrixf(&m.m[0][0]);
}

// OpenGL fills a pixel whose centre lies on an edge by its bottom-left rule, in its own rows.
// Where those count from the bottom (a window), the picture's top edges become OpenGL's top
// edges: lifting everything by a sliver of a pixel gives Direct3D's top-left rule again.
constexpr float kWindowEdgeLift = 1.0f / 16.0f;

// Maps the clip coordinates a Direct3D projection produces (depth 0..w, y up, pixel centres on
// integers) to OpenGL's (depth -w..w, centres on halves). A target stored top row first counts
// rows from the top, which flips y; a window counts them from the bottom.
D3DMATRIX ClipCorrection(UINT width, UINT height, bool bottom_up) {
  const float y_sign = bottom_up ? 1.0f : -1.0f;
  const float y_shift = bottom_up ? -(1.0f - 2.0f * kWindowEdgeLift) : 1.0f;
  D3DMATRIX c = {};
  c.m[0][0] = 1.0f;
  c.m[1][1] = y_sign;
  c.m[2][2] = 2.0f;
  c.m[3][0] = width ? 1.0f / static_cast<float>(width) : 0.0f;
  c.m[3][1] = height ? y_shift / static_cast<float>(height) : 0.0f;
  c.m[3][2] = -1.0f;
  c.m[3][3] = 1.0f;
  return c;
}

// Projection of screen-space vertices (already multiplied by w) onto a target of this size.
D3DMATRIX ScreenProjection(UINT width, UINT height, bool bottom_up) {
  const float w = static_cast<float>(std::max<UINT>(width, 1));
  const float h = static_cast<float>(std::max<UINT>(height, 1));
  D3DMATRIX p = {};
  p.m[0][0] = 2.0f / w;
  p.m[1][1] = bottom_up ? -2.0f / h : 2.0f / h;
  p.m[2][2] = 2.0f;
  p.m[3][0] = 1.0f / w - 1.0f;
  p.m[3][1] = bottom_up ? 1.0f - (1.0f - 2.0f * kWindowEdgeLift) / h : 1.0f / h - 1.0f;
  p.m[3][2] = -1.0f;
  p.m[3][3] = 1.0f;
  return p;
}

struct CombinerSource {
  GLenum source;
  GLenum operand;
};

CombinerSource ArgumentSource(DWORD arg, bool alpha) {
  GLenum source = GL_PREVIOUS;
  switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE: source = GL_PRIMARY_COLOR; break;
    case D3DTA_TEXTURE: source = GL_TEXTURE; break;
    case D3DTA_TFACTOR: source = GL_CONSTANT; break;
    case D3DTA_SPECULAR: source = GL_PRIMARY_COLOR; break;
    default: source = GL_PREVIOUS; break;
  }
  const bool complement = (arg & D3DTA_COMPLEMENT) != 0;
  const bool use_alpha = alpha || (arg & D3DTA_ALPHAREPLICATE) != 0;
  GLenum operand;
  if (use_alpha) {
    operand = complement ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
  } else {
    operand = complement ? GL_ONE_MINUS_SRC_COLOR : GL_SRC_COLOR;
  }
  return {source, operand};
}

// One side (colour or alpha) of a texture stage as a GL_COMBINE set-up.
struct Combiner {
  GLenum mode = GL_MODULATE;
  CombinerSource args[3] = {};
  float scale = 1.0f;
};

Combiner StageCombiner(DWORD op, DWORD arg1, DWORD arg2, bool alpha) {
  Combiner c;
  const CombinerSource a1 = ArgumentSource(arg1, alpha);
  const CombinerSource a2 = ArgumentSource(arg2, alpha);
  const GLenum alpha_operand = GL_SRC_ALPHA;
  c.args[0] = a1;
  c.args[1] = a2;
  c.args[2] = a2;
  switch (op) {
    case D3DTOP_SELECTARG1: c.mode = GL_REPLACE; break;
    case D3DTOP_SELECTARG2: c.mode = GL_REPLACE; c.args[0] = a2; break;
    case D3DTOP_MODULATE: c.mode = GL_MODULATE; break;
    case D3DTOP_MODULATE2X: c.mode = GL_MODULATE; c.scale = 2.0f; break;
    case D3DTOP_MODULATE4X: c.mode = GL_MODULATE; c.scale = 4.0f; break;
    case D3DTOP_ADD: c.mode = GL_ADD; break;
    case D3DTOP_ADDSIGNED: c.mode = GL_ADD_SIGNED; break;
    case D3DTOP_ADDSIGNED2X: c.mode = GL_ADD_SIGNED; c.scale = 2.0f; break;
    case D3DTOP_SUBTRACT: c.mode = GL_SUBTRACT; break;
    case D3DTOP_BLENDDIFFUSEALPHA: c.mode = GL_INTERPOLATE; c.args[2] = {GL_PRIMARY_COLOR, alpha_operand}; break;
    case D3DTOP_BLENDTEXTUREALPHA: c.mode = GL_INTERPOLATE; c.args[2] = {GL_TEXTURE, alpha_operand}; break;
    case D3DTOP_BLENDFACTORALPHA: c.mode = GL_INTERPOLATE; c.args[2] = {GL_CONSTANT, alpha_operand}; break;
    case D3DTOP_BLENDCURRENTALPHA: c.mode = GL_INTERPOLATE; c.args[2] = {GL_PREVIOUS, alpha_operand}; break;
    case D3DTOP_DOTPRODUCT3: c.mode = alpha ? GL_MODULATE : GL_DOT3_RGBA; break;
    default: c.mode = GL_MODULATE; break;
  }
  return c;
}

// One side of a unit's combiner, each value sent only when it changed (the unit is active).
void SendCombiner(GLStateShadow& gl, const Combiner& c, int unit, bool alpha) {
  static constexpr GLenum kSourceNames[2][3] = {{GL_SRC0_RGB, GL_SRC1_RGB, GL_SRC2_RGB},
                                                {GL_SRC0_ALPHA, GL_SRC1_ALPHA, GL_SRC2_ALPHA}};
  static constexpr GLenum kOperandNames[2][3] = {{GL_OPERAND0_RGB, GL_OPERAND1_RGB, GL_OPERAND2_RGB},
                                                 {GL_OPERAND0_ALPHA, GL_OPERAND1_ALPHA, GL_OPERAND2_ALPHA}};
  static constexpr GLStateShadow::UnitValue kSources[2][3] = {
      {GLStateShadow::kSrc0Rgb, GLStateShadow::kSrc1Rgb, GLStateShadow::kSrc2Rgb},
      {GLStateShadow::kSrc0Alpha, GLStateShadow::kSrc1Alpha, GLStateShadow::kSrc2Alpha}};
  static constexpr GLStateShadow::UnitValue kOperands[2][3] = {
      {GLStateShadow::kOperand0Rgb, GLStateShadow::kOperand1Rgb, GLStateShadow::kOperand2Rgb},
      {GLStateShadow::kOperand0Alpha, GLStateShadow::kOperand1Alpha, GLStateShadow::kOperand2Alpha}};
  const int side = alpha ? 1 : 0;
  auto env = [&](GLStateShadow::UnitValue value, GLenum name, GLint wanted) {
    if (gl.ChangedOnUnit(unit, value, static_cast<uint32_t>(wanted))) glTexEnvi(GL_TEXTURE_ENV, name, wanted);
  };
  env(alpha ? GLStateShadow::kCombineAlpha : GLStateShadow::kCombineRgb, alpha ? GL_COMBINE_ALPHA : GL_COMBINE_RGB,
      static_cast<GLint>(c.mode));
  for (int i = 0; i < 3; ++i) {
    env(kSources[side][i], kSourceNames[side][i], static_cast<GLint>(c.args[i].source));
    env(kOperands[side][i], kOperandNames[side][i], static_cast<GLint>(c.args[i].operand));
  }
  if (gl.ChangedOnUnit(unit, alpha ? GLStateShadow::kAlphaScale : GLStateShadow::kRgbScale, GLStateShadow::Bits(c.scale)))
    glTexEnvf(GL_TEXTURE_ENV, alpha ? GL_ALPHA_SCALE : GL_RGB_SCALE, c.scale);
}

bool StageReadsTexture(const DWORD* ts) {
  auto reads = [](DWORD arg) { return (arg & D3DTA_SELECTMASK) == D3DTA_TEXTURE; };
  return reads(ts[D3DTSS_COLORARG1]) || reads(ts[D3DTSS_COLORARG2]) || reads(ts[D3DTSS_ALPHAARG1]) ||
         reads(ts[D3DTSS_ALPHAARG2]) || ts[D3DTSS_COLOROP] == D3DTOP_BLENDTEXTUREALPHA ||
         ts[D3DTSS_ALPHAOP] == D3DTOP_BLENDTEXTUREALPHA;
}

// The texture matrix OpenGL needs so that its padded coordinates (s, t, 0, 1) give what
// Direct3D computes from its padded input and the transform flags.
D3DMATRIX TextureMatrixFor(const D3DMATRIX& m, DWORD flags, int input_floats) {
  D3DMATRIX in = IdentityMatrix();
  if (input_floats == 1) {  // Direct3D pads (u) to (u, 1, 0, 0)
    in.m[1][1] = 0.0f;
    in.m[2][2] = 0.0f;
    in.m[3][3] = 0.0f;
    in.m[3][1] = 1.0f;
  } else if (input_floats == 2) {  // Direct3D pads (u, v) to (u, v, 1, 0)
    in.m[2][2] = 0.0f;
    in.m[3][3] = 0.0f;
    in.m[3][2] = 1.0f;
  }
  const D3DMATRIX a = MultiplyMatrices(in, m);
  const DWORD count = flags & 0xFF;
  const bool projected = (flags & D3DTTFF_PROJECTED) != 0;
  if (count == D3DTTFF_COUNT4) return a;
  D3DMATRIX out = {};
  auto copy_column = [&](int from, int to) {
    for (int row = 0; row < 4; ++row) out.m[row][to] = a.m[row][from];
  };
  const int used = static_cast<int>(std::clamp<DWORD>(count, 1, 3));
  if (projected && used >= 2) {
    for (int col = 0; col < used - 1; ++col) copy_column(col, col);
    copy_column(used - 1, 3);
  } else {
    for (int col = 0; col < used; ++col) copy_column(col, col);
    out.m[3][3] = 1.0f;
  }
  return out;
}

// A stage without a texture reads opaque white from it. When the stage then only passes on
// what reaches it (modulating by white, or selecting the current colour), the unit can be
// switched off instead of sampling a white texture for every pixel.
bool PassesThroughWithoutTexture(const DWORD* ts, int unit) {
  auto plain = [](DWORD arg, DWORD what) { return arg == what; };
  auto passes = [&](DWORD op, DWORD arg1, DWORD arg2) {
    const bool previous1 = plain(arg1, D3DTA_CURRENT) || (unit == 0 && plain(arg1, D3DTA_DIFFUSE));
    const bool previous2 = plain(arg2, D3DTA_CURRENT) || (unit == 0 && plain(arg2, D3DTA_DIFFUSE));
    switch (op) {
      case D3DTOP_SELECTARG1: return previous1;
      case D3DTOP_SELECTARG2: return previous2;
      case D3DTOP_MODULATE:
        return (plain(arg1, D3DTA_TEXTURE) && previous2) || (plain(arg2, D3DTA_TEXTURE) && previous1);
      default: return false;
    }
  };
  const DWORD alpha_op = ts[D3DTSS_ALPHAOP];
  const bool alpha_passes = alpha_op == D3DTOP_DISABLE || passes(alpha_op, ts[D3DTSS_ALPHAARG1], ts[D3DTSS_ALPHAARG2]);
  return alpha_passes && passes(ts[D3DTSS_COLOROP], ts[D3DTSS_COLORARG1], ts[D3DTSS_COLORARG2]);
}

}  // namespace

void GLFixedFunction::Init(int texture_units, GLuint white_texture) {
  units_ = std::clamp(texture_units, 1, static_cast<int>(D3D_TEXTURE_STAGES));
  white_texture_ = white_texture;
  samplers_.assign(static_cast<size_t>(units_), 0);
  glGenSamplers(units_, samplers_.data());
  arrays_ = ArrayFlags();
  current_ = CurrentValues();
  dirty_ = kAll;
  shadow_.ForgetAll();
  client_unit_ = -1;
  points_.Forget();
  glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
  glHint(GL_FOG_HINT, GL_NICEST);
}

void GLFixedFunction::Term() {
  if (!samplers_.empty()) glDeleteSamplers(static_cast<GLsizei>(samplers_.size()), samplers_.data());
  samplers_.clear();
}

void GLFixedFunction::DetachFromContext() {
  samplers_.clear();
  shadow_.ForgetAll();
  client_unit_ = -1;
  points_.Forget();
}

void GLFixedFunction::MarkRenderState(D3DRENDERSTATETYPE state) {
  switch (state) {
    case D3DRS_FOGENABLE:
    case D3DRS_FOGCOLOR:
    case D3DRS_FOGTABLEMODE:
    case D3DRS_FOGVERTEXMODE:
    case D3DRS_FOGSTART:
    case D3DRS_FOGEND:
    case D3DRS_FOGDENSITY:
    case D3DRS_RANGEFOGENABLE: dirty_ |= kFog; break;
    case D3DRS_LIGHTING:
    case D3DRS_AMBIENT:
    case D3DRS_COLORVERTEX:
    case D3DRS_LOCALVIEWER:
    case D3DRS_NORMALIZENORMALS:
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE: dirty_ |= kLighting; break;
    case D3DRS_SPECULARENABLE: dirty_ |= kLighting | kMaterial; break;
    case D3DRS_TEXTUREFACTOR: dirty_ |= kStages; break;
    default: dirty_ |= kRaster; break;
  }
}

void GLFixedFunction::MarkDirty(unsigned bits) {
  dirty_ |= bits;
  // Everything dirty means someone else drew with OpenGL: its current values are unknown too.
  if ((bits & kAll) == kAll) {
    current_ = CurrentValues();
    shadow_.ForgetAll();
    client_unit_ = -1;
  }
}

void GLFixedFunction::Disturbed(unsigned bits) {
  MarkDirty(bits);
  if (bits & kRaster) shadow_.ForgetRaster();
  if (bits & kTextures) shadow_.ForgetBindings();
}

void GLFixedFunction::SetRowsBottomUp(bool bottom_up) {
  if (bottom_up == bottom_up_) return;
  bottom_up_ = bottom_up;
  dirty_ |= kRaster | kTransforms;
}

void GLFixedFunction::MarkStageState(D3DTEXTURESTAGESTATETYPE type) {
  dirty_ |= kStages;
  if (type == D3DTSS_TEXCOORDINDEX || type == D3DTSS_TEXTURETRANSFORMFLAGS) dirty_ |= kTransforms;
}

void GLFixedFunction::Apply(const GLDeviceState& state, const GLVertexLayout& layout, const BYTE* vertices,
                            UINT vertex_count, UINT target_width, UINT target_height, bool points) {
  if (layout.transformed != transformed_) {
    transformed_ = layout.transformed;
    dirty_ |= kTransforms | kLighting | kFog;
  }
  const bool has_diffuse = layout.diffuse_offset >= 0;
  const bool has_specular = layout.specular_offset >= 0;
  if (has_diffuse != has_diffuse_ || has_specular != has_specular_) {
    has_diffuse_ = has_diffuse;
    has_specular_ = has_specular;
    dirty_ |= kLighting | kFog;
  }
  const bool blended = GLVertexBlender::IsActive(state, layout);
  if (blended != blended_) {
    blended_ = blended;
    dirty_ |= kTransforms;
  }
  if (dirty_ & kRaster) ApplyRaster(state);
  // The point state moves the active texture unit when it changes anything.
  if (points_.Apply(state.render_states, units_, static_cast<float>(state.viewport.Height), points))
    shadow_.ForgetActiveUnit();
  if (dirty_ & kLighting) ApplyLighting(state, layout);
  if (dirty_ & kMaterial) ApplyMaterial(state);
  if (dirty_ & kFog) ApplyFog(state);
  if (dirty_ & (kStages | kTextures)) ApplyStages(state);
  // Renormalising where nothing reads normals would only make the driver build another program.
  shadow_.Enable(GLStateShadow::kNormalize, RenormalisesNormals(state));
  if (dirty_ & kTransforms) {
    ApplyTransforms(state, target_width, target_height);
  } else if (dirty_ & kWorld) {
    ApplyWorld(state);
  }
  dirty_ = 0;
  BindArrays(state, layout, vertices, vertex_count);
}

void GLFixedFunction::ApplyRaster(const GLDeviceState& state) {
  const DWORD* rs = state.render_states;
  GLStateShadow& gl = shadow_;
  // A test, blend or offset that is off ignores its other values: they are sent when it is on,
  // so that passes differing only in them change nothing in OpenGL.
  const bool depth_test = rs[D3DRS_ZENABLE] != D3DZB_FALSE;
  gl.Enable(GLStateShadow::kDepthTest, depth_test);
  if (depth_test) {
    const bool depth_write = rs[D3DRS_ZWRITEENABLE] != 0;
    if (gl.Changed(GLStateShadow::kDepthMask, depth_write)) glDepthMask(depth_write ? GL_TRUE : GL_FALSE);
    const GLenum depth_func = CompareFunc(rs[D3DRS_ZFUNC]);
    if (gl.Changed(GLStateShadow::kDepthFunc, depth_func)) glDepthFunc(depth_func);
  }

  const DWORD fill = rs[D3DRS_FILLMODE];
  const GLenum polygon = fill == D3DFILL_POINT ? GL_POINT : fill == D3DFILL_WIREFRAME ? GL_LINE : GL_FILL;
  if (gl.Changed(GLStateShadow::kPolygonMode, polygon)) glPolygonMode(GL_FRONT_AND_BACK, polygon);
  const GLenum shading = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT ? GL_FLAT : GL_SMOOTH;
  if (gl.Changed(GLStateShadow::kShadeModel, shading)) glShadeModel(shading);

  // Rows stored top first mirror the winding OpenGL sees: a triangle clockwise on screen is
  // counter-clockwise to OpenGL. A window keeps the screen's winding.
  const GLenum front = bottom_up_ ? GL_CW : GL_CCW;
  if (gl.Changed(GLStateShadow::kFrontFace, front)) glFrontFace(front);
  const DWORD cull = rs[D3DRS_CULLMODE];
  gl.Enable(GLStateShadow::kCullFace, cull != D3DCULL_NONE);
  if (cull != D3DCULL_NONE) {
    const GLenum side = cull == D3DCULL_CW ? GL_FRONT : GL_BACK;
    if (gl.Changed(GLStateShadow::kCullFaceSide, side)) glCullFace(side);
  }

  const bool alpha_test = rs[D3DRS_ALPHATESTENABLE] != 0;
  gl.Enable(GLStateShadow::kAlphaTest, alpha_test);
  const GLenum alpha_func = CompareFunc(rs[D3DRS_ALPHAFUNC]);
  const DWORD alpha_ref = rs[D3DRS_ALPHAREF] & 0xFF;
  if (alpha_test && gl.Changed(GLStateShadow::kAlphaFunc, alpha_func, alpha_ref))
    glAlphaFunc(alpha_func, static_cast<float>(alpha_ref) / 255.0f);

  const bool blend = rs[D3DRS_ALPHABLENDENABLE] != 0;
  gl.Enable(GLStateShadow::kBlend, blend);
  if (blend) ApplyBlend(rs);

  const DWORD mask = rs[D3DRS_COLORWRITEENABLE] & 0xF;
  if (gl.Changed(GLStateShadow::kColorMask, mask))
    glColorMask((mask & D3DCOLORWRITEENABLE_RED) != 0, (mask & D3DCOLORWRITEENABLE_GREEN) != 0,
                (mask & D3DCOLORWRITEENABLE_BLUE) != 0, (mask & D3DCOLORWRITEENABLE_ALPHA) != 0);

  gl.Enable(GLStateShadow::kStencilTest, rs[D3DRS_STENCILENABLE] != 0);
  const GLenum stencil_func = CompareFunc(rs[D3DRS_STENCILFUNC]);
  if (gl.Changed(GLStateShadow::kStencilFunc, stencil_func, rs[D3DRS_STENCILREF], rs[D3DRS_STENCILMASK]))
    glStencilFunc(stencil_func, static_cast<GLint>(rs[D3DRS_STENCILREF]), rs[D3DRS_STENCILMASK]);
  const GLenum fail = StencilOp(rs[D3DRS_STENCILFAIL]);
  const GLenum depth_fail = StencilOp(rs[D3DRS_STENCILZFAIL]);
  const GLenum pass = StencilOp(rs[D3DRS_STENCILPASS]);
  if (gl.Changed(GLStateShadow::kStencilOp, fail, depth_fail, pass)) glStencilOp(fail, depth_fail, pass);
  if (gl.Changed(GLStateShadow::kStencilMask, rs[D3DRS_STENCILWRITEMASK])) glStencilMask(rs[D3DRS_STENCILWRITEMASK]);

  gl.Enable(GLStateShadow::kDither, rs[D3DRS_DITHERENABLE] != 0);

  // A higher bias draws nearer: a negative offset in OpenGL's depth.
  const DWORD bias = rs[D3DRS_ZBIAS];
  gl.Enable(GLStateShadow::kOffsetFill, bias != 0);
  gl.Enable(GLStateShadow::kOffsetLine, bias != 0);
  if (bias != 0 && gl.Changed(GLStateShadow::kPolygonOffset, bias)) glPolygonOffset(0.0f, -static_cast<float>(bias));
}

void GLFixedFunction::ApplyBlend(const DWORD* rs) {
  DWORD src = rs[D3DRS_SRCBLEND];
  DWORD dst = rs[D3DRS_DESTBLEND];
  if (src == D3DBLEND_BOTHSRCALPHA) {
    src = D3DBLEND_SRCALPHA;
    dst = D3DBLEND_INVSRCALPHA;
  } else if (src == D3DBLEND_BOTHINVSRCALPHA) {
    src = D3DBLEND_INVSRCALPHA;
    dst = D3DBLEND_SRCALPHA;
  }
  const GLenum src_factor = BlendFactor(src);
  const GLenum dst_factor = BlendFactor(dst);
  if (shadow_.Changed(GLStateShadow::kBlendFunc, src_factor, dst_factor)) glBlendFunc(src_factor, dst_factor);
  const GLenum equation = BlendEquation(rs[D3DRS_BLENDOP]);
  if (shadow_.Changed(GLStateShadow::kBlendEquation, equation)) glBlendEquation(equation);
}

void GLFixedFunction::ApplyFog(const GLDeviceState& state) {
  const DWORD* rs = state.render_states;
  const DWORD table = rs[D3DRS_FOGTABLEMODE];
  const DWORD vertex = rs[D3DRS_FOGVERTEXMODE];
  const DWORD mode = table != D3DFOG_NONE ? table : vertex;
  fog_source_ = FogSource::kNone;
  if (rs[D3DRS_FOGENABLE] && mode != D3DFOG_NONE) {
    if (!transformed_) {
      fog_source_ = FogSource::kDepth;
    } else if (table != D3DFOG_NONE) {
      fog_source_ = FogSource::kVertexW;
    } else if (has_specular_) {
      fog_source_ = FogSource::kSpecularAlpha;
    }
  }
  // A linear ramp whose start and end meet has no length: rather than divide by zero and fog
  // everything, it fogs nothing.
  const bool empty_linear_range = mode == D3DFOG_LINEAR && fog_source_ != FogSource::kSpecularAlpha &&
                                  rs[D3DRS_FOGSTART] == rs[D3DRS_FOGEND];
  if (fog_source_ == FogSource::kNone || empty_linear_range) {
    fog_source_ = FogSource::kNone;
    shadow_.Enable(GLStateShadow::kFog, false);
    return;
  }
  shadow_.Enable(GLStateShadow::kFog, true);
  float color[4];
  ColorToFloats(rs[D3DRS_FOGCOLOR], color);
  glFogfv(GL_FOG_COLOR, color);
  if (fog_source_ == FogSource::kSpecularAlpha) {
    // The vertex carries its own fog factor; a linear ramp over 0..1 passes it through.
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 0.0f);
    glFogf(GL_FOG_END, 1.0f);
    glFogi(GL_FOG_COORD_SRC, GL_FOG_COORD);
    return;
  }
  glFogi(GL_FOG_MODE, mode == D3DFOG_EXP ? GL_EXP : mode == D3DFOG_EXP2 ? GL_EXP2 : GL_LINEAR);
  glFogf(GL_FOG_START, DwordToFloat(rs[D3DRS_FOGSTART]));
  glFogf(GL_FOG_END, DwordToFloat(rs[D3DRS_FOGEND]));
  glFogf(GL_FOG_DENSITY, DwordToFloat(rs[D3DRS_FOGDENSITY]));
  glFogi(GL_FOG_COORD_SRC, fog_source_ == FogSource::kDepth ? GL_FRAGMENT_DEPTH : GL_FOG_COORD);
}

void GLFixedFunction::ApplyLighting(const GLDeviceState& state, const GLVertexLayout& layout) {
  const DWORD* rs = state.render_states;
  const bool lighting = rs[D3DRS_LIGHTING] && !transformed_;
  if (!lighting) {
    shadow_.Enable(GLStateShadow::kLighting, false);
    shadow_.Enable(GLStateShadow::kColorMaterial, false);
    shadow_.Enable(GLStateShadow::kColorSum, rs[D3DRS_SPECULARENABLE] && has_specular_);
    return;
  }
  shadow_.Enable(GLStateShadow::kLighting, true);
  shadow_.Enable(GLStateShadow::kColorSum, false);
  // Specular light is added after texturing; without it a single colour gives the same picture
  // for less work per vertex and per pixel.
  glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL,
                rs[D3DRS_SPECULARENABLE] ? GL_SEPARATE_SPECULAR_COLOR : GL_SINGLE_COLOR);
  float ambient[4];
  ColorToFloats(rs[D3DRS_AMBIENT], ambient);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, rs[D3DRS_LOCALVIEWER] ? GL_TRUE : GL_FALSE);
  // Vertex colours replace material colours only where the vertex has them.
  const bool vertex_colours = rs[D3DRS_COLORVERTEX] && layout.diffuse_offset >= 0;
  const bool diffuse = vertex_colours && rs[D3DRS_DIFFUSEMATERIALSOURCE] == D3DMCS_COLOR1;
  const bool ambient_src = vertex_colours && rs[D3DRS_AMBIENTMATERIALSOURCE] == D3DMCS_COLOR1;
  const bool emissive = vertex_colours && rs[D3DRS_EMISSIVEMATERIALSOURCE] == D3DMCS_COLOR1;
  GLenum tracked = 0;
  if (diffuse && ambient_src) {
    tracked = GL_AMBIENT_AND_DIFFUSE;
  } else if (diffuse) {
    tracked = GL_DIFFUSE;
  } else if (ambient_src) {
    tracked = GL_AMBIENT;
  } else if (emissive) {
    tracked = GL_EMISSION;
  }
  if (tracked != 0) glColorMaterial(GL_FRONT_AND_BACK, tracked);
  shadow_.Enable(GLStateShadow::kColorMaterial, tracked != 0);
  // Switching colour tracking off leaves the tracked colour in the material: set it again.
  dirty_ |= kMaterial;
}

void GLFixedFunction::ApplyMaterial(const GLDeviceState& state) {
  const D3DMATERIAL8& m = state.material;
  const float none[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, &m.Diffuse.r);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, &m.Ambient.r);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, &m.Emissive.r);
  const bool specular = state.render_states[D3DRS_SPECULARENABLE] != 0;
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular ? &m.Specular.r : none);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(m.Power, 0.0f, 128.0f));
}

void GLFixedFunction::ApplyLights(const GLDeviceState& state) {
  glMatrixMode(GL_MODELVIEW);
  LoadMatrix(state.view);
  for (int i = 0; i < GLDeviceState::kMaxLights; ++i) {
    const GLenum id = GL_LIGHT0 + static_cast<GLenum>(i);
    if (!state.light_enabled[i]) {
      glDisable(id);
      continue;
    }
    const D3DLIGHT8& light = state.lights[i];
    glEnable(id);
    glLightfv(id, GL_DIFFUSE, &light.Diffuse.r);
    glLightfv(id, GL_SPECULAR, &light.Specular.r);
    glLightfv(id, GL_AMBIENT, &light.Ambient.r);
    if (light.Type == D3DLIGHT_DIRECTIONAL) {
      // Direct3D gives the direction the light travels; OpenGL the direction towards it.
      const float towards[4] = {-light.Direction.x, -light.Direction.y, -light.Direction.z, 0.0f};
      glLightfv(id, GL_POSITION, towards);
      glLightf(id, GL_CONSTANT_ATTENUATION, 1.0f);
      glLightf(id, GL_LINEAR_ATTENUATION, 0.0f);
      glLightf(id, GL_QUADRATIC_ATTENUATION, 0.0f);
      glLightf(id, GL_SPOT_CUTOFF, 180.0f);
      continue;
    }
    const float position[4] = {light.Position.x, light.Position.y, light.Position.z, 1.0f};
    glLightfv(id, GL_POSITION, position);
    glLightf(id, GL_CONSTANT_ATTENUATION, light.Attenuation0);
    glLightf(id, GL_LINEAR_ATTENUATION, light.Attenuation1);
    glLightf(id, GL_QUADRATIC_ATTENUATION, light.Attenuation2);
    if (light.Type == D3DLIGHT_SPOT) {
      const float direction[3] = {light.Direction.x, light.Direction.y, light.Direction.z};
      glLightfv(id, GL_SPOT_DIRECTION, direction);
      glLightf(id, GL_SPOT_CUTOFF, std::clamp(light.Phi * 0.5f * 57.29578f, 0.0f, 90.0f));
      glLightf(id, GL_SPOT_EXPONENT, std::clamp(light.Falloff, 0.0f, 128.0f));
    } else {
      glLightf(id, GL_SPOT_CUTOFF, 180.0f);
    }
  }
}

void GLFixedFunction::ApplyTransforms(const GLDeviceState& state, UINT target_width, UINT target_height) {
  ApplyLights(state);
  // Camera-space position as texture coordinates: eye planes given under an identity matrix.
  glLoadIdentity();
  static constexpr float kPlanes[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  for (int unit = 0; unit < units_; ++unit) {
    shadow_.ActiveUnit(unit);
    glTexGenfv(GL_S, GL_EYE_PLANE, kPlanes[0]);
    glTexGenfv(GL_T, GL_EYE_PLANE, kPlanes[1]);
    glTexGenfv(GL_R, GL_EYE_PLANE, kPlanes[2]);
    glTexGenfv(GL_Q, GL_EYE_PLANE, kPlanes[3]);
    ApplyTextureMatrix(state, unit);
  }

  glMatrixMode(GL_PROJECTION);
  if (transformed_) {
    glViewport(0, 0, static_cast<GLsizei>(target_width), static_cast<GLsizei>(target_height));
    glDepthRange(0.0, 1.0);
    LoadMatrix(ScreenProjection(target_width, target_height, bottom_up_));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return;
  }
  const D3DVIEWPORT8& vp = state.viewport;
  const GLint y = bottom_up_ ? static_cast<GLint>(target_height) - static_cast<GLint>(vp.Y + vp.Height)
                             : static_cast<GLint>(vp.Y);
  glViewport(static_cast<GLint>(vp.X), y, static_cast<GLsizei>(vp.Width), static_cast<GLsizei>(vp.Height));
  glDepthRange(vp.MinZ, vp.MaxZ);
  LoadMatrix(MultiplyMatrices(state.projection, ClipCorrection(vp.Width, vp.Height, bottom_up_)));
  glMatrixMode(GL_MODELVIEW);
  // Blended vertices arrive in world space.
  LoadMatrix(blended_ ? state.view : MultiplyMatrices(state.world[0], state.view));
}

// Objects move between draws far more often than anything else changes: a new world matrix
// needs only the model-view matrix (lights and eye planes were given under the view alone).
void GLFixedFunction::ApplyWorld(const GLDeviceState& state) {
  if (transformed_ || blended_) return;
  glMatrixMode(GL_MODELVIEW);
  LoadMatrix(MultiplyMatrices(state.world[0], state.view));
}

void GLFixedFunction::ApplyTextureMatrix(const GLDeviceState& state, int unit) {
  glMatrixMode(GL_TEXTURE);
  const DWORD* ts = state.stage_states[unit];
  const DWORD flags = ts[D3DTSS_TEXTURETRANSFORMFLAGS];
  if ((flags & 0xFF) == D3DTTFF_DISABLE) {
    glLoadIdentity();
  } else {
    const DWORD generation = ts[D3DTSS_TEXCOORDINDEX] & 0xFFFF0000u;
    int input = 4;
    if (generation == D3DTSS_TCI_PASSTHRU) input = 2;
    LoadMatrix(TextureMatrixFor(state.texture_matrix[unit], flags, input));
  }
  glMatrixMode(GL_MODELVIEW);
}

void GLFixedFunction::ApplyStages(const GLDeviceState& state) {
  bool enabled = true;
  for (int unit = 0; unit < units_; ++unit) {
    if (state.stage_states[unit][D3DTSS_COLOROP] == D3DTOP_DISABLE) enabled = false;
    ApplyStage(state, unit, enabled);
  }
}

void GLFixedFunction::SwitchTexgen(int unit, GLint mode) {
  GLStateShadow& gl = shadow_;
  if (mode != 0) {
    const bool eye = mode == GL_EYE_LINEAR;
    if (gl.ChangedOnUnit(unit, GLStateShadow::kGenModeS, static_cast<uint32_t>(mode))) {
      gl.ActiveUnit(unit);
      glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, mode);
      glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, mode);
      glTexGeni(GL_R, GL_TEXTURE_GEN_MODE, mode);
      if (eye) glTexGeni(GL_Q, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    }
    gl.EnableOnUnit(unit, GLStateShadow::kGenS, true);
    gl.EnableOnUnit(unit, GLStateShadow::kGenT, true);
    gl.EnableOnUnit(unit, GLStateShadow::kGenR, true);
    gl.EnableOnUnit(unit, GLStateShadow::kGenQ, eye);
    return;
  }
  gl.EnableOnUnit(unit, GLStateShadow::kGenS, false);
  gl.EnableOnUnit(unit, GLStateShadow::kGenT, false);
  gl.EnableOnUnit(unit, GLStateShadow::kGenR, false);
  gl.EnableOnUnit(unit, GLStateShadow::kGenQ, false);
}

void GLFixedFunction::ApplySampler(const DWORD* ts, int unit) {
  GLStateShadow& gl = shadow_;
  const GLuint sampler = samplers_[static_cast<size_t>(unit)];
  if (gl.ChangedOnUnit(unit, GLStateShadow::kSampler, sampler)) glBindSampler(static_cast<GLuint>(unit), sampler);
  auto parameter = [&](GLStateShadow::UnitValue value, GLenum name, GLint wanted) {
    if (gl.ChangedOnUnit(unit, value, static_cast<uint32_t>(wanted))) glSamplerParameteri(sampler, name, wanted);
  };
  parameter(GLStateShadow::kWrapS, GL_TEXTURE_WRAP_S, static_cast<GLint>(AddressMode(ts[D3DTSS_ADDRESSU])));
  parameter(GLStateShadow::kWrapT, GL_TEXTURE_WRAP_T, static_cast<GLint>(AddressMode(ts[D3DTSS_ADDRESSV])));
  parameter(GLStateShadow::kWrapR, GL_TEXTURE_WRAP_R, static_cast<GLint>(AddressMode(ts[D3DTSS_ADDRESSW])));
  if (gl.ChangedOnUnit(unit, GLStateShadow::kBorder, ts[D3DTSS_BORDERCOLOR])) {
    float border[4];
    ColorToFloats(ts[D3DTSS_BORDERCOLOR], border);
    glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border);
  }
  parameter(GLStateShadow::kMagFilter, GL_TEXTURE_MAG_FILTER, ts[D3DTSS_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
  parameter(GLStateShadow::kMinFilter, GL_TEXTURE_MIN_FILTER,
            static_cast<GLint>(MinFilter(ts[D3DTSS_MINFILTER], ts[D3DTSS_MIPFILTER])));
  if (gl.ChangedOnUnit(unit, GLStateShadow::kLodBias, ts[D3DTSS_MIPMAPLODBIAS]))
    glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, DwordToFloat(ts[D3DTSS_MIPMAPLODBIAS]));
  if (gl.ChangedOnUnit(unit, GLStateShadow::kMinLod, ts[D3DTSS_MAXMIPLEVEL]))
    glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, static_cast<float>(ts[D3DTSS_MAXMIPLEVEL]));
}

// Each value reaches OpenGL only when it differs from what the unit has: a unit that stays off
// costs nothing, and passes that differ in a blend or a combiner send only that.
void GLFixedFunction::ApplyStage(const GLDeviceState& state, int unit, bool enabled) {
  GLStateShadow& gl = shadow_;
  const DWORD* ts = state.stage_states[unit];
  GLSampledTexture* texture = state.textures[unit];
  const bool has_texture = texture && texture->Name() != 0;
  if (!has_texture && PassesThroughWithoutTexture(ts, unit)) enabled = false;
  unit_on_[unit] = enabled;
  if (!enabled) {
    gl.EnableOnUnit(unit, GLStateShadow::kTexture2D, false);
    gl.EnableOnUnit(unit, GLStateShadow::kTextureCube, false);
    gl.EnableOnUnit(unit, GLStateShadow::kTexture3D, false);
    SwitchTexgen(unit, 0);
    return;
  }
  GLuint name = white_texture_;
  GLenum target = GL_TEXTURE_2D;
  if (has_texture && StageReadsTexture(ts)) {
    gl.ActiveUnit(unit);  // levels are prepared through the active unit
    bool rebound = texture->PrepareLevels();
    if (texture->Format() == D3DFMT_P8) {
      const UINT palette = state.current_palette;
      if (palette < state.palettes.size())
        rebound = texture->PrepareForDraw(state.palettes[palette].data(), state.palette_stamps[palette]) || rebound;
    }
    if (rebound) shadow_.ForgetBindings();
    name = texture->Name();
    target = texture->Target();
  }
  // Only the target of the texture drawn stays enabled (a cube map would win over a 2D one).
  gl.EnableOnUnit(unit, GLStateShadow::kTexture2D, target == GL_TEXTURE_2D);
  gl.EnableOnUnit(unit, GLStateShadow::kTextureCube, target == GL_TEXTURE_CUBE_MAP);
  gl.EnableOnUnit(unit, GLStateShadow::kTexture3D, target == GL_TEXTURE_3D);
  const GLStateShadow::UnitValue binding = target == GL_TEXTURE_CUBE_MAP ? GLStateShadow::kBindingCube
                                           : target == GL_TEXTURE_3D     ? GLStateShadow::kBinding3D
                                                                         : GLStateShadow::kBinding2D;
  if (gl.ChangedOnUnit(unit, binding, name)) {
    gl.ActiveUnit(unit);
    glBindTexture(target, name);
  }
  ApplySampler(ts, unit);

  gl.ActiveUnit(unit);  // the texture environment below belongs to the active unit
  if (gl.ChangedOnUnit(unit, GLStateShadow::kEnvMode, GL_COMBINE))
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
  if (gl.ChangedOnUnit(unit, GLStateShadow::kEnvColor, state.render_states[D3DRS_TEXTUREFACTOR])) {
    float factor[4];
    ColorToFloats(state.render_states[D3DRS_TEXTUREFACTOR], factor);
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, factor);
  }
  SendCombiner(gl, StageCombiner(ts[D3DTSS_COLOROP], ts[D3DTSS_COLORARG1], ts[D3DTSS_COLORARG2], false), unit, false);
  DWORD alpha_op = ts[D3DTSS_ALPHAOP];
  DWORD alpha_arg1 = ts[D3DTSS_ALPHAARG1];
  if (alpha_op == D3DTOP_DISABLE) {  // keep the alpha of the stages before
    alpha_op = D3DTOP_SELECTARG1;
    alpha_arg1 = D3DTA_CURRENT;
  }
  SendCombiner(gl, StageCombiner(alpha_op, alpha_arg1, ts[D3DTSS_ALPHAARG2], true), unit, true);

  const DWORD generation = ts[D3DTSS_TEXCOORDINDEX] & 0xFFFF0000u;
  GLint mode = 0;
  if (generation == D3DTSS_TCI_CAMERASPACENORMAL) mode = GL_NORMAL_MAP;
  if (generation == D3DTSS_TCI_CAMERASPACEPOSITION) mode = GL_EYE_LINEAR;
  if (generation == D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR) mode = GL_REFLECTION_MAP;
  SwitchTexgen(unit, mode);
}

void GLFixedFunction::SetClientArray(GLenum array, bool on) {
  if (on) {
    glEnableClientState(array);
  } else {
    glDisableClientState(array);
  }
}

// A screen vertex (x, y, z, 1/w) becomes (x w, y w, z w, w) so that OpenGL interpolates with
// the same perspective as the vertex describes. Vertices whose 1/w is 1 (flat screen work) are
// already in that form: OpenGL reads them where they are, as it does the other attributes, and
// false is returned. Fog coordinates taken from the vertices are made either way.
bool GLFixedFunction::ConvertTransformed(const GLVertexLayout& layout, const BYTE* vertices, UINT vertex_count) {
  bool all_flat = true;
  for (UINT i = 0; i < vertex_count && all_flat; ++i) {
    float rhw;
    std::memcpy(&rhw, vertices + static_cast<size_t>(i) * layout.stride + 12, sizeof rhw);
    all_flat = rhw == 1.0f;
  }
  if (fog_source_ != FogSource::kNone) fog_coords_.resize(vertex_count);
  if (!all_flat) positions_.resize(static_cast<size_t>(vertex_count) * 4);
  for (UINT i = 0; i < vertex_count && (!all_flat || fog_source_ != FogSource::kNone); ++i) {
    float v[4];
    std::memcpy(v, vertices + static_cast<size_t>(i) * layout.stride, sizeof v);
    const float w = v[3] > 0.0f && std::isfinite(v[3]) ? 1.0f / v[3] : 1.0f;
    if (!all_flat) {
      float* out = &positions_[static_cast<size_t>(i) * 4];
      out[0] = v[0] * w;
      out[1] = v[1] * w;
      out[2] = v[2] * w;
      out[3] = w;
    }
    if (fog_source_ == FogSource::kVertexW) {
      fog_coords_[i] = w;
    } else if (fog_source_ == FogSource::kSpecularAlpha) {
      const BYTE alpha = vertices[static_cast<size_t>(i) * layout.stride + static_cast<size_t>(layout.specular_offset) + 3];
      fog_coords_[i] = 1.0f - static_cast<float>(alpha) / 255.0f;
    }
  }
  return !all_flat;
}

void GLFixedFunction::BindArrays(const GLDeviceState& state, const GLVertexLayout& layout, const BYTE* vertices,
                                 UINT vertex_count) {
  const GLsizei stride = static_cast<GLsizei>(layout.stride);
  if (!arrays_.vertex) {
    glEnableClientState(GL_VERTEX_ARRAY);
    arrays_.vertex = true;
  }
  if (layout.transformed) {
    if (ConvertTransformed(layout, vertices, vertex_count)) {
      glVertexPointer(4, GL_FLOAT, 0, positions_.data());
    } else {
      glVertexPointer(4, GL_FLOAT, stride, vertices);
    }
  } else if (blended_) {
    blender_.Blend(state, layout, vertices, vertex_count);
    glVertexPointer(3, GL_FLOAT, 0, blender_.Positions());
  } else {
    glVertexPointer(3, GL_FLOAT, stride, vertices);
  }
  // Attributes without an array read OpenGL's current value, set only when it may have changed
  // (setting it costs a state update on every draw).
  const bool normal = layout.normal_offset >= 0;
  if (normal != arrays_.normal) SetClientArray(GL_NORMAL_ARRAY, arrays_.normal = normal);
  if (normal) {
    if (blended_)
      glNormalPointer(GL_FLOAT, 0, blender_.Normals());
    else
      glNormalPointer(GL_FLOAT, stride, vertices + layout.normal_offset);
    current_.normal = false;
  } else if (!current_.normal) {
    glNormal3f(0.0f, 0.0f, 0.0f);
    current_.normal = true;
  }
  const bool color = layout.diffuse_offset >= 0;
  if (color != arrays_.color) SetClientArray(GL_COLOR_ARRAY, arrays_.color = color);
  if (color) {
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, stride, vertices + layout.diffuse_offset);
    current_.color = false;
  } else if (!current_.color) {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    current_.color = true;
  }
  const bool secondary = layout.specular_offset >= 0;
  if (secondary != arrays_.secondary) SetClientArray(GL_SECONDARY_COLOR_ARRAY, arrays_.secondary = secondary);
  if (secondary) glSecondaryColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, stride, vertices + layout.specular_offset);
  const bool fog = layout.transformed && fog_source_ != FogSource::kNone;
  if (fog != arrays_.fog) SetClientArray(GL_FOG_COORD_ARRAY, arrays_.fog = fog);
  if (fog) glFogCoordPointer(GL_FLOAT, 0, fog_coords_.data());

  for (int unit = 0; unit < units_; ++unit) {
    const DWORD index = state.stage_states[unit][D3DTSS_TEXCOORDINDEX];
    const int set = static_cast<int>(index & 0xFFFF);
    const bool generated = (index & 0xFFFF0000u) != 0;
    // A unit that textures nothing reads no coordinates: OpenGL need not fetch them. An array
    // already on stays on (pointed at these vertices) rather than being switched at each pass.
    const bool on = !generated && set < layout.tex_sets && (unit_on_[unit] || arrays_.tex[unit]);
    const GLenum texture_unit = GL_TEXTURE0 + static_cast<GLenum>(unit);
    if (!on && !arrays_.tex[unit]) {
      if (!current_.tex[unit]) glMultiTexCoord4f(texture_unit, 0.0f, 0.0f, 0.0f, 1.0f);
      current_.tex[unit] = true;
      continue;
    }
    if (client_unit_ != unit) glClientActiveTexture(texture_unit);
    client_unit_ = unit;
    if (on != arrays_.tex[unit]) SetClientArray(GL_TEXTURE_COORD_ARRAY, arrays_.tex[unit] = on);
    if (on) {
      glTexCoordPointer(layout.tex_size[set], GL_FLOAT, stride, vertices + layout.tex_offset[set]);
      current_.tex[unit] = false;
    } else if (!current_.tex[unit]) {
      glMultiTexCoord4f(texture_unit, 0.0f, 0.0f, 0.0f, 1.0f);
      current_.tex[unit] = true;
    }
  }
}
