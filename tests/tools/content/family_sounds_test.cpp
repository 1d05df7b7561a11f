// The generated sound effects: every id the game plays at start-up is there, decodes, has a
// length that suits its use, and the menu ambience loops without a seam.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <map>
#include <set>

#include "platform/audio/mixer.h"
#include "platform/audio/wav_reader.h"
#include "tools/content/manifest.h"

namespace {

std::map<uint32_t, content::Bytes> Generated(uint8_t type) {
  content::Manifest manifest;
  content::Build_Manifest(manifest);
  std::map<uint32_t, content::Bytes> out;
  for (const content::ResourceEntry& e : manifest.Resources()) {
    if (e.type != type) continue;
    content::Bytes bytes;
    EXPECT_TRUE(e.generate(bytes)) << std::hex << e.id;
    out[e.id] = bytes;
  }
  return out;
}

double Seconds(const plat::Wav_Pcm& pcm) { return static_cast<double>(pcm.Frame_Count()) / pcm.rate; }

TEST(SoundsFamily, EverySoundTheStartUpNeedsDecodesWithASuitableLength) {
  struct Case {
    uint32_t id;
    double min_seconds, max_seconds;
  } cases[] = {
      {0x220000DB, 0.1, 0.4},  // start-up sound, also the console's click
      {0x220000DC, 0.01, 0.06}, {0x220000DF, 0.005, 0.04}, {0x2200016A, 0.01, 0.06},  // clicks
      {0x220000DD, 0.1, 0.5},  {0x2200012C, 0.2, 0.8},                                // interface
      {0x220000DE, 0.4, 1.2},  // a panel opening: the console sliding open
      {0x220000E0, 0.05, 0.4},  // a choice confirmed
      // the simulator screen: opening, a private message, the alert's beep and its looping alarm
      {0x220000ED, 0.3, 1.2},  {0x22000122, 0.3, 1.2},  {0x22000124, 0.2, 0.8},  {0x220001C7, 1.0, 4.0},
      {0x2200011C, 0.4, 1.5},  {0x22000121, 0.5, 2.0},  // the War Room's infested site and source found
      {0x22000179, 0.1, 2.0},  {0x2200017A, 0.1, 2.0},  // the energy pulse and the smart bomb in use
      {0x220000E1, 0.2, 1.0},  {0x220000EE, 0.1, 0.4},  {0x220000F6, 0.2, 0.8},  {0x22000156, 0.05, 0.3},
      {0x2200014A, 0.1, 0.4},  {0x2200014E, 0.3, 1.0},  {0x2200015E, 0.3, 1.2},  {0x22000169, 0.1, 0.6},
      {0x2200016B, 0.1, 0.6},  {0x220000FB, 0.1, 0.6},  {0x220000F0, 0.1, 0.8},  {0x220000F1, 0.2, 1.0},
      {0x220000F2, 0.1, 0.8},  {0x220000F3, 0.2, 1.0},  {0x220000F4, 0.1, 0.5},  {0x220000F5, 0.1, 0.4},
      {0x220000F7, 0.05, 0.3}, {0x220000F9, 0.1, 0.6},  {0x22000159, 0.2, 1.0},  {0x220000F8, 0.4, 1.5},
      {0x2200014F, 0.1, 0.6},
      {0x22000172, 0.5, 1.5},  {0x22000173, 0.1, 0.4},  // the shell's blast and strike
      {0x2200016C, 0.05, 0.3},                          // the launcher's cradle arming
      // callouts: about as long as the callout queue lets each of them sound
      {0x2200011D, 0.4, 2.0},  {0x2200011E, 0.4, 2.0},  {0x2200011F, 0.4, 2.0},  {0x220000EF, 0.4, 2.0},
      {0x22000123, 0.4, 2.0},  {0x220000FC, 0.4, 2.0},  {0x2200012B, 0.4, 2.0},  {0x22000125, 0.4, 2.0},
      {0x220000FA, 0.4, 2.5},
      {0x22000128, 0.4, 2.0},  {0x22000129, 0.4, 2.0},  {0x22000126, 0.4, 2.0},  {0x2200012A, 0.4, 2.5},
      {0x220001CE, 0.2, 0.8},  {0x220001CD, 0.2, 0.8},  // the chain lost, and committed in a mission
      {0x220000FD, 4.0, 30.0},  // menu ambience loop
      // closings of a War Room mission
      {0x220001CA, 0.8, 2.0},  {0x22000127, 0.6, 1.5},  {0x220001C8, 0.8, 2.0}, {0x220001C9, 0.2, 0.8},
      // the boss's pulse broken, and starting
      {0x22000162, 0.6, 1.5},  {0x22000163, 1.5, 3.0},
  };
  auto sounds = Generated(3);
  EXPECT_EQ(sounds.size(), std::size(cases));
  std::set<content::Bytes> distinct;
  for (const Case& c : cases) {
    auto it = sounds.find(c.id);
    ASSERT_NE(it, sounds.end()) << std::hex << c.id;
    plat::Wav_Pcm pcm;
    ASSERT_TRUE(plat::Read_Wav(it->second.data(), it->second.size(), &pcm)) << std::hex << c.id;
    EXPECT_GE(Seconds(pcm), c.min_seconds) << std::hex << c.id;
    EXPECT_LE(Seconds(pcm), c.max_seconds) << std::hex << c.id;
    int peak = 0;
    for (int16_t v : pcm.frames) peak = std::max(peak, std::abs(static_cast<int>(v)));
    EXPECT_GT(peak, 3000) << "audible: " << std::hex << c.id;
    EXPECT_LT(peak, 32767) << "not clipped: " << std::hex << c.id;
    distinct.insert(it->second);
  }
  EXPECT_EQ(distinct.size(), std::size(cases)) << "every sound is its own";
}

TEST(SoundsFamily, MenuAmbienceLoopsWithoutASeam) {
  auto sounds = Generated(3);
  const content::Bytes& wav = sounds.at(0x220000FD);
  plat::Wav_Pcm pcm;
  ASSERT_TRUE(plat::Read_Wav(wav.data(), wav.size(), &pcm));
  ASSERT_EQ(pcm.channels, 1);
  // The step across the loop point is no larger than the steps inside the sound.
  int largest_step = 0;
  for (size_t i = 1; i < pcm.frames.size(); ++i)
    largest_step = std::max(largest_step, std::abs(pcm.frames[i] - pcm.frames[i - 1]));
  int seam = std::abs(pcm.frames.front() - pcm.frames.back());
  EXPECT_LE(seam, largest_step);
  // The start and the end meet at silence-free, matching levels rather than a fade.
  EXPECT_LT(std::abs(pcm.frames.front()), 200);

  // Played looped, it keeps sounding across several turns.
  plat::Mixer mixer;
  ASSERT_TRUE(mixer.Init(44100));
  uint32_t s = mixer.Load_Sample(wav.data(), wav.size(), 1);
  ASSERT_NE(mixer.Play_Sample(s, 0, -1, 100, 0, true), 0u);
  std::vector<float> out(44100 * 2);
  for (int second = 0; second < 20; ++second) mixer.Render(out.data(), 44100);
  double energy = 0;
  for (float v : out) energy += v * v;
  EXPECT_GT(std::sqrt(energy / out.size()), 0.02);
}

TEST(SoundsFamily, DemoModuleIsStoredRawAndLastsItsLength) {
  content::Manifest manifest;
  content::Build_Manifest(manifest);
  bool found = false;
  for (const content::ResourceEntry& e : manifest.Resources()) {
    if (e.id != 0x2200018E) continue;
    found = true;
    EXPECT_EQ(e.type, 0);
    EXPECT_FALSE(e.compress) << "the player opens modules straight from the pack file";
    content::Bytes mod;
    ASSERT_TRUE(e.generate(mod));
    openmpt_module* m = openmpt_module_create_from_memory2(mod.data(), mod.size(), openmpt_log_func_silent,
                                                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(m, nullptr);
    EXPECT_NEAR(openmpt_module_get_duration_seconds(m), 139.0, 0.2) << "the length of \"Tune 4 Demo\"";
    openmpt_module_destroy(m);
  }
  EXPECT_TRUE(found);
}

TEST(SoundsFamily, GenerationIsDeterministic) {
  EXPECT_EQ(Generated(3), Generated(3));
  EXPECT_EQ(Generated(0), Generated(0));
}

}  // namespace
