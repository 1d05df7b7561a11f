// The prefetch loader thread and its chunk pools.
#include <chrono>
#include <cstdio>
#include <thread>

#include "tests/runtime/resource/rez_test_support.h"

namespace {

using namespace reztest;

class RezPrefetchTest : public RezFolderTest {
 protected:
  // Waits until the loader has emptied its queue.
  bool Wait_For_Empty_Queue() {
    for (int i = 0; i < 500; ++i) {
      if (m_Manager.Prefetch().Queued_Count() == 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  bool Has_Entry(uint32_t id) {
    CRezLockScope<CCriticalSection> hold(m_Manager.Manager_Lock());
    return m_Manager.Prefetch().Find_Entry(id, -1) != nullptr;
  }
};

TEST_F(RezPrefetchTest, PrefetchedBytesServeTheLoad) {
  const Bytes plain = Pattern(3000, 4);
  const Bytes packed_source = Pattern(70000, 8);
  Write_Text_Set(0, {Record(0x22000001, 2, "plain", plain), Record(0x22000002, 2, "packed", packed_source, true)});
  ASSERT_TRUE(Init());
  ASSERT_TRUE(m_Manager.Prefetch().Is_Running());
  ASSERT_TRUE(m_Manager.Prefetch().Queue(0x22000001, -1, -1));
  ASSERT_TRUE(m_Manager.Prefetch().Queue(0x22000002, -1, -1));
  ASSERT_TRUE(Wait_For_Empty_Queue());
  EXPECT_TRUE(Has_Entry(0x22000001));
  EXPECT_TRUE(Has_Entry(0x22000002));
  // Change the file behind the cache: a load from the prefetched chunk still sees the old bytes.
  FILE* file = std::fopen(Path("loose0/plain").c_str(), "r+b");
  ASSERT_NE(file, nullptr);
  std::fputs("CHANGED", file);
  std::fclose(file);
  RecordingResource* resource = Get(0x22000001);
  ASSERT_NE(resource, nullptr);
  EXPECT_TRUE(resource->m_Bytes == plain);
  EXPECT_EQ(resource->m_Loaded, 1);
  RecordingResource* expanded = Get(0x22000002);
  ASSERT_NE(expanded, nullptr);
  EXPECT_EQ(expanded->m_Size_Given, packed_source.size());
  EXPECT_TRUE(expanded->m_Bytes == packed_source);
}

TEST_F(RezPrefetchTest, LoadedOrUnknownIdsLeaveTheQueueWithoutReading) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("abc"))});
  ASSERT_TRUE(Init());
  ASSERT_NE(Get(0x22000001), nullptr);
  ASSERT_TRUE(m_Manager.Prefetch().Queue(0x22000001, -1, -1));
  ASSERT_TRUE(m_Manager.Prefetch().Queue(0x22000077, -1, -1));
  ASSERT_TRUE(Wait_For_Empty_Queue());
  EXPECT_FALSE(Has_Entry(0x22000001));
  EXPECT_FALSE(Has_Entry(0x22000077));
}

TEST_F(RezPrefetchTest, RequestLargerThanAPoolIsDropped) {
  RezMgr_Prefetch_MemStream_Chunk_Size.Value = 16;
  RezMgr_Prefetch_MemStream_Chunk_Count.Value = 4;
  Write_Text_Set(0, {Record(0x22000001, 2, "big", Pattern(100, 1)), Record(0x22000002, 2, "fits", Pattern(60, 2))});
  ASSERT_TRUE(Init());
  ReportCapture reports;
  ASSERT_TRUE(m_Manager.Prefetch().Queue(0x22000001, -1, -1));
  ASSERT_TRUE(m_Manager.Prefetch().Queue(0x22000002, -1, -1));
  ASSERT_TRUE(Wait_For_Empty_Queue());
  EXPECT_FALSE(Has_Entry(0x22000001));
  EXPECT_TRUE(Has_Entry(0x22000002));
  EXPECT_NE(reports.Last().find("Resource ID (22000001) of 100 bytes is larger than a chunk pool"),
            std::string::npos)
      << reports.Last();
  ASSERT_NE(Get(0x22000001), nullptr);  // still loads from its file
}

TEST_F(RezPrefetchTest, TermStopsAndJoinsTheThread) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("abc"))});
  ASSERT_TRUE(Init());
  EXPECT_TRUE(m_Manager.Prefetch().Is_Running());
  m_Manager.Term();
  EXPECT_FALSE(m_Manager.Prefetch().Is_Running());
  EXPECT_EQ(m_Manager.Prefetch().Pool(0).m_Stream, nullptr);
  // A restart brings the thread back.
  ASSERT_TRUE(Init());
  EXPECT_TRUE(m_Manager.Prefetch().Is_Running());
}

TEST_F(RezPrefetchTest, DisabledLoaderAllocatesNothing) {
  RezMgr_Run_Prefetch_LoaderThread.Value = 0;
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("abc"))});
  ASSERT_TRUE(Init());
  EXPECT_FALSE(m_Manager.Prefetch().Is_Running());
  EXPECT_EQ(m_Manager.Prefetch().Pool(0).m_Stream, nullptr);
  EXPECT_FALSE(m_Manager.Prefetch().Queue(0x22000001, -1, -1));
  ASSERT_NE(Get(0x22000001), nullptr);
}

TEST_F(RezPrefetchTest, FreedAdjacentRunsMergeIntoOne) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("abc"))});
  ASSERT_TRUE(Init());
  CRezPrefetch& prefetch = m_Manager.Prefetch();
  CRezLockScope<CCriticalSection> hold(m_Manager.Manager_Lock());
  const uint32_t chunk = prefetch.Pool(0).m_Chunk_Size;
  // Allocations rotate over the four pools, so the first and fifth land in pool 0, side by side.
  CRezRun* runs[6];
  for (CRezRun*& run : runs) {
    run = prefetch.Allocate_Run(chunk);
    ASSERT_NE(run, nullptr);
  }
  ASSERT_EQ(runs[0]->m_Pool, 0);
  ASSERT_EQ(runs[4]->m_Pool, 0);
  EXPECT_EQ(runs[4]->m_First_Chunk, 1u);
  prefetch.Reclaim_Run(runs[4]);
  EXPECT_EQ(prefetch.Free_Run_Count(0), 1);  // merged with the free tail
  prefetch.Reclaim_Run(runs[0]);
  EXPECT_EQ(prefetch.Free_Run_Count(0), 1);
  EXPECT_EQ(prefetch.Pool(0).m_Free_Runs->m_Chunk_Count, prefetch.Pool(0).m_Chunk_Count);
  // A run freed next to a used one stays apart; freeing the used one joins all three.
  CRezRun* a = prefetch.Allocate_Run(chunk);
  ASSERT_EQ(a->m_Pool, 2);
  ASSERT_EQ(a->m_First_Chunk, 1u);
  prefetch.Reclaim_Run(runs[2]);
  EXPECT_EQ(prefetch.Free_Run_Count(2), 2);
  prefetch.Reclaim_Run(a);
  EXPECT_EQ(prefetch.Free_Run_Count(2), 1);
}

TEST_F(RezPrefetchTest, FullPoolsReclaimTheOldestRuns) {
  RezMgr_Prefetch_MemStream_Chunk_Size.Value = 16;
  RezMgr_Prefetch_MemStream_Chunk_Count.Value = 4;
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("abc"))});
  ASSERT_TRUE(Init());
  CRezPrefetch& prefetch = m_Manager.Prefetch();
  CRezLockScope<CCriticalSection> hold(m_Manager.Manager_Lock());
  // Four whole-pool runs fill every pool; the next allocation reclaims used runs and succeeds.
  for (int i = 0; i < 4; ++i) ASSERT_NE(prefetch.Allocate_Run(64), nullptr);
  CRezRun* run = prefetch.Allocate_Run(64);
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(run->m_Chunk_Count, 4u);
}

}  // namespace
