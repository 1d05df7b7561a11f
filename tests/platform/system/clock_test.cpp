#include "platform/system/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>

namespace {

uint32_t g_fake_ms = 0;
uint64_t g_fake_us = 0;
uint32_t Fake_Ms() { return g_fake_ms; }
uint64_t Fake_Us() { return g_fake_us; }

class ClockTest : public ::testing::Test {
 protected:
  void TearDown() override {
    plat::Set_Ms_Clock(nullptr);
    plat::Set_Micro_Clock(nullptr);
  }
};

TEST_F(ClockTest, InstalledClocksReplaceTheRealOnesUntilRemoved) {
  g_fake_ms = 1234;
  g_fake_us = 987654321;
  plat::Set_Ms_Clock(&Fake_Ms);
  plat::Set_Micro_Clock(&Fake_Us);
  EXPECT_EQ(plat::Get_Ticks_Ms(), 1234u);
  EXPECT_EQ(timeGetTime(), 1234u);
  EXPECT_EQ(plat::Get_Micro_Ticks(), 987654321u);

  plat::Set_Ms_Clock(nullptr);
  plat::Set_Micro_Clock(nullptr);
  const uint32_t real_ms = plat::Real_Ticks_Ms();
  EXPECT_LE(static_cast<uint32_t>(plat::Get_Ticks_Ms() - real_ms), 1000u);
  EXPECT_NE(plat::Get_Micro_Ticks(), 987654321u);
}

TEST_F(ClockTest, MillisecondStepsAcrossTheWrapStaySmall) {
  plat::Set_Ms_Clock(&Fake_Ms);
  g_fake_ms = 0xFFFFFFF0u;
  const uint32_t before = timeGetTime();
  g_fake_ms += 0x20u;  // wraps to 0x10
  const uint32_t after = timeGetTime();
  EXPECT_EQ(after, 0x10u);
  EXPECT_EQ(static_cast<uint32_t>(after - before), 0x20u);
}

// The microsecond clock must keep real time: a clock that runs fast or slow shows up as a
// different length for the same sleep than the standard steady clock measures.
TEST_F(ClockTest, RealClocksKeepTimeWithTheSteadyClock) {
  const auto steady_start = std::chrono::steady_clock::now();
  const uint64_t micro_start = plat::Get_Micro_Ticks();
  const uint32_t ms_start = plat::Get_Ticks_Ms();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const uint64_t micro_end = plat::Get_Micro_Ticks();
  const uint32_t ms_end = plat::Get_Ticks_Ms();
  const auto steady_us = std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::steady_clock::now() - steady_start)
                             .count();
  const int64_t micro_elapsed = static_cast<int64_t>(micro_end - micro_start);
  EXPECT_GE(micro_elapsed, 200000);
  EXPECT_LE(micro_elapsed, steady_us);
  EXPECT_GE(micro_elapsed, steady_us - 5000);
  const int64_t ms_elapsed = static_cast<uint32_t>(ms_end - ms_start);
  EXPECT_LE(std::llabs(ms_elapsed * 1000 - micro_elapsed), 2000);
}

TEST_F(ClockTest, RealMicrosecondClockNeverGoesBack) {
  uint64_t last = plat::Get_Micro_Ticks();
  for (int i = 0; i < 100000; ++i) {
    const uint64_t now = plat::Get_Micro_Ticks();
    ASSERT_GE(now, last);
    last = now;
  }
}

}  // namespace

namespace {

int64_t g_fake_calendar = 0;
int64_t Fake_Calendar() { return g_fake_calendar; }

TEST(CalendarClockTest, InstalledCalendarClockReplacesTheRealOneUntilRemoved) {
  g_fake_calendar = 86400 * 365;
  plat::Set_Calendar_Clock(&Fake_Calendar);
  EXPECT_EQ(plat::Get_Calendar_Time(), 86400 * 365);
  plat::Set_Calendar_Clock(nullptr);
  const int64_t now = static_cast<int64_t>(time(nullptr));
  EXPECT_LE(std::llabs(plat::Get_Calendar_Time() - now), 5);
}

TEST(CalendarClockTest, LocalTimeBreaksSecondsIntoDateFields) {
  setenv("TZ", "UTC", 1);
  tzset();
  struct Case {
    int64_t seconds;
    plat::Local_Time expected;
  };
  const Case cases[] = {
      {0, {1970, 1, 1, 0, 0, 0}},
      {951782400 + 3723, {2000, 2, 29, 1, 2, 3}},       // a leap day
      {4102444799, {2099, 12, 31, 23, 59, 59}},        // beyond 32-bit seconds
  };
  for (const Case& c : cases) {
    const plat::Local_Time t = plat::Get_Local_Time(c.seconds);
    EXPECT_EQ(t.year, c.expected.year) << c.seconds;
    EXPECT_EQ(t.month, c.expected.month) << c.seconds;
    EXPECT_EQ(t.day, c.expected.day) << c.seconds;
    EXPECT_EQ(t.hour, c.expected.hour) << c.seconds;
    EXPECT_EQ(t.minute, c.expected.minute) << c.seconds;
    EXPECT_EQ(t.second, c.expected.second) << c.seconds;
  }
}

}  // namespace
