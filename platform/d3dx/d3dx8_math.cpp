#include "platform/d3dx/d3dx8_math.h"

#include <cmath>
#include <cstring>

namespace {

D3DMATRIX Zero() {
  D3DMATRIX m;
  std::memset(&m, 0, sizeof(m));
  return m;
}

// Cofactor expansion over 2x2 sub-determinants of the top and bottom row pairs.
bool Invert(const float a[4][4], float inv[4][4], float* det_out) {
  const float s0 = a[0][0] * a[1][1] - a[1][0] * a[0][1];
  const float s1 = a[0][0] * a[1][2] - a[1][0] * a[0][2];
  const float s2 = a[0][0] * a[1][3] - a[1][0] * a[0][3];
  const float s3 = a[0][1] * a[1][2] - a[1][1] * a[0][2];
  const float s4 = a[0][1] * a[1][3] - a[1][1] * a[0][3];
  const float s5 = a[0][2] * a[1][3] - a[1][2] * a[0][3];
  const float c5 = a[2][2] * a[3][3] - a[3][2] * a[2][3];
  const float c4 = a[2][1] * a[3][3] - a[3][1] * a[2][3];
  const float c3 = a[2][1] * a[3][2] - a[3][1] * a[2][2];
  const float c2 = a[2][0] * a[3][3] - a[3][0] * a[2][3];
  const float c1 = a[2][0] * a[3][2] - a[3][0] * a[2][2];
  const float c0 = a[2][0] * a[3][1] - a[3][0] * a[2][1];
  const float det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
  if (det == 0.0f || !std::isfinite(det)) return false;
  const float k = 1.0f / det;
  inv[0][0] = (a[1][1] * c5 - a[1][2] * c4 + a[1][3] * c3) * k;
  inv[0][1] = (-a[0][1] * c5 + a[0][2] * c4 - a[0][3] * c3) * k;
  inv[0][2] = (a[3][1] * s5 - a[3][2] * s4 + a[3][3] * s3) * k;
  inv[0][3] = (-a[2][1] * s5 + a[2][2] * s4 - a[2][3] * s3) * k;
  inv[1][0] = (-a[1][0] * c5 + a[1][2] * c2 - a[1][3] * c1) * k;
  inv[1][1] = (a[0][0] * c5 - a[0][2] * c2 + a[0][3] * c1) * k;
  inv[1][2] = (-a[3][0] * s5 + a[3][2] * s2 - a[3][3] * s1) * k;
  inv[1][3] = (a[2][0] * s5 - a[2][2] * s2 + a[2][3] * s1) * k;
  inv[2][0] = (a[1][0] * c4 - a[1][1] * c2 + a[1][3] * c0) * k;
  inv[2][1] = (-a[0][0] * c4 + a[0][1] * c2 - a[0][3] * c0) * k;
  inv[2][2] = (a[3][0] * s4 - a[3][1] * s2 + a[3][3] * s0) * k;
  inv[2][3] = (-a[2][0] * s4 + a[2][1] * s2 - a[2][3] * s0) * k;
  inv[3][0] = (-a[1][0] * c3 + a[1][1] * c1 - a[1][2] * c0) * k;
  inv[3][1] = (a[0][0] * c3 - a[0][1] * c1 + a[0][2] * c0) * k;
  inv[3][2] = (-a[3][0] * s3 + a[3][1] * s1 - a[3][2] * s0) * k;
  inv[3][3] = (a[2][0] * s3 - a[2][1] * s1 + a[2][2] * s0) * k;
  if (det_out != nullptr) *det_out = det;
  return true;
}

}  // namespace

D3DMATRIX* D3DXMatrixIdentity(D3DMATRIX* out) {
  *out = Zero();
  for (int i = 0; i < 4; ++i) out->m[i][i] = 1.0f;
  return out;
}

D3DMATRIX* D3DXMatrixMultiply(D3DMATRIX* out, const D3DMATRIX* a, const D3DMATRIX* b) {
  D3DMATRIX r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r.m[i][j] = a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] + a->m[i][2] * b->m[2][j] +
                  a->m[i][3] * b->m[3][j];
  *out = r;
  return out;
}

D3DMATRIX* D3DXMatrixInverse(D3DMATRIX* out, float* determinant, const D3DMATRIX* m) {
  D3DMATRIX r;
  if (!Invert(m->m, r.m, determinant)) return nullptr;
  *out = r;
  return out;
}

D3DMATRIX* D3DXMatrixTranslation(D3DMATRIX* out, float x, float y, float z) {
  D3DXMatrixIdentity(out);
  out->m[3][0] = x;
  out->m[3][1] = y;
  out->m[3][2] = z;
  return out;
}

D3DMATRIX* D3DXMatrixRotationQuaternion(D3DMATRIX* out, const D3DXQUATERNION* q) {
  const float x = q->x, y = q->y, z = q->z, w = q->w;
  D3DXMatrixIdentity(out);
  out->m[0][0] = 1.0f - 2.0f * (y * y + z * z);
  out->m[0][1] = 2.0f * (x * y + z * w);
  out->m[0][2] = 2.0f * (x * z - y * w);
  out->m[1][0] = 2.0f * (x * y - z * w);
  out->m[1][1] = 1.0f - 2.0f * (x * x + z * z);
  out->m[1][2] = 2.0f * (y * z + x * w);
  out->m[2][0] = 2.0f * (x * z + y * w);
  out->m[2][1] = 2.0f * (y * z - x * w);
  out->m[2][2] = 1.0f - 2.0f * (x * x + y * y);
  return out;
}

D3DMATRIX* D3DXMatrixPerspectiveFovLH(D3DMATRIX* out, float fov_y, float aspect, float z_near, float z_far) {
  const float y = 1.0f / std::tan(fov_y * 0.5f);
  *out = Zero();
  out->m[0][0] = y / aspect;
  out->m[1][1] = y;
  out->m[2][2] = z_far / (z_far - z_near);
  out->m[2][3] = 1.0f;
  out->m[3][2] = -z_near * z_far / (z_far - z_near);
  return out;
}

D3DMATRIX* D3DXMatrixPerspectiveOffCenterLH(D3DMATRIX* out, float l, float r, float b, float t, float z_near,
                                            float z_far) {
  *out = Zero();
  out->m[0][0] = 2.0f * z_near / (r - l);
  out->m[1][1] = 2.0f * z_near / (t - b);
  out->m[2][0] = (l + r) / (l - r);
  out->m[2][1] = (t + b) / (b - t);
  out->m[2][2] = z_far / (z_far - z_near);
  out->m[2][3] = 1.0f;
  out->m[3][2] = z_near * z_far / (z_near - z_far);
  return out;
}

D3DMATRIX* D3DXMatrixOrthoLH(D3DMATRIX* out, float width, float height, float z_near, float z_far) {
  *out = Zero();
  out->m[0][0] = 2.0f / width;
  out->m[1][1] = 2.0f / height;
  out->m[2][2] = 1.0f / (z_far - z_near);
  out->m[3][2] = -z_near / (z_far - z_near);
  out->m[3][3] = 1.0f;
  return out;
}

D3DMATRIX* D3DXMatrixOrthoOffCenterLH(D3DMATRIX* out, float l, float r, float b, float t, float z_near,
                                      float z_far) {
  *out = Zero();
  out->m[0][0] = 2.0f / (r - l);
  out->m[1][1] = 2.0f / (t - b);
  out->m[2][2] = 1.0f / (z_far - z_near);
  out->m[3][0] = (l + r) / (l - r);
  out->m[3][1] = (t + b) / (b - t);
  out->m[3][2] = z_near / (z_near - z_far);
  out->m[3][3] = 1.0f;
  return out;
}

D3DVECTOR* D3DXVec3TransformCoord(D3DVECTOR* out, const D3DVECTOR* v, const D3DMATRIX* m) {
  const float x = v->x * m->m[0][0] + v->y * m->m[1][0] + v->z * m->m[2][0] + m->m[3][0];
  const float y = v->x * m->m[0][1] + v->y * m->m[1][1] + v->z * m->m[2][1] + m->m[3][1];
  const float z = v->x * m->m[0][2] + v->y * m->m[1][2] + v->z * m->m[2][2] + m->m[3][2];
  const float w = v->x * m->m[0][3] + v->y * m->m[1][3] + v->z * m->m[2][3] + m->m[3][3];
  const float k = w != 0.0f ? 1.0f / w : 0.0f;
  out->x = x * k;
  out->y = y * k;
  out->z = z * k;
  return out;
}
