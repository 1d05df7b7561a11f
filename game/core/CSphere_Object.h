#pragma once
// The base of world objects with a sphere body (body kind 1). It adds no data: the hit and
// floor-contact operations it stands for live in CWorld_Object so that the physics can call
// them on any object.
#include "game/core/CWorld_Object.h"

class CSphere_Object : public CWorld_Object {
 public:
  using CWorld_Object::On_Floor_Contact;
};
