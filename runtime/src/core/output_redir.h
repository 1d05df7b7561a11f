#pragma once
// Output redirection: engine code reports diagnostics with a category (0-25) and a level (0-5),
// and a table routes each pair to a destination: the in-game console (the console variables
// ConsoleColor and ConsoleText), a developer sink, or one of five log files. By default every
// pair goes to the developer sink and the log files stay closed.
//
// A reporting source file holds the service through a holder:
//   static IKSOutputRedir* g_pOutputRedir = nullptr;
//   static CInterfaceHolder<IKSOutputRedir> g_OutputRedirHolder(kOutputRedirKey, &g_pOutputRedir);
#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "runtime/src/core/critical_section.h"
#include "runtime/src/core/interface_db.h"

class ConsoleInt;
class ConsoleString;

constexpr const char* kOutputRedirKey = "IKSOutputRedir.Default";

constexpr int kOutputCategoryCount = 26;
constexpr int kOutputLevelCount = 6;
constexpr int kOutputAllCategories = 26;
constexpr int kOutputAllLevels = 6;
constexpr int kOutputMessageSize = 512;

// Destinations.
enum EOutputDest : int {
  kOutputDestNone = 0,
  kOutputDestConsole = 1,
  kOutputDestSink = 3,  // 2, 3, 4 and 10 are all the developer sink
  kOutputDestLogFirst = 5,  // 5..9 are log files 0..4
  kOutputDestLogLast = 9,
  kOutputDestCount = 11,
  kOutputDestAll = 11,
};
constexpr int kOutputLogFileCount = 5;

// WriteLogFile results.
enum EOutputWriteResult : int {
  kOutputWriteOk = 0,
  kOutputWriteFailed = 1,
  kOutputWriteDiskFull = 8,
};

// Writes a prefix at the start of a message buffer: (buffer, size, category, level) → the
// number of characters written.
using OutputPrefixFn = int (*)(char* buffer, int size, int category, int level);

class IKSOutputRedir : public CInterfaceImpl {
 public:
  // Every route to the developer sink, which alone is enabled.
  virtual void SetDefaults() = 0;
  // value 2 changes nothing; destination 11 sets all eleven.
  virtual void SetDestinationEnabled(int destination, int value) = 0;
  virtual int GetRoute(int category, int level) const = 0;
  // For 11: 1 when all are enabled, 2 when some are, 0 when none.
  virtual int GetDestinationEnabled(int destination) const = 0;
  virtual void ClearRoutes() = 0;
  // Category 26 means every category, level 6 every level; destination 11 stores 0.
  virtual void SetCategoryRoute(int category, int destination) = 0;
  virtual void ClearCategoryRoute(int category) = 0;
  virtual void SetLevelRoute(int level, int destination) = 0;
  virtual void ClearLevelRoute(int level) = 0;
  virtual void SetRoute(int category, int level, int destination) = 0;
  virtual void ClearRoute(int category, int level) = 0;
  // Destinations 5 to 9; append selects mode "a" over "w".
  virtual bool OpenLogFile(int destination, const char* path, bool append) = 0;
  // True when no file was open or it closed cleanly.
  virtual bool CloseLogFile(int destination) = 0;
  virtual void SetPrefixCallback(OutputPrefixFn callback) = 0;
  virtual ConsoleInt* GetConsoleColorVariable() = 0;
  virtual ConsoleString* GetConsoleTextVariable() = 0;
  // Formats "file(line) : prefix: message" (the parts that are given) into this thread's
  // buffer, cut at 512 bytes, and sends it to the pair's destination when that is enabled.
  virtual void Report(int category, int level, const char* prefix, const char* file, int line,
                      int32_t color, const char* format, ...)
      __attribute__((format(printf, 8, 9))) = 0;
  virtual void ReportV(int category, int level, const char* prefix, const char* file, int line,
                       int32_t color, const char* format, va_list args) = 0;
  // Prints the route table to the developer sink.
  virtual void DumpTable() = 0;
  // Writes this thread's buffer to log file 0..4: 0 written, 1 failed or no file, 8 disk full.
  virtual int WriteLogFile(int file) = 0;
};

class COutputRedir : public IKSOutputRedir {
 public:
  COutputRedir();
  ~COutputRedir() override;
  COutputRedir(const COutputRedir&) = delete;
  COutputRedir& operator=(const COutputRedir&) = delete;

  const char* GetClassName() const override { return "COutputRedir"; }
  void SetDefaults() override;
  void SetDestinationEnabled(int destination, int value) override;
  int GetRoute(int category, int level) const override;
  int GetDestinationEnabled(int destination) const override;
  void ClearRoutes() override;
  void SetCategoryRoute(int category, int destination) override;
  void ClearCategoryRoute(int category) override;
  void SetLevelRoute(int level, int destination) override;
  void ClearLevelRoute(int level) override;
  void SetRoute(int category, int level, int destination) override;
  void ClearRoute(int category, int level) override;
  bool OpenLogFile(int destination, const char* path, bool append) override;
  bool CloseLogFile(int destination) override;
  void SetPrefixCallback(OutputPrefixFn callback) override { m_pPrefix = callback; }
  ConsoleInt* GetConsoleColorVariable() override;
  ConsoleString* GetConsoleTextVariable() override;
  void Report(int category, int level, const char* prefix, const char* file, int line,
              int32_t color, const char* format, ...) override
      __attribute__((format(printf, 8, 9)));
  void ReportV(int category, int level, const char* prefix, const char* file, int line,
               int32_t color, const char* format, va_list args) override;
  void DumpTable() override;
  int WriteLogFile(int file) override;

  // The colour of the last message.
  int32_t GetColor() const { return m_Color; }

 private:
  // This thread's message buffer, allocated on its first message; null when out of memory.
  char* ThreadBuffer();
  void FormatMessage(char* buffer, int category, int level, const char* prefix,
                     const char* file, int line, const char* format, va_list args);
  void Deliver(int destination, int32_t color, const char* text);
  static void SendToSink(const char* text);

  uint8_t m_Routes[kOutputCategoryCount][kOutputLevelCount];
  uint8_t m_Enabled[kOutputDestCount];
  int32_t m_Color = 0;
  FILE* m_LogFiles[kOutputLogFileCount];
  CCriticalSection m_LogLocks[kOutputLogFileCount];
  uint32_t m_BufferSlot;
  OutputPrefixFn m_pPrefix = nullptr;
};

// The console variables the in-game console reads.
extern ConsoleInt ConsoleColor;
extern ConsoleString ConsoleText;
// The program's redirector, registered as "IKSOutputRedir.Default".
extern COutputRedir g_OutputRedir;
