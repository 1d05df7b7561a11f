#pragma once
// A target lock ties its owner (a homing missile, a lockable target, an ejector) to the world
// objects it has locked on to, through links of the global link pool.
#include <cstdint>

class CWorld_Object;
class CTarget_Link;
struct CBody_Motion;

enum : int32_t { kLock_Fixed = 1, kLock_Seeker = 2 };

class CTarget_Lock {
 public:
  CTarget_Lock() = default;
  CTarget_Lock(const CTarget_Lock&) = delete;
  CTarget_Lock& operator=(const CTarget_Lock&) = delete;
  virtual ~CTarget_Lock() { Clear_Links(); }

  virtual bool Is_Active() const { return m_Active != 0; }
  // Gives back every link and makes the lock inactive.
  virtual void Clear();
  // dt is the time factor; the body record is the owner's.
  virtual void Update(CBody_Motion* body, float dt) = 0;

  void Clear_Links();
  // The object of the first link, or null.
  CWorld_Object* First_Object() const;

  int32_t m_Kind = 0;
  CTarget_Link* m_Link_Chain = nullptr;
  uint8_t m_Active = 0;
  CWorld_Object* m_Owner = nullptr;
};
