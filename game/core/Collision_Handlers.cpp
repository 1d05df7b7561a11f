#include "game/core/Collision_Handlers.h"

#include <algorithm>
#include <cmath>

#include "runtime/src/math/geometry.h"

namespace {

constexpr float kSeparation_Factor = 1.02f;
constexpr float kSpin_Friction = 0.2f;
constexpr float kCatch_Release_Speed = 75.0f;
constexpr float kSphere_Box_Stiffness = 250.0f;
constexpr float kFixed_Clearance = 0.25f;
constexpr float kFixed_Spin = 2000.0f;
constexpr float kFixed_Friction = 100.0f;
constexpr float kFixed_Friction_Share = 0.05f;
constexpr float kFixed_Hold = 1.5f;
constexpr float kMin_Distance = 1.0e-6f;

CVector3 Add(const CVector3& a, const CVector3& b) { return CVector3{a.x + b.x, a.y + b.y, a.z + b.z}; }
CVector3 Sub(const CVector3& a, const CVector3& b) { return CVector3{a.x - b.x, a.y - b.y, a.z - b.z}; }
CVector3 Mul(const CVector3& a, float s) { return CVector3{a.x * s, a.y * s, a.z * s}; }
CVector3 Cross(const CVector3& a, const CVector3& b) {
  CVector3 c;
  return a.Cross(b, c);
}
float Inverse_Of(float value) { return value > 0.0f ? 1.0f / value : 0.0f; }

// Tells the object of the contact when its body's hit flag is set; an object that is not told
// never vetoes.
bool Tell(CWorld_Object* who, CWorld_Object* other) { return who->Body_Hit_Flag() ? who->On_Hit(other, nullptr) : true; }

// A shot is told before what it hits; otherwise the other object comes first. A veto ends the
// protocol: the second object is not told.
bool Veto_Protocol(CWorld_Object* sphere, CWorld_Object* other) {
  if (sphere->m_Kind_Flags & kKind_Shot) return Tell(sphere, other) && Tell(other, sphere);
  return Tell(other, sphere) && Tell(sphere, other);
}

// The point of an oriented box nearest to a point, the unit normal from it towards the point,
// and the signed distance (negative inside the box, where the normal leaves through the face
// of least penetration).
struct Box_Contact {
  CVector3 surface;
  CVector3 normal;
  float distance;
};

Box_Contact Nearest_On_Box(const CVector3& point, const CVector3& centre, const CMatrix3x3& axes,
                           const CVector3& half) {
  const CVector3* a = axes.rows;
  float x[3] = {0.0f, 0.0f, 0.0f};
  const float d2 = PointBoxDistanceSq(point, centre, a[0], a[1], a[2], half, &x[0], &x[1], &x[2]);
  const CVector3 nearest = Add(centre, Add(Add(Mul(a[0], x[0]), Mul(a[1], x[1])), Mul(a[2], x[2])));
  const float d = std::sqrt(d2);
  if (d > kMin_Distance) return {nearest, Mul(Sub(point, nearest), 1.0f / d), d};
  const CVector3 offset = Sub(point, centre);
  const float extents[3] = {half.x, half.y, half.z};
  int axis = 0;
  float least = 0.0f;
  float local[3];
  for (int i = 0; i < 3; ++i) {
    local[i] = offset.Dot(a[i]);
    const float penetration = extents[i] - std::fabs(local[i]);
    if (i == 0 || penetration < least) {
      least = penetration;
      axis = i;
    }
  }
  const CVector3 normal = Mul(a[axis], local[axis] < 0.0f ? -1.0f : 1.0f);
  return {Add(point, Mul(normal, std::max(least, 0.0f))), normal, -std::max(least, 0.0f)};
}

}  // namespace

Collision_Handler g_Collision_Handlers[kBody_Kind_Count * kBody_Kind_Count] = {};

void Init_Collision_Handlers() {
  for (Collision_Handler& cell : g_Collision_Handlers) cell = nullptr;
  g_Collision_Handlers[kBody_Sphere * kBody_Kind_Count + kBody_Sphere] = &Collide_Sphere_Sphere;
  g_Collision_Handlers[kBody_Sphere * kBody_Kind_Count + kBody_Box] = &Collide_Sphere_Box;
  g_Collision_Handlers[kBody_Sphere * kBody_Kind_Count + kBody_Fixed] = &Collide_Sphere_Fixed;
  g_Collision_Handlers[kBody_Box * kBody_Kind_Count + kBody_Fixed] = &Collide_Box_Fixed;
}

namespace {
struct Fill_At_Start {
  Fill_At_Start() { Init_Collision_Handlers(); }
} s_Fill_At_Start;
}  // namespace

int Collide_Sphere_Sphere(CWorld_Object* a, CWorld_Object* b) {
  const CVector3 offset = Sub(a->m_Position, b->m_Position);
  const float d = offset.Length();
  const float overlap = d - (a->m_Collision_Radius + b->m_Collision_Radius);
  if (!Veto_Protocol(a, b)) return 0;
  if (!(overlap < 0.0f)) return 0;
  // Coincident centres have no direction between them: they part along +y.
  const CVector3 n = d > kMin_Distance ? Mul(offset, 1.0f / d) : CVector3{0.0f, 1.0f, 0.0f};
  CSphere_Body& sa = a->m_Sphere;
  CSphere_Body& sb = b->m_Sphere;
  const float total = sa.mass + sb.mass;
  const float share = total > 0.0f ? sa.mass / total : 0.5f;
  const float depth = -overlap;
  const float move_a = depth * share * kSeparation_Factor;
  const float move_b = (depth - move_a) * kSeparation_Factor;
  a->Set_Position(Add(a->m_Position, Mul(n, move_a)));
  b->Set_Position(Sub(b->m_Position, Mul(n, move_b)));

  const float approach = Sub(sa.velocity, sb.velocity).Dot(n);
  if (!(approach < 0.0f) || !(total > 0.0f)) return 1;
  const float restitution = sa.bounce * sb.bounce;
  const float impulse = -(1.0f + restitution) * approach * sa.mass * sb.mass / total;
  sa.velocity.Add_Assign(Mul(n, impulse * Inverse_Of(sa.mass)));
  sb.velocity.Subtract_Assign(Mul(n, impulse * Inverse_Of(sb.mass)));

  // Rubbing at the contact point turns both spheres.
  const CVector3 arm_a = Mul(n, -a->m_Collision_Radius);
  const CVector3 arm_b = Mul(n, b->m_Collision_Radius);
  const CVector3 rel = Sub(Add(sa.velocity, Cross(sa.spin, arm_a)), Add(sb.velocity, Cross(sb.spin, arm_b)));
  const CVector3 tangential = Sub(rel, Mul(n, rel.Dot(n)));
  const CVector3 friction = Mul(tangential, -kSpin_Friction * sa.mass * sb.mass / total);
  sa.spin.Add_Assign(Mul(Cross(arm_a, friction), Inverse_Of(sa.inertia)));
  sb.spin.Subtract_Assign(Mul(Cross(arm_b, friction), Inverse_Of(sb.inertia)));
  return 1;
}

int Collide_Sphere_Box(CWorld_Object* sphere, CWorld_Object* box) {
  CSphere_Body& s = sphere->m_Sphere;
  CBox_Body& b = box->m_Box;
  const Box_Contact contact = Nearest_On_Box(sphere->m_Position, box->m_Position, box->m_Orientation, b.half_size);
  if (contact.distance * std::fabs(contact.distance) > s.contact_radius_sq) return 0;
  if (b.box_flags & kBox_Ignores_Spheres) return 0;
  if (!Veto_Protocol(sphere, box)) return 0;
  const CVector3& n = contact.normal;
  const float radius = sphere->m_Collision_Radius;
  const CVector3 arm = Sub(contact.surface, box->m_Position);
  const CVector3 box_velocity = Add(b.velocity, Cross(b.spin, arm));
  const float normal_speed = Sub(s.velocity, box_velocity).Dot(n);
  if (b.catch_mode && -normal_speed > kCatch_Release_Speed) b.catch_mode = b.catch_hold;
  const bool inside = contact.distance < radius;
  if (b.catch_mode && inside) {
    sphere->Set_Position(Add(contact.surface, Mul(n, radius)));
    s.velocity = box_velocity;
    return 1;
  }
  if (inside) sphere->Set_Position(Add(contact.surface, Mul(n, radius)));
  if (normal_speed < 0.0f) {
    const float k = (s.bounce + b.bounce + 0.5f) * kSphere_Box_Stiffness;
    const CVector3 force = Mul(n, -k * normal_speed);
    sphere->m_Motion.acceleration.Add_Assign(force);
    box->m_Motion.acceleration.Subtract_Assign(force);
    box->m_Motion.torque.Add_Assign(Mul(Cross(arm, Mul(force, -1.0f)), Inverse_Of(b.inertia)));
  }
  return 1;
}

namespace {

// Pushes a body treated as a sphere of the radius out of a fixed box and asks for the
// velocity that reflects its normal part with the bounce; the spin follows the change.
void Answer_Fixed_Contact(CWorld_Object* mover, const Box_Contact& contact, float radius, CVector3& velocity,
                          float bounce, float inverse_inertia) {
  const CVector3& n = contact.normal;
  mover->Set_Position(Add(mover->m_Position, Mul(n, radius - contact.distance + kFixed_Clearance)));
  const CVector3 v = velocity;
  const CVector3 normal_part = Mul(n, v.Dot(n));
  const CVector3 wanted = Sub(Sub(v, normal_part), Mul(normal_part, bounce));
  mover->m_Motion.Add_Contact_Velocity(wanted);
  const CVector3 change = Mul(Sub(wanted, v), kFixed_Spin * radius * inverse_inertia);
  mover->m_Motion.torque.Add_Assign(Cross(Mul(n, -radius), change));
}

}  // namespace

int Collide_Sphere_Fixed(CWorld_Object* sphere, CWorld_Object* fixed) {
  CSphere_Body& s = sphere->m_Sphere;
  const Box_Contact contact =
      Nearest_On_Box(sphere->m_Position, fixed->m_Position, fixed->m_Orientation, fixed->m_Fixed.half_size);
  if (contact.distance * std::fabs(contact.distance) > s.contact_radius_sq) return 0;
  if (fixed->m_Fixed.flags & kFixed_No_Collision) return 0;
  // Both are told, and neither can refuse the contact.
  if (sphere->m_Kind_Flags & kKind_Shot) {
    Tell(sphere, fixed);
    Tell(fixed, sphere);
  } else {
    Tell(fixed, sphere);
    Tell(sphere, fixed);
  }
  const float radius = sphere->m_Collision_Radius;
  if (contact.distance >= radius) return 1;
  const float inverse_inertia = Inverse_Of(s.inertia);
  Answer_Fixed_Contact(sphere, contact, radius, s.velocity, s.bounce, inverse_inertia);
  const CVector3& n = contact.normal;
  const CVector3 sliding = Sub(s.velocity, Cross(s.spin, Mul(n, radius)));
  const CVector3 friction = Mul(sliding, kFixed_Friction);
  sphere->m_Motion.acceleration.Subtract_Assign(Mul(friction, kFixed_Friction_Share));
  sphere->m_Motion.torque.Add_Assign(Cross(n, Mul(friction, radius * 0.5f * inverse_inertia)));
  sphere->m_Motion.acceleration.Add_Assign(Mul(n, s.mass * kFixed_Hold));
  return 1;
}

int Collide_Box_Fixed(CWorld_Object* box, CWorld_Object* fixed) {
  CBox_Body& b = box->m_Box;
  const Box_Contact contact =
      Nearest_On_Box(box->m_Position, fixed->m_Position, fixed->m_Orientation, fixed->m_Fixed.half_size);
  if (contact.distance * std::fabs(contact.distance) > b.contact_radius_sq) return 0;
  if (b.hit_flag && !fixed->On_Hit(box, nullptr)) return 0;
  if (fixed->m_Fixed.flags & kFixed_No_Collision) return 0;
  if (b.hit_flag && !box->On_Hit(fixed, nullptr)) return 0;
  const float radius = box->m_Collision_Radius;
  if (contact.distance >= radius) return 1;
  Answer_Fixed_Contact(box, contact, radius, b.velocity, b.bounce, Inverse_Of(b.inertia));
  return 1;
}
