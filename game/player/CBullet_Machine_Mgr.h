#pragma once
// The machine gun's bullets, managed apart from the world's objects.
struct CFrame_Info;

class CBullet_Machine_Mgr {
 public:
  bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }
  void Update(const CFrame_Info& frame);
  void Render();

 private:
  bool m_Initialised = false;
};

extern CBullet_Machine_Mgr g_Bullet_Machine_Mgr;
