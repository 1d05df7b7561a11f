#include "platform/system/settings_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string_view>
#include <vector>

#include "platform/system/debug.h"
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

// A line longer than this cannot hold a value (the largest value with a long name is far
// shorter); it is kept but never parsed.
constexpr size_t kMaxLineLength = 1024 * 1024;
constexpr size_t kMaxKeyPartLength = 255;

struct Value {
  std::string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

enum class Read_Result { Ok, Missing, Unreadable, Not_Regular };

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

// Reads a key file piece by piece, so that a file of any size costs at most one line of
// memory. A line longer than kMaxLineLength cannot hold a value; it comes in parts.
class Line_Reader {
 public:
  enum class Piece { Line, Part, End, Error };

  explicit Line_Reader(int fd) : m_fd(fd) {}

  // The next line without its '\n' (Line), or the next part of an overlong line (Part;
  // `*ends_line` tells whether it is the last part).
  Piece Next(std::string* out, bool* ends_line) {
    for (;;) {
      const size_t newline = m_buffer.find('\n', m_pos);
      if (newline != std::string::npos && newline - m_pos <= kMaxLineLength) {
        return Take(newline - m_pos, 1, true, out, ends_line);
      }
      if (m_buffer.size() - m_pos > kMaxLineLength) return Take(kMaxLineLength, 0, false, out, ends_line);
      if (m_eof) {
        if (m_pos == m_buffer.size()) return Piece::End;
        return Take(m_buffer.size() - m_pos, 0, true, out, ends_line);
      }
      if (!Fill()) return Piece::Error;
    }
  }

 private:
  Piece Take(size_t length, size_t skip, bool ends, std::string* out, bool* ends_line) {
    out->assign(m_buffer, m_pos, length);
    m_pos += length + skip;
    *ends_line = ends;
    const bool part = m_in_long_line || !ends;
    m_in_long_line = !ends;
    return part ? Piece::Part : Piece::Line;
  }

  bool Fill() {
    m_buffer.erase(0, m_pos);
    m_pos = 0;
    char chunk[65536];
    for (;;) {
      const ssize_t got = read(m_fd, chunk, sizeof chunk);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return false;
      if (got == 0) m_eof = true;
      m_buffer.append(chunk, static_cast<size_t>(got));
      return true;
    }
  }

  int m_fd;
  std::string m_buffer;
  size_t m_pos = 0;
  bool m_eof = false;
  bool m_in_long_line = false;
};

// The key files found not to be regular files (a FIFO, a folder...) and already named on
// stderr, so that reading the nine settings says it once. Guarded by g_mutex.
std::set<std::string> g_refused_key_files;

// Opens a key file for reading without ever waiting on what is not a regular file: Missing
// when there is none, Unreadable when it cannot be read, Not_Regular for a FIFO, a folder or a
// device (`reason`, when given, gets the system's words). What is not a regular file is named
// on stderr once; its values read as missing.
Read_Result Open_Key_File(const std::string& path, int* fd, std::string* reason = nullptr) {
  *fd = -1;
  std::FILE* file = nullptr;
  std::string why;
  const plat::Open_Result opened = plat::Open_Regular_File(path, "rb", &file, &why);
  if (reason != nullptr) *reason = why;
  if (opened == plat::Open_Result::Missing) return Read_Result::Missing;
  if (opened == plat::Open_Result::Not_Regular) {
    if (g_refused_key_files.insert(path).second) {
      plat::Error_Output((path + " was not opened: " + why + "; the settings in it read as missing").c_str());
    }
    return Read_Result::Not_Regular;
  }
  if (opened != plat::Open_Result::Opened) return Read_Result::Unreadable;
  g_refused_key_files.erase(path);
  // The reader works on the descriptor; the stream is only the way it was opened.
  *fd = dup(fileno(file));
  const int error = errno;
  std::fclose(file);
  if (*fd < 0) {
    if (reason != nullptr) *reason = std::strerror(error);
    return Read_Result::Unreadable;
  }
  return Read_Result::Ok;
}

// A line as its value parser sees it: without the one '\r' a CRLF file ends it with.
std::string_view Line_Text(std::string_view raw) {
  if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
  return raw;
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

bool Make_Folders(const std::string& folder);

// The last line naming the value decides: when that line cannot be read the value is missing.
// Read_Result::Unreadable when the file could not be read to its end.
Read_Result Find_Value(const std::string& path, const std::string& name, Value* value, bool* found) {
  *found = false;
  int fd = -1;
  const Read_Result opened = Open_Key_File(path, &fd);
  if (opened != Read_Result::Ok) return opened;
  Line_Reader reader(fd);
  std::string line;
  std::string line_name;
  bool ends_line = true;
  bool line_start = true;
  Read_Result result = Read_Result::Ok;
  for (;;) {
    const Line_Reader::Piece piece = reader.Next(&line, &ends_line);
    if (piece == Line_Reader::Piece::End) break;
    if (piece == Line_Reader::Piece::Error) {
      result = Read_Result::Unreadable;
      break;
    }
    const bool named = line_start && Line_Name(Line_Text(line), &line_name) && line_name == name;
    line_start = ends_line;
    if (!named) continue;
    // An overlong line holds no value that can be read.
    *found = piece == Line_Reader::Piece::Line && Parse_Line(Line_Text(line), value);
  }
  close(fd);
  return result;
}

struct New_Line {
  std::string name;
  std::string line;
  bool placed = false;
};

// Copies the old key file (if any) into the writer with each new value's line in place of the
// first line naming it and the later ones left out; values not in the file are appended. Every
// other line is copied byte for byte.
bool Copy_With_New_Lines(int old_fd, std::vector<New_Line>* lines, plat::Atomic_File_Writer* writer) {
  std::string piece_text;
  std::string line_name;
  bool ends_line = true;
  bool line_start = true;
  bool skipping = false;
  if (old_fd >= 0) {
    Line_Reader reader(old_fd);
    for (;;) {
      const Line_Reader::Piece piece = reader.Next(&piece_text, &ends_line);
      if (piece == Line_Reader::Piece::End) break;
      if (piece == Line_Reader::Piece::Error) return false;
      if (line_start) {
        skipping = false;
        if (Line_Name(Line_Text(piece_text), &line_name)) {
          for (New_Line& line : *lines) {
            if (line.name != line_name) continue;
            skipping = true;
            if (!line.placed && !writer->Write(line.line + '\n')) return false;
            line.placed = true;
          }
        }
      }
      line_start = ends_line;
      if (skipping || (piece == Line_Reader::Piece::Line && piece_text.empty())) continue;
      if (!writer->Write(piece_text)) return false;
      if (ends_line && !writer->Write("\n", 1)) return false;
    }
  }
  for (New_Line& line : *lines) {
    if (!line.placed && !writer->Write(line.line + '\n')) return false;
  }
  return true;
}

void Report_Save_Failure(const std::string& path, const std::string& why, bool had_values) {
  const std::string line = "could not save settings to " + path + " (" + why + "); " +
                           (had_values ? "the old values stay" : "no settings were saved");
  plat::Error_Output(line.c_str());
}

// Whether an entry is a regular file with nothing in it.
bool Is_Empty_File(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0;
}

// Writes the values into the key's file in one atomic replace (through a link to its target).
LONG Write_Values(const std::vector<std::string>& parts, const std::vector<Value>& values) {
  const std::string path = Key_File_Path(parts);
  std::vector<New_Line> lines;
  for (const Value& value : values) {
    const auto size = static_cast<DWORD>(value.data.size());
    std::string line = Format_Line(value.name, value.type, value.data.data(), size);
    // A name given twice keeps its last value.
    auto same = std::find_if(lines.begin(), lines.end(), [&](const New_Line& l) { return l.name == value.name; });
    if (same != lines.end()) {
      same->line = std::move(line);
    } else {
      lines.push_back({value.name, std::move(line)});
    }
  }
  if (!Make_Folders(plat::Settings_Folder())) {
    Report_Save_Failure(path, "cannot make its folder", false);
    return ERROR_ACCESS_DENIED;
  }
  int old_fd = -1;
  std::string why;
  // A file that exists but cannot be read is not overwritten: its values would be lost. Nor is
  // what is not a regular file replaced.
  const Read_Result opened = Open_Key_File(path, &old_fd, &why);
  if (opened == Read_Result::Unreadable || opened == Read_Result::Not_Regular) {
    Report_Save_Failure(path, why, opened == Read_Result::Unreadable);
    return ERROR_ACCESS_DENIED;
  }
  struct stat old_info {};
  const bool had_values = old_fd >= 0 && fstat(old_fd, &old_info) == 0 && old_info.st_size > 0;
  plat::Remove_Temporary_Files(path);
  plat::Atomic_File_Writer writer(path);
  bool ok = writer.Is_Open() && Copy_With_New_Lines(old_fd, &lines, &writer);
  if (old_fd >= 0) close(old_fd);
  ok = ok && writer.Commit();
  if (!ok) {
    // An empty key file (made when the key was created) holds no settings: it goes, so that
    // the next start finds no key rather than an empty one.
    const std::string target = plat::Resolve_Links(path);
    if (!had_values && Is_Empty_File(target)) unlink(target.c_str());
    Report_Save_Failure(path, writer.Failure().empty() ? std::string("it could not be written") : writer.Failure(),
                        had_values);
    return ERROR_ACCESS_DENIED;
  }
  return ERROR_SUCCESS;
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
      // A dangling link gets its target created, not replaced by a file.
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
  Value value;
  bool found = false;
  if (Find_Value(Key_File_Path(key->parts), name != nullptr ? name : "", &value, &found) != Read_Result::Ok ||
      !found) {
    return ERROR_FILE_NOT_FOUND;
  }
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
  Value value{name != nullptr ? name : "", type, {}};
  if (size > 0) value.data.assign(data, data + size);
  return Write_Values(key->parts, {value});
}

namespace plat {

LONG Set_Key_Values(HKEY key, const std::vector<Settings_Value>& values) {
  std::lock_guard<std::mutex> guard(g_mutex);
  if (!Is_Valid(key)) return ERROR_INVALID_HANDLE;
  std::vector<Value> lines;
  for (const Settings_Value& value : values) {
    if (value.data.size() > kMaxSettingsValueSize) return ERROR_INVALID_PARAMETER;
    lines.push_back({value.name, value.type, value.data});
  }
  if ((key->access & KEY_SET_VALUE) == 0 || key->parts.empty()) return ERROR_ACCESS_DENIED;
  return Write_Values(key->parts, lines);
}

}  // namespace plat

LONG RegCloseKey(HKEY key) {
  std::lock_guard<std::mutex> guard(g_mutex);
  if (key == &g_root_key) return ERROR_SUCCESS;
  if (g_open_keys.erase(key) == 0) return ERROR_INVALID_HANDLE;
  delete key;
  return ERROR_SUCCESS;
}
