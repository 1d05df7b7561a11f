#pragma once
// Turns the Direct3D state of a device into OpenGL fixed-function state before a draw:
// render states, lights and material, fog, transforms (with the conventions translated: row
// vectors, depth 0..1, pixel centres, rows counted from the top), texture stages and the
// vertex arrays of one vertex layout.
#include <vector>

#include "platform/d3d/gl_api.h"
#include "platform/d3d/gl_device_state.h"
#include "platform/d3d/gl_point_sprites.h"
#include "platform/d3d/gl_state_shadow.h"
#include "platform/d3d/gl_vertex_blend.h"
#include "platform/d3d/gl_vertex_layout.h"

class GLFixedFunction {
 public:
  enum DirtyBits : unsigned {
    kRaster = 1u << 0,
    kFog = 1u << 1,
    kLighting = 1u << 2,
    kMaterial = 1u << 3,
    kTransforms = 1u << 4,  // also lights and eye planes, which depend on the view
    kStages = 1u << 5,
    kTextures = 1u << 6,
    kWorld = 1u << 7,  // the world matrix alone (a part of kTransforms)
    kAll = 0xFFu,
  };

  void Init(int texture_units, GLuint white_texture);
  void Term();
  void DetachFromContext();
  int TextureUnits() const { return units_; }

  // The Direct3D state behind these bits changed: it is translated again before the next draw.
  // All bits at once mean someone else drew with OpenGL: nothing OpenGL holds is known then.
  void MarkDirty(unsigned bits);
  // OpenGL state was changed behind the translator's back: kRaster after a clear or a copy
  // (write masks, scissor, dither), kTextures after a texture was bound to upload or read it.
  void Disturbed(unsigned bits);
  void MarkRenderState(D3DRENDERSTATETYPE state);
  void MarkStageState(D3DTEXTURESTAGESTATETYPE type);
  // Whether the current target stores its rows bottom first (a window) or top first.
  void SetRowsBottomUp(bool bottom_up);

  // Prepares OpenGL to draw `vertex_count` vertices starting at `vertices` (the first vertex the
  // draw may use) with the layout and the device's state. `target_width` and `target_height`
  // are the size of the current render target. `points` says the draw is a point list: point
  // sprites replace texture coordinates for points alone, as Direct3D's do.
  void Apply(const GLDeviceState& state, const GLVertexLayout& layout, const BYTE* vertices, UINT vertex_count,
             UINT target_width, UINT target_height, bool points);

 private:
  enum class FogSource { kNone, kDepth, kVertexW, kSpecularAlpha };

  void ApplyRaster(const GLDeviceState& state);
  void ApplyBlend(const DWORD* render_states);
  void ApplyFog(const GLDeviceState& state);
  void ApplyLighting(const GLDeviceState& state, const GLVertexLayout& layout);
  void ApplyMaterial(const GLDeviceState& state);
  void ApplyTransforms(const GLDeviceState& state, UINT target_width, UINT target_height);
  void ApplyWorld(const GLDeviceState& state);
  void ApplyLights(const GLDeviceState& state);
  void ApplyStages(const GLDeviceState& state);
  void ApplyStage(const GLDeviceState& state, int unit, bool enabled);
  void ApplyTextureMatrix(const GLDeviceState& state, int unit);
  void ApplySampler(const DWORD* stage_states, int unit);
  void SwitchTexgen(int unit, GLint mode);
  void BindArrays(const GLDeviceState& state, const GLVertexLayout& layout, const BYTE* vertices,
                  UINT vertex_count);
  bool ConvertTransformed(const GLVertexLayout& layout, const BYTE* vertices, UINT vertex_count);
  void SetClientArray(GLenum array, bool on);

  int units_ = 0;
  GLuint white_texture_ = 0;
  std::vector<GLuint> samplers_;
  unsigned dirty_ = kAll;
  GLStateShadow shadow_;
  bool unit_on_[8] = {};  // the unit textures what it draws (texture coordinates matter)
  int client_unit_ = -1;  // the client-active texture unit, -1 unknown
  bool transformed_ = false;
  bool blended_ = false;  // positions and normals blended on the processor, in world space
  GLVertexBlender blender_;
  GLPointState points_;
  bool has_diffuse_ = false;
  bool has_specular_ = false;
  FogSource fog_source_ = FogSource::kNone;
  bool bottom_up_ = false;
  std::vector<float> positions_;  // screen-space vertices converted for OpenGL
  std::vector<float> fog_coords_;
  struct ArrayFlags {
    bool vertex = false, normal = false, color = false, secondary = false, fog = false;
    bool tex[8] = {};
  } arrays_;
  // Current values known to hold the defaults of attributes drawn without an array.
  struct CurrentValues {
    bool normal = false, color = false;
    bool tex[8] = {};
  } current_;
};
