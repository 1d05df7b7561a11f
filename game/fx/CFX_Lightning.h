#pragma once
// Lightning bolts; the module starts with a simulation and stops at every mode change.
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CFX_Lightning {
 public:
  static bool Init();
  static void Term();
  static bool Is_Initialised();

  // Builds a bolt from start to end and marks it active.
  bool Setup(const int& kind, const CVector3& start, const CVector3& end, const uint32_t& colour,
             const float& width, const float& life, const float& scale);
  // Fades the bolt; it turns inactive when its life is spent.
  void Update(const float& step);
  void Render();
  void Render_Glow();

  bool m_Active = false;
  bool m_No_Glow = false;
  int m_Kind = 0;
  CVector3 m_Start{0.0f, 0.0f, 0.0f};
  CVector3 m_End{0.0f, 0.0f, 0.0f};
  uint32_t m_Colour = 0;
  float m_Width = 0.0f;
  float m_Life = 0.0f;
  float m_Remaining = 0.0f;
};
