#include "platform/d3d/gl_device_state.h"

#include <cstring>

float DwordToFloat(DWORD bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

DWORD FloatToDword(float value) {
  DWORD bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

D3DMATRIX IdentityMatrix() {
  D3DMATRIX m = {};
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
  return m;
}

D3DMATRIX MultiplyMatrices(const D3DMATRIX& a, const D3DMATRIX& b) {
  D3DMATRIX r = {};
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a.m[row][k] * b.m[k][col];
      r.m[row][col] = sum;
    }
  }
  return r;
}

void GLDeviceState::SetDefaults(UINT back_buffer_width, UINT back_buffer_height, bool has_depth) {
  std::memset(render_states, 0, sizeof render_states);
  DWORD* rs = render_states;
  rs[D3DRS_ZENABLE] = has_depth ? D3DZB_TRUE : D3DZB_FALSE;
  rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
  rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
  rs[D3DRS_ZWRITEENABLE] = TRUE;
  rs[D3DRS_LASTPIXEL] = TRUE;
  rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  rs[D3DRS_CULLMODE] = D3DCULL_CCW;
  rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  rs[D3DRS_FOGSTART] = FloatToDword(0.0f);
  rs[D3DRS_FOGEND] = FloatToDword(1.0f);
  rs[D3DRS_FOGDENSITY] = FloatToDword(1.0f);
  rs[D3DRS_STENCILFAIL] = D3DSTENCILOP_KEEP;
  rs[D3DRS_STENCILZFAIL] = D3DSTENCILOP_KEEP;
  rs[D3DRS_STENCILPASS] = D3DSTENCILOP_KEEP;
  rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
  rs[D3DRS_STENCILMASK] = 0xFFFFFFFFu;
  rs[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFFu;
  rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
  rs[D3DRS_CLIPPING] = TRUE;
  rs[D3DRS_LIGHTING] = TRUE;
  rs[D3DRS_COLORVERTEX] = TRUE;
  rs[D3DRS_LOCALVIEWER] = TRUE;
  rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
  rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
  rs[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
  rs[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
  rs[D3DRS_POINTSIZE] = FloatToDword(1.0f);
  rs[D3DRS_POINTSIZE_MIN] = FloatToDword(1.0f);
  rs[D3DRS_POINTSCALE_A] = FloatToDword(1.0f);
  rs[D3DRS_POINTSIZE_MAX] = FloatToDword(64.0f);
  rs[D3DRS_MULTISAMPLEANTIALIAS] = TRUE;
  rs[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFFu;
  rs[D3DRS_COLORWRITEENABLE] = 0xF;
  rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;

  std::memset(stage_states, 0, sizeof stage_states);
  for (DWORD stage = 0; stage < D3D_TEXTURE_STAGES; ++stage) {
    DWORD* ts = stage_states[stage];
    ts[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    ts[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    ts[D3DTSS_TEXCOORDINDEX] = stage;
    ts[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
    ts[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
    ts[D3DTSS_ADDRESSW] = D3DTADDRESS_WRAP;
    ts[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
    ts[D3DTSS_MINFILTER] = D3DTEXF_POINT;
    ts[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
    ts[D3DTSS_MAXANISOTROPY] = 1;
    ts[D3DTSS_COLORARG0] = D3DTA_CURRENT;
    ts[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
    ts[D3DTSS_RESULTARG] = D3DTA_CURRENT;
  }

  for (D3DMATRIX& m : world) m = IdentityMatrix();
  view = IdentityMatrix();
  projection = IdentityMatrix();
  for (D3DMATRIX& m : texture_matrix) m = IdentityMatrix();
  viewport = {0, 0, back_buffer_width, back_buffer_height, 0.0f, 1.0f};

  material = {};
  for (D3DLIGHT8& light : lights) {
    light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
  }
  for (bool& on : light_enabled) on = false;

  for (GLSampledTexture*& texture : textures) texture = nullptr;
  for (Stream& stream : streams) stream = Stream();
  indices = nullptr;
  base_vertex_index = 0;
  vertex_shader = 0;
  pixel_shader = 0;
  current_palette = 0;
}

bool RenormalisesNormals(const GLDeviceState& state) {
  const DWORD* rs = state.render_states;
  if (!rs[D3DRS_NORMALIZENORMALS]) return false;
  const bool transformed = (state.vertex_shader & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
  if (rs[D3DRS_LIGHTING] && !transformed) return true;
  for (DWORD unit = 0; unit < D3D_TEXTURE_STAGES; ++unit) {
    const DWORD* ts = state.stage_states[unit];
    if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE) break;
    const DWORD generation = ts[D3DTSS_TEXCOORDINDEX] & 0xFFFF0000u;
    if (generation == D3DTSS_TCI_CAMERASPACENORMAL || generation == D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR) return true;
  }
  return false;
}
