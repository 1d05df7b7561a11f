#include "platform/system/lock.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/system/thread.h"

namespace {

TEST(RecursiveLock, TheOwnerMayRetakeItWhileOthersAreKeptOut) {
  plat::Recursive_Lock lock;
  std::atomic<bool> other_got_it{true};
  {
    plat::Scoped_Lock outer(lock);
    plat::Scoped_Lock inner(lock);
    plat::Thread other;
    struct Probe {
      plat::Recursive_Lock* lock;
      std::atomic<bool>* got_it;
    } probe{&lock, &other_got_it};
    ASSERT_TRUE(other.Start(
        [](void* arg) {
          auto* p = static_cast<Probe*>(arg);
          const bool got = p->lock->Try_Lock();
          if (got) p->lock->Unlock();
          p->got_it->store(got);
        },
        &probe));
    ASSERT_TRUE(other.Join());
  }
  EXPECT_FALSE(other_got_it.load());
  EXPECT_TRUE(lock.Try_Lock());  // both guards released it
  lock.Unlock();
}

struct Shared_Count {
  plat::Recursive_Lock lock;
  int count = 0;
};

void Add_Many(void* arg) {
  auto* shared = static_cast<Shared_Count*>(arg);
  for (int i = 0; i < 100000; ++i) {
    plat::Scoped_Lock hold(shared->lock);
    shared->count = shared->count + 1;
  }
}

TEST(RecursiveLock, GuardsASharedCounterAcrossThreads) {
  Shared_Count shared;
  plat::Thread a;
  plat::Thread b;
  ASSERT_TRUE(a.Start(&Add_Many, &shared));
  ASSERT_TRUE(b.Start(&Add_Many, &shared));
  ASSERT_TRUE(a.Join());
  ASSERT_TRUE(b.Join());
  EXPECT_EQ(shared.count, 200000);
}

}  // namespace
