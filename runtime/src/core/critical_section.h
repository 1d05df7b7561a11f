#pragma once
// The engine's lock: recursive, so the owning thread may take it again.
#include "platform/system/lock.h"

class CCriticalSection {
 public:
  CCriticalSection() = default;
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;
  virtual ~CCriticalSection() = default;

  virtual int Lock() {
    m_Lock.Lock();
    return 0;
  }
  virtual int Unlock() {
    m_Lock.Unlock();
    return 0;
  }

 private:
  plat::Recursive_Lock m_Lock;
};

// Holds a lock for a scope: takes it on construction and releases it at the end of the scope.
class CCriticalSectionGuard {
 public:
  explicit CCriticalSectionGuard(CCriticalSection* lock) : m_pLock(lock) {
    if (m_pLock != nullptr) m_pLock->Lock();
  }
  ~CCriticalSectionGuard() {
    if (m_pLock != nullptr) m_pLock->Unlock();
  }
  CCriticalSectionGuard(const CCriticalSectionGuard&) = delete;
  CCriticalSectionGuard& operator=(const CCriticalSectionGuard&) = delete;

 private:
  CCriticalSection* m_pLock;
};
