#pragma once
// Everything the application has set on a device, as Direct3D values. The fixed-function
// translator turns it into OpenGL state before each draw.
#include <array>
#include <vector>

#include "platform/d3d/d3d8.h"

class GLVertexBuffer;
class GLIndexBuffer;
class GLSampledTexture;

struct GLDeviceState {
  static constexpr int kMaxLights = 8;
  static constexpr int kMaxStreams = 4;
  static constexpr int kWorldMatrices = 256;
  static constexpr int kMaxPalettes = 8192;

  DWORD render_states[D3DRS_STATE_COUNT] = {};
  DWORD stage_states[D3D_TEXTURE_STAGES][D3DTSS_STATE_COUNT] = {};

  D3DMATRIX world[kWorldMatrices] = {};
  D3DMATRIX view = {};
  D3DMATRIX projection = {};
  D3DMATRIX texture_matrix[D3D_TEXTURE_STAGES] = {};
  D3DVIEWPORT8 viewport = {};

  D3DMATERIAL8 material = {};
  D3DLIGHT8 lights[kMaxLights] = {};
  bool light_enabled[kMaxLights] = {};

  GLSampledTexture* textures[D3D_TEXTURE_STAGES] = {};  // 2D, cube or volume
  struct Stream {
    GLVertexBuffer* buffer = nullptr;
    UINT stride = 0;
  };
  Stream streams[kMaxStreams];
  GLIndexBuffer* indices = nullptr;
  UINT base_vertex_index = 0;
  DWORD vertex_shader = 0;  // an FVF code
  DWORD pixel_shader = 0;

  UINT current_palette = 0;
  std::vector<std::array<PALETTEENTRY, 256>> palettes;  // grown on demand
  std::vector<unsigned> palette_stamps;                 // bumped on every change

  // The values a freshly created (or reset) device starts with.
  void SetDefaults(UINT back_buffer_width, UINT back_buffer_height, bool has_depth);
};

// Whether a draw renormalises its normals: only lighting (of untransformed vertices) and
// coordinates made from normals read them, so without either the switch counts for nothing.
bool RenormalisesNormals(const GLDeviceState& state);

// Floats travel through render and stage states as their bit patterns.
float DwordToFloat(DWORD bits);
DWORD FloatToDword(float value);
D3DMATRIX IdentityMatrix();
// a * b with row vectors (p * a * b).
D3DMATRIX MultiplyMatrices(const D3DMATRIX& a, const D3DMATRIX& b);
