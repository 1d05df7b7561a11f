#pragma once
// What a scorable object or a shot tells the hit statistics about itself. Target, enemy and
// ammunition classes that carry these values derive from the matching interface as well as
// from CWorld_Object; an object without one reads as variant 0, unaged and unflagged.
#include <cstdint>

// A target's own record: its colour variant (0-3), its age (scaled time since it was spawned)
// and the one flag some classes keep (the target-target's mode, the goo's spawn flag).
class CTarget_Score_Info {
 public:
  virtual ~CTarget_Score_Info() = default;
  virtual int32_t Score_Color_Variant() const { return 0; }
  virtual float Score_Age() const { return 0.0f; }
  virtual bool Score_Flag() const { return false; }
};

// A shot's record: whether it has touched the floor, and how many objects it has hit.
class CShot_Score_Info {
 public:
  virtual ~CShot_Score_Info() = default;
  virtual bool Shot_Touched_Floor() const { return false; }
  virtual uint32_t Shot_Objects_Hit() const { return 0; }
};
