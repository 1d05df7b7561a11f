#include "runtime/src/libksresource/rez_record_stream.h"

#include <algorithm>
#include <cstring>

CRezRecordStream::CRezRecordStream(CStream* stream, uint32_t size) : m_Stream(stream), m_Size(size) {
  // A stream that cannot tell its position gives no bytes at all.
  if (!m_Stream->GetPos(&m_Start)) {
    m_Size = 0;
    m_Error = true;
  }
}

uint32_t CRezRecordStream::Read(void* buffer, uint32_t length) {
  if (length == 0) return m_Stream->Read(buffer, 0);
  if (!buffer) return 0;
  uint32_t position = m_Size;
  const uint32_t count = GetPos(&position) ? std::min(length, m_Size - position) : 0;
  const uint32_t got = count > 0 ? m_Stream->Read(buffer, count) : 0;
  // What lies past the record reads as nothing, as past the end of a memory stream.
  if (got < length) {
    std::memset(static_cast<uint8_t*>(buffer) + got, 0, length - got);
    m_Error = true;
  }
  return got;
}

bool CRezRecordStream::IsOK() { return !m_Error && m_Stream->IsOK(); }

bool CRezRecordStream::SeekTo(uint32_t offset) {
  if (offset > m_Size || uint64_t{m_Start} + offset > UINT32_MAX) return false;
  return m_Stream->SeekTo(m_Start + offset);
}

bool CRezRecordStream::GetPos(uint32_t* pos) {
  uint32_t position = 0;
  if (!pos || !m_Stream->GetPos(&position) || position < m_Start || position - m_Start > m_Size) return false;
  *pos = position - m_Start;
  return true;
}

bool CRezRecordStream::GetLen(uint32_t* len) {
  if (!len) return false;
  *len = m_Size;
  return true;
}

uint32_t CRezRecordStream::Write(const void* /*data*/, uint32_t /*length*/) { return 0; }

void* CRezRecordStream::GetData() { return m_Stream->GetData(); }
