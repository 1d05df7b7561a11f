#pragma once
// The running simulation's track: its music and the event clock that spawns objects.
class CMusic_Track {
 public:
  bool Is_Running() const { return m_Running; }

  void Term();
  void Update();
  void Set_Pause(const bool& paused);
  bool Is_Paused() const { return m_Paused; }

 private:
  bool m_Running = false;
  bool m_Paused = false;
};

extern CMusic_Track g_Music_Track;
