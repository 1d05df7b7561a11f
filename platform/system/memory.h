#pragma once
// Counted allocation: every block carries its size in a header in front of it, so releasing it
// subtracts exactly what allocating it added. g_Total_Mem_Allocated is the live byte count of
// all counted memory; any thread may allocate and release.
#include <atomic>
#include <cstddef>
#include <cstdint>

extern std::atomic<int64_t> g_Total_Mem_Allocated;

// Null when the memory cannot be had; nothing is counted then.
void* Counted_Alloc(size_t size);
// Accepts null. Subtracts the block's size as it was allocated.
void Counted_Free(void* block);
// The size the block was allocated with (0 for null).
size_t Counted_Size(const void* block);
