// Cost of the geometry routines per call. After the usual table a second one gives each as a
// multiple of a plain 3x3 matrix product measured in the same run, so that the figures compare
// across machines.
// Inputs are drawn once from a seeded generator and cycled, so that every branch is taken.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <random>
#include <vector>

#include "runtime/src/math/geometry.h"

namespace {

constexpr int kInputs = 1024;

struct Inputs {
  std::vector<CVector3> points, dirs, v0, v1, v2;
  std::vector<CMatrix3x3> frames, frames2;
  std::vector<CVector3> extents, extents2;

  Inputs() {
    std::mt19937 engine(1234);
    std::uniform_real_distribution<float> coord(-10.0f, 10.0f), size(0.2f, 4.0f), angle(-3.0f, 3.0f);
    auto vec = [&] { return CVector3{coord(engine), coord(engine), coord(engine)}; };
    for (int i = 0; i < kInputs; ++i) {
      points.push_back(vec());
      dirs.push_back(vec());
      v0.push_back(vec());
      v1.push_back(vec());
      v2.push_back(vec());
      CVector3 axis = vec();
      axis.Normalize();
      CMatrix3x3 m;
      frames.push_back(m.From_Axis_Angle(axis, angle(engine)));
      axis = vec();
      axis.Normalize();
      frames2.push_back(m.From_Axis_Angle(axis, angle(engine)));
      extents.push_back(CVector3{size(engine), size(engine), size(engine)});
      extents2.push_back(CVector3{size(engine), size(engine), size(engine)});
    }
  }
};

const Inputs& Data() {
  static const Inputs inputs;
  return inputs;
}

template <class Call>
void Run(benchmark::State& state, Call call) {
  const Inputs& in = Data();
  int k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(call(in, k));
    k = (k + 1) & (kInputs - 1);
  }
}

void BM_Matrix3x3_Multiply(benchmark::State& state) {
  Run(state, [](const Inputs& in, int k) {
    CMatrix3x3 out;
    in.frames[k].Multiply(in.frames2[k], out);
    benchmark::DoNotOptimize(out);  // all nine elements
    return 0;
  });
}

void BM_LineRayDistanceSq(benchmark::State& state) {
  Run(state, [](const Inputs& in, int k) {
    float s, t;
    return LineRayDistanceSq(in.points[k], in.dirs[k], in.v0[k], in.v1[k], &s, &t);
  });
}

void BM_SegmentSegmentDistanceSq(benchmark::State& state) {
  Run(state, [](const Inputs& in, int k) {
    float s, t;
    return SegmentSegmentDistanceSq(in.points[k], in.dirs[k], in.v0[k], in.v1[k], &s, &t);
  });
}

void BM_PointTriangleDistanceSq(benchmark::State& state) {
  Run(state, [](const Inputs& in, int k) {
    float s, t;
    return PointTriangleDistanceSq(in.points[k], in.v0[k], in.v1[k], in.v2[k], &s, &t);
  });
}

void BM_SegmentTriangleDistanceSq(benchmark::State& state) {
  Run(state, [](const Inputs& in, int k) {
    float r, s, t;
    return SegmentTriangleDistanceSq(in.points[k], in.dirs[k], in.v0[k], in.v1[k], in.v2[k], &r, &s, &t);
  });
}

void BM_PointBoxDistanceSq(benchmark::State& state) {
  Run(state, [](const Inputs& in, int k) {
    const CMatrix3x3& f = in.frames[k];
    float x0, x1, x2;
    return PointBoxDistanceSq(in.points[k], in.v0[k], f.rows[0], f.rows[1], f.rows[2], in.extents[k], &x0, &x1, &x2);
  });
}

void BM_LineBoxDistanceSq(benchmark::State& state) {
  Run(state, [](const Inputs& in, int k) {
    const CMatrix3x3& f = in.frames[k];
    float t, x0, x1, x2;
    return LineBoxDistanceSq(in.points[k], in.dirs[k], in.v0[k], f.rows[0], f.rows[1], f.rows[2], in.extents[k], &t,
                             &x0, &x1, &x2);
  });
}

void BM_SegmentBoxDistanceSq(benchmark::State& state) {
  Run(state, [](const Inputs& in, int k) {
    const CMatrix3x3& f = in.frames[k];
    float t, x0, x1, x2;
    return SegmentBoxDistanceSq(in.points[k], in.dirs[k], in.v0[k], f.rows[0], f.rows[1], f.rows[2], in.extents[k],
                                &t, &x0, &x1, &x2);
  });
}

void BM_BoxBoxOverlap(benchmark::State& state) {
  Run(state, [](const Inputs& in, int k) {
    const CMatrix3x3 &a = in.frames[k], &b = in.frames2[k];
    CVector3 near_center;
    in.v0[k].Scale(0.3f, near_center);  // centres close enough that about half overlap
    return BoxBoxOverlap(CVector3::Zero, a.rows[0], a.rows[1], a.rows[2], in.extents[k], near_center, b.rows[0],
                         b.rows[1], b.rows[2], in.extents2[k]);
  });
}

void BM_BoxTriangleOverlap(benchmark::State& state) {
  Run(state, [](const Inputs& in, int k) {
    const CMatrix3x3& f = in.frames[k];
    CVector3 center;
    in.points[k].Scale(0.3f, center);
    return BoxTriangleOverlap(in.v0[k], in.v1[k], in.v2[k], center, f.rows[0], f.rows[1], f.rows[2], in.extents[k]);
  });
}

void BM_BoxTrianglePenetration(benchmark::State& state) {
  Run(state, [](const Inputs& in, int k) {
    const CMatrix3x3& f = in.frames[k];
    CVector3 center;
    in.points[k].Scale(0.3f, center);
    float t_first, t_last;
    return BoxTrianglePenetration(center, f.rows[0], f.rows[1], f.rows[2], in.extents[k], in.dirs[k], in.v0[k],
                                  in.v1[k], in.v2[k], &t_first, &t_last);
  });
}

void BM_SegmentSphereIntersect(benchmark::State& state) {
  Run(state, [](const Inputs& in, int k) {
    int count;
    CVector3 p0, p1;
    return SegmentSphereIntersect(in.points[k], in.dirs[k], in.v0[k], in.extents[k].x * 2.0f, &count, &p0, &p1);
  });
}

void BM_SegmentBoxIntersect(benchmark::State& state) {
  Run(state, [](const Inputs& in, int k) {
    const CMatrix3x3& f = in.frames[k];
    int count;
    CVector3 p0, p1;
    return SegmentBoxIntersect(in.points[k], in.dirs[k], in.v0[k], f.rows[0], f.rows[1], f.rows[2], in.extents[k],
                               &count, &p0, &p1);
  });
}

BENCHMARK(BM_Matrix3x3_Multiply);
BENCHMARK(BM_LineRayDistanceSq);
BENCHMARK(BM_SegmentSegmentDistanceSq);
BENCHMARK(BM_PointTriangleDistanceSq);
BENCHMARK(BM_SegmentTriangleDistanceSq);
BENCHMARK(BM_PointBoxDistanceSq);
BENCHMARK(BM_LineBoxDistanceSq);
BENCHMARK(BM_SegmentBoxDistanceSq);
BENCHMARK(BM_BoxBoxOverlap);
BENCHMARK(BM_BoxTriangleOverlap);
BENCHMARK(BM_BoxTrianglePenetration);
BENCHMARK(BM_SegmentSphereIntersect);
BENCHMARK(BM_SegmentBoxIntersect);

// Prints, once all runs are done, each benchmark's CPU time per call over the matrix product's.
class Ratio_Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) m_Times.emplace_back(run.benchmark_name(), run.GetAdjustedCPUTime());
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    double baseline = 0.0;
    for (const auto& [name, time] : m_Times)
      if (name.rfind("BM_Matrix3x3_Multiply", 0) == 0) baseline = time;
    if (baseline <= 0.0) return;
    std::printf("\n%-34s %10s %14s\n", "routine", "ns/call", "x 3x3 product");
    for (const auto& [name, time] : m_Times) std::printf("%-34s %10.2f %14.2f\n", name.c_str(), time, time / baseline);
  }

 private:
  std::vector<std::pair<std::string, double>> m_Times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Ratio_Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
