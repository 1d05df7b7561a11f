#include "runtime/src/core/thread.h"

#include <cstdarg>
#include <cstring>
#include <new>

#include "runtime/src/core/interface_db.h"
#include "runtime/src/core/output_redir.h"
#include "runtime/src/core/thread_local.h"

namespace {

IKSOutputRedir* g_pOutputRedir = nullptr;
CInterfaceHolder<IKSOutputRedir> g_OutputRedirHolder(kOutputRedirKey, &g_pOutputRedir);

void ReportLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ReportLine(const char* format, ...) {
  if (g_pOutputRedir == nullptr) return;
  va_list args;
  va_start(args, format);
  g_pOutputRedir->ReportV(1, 1, nullptr, nullptr, 0, 0, format, args);
  va_end(args);
}

constexpr uint32_t kSuspendPollMs = 100;

}  // namespace

CThread::CThread(const char* name) {
  const char* text = name != nullptr ? name : "";
  const size_t size = std::strlen(text) + 1;
  m_pName = new (std::nothrow) char[size];
  if (m_pName != nullptr) std::memcpy(m_pName, text, size);
}

CThread::~CThread() {
  if (!IsCurrentThread()) Stop(true);
  delete[] m_pName;
}

plat::Thread_Priority CThread::SystemPriority(int priority) {
  switch (priority) {
    case kThreadPriorityLowest: return plat::Thread_Priority::Lowest;
    case kThreadPriorityBelowNormal: return plat::Thread_Priority::Below_Normal;
    case kThreadPriorityNormal: return plat::Thread_Priority::Normal;
    case kThreadPriorityAboveNormal: return plat::Thread_Priority::Above_Normal;
    default: return plat::Thread_Priority::Highest;
  }
}

int CThread::Start(int priority) {
  return m_Thread.Start(&CThread::Entry, this, SystemPriority(priority)) ? 0 : 1;
}

void CThread::Entry(void* self) {
  auto* thread = static_cast<CThread*>(self);
  ReportLine("I'm a %s.\n", thread->GetName());
  thread->OnStart();
  thread->Run();
  thread->OnFinish();
}

void CThread::OnFinish() {
  ReportLine("%s exitting.\n", GetName());
  TLS_RunThreadCleanups();
}

void CThread::Resume() {
  CCriticalSectionGuard guard(&m_Lock);
  if (IsCurrentThread()) {
    ++m_ResumeCount;
    return;
  }
  m_bSuspended = false;
  m_Wake.Set();
}

void CThread::Suspend() {
  CCriticalSectionGuard guard(&m_Lock);
  if (m_ResumeCount > 0) {
    --m_ResumeCount;
    return;
  }
  m_bSuspended = true;
}

void CThread::WaitWhileSuspended() {
  while (m_bSuspended.load() && !StopRequested()) m_Wake.Wait_For(kSuspendPollMs);
}

void CThread::Stop(bool wait) {
  if (!m_Thread.Is_Started()) return;
  {
    CCriticalSectionGuard guard(&m_Lock);
    m_Thread.Request_Stop();
    m_Wake.Set();
  }
  if (wait && !IsCurrentThread()) Wait();
}

void CThread::Wait() { m_Thread.Join(); }

bool CThread::IsCurrentThread() const { return m_Thread.Is_Started() && m_Thread.Is_Current(); }
