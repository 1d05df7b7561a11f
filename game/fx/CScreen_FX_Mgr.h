#pragma once
// Full-screen effects: flashes, shakes and fades that run for a while and then end.
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/src/math/math_types.h"

struct CFrame_Info;

// One added effect as its adder gave it (least form: the manager keeps what it was asked for).
struct CScreen_FX_Request {
  int entry = 0;  // 1 Add_Effect, 2 Add_Effect_2 and so on
  int kind = 0;
  float duration = 0.0f;
  float colour_a[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // alpha, red, green, blue
  float colour_b[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  CVector3 position_a{0.0f, 0.0f, 0.0f};
  CVector3 position_b{0.0f, 0.0f, 0.0f};
  float value1 = 0.0f;
  float value2 = 0.0f;
  std::string text;
  uint32_t colour_word = 0;
};

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
  // The five entry points: colours are alpha, red, green, blue.
  void Add_Effect(const int& kind, const float& duration, const float colour_a[4], const float colour_b[4],
                  const float& value1, const float& value2);
  void Add_Effect_2(const int& kind, const float& duration, const float& value1);
  void Add_Effect_3(const int& kind, const float& duration, const CVector3& position_a,
                    const CVector3& position_b, const float& value1, const float& value2);
  void Add_Effect_4(const int& kind, const float& duration, const char* text);
  void Add_Effect_5(const int& kind, const float& duration, const uint32_t& colour);

  // The requests added since Init.
  std::vector<CScreen_FX_Request> m_Requests;
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
