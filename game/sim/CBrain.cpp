#include "game/sim/CBrain.h"

#include "game/core/CSim_Desc.h"
#include "game/sim/CBrain_Game_Basic.h"
#include "game/sim/CBrain_Track_Only.h"

bool CBrain::Init(const CSim_Desc& desc) {
  (void)desc;
  m_Initialised = 1;
  return true;
}

void CBrain::Term() { m_Initialised = 0; }

CBrain* Create_Brain(const int& kind, const CSim_Desc* desc) {
  if (!desc) return nullptr;
  CBrain* brain = nullptr;
  if (kind == CBrain::kTrack_Only) brain = new CBrain_Track_Only();
  if (kind == CBrain::kGame_Rules) brain = new CBrain_Game_Basic();
  if (!brain) return nullptr;
  if (!brain->Init(*desc)) {
    Destroy_Brain(brain);
    return nullptr;
  }
  return brain;
}

void Destroy_Brain(CBrain* brain) {
  if (!brain) return;
  brain->Term();
  delete brain;
}
