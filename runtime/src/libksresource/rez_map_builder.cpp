#include "runtime/src/libksresource/rez_map_builder.h"

#include <sys/stat.h>

#include <cstdio>
#include <map>

#include "platform/system/files.h"
#include "runtime/src/libksresource/rez_map_format.h"
#include "runtime/src/libksresource/rez_pack_map.h"
#include "runtime/src/libksresource/rez_report.h"

std::string Rez_Packed_File_Name(const std::string& root, int set) {
  return root + "packed_rezmap_" + std::to_string(set) + ".pck";
}

std::string Rez_Text_Map_File_Name(const std::string& root, int set) {
  return root + "rezmap_" + std::to_string(set) + ".ksa";
}

bool Rez_Read_File(const std::string& path, std::vector<uint8_t>& bytes) {
  bytes.clear();
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  uint8_t buffer[65536];
  size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + count);
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

namespace {

bool Fail(std::string* why, const std::string& reason) {
  if (why) *why = reason;
  return false;
}

// A source that exists and is newer than the map makes the map stale.
bool Newer_Than(const std::string& source, int64_t map_time) {
  int64_t source_time = 0;
  return plat::Get_Modification_Time(source, &source_time) && source_time > map_time;
}

// A record that cannot be what a build wrote: no file, no bytes, or bytes past its file's end.
bool Records_Plausible(const std::string& root, const RezMapData& data, std::string* why) {
  std::map<std::string, int64_t> file_lengths;  // -1 for a file that is not there
  for (const RezRecord& record : data.records) {
    char id[16];
    std::snprintf(id, sizeof id, "%x", record.id);
    if (record.components[0] == 0) return Fail(why, std::string("record ") + id + " names no file");
    if (record.size == 0) return Fail(why, std::string("record ") + id + " has size 0");
    const std::string file = Rez_Record_File_Name(root, data, record);
    auto known = file_lengths.find(file);
    if (known == file_lengths.end()) {
      struct stat info {};
      const int64_t length = stat(file.c_str(), &info) == 0 ? int64_t{info.st_size} : -1;
      known = file_lengths.emplace(file, length).first;
    }
    if (known->second < 0) continue;  // a missing file is reported when it is loaded
    const uint64_t end = uint64_t{record.offset} + (record.size == kRezSizeToEnd ? 0 : record.size);
    if (end > static_cast<uint64_t>(known->second)) {
      return Fail(why, std::string("record ") + id + " lies past the end of " + file);
    }
  }
  return true;
}

}  // namespace

bool Rez_Map_Is_Current(const std::string& root, int set, const std::string& map_path, std::string* why) {
  int64_t map_time = 0;
  if (!plat::Get_Modification_Time(map_path, &map_time)) return Fail(why, "missing");
  if (Newer_Than(Rez_Text_Map_File_Name(root, set), map_time) ||
      Newer_Than(Rez_Packed_File_Name(root, set), map_time)) {
    return Fail(why, "older than its sources");
  }
  std::vector<uint8_t> bytes;
  if (!Rez_Read_File(map_path, bytes)) return Fail(why, "cannot be read");
  RezMapData data;
  std::string error;
  if (!Parse_Rez_Map(bytes.data(), bytes.size(), data, error)) return Fail(why, error);
  return Records_Plausible(root, data, why);
}

bool Rez_Build_Map_Data(const std::string& root, int set, RezMapData& data, std::string& error) {
  std::string packed = Rez_Packed_File_Name(root, set);
  std::string text = Rez_Text_Map_File_Name(root, set);
  int64_t packed_time = 0;
  int64_t text_time = 0;
  bool has_packed = plat::Get_Modification_Time(packed, &packed_time);
  bool has_text = plat::Get_Modification_Time(text, &text_time);
  bool use_packed = has_packed && (!has_text || packed_time >= text_time);
  const std::string& source_path = use_packed ? packed : text;
  FILE* source = std::fopen(source_path.c_str(), "rb");
  if (!source) {
    error = "no source " + source_path;
    return false;
  }
  RezTextMap text_map;
  RezByteSource bytes(source);
  Parse_Rez_Text_Map(bytes, use_packed, text_map);
  std::fclose(source);
  for (const std::string& line : text_map.diagnostics) {
    REZ_ERROR("Build_Pack_Map: %s: %s", source_path.c_str(), line.c_str());
  }
  return Build_Rez_Map_Data(text_map, data, error);
}

bool Rez_Build_Map(const std::string& root, int set, const std::string& map_path, std::string& error) {
  RezMapData data;
  if (!Rez_Build_Map_Data(root, set, data, error)) return false;
  std::vector<uint8_t> out = Serialize_Rez_Map(data);
  if (!plat::Replace_File_Atomically(map_path, out.data(), out.size())) {
    error = "cannot write " + map_path;
    return false;
  }
  return true;
}
