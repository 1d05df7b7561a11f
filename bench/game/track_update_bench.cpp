// One frame of the running track near the end of a 10,000-event track (the walk starts at the
// first pending event), beside a plain walk over all of the track's events.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "game/sim/CMusic_Track.h"
#include "platform/system/clock.h"
#include "tools/writers/track_writer.h"

namespace {

constexpr int kEvents = 10000;
constexpr float kLength = 600.0f;

uint32_t g_Bench_Ms = 0;
uint32_t Bench_Clock() { return g_Bench_Ms; }

// Events that do nothing at their start, end or points, one after another over the track.
void Load_Long_Track(CMusic_Track& track) {
  writers::TrackSpec spec;
  spec.length = kLength;
  spec.sections.resize(1);
  for (int i = 0; i < kEvents; ++i) {
    const float start = static_cast<float>(i) / kEvents;
    spec.sections[0].push_back(writers::TrackEvent{6, 0, 0, start, start + 0.5f / kEvents, {{0, 0.01f, 0}}});
  }
  writers::Bytes bytes;
  writers::WriteTrack(spec, bytes);
  std::string error;
  track.Load_Track_Bytes(bytes.data(), bytes.size(), &error);
}

void BM_Track_Update_Near_End(benchmark::State& state) {
  plat::Set_Ms_Clock(&Bench_Clock);
  static CMusic_Track track;
  Load_Long_Track(track);
  // Ended: nothing starts and the end is not looked for, but the walk and the points run.
  track.m_Ended = true;
  track.m_Clock = kLength - 2.0f;
  g_Bench_Ms = 1000;
  track.m_Clock_Stamp = g_Bench_Ms;
  track.Update();
  for (auto _ : state) {
    ++g_Bench_Ms;
    track.Update();
    if (track.m_Clock > kLength - 0.5f) track.m_Clock = kLength - 2.0f;
    benchmark::DoNotOptimize(track.m_Clock);
  }
  plat::Set_Ms_Clock(nullptr);
}
BENCHMARK(BM_Track_Update_Near_End);

void BM_Walk_All_Events(benchmark::State& state) {
  static CMusic_Track track;
  Load_Long_Track(track);
  for (auto _ : state) {
    float sum = 0.0f;
    for (const CTrack_Section& section : track.m_Sections)
      for (const CTrack_Event& event : section.events) sum += event.start <= track.m_Clock ? event.end : 0.0f;
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_Walk_All_Events);

}  // namespace
