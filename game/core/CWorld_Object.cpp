#include "game/core/CWorld_Object.h"

#include <algorithm>
#include <cmath>

#include "game/core/CGame_State.h"
#include "game/core/CTarget_Link_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Collision_Handlers.h"
#include "runtime/src/math/geometry.h"

namespace {

constexpr float kContact_Radius_Factor = 1.1f;
constexpr float kBox_Clearance_Margin = 1.0e-3f;
constexpr float kInertia_Factor = 0.4f;
constexpr float kWall_Height = 15000.0f;
constexpr float kPush_Out_Factor = 1.05f;
constexpr float kMin_Depth = 0.001f;
constexpr float kContact_Friction = 3000.0f;
constexpr float kSliding_Friction = 100.0f;
constexpr float kSliding_Friction_Share = 0.15f;
constexpr float kBox_Probe_Length = 10.0f;
constexpr float kBox_Push_Out_Factor = 1.015f;
constexpr float kBox_Corner_Friction = 0.075f;
constexpr float kBox_Floor_Timer_Contact = 0.15f;
constexpr float kBox_Floor_Timer_Step = 0.0025f;
constexpr float kInside_Tolerance = 1.0e-3f;
// Turns of less than a millionth of a radian are not made; the same in (angle / 2)^2.
constexpr float kMin_Turn_Angle = 1.0e-6f;
constexpr float kMin_Half_Turn_Sq = 0.25e-12f;
// Up to a tenth of a radian in half a turn the series below are exact to float precision.
constexpr float kSeries_Limit_Sq = 0.01f;
// Within this of unit length one Newton step brings a vector to unit length as exactly as a
// root and a division would.
constexpr float kNear_Unit = 1.0e-4f;

bool Is_Finite(const CVector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

CVector3 Add(const CVector3& a, const CVector3& b) { return CVector3{a.x + b.x, a.y + b.y, a.z + b.z}; }
CVector3 Sub(const CVector3& a, const CVector3& b) { return CVector3{a.x - b.x, a.y - b.y, a.z - b.z}; }
CVector3 Mul(const CVector3& a, float s) { return CVector3{a.x * s, a.y * s, a.z * s}; }
CVector3 Cross(const CVector3& a, const CVector3& b) {
  CVector3 c;
  return a.Cross(b, c);
}

// Scales the vector to unit length; one that is already nearly so needs no root.
void Make_Unit(CVector3& v) {
  const float length_sq = v.Length_Squared();
  if (std::fabs(length_sq - 1.0f) < kNear_Unit)
    v.Scale_Assign(1.5f - 0.5f * length_sq);
  else
    v.Normalize();
}

// 1 / inertia, or 0 for a body without one, so that a zero radius never divides by zero.
float Inverse_Of(float inertia) { return inertia > 0.0f ? 1.0f / inertia : 0.0f; }

// Cell index for the body's cell range: truncated, raised to 0 and capped at vertices - 2.
int Body_Cell(float coordinate, float cells_per_unit, int vertices) {
  const float cell = coordinate * cells_per_unit;
  if (!(cell > 0.0f)) return 0;
  if (!(cell < static_cast<float>(vertices - 2))) return vertices - 2;
  return static_cast<int>(cell);
}

// How far a point lies outside [low, high] along one axis.
float Outside(float point, float low, float high) {
  return point < low ? low - point : (point > high ? point - high : 0.0f);
}

float Bounding_Box_Distance_Sq(const CVector3& point, const CTerrain_Triangle_Bound& bound) {
  const float dx = Outside(point.x, bound.low.x, bound.high.x);
  const float dy = Outside(point.y, bound.low.y, bound.high.y);
  const float dz = Outside(point.z, bound.low.z, bound.high.z);
  return dx * dx + dy * dy + dz * dz;
}

// True when an object other than `self` is filed in the cells of the circle and is not turned
// away by the radius query's first test: its centre no farther from the point than the radius
// plus its collision radius (a shape of body kind 6 always passes). When this is false the query
// finds nothing but `self`, so there is no need to run it.
bool Anyone_Near(const CWorld_Grid& grid, const CWorld_Object* self, const CVector3& point, float radius) {
  const CWorld_Grid::Cell_Range range = grid.Range_Of(point.x, point.z, radius);
  bool found = false;
  for (int row = range.low_row; row <= range.high_row && !found; ++row) {
    for (int column = range.low_column; column <= range.high_column && !found; ++column) {
      grid.For_Each_In_Cell(column, row, [&](const CWorld_Object* object) {
        if (found || object == self) return;
        const float reach = radius + object->m_Collision_Radius;
        CVector3 offset;
        found = object->m_Body_Kind == 6 || !(point.Subtract(object->m_Position, offset).Length_Squared() > reach * reach);
      });
    }
  }
  return found;
}

}  // namespace

void CBody_Motion::Add_Contact_Velocity(const CVector3& wanted) {
  contact_count += 1.0f;
  const float share = 1.0f / contact_count;
  contact_velocity = Add(Mul(contact_velocity, 1.0f - share), Mul(wanted, share));
}

CWorld_Object::~CWorld_Object() { CWorld_Object::Release_Attachments(); }

void CWorld_Object::Release_Attachments() {
  while (m_Link_Chain) {
    CTarget_Link* first = m_Link_Chain;
    g_Target_Link_Pool.Remove_Link(first);
    if (m_Link_Chain == first) break;  // the pool has ended; nothing can be given back
  }
}

void CWorld_Object::Setup_Object(const uint32_t& type, const float& value1, const float& value2,
                                 const uint32_t& state_flags, const uint32_t& kind_flags) {
  m_Type = type;
  // Whether the object is filed in the grid is the grid's to say.
  m_State_Flags = (state_flags & ~kState_In_Grid) | (m_State_Flags & kState_In_Grid);
  m_Kind_Flags = kind_flags;
  m_Body_Kind = kBody_None;
  m_Kill_Timer = 0.0f;
  m_Value1 = m_Value1_Initial = value1;
  m_Value2 = m_Value2_Initial = value2;
}

void CWorld_Object::Set_Position(const CVector3& position) {
  CWorld_Grid& grid = g_World.Grid();
  if (!Is_Finite(position)) {
    grid.Remove(this);
    return;
  }
  if (grid.Is_Created())
    grid.Move(this, position);
  else
    m_Position = position;
}

bool CWorld_Object::Hit_Sphere_Body(CWorld_Object* other, const CShot_Line* shot) {
  return m_Sphere.hit_flag ? On_Hit(other, shot) : true;
}

bool CWorld_Object::Hit_Box_Body(CWorld_Object* other, const CShot_Line* shot) {
  return m_Box.hit_flag ? On_Hit(other, shot) : false;
}

bool CWorld_Object::Hit_Kind5_Body(CWorld_Object* other, const CShot_Line* shot) {
  return m_Fixed.hit_flag ? On_Hit(other, shot) : false;
}

bool CWorld_Object::Body_Hit_Flag() const {
  switch (m_Body_Kind) {
    case kBody_Sphere: return m_Sphere.hit_flag != 0;
    case kBody_Box: return m_Box.hit_flag != 0;
    case kBody_Fixed: return m_Fixed.hit_flag != 0;
    default: return false;
  }
}

CVector3 CWorld_Object::Body_Velocity() const {
  if (m_Body_Kind == kBody_Sphere) return m_Sphere.velocity;
  if (m_Body_Kind == kBody_Box) return m_Box.velocity;
  return CVector3::Zero;
}

// ----- body set-up ---------------------------------------------------------------------------

// Runs a change of the body's size with the object taken out of the grid, then files it
// again at its position, so that removal always sees the range it was filed with.
template <class Change>
void CWorld_Object::Resize_In_Grid(Change change) {
  const bool gridded = (m_State_Flags & kState_In_Grid) != 0;
  if (gridded) g_World.Grid().Remove(this);
  change();
  if (gridded) g_World.Grid().Insert(this, m_Position);
}

bool CWorld_Object::Setup_Sphere_Body(float mass, float radius, float bounce) {
  m_Body_Kind = kBody_Sphere;
  m_Sphere = CSphere_Body();
  m_Sphere.mass = mass;
  m_Sphere.bounce = bounce;
  Set_Sphere_Radius(radius);
  return true;
}

void CWorld_Object::Set_Sphere_Radius(float radius) {
  Resize_In_Grid([&] {
    m_View_Radius = m_Collision_Radius = radius;
    m_Sphere.radius_sq = radius * radius;
    m_Sphere.contact_radius = kContact_Radius_Factor * radius;
    m_Sphere.contact_radius_sq = m_Sphere.contact_radius * m_Sphere.contact_radius;
    m_Sphere.inertia = kInertia_Factor * m_Sphere.mass * radius * radius;
  });
}

bool CWorld_Object::Setup_Box_Body(float mass, const CVector3& half_size, float bounce) {
  m_Body_Kind = kBody_Box;
  m_Box = CBox_Body();
  m_Box.mass = mass;
  m_Box.bounce = bounce;
  Set_Box_Extents(half_size);
  return true;
}

void CWorld_Object::Set_Box_Extents(const CVector3& half_size) {
  Resize_In_Grid([&] {
    m_Box.half_size = half_size;
    const float radius = half_size.Length();
    m_View_Radius = m_Collision_Radius = radius;
    m_Box.radius_sq = radius * radius;
    m_Box.contact_radius = kContact_Radius_Factor * radius;
    m_Box.contact_radius_sq = m_Box.contact_radius * m_Box.contact_radius;
    m_Box.inertia = kInertia_Factor * m_Box.mass * radius * radius;
  });
}

bool CWorld_Object::Setup_Kind5_Body(const CVector3& half_size) {
  m_Body_Kind = kBody_Fixed;
  m_Fixed.hit_flag = 0;
  m_Fixed.flags = 0;
  Set_Kind5_Extents(half_size);
  return true;
}

void CWorld_Object::Set_Kind5_Extents(const CVector3& half_size) {
  Resize_In_Grid([&] {
    m_Fixed.half_size = half_size;
    const float radius = half_size.Length();
    m_View_Radius = m_Collision_Radius = radius;
    m_Fixed.radius_sq = radius * radius;
    m_Fixed.contact_radius = kContact_Radius_Factor * radius;
    m_Fixed.contact_radius_sq = m_Fixed.contact_radius * m_Fixed.contact_radius;
  });
}

// ----- world step ----------------------------------------------------------------------------

// The terrain triangles under the square of the radius around the body, then the edge walls
// it reaches, each as contact(v0, v1, v2, normal, bound, triangle) with the triangle's box and
// terms. A body whose lowest reach (its height less clear_above) is over every vertex of those
// triangles touches none of them, and they are not tested.
template <class Contact>
void CWorld_Object::Touch_World(float radius, float clear_above, Contact contact) {
  const CWorld& world = g_World;
  if (!world.Has_Terrain()) return;
  const int vx = world.m_Terrain.vertices_x, vz = world.m_Terrain.vertices_z;
  const float x = m_Position.x, z = m_Position.z;
  const int i_low = Body_Cell(x - radius, world.m_Cells_Per_Unit_X, vx);
  const int i_high = Body_Cell(x + radius, world.m_Cells_Per_Unit_X, vx);
  const int k_low = Body_Cell(z - radius, world.m_Cells_Per_Unit_Z, vz);
  const int k_high = Body_Cell(z + radius, world.m_Cells_Per_Unit_Z, vz);
  const CVector3* p = world.m_Positions;
  const CVector3* n = world.m_Normals;
  auto contact_afresh = [&](const CVector3& v0, const CVector3& v1, const CVector3& v2, const CVector3& normal) {
    contact(v0, v1, v2, normal, CTerrain_Triangle_Bounds::Bound_Of(v0, v1, v2),
            CTerrain_Triangle_Bounds::Triangle_Of(v0, v1, v2, normal));
  };
  if (!(m_Position.y - world.m_Height_Bound.Highest(i_low, i_high, k_low, k_high) >= clear_above)) {
    for (int k = k_low; k <= k_high; ++k) {
      for (int i = i_low; i <= i_high; ++i) {
        const int at = k * vx + i;
        if (world.m_Triangle_Bounds.Is_Built()) {
          const CTerrain_Triangle_Bound* bounds = world.m_Triangle_Bounds.Of_Cell(at);
          const CTerrain_Triangle* triangles = world.m_Triangle_Bounds.Triangles_Of_Cell(at);
          contact(p[at], p[at + vx], p[at + 1], n[at], bounds[0], triangles[0]);
          contact(p[at + vx], p[at + vx + 1], p[at + 1], n[at + 1], bounds[1], triangles[1]);
        } else {
          contact_afresh(p[at], p[at + vx], p[at + 1], n[at]);
          contact_afresh(p[at + vx], p[at + vx + 1], p[at + 1], n[at + 1]);
        }
      }
    }
  }
  if (world.m_Desc.world_flags & kWorld_No_Edge_Fences) return;
  const uint32_t open = g_Game_State.m_Mode_Flags;
  const float sx = world.m_Terrain.size_x, sz = world.m_Terrain.size_z, h = kWall_Height;
  auto wall = [&](const CVector3& a, const CVector3& b, const CVector3& normal) {
    const CVector3 c{b.x, h, b.z}, d{a.x, h, a.z};
    contact_afresh(a, b, c, normal);
    contact_afresh(a, c, d, normal);
  };
  // Positions are read again for each wall: an earlier contact may have moved the body.
  if (m_Position.x - radius < 0.0f && !(open & kWall_Open_X0))
    wall(CVector3{0.0f, 0.0f, 0.0f}, CVector3{0.0f, 0.0f, sz}, CVector3{1.0f, 0.0f, 0.0f});
  if (m_Position.x + radius > sx && !(open & kWall_Open_X_Max))
    wall(CVector3{sx, 0.0f, 0.0f}, CVector3{sx, 0.0f, sz}, CVector3{-1.0f, 0.0f, 0.0f});
  if (m_Position.z - radius < 0.0f && !(open & kWall_Open_Z0))
    wall(CVector3{0.0f, 0.0f, 0.0f}, CVector3{sx, 0.0f, 0.0f}, CVector3{0.0f, 0.0f, 1.0f});
  if (m_Position.z + radius > sz && !(open & kWall_Open_Z_Max))
    wall(CVector3{0.0f, 0.0f, sz}, CVector3{sx, 0.0f, sz}, CVector3{0.0f, 0.0f, -1.0f});
}

void CWorld_Object::Collide_Objects() {
  if (m_State_Flags & kState_No_Object_Collision) return;
  const float reach = m_Body_Kind == kBody_Box ? m_Box.contact_radius : m_Sphere.contact_radius;
  // Most bodies have nobody near: then the radius query could find nothing but the body itself.
  const CWorld_Grid& grid = g_World.Grid();
  if (!grid.Is_Created() || !Anyone_Near(grid, this, m_Position, reach)) return;
  CWorld_Query near;
  g_World.Query_Radius(m_Position, reach, near);
  for (int i = 0; i < near.count; ++i) {
    CWorld_Object* other = near.objects[i];
    if (other == this || (other->m_State_Flags & kState_No_Object_Collision)) continue;
    if (m_Body_Kind < 0 || m_Body_Kind >= kBody_Kind_Count || other->m_Body_Kind < 0 ||
        other->m_Body_Kind >= kBody_Kind_Count)
      continue;
    if (Collision_Handler handler = g_Collision_Handlers[m_Body_Kind * kBody_Kind_Count + other->m_Body_Kind])
      handler(this, other);
  }
}

void CWorld_Object::Collide_Sphere_World(CBody_Motion& motion) {
  if (!(m_State_Flags & kState_No_Gravity)) motion.acceleration.Add_Assign(g_World.m_Gravity);
  if (!(m_State_Flags & kState_No_World_Contact)) {
    // A triangle whose top is the contact radius or more below the centre is never touched.
    Touch_World(m_Collision_Radius, m_Sphere.contact_radius,
                [&](const CVector3&, const CVector3&, const CVector3&, const CVector3& n,
                    const CTerrain_Triangle_Bound& bound, const CTerrain_Triangle& triangle) {
      // Quick rejection, before the distance: a centre higher above the triangle's top than the
      // contact radius cannot touch it, nor one as far from the triangle's bounding box or from
      // its plane.
      if (m_Position.y - bound.high.y >= m_Sphere.contact_radius) return;
      if (Bounding_Box_Distance_Sq(m_Position, bound) >= m_Sphere.contact_radius_sq) return;
      if (triangle.Beyond_Plane(m_Position, m_Sphere.contact_radius)) return;
      Sphere_Triangle_Contact(motion, triangle, n);
    });
  }
  Collide_Objects();
}

void CWorld_Object::Collide_Box_World(CBody_Motion& motion) {
  if (!(m_State_Flags & kState_No_Gravity)) motion.acceleration.Add_Assign(g_World.m_Gravity);
  if (!(m_State_Flags & kState_No_World_Contact)) {
    // The box lies inside the sphere of its bounding radius; the margin covers the rounding of
    // the overlap test.
    const float clear_above = m_Collision_Radius * (1.0f + kBox_Clearance_Margin) + kBox_Clearance_Margin;
    Touch_World(m_Box.contact_radius, clear_above,
                [&](const CVector3& a, const CVector3& b, const CVector3& c, const CVector3& n,
                    const CTerrain_Triangle_Bound&, const CTerrain_Triangle& triangle) {
                  Box_Triangle_Contact(motion, a, b, c, n, triangle.face);
                });
  }
  Collide_Objects();
  m_Box.floor_timer += kBox_Floor_Timer_Step;
}

void CWorld_Object::Sphere_Triangle_Contact(CBody_Motion& motion, const CTerrain_Triangle& triangle,
                                            const CVector3& normal) {
  CSphere_Body& body = m_Sphere;
  const CVector3 centre = m_Position;
  float s = 0.0f, t = 0.0f;
  const float d2 = triangle.Distance_Sq(centre, s, t);
  if (!(d2 < body.contact_radius_sq)) return;
  const float radius = m_Collision_Radius;
  const CVector3& face = triangle.face;
  const CVector3 closest = Add(triangle.v0, Add(Mul(triangle.e0, s), Mul(triangle.e1, t)));
  const CVector3 offset = Sub(centre, closest);
  const float d = std::sqrt(d2);
  // A centre on the triangle has no direction of its own: the face's normal stands in. A centre
  // behind the surface is brought back to the front, never pushed further through.
  const bool behind = offset.Dot(face) < 0.0f;
  const CVector3 n = (d > 1.0e-6f && !behind) ? Mul(offset, 1.0f / d) : face;
  const float spin_factor = std::max(1.0f, 0.05f * body.spin.Length_Squared());
  bool floor_told = false;

  if (behind || d2 < body.radius_sq) {
    const float depth = behind ? radius + d : std::max(radius - d, kMin_Depth);
    Set_Position(Add(centre, Mul(n, kPush_Out_Factor * depth)));
    const CVector3 v = body.velocity;
    const CVector3 normal_part = Mul(n, v.Dot(n));
    const CVector3 tangential = Sub(v, normal_part);
    motion.Add_Contact_Velocity(Sub(tangential, Mul(normal_part, body.bounce)));
    // Friction at the contact point works against the sliding there (the spin's surface speed
    // included) and sets the sphere rolling; the spin it adds in a step never passes rolling,
    // so that spin and speed cannot feed each other.
    const CVector3 surface_speed = Cross(body.spin, Mul(n, radius));
    const CVector3 slip = Sub(v, surface_speed);
    const CVector3 slip_across = Sub(slip, Mul(n, slip.Dot(n)));
    const CVector3 force = Mul(slip_across, -kContact_Friction);
    motion.friction_torque.Add_Assign(Mul(Cross(Sub(closest, centre), force), Inverse_Of(body.inertia)));
    if (radius > 0.0f)
      motion.friction_spin_cap = std::max(motion.friction_spin_cap, slip_across.Length() / radius);
    if (body.floor_contact_flag) {
      On_Floor_Contact(v.Dot(normal) * spin_factor, closest, normal);
      floor_told = true;
    }
  }

  // Resting contact: rolling friction, and the surface holds the sphere up.
  const CVector3 surface = Cross(body.spin, Mul(n, radius));
  const CVector3 sliding = Sub(body.velocity, surface);
  if (sliding.Length_Squared() > 0.0f) {
    const CVector3 friction = Mul(sliding, kSliding_Friction);
    motion.acceleration.Subtract_Assign(Mul(friction, kSliding_Friction_Share));
    motion.torque.Add_Assign(Cross(n, Mul(friction, radius * 0.5f * Inverse_Of(body.inertia))));
  }
  const float into = motion.acceleration.Dot(n);
  if (into < 0.0f) motion.acceleration.Subtract_Assign(Mul(n, into));
  if (body.floor_contact_flag && !floor_told) On_Floor_Contact(sliding.Dot(n) * spin_factor, closest, n);
}

void CWorld_Object::Box_Triangle_Contact(CBody_Motion& motion, const CVector3& v0, const CVector3& v1,
                                         const CVector3& v2, const CVector3& normal, const CVector3& face) {
  CBox_Body& body = m_Box;
  const CVector3* axes = m_Orientation.rows;
  const CVector3& half = body.half_size;
  if (!BoxTriangleOverlap(v0, v1, v2, m_Position, axes[0], axes[1], axes[2], half)) return;
  const CVector3& n = face;

  // A box sunk deep (its centre near the surface) is lifted out along the normal. The probe is
  // never longer than half the box's depth along the normal, so that thin boxes at rest are
  // left to the corner contacts.
  const float depth_extent = half.x * std::fabs(axes[0].Dot(n)) + half.y * std::fabs(axes[1].Dot(n)) +
                             half.z * std::fabs(axes[2].Dot(n));
  const float probe = std::min(kBox_Probe_Length, 0.5f * depth_extent);
  if (probe > 0.0f) {
    const CVector3 down = Mul(n, -probe);
    float t = 0.0f;
    if (SegmentTriangleDistanceSq(m_Position, down, v0, v1, v2, &t) < kInside_Tolerance)
      Set_Position(Add(m_Position, Mul(down, (t - 1.0f) * kBox_Push_Out_Factor)));
  }

  const CVector3 centre = m_Position;
  const float inverse_inertia = Inverse_Of(body.inertia);
  const float penalty_k = body.bounce * 100.0f + 50.0f;
  const float friction_k = kBox_Corner_Friction * std::min(body.floor_timer, 1.0f);
  static const float kCorner_Signs[8][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  for (int corner = 0; corner < 8; ++corner) {
    const float sy = corner < 4 ? -1.0f : 1.0f;
    const CVector3 arm = Add(Add(Mul(axes[0], kCorner_Signs[corner][0] * half.x), Mul(axes[1], sy * half.y)),
                             Mul(axes[2], kCorner_Signs[corner][1] * half.z));
    const CVector3 point = Add(centre, arm);
    const float depth = Sub(point, v0).Dot(n);
    if (!(depth < 0.0f)) continue;
    // Only corners over this triangle: each corner answers to one triangle of the surface.
    if (PointTriangleDistanceSq(point, v0, v1, v2) > depth * depth + kInside_Tolerance) continue;
    const CVector3 push = Mul(n, -penalty_k * depth);
    motion.acceleration.Add_Assign(push);
    motion.torque.Add_Assign(Mul(Cross(arm, push), body.mass * inverse_inertia));
    const CVector3 corner_velocity = Add(body.velocity, Cross(body.spin, arm));
    const CVector3 tangential = Sub(corner_velocity, Mul(n, corner_velocity.Dot(n)));
    motion.torque.Add_Assign(Mul(Cross(arm, Mul(tangential, -friction_k)), inverse_inertia));
    body.velocity.Scale_Assign(0.99f);
    body.spin.Scale_Assign(0.995f);
  }
  body.floor_timer = kBox_Floor_Timer_Contact;
  if (body.floor_contact_flag) On_Floor_Contact(normal);
}

// ----- integration ---------------------------------------------------------------------------

void CWorld_Object::Turn_By_Spin(const CVector3& spin, float dt) {
  const float rate = spin.Length();
  const float angle = rate * dt;
  if (!(angle >= kMin_Turn_Angle) || !std::isfinite(angle)) return;
  CMatrix3x3 turn;
  turn.From_Axis_Angle(Mul(spin, 1.0f / rate), angle);
  m_Orientation.Multiply_Assign(turn);
  // Keep the axes orthonormal so that rounding never shears the body over a long run.
  CVector3& r0 = m_Orientation.rows[0];
  CVector3& r1 = m_Orientation.rows[1];
  CVector3& r2 = m_Orientation.rows[2];
  r2.Normalize();
  r0 = Cross(r1, r2);
  r0.Normalize();
  r1 = Cross(r2, r0);
}

// A sphere's orientation only places its drawing: no contact reads it. The small turns of a
// step are made without a root, a division or the library's sine, to float precision.
void CWorld_Object::Roll_By_Spin(const CVector3& spin, float dt) {
  // Half the turn's angle, squared: (|spin| dt / 2)^2.
  const float half_sq = spin.Length_Squared() * (0.25f * dt * dt);
  if (!(half_sq < kSeries_Limit_Sq)) {
    Turn_By_Spin(spin, dt);
    return;
  }
  if (!(half_sq >= kMin_Half_Turn_Sq)) return;
  // sin(h) / h and cos(h) by their series, exact to float precision in this range.
  const float sin_over_h = 1.0f - half_sq * (1.0f / 6.0f) * (1.0f - half_sq * (1.0f / 20.0f));
  const float k = 0.5f * dt * sin_over_h;  // sin(h) / |spin|
  CQuaternion q;
  q.x = spin.x * k;
  q.y = spin.y * k;
  q.z = spin.z * k;
  q.w = 1.0f - half_sq * 0.5f * (1.0f - half_sq * (1.0f / 12.0f));
  CMatrix3x3 turn;
  turn.From_Quaternion(q);
  m_Orientation.Multiply_Assign(turn);
  CVector3& r0 = m_Orientation.rows[0];
  CVector3& r1 = m_Orientation.rows[1];
  CVector3& r2 = m_Orientation.rows[2];
  Make_Unit(r2);
  r0 = Cross(r1, r2);
  Make_Unit(r0);
  r1 = Cross(r2, r0);
}

void CWorld_Object::Integrate_Sphere(CBody_Motion& motion, float dt) {
  CSphere_Body& body = m_Sphere;
  body.spin.Add_Assign(Mul(motion.torque, dt));
  CVector3 friction_spin = Mul(motion.friction_torque, dt);
  const float turn = friction_spin.Length();
  if (turn > motion.friction_spin_cap) friction_spin = Mul(friction_spin, motion.friction_spin_cap / turn);
  body.spin.Add_Assign(friction_spin);
  if (motion.contact_count == 0.0f) {
    body.velocity.Add_Assign(Mul(motion.acceleration, dt));
    Set_Position(Add(m_Position, Mul(body.velocity, dt)));
  } else {
    body.velocity = motion.contact_velocity;
  }
  if (!(m_State_Flags & kState_No_Damping) && !g_Game_Paused) {
    body.velocity.Scale_Assign(0.9995f);
    body.spin.Scale_Assign(0.9998f);
  }
  Roll_By_Spin(body.spin, dt);
  motion.Clear();
}

void CWorld_Object::Integrate_Box(CBody_Motion& motion, float dt) {
  CBox_Body& body = m_Box;
  body.spin.Add_Assign(Mul(motion.torque, dt));
  if (motion.contact_count == 0.0f) {
    body.velocity.Add_Assign(Mul(motion.acceleration, dt));
    Set_Position(Add(m_Position, Mul(body.velocity, dt)));
  } else {
    body.velocity = motion.contact_velocity;
  }
  if (!(m_State_Flags & kState_No_Damping) && !g_Game_Paused) {
    body.velocity.Scale_Assign(0.999f);
    body.spin.Scale_Assign(0.999f);
  }
  Turn_By_Spin(body.spin, dt);
  motion.Clear();
}

// ----- impulses from shots -------------------------------------------------------------------

namespace {

void Apply_Impulse(CBody_Motion& motion, const CVector3& offset, const CVector3& push, float k, float spin_scale,
                   float inverse_inertia) {
  const float length = std::max(offset.Length(), 0.01f);
  const CVector3 n = Mul(offset, -1.0f / length);
  const float along = n.Dot(push);
  motion.acceleration.Add_Assign(Mul(n, along * k));
  const CVector3 across = Sub(push, Mul(n, along));
  const CVector3 arm = Mul(offset, 1.0f / length);
  motion.torque.Add_Assign(Cross(arm, Mul(across, spin_scale * k * length * inverse_inertia)));
}

}  // namespace

void CWorld_Object::Apply_Sphere_Impulse(const CVector3& offset, const CVector3& push) {
  Apply_Impulse(m_Motion, offset, push, (m_Sphere.bounce + 0.5f) * 1200.0f, 0.001f, Inverse_Of(m_Sphere.inertia));
}

void CWorld_Object::Apply_Box_Impulse(const CVector3& offset, const CVector3& push) {
  Apply_Impulse(m_Motion, offset, push, (m_Box.bounce + 0.5f) * 33.0f, 0.25f, Inverse_Of(m_Box.inertia));
}
