#include "game/sim/CMusic_Track.h"

CMusic_Track g_Music_Track;

void CMusic_Track::Term() {
  m_Running = false;
  m_Paused = false;
}

void CMusic_Track::Update() {}

void CMusic_Track::Set_Pause(const bool& paused) { m_Paused = paused; }
