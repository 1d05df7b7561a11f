#include "platform/audio/wav_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "tests/platform/audio/audio_fixtures.h"

namespace {

using writers::Bytes;

void Set32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void Set16(Bytes& b, size_t at, uint16_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// Offsets in the canonical 44-byte header the writer produces.
constexpr size_t kFormatTag = 20, kChannels = 22, kRate = 24, kBlockAlign = 32, kBits = 34, kDataSize = 40;

TEST(WavReader, ReadsMonoAndStereoFramesBack) {
  std::vector<int16_t> stereo = {1, -1, 32767, -32768, 100, 200};
  plat::Wav_Pcm pcm;
  ASSERT_TRUE(plat::Read_Wav(writers::EncodeWav(stereo, 2, 48000).data(), 44 + 12, &pcm));
  EXPECT_EQ(pcm.channels, 2);
  EXPECT_EQ(pcm.rate, 48000);
  EXPECT_EQ(pcm.Frame_Count(), 3u);
  EXPECT_EQ(pcm.frames, stereo);

  std::vector<int16_t> mono = {5, 6, 7};
  Bytes file = writers::EncodeWav(mono, 1, 11025);
  ASSERT_TRUE(plat::Read_Wav(file.data(), file.size(), &pcm));
  EXPECT_EQ(pcm.channels, 1);
  EXPECT_EQ(pcm.rate, 11025);
  EXPECT_EQ(pcm.frames, mono);
}

TEST(WavReader, SkipsUnknownChunksAndHonoursPadding) {
  Bytes file = writers::EncodeWav({10, 20}, 1, 22050);
  // An odd-sized "LIST" chunk (with its pad byte) between "fmt " and "data".
  Bytes extra = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  file.insert(file.begin() + 36, extra.begin(), extra.end());
  plat::Wav_Pcm pcm;
  ASSERT_TRUE(plat::Read_Wav(file.data(), file.size(), &pcm));
  EXPECT_EQ(pcm.frames, (std::vector<int16_t>{10, 20}));
}

TEST(WavReader, AcceptsExtensiblePcmFormat) {
  Bytes file = writers::EncodeWav({1, 2, 3, 4}, 2, 44100);
  // Grow "fmt " to 40 bytes: tag 0xFFFE, extension size 22, sub-format starting with 1 (PCM).
  Set32(file, 16, 40);
  Set16(file, kFormatTag, 0xFFFE);
  Bytes ext(24, 0);
  ext[0] = 22;
  ext[8] = 1;
  file.insert(file.begin() + 36, ext.begin(), ext.end());
  plat::Wav_Pcm pcm;
  ASSERT_TRUE(plat::Read_Wav(file.data(), file.size(), &pcm));
  EXPECT_EQ(pcm.Frame_Count(), 2u);
}

TEST(WavReader, RejectsMalformedOrUnsupportedFiles) {
  const Bytes good = writers::EncodeWav({1, 2, 3, 4, 5, 6}, 1, 22050);
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
  };
  const Case cases[] = {
      {"not RIFF", [](Bytes& b) { b[0] = 'X'; }},
      {"not WAVE", [](Bytes& b) { b[8] = 'X'; }},
      {"header only", [](Bytes& b) { b.erase(b.begin() + 12, b.end()); }},
      {"data chunk cut short", [](Bytes& b) { b.pop_back(); }},
      {"data size beyond the file", [](Bytes& b) { Set32(b, kDataSize, 0xFFFFFFF0u); }},
      {"fmt size beyond the file", [](Bytes& b) { Set32(b, 16, 0x7FFFFFFFu); }},
      {"fmt too small", [](Bytes& b) { Set32(b, 16, 8); }},
      {"no data chunk", [](Bytes& b) { std::memcpy(&b[36], "junk", 4); }},
      {"no fmt chunk", [](Bytes& b) { std::memcpy(&b[12], "junk", 4); }},
      {"empty data", [](Bytes& b) { Set32(b, kDataSize, 0); b.erase(b.begin() + 44, b.end()); }},
      {"less than one frame", [](Bytes& b) { Set32(b, kDataSize, 1); b.erase(b.begin() + 45, b.end()); }},
      {"compressed", [](Bytes& b) { Set16(b, kFormatTag, 2); }},
      {"8-bit", [](Bytes& b) { Set16(b, kBits, 8); Set16(b, kBlockAlign, 1); }},
      {"three channels", [](Bytes& b) { Set16(b, kChannels, 3); Set16(b, kBlockAlign, 6); }},
      {"zero channels", [](Bytes& b) { Set16(b, kChannels, 0); }},
      {"block align mismatch", [](Bytes& b) { Set16(b, kBlockAlign, 4); }},
      {"rate zero", [](Bytes& b) { Set32(b, kRate, 0); }},
      {"rate absurd", [](Bytes& b) { Set32(b, kRate, 10000000); }},
      {"two fmt chunks", [](Bytes& b) {
         Bytes fmt(b.begin() + 12, b.begin() + 36);
         b.insert(b.begin() + 36, fmt.begin(), fmt.end());
       }},
  };
  for (const Case& c : cases) {
    Bytes file = good;
    c.damage(file);
    plat::Wav_Pcm pcm;
    EXPECT_FALSE(plat::Read_Wav(file.data(), file.size(), &pcm)) << c.what;
    EXPECT_TRUE(pcm.frames.empty()) << c.what;
  }
  plat::Wav_Pcm pcm;
  EXPECT_FALSE(plat::Read_Wav(nullptr, 100, &pcm));
}

TEST(WavReader, EveryTruncationFailsCleanly) {
  const Bytes good = writers::EncodeWav({1, 2, 3, 4}, 2, 22050);
  for (size_t len = 0; len < good.size(); ++len) {
    Bytes cut(good.begin(), good.begin() + len);
    plat::Wav_Pcm pcm;
    EXPECT_FALSE(plat::Read_Wav(cut.data(), cut.size(), &pcm)) << "length " << len;
  }
}

}  // namespace
