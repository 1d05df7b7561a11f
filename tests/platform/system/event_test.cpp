#include "platform/system/event.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/system/thread.h"

namespace {

TEST(AutoResetEvent, ASignalPassesOneWaitAndThenClears) {
  plat::Auto_Reset_Event event;
  EXPECT_FALSE(event.Wait_For(0));
  event.Set();
  event.Set();  // signals do not add up
  EXPECT_TRUE(event.Wait_For(0));
  EXPECT_FALSE(event.Wait_For(10));
  event.Set();
  event.Reset();
  EXPECT_FALSE(event.Wait_For(0));
}

struct Waiters {
  plat::Auto_Reset_Event event;
  std::atomic<int> woken{0};
};

void Wait_Once(void* arg) {
  auto* waiters = static_cast<Waiters*>(arg);
  waiters->event.Wait();
  waiters->woken.fetch_add(1);
}

TEST(AutoResetEvent, EachSignalWakesExactlyOneWaiter) {
  Waiters waiters;
  plat::Thread first;
  plat::Thread second;
  ASSERT_TRUE(first.Start(&Wait_Once, &waiters));
  ASSERT_TRUE(second.Start(&Wait_Once, &waiters));
  waiters.event.Set();
  while (waiters.woken.load() == 0) plat::Sleep_Ms(1);
  plat::Sleep_Ms(50);
  EXPECT_EQ(waiters.woken.load(), 1);
  waiters.event.Set();
  EXPECT_TRUE(first.Join());
  EXPECT_TRUE(second.Join());
  EXPECT_EQ(waiters.woken.load(), 2);
}

}  // namespace
