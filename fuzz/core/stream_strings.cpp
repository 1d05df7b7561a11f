// Reads length-prefixed strings and mixed reads, seeks and copies from a memory stream built
// from the input. The first byte picks the string buffer size; the rest is the stream.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/src/core/streams.h"

namespace {

void CheckTerminated(const std::vector<char>& buffer, uint32_t size) {
  if (size == 0) return;
  if (std::memchr(buffer.data(), '\0', size) == nullptr) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint32_t buffer_size = data[0];
  CMemoryStream* stream = CreateMemoryStream(0);
  if (stream == nullptr) return 0;
  if (size > 1) stream->Write(data + 1, static_cast<uint32_t>(size - 1));
  stream->SeekTo(0);

  std::vector<char> buffer(buffer_size + 1, 'x');
  buffer[buffer_size] = '\0';  // beyond what ReadString may touch: keeps the text below whole
  uint32_t len = 0;
  stream->GetLen(&len);
  // Strings until the stream runs out; every read must leave a terminated buffer and a
  // position within the stream.
  for (int i = 0; i < 64; ++i) {
    const bool ok = stream->ReadString(buffer.data(), buffer_size);
    CheckTerminated(buffer, buffer_size);
    uint32_t pos = 0;
    stream->GetPos(&pos);
    if (pos > len) __builtin_trap();
    if (!ok) break;
  }

  // Copy what is left into a second stream, then read it back in odd-sized pieces.
  CMemoryStream* copy = CreateMemoryStream(0);
  if (copy != nullptr) {
    stream->SeekTo(len / 2);
    copy->WriteStream(stream, 0, static_cast<int32_t>(len - len / 2));
    copy->SeekTo(0);
    uint8_t piece[7];
    while (copy->Read(piece, sizeof(piece)) != 0) {
    }
    copy->WriteString(buffer.data());
    copy->Release();
  }
  stream->Release();
  return 0;
}
