#include "platform/system/debug.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <mutex>

namespace plat {

namespace {

bool Asked_For_By_Environment() {
  const char* value = std::getenv("VORTHANE_DEBUG");
  return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

std::atomic<bool> g_enabled{Asked_For_By_Environment()};

// Both are kept to the very end, so messages from static destructors still arrive.
std::mutex& Recorder_Mutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

// Held while a recorder runs: recorders (tests collecting lines) are called one at a time,
// whatever thread reports, and may report again from inside themselves.
std::recursive_mutex& Delivery_Mutex() {
  static auto* mutex = new std::recursive_mutex;
  return *mutex;
}

void Deliver(const Debug_Recorder& recorder, const char* text) {
  std::lock_guard<std::recursive_mutex> hold(Delivery_Mutex());
  recorder(text);
}

Debug_Recorder& Recorder() {
  static auto* recorder = new Debug_Recorder;
  return *recorder;
}

Debug_Recorder& Error_Recorder() {
  static auto* recorder = new Debug_Recorder;
  return *recorder;
}

}  // namespace

void Set_Debug_Output_Enabled(bool enabled) { g_enabled.store(enabled); }

bool Debug_Output_Enabled() { return g_enabled.load(); }

bool Debug_Output_Reaches_Stderr() {
  if (!g_enabled.load()) return false;
  std::lock_guard<std::mutex> hold(Recorder_Mutex());
  return !Recorder();
}

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
    Deliver(recorder, text);
    return;
  }
  if (g_enabled.load()) std::fputs(text, stderr);
}

void Set_Error_Recorder(Debug_Recorder recorder) {
  std::lock_guard<std::mutex> hold(Recorder_Mutex());
  Error_Recorder() = std::move(recorder);
}

void Error_Output(const char* text) {
  if (text == nullptr) return;
  std::string line = "Vorthane: ";
  line += text;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  line += '\n';
  std::fputs(line.c_str(), stderr);
  Debug_Recorder recorder;
  {
    std::lock_guard<std::mutex> hold(Recorder_Mutex());
    recorder = Error_Recorder();
  }
  if (recorder) Deliver(recorder, text);
}

}  // namespace plat
