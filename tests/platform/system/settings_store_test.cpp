#include "platform/system/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/system/files.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kKey = "Software\\Brask_Lin\\Settings";

// A private configuration folder for one test: XDG_CONFIG_HOME points into a fresh temporary
// folder and is put back afterwards.
class Settings_Test : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vt_settings_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_root = pattern;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    m_had_old = old != nullptr;
    if (m_had_old) m_old = old;
    setenv("XDG_CONFIG_HOME", m_root.c_str(), 1);
  }
  void TearDown() override {
    if (m_had_old) {
      setenv("XDG_CONFIG_HOME", m_old.c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
  }

  std::string Folder() const { return m_root + "/vorthane"; }
  std::string Key_File() const { return Folder() + "/Software.Brask_Lin.Settings.txt"; }

  void Write_Key_File(const std::string& text) {
    fs::create_directories(Folder());
    std::ofstream(Key_File(), std::ios::binary) << text;
  }
  std::string Read_Key_File() const {
    std::ifstream in(Key_File(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  static HKEY Create_Key() {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
  }
  static HKEY Open_Key() {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    return key;
  }

  static LONG Set_Dword(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
  }

  // Reads a value that must fit in 64 bytes.
  static LONG Query(HKEY key, const char* name, DWORD* type, std::vector<BYTE>* data) {
    BYTE buffer[64];
    DWORD size = sizeof buffer;
    const LONG result = RegQueryValueExA(key, name, nullptr, type, buffer, &size);
    if (result == ERROR_SUCCESS) data->assign(buffer, buffer + size);
    return result;
  }

  static LONG Query_Dword(const char* name, DWORD* value) {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key);
    if (result != ERROR_SUCCESS) return result;
    DWORD size = 4;
    result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return result;
  }

 private:
  std::string m_root;
  std::string m_old;
  bool m_had_old = false;
};

TEST_F(Settings_Test, EmptyStoreHasNoKeyAndNewKeyHasNoValues) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);

  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ | KEY_WRITE, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  DWORD value = 0xA5A5A5A5;
  DWORD size = 4;
  EXPECT_EQ(RegQueryValueExA(key, "Display_Windowed", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(&value), &size),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(value, 0xA5A5A5A5u) << "a missing value leaves the caller's buffer alone";
  RegCloseKey(key);

  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_WRITE, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  RegCloseKey(key);
}

TEST_F(Settings_Test, ValuesRoundTripBitExactlyThroughTheFile) {
  const float volume = 0.35f;
  DWORD volume_bits = 0;
  std::memcpy(&volume_bits, &volume, 4);
  struct Case {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
  };
  const std::vector<Case> cases = {
      {"Display_Windowed", REG_DWORD, {1, 0, 0, 0}},
      {"Zero", REG_DWORD, {0, 0, 0, 0}},
      {"All_Ones", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}},
      {"Music_Volume", REG_DWORD,
       {BYTE(volume_bits), BYTE(volume_bits >> 8), BYTE(volume_bits >> 16), BYTE(volume_bits >> 24)}},
      {"Quiet_NaN", REG_DWORD, {0x01, 0x00, 0xC0, 0x7F}},
      {"Short_Dword", REG_DWORD, {0x12, 0x34}},
      {"Blob", REG_BINARY, {0x00, 0xFF, '=', '\n', '\r', ',', 0x80}},
      {"Empty_Blob", REG_BINARY, {}},
      {"Other_Type", 7, {'a', 0, 'b', 0, 0}},
      {"Type_None", REG_NONE, {9}},
      {"name with spaces=and.dots%", REG_DWORD, {4, 3, 2, 1}},
      {"", REG_DWORD, {7, 0, 0, 0}},
  };
  HKEY key = Create_Key();
  for (const Case& c : cases) {
    ASSERT_EQ(RegSetValueExA(key, c.name.c_str(), 0, c.type, c.data.data(),
                             static_cast<DWORD>(c.data.size())),
              ERROR_SUCCESS)
        << c.name;
  }
  RegCloseKey(key);

  key = Open_Key();
  for (const Case& c : cases) {
    DWORD type = 0xDEAD;
    std::vector<BYTE> data;
    ASSERT_EQ(Query(key, c.name.c_str(), &type, &data), ERROR_SUCCESS) << c.name;
    EXPECT_EQ(type, c.type) << c.name;
    EXPECT_EQ(data, c.data) << c.name;
  }
  RegCloseKey(key);

  float read_volume = 0;
  DWORD bits = 0;
  ASSERT_EQ(Query_Dword("Music_Volume", &bits), ERROR_SUCCESS);
  std::memcpy(&read_volume, &bits, 4);
  EXPECT_EQ(read_volume, 0.35f);
}

TEST_F(Settings_Test, KeyFileIsPlainTextNamedAfterTheKey) {
  HKEY key = Create_Key();
  ASSERT_EQ(Set_Dword(key, "Display_Resolution", 2), ERROR_SUCCESS);
  ASSERT_EQ(Set_Dword(key, "Mouse_Cap_Enable", 1), ERROR_SUCCESS);
  ASSERT_EQ(Set_Dword(key, "Display_Resolution", 0x3F800000), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(Read_Key_File(),
            "Display_Resolution=dword:3f800000\n"
            "Mouse_Cap_Enable=dword:00000001\n");
}

TEST_F(Settings_Test, SubKeysOfAnOpenKeyLiveInTheirOwnFile) {
  HKEY parent = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Brask_Lin", 0, nullptr, 0,
                            KEY_WRITE, nullptr, &parent, nullptr),
            ERROR_SUCCESS);
  HKEY child = nullptr;
  ASSERT_EQ(RegCreateKeyExA(parent, "Settings", 0, nullptr, 0, KEY_WRITE, nullptr, &child,
                            nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(Set_Dword(child, "Mirrors_Enable", 0), ERROR_SUCCESS);
  ASSERT_EQ(Set_Dword(parent, "Mirrors_Enable", 1), ERROR_SUCCESS);
  RegCloseKey(child);
  RegCloseKey(parent);
  DWORD value = 99;
  ASSERT_EQ(Query_Dword("Mirrors_Enable", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, 0u);
  EXPECT_TRUE(fs::exists(Folder() + "/Software.Brask_Lin.txt"));
}

TEST_F(Settings_Test, SmallBuffersGetTheSizeNeeded) {
  HKEY key = Create_Key();
  const BYTE blob[6] = {1, 2, 3, 4, 5, 6};
  ASSERT_EQ(RegSetValueExA(key, "Blob", 0, REG_BINARY, blob, 6), ERROR_SUCCESS);
  RegCloseKey(key);
  key = Open_Key();
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "Blob", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 6u);
  BYTE small[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  size = 4;
  EXPECT_EQ(RegQueryValueExA(key, "Blob", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(small[0], 0xEE) << "nothing is copied into a buffer that is too small";
  EXPECT_EQ(RegQueryValueExA(key, "Blob", nullptr, nullptr, small, nullptr),
            ERROR_INVALID_PARAMETER);
  RegCloseKey(key);
}

TEST_F(Settings_Test, UnreadableLinesReadAsMissingAndSurviveRewrites) {
  const std::vector<std::string> bad_lines = {
      "Short=dword:123",         "Long=dword:123456789",     "NotHex=dword:1234567g",
      "BadBytes=hex:zz",         "OddBytes=hex:01,0",        "NoComma=hex:0102",
      "TrailingComma=hex:01,",   "HugeType=hex(99999999999):00", "NoType=hex():00",
      "Unclosed=hex(4:00",       "Unknown=text:hello",       "Bad%2=dword:00000001",
  };
  std::string text = "Good=dword:0000002a\n";
  for (const std::string& line : bad_lines) text += line + "\n";
  text += "no equals sign at all\n";
  Write_Key_File(text);

  DWORD value = 0;
  ASSERT_EQ(Query_Dword("Good", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, 42u);
  for (const std::string& line : bad_lines) {
    const std::string name = line.substr(0, line.find('='));
    EXPECT_EQ(Query_Dword(name.c_str(), &value), ERROR_FILE_NOT_FOUND) << line;
  }

  HKEY key = Create_Key();
  ASSERT_EQ(Set_Dword(key, "Short", 5), ERROR_SUCCESS);
  ASSERT_EQ(Set_Dword(key, "Added", 6), ERROR_SUCCESS);
  RegCloseKey(key);
  const std::string after = Read_Key_File();
  EXPECT_EQ(after.find("Short=dword:123\n"), std::string::npos);
  EXPECT_NE(after.find("Short=dword:00000005\n"), std::string::npos);
  for (size_t i = 1; i < bad_lines.size(); ++i) {
    EXPECT_NE(after.find(bad_lines[i] + "\n"), std::string::npos) << bad_lines[i];
  }
  EXPECT_NE(after.find("no equals sign at all\n"), std::string::npos);
  ASSERT_EQ(Query_Dword("Short", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, 5u);
}

TEST_F(Settings_Test, LastLineOfAValueDecides) {
  Write_Key_File("Twice=dword:00000001\r\nTwice=dword:00000002\r\nBroken=dword:00000001\n"
                 "Broken=dword:zz\n");
  DWORD value = 0;
  ASSERT_EQ(Query_Dword("Twice", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, 2u);
  EXPECT_EQ(Query_Dword("Broken", &value), ERROR_FILE_NOT_FOUND);
}

TEST_F(Settings_Test, FailedWriteLeavesTheOldFileAndReportsFailure) {
  HKEY key = Create_Key();
  ASSERT_EQ(Set_Dword(key, "Display_BitDepth", 1), ERROR_SUCCESS);
  const std::string before = Read_Key_File();
  for (plat::Replace_Step step : {plat::Replace_Step::Create, plat::Replace_Step::Write,
                                  plat::Replace_Step::Sync, plat::Replace_Step::Rename}) {
    plat::Inject_Replace_Failure(step);
    EXPECT_NE(Set_Dword(key, "Display_BitDepth", 0), ERROR_SUCCESS);
    EXPECT_EQ(Read_Key_File(), before);
  }
  RegCloseKey(key);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Folder())) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(names, std::vector<std::string>{"Software.Brask_Lin.Settings.txt"})
      << "no temporary file is left behind";
  DWORD value = 0;
  ASSERT_EQ(Query_Dword("Display_BitDepth", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, 1u);
}

TEST_F(Settings_Test, KeyFileThatCannotBeReadIsNeitherReadNorOverwritten) {
  // A folder where the key file should be, and a file too large to be a key file.
  fs::create_directories(Key_File());
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr),
            ERROR_ACCESS_DENIED);
  DWORD value = 0;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ | KEY_WRITE, &key),
            ERROR_SUCCESS);
  EXPECT_EQ(Query_Dword("Anything", &value), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Set_Dword(key, "Anything", 1), ERROR_ACCESS_DENIED);
  RegCloseKey(key);
  fs::remove(Key_File());

}

// A key file of any size is read and saved; what it holds besides the values written stays.
TEST_F(Settings_Test, LargeKeyFileIsReadAndSavedWithItsLinesKept) {
  const std::string filler(5 * 1024 * 1024, '#');  // one overlong line
  Write_Key_File("Kept=dword:00000001\n" + filler + "\nLong=dword:00000002" + filler + "\nAfter=dword:00000003");
  DWORD value = 0;
  ASSERT_EQ(Query_Dword("Kept", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(Query_Dword("Long", &value), ERROR_FILE_NOT_FOUND) << "an overlong line holds no value";
  ASSERT_EQ(Query_Dword("After", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, 3u);
  HKEY key = Create_Key();
  EXPECT_EQ(Set_Dword(key, "Other", 4), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(Read_Key_File(), "Kept=dword:00000001\n" + filler + "\nLong=dword:00000002" + filler +
                                 "\nAfter=dword:00000003\nOther=dword:00000004\n");
}

// Lines that cannot be read are kept byte for byte, so they never change meaning on a save.
TEST_F(Settings_Test, UnreadableLinesKeepTheirCarriageReturns) {
  const std::string kept[] = {"Two=dword:00000001\r\r", "Mid=dword:0000\r0001", "Cr\r"};
  Write_Key_File(kept[0] + "\n" + kept[1] + "\nSet=dword:00000001\r\n" + kept[2] + "\n");
  DWORD value = 0;
  EXPECT_EQ(Query_Dword("Two", &value), ERROR_FILE_NOT_FOUND);
  for (int save = 0; save < 2; ++save) {
    HKEY key = Create_Key();
    ASSERT_EQ(Set_Dword(key, "Set", 2 + save), ERROR_SUCCESS);
    RegCloseKey(key);
    const std::string after = Read_Key_File();
    for (const std::string& line : kept) EXPECT_NE(after.find(line + "\n"), std::string::npos) << save;
    EXPECT_EQ(Query_Dword("Two", &value), ERROR_FILE_NOT_FOUND) << "still unreadable after save " << save;
    EXPECT_EQ(Query_Dword("Mid", &value), ERROR_FILE_NOT_FOUND);
  }
}

TEST_F(Settings_Test, KeyFileThatIsALinkIsWrittenThroughToItsTarget) {
  fs::create_directories(Folder());
  const std::string target = Folder() + "/../elsewhere.txt";
  std::ofstream(target, std::ios::binary) << "Old=dword:00000001\n";
  fs::create_symlink("../elsewhere.txt", Key_File());
  HKEY key = Create_Key();
  ASSERT_EQ(Set_Dword(key, "New", 2), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_TRUE(fs::is_symlink(Key_File()));
  std::ifstream in(target, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "Old=dword:00000001\nNew=dword:00000002\n");
}

TEST_F(Settings_Test, SeveralValuesGoInOneWriteThatClearsStaleTemporaries) {
  HKEY key = Create_Key();
  const std::string stale = Key_File() + ".tmp.AbC123";
  std::ofstream(stale) << "left by a killed save";
  const auto dword = [](const char* name, BYTE low) {
    return plat::Settings_Value{name, REG_DWORD, {low, 0, 0, 0}};
  };
  plat::Inject_Replace_Failure(plat::Replace_Step::Rename);
  testing::internal::CaptureStderr();
  EXPECT_NE(plat::Set_Key_Values(key, {dword("A", 1), dword("B", 2)}), ERROR_SUCCESS);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find(Key_File()), std::string::npos) << "a failed save names its file: " << said;
  EXPECT_EQ(Read_Key_File(), "");
  ASSERT_EQ(plat::Set_Key_Values(key, {dword("A", 1), dword("B", 2), dword("A", 3)}), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(Read_Key_File(), "A=dword:00000003\nB=dword:00000002\n");
  EXPECT_FALSE(fs::exists(stale));
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Folder())) names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"Software.Brask_Lin.Settings.txt"});
}

TEST_F(Settings_Test, HandlesAreCheckedBeforeUse) {
  RegCloseKey(Create_Key());
  HKEY read_only = Open_Key();
  EXPECT_EQ(Set_Dword(read_only, "X", 1), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegCloseKey(read_only), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(read_only), ERROR_INVALID_HANDLE);
  DWORD size = 4;
  DWORD value = 0;
  EXPECT_EQ(RegQueryValueExA(read_only, "X", nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                             &size),
            ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);

  HKEY key = Create_Key();
  EXPECT_EQ(RegSetValueExA(key, "X", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
  std::vector<BYTE> huge(kMaxSettingsValueSize + 1);
  EXPECT_EQ(RegSetValueExA(key, "X", 0, REG_BINARY, huge.data(), DWORD(huge.size())),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Query_Dword("X", &value), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

// A FIFO in the key file's place is refused at once (the alarm ends a run that waits on it):
// named once on stderr, its values read as missing, and a save does not replace it.
TEST_F(Settings_Test, KeyFileThatIsAFifoIsRefusedAtOnceAndReadsAsMissing) {
  fs::create_directories(Folder());
  ASSERT_EQ(mkfifo(Key_File().c_str(), 0600), 0);
  alarm(60);
  testing::internal::CaptureStderr();
  DWORD value = 7;
  for (const char* name : {"Display_Windowed", "Display_Resolution", "Music_Volume"}) {
    EXPECT_EQ(Query_Dword(name, &value), ERROR_FILE_NOT_FOUND) << name;
  }
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ | KEY_WRITE, &key), ERROR_SUCCESS);
  EXPECT_EQ(Set_Dword(key, "Display_Windowed", 1), ERROR_ACCESS_DENIED);
  RegCloseKey(key);
  const std::string said = testing::internal::GetCapturedStderr();
  alarm(0);
  EXPECT_EQ(value, 7u);
  const std::string refused = Key_File() + " was not opened: it is a FIFO, not a regular file";
  const size_t first = said.find(refused);
  ASSERT_NE(first, std::string::npos) << said;
  EXPECT_EQ(said.find(refused, first + 1), std::string::npos) << "said once: " << said;
  EXPECT_NE(said.find("could not save settings to " + Key_File() +
                      " (it is a FIFO, not a regular file); no settings were saved"),
            std::string::npos)
      << said;
  EXPECT_TRUE(fs::is_fifo(Key_File())) << "the FIFO is not replaced";
}

// A save that fails on a full disk before any setting was saved leaves no empty key file and
// says that nothing was saved; with settings saved before it says that they stay.
TEST_F(Settings_Test, AFullDiskLeavesNoEmptyKeyFileAndSaysWhatStays) {
  const auto dword = [](const char* name, BYTE low) {
    return plat::Settings_Value{name, REG_DWORD, {low, 0, 0, 0}};
  };
  HKEY key = Create_Key();
  ASSERT_TRUE(fs::exists(Key_File())) << "a new key has its empty file";
  plat::Inject_Replace_Failure(plat::Replace_Step::Write, ENOSPC);
  testing::internal::CaptureStderr();
  EXPECT_NE(plat::Set_Key_Values(key, {dword("Display_Windowed", 1)}), ERROR_SUCCESS);
  std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("could not save settings to " + Key_File() + " (No space left on device); no settings were saved"),
            std::string::npos)
      << said;
  EXPECT_EQ(said.find("the old values stay"), std::string::npos) << said;
  EXPECT_FALSE(fs::exists(Key_File())) << "the empty key file is removed";
  HKEY opened = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &opened), ERROR_FILE_NOT_FOUND);

  ASSERT_EQ(plat::Set_Key_Values(key, {dword("Display_Windowed", 1)}), ERROR_SUCCESS);
  const std::string saved = Read_Key_File();
  plat::Inject_Replace_Failure(plat::Replace_Step::Create, ENOSPC);
  testing::internal::CaptureStderr();
  EXPECT_NE(plat::Set_Key_Values(key, {dword("Display_Windowed", 0)}), ERROR_SUCCESS);
  said = testing::internal::GetCapturedStderr();
  RegCloseKey(key);
  EXPECT_NE(said.find("(No space left on device); the old values stay"), std::string::npos) << said;
  EXPECT_EQ(Read_Key_File(), saved);
}

TEST(Settings_Folder, FollowsXdgConfigHomeElseHome) {
  const char* old_config = std::getenv("XDG_CONFIG_HOME");
  const char* old_home = std::getenv("HOME");
  const std::string saved_config = old_config != nullptr ? old_config : "";
  const std::string saved_home = old_home != nullptr ? old_home : "";

  setenv("HOME", "/home/player", 1);
  setenv("XDG_CONFIG_HOME", "/srv/config", 1);
  EXPECT_EQ(plat::Settings_Folder(), "/srv/config/vorthane");
  setenv("XDG_CONFIG_HOME", "", 1);
  EXPECT_EQ(plat::Settings_Folder(), "/home/player/.config/vorthane");
  setenv("XDG_CONFIG_HOME", "relative/path", 1);
  EXPECT_EQ(plat::Settings_Folder(), "/home/player/.config/vorthane");

  if (old_config != nullptr) {
    setenv("XDG_CONFIG_HOME", saved_config.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
  if (old_home != nullptr) {
    setenv("HOME", saved_home.c_str(), 1);
  } else {
    unsetenv("HOME");
  }
}

}  // namespace
