#pragma once
// Distance, overlap and intersection tests between segments, lines, rays, triangles, spheres
// and oriented boxes. Pure functions: no allocation, no state.
//
// How shapes are passed:
// - segment: origin P and direction D = end - start (not normalised): P + s D, 0 <= s <= 1;
// - line: P + s D for any s; ray: P + t D for t >= 0;
// - triangle: V0, V1, V2, points V0 + s (V1 - V0) + t (V2 - V0) with s, t >= 0, s + t <= 1;
// - oriented box: centre Q, orthonormal axes A0, A1, A2 and half extents e = (e0, e1, e2):
//   points Q + x0 A0 + x1 A1 + x2 A2 with |xi| <= ei;
// - sphere: centre and radius.
//
// Distances are squared and never negative. Output pointers are optional: null means the
// caller does not want that output. Directions are taken as parallel when the determinant of
// their 2x2 (or 3x3) system falls below 0.00001 in absolute value; the test is built from the
// unnormalised directions, so it depends on their lengths. Degenerate shapes (zero-length
// directions, collapsed triangles, zero-size boxes) give the distance to what is left of them
// and never a value that is not a number.
#include "runtime/src/math/math_types.h"

// Line P0 + s D0 against ray P1 + t D1 (t >= 0).
float LineRayDistanceSq(const CVector3& line_origin, const CVector3& line_dir, const CVector3& ray_origin,
                        const CVector3& ray_dir, float* s = nullptr, float* t = nullptr);

// Point against the line origin + t dir; t = ((point - origin) . dir) / (dir . dir).
float PointLineDistanceSq(const CVector3& point, const CVector3& origin, const CVector3& dir, float* t = nullptr);

// Segment P0 + s D0 against segment P1 + t D1.
float SegmentSegmentDistanceSq(const CVector3& p0, const CVector3& d0, const CVector3& p1, const CVector3& d1,
                               float* s = nullptr, float* t = nullptr);

// Segment P + r D against the triangle; s, t locate the triangle's closest point.
float SegmentTriangleDistanceSq(const CVector3& p, const CVector3& d, const CVector3& v0, const CVector3& v1,
                                const CVector3& v2, float* r = nullptr, float* s = nullptr, float* t = nullptr);

// Point against the triangle; s, t locate the closest point.
float PointTriangleDistanceSq(const CVector3& point, const CVector3& v0, const CVector3& v1, const CVector3& v2,
                              float* s = nullptr, float* t = nullptr);

// Point against the oriented box; x0, x1, x2 are the closest point's box coordinates.
float PointBoxDistanceSq(const CVector3& point, const CVector3& center, const CVector3& axis0,
                         const CVector3& axis1, const CVector3& axis2, const CVector3& extents, float* x0 = nullptr,
                         float* x1 = nullptr, float* x2 = nullptr);

// Line P + t D against the oriented box. When many points of the line are equally close,
// the reported one is the last of them along the direction (for a line through the box, the
// exit point).
float LineBoxDistanceSq(const CVector3& p, const CVector3& d, const CVector3& center, const CVector3& axis0,
                        const CVector3& axis1, const CVector3& axis2, const CVector3& extents, float* t = nullptr,
                        float* x0 = nullptr, float* x1 = nullptr, float* x2 = nullptr);

// Segment P + t D against the oriented box: the line's answer, or an end point's when the
// line's closest point lies beyond the segment.
float SegmentBoxDistanceSq(const CVector3& p, const CVector3& d, const CVector3& center, const CVector3& axis0,
                           const CVector3& axis1, const CVector3& axis2, const CVector3& extents, float* t = nullptr,
                           float* x0 = nullptr, float* x1 = nullptr, float* x2 = nullptr);

// Separating-axis test on 15 axes; touching boxes overlap.
bool BoxBoxOverlap(const CVector3& center0, const CVector3& a0, const CVector3& a1, const CVector3& a2,
                   const CVector3& extents0, const CVector3& center1, const CVector3& b0, const CVector3& b1,
                   const CVector3& b2, const CVector3& extents1);

// Separating-axis test on 13 axes; touching shapes overlap.
bool BoxTriangleOverlap(const CVector3& v0, const CVector3& v1, const CVector3& v2, const CVector3& center,
                        const CVector3& axis0, const CVector3& axis1, const CVector3& axis2,
                        const CVector3& extents);

// The box moves by `velocity` over a step of unit length, relative to the fixed triangle.
// True when they touch within the step; t_first (0 when already touching) and t_last are the
// first and last contact times.
bool BoxTrianglePenetration(const CVector3& center, const CVector3& axis0, const CVector3& axis1,
                            const CVector3& axis2, const CVector3& extents, const CVector3& velocity,
                            const CVector3& v0, const CVector3& v1, const CVector3& v2, float* t_first = nullptr,
                            float* t_last = nullptr);

// Points where the segment crosses the sphere's surface; true when there is at least one.
// A segment that starts inside reports the exit point of its line, even beyond its end.
bool SegmentSphereIntersect(const CVector3& p, const CVector3& d, const CVector3& center, float radius,
                            int* count = nullptr, CVector3* point0 = nullptr, CVector3* point1 = nullptr);

// Points where the segment crosses the box's surface; true when there is at least one.
// A segment wholly inside the box crosses nothing.
bool SegmentBoxIntersect(const CVector3& p, const CVector3& d, const CVector3& center, const CVector3& axis0,
                         const CVector3& axis1, const CVector3& axis2, const CVector3& extents,
                         int* count = nullptr, CVector3* point0 = nullptr, CVector3* point1 = nullptr);
