#include "runtime/src/libksresource/rez_pack_map.h"

#include <cstring>

#include "runtime/src/core/streams.h"

bool CRezFileSlot::Push_Position() {
  if (m_Depth >= kMaxDepth || !m_Stream) return false;
  uint32_t position = 0;
  m_Stream->GetPos(&position);
  m_Saved_Positions[m_Depth++] = position;
  return true;
}

void CRezFileSlot::Pop_Position() {
  if (m_Depth <= 0) return;
  --m_Depth;
  if (m_Depth > 0 && m_Stream) m_Stream->SeekTo(m_Saved_Positions[m_Depth]);
}

CRezPackMap::CRezPackMap(const std::string& root, RezMapData&& data, int set)
    : m_Root(root), m_Data(std::move(data)), m_Set(set) {}

CRezPackMap::~CRezPackMap() {
  for (CRezFileSlot& slot : m_Slots) {
    if (slot.m_Stream) slot.m_Stream->Release();
    slot.m_Stream = nullptr;
  }
}

const RezRecord* CRezPackMap::Find(uint32_t id) const {
  const RezMapBucket& bucket = m_Data.buckets[Rez_Map_Bucket(id)];
  size_t first = bucket.first_offset / kRezRecordSize;
  for (size_t i = first; i < first + bucket.count; ++i) {
    if (m_Data.records[i].id == id) return &m_Data.records[i];
  }
  return nullptr;
}

std::string CRezPackMap::File_Name(const RezRecord& record) const {
  return Rez_Record_File_Name(m_Root, m_Data, record);
}

std::string Rez_Record_File_Name(const std::string& root, const RezMapData& data, const RezRecord& record) {
  std::string name = root;
  for (int i = 0; i < kRezMaxPathComponents && record.components[i] != 0; ++i) {
    const char* text = data.Component(record.components[i]);
    if (!text) break;
    if (i > 0) name += '/';
    name += text;
  }
  return name;
}

int CRezPackMap::Bucket_Of(const uint16_t* components) {
  int sum = 0;
  for (int i = 0; i < kRezMaxPathComponents; ++i) sum += components[i];
  return sum & (kSlotBuckets - 1);
}

CRezFileSlot* CRezPackMap::Find_Slot(const uint16_t* components, int bucket) {
  for (CRezFileSlot* slot = m_Buckets[bucket]; slot; slot = slot->m_Next) {
    if (std::memcmp(slot->m_Components, components, sizeof slot->m_Components) == 0) return slot;
  }
  return nullptr;
}

CRezFileSlot* CRezPackMap::Take_Free_Slot() {
  for (CRezFileSlot& slot : m_Slots) {
    if (!slot.m_Stream) {
      --m_Free_Slots;
      return &slot;
    }
  }
  return nullptr;
}

void CRezPackMap::Unlink(CRezFileSlot* slot) {
  for (CRezFileSlot** link = &m_Buckets[Bucket_Of(slot->m_Components)]; *link; link = &(*link)->m_Next) {
    if (*link == slot) {
      *link = slot->m_Next;
      break;
    }
  }
  slot->m_Next = nullptr;
}

// The least recently stamped slot that no load is using (the earlier slot on a tie).
CRezFileSlot* CRezPackMap::Evict_Slot() {
  CRezFileSlot* victim = nullptr;
  for (CRezFileSlot& slot : m_Slots) {
    if (slot.m_Depth == 0 && (!victim || slot.m_Last_Use < victim->m_Last_Use)) victim = &slot;
  }
  if (!victim) return nullptr;
  CRezLockScope<CCriticalSection> hold(victim->m_Lock);
  Unlink(victim);
  if (victim->m_Stream) victim->m_Stream->Release();
  victim->m_Stream = nullptr;
  return victim;
}

CRezFileSlot* CRezPackMap::Get_File(const RezRecord& record, uint32_t frame_stamp, plat::Open_Result* result,
                                     std::string* reason) {
  if (result) *result = plat::Open_Result::Opened;
  int bucket = Bucket_Of(record.components);
  if (CRezFileSlot* hit = Find_Slot(record.components, bucket)) {
    hit->m_Last_Use = frame_stamp;
    return hit;
  }
  std::string name = File_Name(record);
  CRezFileSlot* slot = m_Free_Slots > 0 ? Take_Free_Slot() : Evict_Slot();
  if (!slot) return nullptr;
  std::memcpy(slot->m_Components, record.components, sizeof slot->m_Components);
  slot->m_Last_Use = frame_stamp;
  slot->m_Next = m_Buckets[bucket];
  m_Buckets[bucket] = slot;
  slot->m_Stream = OpenStream(name.c_str(), "rb", result, reason);
  if (!slot->m_Stream) {
    Unlink(slot);
    ++m_Free_Slots;
  }
  return slot;
}
