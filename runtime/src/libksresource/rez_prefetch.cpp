#include "runtime/src/libksresource/rez_prefetch.h"

#include "platform/system/clock.h"
#include "platform/system/thread.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/libksresource/rez_report.h"

ConsoleInt RezMgr_Run_Prefetch_LoaderThread("RezMgr_Run_Prefetch_LoaderThread", 1, 2);
ConsoleInt RezMgr_TimeSlice_For_Prefetching("RezMgr_TimeSlice_For_Prefetching", 4, 2);
ConsoleInt RezMgr_Prefetch_MemStream_Chunk_Size("RezMgr_Prefetch_MemStream_Chunk_Size", 65536, 2);
ConsoleInt RezMgr_Prefetch_MemStream_Chunk_Count("RezMgr_Prefetch_MemStream_Chunk_Count", 64, 2);
ConsoleInt RezMgr_Prefetch_MemStream_Free_FrameCount("RezMgr_Prefetch_MemStream_Free_FrameCount", 1000, 2);

using Scope = CRezLockScope<CCriticalSection>;

CRezPrefetch::CLoaderThread::CLoaderThread(CRezPrefetch* owner)
    : CThread("CRezMgr_PreFetch_Loader_Thread"), m_Owner(owner) {}

CRezPrefetch::CLoaderThread::~CLoaderThread() { Wait(); }

void CRezPrefetch::CLoaderThread::Run() { m_Owner->Loop(); }

void CRezPrefetch::CLoaderThread::OnFinish() {
  {
    Scope hold(m_Owner->m_List_Lock);
    m_Owner->m_Running = false;
  }
  CThread::OnFinish();
}

CRezPrefetch::CRezPrefetch() = default;

CRezPrefetch::~CRezPrefetch() { Stop(); }

bool CRezPrefetch::Init_Pool(CRezChunkPool& pool) {
  int32_t size = RezMgr_Prefetch_MemStream_Chunk_Size.Value;
  int32_t count = RezMgr_Prefetch_MemStream_Chunk_Count.Value;
  if (size <= 0 || count <= 0 || uint64_t(size) * uint64_t(count) > 0x7FFFFFFFu) return false;
  pool.m_Chunk_Size = static_cast<uint32_t>(size);
  pool.m_Chunk_Count = static_cast<uint32_t>(count);
  pool.m_Depth = 0;
  pool.m_Run_Records.assign(pool.m_Chunk_Count, CRezRun{});
  // The first record is one free run over every chunk; the rest are spares.
  pool.m_Free_Runs = &pool.m_Run_Records[0];
  pool.m_Free_Runs->m_Chunk_Count = pool.m_Chunk_Count;
  pool.m_Used_Runs = nullptr;
  pool.m_Spare_Runs = nullptr;
  for (size_t i = pool.m_Run_Records.size(); i-- > 1;) {
    pool.m_Run_Records[i].m_Next = pool.m_Spare_Runs;
    pool.m_Spare_Runs = &pool.m_Run_Records[i];
  }
  pool.m_Stream = CreateMemoryStream(static_cast<uint32_t>(pool.Capacity()));
  return pool.m_Stream != nullptr;
}

void CRezPrefetch::Free_Pool(CRezChunkPool& pool) {
  if (pool.m_Stream) pool.m_Stream->Release();
  pool.m_Stream = nullptr;
  pool.m_Run_Records.clear();
  pool.m_Free_Runs = pool.m_Used_Runs = pool.m_Spare_Runs = nullptr;
}

bool CRezPrefetch::Start(CRezMgr* manager) {
  m_Manager = manager;
  if (RezMgr_Run_Prefetch_LoaderThread.Value == 0) return true;
  for (int i = 0; i < kPoolCount; ++i) {
    if (!Init_Pool(m_Pools[i])) {
      for (CRezChunkPool& pool : m_Pools) Free_Pool(pool);
      return false;
    }
    for (CRezRun& run : m_Pools[i].m_Run_Records) run.m_Pool = i;
  }
  m_Pools_Ready = true;
  m_Next_Pool = 0;
  m_Free_Entries = nullptr;
  for (int i = kEntryCount; i-- > 0;) {
    m_Entries[i] = CRezPrefetchEntry{};
    m_Entries[i].m_Next = m_Free_Entries;
    m_Free_Entries = &m_Entries[i];
  }
  for (CRezPrefetchEntry*& head : m_Buckets) head = nullptr;
  {
    Scope hold(m_List_Lock);
    m_Queue = nullptr;
    m_Free_Requests = nullptr;
    for (int i = kRequestCount; i-- > 0;) {
      m_Requests[i] = CRezRequest{};
      m_Requests[i].m_Next = m_Free_Requests;
      m_Free_Requests = &m_Requests[i];
    }
    m_Running = true;
    m_Stop = false;
    m_Slice_Start = 0;
  }
  m_Thread = std::make_unique<CLoaderThread>(this);
  if (m_Thread->Start(kThreadPriorityNormal) != 0) {
    m_Running = false;
    Stop();
    return false;
  }
  return true;
}

void CRezPrefetch::Stop() {
  bool was_running = false;
  {
    Scope hold(m_List_Lock);
    was_running = m_Running;
    if (was_running) {
      m_Stop = true;
      m_Wake.Set();
    }
  }
  if (m_Thread) m_Thread->Wait();
  m_Thread.reset();
  if (!m_Pools_Ready) return;
  for (CRezChunkPool& pool : m_Pools) Free_Pool(pool);
  for (CRezPrefetchEntry*& head : m_Buckets) head = nullptr;
  m_Free_Entries = nullptr;
  m_Queue = nullptr;
  m_Free_Requests = nullptr;
  m_Pools_Ready = false;
}

bool CRezPrefetch::Queue(uint32_t id, int32_t extra_offset, int32_t size) {
  Scope hold(m_List_Lock);
  if (!m_Running || !m_Free_Requests) return false;
  CRezRequest* request = m_Free_Requests;
  m_Free_Requests = request->m_Next;
  request->m_Resource_ID = id;
  request->m_Extra_Offset = extra_offset;
  request->m_Size = size;
  request->m_Next = nullptr;
  CRezRequest** tail = &m_Queue;
  while (*tail) tail = &(*tail)->m_Next;
  *tail = request;
  m_Wake.Set();
  return true;
}

int CRezPrefetch::Queued_Count() {
  Scope hold(m_List_Lock);
  int count = 0;
  for (CRezRequest* r = m_Queue; r; r = r->m_Next) ++count;
  return count;
}

CRezPrefetchEntry* CRezPrefetch::Find_Entry(uint32_t id, int32_t extra_offset) {
  if (!m_Pools_Ready) return nullptr;
  for (CRezPrefetchEntry* e = m_Buckets[id & (kEntryBuckets - 1)]; e; e = e->m_Next) {
    if (e->m_Resource_ID == id && e->m_Extra_Offset == extra_offset) return e;
  }
  return nullptr;
}

void CRezPrefetch::Loop() {
  while (!m_Stop) {
    CRezRequest* head = nullptr;
    {
      m_List_Lock.Lock();
      if (!m_Queue) {
        m_List_Lock.Unlock();
        m_Wake.Wait();
        m_List_Lock.Lock();
        m_Slice_Start = timeGetTime();
      }
      head = m_Queue;
      m_List_Lock.Unlock();
    }
    if (head && !m_Stop) Serve(head);
    if (m_Thread && m_Thread->IsCurrentThread() &&
        timeGetTime() - m_Slice_Start >= static_cast<uint32_t>(RezMgr_TimeSlice_For_Prefetching.Value)) {
      plat::Sleep_Ms(0);
      m_Slice_Start = timeGetTime();
    }
  }
}

// Serves the head request; done or dropped requests leave the queue, a retry stays at its head.
void CRezPrefetch::Serve(CRezRequest* request) {
  Outcome outcome = Prefetch(request->m_Resource_ID, request->m_Extra_Offset, request->m_Size);
  if (outcome == Outcome::Retry) {
    // Nothing to free right now: wait for the next request or signal instead of spinning.
    plat::Sleep_Ms(1);
    return;
  }
  Scope hold(m_List_Lock);
  for (CRezRequest** link = &m_Queue; *link; link = &(*link)->m_Next) {
    CRezRequest* r = *link;
    if (r->m_Resource_ID == request->m_Resource_ID && r->m_Extra_Offset == request->m_Extra_Offset) {
      *link = r->m_Next;
      r->m_Next = m_Free_Requests;
      m_Free_Requests = r;
      break;
    }
  }
  if (m_Queue) m_Wake.Set();
}

CRezPrefetch::Outcome CRezPrefetch::Prefetch(uint32_t id, int32_t extra_offset, int32_t request_size) {
  if (!m_Pools_Ready || !m_Manager) return Outcome::Done;
  if (m_Manager->Find_Loaded(id)) return Outcome::Done;
  CRezPackMap* map = nullptr;
  const RezRecord* record = m_Manager->FindRecord(id, &map);
  if (!record) return Outcome::Done;
  {
    Scope manager(m_Manager->Manager_Lock());
    if (CRezPrefetchEntry* entry = Find_Entry(id, extra_offset)) {
      entry->m_Last_Use = CRezMgr::Frame_Stamp();
      return Outcome::Done;
    }
    if (!m_Free_Entries) return Outcome::Retry;
  }
  map->Lock().Lock();
  CRezFileSlot* slot = map->Get_File(*record, CRezMgr::Frame_Stamp());
  if (!slot || !slot->m_Stream) {
    map->Lock().Unlock();
    return Outcome::Done;
  }
  Scope slot_hold(slot->m_Lock);
  map->Lock().Unlock();
  CStream* file = slot->m_Stream;
  uint64_t start = uint64_t{record->offset} + (extra_offset != -1 ? static_cast<uint32_t>(extra_offset) : 0u);
  uint32_t size = 0;
  if (start > 0xFFFFFFFFu || !file->SeekTo(static_cast<uint32_t>(start)) ||
      !m_Manager->Record_Size(*record, *map, map->File_Name(*record), file, static_cast<uint32_t>(start), size)) {
    return Outcome::Done;
  }
  if (request_size != -1) size = static_cast<uint32_t>(request_size);
  m_Manager->Manager_Lock().Lock();
  if (size > m_Pools[0].Capacity()) {
    m_Manager->Manager_Lock().Unlock();
    REZ_ERROR("Prefetch: Resource ID (%x) of %u bytes is larger than a chunk pool.\n", id, size);
    return Outcome::Dropped;
  }
  CRezRun* run = Allocate_Run(size);
  if (!run || !m_Free_Entries) {
    if (run) Reclaim_Run(run);
    m_Manager->Manager_Lock().Unlock();
    return Outcome::Retry;
  }
  CRezChunkPool& pool = m_Pools[run->m_Pool];
  pool.m_Lock.Lock();
  m_Manager->Manager_Lock().Unlock();
  uint32_t before = 0;
  uint32_t after = 0;
  bool copied = pool.m_Stream->SeekTo(run->m_First_Chunk * pool.m_Chunk_Size) && file->GetPos(&before) &&
                (size == 0 || pool.m_Stream->WriteStream(file, 0, static_cast<int32_t>(size))) &&
                file->GetPos(&after) && after - before == size;
  pool.m_Lock.Unlock();
  // The new entry goes into its bucket under the manager lock, where loads look for it.
  Scope manager(m_Manager->Manager_Lock());
  if (!copied) {
    Reclaim_Run(run);
    return Outcome::Retry;
  }
  CRezPrefetchEntry* entry = m_Free_Entries;
  m_Free_Entries = entry->m_Next;
  entry->m_Resource_ID = id;
  entry->m_Extra_Offset = extra_offset;
  entry->m_Size = size;
  entry->m_Run = run;
  entry->m_Last_Use = CRezMgr::Frame_Stamp();
  run->m_Entry = entry;
  entry->m_Next = m_Buckets[id & (kEntryBuckets - 1)];
  m_Buckets[id & (kEntryBuckets - 1)] = entry;
  return Outcome::Done;
}

CRezRun* CRezPrefetch::First_Fit(CRezChunkPool& pool, uint32_t chunks) {
  for (CRezRun** link = &pool.m_Free_Runs; *link; link = &(*link)->m_Next) {
    CRezRun* free_run = *link;
    if (free_run->m_Chunk_Count < chunks) continue;
    CRezRun* used = free_run;
    if (free_run->m_Chunk_Count == chunks) {
      *link = free_run->m_Next;
    } else {
      if (!pool.m_Spare_Runs) return nullptr;
      used = pool.m_Spare_Runs;
      pool.m_Spare_Runs = used->m_Next;
      used->m_First_Chunk = free_run->m_First_Chunk;
      used->m_Chunk_Count = chunks;
      free_run->m_First_Chunk += chunks;
      free_run->m_Chunk_Count -= chunks;
    }
    used->m_Entry = nullptr;
    used->m_Next = pool.m_Used_Runs;
    pool.m_Used_Runs = used;
    return used;
  }
  return nullptr;
}

// Reclaims up to three runs unused for the free frame count; when none is that old, the first
// two used runs. False when nothing was reclaimed.
bool CRezPrefetch::Reclaim_Old_Runs(CRezChunkPool& pool) {
  uint32_t frame = CRezMgr::Frame_Stamp();
  uint32_t age = static_cast<uint32_t>(RezMgr_Prefetch_MemStream_Free_FrameCount.Value);
  int reclaimed = 0;
  for (CRezRun* run = pool.m_Used_Runs; run && reclaimed < 3;) {
    CRezRun* next = run->m_Next;
    if (run->m_Entry && frame - run->m_Entry->m_Last_Use >= age) {
      Reclaim_Run(run);
      ++reclaimed;
    }
    run = next;
  }
  if (reclaimed == 0) {
    for (int i = 0; i < 2 && pool.m_Used_Runs; ++i) {
      Reclaim_Run(pool.m_Used_Runs);
      ++reclaimed;
    }
  }
  return reclaimed > 0;
}

CRezRun* CRezPrefetch::Allocate_In_Pool(int index, uint32_t chunks) {
  CRezChunkPool& pool = m_Pools[index];
  if (chunks > pool.m_Chunk_Count) return nullptr;
  if (CRezRun* run = First_Fit(pool, chunks)) return run;
  if (!Reclaim_Old_Runs(pool)) return nullptr;
  return First_Fit(pool, chunks);
}

CRezRun* CRezPrefetch::Allocate_Run(uint32_t bytes) {
  if (!m_Pools_Ready) return nullptr;
  uint32_t chunk_size = m_Pools[0].m_Chunk_Size;
  uint32_t chunks = bytes == 0 ? 1 : static_cast<uint32_t>((uint64_t{bytes} + chunk_size - 1) / chunk_size);
  int first = m_Next_Pool;
  m_Next_Pool = (m_Next_Pool + 1) % kPoolCount;
  for (int k = 0; k < kPoolCount; ++k) {
    if (CRezRun* run = Allocate_In_Pool((first + k) % kPoolCount, chunks)) return run;
  }
  return nullptr;
}

void CRezPrefetch::Release_Entry(CRezPrefetchEntry* entry) {
  for (CRezPrefetchEntry** link = &m_Buckets[entry->m_Resource_ID & (kEntryBuckets - 1)]; *link;
       link = &(*link)->m_Next) {
    if (*link == entry) {
      *link = entry->m_Next;
      break;
    }
  }
  *entry = CRezPrefetchEntry{};
  entry->m_Next = m_Free_Entries;
  m_Free_Entries = entry;
}

void CRezPrefetch::Reclaim_Run(CRezRun* run) {
  CRezChunkPool& pool = m_Pools[run->m_Pool];
  for (CRezRun** link = &pool.m_Used_Runs; *link; link = &(*link)->m_Next) {
    if (*link == run) {
      *link = run->m_Next;
      break;
    }
  }
  if (run->m_Entry) Release_Entry(run->m_Entry);
  run->m_Entry = nullptr;
  // Back into the free list at its place, merged with the free runs that touch it.
  CRezRun* before = nullptr;
  CRezRun** link = &pool.m_Free_Runs;
  while (*link && (*link)->m_First_Chunk < run->m_First_Chunk) {
    before = *link;
    link = &(*link)->m_Next;
  }
  run->m_Next = *link;
  *link = run;
  CRezRun* after = run->m_Next;
  if (after && run->m_First_Chunk + run->m_Chunk_Count == after->m_First_Chunk) {
    run->m_Chunk_Count += after->m_Chunk_Count;
    run->m_Next = after->m_Next;
    after->m_Next = pool.m_Spare_Runs;
    pool.m_Spare_Runs = after;
  }
  if (before && before->m_First_Chunk + before->m_Chunk_Count == run->m_First_Chunk) {
    before->m_Chunk_Count += run->m_Chunk_Count;
    before->m_Next = run->m_Next;
    run->m_Next = pool.m_Spare_Runs;
    pool.m_Spare_Runs = run;
  }
}

int CRezPrefetch::Free_Run_Count(int pool) const {
  int count = 0;
  for (const CRezRun* run = m_Pools[pool].m_Free_Runs; run; run = run->m_Next) ++count;
  return count;
}
