#pragma once
// One straight laser beam: five flat textured strips sharing the beam's axis, fading out over
// the beam's life, with a glow sprite where the beam ends on a hit. The module's resources are
// shared by every beam.
#include <cstdint>

#include "runtime/src/render/sys/pc/d3d_drawprim.h"

class CFX_Laser {
 public:
  static constexpr int kStrips = 5;
  static constexpr int kVertices = kStrips * 6;

  // Module level; Term may run again at exit and touches nothing already given back.
  static bool Init();
  static void Term();
  static bool Is_Initialised();

  bool Setup(const CVector3& origin, const CVector3& direction, float length, uint32_t colour, float width,
             float life);
  void Set_Color(uint32_t colour);
  void Update(float step);
  void Render();
  void Render_Glow();

  bool m_Active = false;
  bool m_Glow = false;
  CVector3 m_Origin{0, 0, 0};
  CVector3 m_End{0, 0, 0};
  CVector3 m_Direction{0, 0, 0};
  float m_Length = 0.0f;
  float m_Width = 0.0f;
  float m_Alpha_Factor = 0.0f;
  uint32_t m_Colour = 0;
  float m_Remaining = 0.0f;
  float m_Life = 0.0f;
  TexVertex m_Vertices[kVertices] = {};
};
