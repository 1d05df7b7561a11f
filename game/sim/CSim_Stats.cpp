#include "game/sim/CSim_Stats.h"

CSim_Stats g_Sim_Stats;

bool CSim_Stats::Reset() {
  m_Running = true;
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
