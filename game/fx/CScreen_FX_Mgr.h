#pragma once
// Full-screen effects: flashes, shakes and fades that run for a while and then end.
#include "runtime/src/math/math_types.h"

struct CFrame_Info;

class CScreen_FX_Mgr {
 public:
  // Effect kinds used by the game core.
  static constexpr int kFlash = 11;
  static constexpr int kCamera_Shake = 13;

  bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }

  // Advances every effect by the frame's step and removes those that have run out.
  void Update(const CFrame_Info& frame);
  void Render();
  void Render_In_World();

  void Add_Effect(int kind, float strength, const CColor4& color);
  void Add_Effect_2(int kind, float strength);
  // Removes the effects a simulation left running (the menus resume).
  void Clear_Sim_Effects();

  // The number of running effects.
  int Effect_Count() const { return m_Count; }
  int Last_Kind() const { return m_Last_Kind; }
  float Last_Strength() const { return m_Last_Strength; }

 private:
  bool m_Initialised = false;
  int m_Count = 0;
  int m_Last_Kind = 0;
  float m_Last_Strength = 0.0f;
};

extern CScreen_FX_Mgr g_Screen_FX_Mgr;
