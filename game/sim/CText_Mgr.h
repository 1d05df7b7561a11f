#pragma once
// The on-screen text of a running simulation.
class CText_Mgr {
 public:
  bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }
  void Update(float delta, float unpaused_delta);
  void Render();

 private:
  bool m_Initialised = false;
};

extern CText_Mgr g_Text_Mgr;
