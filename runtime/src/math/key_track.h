#pragma once
// A curve through space keyed by time: a Kochanek-Bartels (tension, continuity, bias) spline,
// a cubic Hermite segment between successive keys with tangents scaled for unequal spacing.
// Build it with AddKey calls and one ComputeSpline, then Sample it at any time, along the
// curve or along straight lines between the keys.
#include <list>

#include "runtime/src/math/math_types.h"

struct CTrackKey {
  float time;
  CVector3 value;
  float tension;     // scales both tangents by (1 - tension)
  float continuity;  // 0 makes the incoming and outgoing tangents alike
  float bias;        // weights the step from the previous key against the step to the next
  // Segment from this key to the next: value(u) = c0 + c1 u + c2 u^2 + c3 u^3, 0 <= u <= 1.
  // Set only by CKeyTrack::ComputeSpline.
  CVector3 c0, c1, c2, c3;
};

class CKeyTrack {
 public:
  // Frees every key.
  void Clear();
  // Inserts before the first key whose time is greater than or equal to `time` (so a key with
  // the time of existing keys goes before them), or at the end. Always true. The coefficients
  // are stale until the next ComputeSpline.
  bool AddKey(float time, const CVector3& value, float tension, float continuity, float bias);
  // Computes the coefficients of every key, first to last.
  void ComputeSpline();
  // The point at `time`: on the spline, or with `linear` on the straight line between the two
  // keys around it. A time before the first key extrapolates the first segment. A time past
  // the last key, or a track of one key, gives the last key's value; an empty track gives the
  // zero vector.
  CVector3 Sample(float time, bool linear = false) const;

  // In-place access for owners that move their keys and then call ComputeSpline again.
  int Get_Key_Count() const { return static_cast<int>(m_Keys.size()); }
  // The key at `index` (from 0), or null when there is none.
  const CTrackKey* Get_Key(int index) const;
  // Sets the value of the key at `index`; false when there is none.
  bool Set_Key_Value(int index, const CVector3& value);

 private:
  std::list<CTrackKey> m_Keys;  // sorted by time, ascending
};
