#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>

#include "game/core/CGame_State.h"
#include "game/core/Settings.h"
#include "platform/system/files.h"
#include "platform/system/settings_store.h"

namespace {

namespace fs = std::filesystem;

// Points the settings store at an empty folder of its own and gives the game state fresh
// defaults; both are put back afterwards.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vt_settings_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    had_old = old != nullptr;
    if (had_old) old_value = old;
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    saved = g_Game_State;
    g_Game_State = CGame_State();
  }
  void TearDown() override {
    if (had_old)
      setenv("XDG_CONFIG_HOME", old_value.c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
    g_Game_State = saved;
    std::error_code ec;
    fs::remove_all(folder, ec);
  }

  static uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
  }

  std::string folder;
  bool had_old = false;
  std::string old_value;
  CGame_State saved;
};

TEST_F(SettingsTest, AnEmptyStoreGivesEveryDefault) {
  g_Game_State.Display_Windowed = true;
  g_Game_State.Display_Resolution = 3;
  g_Game_State.Display_BitDepth = 0;
  g_Game_State.Mirrors_Enable = false;
  g_Game_State.Mouse_Cap_Enable = false;
  g_Game_State.Lock_Weapons_To_Cursor = true;
  g_Game_State.Hide_Cursor_In_Sims = true;
  g_Game_State.SoundFX_Volume = 0.2f;
  g_Game_State.Music_Volume = 0.3f;
  // Loading keeps what is in memory for every value the store lacks; start from defaults.
  g_Game_State = CGame_State();
  Load_Settings();
  EXPECT_FALSE(g_Game_State.Display_Windowed);
  EXPECT_EQ(g_Game_State.Display_Resolution, 1);
  EXPECT_EQ(g_Game_State.Display_BitDepth, 1);
  EXPECT_TRUE(g_Game_State.Mirrors_Enable);
  EXPECT_TRUE(g_Game_State.Mouse_Cap_Enable);
  EXPECT_FALSE(g_Game_State.Lock_Weapons_To_Cursor);
  EXPECT_FALSE(g_Game_State.Hide_Cursor_In_Sims);
  EXPECT_EQ(g_Game_State.SoundFX_Volume, 1.0f);
  EXPECT_EQ(g_Game_State.Music_Volume, 1.0f);
  EXPECT_FALSE(fs::exists(folder + "/vorthane")) << "loading wrote to the store";
}

TEST_F(SettingsTest, EveryValueRoundTripsBitExactly) {
  const float volumes[][2] = {{0.35f, 0.0f},
                              {std::nextafter(1.0f, 0.0f), 1.0e-30f},
                              {0.1f, std::numeric_limits<float>::denorm_min()}};
  for (const auto& volume : volumes) {
    g_Game_State.Display_Windowed = true;
    g_Game_State.Display_Resolution = 4;
    g_Game_State.Display_BitDepth = 0;
    g_Game_State.Mirrors_Enable = false;
    g_Game_State.Mouse_Cap_Enable = false;
    g_Game_State.Lock_Weapons_To_Cursor = true;
    g_Game_State.Hide_Cursor_In_Sims = true;
    g_Game_State.SoundFX_Volume = volume[0];
    g_Game_State.Music_Volume = volume[1];
    Save_Settings();
    g_Game_State = CGame_State();
    Load_Settings();
    EXPECT_TRUE(g_Game_State.Display_Windowed);
    EXPECT_EQ(g_Game_State.Display_Resolution, 4);
    EXPECT_EQ(g_Game_State.Display_BitDepth, 0);
    EXPECT_FALSE(g_Game_State.Mirrors_Enable);
    EXPECT_FALSE(g_Game_State.Mouse_Cap_Enable);
    EXPECT_TRUE(g_Game_State.Lock_Weapons_To_Cursor);
    EXPECT_TRUE(g_Game_State.Hide_Cursor_In_Sims);
    EXPECT_EQ(Bits(g_Game_State.SoundFX_Volume), Bits(volume[0]));
    EXPECT_EQ(Bits(g_Game_State.Music_Volume), Bits(volume[1]));
  }
}

TEST_F(SettingsTest, VolumesAreStoredAsTheirFloatBitsUnderTheSettingsKey) {
  g_Game_State.SoundFX_Volume = 0.35f;
  Save_Settings();
  uint32_t stored = 0;
  ASSERT_TRUE(Reg_Read_DWORD("Software\\Brask_Lin\\Settings", "SoundFX_Volume", stored));
  EXPECT_EQ(stored, Bits(0.35f));
  uint32_t windowed = 7;
  ASSERT_TRUE(Reg_Read_DWORD("Software\\Brask_Lin\\Settings", "Display_Windowed", windowed));
  EXPECT_EQ(windowed, 0u);
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Brask_Lin\\Game_State", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
}

TEST_F(SettingsTest, StoredLevelsOutOfRangeTakeTheDefaults) {
  struct Case {
    uint32_t resolution, bit_depth;
    int32_t want_resolution, want_bit_depth;
  };
  const Case cases[] = {
      {0, 0, 0, 0}, {4, 1, 4, 1}, {5, 2, 1, 1}, {0xFFFFFFFF, 0xFFFFFFFF, 1, 1}, {100, 16, 1, 1}, {3, 32, 3, 1},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Reg_Write_DWORD("Software\\Brask_Lin\\Settings", "Display_Resolution", c.resolution));
    ASSERT_TRUE(Reg_Write_DWORD("Software\\Brask_Lin\\Settings", "Display_BitDepth", c.bit_depth));
    g_Game_State = CGame_State();
    Load_Settings();
    EXPECT_EQ(g_Game_State.Display_Resolution, c.want_resolution) << c.resolution;
    EXPECT_EQ(g_Game_State.Display_BitDepth, c.want_bit_depth) << c.bit_depth;
  }
}

TEST_F(SettingsTest, TruthValuesAreAnyNonZeroAndValuesOfAnotherSizeAreIgnored) {
  const char* key_name = "Software\\Brask_Lin\\Settings";
  ASSERT_TRUE(Reg_Write_DWORD(key_name, "Mirrors_Enable", 0));
  ASSERT_TRUE(Reg_Write_DWORD(key_name, "Display_Windowed", 0x100));
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key_name, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const BYTE two_bytes[2] = {1, 0};
  ASSERT_EQ(RegSetValueExA(key, "Mouse_Cap_Enable", 0, REG_BINARY, two_bytes, 2), ERROR_SUCCESS);
  const BYTE eight_bytes[8] = {};
  ASSERT_EQ(RegSetValueExA(key, "Music_Volume", 0, REG_BINARY, eight_bytes, 8), ERROR_SUCCESS);
  RegCloseKey(key);
  g_Game_State = CGame_State();
  g_Game_State.Mouse_Cap_Enable = false;
  Load_Settings();
  EXPECT_FALSE(g_Game_State.Mirrors_Enable);
  EXPECT_TRUE(g_Game_State.Display_Windowed);
  EXPECT_FALSE(g_Game_State.Mouse_Cap_Enable) << "a two-byte value is not a setting";
  EXPECT_EQ(g_Game_State.Music_Volume, 1.0f) << "an eight-byte value is not a setting";
}

// A save interrupted at any point leaves every setting old or every setting new: the nine
// values are written together.
TEST_F(SettingsTest, AFailedSaveLeavesEverySettingAsItWas) {
  g_Game_State.Music_Volume = 0.25f;
  g_Game_State.Mirrors_Enable = false;
  Save_Settings();
  g_Game_State.Music_Volume = 0.75f;
  g_Game_State.Mirrors_Enable = true;
  plat::Inject_Replace_Failure(plat::Replace_Step::Rename);
  testing::internal::CaptureStderr();
  Save_Settings();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("could not save settings"), std::string::npos) << said;
  uint32_t mirrors = 7;
  float music = 0.0f;
  ASSERT_TRUE(Reg_Read_DWORD(kSettings_Key, "Mirrors_Enable", mirrors));
  ASSERT_TRUE(Reg_Read_Float(kSettings_Key, "Music_Volume", music));
  EXPECT_EQ(mirrors, 0u);
  EXPECT_EQ(music, 0.25f);
  Save_Settings();
  ASSERT_TRUE(Reg_Read_Float(kSettings_Key, "Music_Volume", music));
  EXPECT_EQ(music, 0.75f);
}

}  // namespace

TEST_F(SettingsTest, StoredVolumesThatAreNotFiniteNumbersAreIgnored) {
  const char* key_name = "Software\\Brask_Lin\\Settings";
  const uint32_t patterns[] = {0x7FC00000u, 0xFFC00001u, 0x7F800000u, 0xFF800000u};
  for (uint32_t pattern : patterns) {
    SCOPED_TRACE(pattern);
    ASSERT_TRUE(Reg_Write_DWORD(key_name, "SoundFX_Volume", pattern));
    ASSERT_TRUE(Reg_Write_DWORD(key_name, "Music_Volume", pattern));
    g_Game_State = CGame_State();
    Load_Settings();
    EXPECT_EQ(g_Game_State.SoundFX_Volume, 1.0f);
    EXPECT_EQ(g_Game_State.Music_Volume, 1.0f);
  }
  // Finite values outside 0-1 are still read as stored; the players clamp them.
  ASSERT_TRUE(Reg_Write_DWORD(key_name, "SoundFX_Volume", Bits(2.5f)));
  Load_Settings();
  EXPECT_EQ(g_Game_State.SoundFX_Volume, 2.5f);
}
