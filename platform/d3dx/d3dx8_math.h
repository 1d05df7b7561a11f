#pragma once
// Matrix and vector helpers in the shape the renderer calls them: row vectors (p' = p * M),
// left-handed projections with depth 0..1. Each returns its output pointer, or null when it
// cannot produce a result.
#include "platform/d3d/d3d8.h"

struct D3DXQUATERNION {
  float x, y, z, w;
};

D3DMATRIX* D3DXMatrixIdentity(D3DMATRIX* out);
// out = a * b (a applied first). out may alias a or b.
D3DMATRIX* D3DXMatrixMultiply(D3DMATRIX* out, const D3DMATRIX* a, const D3DMATRIX* b);
// General 4x4 inverse. Null (out untouched) when the matrix is singular; the determinant goes
// to `determinant` when given.
D3DMATRIX* D3DXMatrixInverse(D3DMATRIX* out, float* determinant, const D3DMATRIX* m);
D3DMATRIX* D3DXMatrixTranslation(D3DMATRIX* out, float x, float y, float z);
// Rotation of a unit quaternion (x, y, z, w), zero translation.
D3DMATRIX* D3DXMatrixRotationQuaternion(D3DMATRIX* out, const D3DXQUATERNION* q);

// Perspective from a vertical field of view (radians) and aspect width / height.
D3DMATRIX* D3DXMatrixPerspectiveFovLH(D3DMATRIX* out, float fov_y, float aspect, float z_near, float z_far);
D3DMATRIX* D3DXMatrixPerspectiveOffCenterLH(D3DMATRIX* out, float left, float right, float bottom, float top,
                                            float z_near, float z_far);
D3DMATRIX* D3DXMatrixOrthoLH(D3DMATRIX* out, float width, float height, float z_near, float z_far);
D3DMATRIX* D3DXMatrixOrthoOffCenterLH(D3DMATRIX* out, float left, float right, float bottom, float top,
                                      float z_near, float z_far);

// The point v through m, divided by the resulting w.
D3DVECTOR* D3DXVec3TransformCoord(D3DVECTOR* out, const D3DVECTOR* v, const D3DMATRIX* m);
