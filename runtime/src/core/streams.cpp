#include "runtime/src/core/streams.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <new>
#include <stdexcept>

#include "platform/system/debug.h"

namespace {

constexpr uint32_t kCopyPieceSize = 512;
constexpr uint32_t kMaxStringLength = 0xFFFF;

}  // namespace

// ---------------------------------------------------------------------------------------------
// CStream

void CStream::Release() { delete this; }

bool CStream::SkipBytes(uint32_t count) {
  uint8_t dropped = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (Read(&dropped, 1) != 1) return false;
  }
  return true;
}

bool CStream::ReadString(char* buffer, uint32_t size) {
  if (buffer == nullptr) size = 0;
  if (size > 0) buffer[0] = '\0';

  uint16_t length = 0;
  if (Read(&length, sizeof(length)) != sizeof(length)) return false;
  if (length == 0) return true;
  if (size == 0) return SkipBytes(length);

  const uint32_t kept = std::min<uint32_t>(length, size - 1);
  const uint32_t got = kept == 0 ? 0 : Read(buffer, kept);
  buffer[std::min(got, kept)] = '\0';
  if (got != kept) return false;
  return SkipBytes(length - kept);
}

bool CStream::WriteString(const char* text) {
  if (text == nullptr) return false;
  const size_t length = std::strlen(text);
  if (length > kMaxStringLength) return false;

  const uint16_t prefix = static_cast<uint16_t>(length);
  if (Write(&prefix, sizeof(prefix)) != sizeof(prefix)) return false;
  if (length == 0) return true;
  return Write(text, prefix) == prefix;
}

bool CStream::ResolveCopyRange(CStream* source, int32_t from, int32_t to, uint32_t* count) {
  if (from == -1) from = 0;
  if (to == -1) {
    uint32_t length = 0;
    if (!source->GetLen(&length) || length > static_cast<uint32_t>(INT32_MAX)) return false;
    to = static_cast<int32_t>(length);
  }
  if (from < 0 || to < from) return false;
  *count = static_cast<uint32_t>(to - from);
  return true;
}

bool CStream::WriteStream(CStream* source, int32_t from, int32_t to) {
  if (source == nullptr) return false;
  uint32_t remaining = 0;
  if (!ResolveCopyRange(source, from, to, &remaining)) return false;

  uint8_t piece[kCopyPieceSize];
  while (remaining > 0) {
    const uint32_t want = std::min(remaining, kCopyPieceSize);
    const uint32_t got = source->Read(piece, want);
    if (got == 0 || got > want) return false;
    if (Write(piece, got) != got) return false;
    remaining -= got;
  }
  return source->IsOK() && IsOK();
}

void* CStream::GetData() { return nullptr; }

// ---------------------------------------------------------------------------------------------
// CFileStream

CFileStream::~CFileStream() {
  if (m_File != nullptr) std::fclose(m_File);
}

uint32_t CFileStream::Read(void* buffer, uint32_t length) {
  if (m_File == nullptr) return 0;
  if (length == 0) return 1;
  if (buffer == nullptr) return 0;
  return static_cast<uint32_t>(std::fread(buffer, 1, length, m_File));
}

bool CFileStream::SeekTo(uint32_t offset) {
  if (m_File == nullptr) return false;
  return std::fseek(m_File, static_cast<long>(offset), SEEK_SET) == 0;
}

bool CFileStream::GetPos(uint32_t* pos) {
  if (pos == nullptr) return false;
  if (m_File == nullptr) {
    *pos = 0;
    return false;
  }
  const long where = std::ftell(m_File);
  if (where < 0 || where > static_cast<long>(UINT32_MAX)) {
    *pos = UINT32_MAX;
    return false;
  }
  *pos = static_cast<uint32_t>(where);
  return true;
}

bool CFileStream::GetLen(uint32_t* len) {
  if (len == nullptr) return false;
  *len = 0;
  if (m_File == nullptr) return false;
  const long here = std::ftell(m_File);
  if (here < 0 || std::fseek(m_File, 0, SEEK_END) != 0) return false;
  const long end = std::ftell(m_File);
  const bool back = std::fseek(m_File, here, SEEK_SET) == 0;
  if (end < 0 || end > static_cast<long>(UINT32_MAX) || !back) return false;
  *len = static_cast<uint32_t>(end);
  return true;
}

uint32_t CFileStream::Write(const void* data, uint32_t length) {
  if (m_File == nullptr) return 0;
  if (length == 0) return 1;
  if (data == nullptr) return 0;
  return static_cast<uint32_t>(std::fwrite(data, 1, length, m_File));
}

CFileStream* OpenStream(const char* path, const char* mode, plat::Open_Result* result,
                        std::string* reason) {
  plat::Open_Result found = plat::Open_Result::Failed;
  FILE* file = nullptr;
  if (path != nullptr && mode != nullptr) {
    if (mode[0] == 'r') {
      found = plat::Open_Regular_File(path, mode, &file, reason);
    } else {
      file = std::fopen(path, mode);
      found = file != nullptr ? plat::Open_Result::Opened : plat::Open_Result::Failed;
      if (file == nullptr && reason != nullptr) *reason = std::strerror(errno);
    }
  }
  if (result != nullptr) *result = found;
  if (file == nullptr) return nullptr;
  auto* stream = new (std::nothrow) CFileStream(file);
  if (stream == nullptr) {
    std::fclose(file);
    if (result != nullptr) *result = plat::Open_Result::Unavailable;
    if (reason != nullptr) *reason = "out of memory";
  }
  return stream;
}

CFileStream* OpenStream(const char* path, const char* mode) {
  plat::Open_Result result = plat::Open_Result::Failed;
  std::string reason;
  CFileStream* stream = OpenStream(path, mode, &result, &reason);
  if (result == plat::Open_Result::Not_Regular) {
    const std::string line = std::string(path) + " was not opened: " + reason;
    plat::Error_Output(line.c_str());
  }
  return stream;
}

// ---------------------------------------------------------------------------------------------
// CMemoryStream

bool CMemoryStream::Init(uint32_t size) {
  m_Pos = 0;
  m_Error = false;
  m_Block.clear();
  return EnsureSize(size);
}

bool CMemoryStream::EnsureSize(uint64_t size) {
  if (size > UINT32_MAX) return false;
  if (size <= m_Block.size()) return true;
  try {
    m_Block.resize(static_cast<size_t>(size), 0);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

uint32_t CMemoryStream::Read(void* buffer, uint32_t length) {
  if (length == 0) return 1;
  if (buffer == nullptr) return 0;
  const uint32_t size = static_cast<uint32_t>(m_Block.size());
  if (m_Pos >= size) {
    m_Error = true;
    m_Pos = size;
    std::memset(buffer, 0, length);
    return 0;
  }
  const uint32_t count = std::min(length, size - m_Pos);
  std::memcpy(buffer, m_Block.data() + m_Pos, count);
  std::memset(static_cast<uint8_t*>(buffer) + count, 0, length - count);
  m_Pos += count;
  return count;
}

bool CMemoryStream::SeekTo(uint32_t offset) {
  if (offset > m_Block.size()) return false;
  m_Pos = offset;
  return true;
}

bool CMemoryStream::GetPos(uint32_t* pos) {
  if (pos == nullptr) return false;
  *pos = m_Pos;
  return true;
}

bool CMemoryStream::GetLen(uint32_t* len) {
  if (len == nullptr) return false;
  *len = static_cast<uint32_t>(m_Block.size());
  return true;
}

// Reads straight from the source into the block at the current position; the position stays.
// Unlike a plain copy this demands the whole range: a short source is a failure.
bool CMemoryStream::WriteStream(CStream* source, int32_t from, int32_t to) {
  if (source == nullptr || source == this) return false;
  uint32_t count = 0;
  if (!ResolveCopyRange(source, from, to, &count)) return false;
  if (!EnsureSize(static_cast<uint64_t>(m_Pos) + count)) return false;
  const uint32_t got = source->Read(m_Block.data() + m_Pos, count);
  const bool complete = count == 0 ? got != 0 : got == count;
  return complete && source->IsOK() && IsOK();
}

uint32_t CMemoryStream::Write(const void* data, uint32_t length) {
  if (length == 0 || data == nullptr) return 0;
  if (!EnsureSize(static_cast<uint64_t>(m_Pos) + length)) return 0;
  std::memcpy(m_Block.data() + m_Pos, data, length);
  m_Pos += length;
  return length;
}

void* CMemoryStream::GetData() { return m_Block.data() + m_Pos; }

CMemoryStream* CreateMemoryStream(uint32_t size) {
  auto* stream = new (std::nothrow) CMemoryStream();
  if (stream == nullptr) return nullptr;
  if (!stream->Init(size)) {
    delete stream;
    return nullptr;
  }
  return stream;
}
