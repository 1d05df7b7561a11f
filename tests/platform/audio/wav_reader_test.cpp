#include "platform/audio/wav_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
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

// The 24 bytes that extend a "fmt " chunk to the extensible layout: extension size 22, valid
// bits, no channel mask, and the sub-format GUID of the given format tag.
Bytes Extension(uint16_t tag, uint16_t bits) {
  return {22, 0, uint8_t(bits), uint8_t(bits >> 8), 0, 0, 0, 0,                     // size, bits, mask
          uint8_t(tag), uint8_t(tag >> 8), 0, 0, 0, 0, 0x10, 0,                        // GUID: tag-0000-0010
          0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};                                      // 8000-00AA00389B71
}

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
  // Grow "fmt " to 40 bytes: tag 0xFFFE, extension size 22, 16 valid bits, sub-format PCM.
  Set32(file, 16, 40);
  Set16(file, kFormatTag, 0xFFFE);
  Bytes ext = Extension(1, 16);
  file.insert(file.begin() + 36, ext.begin(), ext.end());
  plat::Wav_Pcm pcm;
  ASSERT_TRUE(plat::Read_Wav(file.data(), file.size(), &pcm));
  EXPECT_EQ(pcm.Frame_Count(), 2u);
}

// A sound stored in a shared file comes with the records after it: the form's own size says
// where the sound ends, and what follows is not read as chunks.
TEST(WavReader, StopsAtTheFormsOwnSizeWhateverFollowsIt) {
  const std::vector<int16_t> first = {11, -12, 13, -14, 15, -16};
  const Bytes sound = writers::EncodeWav(first, 2, 22050);
  struct Case {
    const char* what;
    Bytes tail;
  };
  const Case cases[] = {
      {"1 trailing byte", Bytes(1, 0xA5)},
      {"8 trailing bytes", Bytes(8, 0xA5)},
      {"64 trailing bytes", Bytes(64, 0xA5)},
      {"a text record", Bytes{'N', 'A', 'M', 'E', ' ', '=', ' ', 'r', 'e', 'c', 'o', 'r', 'd', '\n'}},
      {"a second sound", writers::EncodeWav({7, 7, 7, 7, 7, 7, 7, 7}, 1, 11025)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes file = sound;
    file.insert(file.end(), c.tail.begin(), c.tail.end());
    plat::Wav_Pcm pcm;
    EXPECT_TRUE(plat::Read_Wav(file.data(), file.size(), &pcm));
    EXPECT_EQ(pcm.channels, 2);
    EXPECT_EQ(pcm.rate, 22050);
    EXPECT_EQ(pcm.frames, first) << "only the first sound's frames";
  }
}

// A form size that understates the sound, or was never filled in, is walked past until the
// format and the samples are found; a damaged sound followed by other bytes is still refused.
TEST(WavReader, AFormSizeThatUnderstatesTheFileStillReadsButDamageIsRefused) {
  const std::vector<int16_t> frames = {1, 2, 3, 4};
  const Bytes tail(64, 0xA5);
  struct Case {
    const char* what;
    std::function<void(Bytes&)> change;
    bool reads;
  };
  const Case cases[] = {
      {"form size ends inside the data", [](Bytes& b) { Set32(b, 4, 36); }, true},
      {"form size never filled in", [](Bytes& b) { Set32(b, 4, 0); }, true},
      {"data size past the form and the buffer", [](Bytes& b) { Set32(b, kDataSize, 0x7FFFFFFFu); }, false},
      {"fmt chunk damaged", [](Bytes& b) { Set16(b, kBlockAlign, 3); }, false},
      {"no data chunk in the form", [](Bytes& b) { std::memcpy(&b[36], "junk", 4); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes file = writers::EncodeWav(frames, 1, 22050);
    c.change(file);
    file.insert(file.end(), tail.begin(), tail.end());
    plat::Wav_Pcm pcm;
    EXPECT_EQ(plat::Read_Wav(file.data(), file.size(), &pcm), c.reads);
    if (c.reads) EXPECT_EQ(pcm.frames, frames);
    else EXPECT_TRUE(pcm.frames.empty());
  }
}

// Each refusal says what is wrong, in words its user can pass on.
TEST(WavReader, RejectsMalformedOrUnsupportedFilesSayingWhy) {
  const Bytes good = writers::EncodeWav({1, 2, 3, 4, 5, 6}, 1, 22050);
  const std::string not_wav = "it does not begin with \"RIFF\", a size and \"WAVE\"";
  const std::string unplayable = "its samples are in a form the player does not play";
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    std::string why;  // how the reason begins
  };
  const Case cases[] = {
      {"not RIFF", [](Bytes& b) { b[0] = 'X'; }, not_wav},
      {"not WAVE", [](Bytes& b) { b[8] = 'X'; }, not_wav},
      {"header only", [](Bytes& b) { b.erase(b.begin() + 12, b.end()); }, "it has no \"fmt \" chunk"},
      {"data chunk cut short", [](Bytes& b) { b.pop_back(); },
       "its \"data\" chunk at byte 36 states 12 bytes where 11 follow"},
      {"data size beyond the file", [](Bytes& b) { Set32(b, kDataSize, 0xFFFFFFF0u); },
       "its \"data\" chunk at byte 36 states 4294967280 bytes where 12 follow"},
      {"fmt size beyond the file", [](Bytes& b) { Set32(b, 16, 0x7FFFFFFFu); }, "its \"fmt \" chunk at byte 12 states"},
      {"fmt too small", [](Bytes& b) { Set32(b, 16, 8); }, "its \"fmt \" chunk of 8 bytes is too short"},
      {"no data chunk", [](Bytes& b) { std::memcpy(&b[36], "junk", 4); }, "it has no \"data\" chunk"},
      {"no fmt chunk", [](Bytes& b) { std::memcpy(&b[12], "junk", 4); }, "it has no \"fmt \" chunk"},
      {"empty data", [](Bytes& b) { Set32(b, kDataSize, 0); b.erase(b.begin() + 44, b.end()); },
       "its \"data\" chunk holds no whole frame"},
      {"less than one frame", [](Bytes& b) { Set32(b, kDataSize, 1); b.erase(b.begin() + 45, b.end()); },
       "its \"data\" chunk holds no whole frame"},
      {"compressed", [](Bytes& b) { Set16(b, kFormatTag, 2); }, unplayable + " (format 2, 1 channel(s) of 16 bits"},
      {"12-bit", [](Bytes& b) { Set16(b, kBits, 12); }, unplayable},
      {"64-bit float", [](Bytes& b) { Set16(b, kFormatTag, 3); Set16(b, kBits, 64); Set16(b, kBlockAlign, 8); },
       unplayable},
      {"nine channels", [](Bytes& b) { Set16(b, kChannels, 9); Set16(b, kBlockAlign, 18); }, unplayable},
      {"zero channels", [](Bytes& b) { Set16(b, kChannels, 0); }, unplayable},
      {"block align mismatch", [](Bytes& b) { Set16(b, kBlockAlign, 4); }, unplayable},
      {"rate zero", [](Bytes& b) { Set32(b, kRate, 0); }, unplayable},
      {"rate absurd", [](Bytes& b) { Set32(b, kRate, 10000000); }, unplayable},
      {"two fmt chunks", [](Bytes& b) {
         Bytes fmt(b.begin() + 12, b.begin() + 36);
         b.insert(b.begin() + 36, fmt.begin(), fmt.end());
       }, "it has a second \"fmt \" chunk"},
  };
  for (const Case& c : cases) {
    Bytes file = good;
    c.damage(file);
    plat::Wav_Pcm pcm;
    std::string why;
    EXPECT_FALSE(plat::Read_Wav(file.data(), file.size(), &pcm, &why)) << c.what;
    EXPECT_TRUE(pcm.frames.empty()) << c.what;
    EXPECT_EQ(why.rfind(c.why, 0), 0u) << c.what << ": " << why;
  }
  plat::Wav_Pcm pcm;
  std::string why;
  EXPECT_FALSE(plat::Read_Wav(nullptr, 100, &pcm, &why));
  EXPECT_EQ(why, not_wav);
}

TEST(WavReader, EveryTruncationFailsCleanly) {
  const Bytes good = writers::EncodeWav({1, 2, 3, 4}, 2, 22050);
  for (size_t len = 0; len < good.size(); ++len) {
    Bytes cut(good.begin(), good.begin() + len);
    plat::Wav_Pcm pcm;
    EXPECT_FALSE(plat::Read_Wav(cut.data(), cut.size(), &pcm)) << "length " << len;
  }
}

// A WAV file of any uncompressed layout: the canonical header with the given format fields,
// in the extensible form (sub-format tag in the GUID's first word) when asked.
Bytes Wav_Of(uint16_t tag, uint16_t channels, uint16_t bits, const Bytes& samples, bool extensible) {
  Bytes file = writers::EncodeWav({0}, 1, 22050);
  file.resize(44);
  Set16(file, kFormatTag, extensible ? 0xFFFE : tag);
  Set16(file, kChannels, channels);
  Set16(file, kBlockAlign, uint16_t(channels * bits / 8));
  Set32(file, 28, 22050u * channels * bits / 8);
  Set16(file, kBits, bits);
  if (extensible) {
    Set32(file, 16, 40);
    const Bytes ext = Extension(tag, bits);
    file.insert(file.begin() + 36, ext.begin(), ext.end());
  }
  const size_t data_size_at = file.size() - 4;
  Set32(file, data_size_at, uint32_t(samples.size()));
  file.insert(file.end(), samples.begin(), samples.end());
  Set32(file, 4, uint32_t(file.size() - 8));
  return file;
}

Bytes Float_Bytes(std::initializer_list<float> values) {
  Bytes out;
  for (float v : values) {
    uint8_t raw[4];
    std::memcpy(raw, &v, 4);
    out.insert(out.end(), raw, raw + 4);
  }
  return out;
}

TEST(WavReader, ReadsEveryUncompressedLayoutAs16Bit) {
  struct Case {
    const char* what;
    Bytes file;
    int channels;
    std::vector<int16_t> frames;
  };
  const Case cases[] = {
      {"8-bit unsigned", Wav_Of(1, 1, 8, {0x80, 0xFF, 0x00}, false), 1, {0, 32512, -32768}},
      {"24-bit", Wav_Of(1, 1, 24, {0x56, 0x34, 0x12, 0x00, 0x00, 0x80}, false), 1, {0x1234, -32768}},
      {"32-bit", Wav_Of(1, 2, 32, {0x78, 0x56, 0x34, 0x12, 0, 0, 0, 0xC0}, false), 2, {0x1234, -16384}},
      {"32-bit float", Wav_Of(3, 1, 32, Float_Bytes({0.5f, -1.0f, 0.0f}), false), 1, {16383, -32767, 0}},
      {"extensible float", Wav_Of(3, 1, 32, Float_Bytes({0.25f}), true), 1, {8191}},
      {"extensible 24-bit", Wav_Of(1, 1, 24, {0, 0, 0x40}, true), 1, {16384}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    plat::Wav_Pcm pcm;
    ASSERT_TRUE(plat::Read_Wav(c.file.data(), c.file.size(), &pcm));
    EXPECT_EQ(pcm.channels, c.channels);
    EXPECT_EQ(pcm.rate, 22050);
    ASSERT_EQ(pcm.frames.size(), c.frames.size());
    for (size_t i = 0; i < c.frames.size(); ++i) EXPECT_NEAR(pcm.frames[i], c.frames[i], 1) << i;
  }
}

TEST(WavReader, MoreThanTwoChannelsAreMixedDownToStereo) {
  Bytes samples;
  for (int frame = 0; frame < 4; ++frame)
    for (int channel = 0; channel < 6; ++channel) samples.insert(samples.end(), {0x00, 0x10});
  const Bytes file = Wav_Of(1, 6, 16, samples, false);
  plat::Wav_Pcm pcm;
  ASSERT_TRUE(plat::Read_Wav(file.data(), file.size(), &pcm));
  EXPECT_EQ(pcm.channels, 2);
  EXPECT_EQ(pcm.Frame_Count(), 4u);
  EXPECT_NE(pcm.frames[0], 0) << "the channels' sound survives the mix";
}

}  // namespace

namespace {

// The extent told from a file's first bytes holds everything Read_Wav reads: the file cut there
// reads the same frames, and fewer bytes than the chunks up to the samples only ask for more.
TEST(WavExtent, HoldsWhatTheReaderReadsAndNeedsNoMoreThanTheChunksUpToTheSamples) {
  const std::vector<int16_t> frames = {1, 2, 3, 4, 5};  // odd: the data chunk is padded
  struct Case {
    const char* what;
    std::function<void(Bytes&)> change;
  };
  const Case cases[] = {
      {"as written", [](Bytes&) {}},
      {"form size ends inside the data", [](Bytes& b) { Set32(b, 4, 36); }},
      {"form size never filled in", [](Bytes& b) { Set32(b, 4, 0); }},
      {"form size past the chunks", [](Bytes& b) { Set32(b, 4, uint32_t(b.size() + 40)); }},
      {"an odd chunk before the samples",
       [](Bytes& b) {
         const Bytes odd = {'n', 'o', 't', 'e', 3, 0, 0, 0, 'a', 'b', 'c', 0};
         b.insert(b.begin() + 36, odd.begin(), odd.end());
         Set32(b, 4, uint32_t(b.size() - 8));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes file = writers::EncodeWav(frames, 1, 22050);
    c.change(file);
    const size_t written = file.size();
    file.insert(file.end(), 100, 0);  // zero-sized chunks the form may still reach into
    uint64_t end = 0;
    ASSERT_EQ(plat::Find_Wav_Extent(file.data(), file.size(), &end), plat::Wav_Extent::Known);
    EXPECT_GE(end, written - 1) << "only a last pad byte may be left out";
    plat::Wav_Pcm pcm;
    ASSERT_TRUE(plat::Read_Wav(file.data(), std::min<size_t>(end, file.size()), &pcm));
    EXPECT_EQ(pcm.frames, frames);
    for (size_t length = 0; length < 44; ++length) {
      uint64_t unused = 0;
      EXPECT_EQ(plat::Find_Wav_Extent(file.data(), length, &unused), plat::Wav_Extent::Need_More) << length;
    }
  }
}

TEST(WavExtent, BytesThatCannotBeginAWaveFileAreToldAtOnce) {
  for (const char* head : {"RIFX\x10\0\0\0WAVE", "RIFF\x10\0\0\0AVI ", "\0\0\0\0\0\0\0\0\0\0\0\0", "OggS"}) {
    uint64_t unused = 0;
    EXPECT_EQ(plat::Find_Wav_Extent(reinterpret_cast<const uint8_t*>(head), 12, &unused), plat::Wav_Extent::Not_Wav)
        << head;
  }
  uint64_t unused = 0;
  EXPECT_EQ(plat::Find_Wav_Extent(reinterpret_cast<const uint8_t*>("\0"), 1, &unused), plat::Wav_Extent::Not_Wav)
      << "one byte is enough";
}

}  // namespace
