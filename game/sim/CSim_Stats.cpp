#include "game/sim/CSim_Stats.h"

CSim_Stats g_Sim_Stats;

bool CSim_Stats::Reset() {
  *this = CSim_Stats();
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

void CSim_Stats::Record_Shot(const CShot_Source& source, const uint32_t& tag) {
  ++m_Shots;
  m_Shot_Ring[m_Shot_Ring_Index] = CShot_Record{1, source, tag};
  m_Shot_Ring_Index = (m_Shot_Ring_Index + 1) % kShot_Ring_Size;
}

void CSim_Stats::Register_Hit(CWorld_Object* hit, CWorld_Object* hitter, const CShot_Source* source,
                              const uint32_t& tag) {
  (void)hit;
  ++m_Hits;
  const CShot_Source shot = source ? *source : CShot_Source::Of_Object(hitter);
  for (CShot_Record& record : m_Shot_Ring)
    if ((record.flags & 1u) && record.source == shot && record.tag == tag) record.flags |= 2u;
}
