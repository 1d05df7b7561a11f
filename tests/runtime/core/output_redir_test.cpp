#include "runtime/src/core/output_redir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/system/debug.h"
#include "platform/system/memory.h"
#include "platform/system/thread.h"
#include "runtime/src/core/console_var.h"

namespace {

// Restores the redirector and the console variables it writes, and records the sink.
class OutputRedirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_OutputRedir.SetDefaults();
    g_OutputRedir.SetPrefixCallback(nullptr);
    ConsoleText.Set("");
    ConsoleColor = -1;
    plat::Set_Debug_Recorder([this](const std::string& text) { sink_.push_back(text); });
  }
  void TearDown() override {
    plat::Set_Debug_Recorder({});
    for (int d = kOutputDestLogFirst; d <= kOutputDestLogLast; ++d) g_OutputRedir.CloseLogFile(d);
    g_OutputRedir.SetDefaults();
    g_OutputRedir.SetPrefixCallback(nullptr);
  }

  std::string TempPath(const char* name) {
    if (dir_.empty()) {
      char pattern[] = "/tmp/vt_redir_XXXXXX";
      dir_ = mkdtemp(pattern);
    }
    return dir_ + "/" + name;
  }
  ~OutputRedirTest() override {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::vector<std::string> sink_;
  std::string dir_;
};

TEST_F(OutputRedirTest, DefaultsSendEveryPairToTheSinkOnly) {
  for (int category = 0; category < kOutputCategoryCount; ++category) {
    for (int level = 0; level < kOutputLevelCount; ++level) {
      ASSERT_EQ(g_OutputRedir.GetRoute(category, level), kOutputDestSink);
    }
  }
  EXPECT_EQ(g_OutputRedir.GetDestinationEnabled(kOutputDestSink), 1);
  EXPECT_EQ(g_OutputRedir.GetDestinationEnabled(kOutputDestConsole), 0);
  EXPECT_EQ(g_OutputRedir.GetDestinationEnabled(kOutputDestAll), 2);

  g_OutputRedir.Report(1, 3, nullptr, "rez.cpp", 12, 7, "missing %x\n", 0x2201u);
  ASSERT_EQ(sink_.size(), 1u);
  EXPECT_EQ(sink_[0], "rez.cpp(12) : missing 2201\n");
  EXPECT_STREQ(ConsoleText.Get(), "");
  EXPECT_EQ(ConsoleColor.Value, -1);
  EXPECT_EQ(g_OutputRedir.GetColor(), 7);
}

TEST_F(OutputRedirTest, HoldersOfTheKeyFindTheRedirector) {
  IKSOutputRedir* redir = nullptr;
  CInterfaceHolder<IKSOutputRedir> holder(kOutputRedirKey, &redir);
  EXPECT_EQ(redir, &g_OutputRedir);
  EXPECT_STREQ(redir->GetClassName(), "COutputRedir");
  EXPECT_EQ(redir->GetConsoleColorVariable(), &ConsoleColor);
  EXPECT_EQ(redir->GetConsoleTextVariable(), &ConsoleText);
}

TEST_F(OutputRedirTest, ConsoleRouteFillsConsoleVariables) {
  g_OutputRedir.SetRoute(1, 3, kOutputDestConsole);
  g_OutputRedir.SetDestinationEnabled(kOutputDestConsole, 1);
  g_OutputRedir.Report(1, 3, nullptr, "rez.cpp", 40, -1, "cannot open %s", "pack0.pck");
  EXPECT_STREQ(ConsoleText.Get(), "rez.cpp(40) : cannot open pack0.pck");
  EXPECT_EQ(ConsoleColor.Value, -1);
  EXPECT_TRUE(sink_.empty());

  g_OutputRedir.Report(1, 3, "Note", nullptr, 0, 0x00FF00, "plain");
  EXPECT_STREQ(ConsoleText.Get(), "Note: plain");
  EXPECT_EQ(ConsoleColor.Value, 0x00FF00);

  // Another level of the same category still goes to the sink.
  g_OutputRedir.Report(1, 2, nullptr, nullptr, 0, 0, "elsewhere");
  EXPECT_EQ(sink_.size(), 1u);
}

TEST_F(OutputRedirTest, ConsoleVariableDumpsReachTheConsole) {
  g_OutputRedir.SetRoute(1, 1, kOutputDestConsole);
  g_OutputRedir.SetDestinationEnabled(kOutputDestConsole, 1);
  ConsoleInt variable("Test_Dump_Int", 31, 2);
  variable.Dump();
  const std::string text = ConsoleText.Get();
  EXPECT_EQ(text.rfind("Test_Dump_Int [", 0), 0u) << text;
  EXPECT_NE(text.find("]: 31 (ConsoleInt)\n"), std::string::npos) << text;

  ConsoleString words("Test_Dump_String", "hello", 2);
  words.Dump();
  EXPECT_NE(std::string(ConsoleText.Get()).find("]: hello (ConsoleString)\n"),
            std::string::npos);
}

TEST_F(OutputRedirTest, RoutedLogFileGetsFileLinePrefixLines) {
  const std::string path = TempPath("engine.log");
  ASSERT_TRUE(g_OutputRedir.OpenLogFile(5, path.c_str(), false));
  g_OutputRedir.SetCategoryRoute(1, 5);
  g_OutputRedir.SetDestinationEnabled(5, 1);
  g_OutputRedir.Report(1, 3, "RezMgr", "ksresourcemgr.cpp", 211, -1, "bad id %u\n", 7u);
  g_OutputRedir.Report(1, 0, "RezMgr", "ksresourcemgr.cpp", 300, -1, "second\n");
  g_OutputRedir.Report(2, 0, "RezMgr", "other.cpp", 1, -1, "not routed\n");
  ASSERT_TRUE(g_OutputRedir.CloseLogFile(5));
  EXPECT_EQ(ReadFile(path),
            "ksresourcemgr.cpp(211) : RezMgr: bad id 7\n"
            "ksresourcemgr.cpp(300) : RezMgr: second\n");

  // Appending keeps what is there; opening for writing starts over.
  ASSERT_TRUE(g_OutputRedir.OpenLogFile(5, path.c_str(), true));
  g_OutputRedir.Report(1, 3, nullptr, nullptr, 0, -1, "third\n");
  ASSERT_TRUE(g_OutputRedir.CloseLogFile(5));
  EXPECT_EQ(ReadFile(path).substr(ReadFile(path).size() - 6), "third\n");
  ASSERT_TRUE(g_OutputRedir.OpenLogFile(5, path.c_str(), false));
  ASSERT_TRUE(g_OutputRedir.CloseLogFile(5));
  EXPECT_EQ(ReadFile(path), "");
}

TEST_F(OutputRedirTest, LogFilesFailCleanly) {
  EXPECT_FALSE(g_OutputRedir.OpenLogFile(5, TempPath("no/such/dir.log").c_str(), false));
  EXPECT_FALSE(g_OutputRedir.OpenLogFile(4, TempPath("x.log").c_str(), false));
  EXPECT_FALSE(g_OutputRedir.OpenLogFile(10, TempPath("x.log").c_str(), false));
  EXPECT_TRUE(g_OutputRedir.CloseLogFile(6));  // nothing open
  EXPECT_EQ(g_OutputRedir.WriteLogFile(0), kOutputWriteFailed);
  EXPECT_EQ(g_OutputRedir.WriteLogFile(5), kOutputWriteFailed);
  EXPECT_EQ(g_OutputRedir.WriteLogFile(-1), kOutputWriteFailed);
}

TEST_F(OutputRedirTest, FullDiskIsReportedAsSuch) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ASSERT_TRUE(g_OutputRedir.OpenLogFile(9, "/dev/full", false));
  g_OutputRedir.SetRoute(0, 0, 9);
  g_OutputRedir.SetDestinationEnabled(9, 1);
  g_OutputRedir.Report(0, 0, nullptr, nullptr, 0, 0, "nowhere to go");
  EXPECT_EQ(g_OutputRedir.WriteLogFile(4), kOutputWriteDiskFull);
}

TEST_F(OutputRedirTest, DisabledOrClearedDestinationsDeliverNothing) {
  g_OutputRedir.SetDestinationEnabled(kOutputDestSink, 0);
  const int32_t color = g_OutputRedir.GetColor();
  g_OutputRedir.Report(3, 3, nullptr, nullptr, 0, 12345, "dropped");
  EXPECT_TRUE(sink_.empty());
  EXPECT_EQ(g_OutputRedir.GetColor(), color);

  g_OutputRedir.SetDestinationEnabled(kOutputDestSink, 1);
  g_OutputRedir.SetRoute(3, 3, kOutputDestAll);  // 11 stores none
  EXPECT_EQ(g_OutputRedir.GetRoute(3, 3), kOutputDestNone);
  g_OutputRedir.Report(3, 3, nullptr, nullptr, 0, 5, "dropped");
  EXPECT_TRUE(sink_.empty());
}

TEST_F(OutputRedirTest, RouteSettersCoverTheirRanges) {
  g_OutputRedir.ClearRoutes();
  g_OutputRedir.SetLevelRoute(2, 4);
  g_OutputRedir.SetCategoryRoute(7, 6);
  g_OutputRedir.SetRoute(kOutputAllCategories, 5, 10);
  EXPECT_EQ(g_OutputRedir.GetRoute(0, 2), 4);
  EXPECT_EQ(g_OutputRedir.GetRoute(25, 2), 4);
  EXPECT_EQ(g_OutputRedir.GetRoute(7, 2), 6);
  EXPECT_EQ(g_OutputRedir.GetRoute(7, 0), 6);
  EXPECT_EQ(g_OutputRedir.GetRoute(7, 5), 10);
  EXPECT_EQ(g_OutputRedir.GetRoute(0, 0), 0);
  g_OutputRedir.ClearCategoryRoute(7);
  EXPECT_EQ(g_OutputRedir.GetRoute(7, 2), 0);
  g_OutputRedir.ClearLevelRoute(5);
  EXPECT_EQ(g_OutputRedir.GetRoute(3, 5), 0);

  // Out-of-range numbers change and read nothing.
  g_OutputRedir.SetRoute(27, 0, 3);
  g_OutputRedir.SetRoute(0, 7, 3);
  g_OutputRedir.SetRoute(0, 0, 12);
  g_OutputRedir.SetRoute(-1, -1, 3);
  EXPECT_EQ(g_OutputRedir.GetRoute(0, 0), 0);
  EXPECT_EQ(g_OutputRedir.GetRoute(kOutputAllCategories, 2), 0);
  EXPECT_EQ(g_OutputRedir.GetRoute(-3, 99), 0);

  g_OutputRedir.SetDestinationEnabled(kOutputDestAll, 1);
  EXPECT_EQ(g_OutputRedir.GetDestinationEnabled(kOutputDestAll), 1);
  g_OutputRedir.SetDestinationEnabled(kOutputDestAll, 2);  // 2 changes nothing
  EXPECT_EQ(g_OutputRedir.GetDestinationEnabled(kOutputDestAll), 1);
  g_OutputRedir.SetDestinationEnabled(kOutputDestAll, 0);
  EXPECT_EQ(g_OutputRedir.GetDestinationEnabled(kOutputDestAll), 0);
}

TEST_F(OutputRedirTest, LongMessagesAreCutAtTheBuffer) {
  g_OutputRedir.SetRoute(1, 3, kOutputDestConsole);
  g_OutputRedir.SetDestinationEnabled(kOutputDestConsole, 1);
  const std::string long_text(2000, 'w');
  g_OutputRedir.Report(1, 3, "prefix", "file.cpp", 9, 0, "%s", long_text.c_str());
  EXPECT_EQ(std::string(ConsoleText.Get()).size(), 511u);
  EXPECT_EQ(std::string(ConsoleText.Get()).rfind("file.cpp(9) : prefix: www", 0), 0u);

  // A long file name leaves no room, and still nothing runs over.
  const std::string long_file(600, 'f');
  g_OutputRedir.Report(1, 3, "prefix", long_file.c_str(), 9, 0, "tail");
  EXPECT_EQ(std::string(ConsoleText.Get()), std::string(511, 'f'));
}

int WritePrefix(char* buffer, int size, int category, int level) {
  return std::snprintf(buffer, static_cast<size_t>(size), "[%d.%d] ", category, level);
}

int OverclaimingPrefix(char* buffer, int size, int, int) {
  buffer[0] = 'P';
  buffer[1] = '\0';
  return size * 4;
}

TEST_F(OutputRedirTest, PrefixCallbackWritesFirst) {
  g_OutputRedir.SetPrefixCallback(WritePrefix);
  g_OutputRedir.Report(4, 2, "Tag", "a.cpp", 3, 0, "body");
  ASSERT_EQ(sink_.size(), 1u);
  EXPECT_EQ(sink_[0], "[4.2] a.cpp(3) : Tag: body");

  g_OutputRedir.SetPrefixCallback(OverclaimingPrefix);
  g_OutputRedir.Report(4, 2, nullptr, nullptr, 0, 0, "body");
  ASSERT_EQ(sink_.size(), 2u);
  EXPECT_EQ(sink_[1], "P");
}

TEST_F(OutputRedirTest, DumpTablePrintsEveryCategory) {
  g_OutputRedir.SetRoute(25, 5, 9);
  g_OutputRedir.DumpTable();
  ASSERT_EQ(sink_.size(), 27u);
  EXPECT_EQ(sink_[0], "\nOutput Redir Table:\n");
  EXPECT_EQ(sink_[1], "\t3\t3\t3\t3\t3\t3\n");
  EXPECT_EQ(sink_[26], "\t3\t3\t3\t3\t3\t9\n");
}

void ReportFromThread(void*) {
  g_OutputRedir.Report(2, 2, nullptr, nullptr, 0, 0, "from a worker");
}

TEST_F(OutputRedirTest, EachThreadFormatsIntoItsOwnBufferFreedWhenItEnds) {
  g_OutputRedir.Report(2, 2, nullptr, nullptr, 0, 0, "from main");  // main's buffer exists
  const int64_t before = g_Total_Mem_Allocated.load();
  plat::Thread worker;
  ASSERT_TRUE(worker.Start(ReportFromThread, nullptr));
  ASSERT_TRUE(worker.Join());
  EXPECT_EQ(g_Total_Mem_Allocated.load(), before);
  ASSERT_EQ(sink_.size(), 2u);
  EXPECT_EQ(sink_[1], "from a worker");
}

// Error-level reports (category 1, level 3) reach stderr as one line whatever the routes
// say, and only once when the debug sink writes to stderr itself; other reports do not.
TEST_F(OutputRedirTest, ErrorLevelReportsAlwaysReachStderrOnce) {
  struct Case {
    const char* what;
    int category, level;
    std::function<void()> setup;
    bool debug_to_stderr;
    size_t lines;
  };
  const Case cases[] = {
      {"default route", 1, 3, [] {}, false, 1},
      {"news at level 1", 1, 1, [] {}, false, 0},
      {"sink disabled", 1, 3, [] { g_OutputRedir.SetDestinationEnabled(kOutputDestSink, 0); }, false, 1},
      {"no route", 1, 3, [] { g_OutputRedir.ClearRoute(1, 3); }, false, 1},
      {"to the console", 1, 3,
       [] {
         g_OutputRedir.SetDestinationEnabled(kOutputDestConsole, 1);
         g_OutputRedir.SetRoute(1, 3, kOutputDestConsole);
       },
       false, 1},
      {"debug sink on stderr", 1, 3, [] {}, true, 1},
      {"texture level 4", 1, 4, [] {}, false, 0},
      {"another category", 2, 3, [] {}, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    g_OutputRedir.SetDefaults();
    c.setup();
    if (c.debug_to_stderr) {
      plat::Set_Debug_Recorder({});
      plat::Set_Debug_Output_Enabled(true);
    }
    testing::internal::CaptureStderr();
    g_OutputRedir.Report(c.category, c.level, nullptr, "rez.cpp", 12, 7, "Resource ID (%x) not found.\n", 0x2201u);
    const std::string said = testing::internal::GetCapturedStderr();
    plat::Set_Debug_Output_Enabled(false);
    plat::Set_Debug_Recorder([this](const std::string& text) { sink_.push_back(text); });
    size_t lines = 0;
    for (size_t at = said.find("Resource ID (2201) not found."); at != std::string::npos;
         at = said.find("Resource ID (2201) not found.", at + 1))
      ++lines;
    EXPECT_EQ(lines, c.lines) << said;
    if (c.lines == 1 && !c.debug_to_stderr) {
      EXPECT_EQ(said, "Vorthane: Resource ID (2201) not found.\n");
    }
  }
}

}  // namespace
