#pragma once
// The engine's thread object: a named thread whose work is the derived class's Run. Stopping is
// cooperative (Run polls StopRequested and returns), Wait joins, and Suspend/Resume pause a
// thread only where its Run calls WaitWhileSuspended.
#include <atomic>
#include <cstdint>

#include "platform/system/event.h"
#include "platform/system/thread.h"
#include "runtime/src/core/critical_section.h"

// Start priorities: 0 lowest, 1 below normal, 2 normal (left as it is), 3 above normal,
// anything else highest. Raising a priority takes effect only where the system allows it.
enum EThreadPriority : int {
  kThreadPriorityLowest = 0,
  kThreadPriorityBelowNormal = 1,
  kThreadPriorityNormal = 2,
  kThreadPriorityAboveNormal = 3,
  kThreadPriorityHighest = 4,
};

class CThread {
 public:
  explicit CThread(const char* name);
  // Stops the thread and waits for it, unless called on the thread itself. A derived class
  // whose Run uses its own members must stop the thread before they go.
  virtual ~CThread();
  CThread(const CThread&) = delete;
  CThread& operator=(const CThread&) = delete;

  virtual const char* GetName() const { return m_pName; }
  // 0 on success, 1 when the thread cannot be started (or was started before).
  virtual int Start(int priority);
  // On the thread itself this banks one Suspend to be ignored; otherwise it lifts a suspension.
  virtual void Resume();
  // Asks the thread to end; with wait set, also waits for it (not on the thread itself).
  virtual void Stop(bool wait);
  // Waits for the thread to end; returns at once when it was never started or already joined.
  virtual void Wait();
  // Uses up one banked Resume when there is one; otherwise asks the thread to pause at its next
  // WaitWhileSuspended.
  virtual void Suspend();
  virtual bool IsCurrentThread() const;

  bool StopRequested() const { return m_Thread.Stop_Requested(); }
  bool IsSuspended() const { return m_bSuspended.load(); }
  int GetResumeCount() const { return m_ResumeCount; }
  // The system priority the thread was started with.
  plat::Thread_Priority GetSystemPriority() const { return m_Thread.Priority(); }

 protected:
  // The thread's work.
  virtual void Run() = 0;
  virtual void OnStart() {}
  // Reports the end and runs the thread's thread-local clean-ups.
  virtual void OnFinish();
  // Blocks while the thread is suspended and no stop is requested.
  void WaitWhileSuspended();

 private:
  static void Entry(void* self);
  static plat::Thread_Priority SystemPriority(int priority);

  char* m_pName;
  CCriticalSection m_Lock;
  int m_ResumeCount = 0;
  std::atomic<bool> m_bSuspended{false};
  plat::Auto_Reset_Event m_Wake;
  plat::Thread m_Thread;
};
