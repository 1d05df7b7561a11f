#pragma once
// Sparks: short bright streaks thrown off by hits.
struct CFrame_Info;

class CSpark_Mgr {
 public:
  bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }
  void Update(const CFrame_Info& frame);
  void Render();

 private:
  bool m_Initialised = false;
};

extern CSpark_Mgr g_Spark_Mgr;
