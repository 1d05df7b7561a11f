#include "platform/system/debug.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace plat {

namespace {

std::atomic<bool> g_enabled{false};

// Both are kept to the very end, so messages from static destructors still arrive.
std::mutex& Recorder_Mutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

Debug_Recorder& Recorder() {
  static auto* recorder = new Debug_Recorder;
  return *recorder;
}

}  // namespace

void Set_Debug_Output_Enabled(bool enabled) { g_enabled.store(enabled); }

bool Debug_Output_Enabled() { return g_enabled.load(); }

void Set_Debug_Recorder(Debug_Recorder recorder) {
  std::lock_guard<std::mutex> hold(Recorder_Mutex());
  Recorder() = std::move(recorder);
}

void Debug_Output(const char* text) {
  if (text == nullptr) return;
  Debug_Recorder recorder;
  {
    std::lock_guard<std::mutex> hold(Recorder_Mutex());
    recorder = Recorder();
  }
  if (recorder) {
    recorder(text);
    return;
  }
  if (g_enabled.load()) std::fputs(text, stderr);
}

}  // namespace plat
