#pragma once
// The resource manager: finds every asset by its 32-bit resource id in the pack sets, creates
// it through its type's handler, reads (and expands) its bytes and keeps it in a table by id
// until it is freed. One instance, reached through g_pRezMgr.
#include <cstdarg>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "runtime/src/core/console_var.h"
#include "runtime/src/core/critical_section.h"
#include "runtime/src/libksresource/rez_map_builder.h"
#include "runtime/src/libksresource/rez_map_format.h"
#include "runtime/src/libksresource/rez_pack_map.h"
#include "runtime/src/libksresource/rez_prefetch.h"
#include "runtime/src/libksresource/rez_resource.h"

class CStream;
class CFileStream;
class CMemoryStream;

extern ConsoleInt RezMgr_Prefetch_Buffer_Size;
extern ConsoleInt RezMgr_UnCompress_Buffer_Size;
extern ConsoleInt RezMgr_Target_Sys_Memory_InBytes;
extern ConsoleInt RezMgr_Report_Resource_Profile;

// How an expansion went: zlib's result, what the record's type made of the expanded head,
// whether the expansion ran past the bytes that allows (`limit`), and the bytes it gave.
struct RezExpansion {
  int code = 0;
  RezExpansionBound bound;
  uint64_t limit = kRezDefaultExpansionLimit;
  bool over = false;
  // The stream ended (after `expanded` bytes) before the bytes its head says the loader needs,
  // or its head needs more than the `most` its `compressed` bytes can give.
  bool short_of_needs = false;
  uint64_t expanded = 0;
  bool needs_past_stream = false;
  uint64_t compressed = 0;
  uint64_t most = 0;
};

class CRezMgr {
 public:
  static constexpr int kTableBuckets = 128;
  static constexpr int kOffsetTableBuckets = 64;
  static constexpr size_t kMaxRootLength = 259;

  CRezMgr();
  ~CRezMgr();
  CRezMgr(const CRezMgr&) = delete;
  CRezMgr& operator=(const CRezMgr&) = delete;

  // Opens the pack sets under root (null: the working directory), building their maps when
  // they are missing, stale or damaged, and starts the buffers and the prefetch loader.
  bool Init(const char* root);
  void Term();
  bool Is_Initialised() const { return m_Initialised; }
  // Why the last Init failed, as it was reported (without its "Init: " and full stop); empty
  // after a start that did not fail.
  const std::string& Init_Failure() const { return m_Init_Failure; }

  bool SetTypeHandler(uint32_t type, CRezTypeHandler* handler);

  // The shared resource object of an id (type 0 accepts any type), loaded on first request;
  // null when the id is unknown, of another type or cannot be loaded.
  CRezResource* Get_Resource(uint32_t id, uint32_t type);
  // Takes the resource out of the table and destroys it through its type's handler.
  void FreeResource(uint32_t id);
  // Reads the resource's bytes and calls its Load. Without a record the id's record is looked
  // up; extra_offset (-1 for none) is added to the record's offset.
  bool Allocate_Resource(CRezResource* resource, const RezRecord* record, CRezPackMap* map,
                         int32_t extra_offset);

  // The first record of the id over the pack sets in load order, and its map; null when none.
  const RezRecord* FindRecord(uint32_t id, CRezPackMap** map);
  // The file name of a record of the map into buffer (at most size bytes with the terminator);
  // false when it does not fit.
  bool BuildFileName(const RezRecord* record, char* buffer, uint32_t size, CRezPackMap* map);
  std::string BuildFileName(const RezRecord& record, const CRezPackMap& map) const;

  // The record's file opened for reading and positioned at the record's data; null when the
  // id has no record or the file does not open. Give it back with CloseRawFile.
  CFileStream* OpenRawFile(uint32_t id);
  void CloseRawFile(CStream* stream);
  void CloseRawFile(uint32_t id, CStream* stream);

  // Frees the data of loaded resources until the tracked memory is below the target.
  void PurgeToTarget();

  // The resource of an id in the loaded table, or null (no load).
  CRezResource* Find_Loaded(uint32_t id);
  // Every resource of the type in the loaded table, purged ones included.
  std::vector<CRezResource*> Loaded_Of_Type(uint32_t type);

  // The file name of pack set n's binary map, under the root.
  std::string Map_File_Name(int set) const;

  const std::string& Root() const { return m_Root; }
  CRezPrefetch& Prefetch() { return m_Prefetch; }
  CCriticalSection& Manager_Lock() { return m_Manager_Lock; }
  CCriticalSection& Table_Lock() { return m_Table_Lock; }

  // The profile report (the validation callback of RezMgr_Report_Resource_Profile).
  void Report_Profile();

  // Names a resource its user refused after its load (a sound the player cannot read) with its
  // file and the user's reason, as a refused load is named: "<who>: Resource ID (<id>) in <file>
  // was refused: <reason>.", at error level the first time for the file, else in the details.
  void Report_Refusal(const char* who, uint32_t id, const std::string& reason);

  // Whether a load of the id this session refused its bytes (its loader, its expansion or its
  // user said why): reading them again would give the same.
  bool Bytes_Refused(uint32_t id);

  // The bytes the load buffers (compressed bytes read, expansion) hold between loads.
  uint64_t Load_Buffer_Bytes() const;

  // The current frame stamp.
  static uint32_t Frame_Stamp();

 private:
  friend class CRezPrefetch;

  bool Open_Set(int set, bool exists);
  // Reports why the start fails ("Init: <text>.") and keeps the text for Init_Failure.
  void Fail_Start(int line, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void Report_Listing_Damage(const char* who, const RezListingState& listing);
  // True when a pack set's listing is damaged (reported once), so that ids it lost are not
  // reported one by one. Listings not yet known are read once to find out.
  bool Listing_Lost_Ids();
  // Reads a map's listing again to see how it reads now, keeping in the map the records it
  // leaves out; false when it cannot be read.
  bool Read_Listing_Again(CRezPackMap& map, RezListingState& state);
  // The map whose listing left the id out; null when none did.
  CRezPackMap* Map_Leaving_Out(uint32_t id);
  // Names the records a map's listing leaves out, from the id first asked of them.
  void Report_Left_Out(const char* who, const CRezPackMap& map, uint32_t first);
  // An id no map holds: said at error level unless its listing was named for it.
  void Report_Missing_Id(const char* who, uint32_t id);
  // Reports a problem of a pack file: at error level the first time for the file, later ones
  // (other resources of the same file) as details only.
  // `line`: where in this file the problem was met.
  void Report_File_Problem(int line, const std::string& file, const char* format, ...)
      __attribute__((format(printf, 4, 5)));
  // The same; with a map and a kind of trouble counted in count_of_kind, the second file of the
  // map with that trouble is a detail too, with one line saying that the listing lists `more`.
  void Report_File_ProblemV(int line, const std::string& file, CRezPackMap* map, int* count_of_kind, const char* more,
                            const char* format, va_list args);
  // A refusal of a resource's bytes, counted as such for the listing of its map.
  void Report_Refused_Bytes(int line, uint32_t id, const std::string& file, const char* format, ...)
      __attribute__((format(printf, 5, 6)));
  // A file a map's record names is missing: the first of the map's missing files is said, the
  // second only with one line naming the listing, the others only in the details.
  void Report_Missing_File(CRezPackMap& map, const std::string& file);
  // A trouble of a file a map's record names, counted by kind in count_of_kind: the first file
  // with it is named at error level, the second in the details with one line saying that the
  // listing lists more of them (`more`), the others in the details. A file already named for
  // anything is a detail.
  void Report_Listed_File(int line, CRezPackMap& map, int& count_of_kind, const std::string& file, const char* more,
                          const char* format, ...) __attribute__((format(printf, 7, 8)));
  void Term_Buffers();
  void Install_Profile_Callback();
  bool Load_Map_File(const std::string& path, int set, std::string& error);
  void Free_Maps();
  // After a failed load from the map: when a fresh build of its set's map differs from it, the
  // new map is written and takes its place (once per map). True when the load is worth retrying.
  bool Rebuild_Stale_Map(CRezPackMap* map);

  bool Load_From_Prefetch(CRezResource* resource, const RezRecord& record, CRezPackMap& map,
                          int32_t extra_offset, bool& found);
  bool Load_From_File(CRezResource* resource, const RezRecord& record, CRezPackMap& map,
                      int32_t extra_offset);
  bool Record_Size(const RezRecord& record, CRezPackMap& map, const std::string& file, CStream* stream,
                   uint32_t start, uint32_t& size);
  bool Load_Compressed(CRezResource* resource, const RezRecord& record, const std::string& file, CStream* source,
                       uint32_t size);
  // Runs the resource's Load on the *size bytes at the stream's position and reports a refusal
  // with the words the loader noted.
  bool Run_Load(CRezResource* resource, const std::string& file, CStream* stream, uint32_t* size);
  void Report_Refused(int line, const char* who, uint32_t id, const std::string& file, const std::string& reason);
  void Note_Refused_Id(uint32_t id);
  static void Give_Back_Spare(CMemoryStream*& buffer, uint32_t initial);
  // Inflates into destination, no further than the record's type (judge; null: any type) says
  // the resource can hold; fails (reporting nothing) with what stopped it in expansion.
  bool Expand(const uint8_t* source, uint32_t source_length, CMemoryStream& destination, const CRezTypeHandler* judge,
              uint32_t& expanded, RezExpansion& expansion);
  void Report_Expansion_Failure(uint32_t id, uint8_t type, const std::string& file, const RezExpansion& expansion);
  CRezResource* Pick_Purge_Candidate();

  bool m_Initialised = false;
  std::string m_Init_Failure;
  std::string m_Root;
  CRezTypeHandler* m_Handlers[kRezTypeCount] = {};
  CMemoryStream* m_Prefetch_Buffer = nullptr;
  CMemoryStream* m_Decompress_Buffer = nullptr;
  uint32_t m_Prefetch_Initial = 0;    // the sizes the buffers start at
  uint32_t m_Decompress_Initial = 0;
  bool m_Decompress_Busy = false;
  uint32_t (*m_Size_Reader)(CStream* stream) = nullptr;
  CRezPackMap* m_Maps = nullptr;
  CRezPackMap* m_Retired_Maps = nullptr;  // replaced maps, kept until Term: records may be in use
  CRezResource* m_Table[kTableBuckets] = {};
  CRezResource* m_Offset_Table[kOffsetTableBuckets] = {};
  CCriticalSection m_Table_Lock;
  CCriticalSection m_Manager_Lock;
  CCriticalSection m_Report_Lock;
  std::set<std::string> m_Problem_Files;  // pack files whose damage was reported this session
  std::set<uint32_t> m_Refused_Ids;       // ids whose bytes were refused this session
  CRezPrefetch m_Prefetch;
};

extern CRezMgr* g_pRezMgr;
