#include "game/core/WinMain.h"

#include <cstdarg>
#include <cstdio>

#include "platform/audio/bass.h"
#include "platform/system/debug.h"
#include "platform/system/message_box.h"

namespace {

constexpr size_t kMessageBufferSize = 256;

constexpr DWORD kRequiredMusicVersion = 0x80001;
constexpr int kDefaultOutputDevice = -1;
constexpr DWORD kMusicOutputRate = 44100;

}  // namespace

bool g_Music_Available = false;

const char kMusic_Init_Warning[] =
    "Warning: Music system could not be initialized.\n\nCheck bass.dll (BASS version 1.8)";

int Show_Message(const char* format, ...) {
  char text[kMessageBufferSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  return plat::Show_Message_Box("Message", text);
}

void Debug_Printf(const char* format, ...) {
  char text[kMessageBufferSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  plat::Debug_Output(text);
}

bool Init_Music() {
  if (BASS_GetVersion() != kRequiredMusicVersion) return false;
  // The output device is not tied to a window on this platform.
  if (!BASS_Init(kDefaultOutputDevice, kMusicOutputRate, 0, nullptr)) return false;
  BASS_Start();
  g_Music_Available = true;
  return true;
}

void Term_Music() {
  BASS_Stop();
  BASS_Free();
  g_Music_Available = false;
}

int WinMain() {
  std::fprintf(stderr, "vorthane: engine services started; nothing to run yet\n");
  return 0;
}
