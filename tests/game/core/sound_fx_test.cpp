#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>
#include <algorithm>

#include "game/core/CCamera.h"
#include "game/core/CGame_State.h"
#include "game/core/Sound_FX.h"
#include "platform/system/random.h"
#include "runtime/src/sound/sound_mgr.h"

namespace {

TEST(PackColorTest, ComponentsAreTruncatedClampedAndPlacedByByte) {
  struct Case {
    CColor4 color;
    uint32_t want_rgba;
    uint32_t want_argb;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      {{1.0f, 0.5f, 0.0f, 1.0f}, 0xFF7F00FFu, 0xFFFF7F00u},
      {{1.2f, -0.1f, 0.999f, 0.0f}, 0xFF00FE00u, 0x00FF00FEu},
      {{0.0f, 0.0f, 0.0f, 0.0f}, 0x00000000u, 0x00000000u},
      {{0.25f, 1.0f, 0.5f, 0.7f}, 0x3FFF7FB2u, 0xB23FFF7Fu},
      {{nan, 1e30f, -1e30f, 1.0f}, 0x00FF00FFu, 0xFF00FF00u},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Pack_Color(c.color), c.want_rgba);
    EXPECT_EQ(Pack_Color_ARGB(c.color), c.want_argb);
  }
}

}  // namespace

namespace {

// Records what the sound effects ask the sound manager to play.
class Recording_Sound_Mgr : public CSoundMgr {
 public:
  struct Played {
    uint32_t id;
    float volume;
    uint8_t flags;
  };
  bool Play(const uint32_t* id, const float* volume, const uint8_t* flags) override {
    played.push_back({*id, *volume, *flags});
    return true;
  }
  std::vector<Played> played;
};

class SoundFXTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_Saved_State = g_Game_State;
    g_pSoundMgr = &m_Recorder;
    g_Camera.Look_At(CVector3{100.0f, 50.0f, 100.0f}, CVector3{100.0f, 50.0f, 200.0f});
  }
  void TearDown() override {
    g_pSoundMgr = m_Saved_Mgr;
    g_Game_State = m_Saved_State;
  }

  // The random factor the next Play_Sound_3D draws, for a generator seeded with `seed`.
  static float Random_Factor(uint32_t seed) {
    plat::Seed_Random(seed);
    const float r = static_cast<float>(plat::Random());
    plat::Seed_Random(seed);
    return 0.8f + r / 32768.0f * 0.4f;
  }

  // The program's manager, taken before the recorder's construction makes itself the global one;
  // TearDown puts it back, so the recorder's destruction later leaves it alone.
  CSoundMgr* m_Saved_Mgr = g_pSoundMgr;
  Recording_Sound_Mgr m_Recorder;

 private:
  CGame_State m_Saved_State;
};

TEST_F(SoundFXTest, EffectsPlayOnceAtTheUsersVolumeAndNotAtAll) {
  struct Case {
    float user_volume;
    float volume;
    bool plays;
    float expected;
  };
  const Case cases[] = {
      {1.0f, 1.0f, true, 0.925f},   {0.5f, 0.8f, true, 0.925f * 0.8f * 0.5f},
      {0.06f, 1.0f, true, 0.0555f}, {0.05f, 1.0f, false, 0.0f},
      {1.0f, 3.0f, true, 1.0f},     {1.0f, -1.0f, true, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.user_volume);
    SCOPED_TRACE(c.volume);
    m_Recorder.played.clear();
    g_Game_State.SoundFX_Volume = c.user_volume;
    Play_Sound_FX(0x220000DC, c.volume);
    ASSERT_EQ(m_Recorder.played.size(), c.plays ? 1u : 0u);
    if (!c.plays) continue;
    EXPECT_EQ(m_Recorder.played[0].id, 0x220000DCu);
    EXPECT_NEAR(m_Recorder.played[0].volume, c.expected, 1e-6f);
    EXPECT_EQ(m_Recorder.played[0].flags, 0) << "never looped";
  }
}

TEST_F(SoundFXTest, ThreeDSoundsFadeWithDistanceFromTheCamera) {
  struct Case {
    float distance;
    float scale;
    float user_volume;
    float attenuation;  // expected share of the random factor
  };
  const Case cases[] = {
      {0.0f, 1.0f, 1.0f, 1.0f},
      {5000.0f, 1.0f, 1.0f, 0.5f},
      {5000.0f, 2.0f, 0.5f, 0.5f},  // scale 2 then the user's half volume
      {15000.0f, 1.0f, 1.0f, 0.1f},
  };
  for (const Case& c : cases) {
    for (uint32_t seed : {1u, 77u, 4242u}) {
      SCOPED_TRACE(c.distance);
      SCOPED_TRACE(seed);
      m_Recorder.played.clear();
      g_Game_State.SoundFX_Volume = c.user_volume;
      const float factor = Random_Factor(seed);
      const CVector3 at{100.0f + c.distance, 50.0f, 100.0f};
      Play_Sound_3D(0x220000E1, at, c.scale);
      ASSERT_EQ(m_Recorder.played.size(), 1u);
      const float expected = std::min(factor * c.attenuation * c.scale, 1.0f) * c.user_volume;
      EXPECT_NEAR(m_Recorder.played[0].volume, expected, 1e-4f);
      EXPECT_EQ(m_Recorder.played[0].id, 0x220000E1u);
      EXPECT_EQ(m_Recorder.played[0].flags, 0);
    }
  }
  m_Recorder.played.clear();
  g_Game_State.SoundFX_Volume = 0.05f;
  Play_Sound_3D(0x220000E1, CVector3{100.0f, 50.0f, 100.0f}, 1.0f);
  EXPECT_TRUE(m_Recorder.played.empty());
}

}  // namespace
