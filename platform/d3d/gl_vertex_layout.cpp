#include "platform/d3d/gl_vertex_layout.h"

namespace {

int TexCoordFloats(DWORD fvf, int set) {
  switch ((fvf >> (16 + set * 2)) & 3u) {
    case D3DFVF_TEXTUREFORMAT1: return 1;
    case D3DFVF_TEXTUREFORMAT3: return 3;
    case D3DFVF_TEXTUREFORMAT4: return 4;
    default: return 2;
  }
}

}  // namespace

bool GLVertexLayout::Parse(DWORD fvf) {
  *this = GLVertexLayout();
  const DWORD position = fvf & D3DFVF_POSITION_MASK;
  if (position == 0) return false;
  tex_sets = static_cast<int>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
  if (tex_sets > kMaxTexSets) return false;

  int offset = 0;
  if (position == D3DFVF_XYZRHW) {
    transformed = true;
    offset = 16;
  } else {
    offset = 12;
    if (position != D3DFVF_XYZ) {
      // XYZB1 (0x6) to XYZB5 (0xE) carry one to five floats.
      blend_weights = static_cast<int>((position - D3DFVF_XYZRHW) / 2);
      last_beta_indices = (fvf & D3DFVF_LASTBETA_UBYTE4) != 0;
      weights_offset = offset;
      offset += 4 * blend_weights;
    }
  }
  if (fvf & D3DFVF_NORMAL) {
    normal_offset = offset;
    offset += 12;
  }
  if (fvf & D3DFVF_PSIZE) {
    point_size_offset = offset;
    offset += 4;
  }
  if (fvf & D3DFVF_DIFFUSE) {
    diffuse_offset = offset;
    offset += 4;
  }
  if (fvf & D3DFVF_SPECULAR) {
    specular_offset = offset;
    offset += 4;
  }
  for (int set = 0; set < tex_sets; ++set) {
    tex_size[set] = TexCoordFloats(fvf, set);
    tex_offset[set] = offset;
    offset += 4 * tex_size[set];
  }
  stride = static_cast<UINT>(offset);
  return true;
}
