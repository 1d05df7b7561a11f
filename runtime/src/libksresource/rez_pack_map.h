#pragma once
// One loaded pack map: the index of one pack set, with a small cache of open pack files.
#include <cstdint>
#include <map>
#include <string>

#include "platform/system/files.h"
#include "runtime/src/core/critical_section.h"
#include "runtime/src/libksresource/rez_map_format.h"

class CFileStream;

// Holds a lock for a scope.
template <class Lock>
class CRezLockScope {
 public:
  explicit CRezLockScope(Lock& lock) : m_Lock(lock) { m_Lock.Lock(); }
  ~CRezLockScope() { m_Lock.Unlock(); }
  CRezLockScope(const CRezLockScope&) = delete;
  CRezLockScope& operator=(const CRezLockScope&) = delete;

 private:
  Lock& m_Lock;
};

// A slot of the open-file cache.
struct CRezFileSlot {
  static constexpr int kMaxDepth = 8;

  CCriticalSection m_Lock;
  uint16_t m_Components[kRezMaxPathComponents] = {};
  uint32_t m_Saved_Positions[kMaxDepth] = {};
  int m_Depth = 0;
  CFileStream* m_Stream = nullptr;
  uint32_t m_Last_Use = 0;
  CRezFileSlot* m_Next = nullptr;

  // Saves the stream position for a use of the slot; false when the stack is full.
  bool Push_Position();
  // Ends a use: the saved position is restored when an outer use is still open.
  void Pop_Position();
};

// The root followed by the record's path components joined with "/".
std::string Rez_Record_File_Name(const std::string& root, const RezMapData& data, const RezRecord& record);

class CRezPackMap {
 public:
  static constexpr int kSlotCount = 32;
  static constexpr int kSlotBuckets = 8;

  CRezPackMap(const std::string& root, RezMapData&& data, int set = 0);
  ~CRezPackMap();
  CRezPackMap(const CRezPackMap&) = delete;
  CRezPackMap& operator=(const CRezPackMap&) = delete;

  // The first record with this id, or null.
  const RezRecord* Find(uint32_t id) const;

  // The root followed by the record's path components joined with "/".
  std::string File_Name(const RezRecord& record) const;

  // The slot holding the record's file, opened on a miss; the slot's stream is null when the
  // file cannot be opened (what was found and why go to `result` and `reason` when given; a
  // FIFO, device or folder is refused without waiting on it). Null when every slot is in use.
  // Call under Lock().
  CRezFileSlot* Get_File(const RezRecord& record, uint32_t frame_stamp, plat::Open_Result* result = nullptr,
                         std::string* reason = nullptr);

  CCriticalSection& Lock() { return m_Lock; }
  const RezMapData& Data() const { return m_Data; }

  int Set() const { return m_Set; }
  // Set once the map has been checked against a fresh build after a failed load.
  bool m_Rebuild_Tried = false;

  // Whether the set's listing is known to run to its proper end; a damaged one is reported
  // once, and the ids it lost are then not reported again one by one.
  enum class Listing { Unknown, Intact, Damaged };
  Listing m_Listing = Listing::Unknown;
  // The records the set's listing holds but the map leaves out (an unknown type, a path beyond
  // the limits): the parser's words for each by id, once read; and whether they were named
  // this session, after which their ids are not reported again one by one.
  bool m_Left_Out_Known = false;
  std::map<uint32_t, std::string> m_Left_Out;
  bool m_Left_Out_Named = false;
  // Files the map's records name that were found missing, files a record of the map lies or runs
  // past the end of, and files whose bytes a load refused (counted under the manager's report lock).
  int m_Missing_Files = 0;
  int m_Past_End_Files = 0;
  int m_Refused_Files = 0;

  CRezPackMap* m_Next = nullptr;

 private:
  static int Bucket_Of(const uint16_t* components);
  CRezFileSlot* Find_Slot(const uint16_t* components, int bucket);
  CRezFileSlot* Take_Free_Slot();
  CRezFileSlot* Evict_Slot();
  void Unlink(CRezFileSlot* slot);

  std::string m_Root;
  RezMapData m_Data;
  int m_Set = 0;
  CCriticalSection m_Lock;
  CRezFileSlot m_Slots[kSlotCount];
  CRezFileSlot* m_Buckets[kSlotBuckets] = {};
  int m_Free_Slots = kSlotCount;
};
