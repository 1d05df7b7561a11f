// The run's music: a module that cannot be loaded is named in one error line with the reason,
// and the run goes on without music; a good one gives a channel and says nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "game/core/CGame_State.h"
#include "game/core/CSim_Desc.h"
#include "game/core/WinMain.h"
#include "game/sim/CMusic_Track.h"
#include "platform/audio/bass.h"
#include "platform/system/debug.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "tools/writers/content_files.h"
#include "tools/writers/mod_writer.h"
#include "tools/writers/pack_writer.h"
#include "tools/writers/track_writer.h"

namespace {

constexpr uint32_t kTrack = 0x22F0A001;
constexpr uint32_t kGood = 0x22F0A002;
constexpr uint32_t kDamaged = 0x22F0A003;
constexpr uint32_t kCompressed = 0x22F0A004;
constexpr uint32_t kMissing = 0x22F0A0FF;

writers::PackRecord Raw(uint32_t id, const std::string& name, writers::Bytes data, bool compress = false) {
  writers::PackRecord record;
  record.id = id;
  record.name = name;
  record.data = std::move(data);
  record.compress = compress;
  return record;
}

// A pack set with a short track file and three modules: a good one, one cut short after its
// header, and a good one stored compressed (which the player cannot read in place).
class MusicLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vt_music_load_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    writers::TrackSpec spec;
    spec.length = 5.0f;
    spec.sections = {{}};
    writers::Bytes track, module;
    writers::WriteTrack(spec, track);
    writers::ModSpec mod;
    mod.seconds = 2.0;
    ASSERT_TRUE(writers::WriteMod(mod, module));
    const writers::Bytes cut(module.begin(), module.begin() + 600);
    // The track in the first pack, the modules in the second.
    const std::vector<writers::PackRecord> tracks = {Raw(kTrack, "tracks/run.trk", track)};
    const std::vector<writers::PackRecord> modules = {Raw(kGood, "music/good.mod", module),
                                                      Raw(kDamaged, "music/cut.mod", cut),
                                                      Raw(kCompressed, "music/packed.mod", module, true)};
    std::vector<writers::OutFile> files;
    ASSERT_TRUE(writers::BuildPackedSet(0, tracks, files));
    ASSERT_TRUE(writers::BuildPackedSet(1, modules, files));
    for (const writers::OutFile& file : files)
      ASSERT_TRUE(writers::WriteWholeFile(writers::JoinPath(dir, file.path), file.bytes));
    ASSERT_NE(g_pRezMgr, nullptr);
    ASSERT_TRUE(g_pRezMgr->Init((dir + "/").c_str()));
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr));
    saved_available = g_Music_Available;
    g_Music_Available = true;
    plat::Set_Error_Recorder([this](const std::string& text) { errors.push_back(text); });
  }
  void TearDown() override {
    plat::Set_Error_Recorder(nullptr);
    g_Music_Track.Term();
    g_Music_Available = saved_available;
    BASS_Free();
    g_pRezMgr->Term();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }

  bool Start(uint32_t music) {
    CSim_Desc desc;
    desc.track_file_id = kTrack;
    desc.music_id = music;
    desc.user_name = "tester";
    return g_Music_Track.Init(desc);
  }

  std::string dir;
  bool saved_available = false;
  std::vector<std::string> errors;
};

TEST_F(MusicLoad, AModuleThatGivesNoMusicIsNamedWithTheReason) {
  struct Case {
    const char* what;
    uint32_t music;
    bool channel;
    const char* reason;  // a part of the one error line; none when the music loads
  } cases[] = {
      {"a good module", kGood, true, nullptr},
      {"no module asked for", 0, false, nullptr},
      {"a module in no pack", kMissing, false, "it is in no resource pack"},
      {"a module cut short", kDamaged, false, "holds no playable module at offset"},
      {"a module stored compressed", kCompressed, false, "it is stored compressed in"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    errors.clear();
    ASSERT_TRUE(Start(c.music)) << "the run starts with or without its music";
    EXPECT_EQ(g_Music_Track.m_Music_Channel != 0, c.channel);
    if (!c.reason) {
      EXPECT_TRUE(errors.empty()) << errors.front();
    } else {
      ASSERT_EQ(errors.size(), 1u);
      char id[16];
      std::snprintf(id, sizeof(id), "(%x)", c.music);
      EXPECT_EQ(errors[0].rfind(std::string("Music module ") + id + " could not be loaded: ", 0), 0u) << errors[0];
      EXPECT_NE(errors[0].find(c.reason), std::string::npos) << errors[0];
    }
    g_Music_Track.Term();
  }
}

TEST_F(MusicLoad, APackFileGoneSinceTheStartIsNamedAsMissing) {
  std::filesystem::remove(writers::JoinPath(dir, writers::PackedFileName(1)));
  ASSERT_TRUE(Start(kGood));
  EXPECT_EQ(g_Music_Track.m_Music_Channel, 0u);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("(22f0a002) could not be loaded: its pack file "), std::string::npos) << errors[0];
  EXPECT_NE(errors[0].find(" is missing"), std::string::npos) << errors[0];
}

}  // namespace
