#pragma once
// The engine's small value types: vectors, quaternions, matrices, colours and planes.
//
// Conventions used everywhere:
// - 32-bit floats, angles in radians.
// - Vectors are rows and multiply matrices from the left (p' = p * M), so A * B applies A first.
// - Matrices are stored row by row; row i of a rotation is the image of basis vector i, so an
//   orientation's rows are its local axes. An affine CMatrix4x4 keeps its fourth column at
//   (0, 0, 0, 1) and its translation in row 3.
// - The world is left-handed: x right, y up, z forward.
// - Quaternions are stored (x, y, z, w); a unit quaternion q rotates v to q v q*, which equals
//   v * CMatrix3x3::From_Quaternion(q).
//
// Default construction leaves components unset. Operations that produce a new value either
// work in place or write to a destination given by the caller and return it. Nothing guards
// against zero lengths or divisors except where noted.
#include <cmath>
#include <cstdint>

struct CQuaternion;
struct CMatrix3x3;
struct CMatrix4x4;

// ---------------------------------------------------------------------------------------------
struct CVector2 {
  float x, y;

  CVector2& Add(const CVector2& other, CVector2& dest) const {
    dest.x = x + other.x;
    dest.y = y + other.y;
    return dest;
  }
  CVector2& Subtract(const CVector2& other, CVector2& dest) const {
    dest.x = x - other.x;
    dest.y = y - other.y;
    return dest;
  }
  CVector2& Scale(float s, CVector2& dest) const {
    dest.x = x * s;
    dest.y = y * s;
    return dest;
  }
  float Length() const { return std::sqrt(x * x + y * y); }
};

// ---------------------------------------------------------------------------------------------
struct CVector3 {
  float x, y, z;

  static const CVector3 Zero;

  CVector3& Set(float nx, float ny, float nz) {
    x = nx;
    y = ny;
    z = nz;
    return *this;
  }
  CVector3& Copy_To(CVector3& dest) const {
    dest = *this;
    return dest;
  }

  CVector3& Add(const CVector3& other, CVector3& dest) const {
    return dest.Set(x + other.x, y + other.y, z + other.z);
  }
  CVector3& Subtract(const CVector3& other, CVector3& dest) const {
    return dest.Set(x - other.x, y - other.y, z - other.z);
  }
  CVector3& Add_Assign(const CVector3& other) { return Set(x + other.x, y + other.y, z + other.z); }
  CVector3& Subtract_Assign(const CVector3& other) {
    return Set(x - other.x, y - other.y, z - other.z);
  }
  CVector3& Scale(float s, CVector3& dest) const { return dest.Set(x * s, y * s, z * s); }
  CVector3& Scale_Assign(float s) { return Set(x * s, y * s, z * s); }
  // One reciprocal, then three multiplications.
  CVector3& Divide(float s, CVector3& dest) const {
    const float inv = 1.0f / s;
    return dest.Set(x * inv, y * inv, z * inv);
  }
  CVector3& Divide_Assign(float s) {
    const float inv = 1.0f / s;
    return Set(x * inv, y * inv, z * inv);
  }
  CVector3& Multiply_Components(const CVector3& other, CVector3& dest) const {
    return dest.Set(x * other.x, y * other.y, z * other.z);
  }
  // Three true divisions.
  CVector3& Divide_Components(const CVector3& other, CVector3& dest) const {
    return dest.Set(x / other.x, y / other.y, z / other.z);
  }
  CVector3& Negate(CVector3& dest) const { return dest.Set(-x, -y, -z); }

  float Dot(const CVector3& other) const { return x * other.x + y * other.y + z * other.z; }
  CVector3& Cross(const CVector3& other, CVector3& dest) const {
    return dest.Set(y * other.z - z * other.y, z * other.x - x * other.z, x * other.y - y * other.x);
  }
  float Length_Squared() const { return x * x + y * y + z * z; }
  float Length() const { return std::sqrt(Length_Squared()); }

  // dest = this * (1 / length): one reciprocal.
  CVector3& Normalized(CVector3& dest) const {
    const float inv = 1.0f / Length();
    return dest.Set(x * inv, y * inv, z * inv);
  }
  // Divides each component by the length; returns the former length.
  float Normalize() {
    const float length = Length();
    x /= length;
    y /= length;
    z /= length;
    return length;
  }

  CVector3& Rotate(const CMatrix3x3& m);
  CVector3& Rotate_To(const CMatrix3x3& m, CVector3& dest) const;
  CVector3& Rotate_By_Matrix4(const CMatrix4x4& m);     // upper 3x3 only
  CVector3& Transform_By_Matrix4(const CMatrix4x4& m);  // as a point: upper 3x3 plus row 3
  CVector3& Rotate_By_Quaternion(const CQuaternion& q);
};

inline constexpr CVector3 CVector3::Zero{0.0f, 0.0f, 0.0f};

// ---------------------------------------------------------------------------------------------
struct CQuaternion {
  float x, y, z, w;

  static const CQuaternion Identity;

  // (axis * sin(angle / 2), cos(angle / 2)); the axis must be unit length.
  CQuaternion& From_Axis_Angle(const CVector3& axis, float angle) {
    const float s = std::sin(angle * 0.5f);
    x = axis.x * s;
    y = axis.y * s;
    z = axis.z * s;
    w = std::cos(angle * 0.5f);
    return *this;
  }
  CQuaternion& Rotation_X(float angle) {
    x = std::sin(angle * 0.5f);
    y = 0.0f;
    z = 0.0f;
    w = std::cos(angle * 0.5f);
    return *this;
  }
  CQuaternion& From_Matrix3(const CMatrix3x3& m);
  CQuaternion& From_Matrix4(const CMatrix4x4& m);
  // The quaternion of CMatrix3x3::From_Direction(forward, up).
  CQuaternion& From_Direction(const CVector3& forward, const CVector3& up);

  CQuaternion& Normalize() {
    const float inv = 1.0f / std::sqrt(x * x + y * y + z * z + w * w);
    x *= inv;
    y *= inv;
    z *= inv;
    w *= inv;
    return *this;
  }
  float Dot(const CQuaternion& o) const { return x * o.x + y * o.y + z * o.z + w * o.w; }

  // dest = the rotation of this followed by the rotation of other (the Hamilton product
  // other * this), whose matrix is Matrix(this) * Matrix(other).
  CQuaternion& Multiply(const CQuaternion& other, CQuaternion& dest) const {
    const CQuaternion& a = *this;
    const CQuaternion& b = other;
    const float cx = b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y;
    const float cy = b.w * a.y + b.y * a.w + b.z * a.x - b.x * a.z;
    const float cz = b.w * a.z + b.z * a.w + b.x * a.y - b.y * a.x;
    const float cw = b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z;
    dest.x = cx;
    dest.y = cy;
    dest.z = cz;
    dest.w = cw;
    return dest;
  }
  // this = the rotation of this followed by the rotation of other.
  CQuaternion& Multiply_Assign(const CQuaternion& other) { return Multiply(other, *this); }

  // this = spherical interpolation from a to b by t along the shorter arc; not renormalised.
  CQuaternion& Slerp(const CQuaternion& a, const CQuaternion& b, float t) {
    float d = a.Dot(b);
    float sign = 1.0f;
    if (d < 0.0f) {
      d = -d;
      sign = -1.0f;
    }
    float wa, wb;
    if (1.0f - d > 0.0001f) {
      const float theta = std::acos(d);
      const float k = 1.0f / std::sin(theta);
      wa = std::sin((1.0f - t) * theta) * k;
      wb = std::sin(t * theta) * k;
    } else {
      wa = 1.0f - t;
      wb = t;
    }
    wb *= sign;
    const float nx = wa * a.x + wb * b.x;
    const float ny = wa * a.y + wb * b.y;
    const float nz = wa * a.z + wb * b.z;
    const float nw = wa * a.w + wb * b.w;
    x = nx;
    y = ny;
    z = nz;
    w = nw;
    return *this;
  }

  // Rows of the rotation matrix; a null output is skipped.
  void Get_Axes(CVector3* row0, CVector3* row1, CVector3* row2) const {
    if (row0) row0->Set(1.0f - 2.0f * (y * y + z * z), 2.0f * (x * y + z * w), 2.0f * (x * z - y * w));
    if (row1) row1->Set(2.0f * (x * y - z * w), 1.0f - 2.0f * (x * x + z * z), 2.0f * (y * z + x * w));
    if (row2) row2->Set(2.0f * (x * z + y * w), 2.0f * (y * z - x * w), 1.0f - 2.0f * (x * x + y * y));
  }
};

inline constexpr CQuaternion CQuaternion::Identity{0.0f, 0.0f, 0.0f, 1.0f};

namespace math_detail {
// Determinant of a 3x3 given by element accessor; see CMatrix3x3::Invert.
// The six terms are summed by sign so that the singularity test can be relative.
template <class M>
inline float Invert3x3(const M& get, float inv[3][3]) {
  const float terms[6] = {
      get(0, 0) * get(1, 1) * get(2, 2),  get(1, 0) * get(2, 1) * get(0, 2),
      get(2, 0) * get(0, 1) * get(1, 2),  -get(2, 0) * get(1, 1) * get(0, 2),
      -get(1, 0) * get(0, 1) * get(2, 2), -get(0, 0) * get(2, 1) * get(1, 2),
  };
  float pos = 0.0f, neg = 0.0f;
  for (float term : terms) {
    if (term >= 0.0f)
      pos += term;
    else
      neg += term;
  }
  const float det = pos + neg;
  if (det == 0.0f || std::fabs(det / (pos - neg)) < 1e-15f) return 0.0f;
  const float r = 1.0f / det;
  inv[0][0] = (get(1, 1) * get(2, 2) - get(1, 2) * get(2, 1)) * r;
  inv[0][1] = -(get(0, 1) * get(2, 2) - get(0, 2) * get(2, 1)) * r;
  inv[0][2] = (get(0, 1) * get(1, 2) - get(0, 2) * get(1, 1)) * r;
  inv[1][0] = -(get(1, 0) * get(2, 2) - get(1, 2) * get(2, 0)) * r;
  inv[1][1] = (get(0, 0) * get(2, 2) - get(0, 2) * get(2, 0)) * r;
  inv[1][2] = -(get(0, 0) * get(1, 2) - get(0, 2) * get(1, 0)) * r;
  inv[2][0] = (get(1, 0) * get(2, 1) - get(1, 1) * get(2, 0)) * r;
  inv[2][1] = -(get(0, 0) * get(2, 1) - get(0, 1) * get(2, 0)) * r;
  inv[2][2] = (get(0, 0) * get(1, 1) - get(0, 1) * get(1, 0)) * r;
  return det;
}

// Quaternion of a rotation given by element accessor; see CQuaternion::From_Matrix3.
template <class M>
inline void Quaternion_From_Rotation(const M& get, CQuaternion& q) {
  const float trace = get(0, 0) + get(1, 1) + get(2, 2) + 1.0f;
  if (trace >= 0.00001f) {
    const float s = std::sqrt(trace);
    const float r = 0.5f / s;
    q.w = s * 0.5f;
    q.x = (get(1, 2) - get(2, 1)) * r;
    q.y = (get(2, 0) - get(0, 2)) * r;
    q.z = (get(0, 1) - get(1, 0)) * r;
    return;
  }
  int i = get(1, 1) > get(0, 0) ? 1 : 0;
  if (get(2, 2) > get(i, i)) i = 2;
  const int j = (i + 1) % 3;
  const int k = (j + 1) % 3;
  const float s = std::sqrt(get(i, i) - (get(j, j) + get(k, k)) + 1.0f);
  const float r = 0.5f / s;
  float v[3];
  v[i] = s * 0.5f;
  v[j] = (get(i, j) + get(j, i)) * r;
  v[k] = (get(i, k) + get(k, i)) * r;
  q.w = (get(j, k) - get(k, j)) * r;
  q.x = v[0];
  q.y = v[1];
  q.z = v[2];
}
}  // namespace math_detail

// ---------------------------------------------------------------------------------------------
struct CMatrix3x3 {
  CVector3 rows[3];

  static const CMatrix3x3 Identity;

  // Element in row i, column j.
  float& At(int i, int j) {
    CVector3& row = rows[i];
    return j == 0 ? row.x : (j == 1 ? row.y : row.z);
  }
  float At(int i, int j) const {
    const CVector3& row = rows[i];
    return j == 0 ? row.x : (j == 1 ? row.y : row.z);
  }

  CMatrix3x3& Set_Identity() {
    rows[0].Set(1.0f, 0.0f, 0.0f);
    rows[1].Set(0.0f, 1.0f, 0.0f);
    rows[2].Set(0.0f, 0.0f, 1.0f);
    return *this;
  }
  CMatrix3x3& Set_Rows(const CVector3& r0, const CVector3& r1, const CVector3& r2) {
    rows[0] = r0;
    rows[1] = r1;
    rows[2] = r2;
    return *this;
  }
  CVector3* Row0() { return &rows[0]; }
  CVector3* Row1() { return &rows[1]; }
  CVector3* Row2() { return &rows[2]; }
  const CVector3* Row0() const { return &rows[0]; }
  const CVector3* Row1() const { return &rows[1]; }
  const CVector3* Row2() const { return &rows[2]; }
  // Copies the rows; a null output is skipped.
  void Get_Axes(CVector3* r0, CVector3* r1, CVector3* r2) const {
    if (r0) *r0 = rows[0];
    if (r1) *r1 = rows[1];
    if (r2) *r2 = rows[2];
  }

  // dest = this * other. dest may be this or other.
  CMatrix3x3& Multiply(const CMatrix3x3& other, CMatrix3x3& dest) const {
    CMatrix3x3 result;
    for (int i = 0; i < 3; ++i) rows[i].Rotate_To(other, result.rows[i]);  // row i times other
    dest = result;
    return dest;
  }
  CMatrix3x3& Multiply_Assign(const CMatrix3x3& other) { return Multiply(other, *this); }

  // In place; returns the determinant, or 0 and the identity when singular (the determinant
  // is 0 or below 1e-15 relative to the size of its terms).
  float Invert() {
    float inv[3][3];
    const float det = math_detail::Invert3x3([this](int i, int j) { return At(i, j); }, inv);
    if (det == 0.0f) {
      Set_Identity();
      return 0.0f;
    }
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) At(i, j) = inv[i][j];
    return det;
  }

  CMatrix3x3& From_Quaternion(const CQuaternion& q) {
    q.Get_Axes(&rows[0], &rows[1], &rows[2]);
    return *this;
  }
  CMatrix3x3& From_Axis_Angle(const CVector3& axis, float angle) {
    CQuaternion q;
    return From_Quaternion(q.From_Axis_Angle(axis, angle));
  }
  CMatrix3x3& Rotation_X(float angle) {
    const float s = std::sin(angle * 0.5f);
    const float c = std::cos(angle * 0.5f);
    const float cos_a = 1.0f - 2.0f * s * s;
    const float sin_a = 2.0f * s * c;
    rows[0].Set(1.0f, 0.0f, 0.0f);
    rows[1].Set(0.0f, cos_a, sin_a);
    rows[2].Set(0.0f, -sin_a, cos_a);
    return *this;
  }
  // Basis whose columns are right, up and dir, where up is the reference made perpendicular
  // to dir and normalised and right = up x dir. dir must be unit length; an up parallel to dir
  // gives values that are not finite.
  CMatrix3x3& From_Direction(const CVector3& dir, const CVector3& up) {
    CVector3 u, right, along;
    up.Subtract(dir.Scale(up.Dot(dir), along), u);
    u.Divide_Assign(u.Length());
    u.Cross(dir, right);
    rows[0].Set(right.x, u.x, dir.x);
    rows[1].Set(right.y, u.y, dir.y);
    rows[2].Set(right.z, u.z, dir.z);
    return *this;
  }
};

inline constexpr CMatrix3x3 CMatrix3x3::Identity{{{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}}};

// ---------------------------------------------------------------------------------------------
// A rotation-and-position frame: an orientation followed by a position, twelve floats.
struct CMatrix4x3 {
  CMatrix3x3 orientation;
  CVector3 position;

  CMatrix4x3& Set(const CVector3& pos, const CMatrix3x3& orient) {
    orientation = orient;
    position = pos;
    return *this;
  }
  // dest = point * orientation + position.
  CVector3& Transform_Point(CVector3& dest, const CVector3& point) const {
    point.Rotate_To(orientation, dest);
    return dest.Add_Assign(position);
  }
};

// ---------------------------------------------------------------------------------------------
struct CMatrix4x4 {
  float m[4][4];

  // dest = this * other, a full 4x4 product. dest may be this or other.
  CMatrix4x4& Multiply(const CMatrix4x4& other, CMatrix4x4& dest) const {
    CMatrix4x4 result;
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j)
        result.m[i][j] = m[i][0] * other.m[0][j] + m[i][1] * other.m[1][j] + m[i][2] * other.m[2][j] +
                         m[i][3] * other.m[3][j];
    dest = result;
    return dest;
  }
  CMatrix4x4& Multiply_Assign(const CMatrix4x4& other) { return Multiply(other, *this); }

  // In place affine inverse: the upper 3x3 is inverted, the fourth column becomes (0, 0, 0, 1)
  // and the translation -t * inv3. Returns the determinant of the upper 3x3, or 0 and the
  // identity when it is singular.
  float Inverse() {
    float inv[3][3];
    const float det = math_detail::Invert3x3([this](int i, int j) { return m[i][j]; }, inv);
    if (det == 0.0f) {
      Set_Identity();
      return 0.0f;
    }
    const float tx = m[3][0], ty = m[3][1], tz = m[3][2];
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) m[i][j] = inv[i][j];
      m[i][3] = 0.0f;
    }
    for (int j = 0; j < 3; ++j) m[3][j] = -(tx * inv[0][j] + ty * inv[1][j] + tz * inv[2][j]);
    m[3][3] = 1.0f;
    return det;
  }

  CMatrix4x4& Set_Identity() { return Scaling(1.0f, 1.0f, 1.0f); }
  CMatrix4x4& Scaling(float sx, float sy, float sz) {
    for (auto& row : m)
      for (float& e : row) e = 0.0f;
    m[0][0] = sx;
    m[1][1] = sy;
    m[2][2] = sz;
    m[3][3] = 1.0f;
    return *this;
  }
  CMatrix4x4& Scaling_From_Vector(const CVector3& s) { return Scaling(s.x, s.y, s.z); }
  CMatrix4x4& Translation(const CVector3& t) { return Translation(t.x, t.y, t.z); }
  CMatrix4x4& Translation(float tx, float ty, float tz) {
    Set_Identity();
    return Set_Translation_XYZ(tx, ty, tz);
  }
  CMatrix4x4& Set_Translation(const CVector3& t) { return Set_Translation_XYZ(t.x, t.y, t.z); }
  CMatrix4x4& Set_Translation_XYZ(float tx, float ty, float tz) {
    m[3][0] = tx;
    m[3][1] = ty;
    m[3][2] = tz;
    return *this;
  }
  CVector3& Get_Translation(CVector3& dest) const { return dest.Set(m[3][0], m[3][1], m[3][2]); }
  // The first three floats of rows 0, 1 and 2.
  void Get_Axes(CVector3& r0, CVector3& r1, CVector3& r2) const {
    r0.Set(m[0][0], m[0][1], m[0][2]);
    r1.Set(m[1][0], m[1][1], m[1][2]);
    r2.Set(m[2][0], m[2][1], m[2][2]);
  }

  // Writes only the upper 3x3.
  CMatrix4x4& Set_Rotation_From_Quaternion(const CQuaternion& q) {
    CVector3 r[3];
    q.Get_Axes(&r[0], &r[1], &r[2]);
    for (int i = 0; i < 3; ++i) {
      m[i][0] = r[i].x;
      m[i][1] = r[i].y;
      m[i][2] = r[i].z;
    }
    return *this;
  }
  // Rotation of q, zero translation, fourth column (0, 0, 0, 1).
  CMatrix4x4& From_Quaternion(const CQuaternion& q) {
    Set_Identity();
    return Set_Rotation_From_Quaternion(q);
  }
  // Rotation of q with the given translation.
  CMatrix4x4& From_Quaternion_Position(const CQuaternion& q, const CVector3& position) {
    From_Quaternion(q);
    return Set_Translation(position);
  }
  // Rows 0 to 2 from the orientation, row 3 from the position, fourth column (0, 0, 0, 1).
  CMatrix4x4& From_Matrix3(const CMatrix3x3& orientation, const CVector3& position) {
    for (int i = 0; i < 3; ++i) {
      m[i][0] = orientation.rows[i].x;
      m[i][1] = orientation.rows[i].y;
      m[i][2] = orientation.rows[i].z;
      m[i][3] = 0.0f;
    }
    m[3][0] = position.x;
    m[3][1] = position.y;
    m[3][2] = position.z;
    m[3][3] = 1.0f;
    return *this;
  }
  CMatrix4x4& From_Matrix3(const CMatrix4x3& frame) { return From_Matrix3(frame.orientation, frame.position); }

  CMatrix4x4& Rotation_Z(float angle) {
    const float s = std::sin(angle * 0.5f);
    const float c = std::cos(angle * 0.5f);
    const float cos_a = 1.0f - 2.0f * s * s;
    const float sin_a = 2.0f * s * c;
    Set_Identity();
    m[0][0] = cos_a;
    m[0][1] = sin_a;
    m[1][0] = -sin_a;
    m[1][1] = cos_a;
    return *this;
  }
};

// ---------------------------------------------------------------------------------------------
struct CColor4 {
  float r, g, b, a;

  static const CColor4 Zero;

  CColor4& Set(float nr, float ng, float nb, float na) {
    r = nr;
    g = ng;
    b = nb;
    a = na;
    return *this;
  }
  CColor4& Copy(const CColor4& other) {
    *this = other;
    return *this;
  }
  // Multiplies all four floats, alpha included.
  CColor4& Scale(float s) { return Set(r * s, g * s, b * s, a * s); }
  CColor4& Scaled(float s, CColor4& dest) const { return dest.Set(r * s, g * s, b * s, a * s); }
};

inline constexpr CColor4 CColor4::Zero{0.0f, 0.0f, 0.0f, 0.0f};

// ---------------------------------------------------------------------------------------------
// The points p with n . p + d = 0.
struct CPlane {
  float nx, ny, nz, d;

  // From a normal (kept as given, not normalised) and a point on the plane.
  CPlane& Set(const CVector3& normal, const CVector3& point) {
    nx = normal.x;
    ny = normal.y;
    nz = normal.z;
    d = -normal.Dot(point);
    return *this;
  }
  // n . point + d: the signed distance when n is unit length.
  float Distance(const CVector3& point) const { return nx * point.x + ny * point.y + nz * point.z + d; }
  // The point where the line through p0 and p1 crosses the plane, possibly beyond either end.
  // False, and the point unwritten, when both have the same signed distance.
  bool Intersect_Segment(CVector3& point, const CVector3& p0, const CVector3& p1) const {
    const float d0 = Distance(p0);
    const float d1 = Distance(p1);
    if (d0 == d1) return false;
    const float u = d0 / (d0 - d1);
    CVector3 step;
    p1.Subtract(p0, step).Scale_Assign(u);
    p0.Add(step, point);
    return true;
  }
};

// ---------------------------------------------------------------------------------------------
// Clamps test the minimum first, so with min > max a value below min yields min.
inline float Clamp_Float(const float* value, const float* min, const float* max) {
  if (!(*value >= *min)) return *min;  // also catches a value that is not a number
  if (*value > *max) return *max;
  return *value;
}
inline uint32_t Clamp_UInt(const uint32_t* value, const uint32_t* min, const uint32_t* max) {
  if (*value < *min) return *min;
  if (*value > *max) return *max;
  return *value;
}
inline int32_t Clamp_Int(const int32_t* value, const int32_t* min, const int32_t* max) {
  if (*value < *min) return *min;
  if (*value > *max) return *max;
  return *value;
}

// ---------------------------------------------------------------------------------------------
// Operations that need the later types.

inline CVector3& CVector3::Rotate_To(const CMatrix3x3& m, CVector3& dest) const {
  const CVector3& r0 = m.rows[0];
  const CVector3& r1 = m.rows[1];
  const CVector3& r2 = m.rows[2];
  return dest.Set(x * r0.x + y * r1.x + z * r2.x, x * r0.y + y * r1.y + z * r2.y, x * r0.z + y * r1.z + z * r2.z);
}
inline CVector3& CVector3::Rotate(const CMatrix3x3& m) { return Rotate_To(m, *this); }

inline CVector3& CVector3::Rotate_By_Matrix4(const CMatrix4x4& mat) {
  const auto& m = mat.m;
  return Set(x * m[0][0] + y * m[1][0] + z * m[2][0], x * m[0][1] + y * m[1][1] + z * m[2][1],
             x * m[0][2] + y * m[1][2] + z * m[2][2]);
}
inline CVector3& CVector3::Transform_By_Matrix4(const CMatrix4x4& mat) {
  Rotate_By_Matrix4(mat);
  return Set(x + mat.m[3][0], y + mat.m[3][1], z + mat.m[3][2]);
}

// q v q*, without building the matrix.
inline CVector3& CVector3::Rotate_By_Quaternion(const CQuaternion& q) {
  const float a = q.w * x + q.y * z - q.z * y;
  const float b = q.w * y + q.z * x - q.x * z;
  const float c = q.w * z + q.x * y - q.y * x;
  const float e = q.x * x + q.y * y + q.z * z;
  return Set(q.w * a + q.x * e + q.y * c - q.z * b, q.w * b + q.y * e + q.z * a - q.x * c,
             q.w * c + q.z * e + q.x * b - q.y * a);
}

inline CQuaternion& CQuaternion::From_Matrix3(const CMatrix3x3& m) {
  math_detail::Quaternion_From_Rotation([&m](int i, int j) { return m.At(i, j); }, *this);
  return *this;
}
inline CQuaternion& CQuaternion::From_Matrix4(const CMatrix4x4& m) {
  math_detail::Quaternion_From_Rotation([&m](int i, int j) { return m.m[i][j]; }, *this);
  return *this;
}
inline CQuaternion& CQuaternion::From_Direction(const CVector3& forward, const CVector3& up) {
  CMatrix3x3 basis;
  return From_Matrix3(basis.From_Direction(forward, up));
}
