#pragma once
// The trail behind a moving object: a ring of 32 timed points, a curve of 24 keys fitted
// through them, and two crossed ribbons of 64 segments along the curve fading toward the tail.
#include <cstdint>

#include "runtime/src/math/key_track.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

class CFX_Poly_Trail {
 public:
  static constexpr int kRing = 32;
  static constexpr int kKeys = 24;
  static constexpr int kSegments = 64;
  static constexpr int kVertices = 2 * kSegments * 6;

  // Module level, started and ended by the game; Term may run again and touches nothing
  // already given back.
  static bool Init();
  static void Term();
  static bool Is_Initialised();

  CFX_Poly_Trail();
  ~CFX_Poly_Trail();
  CFX_Poly_Trail(const CFX_Poly_Trail&) = delete;
  CFX_Poly_Trail& operator=(const CFX_Poly_Trail&) = delete;

  bool Setup(const CVector3& position, const uint32_t& colour, const float& life, const float& width);
  void Update(float step, const CVector3& position);
  void Render(const CVector3& position, float fade);
  void Build_Ribbons(const CVector3& position, float fade);

  struct Point {
    CVector3 position;
    float age;
  };

  bool m_Active = false;
  uint32_t m_Colour = 0;
  uint32_t m_Head = 0;
  Point m_Ring[kRing] = {};
  CKeyTrack m_Curve;
  float m_Life = 0.0f;
  float m_Width = 0.0f;
  TexVertex m_Vertices[kVertices] = {};
};
