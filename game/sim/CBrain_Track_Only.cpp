#include "game/sim/CBrain_Track_Only.h"

#include "game/sim/CMusic_Track.h"

bool CBrain_Track_Only::Init(const CSim_Desc& desc) {
  if (!g_Music_Track.Init(desc)) {
    Term();
    return false;
  }
  m_Initialised = 1;
  return true;
}

void CBrain_Track_Only::Term() {
  g_Music_Track.Term();
  m_Initialised = 0;
}
