// Resource loading speed: compressed resources through Get_Resource against plain zlib
// uncompress of the same bytes, and building the binary map of a 10,000-record listing.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <zlib.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/libksresource/rez_map_builder.h"
#include "tools/writers/content_files.h"
#include "tools/writers/pack_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr int kResourceCount = 64;
constexpr size_t kResourceSize = 256 * 1024;

// Texture-like bytes: smooth runs with some noise, compressing to about a third.
Bytes Resource_Bytes(uint32_t seed) {
  Bytes bytes(kResourceSize);
  uint32_t state = seed;
  for (size_t i = 0; i < bytes.size(); ++i) {
    state = state * 214013u + 2531011u;
    bytes[i] = static_cast<uint8_t>((i / 97) + ((state >> 16) & 0x0F));
  }
  return bytes;
}

class Blob : public CRezResource {
 public:
  bool Load(CStream* stream, uint32_t* size) override {
    m_Bytes.resize(*size);
    return stream->Read(m_Bytes.data(), *size) == *size;
  }
  void Free() override { m_Bytes.clear(); }
  Bytes m_Bytes;
};

class BlobHandler : public CRezTypeHandler {
 public:
  CRezResource* Create() override { return new Blob; }
  void Destroy(CRezResource* resource) override { delete resource; }
};

std::string Make_Folder() {
  char pattern[] = "/tmp/vt_rez_bench_XXXXXX";
  return mkdtemp(pattern) ? std::string(pattern) + "/" : std::string();
}

// The compressed bytes of every resource, for the raw baseline.
std::vector<Bytes> Compressed_Set(std::vector<writers::PackRecord>& records) {
  std::vector<Bytes> packed;
  for (int i = 0; i < kResourceCount; ++i) {
    writers::PackRecord record;
    record.id = 0x22000000u + static_cast<uint32_t>(i);
    record.type = 2;
    record.name = std::to_string(i).insert(0, 1, 'r');
    record.data = Resource_Bytes(static_cast<uint32_t>(i));
    record.compress = true;
    Bytes stored;
    writers::Compress(record.data, stored);
    packed.push_back(std::move(stored));
    records.push_back(std::move(record));
  }
  return packed;
}

double Raw_Inflate_Seconds(const std::vector<Bytes>& packed, int repeats) {
  Bytes out(kResourceSize);
  auto start = Clock::now();
  for (int r = 0; r < repeats; ++r) {
    for (const Bytes& source : packed) {
      uLongf length = out.size();
      uncompress(out.data(), &length, source.data(), source.size());
      benchmark::DoNotOptimize(out.data());
    }
  }
  return std::chrono::duration<double>(Clock::now() - start).count() / repeats;
}

void BM_RawInflate(benchmark::State& state) {
  std::vector<writers::PackRecord> records;
  std::vector<Bytes> packed = Compressed_Set(records);
  Bytes out(kResourceSize);
  for (auto _ : state) {
    for (const Bytes& source : packed) {
      uLongf length = out.size();
      uncompress(out.data(), &length, source.data(), source.size());
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetBytesProcessed(state.iterations() * kResourceCount * int64_t{kResourceSize});
}
BENCHMARK(BM_RawInflate)->Unit(benchmark::kMillisecond);

// Loads and frees every resource of a packed set per iteration; the counter ratio_to_inflate
// is the time per iteration over raw uncompress of the same bytes measured in the same run.
void BM_GetResourceCompressed(benchmark::State& state) {
  std::string root = Make_Folder();
  std::vector<writers::PackRecord> records;
  std::vector<Bytes> packed = Compressed_Set(records);
  std::vector<writers::OutFile> files;
  writers::BuildPackedSet(0, records, files);
  for (const writers::OutFile& file : files) writers::WriteWholeFile(root + file.path, file.bytes);
  BlobHandler handler;
  CRezMgr manager;
  if (!manager.Init(root.c_str())) {
    state.SkipWithError("resource manager did not start");
    return;
  }
  manager.SetTypeHandler(2, &handler);
  double raw = Raw_Inflate_Seconds(packed, 10);
  double managed = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    for (int i = 0; i < kResourceCount; ++i) {
      uint32_t id = 0x22000000u + static_cast<uint32_t>(i);
      benchmark::DoNotOptimize(manager.Get_Resource(id, 2));
      manager.FreeResource(id);
    }
    managed += std::chrono::duration<double>(Clock::now() - start).count();
  }
  raw = (raw + Raw_Inflate_Seconds(packed, 10)) / 2;
  state.counters["ratio_to_inflate"] = managed / static_cast<double>(state.iterations()) / raw;
  state.SetBytesProcessed(state.iterations() * kResourceCount * int64_t{kResourceSize});
  manager.Term();
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_GetResourceCompressed)->Unit(benchmark::kMillisecond);

// Building the binary map of a text map of 10,000 records, from file to file.
void BM_BuildMap10000(benchmark::State& state) {
  std::string root = Make_Folder();
  std::string text;
  for (uint32_t i = 0; i < 10000; ++i) {
    std::string name = std::to_string(i).insert(0, 1, 'r');
    text += writers::TextMapLine(0x22000000u + i, 0x00020000, name,
                                 "data/group" + std::to_string(i % 50) + "/" + name + ".bin", 0, false, 0);
  }
  writers::WriteWholeFile(root + "rezmap_0.ksa", Bytes(text.begin(), text.end()));
  std::string error;
  for (auto _ : state) {
    if (!Rez_Build_Map(root, 0, root + "pack_map.map", error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * 10000);
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_BuildMap10000)->Unit(benchmark::kMillisecond);

}  // namespace
