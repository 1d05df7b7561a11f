#include "game/sim/CBrain.h"

#include "game/sim/CBrain_Game_Basic.h"

CBrain* Create_Brain(const int& kind, const CSim_Desc* desc) {
  (void)desc;
  if (kind == CBrain::kTrack_Only) return new CBrain(kind);
  if (kind == CBrain::kGame_Rules) return new CBrain_Game_Basic();
  return nullptr;
}

void Destroy_Brain(CBrain* brain) { delete brain; }
