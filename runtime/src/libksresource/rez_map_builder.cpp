#include "runtime/src/libksresource/rez_map_builder.h"

#include <cstdio>

#include "platform/system/files.h"
#include "runtime/src/libksresource/rez_map_format.h"
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

// A source that exists and is newer than the map makes the map stale.
bool Newer_Than(const std::string& source, int64_t map_time) {
  int64_t source_time = 0;
  return plat::Get_Modification_Time(source, &source_time) && source_time > map_time;
}

bool Header_Matches_File(const std::string& map_path) {
  FILE* file = std::fopen(map_path.c_str(), "rb");
  if (!file) return false;
  uint8_t bytes[kRezMapHeaderSize];
  bool ok = std::fread(bytes, 1, sizeof bytes, file) == sizeof bytes;
  long length = 0;
  ok = ok && std::fseek(file, 0, SEEK_END) == 0 && (length = std::ftell(file)) >= 0;
  std::fclose(file);
  RezMapHeader header;
  return ok && Parse_Rez_Map_Header(bytes, sizeof bytes, header) &&
         header.Total_Size() == static_cast<uint64_t>(length);
}

}  // namespace

bool Rez_Map_Is_Current(const std::string& root, int set, const std::string& map_path) {
  int64_t map_time = 0;
  if (!plat::Get_Modification_Time(map_path, &map_time)) return false;
  if (Newer_Than(Rez_Text_Map_File_Name(root, set), map_time)) return false;
  if (Newer_Than(Rez_Packed_File_Name(root, set), map_time)) return false;
  return Header_Matches_File(map_path);
}

bool Rez_Build_Map(const std::string& root, int set, const std::string& map_path, std::string& error) {
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
  RezMapData data;
  if (!Build_Rez_Map_Data(text_map, data, error)) return false;
  std::vector<uint8_t> out = Serialize_Rez_Map(data);
  if (!plat::Replace_File_Atomically(map_path, out.data(), out.size())) {
    error = "cannot write " + map_path;
    return false;
  }
  return true;
}
