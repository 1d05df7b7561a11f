#include "platform/system/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/system/random.h"
#include "platform/system/thread.h"

namespace {

TEST(CountedMemory, ReleaseSubtractsExactlyWhatAllocationAdded) {
  const int64_t start = g_Total_Mem_Allocated.load();
  const size_t sizes[] = {0, 1, 7, 16, 17, 4096, 100000};
  std::vector<void*> blocks;
  int64_t added = 0;
  for (size_t size : sizes) {
    void* block = Counted_Alloc(size);
    ASSERT_NE(block, nullptr) << size;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % alignof(std::max_align_t), 0u) << size;
    EXPECT_EQ(Counted_Size(block), size);
    std::memset(block, 0xAB, size);  // the whole size is usable
    blocks.push_back(block);
    added += static_cast<int64_t>(size);
    EXPECT_EQ(g_Total_Mem_Allocated.load() - start, added);
  }
  for (void* block : blocks) Counted_Free(block);
  EXPECT_EQ(g_Total_Mem_Allocated.load(), start);
}

TEST(CountedMemory, FailedAndNullRequestsCountNothing) {
  const int64_t start = g_Total_Mem_Allocated.load();
  EXPECT_EQ(Counted_Alloc(SIZE_MAX), nullptr);
  EXPECT_EQ(Counted_Alloc(SIZE_MAX - 8), nullptr);
  Counted_Free(nullptr);
  EXPECT_EQ(Counted_Size(nullptr), 0u);
  EXPECT_EQ(g_Total_Mem_Allocated.load(), start);
}

// Each thread keeps a pool of blocks, allocating and releasing them in a pseudo-random order,
// and releases what is left at the end.
void Mixed_Workload(void* arg) {
  uint32_t state = *static_cast<uint32_t*>(arg);
  auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return state >> 8;
  };
  std::vector<void*> live;
  for (int i = 0; i < 20000; ++i) {
    if (!live.empty() && next() % 3 == 0) {
      const size_t pick = next() % live.size();
      Counted_Free(live[pick]);
      live[pick] = live.back();
      live.pop_back();
    } else {
      live.push_back(Counted_Alloc(next() % 2000));
    }
  }
  for (void* block : live) Counted_Free(block);
}

TEST(CountedMemory, CounterReturnsToItsStartAfterTwoThreadsOfMixedWork) {
  const int64_t start = g_Total_Mem_Allocated.load();
  uint32_t seeds[2] = {1, 2};
  plat::Thread loader;
  ASSERT_TRUE(loader.Start(&Mixed_Workload, &seeds[0]));
  Mixed_Workload(&seeds[1]);
  ASSERT_TRUE(loader.Join());
  EXPECT_EQ(g_Total_Mem_Allocated.load(), start);
}

}  // namespace
