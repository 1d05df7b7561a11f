#include "game/sim/CSim_Stats.h"

CSim_Stats g_Sim_Stats;

bool CSim_Stats::Reset() {
  m_Running = true;
  m_Launches = 0;
  m_Rounds = 0;
  m_Last_Round_Perfect = false;
  return true;
}

void CSim_Stats::Stop() { m_Running = false; }

void CSim_Stats::Update(float delta) { (void)delta; }

void CSim_Stats::On_Object_Removed(CWorld_Object* object) { (void)object; }

void CSim_Stats::Register_Hit(CWorld_Object* struck, CWorld_Object* hitter, int variant, const CShot_Line* shot) {
  (void)struck;
  (void)hitter;
  (void)variant;
  (void)shot;
}

void CSim_Stats::Record_Launch(CWorld_Object* object) {
  (void)object;
  ++m_Launches;
}

bool CSim_Stats::Check_Perfect_Round() {
  if (!m_All_Launches_Hit) return false;
  End_Round(true);
  return true;
}

void CSim_Stats::End_Round(const bool& reset) {
  (void)reset;
  m_Last_Round_Perfect = m_All_Launches_Hit;
  m_All_Launches_Hit = false;
  ++m_Rounds;
}
