#include "tools/writers/mod_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace writers {
namespace {

constexpr int kSampleSlots = 31;
constexpr int kDistinctPatterns = 4;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Playback rate of a sample at note C-2 (period 428) on a PAL machine.
constexpr double kC2Rate = 3546894.6 / 428.0;

// Periods of octaves 1 to 3, C to B.
constexpr std::array<uint16_t, 36> kPeriods = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

enum Instrument : uint8_t { kNone = 0, kLead = 1, kBass = 2, kKick = 3, kSnare = 4, kHat = 5, kPad = 6 };

struct InstrumentData {
  std::string name;
  std::vector<int8_t> data;
  uint8_t volume = 64;
  bool loop = false;  // the whole sample repeats
};

struct Cell {
  uint8_t instrument = 0;
  uint16_t period = 0;
  uint8_t effect = 0;
  uint8_t param = 0;
};

using Pattern = std::array<std::array<Cell, kModChannels>, kModRowsPerPattern>;

struct Rng {
  uint32_t state;
  uint32_t Next(uint32_t range) {
    state = state * 1103515245u + 12345u;
    return ((state >> 16) & 0x7FFF) % range;
  }
};

int8_t ToByte(double v) { return static_cast<int8_t>(std::lrint(std::clamp(v, -1.0, 1.0) * 127.0)); }

// Single-cycle waves of 32 bytes sound at about C-4 when played at C-2.
std::vector<int8_t> Cycle(double (*shape)(double), int cycles) {
  std::vector<int8_t> out;
  for (int i = 0; i < 32 * cycles; ++i) out.push_back(ToByte(shape((i % 32) / 32.0)));
  return out;
}

double Square(double f) { return f < 0.5 ? 0.7 : -0.7; }
double Triangle(double f) { return f < 0.5 ? 4.0 * f - 1.0 : 3.0 - 4.0 * f; }
double Soft(double f) { return 0.6 * std::sin(kTwoPi * f) + 0.25 * std::sin(2.0 * kTwoPi * f); }

std::vector<int8_t> Kick() {
  std::vector<int8_t> out;
  double phase = 0.0;
  int n = static_cast<int>(kC2Rate * 0.25);
  for (int i = 0; i < n; ++i) {
    double t = i / kC2Rate;
    phase += kTwoPi * (50.0 + 110.0 * std::exp(-t * 25.0)) / kC2Rate;
    out.push_back(ToByte(std::sin(phase) * std::exp(-t * 9.0)));
  }
  return out;
}

std::vector<int8_t> NoiseBurst(double seconds, double decay, uint32_t seed) {
  std::vector<int8_t> out;
  Rng rng{seed};
  int n = static_cast<int>(kC2Rate * seconds);
  for (int i = 0; i < n; ++i) {
    double t = i / kC2Rate;
    double noise = static_cast<double>(rng.Next(65536)) / 32768.0 - 1.0;
    out.push_back(ToByte(noise * 0.8 * std::exp(-t * decay)));
  }
  return out;
}

std::array<InstrumentData, 6> Instruments() {
  std::array<InstrumentData, 6> list = {{{"lead", Cycle(Square, 4), 36, true},
           {"bass", Cycle(Triangle, 4), 52, true},
           {"kick", Kick(), 64, false},
           {"snare", NoiseBurst(0.16, 22.0, 7), 44, false},
           {"hat", NoiseBurst(0.04, 90.0, 11), 22, false},
           {"pad", Cycle(Soft, 8), 20, true}}};
  // Sample lengths are stored in words.
  for (auto& inst : list)
    if (inst.data.size() % 2) inst.data.push_back(0);
  return list;
}

void PutName(Bytes& out, const std::string& name, size_t width) {
  for (size_t i = 0; i < width; ++i) out.push_back(i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
}

void Put16BE(Bytes& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

void PutInstrumentHeader(Bytes& out, const InstrumentData* inst) {
  if (!inst) {
    PutName(out, "", 22);
    Put16BE(out, 0);
    out.push_back(0);  // finetune
    out.push_back(0);  // volume
    Put16BE(out, 0);
    Put16BE(out, 1);   // repeat length of one word means "no loop"
    return;
  }
  uint16_t words = static_cast<uint16_t>(inst->data.size() / 2);
  PutName(out, inst->name, 22);
  Put16BE(out, words);
  out.push_back(0);
  out.push_back(inst->volume);
  Put16BE(out, 0);
  Put16BE(out, inst->loop ? words : 1);
}

void PutCell(Bytes& out, const Cell& c) {
  out.push_back(static_cast<uint8_t>((c.instrument & 0xF0) | ((c.period >> 8) & 0x0F)));
  out.push_back(static_cast<uint8_t>(c.period & 0xFF));
  out.push_back(static_cast<uint8_t>(((c.instrument & 0x0F) << 4) | (c.effect & 0x0F)));
  out.push_back(c.param);
}

// Notes of a minor pentatonic scale, in semitones above the key.
constexpr std::array<int, 5> kScale = {0, 3, 5, 7, 10};

Pattern MakePattern(int index, const ModSpec& spec, Rng& rng) {
  static constexpr std::array<int, kDistinctPatterns> kRoots = {0, 5, 3, 7};  // a small progression
  Pattern p{};
  const int key = 9;  // A
  const int root = key + kRoots[index % kDistinctPatterns];
  for (int row = 0; row < kModRowsPerPattern; ++row) {
    auto& cells = p[row];
    if (row % 8 == 0) cells[0] = {kKick, kPeriods[12]};
    else if (row % 8 == 4) cells[0] = {kSnare, kPeriods[12]};
    if (row % 4 == 0) cells[1] = {kBass, kPeriods[root % 12 + (row % 16 == 8 ? 12 : 0)]};
    if (row % 2 == 0 && rng.Next(4) != 0) {
      int degree = static_cast<int>(rng.Next(kScale.size()));
      int note = 12 + (root + kScale[degree]) % 12 + (rng.Next(3) == 0 ? 12 : 0);
      cells[2] = {kLead, kPeriods[std::min(note, 35)]};
    }
    if (row % 2 == 1) cells[3] = {kHat, kPeriods[24]};
    else if (row % 32 == 0) cells[3] = {kPad, kPeriods[root % 12 + 12]};
  }
  // Every distinct pattern sets speed and tempo on its first row, so the tune keeps them.
  p[0][1].effect = 0xF;
  p[0][1].param = static_cast<uint8_t>(spec.speed);
  p[0][2].effect = 0xF;
  p[0][2].param = static_cast<uint8_t>(spec.tempo);
  return p;
}

}  // namespace

double ModRowSeconds(int speed, int tempo) { return 2.5 * speed / tempo; }

int ModRowCount(const ModSpec& spec) {
  double rows = spec.seconds / ModRowSeconds(spec.speed, spec.tempo);
  return std::clamp(static_cast<int>(std::lround(rows)), 1, kModMaxOrders * kModRowsPerPattern);
}

bool WriteMod(const ModSpec& spec, Bytes& out) {
  if (spec.speed < 1 || spec.speed > 31 || spec.tempo < 32 || spec.tempo > 255) return false;
  if (!(spec.seconds > 0.0)) return false;
  const int rows = ModRowCount(spec);
  const int orders = (rows + kModRowsPerPattern - 1) / kModRowsPerPattern;
  const int last_rows = rows - (orders - 1) * kModRowsPerPattern;

  Rng rng{spec.seed * 2654435761u + 1};
  std::vector<Pattern> patterns;
  for (int i = 0; i < kDistinctPatterns; ++i) patterns.push_back(MakePattern(i, spec, rng));
  std::vector<uint8_t> order_table;
  for (int i = 0; i < orders - 1; ++i) order_table.push_back(static_cast<uint8_t>(i % kDistinctPatterns));
  // The last order plays its own copy, cut short by a pattern break when the length asks.
  Pattern last = patterns[(orders - 1) % kDistinctPatterns];
  if (last_rows < kModRowsPerPattern) {
    last[last_rows - 1][0].effect = 0xD;
    last[last_rows - 1][0].param = 0;
  }
  patterns.push_back(last);
  order_table.push_back(static_cast<uint8_t>(patterns.size() - 1));

  const auto instruments = Instruments();
  out.clear();
  PutName(out, spec.title, 20);
  for (int i = 0; i < kSampleSlots; ++i)
    PutInstrumentHeader(out, i < static_cast<int>(instruments.size()) ? &instruments[i] : nullptr);
  out.push_back(static_cast<uint8_t>(orders));
  out.push_back(127);
  for (int i = 0; i < kModMaxOrders; ++i)
    out.push_back(i < static_cast<int>(order_table.size()) ? order_table[i] : 0);
  out.insert(out.end(), {'M', '.', 'K', '.'});
  for (const Pattern& p : patterns)
    for (const auto& row : p)
      for (const Cell& c : row) PutCell(out, c);
  for (const auto& inst : instruments) out.insert(out.end(), inst.data.begin(), inst.data.end());
  return true;
}

}  // namespace writers
