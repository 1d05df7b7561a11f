#include "platform/system/thread.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <memory>
#include <set>
#include <vector>

#include "platform/system/tls.h"

namespace {

struct Worker_State {
  plat::Thread* thread = nullptr;
  std::atomic<int> passes{0};
  std::atomic<bool> saw_itself_current{false};
  std::atomic<bool> join_from_inside_refused{false};
  uint32_t slot = plat::kTlsOutOfIndexes;
};

std::atomic<int> g_cleanups_run{0};
std::atomic<void*> g_cleaned_value{nullptr};

void Count_Cleanup(void* value) {
  g_cleaned_value.store(value);
  g_cleanups_run.fetch_add(1);
}

int g_thread_value = 42;

void Worker(void* arg) {
  auto* state = static_cast<Worker_State*>(arg);
  state->saw_itself_current.store(state->thread->Is_Current());
  state->join_from_inside_refused.store(!state->thread->Join());
  plat::Tls_Set(state->slot, &g_thread_value);
  while (!state->thread->Stop_Requested()) {
    state->passes.fetch_add(1);
    plat::Sleep_Ms(1);
  }
}

TEST(Thread, StartsRunsStopsOnRequestAndRunsThreadLocalCleanups) {
  g_cleanups_run = 0;
  g_cleaned_value = nullptr;
  plat::Thread thread;
  Worker_State state;
  state.thread = &thread;
  state.slot = plat::Tls_Alloc(&Count_Cleanup);
  ASSERT_NE(state.slot, plat::kTlsOutOfIndexes);

  EXPECT_FALSE(thread.Join());  // never started
  ASSERT_TRUE(thread.Start(&Worker, &state));
  EXPECT_FALSE(thread.Start(&Worker, &state));
  EXPECT_NE(thread.Id(), plat::kNoThreadId);
  EXPECT_NE(thread.Id(), plat::Current_Thread_Id());
  EXPECT_FALSE(thread.Is_Current());
  while (state.passes.load() < 3) plat::Sleep_Ms(1);
  EXPECT_TRUE(thread.Is_Running());

  thread.Request_Stop();
  EXPECT_TRUE(thread.Join());
  EXPECT_FALSE(thread.Is_Running());
  EXPECT_FALSE(thread.Join());
  EXPECT_TRUE(state.saw_itself_current.load());
  EXPECT_TRUE(state.join_from_inside_refused.load());
  EXPECT_EQ(g_cleanups_run.load(), 1);
  EXPECT_EQ(g_cleaned_value.load(), &g_thread_value);
  EXPECT_EQ(plat::Tls_Get(state.slot), nullptr);  // the main thread never set one
  EXPECT_TRUE(plat::Tls_Free(state.slot));
}

void Poll_Until_Stopped(void* arg) {
  auto* thread = static_cast<plat::Thread*>(arg);
  while (!thread->Stop_Requested()) plat::Sleep_Ms(1);
}

TEST(Thread, DestroyingARunningThreadStopsAndJoinsIt) {
  auto thread = std::make_unique<plat::Thread>();
  ASSERT_TRUE(thread->Start(&Poll_Until_Stopped, thread.get()));
  thread.reset();  // returns only once the worker has seen the request and ended
  SUCCEED();
}

void Do_Nothing(void*) {}

TEST(Thread, NullEntryIsRefused) {
  plat::Thread thread;
  EXPECT_FALSE(thread.Start(nullptr, nullptr));
  EXPECT_FALSE(thread.Is_Started());
}

int Own_Nice() {
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, 0);
  return errno == 0 ? nice : 0;
}

// Lower priorities are always granted; higher ones only with the privilege to raise, so the
// test accepts either that or the inherited value.
TEST(Thread, PriorityMapsOntoTheNiceValue) {
  const int inherited = Own_Nice();
  struct Case {
    plat::Thread_Priority priority;
    int step;
  };
  const Case cases[] = {
      {plat::Thread_Priority::Lowest, 10},       {plat::Thread_Priority::Below_Normal, 5},
      {plat::Thread_Priority::Normal, 0},        {plat::Thread_Priority::Above_Normal, -5},
      {plat::Thread_Priority::Highest, -10},
  };
  for (const Case& c : cases) {
    plat::Thread thread;
    ASSERT_TRUE(thread.Start(&Do_Nothing, nullptr, c.priority));
    ASSERT_TRUE(thread.Join());
    EXPECT_EQ(thread.Priority(), c.priority);
    const int wanted = std::min(19, std::max(-20, inherited + c.step));
    if (c.step >= 0) {
      EXPECT_EQ(thread.Applied_Nice(), wanted) << "step " << c.step;
    } else {
      EXPECT_TRUE(thread.Applied_Nice() == wanted || thread.Applied_Nice() == inherited)
          << "step " << c.step << " gave " << thread.Applied_Nice();
    }
  }
}

void Record_Id(void* arg) { *static_cast<plat::Thread_Id*>(arg) = plat::Current_Thread_Id(); }

TEST(Thread, EveryThreadHasItsOwnIdMatchingItsObject) {
  constexpr int kThreads = 4;
  plat::Thread threads[kThreads];
  plat::Thread_Id seen[kThreads] = {};
  for (int i = 0; i < kThreads; ++i) ASSERT_TRUE(threads[i].Start(&Record_Id, &seen[i]));
  std::set<plat::Thread_Id> ids = {plat::Current_Thread_Id()};
  for (int i = 0; i < kThreads; ++i) {
    ASSERT_TRUE(threads[i].Join());
    EXPECT_EQ(seen[i], threads[i].Id());
    ids.insert(seen[i]);
  }
  EXPECT_EQ(ids.size(), static_cast<size_t>(kThreads + 1));
  EXPECT_EQ(plat::Current_Thread_Id(), plat::Current_Thread_Id());
}

// A replaced sleep takes every sleep of the program; taken out, sleeps are real again.
std::atomic<uint32_t> g_slept_ms{0};
void Record_Sleep(uint32_t milliseconds) { g_slept_ms.fetch_add(milliseconds); }

TEST(Sleep, AReplacedSleepTakesTheSleepsAndNullPutsTheRealOneBack) {
  plat::Set_Sleep(Record_Sleep);
  const auto before = std::chrono::steady_clock::now();
  plat::Sleep_Ms(500);
  plat::Sleep_Ms(250);
  const auto replaced = std::chrono::steady_clock::now() - before;
  plat::Set_Sleep(nullptr);
  EXPECT_EQ(g_slept_ms.load(), 750u);
  EXPECT_LT(replaced, std::chrono::milliseconds(500)) << "no real sleep while replaced";
  const auto start = std::chrono::steady_clock::now();
  plat::Sleep_Ms(20);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
  EXPECT_EQ(g_slept_ms.load(), 750u);
}

}  // namespace
