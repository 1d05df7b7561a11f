// Score tables at their largest (4,999 tables): loading the file, the overall rank over every
// table and saving, each reported beside a plain read, scan or atomic copy of the same bytes
// measured in the same run (counter ratio_to_plain).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CRank_Data.h"
#include "game/trainer/Store_File.h"
#include "platform/system/files.h"
#include "platform/system/random.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTables = 4999;

// A folder of its own holding a full score file; the working folder while it lives.
class Score_Folder {
 public:
  Score_Folder() {
    char pattern[] = "/tmp/vt_rank_bench_XXXXXX";
    m_Path = mkdtemp(pattern) ? pattern : "";
    char old[4096];
    m_Old = getcwd(old, sizeof old) ? old : "/";
    if (m_Path.empty() || chdir(m_Path.c_str()) != 0) return;
    CRank_Data ranks;
    ranks.m_Loaded = true;
    plat::Seed_Random(99);
    for (int t = 0; t < kTables; ++t) {
      const std::string key = std::to_string(570425000 + t);
      for (int e = 0; e < Rank_Table::kEntries; ++e) {
        const uint32_t author = 3 + static_cast<uint32_t>(plat::Random() % 14);
        const char* name = e % 5 == 0 ? "pilot" : Get_Persona_Name(author);
        ranks.Insert_Score(key.c_str(), name, 1000 + static_cast<uint32_t>(plat::Random()) * 37, 0, true);
      }
    }
    m_Ok = ranks.Save();
    Read_Whole_File("rdata.dat", m_Bytes);
  }
  ~Score_Folder() {
    if (chdir(m_Old.c_str()) != 0) std::perror("chdir");
    std::error_code ec;
    if (!m_Path.empty()) std::filesystem::remove_all(m_Path, ec);
  }
  bool Ok() const { return m_Ok; }
  const std::vector<uint8_t>& Bytes() const { return m_Bytes; }

 private:
  std::string m_Path, m_Old;
  bool m_Ok = false;
  std::vector<uint8_t> m_Bytes;
};

template <class F>
double Seconds_Per_Call(F call, int repeats) {
  const auto start = Clock::now();
  for (int i = 0; i < repeats; ++i) call();
  return std::chrono::duration<double>(Clock::now() - start).count() / repeats;
}

double Plain_Read_Seconds() {
  return Seconds_Per_Call(
      [] {
        std::vector<uint8_t> bytes;
        Read_Whole_File("rdata.dat", bytes);
        benchmark::DoNotOptimize(bytes.data());
      },
      5);
}

template <class F>
void Run_Against(benchmark::State& state, F work, double (*plain)()) {
  double base = plain();
  double spent = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    work();
    spent += std::chrono::duration<double>(Clock::now() - start).count();
  }
  base = (base + plain()) / 2;
  state.counters["ratio_to_plain"] = spent / static_cast<double>(state.iterations()) / base;
}

void BM_Plain_Read(benchmark::State& state) {
  Score_Folder folder;
  for (auto _ : state) {
    std::vector<uint8_t> bytes;
    Read_Whole_File("rdata.dat", bytes);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(folder.Bytes().size()));
}
BENCHMARK(BM_Plain_Read)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state) {
  Score_Folder folder;
  if (!folder.Ok()) return state.SkipWithError("no score file");
  CRank_Data ranks;
  Run_Against(state, [&] { benchmark::DoNotOptimize(ranks.Load()); }, &Plain_Read_Seconds);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(folder.Bytes().size()));
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

// The plain scan: one pass summing the bytes of the file in memory.
const std::vector<uint8_t>* g_scan_bytes = nullptr;
double Plain_Scan_Seconds() {
  return Seconds_Per_Call(
      [] {
        uint64_t sum = 0;
        for (uint8_t b : *g_scan_bytes) sum += b;
        benchmark::DoNotOptimize(sum);
      },
      5);
}

void BM_Overall_Rank(benchmark::State& state) {
  Score_Folder folder;
  CRank_Data ranks;
  if (!folder.Ok() || !ranks.Load()) return state.SkipWithError("no score file");
  g_scan_bytes = &folder.Bytes();
  Run_Against(state, [&] { benchmark::DoNotOptimize(ranks.Get_Overall_Rank("pilot")); }, &Plain_Scan_Seconds);
}
BENCHMARK(BM_Overall_Rank)->Unit(benchmark::kMillisecond);

// The plain copy: the same bytes written through the same atomic replace.
double Plain_Copy_Seconds() {
  return Seconds_Per_Call([] { plat::Replace_File_Atomically("copy.dat", g_scan_bytes->data(), g_scan_bytes->size()); },
                          3);
}

void BM_Save(benchmark::State& state) {
  Score_Folder folder;
  CRank_Data ranks;
  if (!folder.Ok() || !ranks.Load()) return state.SkipWithError("no score file");
  g_scan_bytes = &folder.Bytes();
  Run_Against(state, [&] { benchmark::DoNotOptimize(ranks.Save()); }, &Plain_Copy_Seconds);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(folder.Bytes().size()));
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

}  // namespace
