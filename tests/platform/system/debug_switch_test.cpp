// The debug sink's switch: VORTHANE_DEBUG in the environment of a starting program turns it on.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/system/debug.h"

namespace {

// Run in a child started with a chosen environment: says what the switch was at start.
TEST(Debug_Switch, SaysItsStateAtStart) {
  std::printf("debug output %s\n", plat::Debug_Output_Enabled() ? "on" : "off");
}

// Starts this test program again, running only the test above, with VORTHANE_DEBUG set to the
// value (or unset for null), and gives back what it printed.
std::string State_At_Start(const char* value) {
  int out[2];
  if (pipe(out) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    if (value) {
      setenv("VORTHANE_DEBUG", value, 1);
    } else {
      unsetenv("VORTHANE_DEBUG");
    }
    execl("/proc/self/exe", "self", "--gtest_filter=Debug_Switch.SaysItsStateAtStart", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  std::string text;
  char buffer[512];
  for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(got));
  close(out[0]);
  waitpid(child, nullptr, 0);
  if (text.find("debug output on") != std::string::npos) return "on";
  if (text.find("debug output off") != std::string::npos) return "off";
  return "no answer: " + text;
}

TEST(Debug_Switch, VorthaneDebugInTheEnvironmentTurnsTheSinkOn) {
  struct Case {
    const char* value;
    const char* state;
  };
  for (const Case c : {Case{"1", "on"}, Case{"yes", "on"}, Case{"0", "off"}, Case{"", "off"}, Case{nullptr, "off"}}) {
    EXPECT_EQ(State_At_Start(c.value), c.state) << (c.value ? c.value : "(unset)");
  }
}

}  // namespace
