#pragma once
// The base of every resource the resource manager loads, and the per-type handler that
// creates and destroys resources of one type.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

class CStream;

// Resource types: the index of the handler that creates them.
constexpr uint32_t kRezType_Any = 0;
constexpr uint32_t kRezType_RenderStyle = 1;
constexpr uint32_t kRezType_Texture = 2;
constexpr uint32_t kRezType_Sound = 3;
constexpr uint32_t kRezType_RenderObject = 4;
constexpr uint32_t kRezTypeCount = 5;

class CRezResource {
 public:
  CRezResource() = default;
  CRezResource(const CRezResource&) = delete;
  CRezResource& operator=(const CRezResource&) = delete;
  virtual ~CRezResource() = default;

  // Reads the resource from the stream; *size is the number of bytes that belong to it.
  virtual bool Load(CStream* stream, uint32_t* size) = 0;
  // Releases the loaded data; the object stays.
  virtual void Free() = 0;

  uint32_t m_Resource_ID = 0;
  int32_t m_Reserved = -1;
  uint32_t m_Tracked_Memory = 0;     // bytes the resource holds (kept by the concrete class)
  uint32_t m_Last_Use = 0;           // frame stamp of the last use
  uint8_t m_Managed = 0;             // made by the resource manager
  uint8_t m_Loaded = 0;              // loaded from a pack file; cleared by the purge
  uint8_t m_Type = 0;
  CRezResource* m_Next = nullptr;    // next in the manager's loaded-table bucket
};

// The most bytes a compressed record may expand to when its type says nothing about it, and
// what may follow the bytes a resource's own head states (its loaders read past neither).
constexpr uint64_t kRezDefaultExpansionLimit = 256u * 1024 * 1024;
constexpr uint64_t kRezTrailingAllowance = 1u * 1024 * 1024;

// What the type of a compressed record makes of the first bytes of its expansion: it needs more
// of them to tell, the resource holds at most `bytes` (what they are in `what`), or the loader
// would refuse the resource whatever follows (why in `what`). A head may also state bytes its
// loader cannot do without: up to `needs`, counted from `needs_from`. An expansion that ends
// sooner is refused when its stream ends, in the loader's own words: `needs_what` followed by
// " where <the bytes from needs_from> follow".
struct RezExpansionBound {
  enum class Verdict { Need_More, Holds, Refused };
  Verdict verdict = Verdict::Holds;
  uint64_t bytes = kRezDefaultExpansionLimit;
  std::string what;
  uint64_t needs = 0;
  uint64_t needs_from = 0;
  std::string needs_what;

  static RezExpansionBound Need_More() { return {Verdict::Need_More, 0, {}, 0, 0, {}}; }
  static RezExpansionBound Holds(uint64_t bytes, std::string what) {
    return {Verdict::Holds, bytes, std::move(what), 0, 0, {}};
  }
  static RezExpansionBound Refused(std::string why) { return {Verdict::Refused, 0, std::move(why), 0, 0, {}}; }
  // The same bound, with the bytes its head says the loader needs ("texture data whose 32 x 32
  // pixels need 4096 bytes", from the end of its fields).
  RezExpansionBound Needing(uint64_t end, uint64_t from, std::string words) && {
    needs = end;
    needs_from = from;
    needs_what = std::move(words);
    return std::move(*this);
  }
};

// Creates and destroys resources of one type; installed with CRezMgr::SetTypeHandler.
class CRezTypeHandler {
 public:
  virtual ~CRezTypeHandler() = default;
  // A new resource of the handler's type, or null.
  virtual CRezResource* Create() = 0;
  virtual void Destroy(CRezResource* resource) = 0;
  // How many expanded bytes a compressed resource of this type can hold, told from the first
  // `length` bytes of its expansion (all of it when the expansion ends sooner). A type that
  // cannot tell allows kRezDefaultExpansionLimit.
  virtual RezExpansionBound Expansion_Bound(const uint8_t* head, size_t length) const;
};
