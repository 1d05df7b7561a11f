#pragma once
// A fixture that runs the whole program in-process on the generated content, records the
// game's step trace and the messages shown, and shuts the program down afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/core/Frame_Trace.h"
#include "platform/system/message_box.h"
#include "tests/support/game_harness.h"

class RunningGame : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::Set_Message_Recorder([this](const std::string&, const std::string& text) { messages.push_back(text); });
    Set_Frame_Trace_Recorder([this](const char* step) { trace.emplace_back(step); });
    std::string error;
    ASSERT_TRUE(harness.Prepare(&error)) << error;
  }
  void TearDown() override {
    harness.Shut_Down();
    Set_Frame_Trace_Recorder(nullptr);
    plat::Set_Message_Recorder(nullptr);
  }

  void Start() {
    ASSERT_TRUE(harness.Start()) << (messages.empty() ? std::string("no message") : messages.back());
  }

  // The steps of the last frame that ran, from its first update to its end.
  std::vector<std::string> Last_Frame_Steps() const {
    auto first = std::find(trace.rbegin(), trace.rend(), std::string("callouts"));
    if (first == trace.rend()) return {};
    return std::vector<std::string>(first.base() - 1, trace.end());
  }

  vt_test::Game_Harness harness;
  std::vector<std::string> messages;
  std::vector<std::string> trace;
};
