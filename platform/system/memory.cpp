#include "platform/system/memory.h"

#include <cstdlib>
#include <cstring>

std::atomic<int64_t> g_Total_Mem_Allocated{0};

namespace {

// The header keeps the block's size and is as large as the strictest alignment, so the
// caller's part of the block stays aligned for any type.
constexpr size_t kHeaderSize = alignof(std::max_align_t);
static_assert(kHeaderSize >= sizeof(size_t));

unsigned char* Header_Of(const void* block) {
  return static_cast<unsigned char*>(const_cast<void*>(block)) - kHeaderSize;
}

}  // namespace

void* Counted_Alloc(size_t size) {
  if (size > SIZE_MAX - kHeaderSize) return nullptr;
  auto* header = static_cast<unsigned char*>(std::malloc(kHeaderSize + size));
  if (header == nullptr) return nullptr;
  std::memcpy(header, &size, sizeof(size));
  g_Total_Mem_Allocated.fetch_add(static_cast<int64_t>(size));
  return header + kHeaderSize;
}

size_t Counted_Size(const void* block) {
  if (block == nullptr) return 0;
  size_t size = 0;
  std::memcpy(&size, Header_Of(block), sizeof(size));
  return size;
}

void Counted_Free(void* block) {
  if (block == nullptr) return;
  g_Total_Mem_Allocated.fetch_sub(static_cast<int64_t>(Counted_Size(block)));
  std::free(Header_Of(block));
}
