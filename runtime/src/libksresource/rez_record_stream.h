#pragma once
// The bytes of one record within a larger stream (its pack file, a prefetched chunk, the
// expansion buffer): positions count from the record's first byte and reads stop at its last,
// so a resource's Load sees its own bytes and never those of the record after it, nor what an
// earlier expansion left in the buffer.
#include <cstdint>

#include "runtime/src/core/streams.h"

class CRezRecordStream : public CStream {
 public:
  // The record is the `size` bytes from the stream's current position.
  CRezRecordStream(CStream* stream, uint32_t size);

  // Lives on its user's stack: giving it back releases nothing.
  void Release() override {}

  uint32_t Read(void* buffer, uint32_t length) override;
  bool IsOK() override;
  bool SeekTo(uint32_t offset) override;
  bool GetPos(uint32_t* pos) override;
  bool GetLen(uint32_t* len) override;
  // Read only.
  uint32_t Write(const void* data, uint32_t length) override;
  void* GetData() override;

 private:
  CStream* m_Stream;
  uint32_t m_Start = 0;
  uint32_t m_Size;
  bool m_Error = false;
};
