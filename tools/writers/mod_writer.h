#pragma once
// Writer of 4-channel tracker modules ("M.K." layout): a few synthesized 8-bit instruments
// and generated patterns (drums, bass, lead, hats) that play once from the first order to the
// last with no backward jump, lasting a chosen time.
#include <cstdint>
#include <string>
#include <vector>

namespace writers {

using Bytes = std::vector<uint8_t>;

struct ModSpec {
  std::string title = "vorthane";  // up to 20 characters are kept
  double seconds = 30.0;           // wanted playing time
  int speed = 6;                   // ticks per row, 1..31
  int tempo = 125;                 // beats per minute, 32..255
  uint32_t seed = 1;               // varies the tune
};

constexpr int kModRowsPerPattern = 64;
constexpr int kModMaxOrders = 128;
constexpr int kModChannels = 4;
constexpr size_t kModHeaderBytes = 1084;  // title, 31 instruments, order table and tag
constexpr size_t kModPatternBytes = kModRowsPerPattern * kModChannels * 4;

// Seconds one row lasts at the given speed and tempo.
double ModRowSeconds(int speed, int tempo);

// Rows the module plays: the wanted time in whole rows, at least 1, at most 128 patterns.
int ModRowCount(const ModSpec& spec);

// Builds the module; false when speed, tempo or length are out of range.
bool WriteMod(const ModSpec& spec, Bytes& out);

}  // namespace writers
