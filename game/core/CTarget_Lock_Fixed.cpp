#include "game/core/CTarget_Lock_Fixed.h"

bool CTarget_Lock_Fixed::Start(CWorld_Object* owner) {
  m_Kind = kLock_Fixed;
  m_Owner = owner;
  m_Active = 1;
  return true;
}
