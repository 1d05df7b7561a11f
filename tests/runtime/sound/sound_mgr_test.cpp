// The sound manager over real pack sets and the player on its no-sound device, whose mix the
// tests pull to hear what was played.
#include "runtime/src/sound/sound_mgr.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "platform/audio/bass.h"
#include "platform/system/debug.h"
#include "platform/system/memory.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/libksresource/rez_prefetch.h"
#include "runtime/src/sound/sound_sample.h"
#include "tests/support/scoped_env.h"
#include "tools/writers/content_files.h"
#include "tools/writers/pack_writer.h"
#include "tools/writers/wav_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kLevelSound = 0x22000001;     // constant level 0.5, 0.1 s
constexpr uint32_t kPackedSound = 0x22000002;    // the same, stored compressed
constexpr uint32_t kNotASound = 0x22000003;      // bytes the player cannot decode
constexpr uint32_t kTextureId = 0x22000004;      // a resource of another type
constexpr uint32_t kOverstated = 0x22000005;     // a head stating far more samples than follow
constexpr uint32_t kPackedJunk = 0x22000006;     // compressed bytes that are no sound
constexpr uint32_t kMissingId = 0x22FFFFFF;      // in no pack
constexpr int16_t kLevel = 16384;
constexpr size_t kOverstatedFrames = 32768;

Bytes Level_Wav(size_t frames) {
  std::vector<int16_t> pcm(frames, kLevel);
  return writers::EncodeWav(pcm, 1, 44100);
}

// A sound whose data chunk (at byte 36) states 2 GB of samples and holds 64 KB of them.
Bytes Overstated_Wav() {
  Bytes wav = writers::EncodeWav(std::vector<int16_t>(kOverstatedFrames, 0), 1, 22050);
  const uint32_t stated = 0x80000000u;
  for (int i = 0; i < 4; ++i) wav[40 + i] = static_cast<uint8_t>(stated >> (8 * i));
  return wav;
}

// Records what reaches stderr and the debug channel.
class Said {
 public:
  Said() {
    plat::Set_Error_Recorder([this](const std::string& text) { m_Errors.push_back(text); });
    plat::Set_Debug_Recorder([this](const std::string& text) { m_Details.push_back(text); });
  }
  ~Said() {
    plat::Set_Error_Recorder(nullptr);
    plat::Set_Debug_Recorder(nullptr);
  }
  Said(const Said&) = delete;
  Said& operator=(const Said&) = delete;
  // Lines that contain the text, errors and details: every line reaches the debug channel.
  size_t Lines_With(const std::string& text) const {
    size_t count = 0;
    for (const std::string& line : m_Details) count += line.find(text) != std::string::npos;
    return count;
  }
  std::vector<std::string> m_Errors;
  std::vector<std::string> m_Details;
};

writers::PackRecord Record(uint32_t id, uint8_t type, const char* name, Bytes data, bool compress) {
  writers::PackRecord r;
  r.id = id;
  r.type = type;
  r.name = name;
  r.data = std::move(data);
  r.compress = compress;
  return r;
}

class SoundMgrTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vt_sound_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_Dir = pattern;
    std::vector<writers::OutFile> files;
    ASSERT_TRUE(writers::BuildPackedSet(0,
                                        {Record(kLevelSound, 3, "level.wav", Level_Wav(4410), false),
                                         Record(kPackedSound, 3, "packed.wav", Level_Wav(4410), true),
                                         Record(kNotASound, 3, "junk.wav", Bytes(300, 0x5A), false),
                                         Record(kTextureId, 2, "texture.txb", Bytes(64, 1), false),
                                         Record(kOverstated, 3, "overstated.wav", Overstated_Wav(), false),
                                         Record(kPackedJunk, 3, "junk_packed.wav", Bytes(300, 0x5A), true)},
                                        files));
    for (const auto& f : files) ASSERT_TRUE(writers::WriteWholeFile(m_Dir + "/" + f.path, f.bytes));
    ASSERT_NE(g_pRezMgr, nullptr);
    // No loader thread: its start-up would allocate beside the memory counts these tests read.
    RezMgr_Run_Prefetch_LoaderThread.Value = 0;
    ASSERT_TRUE(g_pRezMgr->Init((m_Dir + "/").c_str()));
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr));
    ASSERT_NE(g_pSoundMgr, nullptr);
    ASSERT_TRUE(g_pSoundMgr->Init());
  }

  void TearDown() override {
    g_pSoundMgr->Term();
    BASS_Free();
    g_pRezMgr->Term();
    std::error_code ignored;
    std::filesystem::remove_all(m_Dir, ignored);
  }

  bool Play(uint32_t id, float volume, uint8_t flags = 0) { return g_pSoundMgr->Play(&id, &volume, &flags); }
  bool Preload(uint32_t id, uint32_t voices) { return g_pSoundMgr->Preload(&id, &voices); }
  bool Stop(uint32_t id) { return g_pSoundMgr->Stop(&id); }
  bool Unload(uint32_t id) { return g_pSoundMgr->Unload(&id); }

  // Peak of the left channel over the next frames of the mix.
  int Peak(size_t frames = 256) {
    std::vector<int16_t> out(frames * 2);
    EXPECT_TRUE(plat::Audio_Render(out.data(), frames));
    int peak = 0;
    for (size_t i = 0; i < frames; ++i) peak = std::max(peak, std::abs(static_cast<int>(out[i * 2])));
    return peak;
  }

  std::string m_Dir;
};

TEST_F(SoundMgrTest, PreloadedSamplePlaysAtItsLevel) {
  for (uint32_t id : {kLevelSound, kPackedSound}) {
    EXPECT_TRUE(Preload(id, 2));
    ASSERT_NE(g_pSoundMgr->Find_Sample(id), nullptr);
    EXPECT_EQ(g_pSoundMgr->Find_Sample(id)->Max_Voices(), 2u);
    EXPECT_TRUE(Play(id, 1.0f));
    EXPECT_NEAR(Peak(), kLevel, 2) << std::hex << id;
    EXPECT_TRUE(Stop(id));
    EXPECT_EQ(Peak(), 0);
  }
}

TEST_F(SoundMgrTest, VolumeFractionBecomesWholePercent) {
  struct Case {
    float fraction;
    int percent;
  } cases[] = {{1.0f, 100},
               {0.5f, 50},
               {0.999f, 99},
               {0.0f, 0},
               {0.2549f, 25},
               {-0.5f, 0},
               {3.0f, 100},
               {std::numeric_limits<float>::quiet_NaN(), 0},
               {std::numeric_limits<float>::infinity(), 0}};
  for (const Case& c : cases) {
    ASSERT_TRUE(Play(kLevelSound, c.fraction));
    EXPECT_NEAR(Peak(), kLevel * c.percent / 100, 2) << "fraction " << c.fraction;
    Stop(kLevelSound);
  }
}

TEST_F(SoundMgrTest, OnDemandLoadKeepsOneVoiceThroughALaterPreload) {
  ASSERT_TRUE(Play(kLevelSound, 1.0f));
  CSoundSample* sample = g_pSoundMgr->Find_Sample(kLevelSound);
  ASSERT_NE(sample, nullptr);
  EXPECT_EQ(sample->Max_Voices(), 1u);
  EXPECT_TRUE(Preload(kLevelSound, 4));
  EXPECT_EQ(sample->Max_Voices(), 1u);
  EXPECT_FALSE(Play(kLevelSound, 1.0f)) << "its one voice is busy";
  Peak(4410);  // the first playback runs out
  EXPECT_TRUE(Play(kLevelSound, 1.0f));
}

TEST_F(SoundMgrTest, PreloadedVoiceLimitRefusesOneMore) {
  ASSERT_TRUE(Preload(kLevelSound, 3));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Play(kLevelSound, 0.1f));
  EXPECT_FALSE(Play(kLevelSound, 0.1f));
  EXPECT_NEAR(Peak(), kLevel * 30 / 100, 4) << "three voices at 10 each";
}

TEST_F(SoundMgrTest, LoopFlagKeepsPlayingUntilStop) {
  ASSERT_TRUE(Play(kLevelSound, 1.0f, CSoundMgr::kFlag_Loop));
  EXPECT_NEAR(Peak(44100), kLevel, 2);
  EXPECT_NEAR(Peak(256), kLevel, 2) << "still sounding after ten lengths";
  EXPECT_TRUE(Stop(kLevelSound));
  EXPECT_EQ(Peak(), 0);
}

TEST_F(SoundMgrTest, IdsThatGiveNoSampleLeaveAnEmptyEntryAndPlayNothing) {
  for (uint32_t id : {kMissingId, kTextureId}) {
    EXPECT_TRUE(Preload(id, 2)) << std::hex << id;
    EXPECT_EQ(g_pSoundMgr->Find_Sample(id), nullptr);
    EXPECT_FALSE(Play(id, 1.0f));
    EXPECT_FALSE(Stop(id));
  }
  EXPECT_EQ(g_pSoundMgr->Entry_Count(), 2u);
  EXPECT_EQ(Peak(), 0);
}

// A sample the player refuses is named once, with its file and the player's reason, and lets
// its bytes go at once; it stays in its entry, so that later plays neither load it nor make it
// again.
TEST_F(SoundMgrTest, ASampleThePlayerRefusesIsNamedOnceWithItsFileAndLetsItsBytesGo) {
  struct Case {
    uint32_t id;
    std::string reason;
  };
  const Case cases[] = {
      {kNotASound, "it does not begin with \"RIFF\", a size and \"WAVE\""},
      {kOverstated, "its \"data\" chunk at byte 36 states 2147483648 bytes where " +
                        std::to_string(kOverstatedFrames * 2) + " follow"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    // A fresh start for each: a file is named once a session.
    g_pSoundMgr->Term();
    g_pRezMgr->Term();
    ASSERT_TRUE(g_pRezMgr->Init((m_Dir + "/").c_str()));
    ASSERT_TRUE(g_pSoundMgr->Init());
    Said said;
    EXPECT_TRUE(Preload(c.id, 1));
    CSoundSample* sample = g_pSoundMgr->Find_Sample(c.id);
    ASSERT_NE(sample, nullptr);
    EXPECT_TRUE(sample->Refused());
    EXPECT_FALSE(sample->Data_Loaded());
    EXPECT_EQ(sample->Data_Size(), 0u);
    EXPECT_EQ(sample->m_Tracked_Memory, 0u);
    EXPECT_EQ(sample->Handle(), 0u);
    EXPECT_FALSE(Play(c.id, 1.0f));
    EXPECT_FALSE(Play(c.id, 1.0f));
    EXPECT_EQ(g_pSoundMgr->Find_Sample(c.id), sample) << "kept, not loaded again";
    EXPECT_EQ(g_pRezMgr->Find_Loaded(c.id), sample);
    char id[16];
    std::snprintf(id, sizeof id, "(%x)", c.id);
    const std::vector<std::string> expected = {"Sound sample: Resource ID " + std::string(id) + " in " + m_Dir +
                                               "/packed_rezmap_0.pck was refused: a sound the player cannot read: " +
                                               c.reason + ".\n"};
    EXPECT_EQ(said.m_Errors, expected);
    EXPECT_EQ(said.Lines_With(id), 1u) << "said once";
  }
}

// A sound whose bytes the resource manager refused (compressed bytes that are no sound) is not
// read again at each request: the first says why, the later ones say nothing.
TEST_F(SoundMgrTest, ASoundWhoseBytesWereRefusedIsNotReadAgainAtEachRequest) {
  Said said;
  EXPECT_TRUE(Preload(kPackedJunk, 1));
  EXPECT_EQ(g_pSoundMgr->Find_Sample(kPackedJunk), nullptr);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(Play(kPackedJunk, 1.0f));
  EXPECT_TRUE(Preload(kPackedJunk, 1));
  char id[16];
  std::snprintf(id, sizeof id, "(%x)", kPackedJunk);
  EXPECT_EQ(said.Lines_With(id), 1u);
  EXPECT_EQ(said.m_Errors.size(), 1u);
  // Unloading forgets it: asked for again, it is read again.
  EXPECT_TRUE(Unload(kPackedJunk));
  EXPECT_TRUE(Preload(kPackedJunk, 1));
  EXPECT_EQ(said.Lines_With(id), 2u);
}

// Without a sound device the player runs silent: one line says so, every good sample loads and
// plays, and only a sample that is really damaged is named.
TEST_F(SoundMgrTest, WithoutASoundDeviceOneLineSaysSoAndOnlyTheDamagedSampleIsNamed) {
  g_pSoundMgr->Term();
  BASS_Free();
  testing::internal::CaptureStderr();
  bool started = false;
  {
    ScopedEnv driver("SDL_AUDIODRIVER", "no_such_audio_driver");
    started = BASS_Init(-1, 44100, 0, nullptr) && BASS_Start();
  }
  ASSERT_TRUE(g_pSoundMgr->Init());
  for (uint32_t id : {kLevelSound, kPackedSound, kNotASound}) EXPECT_TRUE(Preload(id, 1));
  const bool good_play = Play(kLevelSound, 1.0f) && Play(kPackedSound, 1.0f);
  const bool damaged_play = Play(kNotASound, 1.0f);
  const std::string said = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(started);
  EXPECT_TRUE(good_play);
  EXPECT_FALSE(damaged_play);
  size_t lines = 0;
  for (char c : said) lines += c == '\n';
  EXPECT_EQ(lines, 2u) << said;
  EXPECT_NE(said.find("No sound device could be opened"), std::string::npos) << said;
  char id[16];
  std::snprintf(id, sizeof id, "(%x)", kNotASound);
  EXPECT_NE(said.find(id), std::string::npos) << said;
  for (uint32_t good : {kLevelSound, kPackedSound}) {
    std::snprintf(id, sizeof id, "(%x)", good);
    EXPECT_EQ(said.find(id), std::string::npos) << said;
  }
}

TEST_F(SoundMgrTest, UnloadReleasesTheResourceAndForgetsTheEntry) {
  EXPECT_FALSE(Unload(kLevelSound)) << "not in the map";
  ASSERT_TRUE(Preload(kMissingId, 1));
  EXPECT_TRUE(Unload(kMissingId)) << "an empty entry is removed";
  EXPECT_EQ(g_pSoundMgr->Entry_Count(), 0u);

  ASSERT_TRUE(Preload(kLevelSound, 1));
  EXPECT_EQ(g_pSoundMgr->Find_Sample(kLevelSound)->m_Reference_Count, 1);
  EXPECT_NE(g_pRezMgr->Find_Loaded(kLevelSound), nullptr);
  ASSERT_TRUE(Play(kLevelSound, 1.0f, CSoundMgr::kFlag_Loop));
  EXPECT_TRUE(Unload(kLevelSound));
  EXPECT_EQ(g_pRezMgr->Find_Loaded(kLevelSound), nullptr) << "freed through the resource manager";
  EXPECT_EQ(Peak(), 0) << "its playback went with it";
  EXPECT_TRUE(Play(kLevelSound, 1.0f)) << "a later request loads it again";
}

TEST_F(SoundMgrTest, TermReleasesEverythingAndIsHarmlessTwice) {
  // The first report of a missing id gives the output redirector its lasting text buffer.
  ASSERT_TRUE(Preload(kMissingId, 2));
  ASSERT_TRUE(Unload(kMissingId));
  int64_t before = g_Total_Mem_Allocated.load();
  ASSERT_TRUE(Preload(kLevelSound, 2));
  ASSERT_TRUE(Preload(kPackedSound, 2));
  ASSERT_TRUE(Preload(kMissingId, 2));
  EXPECT_GT(g_Total_Mem_Allocated.load(), before);
  g_pSoundMgr->Term();
  EXPECT_EQ(g_pSoundMgr->Entry_Count(), 0u);
  EXPECT_EQ(g_pRezMgr->Find_Loaded(kLevelSound), nullptr);
  EXPECT_EQ(g_pRezMgr->Find_Loaded(kPackedSound), nullptr);
  EXPECT_EQ(g_Total_Mem_Allocated.load(), before);
  g_pSoundMgr->Term();
  EXPECT_FALSE(g_pSoundMgr->Is_Initialised());
}

TEST_F(SoundMgrTest, NothingLoadsOrPlaysWhileNotInitialised) {
  g_pSoundMgr->Term();
  uint32_t id = kLevelSound, voices = 1, value = 0;
  EXPECT_FALSE(Play(kLevelSound, 1.0f));
  EXPECT_FALSE(Preload(kLevelSound, 1));
  EXPECT_FALSE(Stop(kLevelSound));
  EXPECT_FALSE(g_pSoundMgr->Query_Flag(&id));
  EXPECT_FALSE(g_pSoundMgr->Query_Value(&id, &value));
  EXPECT_EQ(g_pSoundMgr->Entry_Count(), 0u);
  EXPECT_EQ(g_pRezMgr->Find_Loaded(kLevelSound), nullptr);
  (void)voices;
}

TEST_F(SoundMgrTest, QueriesLoadOnDemandAndAnswerFalse) {
  uint32_t id = kLevelSound, value = 0;
  EXPECT_FALSE(g_pSoundMgr->Query_Flag(&id));
  EXPECT_NE(g_pSoundMgr->Find_Sample(kLevelSound), nullptr);
  EXPECT_FALSE(g_pSoundMgr->Query_Value(&id, &value));
}

// A player that is not running refuses no sample: the bytes are kept and nothing is said.
TEST_F(SoundMgrTest, WithoutTheMusicSystemSamplesFailQuietly) {
  BASS_Free();
  Said said;
  EXPECT_TRUE(Preload(kLevelSound, 2));
  ASSERT_NE(g_pSoundMgr->Find_Sample(kLevelSound), nullptr);
  EXPECT_TRUE(g_pSoundMgr->Find_Sample(kLevelSound)->Data_Loaded());
  EXPECT_TRUE(said.m_Errors.empty());
  EXPECT_FALSE(Play(kLevelSound, 1.0f));
  EXPECT_FALSE(Stop(kLevelSound));
  EXPECT_FALSE(Play(kPackedSound, 1.0f));
}

TEST(SoundMgrInstance, ConstructionSetsTheGlobalPointerAndDestructionClearsIt) {
  CSoundMgr* global = g_pSoundMgr;
  {
    CSoundMgr local;
    EXPECT_EQ(g_pSoundMgr, &local);
  }
  EXPECT_EQ(g_pSoundMgr, nullptr);
  g_pSoundMgr = global;
}

// The sample on its own: loading from a stream, counted memory, and the player's sample.
class SoundSampleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr)); }
  void TearDown() override { BASS_Free(); }

  static CMemoryStream* Stream_Of(const Bytes& bytes) {
    CMemoryStream* stream = CreateMemoryStream(0);
    stream->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    stream->SeekTo(0);
    return stream;
  }
};

TEST_F(SoundSampleTest, ShortReadFailsTheLoadAndHoldsNothing) {
  Bytes wav = Level_Wav(100);
  CMemoryStream* stream = Stream_Of(Bytes(wav.begin(), wav.begin() + 40));
  int64_t before = g_Total_Mem_Allocated.load();
  CSoundSample sample;
  uint32_t size = static_cast<uint32_t>(wav.size());
  EXPECT_FALSE(sample.Load(stream, &size));
  EXPECT_FALSE(sample.Data_Loaded());
  EXPECT_EQ(sample.Data_Size(), 0u);
  EXPECT_EQ(g_Total_Mem_Allocated.load(), before);
  EXPECT_FALSE(sample.Create(1));
  EXPECT_FALSE(sample.Play(1.0f, 0));
  uint32_t zero = 0;
  EXPECT_FALSE(sample.Load(stream, &zero));
  stream->Release();
}

TEST_F(SoundSampleTest, LoadCreatePlayFreeCycle) {
  Bytes wav = Level_Wav(100);
  CMemoryStream* stream = Stream_Of(wav);
  int64_t before = g_Total_Mem_Allocated.load();
  CSoundSample_Handler handler;
  auto* sample = static_cast<CSoundSample*>(handler.Create());
  ASSERT_NE(sample, nullptr);
  EXPECT_EQ(sample->Max_Voices(), 1u);
  EXPECT_EQ(sample->m_Reference_Count, 0);
  uint32_t size = static_cast<uint32_t>(wav.size());
  ASSERT_TRUE(sample->Load(stream, &size));
  EXPECT_EQ(sample->Data_Size(), wav.size());
  EXPECT_EQ(sample->m_Tracked_Memory, wav.size());
  EXPECT_FALSE(sample->Create(0)) << "no voices";
  ASSERT_TRUE(sample->Create(2));
  EXPECT_NE(sample->Handle(), 0u);
  EXPECT_TRUE(sample->Play(0.5f, 0));
  EXPECT_TRUE(sample->Stop());
  sample->Free();
  EXPECT_EQ(sample->Handle(), 0u);
  EXPECT_EQ(sample->Max_Voices(), 0u);
  EXPECT_FALSE(sample->Sample_Created());
  EXPECT_FALSE(sample->Data_Loaded());
  EXPECT_FALSE(sample->Play(1.0f, 0)) << "nothing left to make a sample from";
  handler.Destroy(sample);
  EXPECT_EQ(g_Total_Mem_Allocated.load(), before) << "the sample and its bytes were counted";
  stream->Release();
}

}  // namespace
