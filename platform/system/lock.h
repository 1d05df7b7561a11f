#pragma once
// A recursive lock (the owning thread may take it again) and a guard that holds one for a scope.
#include <mutex>

namespace plat {

class Recursive_Lock {
 public:
  void Lock() { m_mutex.lock(); }
  void Unlock() { m_mutex.unlock(); }
  bool Try_Lock() { return m_mutex.try_lock(); }

 private:
  std::recursive_mutex m_mutex;
};

class Scoped_Lock {
 public:
  explicit Scoped_Lock(Recursive_Lock& lock) : m_lock(lock) { m_lock.Lock(); }
  ~Scoped_Lock() { m_lock.Unlock(); }
  Scoped_Lock(const Scoped_Lock&) = delete;
  Scoped_Lock& operator=(const Scoped_Lock&) = delete;

 private:
  Recursive_Lock& m_lock;
};

}  // namespace plat
