#include "runtime/src/math/key_track.h"

#include <iterator>

namespace {

// a * wa + b * wb
CVector3 Blend(const CVector3& a, float wa, const CVector3& b, float wb) {
  return CVector3{a.x * wa + b.x * wb, a.y * wa + b.y * wb, a.z * wa + b.z * wb};
}

// Time ratio of a tangent; a zero denominator counts as 0.000001.
float Time_Scale(float span, float denominator) {
  if (denominator == 0.0f) denominator = 0.000001f;
  return 2.0f * span / denominator;
}

}  // namespace

void CKeyTrack::Clear() { m_Keys.clear(); }

bool CKeyTrack::AddKey(float time, const CVector3& value, float tension, float continuity, float bias) {
  auto it = m_Keys.begin();
  while (it != m_Keys.end() && it->time < time) ++it;
  CTrackKey key{};
  key.time = time;
  key.value = value;
  key.tension = tension;
  key.continuity = continuity;
  key.bias = bias;
  m_Keys.insert(it, key);
  return true;
}

void CKeyTrack::ComputeSpline() {
  if (m_Keys.empty()) return;
  const auto last = std::prev(m_Keys.end());
  for (auto it = m_Keys.begin(); it != m_Keys.end(); ++it) {
    // A missing neighbour at either end is replaced by the nearest existing key.
    const auto prev = it == m_Keys.begin() ? it : std::prev(it);
    const auto next = it == last ? it : std::next(it);
    const auto next2 = next == last ? last : std::next(next);

    CVector3 d0, d1, d2;
    it->value.Subtract(prev->value, d0);
    next->value.Subtract(it->value, d1);
    next2->value.Subtract(next->value, d2);

    const float span = next->time - it->time;
    const float k_out = Time_Scale(span, next->time - prev->time);
    const float k_in = Time_Scale(span, next2->time - it->time);

    const float t0 = 1.0f - it->tension, c0 = it->continuity, b0 = it->bias;
    const CVector3 ts = Blend(d0, k_out * t0 * (1.0f + c0) * (1.0f + b0) * 0.5f, d1,
                              k_out * t0 * (1.0f - c0) * (1.0f - b0) * 0.5f);
    const float t1 = 1.0f - next->tension, c1 = next->continuity, b1 = next->bias;
    const CVector3 td = Blend(d1, k_in * t1 * (1.0f - c1) * (1.0f + b1) * 0.5f, d2,
                              k_in * t1 * (1.0f + c1) * (1.0f - b1) * 0.5f);

    it->c0 = it->value;
    it->c1 = ts;
    it->c2 = CVector3{3.0f * d1.x - 2.0f * ts.x - td.x, 3.0f * d1.y - 2.0f * ts.y - td.y,
                      3.0f * d1.z - 2.0f * ts.z - td.z};
    it->c3 = CVector3{-2.0f * d1.x + ts.x + td.x, -2.0f * d1.y + ts.y + td.y, -2.0f * d1.z + ts.z + td.z};
  }
}

CVector3 CKeyTrack::Sample(float time, bool linear) const {
  if (m_Keys.empty()) return CVector3::Zero;
  // The segment starts at the key before the first key at or after `time`; at the first key
  // when that is the first; at the last key when there is none.
  auto start = m_Keys.begin();
  while (start != m_Keys.end() && start->time < time) ++start;
  if (start == m_Keys.end())
    start = std::prev(m_Keys.end());
  else if (start != m_Keys.begin())
    start = std::prev(start);
  const auto end = std::next(start);
  if (end == m_Keys.end()) return start->value;  // past the last key, or a single key

  float span = end->time - start->time;
  if (span == 0.0f) span = 0.00001f;
  const float u = (time - start->time) / span;
  const CTrackKey& r = *start;
  if (linear) {
    const CVector3& a = r.value;
    const CVector3& b = end->value;
    return CVector3{a.x + u * (b.x - a.x), a.y + u * (b.y - a.y), a.z + u * (b.z - a.z)};
  }
  return CVector3{((r.c3.x * u + r.c2.x) * u + r.c1.x) * u + r.c0.x, ((r.c3.y * u + r.c2.y) * u + r.c1.y) * u + r.c0.y,
                  ((r.c3.z * u + r.c2.z) * u + r.c1.z) * u + r.c0.z};
}

const CTrackKey* CKeyTrack::Get_Key(int index) const {
  if (index < 0 || index >= Get_Key_Count()) return nullptr;
  return &*std::next(m_Keys.begin(), index);
}

bool CKeyTrack::Set_Key_Value(int index, const CVector3& value) {
  if (index < 0 || index >= Get_Key_Count()) return false;
  std::next(m_Keys.begin(), index)->value = value;
  return true;
}
