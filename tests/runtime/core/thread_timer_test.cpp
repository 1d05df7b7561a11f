#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/system/clock.h"
#include "platform/system/debug.h"
#include "platform/system/event.h"
#include "platform/system/tls.h"
#include "runtime/src/core/critical_section.h"
#include "runtime/src/core/output_redir.h"
#include "runtime/src/core/thread.h"
#include "runtime/src/core/thread_local.h"
#include "runtime/src/core/timer.h"

namespace {

std::atomic<int> g_cleanups{0};
std::atomic<intptr_t> g_cleaned_value{0};

void CountCleanup(void* value) {
  ++g_cleanups;
  g_cleaned_value = reinterpret_cast<intptr_t>(value);
}

// Sets a thread-local value, tells the test it is running, then loops until asked to stop.
class WorkerThread : public CThread {
 public:
  explicit WorkerThread(uint32_t slot) : CThread("Test_Worker_Thread"), slot_(slot) {}
  ~WorkerThread() override { Stop(true); }

  std::atomic<bool> started{false};
  std::atomic<bool> was_current{false};
  std::atomic<int> loops{0};
  plat::Auto_Reset_Event running;

 protected:
  void OnStart() override { started = true; }
  void Run() override {
    was_current = IsCurrentThread();
    TLS_SetValue(slot_, reinterpret_cast<void*>(intptr_t{0x5150}));
    running.Set();
    while (!StopRequested()) {
      ++loops;
      Timer_Sleep(1);
    }
  }

 private:
  uint32_t slot_;
};

class CThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_cleanups = 0;
    g_cleaned_value = 0;
    plat::Set_Debug_Recorder([this](const std::string& text) {
      CCriticalSectionGuard guard(&lock_);
      sink_.push_back(text);
    });
  }
  void TearDown() override { plat::Set_Debug_Recorder({}); }

  CCriticalSection lock_;
  std::vector<std::string> sink_;
};

TEST_F(CThreadTest, StartsRunsStopsAndRunsThreadLocalCleanups) {
  uint32_t slot = 0;
  ASSERT_EQ(TLS_AllocSlot(&slot, CountCleanup), 0);
  {
    WorkerThread worker(slot);
    EXPECT_FALSE(worker.IsCurrentThread());
    ASSERT_EQ(worker.Start(kThreadPriorityNormal), 0);
    ASSERT_TRUE(worker.running.Wait_For(10000));
    EXPECT_TRUE(worker.started);
    EXPECT_TRUE(worker.was_current);
    EXPECT_FALSE(worker.IsCurrentThread());

    worker.Stop(true);
    EXPECT_EQ(g_cleanups.load(), 1);
    EXPECT_EQ(g_cleaned_value.load(), 0x5150);
    EXPECT_EQ(worker.Start(kThreadPriorityNormal), 1);  // a thread object runs once
  }
  EXPECT_EQ(g_cleanups.load(), 1);
  EXPECT_EQ(TLS_FreeSlot(slot), 0);

  CCriticalSectionGuard guard(&lock_);
  ASSERT_EQ(sink_.size(), 2u);
  EXPECT_EQ(sink_[0], "I'm a Test_Worker_Thread.\n");
  EXPECT_EQ(sink_[1], "Test_Worker_Thread exitting.\n");
}

TEST_F(CThreadTest, StopAndWaitOnANeverStartedThreadDoNothing) {
  WorkerThread worker(0);
  worker.Stop(true);
  worker.Wait();
  EXPECT_FALSE(worker.started);
}

struct PriorityCase {
  int priority;
  plat::Thread_Priority expected;
};

class CThreadPriority : public ::testing::TestWithParam<PriorityCase> {};

TEST_P(CThreadPriority, MapsToTheSystemPriority) {
  WorkerThread worker(plat::kTlsOutOfIndexes);
  ASSERT_EQ(worker.Start(GetParam().priority), 0);
  EXPECT_EQ(worker.GetSystemPriority(), GetParam().expected);
  worker.Stop(true);
}

INSTANTIATE_TEST_SUITE_P(
    Threads, CThreadPriority,
    ::testing::Values(PriorityCase{0, plat::Thread_Priority::Lowest},
                      PriorityCase{1, plat::Thread_Priority::Below_Normal},
                      PriorityCase{2, plat::Thread_Priority::Normal},
                      PriorityCase{3, plat::Thread_Priority::Above_Normal},
                      PriorityCase{7, plat::Thread_Priority::Highest}));

// Suspends itself after banking a Resume, then records whether it got past.
class SelfSuspendingThread : public CThread {
 public:
  SelfSuspendingThread() : CThread("Self_Suspender") {}
  ~SelfSuspendingThread() override { Stop(true); }
  std::atomic<bool> passed{false};

 protected:
  void Run() override {
    Resume();
    Suspend();
    WaitWhileSuspended();
    passed = true;
  }
};

TEST_F(CThreadTest, ResumeOnItselfThenSuspendLeavesTheThreadRunning) {
  SelfSuspendingThread thread;
  ASSERT_EQ(thread.Start(kThreadPriorityNormal), 0);
  thread.Wait();
  EXPECT_TRUE(thread.passed);
  EXPECT_FALSE(thread.IsSuspended());
  EXPECT_EQ(thread.GetResumeCount(), 0);
}

class PausingThread : public CThread {
 public:
  PausingThread() : CThread("Pauser") {}
  ~PausingThread() override { Stop(true); }
  std::atomic<bool> passed{false};
  plat::Auto_Reset_Event paused;

 protected:
  void Run() override {
    paused.Set();
    WaitWhileSuspended();
    passed = !StopRequested();
  }
};

TEST_F(CThreadTest, SuspendedThreadWaitsForResumeOrStop) {
  PausingThread resumed;
  resumed.Suspend();
  ASSERT_EQ(resumed.Start(kThreadPriorityNormal), 0);
  ASSERT_TRUE(resumed.paused.Wait_For(10000));
  EXPECT_FALSE(resumed.passed);
  resumed.Resume();
  resumed.Wait();
  EXPECT_TRUE(resumed.passed);

  PausingThread stopped;
  stopped.Suspend();
  ASSERT_EQ(stopped.Start(kThreadPriorityNormal), 0);
  ASSERT_TRUE(stopped.paused.Wait_For(10000));
  stopped.Stop(true);  // returns although it was never resumed
  EXPECT_FALSE(stopped.passed);
}

TEST(CriticalSection, IsRecursiveAndGuarded) {
  CCriticalSection lock;
  EXPECT_EQ(lock.Lock(), 0);
  {
    CCriticalSectionGuard guard(&lock);
    CCriticalSectionGuard again(&lock);
  }
  EXPECT_EQ(lock.Unlock(), 0);
}

// --- timer -------------------------------------------------------------------------------------

struct SubtractCase {
  CTimestamp a, b, expected;
};

class TimestampSubtract : public ::testing::TestWithParam<SubtractCase> {};

TEST_P(TimestampSubtract, BorrowsASecondWhenNeeded) {
  const SubtractCase& c = GetParam();
  const CTimestamp result = Timer_Subtract(c.a, c.b);
  EXPECT_EQ(result.Seconds, c.expected.Seconds);
  EXPECT_EQ(result.Microseconds, c.expected.Microseconds);
}

INSTANTIATE_TEST_SUITE_P(
    Timer, TimestampSubtract,
    ::testing::Values(SubtractCase{{5, 50000}, {2, 100000}, {2, 950000}},
                      SubtractCase{{5, 500000}, {2, 250000}, {3, 250000}},
                      SubtractCase{{7, 999999}, {7, 999999}, {0, 0}},
                      SubtractCase{{1, 0}, {0, 999999}, {0, 1}}));

uint64_t g_fake_micros = 0;
uint64_t FakeMicros() { return g_fake_micros; }

class FakeMicroClock : public ::testing::Test {
 protected:
  void SetUp() override { plat::Set_Micro_Clock(FakeMicros); }
  void TearDown() override { plat::Set_Micro_Clock(nullptr); }
};

TEST_F(FakeMicroClock, SplitsTheMicrosecondCountExactly) {
  const struct {
    uint64_t micros;
    uint32_t seconds;
    uint32_t microseconds;
  } cases[] = {{0, 0, 0},
               {5050000, 5, 50000},
               {999999, 0, 999999},
               {123456789012ull, 123456, 789012},
               {3579545ull * 1000000ull, 3579545, 0}};
  for (const auto& c : cases) {
    g_fake_micros = c.micros;
    CTimestamp stamp;
    Timer_GetMicroTime(&stamp);
    EXPECT_EQ(stamp.Seconds, c.seconds) << c.micros;
    EXPECT_EQ(stamp.Microseconds, c.microseconds) << c.micros;
  }
}

TEST_F(FakeMicroClock, TimerBaseLiesTheElapsedValueBack) {
  g_fake_micros = 25300000;
  CTimer timer;
  timer.Set(CTimestamp{10, 500000});
  EXPECT_EQ(timer.GetBase().Seconds, 14u);
  EXPECT_EQ(timer.GetBase().Microseconds, 800000u);
  EXPECT_EQ(timer.GetOffset().Seconds, 10u);
}

TEST(Timer, RealClockRunsAtRealSpeedForward) {
  CTimestamp before, after;
  Timer_GetMicroTime(&before);
  Timer_Sleep(20);
  Timer_GetMicroTime(&after);
  const CTimestamp elapsed = Timer_Subtract(after, before);
  const uint64_t micros = uint64_t{elapsed.Seconds} * 1000000 + elapsed.Microseconds;
  EXPECT_GE(micros, 20000u);
}

TEST(Timer, EngineClockFrameStampStartsAtZero) {
  ASSERT_NE(g_pEngineFrameCounter, nullptr);
  EXPECT_EQ(Timer_GetFrameStamp(), 0u);
}

}  // namespace
