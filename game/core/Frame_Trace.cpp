#include "game/core/Frame_Trace.h"

#include <utility>

namespace {

Frame_Trace_Recorder& Recorder() {
  static Frame_Trace_Recorder recorder;
  return recorder;
}

}  // namespace

void Set_Frame_Trace_Recorder(Frame_Trace_Recorder recorder) { Recorder() = std::move(recorder); }

void Frame_Trace(const char* step) {
  Frame_Trace_Recorder& recorder = Recorder();
  if (recorder) recorder(step);
}
