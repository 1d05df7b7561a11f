#include "platform/system/tls.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "platform/system/thread.h"

namespace {

std::mutex g_log_mutex;
std::vector<std::pair<int, void*>> g_log;  // (clean-up number, value)

void Log(int which, void* value) {
  std::lock_guard<std::mutex> hold(g_log_mutex);
  g_log.emplace_back(which, value);
}
void Cleanup_A(void* value) { Log(1, value); }
void Cleanup_B(void* value) { Log(2, value); }

std::vector<std::pair<int, void*>> Take_Log() {
  std::lock_guard<std::mutex> hold(g_log_mutex);
  return std::exchange(g_log, {});
}

// Runs a function on a fresh thread and waits for the thread to end.
void Run_On_Thread(void (*body)(void*), void* arg) {
  plat::Thread thread;
  ASSERT_TRUE(thread.Start(body, arg));
  ASSERT_TRUE(thread.Join());
}

int g_values[4];

TEST(Tls, ValuesArePerThreadAndCleanedInSlotOrderWhenTheThreadEnds) {
  Take_Log();
  // Allocated B first so that slot order, not allocation order, must decide.
  uint32_t slots[2] = {plat::Tls_Alloc(&Cleanup_B), plat::Tls_Alloc(&Cleanup_A)};
  ASSERT_NE(slots[0], plat::kTlsOutOfIndexes);
  ASSERT_NE(slots[1], plat::kTlsOutOfIndexes);
  ASSERT_LT(slots[0], slots[1]);
  ASSERT_TRUE(plat::Tls_Set(slots[0], &g_values[0]));

  Run_On_Thread(
      [](void* arg) {
        auto* s = static_cast<uint32_t*>(arg);
        EXPECT_EQ(plat::Tls_Get(s[0]), nullptr);
        plat::Tls_Set(s[1], &g_values[2]);
        plat::Tls_Set(s[0], &g_values[1]);
        EXPECT_EQ(plat::Tls_Get(s[0]), &g_values[1]);
      },
      slots);

  const std::vector<std::pair<int, void*>> expected = {{2, &g_values[1]}, {1, &g_values[2]}};
  EXPECT_EQ(Take_Log(), expected);
  EXPECT_EQ(plat::Tls_Get(slots[0]), &g_values[0]);  // this thread's value is untouched
  ASSERT_TRUE(plat::Tls_Set(slots[0], nullptr));
  EXPECT_TRUE(plat::Tls_Free(slots[0]));
  EXPECT_TRUE(plat::Tls_Free(slots[1]));
}

TEST(Tls, RunningCleanupsEarlyClearsTheValuesSoTheyNeverRunTwice) {
  Take_Log();
  uint32_t slot = plat::Tls_Alloc(&Cleanup_A);
  ASSERT_NE(slot, plat::kTlsOutOfIndexes);
  Run_On_Thread(
      [](void* arg) {
        const uint32_t s = *static_cast<uint32_t*>(arg);
        plat::Tls_Set(s, &g_values[3]);
        plat::Tls_Run_Cleanups();
        EXPECT_EQ(plat::Tls_Get(s), nullptr);
      },
      &slot);
  const std::vector<std::pair<int, void*>> expected = {{1, &g_values[3]}};
  EXPECT_EQ(Take_Log(), expected);
  EXPECT_TRUE(plat::Tls_Free(slot));
}

uint32_t g_chained_slot = plat::kTlsOutOfIndexes;
void Cleanup_That_Stores_Again(void* value) {
  Log(3, value);
  plat::Tls_Set(g_chained_slot, &g_values[1]);
}

TEST(Tls, ValuesStoredByACleanupAreCleanedToo) {
  Take_Log();
  uint32_t first = plat::Tls_Alloc(&Cleanup_That_Stores_Again);
  g_chained_slot = plat::Tls_Alloc(&Cleanup_A);
  ASSERT_NE(first, plat::kTlsOutOfIndexes);
  ASSERT_NE(g_chained_slot, plat::kTlsOutOfIndexes);
  Run_On_Thread([](void* arg) { plat::Tls_Set(*static_cast<uint32_t*>(arg), &g_values[0]); },
                &first);
  const std::vector<std::pair<int, void*>> expected = {{3, &g_values[0]}, {1, &g_values[1]}};
  EXPECT_EQ(Take_Log(), expected);
  EXPECT_TRUE(plat::Tls_Free(first));
  EXPECT_TRUE(plat::Tls_Free(g_chained_slot));
}

TEST(Tls, AFreedSlotLosesItsValuesAndItsCleanup) {
  Take_Log();
  uint32_t slot = plat::Tls_Alloc(&Cleanup_A);
  ASSERT_NE(slot, plat::kTlsOutOfIndexes);
  ASSERT_TRUE(plat::Tls_Set(slot, &g_values[0]));
  ASSERT_TRUE(plat::Tls_Free(slot));
  EXPECT_EQ(plat::Tls_Get(slot), nullptr);
  EXPECT_FALSE(plat::Tls_Set(slot, &g_values[0]));
  EXPECT_FALSE(plat::Tls_Free(slot));

  const uint32_t again = plat::Tls_Alloc(nullptr);
  ASSERT_EQ(again, slot);  // the lowest free index comes back
  EXPECT_EQ(plat::Tls_Get(again), nullptr);  // the old value does not show through
  plat::Tls_Run_Cleanups();
  EXPECT_TRUE(Take_Log().empty());
  EXPECT_TRUE(plat::Tls_Free(again));
}

TEST(Tls, OutOfRangeIndexesAreRefused) {
  for (uint32_t slot : {plat::kTlsSlotCount, plat::kTlsOutOfIndexes}) {
    EXPECT_FALSE(plat::Tls_Set(slot, &g_values[0]));
    EXPECT_EQ(plat::Tls_Get(slot), nullptr);
    EXPECT_FALSE(plat::Tls_Free(slot));
  }
}

TEST(Tls, AllocationFailsOnlyWhenEverySlotIsTaken) {
  std::vector<uint32_t> taken;
  for (;;) {
    const uint32_t slot = plat::Tls_Alloc(nullptr);
    if (slot == plat::kTlsOutOfIndexes) break;
    taken.push_back(slot);
    ASSERT_LE(taken.size(), plat::kTlsSlotCount);
  }
  EXPECT_FALSE(taken.empty());
  ASSERT_TRUE(plat::Tls_Free(taken.back()));
  const uint32_t reused = plat::Tls_Alloc(nullptr);
  EXPECT_EQ(reused, taken.back());
  taken.back() = reused;
  for (uint32_t slot : taken) EXPECT_TRUE(plat::Tls_Free(slot));
}

}  // namespace
