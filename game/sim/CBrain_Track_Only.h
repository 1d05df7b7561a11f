#pragma once
// The brain of a training simulation: it only starts and stops the running track.
#include "game/sim/CBrain.h"

class CBrain_Track_Only : public CBrain {
 public:
  CBrain_Track_Only() : CBrain(kTrack_Only) {}

  bool Init(const CSim_Desc& desc) override;
  void Term() override;
  void Update(const float& dt) override { (void)dt; }
};
