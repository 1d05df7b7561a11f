#include "platform/system/thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>

namespace plat {

namespace {

std::atomic<Thread_Id> g_next_thread_id{1};
thread_local Thread_Id t_thread_id = kNoThreadId;

int Nice_For(Thread_Priority priority) {
  switch (priority) {
    case Thread_Priority::Lowest: return 10;
    case Thread_Priority::Below_Normal: return 5;
    case Thread_Priority::Normal: return 0;
    case Thread_Priority::Above_Normal: return -5;
    case Thread_Priority::Highest: return -10;
  }
  return 0;
}

// Moves the calling thread's nice value by the priority's step from the one it inherited and
// returns the value it then runs at. Raising priority needs a privilege most processes lack;
// the thread then keeps what it has. The system clamps to its own range.
int Apply_Priority(Thread_Priority priority) {
  const id_t tid = static_cast<id_t>(syscall(SYS_gettid));
  errno = 0;
  const int inherited = getpriority(PRIO_PROCESS, tid);
  if (errno != 0) return 0;
  const int step = Nice_For(priority);
  if (step == 0) return inherited;
  setpriority(PRIO_PROCESS, tid, inherited + step);
  errno = 0;
  const int applied = getpriority(PRIO_PROCESS, tid);
  return errno == 0 ? applied : inherited;
}

}  // namespace

Thread_Id Current_Thread_Id() {
  if (t_thread_id == kNoThreadId) t_thread_id = g_next_thread_id.fetch_add(1);
  return t_thread_id;
}

namespace {
std::atomic<Sleep_Fn> g_sleep{nullptr};
}  // namespace

void Real_Sleep_Ms(uint32_t milliseconds) {
  if (milliseconds == 0) {
    std::this_thread::yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void Sleep_Ms(uint32_t milliseconds) {
  const Sleep_Fn sleep = g_sleep.load(std::memory_order_acquire);
  if (sleep) {
    sleep(milliseconds);
    return;
  }
  Real_Sleep_Ms(milliseconds);
}

void Set_Sleep(Sleep_Fn sleep) { g_sleep.store(sleep, std::memory_order_release); }

Thread::~Thread() {
  if (!m_thread.joinable()) return;
  Request_Stop();
  if (Is_Current()) {
    m_thread.detach();
    return;
  }
  m_thread.join();
}

bool Thread::Start(Entry entry, void* arg, Thread_Priority priority) {
  if (m_started || entry == nullptr) return false;
  m_entry = entry;
  m_arg = arg;
  m_priority = priority;
  m_stop_requested.store(false);
  m_running.store(true);
  m_id.store(g_next_thread_id.fetch_add(1));
  m_started = true;
  try {
    m_thread = std::thread(&Thread::Run, this);
  } catch (const std::system_error&) {
    m_started = false;
    m_running.store(false);
    m_id.store(kNoThreadId);
    return false;
  }
  return true;
}

void Thread::Run(Thread* self) {
  t_thread_id = self->m_id.load();
  self->m_applied_nice.store(Apply_Priority(self->m_priority));
  self->m_entry(self->m_arg);
  self->m_running.store(false);
}

bool Thread::Join() {
  if (Is_Current() || !m_thread.joinable()) return false;
  m_thread.join();
  return true;
}

bool Thread::Is_Current() const {
  const Thread_Id id = m_id.load();
  return id != kNoThreadId && id == Current_Thread_Id();
}

}  // namespace plat
