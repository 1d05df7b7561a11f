// The track file of a run: its reading, the lanes of light walls it asks for, and their end.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/sim/CMusic_Track.h"
#include "game/targets/CStruct_Light_Wall.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"

namespace {

constexpr uint32_t kVersion = 1;
constexpr size_t kEvent_Bytes = 24;
constexpr size_t kPoint_Bytes = 12;
constexpr size_t kSection_Bytes = 4;
// Events happen this much ahead of their place in the music.
constexpr float kLead_Seconds = 0.15f;
constexpr float kEdge_Seconds = 0.001f;
// No track file comes near this size; a record claiming more is damaged.
constexpr uint32_t kMax_File_Bytes = 64u << 20;

constexpr float kLane_Colours[4][4] = {
    {1.0f, 0.7f, 0.6f, 0.1f},
    {1.0f, 0.2f, 0.2f, 0.7f},
    {1.0f, 0.7f, 0.3f, 0.7f},
    {1.0f, 0.2f, 0.6f, 0.7f},
};

// Little-endian reads that never pass the end of the bytes.
class Track_Reader {
 public:
  Track_Reader(const uint8_t* data, size_t size) : m_Data(data), m_Left(size) {}

  bool U32(uint32_t& value) {
    if (m_Left < 4) return false;
    value = static_cast<uint32_t>(m_Data[0]) | (static_cast<uint32_t>(m_Data[1]) << 8) |
            (static_cast<uint32_t>(m_Data[2]) << 16) | (static_cast<uint32_t>(m_Data[3]) << 24);
    m_Data += 4;
    m_Left -= 4;
    return true;
  }
  bool F32(float& value) {
    uint32_t bits = 0;
    if (!U32(bits)) return false;
    std::memcpy(&value, &bits, sizeof(value));
    return true;
  }
  // True when count records of the size can still be in the bytes left.
  bool Room_For(uint32_t count, size_t record_bytes) const { return count <= m_Left / record_bytes; }

 private:
  const uint8_t* m_Data;
  size_t m_Left;
};

bool Fail(std::string* error, const char* cause) {
  if (error) *error = cause;
  return false;
}

bool Read_Point(Track_Reader& reader, CTrack_Point& point, std::string* error) {
  if (!reader.U32(point.action) || !reader.F32(point.time) || !reader.U32(point.argument))
    return Fail(error, "the file ends inside a point");
  if (!std::isfinite(point.time)) return Fail(error, "a point's time is not a number");
  return true;
}

bool Read_Event(Track_Reader& reader, float length, CTrack_Event& event, std::string* error) {
  float start = 0.0f, end = 0.0f;
  uint32_t point_count = 0;
  if (!reader.U32(event.kind) || !reader.U32(event.sub_kind) || !reader.U32(event.parameter) ||
      !reader.F32(start) || !reader.F32(end) || !reader.U32(point_count))
    return Fail(error, "the file ends inside an event");
  if (!std::isfinite(start) || !std::isfinite(end)) return Fail(error, "an event's time is not a number");
  event.start = std::max(start * length - kLead_Seconds, kEdge_Seconds);
  event.end = std::min(end * length - kLead_Seconds, length - kEdge_Seconds);
  // An end before the start would never be passed by the walk: the event ends as it starts.
  if (event.end < event.start) event.end = event.start;
  if (!reader.Room_For(point_count, kPoint_Bytes)) return Fail(error, "a point count passes the end of the file");
  event.points.resize(point_count);
  for (CTrack_Point& point : event.points)
    if (!Read_Point(reader, point, error)) return false;
  std::stable_sort(event.points.begin(), event.points.end(),
                   [](const CTrack_Point& a, const CTrack_Point& b) { return a.time < b.time; });
  return true;
}

bool Read_Section(Track_Reader& reader, float length, CTrack_Section& section, std::string* error) {
  uint32_t event_count = 0;
  if (!reader.U32(event_count)) return Fail(error, "the file ends inside a section");
  if (!reader.Room_For(event_count, kEvent_Bytes)) return Fail(error, "an event count passes the end of the file");
  section.events.resize(event_count);
  for (CTrack_Event& event : section.events)
    if (!Read_Event(reader, length, event, error)) return false;
  // The walk stops at the first event ahead of the clock, so the events go in order of start.
  std::stable_sort(section.events.begin(), section.events.end(),
                   [](const CTrack_Event& a, const CTrack_Event& b) { return a.start < b.start; });
  return true;
}

// The bytes of the record the stream stands at: its size, or the rest of its file.
bool Read_Record(CStream* stream, const RezRecord& record, std::vector<uint8_t>& bytes) {
  uint32_t size = record.size;
  if (size == kRezSizeToEnd) {
    uint32_t file_length = 0;
    if (!stream->GetLen(&file_length) || file_length < record.offset) return false;
    size = file_length - record.offset;
  }
  if (size > kMax_File_Bytes) return false;
  bytes.resize(size);
  return size == 0 || stream->Read(bytes.data(), size) == size;
}

}  // namespace

bool CMusic_Track::Load_TrackFile(const uint32_t& id) {
  if (!g_pRezMgr) return false;
  CRezPackMap* map = nullptr;
  const RezRecord* record = g_pRezMgr->FindRecord(id, &map);
  if (!record) return false;
  if (record->flags & kRezFlagCompressed) {
    Show_Message("Load_TrackFile: Error - Compressed track file (0x%08x)", id);
    return false;
  }
  const RezRecord found = *record;
  CStream* stream = g_pRezMgr->OpenRawFile(id);
  if (!stream) return false;
  std::vector<uint8_t> bytes;
  const bool read = Read_Record(stream, found, bytes);
  g_pRezMgr->CloseRawFile(id, stream);
  if (!read) {
    Show_Message("Load_TrackFile: Error - Unreadable track file (0x%08x)", id);
    return false;
  }
  std::string error;
  if (Load_Track_Bytes(bytes.data(), bytes.size(), &error)) return true;
  if (error == "Invalid File Version")
    Show_Message("Load_TrackFile: Error - Invalid File Version");
  else
    Show_Message("Load_TrackFile: Error - %s (0x%08x)", error.c_str(), id);
  return false;
}

bool CMusic_Track::Load_Track_Bytes(const uint8_t* data, size_t size, std::string* error) {
  Track_Reader reader(data, data ? size : 0);
  uint32_t version = 0;
  if (!reader.U32(version)) return Fail(error, "the file ends inside its header");
  if (version != kVersion) return Fail(error, "Invalid File Version");

  m_Track_Mode = 0;
  m_Lane_Count = 0;
  m_Length = 0.0f;
  m_Sections.clear();
  uint32_t mode = 0, lanes = 0, section_count = 0;
  float length = 0.0f;
  if (!reader.U32(mode) || !reader.U32(lanes) || !reader.U32(section_count) || !reader.F32(length))
    return Fail(error, "the file ends inside its header");
  if (!std::isfinite(length) || length <= 0.0f) return Fail(error, "the track's length is not a positive number");
  if (!reader.Room_For(section_count, kSection_Bytes))
    return Fail(error, "the section count passes the end of the file");
  std::vector<CTrack_Section> sections(section_count);
  for (CTrack_Section& section : sections)
    if (!Read_Section(reader, length, section, error)) return false;
  m_Track_Mode = static_cast<int32_t>(mode);
  m_Lane_Count = lanes;
  m_Length = length;
  m_Sections = std::move(sections);
  return true;
}

bool CMusic_Track::Setup_Lanes() {
  if (m_Track_Mode == 0) return true;
  if (m_Track_Mode != 1) return false;
  CObject_Pool* pool = g_Object_Pools[kLight_Wall_Type];
  const float x_size = g_World.m_Terrain.size_x;
  const float z_size = g_World.m_Terrain.size_z;
  const float height = g_Camera.Position().y;
  const float near_z = 0.4f * z_size;
  const float far_z = 0.95f * z_size;
  const float lanes = static_cast<float>(m_Lane_Count);
  for (uint32_t lane = 0; lane < m_Lane_Count; ++lane) {
    for (int side = 0; side < 2; ++side) {
      CWorld_Object* object = pool ? pool->Alloc_Object() : nullptr;
      // Nothing frees a wall while the lanes are built: the rest would find the pool empty too.
      if (!object) return true;
      CStruct_Light_Wall* wall = static_cast<CStruct_Light_Wall*>(object);
      const CVector3 place{side == 0 ? x_size - 0.1f : 0.1f, height - 200.0f,
                           near_z + (far_z - near_z) / (lanes + 1.0f) * (lanes - static_cast<float>(lane))};
      if (!wall->Spawn(side == 0 ? 1 : 0, place, kLane_Colours[lane % 4])) {
        pool->Free_Object(wall);
        continue;
      }
      g_World.Add_Object(1, wall);
      wall->Set_Position(place);
    }
  }
  return true;
}

void CMusic_Track::Kill_Light_Walls() {
  for (int n = 0;; ++n) {
    CWorld_Object* wall = g_World.Find_Object_By_Type(kLight_Wall_Type, n);
    if (!wall) break;
    if (wall->m_Kill_Timer == 0.0f) wall->m_Kill_Timer = 1.0f;
  }
}
