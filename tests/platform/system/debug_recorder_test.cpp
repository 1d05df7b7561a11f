// Recorders of the debug and error channels: lines reported from several threads at once reach
// a recorder one at a time, so a recorder that only appends to a list needs no lock of its own.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/system/debug.h"

namespace {

TEST(Debug_Recorder, LinesFromManyThreadsReachTheRecorderOneAtATime) {
  constexpr int kThreads = 8;
  constexpr int kLines = 2000;
  for (const bool errors : {false, true}) {
    SCOPED_TRACE(errors ? "error channel" : "debug channel");
    std::vector<std::string> lines;  // appended to without a lock of its own
    const auto record = [&lines](const std::string& text) { lines.push_back(text); };
    if (errors) {
      plat::Set_Error_Recorder(record);
    } else {
      plat::Set_Debug_Recorder(record);
    }
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([errors] {
        for (int i = 0; i < kLines; ++i) {
          // The error channel writes to stderr too: keep its lines few.
          if (errors && i % 100 != 0) continue;
          errors ? plat::Error_Output("line") : plat::Debug_Output("line");
        }
      });
    }
    for (std::thread& thread : threads) thread.join();
    plat::Set_Debug_Recorder(nullptr);
    plat::Set_Error_Recorder(nullptr);
    EXPECT_EQ(lines.size(), static_cast<size_t>(kThreads * (errors ? kLines / 100 : kLines)));
  }
}

// A recorder that reports again from inside itself is not kept waiting.
TEST(Debug_Recorder, ARecorderMayReportAgain) {
  std::vector<std::string> lines;
  plat::Set_Debug_Recorder([&lines](const std::string& text) {
    lines.push_back(text);
    if (text == "outer") plat::Debug_Output("inner");
  });
  plat::Debug_Output("outer");
  plat::Set_Debug_Recorder(nullptr);
  EXPECT_EQ(lines, (std::vector<std::string>{"outer", "inner"}));
}

}  // namespace
