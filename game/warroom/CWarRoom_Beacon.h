#pragma once
// A light and glow sprite sitting on a piece of the flight view's passage. Kind 1 beacons also
// light the pieces near them. Beacons come from a static pool of 32 records and from the heap
// once the pool is empty; each goes back to where it came from.
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CWarRoom_Beacon {
 public:
  static constexpr int kPool_Size = 32;
  static constexpr float kSize = 1750.0f;

  // A beacon from the pool, or from the heap when the pool is empty.
  static CWarRoom_Beacon* Create(int kind, const CVector3& offset, const float colour[4]);
  // Returns the beacon to the pool or the heap.
  static void Destroy(CWarRoom_Beacon* beacon);
  // Beacons of the pool in use (for tests and the pool's own bookkeeping).
  static int Pool_In_Use();

  virtual ~CWarRoom_Beacon() = default;
  virtual void Reset();
  // Glows up while highlighted, fades otherwise; the world position follows the piece.
  virtual void Update(float dt, const CVector3& piece_position, const CMatrix3x3& piece_axes);

  int32_t m_Kind = 0;
  CVector3 m_Offset{};    // in the piece's frame
  CVector3 m_Position{};  // in the world, after the last update
  float m_Colour[4] = {1, 1, 1, 1};
  float m_Dim_Colour[4] = {0.45f, 0.45f, 0.45f, 0.45f};
  float m_Size = kSize;
  float m_Glow = 0.0f;
  float m_Fade = 0.0f;
  bool m_Highlight = false;
  bool m_From_Pool = false;
};
