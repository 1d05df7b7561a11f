#pragma once
// An auto-reset event: Set lets exactly one waiter through (or the next one to wait, when none
// is waiting) and the event clears itself again.
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace plat {

class Auto_Reset_Event {
 public:
  void Set();
  void Reset();
  void Wait();
  // True when signalled within the time, false on time-out.
  bool Wait_For(uint32_t milliseconds);

 private:
  std::mutex m_mutex;
  std::condition_variable m_signal;
  bool m_set = false;
};

}  // namespace plat
