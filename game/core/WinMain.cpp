#include "game/core/WinMain.h"

#include <cstdarg>
#include <cstdio>

#include "platform/system/debug.h"
#include "platform/system/message_box.h"

namespace {

constexpr size_t kMessageBufferSize = 256;

}  // namespace

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

int WinMain() {
  std::fprintf(stderr, "vorthane: engine services started; nothing to run yet\n");
  return 0;
}
