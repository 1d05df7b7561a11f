#include "game/core/World_Queries.h"

#include <cmath>

#include "game/core/CWorld.h"
#include "game/core/CWorld_Object.h"
#include "game/sim/CSim_Stats.h"
#include "runtime/src/math/geometry.h"

namespace {

constexpr float kStrike_Margin_Sq = 2.5f;
constexpr float kPick_Margin_Sq = 2.0f;
constexpr float kShot_Push = 12000.0f;
constexpr float kPickable_Kill_Timer = 0.85f;

CVector3 Add(const CVector3& a, const CVector3& b) { return CVector3{a.x + b.x, a.y + b.y, a.z + b.z}; }
CVector3 Sub(const CVector3& a, const CVector3& b) { return CVector3{a.x - b.x, a.y - b.y, a.z - b.z}; }
CVector3 Mul(const CVector3& a, float s) { return CVector3{a.x * s, a.y * s, a.z * s}; }

// The unit direction of a vector, or the vector itself when it has no length.
CVector3 Direction_Of(const CVector3& v) {
  const float length = v.Length();
  return length > 0.0f ? Mul(v, 1.0f / length) : v;
}

const CVector3& Box_Half_Size(const CWorld_Object* object) {
  return object->m_Body_Kind == kBody_Box ? object->m_Box.half_size : object->m_Fixed.half_size;
}

bool Is_Strikable(const CWorld_Object* object) { return (object->m_Kind_Flags & kKind_Strikable_Mask) != 0; }
bool Is_Live_Strikable(const CWorld_Object* object) { return Is_Strikable(object) && object->m_Kill_Timer == 0.0f; }

// Squared distance of a centre from the ray's line (the projection is not clamped).
float Line_Distance_Sq(const CVector3& centre, const CVector3& start, const CVector3& segment) {
  return PointLineDistanceSq(centre, start, segment);
}

}  // namespace

void World_Intersect_Object(CVector3& point, const CVector3& start, const CVector3& delta, CWorld_Object* object,
                            bool& hit) {
  int count = 0;
  CVector3 first{0.0f, 0.0f, 0.0f};
  if (object->m_Body_Kind == kBody_Box) {
    const CVector3* a = object->m_Orientation.rows;
    hit = SegmentBoxIntersect(start, delta, object->m_Position, a[0], a[1], a[2], object->m_Box.half_size, &count,
                              &first);
  } else {
    hit = SegmentSphereIntersect(start, delta, object->m_Position, object->m_Collision_Radius, &count, &first);
  }
  point = hit ? first : Add(start, delta);
}

bool World_Strike_Object(CWorld_Object* object, const CVector3& start, const CVector3& delta, CVector3& point,
                         int& variant, int shot_id) {
  const uint32_t kind = object->m_Kind_Flags;
  const bool pushable = (kind & (kKind_Counted_Target | kKind_Target)) && !(kind & kKind_Excluded);
  const CVector3* a = object->m_Orientation.rows;
  CShot_Line line{{0.0f, 0.0f, 0.0f}, Direction_Of(delta)};
  bool refused = false;
  CVector3 push_point{0.0f, 0.0f, 0.0f};
  switch (object->m_Body_Kind) {
    case kBody_Sphere: {
      float t = 0.0f;
      const float d2 = PointLineDistanceSq(object->m_Position, start, delta, &t);
      (void)d2;
      t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
      point = Add(start, Mul(delta, t));
      if (!(Sub(point, object->m_Position).Length_Squared() < object->m_Sphere.radius_sq + kStrike_Margin_Sq))
        return false;
      line.point = point;
      // The push acts where the shot enters the sphere: at the nearest point itself it would
      // always run across the shot and never throw the sphere.
      const float inside_sq = object->m_Sphere.radius_sq - Sub(point, object->m_Position).Length_Squared();
      push_point = inside_sq > 0.0f ? Sub(point, Mul(line.direction, std::sqrt(inside_sq))) : point;
      if (pushable && object->m_Sphere.hit_flag) refused = !object->On_Hit(nullptr, &line);
      break;
    }
    case kBody_Fixed: {
      float t = 0.0f;
      if (!(SegmentBoxDistanceSq(start, delta, object->m_Position, a[0], a[1], a[2], Box_Half_Size(object), &t) <
            kStrike_Margin_Sq))
        return false;
      point = Add(start, Mul(delta, t));
      line.point = point;
      if (!(kind & kKind_Excluded) && object->m_Fixed.hit_flag) object->On_Hit(nullptr, &line);
      break;
    }
    case kBody_Box: {
      float t = 0.0f;
      if (!(SegmentBoxDistanceSq(start, delta, object->m_Position, a[0], a[1], a[2], Box_Half_Size(object), &t) <
            kStrike_Margin_Sq))
        return false;
      point = Add(start, Mul(delta, t));
      line.point = point;
      // The push acts where the shot enters the box, not where the box test reports (its exit).
      int count = 0;
      CVector3 entry;
      push_point = SegmentBoxIntersect(start, delta, object->m_Position, a[0], a[1], a[2], Box_Half_Size(object),
                                       &count, &entry) ? entry : point;
      // A box is pushed only when it takes the hit; an excluded box stops the shot untold.
      refused = !(!(kind & kKind_Excluded) && object->m_Box.hit_flag && object->On_Hit(nullptr, &line));
      break;
    }
    default:
      return false;
  }
  if (!pushable || refused) return false;
  const CVector3 push = Mul(Direction_Of(delta), kShot_Push);
  const CVector3 offset = Sub(push_point, object->m_Position);
  if (object->m_Body_Kind == kBody_Sphere)
    object->Apply_Sphere_Impulse(offset, push);
  else if (object->m_Body_Kind == kBody_Box)
    object->Apply_Box_Impulse(offset, push);
  // The shot's numbered source (the variant) and tag mark its entry in the statistics.
  const uint32_t tag = static_cast<uint32_t>(shot_id);
  const CShot_Source source = CShot_Source::Numbered(static_cast<uint32_t>(variant));
  g_Sim_Stats.Register_Hit(object, nullptr, &source, tag);
  return true;
}

CWorld_Object* World_Pick_Object_On_Ray(const CVector3& start, const CVector3& direction, CVector3& point,
                                        float tolerance) {
  const CVector3 segment = Mul(direction, kRay_Length);
  const CVector3 end = Add(start, segment);
  CWorld_Query near;
  g_World.Collect_Objects_On_Segment(start, end, tolerance * tolerance, near);
  if (near.count == 0) return nullptr;
  CWorld_Object* best = near.objects[0];
  for (int i = 1; i < near.count; ++i) {
    CWorld_Object* candidate = near.objects[i];
    // A live strikable candidate takes over from a best that is not; every other pair goes by
    // the distance from the ray's line, so anything nearer the line displaces even a live best.
    if (Is_Live_Strikable(candidate) && !Is_Live_Strikable(best)) {
      best = candidate;
    } else if (Line_Distance_Sq(candidate->m_Position, start, segment) <
               Line_Distance_Sq(best->m_Position, start, segment)) {
      best = candidate;
    }
  }
  if (!(best->m_Kill_Timer < kPickable_Kill_Timer) || !Is_Strikable(best)) return nullptr;
  if (best->m_Body_Kind == kBody_Box || best->m_Body_Kind == kBody_Fixed) {
    const CVector3* a = best->m_Orientation.rows;
    int count = 0;
    CVector3 first;
    if (!SegmentBoxIntersect(start, segment, best->m_Position, a[0], a[1], a[2], Box_Half_Size(best), &count, &first))
      return nullptr;
    point = first;
    return best;
  }
  float t = 0.0f;
  PointLineDistanceSq(best->m_Position, start, segment, &t);
  if (t < 0.0f) t = 0.0f;
  const CVector3 nearest = Add(start, Mul(segment, t));
  const float r = best->m_Collision_Radius;
  if (!(Sub(nearest, best->m_Position).Length_Squared() <= r * r + kPick_Margin_Sq)) return nullptr;
  point = nearest;
  return best;
}

int World_Cast_Ray(const CVector3& start, const CVector3& direction, CVector3& point, float tolerance,
                   CWorld_Object*& object) {
  object = World_Pick_Object_On_Ray(start, direction, point, tolerance);
  if (object) return kRay_Object;
  if (g_World.Intersect_Terrain(start, Mul(direction, kRay_Length), point)) return kRay_Terrain;
  const float size_x = g_World.m_Terrain.size_x, size_z = g_World.m_Terrain.size_z;
  CPlane wall;
  if (direction.x >= 0.0f)
    wall.Set(CVector3{-1.0f, 0.0f, 0.0f}, CVector3{size_x, 0.0f, 0.0f});
  else
    wall.Set(CVector3{1.0f, 0.0f, 0.0f}, CVector3{0.0f, 0.0f, 0.0f});
  const float along = -(wall.nx * direction.x);
  if (along == 0.0f) return kRay_Nothing;  // parallel to the wall
  const float t = wall.Distance(start) / along;
  point = Add(start, Mul(direction, t));
  if (point.z > size_z && direction.z > 0.0f) {
    CPlane far_wall;
    far_wall.Set(CVector3{0.0f, 0.0f, -1.0f}, CVector3{0.0f, 0.0f, size_z});
    point = Add(start, Mul(direction, far_wall.Distance(start) / direction.z));
  }
  return kRay_Wall;
}
