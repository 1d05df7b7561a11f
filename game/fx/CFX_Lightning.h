#pragma once
// One lightning bolt between two points: a jagged line of 4 to 32 segments drawn as three flat
// textured strips 60 degrees apart about the bolt, fading out over its life, with a glow sprite
// toward its end. Kind 0 waves along a spline, kind 1 arcs high, any other kind is straight.
#include <cstdint>

#include "runtime/src/render/sys/pc/d3d_drawprim.h"

class CKeyTrack;

class CFX_Lightning {
 public:
  static constexpr int kMax_Segments = 32;
  static constexpr int kStrands = 3;
  static constexpr int kArc_Segments = 14;

  // Module level; Term may run again at exit and touches nothing already given back.
  static bool Init();
  static void Term();
  static bool Is_Initialised();
  // The two shared curves: the wave (5 keys) and the arc (3 keys).
  static CKeyTrack& Wave_Track();
  static CKeyTrack& Arc_Track();
  // The points of the last generated bolt (segment count of them).
  static const CVector3* Scratch_Points();

  bool Setup(const int& kind, const CVector3& start, const CVector3& end, const uint32_t& colour, const float& width,
             const float& life, const float& scale);
  void Update(float step);
  void Render();
  void Render_Glow();

  bool m_Active = false;
  bool m_No_Glow = false;
  int m_Kind = 0;
  uint32_t m_Colour = 0;
  float m_Alpha_Factor = 0.0f;
  float m_Remaining = 0.0f;
  float m_Life = 0.0f;
  float m_Width = 0.0f;
  float m_Length = 0.0f;
  CVector3 m_Start{0, 0, 0};
  CVector3 m_End{0, 0, 0};
  CVector3 m_Direction{0, 0, 0};
  uint32_t m_Segment_Count = 0;
  TexVertex m_Strands[kStrands][kMax_Segments * 6] = {};

 private:
  void Set_Colours(uint32_t colour);
};
