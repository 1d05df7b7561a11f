#pragma once
// Sparks: short bright streaks thrown off by hits.
#include <cstdint>

#include "runtime/src/math/math_types.h"

struct CFrame_Info;

class CSpark_Mgr {
 public:
  bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }
  void Update(const CFrame_Info& frame);
  void Render();
  static constexpr int kMax_Sparks = 16;
  // Starts one spark; false when 16 are live.
  bool Add_Spark(const CVector3& position, const CVector3& velocity, const uint32_t& color);
  int Spark_Count() const { return m_Count; }

 private:
  bool m_Initialised = false;
  int m_Count = 0;
};

extern CSpark_Mgr g_Spark_Mgr;
