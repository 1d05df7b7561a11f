// The main of every benchmark program. The allocator's thresholds are fixed before anything
// runs: left to themselves they move with the sizes freed so far (a large block freed raises
// the size below which blocks come from the heap rather than from fresh pages), so a figure
// would depend on which benchmarks ran before it. With fixed thresholds large blocks come from
// the heap and stay mapped (up to 32 MB a block), and every benchmark gives the same figure alone, after others or
// interleaved with them.
#include <malloc.h>

#include <benchmark/benchmark.h>

namespace {
constexpr int kMmap_Limit = 32 << 20;   // the largest threshold the allocator takes
constexpr int kTrim_Limit = 256 << 20;
}  // namespace

int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, kMmap_Limit);
  mallopt(M_TRIM_THRESHOLD, kTrim_Limit);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
