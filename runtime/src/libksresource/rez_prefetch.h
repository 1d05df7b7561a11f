#pragma once
// The prefetch loader: a background thread that copies resources' bytes from their pack files
// into chunks of large memory streams, where loads find them instead of touching the file.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/system/event.h"
#include "runtime/src/core/console_var.h"
#include "runtime/src/core/critical_section.h"
#include "runtime/src/core/thread.h"

class CRezMgr;
class CMemoryStream;

extern ConsoleInt RezMgr_Run_Prefetch_LoaderThread;
extern ConsoleInt RezMgr_TimeSlice_For_Prefetching;
extern ConsoleInt RezMgr_Prefetch_MemStream_Chunk_Size;
extern ConsoleInt RezMgr_Prefetch_MemStream_Chunk_Count;
extern ConsoleInt RezMgr_Prefetch_MemStream_Free_FrameCount;

struct CRezPrefetchEntry;

// A run of consecutive chunks of one pool.
struct CRezRun {
  uint32_t m_Chunk_Count = 0;
  uint32_t m_First_Chunk = 0;
  int m_Pool = 0;
  CRezPrefetchEntry* m_Entry = nullptr;
  CRezRun* m_Next = nullptr;
};

// A resource's bytes held in a run of chunks.
struct CRezPrefetchEntry {
  uint32_t m_Resource_ID = 0;
  int32_t m_Extra_Offset = -1;
  uint32_t m_Size = 0;  // bytes held
  CRezRun* m_Run = nullptr;
  uint32_t m_Last_Use = 0;
  CRezPrefetchEntry* m_Next = nullptr;
};

struct CRezChunkPool {
  static constexpr int kMaxDepth = 8;

  CCriticalSection m_Lock;
  uint32_t m_Saved_Positions[kMaxDepth] = {};
  int m_Depth = 0;
  uint32_t m_Chunk_Size = 0;
  uint32_t m_Chunk_Count = 0;
  CMemoryStream* m_Stream = nullptr;
  CRezRun* m_Free_Runs = nullptr;  // sorted by first chunk
  CRezRun* m_Used_Runs = nullptr;
  CRezRun* m_Spare_Runs = nullptr;
  std::vector<CRezRun> m_Run_Records;

  uint64_t Capacity() const { return uint64_t{m_Chunk_Size} * m_Chunk_Count; }
};

struct CRezRequest {
  uint32_t m_Resource_ID = 0;
  int32_t m_Extra_Offset = -1;
  int32_t m_Size = -1;
  CRezRequest* m_Next = nullptr;
};

class CRezPrefetch {
 public:
  static constexpr int kPoolCount = 4;
  static constexpr int kEntryCount = 256;
  static constexpr int kRequestCount = 256;
  static constexpr int kEntryBuckets = 16;

  // What became of one prefetch attempt.
  enum class Outcome { Done, Retry, Dropped };

  CRezPrefetch();
  ~CRezPrefetch();

  // Allocates the pools and starts the loader thread (unless RezMgr_Run_Prefetch_LoaderThread
  // is 0). False when the pools or the thread cannot be had.
  bool Start(CRezMgr* manager);
  // Stops and joins the loader thread and frees the pools.
  void Stop();
  bool Is_Running() const { return m_Running; }

  // Queues a request to read a resource ahead; false when the request table is full.
  bool Queue(uint32_t id, int32_t extra_offset, int32_t size);
  // Number of requests waiting.
  int Queued_Count();

  // The entry of (id, extra offset), or null. Call under the manager lock.
  CRezPrefetchEntry* Find_Entry(uint32_t id, int32_t extra_offset);

  CRezChunkPool& Pool(int index) { return m_Pools[index]; }

  // One prefetch of the request's resource, on the calling thread.
  Outcome Prefetch(uint32_t id, int32_t extra_offset, int32_t size);

  // Chunk bookkeeping (exposed for tests): a run for n bytes, or null; reclaiming a used run.
  CRezRun* Allocate_Run(uint32_t bytes);
  void Reclaim_Run(CRezRun* run);
  int Free_Run_Count(int pool) const;

 private:
  class CLoaderThread : public CThread {
   public:
    explicit CLoaderThread(CRezPrefetch* owner);
    ~CLoaderThread() override;

   protected:
    void Run() override;
    void OnFinish() override;

   private:

    CRezPrefetch* m_Owner;
  };

  void Loop();
  void Serve(CRezRequest* request);
  bool Init_Pool(CRezChunkPool& pool);
  void Free_Pool(CRezChunkPool& pool);
  CRezRun* Allocate_In_Pool(int index, uint32_t chunks);
  CRezRun* First_Fit(CRezChunkPool& pool, uint32_t chunks);
  bool Reclaim_Old_Runs(CRezChunkPool& pool);
  void Release_Entry(CRezPrefetchEntry* entry);

  CRezMgr* m_Manager = nullptr;
  std::unique_ptr<CLoaderThread> m_Thread;  // one per start
  CCriticalSection m_List_Lock;
  plat::Auto_Reset_Event m_Wake;
  CRezRequest m_Requests[kRequestCount];
  CRezRequest* m_Queue = nullptr;
  CRezRequest* m_Free_Requests = nullptr;
  std::atomic<bool> m_Running{false};
  std::atomic<bool> m_Stop{false};
  uint32_t m_Slice_Start = 0;
  bool m_Pools_Ready = false;

  CRezChunkPool m_Pools[kPoolCount];
  int m_Next_Pool = 0;
  CRezPrefetchEntry m_Entries[kEntryCount];
  CRezPrefetchEntry* m_Free_Entries = nullptr;
  CRezPrefetchEntry* m_Buckets[kEntryBuckets] = {};
};
