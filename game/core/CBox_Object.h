#pragma once
// The base of world objects with an oriented-box body (body kind 2).
#include "game/core/CWorld_Object.h"

class CBox_Object : public CWorld_Object {
 public:
  using CWorld_Object::On_Floor_Contact;
};
