#include "platform/system/message_box.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace plat {

namespace {

// Both are kept to the very end, so messages from static destructors still arrive.
std::mutex& Recorder_Mutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

Message_Recorder& Recorder() {
  static auto* recorder = new Message_Recorder;
  return *recorder;
}

bool Has_Display() {
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0))
    return false;
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

// The recorder is called outside the lock, so it may itself show messages.
bool Record(const char* caption, const char* text) {
  Message_Recorder recorder;
  {
    std::lock_guard<std::mutex> hold(Recorder_Mutex());
    recorder = Recorder();
  }
  if (!recorder) return false;
  recorder(caption, text);
  return true;
}

}  // namespace

void Set_Message_Recorder(Message_Recorder recorder) {
  std::lock_guard<std::mutex> hold(Recorder_Mutex());
  Recorder() = std::move(recorder);
}

int Show_Message_Box(const char* caption, const char* text) {
  if (caption == nullptr) caption = "";
  if (text == nullptr) text = "";
  if (Record(caption, text)) return kMessageBoxOk;
  // Said on stderr as well, so a player who started the game from a terminal reads it there.
  std::fprintf(stderr, "%s: %s\n", caption, text);
  std::fflush(stderr);
  if (Has_Display()) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, nullptr);
  return kMessageBoxOk;
}

}  // namespace plat
