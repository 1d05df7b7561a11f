#include "platform/system/settings_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string_view>
#include <vector>

#include "platform/system/files.h"

struct HKEY__ {
  std::vector<std::string> parts;  // the key's path below the root; empty for the root
  DWORD access = 0;
};

namespace {

HKEY__ g_root_key{{}, KEY_READ | KEY_WRITE};

// Guards the set of open handles and serialises the read-modify-write of a key file.
std::mutex g_mutex;
std::set<HKEY> g_open_keys;

// A key file larger than this is not read at all: its values count as missing.
constexpr off_t kMaxKeyFileSize = 4 * 1024 * 1024;
constexpr size_t kMaxKeyPartLength = 255;

struct Value {
  std::string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

enum class Read_Result { Ok, Missing, Unreadable };

bool Is_Valid(HKEY key) { return key == &g_root_key || g_open_keys.count(key) != 0; }

bool Is_Plain(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-';
}

int Hex_Digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Names in file names and value lines keep letters, digits, '_' and '-'; every other byte is
// written as %XX, so '.', '=' and line breaks never appear inside a name.
std::string Encode_Name(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    if (Is_Plain(c)) {
      out += c;
      continue;
    }
    const auto byte = static_cast<unsigned char>(c);
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
  }
  return out;
}

bool Decode_Name(std::string_view text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (Is_Plain(text[i])) {
      *out += text[i];
      continue;
    }
    if (text[i] != '%' || i + 2 >= text.size()) return false;
    const int high = Hex_Digit(text[i + 1]);
    const int low = Hex_Digit(text[i + 2]);
    if (high < 0 || low < 0) return false;
    *out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

bool Split_Key_Path(const char* sub_key, std::vector<std::string>* parts) {
  if (sub_key == nullptr) return true;
  std::string_view rest = sub_key;
  while (!rest.empty()) {
    const size_t slash = rest.find('\\');
    const std::string_view part = rest.substr(0, slash);
    if (part.size() > kMaxKeyPartLength) return false;
    if (!part.empty()) parts->emplace_back(part);
    if (slash == std::string_view::npos) break;
    rest.remove_prefix(slash + 1);
  }
  return true;
}

std::string Key_File_Path(const std::vector<std::string>& parts) {
  std::string name;
  for (const std::string& part : parts) {
    if (!name.empty()) name += '.';
    name += Encode_Name(part);
  }
  return plat::Settings_Folder() + "/" + name + ".txt";
}

Read_Result Read_Key_File(const std::string& path, std::string* text) {
  text->clear();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? Read_Result::Missing : Read_Result::Unreadable;
  struct stat info {};
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxKeyFileSize;
  char buffer[4096];
  while (ok) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || text->size() + static_cast<size_t>(got) > kMaxKeyFileSize) ok = false;
    if (got <= 0) break;
    text->append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return ok ? Read_Result::Ok : Read_Result::Unreadable;
}

std::vector<std::string_view> Split_Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// The decoded name a line stands for, even when its data cannot be read.
bool Line_Name(std::string_view line, std::string* name) {
  const size_t equals = line.find('=');
  return equals != std::string_view::npos && Decode_Name(line.substr(0, equals), name);
}

bool Parse_Unsigned(std::string_view digits, int base, uint64_t limit, uint64_t* value) {
  if (digits.empty() || digits.size() > 10) return false;
  *value = 0;
  for (char c : digits) {
    const int digit = Hex_Digit(c);
    if (digit < 0 || digit >= base) return false;
    *value = *value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  return *value <= limit;
}

// "aa,bb,cc" (or nothing) into bytes.
bool Parse_Bytes(std::string_view list, std::vector<BYTE>* data) {
  data->clear();
  if (list.empty()) return true;
  if (list.size() % 3 != 2 || list.size() / 3 + 1 > kMaxSettingsValueSize) return false;
  for (size_t i = 0; i < list.size(); i += 3) {
    const int high = Hex_Digit(list[i]);
    const int low = Hex_Digit(list[i + 1]);
    if (high < 0 || low < 0) return false;
    if (i + 2 < list.size() && list[i + 2] != ',') return false;
    data->push_back(static_cast<BYTE>(high * 16 + low));
  }
  return true;
}

bool Parse_Line(std::string_view line, Value* value) {
  if (!Line_Name(line, &value->name)) return false;
  std::string_view rest = line.substr(line.find('=') + 1);
  uint64_t number = 0;
  if (rest.substr(0, 6) == "dword:") {
    if (rest.size() != 14 || !Parse_Unsigned(rest.substr(6), 16, 0xFFFFFFFFu, &number)) {
      return false;
    }
    value->type = REG_DWORD;
    value->data.clear();
    for (int shift = 0; shift < 32; shift += 8) value->data.push_back(BYTE(number >> shift));
    return true;
  }
  if (rest.substr(0, 4) == "hex:") {
    value->type = REG_BINARY;
    return Parse_Bytes(rest.substr(4), &value->data);
  }
  if (rest.substr(0, 4) != "hex(") return false;
  const size_t close = rest.find("):");
  if (close == std::string_view::npos) return false;
  if (!Parse_Unsigned(rest.substr(4, close - 4), 10, 0xFFFFFFFFu, &number)) return false;
  value->type = static_cast<DWORD>(number);
  return Parse_Bytes(rest.substr(close + 2), &value->data);
}

std::string Format_Line(const std::string& name, DWORD type, const BYTE* data, DWORD size) {
  static const char kHex[] = "0123456789abcdef";
  std::string line = Encode_Name(name) + "=";
  if (type == REG_DWORD && size == 4) {
    line += "dword:";
    for (int i = 3; i >= 0; --i) {
      line += kHex[data[i] >> 4];
      line += kHex[data[i] & 15];
    }
    return line;
  }
  line += type == REG_BINARY ? "hex:" : "hex(" + std::to_string(type) + "):";
  for (DWORD i = 0; i < size; ++i) {
    if (i > 0) line += ',';
    line += kHex[data[i] >> 4];
    line += kHex[data[i] & 15];
  }
  return line;
}

// The last line naming the value decides: when that line cannot be read the value is missing.
bool Find_Value(std::string_view text, const std::string& name, Value* value) {
  bool found = false;
  std::string line_name;
  for (std::string_view line : Split_Lines(text)) {
    if (!Line_Name(line, &line_name) || line_name != name) continue;
    found = Parse_Line(line, value);
  }
  return found;
}

// The file's text with the value's line replaced (in place of its first line) or appended.
std::string Replace_Value_Line(std::string_view text, const std::string& name,
                               const std::string& new_line) {
  std::string out;
  bool placed = false;
  std::string line_name;
  for (std::string_view line : Split_Lines(text)) {
    if (Line_Name(line, &line_name) && line_name == name) {
      if (placed) continue;
      out += new_line;
      placed = true;
    } else {
      out += line;
    }
    out += '\n';
  }
  if (!placed) out += new_line + '\n';
  return out;
}

bool Make_Folders(const std::string& folder) {
  if (folder.empty()) return false;
  for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string prefix = folder.substr(0, slash);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

HKEY New_Handle(std::vector<std::string> parts, DWORD access) {
  HKEY key = new HKEY__{std::move(parts), access};
  g_open_keys.insert(key);
  return key;
}

bool Path_Exists(const std::string& path, bool* is_file) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return false;
  *is_file = S_ISREG(info.st_mode);
  return true;
}

}  // namespace

HKEY const HKEY_CURRENT_USER = &g_root_key;

namespace plat {

std::string Settings_Folder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::string(config) + "/vorthane";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') {
    const passwd* entry = getpwuid(getuid());
    home = entry != nullptr ? entry->pw_dir : nullptr;
  }
  if (home == nullptr || home[0] != '/') return std::string();
  return std::string(home) + "/.config/vorthane";
}

}  // namespace plat

LONG RegOpenKeyExA(HKEY key, const char* sub_key, DWORD /*options*/, DWORD access,
                   HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::lock_guard<std::mutex> guard(g_mutex);
  if (!Is_Valid(key)) return ERROR_INVALID_HANDLE;
  std::vector<std::string> parts = key->parts;
  if (!Split_Key_Path(sub_key, &parts)) return ERROR_INVALID_PARAMETER;
  bool is_file = false;
  if (!parts.empty() && !Path_Exists(Key_File_Path(parts), &is_file)) {
    return ERROR_FILE_NOT_FOUND;
  }
  *result = New_Handle(std::move(parts), access);
  return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY key, const char* sub_key, DWORD /*reserved*/, char* /*key_class*/,
                     DWORD /*options*/, DWORD access, void* /*security*/, HKEY* result,
                     DWORD* disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::lock_guard<std::mutex> guard(g_mutex);
  if (!Is_Valid(key)) return ERROR_INVALID_HANDLE;
  std::vector<std::string> parts = key->parts;
  if (!Split_Key_Path(sub_key, &parts)) return ERROR_INVALID_PARAMETER;
  DWORD how = REG_OPENED_EXISTING_KEY;
  if (!parts.empty()) {
    const std::string path = Key_File_Path(parts);
    bool is_file = false;
    if (Path_Exists(path, &is_file)) {
      if (!is_file) return ERROR_ACCESS_DENIED;
    } else {
      if (!Make_Folders(plat::Settings_Folder())) return ERROR_ACCESS_DENIED;
      if (!plat::Replace_File_Atomically(path, std::string_view())) return ERROR_ACCESS_DENIED;
      how = REG_CREATED_NEW_KEY;
    }
  }
  if (disposition != nullptr) *disposition = how;
  *result = New_Handle(std::move(parts), access);
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, const char* name, DWORD* /*reserved*/, DWORD* type, BYTE* data,
                      DWORD* size) {
  std::lock_guard<std::mutex> guard(g_mutex);
  if (!Is_Valid(key)) return ERROR_INVALID_HANDLE;
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  if ((key->access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
  if (key->parts.empty()) return ERROR_FILE_NOT_FOUND;
  std::string text;
  if (Read_Key_File(Key_File_Path(key->parts), &text) != Read_Result::Ok) {
    return ERROR_FILE_NOT_FOUND;
  }
  Value value;
  if (!Find_Value(text, name != nullptr ? name : "", &value)) return ERROR_FILE_NOT_FOUND;
  if (type != nullptr) *type = value.type;
  if (size == nullptr) return ERROR_SUCCESS;
  const auto needed = static_cast<DWORD>(value.data.size());
  if (data != nullptr && *size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (data != nullptr && needed > 0) std::memcpy(data, value.data.data(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, const char* name, DWORD /*reserved*/, DWORD type, const BYTE* data,
                    DWORD size) {
  std::lock_guard<std::mutex> guard(g_mutex);
  if (!Is_Valid(key)) return ERROR_INVALID_HANDLE;
  if ((data == nullptr && size > 0) || size > kMaxSettingsValueSize) {
    return ERROR_INVALID_PARAMETER;
  }
  if ((key->access & KEY_SET_VALUE) == 0 || key->parts.empty()) return ERROR_ACCESS_DENIED;
  const std::string path = Key_File_Path(key->parts);
  std::string text;
  // A file that exists but cannot be read is not overwritten: its values would be lost.
  if (Read_Key_File(path, &text) == Read_Result::Unreadable) return ERROR_ACCESS_DENIED;
  const std::string value_name = name != nullptr ? name : "";
  text = Replace_Value_Line(text, value_name, Format_Line(value_name, type, data, size));
  if (!Make_Folders(plat::Settings_Folder())) return ERROR_ACCESS_DENIED;
  if (!plat::Replace_File_Atomically(path, text)) return ERROR_ACCESS_DENIED;
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  std::lock_guard<std::mutex> guard(g_mutex);
  if (key == &g_root_key) return ERROR_SUCCESS;
  if (g_open_keys.erase(key) == 0) return ERROR_INVALID_HANDLE;
  delete key;
  return ERROR_SUCCESS;
}
