#include "runtime/src/core/output_redir.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/system/debug.h"
#include "platform/system/memory.h"
#include "platform/system/tls.h"
#include "runtime/src/core/console_var.h"
#include "runtime/src/core/thread_local.h"

ConsoleInt ConsoleColor("ConsoleColor", -1, 2);
ConsoleString ConsoleText("ConsoleText", "", 2);

namespace {

void FreeThreadBuffer(void* buffer) { Counted_Free(buffer); }

bool IsCategory(int category) { return category >= 0 && category < kOutputCategoryCount; }
bool IsLevel(int level) { return level >= 0 && level < kOutputLevelCount; }
bool IsDestination(int destination) {
  return destination >= 0 && destination < kOutputDestCount;
}
bool IsLogDestination(int destination) {
  return destination >= kOutputDestLogFirst && destination <= kOutputDestLogLast;
}

// Appends formatted text at *used, never past the buffer; *used stays below size.
void AppendV(char* buffer, int size, int* used, const char* format, va_list args) {
  if (*used >= size - 1) return;
  const int wanted = std::vsnprintf(buffer + *used, static_cast<size_t>(size - *used), format, args);
  if (wanted < 0) {
    buffer[*used] = '\0';
    return;
  }
  *used = std::min(*used + wanted, size - 1);
}

void Append(char* buffer, int size, int* used, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
void Append(char* buffer, int size, int* used, const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendV(buffer, size, used, format, args);
  va_end(args);
}

}  // namespace

COutputRedir::COutputRedir() : m_BufferSlot(plat::kTlsOutOfIndexes) {
  std::memset(m_Routes, 0, sizeof(m_Routes));
  std::memset(m_Enabled, 0, sizeof(m_Enabled));
  for (FILE*& file : m_LogFiles) file = nullptr;
  TLS_AllocSlot(&m_BufferSlot, FreeThreadBuffer);
  SetDefaults();
}

COutputRedir::~COutputRedir() {
  for (int destination = kOutputDestLogFirst; destination <= kOutputDestLogLast; ++destination) {
    CloseLogFile(destination);
  }
  if (m_BufferSlot != plat::kTlsOutOfIndexes) {
    Counted_Free(TLS_GetValue(m_BufferSlot));
    TLS_SetValue(m_BufferSlot, nullptr);
    TLS_FreeSlot(m_BufferSlot);
  }
}

// --- routes and destinations -----------------------------------------------------------------

void COutputRedir::SetDefaults() {
  ClearRoutes();
  SetDestinationEnabled(kOutputDestAll, 0);
  SetDestinationEnabled(kOutputDestSink, 1);
  SetRoute(kOutputAllCategories, kOutputAllLevels, kOutputDestSink);
}

void COutputRedir::SetDestinationEnabled(int destination, int value) {
  if (value == 2) return;
  const uint8_t byte = static_cast<uint8_t>(value);
  if (destination == kOutputDestAll) {
    std::memset(m_Enabled, byte, sizeof(m_Enabled));
  } else if (IsDestination(destination)) {
    m_Enabled[destination] = byte;
  }
}

int COutputRedir::GetRoute(int category, int level) const {
  if (!IsCategory(category) || !IsLevel(level)) return kOutputDestNone;
  return m_Routes[category][level];
}

int COutputRedir::GetDestinationEnabled(int destination) const {
  if (destination != kOutputDestAll) return IsDestination(destination) ? m_Enabled[destination] : 0;
  int enabled = 0;
  for (uint8_t byte : m_Enabled) enabled += byte != 0 ? 1 : 0;
  if (enabled == kOutputDestCount) return 1;
  return enabled > 0 ? 2 : 0;
}

void COutputRedir::ClearRoutes() { std::memset(m_Routes, 0, sizeof(m_Routes)); }

void COutputRedir::SetRoute(int category, int level, int destination) {
  if (destination == kOutputDestAll) destination = kOutputDestNone;
  if (!IsDestination(destination)) return;
  const bool all_categories = category == kOutputAllCategories;
  const bool all_levels = level == kOutputAllLevels;
  if ((!all_categories && !IsCategory(category)) || (!all_levels && !IsLevel(level))) return;
  for (int c = 0; c < kOutputCategoryCount; ++c) {
    if (!all_categories && c != category) continue;
    for (int l = 0; l < kOutputLevelCount; ++l) {
      if (all_levels || l == level) m_Routes[c][l] = static_cast<uint8_t>(destination);
    }
  }
}

void COutputRedir::SetCategoryRoute(int category, int destination) {
  SetRoute(category, kOutputAllLevels, destination);
}
void COutputRedir::ClearCategoryRoute(int category) { SetCategoryRoute(category, 0); }
void COutputRedir::SetLevelRoute(int level, int destination) {
  SetRoute(kOutputAllCategories, level, destination);
}
void COutputRedir::ClearLevelRoute(int level) { SetLevelRoute(level, 0); }
void COutputRedir::ClearRoute(int category, int level) { SetRoute(category, level, 0); }

ConsoleInt* COutputRedir::GetConsoleColorVariable() { return &ConsoleColor; }
ConsoleString* COutputRedir::GetConsoleTextVariable() { return &ConsoleText; }

// --- log files -------------------------------------------------------------------------------

bool COutputRedir::OpenLogFile(int destination, const char* path, bool append) {
  if (!IsLogDestination(destination) || path == nullptr) return false;
  const int n = destination - kOutputDestLogFirst;
  CCriticalSectionGuard guard(&m_LogLocks[n]);
  if (m_LogFiles[n] != nullptr) std::fclose(m_LogFiles[n]);
  m_LogFiles[n] = std::fopen(path, append ? "a" : "w");
  return m_LogFiles[n] != nullptr;
}

bool COutputRedir::CloseLogFile(int destination) {
  if (!IsLogDestination(destination)) return false;
  const int n = destination - kOutputDestLogFirst;
  CCriticalSectionGuard guard(&m_LogLocks[n]);
  if (m_LogFiles[n] == nullptr) return true;
  const bool closed = std::fclose(m_LogFiles[n]) == 0;
  m_LogFiles[n] = nullptr;
  return closed;
}

int COutputRedir::WriteLogFile(int file) {
  if (file < 0 || file >= kOutputLogFileCount) return kOutputWriteFailed;
  char* buffer = ThreadBuffer();
  CCriticalSectionGuard guard(&m_LogLocks[file]);
  FILE* log = m_LogFiles[file];
  if (log == nullptr || buffer == nullptr) return kOutputWriteFailed;
  errno = 0;
  if (std::fputs(buffer, log) >= 0 && std::fflush(log) == 0) return kOutputWriteOk;
  const int error = errno;
  std::clearerr(log);
  return error == ENOSPC ? kOutputWriteDiskFull : kOutputWriteFailed;
}

// --- reporting -------------------------------------------------------------------------------

char* COutputRedir::ThreadBuffer() {
  if (m_BufferSlot == plat::kTlsOutOfIndexes) return nullptr;
  auto* buffer = static_cast<char*>(TLS_GetValue(m_BufferSlot));
  if (buffer != nullptr) return buffer;
  buffer = static_cast<char*>(Counted_Alloc(kOutputMessageSize));
  if (buffer == nullptr) return nullptr;
  buffer[0] = '\0';
  if (TLS_SetValue(m_BufferSlot, buffer) != 0) {
    Counted_Free(buffer);
    return nullptr;
  }
  return buffer;
}

void COutputRedir::FormatMessage(char* buffer, int category, int level, const char* prefix,
                                 const char* file, int line, const char* format,
                                 va_list args) {
  std::memset(buffer, 0, kOutputMessageSize);
  int used = 0;
  if (m_pPrefix != nullptr) {
    const int written = m_pPrefix(buffer, kOutputMessageSize, category, level);
    used = std::clamp(written, 0, kOutputMessageSize - 1);
    buffer[used] = '\0';
  }
  if (file != nullptr) Append(buffer, kOutputMessageSize, &used, "%s(%i) : ", file, line);
  if (prefix != nullptr) Append(buffer, kOutputMessageSize, &used, "%s: ", prefix);
  if (format != nullptr) AppendV(buffer, kOutputMessageSize, &used, format, args);
}

namespace {

// Category 1 at level 3: a resource that cannot be found, read or expanded, a damaged pack, a
// refused sample. (Level 1 of the same category is news, such as a thread starting.)
bool Is_Error_Level(int category, int level) { return category == 1 && level == 3; }

// The message alone, without file, line or prefix, on stderr.
void Say_Error(const char* format, va_list args) {
  if (format == nullptr) return;
  char text[kOutputMessageSize];
  std::vsnprintf(text, sizeof text, format, args);
  plat::Error_Output(text);
}

}  // namespace

void COutputRedir::Report(int category, int level, const char* prefix, const char* file,
                          int line, int32_t color, const char* format, ...) {
  const int destination = GetRoute(category, level);
  va_list args;
  va_start(args, format);
  if (destination == kOutputDestNone || m_Enabled[destination] == 0) {
    if (Is_Error_Level(category, level)) Say_Error(format, args);
  } else {
    ReportV(category, level, prefix, file, line, color, format, args);
  }
  va_end(args);
}

void COutputRedir::ReportV(int category, int level, const char* prefix, const char* file,
                           int line, int32_t color, const char* format, va_list args) {
  const int destination = GetRoute(category, level);
  if (Is_Error_Level(category, level)) {
    // Always said on stderr, once: not again when the debug sink already writes it there.
    const bool in_sink = (destination == 2 || destination == 3 || destination == 4 || destination == 10) &&
                         m_Enabled[destination] != 0 && plat::Debug_Output_Reaches_Stderr();
    if (!in_sink) {
      va_list copy;
      va_copy(copy, args);
      Say_Error(format, copy);
      va_end(copy);
    }
  }
  if (destination != kOutputDestNone && m_Enabled[destination] == 0) return;
  char* buffer = nullptr;
  if (destination != kOutputDestNone) {
    buffer = ThreadBuffer();
    if (buffer == nullptr) return;
    FormatMessage(buffer, category, level, prefix, file, line, format, args);
  }
  m_Color = color;
  if (buffer != nullptr) Deliver(destination, color, buffer);
}

void COutputRedir::Deliver(int destination, int32_t color, const char* text) {
  switch (destination) {
    case kOutputDestConsole:
      ConsoleColor.Set(color);
      ConsoleText.Set(text);
      break;
    case 2:
    case 3:
    case 4:
    case 10:
      SendToSink(text);
      break;
    default:
      if (IsLogDestination(destination)) WriteLogFile(destination - kOutputDestLogFirst);
      break;
  }
}

// The developer sink: the platform's debug output, silent unless switched on.
void COutputRedir::SendToSink(const char* text) { plat::Debug_Output(text); }

void COutputRedir::DumpTable() {
  SendToSink("\nOutput Redir Table:\n");
  for (int category = 0; category < kOutputCategoryCount; ++category) {
    char line[kOutputLevelCount * 12 + 2];
    int used = 0;
    for (int level = 0; level < kOutputLevelCount; ++level) {
      Append(line, static_cast<int>(sizeof(line)), &used, "\t%i", m_Routes[category][level]);
    }
    Append(line, static_cast<int>(sizeof(line)), &used, "\n");
    SendToSink(line);
  }
}

COutputRedir g_OutputRedir;
static CInterfaceRegistration g_OutputRedirRegistration(&g_OutputRedir, kOutputRedirKey, 0);
