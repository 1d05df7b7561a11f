#pragma once
// A plain holder of links: its owner adds and removes them itself.
#include "game/core/CTarget_Lock.h"

class CTarget_Lock_Fixed : public CTarget_Lock {
 public:
  ~CTarget_Lock_Fixed() override { CTarget_Lock::Clear(); }

  bool Start(CWorld_Object* owner);
  void Update(CBody_Motion* body, float dt) override {
    (void)body;
    (void)dt;
  }
};
