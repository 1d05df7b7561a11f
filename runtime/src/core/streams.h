#pragma once
// Byte streams that every loader reads through: one over a stdio file, one over a growable
// block of memory. Streams are made by OpenStream / CreateMemoryStream and given back with
// Release. Strings travel with a 16-bit length prefix.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/system/files.h"

class CStream {
 public:
  CStream() = default;
  CStream(const CStream&) = delete;
  CStream& operator=(const CStream&) = delete;
  virtual ~CStream() = default;

  // Gives the stream back to the system (deletes it).
  virtual void Release();

  // Reads up to length bytes; the count read, 0 on failure.
  virtual uint32_t Read(void* buffer, uint32_t length) = 0;
  // Reads a length-prefixed string into buffer (size bytes including the terminator). A text
  // longer than the buffer is cut, and the stream still moves past all of it. Fails when the
  // stream holds fewer bytes than the prefix announces.
  virtual bool ReadString(char* buffer, uint32_t size);
  virtual bool IsOK() = 0;
  // Moves to an offset from the start.
  virtual bool SeekTo(uint32_t offset) = 0;
  virtual bool GetPos(uint32_t* pos) = 0;
  virtual bool GetLen(uint32_t* len) = 0;
  // Copies to - from bytes of source, starting at source's current position, into this stream.
  // from -1 means 0, to -1 means the source's length.
  virtual bool WriteStream(CStream* source, int32_t from, int32_t to);
  // Writes length bytes; the count written.
  virtual uint32_t Write(const void* data, uint32_t length) = 0;
  // Writes a 16-bit length and then the text's bytes. Texts longer than 65535 bytes are refused.
  virtual bool WriteString(const char* text);
  // The byte at the current position for memory streams, else null.
  virtual void* GetData();

 protected:
  // Resolves WriteStream's from/to into a byte count; false when the range is invalid.
  static bool ResolveCopyRange(CStream* source, int32_t from, int32_t to, uint32_t* count);
  // Reads and drops count bytes one by one; false when the stream runs out first.
  bool SkipBytes(uint32_t count);
};

class CFileStream : public CStream {
 public:
  explicit CFileStream(FILE* file) : m_File(file) {}
  ~CFileStream() override;

  uint32_t Read(void* buffer, uint32_t length) override;
  bool IsOK() override { return m_Error == 0; }
  bool SeekTo(uint32_t offset) override;
  bool GetPos(uint32_t* pos) override;
  bool GetLen(uint32_t* len) override;
  uint32_t Write(const void* data, uint32_t length) override;

 private:
  FILE* m_File = nullptr;
  uint8_t m_Error = 0;
};

class CMemoryStream : public CStream {
 public:
  CMemoryStream() = default;
  // Sizes the block to size zero bytes; false when out of memory.
  bool Init(uint32_t size);

  uint32_t Read(void* buffer, uint32_t length) override;
  bool IsOK() override { return !m_Error; }
  bool SeekTo(uint32_t offset) override;
  bool GetPos(uint32_t* pos) override;
  bool GetLen(uint32_t* len) override;
  bool WriteStream(CStream* source, int32_t from, int32_t to) override;
  uint32_t Write(const void* data, uint32_t length) override;
  void* GetData() override;

  // Grows the block (zero-filled) so it holds at least size bytes.
  bool EnsureSize(uint64_t size);

 private:

  std::vector<uint8_t> m_Block;
  uint32_t m_Pos = 0;
  bool m_Error = false;
};

// Opens a file stream with an fopen mode; null when the file cannot be opened. A read mode
// never blocks on what is not a regular file (a FIFO, a device, a folder): such an entry is
// refused at once with one error line naming it, and reads as a file that cannot be opened.
CFileStream* OpenStream(const char* path, const char* mode);
// The same without the error line: `result` and `reason` (either may be null) tell the caller
// what was found, for callers that report a refusal in their own words.
CFileStream* OpenStream(const char* path, const char* mode, plat::Open_Result* result,
                        std::string* reason);
// A memory stream holding size zero bytes at position 0; null when out of memory.
CMemoryStream* CreateMemoryStream(uint32_t size);
