// Reads the input as a settings key file: every value the file names is queried, then one value
// is written and must read back bit for bit while every other value keeps its answer.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/system/files.h"
#include "platform/system/settings_store.h"

namespace {

constexpr const char* kKey = "Software\\Fuzz\\Settings";

struct Answer {
  LONG result = 0;
  DWORD type = 0;
  std::vector<BYTE> data;
  bool operator==(const Answer& other) const {
    return result == other.result && type == other.type && data == other.data;
  }
};

const std::string& Folder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/vt_fuzz_settings_XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) __builtin_trap();
    setenv("XDG_CONFIG_HOME", made, 1);
    plat::Set_File_Sync(false);  // thousands of inputs a second; nothing here must survive a crash
    return std::string(made) + "/vorthane";
  }();
  return folder;
}

Answer Query(HKEY key, const std::string& name) {
  Answer answer;
  DWORD size = 0;
  answer.result = RegQueryValueExA(key, name.c_str(), nullptr, &answer.type, nullptr, &size);
  if (answer.result != ERROR_SUCCESS) return answer;
  if (size > kMaxSettingsValueSize) __builtin_trap();
  answer.data.resize(size);
  DWORD got = size;
  answer.result = RegQueryValueExA(key, name.c_str(), nullptr, &answer.type, answer.data.data(), &got);
  if (answer.result != ERROR_SUCCESS || got != size) __builtin_trap();
  return answer;
}

// The plain names the input's lines start with. A name with a NUL byte cannot be asked for
// through the C interface (it would stand for its first part), so it is left out.
std::vector<std::string> Names_In(const std::string& text) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start < text.size() && names.size() < 64) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    const size_t equals = line.find('=');
    if (equals != std::string::npos && line.find('\0') > equals) names.push_back(line.substr(0, equals));
    start = end + 1;
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  mkdir(Folder().c_str(), 0700);
  std::ofstream(Folder() + "/Software.Fuzz.Settings.txt", std::ios::binary | std::ios::trunc)
      << text;

  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return 0;
  }
  const std::vector<std::string> names = Names_In(text);
  std::vector<Answer> before;
  for (const std::string& name : names) before.push_back(Query(key, name));

  const std::string written_name = "Fuzz_Written";
  const BYTE value[5] = {0x00, '=', '\n', 0xFF, static_cast<BYTE>(size)};
  if (RegSetValueExA(key, written_name.c_str(), 0, REG_BINARY, value, sizeof value) ==
      ERROR_SUCCESS) {
    const Answer read = Query(key, written_name);
    if (read.result != ERROR_SUCCESS || read.type != REG_BINARY ||
        read.data != std::vector<BYTE>(value, value + sizeof value)) {
      __builtin_trap();
    }
    for (size_t i = 0; i < names.size(); ++i) {
      if (names[i] != written_name && !(Query(key, names[i]) == before[i])) __builtin_trap();
    }
  }
  RegCloseKey(key);
  return 0;
}
