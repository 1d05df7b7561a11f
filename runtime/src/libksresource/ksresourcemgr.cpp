#include "runtime/src/libksresource/ksresourcemgr.h"

#include <zlib.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/system/files.h"
#include "platform/system/memory.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/core/timer.h"
#include "runtime/src/libksresource/rez_map_builder.h"
#include "runtime/src/libksresource/rez_record_stream.h"
#include "runtime/src/libksresource/rez_report.h"

ConsoleInt RezMgr_Prefetch_Buffer_Size("RezMgr_Prefetch_Buffer_Size", 250000, 2);
ConsoleInt RezMgr_UnCompress_Buffer_Size("RezMgr_UnCompress_Buffer_Size", 1000000, 2);
ConsoleInt RezMgr_Target_Sys_Memory_InBytes("RezMgr_Target_Sys_Memory_InBytes", 1512000000, 2);

namespace {

// The piece inflated at a time, and the most bytes a memory stream (so a resource) can hold.
constexpr size_t kExpandPieceSize = 256 * 1024;
constexpr uint64_t kMaxStreamBytes = 0xFFFFFFFFu;
// Up to this many bytes an expansion is kept as it is made; a larger one is counted first.
constexpr uint64_t kExpandDirectLimit = 8u * 1024 * 1024;
// What the load buffers may keep between loads: an expansion kept as it is made (and its last
// piece). A larger buffer is given back after its load.
constexpr uint64_t kKeptBufferLimit = kExpandDirectLimit + kExpandPieceSize;

CRezMgr g_RezMgr_Instance;

// What a resource of each type is called in reports.
const char* Type_Name(uint8_t type) {
  switch (type) {
    case kRezType_RenderStyle: return "render style";
    case kRezType_Texture: return "texture";
    case kRezType_Sound: return "sound";
    case kRezType_RenderObject: return "renderable";
    default: return "raw resource";
  }
}

// What a listing holds more of once two of its files have been named for the same trouble.
constexpr const char* kPastEndFiles = "resources that lie past the end of their files";
constexpr const char* kRefusedFiles = "resources whose bytes are refused";

// Why zlib gave up on a record's compressed bytes.
const char* Zlib_Failure(int code) {
  switch (code) {
    case Z_DATA_ERROR: return "is damaged";
    case Z_BUF_ERROR: return "ends early";
    case Z_MEM_ERROR: return "cannot be expanded: out of memory";
    default: return "cannot be expanded";
  }
}

// The most bytes a zlib stream of this many bytes can expand to: deflate codes at best a
// 258-byte match in two bits, so each byte gives at most 1032 (one more for a part byte).
uint64_t Most_Expanded(uint32_t compressed) { return (uint64_t{compressed} + 1) * 1032; }

// The second pass of a large expansion: the whole stream at once into the destination, which
// is first grown to the size the first pass counted.
int Inflate_Whole(z_stream& zs, const uint8_t* source, uint32_t source_length, CMemoryStream& destination,
                  uint64_t size) {
  if (inflateReset(&zs) != Z_OK || !destination.EnsureSize(size) || !destination.SeekTo(0)) return Z_MEM_ERROR;
  zs.next_in = const_cast<Bytef*>(source);
  zs.avail_in = source_length;
  zs.next_out = static_cast<Bytef*>(destination.GetData());
  zs.avail_out = static_cast<uInt>(size);
  const int code = inflate(&zs, Z_FINISH);
  return code == Z_STREAM_END && zs.total_out == size ? Z_STREAM_END : Z_DATA_ERROR;
}

}  // namespace

CRezMgr* g_pRezMgr = nullptr;

RezExpansionBound CRezTypeHandler::Expansion_Bound(const uint8_t* /*head*/, size_t /*length*/) const {
  return RezExpansionBound::Holds(kRezDefaultExpansionLimit, "");
}

CRezMgr::CRezMgr() {
  if (!g_pRezMgr) g_pRezMgr = this;
}

CRezMgr::~CRezMgr() {
  Term();
  if (g_pRezMgr == this) g_pRezMgr = nullptr;
}

std::string CRezMgr::Map_File_Name(int set) const {
  if (set == 0) return m_Root + "pack_map.map";
  return m_Root + "pack_map_" + std::to_string(set) + ".map";
}

bool CRezMgr::Init(const char* root) {
  if (m_Initialised) return true;
  std::string path = root ? root : "";
  m_Init_Failure.clear();
  if (path.size() > kMaxRootLength) {
    Fail_Start(__LINE__, "root path longer than %zu characters", kMaxRootLength);
    return false;
  }
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  m_Root = path;
  {
    CRezLockScope<CCriticalSection> hold(m_Report_Lock);
    m_Problem_Files.clear();
    m_Refused_Ids.clear();
  }
  for (int set = 0;; ++set) {
    bool exists = plat::File_Exists(Rez_Packed_File_Name(m_Root, set)) ||
                  plat::File_Exists(Rez_Text_Map_File_Name(m_Root, set));
    if (!exists && set > 0) {
      // A set's name held by what is not a regular file ends the list as a missing set does.
      for (const std::string& line : Rez_Unusable_Sources(m_Root, set)) {
        REZ_ERROR("Init: %s; it is not used.\n", line.c_str());
      }
      break;
    }
    if (!Open_Set(set, exists)) {
      Free_Maps();
      return false;
    }
    if (!exists) break;
  }
  for (CRezTypeHandler*& handler : m_Handlers) handler = nullptr;
  for (CRezResource*& head : m_Table) head = nullptr;
  // The source buffer of compressed reads always exists; it starts at the prefetch size.
  uint32_t prefetch_size = RezMgr_Prefetch_Buffer_Size.Value > 0 ? RezMgr_Prefetch_Buffer_Size.Value : 0;
  uint32_t expand_size = RezMgr_UnCompress_Buffer_Size.Value > 0 ? RezMgr_UnCompress_Buffer_Size.Value : 0;
  m_Prefetch_Buffer = CreateMemoryStream(prefetch_size);
  m_Decompress_Buffer = CreateMemoryStream(expand_size);
  m_Prefetch_Initial = prefetch_size;
  m_Decompress_Initial = expand_size;
  if (!m_Prefetch_Buffer || !m_Decompress_Buffer || !m_Prefetch.Start(this)) {
    Term_Buffers();
    Free_Maps();
    return false;
  }
  Install_Profile_Callback();
  m_Initialised = true;
  return true;
}

void CRezMgr::Term() {
  if (!m_Initialised) return;
  m_Prefetch.Stop();
  Free_Maps();
  Term_Buffers();
  m_Initialised = false;
}

void CRezMgr::Term_Buffers() {
  if (m_Prefetch_Buffer) m_Prefetch_Buffer->Release();
  if (m_Decompress_Buffer) m_Decompress_Buffer->Release();
  m_Prefetch_Buffer = nullptr;
  m_Decompress_Buffer = nullptr;
}

void CRezMgr::Free_Maps() {
  for (CRezPackMap** chain : {&m_Maps, &m_Retired_Maps}) {
    while (*chain) {
      CRezPackMap* next = (*chain)->m_Next;
      delete *chain;
      *chain = next;
    }
  }
}

// Builds set n's map when it is not current (missing, older than its sources, damaged or with
// records that cannot be right), then loads it. A map that fails its checks is rebuilt once.
bool CRezMgr::Open_Set(int set, bool exists) {
  std::string map_path = Map_File_Name(set);
  std::string error;
  std::string why;
  RezListingState listing;
  bool built = false;
  if (!Rez_Map_Is_Current(m_Root, set, map_path, &why)) {
    // A missing or older map is the usual case; a damaged or unreadable one is worth a word.
    const bool unreadable = why.rfind("cannot be read", 0) == 0;
    const bool damaged = why != "missing" && why != "older than its sources";
    bool unchanged = false;
    if (!Rez_Build_Map(m_Root, set, map_path, error, &listing, &unchanged)) {
      // Without its sources a map that still reads is the best there is.
      if (!exists && why != "missing" && Load_Map_File(map_path, set, why)) return true;
      if (damaged) {
        Fail_Start(__LINE__, "pack map %s is damaged (%s) and cannot be rebuilt: %s", map_path.c_str(), why.c_str(),
                   error.c_str());
      } else {
        Fail_Start(__LINE__, "cannot build pack map %s: %s", map_path.c_str(), error.c_str());
      }
      return false;
    }
    built = true;
    // A map the build gives again byte for byte was right: what its check found (a record past
    // the end of its file) is damage in a pack file, reported when a load meets it.
    if (unreadable) {
      REZ_ERROR("Init: pack map %s %s; rebuilt.\n", map_path.c_str(), why.c_str());
    } else if (damaged && !unchanged) {
      REZ_ERROR("Init: pack map %s was damaged (%s); rebuilt.\n", map_path.c_str(), why.c_str());
    }
  }
  bool loaded = Load_Map_File(map_path, set, error);
  if (!loaded) {
    Fail_Start(__LINE__, "pack map %s is damaged: %s", map_path.c_str(), error.c_str());
    if (!exists) return false;
    if (!Rez_Build_Map(m_Root, set, map_path, error, &listing)) {
      Fail_Start(__LINE__, "cannot rebuild pack map %s: %s", map_path.c_str(), error.c_str());
      return false;
    }
    built = true;
    loaded = Load_Map_File(map_path, set, error);
    if (!loaded) {
      Fail_Start(__LINE__, "rebuilt pack map %s is damaged: %s", map_path.c_str(), error.c_str());
      return false;
    }
  }
  if (built) {
    CRezPackMap* map = m_Maps;
    while (map->m_Next) map = map->m_Next;
    map->m_Listing = listing.Lost() ? CRezPackMap::Listing::Damaged : CRezPackMap::Listing::Intact;
    if (listing.Lost()) Report_Listing_Damage("Init", listing);
    // The build named the records it left out.
    map->m_Left_Out_Named = listing.left_out > 0;
    map->m_Left_Out_Known = listing.left_out == 0;
  }
  return true;
}

void CRezMgr::Fail_Start(int line, const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  m_Init_Failure = text;
  Rez_Report_Error(__FILE__, line, "Init: %s.\n", text);
}

void CRezMgr::Report_Listing_Damage(const char* who, const RezListingState& listing) {
  {
    // The file is named now: what its resources meet later goes to the details.
    CRezLockScope<CCriticalSection> hold(m_Report_Lock);
    m_Problem_Files.insert(listing.source);
  }
  if (listing.complete && listing.left_out > 0) {
    REZ_ERROR("%s: %s lists no resource this program can use (%zu left out), so none of them can be found.\n", who,
              listing.source.c_str(), listing.left_out);
    return;
  }
  if (listing.complete) {
    REZ_ERROR("%s: %s is empty: it lists no resources, so none of them can be found.\n", who,
              listing.source.c_str());
    return;
  }
  if (listing.records == 0) {
    REZ_ERROR("%s: %s is damaged, so its listing stops early: %s; none of its resources can be found.\n", who,
              listing.source.c_str(), listing.damage.c_str());
    return;
  }
  REZ_ERROR("%s: %s is damaged, so its listing stops early: %s; only the %zu resources listed before that can be "
            "found.\n",
            who, listing.source.c_str(), listing.damage.c_str(), listing.records);
}

bool CRezMgr::Listing_Lost_Ids() {
  bool damaged = false;
  for (CRezPackMap* map = m_Maps; map; map = map->m_Next) {
    if (map->m_Listing == CRezPackMap::Listing::Unknown) {
      RezListingState state;
      const bool broken = Read_Listing_Again(*map, state) && state.Lost();
      map->m_Listing = broken ? CRezPackMap::Listing::Damaged : CRezPackMap::Listing::Intact;
      if (broken) Report_Listing_Damage("Get_Resource", state);
    }
    if (map->m_Listing == CRezPackMap::Listing::Damaged) damaged = true;
  }
  return damaged;
}

bool CRezMgr::Read_Listing_Again(CRezPackMap& map, RezListingState& state) {
  RezTextMap listing;
  if (!Rez_Read_Listing(m_Root, map.Set(), listing, state)) return false;
  map.m_Left_Out.clear();
  for (const RezLeftOut& record : listing.left_out) map.m_Left_Out.emplace(record.id, record.words);
  map.m_Left_Out_Known = true;
  return true;
}

CRezPackMap* CRezMgr::Map_Leaving_Out(uint32_t id) {
  for (CRezPackMap* map = m_Maps; map; map = map->m_Next) {
    RezListingState unused;
    if (!map->m_Left_Out_Known && !Read_Listing_Again(*map, unused)) continue;
    if (map->m_Left_Out.count(id) > 0) return map;
  }
  return nullptr;
}

// As the build does: the first asked for with the listing's words for it, the others in the
// details, and a count when there are others.
void CRezMgr::Report_Left_Out(const char* who, const CRezPackMap& map, uint32_t first) {
  const std::string listing = Rez_Listing_Source(m_Root, map.Set());
  REZ_ERROR("%s: %s: %s", who, listing.c_str(), map.m_Left_Out.at(first).c_str());
  for (const auto& [id, words] : map.m_Left_Out) {
    if (id != first) REZ_DETAIL("%s: %s: %s", who, listing.c_str(), words.c_str());
  }
  if (map.m_Left_Out.size() > 1) {
    REZ_ERROR("%s: %s: %zu records are left out in all (each is named under VORTHANE_DEBUG=1).\n", who,
              listing.c_str(), map.m_Left_Out.size());
  }
}

void CRezMgr::Report_Missing_Id(const char* who, uint32_t id) {
  // An id a damaged listing lost was accounted for when the listing was reported.
  if (Listing_Lost_Ids()) {
    REZ_DETAIL("%s: Resource ID (%x) not found.\n", who, id);
    return;
  }
  // So was an id its listing holds but its map leaves out, once the listing has been named for
  // it: at the start that built the map, else now, with the first such id asked for.
  if (CRezPackMap* map = Map_Leaving_Out(id)) {
    if (!map->m_Left_Out_Named) {
      map->m_Left_Out_Named = true;
      Report_Left_Out(who, *map, id);
    }
    REZ_DETAIL("%s: Resource ID (%x) not found.\n", who, id);
    return;
  }
  REZ_ERROR("%s: Resource ID (%x) not found.\n", who, id);
}

void CRezMgr::Report_File_Problem(int line, const std::string& file, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Report_File_ProblemV(line, file, nullptr, nullptr, nullptr, format, args);
  va_end(args);
}

void CRezMgr::Report_File_ProblemV(int line, const std::string& file, CRezPackMap* map, int* count_of_kind,
                                   const char* more, const char* format, va_list args) {
  bool first = false;
  int count = 0;
  {
    CRezLockScope<CCriticalSection> hold(m_Report_Lock);
    first = m_Problem_Files.insert(file).second;
    if (first && count_of_kind) count = ++*count_of_kind;
  }
  // The second file of a listing with the same trouble is one too many to name on its own.
  const bool said = first && count < 2;
  if (said) {
    Rez_Report_ErrorV(__FILE__, line, format, args);
  } else {
    Rez_Report_DetailV(__FILE__, line, format, args);
  }
  if (map && count == 2) {
    const std::string listing = Rez_Listing_Source(m_Root, map->Set());
    REZ_ERROR("Allocate_Resource: %s lists more %s; each is named under VORTHANE_DEBUG=1.\n", listing.c_str(), more);
  }
}

void CRezMgr::Report_Missing_File(CRezPackMap& map, const std::string& file) {
  Report_Listed_File(__LINE__, map, map.m_Missing_Files, file, "files that are not there",
                     "Allocate_Resource: File (%s) not found.\n", file.c_str());
}

void CRezMgr::Report_Listed_File(int line, CRezPackMap& map, int& count_of_kind, const std::string& file,
                                 const char* more, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Report_File_ProblemV(line, file, &map, &count_of_kind, more, format, args);
  va_end(args);
}

void CRezMgr::Report_Refused_Bytes(int line, uint32_t id, const std::string& file, const char* format, ...) {
  CRezPackMap* map = nullptr;
  FindRecord(id, &map);
  va_list args;
  va_start(args, format);
  if (map) {
    Report_File_ProblemV(line, file, map, &map->m_Refused_Files, kRefusedFiles, format, args);
  } else {
    Report_File_ProblemV(line, file, nullptr, nullptr, nullptr, format, args);
  }
  va_end(args);
}

bool CRezMgr::Load_Map_File(const std::string& path, int set, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!Rez_Read_File(path, bytes)) {
    error = "cannot read the file";
    return false;
  }
  RezMapData data;
  if (!Parse_Rez_Map(bytes.data(), bytes.size(), data, error)) return false;
  CRezPackMap* map = new CRezPackMap(m_Root, std::move(data), set);
  CRezPackMap** tail = &m_Maps;
  while (*tail) tail = &(*tail)->m_Next;
  *tail = map;
  return true;
}

bool CRezMgr::Rebuild_Stale_Map(CRezPackMap* map) {
  if (!map || map->m_Rebuild_Tried) return false;
  map->m_Rebuild_Tried = true;
  RezMapData fresh;
  std::string error;
  // Only a check: what the build finds in the listing was said when the map was made.
  if (!Rez_Build_Map_Data(m_Root, map->Set(), fresh, error, nullptr, false)) return false;
  std::vector<uint8_t> bytes = Serialize_Rez_Map(fresh);
  if (bytes == Serialize_Rez_Map(map->Data())) return false;  // the map is right; the pack is not
  const std::string path = Map_File_Name(map->Set());
  REZ_ERROR("Allocate_Resource: pack map %s was out of date; rebuilt.\n", path.c_str());
  if (!plat::Replace_File_Atomically(path, bytes.data(), bytes.size())) {
    REZ_ERROR("Allocate_Resource: cannot write pack map %s.\n", path.c_str());
  }
  auto* replacement = new CRezPackMap(m_Root, std::move(fresh), map->Set());
  replacement->m_Rebuild_Tried = true;
  replacement->m_Listing = map->m_Listing;
  for (CRezPackMap** link = &m_Maps; *link; link = &(*link)->m_Next) {
    if (*link != map) continue;
    replacement->m_Next = map->m_Next;
    *link = replacement;
    break;
  }
  map->m_Next = m_Retired_Maps;
  m_Retired_Maps = map;
  return true;
}

bool CRezMgr::SetTypeHandler(uint32_t type, CRezTypeHandler* handler) {
  if (type >= kRezTypeCount) return false;
  m_Handlers[type] = handler;
  return true;
}

const RezRecord* CRezMgr::FindRecord(uint32_t id, CRezPackMap** map) {
  for (CRezPackMap* current = m_Maps; current; current = current->m_Next) {
    if (const RezRecord* record = current->Find(id)) {
      if (map) *map = current;
      return record;
    }
  }
  if (map) *map = nullptr;
  return nullptr;
}

std::string CRezMgr::BuildFileName(const RezRecord& record, const CRezPackMap& map) const {
  return map.File_Name(record);
}

bool CRezMgr::BuildFileName(const RezRecord* record, char* buffer, uint32_t size, CRezPackMap* map) {
  if (!record || !buffer || size == 0) return false;
  buffer[0] = '\0';
  if (!map) FindRecord(record->id, &map);
  if (!map) return false;
  std::string name = map->File_Name(*record);
  if (name.size() + 1 > size) return false;
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  return true;
}

CRezResource* CRezMgr::Find_Loaded(uint32_t id) {
  CRezLockScope<CCriticalSection> hold(m_Table_Lock);
  for (CRezResource* r = m_Table[id & (kTableBuckets - 1)]; r; r = r->m_Next) {
    if (r->m_Resource_ID == id) return r;
  }
  return nullptr;
}

std::vector<CRezResource*> CRezMgr::Loaded_Of_Type(uint32_t type) {
  CRezLockScope<CCriticalSection> hold(m_Table_Lock);
  std::vector<CRezResource*> found;
  for (CRezResource* bucket : m_Table) {
    for (CRezResource* r = bucket; r; r = r->m_Next) {
      if (r->m_Type == type) found.push_back(r);
    }
  }
  return found;
}

CRezResource* CRezMgr::Get_Resource(uint32_t id, uint32_t type) {
  if (CRezResource* loaded = Find_Loaded(id)) {
    // A purged resource (managed, data released) is read again on its next request.
    if (loaded->m_Managed && !loaded->m_Loaded && !Allocate_Resource(loaded, nullptr, nullptr, -1)) {
      return nullptr;
    }
    return loaded;
  }
  CRezPackMap* map = nullptr;
  const RezRecord* record = FindRecord(id, &map);
  if (!record) {
    Report_Missing_Id("Get_Resource", id);
    return nullptr;
  }
  if (type != kRezType_Any && type != record->type) return nullptr;
  if (record->type >= kRezTypeCount || !m_Handlers[record->type]) return nullptr;
  CRezResource* resource = m_Handlers[record->type]->Create();
  if (!resource) return nullptr;
  resource->m_Managed = 1;
  resource->m_Resource_ID = id;
  resource->m_Type = record->type;
  resource->m_Next = nullptr;
  {
    CRezLockScope<CCriticalSection> hold(m_Table_Lock);
    CRezResource** tail = &m_Table[id & (kTableBuckets - 1)];
    while (*tail) tail = &(*tail)->m_Next;
    *tail = resource;
  }
  if (Allocate_Resource(resource, record, map, -1)) return resource;
  // A map older than its pack set can send the load to the wrong bytes: rebuilt once, retried.
  if (Rebuild_Stale_Map(map)) {
    record = FindRecord(id, &map);
    if (record && record->type == resource->m_Type && Allocate_Resource(resource, record, map, -1)) return resource;
  }
  FreeResource(id);
  return nullptr;
}

void CRezMgr::FreeResource(uint32_t id) {
  CRezResource* found = nullptr;
  {
    CRezLockScope<CCriticalSection> hold(m_Table_Lock);
    for (CRezResource** link = &m_Table[id & (kTableBuckets - 1)]; *link; link = &(*link)->m_Next) {
      if ((*link)->m_Resource_ID == id) {
        found = *link;
        *link = found->m_Next;
        found->m_Next = nullptr;
        break;
      }
    }
  }
  if (!found) return;
  if (found->m_Type < kRezTypeCount && m_Handlers[found->m_Type]) {
    m_Handlers[found->m_Type]->Destroy(found);
  }
}

bool CRezMgr::Allocate_Resource(CRezResource* resource, const RezRecord* record, CRezPackMap* map,
                                int32_t extra_offset) {
  if (!resource) return false;
  if (!record || !map) {
    record = FindRecord(resource->m_Resource_ID, &map);
    if (!record) {
      Report_Missing_Id("Allocate_Resource", resource->m_Resource_ID);
      return false;
    }
  }
  if (g_Total_Mem_Allocated.load() + 100000 > RezMgr_Target_Sys_Memory_InBytes.Value) PurgeToTarget();
  bool found = false;
  bool result = Load_From_Prefetch(resource, *record, *map, extra_offset, found);
  if (found) return result;
  return Load_From_File(resource, *record, *map, extra_offset);
}

// The size of a record's data whose first byte is at start in the stream of the file.
bool CRezMgr::Record_Size(const RezRecord& record, CRezPackMap& map, const std::string& file, CStream* stream,
                          uint32_t start, uint32_t& size) {
  if (record.flags & kRezFlagSizeReader) {
    if (!m_Size_Reader) {
      REZ_ERROR("Allocate_Resource: Resource ID (%x) needs a size reader.\n", record.id);
      return false;
    }
    size = m_Size_Reader(stream);
    return stream->SeekTo(start);
  }
  uint32_t length = 0;
  if (!stream->GetLen(&length)) {
    Report_File_Problem(__LINE__, file,
                        "Allocate_Resource: Resource ID (%x): the length of its file %s cannot be read.\n", record.id,
                        file.c_str());
    return false;
  }
  // A damaged map or a cut pack file must not make a resource ask for bytes its file lacks.
  if (length < start) {
    Report_Listed_File(__LINE__, map, map.m_Past_End_Files, file, kPastEndFiles,
                       "Allocate_Resource: Resource ID (%x) lies past the end of its file %s: it starts at byte %u "
                       "of a file of %u bytes; the file is cut short or its listing is damaged.\n",
                       record.id, file.c_str(), start, length);
    return false;
  }
  if (record.size == kRezSizeToEnd) {
    size = length - start;
    return true;
  }
  if (record.size > length - start) {
    Report_Listed_File(__LINE__, map, map.m_Past_End_Files, file, kPastEndFiles,
                       "Allocate_Resource: Resource ID (%x) runs past the end of its file %s: it needs bytes %u-%llu "
                       "of a file of %u bytes; the file is cut short or its listing is damaged.\n",
                       record.id, file.c_str(), start,
                       static_cast<unsigned long long>(uint64_t{start} + record.size - 1), length);
    return false;
  }
  size = record.size;
  return true;
}

bool CRezMgr::Load_From_Prefetch(CRezResource* resource, const RezRecord& record, CRezPackMap& map,
                                 int32_t extra_offset, bool& found) {
  CRezLockScope<CCriticalSection> manager(m_Manager_Lock);
  CRezPrefetchEntry* entry = m_Prefetch.Find_Entry(resource->m_Resource_ID, extra_offset);
  found = entry != nullptr;
  if (!entry) return false;
  entry->m_Last_Use = Frame_Stamp();
  CRezChunkPool& pool = m_Prefetch.Pool(entry->m_Run->m_Pool);
  CRezLockScope<CCriticalSection> pool_hold(pool.m_Lock);
  if (pool.m_Depth >= CRezChunkPool::kMaxDepth) return false;
  uint32_t position = 0;
  pool.m_Stream->GetPos(&position);
  pool.m_Saved_Positions[pool.m_Depth++] = position;
  uint32_t start = entry->m_Run->m_First_Chunk * pool.m_Chunk_Size;
  bool ok = pool.m_Stream->SeekTo(start);
  uint32_t size = entry->m_Size;
  if (ok && record.size != kRezSizeToEnd && record.size < size) size = record.size;
  if (ok) {
    const std::string file = map.File_Name(record);
    ok = (record.flags & kRezFlagCompressed) ? Load_Compressed(resource, record, file, pool.m_Stream, size)
                                             : Run_Load(resource, file, pool.m_Stream, &size);
  }
  if (ok) resource->m_Loaded = 1;
  if (--pool.m_Depth > 0) pool.m_Stream->SeekTo(pool.m_Saved_Positions[pool.m_Depth]);
  return ok;
}

bool CRezMgr::Load_From_File(CRezResource* resource, const RezRecord& record, CRezPackMap& map,
                             int32_t extra_offset) {
  CRezLockScope<CCriticalSection> map_hold(map.Lock());
  plat::Open_Result opened = plat::Open_Result::Opened;
  std::string reason;
  CRezFileSlot* slot = map.Get_File(record, Frame_Stamp(), &opened, &reason);
  const std::string file = map.File_Name(record);
  if (!slot || !slot->m_Stream) {
    if (!slot) {
      Report_File_Problem(__LINE__, file, "Allocate_Resource: File (%s) not found.\n", file.c_str());
    } else if (opened == plat::Open_Result::Missing) {
      Report_Missing_File(map, file);
    } else {
      Report_File_Problem(__LINE__, file, "Allocate_Resource: File (%s) was not opened: %s.\n", file.c_str(),
                          reason.c_str());
    }
    return false;
  }
  CRezLockScope<CCriticalSection> slot_hold(slot->m_Lock);
  if (!slot->Push_Position()) {
    REZ_ERROR("Allocate_Resource: File (%s) is in use too deeply.\n", map.File_Name(record).c_str());
    return false;
  }
  uint64_t start = uint64_t{record.offset} + (extra_offset != -1 ? static_cast<uint32_t>(extra_offset) : 0u);
  uint32_t size = 0;
  bool ok = start <= 0xFFFFFFFFu && slot->m_Stream->SeekTo(static_cast<uint32_t>(start)) &&
            Record_Size(record, map, file, slot->m_Stream, static_cast<uint32_t>(start), size);
  if (ok) {
    ok = (record.flags & kRezFlagCompressed) ? Load_Compressed(resource, record, file, slot->m_Stream, size)
                                             : Run_Load(resource, file, slot->m_Stream, &size);
  }
  if (ok) resource->m_Loaded = 1;
  slot->Pop_Position();
  return ok;
}

bool CRezMgr::Run_Load(CRezResource* resource, const std::string& file, CStream* stream, uint32_t* size) {
  // Words an enclosing load noted are kept for it; a nested load's own are taken by its report.
  const std::string outer = Rez_Take_Refusal();
  // The loader is shown the record's bytes and nothing after them.
  CRezRecordStream record(stream, *size);
  const bool ok = resource->Load(&record, size);
  const std::string reason = Rez_Take_Refusal();
  if (!outer.empty()) Rez_Note_Refusal(outer);
  if (!ok) {
    Report_Refused(__LINE__, "Allocate_Resource", resource->m_Resource_ID, file,
                   reason.empty() ? "its loader did not accept its bytes" : reason);
  }
  return ok;
}

void CRezMgr::Note_Refused_Id(uint32_t id) {
  CRezLockScope<CCriticalSection> hold(m_Report_Lock);
  m_Refused_Ids.insert(id);
}

bool CRezMgr::Bytes_Refused(uint32_t id) {
  CRezLockScope<CCriticalSection> hold(m_Report_Lock);
  return m_Refused_Ids.count(id) > 0;
}

void CRezMgr::Report_Refused(int line, const char* who, uint32_t id, const std::string& file,
                             const std::string& reason) {
  Note_Refused_Id(id);
  Report_Refused_Bytes(line, id, file, "%s: Resource ID (%x) in %s was refused: %s.\n", who, id, file.c_str(),
                       reason.c_str());
}

void CRezMgr::Report_Refusal(const char* who, uint32_t id, const std::string& reason) {
  CRezPackMap* map = nullptr;
  const RezRecord* record = FindRecord(id, &map);
  if (record) {
    Report_Refused(__LINE__, who, id, map->File_Name(*record), reason);
    return;
  }
  // A resource no listing holds (made by its user) is named once by its id.
  Note_Refused_Id(id);
  char key[32];
  std::snprintf(key, sizeof key, "Resource ID (%x)", id);
  Report_File_Problem(__LINE__, key, "%s: Resource ID (%x) was refused: %s.\n", who, id, reason.c_str());
}

// Reads size compressed bytes from the stream's position, expands them and loads the
// resource from the expanded bytes.
bool CRezMgr::Load_Compressed(CRezResource* resource, const RezRecord& record, const std::string& file,
                              CStream* source, uint32_t size) {
  const uint32_t id = resource->m_Resource_ID;
  const uint8_t* packed = nullptr;
  if (source->GetData()) {
    // A memory stream (a prefetched chunk) is expanded in place.
    uint32_t position = 0;
    uint32_t length = 0;
    if (!source->GetPos(&position) || !source->GetLen(&length) || length - position < size) return false;
    packed = static_cast<const uint8_t*>(source->GetData());
  } else {
    uint32_t before = 0;
    uint32_t after = 0;
    bool ok = source->GetPos(&before) && m_Prefetch_Buffer->SeekTo(0) &&
              m_Prefetch_Buffer->WriteStream(source, 0, static_cast<int32_t>(size)) &&
              source->GetPos(&after) && after - before == size;
    if (!ok && size > 0) {
      Report_File_Problem(__LINE__, file, "Allocate_Resource: Resource ID (%x) in %s is cut short.\n", id,
                          file.c_str());
      return false;
    }
    m_Prefetch_Buffer->SeekTo(0);
    packed = static_cast<const uint8_t*>(m_Prefetch_Buffer->GetData());
  }
  // A load nested inside another load's Load gets its own expansion buffer, so the outer
  // load's expanded bytes stay intact.
  CMemoryStream* destination = m_Decompress_Buffer;
  CMemoryStream* nested = nullptr;
  {
    CRezLockScope<CCriticalSection> hold(m_Manager_Lock);
    if (m_Decompress_Busy) {
      nested = CreateMemoryStream(0);
      if (!nested) return false;
      destination = nested;
    } else {
      m_Decompress_Busy = true;
    }
  }
  uint32_t expanded = 0;
  const CRezTypeHandler* judge = record.type < kRezTypeCount ? m_Handlers[record.type] : nullptr;
  RezExpansion expansion;
  bool ok = Expand(packed, size, *destination, judge, expanded, expansion);
  if (!ok) Report_Expansion_Failure(id, record.type, file, expansion);
  ok = ok && Run_Load(resource, file, destination, &expanded);
  if (nested) {
    nested->Release();
  } else {
    CRezLockScope<CCriticalSection> hold(m_Manager_Lock);
    Give_Back_Spare(m_Decompress_Buffer, m_Decompress_Initial);
    if (!source->GetData()) Give_Back_Spare(m_Prefetch_Buffer, m_Prefetch_Initial);
    m_Decompress_Busy = false;
  }
  return ok;
}

// A buffer that one large record grew past what ordinary loads use is given back for a fresh
// one of its first size; smaller ones are kept for the next load.
void CRezMgr::Give_Back_Spare(CMemoryStream*& buffer, uint32_t initial) {
  uint32_t length = 0;
  if (!buffer || !buffer->GetLen(&length) || length <= std::max<uint64_t>(initial, kKeptBufferLimit)) return;
  CMemoryStream* fresh = CreateMemoryStream(initial);
  if (!fresh) return;
  buffer->Release();
  buffer = fresh;
}

// Inflates into the destination a piece at a time. While the expansion is kept, its type is
// shown the bytes so far after each piece until it tells how many it can hold (a head its loader
// refuses stops the expansion at once); past that many (and the allowance after them) the
// expansion stops. Past kExpandDirectLimit bytes the rest is only counted, not kept, until the
// stream ends or passes the bound (so a small resource that would expand without end costs no
// more memory than that); a stream that ends within the bound is then inflated again straight
// into a buffer of its now known size. A stream that ends early or is damaged fails with
// zlib's code.
bool CRezMgr::Expand(const uint8_t* source, uint32_t source_length, CMemoryStream& destination,
                     const CRezTypeHandler* judge, uint32_t& expanded, RezExpansion& expansion) {
  expansion = RezExpansion{};
  expansion.code = Z_STREAM_ERROR;
  expansion.compressed = source_length;
  expansion.most = Most_Expanded(source_length);
  if (!source || !destination.SeekTo(0)) return false;
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return false;
  zs.next_in = const_cast<Bytef*>(source);
  zs.avail_in = source_length;
  // One piece buffer per thread, kept between loads: a fresh one for every resource would cost
  // a zero fill and a map and unmap of its pages at each load.
  thread_local std::vector<uint8_t> piece;
  if (piece.size() != kExpandPieceSize) piece.resize(kExpandPieceSize);
  RezExpansionBound& bound = expansion.bound;
  bound = judge ? RezExpansionBound::Need_More() : RezExpansionBound::Holds(kRezDefaultExpansionLimit, "");
  uint64_t total = 0;
  bool kept = true;
  int code = Z_OK;
  while (code == Z_OK) {
    zs.next_out = piece.data();
    zs.avail_out = static_cast<uInt>(piece.size());
    code = inflate(&zs, Z_NO_FLUSH);
    const uint32_t produced = static_cast<uint32_t>(piece.size() - zs.avail_out);
    total += produced;
    if (kept && produced > 0 && destination.Write(piece.data(), produced) != produced) {
      code = Z_MEM_ERROR;
      break;
    }
    if (bound.verdict == RezExpansionBound::Verdict::Need_More) {
      // Once the bytes are no longer kept the type cannot be asked again: the general bound holds.
      // The stream's data pointer is at its position, just past the bytes kept.
      const uint8_t* head = static_cast<const uint8_t*>(destination.GetData()) - total;
      if (kept && total > 0) bound = judge->Expansion_Bound(head, total);
      if (!kept) bound = RezExpansionBound::Holds(kRezDefaultExpansionLimit, "");
      // A resource is handed to its loader in one stream of at most 4 GB: a larger one is refused now.
      if (bound.verdict == RezExpansionBound::Verdict::Holds && bound.bytes > kMaxStreamBytes) {
        bound = RezExpansionBound::Refused(bound.what + " is more than the 4294967295 bytes a resource can hold");
      }
      if (bound.verdict == RezExpansionBound::Verdict::Refused) break;
      // A head that needs more bytes than the whole stream can give is refused without them.
      if (bound.verdict == RezExpansionBound::Verdict::Holds && bound.needs > expansion.most) {
        expansion.needs_past_stream = true;
        break;
      }
    }
    if (bound.verdict == RezExpansionBound::Verdict::Holds) {
      expansion.limit = std::min(kMaxStreamBytes, bound.bytes + (bound.what.empty() ? 0 : kRezTrailingAllowance));
      if (total > expansion.limit) {
        expansion.over = true;
        break;
      }
    }
    if (total > kExpandDirectLimit) kept = false;
    // No progress with input left and room to write means the data ends early.
    if (code == Z_OK && produced == 0 && zs.avail_in == 0) code = Z_BUF_ERROR;
  }
  // A stream that ends short of what its head states is refused now: its loader would refuse it
  // after the bytes were inflated again and copied.
  expansion.expanded = total;
  expansion.short_of_needs = code == Z_STREAM_END && bound.verdict == RezExpansionBound::Verdict::Holds &&
                             total < bound.needs;
  const bool stopped = expansion.over || expansion.short_of_needs || expansion.needs_past_stream ||
                       bound.verdict == RezExpansionBound::Verdict::Refused;
  if (!stopped && code == Z_STREAM_END && !kept) code = Inflate_Whole(zs, source, source_length, destination, total);
  inflateEnd(&zs);
  expansion.code = code;
  if (stopped || code != Z_STREAM_END) return false;
  expanded = static_cast<uint32_t>(total);
  return destination.SeekTo(0);
}

void CRezMgr::Report_Expansion_Failure(uint32_t id, uint8_t type, const std::string& file,
                                       const RezExpansion& expansion) {
  // Memory that ran out may be there at a later request; what the bytes hold will not change.
  if (expansion.code != Z_MEM_ERROR) Note_Refused_Id(id);
  const RezExpansionBound& bound = expansion.bound;
  if (bound.verdict == RezExpansionBound::Verdict::Refused) {
    Report_Refused(__LINE__, "Allocate_Resource", id, file, bound.what);
  } else if (expansion.short_of_needs) {
    // In the loader's words: what the head says it needs, and the bytes that follow.
    const uint64_t follow = expansion.expanded - std::min(expansion.expanded, bound.needs_from);
    Report_Refused(__LINE__, "Allocate_Resource", id, file,
                   bound.needs_what + " where " + std::to_string(follow) + " follow");
  } else if (expansion.needs_past_stream) {
    const uint64_t most = expansion.most - std::min(expansion.most, bound.needs_from);
    Report_Refused(__LINE__, "Allocate_Resource", id, file,
                   bound.needs_what + " where no more than " + std::to_string(most) + " can follow from its " +
                       std::to_string(expansion.compressed) + " compressed bytes");
  } else if (expansion.over && !bound.what.empty()) {
    Report_Refused_Bytes(__LINE__, id, file,
                        "Allocate_Resource: Resource ID (%x) in %s expands past %llu bytes, more than its %s and "
                        "%llu bytes after them; refused.\n",
                        id, file.c_str(), static_cast<unsigned long long>(expansion.limit), bound.what.c_str(),
                        static_cast<unsigned long long>(kRezTrailingAllowance));
  } else if (expansion.over) {
    Report_Refused_Bytes(__LINE__, id, file,
                        "Allocate_Resource: Resource ID (%x) in %s expands past %llu bytes, more than a %s may "
                        "hold; refused.\n",
                        id, file.c_str(), static_cast<unsigned long long>(expansion.limit), Type_Name(type));
  } else {
    Report_Refused_Bytes(__LINE__, id, file,
                        "Allocate_Resource: Resource ID (%x) does not expand (zlib error %d): its compressed data in "
                        "%s %s.\n",
                        id, expansion.code, file.c_str(), Zlib_Failure(expansion.code));
  }
}

uint32_t CRezMgr::Frame_Stamp() { return Timer_GetFrameStamp(); }

uint64_t CRezMgr::Load_Buffer_Bytes() const {
  uint64_t total = 0;
  for (CMemoryStream* buffer : {m_Prefetch_Buffer, m_Decompress_Buffer}) {
    uint32_t length = 0;
    if (buffer && buffer->GetLen(&length)) total += length;
  }
  return total;
}

CFileStream* CRezMgr::OpenRawFile(uint32_t id) {
  CRezPackMap* map = nullptr;
  const RezRecord* record = FindRecord(id, &map);
  if (!record) return nullptr;
  std::string name = map->File_Name(*record);
  plat::Open_Result opened = plat::Open_Result::Failed;
  std::string reason;
  CFileStream* stream = OpenStream(name.c_str(), "rb", &opened, &reason);
  if (!stream) {
    if (opened == plat::Open_Result::Missing) {
      Report_File_Problem(__LINE__, name, "OpenRawFile: File (%s) not found.\n", name.c_str());
    } else {
      Report_File_Problem(__LINE__, name, "OpenRawFile: File (%s) was not opened: %s.\n", name.c_str(), reason.c_str());
    }
    return nullptr;
  }
  if (record->offset != 0 && !stream->SeekTo(record->offset)) {
    stream->Release();
    return nullptr;
  }
  return stream;
}

void CRezMgr::CloseRawFile(CStream* stream) {
  if (stream) stream->Release();
}

void CRezMgr::CloseRawFile(uint32_t id, CStream* stream) {
  (void)id;
  CloseRawFile(stream);
}
