#pragma once
// A thread that runs one entry function. Stopping is cooperative: Request_Stop raises a flag
// the entry function polls, and Join waits for it to return. Priorities map onto the thread's
// nice value: lower priorities always apply, higher ones only where the process may raise them.
#include <atomic>
#include <cstdint>
#include <thread>

namespace plat {

enum class Thread_Priority { Lowest, Below_Normal, Normal, Above_Normal, Highest };

using Thread_Id = uint64_t;
constexpr Thread_Id kNoThreadId = 0;

class Thread {
 public:
  using Entry = void (*)(void* arg);

  Thread() = default;
  ~Thread();  // requests a stop and joins a thread that is still joinable
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Starts the entry function on a new thread. False when already started or when the
  // system cannot create a thread.
  bool Start(Entry entry, void* arg, Thread_Priority priority = Thread_Priority::Normal);

  void Request_Stop() { m_stop_requested.store(true); }
  bool Stop_Requested() const { return m_stop_requested.load(); }

  // Waits for the entry function to return. False when the thread was never started, was
  // already joined, or when called from the thread itself.
  bool Join();

  bool Is_Started() const { return m_started; }
  bool Is_Running() const { return m_running.load(); }
  bool Is_Current() const;
  Thread_Id Id() const { return m_id.load(); }
  Thread_Priority Priority() const { return m_priority; }
  // The nice value the thread actually runs at (meaningful once it has started).
  int Applied_Nice() const { return m_applied_nice.load(); }

 private:
  static void Run(Thread* self);

  std::thread m_thread;
  Entry m_entry = nullptr;
  void* m_arg = nullptr;
  Thread_Priority m_priority = Thread_Priority::Normal;
  bool m_started = false;
  std::atomic<bool> m_stop_requested{false};
  std::atomic<bool> m_running{false};
  std::atomic<Thread_Id> m_id{kNoThreadId};
  std::atomic<int> m_applied_nice{0};
};

// A small number unique to the calling thread for the life of the process (never 0).
Thread_Id Current_Thread_Id();

// Sleeps the calling thread; 0 only gives up the rest of its time slice. A test that replaces
// the millisecond clock may replace the sleep too (a fake clock stands still while its thread
// sleeps); passing nullptr puts the real sleep back.
void Sleep_Ms(uint32_t milliseconds);
using Sleep_Fn = void (*)(uint32_t milliseconds);
void Set_Sleep(Sleep_Fn sleep);
// The real sleep, whatever is installed.
void Real_Sleep_Ms(uint32_t milliseconds);

}  // namespace plat
